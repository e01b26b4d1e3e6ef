// Owns one WinINet handle and closes it when replaced or destroyed.
#pragma once
#include <windows.h>
#include <wininet.h>

#include <utility>

namespace fw {

class CInternetHandle {
public:
    CInternetHandle() = default;
    explicit CInternetHandle(HINTERNET handle) : m_handle(handle) {}
    ~CInternetHandle() { Close(); }
    CInternetHandle(const CInternetHandle&) = delete;
    CInternetHandle& operator=(const CInternetHandle&) = delete;
    CInternetHandle(CInternetHandle&& other) noexcept : m_handle(std::exchange(other.m_handle, nullptr)) {}
    CInternetHandle& operator=(CInternetHandle&& other) noexcept {
        if (this != &other) {
            Close();
            m_handle = std::exchange(other.m_handle, nullptr);
        }
        return *this;
    }

    void Close() {
        if (m_handle) InternetCloseHandle(std::exchange(m_handle, nullptr));
    }
    HINTERNET Get() const { return m_handle; }
    explicit operator bool() const { return m_handle != nullptr; }

private:
    HINTERNET m_handle = nullptr;
};

}  // namespace fw
