// The download-count entries: the digest, the short names and version levels, the adapter choice,
// the scanner's serial number, the parameter string, and the service's answer.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <string>

#include "app/VTInst.h"
#include "download/DownloadCountInfo.h"
#include "download/HttpDownload.h"
#include "support/Md5.h"
#include "tests/support/LogFile.h"
#include "tests/support/ScopedTempFolder.h"

namespace vttest {
namespace {

TEST(Md5Test, RfcTestSuite) {
    const struct {
        const char* text;
        const char* digest;
    } vectors[] = {
        {"", "d41d8cd98f00b204e9800998ecf8427e"},
        {"a", "0cc175b9c0f1b6a831c399e269772661"},
        {"abc", "900150983cd24fb0d6963f7d28e17f72"},
        {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
        {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789", "d174ab98d277d9f5a5611c2c9f419d9f"},
        {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
         "57edf4a22be3c955ac49da2e2107b67a"},
    };
    for (const auto& v : vectors) EXPECT_EQ(Md5Hex(v.text, strlen(v.text)), v.digest) << v.text;
    EXPECT_EQ(Md5OfAnsiText(L"abc"), L"900150983cd24fb0d6963f7d28e17f72");
}

TEST(DownloadCountTest, ShortNamesAndVersionLevels) {
    const struct {
        const wchar_t* id;
        const wchar_t* shortName;  // null: no entry
        bool badManual;
    } names[] = {
        {L"Veltrona Manager", L"Mng", false},         {L"Veltrona Online Update", L"VTOU", false},
        {L"Veltrona Manual", L"VTManual01", false},   {L"Veltrona Manual05", L"VTManual05", false},
        {L"Veltrona Manual100", nullptr, true},       {L"Veltrona Manual5", nullptr, true},
        {L"Veltrona OCR LangPack1", L"OCRPK001", false}, {L"Veltrona OCR LangPack2", L"OCRPK002", false},
        {L"Veltrona OCR LangPack3", nullptr, false},  {L"veltrona manager", nullptr, false},
    };
    for (const auto& n : names) {
        std::wstring shortName;
        bool badManual = false;
        EXPECT_EQ(DownloadCountShortName(n.id, shortName, badManual), n.shortName != nullptr) << Narrow(n.id);
        if (n.shortName) {
            EXPECT_EQ(shortName, n.shortName);
        }
        EXPECT_EQ(badManual, n.badManual) << Narrow(n.id);
    }
    const struct {
        const wchar_t* version;
        const wchar_t* level;
    } levels[] = {{L"2.1.30.4", L"V2.1L30"}, {L"5.2.10.3", L"V5.2L10"}, {L"5.2.10", L""},
                  {L"5.2.x.1", L""},         {L"", L""},                {L"1.2.3.4.5", L""}};
    for (const auto& l : levels) EXPECT_EQ(DownloadCountVersionLevel(l.version), l.level) << Narrow(l.version);
}

TEST(DownloadCountTest, AdapterChoicePrefersWirelessThenEthernetThenAnyAddress) {
    const NetworkAdapter loopback{24, {}};
    const NetworkAdapter tunnel{131, {0x02, 0x00, 0x00, 0x00, 0x00, 0x07}};
    const NetworkAdapter ethernet{6, {0x00, 0x1a, 0x2b, 0x3c, 0x4d, 0x5e}};
    const NetworkAdapter wireless{71, {0xa0, 0xb1, 0xc2, 0xd3, 0xe4, 0xf5}};
    EXPECT_EQ(ChooseAdapterText({loopback, tunnel, ethernet, wireless}), L"A0-B1-C2-D3-E4-F5");
    EXPECT_EQ(ChooseAdapterText({loopback, tunnel, ethernet}), L"00-1A-2B-3C-4D-5E");
    EXPECT_EQ(ChooseAdapterText({loopback, tunnel}), L"02-00-00-00-00-07");
    EXPECT_EQ(ChooseAdapterText({loopback}), L"");
    EXPECT_EQ(ChooseAdapterText({}), L"");

    // This machine's own list: the host's interfaces appear as Ethernet adapters with addresses.
    const std::wstring text = ChooseAdapterText(ReadNetworkAdapters());
    ASSERT_EQ(text.size(), 17u) << Narrow(text);
    for (size_t i = 2; i < 17; i += 3) EXPECT_EQ(text[i], L'-');
}

// Scrambled as the scanner software stores the device name (the inverse of the program's reading).
std::wstring Scrambled(const std::wstring& plain) {
    const wchar_t key[] = L"qLivDOMeRak qLivDOMeRak qLivDOMeRak";
    std::wstring text;
    for (size_t i = 0; i < plain.size(); ++i) {
        wchar_t group[8];
        swprintf(group, 8, L"%03d", static_cast<int>(plain[i]) + key[i] + 11);
        text += group;
    }
    return text;
}

class DownloadCountEntryTest : public ::testing::Test {
protected:
    ScopedTempFolder temp{true};
    ScopedTempFolder programData;
    LogFile log = LogFile::InFolder(temp.Path());
    std::wstring savedProgramData, savedOs = theApp.m_strOSVersion;

    void SetUp() override {
        wchar_t value[MAX_PATH] = {};
        GetEnvironmentVariableW(L"PROGRAMDATA", value, MAX_PATH);
        savedProgramData = value;
        SetEnvironmentVariableW(L"PROGRAMDATA", programData.Path().c_str());
        theApp.m_strOSVersion = L"6.1";
        theApp.m_arrDownloadCountInfo.clear();
    }
    void TearDown() override {
        SetEnvironmentVariableW(L"PROGRAMDATA", savedProgramData.c_str());
        theApp.m_strOSVersion = savedOs;
        theApp.m_arrDownloadCountInfo.clear();
    }
    void WriteDevice(const std::wstring& scrambled) {
        const std::wstring folder = programData.File(L"ZEL");
        CreateDirectoryW(folder.c_str(), nullptr);
        CreateDirectoryW((folder + L"\\Veltrona").c_str(), nullptr);
        WritePrivateProfileStringW(L"Recent", L"Dev", scrambled.c_str(), (folder + L"\\Veltrona\\ZelVtDev.ini").c_str());
    }
};

TEST_F(DownloadCountEntryTest, TheSerialNumberIsUsedOnlyWhenItIsPlausible) {
    ScannerSerial serial = LookUpScannerSerial(L"6.1");
    EXPECT_TRUE(serial.number.empty() && serial.digest.empty());
    EXPECT_TRUE(log.Contains(L"Info :CHttpDownLoad::DownloadThread:can not get the serialNO."));
    const struct {
        const wchar_t* plain;
        bool valid;
    } cases[] = {{L"AB12C34567", true}, {L"AB12", false}, {L"AB-12345", false}, {L"AB 12345", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(Narrow(c.plain));
        WriteDevice(Scrambled(c.plain));
        serial = LookUpScannerSerial(L"6.1");
        EXPECT_EQ(serial.number, c.valid ? c.plain : L"");
        EXPECT_EQ(serial.digest, c.valid ? Md5OfAnsiText(c.plain) : L"");
        if (!c.valid) {
            EXPECT_TRUE(log.Contains(std::wstring(L"Error:CHttpDownLoad::DownloadThread: The serial number (") +
                                     c.plain + L") is invalid ."));  // the profile reader drops the final blank
        }
    }
}

TEST_F(DownloadCountEntryTest, EntriesNameProductVersionMachineAndSerial) {
    const std::wstring machine = Md5OfAnsiText(ChooseAdapterText(ReadNetworkAdapters()));
    CHttpDownLoad::GetDownloadCountInfo(L"Veltrona Manager", L"5.2.10.3", L"", L"", L"http://h/p/setup.exe");
    CHttpDownLoad::GetDownloadCountInfo(L"Veltrona Home OCR LangPack2", L"", L"", L"", L"http://h/home.exe");
    CHttpDownLoad::GetDownloadCountInfo(L"Veltrona Manual100", L"1.0.0.0", L"", L"", L"http://h/m.msi");
    CHttpDownLoad::GetDownloadCountInfo(L"Veltrona OCR LangPack2", L"", L"d1g3st", L"AB12C34567", L"http://h/p2.exe");
    ASSERT_EQ(theApp.m_arrDownloadCountInfo.size(), 2u);
    EXPECT_EQ(theApp.m_arrDownloadCountInfo[0],
              L"OS=Win&SOFT=Mng&VL=V5.2L10&KIND=Down&MAC=" + machine + L"&CLTYPE=VTINS1&URL=http://h/p/setup.exe");
    EXPECT_EQ(theApp.m_arrDownloadCountInfo[1], L"SN=AB12C&SN2=d1g3st&OS=Win&SOFT=OCRPK002&VL=&KIND=Down&MAC=" +
                                                    machine + L"&CLTYPE=VTINS1&URL=http://h/p2.exe");
    EXPECT_TRUE(log.Contains(L"End  :CHttpDownLoad::GetDownloadCountInfo:get softName failed!"));
    EXPECT_TRUE(log.Contains(L"Error:CHttpDownLoad::GetDownloadCountInfo:get shortName failed!The Soft ID is "
                             L"Veltrona Manual100"));
}

TEST(DownloadCountAnswerTest, OnlyAnExactOkInReturnInfoCounts) {
    ScopedTempFolder temp{true};
    const std::wstring answer = temp.File(L"DownloadCount.xml");
    const struct {
        const char* xml;
        int ok;
    } cases[] = {
        {"<?xml version=\"1.0\" encoding=\"utf-8\"?><result><return_info>OK</return_info></result>", 1},
        {"<result><count>3</count><return_info>OK</return_info></result>", 1},
        {"<result><return_info>NG</return_info></result>", 0},
        {"<result><return_info> OK</return_info></result>", 0},
        {"<result><return_info>ok</return_info></result>", 0},
        {"<result><other>OK</other></result>", 0},
        {"not xml at all", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.xml);
        WriteTextFile(answer, c.xml);
        EXPECT_EQ(theApp.CheckDownloadCountResult(answer), c.ok);
    }
    EXPECT_EQ(theApp.CheckDownloadCountResult(temp.File(L"missing.xml")), 0);
}

}  // namespace
}  // namespace vttest
