// The selection driver: parses the catalogue, applies the home-application gate, selects what the
// machine needs, finds the folders of new installs and bundles the OCR packs.
#include "app/VTInst.h"
#include "StringIds.h"
#include "catalogue/UtcNow.h"
#include "framework/StringFormat.h"
#include "support/Log.h"

namespace {

const wchar_t CHECK_INSTALL_SOFT_END[] = L"End  :CVTInstApp::CheckInstallSoft";
const int STOP_ALREADY_TOLD = -1;
const DWORD FOLDER_CAPACITY = 260;

}  // namespace

int CVTInstApp::CheckInstallSoft() {
    LOG_INFO(L"Start:CVTInstApp::CheckInstallSoft");
    if (!CreateUpdateInfoList(m_strXmlFile)) {
        LOG_ERROR(L"Error:CVTInstApp::CheckInstallSoft: Xml file prase is failed. ");
        return m_osNotSupported ? IDS_OS_NOT_SUPPORTED : IDS_CANNOT_ANALYSE_FILE;
    }
    if (!CheckHomeVersion()) return STOP_ALREADY_TOLD;

    int64_t now = 0;
    if (!GetCurrentUtcTime(now)) {
        LOG_ERROR(L"Error:CVTInstApp::CheckInstallSoft: get gmt time is failed. ");
        return IDS_INTERNAL_ERROR;
    }
    GetNeedUpdateList(now);
    GetNeedHomeOCRList(now);

    if (m_updateCommonInfo.SelectFolder) {
        const int result = ReadNewInstallFolders();
        if (result != 0) return result;
    }
    if (!m_homeOcrList.empty() && !m_updateList.empty()) BundleHomeOcrPacks();
    LOG_INFO(CHECK_INSTALL_SOFT_END);
    return 0;
}

// The install thread needs a folder for every new install; the configuration names it per product
// (section "AddPath", key = product ID). 0, or string 1018 when one is missing.
int CVTInstApp::ReadNewInstallFolders() {
    for (CUpdateInfo& record : m_updateList) {
        if (!record.m_installedPath.empty()) continue;
        wchar_t folder[FOLDER_CAPACITY] = {};
        GetPrivateProfileStringW(L"AddPath", record.m_id.c_str(), L"", folder, FOLDER_CAPACITY, m_strIniFile.c_str());
        if (folder[0] == L'\0') {
            LOG_ERROR(fw::Format(L"Error:CVTInstApp::CheckInstallSoft: New install's folder path is not exist in INI "
                                 L"file. INI Path:%s; Guid:%s",
                                 m_strIniFile.c_str(), record.m_id.c_str())
                          .c_str());
            return IDS_INTERNAL_ERROR;
        }
        record.m_addPath = folder;
    }
    return 0;
}
