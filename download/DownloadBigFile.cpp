// A package's first download attempt, on the download thread: free space checked before anything
// is written, a fresh file, one progress message per block, and the final size checked. A partial
// file stays on disk for RetryDownBigFile.
#include "download/BodyCopy.h"
#include "download/ExceptionLog.h"
#include "download/HttpDownload.h"
#include "download/HttpDownloadLog.h"
#include "download/HttpExchange.h"
#include "download/LocalTarget.h"
#include "download/PackageTransfer.h"
#include "download/ProxyAuthentication.h"
#include "framework/StdioFile.h"
#include "ui/DownloadDlg.h"

namespace {

const wchar_t kOperation[] = L"DownloadBigFile";
const UINT kBlockSize = 1024;

int FetchPackage(int itemIndex, int subPackage, const std::wstring& folder, const std::wstring& url,
                 std::wstring& resultPath, CDownloadDlg* page, fw::CStdioFile& target) {
    CHttpExchange exchange(L"CHttpSessionDownloadBigFile");
    if (!exchange.SetUrl(url)) {
        HTTPDL_ERROR(L"Error:CHttpDownLoad::DownloadBigFile:The sort of internet service is not http and https.");
        return DL_ERR_CONNECT;
    }
    exchange.OpenRequest(L"GET");
    exchange.AddSecurityFlags(kIgnoreCertificateProblems);

    fw::CHttpFile& request = exchange.Request();
    std::wstring header;
    if (ChooseHeaderForItem(page, itemIndex, subPackage, header) &&
        !request.AddRequestHeaders(header, HTTP_ADDREQ_FLAG_ADD_IF_NEW)) {
        exchange.Close();
        HTTPDL_ERROR(L"Error:CHttpDownLoad::DownloadBigFile:open request success,AddRequestHeaders failed.");
        return DL_ERR_CONNECT;
    }

    request.SendRequest();
    DWORD status = exchange.QueryStatus();
    if (status == HTTP_STATUS_PROXY_AUTH_REQ) {
        if (!AskForProxyCredentials(request, page ? page->GetSafeHwnd() : nullptr)) {
            HTTPDL_ERROR(L"Error:CHttpDownLoad::DownloadBigFile:Failed to INTERNET_FORCE_RETRY.");
            return DL_ERR_CONNECT;
        }
        status = ResendWithCredentials(exchange, [&request] { request.SendRequest(); }, false);
    }
    if (status != HTTP_STATUS_OK) {
        HTTPDL_ERROR(L"Error:CHttpDownLoad::DownloadBigFile:Querying Status code is not HTTP_STATUS_OK.");
        const bool transient = status == HTTP_STATUS_REQUEST_TIMEOUT || status == HTTP_STATUS_GATEWAY_TIMEOUT;
        return transient ? DL_ERR_RETRY : DL_ERR_CONNECT;
    }

    // Sizes are compared as unsigned 32-bit values: a package is smaller than 4 GiB.
    const uint32_t expected = static_cast<uint32_t>(ExpectedPackageSize(page, itemIndex, subPackage));
    std::wstring joined;
    std::wstring finalPath;
    if (!JoinDownloadPath(folder, request, joined) ||
        !CHttpDownLoad::RenameDownFile(itemIndex, finalPath, folder, request.GetFileName())) {
        HTTPDL_ERROR(L"Error::CHttpDownLoad::DownloadBigFile:The path of download file is too long.");
        return DL_ERR_FILE;
    }
    resultPath = finalPath;

    if (!CHttpDownLoad::CheckDiskSpace(expected, FreeSpaceLocation(finalPath))) {
        HTTPDL_ERROR(L"Error:CHttpDownLoad::DownloadBigFile:Ran out of disk");
        return DL_ERR_DISKFULL;
    }
    if (!target.Open(finalPath, kDownloadTargetOpenFlags)) {
        HTTPDL_ERROR(L"Error:CHttpDownLoad::DownloadBigFile:open file failed.");
        return DL_ERR_FILE;
    }

    char block[kBlockSize];
    uint32_t total = 0;
    while (UINT read = request.Read(block, kBlockSize)) {
        target.Write(block, read);
        total += read;
        ReportBlock(page, total, itemIndex);
    }
    if (total == expected) {
        ReportFileDone(page, total, itemIndex);
        target.Close();
        return DL_SUCCESS;
    }
    target.Close();
    HTTPDL_ERROR(L"Error:CHttpDownLoad::DownloadBigFile:download size less than total size");
    return DL_ERR_SIZE;
}

}  // namespace

int CHttpDownLoad::DownloadBigFile(int itemIndex, int subPackage, const std::wstring& folder, const std::wstring& url,
                                   std::wstring& resultPath, CDownloadDlg* page) {
    HTTPDL_INFO(L"Start:CHttpDownLoad::DownloadBigFile");
    fw::CStdioFile target;
    int result;
    try {
        result = FetchPackage(itemIndex, subPackage, folder, url, resultPath, page, target);
    } catch (const fw::CInternetException& failure) {
        // What was written stays on disk for the ranged retry.
        const DWORD lastError = GetLastError();
        try {
            if (target.IsOpen()) target.Close();
        } catch (...) {
        }
        LogInternetException(ExceptionLogLayout::Detailed, kOperation, failure, lastError);
        result = DL_ERR_RETRY;
    } catch (const fw::CFileException& failure) {
        const DWORD lastError = GetLastError();
        target.Abort();
        LogFileException(ExceptionLogLayout::Detailed, kOperation, failure, lastError);
        result = DL_ERR_FILE;
        if (IsDiskFullError(static_cast<DWORD>(failure.m_lOsError))) {
            HTTPDL_ERROR(L"Error:CHttpDownLoad::DownloadBigFile:Ran out of disk");
            result = DL_ERR_DISKFULL;
        }
    } catch (...) {
        const DWORD lastError = GetLastError();
        target.Abort();
        LogOtherException(ExceptionLogLayout::Detailed, kOperation, lastError);
        result = DL_ERR_FILE;
    }
    HTTPDL_INFO(L"End  :CHttpDownLoad::DownloadBigFile");
    return result;
}

int CHttpDownLoad::CheckDiskSpace(uint32_t requiredBytes, const std::wstring& drive) {
    HTTPDL_INFO(L"Start:CHttpDownLoad::CheckDiskSpace");
    ULARGE_INTEGER freeToCaller = {};
    // A drive whose free space cannot be read counts as full: nothing is written that cannot fit.
    int enough = 0;
    if (GetDiskFreeSpaceExW(drive.c_str(), &freeToCaller, nullptr, nullptr))
        enough = freeToCaller.QuadPart >= (1ull << 32) || requiredBytes < freeToCaller.QuadPart ? 1 : 0;
    HTTPDL_INFO(L"End  :CHttpDownLoad::CheckDiskSpace");
    return enough;
}
