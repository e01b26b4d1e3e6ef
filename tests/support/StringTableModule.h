// A resource module holding a given string table, built at run time, so code that loads
// string-table texts from the current resource module can be tested without the program's own
// resources.
#pragma once
#include <windows.h>

#include <map>
#include <string>

namespace vttest {

class StringTableModule {
public:
    // Writes a module with exactly these strings into the folder and loads it as a data file.
    StringTableModule(const std::wstring& folder, const std::map<UINT, std::wstring>& strings);
    ~StringTableModule();
    StringTableModule(const StringTableModule&) = delete;
    StringTableModule& operator=(const StringTableModule&) = delete;

    HMODULE Handle() const { return m_module; }
    const std::wstring& Path() const { return m_path; }

private:
    std::wstring m_path;
    HMODULE m_module = nullptr;
};

// Makes the module the framework's resource module while it lives.
class ScopedResourceModule {
public:
    explicit ScopedResourceModule(HMODULE module);
    ~ScopedResourceModule();
    ScopedResourceModule(const ScopedResourceModule&) = delete;
    ScopedResourceModule& operator=(const ScopedResourceModule&) = delete;

private:
    HINSTANCE m_previous;
};

}  // namespace vttest
