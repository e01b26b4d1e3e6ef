#include "tests/support/Credentials.h"

#include <cstdio>
#include <cwchar>

namespace vttest {

std::string ScrambleCredentials(const std::wstring& plain) {
    const wchar_t key[] = L"tgHElmBoRaqU tgHElmBoRaqU tgHElmBoRaqU";
    const size_t keyLength = wcslen(key);
    std::string scrambled;
    for (size_t i = 0; i < plain.size(); ++i) {
        // Beyond the key the program stops decoding; the group is still well formed.
        const int keyCode = i < keyLength ? key[i] : 0;
        char group[8];
        snprintf(group, sizeof group, "%03d", static_cast<int>(plain[i]) + keyCode + 12);
        scrambled += group;
    }
    return scrambled;
}

}  // namespace vttest
