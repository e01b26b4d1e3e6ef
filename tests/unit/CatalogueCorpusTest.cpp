// The catalogue parser against a corpus: the valid catalogues of tests/catalogues/valid, every cut
// of them, seeded mutations of them, and the stored shapes that once hung or ended the platform's
// reader (tests/catalogues/regressions). No input may end the process or hang the parse, and no
// document that lost its end is taken as whole.
#include <gtest/gtest.h>
#include <windows.h>

#include <random>
#include <string>
#include <vector>

#include "app/VTInst.h"
#include "catalogue/CatalogueParser.h"
#include "tests/support/ScopedTempFolder.h"

namespace {

struct CorpusFile {
    std::string name;
    std::string bytes;
};

std::wstring CorpusFolder(const wchar_t* kind) {
    wchar_t source[MAX_PATH] = {};
    GetEnvironmentVariableW(L"VTINST_SOURCE_DIR", source, MAX_PATH);
    std::wstring folder = std::wstring(source) + L"\\tests\\catalogues\\" + kind;
    for (wchar_t& c : folder)
        if (c == L'/') c = L'\\';
    return folder;
}

std::vector<CorpusFile> ReadCorpus(const wchar_t* kind) {
    std::vector<CorpusFile> files;
    const std::wstring folder = CorpusFolder(kind);
    WIN32_FIND_DATAW entry = {};
    HANDLE search = FindFirstFileW((folder + L"\\*.xml").c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE) return files;
    do {
        files.push_back({vttest::Narrow(entry.cFileName), vttest::ReadTextFile(folder + L"\\" + entry.cFileName)});
    } while (FindNextFileW(search, &entry));
    FindClose(search);
    return files;
}

// Where the document's root element ends (just past its end tag), or npos.
size_t RootEnd(const std::string& xml) {
    const size_t open = xml.find('<', xml.find("?>") == std::string::npos ? 0 : xml.find("?>") + 2);
    size_t nameStart = open;
    while (nameStart != std::string::npos && (xml.compare(nameStart, 2, "<!") == 0 || xml.compare(nameStart, 2, "<?") == 0))
        nameStart = xml.find('<', xml.find('>', nameStart));
    if (nameStart == std::string::npos) return std::string::npos;
    const size_t nameEnd = xml.find_first_of(" >/\r\n\t", nameStart + 1);
    const std::string endTag = "</" + xml.substr(nameStart + 1, nameEnd - nameStart - 1) + ">";
    const size_t end = xml.rfind(endTag);
    return end == std::string::npos ? end : end + endTag.size();
}

// A parse on a thread of its own, so a reader that hands out the same node for ever fails the test
// instead of hanging it.
class GuardedParse {
public:
    static const DWORD kLimitMs = 30000;

    // FALSE in `finished` when the parse did not end within the limit.
    BOOL Run(const std::string& bytes, bool& finished) {
        vttest::ScopedTempFolder temp(true);  // the parse's log stays small and private
        m_path = temp.File(L"VTInst.xml");
        vttest::WriteTextFile(m_path, bytes);
        HANDLE thread = CreateThread(nullptr, 0, &GuardedParse::Parse, this, 0, nullptr);
        if (!thread) {
            finished = false;
            return FALSE;
        }
        finished = WaitForSingleObject(thread, kLimitMs) == WAIT_OBJECT_0;
        if (finished) CloseHandle(thread);
        return finished ? m_result : FALSE;
    }

private:
    static DWORD WINAPI Parse(void* self) {
        GuardedParse* parse = static_cast<GuardedParse*>(self);
        theApp.m_catalogueItems.clear();
        theApp.m_homeItems.clear();
        theApp.m_updateCommonInfo = UPDATECOMMONINFO();
        parse->m_result = ParseCatalogue(theApp, parse->m_path, L"en");
        return 0;
    }

    std::wstring m_path;
    BOOL m_result = FALSE;
};

class CatalogueCorpusTest : public ::testing::Test {
protected:
    std::wstring savedOSVersion = theApp.m_strOSVersion;
    std::vector<CorpusFile> valid = ReadCorpus(L"valid");

    void SetUp() override {
        theApp.m_strOSVersion = L"6.1";
        ASSERT_GE(valid.size(), 3u) << "corpus not found below " << vttest::Narrow(CorpusFolder(L"valid"));
    }
    void TearDown() override {
        theApp.m_catalogueItems.clear();
        theApp.m_homeItems.clear();
        theApp.m_updateCommonInfo = UPDATECOMMONINFO();
        theApp.m_strOSVersion = savedOSVersion;
    }

