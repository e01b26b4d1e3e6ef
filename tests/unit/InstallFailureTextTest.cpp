// What the install page tells the user about a failed package: the setup log's error code, the
// result file's code through the result table, or the title alone.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "StringIds.h"
#include "catalogue/SoftMulti.h"
#include "tests/support/ScopedTempFolder.h"
#include "ui/InstallFailureText.h"

namespace vttest {
namespace {

const wchar_t kIncomplete[] =
    L"\nThe installation file you downloaded may be incomplete. Download the file again and then retry the installation.\n";

class InstallFailureTextTest : public ::testing::Test {
protected:
    ScopedTempFolder temp;
    std::wstring tempFolder = temp.Path() + L"\\";

    CUpdateInfo Manager(const std::wstring& resultCode) {
        CUpdateInfo record;
        record.m_id = L"Veltrona Manager";
        record.m_title = L"Veltrona Manager V2";
        record.m_installedPath = L"C:\\Program Files\\Veltrona\\Manager";
        record.m_packageFile = temp.File(L"setup_01.exe");
        record.m_logFile = temp.File(L"setup_01.exe.log");
        if (!resultCode.empty())
            WritePrivateProfileStringW(L"ResponseResult", L"ResultCode", resultCode.c_str(), record.m_logFile.c_str());
        return record;
    }
};

TEST_F(InstallFailureTextTest, TheResultCodeTableChoosesTheExplanation) {
    const std::wstring access =
        L"\nA folder or file access error occurred.\nCheck the access rights for the following folder or file and then "
        L"retry the installation.\nC:\\Program Files\\Veltrona\\Manager\n";
    const struct {
        const wchar_t* result;
        const wchar_t* logged;
        std::wstring detail;  // empty: message 1021 alone
    } rows[] = {
        {L"-3", L"-3", kIncomplete},
        {L"-51", L"-51", access},
        {L"-7", L"Err_30007", L"generic"},
        {L"-1", L"Err_30001", L"generic"},
        {L"-53", L"Err_30053", L"generic"},
        {L"-99", L"-99", L"generic"},
        {L"0", L"0", L""},
        {L"", L"", L""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.result);
        DeleteFileW(temp.File(L"setup_01.exe.log").c_str());
        const CUpdateInfo record = Manager(row.result);
        const InstallFailureText text = DescribeInstallerFailure(record, 0, tempFolder);
        EXPECT_TRUE(text.codeLooked);
        EXPECT_EQ(text.code, row.logged);
        EXPECT_EQ(text.head, L"Failed to install Veltrona Manager V2.");
        const std::wstring expected =
            row.detail == L"generic"
                ? std::wstring(L"\nAn error occurred. (") + row.logged +
                      L")\nContact the distributor/dealer where you purchased this product.\n" + record.m_packageFile
                : row.detail;
        EXPECT_EQ(text.detail, expected);
        EXPECT_EQ(text.textId, expected.empty() ? UINT(IDS_INSTALL_FAILED) : UINT(IDS_INSTALL_FAILED_DETAIL));
    }
}

TEST_F(InstallFailureTextTest, TheSetupLogsErrorCodeComesFirstWithItsPartsOnLines) {
    const CUpdateInfo record = Manager(L"-3");
    WritePrivateProfileStringW(L"ERROR_Log", L"ErrorCode", L"E1024^Disk busy", (tempFolder + L"VTManagerInst.log").c_str());
    const InstallFailureText text = DescribeInstallerFailure(record, 0, tempFolder);
    EXPECT_EQ(text.code, L"E1024^Disk busy");
    EXPECT_EQ(text.detail, L"\nE1024\nDisk busy\n");
}

TEST_F(InstallFailureTextTest, OtherProductsAndBundlesReadOnlyTheirOwnFiles) {
    // An msi package of a product without a named setup log: the title alone.
    CUpdateInfo manual = Manager(L"-3");
    manual.m_id = L"Veltrona Manual";
    manual.m_title = L"Veltrona Manual";
    EXPECT_EQ(DescribeInstallerFailure(manual, 0, tempFolder).textId, UINT(IDS_INSTALL_FAILED));

    // A bundle's home pack: its entry's result file, and its own setup log under HomeSetupLog.
    CSoftMultiList packages(2);
    packages[0].m_id = L"Veltrona OCR LangPack2";
    packages[1].m_id = L"Veltrona Home OCR LangPack3";
    packages[1].m_packageFile = temp.File(L"home3.exe");
    packages[1].m_logFile = temp.File(L"home3.exe.log");
    packages[1].m_issFile = temp.File(L"home3.iss");
    WritePrivateProfileStringW(L"ResponseResult", L"ResultCode", L"-3", packages[1].m_logFile.c_str());
    CUpdateInfo bundle;
    bundle.m_id = L"Veltrona OCR LangPack2";
    bundle.m_title = L"OCR packs";
    bundle.m_packageCount = 2;
    bundle.m_subPackages = &packages;
    EXPECT_EQ(DescribeInstallerFailure(bundle, 0, tempFolder).textId, UINT(IDS_INSTALL_FAILED));
    EXPECT_EQ(DescribeInstallerFailure(bundle, 1, tempFolder).detail, kIncomplete);

    // The response file that could not be used is named, the bundle's entry's own.
    const InstallFailureText unusable = DescribeResponseFileFailure(bundle, 1);
    EXPECT_FALSE(unusable.codeLooked);
    EXPECT_EQ(unusable.head, L"Failed to install OCR packs.");
    EXPECT_EQ(unusable.detail, L"Could not use the file to be processed.\nCheck if the file has the proper access right, "
                               L"or if it is not currently in use by other applications.\n\n" + packages[1].m_issFile);
}

}  // namespace
}  // namespace vttest
