// InstallShield response files in the ANSI code page: their destination is changed with the
// profile functions in the section of the setup's product code.
#pragma once
#include <string>

// The product code of the response file: the text between "[{" and the first "}" of the first line
// that holds "[{". Empty when the file cannot be opened or holds no such line.
std::wstring ReadResponseProductCode(const std::wstring& responseFile);

// Points the setup's destination dialog at folder: value "szDir" of section
// "{<product code>}-SdAskDestPath-0". FALSE when the file has no product code, so the setup must
// not be started with its old destination.
bool PointAnsiResponseFile(const std::wstring& responseFile, const std::wstring& folder);
