// A drive letter whose root is a given folder, for as long as the object lives: for tests of what a
// program does when it runs from the root of a drive. Wine keeps its drives as links in the
// prefix, made through its mount manager, as its configuration tool does.
#pragma once
#include <string>

namespace vttest {

class ScratchDrive {
public:
    ScratchDrive() = default;
    ~ScratchDrive();
    ScratchDrive(const ScratchDrive&) = delete;
    ScratchDrive& operator=(const ScratchDrive&) = delete;

    // Maps the first free letter from R on to the folder; FALSE when none could be mapped.
    bool Map(const std::wstring& folder);
    // "R:\" while mapped.
    std::wstring Root() const { return m_letter ? std::wstring(1, m_letter) + L":\\" : std::wstring(); }

private:
    wchar_t m_letter = 0;
};

}  // namespace vttest
