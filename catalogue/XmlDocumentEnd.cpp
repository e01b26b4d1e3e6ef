#include "catalogue/XmlDocumentEnd.h"

#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

// More trailing comments than this after the root is no document this program reads.
const LONGLONG TAIL_BYTES = 64 * 1024;

bool ReadTail(const std::wstring& path, std::string& tail) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    LARGE_INTEGER size = {};
    bool read = GetFileSizeEx(file, &size) != FALSE;
    if (read) {
        const LONGLONG start = size.QuadPart > TAIL_BYTES ? size.QuadPart - TAIL_BYTES : 0;
        LARGE_INTEGER position = {};
        position.QuadPart = start;
        tail.assign(static_cast<size_t>(size.QuadPart - start), '\0');
        DWORD got = 0;
        read = SetFilePointerEx(file, position, nullptr, FILE_BEGIN) &&
               (tail.empty() || ReadFile(file, &tail[0], static_cast<DWORD>(tail.size()), &got, nullptr)) &&
               got == tail.size();
    }
    CloseHandle(file);
    return read;
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

bool EndsWith(const std::string& text, size_t end, const char* suffix) {
    const size_t length = strlen(suffix);
    return end >= length && text.compare(end - length, length, suffix) == 0;
}

}  // namespace

bool FindClosingRootName(const std::wstring& path, std::wstring& name) {
    name.clear();
    std::string tail;
    if (!ReadTail(path, tail)) return false;

    size_t end = tail.size();  // the text before `end` is still to be looked at
    for (;;) {
        while (end > 0 && IsBlank(tail[end - 1])) --end;
        size_t start = std::string::npos;
        if (EndsWith(tail, end, "-->"))
            start = end >= 7 ? tail.rfind("<!--", end - 7) : std::string::npos;
        else if (EndsWith(tail, end, "?>"))
            start = end >= 4 ? tail.rfind("<?", end - 4) : std::string::npos;
        else
            break;
        if (start == std::string::npos) return false;
        end = start;
    }

    // "</name>", blanks allowed before the '>'.
    if (end == 0 || tail[end - 1] != '>') return false;
    size_t nameEnd = end - 1;
    while (nameEnd > 0 && IsBlank(tail[nameEnd - 1])) --nameEnd;
    const size_t open = tail.rfind("</", nameEnd == 0 ? 0 : nameEnd - 1);
    if (open == std::string::npos || open + 2 >= nameEnd) return false;
    const std::string tagName = tail.substr(open + 2, nameEnd - open - 2);
    for (char c : tagName) {
        if (IsBlank(c) || c == '<' || c == '>' || c == '/') return false;
    }
    const int characters = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, tagName.data(),
                                               static_cast<int>(tagName.size()), nullptr, 0);
    if (characters <= 0) return false;
    name.resize(static_cast<size_t>(characters));
    MultiByteToWideChar(CP_UTF8, 0, tagName.data(), static_cast<int>(tagName.size()), &name[0], characters);
    return true;
}
