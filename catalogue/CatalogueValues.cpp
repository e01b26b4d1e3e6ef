#include "catalogue/CatalogueValues.h"

#include <cstdio>
#include <ctime>
#include <limits>

#include "support/SizeText.h"
#include "support/TextTests.h"

bool ParseDate(const std::wstring& text, int64_t& seconds) {
    int year, month, day, hour, minute, second;
    if (swscanf(text.c_str(), L"%d/%d/%d %d:%d:%d", &year, &month, &day, &hour, &minute, &second) != 6) {
        return false;
    }
    if (year < 1900 || month < 1 || month > 12 || day < 1 || day > 31 || hour < 0 || hour > 23 || minute < 0 ||
        minute > 59 || second < 0 || second > 59) {
        return false;
    }
    struct tm parts = {};
    parts.tm_year = year - 1900;
    parts.tm_mon = month - 1;
    parts.tm_mday = day;
    parts.tm_hour = hour;
    parts.tm_min = minute;
    parts.tm_sec = second;
    parts.tm_isdst = -1;
    const __time64_t converted = _mktime64(&parts);
    if (converted == -1) return false;
    seconds = converted;
    return true;
}

int64_t ReadByteCount(const std::wstring& text) {
    if (!IsNumberText(text)) return -1;
    // Saturates instead of wrapping, so an absurdly long number never turns negative.
    const int64_t limit = std::numeric_limits<int64_t>::max();
    int64_t value = 0;
    for (wchar_t c : text) {
        if (c < L'0' || c > L'9') break;
        const int digit = c - L'0';
        value = value > (limit - digit) / 10 ? limit : value * 10 + digit;
    }
    return value;
}

int CompareVersion3(const std::wstring& a, const std::wstring& b) {
    int left[3] = {-1, -1, -1};
    int right[3] = {-1, -1, -1};
    swscanf(a.c_str(), L"%d.%d.%d", &left[0], &left[1], &left[2]);
    swscanf(b.c_str(), L"%d.%d.%d", &right[0], &right[1], &right[2]);
    for (int i = 0; i < 3; ++i) {
        if (left[i] < right[i]) return 1;
        if (left[i] > right[i]) return 2;
    }
    return 0;
}

int64_t SizeToTenths(int64_t bytes) {
    int64_t tenths = 0;
    SizeToMegabytes(bytes, tenths);
    return tenths;
}
