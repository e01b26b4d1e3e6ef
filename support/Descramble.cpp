#include "support/Descramble.h"

#include <cstdlib>

void Descramble(const wchar_t* scrambled, wchar_t* output, size_t capacity, const wchar_t* key, int offset) {
    if (!output || capacity == 0) return;
    size_t written = 0;
    if (scrambled && key) {
        // The key is used by position: text beyond its length has no key character to undo.
        for (const wchar_t* group = scrambled; written + 1 < capacity && key[written] != L'\0'; group += 3) {
            if (group[0] == L'\0' || group[1] == L'\0' || group[2] == L'\0') break;
            const wchar_t digits[4] = {group[0], group[1], group[2], L'\0'};
            const int value = _wtoi(digits);
            output[written] = static_cast<wchar_t>(value - key[written] - offset);
            ++written;
        }
    }
    output[written] = L'\0';
}
