// An INI file's text as the platform's profile functions hold it: sections of "name=value" keys,
// names compared without regard to case, the first of equal names the one that counts. Only text in
// the form those functions write back is taken (each line a "[section]" or a "key=value" with
// nothing around the names and values, every line ended by CR LF, no blank lines, comments or keys
// before the first section), so that the text written out equals what they would write. The text is
// not copied: it is read where the caller keeps it, and written out as pieces of it around the edits
// (a log holds a megabyte of text, and copies of that size are slow under some runtimes).
#pragma once
#include <string>
#include <vector>

class CIniText {
public:
    // FALSE when the text is not in that form (the profile functions must handle it). The text
    // must stay where it is while this object is used.
    bool Parse(const wchar_t* text, size_t length);

    // The value, or null when the section or key is missing.
    const std::wstring* Find(const std::wstring& section, const std::wstring& key);
    // As the profile writer does: an existing key takes the value; a new key goes to the end of its
    // section, a new section to the end of the text.
    void Set(const std::wstring& section, const std::wstring& key, const std::wstring& value);

    // The text with the edits, as pieces in order: stretches of the parsed text and new texts held
    // by this object (valid until the next change).
    struct Piece {
        const wchar_t* text;
        size_t length;
    };
    std::vector<Piece> Pieces();
    std::wstring Text();

private:
    struct Line {
        size_t begin = 0;      // in m_text
        size_t length = 0;     // without the line end
        size_t nameLength = 0; // the section's or key's name, after "[" for a section
        bool section = false;
    };
    struct Section {
        std::wstring name;
        size_t firstLine = 0;  // its header
        size_t endLine = 0;    // one past its last key line
        std::vector<std::pair<std::wstring, std::wstring>> addedKeys;
    };
    struct Change {
        size_t line;
        std::wstring value;
    };

    Section* FindSection(const std::wstring& name);
    // The line of the key in the section, or npos.
    size_t FindKeyLine(const Section& section, const std::wstring& key) const;
    bool NameIs(const Line& line, size_t nameOffset, const std::wstring& name) const;

    const wchar_t* m_text = nullptr;
    size_t m_length = 0;
    std::vector<Line> m_lines;
    std::vector<Section> m_sections;
    std::vector<Change> m_changes;  // replaced values of existing keys, newest last
    std::wstring m_lookup;          // what Find hands out
    std::vector<std::wstring> m_insertions;  // the new texts Pieces hands out
};
