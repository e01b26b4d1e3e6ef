// Response files pointed at the destination: UTF-16 files rewritten through their temporary copy,
// ANSI files through the product code's section.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "download/AnsiResponseFile.h"
#include "download/HttpDownload.h"
#include "tests/support/LogFile.h"
#include "tests/support/ScopedTempFolder.h"
#include "tests/support/StandInSetup.h"

namespace vttest {
namespace {

class UnicodeResponseFileTest : public ::testing::Test {
protected:
    ScopedTempFolder temp{true};
    std::wstring file = temp.File(L"setup.iss");
    LogFile log = LogFile::InFolder(temp.Path());
};

TEST_F(UnicodeResponseFileTest, EverySzDirLineTakesTheNewFolderAndNothingOfTheOldTextStays) {
    const struct {
        const char* name;
        std::wstring before;
        std::wstring after;
    } cases[] = {
        {"no szDir line: copied through, line ends normalised", L"[InstallShield Silent]\nVersion=v7.00",
         L"[InstallShield Silent]\r\nVersion=v7.00\r\n"},
        {"two szDir lines, one indented", L"[A]\r\nszDir=C:\\Old\r\n[B]\r\n  szDir=D:\\Other\\Place\r\nResult=1\r\n",
         L"[A]\r\nszDir=C:\\New\r\n[B]\r\nszDir=C:\\New\r\nResult=1\r\n"},
        {"a shorter folder than the old one",
         L"[Dlg]\r\nszDir=C:\\A Very Long Old Destination Folder\\Veltrona\\Online Update\r\n",
         L"[Dlg]\r\nszDir=C:\\New\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WriteUtf16File(file, c.before);
        EXPECT_EQ(CHttpDownLoad::ChangeUnicodeISS(file, L"C:\\New"), 1);
        EXPECT_EQ(ReadUtf16File(file), c.after);
        EXPECT_EQ(GetFileAttributesW((file + L".tmp").c_str()), INVALID_FILE_ATTRIBUTES);
    }
}

TEST_F(UnicodeResponseFileTest, AMissingFileFailsAtTheFirstCopy) {
    EXPECT_EQ(CHttpDownLoad::ChangeUnicodeISS(file, L"C:\\New"), 0);
    const std::vector<std::wstring> messages = log.Messages();
    ASSERT_FALSE(messages.empty());
    EXPECT_EQ(messages.back().find(L"Error:CHttpDownLoad::ChangeUnicodeISS: old ISS file copy failed:" + file +
                                   L", LastError: 00000002"),
              0u);
}

TEST_F(UnicodeResponseFileTest, AFileHeldOpenByAnotherProgramIsTriedFiveTimesAndLeftInTheCopy) {
    WriteUtf16File(file, L"szDir=C:\\Old\r\n");
    // Readable, but neither deletable nor writable while the handle is open.
    HANDLE held = CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    const DWORD started = GetTickCount();
    EXPECT_EQ(CHttpDownLoad::ChangeUnicodeISS(file, L"C:\\New"), 0);
    const DWORD elapsed = GetTickCount() - started;
    CloseHandle(held);
    // Four pauses of 500 ms between the five attempts of each of the two steps.
    EXPECT_GE(elapsed, 2 * 4 * 500u - 100);
    EXPECT_TRUE(log.Contains(L"Error:CHttpDownLoad::ChangeUnicodeISS: delete file failed :" + file +
                             L", LastError: 00000020"));
    EXPECT_TRUE(log.Contains(L"Error:CHttpDownLoad::ChangeUnicodeISS: new iss file copy failed :" + file +
                             L".tmp, LastError: 00000020"));
    EXPECT_EQ(ReadUtf16File(file + L".tmp"), L"szDir=C:\\New\r\n");  // the rewritten text is not lost
}

TEST(AnsiResponseFileTest, TheProductCodesSectionTakesTheFolderAndAFileWithoutOneIsRefused) {
    ScopedTempFolder temp;
    const std::wstring file = temp.File(L"setup.iss");
    WriteTextFile(file, AnsiResponseFile("6A5D2C10-0F3E-4B8A-9C21-7D4E5F60A1B2", "C:\\Old"));
    EXPECT_EQ(ReadResponseProductCode(file), L"6A5D2C10-0F3E-4B8A-9C21-7D4E5F60A1B2");
    EXPECT_TRUE(PointAnsiResponseFile(file, L"C:\\Program Files\\Veltrona\\Manager"));
    wchar_t value[MAX_PATH] = {};
    GetPrivateProfileStringW(L"{6A5D2C10-0F3E-4B8A-9C21-7D4E5F60A1B2}-SdAskDestPath-0", L"szDir", L"", value, MAX_PATH,
                             file.c_str());
    EXPECT_STREQ(value, L"C:\\Program Files\\Veltrona\\Manager");

    WriteTextFile(file, AnsiResponseFile("", "C:\\Old"));
    EXPECT_FALSE(PointAnsiResponseFile(file, L"C:\\New"));
    EXPECT_FALSE(PointAnsiResponseFile(temp.File(L"missing.iss"), L"C:\\New"));
}

}  // namespace
}  // namespace vttest
