// Comparison of four-part version texts ("%d.%d.%d.%d"), part by part numerically.
#pragma once
#include <string>

enum VersionOrder {
    VERSION_INVALID = -1,  // either text is not a four-part version
    VERSION_EQUAL = 0,
    VERSION_A_NEWER = 1,
    VERSION_A_OLDER = 2,
};

int CheckVersion(const std::wstring& a, const std::wstring& b);
