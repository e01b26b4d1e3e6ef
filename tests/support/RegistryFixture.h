// Registry values under HKEY_LOCAL_MACHINE for one test, removed when the fixture goes: keys it
// created are deleted with everything below them, values it changed in keys that existed before
// get their earlier contents back. By default in the view the program reads (its 32-bit view, also
// from a 64-bit test); system keys that Wine itself reads for the caller (the Windows version, say)
// go through SYSTEM_VIEW, the caller's own view.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "support/Registry.h"

namespace vttest {

class RegistryFixture {
public:
    static constexpr REGSAM SYSTEM_VIEW = 0;

    explicit RegistryFixture(REGSAM view = MACHINE_REGISTRY_VIEW) : m_view(view) {}
    ~RegistryFixture();
    RegistryFixture(const RegistryFixture&) = delete;
    RegistryFixture& operator=(const RegistryFixture&) = delete;

    // The key path is below HKEY_LOCAL_MACHINE; missing keys on the way are created. An empty value
    // name is the key's default value.
    bool SetString(const std::wstring& keyPath, const std::wstring& valueName, const std::wstring& value);
    bool SetDword(const std::wstring& keyPath, const std::wstring& valueName, DWORD value);
    // A value of any type.
    bool SetValue(const std::wstring& keyPath, const std::wstring& valueName, DWORD type, const BYTE* data,
                  DWORD size);
    // Removes a value for the test (restored afterwards when it existed).
    bool DeleteValue(const std::wstring& keyPath, const std::wstring& valueName);

    // Takes a key away (with everything below it) while the fixture lives, so a test starts without
    // it whatever an earlier, interrupted run left behind; it is put back afterwards.
    bool HideKey(const std::wstring& keyPath);

    // An installed family product: "SOFTWARE\ZEL\Veltrona Software\<id>" with "Version" (and "Path"
    // when given).
    bool InstallProduct(const std::wstring& id, const std::wstring& version, const std::wstring& path = L"");

private:
    struct SavedValue {
        std::wstring keyPath;
        std::wstring valueName;
        bool existed = false;
        DWORD type = 0;
        std::vector<BYTE> data;
    };

    HKEY CreateKeyPath(const std::wstring& keyPath);
    bool KeyExists(const std::wstring& keyPath) const;
    bool CopyKey(const std::wstring& from, const std::wstring& to) const;
    void DeleteKeyTree(const std::wstring& keyPath) const;
    void SaveValue(HKEY key, const std::wstring& keyPath, const std::wstring& valueName);

    struct HiddenKey {
        std::wstring keyPath;
        std::wstring backupPath;
    };

    REGSAM m_view;
    std::vector<std::wstring> m_createdKeys;
    std::vector<HiddenKey> m_hiddenKeys;
    std::vector<SavedValue> m_savedValues;
};

}  // namespace vttest
