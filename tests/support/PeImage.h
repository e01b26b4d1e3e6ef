// Reads a Windows program image from its file, whatever the bitness of the reading process: header
// fields, imported functions per library and exported names. Tests use it on the 32-bit product
// from 64-bit test programs too, where the loader would refuse the image.
#pragma once
#include <windows.h>

#include <map>
#include <set>
#include <string>
#include <vector>

namespace vttest {

class PeImage {
public:
    // FALSE when the file is missing or not a well-formed PE image.
    bool Load(const std::wstring& path);

    WORD Machine() const { return m_machine; }
    WORD Subsystem() const { return m_subsystem; }
    WORD MajorOperatingSystemVersion() const { return m_osVersion[0]; }
    WORD MinorOperatingSystemVersion() const { return m_osVersion[1]; }
    WORD MajorSubsystemVersion() const { return m_subsystemVersion[0]; }
    WORD MinorSubsystemVersion() const { return m_subsystemVersion[1]; }

    // Library name in lower case -> function names (an import by ordinal reads "#<n>").
    const std::map<std::string, std::set<std::string>>& Imports() const { return m_imports; }
    const std::set<std::string>& Exports() const { return m_exports; }

private:
    const BYTE* At(DWORD rva, size_t length) const;
    std::string StringAt(DWORD rva) const;
    bool ReadImports(DWORD rva, bool pe64);
    bool ReadExports(DWORD rva);

    std::vector<BYTE> m_file;
    std::vector<IMAGE_SECTION_HEADER> m_sections;
    WORD m_machine = 0;
    WORD m_subsystem = 0;
    WORD m_osVersion[2] = {};
    WORD m_subsystemVersion[2] = {};
    std::map<std::string, std::set<std::string>> m_imports;
    std::set<std::string> m_exports;
};

}  // namespace vttest
