// Whole small files for the user-interface thread: the catalogue, the saved-state file and the
// license text. Failures end with 1 (server side) or 3 (local side); nothing here is retried.
#include "download/AuthorizationChoice.h"
#include "download/BodyCopy.h"
#include "download/ExceptionLog.h"
#include "download/HttpDownload.h"
#include "download/HttpDownloadLog.h"
#include "download/HttpExchange.h"
#include "download/LocalTarget.h"
#include "download/ProxyAuthentication.h"

namespace {

const wchar_t kOperation[] = L"DownloadFile";

int FetchFile(std::wstring& resultPath, int index, const std::wstring& folder, const std::wstring& url, HWND owner,
              fw::CStdioFile& target) {
    CHttpExchange exchange(L"CHttpSessionDownloadFile");
    if (!exchange.SetUrl(url)) {
        HTTPDL_ERROR(L"Error:CHttpDownLoad::DownloadFile:The sort of internet service is not http and https.");
        return DL_ERR_CONNECT;
    }
    exchange.OpenRequest(L"GET");
    exchange.AddSecurityFlags(kIgnoreCertificateProblems);

    fw::CHttpFile& request = exchange.Request();
    std::wstring header;
    if (ChooseSingleFileHeader(url, header) && !request.AddRequestHeaders(header, HTTP_ADDREQ_FLAG_ADD_IF_NEW)) {
        exchange.Close();
        HTTPDL_ERROR(L"Error:CHttpDownLoad::DownloadFile:open request success,AddRequestHeaders failed.");
        return DL_ERR_CONNECT;
    }

    request.SendRequest();
    DWORD status = exchange.QueryStatus();
    if (status == HTTP_STATUS_PROXY_AUTH_REQ) {
        if (!AskForProxyCredentials(request, owner)) {
            HTTPDL_ERROR(L"Error:CHttpDownLoad::DownloadFile:Failed to INTERNET_FORCE_RETRY.");
            return DL_ERR_CONNECT;
        }
        status = ResendWithCredentials(exchange, [&request] { request.SendRequest(); }, false);
    }
    if (status != HTTP_STATUS_OK) {
        HTTPDL_ERROR(L"Error:CHttpDownLoad::DownloadFile:Querying Status code is not HTTP_STATUS_OK.");
        return DL_ERR_CONNECT;
    }

    std::wstring joined;
    std::wstring finalPath;
    if (!JoinDownloadPath(folder, request, joined) ||
        !CHttpDownLoad::RenameDownFile(index, finalPath, folder, request.GetFileName())) {
        HTTPDL_ERROR(L"Error::CHttpDownLoad::DownloadFile:The path of download file is too long.");
        return DL_ERR_FILE;
    }
    resultPath = finalPath;

    if (!target.Open(finalPath, kDownloadTargetOpenFlags)) {
        HTTPDL_ERROR(L"Error:CHttpDownLoad::DownloadFile:Failed to download the file.");
        return DL_ERR_FILE;
    }
    CopyBodyToFile(request, target);
    target.Close();
    return DL_SUCCESS;
}

}  // namespace

int CHttpDownLoad::DownloadFile(std::wstring& resultPath, int index, const std::wstring& folder,
                                const std::wstring& url, HWND owner) {
    fw::CStdioFile target;
    int result;
    try {
        result = FetchFile(resultPath, index, folder, url, owner, target);
    } catch (const fw::CInternetException& failure) {
        LogInternetException(ExceptionLogLayout::Brief, kOperation, failure, GetLastError());
        result = DL_ERR_CONNECT;
    } catch (const fw::CFileException& failure) {
        const DWORD lastError = GetLastError();
        target.Abort();
        LogFileException(ExceptionLogLayout::Brief, kOperation, failure, lastError);
        result = DL_ERR_FILE;
    } catch (...) {
        const DWORD lastError = GetLastError();
        target.Abort();
        LogOtherException(ExceptionLogLayout::Brief, kOperation, lastError);
        result = DL_ERR_FILE;
    }
    HTTPDL_INFO(L"End  :CHttpDownLoad::DownloadFile");
    return result;
}
