// The response file a setup.exe package needs, fetched by the download thread. Transient server
// trouble (408, 504, a failed connection) ends with 8 so that the thread tries again.
#include "download/BodyCopy.h"
#include "download/ExceptionLog.h"
#include "download/HttpDownload.h"
#include "download/HttpDownloadLog.h"
#include "download/HttpExchange.h"
#include "download/LocalTarget.h"
#include "download/PackageTransfer.h"
#include "download/ProxyAuthentication.h"
#include "framework/StringFormat.h"
#include "ui/DownloadDlg.h"

namespace {

const wchar_t kOperation[] = L"DownloadISSFile";

int FetchResponseFile(std::wstring& resultPath, int subPackage, const std::wstring& folder, const std::wstring& url,
                      int itemIndex, CDownloadDlg* page, fw::CStdioFile& target) {
    CHttpExchange exchange(L"CHttpSessionDownloadFile");
    if (!exchange.SetUrl(url)) {
        HTTPDL_ERROR(L"Error:CHttpDownLoad::DownloadISSFile:The sort of internet service is not http and https.");
        return DL_ERR_CONNECT;
    }
    exchange.OpenRequest(L"GET");
    HTTPDL_INFO(fw::Format(L"Info :CHttpDownLoad::DownloadISSFile: OpenRequest GetLastError code is:%d",
                           static_cast<int>(GetLastError())).c_str());
    exchange.AddSecurityFlags(kIgnoreCertificateProblems);

    fw::CHttpFile& request = exchange.Request();
    std::wstring header;
    if (ChooseHeaderForItem(page, itemIndex, subPackage, header) &&
        !request.AddRequestHeaders(header, HTTP_ADDREQ_FLAG_ADD_IF_NEW)) {
        exchange.Close();
        HTTPDL_ERROR(L"Error:CHttpDownLoad::DownloadISSFile:open request success,AddRequestHeaders failed.");
        return DL_ERR_CONNECT;
    }

    request.SendRequest();
    DWORD status = exchange.QueryStatus();
    HTTPDL_INFO(fw::Format(L"Info :CHttpDownLoad::DownloadISSFile: QueryInfoStatusCode result code is:%d",
                           static_cast<int>(status)).c_str());
    if (status == HTTP_STATUS_PROXY_AUTH_REQ) {
        if (!AskForProxyCredentials(request, page ? page->GetSafeHwnd() : nullptr)) {
            HTTPDL_ERROR(L"Error:CHttpDownLoad::DownloadISSFile:Failed to INTERNET_FORCE_RETRY.");
            return DL_ERR_CONNECT;
        }
        status = ResendWithCredentials(exchange, [&request] { request.SendRequest(); }, false);
    }
    if (status != HTTP_STATUS_OK) {
        HTTPDL_ERROR(fw::Format(L"Error:CHttpDownLoad::DownloadISSFile:Querying Status code is not "
                                L"HTTP_STATUS_OK.code is %d",
                                static_cast<int>(status)).c_str());
        const bool transient = status == HTTP_STATUS_REQUEST_TIMEOUT || status == HTTP_STATUS_GATEWAY_TIMEOUT;
        return transient ? DL_ERR_RETRY : DL_ERR_CONNECT;
    }

    std::wstring joined;
    std::wstring finalPath;
    if (!JoinDownloadPath(folder, request, joined) ||
        !CHttpDownLoad::RenameDownFile(itemIndex, finalPath, folder, request.GetFileName())) {
        HTTPDL_ERROR(L"Error::CHttpDownLoad::DownloadISSFile:The path of download file is too long.");
        return DL_ERR_FILE;
    }
    resultPath = finalPath;
    HTTPDL_INFO((L"Info :CHttpDownLoad::DownloadISSFile:download file save path is:" + finalPath).c_str());

    if (!target.Open(finalPath, kDownloadTargetOpenFlags)) {
        HTTPDL_ERROR(fw::Format(L"Error:CHttpDownLoad::DownloadISSFile:Failed to open the file.GetLastError code is:%d",
                                static_cast<int>(GetLastError())).c_str());
        return DL_ERR_FILE;
    }
    CopyBodyToFile(request, target);
    target.Close();
    return DL_SUCCESS;
}

}  // namespace

int CHttpDownLoad::DownloadISSFile(std::wstring& resultPath, int subPackage, const std::wstring& folder,
                                   const std::wstring& url, int itemIndex, CDownloadDlg* page) {
    HTTPDL_INFO(L"Start:CHttpDownLoad::DownloadISSFile");
    HTTPDL_INFO((L"Info :CHttpDownLoad::DownloadISSFile: downloaded file save directory is " + folder).c_str());
    HTTPDL_INFO((L"Info :CHttpDownLoad::DownloadISSFile: download file URL is " + url).c_str());
    fw::CStdioFile target;
    int result;
    try {
        result = FetchResponseFile(resultPath, subPackage, folder, url, itemIndex, page, target);
    } catch (const fw::CInternetException& failure) {
        LogInternetException(ExceptionLogLayout::Detailed, kOperation, failure, GetLastError());
        result = DL_ERR_RETRY;
    } catch (const fw::CFileException& failure) {
        const DWORD lastError = GetLastError();
        target.Abort();
        LogFileException(ExceptionLogLayout::Detailed, kOperation, failure, lastError);
        result = DL_ERR_FILE;
    } catch (...) {
        const DWORD lastError = GetLastError();
        target.Abort();
        LogOtherException(ExceptionLogLayout::Detailed, kOperation, lastError);
        result = DL_ERR_FILE;
    }
    HTTPDL_INFO(L"End  :CHttpDownLoad::DownloadISSFile");
    return result;
}
