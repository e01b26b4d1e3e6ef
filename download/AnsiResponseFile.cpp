#include "download/AnsiResponseFile.h"

#include <windows.h>

#include <cstdio>
#include <cstring>

#include "framework/StringFormat.h"
#include "support/Profile.h"

namespace {

std::wstring FromAnsi(const char* text, size_t length) {
    if (length == 0) return std::wstring();
    const int size = MultiByteToWideChar(CP_ACP, 0, text, static_cast<int>(length), nullptr, 0);
    std::wstring result(static_cast<size_t>(size), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text, static_cast<int>(length), &result[0], size);
    return result;
}

}  // namespace

std::wstring ReadResponseProductCode(const std::wstring& responseFile) {
    FILE* file = _wfopen(responseFile.c_str(), L"r");
    if (!file) return std::wstring();
    std::wstring code;
    char line[1024];
    while (fgets(line, sizeof(line), file)) {
        const char* open = strstr(line, "[{");
        if (!open) continue;
        const char* start = open + 2;
        const char* close = strchr(start, '}');
        if (close) code = FromAnsi(start, static_cast<size_t>(close - start));
        break;
    }
    fclose(file);
    return code;
}

bool PointAnsiResponseFile(const std::wstring& responseFile, const std::wstring& folder) {
    const std::wstring code = ReadResponseProductCode(responseFile);
    if (code.empty()) return false;
    const std::wstring section = fw::Format(L"{%s}%s", code.c_str(), L"-SdAskDestPath-0");
    // As the setups expect, the write's own outcome is not examined.
    WriteProfileStringWithRetry(section, L"szDir", folder, responseFile);
    return true;
}
