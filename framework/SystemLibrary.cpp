#include "framework/SystemLibrary.h"

#include <string>

namespace fw {

HMODULE LoadSystemLibrary(const wchar_t* fileName) {
    wchar_t folder[MAX_PATH] = {};
    const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return nullptr;
    std::wstring path(folder, length);
    if (path.back() != L'\\') path += L'\\';
    path += fileName;
    if (path.size() >= MAX_PATH) {
        SetLastError(ERROR_FILENAME_EXCED_RANGE);
        return nullptr;
    }
    return LoadLibraryW(path.c_str());
}

}  // namespace fw
