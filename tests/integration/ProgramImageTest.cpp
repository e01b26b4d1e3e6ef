// What the built 32-bit VTInst.exe carries: the exported log function, its version description,
// icon and manifest, and an image that Windows XP SP3 loads. Read from the file, so 64-bit test
// programs check the 32-bit product too.
#include <gtest/gtest.h>
#include <windows.h>

#include <set>
#include <string>
#include <vector>

#include "tests/support/PeImage.h"

namespace {

std::wstring ProgramPath() {
    wchar_t folder[MAX_PATH] = {};
    GetEnvironmentVariableW(L"VTINST_PRODUCT_DIR", folder, MAX_PATH);
    return std::wstring(folder) + L"\\VTInst.exe";
}

class ProgramImageTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(image.Load(ProgramPath())); }
    vttest::PeImage image;
};

// Functions that Windows XP SP3's system libraries lack. One of them in the import table and the
// loader refuses the program before any of its own version checks can run.
struct MissingOnXp {
    const char* library;
    std::vector<const char*> functions;
};
const std::vector<MissingOnXp> kMissingOnXp = {
    {"kernel32.dll",
     {"AcquireSRWLockExclusive", "AcquireSRWLockShared", "ReleaseSRWLockExclusive", "ReleaseSRWLockShared",
      "InitializeSRWLock", "TryAcquireSRWLockExclusive", "TryAcquireSRWLockShared", "InitializeConditionVariable",
      "SleepConditionVariableCS", "SleepConditionVariableSRW", "WakeConditionVariable", "WakeAllConditionVariable",
      "InitOnceInitialize", "InitOnceExecuteOnce", "InitOnceBeginInitialize", "InitOnceComplete", "GetTickCount64",
      "FlsAlloc", "FlsFree", "FlsGetValue", "FlsSetValue", "InitializeCriticalSectionEx", "CreateEventExW",
      "CreateMutexExW", "CreateSemaphoreExW", "GetFinalPathNameByHandleW", "CreateSymbolicLinkW",
      "GetFileInformationByHandleEx", "SetFileInformationByHandle", "QueryFullProcessImageNameW",
      "GetLocaleInfoEx", "LCIDToLocaleName", "LocaleNameToLCID", "GetUserDefaultLocaleName", "CompareStringEx",
      "GetDynamicTimeZoneInformation", "GetErrorMode", "CancelIoEx", "GetQueuedCompletionStatusEx",
      "SetDefaultDllDirectories", "AddDllDirectory", "RemoveDllDirectory", "GetProductInfo",
      "GetSystemTimePreciseAsFileTime", "InitializeProcThreadAttributeList", "UpdateProcThreadAttribute",
      "CreateThreadpoolWork", "SubmitThreadpoolWork", "GetCurrentProcessorNumber", "Wow64GetThreadContext",
      "RaiseFailFastException", "K32GetModuleFileNameExW", "K32EnumProcesses"}},
    {"advapi32.dll",
     {"RegGetValueW", "RegGetValueA", "RegDeleteKeyExW", "RegDeleteTreeW", "RegCopyTreeW", "RegSetKeyValueW",
      "RegDeleteKeyValueW", "RegLoadMUIStringW", "CreateProcessWithTokenW", "EventRegister", "EventWrite"}},
    {"user32.dll",
     {"SetProcessDPIAware", "IsProcessDPIAware", "ChangeWindowMessageFilter", "ChangeWindowMessageFilterEx",
      "ShutdownBlockReasonCreate", "AddClipboardFormatListener", "GetDpiForWindow",
      "SetProcessDpiAwarenessContext"}},
    {"shell32.dll", {"SHGetKnownFolderPath", "SHCreateItemFromParsingName", "SHGetStockIconInfo"}},
};
const std::vector<const char*> kLibrariesMissingOnXp = {"kernelbase.dll", "bcrypt.dll", "ucrtbase.dll",
                                                        "vcruntime140.dll"};

bool AllowsWindowsXp(WORD major, WORD minor) { return major < 5 || (major == 5 && minor <= 1); }

