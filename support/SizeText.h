// Sizes in tenths of a megabyte and their display with the user's separators.
#pragma once
#include <cstdint>
#include <string>

// Bytes to tenths of a megabyte, rounded up, 1 to 99999, and its display text. A negative byte
// count leaves tenths unchanged and gives an empty text.
std::wstring SizeToMegabytes(int64_t bytes, int64_t& tenths);

// "1,234.5" for 12345 tenths; values above cap show as cap; negative values give an empty text.
std::wstring FormatSizeTenths(int64_t tenths, int64_t cap);
