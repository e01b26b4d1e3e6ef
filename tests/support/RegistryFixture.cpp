#include "support/RegistryFixture.h"

namespace vttest {

namespace {

const wchar_t FAMILY_PRODUCTS_KEY[] = L"SOFTWARE\\ZEL\\Veltrona Software";
const wchar_t BACKUP_ROOT[] = L"SOFTWARE\\VTInstTestBackup";

bool IsInsideCreatedKey(const std::vector<std::wstring>& created, const std::wstring& keyPath) {
    for (const std::wstring& outer : created) {
        if (keyPath == outer || keyPath.compare(0, outer.size() + 1, outer + L"\\") == 0) return true;
    }
    return false;
}

}  // namespace

bool RegistryFixture::KeyExists(const std::wstring& keyPath) const {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, KEY_READ | m_view, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

// Copies a whole key to a new place (created when missing).
bool RegistryFixture::CopyKey(const std::wstring& from, const std::wstring& to) const {
    HKEY source = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, from.c_str(), 0, KEY_READ | m_view, &source) != ERROR_SUCCESS) return false;
    HKEY target = nullptr;
    bool copied = false;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, to.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | m_view, nullptr, &target,
                        nullptr) == ERROR_SUCCESS) {
        copied = RegCopyTreeW(source, nullptr, target) == ERROR_SUCCESS;
        RegCloseKey(target);
    }
    RegCloseKey(source);
    return copied;
}

// The key with everything below it.
void RegistryFixture::DeleteKeyTree(const std::wstring& keyPath) const {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, KEY_ALL_ACCESS | m_view, &key) != ERROR_SUCCESS) return;
    RegDeleteTreeW(key, nullptr);
    RegCloseKey(key);
    RegDeleteKeyExW(HKEY_LOCAL_MACHINE, keyPath.c_str(), m_view, 0);
}

RegistryFixture::~RegistryFixture() {
    for (auto saved = m_savedValues.rbegin(); saved != m_savedValues.rend(); ++saved) {
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, saved->keyPath.c_str(), 0, KEY_SET_VALUE | m_view, &key) != ERROR_SUCCESS)
            continue;
        if (saved->existed)
            RegSetValueExW(key, saved->valueName.c_str(), 0, saved->type, saved->data.data(),
                           static_cast<DWORD>(saved->data.size()));
        else
            RegDeleteValueW(key, saved->valueName.c_str());
        RegCloseKey(key);
    }
    for (auto created = m_createdKeys.rbegin(); created != m_createdKeys.rend(); ++created) DeleteKeyTree(*created);
    for (auto hidden = m_hiddenKeys.rbegin(); hidden != m_hiddenKeys.rend(); ++hidden) {
        DeleteKeyTree(hidden->keyPath);
        if (CopyKey(hidden->backupPath, hidden->keyPath)) DeleteKeyTree(hidden->backupPath);
    }
    if (!m_hiddenKeys.empty()) RegDeleteKeyExW(HKEY_LOCAL_MACHINE, BACKUP_ROOT, m_view, 0);  // only once empty
}

bool RegistryFixture::HideKey(const std::wstring& keyPath) {
    if (!KeyExists(keyPath)) return true;
    static unsigned counter = 0;
    const std::wstring backup = std::wstring(BACKUP_ROOT) + L"\\" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                                std::to_wstring(counter++);
    if (!CopyKey(keyPath, backup)) return false;
    m_hiddenKeys.push_back({keyPath, backup});
    DeleteKeyTree(keyPath);
    return !KeyExists(keyPath);
}

bool RegistryFixture::SetString(const std::wstring& keyPath, const std::wstring& valueName, const std::wstring& value) {
    return SetValue(keyPath, valueName, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                    static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

bool RegistryFixture::SetDword(const std::wstring& keyPath, const std::wstring& valueName, DWORD value) {
    return SetValue(keyPath, valueName, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value));
}

bool RegistryFixture::DeleteValue(const std::wstring& keyPath, const std::wstring& valueName) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, KEY_QUERY_VALUE | KEY_SET_VALUE | m_view, &key) !=
        ERROR_SUCCESS)
        return true;  // nothing there to remove
    SaveValue(key, keyPath, valueName);
    const LONG status = RegDeleteValueW(key, valueName.c_str());
    RegCloseKey(key);
    return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
}

bool RegistryFixture::InstallProduct(const std::wstring& id, const std::wstring& version, const std::wstring& path) {
    const std::wstring keyPath = std::wstring(FAMILY_PRODUCTS_KEY) + L"\\" + id;
    if (!SetString(keyPath, L"Version", version)) return false;
    return path.empty() || SetString(keyPath, L"Path", path);
}

bool RegistryFixture::SetValue(const std::wstring& keyPath, const std::wstring& valueName, DWORD type,
                               const BYTE* data, DWORD size) {
    HKEY key = CreateKeyPath(keyPath);
    if (!key) return false;
    SaveValue(key, keyPath, valueName);
    const LONG status = RegSetValueExW(key, valueName.c_str(), 0, type, data, size);
    RegCloseKey(key);
    return status == ERROR_SUCCESS;
}

// Creates the path one key at a time so that the outermost key this fixture created is known.
HKEY RegistryFixture::CreateKeyPath(const std::wstring& keyPath) {
    HKEY key = nullptr;
    size_t end = 0;
    while (end != std::wstring::npos) {
        end = keyPath.find(L'\\', end + 1);
        const std::wstring partial = keyPath.substr(0, end);
        if (key) RegCloseKey(key);
        key = nullptr;
        DWORD disposition = 0;
        if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, partial.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | m_view, nullptr, &key,
                            &disposition) != ERROR_SUCCESS)
            return nullptr;
        if (disposition == REG_CREATED_NEW_KEY && !IsInsideCreatedKey(m_createdKeys, partial)) m_createdKeys.push_back(partial);
    }
    return key;
}

void RegistryFixture::SaveValue(HKEY key, const std::wstring& keyPath, const std::wstring& valueName) {
    if (IsInsideCreatedKey(m_createdKeys, keyPath)) return;  // goes with its key
    for (const SavedValue& saved : m_savedValues) {
        if (saved.keyPath == keyPath && saved.valueName == valueName) return;  // first contents win
    }
    SavedValue saved;
    saved.keyPath = keyPath;
    saved.valueName = valueName;
    DWORD size = 0;
    if (RegQueryValueExW(key, valueName.c_str(), nullptr, &saved.type, nullptr, &size) == ERROR_SUCCESS) {
        saved.data.resize(size);
        saved.existed = RegQueryValueExW(key, valueName.c_str(), nullptr, &saved.type, saved.data.data(), &size) ==
                        ERROR_SUCCESS;
        saved.data.resize(size);
    }
    m_savedValues.push_back(saved);
}

}  // namespace vttest
