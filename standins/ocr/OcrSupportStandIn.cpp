// Stand-in for the family's OCR support library (exports listed in the .def files, so a variant
// can leave one out). Its answers come from "OcrSupport.ini" beside
// the DLL, so a test or the demo decides what the installer sees:
//   [Answers]
//   IsSupportedOCREngine=1       ; answer for every engine version, unless listed below
//   Engine.<version>=0           ; answer for one engine version text
//   IsOCRLangPackInstall=0
//   IsEnvMultiBytesLang=0
//   [Calls] is written back: the last engine version asked about and the number of calls.
#include <windows.h>

#include <string>

namespace {

HMODULE g_self = nullptr;

std::wstring SettingsPath() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(g_self, path, MAX_PATH);
    std::wstring text = path;
    return text.substr(0, text.find_last_of(L'\\') + 1) + L"OcrSupport.ini";
}

int Answer(const wchar_t* key, int fallback) {
    return static_cast<int>(GetPrivateProfileIntW(L"Answers", key, fallback, SettingsPath().c_str()));
}

void CountCall(const wchar_t* name) {
    std::wstring file = SettingsPath();
    int calls = static_cast<int>(GetPrivateProfileIntW(L"Calls", name, 0, file.c_str()));
    WritePrivateProfileStringW(L"Calls", name, std::to_wstring(calls + 1).c_str(), file.c_str());
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) g_self = instance;
    return TRUE;
}

extern "C" int __cdecl IsSupportedOCREngine(const char* engineVersion) {
    CountCall(L"IsSupportedOCREngine");
    std::wstring version;
    if (engineVersion) {
        int length = MultiByteToWideChar(CP_ACP, 0, engineVersion, -1, nullptr, 0);
        if (length > 0) {
            version.resize(length);
            MultiByteToWideChar(CP_ACP, 0, engineVersion, -1, &version[0], length);
            version.resize(length - 1);
        }
    }
    WritePrivateProfileStringW(L"Calls", L"LastEngineVersion", version.c_str(), SettingsPath().c_str());
    int general = Answer(L"IsSupportedOCREngine", 1);
    return Answer((L"Engine." + version).c_str(), general);
}

extern "C" int __cdecl IsOCRLangPackInstall() {
    CountCall(L"IsOCRLangPackInstall");
    return Answer(L"IsOCRLangPackInstall", 0);
}

extern "C" int __cdecl IsEnvMultiBytesLang() {
    CountCall(L"IsEnvMultiBytesLang");
    return Answer(L"IsEnvMultiBytesLang", 0);
}
