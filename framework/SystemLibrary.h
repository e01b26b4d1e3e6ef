// Libraries of the operating system, loaded by their full path in the system folder. A bare name
// is looked up in the program's own folder first, where anything downloaded beside the program
// would run with its administrator rights; so is a statically imported library that the system
// does not keep among its known libraries, which is why such libraries are loaded here instead.
#pragma once
#include <windows.h>

namespace fw {

// NULL (with the system's error) when the path is too long or the library does not load.
HMODULE LoadSystemLibrary(const wchar_t* fileName);

// A system library held for the life of the object, with its functions by name.
class CSystemLibrary {
public:
    explicit CSystemLibrary(const wchar_t* fileName) : m_module(LoadSystemLibrary(fileName)) {}
    ~CSystemLibrary() {
        if (m_module) FreeLibrary(m_module);
    }
    CSystemLibrary(const CSystemLibrary&) = delete;
    CSystemLibrary& operator=(const CSystemLibrary&) = delete;

    // NULL when the library or the function is missing.
    template <class Function>
    Function Find(const char* name) const {
        if (!m_module) return nullptr;
        return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(m_module, name)));
    }

private:
    HMODULE m_module;
};

}  // namespace fw
