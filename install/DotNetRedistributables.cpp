#include "install/DotNetRedistributables.h"

#include <string>

#include "StringIds.h"
#include "app/VTInst.h"
#include "framework/StringFormat.h"
#include "support/Language.h"
#include "support/Log.h"
#include "support/MessageBox.h"
#include "ui/WizardMessages.h"

namespace {

const int WIZARD_CANCELLED = 2;
const int NAME_CAPACITY = 1024;

struct Redistributable {
    const wchar_t* fileName;
    const wchar_t* commandLine;
};
const Redistributable DOTNET35 = {L"dotNetFx35setup.exe", L" /qb /norestart"};
const Redistributable DOTNET40 = {L"dotNetFx40_Full_setup.exe", L" /passive /norestart"};
const Redistributable DOTNET45 = {L"dotNetFx45_Full_setup.exe", L" /passive /norestart"};

// Windows XP, Vista and 7 get 3.5 SP1 before the packages; later versions after them.
bool Takes35BeforePackages(const std::wstring& osVersion) {
    return osVersion == L"5.1" || osVersion == L"6.0" || osVersion == L"6.1";
}

BOOL RunRedistributable(const Redistributable& redistributable) {
    const std::wstring path = fw::Format(L"%s\\%s", theApp.m_strModuleDir.c_str(), redistributable.fileName);
    return theApp.RunEXEWaitEnd(path, redistributable.commandLine, TRUE);
}

void EndWizard(HWND page, HWND topPage, const wchar_t* logText, UINT textId, UINT nameId) {
    LOG_ERROR_CODE(0, logText);
    wchar_t name[NAME_CAPACITY] = {};
    if (nameId) LoadResourceString(name, NAME_CAPACITY, nameId);
    ShowMessageBox(page, IDS_CAPTION, textId, MB_ICONERROR, OpenHelpContext, 0, 0, name);
    LOG_INFO(L"End  :CDownloadDlg::WindowProc");
    ShowWindow(page, SW_HIDE);
    theApp.m_nWizardStatus = WIZARD_CANCELLED;
    PostMessageW(topPage, WM_USER_VTINSTALL_CLOSE, 0, 0);
}

}  // namespace

BOOL InstallDotNetBeforePackages(HWND page, HWND topPage) {
    if (Takes35BeforePackages(theApp.m_strOSVersion) && !theApp.m_bDotNet35 && !RunRedistributable(DOTNET35)) {
        EndWizard(page, topPage,
                  L"Error:CDownloadDlg::WindowProc:Microsoft .NET Framework 3.5 SP1 installation interrupted. "
                  L"Ending Setup.",
                  IDS_DOTNET35_INTERRUPTED, 0);
        return FALSE;
    }
    if (!theApp.m_bDotNet40 && !RunRedistributable(DOTNET40)) {
        EndWizard(page, topPage,
                  L"Error:CDownloadDlg::WindowProc:Microsoft .NET Framework 4 installation interrupted. Ending Setup.",
                  IDS_DOTNET_INTERRUPTED, IDS_DOTNET40_NAME);
        return FALSE;
    }
    if (!theApp.m_bDotNet45 && !RunRedistributable(DOTNET45)) {
        EndWizard(page, topPage,
                  L"Error:CDownloadDlg::WindowProc:Microsoft .NET Framework 4.5 installation interrupted. "
                  L"Ending Setup.",
                  IDS_DOTNET_INTERRUPTED, IDS_DOTNET45_NAME);
        return FALSE;
    }
    return TRUE;
}

void InstallDotNetAfterPackages() {
    if (!Takes35BeforePackages(theApp.m_strOSVersion) && !theApp.m_bDotNet35) RunRedistributable(DOTNET35);
}
