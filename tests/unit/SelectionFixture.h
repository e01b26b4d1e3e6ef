// Shared set-up of the selection and relations tests: a clean selection state on theApp, an
// isolated log, a registry the test fills, and an OCR support library answering as the test says.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "app/VTInst.h"
#include "support/RegistryFixture.h"
#include "support/ScopedTempFolder.h"

namespace vttest {

// A fixed "now"; catalogue dates are placed around it.
const int64_t SELECTION_NOW = 1700000000;
const int64_t ONE_DAY = 86400;

struct OcrLibraryAnswers {
    int supportedEngine = 1;
    int langPackInstalled = 0;
    int multiByteLanguage = 0;
    std::string lastEngineAsked;
    int engineQuestions = 0;
};

inline OcrLibraryAnswers& OcrAnswers() {
    static OcrLibraryAnswers answers;
    return answers;
}

inline int __cdecl TestIsSupportedOCREngine(const char* engineVersion) {
    OcrAnswers().lastEngineAsked = engineVersion ? engineVersion : "";
    ++OcrAnswers().engineQuestions;
    return OcrAnswers().supportedEngine;
}
inline int __cdecl TestIsOCRLangPackInstall() { return OcrAnswers().langPackInstalled; }
inline int __cdecl TestIsEnvMultiBytesLang() { return OcrAnswers().multiByteLanguage; }

// A complete catalogue record that passes every completeness test.
inline CUpdateInfo MakeRecord(const std::wstring& id, const std::wstring& version, int64_t size = 1048576) {
    CUpdateInfo record;
    record.m_id = id;
    record.m_title = id + L" title";
    record.m_version = version;
    record.m_pubDate = SELECTION_NOW - ONE_DAY;
    record.m_delDate = SELECTION_NOW + ONE_DAY;
    record.m_issUrl = L"http://server/" + id + L".iss";
    record.m_issUgUrl = L"http://server/" + id + L"_ug.iss";
    record.m_moduleUrl = L"http://server/" + id + L".msi";
    record.m_size = size;
    record.m_installSize = 2 * size;
    record.m_displaySize = size / 104858 + 1;
    return record;
}

inline std::vector<std::wstring> IdsOf(const CUpdateInfoList& list) {
    std::vector<std::wstring> ids;
    for (const CUpdateInfo& record : list) ids.push_back(record.m_id);
    return ids;
}

class SelectionFixture : public ::testing::Test {
protected:
    SelectionFixture() : m_temp(true) {}

    void SetUp() override {
        m_saved.Take();
        ResetApp();
        OcrAnswers() = OcrLibraryAnswers();
        theApp.m_pfnIsSupportedOCREngine = TestIsSupportedOCREngine;
        theApp.m_pfnIsOCRLangPackInstall = TestIsOCRLangPackInstall;
        theApp.m_pfnIsEnvMultiBytesLang = TestIsEnvMultiBytesLang;
        theApp.m_strOSVersion = L"6.1";
        theApp.m_updateCommonInfo.AbbyyVersion = L"11.0";
        theApp.m_updateCommonInfo.HomeIfVersion = L"1.8.0";
        // No family product and no monitor program unless a test registers them.
        for (const wchar_t* key : {L"SOFTWARE\\ZEL\\Veltrona Software", L"SOFTWARE\\ZEL\\Veltrona Online Update",
                                   L"SOFTWARE\\ZEL\\Veltrona Manual"})
            ASSERT_TRUE(m_registry.HideKey(key)) << vttest::Narrow(key);
        m_registry.DeleteValue(MONITOR_APP_PATH, L"");
    }

    void TearDown() override {
        ResetApp();
        m_saved.Restore();
    }

    static void ResetApp() {
        theApp.ReleaseBundleLists();
        theApp.m_catalogueItems.clear();
        theApp.m_homeItems.clear();
        theApp.m_updateList.clear();
        theApp.m_homeOcrList.clear();
        theApp.m_homeInstalled = 0;
        theApp.m_ocrPack2Selected = 0;
        theApp.m_osNotSupported = 0;
        theApp.m_dotNetSpaceMB = 0;
        theApp.m_updateCommonInfo = UPDATECOMMONINFO();
        theApp.m_bDotNet35 = TRUE;
        theApp.m_bDotNet40 = TRUE;
        theApp.m_bDotNet45 = TRUE;
        theApp.m_strSavePath.clear();
        theApp.m_strXmlFile.clear();
        theApp.m_strIniFile.clear();
    }

    static constexpr const wchar_t* MONITOR_APP_PATH =
        L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\ZelVtMon.exe";

    // What the fixture changes beyond the selection's own lists, given back to other tests as found.
    struct SavedAppState {
        BOOL dotNet35, dotNet40, dotNet45;
        std::wstring osVersion, savePath, xmlFile, iniFile;
        UPDATECOMMONINFO commonInfo;
        PFN_IsSupportedOCREngine isSupported;
        PFN_IsOCRLangPackInstall isLangPackInstalled;
        PFN_IsEnvMultiBytesLang isMultiByte;

        void Take() {
            dotNet35 = theApp.m_bDotNet35;
            dotNet40 = theApp.m_bDotNet40;
            dotNet45 = theApp.m_bDotNet45;
            osVersion = theApp.m_strOSVersion;
            savePath = theApp.m_strSavePath;
            xmlFile = theApp.m_strXmlFile;
            iniFile = theApp.m_strIniFile;
            commonInfo = theApp.m_updateCommonInfo;
            isSupported = theApp.m_pfnIsSupportedOCREngine;
            isLangPackInstalled = theApp.m_pfnIsOCRLangPackInstall;
            isMultiByte = theApp.m_pfnIsEnvMultiBytesLang;
        }
        void Restore() const {
            theApp.m_bDotNet35 = dotNet35;
            theApp.m_bDotNet40 = dotNet40;
            theApp.m_bDotNet45 = dotNet45;
            theApp.m_strOSVersion = osVersion;
            theApp.m_strSavePath = savePath;
            theApp.m_strXmlFile = xmlFile;
            theApp.m_strIniFile = iniFile;
            theApp.m_updateCommonInfo = commonInfo;
            theApp.m_pfnIsSupportedOCREngine = isSupported;
            theApp.m_pfnIsOCRLangPackInstall = isLangPackInstalled;
            theApp.m_pfnIsEnvMultiBytesLang = isMultiByte;
        }
    };

    SavedAppState m_saved;
    ScopedTempFolder m_temp;
    RegistryFixture m_registry;
};

}  // namespace vttest
