// The log's one-rewrite writer leaves the file byte for byte as the ten profile writes leave it:
// from a fresh file, across the wrap of the history at 10,000 entries, and beside other programs'
// sections. Text the profile functions would rewrite differently is left to them.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "support/LogWriter.h"
#include "tests/support/ScopedTempFolder.h"

namespace vttest {
namespace {

LogEntryFields Entry(int n) {
    LogEntryFields entry;
    entry.path = L"C:\\Program Files\\Veltrona Installer\\VTInst.exe";
    entry.time = L"2026/12/11 04:" + std::to_wstring(10 + n % 50) + L":00";
    entry.source = n % 2 ? L"VTInst.cpp" : L"HttpDownload.cpp";
    entry.line = std::to_wstring(100 + n) + L"L";
    entry.errorNumber = n % 3 ? L"0" : L"-1";
    // Texts outside ASCII, some of them outside the ANSI code page, go the same way in both.
    entry.message = L"Start:CVTInstApp::Step " + std::to_wstring(n) + (n % 4 ? L" caf\u00e9" : L" \u4e2d\u6587");
    entry.entryLine = L"#" + entry.time + L"|INFO||" + entry.source + L"|" + entry.line + L"|" + entry.errorNumber +
                      L"|" + entry.message + L"#";
    return entry;
}

class LogWriterTest : public ::testing::Test {
protected:
    ScopedTempFolder temp;
    std::wstring fast = temp.File(L"fast.log");
    std::wstring reference = temp.File(L"reference.log");
    LogScratch scratch;

    void StartBothWith(const std::string& text) {
        WriteTextFile(fast, text);
        WriteTextFile(reference, text);
    }
    // Entries first..last through both writers; the files must agree after every one.
    void WriteAndCompare(int first, int last) {
        for (int n = first; n <= last; ++n) {
            SCOPED_TRACE(n);
            ASSERT_TRUE(WriteLogEntryInOneRewrite(fast, Entry(n), scratch));
            WriteLogEntryWithProfileFunctions(reference, Entry(n));
            ASSERT_EQ(ReadTextFile(fast), ReadTextFile(reference));
        }
    }
};

TEST_F(LogWriterTest, AFreshFileGrowsAsTheProfileWritesGrowIt) {
    // The buffers kept from another, larger file carry nothing over.
    const std::wstring other = temp.File(L"other.log");
    WriteTextFile(other, "[HIST]\r\nL01=" + std::string(5000, 'x') + "\r\n");
    ASSERT_TRUE(WriteLogEntryInOneRewrite(other, Entry(99), scratch));
    WriteAndCompare(1, 12);
    const std::string text = ReadTextFile(fast);
    EXPECT_EQ(text.find("[LOG]\r\nPATH=C:\\Program Files\\Veltrona Installer\\VTInst.exe\r\nTIME="), 0u);
    EXPECT_NE(text.find("\r\nCNT=12\r\nHIST=L12\r\n[HIST]\r\nL01=#"), std::string::npos);
}

TEST_F(LogWriterTest, TheWrapReplacesTheOldestEntryInPlace) {
    std::string full = "[LOG]\r\nPATH=x\r\nTIME=t\r\nMODULE=\r\nSOURCE=s\r\nLINE=1L\r\nERRNO=0\r\nERRSTR=m\r\n"
                       "CNT=9998\r\nHIST=L9998\r\n[HIST]\r\n";
    for (int i = 1; i <= 9998; ++i) full += "L" + std::string(i < 10 ? "0" : "") + std::to_string(i) + "=#old " + std::to_string(i) + "#\r\n";
    StartBothWith(full);
    WriteAndCompare(1, 4);  // counters 9999, 10000, then 1 and 2 in place of the oldest
    const std::string text = ReadTextFile(fast);
    EXPECT_NE(text.find("CNT=2\r\nHIST=L02\r\n"), std::string::npos);
    EXPECT_EQ(text.find("L01=#old 1#"), std::string::npos);
    EXPECT_NE(text.find("\r\nL03=#old 3#\r\n"), std::string::npos);
}

TEST_F(LogWriterTest, OtherSectionsAndKeysStayWhereTheyAre) {
    StartBothWith("[Family]\r\nLastRun=yesterday\r\n[HIST]\r\nL07=#kept#\r\n[LOG]\r\ncnt=6\r\nOwner=other program\r\n"
                  "[Tail]\r\nX=1\r\n");
    WriteAndCompare(1, 3);
    EXPECT_NE(ReadTextFile(fast).find("cnt=9\r\nOwner=other program\r\nPATH="), std::string::npos);
    // A name twice: the first one counts, the second stays as it is.
    StartBothWith("[LOG]\r\nCNT=3\r\nCNT=40\r\n[HIST]\r\nL04=#a#\r\n[log]\r\nHIST=x\r\n[hist]\r\nL05=#b#\r\n");
    WriteAndCompare(1, 2);
    EXPECT_NE(ReadTextFile(fast).find("CNT=5\r\nCNT=40\r\n"), std::string::npos);
}

TEST_F(LogWriterTest, TextTheProfileFunctionsWouldRewriteIsLeftToThem) {
    const char* shapes[] = {
        "[LOG]\r\nCNT = 3\r\n",            // blanks around the equals sign
        "[LOG]\r\n\r\nCNT=3\r\n",          // a blank line
        "; written by hand\r\n[LOG]\r\n",  // a comment
        "[LOG]\nCNT=3\n",                  // bare line feeds
        "[LOG]\r\nCNT=3",                  // an unended last line
        "[LOG]\r\nCNT=\"3\"\r\n",          // a quoted value
        "CNT=3\r\n[LOG]\r\n",              // a key before the first section
        "\xFF\xFE[\0L\0",                  // UTF-16
    };
    for (const char* shape : shapes) {
        SCOPED_TRACE(shape);
        StartBothWith(shape);
        EXPECT_FALSE(WriteLogEntryInOneRewrite(fast, Entry(1), scratch));
        EXPECT_EQ(ReadTextFile(fast), shape);  // untouched
    }
    // Once the profile functions have written it, the text is theirs: the next entry takes one rewrite.
    StartBothWith("[LOG]\r\n  CNT = 3  \r\n\r\n");
    WriteLogEntryWithProfileFunctions(fast, Entry(1));
    WriteLogEntryWithProfileFunctions(reference, Entry(1));
    WriteAndCompare(2, 3);
}

}  // namespace
}  // namespace vttest
