#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "support/FileOps.h"
#include "tests/support/LogFile.h"
#include "tests/support/ScopedTempFolder.h"

using vttest::LogFile;
using vttest::ScopedTempFolder;

namespace {

const wchar_t SESSION_MANAGER_KEY[] = L"SYSTEM\\CurrentControlSet\\Control\\Session Manager";
const wchar_t PENDING_VALUE[] = L"PendingFileRenameOperations";

void Touch(const std::wstring& path) { vttest::WriteTextFile(path, "x"); }

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// The restart-time operations: source and target paths in pairs.
std::vector<std::wstring> PendingRenames() {
    std::vector<std::wstring> entries;
    DWORD bytes = 0;
    if (RegGetValueW(HKEY_LOCAL_MACHINE, SESSION_MANAGER_KEY, PENDING_VALUE, RRF_RT_REG_MULTI_SZ, nullptr, nullptr,
                     &bytes) != ERROR_SUCCESS)
        return entries;
    std::vector<wchar_t> data(bytes / sizeof(wchar_t) + 2, L'\0');
    if (RegGetValueW(HKEY_LOCAL_MACHINE, SESSION_MANAGER_KEY, PENDING_VALUE, RRF_RT_REG_MULTI_SZ, nullptr,
                     data.data(), &bytes) != ERROR_SUCCESS)
        return entries;
    // Pairs may hold empty targets, so walk by length rather than stopping at the first empty text.
    const size_t count = bytes / sizeof(wchar_t);
    for (size_t start = 0; start < count;) {
        std::wstring entry(&data[start]);
        entries.push_back(entry);
        start += entry.size() + 1;
    }
    return entries;
}

// Puts the prefix's restart list back as it was.
class PendingRenamesGuard {
public:
    PendingRenamesGuard() {
        DWORD bytes = 0;
        m_present = RegGetValueW(HKEY_LOCAL_MACHINE, SESSION_MANAGER_KEY, PENDING_VALUE, RRF_RT_REG_MULTI_SZ, nullptr,
                                 nullptr, &bytes) == ERROR_SUCCESS;
        if (!m_present) return;
        m_data.resize(bytes);
        m_present = RegGetValueW(HKEY_LOCAL_MACHINE, SESSION_MANAGER_KEY, PENDING_VALUE, RRF_RT_REG_MULTI_SZ, nullptr,
                                 m_data.data(), &bytes) == ERROR_SUCCESS;
        m_data.resize(bytes);
    }
    ~PendingRenamesGuard() {
        if (m_present)
            RegSetKeyValueW(HKEY_LOCAL_MACHINE, SESSION_MANAGER_KEY, PENDING_VALUE, REG_MULTI_SZ, m_data.data(),
                            static_cast<DWORD>(m_data.size()));
        else
            RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, SESSION_MANAGER_KEY, PENDING_VALUE);
    }
    PendingRenamesGuard(const PendingRenamesGuard&) = delete;
    PendingRenamesGuard& operator=(const PendingRenamesGuard&) = delete;

private:
    bool m_present = false;
    std::vector<BYTE> m_data;
};

bool IsScheduledForDeletion(const std::wstring& path) {
    std::vector<std::wstring> entries = PendingRenames();
    for (size_t i = 0; i + 1 < entries.size(); i += 2) {
        if (_wcsicmp(entries[i].c_str(), (L"\\??\\" + path).c_str()) == 0 && entries[i + 1].empty()) return true;
    }
    return false;
}

// The program removes its own folder after a restart only when that folder lies below a root.
TEST(IsFolderBelowRootTest, NeverARootOrARelativePath) {
    struct Case {
        const wchar_t* folder;
        bool below;
    } cases[] = {
        {L"C:\\Veltrona\\VTInst", true}, {L"c:\\x\\", true}, {L"\\\\server\\share\\x", true},
        {L"C:/x", true},                   {L"E:", false},        {L"E:\\", false},
        {L"E:\\\\", false},                {L"E:x", false},       {L"\\\\server\\share", false},
        {L"\\\\server\\share\\", false},  {L"\\\\server", false}, {L"\\\\?\\C:\\x", false},
        {L"\\\\.\\C:\\x", false},          {L"C:\\x\\..", false}, {L"C:\\.\\", false},
        {L"x\\y", false},                 {L"\\x", false},       {L"", false},
    };
    for (const Case& c : cases) EXPECT_EQ(IsFolderBelowRoot(c.folder), c.below) << vttest::Narrow(c.folder);
}

TEST(FileExistsTest, FalseOnlyForMissingFilesAndFolders) {
    ScopedTempFolder temp;
    Touch(temp.File(L"present.txt"));
    EXPECT_TRUE(FileExists(temp.File(L"present.txt")));
    EXPECT_FALSE(FileExists(temp.File(L"absent.txt")));
    EXPECT_FALSE(FileExists(temp.File(L"absent folder\\file.txt")));
    // A folder cannot be opened as a file, but it is there.
    EXPECT_TRUE(FileExists(temp.Path()));
}

