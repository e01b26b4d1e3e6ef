// String values under HKEY_LOCAL_MACHINE.
#pragma once
#include <string>

// The value as text up to its first null character; empty when the key or value is missing.
std::wstring GetREGSZDataInfo(const std::wstring& keyPath, const std::wstring& valueName);

// Stores a REG_SZ value under the machine's RunOnce key (created when missing); failures are ignored.
void SetREGSZDataInfo(const std::wstring& valueName, const std::wstring& value);
