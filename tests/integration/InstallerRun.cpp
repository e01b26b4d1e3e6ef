#include "tests/integration/InstallerRun.h"

#include "tests/support/ChildProcess.h"

namespace vttest {

std::string ValidConfiguration(const std::string& catalogueUrl) {
    return "[VTInstXml]\r\nVTInstXmlUrl=" + catalogueUrl +
           "\r\n"
           "[WebServer]\r\nURL_STARTUP=http://127.0.0.1:9/count\r\n"
           "[VTInstMenu]\r\nCallWifiTool=0\r\nCallWizardConnect=0\r\nCallWizardConnect2=0\r\n"
           "CallVTFolerTray=0\r\nCallPowerAutoOffDlg=0\r\nCallPowerAutoOffDlgParam=135\r\nCallFirmUpdate=0\r\n";
}

InstallerRun::InstallerRun() : m_app(m_root.File(L"app")), m_temp(m_root.File(L"temp")) {
    CreateDirectoryW(m_app.c_str(), nullptr);
    CreateDirectoryW(m_temp.c_str(), nullptr);
    CopyInto(BuildFolder() + L"\\VTInst.exe", m_app + L"\\VTInst.exe");
    CopyInto(BuildFolder() + L"\\VtSvcOCRHandle_i.dll", m_app + L"\\VtSvcOCRHandle_i.dll");
}

void InstallerRun::WriteConfiguration(const std::string& text) {
    WriteTextFile(m_app + L"\\VeltronaInstaller.ini", text);
}

void InstallerRun::UsePartialOcrLibrary() {
    CopyInto(BuildFolder() + L"\\standins\\partial\\VtSvcOCRHandle_i.dll", m_app + L"\\VtSvcOCRHandle_i.dll");
}

void InstallerRun::RemoveOcrLibrary() { DeleteFileW((m_app + L"\\VtSvcOCRHandle_i.dll").c_str()); }

bool InstallerRun::Run(const std::wstring& arguments, int button, DWORD timeoutMs) {
    return Start(arguments) && Finish(button, timeoutMs);
}

bool InstallerRun::Start(const std::wstring& arguments) {
    m_boxes.clear();
    m_program.reset(new ChildProcess());
    std::map<std::wstring, std::wstring> environment = m_environment;
    environment[L"TMP"] = m_temp;
    environment[L"TEMP"] = m_temp;
    std::wstring folder = m_runFolder.empty() ? m_app : m_runFolder;
    if (folder.back() == L'\\') folder.pop_back();
    return m_program->Start(folder + L"\\VTInst.exe", arguments, folder, environment);
}

bool InstallerRun::AnswerBox(int button, MessageBoxInfo& box, DWORD timeoutMs) {
    if (!m_program || !WaitForMessageBox(MessageBoxFilter{L"", m_program->Id()}, timeoutMs, box)) return false;
    m_boxes.push_back(box);
    PressMessageBoxButton(box.window, button);
    return WaitForWindowClosed(box.window, 5000);
}

bool InstallerRun::WaitForPage(int controlId, PageInfo& page, DWORD timeoutMs, int button) {
    const DWORD start = GetTickCount();
    while (m_program && GetTickCount() - start < timeoutMs) {
        if (vttest::WaitForPage(m_program->Id(), controlId, 0, page)) return true;
        if (m_program->Wait(0, &m_exitCode)) return false;
        MessageBoxInfo box;
        AnswerBox(button, box, 200);
    }
    return false;
}

bool InstallerRun::Finish(int button, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    while (m_program && GetTickCount() - start < timeoutMs) {
        if (m_program->Wait(0, &m_exitCode)) return true;
        MessageBoxInfo box;
        AnswerBox(button, box, 250);
    }
    if (m_program) m_program->Kill();
    return false;
}

}  // namespace vttest
