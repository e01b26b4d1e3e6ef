// The user's language, language resource modules and language-specific files.
#pragma once
#include <windows.h>
#include <string>

// Canonical language id for the user's primary language (1033 for any unlisted language).
// userLanguage defaults to the user's language; tests pass others.
WORD GetMappedLanguageId(LANGID userLanguage = GetUserDefaultLangID());
// Language code of the mapped language: "en", "de", "zh-CN", "zh-tw", "po", ...
std::wstring GetLanguageCode(LANGID userLanguage = GetUserDefaultLangID());

// Path of "<folder><name><langid as %04x>.dll" beside the program, for the user's own language id
// if that file exists, else for the mapped id; empty when neither exists.
std::wstring FindLanguageResourceModule(const wchar_t* programPath, LANGID userLanguage = GetUserDefaultLangID());
// Loads the module FindLanguageResourceModule names. Null when there is none.
HMODULE LoadLanguageResourceModule(const wchar_t* programPath, LANGID userLanguage = GetUserDefaultLangID());

// "<folder>\<langid>\<name>" for the user's, then the mapped language id; "<folder>\<name>" when
// neither exists.
std::wstring GetLanguageSpecificFile(const std::wstring& folder, const std::wstring& name,
                                     LANGID userLanguage = GetUserDefaultLangID());

// Loads a string-table text of the current resource module into the buffer; returns its length,
// at most capacity - 1.
int LoadResourceString(wchar_t* buffer, int capacity, UINT id);
