#include "support/RecentDevice.h"

#include <windows.h>
#include <shlwapi.h>

#include "framework/StringFormat.h"
#include "support/Profile.h"
#include "support/SystemInfo.h"

bool GetRecentDevice(const std::wstring& osVersion, std::wstring& deviceName) {
    deviceName.clear();
    const std::wstring settingsFile = fw::Format(L"%s\\%s\\%s", GetCommonAppDataFolder(osVersion).c_str(),
                                                 L"ZEL\\Veltrona", L"ZelVtDev.ini");
    if (!PathFileExistsW(settingsFile.c_str())) return false;
    deviceName = ReadProfileString(L"Recent", L"Dev", settingsFile);
    return !deviceName.empty();
}
