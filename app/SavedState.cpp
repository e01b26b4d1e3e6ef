// The download folder and the saved-state file vtinst.ini left for the family's other programs.
#include "app/VTInst.h"

#include <io.h>

#include "framework/StringFormat.h"
#include "support/Log.h"
#include "support/Profile.h"
#include "support/SystemInfo.h"

BOOL CVTInstApp::CreateSavePath() {
    LOG_INFO(L"Start:CVTInstApp::CreateSavePath");
    std::wstring folder = fw::Format(L"%s\\%s\\", m_strModuleDir.c_str(), L"download");

    SECURITY_ATTRIBUTES attributes = {sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    if (_waccess(folder.c_str(), 0) == 0 || CreateDirectoryW(folder.c_str(), &attributes)) {
        m_strSavePath = folder;
        LOG_INFO(L"End  :CVTInstApp::CreateSavePath");
        return TRUE;
    }
    LOG_ERROR(L"Error:CVTInstApp::CreateSavePath: create directory is failed.");
    LOG_INFO(L"End  :CVTInstApp::CreateSavePath");
    return FALSE;
}

std::wstring CVTInstApp::GetSavePath() {
    LOG_INFO(L"Start:CVTInstApp::GetSavePath");
    std::wstring path = m_strSavePath;
    LOG_INFO(L"End  :CVTInstApp::GetSavePath");
    return path;
}

BOOL CVTInstApp::SaveVTInst() {
    LOG_INFO(L"Start:CVTInstApp::SaveVTInst");
    struct Entry {
        const wchar_t* section;
        const wchar_t* key;
        std::wstring value;
    };
    const Entry entries[] = {
        {L"UserRegist", L"URL", m_strRegistUrl},
        {L"BasicGuide", L"Path", m_strGuidePath},
        {L"BasicGuide", L"Model", m_updateCommonInfo.ModelName},
        {L"Common", L"StartMode", fw::Format(L"%d", m_nStartMode)},
        {L"Common", L"FromDVD", fw::Format(L"%d", m_nFromDVD)},
    };
    for (const Entry& entry : entries) {
        if (!WriteProfileStringWithRetry(entry.section, entry.key, entry.value, m_strVTInstIni))
            LOG_ERROR(fw::Format(L"Error:CVTInstApp::SaveVTInst:Failed to save info to ini file.(%s:%s)",
                                 entry.section, entry.key)
                          .c_str());
    }
    LOG_INFO(L"End  :CVTInstApp::SaveVTInst");
    return TRUE;
}

// The family's programs read the copy; a missing destination folder is not created.
void CVTInstApp::CopyVTInst() {
    LOG_INFO(L"Start:CVTInstApp::CopyVTInst");
    std::wstring destination = fw::Format(L"%s\\%s\\%s\\%s", GetCommonAppDataFolder(m_strOSVersion).c_str(),
                                          L"ZEL\\Veltrona", L"Veltrona Online Update", L"vtinst.ini");
    CopyFileW(m_strVTInstIni.c_str(), destination.c_str(), FALSE);
    LOG_INFO(L"End  :CVTInstApp::CopyVTInst");
}
