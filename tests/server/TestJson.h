// A small JSON value and parser for the test server's control answers (records, proxy counters, ports).
// Enough for tests: objects keep their member order, numbers are doubles, strings are UTF-8.
#pragma once
#include <cstddef>
#include <string>
#include <utility>
#include <vector>

namespace vttest {

class JsonValue {
public:
    enum class Kind { Null, Bool, Number, String, Array, Object };

    // Parses one complete JSON text. On malformed input or trailing text returns false and leaves out null.
    static bool Parse(const std::string& text, JsonValue& out);

    Kind GetKind() const { return m_kind; }
    bool IsNull() const { return m_kind == Kind::Null; }

    // Object member or array element; a null value when absent, so lookups can be chained:
    // records[0]["headers"][1][0].
    const JsonValue& operator[](const std::string& key) const;
    const JsonValue& operator[](const char* key) const { return (*this)[std::string(key)]; }
    const JsonValue& operator[](std::size_t index) const;
    bool Has(const std::string& key) const;

    std::size_t Size() const;               // elements of an array, members of an object, else 0
    const std::string& Str() const;         // empty when not a string
    double Number() const;                  // 0 when not a number
    long long Int() const;                  // Number() truncated
    bool Bool() const;                      // false when not a boolean
    const std::vector<JsonValue>& Items() const { return m_items; }
    const std::vector<std::pair<std::string, JsonValue>>& Members() const { return m_members; }

private:
    friend class JsonParser;
    Kind m_kind = Kind::Null;
    bool m_bool = false;
    double m_number = 0;
    std::string m_string;
    std::vector<JsonValue> m_items;
    std::vector<std::pair<std::string, JsonValue>> m_members;
};

// The UTF-8 text as a quoted JSON string, for building control requests.
std::string JsonQuote(const std::string& utf8);

}  // namespace vttest