TEST(FileExistsTest, AFileHeldExclusivelyStillExists) {
    ScopedTempFolder temp;
    const std::wstring path = temp.File(L"locked.txt");
    HANDLE held = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_TRUE(FileExists(path));
    CloseHandle(held);
}

TEST(DeleteFileWithRetryTest, DeletesAndReportsAFileThatIsNotThere) {
    ScopedTempFolder temp;
    Touch(temp.File(L"a.txt"));
    EXPECT_TRUE(DeleteFileWithRetry(temp.File(L"a.txt")));
    EXPECT_FALSE(Exists(temp.File(L"a.txt")));
    EXPECT_FALSE(DeleteFileWithRetry(temp.File(L"a.txt")));
}

class DeleteDirectoryExTest : public ::testing::Test {
protected:
    ScopedTempFolder temp{true};  // also holds the log
    LogFile log = LogFile::InFolder(temp.Path());
    std::wstring folder = temp.File(L"Download");

    void SetUp() override {
        ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
        ASSERT_TRUE(CreateDirectoryW((folder + L"\\Sub").c_str(), nullptr));
        Touch(folder + L"\\setup.exe");
        Touch(folder + L"\\Sub\\data.cab");
    }

    std::vector<vttest::LogEntry> Warnings() {
        std::vector<vttest::LogEntry> warnings;
        for (const vttest::LogEntry& entry : log.Entries())
            if (entry.level == L"WARN") warnings.push_back(entry);
        return warnings;
    }
};

TEST_F(DeleteDirectoryExTest, RemovesTheWholeTree) {
    EXPECT_TRUE(DeleteDirectoryEx(folder));
    EXPECT_FALSE(Exists(folder));
    EXPECT_TRUE(Warnings().empty());
    EXPECT_EQ(log.Count(L"Start:CVTInstApp::DeleteDirectoryEx"), 2u);  // the folder and its sub-folder
    EXPECT_EQ(log.Count(L"End  :CVTInstApp::DeleteDirectoryEx"), 2u);
}

TEST_F(DeleteDirectoryExTest, FileInUseIsScheduledWithItsFolder) {
    PendingRenamesGuard restoreRestartList;
    const std::wstring held = folder + L"\\setup.exe";
    HANDLE file = CreateFileW(held.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);

    EXPECT_FALSE(DeleteDirectoryEx(folder));

    const bool fileScheduled = IsScheduledForDeletion(held);
    const bool folderScheduled = IsScheduledForDeletion(folder);
    CloseHandle(file);

    EXPECT_TRUE(Exists(held));
    EXPECT_FALSE(Exists(folder + L"\\Sub"));  // everything else went
    EXPECT_TRUE(fileScheduled);
    EXPECT_TRUE(folderScheduled);
    std::vector<vttest::LogEntry> warnings = Warnings();
    ASSERT_EQ(warnings.size(), 2u);
    EXPECT_EQ(warnings[0].message, L"Warning:CVTInstApp::DeleteDirectoryEx: file is not deleted.path:" + held);
    EXPECT_EQ(warnings[1].message, L"Warning:CVTInstApp::DeleteDirectoryEx: fold is not deleted.path:" + folder);
    EXPECT_EQ(log.Messages().back(), L"End  :CVTInstApp::DeleteDirectoryEx");
}

TEST_F(DeleteDirectoryExTest, MissingFolderOrAFileGivenInsteadIsLeftAlone) {
    EXPECT_FALSE(DeleteDirectoryEx(temp.File(L"Absent")));
    EXPECT_FALSE(DeleteDirectoryEx(folder + L"\\setup.exe"));
    EXPECT_TRUE(Exists(folder + L"\\setup.exe"));
    EXPECT_TRUE(Warnings().empty());
    EXPECT_EQ(log.Count(L"End  :CVTInstApp::DeleteDirectoryEx"), 2u);
}

// A linked folder inside the tree is removed as a link; the folder it points to keeps its files.
TEST_F(DeleteDirectoryExTest, LinkedFolderIsNotEmptied) {
    const std::wstring outside = temp.File(L"Outside");
    ASSERT_TRUE(CreateDirectoryW(outside.c_str(), nullptr));
    Touch(outside + L"\\keep.txt");
    // Some systems report success without making a link; only a link that leads somewhere counts.
    if (!CreateSymbolicLinkW((folder + L"\\Link").c_str(), outside.c_str(), SYMBOLIC_LINK_FLAG_DIRECTORY) ||
        !Exists(folder + L"\\Link\\keep.txt"))
        GTEST_SKIP() << "folder links are not available here";

    EXPECT_TRUE(DeleteDirectoryEx(folder));
    EXPECT_FALSE(Exists(folder));
    EXPECT_TRUE(Exists(outside + L"\\keep.txt"));
}

}  // namespace
