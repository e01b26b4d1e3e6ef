#include "support/Registry.h"

#include <windows.h>

#include <vector>

#include "support/Log.h"

namespace {

const size_t VALUE_CAPACITY = 260;  // characters, terminator included
const int QUERY_ATTEMPTS = 3;       // a value that keeps growing between queries reads as missing

class RegistryKey {
public:
    RegistryKey() = default;
    ~RegistryKey() {
        if (m_key) RegCloseKey(m_key);
    }
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;
    HKEY* Receive() { return &m_key; }
    HKEY Get() const { return m_key; }

private:
    HKEY m_key = nullptr;
};

// The value's bytes as text up to the first null character, whatever its registry type. A value
// larger than the usual buffer is read whole rather than reported missing.
std::wstring QueryValueText(HKEY key, const wchar_t* valueName) {
    std::vector<wchar_t> buffer(VALUE_CAPACITY, L'\0');
    for (int attempt = 0; attempt < QUERY_ATTEMPTS; ++attempt) {
        DWORD bytes = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
        LONG status = RegQueryValueExW(key, valueName, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer.data()),
                                       &bytes);
        if (status == ERROR_MORE_DATA) {
            // Room for an odd byte count and a terminator the value may lack.
            buffer.assign(bytes / sizeof(wchar_t) + 2, L'\0');
            continue;
        }
        if (status != ERROR_SUCCESS) return std::wstring();
        const size_t characters = bytes / sizeof(wchar_t);
        size_t length = 0;
        while (length < characters && length < buffer.size() && buffer[length] != L'\0') ++length;
        return std::wstring(buffer.data(), length);
    }
    return std::wstring();
}

}  // namespace

std::wstring GetREGSZDataInfo(const std::wstring& keyPath, const std::wstring& valueName) {
    LOG_INFO(L"Start:CVTInstApp::GetREGSZDataInfo");
    std::wstring value;
    RegistryKey key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, KEY_READ | MACHINE_REGISTRY_VIEW, key.Receive()) == ERROR_SUCCESS)
        value = QueryValueText(key.Get(), valueName.c_str());
    LOG_INFO(L"End  :CVTInstApp::GetREGSZDataInfo");
    return value;
}

void SetREGSZDataInfo(const std::wstring& valueName, const std::wstring& value) {
    LOG_INFO(L"Start:CVTInstApp::SetREGSZDataInfo");
    RegistryKey key;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, RUN_ONCE_KEY, 0, nullptr, 0, KEY_ALL_ACCESS | MACHINE_REGISTRY_VIEW,
                        nullptr, key.Receive(), nullptr) == ERROR_SUCCESS) {
        const std::wstring stored = value.substr(0, VALUE_CAPACITY - 1);
        RegSetValueExW(key.Get(), valueName.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(stored.c_str()),
                       static_cast<DWORD>((stored.size() + 1) * sizeof(wchar_t)));
    }
    LOG_INFO(L"End  :CVTInstApp::SetREGSZDataInfo");
}
