// Version of the main application's monitor program, from its file version resource.
#pragma once
#include <string>

// "%d.%d.%d.0" of the file version of the program registered under the App Paths entry
// "ZelVtMon.exe"; empty when the entry, the file or its version resource is missing.
std::wstring ReadMonitorVersion();

// The same for any file.
std::wstring ReadFileVersionText(const std::wstring& path);
