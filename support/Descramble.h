// Recovers stored credentials: three-digit groups, each a character code shifted by the key.
#pragma once
#include <cstddef>

// Writes the plain text into output (capacity characters, terminator included). Decoding stops at
// the end of the key, of the output buffer, or at an incomplete final group.
void Descramble(const wchar_t* scrambled, wchar_t* output, size_t capacity, const wchar_t* key, int offset);
