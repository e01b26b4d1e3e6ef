#include "tests/support/ScopedRegistryValue.h"

namespace vttest {

namespace {

bool KeyExists(const std::wstring& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

bool KeyIsEmpty(const std::wstring& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    DWORD subKeys = 0, values = 0;
    const bool queried = RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr, &values,
                                          nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
    RegCloseKey(key);
    return queried && subKeys == 0 && values == 0;
}

std::vector<BYTE> BytesOf(const void* data, size_t size) {
    const BYTE* bytes = static_cast<const BYTE*>(data);
    return std::vector<BYTE>(bytes, bytes + size);
}

}  // namespace

ScopedRegistryValue::ScopedRegistryValue(const std::wstring& keyPath, const std::wstring& valueName, DWORD value)
    : ScopedRegistryValue(keyPath, valueName, REG_DWORD, BytesOf(&value, sizeof(value))) {}

ScopedRegistryValue::ScopedRegistryValue(const std::wstring& keyPath, const std::wstring& valueName,
                                         const std::wstring& value)
    : ScopedRegistryValue(keyPath, valueName, REG_SZ, BytesOf(value.c_str(), (value.size() + 1) * sizeof(wchar_t))) {}

ScopedRegistryValue::ScopedRegistryValue(const std::wstring& keyPath, const std::wstring& valueName, DWORD type,
                                         const std::vector<BYTE>& data)
    : m_keyPath(keyPath), m_valueName(valueName) {
    RememberPresentState();
    Set(type, data);
}

ScopedRegistryValue::ScopedRegistryValue(const std::wstring& keyPath, const std::wstring& valueName, Absent)
    : m_keyPath(keyPath), m_valueName(valueName) {
    RememberPresentState();
    HKEY key = nullptr;
    const LONG opened = RegOpenKeyExW(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, KEY_SET_VALUE, &key);
    if (opened == ERROR_SUCCESS) {
        const LONG deleted = RegDeleteValueW(key, valueName.c_str());
        m_ok = deleted == ERROR_SUCCESS || deleted == ERROR_FILE_NOT_FOUND;
        RegCloseKey(key);
    } else {
        m_ok = opened == ERROR_FILE_NOT_FOUND;
    }
}

void ScopedRegistryValue::RememberPresentState() {
    // Remember which parts of the path are new, so that only those are removed afterwards.
    for (size_t end = 0; end != std::wstring::npos;) {
        end = m_keyPath.find(L'\\', end + 1);
        const std::wstring part = m_keyPath.substr(0, end);
        if (!KeyExists(part)) m_createdKeys.push_back(part);
    }
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, m_keyPath.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return;
    DWORD size = 0;
    if (RegQueryValueExW(key, m_valueName.c_str(), nullptr, &m_oldType, nullptr, &size) == ERROR_SUCCESS) {
        m_oldData.resize(size);
        m_hadValue = RegQueryValueExW(key, m_valueName.c_str(), nullptr, &m_oldType,
                                      size ? m_oldData.data() : nullptr, &size) == ERROR_SUCCESS;
    }
    RegCloseKey(key);
}

void ScopedRegistryValue::Set(DWORD type, const std::vector<BYTE>& data) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, m_keyPath.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return;
    m_ok = RegSetValueExW(key, m_valueName.c_str(), 0, type, data.empty() ? nullptr : data.data(),
                          static_cast<DWORD>(data.size())) == ERROR_SUCCESS;
    RegCloseKey(key);
}

ScopedRegistryValue::~ScopedRegistryValue() {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, m_keyPath.c_str(), 0, KEY_WRITE, &key) == ERROR_SUCCESS) {
        if (m_hadValue)
            RegSetValueExW(key, m_valueName.c_str(), 0, m_oldType, m_oldData.empty() ? nullptr : m_oldData.data(),
                           static_cast<DWORD>(m_oldData.size()));
        else
            RegDeleteValueW(key, m_valueName.c_str());
        RegCloseKey(key);
    }
    for (auto created = m_createdKeys.rbegin(); created != m_createdKeys.rend(); ++created)
        if (KeyIsEmpty(*created)) RegDeleteKeyW(HKEY_LOCAL_MACHINE, created->c_str());
}

}  // namespace vttest