TEST_F(ProgramImageTest, IsA32BitWindowsProgramThatWindowsXpSp3Loads) {
    EXPECT_EQ(image.Machine(), IMAGE_FILE_MACHINE_I386);
    EXPECT_EQ(image.Subsystem(), IMAGE_SUBSYSTEM_WINDOWS_GUI);
    EXPECT_TRUE(AllowsWindowsXp(image.MajorOperatingSystemVersion(), image.MinorOperatingSystemVersion()))
        << image.MajorOperatingSystemVersion() << "." << image.MinorOperatingSystemVersion();
    EXPECT_TRUE(AllowsWindowsXp(image.MajorSubsystemVersion(), image.MinorSubsystemVersion()))
        << image.MajorSubsystemVersion() << "." << image.MinorSubsystemVersion();

    ASSERT_NE(image.Imports().count("kernel32.dll"), 0u);
    for (const auto& imported : image.Imports()) {
        const std::string& library = imported.first;
        EXPECT_NE(library.compare(0, 7, "api-ms-"), 0) << library;
        for (const char* missing : kLibrariesMissingOnXp) EXPECT_NE(library, missing);
        if (library != "msvcrt.dll") continue;
        // XP's msvcrt.dll has none of the bounds-checking "_s" functions.
        for (const std::string& function : imported.second) {
            EXPECT_FALSE(function.size() > 2 && function.compare(function.size() - 2, 2, "_s") == 0) << function;
        }
    }
    for (const MissingOnXp& entry : kMissingOnXp) {
        auto imported = image.Imports().find(entry.library);
        if (imported == image.Imports().end()) continue;
        for (const char* function : entry.functions)
            EXPECT_EQ(imported->second.count(function), 0u) << entry.library << " " << function;
    }
}

// A statically imported library is looked up in the program's folder first unless the system keeps
// it among its known libraries; the program runs with administrator rights, so every other library
// is loaded at run time from the system folder. Common controls come from the side-by-side store
// named in the manifest.
TEST_F(ProgramImageTest, ImportsOnlyLibrariesTheSystemLoadsFromItsOwnFolder) {
    const std::set<std::string> known = {"kernel32.dll", "user32.dll",   "gdi32.dll",    "advapi32.dll",
                                         "shell32.dll",  "ole32.dll",    "oleaut32.dll", "msvcrt.dll",
                                         "wininet.dll",  "comdlg32.dll", "shlwapi.dll",  "rpcrt4.dll",
                                         "ws2_32.dll",   "urlmon.dll",   "comctl32.dll"};
    for (const auto& imported : image.Imports()) EXPECT_EQ(known.count(imported.first), 1u) << imported.first;
}

TEST_F(ProgramImageTest, ExportsWriteLogByItsPlainName) {
    EXPECT_EQ(image.Exports().count("WriteLog"), 1u);
    EXPECT_EQ(image.Exports().count("_WriteLog"), 0u);
}

TEST_F(ProgramImageTest, DescribesItselfAsTheInstallerAndAsksForAdministratorRights) {
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeW(ProgramPath().c_str(), &handle);
    ASSERT_GT(size, 0u);
    std::vector<BYTE> data(size);
    ASSERT_TRUE(GetFileVersionInfoW(ProgramPath().c_str(), 0, size, data.data()));
    wchar_t* description = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(data.data(), L"\\StringFileInfo\\040904b0\\FileDescription",
                               reinterpret_cast<void**>(&description), &length));
    EXPECT_STREQ(description, L"Veltrona Installer");

    HMODULE program =
        LoadLibraryExW(ProgramPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_NE(program, nullptr);
    EXPECT_NE(FindResourceW(program, MAKEINTRESOURCEW(128), RT_GROUP_ICON), nullptr);
    HRSRC manifest = FindResourceW(program, MAKEINTRESOURCEW(1), RT_MANIFEST);
    ASSERT_NE(manifest, nullptr);
    const char* text = static_cast<const char*>(LockResource(LoadResource(program, manifest)));
    std::string manifestText(text, SizeofResource(program, manifest));
    EXPECT_NE(manifestText.find("level=\"requireAdministrator\""), std::string::npos);
    EXPECT_NE(manifestText.find("<dpiAware"), std::string::npos);
    FreeLibrary(program);
}

}  // namespace
