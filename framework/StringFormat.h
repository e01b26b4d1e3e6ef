// printf-style formatting into std::wstring with the C runtime's wide conventions
// (%s takes a wide string, as the string table's texts expect).
#pragma once
#include <cstdarg>
#include <string>

namespace fw {

std::wstring Format(const wchar_t* format, ...);
std::wstring FormatV(const wchar_t* format, va_list args);

// The string-table text with the given id from the current resource module; empty when absent.
std::wstring LoadResString(unsigned id);

}  // namespace fw
