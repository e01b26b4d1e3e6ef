// The install thread against a page that records what it is sent: command lines of every row of
// the table (through the stand-in setup and the real msiexec), response files pointed at the
// destination, failures marked without stopping the rest.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "app/VTInst.h"
#include "catalogue/SoftMulti.h"
#include "download/HttpDownload.h"
#include "download/PackageCommand.h"
#include "framework/Thread.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/PageDriver.h"
#include "tests/support/RegistryFixture.h"
#include "tests/support/ScopedTempFolder.h"
#include "tests/support/StandInSetup.h"
#include "tests/support/TestThread.h"
#include "ui/InstallDlg.h"
#include "ui/WizardMessages.h"

namespace vttest {
namespace {

const char kProductCode[] = "6A5D2C10-0F3E-4B8A-9C21-7D4E5F60A1B2";

// "PROGRESS n", "FAILED o i" (with " iss" while the response-file flag is up), "FINISH".
class RecordingInstallPage : public CInstallDlg {
public:
    std::vector<std::string> messages;

protected:
    void StartInstallThread() override {}
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override {
        switch (message) {
            case WM_USER_INSTALL_PROGRESS: messages.push_back("PROGRESS " + std::to_string(lParam)); break;
            case WM_USER_INSTALL_FAILED:
                messages.push_back("FAILED " + std::to_string(wParam) + " " + std::to_string(lParam) +
                                   (m_bIssWriteFailed ? " iss" : ""));
                break;
            case WM_USER_INSTALL_FINISH: messages.push_back("FINISH"); break;
            default: return CInstallDlg::OnMessage(message, wParam, lParam, handled);
        }
        handled = true;  // no boxes and no next page: the test reads the sequence
        return TRUE;
    }
};

using Sequence = std::vector<std::string>;

bool EndsWith(const std::wstring& text, const std::wstring& end) {
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

class InstallThreadTest : public ::testing::Test {
protected:
    ScopedTempFolder temp{true};
    std::wstring destination;
    CUpdateInfoList list;
    RecordingInstallPage page;
    // What the thread may change in the application object, put back afterwards.
    std::wstring savedFolder = theApp.m_installFolder, savedRegistUrl = theApp.m_strRegistUrl,
                 savedGuide = theApp.m_strGuidePath, savedRegion = theApp.m_updateCommonInfo.SetupType;
    BOOL savedLaunchTools = theApp.m_bLaunchTools;
    int savedFromDvd = theApp.m_nFromDVD;

    void SetUp() override {
        destination = temp.File(L"Program Files");
        CreateDirectoryW(destination.c_str(), nullptr);
        theApp.m_installFolder = destination;
        theApp.m_updateCommonInfo.SetupType = L"WW";
        theApp.m_strRegistUrl = L"unchanged";
        RegisterPageWindowClass();
    }
    void TearDown() override {
        theApp.m_installReady = 0;
        theApp.m_installFolder = savedFolder;
        theApp.m_strRegistUrl = savedRegistUrl;
        theApp.m_strGuidePath = savedGuide;
        theApp.m_updateCommonInfo.SetupType = savedRegion;
        theApp.m_bLaunchTools = savedLaunchTools;
        theApp.m_nFromDVD = savedFromDvd;
    }

    // A setup program with its response file in the temporary folder.
    CUpdateInfo Setup(const std::wstring& id, const std::wstring& name, const StandInSetupSettings& settings,
                      bool unicodeResponse) {
        CUpdateInfo record;
        record.m_id = id;
        record.m_title = id;
        record.m_packageFile = temp.File(name + L".exe");
        record.m_issFile = temp.File(name + L".iss");
        record.m_logFile = temp.File(name + L".exe.log");
        EXPECT_TRUE(InstallStandInSetup(record.m_packageFile, settings));
        if (unicodeResponse)
            WriteUtf16File(record.m_issFile, L"[InstallShield Silent]\r\nszDir=C:\\Old Folder\r\n");
        else
            WriteTextFile(record.m_issFile, AnsiResponseFile(kProductCode, "C:\\Old Folder"));
        return record;
    }

    std::vector<StandInSetupRun> Runs(const CUpdateInfo& record) {
        return StandInSetupRuns(record.m_packageFile + L".ini");
    }

    // Runs the thread while this thread serves the page; the page's install list afterwards.
    CUpdateInfoList& RunThread() {
        page.SetInstallList(&list);
        EXPECT_TRUE(page.Create(nullptr));
        std::unique_ptr<fw::CWinThread> thread = fw::BeginThread(CHttpDownLoad::InstallThread, &page);
        EXPECT_NE(thread, nullptr);
        EXPECT_EQ(PumpMessagesUntilEnded(thread->Handle(), 120000), 1u);
        return *page.GetInstallList();
    }
};

TEST(PackageCommandTest, EveryRowOfTheTableQuotesItsPaths) {
    CUpdateInfo package;
    package.m_logFile = L"C:\\Down Load\\p.log";
    package.m_issFile = L"C:\\Down Load\\setup.iss";
    const std::wstring msiexec = MsiexecPath();
    const struct {
        const wchar_t* id;
        const wchar_t* file;
        bool newInstall;
        std::wstring application;
        std::wstring arguments;
    } rows[] = {
        {L"Veltrona Manual", L"C:\\Down Load\\m.msi", false, msiexec,
         L" /i \"C:\\Down Load\\m.msi\" /l*v \"C:\\Down Load\\p.log\" /norestart /qn /passive"},
        {L"Veltrona Manual", L"C:\\Down Load\\m.MSI", true, msiexec,
         L" /i \"C:\\Down Load\\m.MSI\" /l*v \"C:\\Down Load\\p.log\" /norestart /qn /passive "
         L"INSTALLDIR=\"C:\\Program Files\\Veltrona\\Manual\""},
        {L"Veltrona Manager", L"C:\\Down Load\\fix.msp", false, msiexec,
         L" /p \"C:\\Down Load\\fix.msp\" /l*v \"C:\\Down Load\\p.log\" /norestart /qn /passive REINSTALL=ALL "
         L"REINSTALLMODE=omus"},
        {L"Veltrona Manager", L"C:\\Down Load\\fix.msp", true, L"", L""},
        {L"Veltrona Online Update", L"C:\\Down Load\\setup.exe", false, L"C:\\Down Load\\setup.exe",
         L" /s /f1\"C:\\Down Load\\setup.iss\" /f2\"C:\\Down Load\\p.log\" /z\"/passive /integration\""},
        {L"Veltrona Manager", L"C:\\Down Load\\setup.zip", false, L"C:\\Down Load\\setup.zip",
         L" /s /f1\"C:\\Down Load\\setup.iss\" /f2\"C:\\Down Load\\p.log\" /z\"/passive\""},
        {L"Veltrona Manager", L"C:\\Down Load\\setup.exe", true, L"C:\\Down Load\\setup.exe",
         L" /s /f1\"C:\\Down Load\\setup.iss\" /f2\"C:\\Down Load\\p.log\" /z\"/passive\""},
        {L"Veltrona Manager", L"C:\\Down Load\\setup.zip", true, L"", L""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(Narrow(row.file) + (row.newInstall ? " new" : " installed"));
        package.m_id = row.id;
        package.m_packageFile = row.file;
        const PackageCommand command =
            BuildPackageCommand(package, row.newInstall, L"C:\\Program Files\\Veltrona\\Manual");
        EXPECT_EQ(command.application, row.application);
        EXPECT_EQ(command.arguments, row.arguments);
    }
    // msiexec from the system folder: a bare name would be looked for in the current folder only.
    wchar_t system[MAX_PATH] = {};
    GetSystemDirectoryW(system, MAX_PATH);
    EXPECT_EQ(msiexec, std::wstring(system) + L"\\msiexec.exe");
}

TEST_F(InstallThreadTest, AnEmptyListOnlyFinishes) {
    RunThread();
    EXPECT_EQ(page.messages, Sequence{"FINISH"});
}

TEST_F(InstallThreadTest, ABundlesFailedPackageIsMarkedAndTheNextIsStillInstalled) {
    CSoftMultiList packages(3);
    const CUpdateInfo first = Setup(L"Veltrona OCR LangPack2", L"pack2", {}, false);
    const CUpdateInfo second = Setup(L"Veltrona Home OCR LangPack2", L"home2", {{L"ExitCode", L"1603"}}, true);
    const CUpdateInfo third = Setup(L"Veltrona Home OCR LangPack3", L"home3", {{L"ExitCode", L"3010"}}, true);
    const CUpdateInfo* sources[] = {&first, &second, &third};
    for (size_t k = 0; k < 3; ++k) {
        packages[k].m_id = sources[k]->m_id;
        packages[k].m_packageFile = sources[k]->m_packageFile;
        packages[k].m_issFile = sources[k]->m_issFile;
        packages[k].m_logFile = sources[k]->m_logFile;
    }
    CUpdateInfo bundle = first;
    bundle.m_title = L"OCR language packs";
    bundle.m_packageCount = 3;
    bundle.m_subPackages = &packages;
    list.push_back(bundle);

    const CUpdateInfoList& installed = RunThread();
    EXPECT_EQ(page.messages, (Sequence{"PROGRESS 1", "PROGRESS 2", "FAILED 1 0", "PROGRESS 3", "FINISH"}));
    EXPECT_EQ(packages[0].m_installOk, 1);
    EXPECT_EQ(packages[1].m_installOk, 0);
    EXPECT_EQ(packages[2].m_installOk, 1);  // 3010: a restart is required, the install succeeded
    ASSERT_EQ(installed.size(), 1u);
    EXPECT_EQ(installed[0].m_installOk, 0);
    // Each response file was pointed at the chosen folder before its setup ran, ANSI and UTF-16 alike.
    for (const CUpdateInfo* source : sources) {
        const std::vector<StandInSetupRun> runs = Runs(*source);
        ASSERT_EQ(runs.size(), 1u) << Narrow(source->m_id);
        EXPECT_EQ(runs[0].destination, destination);
        EXPECT_NE(runs[0].commandLine.find(L" /z\"/passive\""), std::wstring::npos);
    }
    EXPECT_EQ(ReadUtf16File(third.m_issFile), L"[InstallShield Silent]\r\nszDir=" + destination + L"\r\n");
}

TEST_F(InstallThreadTest, UnusableResponseFilesAndUninstallableTypesFailWithoutStartingAnything) {
    // An installed Manager updated by its setup program, then two new installs that cannot run:
    // an ANSI response file without a product code and a package type with no installer.
    CUpdateInfo update = Setup(L"Veltrona Manager", L"manager", {}, false);
    update.m_installedPath = L"C:\\Program Files\\Veltrona\\Manager";
    CUpdateInfo noProductCode = Setup(L"Veltrona Manual02", L"manual", {}, false);
    WriteTextFile(noProductCode.m_issFile, AnsiResponseFile("", "C:\\Old Folder"));
    CUpdateInfo archive = Setup(L"Veltrona Manual03", L"guide", {}, false);
    archive.m_packageFile = temp.File(L"guide.zip");
    list = {update, noProductCode, archive};

    const CUpdateInfoList& installed = RunThread();
    EXPECT_EQ(page.messages,
              (Sequence{"PROGRESS 1", "PROGRESS 2", "FAILED 0 1 iss", "PROGRESS 3", "FAILED 0 2", "FINISH"}));
    // The setup's command line: its own path (as the system gives it), then exactly the arguments.
    ASSERT_EQ(Runs(update).size(), 1u);
    EXPECT_TRUE(EndsWith(Runs(update)[0].commandLine, L" /s /f1\"" + update.m_issFile + L"\" /f2\"" +
                                                          update.m_logFile + L"\" /z\"/passive\""));
    EXPECT_TRUE(Runs(noProductCode).empty());
    EXPECT_EQ(installed[0].m_installOk, 1);
    EXPECT_EQ(installed[1].m_installOk, 0);
    EXPECT_EQ(installed[2].m_installOk, 0);
    // The Manager's success: the tools are due; region "WW" registers nowhere.
    EXPECT_TRUE(theApp.m_bLaunchTools);
    EXPECT_EQ(theApp.m_nFromDVD, 1);
    EXPECT_EQ(theApp.m_strRegistUrl, L"unchanged");
}

TEST_F(InstallThreadTest, TheRealMsiexecInstallsANewPackageIntoTheChosenFolderAndRefusesANonPatch) {
    RegistryFixture registry;
    const std::wstring productKey = L"SOFTWARE\\ZEL\\Veltrona Software\\Veltrona Manual";
    ASSERT_TRUE(registry.HideKey(productKey));
    CUpdateInfo manual;
    manual.m_id = L"Veltrona Manual";
    manual.m_title = L"Veltrona Manual";
    manual.m_packageFile = BuildFolder() + L"\\packages\\VeltronaManual.msi";
    manual.m_logFile = temp.File(L"VeltronaManual.msi.log");
    manual.m_addPath = L"\\Veltrona\\Manual";
    CUpdateInfo patch;
    patch.m_id = L"Veltrona Manager";
    patch.m_title = L"Veltrona Manager";
    patch.m_installedPath = L"C:\\Program Files\\Veltrona\\Manager";
    patch.m_packageFile = temp.File(L"fix.msp");
    patch.m_logFile = temp.File(L"fix.msp.log");
    WriteTextFile(patch.m_packageFile, "not a patch");
    list = {manual, patch};

    RunThread();
    EXPECT_EQ(page.messages, (Sequence{"PROGRESS 1", "PROGRESS 2", "FAILED 0 1", "FINISH"}));
    const std::wstring folder = destination + L"\\Veltrona\\Manual";
    EXPECT_NE(GetFileAttributesW((folder + L"\\BasicGuide.txt").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetREGSZDataInfo(productKey, L"Version"), L"1.2.0.0");
    EXPECT_EQ(GetREGSZDataInfo(productKey, L"Path"), folder + L"\\");
    // A manual records where its setup put the basic guide's shortcut.
    EXPECT_NE(theApp.m_strGuidePath.find(L"\\Veltrona Manuals\\Basic Operation Guide.url\""), std::wstring::npos);

    // Leave the prefix as found: the package out again, from the same folder.
    ChildProcess uninstall;
    ASSERT_TRUE(uninstall.Start(MsiexecPath(), L"/x \"" + manual.m_packageFile + L"\" /qn INSTALLDIR=\"" + folder + L"\"",
                                temp.Path(), {}));
    DWORD code = 1;
    EXPECT_TRUE(uninstall.Wait(120000, &code));
    EXPECT_EQ(code, 0u);
}

}  // namespace
}  // namespace vttest
