// What the registry records about installed family products. A missing key or value reads as
// empty: the product is not installed.
#pragma once
#include <string>

// Value "Version": of the online-update tool's own key for "Veltrona Online Update", else of the
// product's subkey of the family key.
std::wstring ReadInstalledVersion(const std::wstring& id);

// Value "Path" (install folder) of the same key as the version.
std::wstring ReadInstalledPath(const std::wstring& id);

// TRUE when the family key's subkey of that name holds a non-empty "Version".
bool IsProductInstalled(const std::wstring& name);
