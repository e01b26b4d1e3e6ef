// Tests on texts read from files, the registry and the catalogue.
#pragma once
#include <string>

// Digits with at most one '.', which is not the first character ("12", "1.0", "5.").
bool IsNumberText(const std::wstring& text);

// Four (or three) dot-separated runs of digits.
bool IsVersion4(const std::wstring& text);
bool IsVersion3(const std::wstring& text);

// The whole text is ASCII letters and digits.
bool IsAlphanumericText(const std::wstring& text);