    // Parses; a hang ends the test at once (its thread cannot be taken back).
    BOOL Parse(const std::string& bytes) {
        bool finished = false;
        const BOOL result = GuardedParse().Run(bytes, finished);
        if (!finished) ADD_FAILURE() << "the parse did not end within " << GuardedParse::kLimitMs << " ms";
        return result;
    }
};

TEST_F(CatalogueCorpusTest, ValidCataloguesAreReadWhole) {
    for (const CorpusFile& file : valid) {
        SCOPED_TRACE(file.name);
        EXPECT_TRUE(Parse(file.bytes));
        EXPECT_FALSE(theApp.m_updateCommonInfo.ModelName.empty());
        if (HasFatalFailure()) return;
    }
}

// Wherever a download stops short of the root's end tag, the document is refused.
TEST_F(CatalogueCorpusTest, EveryCutBeforeTheRootsEndIsRefused) {
    for (const CorpusFile& file : valid) {
        const size_t end = RootEnd(file.bytes);
        ASSERT_NE(end, std::string::npos) << file.name;
        // Every cut near markup, where the reader's state changes, and a spread of others.
        std::vector<size_t> cuts;
        for (size_t i = 0; i < end; ++i) {
            const char c = file.bytes[i];
            if (c == '<' || c == '>' || c == '/' || c == '&' || c == '?' || c == '!' || i % 37 == 0) cuts.push_back(i);
        }
        for (size_t cut : cuts) {
            SCOPED_TRACE(file.name + " cut at " + std::to_string(cut));
            EXPECT_FALSE(Parse(file.bytes.substr(0, cut)));
            if (HasFatalFailure() || HasNonfatalFailure()) return;
        }
    }
}

// Seeded mutations (a fixed seed, so a failure names a reproducible case): bytes flipped, markup
// inserted, spans deleted or doubled, the end cut. The parser may accept or refuse each one, but
// never takes a document without its root's end as whole, and never hangs or ends the process.
TEST_F(CatalogueCorpusTest, MutationsNeverHangCrashOrPassACutDocument) {
    static const char* const kTokens[] = {"<", ">", "&", "/>", "<!--", "-->", "<![CDATA[", "]]>", "<?", "?>",
                                          "</item>", "<item>", "&#0;", "&unknown;", "\"", "'", "=",
                                          "\xEF\xBB\xBF", "\xC3", "\xFF\xFE", "" /* a NUL byte */,
                                          "<!DOCTYPE x>", "<?xml version=\"1.0\"?>"};
    std::mt19937 random(20261211);
    const int kPerFile = 500;
    for (const CorpusFile& file : valid) {
        for (int n = 0; n < kPerFile; ++n) {
            std::string bytes = file.bytes;
            const int edits = 1 + static_cast<int>(random() % 3);
            for (int e = 0; e < edits && !bytes.empty(); ++e) {
                const size_t at = random() % bytes.size();
                switch (random() % 5) {
                    case 0: bytes[at] = static_cast<char>(bytes[at] ^ (1 << (random() % 8))); break;
                    case 1: {
                        const char* token = kTokens[random() % (sizeof(kTokens) / sizeof(kTokens[0]))];
                        bytes.insert(at, *token ? std::string(token) : std::string(1, '\0'));
                        break;
                    }
                    case 2: bytes.erase(at, 1 + random() % 16); break;
                    case 3: bytes.insert(at, bytes.substr(at, 1 + random() % 64)); break;
                    case 4: bytes.resize(at); break;
                }
            }
            SCOPED_TRACE(file.name + " mutation " + std::to_string(n));
            const BOOL accepted = Parse(bytes);
            if (HasFailure()) return;
            if (!accepted) continue;
            // Taken as whole: then it still ends with its root's end tag, past blanks only.
            const size_t end = RootEnd(bytes);
            ASSERT_NE(end, std::string::npos);
            const std::string tail = bytes.substr(end);
            EXPECT_EQ(tail.find_first_not_of(" \t\r\n"), tail.find('<')) << "accepted a document ending in: " << tail;
        }
    }
}

TEST_F(CatalogueCorpusTest, ShapesThatOnceHungOrEndedTheReaderAreRefused) {
    const std::vector<CorpusFile> shapes = ReadCorpus(L"regressions");
    ASSERT_GE(shapes.size(), 8u);
    for (const CorpusFile& shape : shapes) {
        SCOPED_TRACE(shape.name);
        EXPECT_FALSE(Parse(shape.bytes));
        if (HasFatalFailure()) return;
    }
}

}  // namespace
