// The disk-space check: bytes needed per fixed drive against its free space, with a margin.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "SelectionFixture.h"
#include "catalogue/DriveSpace.h"
#include "support/LogFile.h"

namespace {

using vttest::MakeRecord;

const wchar_t NOT_ENOUGH_ON_C[] = L"Error:CVTInstApp::CheckDiskSpaceEnough: The disk(C:) do not have enough space.";

int64_t FreeBytesOnC() {
    ULARGE_INTEGER available = {};
    GetDiskFreeSpaceExW(L"C:\\", &available, nullptr, nullptr);
    return static_cast<int64_t>(available.QuadPart);
}

TEST(SelectionDriveList, HoldsTheFixedDrivesAndAddsByDriveLetter) {
    CDriveInfoList drives = BuildDriveList();
    ASSERT_FALSE(drives.empty());
    EXPECT_EQ(drives[0].m_driveName.size(), 2u);
    bool hasC = false;
    for (const DRIVERINFO& drive : drives) {
        EXPECT_EQ(GetDriveTypeW((drive.m_driveName + L"\\").c_str()), static_cast<UINT>(DRIVE_FIXED));
        EXPECT_EQ(drive.m_neededBytes, 0u);
        hasC = hasC || drive.m_driveName == L"C:";
    }
    ASSERT_TRUE(hasC);

    CDriveInfoList one = {DRIVERINFO{L"C:", 0}};
    AddToDrive(one, L"C:", 100);
    AddToDrive(one, L"c:", 20);  // the same drive
    AddToDrive(one, L"Q:", 1000);
    AddToDrive(one, L"", 1000);
    AddToDrive(one, L"C:", -5);
    EXPECT_EQ(one[0].m_neededBytes, 120u);
}

TEST(SelectionDriveList, DotNetAllowancePerMissingFramework) {
    EXPECT_EQ(DotNetAllowanceMB(true, true, true, true), 0);
    EXPECT_EQ(DotNetAllowanceMB(false, true, true, true), 500);
    EXPECT_EQ(DotNetAllowanceMB(false, false, true, true), 1350);
    EXPECT_EQ(DotNetAllowanceMB(true, true, false, false), 2048);
    EXPECT_EQ(DotNetAllowanceMB(false, false, false, false), 4596);
}

class SelectionDiskSpaceTest : public vttest::SelectionFixture {
protected:
    void SetUp() override {
        SelectionFixture::SetUp();
        theApp.m_strSavePath = L"C:\\users\\Public\\VTInstDownload\\";
        m_free = FreeBytesOnC();
        ASSERT_GT(m_free, 0);
    }
    bool LoggedNotEnoughOnC() const { return vttest::LogFile::InFolder(m_temp.Path()).Contains(NOT_ENOUGH_ON_C); }

