#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>

#include <vector>

#include "support/Log.h"
#include "tests/support/LogFile.h"
#include "tests/support/ScopedTempFolder.h"
#include "tests/support/TestThread.h"

using vttest::LogFile;
using vttest::ScopedTempFolder;

namespace {

class LogTest : public ::testing::Test {
protected:
    ScopedTempFolder temp{true};
    LogFile log = LogFile::InFolder(temp.Path());

    void SetCounter(const wchar_t* value) {
        WritePrivateProfileStringW(L"LOG", L"CNT", value, log.Path().c_str());
    }
};

TEST_F(LogTest, FreshFileHoldsFieldsInOrderAndFirstHistoryKey) {
    WriteLog(L"", L"C:\\src\\app\\VTInst.cpp", 1108, -1, L"Error:CVTInstApp::Something", 1, -1);

    std::vector<std::wstring> expectedKeys = {L"PATH", L"TIME", L"MODULE", L"SOURCE", L"LINE",
                                              L"ERRNO", L"ERRSTR", L"CNT", L"HIST"};
    EXPECT_EQ(log.Keys(L"LOG"), expectedKeys);
    EXPECT_EQ(log.Field(L"SOURCE"), L"VTInst.cpp");
    EXPECT_EQ(log.Field(L"LINE"), L"1108L");
    EXPECT_EQ(log.Field(L"ERRNO"), L"-1");
    EXPECT_EQ(log.Field(L"CNT"), L"1");
    EXPECT_EQ(log.Field(L"HIST"), L"L01");

    wchar_t program[MAX_PATH];
    GetModuleFileNameW(nullptr, program, MAX_PATH);
    EXPECT_EQ(log.Field(L"PATH"), program);

    std::vector<vttest::LogEntry> entries = log.Entries();
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].key, L"L01");
    EXPECT_EQ(entries[0].level, L"EROR");
    EXPECT_EQ(entries[0].source, L"VTInst.cpp");
    EXPECT_EQ(entries[0].line, L"1108L");
    EXPECT_EQ(entries[0].message, L"Error:CVTInstApp::Something");
    EXPECT_EQ(entries[0].time, log.Field(L"TIME"));
    int year, month, day, hour, minute, second;
    ASSERT_EQ(swscanf(entries[0].time.c_str(), L"%4d/%2d/%2d %2d:%2d:%2d", &year, &month, &day, &hour, &minute,
                      &second),
              6);
    EXPECT_EQ(entries[0].time.size(), 19u);
}

// A text from outside (a catalogue value, say) may carry line breaks: they must not start lines,
// sections or keys of their own in the file.
TEST_F(LogTest, LineBreaksInAnyFieldStayOnTheEntrysLine) {
    SetCounter(L"7");
    WriteLog(L"mod\r\nule", L"C:\\src\\a\nb.cpp", 3, 0, L"Error:soft version is 1.2\n[LOG]\r\nCNT=9999\rX", 1, -1);

    EXPECT_EQ(log.Field(L"CNT"), L"8");
    EXPECT_EQ(log.Field(L"ERRSTR"), L"Error:soft version is 1.2 [LOG]  CNT=9999 X");
    EXPECT_EQ(log.Field(L"MODULE"), L"mod  ule");
    EXPECT_EQ(log.Field(L"SOURCE"), L"a b.cpp");
    std::vector<vttest::LogEntry> entries = log.Entries();
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].key, L"L08");
    EXPECT_EQ(entries[0].module, L"mod  ule");
    EXPECT_EQ(entries[0].message, L"Error:soft version is 1.2 [LOG]  CNT=9999 X");
    // Ten lines for the LOG section and its header, two for HIST: nothing else.
    std::string text = vttest::ReadTextFile(log.Path());
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 12) << text;
}

TEST_F(LogTest, LevelsOutsideOneToThreeWriteNothing) {
    WriteLog(L"", L"a.cpp", 1, 0, L"zero", 0, -1);
    WriteLog(L"", L"a.cpp", 1, 0, L"four", 4, -1);
    EXPECT_FALSE(log.Exists());

    WriteLog(L"", L"a.cpp", 1, 0, L"warn", 2, -1);
    WriteLog(L"", L"a.cpp", 1, 0, L"info", 3, -1);
    WriteLog(L"", L"a.cpp", 1, 0, L"five", 5, -1);
    EXPECT_EQ(log.Field(L"CNT"), L"2");
    std::vector<vttest::LogEntry> entries = log.Entries();
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].level, L"WARN");
    EXPECT_EQ(entries[1].level, L"INFO");
}

TEST_F(LogTest, NullArgumentsLeaveEmptyFields) {
    WriteLog(nullptr, nullptr, 0, 0, nullptr, 3, -1);
    EXPECT_EQ(log.Field(L"MODULE"), L"");
    EXPECT_EQ(log.Field(L"SOURCE"), L"");
    EXPECT_EQ(log.Field(L"ERRSTR"), L"");
    wchar_t line[512] = {};
    GetPrivateProfileStringW(L"HIST", L"L01", L"", line, 512, log.Path().c_str());
    std::wstring expected = L"#" + log.Field(L"TIME") + L"|INFO|||0L|0|#";
    EXPECT_EQ(std::wstring(line), expected);
}

