#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "support/Registry.h"
#include "tests/support/LogFile.h"
#include "tests/support/ScopedTempFolder.h"

namespace {

// A private key under HKLM, removed with everything in it afterwards.
class RegistryTest : public ::testing::Test {
protected:
    std::wstring keyPath = L"SOFTWARE\\VTInstSupportTest" + std::to_wstring(GetCurrentProcessId());
    HKEY key = nullptr;

    void SetUp() override {
        ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, nullptr, 0,
                                  KEY_ALL_ACCESS | MACHINE_REGISTRY_VIEW, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
    }
    void TearDown() override {
        if (!key) return;
        RegDeleteTreeW(key, nullptr);
        RegCloseKey(key);
        RegDeleteKeyExW(HKEY_LOCAL_MACHINE, keyPath.c_str(), MACHINE_REGISTRY_VIEW, 0);
    }
    void Put(const wchar_t* name, DWORD type, const void* data, size_t bytes) {
        ASSERT_EQ(RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), static_cast<DWORD>(bytes)),
                  ERROR_SUCCESS);
    }
    void PutText(const wchar_t* name, DWORD type, const std::wstring& text) {
        Put(name, type, text.c_str(), (text.size() + 1) * sizeof(wchar_t));
    }
};

TEST_F(RegistryTest, MissingKeyOrValueReadsEmpty) {
    PutText(L"Present", REG_SZ, L"x");
    EXPECT_EQ(GetREGSZDataInfo(keyPath + L"\\Absent", L"Present"), L"");
    EXPECT_EQ(GetREGSZDataInfo(keyPath, L"Absent"), L"");
}

TEST_F(RegistryTest, ReadsTextUpToTheFirstNullWhateverTheType) {
    PutText(L"Folder", REG_SZ, L"C:\\Program Files\\Veltrona");
    PutText(L"", REG_SZ, L"default value");
    PutText(L"Expand", REG_EXPAND_SZ, L"%ProgramFiles%\\Veltrona");
    const wchar_t multi[] = L"first\0second\0";
    Put(L"Multi", REG_MULTI_SZ, multi, sizeof(multi));
    const wchar_t unterminated[] = {L'A', L'B'};
    Put(L"Binary", REG_BINARY, unterminated, sizeof(unterminated));
    const std::wstring exactFit(260, L'e');  // fills the usual buffer, no terminator
    Put(L"ExactFit", REG_BINARY, exactFit.data(), exactFit.size() * sizeof(wchar_t));
    PutText(L"Long", REG_SZ, std::wstring(300, L'l'));

    EXPECT_EQ(GetREGSZDataInfo(keyPath, L"Folder"), L"C:\\Program Files\\Veltrona");
    EXPECT_EQ(GetREGSZDataInfo(keyPath, L""), L"default value");
    EXPECT_EQ(GetREGSZDataInfo(keyPath, L"Expand"), L"%ProgramFiles%\\Veltrona");
    EXPECT_EQ(GetREGSZDataInfo(keyPath, L"Multi"), L"first");
    EXPECT_EQ(GetREGSZDataInfo(keyPath, L"Binary"), L"AB");
    EXPECT_EQ(GetREGSZDataInfo(keyPath, L"ExactFit"), exactFit);
    EXPECT_EQ(GetREGSZDataInfo(keyPath, L"Long"), std::wstring(300, L'l'));
}

TEST_F(RegistryTest, LogsStartAndEndAlsoWhenTheKeyIsMissing) {
    vttest::ScopedTempFolder temp(true);
    GetREGSZDataInfo(keyPath + L"\\Absent", L"Value");
    EXPECT_EQ(vttest::LogFile::InFolder(temp.Path()).Messages(),
              (std::vector<std::wstring>{L"Start:CVTInstApp::GetREGSZDataInfo", L"End  :CVTInstApp::GetREGSZDataInfo"}));
}

class RunOnceTest : public ::testing::Test {
protected:
    std::wstring valueName = L"VTInstSupportTest" + std::to_wstring(GetCurrentProcessId());
    void TearDown() override {
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, RUN_ONCE_KEY, 0, KEY_SET_VALUE | MACHINE_REGISTRY_VIEW, &key) !=
            ERROR_SUCCESS)
            return;
        RegDeleteValueW(key, valueName.c_str());
        RegCloseKey(key);
    }

    // Type and text as stored, in the view the program writes.
    std::wstring Stored(DWORD& type) {
        wchar_t data[1024] = {};
        DWORD bytes = sizeof(data) - sizeof(wchar_t);
        type = REG_NONE;
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, RUN_ONCE_KEY, 0, KEY_QUERY_VALUE | MACHINE_REGISTRY_VIEW, &key) !=
            ERROR_SUCCESS)
            return L"<missing>";
        const LONG status =
            RegQueryValueExW(key, valueName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data), &bytes);
        RegCloseKey(key);
        return status == ERROR_SUCCESS ? data : L"<missing>";
    }
};

TEST_F(RunOnceTest, StoresTheCommandAsText) {
    SetREGSZDataInfo(valueName, L"\"C:\\Veltrona\\VTInst.exe\" -StartOS");
    DWORD type;
    EXPECT_EQ(Stored(type), L"\"C:\\Veltrona\\VTInst.exe\" -StartOS");
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
}

TEST_F(RunOnceTest, StoresAtMost259Characters) {
    SetREGSZDataInfo(valueName, std::wstring(300, L'c'));
    DWORD type;
    EXPECT_EQ(Stored(type), std::wstring(259, L'c'));
}

}  // namespace
