#include "support/TextTests.h"

#include <regex>

namespace {

// Written with braces as the capture group and parentheses as plain grouping, the notation the
// stored pattern has always used.
const wchar_t ALPHANUMERIC_PATTERN[] = L"({[a-zA-Z0-9]+})";

// The standard matcher reads braces as repetition counts, and an opening brace with nothing before
// it does not parse. Braces in this pattern only ever delimit the group, so they become parentheses.
std::wstring ToStandardSyntax(const std::wstring& pattern) {
    std::wstring converted = pattern;
    for (wchar_t& c : converted) {
        if (c == L'{') c = L'(';
        else if (c == L'}') c = L')';
    }
    return converted;
}

bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

// Every part between the dots is a number; exactly dotCount dots.
bool IsDottedNumbers(const std::wstring& text, size_t dotCount) {
    size_t dots = 0;
    size_t partStart = 0;
    for (size_t i = 0; i <= text.size(); ++i) {
        if (i == text.size() || text[i] == L'.') {
            if (!IsNumberText(text.substr(partStart, i - partStart))) return false;
            if (i < text.size()) ++dots;
            partStart = i + 1;
        }
    }
    return dots == dotCount;
}

}  // namespace

bool IsNumberText(const std::wstring& text) {
    if (text.empty() || text[0] == L'.') return false;
    size_t dots = 0;
    for (wchar_t c : text) {
        if (c == L'.') {
            if (++dots > 1) return false;
        } else if (!IsDigit(c)) {
            return false;
        }
    }
    return true;
}

bool IsVersion4(const std::wstring& text) { return IsDottedNumbers(text, 3); }

bool IsVersion3(const std::wstring& text) { return IsDottedNumbers(text, 2); }

bool IsAlphanumericText(const std::wstring& text) {
    try {
        const std::wregex pattern(ToStandardSyntax(ALPHANUMERIC_PATTERN));
        std::wsmatch match;
        if (!std::regex_search(text, match, pattern)) return false;
        return match.size() > 1 && match[1].matched && match[1].str() == text;
    } catch (const std::regex_error&) {
        return false;
    }
}
