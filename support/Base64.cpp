#include "support/Base64.h"

namespace {
const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
const size_t kLineLength = 76;

size_t EncodedLength(size_t length) {
    size_t characters = (length + 2) / 3 * 4;
    size_t breaks = characters == 0 ? 0 : (characters - 1) / kLineLength;
    return characters + 2 * breaks;
}
}  // namespace

bool Base64EncodeLines(const unsigned char* data, size_t length, char* output, size_t capacity) {
    if (!output || capacity == 0) return false;
    output[0] = '\0';
    if (EncodedLength(length) + 1 > capacity) return false;

    size_t out = 0;
    size_t onLine = 0;
    auto put = [&](char c) {
        if (onLine == kLineLength) {
            output[out++] = '\r';
            output[out++] = '\n';
            onLine = 0;
        }
        output[out++] = c;
        ++onLine;
    };
    for (size_t i = 0; i < length; i += 3) {
        unsigned value = data[i] << 16;
        if (i + 1 < length) value |= data[i + 1] << 8;
        if (i + 2 < length) value |= data[i + 2];
        put(kAlphabet[(value >> 18) & 63]);
        put(kAlphabet[(value >> 12) & 63]);
        put(i + 1 < length ? kAlphabet[(value >> 6) & 63] : '=');
        put(i + 2 < length ? kAlphabet[value & 63] : '=');
    }
    output[out] = '\0';
    return true;
}
