#include "framework/HttpFile.h"

#include <cwchar>

#include "framework/InternetException.h"
#include "framework/InternetSession.h"

namespace fw {

BOOL CHttpFile::AddRequestHeaders(const std::wstring& headers, DWORD modifiers) {
    // WinINet rejects an empty header text (12153) although there is nothing wrong with adding
    // nothing; its null form succeeds without adding a line.
    if (headers.empty()) return HttpAddRequestHeadersW(m_handle.Get(), nullptr, 0, modifiers);
    return HttpAddRequestHeadersW(m_handle.Get(), headers.c_str(), static_cast<DWORD>(-1), modifiers);
}

void CHttpFile::SendRequest(const wchar_t* headers, DWORD headersLength, const void* body, DWORD bodyLength) {
    m_bodyBytesRead = 0;
    if (!HttpSendRequestW(m_handle.Get(), headers, headersLength, const_cast<void*>(body), bodyLength))
        ThrowLastInternetError(m_context);
}

BOOL CHttpFile::QueryInfoStatusCode(DWORD& status) const {
    status = 0;
    DWORD size = sizeof(status);
    return HttpQueryInfoW(m_handle.Get(), HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, nullptr);
}

int64_t CHttpFile::AnnouncedLength() const {
    wchar_t text[32] = {};
    DWORD size = sizeof(text);
    if (!HttpQueryInfoW(m_handle.Get(), HTTP_QUERY_CONTENT_LENGTH, text, &size, nullptr)) return -1;
    wchar_t* end = nullptr;
    long long length = wcstoll(text, &end, 10);
    return (end != text && length >= 0) ? length : -1;
}

UINT CHttpFile::Read(void* buffer, UINT count) {
    DWORD read = 0;
    if (!InternetReadFile(m_handle.Get(), buffer, count, &read)) ThrowLastInternetError(m_context);
    m_bodyBytesRead += read;
    if (read == 0 && count > 0) {
        const int64_t announced = AnnouncedLength();
        if (announced >= 0 && m_bodyBytesRead < announced)
            throw CInternetException(ERROR_INTERNET_CONNECTION_ABORTED, m_context);
    }
    return read;
}

BOOL CHttpFile::QueryOption(DWORD option, DWORD& value) const {
    return QueryInternetOption(m_handle.Get(), option, value);
}

BOOL CHttpFile::SetOption(DWORD option, DWORD value) { return SetInternetOption(m_handle.Get(), option, value); }

DWORD CHttpFile::ErrorDlg(HWND owner, DWORD error, DWORD flags, void** data) {
    return InternetErrorDlg(owner ? owner : GetDesktopWindow(), m_handle.Get(), error, flags, data);
}

std::wstring CHttpFile::GetFileName() const {
    const size_t separator = m_object.find_last_of(L"/\\:");
    return separator == std::wstring::npos ? m_object : m_object.substr(separator + 1);
}

}  // namespace fw
