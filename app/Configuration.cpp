// Reading VeltronaInstaller.ini, the configuration shipped beside the program.
#include "app/VTInst.h"

#include "StringIds.h"
#include "app/AuthorizationHeader.h"
#include "framework/StringFormat.h"
#include "support/Log.h"
#include "support/MessageBox.h"
#include "support/Profile.h"

namespace {

const wchar_t kConfigurationFile[] = L"VeltronaInstaller.ini";
const wchar_t kWebServer[] = L"WebServer";
const wchar_t kMenu[] = L"VTInstMenu";
const wchar_t kGenericFlagError[] = L"Error:CVTInstApp::InitInstance: Flag is not exist in INI file. INI Path:%s; Guid:%s";

struct FlagKey {
    const wchar_t* key;
    const wchar_t* parameterKey;  // null for the power-off page, whose parameter is an integer
    const wchar_t* errorFormat;
    int32_t UPDATECOMMONINFO::*flag;
    std::wstring UPDATECOMMONINFO::*parameter;
};

const FlagKey kFlagKeys[] = {
    {L"CallWifiTool", L"CallWifiParam", kGenericFlagError, &UPDATECOMMONINFO::CallWifiTool,
     &UPDATECOMMONINFO::CallWifiParam},
    {L"CallWizardConnect", L"CallWizardConnectParam",
     L"Error:CVTInstApp::InitInstance: CallWizardConnect Flag is not exist in INI file. INI Path:%s; Guid:%s",
     &UPDATECOMMONINFO::CallWizardConnect, &UPDATECOMMONINFO::CallWizardConnectParam},
    {L"CallWizardConnect2", L"CallWizardConnectParam2",
     L"Error:CVTInstApp::InitInstance: CallWizardConnect2 Flag is not exist in INI file. INI Path:%s; Guid:%s",
     &UPDATECOMMONINFO::CallWizardConnect2, &UPDATECOMMONINFO::CallWizardConnectParam2},
    {L"CallVTFolerTray", L"CallVTFolerTrayParam",
     L"Error:CVTInstApp::InitInstance: CallVTFolerTray Flag is not exist in INI file. INI Path:%s; Guid:%s",
     &UPDATECOMMONINFO::CallVTFolerTray, &UPDATECOMMONINFO::CallVTFolerTrayParam},
    {L"CallPowerAutoOffDlg", nullptr, kGenericFlagError, &UPDATECOMMONINFO::CallPowerAutoOffDlg, nullptr},
    {L"CallFirmUpdate", L"CallFirmUpdateParam",
     L"Error:CVTInstApp::InitInstance: CallFirmUpdate Flag is not exist in INI file. INI Path:%s; Guid:%s",
     &UPDATECOMMONINFO::CallFirmUpdate, &UPDATECOMMONINFO::CallFirmUpdateParam},
};

bool IsPowerOffTemplate(int value) { return value == 135 || value == 6003 || value == 6004; }

// A setting with a fallback: the fallback also replaces a negative value (0 stays 0).
int ReadCount(const std::wstring& file, const wchar_t* key, int fallback) {
    int value = ReadProfileInt(kWebServer, key, file, fallback);
    return value < 0 ? fallback : value;
}

void LogSet(const wchar_t* key, int value) {
    LOG_INFO(fw::Format(L"Set:theApp.m_updateCommonInfo.%s = %d", key, value).c_str());
}

// Ends the start-up sequence for a bad flag: box 1018, the flag's error line, End.
void ReportBadFlag(const wchar_t* errorFormat, const std::wstring& file, const wchar_t* key) {
    ShowMessageBox(nullptr, IDS_CAPTION, IDS_INTERNAL_ERROR, MB_ICONERROR, OpenHelpContext, 0, 0);
    LOG_ERROR(fw::Format(errorFormat, file.c_str(), key).c_str());
    LOG_INFO(L"End  :CVTInstApp::InitInstance");
}

std::wstring Trim(const std::wstring& text) {
    const wchar_t* blanks = L" \t\r\n\v\f";
    size_t first = text.find_first_not_of(blanks);
    if (first == std::wstring::npos) return std::wstring();
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

}  // namespace

BOOL CVTInstApp::ReadConfiguration(std::wstring& catalogueUrl) {
    m_strIniFile = fw::Format(L"%s\\%s", m_strModuleDir.c_str(), kConfigurationFile);
    const std::wstring& file = m_strIniFile;

    catalogueUrl = ReadProfileString(L"VTInstXml", L"VTInstXmlUrl", file);
    if (catalogueUrl.empty()) {
        ShowMessageBox(nullptr, IDS_CAPTION, IDS_INTERNAL_ERROR, MB_ICONERROR, OpenHelpContext, 0, 0);
        LOG_ERROR(L"Error:CVTInstApp::InitInstance: Failed to obtain the destination URL(VTInst.xml).");
        LOG_INFO(L"End  :CVTInstApp::InitInstance");
        return FALSE;
    }

    m_strCountServerUrl = ReadProfileString(kWebServer, L"URL_STARTUP", file);
    if (m_strCountServerUrl.empty())
        LOG_ERROR(L"Error:CVTInstApp::InitInstance: Failed to get the DownloadCountServer url.");

    m_nDownRetryCount = ReadCount(file, L"DownRetryCount", 3);
    m_nDownRetrySleep = ReadCount(file, L"DownRetrySleep", 3000);
    m_nConnectTimeout = ReadCount(file, L"ConnectTimeout", -1);
    m_nSendTimeout = ReadCount(file, L"SendTimeout", -1);
    m_nReceiveTimeout = ReadCount(file, L"ReceiveTimeout", -1);

    // Checked in key order, so only the first bad key is reported.
    for (const FlagKey& entry : kFlagKeys) {
        int32_t& flag = m_updateCommonInfo.*entry.flag;
        flag = 0;
        int value = ReadProfileInt(kMenu, entry.key, file, -1);
        if (value != 0 && value != 1) {
            ReportBadFlag(entry.errorFormat, file, entry.key);
            return FALSE;
        }
        flag = value;
        LogSet(entry.key, value);

        if (entry.parameter) {
            m_updateCommonInfo.*entry.parameter = ReadProfileString(kMenu, entry.parameterKey, file);
            continue;
        }
        m_updateCommonInfo.CallPowerAutoOffDlgParam = 135;
        int templateId = ReadProfileInt(kMenu, L"CallPowerAutoOffDlgParam", file, 135);
        if (!IsPowerOffTemplate(templateId)) {
            ReportBadFlag(kGenericFlagError, file, L"CallPowerAutoOffDlgParam");
            return FALSE;
        }
        m_updateCommonInfo.CallPowerAutoOffDlgParam = templateId;
        LogSet(L"CallPowerAutoOffDlgParam", templateId);
    }

    m_nResumeRetryCount = ReadCount(file, L"ResumeRetryCount", 3);
    m_nResumeRetrySleep = ReadCount(file, L"ResumeRetrySleep", 3000);

    std::wstring credentials = Trim(ReadProfileString(kWebServer, L"Auth", file));
    if (!credentials.empty()) MakeAuthorizationHeader(credentials, m_strAuthHeader);
    return TRUE;
}

// Package downloads use the catalogue's credentials, else those of the configuration.
void CVTInstApp::BuildSoftAuthHeader() {
    m_updateCommonInfo.SoftAuth = Trim(m_updateCommonInfo.SoftAuth);
    if (!MakeAuthorizationHeader(m_updateCommonInfo.SoftAuth, m_strSoftAuthHeader))
        m_strSoftAuthHeader = m_strAuthHeader;
}

// The home application's OCR packs use the credentials inside its catalogue section (not trimmed).
void CVTInstApp::BuildOcrAuthHeader() {
    if (!MakeAuthorizationHeader(m_updateCommonInfo.OcrAuth, m_strOcrAuthHeader))
        m_strOcrAuthHeader = m_strAuthHeader;
}
