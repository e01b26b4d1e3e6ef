// The scanner the family's programs used last.
#pragma once
#include <string>

// TRUE with the device name when the family's device settings name one.
bool GetRecentDevice(const std::wstring& osVersion, std::wstring& deviceName);
