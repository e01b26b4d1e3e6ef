// Base64 (standard alphabet, '=' padding) with a line break after every 76 output characters.
#pragma once
#include <cstddef>

// Encodes into output (capacity bytes, terminator included). FALSE, with output emptied, when the
// text would not fit.
bool Base64EncodeLines(const unsigned char* data, size_t length, char* output, size_t capacity);
