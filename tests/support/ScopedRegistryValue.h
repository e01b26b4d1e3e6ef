// A value under HKEY_LOCAL_MACHINE set (or removed) for one test and put back as it was afterwards:
// the earlier value is restored, and keys the test created are removed again once empty.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace vttest {

class ScopedRegistryValue {
public:
    struct Absent {};
    // The value removed for the test.
    ScopedRegistryValue(const std::wstring& keyPath, const std::wstring& valueName, Absent);
    // REG_DWORD value.
    ScopedRegistryValue(const std::wstring& keyPath, const std::wstring& valueName, DWORD value);
    // REG_SZ value.
    ScopedRegistryValue(const std::wstring& keyPath, const std::wstring& valueName, const std::wstring& value);
    // Any type, given as raw bytes.
    ScopedRegistryValue(const std::wstring& keyPath, const std::wstring& valueName, DWORD type,
                        const std::vector<BYTE>& data);
    ~ScopedRegistryValue();
    ScopedRegistryValue(const ScopedRegistryValue&) = delete;
    ScopedRegistryValue& operator=(const ScopedRegistryValue&) = delete;

    bool Ok() const { return m_ok; }

private:
    void RememberPresentState();
    void Set(DWORD type, const std::vector<BYTE>& data);

    std::wstring m_keyPath;
    std::wstring m_valueName;
    std::vector<std::wstring> m_createdKeys;  // deepest last
    bool m_hadValue = false;
    DWORD m_oldType = REG_NONE;
    std::vector<BYTE> m_oldData;
    bool m_ok = false;
};

}  // namespace vttest
