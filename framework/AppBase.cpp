#include "framework/AppBase.h"

#include <htmlhelp.h>
#include <cstdlib>

#include "framework/HtmlHelp.h"

namespace fw {

namespace {
CAppBase* g_currentApp = nullptr;
HINSTANCE g_resourceModule = nullptr;
}  // namespace

CAppBase::CAppBase()
    : m_hInstance(GetModuleHandleW(nullptr)), m_lpCmdLine(L""), m_pszHelpFilePath(nullptr) {
    g_currentApp = this;
}

CAppBase::~CAppBase() {
    free(m_pszHelpFilePath);
    m_pszHelpFilePath = nullptr;
    if (g_currentApp == this) g_currentApp = nullptr;
}

void CAppBase::OnHelp() {
    if (m_pszHelpFilePath && *m_pszHelpFilePath)
        ShowHtmlHelp(nullptr, m_pszHelpFilePath, HH_DISPLAY_TOPIC, 0);
}

int CAppBase::Run(HINSTANCE instance, const wchar_t* commandLine) {
    m_hInstance = instance;
    m_lpCmdLine = commandLine ? commandLine : L"";
    if (!g_resourceModule) g_resourceModule = instance;
    InitInstance();
    return ExitInstance();
}

CAppBase* CAppBase::Current() { return g_currentApp; }

HINSTANCE GetResourceModule() {
    return g_resourceModule ? g_resourceModule : GetModuleHandleW(nullptr);
}

void SetResourceModule(HINSTANCE module) { g_resourceModule = module; }

}  // namespace fw
