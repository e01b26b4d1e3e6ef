// The worker that fetches every package of the download page's list: response files for setup
// programs, the packages themselves, retries of transient failures with the user's consent, and
// the local paths written back into the list for the install thread. Everything is reported to
// the page with sent messages, so the thread never runs ahead of what the page shows.
#include <functional>
#include <string>

#include "app/VTInst.h"
#include "catalogue/SoftMulti.h"
#include "download/DownloadCountInfo.h"
#include "download/HttpDownload.h"
#include "download/HttpDownloadLog.h"
#include "download/PackageTransfer.h"
#include "ui/DownloadDlg.h"
#include "ui/WizardMessages.h"

namespace {

const DWORD PAUSE_POLL_MS = 1000;

class CDownloadRun {
public:
    explicit CDownloadRun(CDownloadDlg* page) : m_page(page), m_window(page->GetSafeHwnd()) {}

    // TRUE when every item was fetched; FALSE at the first failure that is not retried.
    BOOL Run();

private:
    int FetchPackage(int item, int subPackage, CUpdateInfo& itemCopy);
    CUpdateInfo DownloadRecord(const CUpdateInfo& itemCopy, int subPackage) const;
    // Repeats a transient failure (8): the configured attempts, then as often as the user says Retry.
    int RetryCycle(const std::function<int()>& attempt);
    void Send(UINT message, WPARAM wParam, LPARAM lParam) { SendMessageW(m_window, message, wParam, lParam); }
    CUpdateInfoList& List() { return *m_page->GetDownloadList(); }

    // The package's download-count entry; the scanner's serial number is looked up once per run.
    void CollectCountRecord(const CUpdateInfo& record);

