#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "support/Language.h"
#include "tests/support/ScopedTempFolder.h"
#include "tests/support/StringTableModule.h"

using vttest::ScopedTempFolder;

namespace {

struct MappingCase {
    LANGID user;
    WORD mapped;
    const wchar_t* code;
};

class LanguageMappingTest : public ::testing::TestWithParam<MappingCase> {};

TEST_P(LanguageMappingTest, MapsPrimaryLanguage) {
    EXPECT_EQ(GetMappedLanguageId(GetParam().user), GetParam().mapped) << std::hex << GetParam().user;
    EXPECT_EQ(GetLanguageCode(GetParam().user), GetParam().code) << std::hex << GetParam().user;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LanguageMappingTest,
    ::testing::Values(MappingCase{0x0804, 2052, L"zh-CN"},  // China
                      MappingCase{0x1004, 2052, L"zh-CN"},  // Singapore
                      MappingCase{0x0404, 1028, L"zh-tw"},  // Taiwan
                      MappingCase{0x0C04, 1028, L"zh-tw"},  // Hong Kong
                      MappingCase{0x0004, 1028, L"zh-tw"},  // neutral Chinese
                      MappingCase{0x0407, 1031, L"de"}, MappingCase{0x0807, 1031, L"de"},
                      MappingCase{0x0C0A, 3082, L"es"}, MappingCase{0x040A, 3082, L"es"},
                      MappingCase{0x040C, 1036, L"fr"}, MappingCase{0x0C0C, 1036, L"fr"},
                      MappingCase{0x0410, 1040, L"it"}, MappingCase{0x0411, 1041, L"ja"},
                      MappingCase{0x0412, 1042, L"ko"}, MappingCase{0x0416, 1046, L"po"},
                      MappingCase{0x0816, 1046, L"po"}, MappingCase{0x0419, 1049, L"ru"},
                      MappingCase{0x0409, 1033, L"en"}, MappingCase{0x0809, 1033, L"en"},
                      MappingCase{0x0413, 1033, L"en"}, MappingCase{0x0000, 1033, L"en"}));

void Touch(const std::wstring& path) { vttest::WriteTextFile(path, "x"); }

struct ModuleCase {
    const char* name;
    std::vector<const wchar_t*> files;  // beside the program
    LANGID user;
    const wchar_t* expected;  // empty: none
};

class LanguageModuleTest : public ::testing::TestWithParam<ModuleCase> {};

TEST_P(LanguageModuleTest, PrefersTheUsersOwnLanguageThenTheMappedOne) {
    ScopedTempFolder temp;
    for (const wchar_t* file : GetParam().files) Touch(temp.File(file));
    const std::wstring program = temp.File(L"VTInst.exe");  // need not exist
    const std::wstring expected = *GetParam().expected ? temp.File(GetParam().expected) : L"";
    EXPECT_EQ(FindLanguageResourceModule(program.c_str(), GetParam().user), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LanguageModuleTest,
    ::testing::Values(
        ModuleCase{"ExactLanguage", {L"VTInst0c0c.dll", L"VTInst040c.dll"}, 0x0C0C, L"VTInst0c0c.dll"},
        ModuleCase{"MappedLanguage", {L"VTInst040c.dll"}, 0x0C0C, L"VTInst040c.dll"},
        ModuleCase{"LowerCaseHexDigits", {L"VTInst0c0a.dll"}, 0x0C0A, L"VTInst0c0a.dll"},
        ModuleCase{"NeitherPresent", {L"VTInst0409.dll", L"VTInst.dll"}, 0x0C0C, L""},
        ModuleCase{"OtherProgramsModuleIgnored", {L"Other040c.dll"}, 0x040C, L""}),
    [](const ::testing::TestParamInfo<ModuleCase>& info) { return std::string(info.param.name); });

TEST(LanguageModuleLoadTest, NoModuleLoadsNothing) {
    ScopedTempFolder temp;
    EXPECT_EQ(LoadLanguageResourceModule(temp.File(L"VTInst.exe").c_str(), 0x0411), nullptr);
    EXPECT_EQ(LoadLanguageResourceModule(nullptr, 0x0411), nullptr);
}

TEST(LanguageModuleLoadTest, LoadsTheChosenModule) {
    ScopedTempFolder temp;
    vttest::StringTableModule strings(temp.Path(), {{2, L"x"}});
    ASSERT_NE(strings.Handle(), nullptr);
    ASSERT_TRUE(CopyFileW(strings.Path().c_str(), temp.File(L"VTInst0411.dll").c_str(), FALSE));
    HMODULE module = LoadLanguageResourceModule(temp.File(L"VTInst.exe").c_str(), 0x0411);
    ASSERT_NE(module, nullptr);
    wchar_t loaded[MAX_PATH] = {};
    GetModuleFileNameW(module, loaded, MAX_PATH);
    EXPECT_EQ(_wcsicmp(loaded, temp.File(L"VTInst0411.dll").c_str()), 0) << loaded;
    FreeLibrary(module);
}

struct SpecificFileCase {
    const char* name;
    std::vector<const wchar_t*> files;  // inside the folder
    LANGID user;
    const wchar_t* expected;
};

class LanguageSpecificFileTest : public ::testing::TestWithParam<SpecificFileCase> {};

TEST_P(LanguageSpecificFileTest, FallsBackToTheFolderItself) {
    ScopedTempFolder temp;
    for (const wchar_t* file : GetParam().files) {
        std::wstring path = temp.File(file);
        CreateDirectoryW(path.substr(0, path.rfind(L'\\')).c_str(), nullptr);
        Touch(path);
    }
    EXPECT_EQ(GetLanguageSpecificFile(temp.Path(), L"Help.chm", GetParam().user), temp.File(GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LanguageSpecificFileTest,
    ::testing::Values(
        SpecificFileCase{"ExactLanguage", {L"0c0c\\Help.chm", L"040c\\Help.chm"}, 0x0C0C, L"0c0c\\Help.chm"},
        SpecificFileCase{"MappedLanguage", {L"040c\\Help.chm"}, 0x0C0C, L"040c\\Help.chm"},
        SpecificFileCase{"NeitherPresent", {L"0411\\Help.chm"}, 0x0C0C, L"Help.chm"},
        // The plain path is the answer whether or not that file is there either.
        SpecificFileCase{"NothingAtAll", {}, 0x0409, L"Help.chm"}),
    [](const ::testing::TestParamInfo<SpecificFileCase>& info) { return std::string(info.param.name); });

TEST(LoadResourceStringTest, CopiesFromTheResourceModuleWithinCapacity) {
    ScopedTempFolder temp;
    vttest::StringTableModule strings(temp.Path(), {{2, L"Veltrona Installer"}, {1001, L"Segoe UI"}});
    ASSERT_NE(strings.Handle(), nullptr);
    vttest::ScopedResourceModule use(strings.Handle());

    wchar_t buffer[260];
    EXPECT_EQ(LoadResourceString(buffer, 260, 2), 18);
    EXPECT_STREQ(buffer, L"Veltrona Installer");
    EXPECT_EQ(LoadResourceString(buffer, 260, 1001), 8);
    EXPECT_STREQ(buffer, L"Segoe UI");
    EXPECT_EQ(LoadResourceString(buffer, 5, 2), 4);
    EXPECT_STREQ(buffer, L"Velt");
    EXPECT_EQ(LoadResourceString(buffer, 260, 3), 0);
    EXPECT_STREQ(buffer, L"");
    EXPECT_EQ(LoadResourceString(buffer, 0, 2), 0);
}

}  // namespace
