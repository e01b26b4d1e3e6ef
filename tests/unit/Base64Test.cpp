#include <gtest/gtest.h>

#include <string>

#include "support/Base64.h"

namespace {

std::string Encode(const std::string& text, size_t capacity = 260) {
    char output[1024];
    if (!Base64EncodeLines(reinterpret_cast<const unsigned char*>(text.data()), text.size(), output, capacity))
        return "<refused>";
    return output;
}

TEST(Base64Test, PaddingAndLineBreaks) {
    EXPECT_EQ(Encode(""), "");
    EXPECT_EQ(Encode("a"), "YQ==");
    EXPECT_EQ(Encode("ab"), "YWI=");
    EXPECT_EQ(Encode("user:pass"), "dXNlcjpwYXNz");
    // 57 bytes make exactly one full line; the 58th starts a second one after CR LF.
    EXPECT_EQ(Encode(std::string(57, 'a')).find('\r'), std::string::npos);
    std::string two = Encode(std::string(58, 'a'));
    ASSERT_EQ(two.size(), 76u + 2 + 4);
    EXPECT_EQ(two.substr(76, 2), "\r\n");
}

TEST(Base64Test, TextThatWouldNotFitIsRefusedWhole) {
    // 188 bytes: 252 characters plus three line breaks = 258, and the terminator: 259 of 260.
    EXPECT_NE(Encode(std::string(188, 'x')), "<refused>");
    EXPECT_EQ(Encode(std::string(192, 'x')), "<refused>");
    EXPECT_EQ(Encode("abc", 4), "<refused>");
    EXPECT_EQ(Encode("abc", 5), "YWJj");
}

}  // namespace
