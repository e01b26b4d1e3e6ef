// The installer's log: an INI-style file "VtDownLoadInst.log" in the temporary folder, with the
// latest entry's fields in section LOG and a ring of up to 10,000 entry lines in section HIST.
#pragma once

extern "C" __declspec(dllexport) void __cdecl WriteLog(const wchar_t* module, const wchar_t* sourceFile,
                                                       int line, int errorNumber, const wchar_t* message,
                                                       int level, int reserved);

enum LogLevel { LOG_LEVEL_ERROR = 1, LOG_LEVEL_WARNING = 2, LOG_LEVEL_INFO = 3 };

#define VT_WIDEN_(text) L##text
#define VT_WIDEN(text) VT_WIDEN_(text)

// The program passes an empty module name, its source file name and -1 as the reserved value.
#define VT_LOG(level, errorNumber, message) \
    WriteLog(L"", VT_WIDEN(__FILE_NAME__), __LINE__, (errorNumber), (message), (level), -1)
#define LOG_INFO(message) VT_LOG(LOG_LEVEL_INFO, 0, (message))
#define LOG_ERROR(message) VT_LOG(LOG_LEVEL_ERROR, -1, (message))
#define LOG_ERROR_CODE(code, message) VT_LOG(LOG_LEVEL_ERROR, (code), (message))
#define LOG_WARNING(code, message) VT_LOG(LOG_LEVEL_WARNING, (code), (message))
