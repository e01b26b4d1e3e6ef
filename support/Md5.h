// MD5 message digest (RFC 1321), as the download-count service expects its machine and serial
// digests.
#pragma once
#include <cstddef>
#include <string>

// The digest of the bytes as 32 lowercase hexadecimal digits.
std::string Md5Hex(const void* data, size_t size);

// The digest of the text converted to the ANSI code page, as a wide string.
std::wstring Md5OfAnsiText(const std::wstring& text);
