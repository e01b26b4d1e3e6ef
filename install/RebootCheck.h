// Registry markers of installations that wait for a restart (all under HKEY_LOCAL_MACHINE).
#pragma once
#include <windows.h>

#include "catalogue/UpdateInfo.h"

#define REBOOTCHECK_MANAGER L"SOFTWARE\\ZEL\\Manager RebootCheck"
#define REBOOTCHECK_MANUAL L"SOFTWARE\\ZEL\\Manual RebootCheck"
#define REBOOTCHECK_OCRPACK L"SOFTWARE\\ZEL\\OCRPack RebootCheck"
#define REBOOTCHECK_ONLINEUPDATE L"SOFTWARE\\ZEL\\OnlineUpdate RebootCheck"
#define REBOOTCHECK_HOME_OCRPACK L"SOFTWARE\\ZEL\\Home OCRPack RebootCheck"

// A value of the machine's RunOnce key is present; only "not found" counts as absent.
bool RunOnceValueExists(const wchar_t* valueName);
// The marker key opens for reading (it is closed again at once).
bool RebootCheckKeyOpens(const wchar_t* keyPath);

// After the installation: TRUE when a setup of the install list left its marker (RebootCheck key or
// RunOnce value) or when restartRequested says a program asked for a restart.
bool InstallListNeedsRestart(const CUpdateInfoList& installList, BOOL restartRequested);
