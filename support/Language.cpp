#include "support/Language.h"

#include <cstdlib>

#include "framework/AppBase.h"
#include "framework/StringFormat.h"
#include "support/FileOps.h"

namespace {

struct MappedLanguage {
    WORD id;
    const wchar_t* code;
};

MappedLanguage MapLanguage(LANGID userLanguage) {
    const BYTE primary = LOBYTE(userLanguage);
    const BYTE sub = HIBYTE(userLanguage);
    switch (primary) {
        case 0x04:
            // Simplified Chinese (China, Singapore); every other Chinese variant is Traditional.
            if (sub == 0x08 || sub == 0x10) return {2052, L"zh-CN"};
            return {1028, L"zh-tw"};
        case 0x07: return {1031, L"de"};
        case 0x0A: return {3082, L"es"};
        case 0x0C: return {1036, L"fr"};
        case 0x10: return {1040, L"it"};
        case 0x11: return {1041, L"ja"};
        case 0x12: return {1042, L"ko"};
        case 0x16: return {1046, L"po"};
        case 0x19: return {1049, L"ru"};
        default: return {1033, L"en"};
    }
}

}  // namespace

WORD GetMappedLanguageId(LANGID userLanguage) { return MapLanguage(userLanguage).id; }

std::wstring GetLanguageCode(LANGID userLanguage) { return MapLanguage(userLanguage).code; }

std::wstring FindLanguageResourceModule(const wchar_t* programPath, LANGID userLanguage) {
    if (!programPath || wcslen(programPath) >= _MAX_PATH) return std::wstring();
    wchar_t drive[_MAX_DRIVE] = {};
    wchar_t folder[_MAX_PATH] = {};  // each part of a path shorter than _MAX_PATH fits
    wchar_t name[_MAX_PATH] = {};
    _wsplitpath(programPath, drive, folder, name, nullptr);
    for (WORD language : {static_cast<WORD>(userLanguage), GetMappedLanguageId(userLanguage)}) {
        std::wstring candidate = fw::Format(L"%s%s%s%04x.dll", drive, folder, name, static_cast<unsigned>(language));
        if (FileExists(candidate)) return candidate;
    }
    return std::wstring();
}

HMODULE LoadLanguageResourceModule(const wchar_t* programPath, LANGID userLanguage) {
    std::wstring module = FindLanguageResourceModule(programPath, userLanguage);
    if (module.empty()) return nullptr;
    return LoadLibraryW(module.c_str());
}

std::wstring GetLanguageSpecificFile(const std::wstring& folder, const std::wstring& name, LANGID userLanguage) {
    for (WORD language : {static_cast<WORD>(userLanguage), GetMappedLanguageId(userLanguage)}) {
        std::wstring candidate =
            fw::Format(L"%s\\%04x\\%s", folder.c_str(), static_cast<unsigned>(language), name.c_str());
        if (FileExists(candidate)) return candidate;
    }
    return fw::Format(L"%s\\%s", folder.c_str(), name.c_str());
}

int LoadResourceString(wchar_t* buffer, int capacity, UINT id) {
    if (!buffer || capacity <= 0) return 0;
    buffer[0] = L'\0';
    // A capacity of 0 would make LoadStringW hand out a pointer instead of copying; excluded above.
    return LoadStringW(fw::GetResourceModule(), id, buffer, capacity);
}
