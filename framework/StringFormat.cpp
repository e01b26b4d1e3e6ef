#include "framework/StringFormat.h"
#include "framework/AppBase.h"

#include <cwchar>
#include <vector>

namespace fw {

std::wstring FormatV(const wchar_t* format, va_list args) {
    if (!format) return std::wstring();
    std::vector<wchar_t> buffer(256);
    for (;;) {
        va_list copy;
        va_copy(copy, args);
        // The runtime's own _vsnwprintf: -1 when the buffer is too small.
        int written = _vsnwprintf(buffer.data(), buffer.size() - 1, format, copy);
        va_end(copy);
        if (written >= 0 && static_cast<size_t>(written) < buffer.size() - 1)
            return std::wstring(buffer.data(), written);
        if (buffer.size() >= (1u << 24)) return std::wstring();  // runaway format
        buffer.resize(buffer.size() * 2);
    }
}

std::wstring Format(const wchar_t* format, ...) {
    va_list args;
    va_start(args, format);
    std::wstring text = FormatV(format, args);
    va_end(args);
    return text;
}

std::wstring LoadResString(unsigned id) {
    const wchar_t* text = nullptr;
    // Length 0 asks for a read-only pointer into the resource itself (no copy, no length limit).
    int length = LoadStringW(GetResourceModule(), id, reinterpret_cast<LPWSTR>(&text), 0);
    if (length <= 0 || !text) return std::wstring();
    return std::wstring(text, length);
}

}  // namespace fw
