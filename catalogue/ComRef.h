// Holds one reference to a COM interface and releases it when it goes out of scope.
#pragma once

template <class T>
class ComRef {
public:
    ComRef() = default;
    ~ComRef() {
        if (m_object != nullptr) m_object->Release();
    }
    ComRef(const ComRef&) = delete;
    ComRef& operator=(const ComRef&) = delete;

    T** Out() { return &m_object; }
    T* Get() const { return m_object; }
    T* operator->() const { return m_object; }

private:
    T* m_object = nullptr;
};
