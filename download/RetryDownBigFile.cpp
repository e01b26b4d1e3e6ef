// A package continued from where an earlier attempt stopped: the partial file's length becomes the
// start of an HTTP range request and the rest is appended. Any status from 200 to 299 is taken,
// so a server that ignores the range appends the whole body and the size check reports it (6).
#include <windows.h>

#include "download/ExceptionLog.h"
#include "download/HttpDownload.h"
#include "download/HttpDownloadLog.h"
#include "download/HttpExchange.h"
#include "download/PackageTransfer.h"
#include "framework/StringFormat.h"
#include "framework/UrlParser.h"
#include "ui/DownloadDlg.h"

namespace {

const wchar_t kOperation[] = L"RetryDownBigFile";
const UINT kBlockSize = 1024;

// The partial file, opened for appending and closed on every way out.
class PartialFile {
public:
    ~PartialFile() { Close(); }
    bool Open(const std::wstring& path) {
        m_handle = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        return m_handle != INVALID_HANDLE_VALUE;
    }
    // Low 32 bits, as the range header and the size check use them.
    DWORD Length() const { return GetFileSize(m_handle, nullptr); }
    // Writes at the end; FALSE when not everything was written (a short write means a full disk).
    bool Append(const char* data, DWORD count) {
        SetFilePointer(m_handle, static_cast<LONG>(Length()), nullptr, FILE_BEGIN);
        DWORD written = 0;
        if (!WriteFile(m_handle, data, count, &written, nullptr)) return false;
        if (written == count) return true;
        SetLastError(ERROR_DISK_FULL);
        return false;
    }
    void Close() {
        if (m_handle != INVALID_HANDLE_VALUE) CloseHandle(m_handle);
        m_handle = INVALID_HANDLE_VALUE;
    }

private:
    HANDLE m_handle = INVALID_HANDLE_VALUE;
};

// FALSE (logged) when the address is empty, does not parse or is neither http nor https.
bool CheckUrl(const std::wstring& url) {
    if (url.empty()) {
        HTTPDL_ERROR(L"Error:CHttpDownLoad::RetryDownBigFile:param length = 0");
        return false;
    }
    DWORD service = 0;
    std::wstring server, object;
    INTERNET_PORT port = 0;
    if (!fw::ParseURL(url, service, server, object, port)) {
        HTTPDL_ERROR(fw::Format(L"Error:CHttpDownLoad::RetryDownBigFile:AfxParseURL failed.GetLastError code is:%d",
                                static_cast<int>(GetLastError())).c_str());
        return false;
    }
    if (service != fw::INET_SERVICE_HTTP && service != fw::INET_SERVICE_HTTPS) {
        HTTPDL_ERROR(L"Error:CHttpDownLoad::RetryDownBigFile:The sort of internet service is not http and https.");
        return false;
    }
    return true;
}

int ContinuePackage(uint32_t expected, int itemIndex, const std::wstring& path, const std::wstring& url,
                    int subPackage, CDownloadDlg* page, CHttpExchange& exchange, PartialFile& file) {
    exchange.SetUrl(url);
    exchange.OpenRequest(L"GET");
    if (!file.Open(path)) {
        HTTPDL_ERROR(fw::Format(L"Error::CHttpDownLoad::RetryDownBigFile:Failed to create file.GetLastError code is:%d",
                                static_cast<int>(GetLastError())).c_str());
        return DL_ERR_FILE;
    }
    const DWORD offset = file.Length();

    // The authorization line (possibly none) and the range: without a line the text starts with an
    // empty line.
    std::wstring authorization;
    ChooseHeaderForItem(page, itemIndex, subPackage, authorization);
    const std::wstring header = authorization + fw::Format(L"\r\nRange: bytes=%d-", static_cast<int>(offset));
    fw::CHttpFile& request = exchange.Request();
    if (!request.AddRequestHeaders(header, HTTP_ADDREQ_FLAG_ADD_IF_NEW)) {
        HTTPDL_ERROR(L"Error::CHttpDownLoad::RetryDownBigFile:Failed to add request headers.");
        return DL_ERR_CONNECT;
    }
    exchange.AddSecurityFlags(kIgnoreCertificateProblems);
    request.SendRequest();
    const DWORD status = exchange.QueryStatus();
    if (status == 0) {
        HTTPDL_ERROR(L"Error::CHttpDownLoad::RetryDownBigFile:Failed to query info.");
        return DL_ERR_CONNECT;
    }
    HTTPDL_INFO(fw::Format(L"Info :CHttpDownLoad::RetryDownBigFile: QueryInfo result is:%d", static_cast<int>(status))
                    .c_str());
    if (status < 200 || status > 299) {
        HTTPDL_ERROR(L"Error::CHttpDownLoad::RetryDownBigFile:Failed to download big file.");
        const bool transient = status == HTTP_STATUS_REQUEST_TIMEOUT || status == HTTP_STATUS_GATEWAY_TIMEOUT;
        return transient ? DL_ERR_RETRY : DL_ERR_CONNECT;
    }

    char block[kBlockSize];
    for (;;) {
        ZeroMemory(block, sizeof(block));
        const UINT read = request.Read(block, kBlockSize);
        if (read == 0) break;
        if (!file.Append(block, read)) {
            const DWORD error = GetLastError();
            HTTPDL_ERROR(fw::Format(L"Error::CHttpDownLoad::RetryDownBigFile:Failed to write file.GetLastError code is:%d",
                                    static_cast<int>(error)).c_str());
            return IsDiskFullError(error) ? DL_ERR_DISKFULL : DL_ERR_FILE;
        }
        const DWORD length = file.Length();
        ReportBlock(page, length, itemIndex);
        if (length == expected) {
            ReportFileDone(page, length, itemIndex);
            return DL_SUCCESS;
        }
    }
    if (file.Length() == expected) return DL_SUCCESS;
    HTTPDL_ERROR(L"Error:CHttpDownLoad::RetryDownBigFile:download size not equal total size");
    return DL_ERR_SIZE;
}

}  // namespace

int CHttpDownLoad::RetryDownBigFile(int64_t expectedSize, int itemIndex, const std::wstring& partialPath,
                                    const std::wstring& url, int subPackage, CDownloadDlg* page) {
    HTTPDL_INFO(L"Start:CHttpDownLoad::RetryDownBigFile");
    HTTPDL_INFO((L"Start:CHttpDownLoad::RetryDownBigFile: downloaded file save path is " + partialPath).c_str());
    HTTPDL_INFO((L"Start:CHttpDownLoad::RetryDownBigFile: download file url is " + url).c_str());
    int result = DL_ERR_CONNECT;
    PartialFile file;
    if (CheckUrl(url)) {
        try {
            CHttpExchange exchange(L"CHttpSessionDownBigFile");
            result = ContinuePackage(static_cast<uint32_t>(expectedSize), itemIndex, partialPath, url, subPackage,
                                     page, exchange, file);
            // The local file goes first, then request, connection and session.
            file.Close();
        } catch (const fw::CInternetException& failure) {
            LogInternetException(ExceptionLogLayout::Detailed, kOperation, failure, GetLastError());
            result = DL_ERR_RETRY;
        } catch (const fw::CFileException& failure) {
            LogFileException(ExceptionLogLayout::Detailed, kOperation, failure, GetLastError());
            result = DL_ERR_FILE;
        } catch (...) {
            LogOtherException(ExceptionLogLayout::Detailed, kOperation, GetLastError());
            result = DL_ERR_FILE;
        }
    }
    file.Close();
    HTTPDL_INFO(L"End  :CHttpDownLoad::RetryDownBigFile");
    return result;
}
