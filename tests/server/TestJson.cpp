#include "tests/server/TestJson.h"

#include <cstdlib>

namespace vttest {

namespace {

// Deeper nesting than any control answer has; the limit keeps a broken answer from exhausting the stack.
constexpr int kMaxDepth = 64;

void AppendUtf8(std::string& out, unsigned long code)
{
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

const JsonValue& NullValue()
{
    static const JsonValue null;
    return null;
}

}  // namespace

class JsonParser {
public:
    explicit JsonParser(const std::string& text) : m_text(text) {}

    bool ParseDocument(JsonValue& out)
    {
        if (!ParseValue(out, 0))
            return false;
        SkipSpace();
        return m_pos == m_text.size();
    }

private:
    void SkipSpace()
    {
        while (m_pos < m_text.size() &&
               (m_text[m_pos] == ' ' || m_text[m_pos] == '\t' || m_text[m_pos] == '\r' || m_text[m_pos] == '\n'))
            ++m_pos;
    }

    bool Consume(const char* word)
    {
        std::size_t length = std::char_traits<char>::length(word);
        if (m_text.compare(m_pos, length, word) != 0)
            return false;
        m_pos += length;
        return true;
    }

    bool ParseValue(JsonValue& out, int depth)
    {
        if (depth > kMaxDepth)
            return false;
        SkipSpace();
        if (m_pos >= m_text.size())
            return false;
        char c = m_text[m_pos];
        if (c == '{')
            return ParseObject(out, depth);
        if (c == '[')
            return ParseArray(out, depth);
        if (c == '"') {
            out.m_kind = JsonValue::Kind::String;
            return ParseString(out.m_string);
        }
        if (Consume("true")) {
            out.m_kind = JsonValue::Kind::Bool;
            out.m_bool = true;
            return true;
        }
        if (Consume("false")) {
            out.m_kind = JsonValue::Kind::Bool;
            return true;
        }
        if (Consume("null"))
            return true;
        return ParseNumber(out);
    }

    bool ParseNumber(JsonValue& out)
    {
        std::size_t start = m_pos;
        while (m_pos < m_text.size() && std::string("+-0123456789.eE").find(m_text[m_pos]) != std::string::npos)
            ++m_pos;
        if (m_pos == start)
            return false;
        std::string number = m_text.substr(start, m_pos - start);
        char* end = nullptr;
        out.m_number = std::strtod(number.c_str(), &end);
        out.m_kind = JsonValue::Kind::Number;
        return end == number.c_str() + number.size();
    }

    bool ParseHex4(unsigned long& code)
    {
        if (m_pos + 4 > m_text.size())
            return false;
        code = 0;
        for (int i = 0; i < 4; ++i) {
            char c = m_text[m_pos++];
            code <<= 4;
            if (c >= '0' && c <= '9')
                code |= c - '0';
            else if (c >= 'a' && c <= 'f')
                code |= c - 'a' + 10;
            else if (c >= 'A' && c <= 'F')
                code |= c - 'A' + 10;
            else
                return false;
        }
        return true;
    }

    bool ParseString(std::string& out)
    {
        ++m_pos;  // opening quote
        while (m_pos < m_text.size()) {
            char c = m_text[m_pos++];
            if (c == '"')
                return true;
            if (c != '\\') {
                out += c;
                continue;
            }
            if (m_pos >= m_text.size())
                return false;
            char escape = m_text[m_pos++];
            switch (escape) {
            case '"': out += '"'; break;
            case '\\': out += '\\'; break;
            case '/': out += '/'; break;
            case 'b': out += '\b'; break;
            case 'f': out += '\f'; break;
            case 'n': out += '\n'; break;
            case 'r': out += '\r'; break;
            case 't': out += '\t'; break;
            case 'u': {
                unsigned long code = 0;
                if (!ParseHex4(code))
                    return false;
                // A high surrogate followed by a low one encodes a character beyond the BMP.
                if (code >= 0xD800 && code < 0xDC00 && m_text.compare(m_pos, 2, "\\u") == 0) {
                    m_pos += 2;
                    unsigned long low = 0;
                    if (!ParseHex4(low) || low < 0xDC00 || low >= 0xE000)
                        return false;
                    code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
                }
                AppendUtf8(out, code);
                break;
            }
            default:
                return false;
            }
        }
        return false;
    }

    bool ParseArray(JsonValue& out, int depth)
    {
        out.m_kind = JsonValue::Kind::Array;
        ++m_pos;
        SkipSpace();
        if (m_pos < m_text.size() && m_text[m_pos] == ']') {
            ++m_pos;
            return true;
        }
        for (;;) {
            out.m_items.emplace_back();
            if (!ParseValue(out.m_items.back(), depth + 1))
                return false;
            SkipSpace();
            if (m_pos >= m_text.size())
                return false;
            char c = m_text[m_pos++];
            if (c == ']')
                return true;
            if (c != ',')
                return false;
        }
    }

    bool ParseObject(JsonValue& out, int depth)
    {
        out.m_kind = JsonValue::Kind::Object;
        ++m_pos;
        SkipSpace();
        if (m_pos < m_text.size() && m_text[m_pos] == '}') {
            ++m_pos;
            return true;
        }
        for (;;) {
            SkipSpace();
            if (m_pos >= m_text.size() || m_text[m_pos] != '"')
                return false;
            out.m_members.emplace_back();
            if (!ParseString(out.m_members.back().first))
                return false;
            SkipSpace();
            if (m_pos >= m_text.size() || m_text[m_pos++] != ':')
                return false;
            if (!ParseValue(out.m_members.back().second, depth + 1))
                return false;
            SkipSpace();
            if (m_pos >= m_text.size())
                return false;
            char c = m_text[m_pos++];
            if (c == '}')
                return true;
            if (c != ',')
                return false;
        }
    }

    const std::string& m_text;
    std::size_t m_pos = 0;
};

bool JsonValue::Parse(const std::string& text, JsonValue& out)
{
    JsonValue parsed;
    JsonParser parser(text);
    if (!parser.ParseDocument(parsed)) {
        out = JsonValue();
        return false;
    }
    out = std::move(parsed);
    return true;
}

const JsonValue& JsonValue::operator[](const std::string& key) const
{
    for (const auto& member : m_members) {
        if (member.first == key)
            return member.second;
    }
    return NullValue();
}

const JsonValue& JsonValue::operator[](std::size_t index) const
{
    return index < m_items.size() ? m_items[index] : NullValue();
}

bool JsonValue::Has(const std::string& key) const
{
    for (const auto& member : m_members) {
        if (member.first == key)
            return true;
    }
    return false;
}

std::size_t JsonValue::Size() const
{
    if (m_kind == Kind::Array)
        return m_items.size();
    if (m_kind == Kind::Object)
        return m_members.size();
    return 0;
}

const std::string& JsonValue::Str() const
{
    static const std::string empty;
    return m_kind == Kind::String ? m_string : empty;
}

double JsonValue::Number() const
{
    return m_kind == Kind::Number ? m_number : 0;
}

long long JsonValue::Int() const
{
    return static_cast<long long>(Number());
}

bool JsonValue::Bool() const
{
    return m_kind == Kind::Bool && m_bool;
}

std::string JsonQuote(const std::string& utf8)
{
    static const char kHex[] = "0123456789abcdef";
    std::string out = "\"";
    for (unsigned char c : utf8) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20) {
            out += "\\u00";
            out += kHex[c >> 4];
            out += kHex[c & 0xF];
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

}  // namespace vttest
