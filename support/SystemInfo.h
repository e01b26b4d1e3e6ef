// Facts about the running system and program.
#pragma once
#include <string>

// Version "major.minor" and service pack major number as texts; both "-1" when the query fails.
void QueryOSVersion(std::wstring& version, std::wstring& servicePack);

// Folder of the running program, without the trailing backslash.
std::wstring GetProgramFolder();

// Common application data folder: %PROGRAMDATA%, or the shell's folder on version "5.1".
std::wstring GetCommonAppDataFolder(const std::wstring& osVersion);

// Decimal text of GetLastError().
std::wstring LastErrorText();
