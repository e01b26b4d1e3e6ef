#include "tests/support/StringTableModule.h"

#include <atomic>
#include <vector>

#include "framework/AppBase.h"

namespace vttest {

namespace {

// A string table is stored in blocks of 16 strings: block n (from 1) holds ids (n-1)*16 to
// n*16-1, each as a length word followed by its characters without terminator.
std::map<UINT, std::vector<WORD>> StringBlocks(const std::map<UINT, std::wstring>& strings) {
    std::map<UINT, std::vector<std::wstring>> texts;
    for (const auto& entry : strings) {
        std::vector<std::wstring>& block = texts[entry.first / 16 + 1];
        block.resize(16);
        block[entry.first % 16] = entry.second;
    }
    std::map<UINT, std::vector<WORD>> blocks;
    for (const auto& block : texts) {
        std::vector<WORD>& data = blocks[block.first];
        for (const std::wstring& text : block.second) {
            data.push_back(static_cast<WORD>(text.size()));
            data.insert(data.end(), text.begin(), text.end());
        }
    }
    return blocks;
}

}  // namespace

StringTableModule::StringTableModule(const std::wstring& folder, const std::map<UINT, std::wstring>& strings) {
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    static std::atomic<unsigned> counter{0};
    m_path = folder + L"\\strings" + std::to_wstring(counter++) + L".dll";
    // Any valid image will do as the container; the running test program is at hand.
    if (!CopyFileW(self, m_path.c_str(), FALSE)) return;

    HANDLE update = BeginUpdateResourceW(m_path.c_str(), TRUE);
    if (!update) return;
    bool written = true;
    for (const auto& block : StringBlocks(strings)) {
        written = written && UpdateResourceW(update, RT_STRING, MAKEINTRESOURCEW(block.first),
                                             MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL),
                                             const_cast<WORD*>(block.second.data()),
                                             static_cast<DWORD>(block.second.size() * sizeof(WORD)));
    }
    if (!EndUpdateResourceW(update, written ? FALSE : TRUE) || !written) return;
    m_module = LoadLibraryExW(m_path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
}

StringTableModule::~StringTableModule() {
    if (m_module) FreeLibrary(m_module);
    DeleteFileW(m_path.c_str());
}

ScopedResourceModule::ScopedResourceModule(HMODULE module) : m_previous(fw::GetResourceModule()) {
    fw::SetResourceModule(module);
}

ScopedResourceModule::~ScopedResourceModule() { fw::SetResourceModule(m_previous); }

}  // namespace vttest
