// What the built VTInst.exe carries: the exported log function, its version description, icon and
// manifest.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "tests/support/ChildProcess.h"

namespace {

std::wstring ProgramPath() { return vttest::BuildFolder() + L"\\VTInst.exe"; }

TEST(ProgramImageTest, ExportsWriteLogByItsPlainName) {
    HMODULE program = LoadLibraryExW(ProgramPath().c_str(), nullptr, DONT_RESOLVE_DLL_REFERENCES);
    ASSERT_NE(program, nullptr);
    EXPECT_NE(GetProcAddress(program, "WriteLog"), nullptr);
    EXPECT_EQ(GetProcAddress(program, "_WriteLog"), nullptr);
    FreeLibrary(program);
}

TEST(ProgramImageTest, DescribesItselfAsTheInstallerAndAsksForAdministratorRights) {
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeW(ProgramPath().c_str(), &handle);
    ASSERT_GT(size, 0u);
    std::vector<BYTE> data(size);
    ASSERT_TRUE(GetFileVersionInfoW(ProgramPath().c_str(), 0, size, data.data()));
    wchar_t* description = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(data.data(), L"\\StringFileInfo\\040904b0\\FileDescription",
                               reinterpret_cast<void**>(&description), &length));
    EXPECT_STREQ(description, L"Veltrona Installer");

    HMODULE program = LoadLibraryExW(ProgramPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(program, nullptr);
    EXPECT_NE(FindResourceW(program, MAKEINTRESOURCEW(128), RT_GROUP_ICON), nullptr);
    HRSRC manifest = FindResourceW(program, MAKEINTRESOURCEW(1), RT_MANIFEST);
    ASSERT_NE(manifest, nullptr);
    const char* text = static_cast<const char*>(LockResource(LoadResource(program, manifest)));
    std::string manifestText(text, SizeofResource(program, manifest));
    EXPECT_NE(manifestText.find("level=\"requireAdministrator\""), std::string::npos);
    EXPECT_NE(manifestText.find("<dpiAware"), std::string::npos);
    FreeLibrary(program);
}

}  // namespace
