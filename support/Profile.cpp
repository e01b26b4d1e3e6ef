#include "support/Profile.h"

#include <windows.h>

#include <cstdlib>

#include "support/TextTests.h"

namespace {

const int WRITE_ATTEMPTS = 5;
const DWORD WRITE_PAUSE_MS = 500;
const DWORD VALUE_CAPACITY = 260;

}  // namespace

std::wstring ReadProfileString(const std::wstring& section, const std::wstring& key, const std::wstring& file) {
    wchar_t value[VALUE_CAPACITY] = {};
    GetPrivateProfileStringW(section.c_str(), key.c_str(), L"", value, VALUE_CAPACITY, file.c_str());
    return value;
}

int ReadProfileInt(const std::wstring& section, const std::wstring& key, const std::wstring& file,
                   int defaultValue) {
    std::wstring text = ReadProfileString(section, key, file);
    if (!IsNumberText(text)) return defaultValue;
    return _wtoi(text.c_str());
}

// Another program may hold the file for a moment; the pause before the first attempt gives it time.
bool WriteProfileStringWithRetry(const std::wstring& section, const std::wstring& key, const std::wstring& value,
                                 const std::wstring& file) {
    for (int attempt = 0; attempt < WRITE_ATTEMPTS; ++attempt) {
        Sleep(WRITE_PAUSE_MS);
        if (WritePrivateProfileStringW(section.c_str(), key.c_str(), value.c_str(), file.c_str())) return true;
    }
    return false;
}

bool WriteProfileIntWithRetry(const std::wstring& key, int value, const std::wstring& file) {
    return WriteProfileStringWithRetry(L"Common", key, std::to_wstring(value), file);
}