TEST_F(LogTest, MessageIsTrimmedAtBothEndsOnly) {
    WriteLog(L"", L"NoBackslash.cpp", 7, 0, L" \t\r\n inner  text\twith gaps \r\n", 3, -1);
    EXPECT_EQ(log.Field(L"ERRSTR"), L"inner  text\twith gaps");
    EXPECT_EQ(log.Field(L"SOURCE"), L"NoBackslash.cpp");
    EXPECT_EQ(log.Entries().at(0).message, L"inner  text\twith gaps");
}

TEST_F(LogTest, HistoryKeysWidenAndWrapInPlace) {
    struct Case {
        const wchar_t* storedCounter;
        const wchar_t* nextCounter;
        const wchar_t* nextKey;
    } cases[] = {
        {L"8", L"9", L"L09"},     {L"9", L"10", L"L10"},     {L"99", L"100", L"L100"},
        {L"9999", L"10000", L"L10000"}, {L"10000", L"1", L"L01"}, {L"-3", L"1", L"L01"},
        {L"abc", L"1", L"L01"},
    };
    for (const Case& c : cases) {
        SetCounter(c.storedCounter);
        WriteLog(L"", L"a.cpp", 1, 0, c.storedCounter, 3, -1);
        EXPECT_EQ(log.Field(L"CNT"), c.nextCounter) << "stored " << vttest::Narrow(c.storedCounter);
        EXPECT_EQ(log.Field(L"HIST"), c.nextKey) << "stored " << vttest::Narrow(c.storedCounter);
    }
}

TEST_F(LogTest, WrappedEntryReplacesOldestKeyKeepingItsPlace) {
    WriteLog(L"", L"a.cpp", 1, 0, L"first", 3, -1);
    WriteLog(L"", L"a.cpp", 2, 0, L"second", 3, -1);
    SetCounter(L"10000");
    WriteLog(L"", L"a.cpp", 3, 0, L"after wrap", 3, -1);

    std::vector<vttest::LogEntry> entries = log.Entries();
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].key, L"L01");
    EXPECT_EQ(entries[0].message, L"after wrap");
    EXPECT_EQ(entries[1].key, L"L02");
    EXPECT_EQ(entries[1].message, L"second");
}

TEST_F(LogTest, OverlongTextsAreCutNotOverflowed) {
    std::wstring source(400, L's');
    std::wstring message(40000, L'm');
    WriteLog(L"", (L"C:\\dir\\" + source).c_str(), 1, 0, message.c_str(), 3, -1);

    EXPECT_EQ(log.Field(L"SOURCE"), std::wstring(259, L's'));
    wchar_t line[40000] = {};
    DWORD length = GetPrivateProfileStringW(L"HIST", L"L01", L"", line, 40000, log.Path().c_str());
    EXPECT_EQ(length, 33287u);
    EXPECT_EQ(line[0], L'#');
    EXPECT_EQ(line[length - 1], L'#');
}

TEST_F(LogTest, TemporaryFolderWithoutRoomForTheFileNameDropsTheEntry) {
    // A folder path of 250 characters leaves no room for "\\VtDownLoadInst.log" within 260.
    std::wstring deep = temp.Path();
    while (deep.size() < 250) {
        deep += L"\\" + std::wstring(std::min<size_t>(40, 249 - deep.size()), L'd');
        ASSERT_TRUE(CreateDirectoryW(deep.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
    }
    SetEnvironmentVariableW(L"TMP", deep.c_str());
    SetEnvironmentVariableW(L"TEMP", deep.c_str());
    WriteLog(L"", L"a.cpp", 1, 0, L"dropped", 3, -1);
    SetEnvironmentVariableW(L"TMP", temp.Path().c_str());
    SetEnvironmentVariableW(L"TEMP", temp.Path().c_str());

    EXPECT_FALSE(log.Exists());
    EXPECT_EQ(GetFileAttributesW((deep + L"\\VtDownLoadInst.log").c_str()), INVALID_FILE_ATTRIBUTES);
    WriteLog(L"", L"a.cpp", 2, 0, L"kept", 3, -1);
    EXPECT_EQ(log.Field(L"CNT"), L"1");
}

TEST_F(LogTest, ConcurrentCallsGetConsecutiveCounters) {
    const int perThread = 20;
    auto writer = [](const wchar_t* name) {
        for (int i = 0; i < perThread; ++i) WriteLog(L"", L"t.cpp", i, 0, name, 3, -1);
    };
    vttest::TestThread a([&] { writer(L"thread A"); });
    vttest::TestThread b([&] { writer(L"thread B"); });
    a.Join();
    b.Join();

    EXPECT_EQ(log.Field(L"CNT"), std::to_wstring(2 * perThread));
    std::vector<vttest::LogEntry> entries = log.Entries();
    ASSERT_EQ(entries.size(), 2u * perThread);
    for (size_t i = 0; i < entries.size(); ++i) {
        wchar_t key[16];
        swprintf(key, 16, L"L%02u", static_cast<unsigned>(i + 1));
        EXPECT_EQ(entries[i].key, key);
    }
    // The LOG section holds one whole entry: the last one written.
    EXPECT_EQ(log.Field(L"ERRSTR"), entries.back().message);
    EXPECT_EQ(log.Field(L"LINE"), entries.back().line);
}

}  // namespace
