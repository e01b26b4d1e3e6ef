#include "support/SizeText.h"

#include <windows.h>

namespace {

const int64_t MEGABYTE_TENTHS_LIMIT = 99999;

std::wstring LocaleText(LCTYPE item, const wchar_t* fallback) {
    wchar_t text[16] = {};
    if (GetLocaleInfoW(LOCALE_USER_DEFAULT, item, text, 16) == 0) return fallback;
    return text;
}

// Decimal digits with the separator between groups of three, counted from the right.
std::wstring GroupedDigits(int64_t value, const std::wstring& separator) {
    std::wstring digits = std::to_wstring(value);
    std::wstring grouped;
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) grouped += separator;
        grouped += digits[i];
    }
    return grouped;
}

}  // namespace

std::wstring SizeToMegabytes(int64_t bytes, int64_t& tenths) {
    if (bytes < 0) return std::wstring();
    const int64_t kilobytes = bytes / 1024;
    int64_t value = kilobytes * 10 / 1024;
    // Round up whatever either division dropped.
    if (bytes % 1024 != 0 || kilobytes % 512 != 0) ++value;
    if (value == 0) value = 1;
    if (value > MEGABYTE_TENTHS_LIMIT) value = MEGABYTE_TENTHS_LIMIT;
    tenths = value;
    return FormatSizeTenths(value, MEGABYTE_TENTHS_LIMIT);
}

std::wstring FormatSizeTenths(int64_t tenths, int64_t cap) {
    if (tenths > cap) tenths = cap;
    if (tenths < 0) return std::wstring();
    return GroupedDigits(tenths / 10, LocaleText(LOCALE_STHOUSAND, L",")) + LocaleText(LOCALE_SDECIMAL, L".") +
           std::to_wstring(tenths % 10);
}
