// The review page's "Current Settings:" text, exactly as the user reads it.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "app/VTInst.h"
#include "ui/ContentConfirmDlg.h"

namespace {

const std::wstring kDashes(69, L'-');

CUpdateInfo Record(const wchar_t* title) {
    CUpdateInfo record;
    record.m_title = title;
    return record;
}

class ReviewTextTest : public ::testing::Test {
protected:
    // The application object is shared: what a test changes goes back afterwards.
    UPDATECOMMONINFO savedInfo = theApp.m_updateCommonInfo;
    std::wstring savedFolder = theApp.m_installFolder;
    BOOL saved35 = theApp.m_bDotNet35, saved40 = theApp.m_bDotNet40, saved45 = theApp.m_bDotNet45;
    int savedSpace = theApp.m_dotNetSpaceMB;

    void TearDown() override {
        theApp.m_updateCommonInfo = savedInfo;
        theApp.m_installFolder = savedFolder;
        theApp.m_bDotNet35 = saved35;
        theApp.m_bDotNet40 = saved40;
        theApp.m_bDotNet45 = saved45;
        theApp.m_dotNetSpaceMB = savedSpace;
    }
    void Frameworks(BOOL has35, BOOL has40, BOOL has45) {
        theApp.m_bDotNet35 = has35;
        theApp.m_bDotNet40 = has40;
        theApp.m_bDotNet45 = has45;
    }
};

TEST_F(ReviewTextTest, WholeTextWithEveryFrameworkPresent) {
    theApp.m_updateCommonInfo.SelectFolder = 1;
    theApp.m_updateCommonInfo.TotalInstallSize = 12345;
    theApp.m_installFolder = L"D:\\Apps";
    Frameworks(TRUE, TRUE, TRUE);
    const CUpdateInfoList list = {Record(L"Veltrona Manager"), Record(L"Veltrona OCR LangPack2"),
                                  Record(L"Veltrona Manual")};
    EXPECT_EQ(CContentConfirmDlg::BuildSettingsText(list),
              L"After the package has been installed, you can download and install additional feature programs and "
              L"the latest software versions from the website.\r\n\r\n"
              L"1. Veltrona\r\n" + kDashes + L"\r\n"
              L"Install Folder: D:\\Apps\\ZEL\\Veltrona\r\n"
              L"Install Size: 1,234.5MB\r\n"
              L"Application to be installed:\r\n"
              L"   Veltrona Manager\r\n   Veltrona OCR LangPack2\r\n   Veltrona Manual\r\n\r\n");
}

TEST_F(ReviewTextTest, FolderLineJoinsTheFamilyFolderWithOneSeparator) {
    struct Case {
        int selectFolder;
        const wchar_t* folder;
        const wchar_t* line;
    } cases[] = {
        {1, L"C:\\", L"Install Folder: C:\\ZEL\\Veltrona\r\n"},
        {1, L"C:\\Program Files", L"Install Folder: C:\\Program Files\\ZEL\\Veltrona\r\n"},
        {1, L"", L"Install Folder: ZEL\\Veltrona\r\n"},
        {0, L"C:\\Program Files", L"Install Folder: \r\n"},
    };
    Frameworks(TRUE, TRUE, TRUE);
    for (const Case& c : cases) {
        theApp.m_updateCommonInfo.SelectFolder = c.selectFolder;
        theApp.m_installFolder = c.folder;
        const std::wstring text = CContentConfirmDlg::BuildSettingsText({Record(L"Veltrona Manager")});
        EXPECT_NE(text.find(L"\r\n" + std::wstring(c.line)), std::wstring::npos) << testing::PrintToString(text);
    }
}

TEST_F(ReviewTextTest, MissingFrameworksGetASectionOfTheirOwnInOrder) {
    theApp.m_updateCommonInfo.SelectFolder = 0;
    theApp.m_updateCommonInfo.TotalInstallSize = 5;
    theApp.m_dotNetSpaceMB = 2548;
    Frameworks(FALSE, TRUE, FALSE);
    const std::wstring text = CContentConfirmDlg::BuildSettingsText({Record(L"Veltrona Manager")});
    const std::wstring tail = L"   Veltrona Manager\r\n\r\n\r\n2. Other\r\n" + kDashes +
                              L"\r\nInstall Size: 2548MB\r\nApplication to be installed:\r\n"
                              L"   Microsoft .NET Framework 3.5 SP1\r\n   Microsoft .NET Framework 4.5\r\n";
    ASSERT_GE(text.size(), tail.size());
    EXPECT_EQ(text.substr(text.size() - tail.size()), tail);
    EXPECT_NE(text.find(L"Install Size: 0.5MB\r\n"), std::wstring::npos);
}

}  // namespace
