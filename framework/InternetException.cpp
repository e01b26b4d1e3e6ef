#include "framework/InternetException.h"

#include <cwchar>

namespace fw {

namespace {

const UINT kMessageCapacity = 1024;

// System text of an error code, from the given module's message table first (WinINet keeps its
// 12000-range texts in wininet.dll, not in the system table).
BOOL FormatErrorText(DWORD error, HMODULE messageModule, wchar_t* buffer, UINT capacity) {
    if (!buffer || capacity == 0) return FALSE;
    buffer[0] = L'\0';
    DWORD length = 0;
    if (messageModule)
        length = FormatMessageW(FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_IGNORE_INSERTS, messageModule, error,
                                0, buffer, capacity, nullptr);
    if (length == 0)
        length = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0,
                                buffer, capacity, nullptr);
    if (length == 0) {
        swprintf(buffer, capacity, L"Error %lu", static_cast<unsigned long>(error));
        return TRUE;
    }
    // The message tables end their texts with a line break, which would split a log line.
    while (length > 0 && (buffer[length - 1] == L'\n' || buffer[length - 1] == L'\r')) buffer[--length] = L'\0';
    return TRUE;
}

}  // namespace

BOOL CException::GetErrorMessage(wchar_t* buffer, UINT capacity) const {
    if (buffer && capacity > 0) buffer[0] = L'\0';
    return FALSE;
}

std::wstring CException::ErrorMessage() const {
    wchar_t text[kMessageCapacity] = {};
    GetErrorMessage(text, kMessageCapacity);
    return text;
}

BOOL CInternetException::GetErrorMessage(wchar_t* buffer, UINT capacity) const {
    return FormatErrorText(m_dwError, GetModuleHandleW(L"wininet.dll"), buffer, capacity);
}

BOOL CFileException::GetErrorMessage(wchar_t* buffer, UINT capacity) const {
    return FormatErrorText(static_cast<DWORD>(m_lOsError), nullptr, buffer, capacity);
}

void ThrowLastInternetError(DWORD_PTR context) { throw CInternetException(GetLastError(), context); }

}  // namespace fw
