// What the end of an XML file says about it, read before the platform's reader sees the file. A
// download cut short must fail the parse, but the reader on some systems closes open elements by
// itself at the end of input, loops for ever on some cut-off shapes and ends the process on others.
#pragma once
#include <string>

// TRUE when the file ends (past trailing blanks, comments and processing instructions, which a
// document may carry after its root) with an end tag; `name` receives that tag's qualified name,
// which must be the root element's. Every complete document with a non-empty root ends so.
bool FindClosingRootName(const std::wstring& path, std::wstring& name);
