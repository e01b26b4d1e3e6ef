#include "download/ExceptionLog.h"

#include "download/HttpDownloadLog.h"
#include "framework/StringFormat.h"

namespace {

std::wstring Prefix(ExceptionLogLayout layout, const wchar_t* operation) {
    return (layout == ExceptionLogLayout::Report ? L"Error:CHttpDownLoad::" : L"Error::CHttpDownLoad::") +
           std::wstring(operation);
}

void Line(const std::wstring& prefix, const std::wstring& text) { HTTPDL_ERROR((prefix + text).c_str()); }

std::wstring Number(long long value) { return fw::Format(L"%d", static_cast<int>(value)); }

}  // namespace

void LogInternetException(ExceptionLogLayout layout, const wchar_t* operation, const fw::CInternetException& failure,
                          DWORD lastError) {
    const std::wstring prefix = Prefix(layout, operation);
    const std::wstring message = failure.ErrorMessage();
    const std::wstring context = Number(failure.m_dwContext);
    const std::wstring error = Number(failure.m_dwError);
    switch (layout) {
        case ExceptionLogLayout::Detailed:
            Line(prefix, L":InternetException....getLastError:" + Number(lastError));
            Line(prefix, L":InternetException");
            Line(prefix, L":InternetException...strCError:" + message);
            Line(prefix, L":InternetException...m_dwContext:" + context);
            Line(prefix, L":InternetException...m_dwError:" + error);
            break;
        case ExceptionLogLayout::Report:
            Line(prefix, L":InternetException");
            Line(prefix, L":InternetException...getLastError:" + Number(lastError));
            Line(prefix, L":InternetException...strCError:" + message);
            Line(prefix, L":InternetException...m_dwContext:" + context);
            Line(prefix, L":InternetException...m_dwError:" + error);
            break;
        case ExceptionLogLayout::Brief:
            Line(prefix, L":InternetException");
            break;
    }
}

void LogFileException(ExceptionLogLayout layout, const wchar_t* operation, const fw::CFileException& failure,
                      DWORD lastError) {
    const std::wstring prefix = Prefix(layout, operation);
    const std::wstring message = failure.ErrorMessage();
    const std::wstring osError = Number(failure.m_lOsError);
    switch (layout) {
        case ExceptionLogLayout::Detailed:
            Line(prefix, L":FileException....getLastError:" + Number(lastError));
            Line(prefix, L":CFileException");
            Line(prefix, L":FileException...strCError:" + message);
            Line(prefix, L":FileException...m_lOsError:" + osError);
            Line(prefix, L":FileException...m_strFileName:" + failure.m_strFileName);
            break;
        case ExceptionLogLayout::Report:
            Line(prefix, L":CFileException");
            Line(prefix, L":CFileException...getLastError:" + Number(lastError));
            Line(prefix, L":CFileException...strCError:" + message);
            Line(prefix, L":CFileException...m_lOsError:" + osError);
            Line(prefix, L":CFileException...m_strFileName:" + failure.m_strFileName);
            break;
        case ExceptionLogLayout::Brief:
            Line(prefix, L":CFileException");
            break;
    }
}

void LogOtherException(ExceptionLogLayout layout, const wchar_t* operation, DWORD lastError) {
    const std::wstring prefix = Prefix(layout, operation);
    switch (layout) {
        case ExceptionLogLayout::Detailed:
            Line(prefix, L":CException....getLastError:" + Number(lastError));
            Line(prefix, L":CException");
            break;
        case ExceptionLogLayout::Report:
            Line(prefix, L":CException");
            Line(prefix, L":CException...getLastError:" + Number(lastError));
            break;
        case ExceptionLogLayout::Brief:
            Line(prefix, L":CException");
            break;
    }
}
