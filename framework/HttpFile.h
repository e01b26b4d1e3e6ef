// One HTTP request handle: headers, send, status, body reads, options and the system's
// authentication dialog for it.
#pragma once
#include <windows.h>
#include <wininet.h>

#include <cstdint>
#include <string>

#include "framework/InternetHandle.h"

namespace fw {

class CHttpFile {
public:
    CHttpFile(CInternetHandle handle, DWORD_PTR context, std::wstring object)
        : m_handle(std::move(handle)), m_context(context), m_object(std::move(object)) {}
    CHttpFile(const CHttpFile&) = delete;
    CHttpFile& operator=(const CHttpFile&) = delete;

    // HttpAddRequestHeaders; FALSE when WinINet refuses the text. An empty text adds nothing.
    BOOL AddRequestHeaders(const std::wstring& headers, DWORD modifiers);
    // HttpSendRequest; throws CInternetException when the request cannot be sent or answered.
    void SendRequest(const wchar_t* headers = nullptr, DWORD headersLength = 0, const void* body = nullptr,
                     DWORD bodyLength = 0);
    // The numeric status of the last answer; FALSE when it cannot be read.
    BOOL QueryInfoStatusCode(DWORD& status) const;
    // Up to count bytes of the answer body; 0 at its end. Throws CInternetException when the
    // connection fails, including a connection that closes before the announced length arrived
    // (WinINet reports that as a normal end).
    UINT Read(void* buffer, UINT count);

    BOOL QueryOption(DWORD option, DWORD& value) const;
    BOOL SetOption(DWORD option, DWORD value);

    // InternetErrorDlg for this request; a null owner makes the desktop window the owner.
    DWORD ErrorDlg(HWND owner, DWORD error, DWORD flags, void** data = nullptr);

    // The request's object (path and query) and its last component (after the last '/', '\' or ':').
    const std::wstring& Object() const { return m_object; }
    std::wstring GetFileName() const;

    void Close() { m_handle.Close(); }
    HINTERNET Handle() const { return m_handle.Get(); }

private:
    // The body length the answer announced, or -1 when it announced none.
    int64_t AnnouncedLength() const;

    CInternetHandle m_handle;
    DWORD_PTR m_context;
    std::wstring m_object;
    int64_t m_bodyBytesRead = 0;
};

}  // namespace fw
