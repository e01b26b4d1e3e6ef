// Faults a user meets on the way through the wizard, one row each, against the real program: the
// boxes and pages the user sees, and what the run leaves on disk. The package is the stand-in
// setup program, so a transfer that ends well also installs.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <ostream>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "tests/integration/InstallerRun.h"
#include "tests/integration/WizardWalk.h"
#include "tests/server/TestJson.h"
#include "tests/server/TestServerClient.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/RegistryFixture.h"
#include "tests/support/ScratchDrive.h"
#include "tests/support/StandInSetup.h"

namespace vttest {
namespace {

const wchar_t kConnectFailed[] = L"Failed to connect to the server.";
const wchar_t kDownloadFailed[] = L"Failed to download the file.";
const wchar_t kDiskFull[] = L"Insufficient disk space.";
const wchar_t kRetryQuestion[] =
    L"Failed to communicate with the server. Verify the network connection, and try again.";
const wchar_t kCancelQuestion[] = L"Do you want to cancel the installation?";
const wchar_t kFileAnalysisFailed[] = L"An internal error occurred with Veltrona Installer.\nFile analysis failed.";
const wchar_t kUserCancelled[] = L"CVTInstApp::InitInstance:User Cancelled";
const char kProductCode[] = "2B7C9E31-5A4D-4C1F-8E2B-3D6F7A8B9C01";
const uint64_t kCut = 200000;  // where a cut transfer stops

uint64_t FileSize(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return UINT64_MAX;
    return (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

bool WaitForFileSize(const std::wstring& path, uint64_t atLeast, DWORD timeoutMs) {
    for (const DWORD start = GetTickCount(); GetTickCount() - start < timeoutMs; Sleep(50)) {
        const uint64_t size = FileSize(path);
        if (size != UINT64_MAX && size >= atLeast) return true;
    }
    return false;
}

std::wstring PackageProgram() { return BuildFolder() + L"\\VtStandInSetup.exe"; }

// Fills the drive of `path` to the last byte with the file; returns false when it never filled.
bool FillDrive(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    std::vector<char> block(1 << 16, 'x');
    bool full = false;
    for (DWORD size = 1 << 16; size >= 512 && !full;) {
        DWORD written = 0;
        if (WriteFile(file, block.data(), size, &written, nullptr) && written == size) continue;
        if (size == 512) full = true;
        size /= 2;
    }
    CloseHandle(file);
    return full;
}

// Everything a fault run shares: the site on the test server, the configuration, the run.
class FaultRun {
public:
    explicit FaultRun(CTestServerClient& server) : m_server(server) {
        m_settings = Root() + L"\\standin-setup.ini";
        WriteStandInSetupSettings(m_settings, {});
        m_run.SetEnvironment(L"VTINST_STANDIN_SETUP", m_settings);
        std::string ini = ValidConfiguration(Url("VTInst.xml"));
        const std::string section = "[WebServer]\r\n";
        // Three automatic attempts after the first, soon one after another; the reports at exit go
        // nowhere here and are not tried again.
        ini.insert(ini.find(section) + section.size(),
                   "ResumeRetryCount=3\r\nResumeRetrySleep=100\r\nDownRetryCount=0\r\n");
        ini += "[AddPath]\r\nVeltrona Manager=\\Veltrona\\Manager\r\nVeltrona Online Update=\\Veltrona\\Update\r\n";
        m_run.WriteConfiguration(ini);
    }

    InstallerRun& Run() { return m_run; }
    std::wstring Root() const {
        wchar_t full[MAX_PATH] = {};
        GetFullPathNameW((m_run.AppFolder() + L"\\..").c_str(), MAX_PATH, full, nullptr);
        return full;
    }
    std::wstring Downloaded(const wchar_t* name) const { return m_run.AppFolder() + L"\\download\\" + name; }
    const std::wstring& SetupSettings() const { return m_settings; }
    std::string Url(const std::string& path) const {
        return ToUtf8(m_server.Url(Listener::Http, L"/fault/")) + path;
    }

    // The catalogue offering one package (the stand-in setup) as the product; its size as given.
    std::string Catalogue(const char* product, uint64_t size) const {
        return "<?xml version=\"1.0\" encoding=\"utf-8\"?><catalogue><setupType>JP</setupType><model>VT-S1300</model>"
               "<vtinst>" + Url("vtinst.ini") + "</vtinst><license>" + Url("license.rtf") + "</license>"
               "<item><id>" + product + "</id><title>" + product + "</title><version>2.4.0.1</version>"
               "<gmt_pubDate>2020/1/1 0:0:0</gmt_pubDate><gmt_delDate>2099/1/1 0:0:0</gmt_delDate>"
               "<iss>" + Url("setup.iss") + "</iss><iss_ug>" + Url("setup.iss") + "</iss_ug>"
               "<module size=\"" + std::to_string(size) + "\" installSize=\"4096\">" + Url("setup.exe") +
               "</module></item></catalogue>";
    }

private:
    CTestServerClient& m_server;
    InstallerRun m_run;
    std::wstring m_settings;
};

class FaultRunTest : public ::testing::Test {
protected:
    CTestServerClient server;
    RegistryFixture registry;
    uint64_t packageSize = FileSize(PackageProgram());

    void SetUp() override {
        ASSERT_TRUE(server.Open()) << "test server not running (tools/with-test-server.sh)";
        ASSERT_TRUE(server.Reset("/fault/"));
        ASSERT_NE(packageSize, UINT64_MAX);
        const std::wstring ndp = L"SOFTWARE\\Microsoft\\NET Framework Setup\\NDP\\";
        ASSERT_TRUE(registry.SetDword(ndp + L"v3.5", L"Install", 1) && registry.SetDword(ndp + L"v3.5", L"SP", 1) &&
                    registry.SetDword(ndp + L"v4\\Full", L"Install", 1) &&
                    registry.SetDword(ndp + L"v4\\Full", L"Release", 378389));
        for (const wchar_t* product : {L"Veltrona Manager", L"Veltrona Online Update"})
            ASSERT_TRUE(registry.HideKey(std::wstring(L"SOFTWARE\\ZEL\\Veltrona Software\\") + product));
        ASSERT_TRUE(registry.HideKey(L"SOFTWARE\\ZEL\\Veltrona Online Update"));
        Serve("vtinst.ini", R"({"body_text": "[Common]\r\n"})");
        Serve("license.rtf", R"({"body_text": "{\\rtf1 License.\\par}"})");
        Serve("setup.iss", "{\"body_text\": " + JsonQuote(AnsiResponseFile(kProductCode, "C:\\Old Destination")) + "}");
    }

    void Serve(const std::string& path, const std::string& behaviour) {
        ASSERT_TRUE(server.SetBehaviour("/fault/" + path, behaviour)) << path << " " << behaviour;
    }
    // The package: the stand-in setup's bytes, with more of the behaviour given as JSON members.
    void ServePackage(const std::string& members) {
        std::string behaviour = "{\"body_file\": " + JsonQuote(HostPathFromWine(PackageProgram()));
        if (!members.empty()) behaviour += ", " + members;
        Serve("setup.exe", behaviour + "}");
    }
    void ServeCatalogue(const FaultRun& fault, const char* product, uint64_t size) {
        Serve("VTInst.xml", "{\"body_text\": " + JsonQuote(fault.Catalogue(product, size)) + "}");
    }

    // The package requests the server received, in order.
    std::vector<std::string> PackageRanges() {
        std::vector<std::string> ranges;
        JsonValue records;
        EXPECT_TRUE(server.Requests(records, "/fault/setup.exe"));
        for (size_t i = 0; i < records.Size(); ++i) {
            const std::string* range = FindRecordHeader(records[i], "Range");
            ranges.push_back(range ? *range : std::string("-"));
        }
        return ranges;
    }
};

// A file another program holds open, let go on every way out of the test.
struct HeldFile {
    HANDLE handle = INVALID_HANDLE_VALUE;
    ~HeldFile() { Release(); }
    void Release() {
        if (handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
        handle = INVALID_HANDLE_VALUE;
    }
};

// A row that fails shows the end of the program's log and the boxes it showed, to say why.
class ExplainFailure {
public:
    explicit ExplainFailure(const InstallerRun& run) : m_run(run) {}
    ~ExplainFailure() {
        if (!::testing::Test::HasFailure()) return;
        const std::vector<std::wstring> lines = m_run.Log().Messages();
        std::string tail;
        for (size_t i = lines.size() > 40 ? lines.size() - 40 : 0; i < lines.size(); ++i) tail += Narrow(lines[i]) + "\n";
        for (const MessageBoxInfo& box : m_run.Boxes()) tail += "box: " + Narrow(box.text) + "\n";
        ADD_FAILURE() << "the run's log ends:\n" << tail;
    }

private:
    const InstallerRun& m_run;
};

// Each row is reported under its own name.
template <class Row>
std::string RowName(const ::testing::TestParamInfo<Row>& info) {
    return info.param.name;
}

std::vector<std::wstring> Texts(const std::vector<MessageBoxInfo>& boxes) {
    std::vector<std::wstring> texts;
    for (const MessageBoxInfo& box : boxes) texts.push_back(box.text);
    return texts;
}

// ---------------------------------------------------------------------------------------------
// The package's transfer: the server misbehaves, or the machine gets in the way.

enum class Interference {
    None,
    WatchProgress,       // the user watches the status line while it runs
    HoldPackageFile,     // another program holds the file the package is to be written to
    FillDrive,           // the drive fills up while the package arrives
    HoldResponseFile,    // another program holds the response file when it is to be rewritten
};
enum class Ending { Installed, InstallFailed, WizardClosed };

struct Box {
    const wchar_t* text;  // null: checked by the row's own expectation
    int answer;
};

struct TransferFault {
    const char* name;
    const char* product;
    std::string package;       // the package's behaviour, beside its body
    int64_t catalogueExtra;    // bytes the catalogue claims beyond the package's real size
    Interference interference;
    std::vector<Box> boxes;    // what the user sees, in order, and what they press
    Ending ending;
    // The package file left in the download folder, from the package's real size: its length, or
    // kNoFile, or kPartOfIt.
    std::function<int64_t(int64_t size)> left;
    std::vector<std::string> ranges;  // the Range header of each package request ("-": none)
};

void PrintTo(const TransferFault& row, std::ostream* out) { *out << row.name; }

const int64_t kNoFile = -1;
const int64_t kPartOfIt = -2;  // more than nothing, less than the whole
const auto kWhole = [](int64_t size) { return size; };

std::vector<TransferFault> TransferFaults() {
    return {
        // Nothing came before the package's file was named: each attempt starts afresh.
        {"GatewayTimeoutsThenTheFile", "Veltrona Manager", R"("statuses": [504, 504, 504, 200])", 0,
         Interference::None, {}, Ending::Installed, kWhole, {"-", "-", "-", "-"}},
        {"GatewayTimeoutsUntilTheUserCancels", "Veltrona Manager", R"("statuses": [504])", 0, Interference::None,
         {{kRetryQuestion, IDRETRY}, {kRetryQuestion, IDCANCEL}}, Ending::WizardClosed,
         [](int64_t) { return kNoFile; }, {"-", "-", "-", "-", "-", "-", "-"}},
        {"CutMidBodyAndResumed", "Veltrona Manager", R"("close_after": [200000, null])", 0, Interference::None, {},
         Ending::Installed, kWhole, {"-", "bytes=200000-"}},
        {"RangeAnsweredWithTheWholeFile", "Veltrona Manager", R"("close_after": [200000, null], "ranges": "ignore")", 0,
         Interference::None, {{kDownloadFailed, IDOK}}, Ending::WizardClosed,
         [](int64_t size) { return static_cast<int64_t>(kCut) + size; }, {"-", "bytes=200000-"}},
        {"RangeRefusedWith416", "Veltrona Manager", R"("close_after": [200000, null], "statuses": [200, 416])", 0,
         Interference::None, {{kConnectFailed, IDOK}}, Ending::WizardClosed,
         [](int64_t) { return static_cast<int64_t>(kCut); }, {"-", "bytes=200000-"}},
        {"ShorterThanTheCatalogueSays", "Veltrona Manager", "", 1000, Interference::None, {{kDownloadFailed, IDOK}},
         Ending::WizardClosed, kWhole, {"-"}},
        {"SlowServer", "Veltrona Manager", R"("chunk_size": 16384, "chunk_delay_ms": 150)", 0,
         Interference::WatchProgress, {}, Ending::Installed, kWhole, {"-"}},
        {"DriveFillsDuringThePackage", "Veltrona Manager", R"("chunk_size": 32768, "chunk_delay_ms": 250)", 0,
         Interference::FillDrive, {{kDiskFull, IDOK}}, Ending::WizardClosed,
         [](int64_t) { return kPartOfIt; }, {"-"}},
        {"PackageFileHeldByAnotherProgram", "Veltrona Manager", "", 0, Interference::HoldPackageFile,
         {{kDownloadFailed, IDOK}}, Ending::WizardClosed, [](int64_t) { return int64_t{5}; },  // the holder's bytes
         {"-"}},
        {"ResponseFileHeldDuringItsRewrite", "Veltrona Online Update", R"("chunk_size": 65536, "chunk_delay_ms": 200)",
         0, Interference::HoldResponseFile, {{nullptr, IDOK}}, Ending::InstallFailed, kWhole, {"-"}},
    };
}

class TransferFaultTest : public FaultRunTest, public ::testing::WithParamInterface<TransferFault> {};

TEST_P(TransferFaultTest, TheUserIsToldAndNothingIsLost) {
    const TransferFault& fault = GetParam();
    FaultRun faultRun(server);
    InstallerRun& run = faultRun.Run();
    ExplainFailure explain(run);
    ServeCatalogue(faultRun, fault.product, packageSize + fault.catalogueExtra);
    ServePackage(fault.package);
    const bool unicodeResponse = std::string(fault.product) == "Veltrona Online Update";
    if (unicodeResponse) {
        const std::wstring served = faultRun.Root() + L"\\served-setup.iss";
        WriteUtf16File(served, L"[InstallShield Silent]\r\nszDir=C:\\Old Destination\r\n");
        Serve("setup.iss", "{\"body_file\": " + JsonQuote(HostPathFromWine(served)) + "}");
    }

    // The small drive, with the program on it, for the row that fills it.
    ScratchDrive drive;
    std::wstring downloadFolder = run.AppFolder() + L"\\download";
    if (fault.interference == Interference::FillDrive) {
        wchar_t small[MAX_PATH] = {};
        if (!GetEnvironmentVariableW(L"VTINST_SMALL_DISK", small, MAX_PATH))
            GTEST_SKIP() << "no small drive here (tools/with-small-disk.sh could not mount one)";
        ASSERT_TRUE(drive.Map(small));
        const std::wstring app = drive.Root() + L"app";
        RemoveTree(app);
        DeleteFileW((drive.Root() + L"filler.bin").c_str());
        ASSERT_TRUE(CreateDirectoryW(app.c_str(), nullptr));
        for (const wchar_t* name : {L"VTInst.exe", L"VtSvcOCRHandle_i.dll", L"VeltronaInstaller.ini"})
            ASSERT_TRUE(CopyInto(run.AppFolder() + L"\\" + name, app + L"\\" + name));
        run.RunFrom(app);
        downloadFolder = app + L"\\download";
    }
    const std::wstring packageFile = downloadFolder + L"\\setup_01.exe";
    const std::wstring responseFile = downloadFolder + L"\\setup_01.iss";

    ASSERT_TRUE(run.Start());
    const PageInfo review = WalkTo(run, REVIEW);
    ASSERT_TRUE(review.window) << Narrow(run.Boxes().empty() ? L"no box" : run.Boxes().back().text);
    HeldFile held;
    if (fault.interference == Interference::HoldPackageFile) {
        held.handle = CreateFileW(packageFile.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                  nullptr);
        ASSERT_NE(held.handle, INVALID_HANDLE_VALUE) << GetLastError();
        DWORD written = 0;
        WriteFile(held.handle, "mine!", 5, &written, nullptr);
    }
    ASSERT_TRUE(ClickControl(review.window, REVIEW_NEXT));

    std::set<std::wstring> statusLines;
    if (fault.interference == Interference::WatchProgress) {
        PageInfo download;
        ASSERT_TRUE(run.WaitForPage(DOWNLOAD_LIST, download));
        for (const DWORD start = GetTickCount();
             (FileSize(packageFile) == UINT64_MAX || FileSize(packageFile) < packageSize) && GetTickCount() - start < 120000;
             Sleep(100)) {
            statusLines.insert(ReadPage(download.window).Control(DOWNLOAD_STATUS)->text);
        }
    } else if (fault.interference == Interference::FillDrive) {
        ASSERT_TRUE(WaitForFileSize(packageFile, 65536, 30000));
        ASSERT_TRUE(FillDrive(drive.Root() + L"filler.bin"));
    } else if (fault.interference == Interference::HoldResponseFile) {
        // Readable, but neither deletable nor writable while it is held: taken as the response
        // file arrives, let go once the user has been told.
        ASSERT_TRUE(WaitForFileSize(responseFile, 1, 30000));
        for (const DWORD start = GetTickCount(); held.handle == INVALID_HANDLE_VALUE && GetTickCount() - start < 10000;) {
            held.handle =
                CreateFileW(responseFile.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        }
        ASSERT_NE(held.handle, INVALID_HANDLE_VALUE);
    }

    for (const Box& expected : fault.boxes) {
        MessageBoxInfo box;
        ASSERT_TRUE(run.AnswerBox(expected.answer, box, 120000)) << "no box";
        if (expected.text) {
            EXPECT_EQ(box.text, expected.text);
        }
    }
    held.Release();

    const std::vector<std::wstring> seen = Texts(run.Boxes());
    if (fault.ending == Ending::WizardClosed) {
        ASSERT_TRUE(run.Finish(IDOK, 60000));
        EXPECT_TRUE(run.Log().Contains(kUserCancelled));
        EXPECT_TRUE(StandInSetupRuns(faultRun.SetupSettings()).empty());
    } else {
        PageInfo completed;
        ASSERT_TRUE(run.WaitForPage(COMPLETED_BUTTON, completed, 120000));
        ASSERT_TRUE(ClickControl(completed.window, COMPLETED_BUTTON));
        ASSERT_TRUE(run.Finish(IDOK, 60000));
        const std::vector<StandInSetupRun> setups = StandInSetupRuns(faultRun.SetupSettings());
        if (fault.ending == Ending::Installed) {
            ASSERT_EQ(setups.size(), 1u);
            EXPECT_EQ(GetFileAttributesW((setups[0].destination + L"\\standin-setup.txt").c_str()) !=
                          INVALID_FILE_ATTRIBUTES,
                      true);
            RemoveTree(setups[0].destination);
        } else {
            EXPECT_TRUE(setups.empty());
        }
    }
    // Nothing but what the row expects was shown.
    ASSERT_EQ(seen.size(), fault.boxes.size()) << Narrow(seen.empty() ? L"" : seen.back());

    // What the run left on disk.
    const int64_t left = fault.left(static_cast<int64_t>(packageSize));
    const uint64_t onDisk = FileSize(packageFile);
    if (left == kPartOfIt) {
        EXPECT_GT(onDisk, 0u);
        EXPECT_LT(onDisk, packageSize);
    } else {
        EXPECT_EQ(onDisk, static_cast<uint64_t>(left));
    }
    const std::string bytes = ReadTextFile(packageFile);
    if (left == static_cast<int64_t>(packageSize)) {
        EXPECT_TRUE(bytes == ReadTextFile(PackageProgram()));
    }
    if (fault.interference == Interference::HoldPackageFile) {
        EXPECT_EQ(bytes, "mine!");
    }
    if (fault.interference == Interference::WatchProgress) {
        // The status line moved on while the package came in, not only at its start and end.
        EXPECT_GE(statusLines.size(), 3u);
    }
    if (fault.interference == Interference::HoldResponseFile) {
        ASSERT_EQ(seen.size(), 1u);
        EXPECT_EQ(seen[0].rfind(L"Failed to install Veltrona Online Update.", 0), 0u) << Narrow(seen[0]);
        EXPECT_NE(seen[0].find(responseFile), std::wstring::npos) << Narrow(seen[0]);
        // The rewritten text waits in the copy; the held file is as it came.
        EXPECT_NE(ReadUtf16File(responseFile + L".tmp").find(L"szDir="), std::wstring::npos);
        EXPECT_NE(ReadUtf16File(responseFile).find(L"szDir=C:\\Old Destination"), std::wstring::npos);
    }
    EXPECT_EQ(PackageRanges(), fault.ranges);
    if (fault.interference == Interference::FillDrive) {
        DeleteFileW((drive.Root() + L"filler.bin").c_str());
        RemoveTree(drive.Root() + L"app");
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, TransferFaultTest, ::testing::ValuesIn(TransferFaults()),
                         RowName<TransferFault>);

// ---------------------------------------------------------------------------------------------
// Cancel, confirmed, on every page that offers it: the run ends, nothing is saved or installed.

struct CancelRow {
    const char* name;
    WizardStage stage;
    int button;
};

void PrintTo(const CancelRow& row, std::ostream* out) { *out << row.name; }

class CancelOnEveryPageTest : public FaultRunTest, public ::testing::WithParamInterface<CancelRow> {};

TEST_P(CancelOnEveryPageTest, EndsTheRunWithNothingSavedOrInstalled) {
    const CancelRow& row = GetParam();
    FaultRun faultRun(server);
    InstallerRun& run = faultRun.Run();
    ExplainFailure explain(run);
    ServeCatalogue(faultRun, "Veltrona Manager", packageSize);
    ServePackage(R"("chunk_size": 16384, "chunk_delay_ms": 500)");  // still arriving when cancelled
    ASSERT_TRUE(run.Start());
    const PageInfo page = WalkTo(run, row.stage);
    ASSERT_TRUE(page.window);
    if (row.stage == DOWNLOAD) {
        ASSERT_TRUE(WaitForFileSize(run.AppFolder() + L"\\download\\setup_01.exe", 16384, 30000));
    }
    ASSERT_TRUE(ClickControl(page.window, row.button));
    MessageBoxInfo box;
    ASSERT_TRUE(run.AnswerBox(IDYES, box));
    EXPECT_EQ(box.text, kCancelQuestion);
    ASSERT_TRUE(run.Finish());
    EXPECT_EQ(Texts(run.Boxes()), std::vector<std::wstring>{kCancelQuestion});
    EXPECT_TRUE(run.Log().Contains(kUserCancelled));
    EXPECT_FALSE(run.Log().Contains(L"Start:CVTInstApp::SaveVTInst"));
    EXPECT_EQ(GetFileAttributesW((run.AppFolder() + L"\\vtinst.ini").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(StandInSetupRuns(faultRun.SetupSettings()).empty());
    const uint64_t package = FileSize(run.AppFolder() + L"\\download\\setup_01.exe");
    if (row.stage == DOWNLOAD) {
        // The transfer stopped where the question found it: the part stays, never a whole file.
        EXPECT_LT(package, packageSize);
    } else {
        EXPECT_EQ(package, UINT64_MAX);
    }
}

INSTANTIATE_TEST_SUITE_P(Pages, CancelOnEveryPageTest,
                         ::testing::Values(CancelRow{"Folder", FOLDER, FOLDER_CANCEL},
                                           CancelRow{"License", LICENSE, IDCANCEL},
                                           CancelRow{"Review", REVIEW, REVIEW_CANCEL},
                                           CancelRow{"Download", DOWNLOAD, IDCANCEL}),
                         RowName<CancelRow>);

// ---------------------------------------------------------------------------------------------
// Catalogues the program cannot use, and one that is merely very large.

enum class CatalogueShape { Truncated, WithDtd, RandomBytes, FiftyMegabytes };

struct CatalogueRow {
    const char* name;
    CatalogueShape shape;
};

void PrintTo(const CatalogueRow& row, std::ostream* out) { *out << row.name; }

class CatalogueFaultTest : public FaultRunTest, public ::testing::WithParamInterface<CatalogueRow> {};

TEST_P(CatalogueFaultTest, IsRefusedWithABoxOrReadWhole) {
    const CatalogueRow& row = GetParam();
    FaultRun faultRun(server);
    InstallerRun& run = faultRun.Run();
    ExplainFailure explain(run);
    const std::string valid = faultRun.Catalogue("Veltrona Manager", packageSize);
    const std::wstring body = faultRun.Root() + L"\\served-catalogue.xml";
    switch (row.shape) {
        case CatalogueShape::Truncated:
            WriteTextFile(body, valid.substr(0, valid.find("</item>")));
            break;
        case CatalogueShape::WithDtd: {
            std::string withDtd = valid;
            withDtd.insert(withDtd.find("<catalogue>"), "<!DOCTYPE catalogue [<!ENTITY a \"aaaaaaaaaa\">]>");
            WriteTextFile(body, withDtd);
            break;
        }
        case CatalogueShape::RandomBytes: {
            std::mt19937 random(20261211);
            std::string bytes(4096, '\0');
            for (char& c : bytes) c = static_cast<char>(random() & 0xFF);
            WriteTextFile(body, bytes);
            break;
        }
        case CatalogueShape::FiftyMegabytes: {
            // Fifty elements of a megabyte of text each before the package.
            std::string text(1 << 20, 'v');
            std::string padding;
            for (int i = 0; i < 50; ++i) padding += "<notes>" + text + "</notes>";
            std::string large = valid;
            large.insert(large.find("<item>"), padding);
            WriteTextFile(body, large);
            break;
        }
    }
    Serve("VTInst.xml", "{\"body_file\": " + JsonQuote(HostPathFromWine(body)) + "}");
    ASSERT_TRUE(run.Start());

    if (row.shape == CatalogueShape::FiftyMegabytes) {
        // Read whole: the wizard offers the package.
        PageInfo folder;
        ASSERT_TRUE(run.WaitForPage(FOLDER_PATH, folder, 120000));
        EXPECT_TRUE(run.Boxes().empty());
        ASSERT_TRUE(ClickControl(folder.window, FOLDER_CANCEL));
        MessageBoxInfo box;
        ASSERT_TRUE(run.AnswerBox(IDYES, box));
        ASSERT_TRUE(run.Finish());
        return;
    }
    ASSERT_TRUE(run.Finish(IDOK, 60000));
    EXPECT_EQ(Texts(run.Boxes()), std::vector<std::wstring>{kFileAnalysisFailed});
    EXPECT_TRUE(run.Log().Contains(L"Error:CVTInstApp::CheckInstallSoft: Xml file prase is failed."));
    // Nothing was taken from it: no package was fetched, no state saved.
    EXPECT_TRUE(PackageRanges().empty());
    EXPECT_EQ(GetFileAttributesW((run.AppFolder() + L"\\vtinst.ini").c_str()), INVALID_FILE_ATTRIBUTES);
}

INSTANTIATE_TEST_SUITE_P(Shapes, CatalogueFaultTest,
                         ::testing::Values(CatalogueRow{"Truncated", CatalogueShape::Truncated},
                                           CatalogueRow{"WithADtd", CatalogueShape::WithDtd},
                                           CatalogueRow{"RandomBytes", CatalogueShape::RandomBytes},
                                           CatalogueRow{"FiftyMegabytes", CatalogueShape::FiftyMegabytes}),
                         RowName<CatalogueRow>);

}  // namespace
}  // namespace vttest
