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
    m_boxes.clear();
    ChildProcess program;
    std::map<std::wstring, std::wstring> environment = m_environment;
    environment[L"TMP"] = m_temp;
    environment[L"TEMP"] = m_temp;
    std::wstring folder = m_runFolder.empty() ? m_app : m_runFolder;
    if (folder.back() == L'\\') folder.pop_back();
    if (!program.Start(folder + L"\\VTInst.exe", arguments, folder, environment)) return false;
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < timeoutMs) {
        if (program.Wait(0, &m_exitCode)) return true;
        MessageBoxInfo box;
        if (WaitForMessageBox(MessageBoxFilter{L"", program.Id()}, 250, box)) {
            m_boxes.push_back(box);
            PressMessageBoxButton(box.window, button);
            WaitForWindowClosed(box.window, 5000);
        }
    }
    program.Kill();
    return false;
}

}  // namespace vttest
