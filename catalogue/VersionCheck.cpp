#include "catalogue/VersionCheck.h"

#include <cstdio>

#include "support/Log.h"
#include "support/TextTests.h"

namespace {

const int VERSION_PARTS = 4;

void ReadParts(const std::wstring& text, int parts[VERSION_PARTS]) {
    swscanf(text.c_str(), L"%d.%d.%d.%d", &parts[0], &parts[1], &parts[2], &parts[3]);
}

}  // namespace

int CheckVersion(const std::wstring& a, const std::wstring& b) {
    LOG_INFO(L"Start:CVTInstApp::CheckVersion");
    if (!IsVersion4(a) || !IsVersion4(b)) {
        LOG_ERROR(L"Error:CVTInstApp::CheckVersion: version is failed.");
        LOG_INFO(L"End  :CVTInstApp::CheckVersion");
        return VERSION_INVALID;
    }
    int partsA[VERSION_PARTS] = {};
    int partsB[VERSION_PARTS] = {};
    ReadParts(a, partsA);
    ReadParts(b, partsB);
    int order = VERSION_EQUAL;
    for (int i = 0; i < VERSION_PARTS && order == VERSION_EQUAL; ++i) {
        if (partsA[i] < partsB[i]) order = VERSION_A_OLDER;
        else if (partsA[i] > partsB[i]) order = VERSION_A_NEWER;
    }
    LOG_INFO(L"End  :CVTInstApp::CheckVersion");
    return order;
}
