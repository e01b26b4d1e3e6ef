// The real program's wizard against the test server: the page chain with and without the folder
// page, Back and Next, the license's accept gate and failures, the review text, the folder checks
// and the cancel question on every page.
#include <gtest/gtest.h>
#include <windows.h>
#include <shlobj.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/integration/InstallerRun.h"
#include "tests/integration/WizardWalk.h"
#include "tests/server/TestJson.h"
#include "tests/server/TestServerClient.h"
#include "tests/support/Printer.h"
#include "tests/support/RegistryFixture.h"

namespace vttest {
namespace {

const wchar_t kCancelQuestion[] = L"Do you want to cancel the installation?";
const wchar_t kUserCancelled[] = L"CVTInstApp::InitInstance:User Cancelled";
const char kLicense[] = "{\\rtf1\\ansi{\\fonttbl{\\f0 Tahoma;}}\\f0\\fs18 {\\b TEST LICENSE}\\par Terms.\\par}";
const wchar_t kManagerKey[] = L"SOFTWARE\\ZEL\\Veltrona Software\\Veltrona Manager";

std::wstring ProgramFiles() {
    wchar_t folder[MAX_PATH] = {};
    SHGetSpecialFolderPathW(nullptr, folder, CSIDL_PROGRAM_FILES, FALSE);
    return folder;
}

bool Contains(const std::vector<std::wstring>& lines, const std::wstring& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

class WizardTest : public ::testing::Test {
protected:
    CTestServerClient server;
    RegistryFixture registry;
    InstallerRun run;

    void SetUp() override {
        ASSERT_TRUE(server.Open()) << "test server not running (tools/with-test-server.sh)";
        ASSERT_TRUE(server.Reset("/wiz/"));
        ASSERT_TRUE(server.SetBehaviour("/wiz/vtinst.ini", R"({"body_text": "[Common]\r\n"})"));
        ASSERT_TRUE(server.SetBehaviour("/wiz/license.rtf", std::string("{\"body_text\": ") + JsonQuote(kLicense) + "}"));
        ASSERT_TRUE(server.SetBehaviour("/wiz/setup.iss", R"({"body_text": "[InstallShield Silent]\r\n"})"));
        // Slow enough for the download page to be seen and cancelled while it downloads.
        ServePackage(R"({"body_pattern": 2048, "chunk_size": 256, "chunk_delay_ms": 1000})");
        run.WriteConfiguration(Configuration());
        // Every framework present: no notice before the first page, no ".NET" section in the review.
        const std::wstring ndp = L"SOFTWARE\\Microsoft\\NET Framework Setup\\NDP\\";
        ASSERT_TRUE(registry.SetDword(ndp + L"v3.5", L"Install", 1) && registry.SetDword(ndp + L"v3.5", L"SP", 1) &&
                    registry.SetDword(ndp + L"v4\\Full", L"Install", 1) &&
                    registry.SetDword(ndp + L"v4\\Full", L"Release", 378389));
        ASSERT_TRUE(registry.HideKey(kManagerKey));
    }

    // The folder a new install of the Manager goes to is configured; transient failures are tried
    // again once, soon.
    std::string Configuration() {
        std::string ini = ValidConfiguration(ToUtf8(server.Url(Listener::Http, L"/wiz/VTInst.xml"))) +
                          "[AddPath]\r\nVeltrona Manager=C:\\Program Files\\Veltrona\\Manager\r\n";
        const std::string section = "[WebServer]\r\n";
        ini.insert(ini.find(section) + section.size(), "ResumeRetryCount=1\r\nResumeRetrySleep=100\r\n");
        return ini;
    }

    void ServePackage(const std::string& behaviour) {
        ASSERT_TRUE(server.SetBehaviour("/wiz/Manager/setup.exe", behaviour));
    }

    // A catalogue with the Manager; the license at licenseUrl (default: the served one).
    void ServeCatalogue(const std::string& installSize = "4096", std::string licenseUrl = std::string(),
                        const std::string& packageSize = "2048") {
        const std::string base = ToUtf8(server.Url(Listener::Http, L"/wiz/"));
        if (licenseUrl.empty()) licenseUrl = base + "license.rtf";
        const std::string xml =
            "<?xml version=\"1.0\" encoding=\"utf-8\"?><catalogue><setupType>JP</setupType><model>VT-S1300</model>"
            "<vtinst>" + base + "vtinst.ini</vtinst><license>" + licenseUrl + "</license>"
            "<item><id>Veltrona Manager</id><title>Veltrona Manager</title><version>2.4.0.1</version>"
            "<gmt_pubDate>2020/1/1 0:0:0</gmt_pubDate><gmt_delDate>2099/1/1 0:0:0</gmt_delDate>"
            "<iss>" + base + "setup.iss</iss><iss_ug>" + base + "setup_ug.iss</iss_ug>"
            "<module size=\"" + packageSize + "\" installSize=\"" + installSize + "\">" + base + "Manager/setup.exe</module></item>"
            "</catalogue>";
        ASSERT_TRUE(server.SetBehaviour("/wiz/VTInst.xml", std::string("{\"body_text\": ") + JsonQuote(xml) + "}"));
    }

    // The license page once its text is loaded.
    PageInfo LoadedLicensePage() {
        PageInfo page;
        EXPECT_TRUE(run.WaitForPage(LICENSE_ACCEPT, page));
        EXPECT_TRUE(WaitForControlEnabled(page.window, LICENSE_ACCEPT, true, 30000));
        return ReadPage(page.window);
    }

    // Presses a button that asks the cancel question, answers it; the question's text is checked.
    void AnswerCancel(HWND page, int buttonId, int answer) {
        ASSERT_TRUE(ClickControl(page, buttonId));
        MessageBoxInfo box;
        ASSERT_TRUE(run.AnswerBox(answer, box));
        EXPECT_EQ(box.text, kCancelQuestion);
        EXPECT_TRUE(box.HasButton(IDYES) && box.HasButton(IDNO));
    }

    void ExpectCancelledRun() {
        ASSERT_TRUE(run.Finish());
        const std::vector<std::wstring> lines = run.Log().Messages();
        EXPECT_TRUE(ContainsInOrder(lines, {kUserCancelled, L"End  :CVTInstApp::InitInstance"}));
        EXPECT_FALSE(Contains(lines, L"Start:CVTInstApp::SaveVTInst"));
    }
};

TEST_F(WizardTest, NewInstallGoesFolderLicenseReviewAndBackAgain) {
    ServeCatalogue();
    ASSERT_TRUE(run.Start());

    PageInfo folder;
    ASSERT_TRUE(run.WaitForPage(FOLDER_PATH, folder));
    EXPECT_EQ(folder.caption, L"Veltrona Installer");
    EXPECT_EQ(folder.Control(FOLDER_PATH)->text, ProgramFiles());
    EXPECT_FALSE(folder.Control(FOLDER_BACK)->visible);
    ASSERT_TRUE(ClickControl(folder.window, FOLDER_NEXT));

    PageInfo license = LoadedLicensePage();
    EXPECT_NE(license.Control(LICENSE_TEXT)->text.find(L"TEST LICENSE"), std::wstring::npos);
    EXPECT_TRUE(license.Control(LICENSE_DECLINE)->checked);
    EXPECT_FALSE(license.Control(LICENSE_ACCEPT)->checked);
    EXPECT_FALSE(license.Control(LICENSE_NEXT)->enabled);
    EXPECT_TRUE(license.Control(LICENSE_BACK)->visible && license.Control(LICENSE_BACK)->enabled);
    EXPECT_TRUE(license.Control(LICENSE_PRINT)->enabled);
    // Next follows the radios both ways.
    ASSERT_TRUE(ClickControl(license.window, LICENSE_ACCEPT));
    EXPECT_TRUE(WaitForControlEnabled(license.window, LICENSE_NEXT, true, 5000));
    ASSERT_TRUE(ClickControl(license.window, LICENSE_DECLINE));
    EXPECT_TRUE(WaitForControlEnabled(license.window, LICENSE_NEXT, false, 5000));
    ASSERT_TRUE(ClickControl(license.window, LICENSE_ACCEPT));
    ASSERT_TRUE(WaitForControlEnabled(license.window, LICENSE_NEXT, true, 5000));
    ASSERT_TRUE(ClickControl(license.window, LICENSE_NEXT));

    PageInfo review;
    ASSERT_TRUE(run.WaitForPage(REVIEW_SETTINGS, review));
    EXPECT_FALSE(IsWindowVisible(license.window));
    const std::wstring settings = review.Control(REVIEW_SETTINGS)->text;
    EXPECT_NE(settings.find(L"Install Folder: " + ProgramFiles() + L"\\ZEL\\Veltrona\r\n"), std::wstring::npos)
        << Narrow(settings);
    EXPECT_NE(settings.find(L"Application to be installed:\r\n   Veltrona Manager\r\n"), std::wstring::npos);
    EXPECT_EQ(settings.find(L"2. Other"), std::wstring::npos);

    // Back twice: the same license page, then the folder page with its folder.
    ASSERT_TRUE(ClickControl(review.window, REVIEW_BACK));
    ASSERT_TRUE(WaitForPageHidden(review.window, 5000));
    PageInfo again;
    ASSERT_TRUE(run.WaitForPage(LICENSE_ACCEPT, again));
    EXPECT_EQ(again.window, license.window);
    EXPECT_TRUE(again.Control(LICENSE_ACCEPT)->checked);
    ASSERT_TRUE(ClickControl(again.window, LICENSE_BACK));
    ASSERT_TRUE(run.WaitForPage(FOLDER_PATH, again));
    EXPECT_EQ(again.window, folder.window);
    EXPECT_EQ(again.Control(FOLDER_PATH)->text, ProgramFiles());

    // Forward again: a new license page (the text from the local copy) and a new review page.
    ASSERT_TRUE(ClickControl(folder.window, FOLDER_NEXT));
    PageInfo secondLicense = LoadedLicensePage();
    EXPECT_NE(secondLicense.window, license.window);
    EXPECT_FALSE(secondLicense.Control(LICENSE_NEXT)->enabled);
    ASSERT_TRUE(ClickControl(secondLicense.window, LICENSE_ACCEPT));
    ASSERT_TRUE(WaitForControlEnabled(secondLicense.window, LICENSE_NEXT, true, 5000));
    ASSERT_TRUE(ClickControl(secondLicense.window, LICENSE_NEXT));
    PageInfo secondReview;
    ASSERT_TRUE(run.WaitForPage(REVIEW_SETTINGS, secondReview));
    EXPECT_NE(secondReview.window, review.window);

    // Cancel: No leaves the page as it is, Yes ends the wizard.
    AnswerCancel(secondReview.window, REVIEW_CANCEL, IDNO);
    EXPECT_TRUE(IsWindowVisible(secondReview.window));
    AnswerCancel(secondReview.window, REVIEW_CANCEL, IDYES);
    ExpectCancelledRun();

    JsonValue records;
    ASSERT_TRUE(server.Requests(records, "/wiz/license.rtf"));
    EXPECT_EQ(records.Size(), 1u);  // fetched once per run
}

TEST_F(WizardTest, AnUpdateStartsOnTheLicensePageWithoutBack) {
    ServeCatalogue();
    ASSERT_TRUE(registry.InstallProduct(L"Veltrona Manager", L"2.0.0.0", L"C:\\Program Files\\Veltrona\\Manager"));
    ASSERT_TRUE(run.Start());
    PageInfo license = LoadedLicensePage();
    EXPECT_FALSE(license.Control(LICENSE_BACK)->visible);
    PageInfo folder;
    EXPECT_FALSE(WaitForPage(run.ProcessId(), FOLDER_PATH, 0, folder));

    ASSERT_TRUE(ClickControl(license.window, LICENSE_ACCEPT));
    ASSERT_TRUE(WaitForControlEnabled(license.window, LICENSE_NEXT, true, 5000));
    ASSERT_TRUE(ClickControl(license.window, LICENSE_NEXT));
    PageInfo review;
    ASSERT_TRUE(run.WaitForPage(REVIEW_SETTINGS, review));
    EXPECT_NE(review.Control(REVIEW_SETTINGS)->text.find(L"Install Folder: \r\n"), std::wstring::npos);
    // The license page is the top page here: its own close message ends the wizard.
    ASSERT_TRUE(ClickControl(review.window, REVIEW_BACK));
    PageInfo shown;
    ASSERT_TRUE(run.WaitForPage(LICENSE_ACCEPT, shown));
    AnswerCancel(shown.window, IDCANCEL, IDNO);
    EXPECT_TRUE(IsWindowVisible(shown.window));
    AnswerCancel(shown.window, IDCANCEL, IDYES);
    ExpectCancelledRun();
}

TEST_F(WizardTest, CancelIsAskedOnEveryPage) {
    struct Case {
        const char* page;
        WizardStage stage;
        int button;    // the cancel button (0: the window's close button)
    } cases[] = {
        {"folder, Cancel", FOLDER, FOLDER_CANCEL}, {"folder, close", FOLDER, 0}, {"license, close", LICENSE, 0},
        {"review, close", REVIEW, 0},              {"download, Cancel", DOWNLOAD, IDCANCEL},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.page);
        InstallerRun attempt;
        attempt.WriteConfiguration(Configuration());
        ServeCatalogue();
        ASSERT_TRUE(attempt.Start());
        const PageInfo page = WalkTo(attempt, c.stage);
        ASSERT_TRUE(page.window);
        for (int answer : {IDNO, IDYES}) {
            if (c.button) {
                ASSERT_TRUE(ClickControl(page.window, c.button));
            } else {
                ClosePage(page.window);
            }
            MessageBoxInfo box;
            ASSERT_TRUE(attempt.AnswerBox(answer, box));
            EXPECT_EQ(box.text, kCancelQuestion);
            if (answer == IDNO) {
                Sleep(300);
                EXPECT_TRUE(IsWindowVisible(page.window));
            }
        }
        ASSERT_TRUE(attempt.Finish());
        EXPECT_TRUE(attempt.Log().Contains(kUserCancelled));
    }
}

TEST_F(WizardTest, LicenseFailuresEndTheWizard) {
    struct Case {
        const char* name;
        std::string licenseUrl;
        const wchar_t* box;
        const wchar_t* line;
    } cases[] = {
        {"not on the server", ToUtf8(server.Url(Listener::Http, L"/wiz/missing.rtf")),
         L"Failed to connect to the server.", L"Error:CLicenseDlg::OnInitDialog:Failed to connect to the server."},
        {"server unreachable", "http://127.0.0.1:9/license.rtf", L"Failed to connect to the server.",
         L"Error:CLicenseDlg::OnInitDialog:Failed to connect to the server."},
        // A local name that does not fit a path: the file cannot be stored.
        {"name too long to store", ToUtf8(server.Url(Listener::Http, L"/wiz/" + std::wstring(250, L'n') + L".rtf")),
         L"Failed to download the file.", L"Error:CLicenseDlg::OnInitDialog:Failed to download the file."},
    };
    ASSERT_TRUE(server.SetBehaviour(ToUtf8(L"/wiz/" + std::wstring(250, L'n') + L".rtf"),
                                    std::string("{\"body_text\": ") + JsonQuote(kLicense) + "}"));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        InstallerRun attempt;
        attempt.WriteConfiguration(Configuration());
        ServeCatalogue("4096", c.licenseUrl);
        ASSERT_TRUE(attempt.Start());
        PageInfo folder;
        ASSERT_TRUE(attempt.WaitForPage(FOLDER_PATH, folder));
        ASSERT_TRUE(ClickControl(folder.window, FOLDER_NEXT));
        ASSERT_TRUE(attempt.Finish());
        ASSERT_FALSE(attempt.Boxes().empty());
        EXPECT_EQ(attempt.Boxes().back().text, c.box);
        EXPECT_TRUE(ContainsInOrder(attempt.Log().Messages(),
                                    {L"Error:CLicenseDlg::UpdateLicense:Failed to download the file", c.line,
                                     kUserCancelled}));
    }
}

// The local copy is read again when the license page is built anew; gone, the wizard ends.
TEST_F(WizardTest, ALostLocalLicenseEndsTheWizard) {
    ServeCatalogue();
    ASSERT_TRUE(run.Start());
    PageInfo folder;
    ASSERT_TRUE(run.WaitForPage(FOLDER_PATH, folder));
    ASSERT_TRUE(ClickControl(folder.window, FOLDER_NEXT));
    PageInfo license = LoadedLicensePage();
    ASSERT_TRUE(ClickControl(license.window, LICENSE_BACK));
    ASSERT_TRUE(run.WaitForPage(FOLDER_PATH, folder));

    WIN32_FIND_DATAW found = {};
    HANDLE search = FindFirstFileW((run.AppFolder() + L"\\download\\license*.rtf").c_str(), &found);
    ASSERT_NE(search, INVALID_HANDLE_VALUE);
    FindClose(search);
    ASSERT_TRUE(DeleteFileW((run.AppFolder() + L"\\download\\" + found.cFileName).c_str()));

    ASSERT_TRUE(ClickControl(folder.window, FOLDER_NEXT));
    ASSERT_TRUE(run.Finish());
    ASSERT_FALSE(run.Boxes().empty());
    EXPECT_EQ(run.Boxes().back().text, L"An internal error occurred with Veltrona Installer.\nFile analysis failed.");
    EXPECT_TRUE(ContainsInOrder(run.Log().Messages(), {L"Error:CLicenseDlg::UpdateLicense:Failed to read rtf file",
                                                       L"Error:CLicenseDlg::OnInitDialog:Failed to read the rtf file.",
                                                       kUserCancelled}));
}

TEST_F(WizardTest, TheFolderMustBeWritableAndHaveRoom) {
    ServeCatalogue("900000000000000");
    ASSERT_TRUE(run.Start());
    PageInfo folder;
    ASSERT_TRUE(run.WaitForPage(FOLDER_PATH, folder));

    // A folder that went away after it was chosen: refused before the disk check.
    const std::wstring chosen = run.AppFolder() + L"\\chosen";
    ASSERT_TRUE(CreateDirectoryW(chosen.c_str(), nullptr));
    ASSERT_TRUE(ClickControl(folder.window, FOLDER_BROWSE));
    ASSERT_TRUE(ChooseFolderInBrowser(run.ProcessId(), chosen, 20000));
    Sleep(500);
    EXPECT_EQ(ReadPage(folder.window).Control(FOLDER_PATH)->text, chosen);
    ASSERT_TRUE(RemoveDirectoryW(chosen.c_str()));
    ASSERT_TRUE(ClickControl(folder.window, FOLDER_NEXT));
    MessageBoxInfo box;
    ASSERT_TRUE(run.AnswerBox(IDOK, box));
    EXPECT_EQ(box.text, L"You do not have a write authority for the installation folder.\nSelect a different folder or "
                        L"make the selected folder writable.");
    EXPECT_TRUE(run.Log().WaitFor(L"End  :CInstallDestFolderDlg::OnBnClickedButtonFolderNext", 5000));
    std::vector<std::wstring> lines = run.Log().Messages();
    EXPECT_TRUE(Contains(lines, L"Error::CInstallDestFolderDlg::IsFolderRW:create file fail."));
    EXPECT_FALSE(Contains(lines, L"Start:CVTInstApp::CheckDiskSpaceEnough"));

    // Writable, but the package does not fit: the page stays.
    ASSERT_TRUE(CreateDirectoryW(chosen.c_str(), nullptr));
    ASSERT_TRUE(ClickControl(folder.window, FOLDER_NEXT));
    ASSERT_TRUE(run.AnswerBox(IDOK, box));
    EXPECT_EQ(box.text, L"Insufficient disk space.");
    EXPECT_TRUE(run.Log().WaitFor(L"Error:CInstallDestFolderDlg::OnBnClickedButtonFolderNext: not enough Disk space.", 5000));
    EXPECT_TRUE(IsWindowVisible(folder.window));

    AnswerCancel(folder.window, FOLDER_CANCEL, IDYES);
    ExpectCancelledRun();
}

// Folders the installer cannot use cannot be confirmed in the folder browser.
TEST_F(WizardTest, TheFolderBrowserRefusesUnusableFolders) {
    ServeCatalogue();
    ASSERT_TRUE(run.Start());
    PageInfo folder;
    ASSERT_TRUE(run.WaitForPage(FOLDER_PATH, folder));
    const std::wstring netHood = run.AppFolder() + L"\\NetHood";
    std::wstring deep = run.AppFolder();
    while (deep.size() < 225) deep += L"\\" + std::wstring(std::min<size_t>(30, 240 - deep.size()), L'd');
    struct Case {
        std::wstring folder;
        bool accepted;
    } cases[] = {{netHood, false}, {deep, false}, {L"C:\\", true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(Narrow(c.folder));
        SHCreateDirectoryExW(nullptr, c.folder.c_str(), nullptr);
        ASSERT_TRUE(ClickControl(folder.window, FOLDER_BROWSE));
        bool okEnabled = false;
        EXPECT_EQ(ChooseFolderInBrowser(run.ProcessId(), c.folder, 20000, &okEnabled), c.accepted);
        EXPECT_EQ(okEnabled, c.accepted);
        Sleep(500);
    }
    EXPECT_EQ(ReadPage(folder.window).Control(FOLDER_PATH)->text, L"C:\\");
    ASSERT_TRUE(ClickControl(folder.window, FOLDER_NEXT));
    PageInfo license = LoadedLicensePage();
    ASSERT_TRUE(ClickControl(license.window, LICENSE_ACCEPT));
    ASSERT_TRUE(WaitForControlEnabled(license.window, LICENSE_NEXT, true, 5000));
    ASSERT_TRUE(ClickControl(license.window, LICENSE_NEXT));
    PageInfo review;
    ASSERT_TRUE(run.WaitForPage(REVIEW_SETTINGS, review));
    // A drive root gets no doubled separator.
    EXPECT_NE(review.Control(REVIEW_SETTINGS)->text.find(L"Install Folder: C:\\ZEL\\Veltrona\r\n"), std::wstring::npos);
    AnswerCancel(review.window, REVIEW_CANCEL, IDYES);
    ExpectCancelledRun();
}

std::string Pattern(size_t size) {
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>(i % 251);
    return bytes;
}

// The download page fetches the response file and the package; a connection cut mid-body is
// continued by a range request and the file on disk is the server's, byte for byte. Then the
// install page follows.
TEST_F(WizardTest, PackagesAreDownloadedAndACutTransferIsResumedByRange) {
    ServeCatalogue("4096", std::string(), "300000");
    ServePackage(R"({"body_pattern": 300000, "close_after": [100000, null]})");
    ASSERT_TRUE(run.Start());
    const PageInfo download = WalkTo(run, DOWNLOAD);
    PageInfo completed;
    // The package is random bytes: its installation fails at once, and the wizard ends on the
    // completion page (the install page may come and go unseen).
    ASSERT_TRUE(run.WaitForPage(COMPLETED_BUTTON, completed, 120000));
    EXPECT_FALSE(IsWindowVisible(download.window));
    EXPECT_NE(ReadPage(download.window).Control(DOWNLOAD_STATUS)->text.find(L"100% completed"), std::wstring::npos);
    // The thread ends once the install page is up; the installation itself is another test's.
    EXPECT_TRUE(run.Log().WaitFor(L"End  :CHttpDownLoad::DownloadThread", 30000));
    run.Stop();

    EXPECT_TRUE(ReadTextFile(run.AppFolder() + L"\\download\\setup_01.exe") == Pattern(300000));
    EXPECT_EQ(ReadTextFile(run.AppFolder() + L"\\download\\setup_01.iss"), "[InstallShield Silent]\r\n");
    JsonValue records;
    ASSERT_TRUE(server.Requests(records, "/wiz/Manager/"));
    ASSERT_EQ(records.Size(), 2u);
    const std::string* range = FindRecordHeader(records[size_t{1}], "Range");
    ASSERT_NE(range, nullptr);
    EXPECT_EQ(*range, "bytes=100000-");
    EXPECT_TRUE(ContainsInOrder(run.Log().Messages(), {L"Start:CHttpDownLoad::DownloadISSFile",
                                                       L"Start:CHttpDownLoad::DownloadBigFile",
                                                       L"Start:CHttpDownLoad::RetryDownBigFile",
                                                       // the page opens the install page before the
                                                       // finish message returns to the thread
                                                       L"Start:CInstallDlg::OnInitDialog",
                                                       L"End  :CHttpDownLoad::DownloadThread"}));
}

// While the cancel question is open the transfer stands still; No lets it go on to the end.
TEST_F(WizardTest, TheTransferPausesWhileTheCancelQuestionIsOpenAndGoesOnAfterNo) {
    ServeCatalogue("4096", std::string(), "4096");
    ServePackage(R"({"body_pattern": 4096, "chunk_size": 256, "chunk_delay_ms": 250})");
    ASSERT_TRUE(run.Start());
    const PageInfo download = WalkTo(run, DOWNLOAD);
    Sleep(1000);
    ASSERT_TRUE(ClickControl(download.window, IDCANCEL));
    MessageBoxInfo question;
    ASSERT_TRUE(WaitForMessageBox(MessageBoxFilter{L"", run.ProcessId()}, 10000, question));
    const std::wstring before = ReadPage(download.window).Control(DOWNLOAD_STATUS)->text;
    Sleep(3000);  // the server goes on sending; the page hears nothing of it
    EXPECT_EQ(ReadPage(download.window).Control(DOWNLOAD_STATUS)->text, before);
    ASSERT_TRUE(PressMessageBoxButton(question.window, IDNO));
    PageInfo completed;
    // The package is random bytes: its installation fails at once, and the wizard ends on the
    // completion page (the install page may come and go unseen).
    ASSERT_TRUE(run.WaitForPage(COMPLETED_BUTTON, completed, 60000));
    EXPECT_NE(ReadPage(download.window).Control(DOWNLOAD_STATUS)->text.find(L"100% completed"), std::wstring::npos);
    EXPECT_TRUE(ReadTextFile(run.AppFolder() + L"\\download\\setup_01.exe") == Pattern(4096));
    EXPECT_TRUE(run.Log().WaitFor(L"End  :CHttpDownLoad::DownloadThread", 30000));
    run.Stop();
}

// After the automatic attempts the user is asked; Retry starts another round, Cancel ends the wizard.
TEST_F(WizardTest, RetryIsOfferedOnceTheAutomaticAttemptsAreUsedUp) {
    ServeCatalogue();
    ServePackage(R"({"statuses": [504]})");
    ASSERT_TRUE(run.Start());
    WalkTo(run, DOWNLOAD);
    const wchar_t kRetryQuestion[] =
        L"Failed to communicate with the server. Verify the network connection, and try again.";
    for (int answer : {IDRETRY, IDCANCEL}) {
        MessageBoxInfo box;
        ASSERT_TRUE(run.AnswerBox(answer, box, 60000));
        EXPECT_EQ(box.text, kRetryQuestion);
        EXPECT_TRUE(box.HasButton(IDRETRY) && box.HasButton(IDCANCEL));
    }
    ExpectCancelledRun();
    EXPECT_EQ(run.Log().Count(L"Error:CDownloadDlg::WindowProc:Failed to connect to the server but need retry."), 2u);
    JsonValue records;
    ASSERT_TRUE(server.Requests(records, "/wiz/Manager/"));
    EXPECT_EQ(records.Size(), 3u);  // the first attempt, one automatic, one after Retry
}

// Print on the license page, with the test set-up's print queue as the default printer. Wine's rich
// edit renders nothing, so the document is aborted at once (never a loop of blank pages); without a
// default printer nothing starts. Either way the page stays as it was.
TEST_F(WizardTest, PrintingTheLicenseLeavesThePageUsable) {
    ASSERT_NE(DefaultPrinterDevice(), L",,,") << "no default printer (tools/with-print-queue.sh)";
    ServeCatalogue();
    ASSERT_TRUE(registry.InstallProduct(L"Veltrona Manager", L"2.0.0.0", L"C:\\Program Files\\Veltrona\\Manager"));
    ASSERT_TRUE(run.Start());
    PageInfo license = LoadedLicensePage();

    ASSERT_TRUE(ClickControl(license.window, LICENSE_PRINT));
    ASSERT_TRUE(run.Log().WaitFor(L"End:CLicenseDlg::DoPrint", 30000));
    EXPECT_TRUE(ContainsInOrder(run.Log().Messages(),
                                {L"Start:CLicenseDlg::DoPrint", L"Start:CLicenseDlg::PrintRTF",
                                 L"Error:CLicenseDlg::PrintRTF:Failed to print:cpMin <= fr.chrg.cpMin.",
                                 L"Error:CLicenseDlg::PrintRTF:Print is failed(AbortDoc).", L"End:CLicenseDlg::DoPrint"}));
    {
        NoDefaultPrinter none;
        ASSERT_TRUE(ClickControl(license.window, LICENSE_PRINT));
        EXPECT_TRUE(run.Log().WaitFor(L"Error:CLicenseDlg::DoPrint:Failed to create the printer environment.", 30000));
    }
    EXPECT_TRUE(run.Boxes().empty());
    ASSERT_TRUE(ClickControl(license.window, LICENSE_ACCEPT));
    EXPECT_TRUE(WaitForControlEnabled(license.window, LICENSE_NEXT, true, 5000));
    AnswerCancel(license.window, IDCANCEL, IDYES);
    ExpectCancelledRun();
}

}  // namespace
}  // namespace vttest
