#include "support/IniText.h"

#include <windows.h>

#include <algorithm>
#include <cwctype>

namespace {

// What the profile functions trim from names and values: white space and the end-of-file mark.
bool IsTrimmed(wchar_t c) {
    if (c < 0x80) return c == L' ' || (c >= L'\t' && c <= L'\r') || c == 0x1a;
    return iswspace(c) != 0;
}

wchar_t FoldCase(wchar_t c) {
    if (c < 0x80) return (c >= L'a' && c <= L'z') ? static_cast<wchar_t>(c - L'a' + L'A') : c;
    return static_cast<wchar_t>(reinterpret_cast<ULONG_PTR>(CharUpperW(reinterpret_cast<LPWSTR>(static_cast<ULONG_PTR>(c)))));
}

bool SameText(const wchar_t* a, size_t length, const std::wstring& b) {
    if (length != b.size()) return false;
    for (size_t i = 0; i < length; ++i)
        if (a[i] != b[i] && FoldCase(a[i]) != FoldCase(b[i])) return false;
    return true;
}

}  // namespace

bool CIniText::Parse(const wchar_t* text, size_t length) {
    m_text = text;
    m_length = length;
    m_lines.clear();
    m_sections.clear();
    m_changes.clear();
    const wchar_t* const data = text;
    const size_t size = length;
    size_t start = 0;
    while (start < size) {
        size_t end = start;
        while (end < size && data[end] != L'\r' && data[end] != L'\n' && data[end] != L'\0') ++end;
        // Every line ends with CR LF; a blank line, a bare CR or LF, or a NUL is not theirs.
        if (end + 1 >= size || data[end] != L'\r' || data[end + 1] != L'\n' || end == start) return false;
        Line line;
        line.begin = start;
        line.length = end - start;
        start = end + 2;
        const wchar_t* chars = data + line.begin;
        if (IsTrimmed(chars[0]) || IsTrimmed(chars[line.length - 1])) return false;
        if (chars[0] == L'[') {
            // "[name]" and nothing after it; the name without blanks around it.
            const wchar_t* close = std::find(chars, chars + line.length, L']');
            if (close != chars + line.length - 1 || line.length < 3) return false;
            line.section = true;
            line.nameLength = line.length - 2;
            if (IsTrimmed(chars[1]) || IsTrimmed(chars[line.nameLength])) return false;
            m_sections.push_back(Section{std::wstring(chars + 1, line.nameLength), m_lines.size(), m_lines.size() + 1, {}});
            m_lines.push_back(line);
            continue;
        }
        if (m_sections.empty()) return false;  // a key before any section
        size_t equals = 0;
        while (equals < line.length && chars[equals] != L'=') ++equals;
        if (equals == 0 || equals == line.length) return false;  // no name, or no "=" (a comment, say)
        if (IsTrimmed(chars[equals - 1])) return false;
        if (equals + 1 < line.length) {
            const wchar_t first = chars[equals + 1];
            // Quoted values are read without their quotes; such text stays with the profile functions.
            if (IsTrimmed(first) || first == L'"' || first == L'\'') return false;
        }
        line.nameLength = equals;
        m_lines.push_back(line);
        m_sections.back().endLine = m_lines.size();
    }
    return true;
}

bool CIniText::NameIs(const Line& line, size_t nameOffset, const std::wstring& name) const {
    return SameText(m_text + line.begin + nameOffset, line.nameLength, name);
}

CIniText::Section* CIniText::FindSection(const std::wstring& name) {
    for (Section& section : m_sections)
        if (SameText(section.name.data(), section.name.size(), name)) return &section;
    return nullptr;
}

size_t CIniText::FindKeyLine(const Section& section, const std::wstring& key) const {
    for (size_t i = section.firstLine + 1; i < section.endLine; ++i)
        if (NameIs(m_lines[i], 0, key)) return i;
    return std::wstring::npos;
}

const std::wstring* CIniText::Find(const std::wstring& sectionName, const std::wstring& key) {
    Section* section = FindSection(sectionName);
    if (!section) return nullptr;
    for (const auto& added : section->addedKeys)
        if (SameText(added.first.data(), added.first.size(), key)) return &added.second;
    const size_t line = FindKeyLine(*section, key);
    if (line == std::wstring::npos) return nullptr;
    for (auto change = m_changes.rbegin(); change != m_changes.rend(); ++change)
        if (change->line == line) return &change->value;
    const Line& found = m_lines[line];
    m_lookup.assign(m_text + found.begin + found.nameLength + 1, found.length - found.nameLength - 1);
    return &m_lookup;
}

void CIniText::Set(const std::wstring& sectionName, const std::wstring& key, const std::wstring& value) {
    Section* section = FindSection(sectionName);
    if (!section) {
        // A new section goes after everything the text holds.
        m_sections.push_back(Section{sectionName, m_lines.size(), m_lines.size(), {}});
        section = &m_sections.back();
    }
    for (auto& added : section->addedKeys) {
        if (SameText(added.first.data(), added.first.size(), key)) {
            added.second = value;
            return;
        }
    }
    const size_t line = section->firstLine < m_lines.size() ? FindKeyLine(*section, key) : std::wstring::npos;
    if (line != std::wstring::npos)
        m_changes.push_back(Change{line, value});
    else
        section->addedKeys.emplace_back(key, value);
}

std::vector<CIniText::Piece> CIniText::Pieces() {
    // The edits in the order of the text: replaced values, keys added at the end of their section;
    // new sections come after everything.
    struct Edit {
        size_t at;       // position in the parsed text
        size_t removed;  // characters of it replaced
        size_t insertion;
    };
    m_insertions.clear();
    std::vector<Edit> edits;
    std::vector<const std::wstring*> replaced(m_lines.size(), nullptr);
    for (const Change& change : m_changes) replaced[change.line] = &change.value;
    for (size_t i = 0; i < m_lines.size(); ++i) {
        if (!replaced[i]) continue;
        const Line& line = m_lines[i];
        const size_t valueStart = line.begin + line.nameLength + 1;
        edits.push_back(Edit{valueStart, line.begin + line.length - valueStart, m_insertions.size()});
        m_insertions.push_back(*replaced[i]);
    }
    std::wstring appended;
    for (const Section& section : m_sections) {
        std::wstring keys;
        for (const auto& added : section.addedKeys) keys += added.first + L"=" + added.second + L"\r\n";
        if (section.firstLine >= m_lines.size()) {
            appended += L"[" + section.name + L"]\r\n" + keys;
        } else if (!keys.empty()) {
            const Line& last = m_lines[section.endLine - 1];
            edits.push_back(Edit{last.begin + last.length + 2, 0, m_insertions.size()});
            m_insertions.push_back(keys);
        }
    }
    std::stable_sort(edits.begin(), edits.end(), [](const Edit& a, const Edit& b) { return a.at < b.at; });
    m_insertions.push_back(appended);

    std::vector<Piece> pieces;
    size_t copied = 0;
    for (const Edit& edit : edits) {
        pieces.push_back(Piece{m_text + copied, edit.at - copied});
        pieces.push_back(Piece{m_insertions[edit.insertion].data(), m_insertions[edit.insertion].size()});
        copied = edit.at + edit.removed;
    }
    pieces.push_back(Piece{m_text + copied, m_length - copied});
    pieces.push_back(Piece{m_insertions.back().data(), m_insertions.back().size()});
    return pieces;
}

std::wstring CIniText::Text() {
    std::wstring text;
    for (const Piece& piece : Pieces()) text.append(piece.text, piece.length);
    return text;
}
