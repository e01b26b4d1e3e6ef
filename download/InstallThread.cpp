// The worker that installs the downloaded packages one after the other: the command line of each
// package, the response file pointed at the chosen folder for new installs, the installer started
// and waited for, failures marked in the list (and never stopping the rest). Everything is reported
// to the install page with sent messages.
#include <windows.h>

#include <string>

#include "app/VTInst.h"
#include "catalogue/ProductIds.h"
#include "catalogue/SoftMulti.h"
#include "download/AfterInstall.h"
#include "download/AnsiResponseFile.h"
#include "download/HttpDownload.h"
#include "download/HttpDownloadLog.h"
#include "download/PackageCommand.h"
#include "install/ProcessLaunch.h"
#include "ui/InstallDlg.h"
#include "ui/WizardMessages.h"

namespace {

const DWORD READY_POLL_MS = 1000;
const DWORD EXIT_RESTART_REQUIRED = 3010;

// The setups whose response files are UTF-16 text.
bool HasUnicodeResponseFile(const std::wstring& id) {
    return id == PRODUCT_ONLINE_UPDATE || id == PRODUCT_HOME_OCR_LANGPACK2 || id == PRODUCT_HOME_OCR_LANGPACK3;
}

// Started as the installer itself, in its current folder; 0 and 3010 (restart required) succeed.
bool RunInstaller(const PackageCommand& command) {
    StartedProcess process;
    if (!StartProgramAsInstaller(command.application, command.arguments, std::wstring(), process)) return false;
    DWORD exitCode = 0;
    if (!process.WaitForExitCode(exitCode)) return false;
    return exitCode == 0 || exitCode == EXIT_RESTART_REQUIRED;
}

class CInstallRun {
public:
    explicit CInstallRun(CInstallDlg* page) : m_page(page), m_window(page->GetSafeHwnd()) {}
    void Run();

private:
    // Package o of record: the record itself, or a fresh record from the bundle's entry o.
    static CUpdateInfo PackageRecord(const CUpdateInfo& record, int o);
    // FALSE when the new install's response file could not be pointed at the destination.
    static bool PrepareResponseFile(const CUpdateInfo& package, const std::wstring& destination);
    void InstallPackage(CUpdateInfo& package, size_t i, int o);
    void ReportFailure(CUpdateInfo& package, size_t i, int o, bool responseFileFailed);
    void MarkFailed(CUpdateInfo& package, size_t i, int o);
    void Send(UINT message, WPARAM wParam, LPARAM lParam) { SendMessageW(m_window, message, wParam, lParam); }

    CInstallDlg* m_page;
    HWND m_window;
    CUpdateInfoList* m_list = nullptr;
};

void CInstallRun::Run() {
    while (theApp.m_installReady == 0) Sleep(READY_POLL_MS);
    m_list = m_page->SortInstallList();
    int packageNumber = 0;
    for (size_t i = 0; i < m_list->size(); ++i) {
        for (int o = 0; o < (*m_list)[i].m_packageCount; ++o) {
            CUpdateInfo package = PackageRecord((*m_list)[i], o);
            ++packageNumber;
            if (package.m_installOk == 0) {
                HTTPDL_ERROR((L"Error:CHttpDownLoad::InstallThread: relation install is failed.Software:" +
                              package.m_title).c_str());
                continue;
            }
            Send(WM_USER_INSTALL_PROGRESS, 0, packageNumber);
            InstallPackage(package, i, o);
        }
    }
    Send(WM_USER_INSTALL_FINISH, 0, 0);
}

CUpdateInfo CInstallRun::PackageRecord(const CUpdateInfo& record, int o) {
    if (!record.m_subPackages) return record;
    const _SoftMulti& entry = (*record.m_subPackages)[static_cast<size_t>(o)];
    CUpdateInfo package;
    package.m_id = entry.m_id;
    package.m_version = entry.m_version;
    package.m_moduleUrl = entry.m_moduleUrl;
    package.m_issUrl = entry.m_issUrl;
    package.m_packageFile = entry.m_packageFile;
    package.m_logFile = entry.m_logFile;
    package.m_installOk = entry.m_installOk;
    package.m_issFile = entry.m_issFile;
    package.m_title = record.m_title;
    return package;
}

bool CInstallRun::PrepareResponseFile(const CUpdateInfo& package, const std::wstring& destination) {
    if (HasUnicodeResponseFile(package.m_id))
        return CHttpDownLoad::ChangeUnicodeISS(package.m_issFile, destination) != 0;
    return PointAnsiResponseFile(package.m_issFile, destination);
}

void CInstallRun::InstallPackage(CUpdateInfo& package, size_t i, int o) {
    const bool newInstall = package.m_installedPath.empty();
    const std::wstring destination = theApp.m_installFolder + package.m_addPath;
    if (newInstall && _wcsicmp(PackageExtension(package.m_packageFile).c_str(), L"exe") == 0 &&
        !PrepareResponseFile(package, destination)) {
        ReportFailure(package, i, o, true);
        return;
    }
    const PackageCommand command = BuildPackageCommand(package, newInstall, destination);
    if (!command.application.empty() && RunInstaller(command))
        RecordSuccessfulInstall(package);
    else
        ReportFailure(package, i, o, false);
}

// The page explains the failure while this thread waits; a response-file failure is flagged so it
// can tell which box to show.
void CInstallRun::ReportFailure(CUpdateInfo& package, size_t i, int o, bool responseFileFailed) {
    HTTPDL_ERROR((L"Error:CHttpDownLoad::InstallThread: install is failed.Software:" + package.m_title).c_str());
    if (responseFileFailed) InterlockedExchange(&m_page->m_bIssWriteFailed, 1);
    Send(WM_USER_INSTALL_FAILED, static_cast<WPARAM>(o), static_cast<LPARAM>(i));
    MarkFailed(package, i, o);
    if (responseFileFailed) InterlockedExchange(&m_page->m_bIssWriteFailed, 0);
}

void CInstallRun::MarkFailed(CUpdateInfo& package, size_t i, int o) {
    CUpdateInfo& record = (*m_list)[i];
    if (record.m_packageCount < 2 || !record.m_subPackages) {
        package.m_installOk = 0;
        record = package;
        return;
    }
    (*record.m_subPackages)[static_cast<size_t>(o)].m_installOk = 0;
    record.m_installOk = 0;
}

}  // namespace

UINT __cdecl CHttpDownLoad::InstallThread(void* page) {
    HTTPDL_INFO(L"Start:CHttpDownLoad::InstallThread");
    CInstallRun run(static_cast<CInstallDlg*>(page));
    run.Run();
    HTTPDL_INFO(L"End  :CHttpDownLoad::InstallThread");
    return 1;
}
