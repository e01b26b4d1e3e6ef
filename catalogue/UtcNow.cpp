#include "catalogue/UtcNow.h"

#include <windows.h>

#include <ctime>

bool GetCurrentUtcTime(int64_t& now) {
    TIME_ZONE_INFORMATION zone = {};
    if (GetTimeZoneInformation(&zone) == TIME_ZONE_ID_INVALID) return false;
    SYSTEMTIME local = {};
    GetLocalTime(&local);
    SYSTEMTIME utc = {};
    if (!TzSpecificLocalTimeToSystemTime(&zone, &local, &utc)) return false;
    std::tm parts = {};
    parts.tm_year = utc.wYear - 1900;
    parts.tm_mon = utc.wMonth - 1;
    parts.tm_mday = utc.wDay;
    parts.tm_hour = utc.wHour;
    parts.tm_min = utc.wMinute;
    parts.tm_sec = utc.wSecond;
    parts.tm_isdst = -1;
    const __time64_t seconds = _mktime64(&parts);
    if (seconds == -1) return false;
    now = seconds;
    return true;
}
