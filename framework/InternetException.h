// Exceptions of the framework's network and file wrappers. Callers catch them inside the one
// operation that used the wrapper and turn them into result codes; none is meant to travel further.
#pragma once
#include <windows.h>

#include <string>

namespace fw {

// Any framework failure; also the type the operations catch as "some other exception".
class CException {
public:
    CException() = default;
    virtual ~CException() = default;

    // Fills the buffer with the failure's text (always terminated); FALSE when there is no text.
    virtual BOOL GetErrorMessage(wchar_t* buffer, UINT capacity) const;
    // The same text as a string (1024 characters at most, as the log lines carry it).
    std::wstring ErrorMessage() const;
};

// A WinINet call failed: m_dwError is the WinINet (or system) error code, m_dwContext the
// context value the session or request was opened with.
class CInternetException : public CException {
public:
    CInternetException(DWORD error, DWORD_PTR context) : m_dwError(error), m_dwContext(context) {}
    BOOL GetErrorMessage(wchar_t* buffer, UINT capacity) const override;

    DWORD m_dwError;
    DWORD_PTR m_dwContext;
};

// A local file could not be opened or written: m_lOsError is the system error code.
class CFileException : public CException {
public:
    CFileException() = default;
    CFileException(LONG osError, std::wstring fileName) : m_lOsError(osError), m_strFileName(std::move(fileName)) {}
    BOOL GetErrorMessage(wchar_t* buffer, UINT capacity) const override;

    LONG m_lOsError = 0;
    std::wstring m_strFileName;
};

// Throws a CInternetException for the calling thread's last error.
[[noreturn]] void ThrowLastInternetError(DWORD_PTR context);

}  // namespace fw