    CDownloadDlg* m_page;
    HWND m_window;
    std::wstring m_folder;
    bool m_serialLookedUp = false;
    ScannerSerial m_serial;
};

bool IsSetupProgram(const std::wstring& url) {
    const size_t dot = url.rfind(L'.');
    const std::wstring extension = dot == std::wstring::npos ? url : url.substr(dot + 1);
    return _wcsicmp(extension.c_str(), L"exe") == 0;
}

BOOL CDownloadRun::Run() {
    m_folder = theApp.GetSavePath();
    for (size_t i = 0; i < List().size(); ++i) {
        const int item = static_cast<int>(i);
        Send(WM_DOWNLOAD_START, 0, item);
        CUpdateInfo itemCopy = List()[i];
        for (int j = 0; j < itemCopy.m_packageCount; ++j) {
            if (FetchPackage(item, j, itemCopy) != DL_SUCCESS) return FALSE;
        }
    }
    while (m_page->m_bPauseDownload != 0) Sleep(PAUSE_POLL_MS);
    Send(WM_DOWNLOAD_FINISH, 0, 0);
    HTTPDL_INFO(L"End  :CHttpDownLoad::DownloadThread");
    return TRUE;
}

// An ordinary record as it is; sub-package j of a bundle as a fresh record of its own.
CUpdateInfo CDownloadRun::DownloadRecord(const CUpdateInfo& itemCopy, int subPackage) const {
    if (!itemCopy.m_subPackages) return itemCopy;
    const _SoftMulti& package = (*itemCopy.m_subPackages)[static_cast<size_t>(subPackage)];
    CUpdateInfo record;
    record.m_id = package.m_id;
    record.m_size = package.m_size;
    record.m_moduleUrl = package.m_moduleUrl;
    record.m_issUrl = package.m_issUrl;
    record.m_packageFile = package.m_packageFile;
    record.m_logFile = package.m_logFile;
    record.m_installOk = package.m_installOk;
    return record;
}

int CDownloadRun::FetchPackage(int item, int subPackage, CUpdateInfo& itemCopy) {
    CUpdateInfo record = DownloadRecord(itemCopy, subPackage);
    const bool bundle = itemCopy.m_subPackages != nullptr;
    const size_t i = static_cast<size_t>(item);

    if (IsSetupProgram(record.m_moduleUrl)) {
        std::wstring responseFile;
        auto attempt = [&] {
            return CHttpDownLoad::DownloadISSFile(responseFile, subPackage, m_folder, record.m_issUrl, item, m_page);
        };
        int result = attempt();
        if (result == DL_ERR_RETRY) result = RetryCycle(attempt);
        if (result != DL_ERR_RETRY) Send(WM_DOWNLOAD_RESULT, static_cast<WPARAM>(result), 0);
        if (result != DL_SUCCESS) return result;
        if (bundle)
            (*List()[i].m_subPackages)[static_cast<size_t>(subPackage)].m_issFile = responseFile;
        else
            record.m_issFile = responseFile;
    }

    std::wstring packageFile;
    int result = CHttpDownLoad::DownloadBigFile(item, subPackage, m_folder, record.m_moduleUrl, packageFile, m_page);
    if (result == DL_ERR_RETRY) {
        result = RetryCycle([&] {
            if (packageFile.empty())
                return CHttpDownLoad::DownloadBigFile(item, subPackage, m_folder, record.m_moduleUrl, packageFile,
                                                      m_page);
            // The expected size afresh from the list, low 32 bits.
            const int64_t size = ExpectedPackageSize(m_page, item, subPackage);
            return CHttpDownLoad::RetryDownBigFile(static_cast<uint32_t>(size), item, packageFile, record.m_moduleUrl,
                                                   subPackage, m_page);
        });
    }
    if (result == DL_SUCCESS && !theApp.m_strCountServerUrl.empty()) CollectCountRecord(record);
    if (result != DL_ERR_RETRY) Send(WM_DOWNLOAD_RESULT, static_cast<WPARAM>(result), 0);
    if (result != DL_SUCCESS) return result;

    const std::wstring logFile = packageFile + L".log";
    if (bundle) {
        _SoftMulti& package = (*List()[i].m_subPackages)[static_cast<size_t>(subPackage)];
        package.m_packageFile = packageFile;
        package.m_logFile = logFile;
        itemCopy = List()[i];
    } else {
        record.m_packageFile = packageFile;
        record.m_logFile = logFile;
        List()[i] = record;
    }
    return DL_SUCCESS;
}

void CDownloadRun::CollectCountRecord(const CUpdateInfo& record) {
    if (!m_serialLookedUp) {
        m_serial = LookUpScannerSerial(theApp.m_strOSVersion);
        m_serialLookedUp = true;
    }
    HTTPDL_INFO((L"Info :CHttpDownLoad::DownloadThread:Soft version is " + record.m_version).c_str());
    HTTPDL_INFO((L"Info :CHttpDownLoad::DownloadThread:Soft download URL is " + record.m_moduleUrl).c_str());
    CHttpDownLoad::GetDownloadCountInfo(record.m_id, record.m_version, m_serial.digest, m_serial.number,
                                        record.m_moduleUrl);
}

int CDownloadRun::RetryCycle(const std::function<int()>& attempt) {
    for (;;) {
        for (int tried = 0; tried < theApp.m_nResumeRetryCount; ++tried) {
            Sleep(static_cast<DWORD>(theApp.m_nResumeRetrySleep));
            const int result = attempt();
            if (result != DL_ERR_RETRY) {
                theApp.m_bDownloadRetry = 0;
                return result;
            }
        }
        // The page asks the user and sets the retry flag before this call returns.
        Send(WM_DOWNLOAD_RESULT, DL_ERR_RETRY, 0);
        if (theApp.m_bDownloadRetry == 0) return DL_ERR_RETRY;
    }
}

}  // namespace

UINT __cdecl CHttpDownLoad::DownloadThread(void* page) {
    HTTPDL_INFO(L"Start:CHttpDownLoad::DownloadThread");
    CDownloadRun run(static_cast<CDownloadDlg*>(page));
    return run.Run() ? 1 : 0;
}
