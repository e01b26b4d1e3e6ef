// String values under HKEY_LOCAL_MACHINE, and the view of it every part of the program uses.
#pragma once
#include <windows.h>

#include <string>

// The machine keys as a 32-bit program sees them on every Windows: its own 32-bit view, where the
// family's 32-bit setups write. A 64-bit build of the same sources must read and write there too.
constexpr REGSAM MACHINE_REGISTRY_VIEW = KEY_WOW64_32KEY;

// The machine's RunOnce key, in that view.
constexpr wchar_t RUN_ONCE_KEY[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnce";

// The value as text up to its first null character; empty when the key or value is missing.
std::wstring GetREGSZDataInfo(const std::wstring& keyPath, const std::wstring& valueName);

// Stores a REG_SZ value under the machine's RunOnce key (created when missing); failures are ignored.
void SetREGSZDataInfo(const std::wstring& valueName, const std::wstring& value);
