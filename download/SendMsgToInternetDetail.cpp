// The form post of the download-count report and the storing of the server's answer. The report
// runs at exit, so this is the one operation that honours the configured timeouts.
#include <windows.h>

#include <string>

#include "app/VTInst.h"
#include "download/BodyCopy.h"
#include "download/ExceptionLog.h"
#include "download/HttpDownload.h"
#include "download/HttpDownloadLog.h"
#include "download/HttpExchange.h"
#include "download/ProxyAuthentication.h"
#include "framework/StringFormat.h"
#include "support/FileOps.h"

namespace {

const wchar_t kOperation[] = L"SendMsgToInternetDetail";
const wchar_t kFormContentType[] = L"Content-Type: application/x-www-form-urlencoded; charset=UTF-8";
const DWORD kFormContentTypeLength = 62;

// The form body as the server reads it: 8-bit text in the thread's code page, no terminator.
std::string ToThreadCodePage(const std::wstring& text) {
    if (text.empty()) return std::string();
    const int size = WideCharToMultiByte(CP_THREAD_ACP, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0,
                                         nullptr, nullptr);
    std::string converted(size > 0 ? size : 0, '\0');
    if (size > 0)
        WideCharToMultiByte(CP_THREAD_ACP, 0, text.c_str(), static_cast<int>(text.size()), &converted[0], size,
                            nullptr, nullptr);
    return converted;
}

// Configured timeouts in seconds; 0 or less keeps the platform default.
void SetTimeouts(HINTERNET handle) {
    const struct {
        DWORD option;
        int seconds;
    } timeouts[] = {{INTERNET_OPTION_CONNECT_TIMEOUT, theApp.m_nConnectTimeout},
                    {INTERNET_OPTION_SEND_TIMEOUT, theApp.m_nSendTimeout},
                    {INTERNET_OPTION_RECEIVE_TIMEOUT, theApp.m_nReceiveTimeout}};
    for (const auto& timeout : timeouts)
        if (timeout.seconds > 0) fw::SetInternetOption(handle, timeout.option, static_cast<DWORD>(timeout.seconds) * 1000);
}

int PostReport(const std::wstring& parameters, const std::wstring& answerPath, fw::CStdioFile& answer) {
    CHttpExchange exchange(L"CHttpSessionDownloadFile");
    if (theApp.m_strCountServerUrl.empty()) {
        HTTPDL_ERROR(L"Error:CHttpDownLoad::SendMsgToInternetDetail:The sendURL is NULL.");
        return DL_ERR_NOURL;
    }
    if (!exchange.SetUrl(theApp.m_strCountServerUrl)) {
        HTTPDL_ERROR(L"Error:CHttpDownLoad::SendMsgToInternetDetail:The sort of internet service is not http and "
                     L"https.");
        return DL_ERR_CONNECT;
    }
    SetTimeouts(exchange.Session().Handle());

    exchange.OpenRequest(L"POST");
    // Windows hands the session's timeouts down to the request; Wine ignores send and receive
    // timeouts on a session, so the request gets them too and the configuration works on both.
    SetTimeouts(exchange.Request().Handle());
    HTTPDL_INFO(fw::Format(L"Info :CHttpDownLoad::SendMsgToInternetDetail: OpenRequest GetLastError code is:%d",
                           static_cast<int>(GetLastError())).c_str());
    exchange.AddSecurityFlags(kIgnoreCertificateProblems);

    HTTPDL_INFO((L"Info :CHttpDownLoad::SendMsgToInternetDetail: post to server data head is [" +
                 std::wstring(kFormContentType) + L"]").c_str());
    HTTPDL_INFO((L"Info :CHttpDownLoad::SendMsgToInternetDetail: post to server data is [" + parameters + L"]")
                    .c_str());
    const std::string body = ToThreadCodePage(parameters);
    fw::CHttpFile& request = exchange.Request();
    auto send = [&request, &body] {
        request.SendRequest(kFormContentType, kFormContentTypeLength, body.data(), static_cast<DWORD>(body.size()));
    };

    send();
    DWORD status = exchange.QueryStatus();
    HTTPDL_INFO(fw::Format(L"Info :CHttpDownLoad::SendMsgToInternetDetail: QueryInfoStatusCode result code is:%d",
                           static_cast<int>(status)).c_str());
    if (status == HTTP_STATUS_PROXY_AUTH_REQ) {
        if (!AskForProxyCredentials(request, nullptr)) {
            HTTPDL_ERROR(L"Error:CHttpDownLoad::SendMsgToInternetDetail:Failed to INTERNET_FORCE_RETRY.");
            return DL_ERR_CONNECT;
        }
        status = ResendWithCredentials(exchange, send, true);
    }
    if (status != HTTP_STATUS_OK) {
        HTTPDL_ERROR(fw::Format(L"Error:CHttpDownLoad::SendMsgToInternetDetail:Querying Status code is not "
                                L"HTTP_STATUS_OK.code is %d",
                                static_cast<int>(status)).c_str());
        return DL_ERR_CONNECT;
    }

    if (FileExists(answerPath)) DeleteFileWithRetry(answerPath);
    if (!answer.Open(answerPath, kDownloadTargetOpenFlags)) {
        HTTPDL_ERROR(fw::Format(L"Error:CHttpDownLoad::SendMsgToInternetDetail:Failed to open the file. GetLastError "
                                L"code is:%d",
                                static_cast<int>(GetLastError())).c_str());
        return DL_ERR_FILE;
    }
    CopyBodyToFile(request, answer);
    answer.Close();
    return DL_SUCCESS;
}

}  // namespace

int CHttpDownLoad::SendMsgToInternetDetail(const std::wstring& parameters, const std::wstring& answerPath) {
    HTTPDL_INFO(L"Start:CHttpDownLoad::SendMsgToInternetDetail");
    HTTPDL_INFO((L"Info :CHttpDownLoad::SendMsgToInternetDetail: downloaded file save directory is " +
                 theApp.m_strSavePath).c_str());
    HTTPDL_INFO((L"Info :CHttpDownLoad::SendMsgToInternetDetail: download file URL is " + theApp.m_strCountServerUrl)
                    .c_str());
    fw::CStdioFile answer;
    int result;
    try {
        result = PostReport(parameters, answerPath, answer);
    } catch (const fw::CInternetException& failure) {
        LogInternetException(ExceptionLogLayout::Report, kOperation, failure, GetLastError());
        result = DL_ERR_CONNECT;
    } catch (const fw::CFileException& failure) {
        const DWORD lastError = GetLastError();
        answer.Abort();
        LogFileException(ExceptionLogLayout::Report, kOperation, failure, lastError);
        result = DL_ERR_FILE;
    } catch (...) {
        const DWORD lastError = GetLastError();
        answer.Abort();
        LogOtherException(ExceptionLogLayout::Report, kOperation, lastError);
        result = DL_ERR_FILE;
    }
    HTTPDL_INFO(L"End  :CHttpDownLoad::SendMsgToInternetDetail");
    return result;
}
