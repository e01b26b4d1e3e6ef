// INI-file access with the platform's profile functions; writes are retried.
#pragma once
#include <string>

// At most 259 characters; empty when the key is missing.
std::wstring ReadProfileString(const std::wstring& section, const std::wstring& key, const std::wstring& file);

// The stored text's leading integer when it passes the number test, else defaultValue.
int ReadProfileInt(const std::wstring& section, const std::wstring& key, const std::wstring& file,
                   int defaultValue);

// Up to five attempts, each after a 500 ms pause; TRUE at the first success.
bool WriteProfileStringWithRetry(const std::wstring& section, const std::wstring& key, const std::wstring& value,
                                 const std::wstring& file);

// Writes "%d" of the value into section "Common" the same way.
bool WriteProfileIntWithRetry(const std::wstring& key, int value, const std::wstring& file);
