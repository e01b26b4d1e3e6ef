// Conversions of catalogue texts into the values the package records hold.
#pragma once
#include <cstdint>
#include <string>

// "year/month/day hour:minute:second" (a UTC wall-clock time) converted as a local time, the way
// the selection converts the current UTC time, so both sides carry the same offset. FALSE when a
// number is missing or out of range or the conversion fails.
bool ParseDate(const std::wstring& text, int64_t& seconds);

// A size attribute: its leading digits as a number when the text is a plain number ("12.5" is
// 12), else -1.
int64_t ReadByteCount(const std::wstring& text);

// Compares the first three numbers of two dotted versions (a missing or unreadable part is -1):
// 1 when a is smaller, 2 when a is greater, 0 when equal.
int CompareVersion3(const std::wstring& a, const std::wstring& b);

// Bytes (0 or more) to tenths of a megabyte, rounded up, 1 to 99999.
int64_t SizeToTenths(int64_t bytes);
