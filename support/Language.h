// The user's language, language resource modules and language-specific files.
#pragma once
#include <windows.h>
#include <string>

// Canonical language id for the user's primary language (1033 for any unlisted language).
WORD GetMappedLanguageId();
// Language code of the mapped language: "en", "de", "zh-CN", "zh-tw", "po", ...
std::wstring GetLanguageCode();

// Loads "<folder><name><langid as %04x>.dll" beside the program, trying the user's own language id
// first and the mapped id next. Null when neither exists.
HMODULE LoadLanguageResourceModule(const wchar_t* programPath);

// "<folder>\<langid>\<name>" for the user's, then the mapped language id; "<folder>\<name>" when
// neither exists.
std::wstring GetLanguageSpecificFile(const std::wstring& folder, const std::wstring& name);

// Loads a string-table text of the current resource module into the buffer; returns its length,
// at most capacity - 1.
int LoadResourceString(wchar_t* buffer, int capacity, UINT id);
