// The log lines an operation writes for an exception it caught. The operations of the engine
// describe the same exception in three established layouts, which tools reading the log expect.
#pragma once
#include <windows.h>

#include <string>

#include "framework/InternetException.h"

enum class ExceptionLogLayout {
    Detailed,  // package downloads: prefix "Error::CHttpDownLoad::" + operation
    Report,    // the report post: prefix "Error:CHttpDownLoad::" + operation, kind first
    Brief,     // single files: prefix "Error::CHttpDownLoad::" + operation, the kind only
};

// lastError: GetLastError() as the handler found it.
void LogInternetException(ExceptionLogLayout layout, const wchar_t* operation, const fw::CInternetException& failure,
                          DWORD lastError);
void LogFileException(ExceptionLogLayout layout, const wchar_t* operation, const fw::CFileException& failure,
                      DWORD lastError);
void LogOtherException(ExceptionLogLayout layout, const wchar_t* operation, DWORD lastError);
