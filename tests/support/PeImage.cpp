#include "tests/support/PeImage.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace vttest {

namespace {

template <typename T>
bool ReadStruct(const std::vector<BYTE>& file, size_t offset, T& out) {
    if (offset > file.size() || file.size() - offset < sizeof(T)) return false;
    std::memcpy(&out, file.data() + offset, sizeof(T));
    return true;
}

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

}  // namespace

bool PeImage::Load(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    LARGE_INTEGER size = {};
    bool read = GetFileSizeEx(file, &size) && size.QuadPart > 0 && size.QuadPart < (64 << 20);
    if (read) {
        m_file.resize(static_cast<size_t>(size.QuadPart));
        DWORD got = 0;
        read = ReadFile(file, m_file.data(), static_cast<DWORD>(m_file.size()), &got, nullptr) && got == m_file.size();
    }
    CloseHandle(file);
    if (!read) return false;

    IMAGE_DOS_HEADER dos = {};
    if (!ReadStruct(m_file, 0, dos) || dos.e_magic != IMAGE_DOS_SIGNATURE) return false;
    const size_t ntOffset = static_cast<size_t>(dos.e_lfanew);
    DWORD signature = 0;
    IMAGE_FILE_HEADER header = {};
    if (!ReadStruct(m_file, ntOffset, signature) || signature != IMAGE_NT_SIGNATURE) return false;
    if (!ReadStruct(m_file, ntOffset + 4, header)) return false;
    m_machine = header.Machine;

    const size_t optionalOffset = ntOffset + 4 + sizeof(IMAGE_FILE_HEADER);
    WORD magic = 0;
    if (!ReadStruct(m_file, optionalOffset, magic)) return false;
    const bool pe64 = magic == IMAGE_NT_OPTIONAL_HDR64_MAGIC;
    DWORD importRva = 0, exportRva = 0;
    if (pe64) {
        IMAGE_OPTIONAL_HEADER64 optional = {};
        if (!ReadStruct(m_file, optionalOffset, optional)) return false;
        m_subsystem = optional.Subsystem;
        m_osVersion[0] = optional.MajorOperatingSystemVersion;
        m_osVersion[1] = optional.MinorOperatingSystemVersion;
        m_subsystemVersion[0] = optional.MajorSubsystemVersion;
        m_subsystemVersion[1] = optional.MinorSubsystemVersion;
        importRva = optional.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress;
        exportRva = optional.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT].VirtualAddress;
    } else if (magic == IMAGE_NT_OPTIONAL_HDR32_MAGIC) {
        IMAGE_OPTIONAL_HEADER32 optional = {};
        if (!ReadStruct(m_file, optionalOffset, optional)) return false;
        m_subsystem = optional.Subsystem;
        m_osVersion[0] = optional.MajorOperatingSystemVersion;
        m_osVersion[1] = optional.MinorOperatingSystemVersion;
        m_subsystemVersion[0] = optional.MajorSubsystemVersion;
        m_subsystemVersion[1] = optional.MinorSubsystemVersion;
        importRva = optional.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress;
        exportRva = optional.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT].VirtualAddress;
    } else {
        return false;
    }

    const size_t sectionsOffset = optionalOffset + header.SizeOfOptionalHeader;
    for (WORD i = 0; i < header.NumberOfSections; ++i) {
        IMAGE_SECTION_HEADER section = {};
        if (!ReadStruct(m_file, sectionsOffset + i * sizeof(section), section)) return false;
        m_sections.push_back(section);
    }
    return (importRva == 0 || ReadImports(importRva, pe64)) && (exportRva == 0 || ReadExports(exportRva));
}

const BYTE* PeImage::At(DWORD rva, size_t length) const {
    for (const IMAGE_SECTION_HEADER& section : m_sections) {
        const DWORD extent = std::max(section.Misc.VirtualSize, section.SizeOfRawData);
        if (rva < section.VirtualAddress || rva - section.VirtualAddress >= extent) continue;
        const size_t offset = section.PointerToRawData + (rva - section.VirtualAddress);
        if (offset > m_file.size() || m_file.size() - offset < length) return nullptr;
        return m_file.data() + offset;
    }
    return nullptr;
}

std::string PeImage::StringAt(DWORD rva) const {
    const BYTE* text = At(rva, 1);
    if (!text) return std::string();
    const size_t room = m_file.size() - static_cast<size_t>(text - m_file.data());
    return std::string(reinterpret_cast<const char*>(text), strnlen(reinterpret_cast<const char*>(text), room));
}

bool PeImage::ReadImports(DWORD rva, bool pe64) {
    for (DWORD descriptorRva = rva;; descriptorRva += sizeof(IMAGE_IMPORT_DESCRIPTOR)) {
        const BYTE* raw = At(descriptorRva, sizeof(IMAGE_IMPORT_DESCRIPTOR));
        if (!raw) return false;
        IMAGE_IMPORT_DESCRIPTOR descriptor = {};
        std::memcpy(&descriptor, raw, sizeof(descriptor));
        if (descriptor.Name == 0) return true;
        std::set<std::string>& functions = m_imports[Lower(StringAt(descriptor.Name))];
        DWORD thunkRva = descriptor.OriginalFirstThunk ? descriptor.OriginalFirstThunk : descriptor.FirstThunk;
        const size_t thunkSize = pe64 ? 8 : 4;
        for (;; thunkRva += static_cast<DWORD>(thunkSize)) {
            const BYTE* thunk = At(thunkRva, thunkSize);
            if (!thunk) return false;
            ULONGLONG value = 0;
            std::memcpy(&value, thunk, thunkSize);
            if (value == 0) break;
            const ULONGLONG ordinalFlag = pe64 ? IMAGE_ORDINAL_FLAG64 : IMAGE_ORDINAL_FLAG32;
            if (value & ordinalFlag)
                functions.insert("#" + std::to_string(value & 0xFFFF));
            else
                functions.insert(StringAt(static_cast<DWORD>(value) + 2));  // after the hint
        }
    }
}

bool PeImage::ReadExports(DWORD rva) {
    const BYTE* raw = At(rva, sizeof(IMAGE_EXPORT_DIRECTORY));
    if (!raw) return false;
    IMAGE_EXPORT_DIRECTORY directory = {};
    std::memcpy(&directory, raw, sizeof(directory));
    for (DWORD i = 0; i < directory.NumberOfNames; ++i) {
        const BYTE* nameRva = At(directory.AddressOfNames + i * 4, 4);
        if (!nameRva) return false;
        DWORD name = 0;
        std::memcpy(&name, nameRva, 4);
        m_exports.insert(StringAt(name));
    }
    return true;
}

}  // namespace vttest