    int64_t m_free = 0;
};

TEST_F(SelectionDiskSpaceTest, DownloadsCountOnTheSaveDrive) {
    theApp.m_updateList = {MakeRecord(L"Veltrona Manager", L"1.0.0.0", 1048576)};
    EXPECT_TRUE(theApp.CheckDiskSpaceEnough(L""));
    theApp.m_updateList = {MakeRecord(L"Veltrona Manager", L"1.0.0.0", m_free)};
    EXPECT_FALSE(theApp.CheckDiskSpaceEnough(L""));
    EXPECT_TRUE(LoggedNotEnoughOnC());
}

TEST_F(SelectionDiskSpaceTest, InstallSizesCountOnTheirFolderDrive) {
    CUpdateInfo update = MakeRecord(L"Veltrona Manager", L"1.0.0.1");
    update.m_installSize = m_free;
    struct Case {
        const wchar_t* installedPath;
        const wchar_t* chosenFolder;
        BOOL expected;
    };
    for (const Case& c : {Case{L"C:\\Program Files\\Veltrona", L"", FALSE},
                          // Drive letters are case-insensitive: a folder written "c:" is drive C:.
                          Case{L"c:\\Program Files\\Veltrona", L"", FALSE},
                          Case{L"", L"C:\\Veltrona", FALSE}, Case{L"", L"c:\\Veltrona", FALSE},
                          // A drive that is not fixed receives nothing; nor does a new install
                          // without a chosen folder.
                          Case{L"Q:\\Veltrona", L"", TRUE}, Case{L"", L"", TRUE}}) {
        update.m_installedPath = c.installedPath;
        theApp.m_updateList = {update};
        EXPECT_EQ(theApp.CheckDiskSpaceEnough(c.chosenFolder), c.expected)
            << "installed in '" << vttest::Narrow(c.installedPath) << "', folder '" << vttest::Narrow(c.chosenFolder)
            << "'";
    }
}

TEST_F(SelectionDiskSpaceTest, ManualsGoWhereTheInstalledManualsAre) {
    CUpdateInfo manual = MakeRecord(L"Veltrona Manual02", L"1.0.0.0");
    manual.m_installSize = m_free;
    theApp.m_updateList = {manual};
    ASSERT_TRUE(m_registry.SetString(L"SOFTWARE\\ZEL\\Veltrona Manual", L"InstallPath", L"Q:\\Manuals"));
    EXPECT_TRUE(theApp.CheckDiskSpaceEnough(L"C:\\Veltrona"));
    ASSERT_TRUE(m_registry.SetString(L"SOFTWARE\\ZEL\\Veltrona Manual", L"InstallPath", L"C:\\Manuals"));
    EXPECT_FALSE(theApp.CheckDiskSpaceEnough(L"Q:\\Veltrona"));
    ASSERT_TRUE(m_registry.SetString(L"SOFTWARE\\ZEL\\Veltrona Manual", L"InstallPath", L""));
    EXPECT_FALSE(theApp.CheckDiskSpaceEnough(L"C:\\Veltrona"));
}

TEST_F(SelectionDiskSpaceTest, KeepsAFiftyMegabyteMargin) {
    // Leaves 40 MB of the free space: fits without the margin, not with it. The free space of the
    // build machine moves a little, hence the 10 MB either side.
    const int64_t megabyte = 1048576;
    theApp.m_updateList = {MakeRecord(L"Veltrona Manager", L"1.0.0.0", m_free - 40 * megabyte)};
    EXPECT_FALSE(theApp.CheckDiskSpaceEnough(L""));
    theApp.m_updateList = {MakeRecord(L"Veltrona Manager", L"1.0.0.0", m_free - 60 * megabyte)};
    theApp.m_updateList[0].m_installSize = 1;
    EXPECT_TRUE(theApp.CheckDiskSpaceEnough(L""));
}

TEST_F(SelectionDiskSpaceTest, MissingDotNetFrameworksAreAllowedForOnTheWindowsDrive) {
    theApp.m_updateList = {MakeRecord(L"Veltrona Manager", L"1.0.0.0", 1048576)};
    EXPECT_TRUE(theApp.CheckDiskSpaceEnough(L""));
    EXPECT_EQ(theApp.m_dotNetSpaceMB, 0);

    theApp.m_bDotNet35 = FALSE;
    theApp.m_bDotNet45 = FALSE;
    SYSTEM_INFO info = {};
    GetNativeSystemInfo(&info);
    const int expected = info.wProcessorArchitecture == PROCESSOR_ARCHITECTURE_INTEL ? 500 + 850 : 500 + 2048;
    EXPECT_TRUE(theApp.CheckDiskSpaceEnough(L""));
    EXPECT_EQ(theApp.m_dotNetSpaceMB, expected);

    // A download that fits by itself no longer fits beside the allowance.
    const int64_t download = m_free - 50 * 1048576LL - expected * 1048576LL / 2;
    theApp.m_updateList = {MakeRecord(L"Veltrona Manager", L"1.0.0.0", download)};
    EXPECT_FALSE(theApp.CheckDiskSpaceEnough(L""));
    theApp.m_bDotNet35 = TRUE;
    theApp.m_bDotNet45 = TRUE;
    EXPECT_TRUE(theApp.CheckDiskSpaceEnough(L""));
}

TEST_F(SelectionDiskSpaceTest, NothingNeededIsAlwaysEnough) {
    EXPECT_TRUE(theApp.CheckDiskSpaceEnough(L"C:\\Veltrona"));
    EXPECT_FALSE(LoggedNotEnoughOnC());
}

}  // namespace
