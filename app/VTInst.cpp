#include "app/VTInst.h"

#include <ole2.h>

#include <cstdlib>

#include "StringIds.h"
#include "download/HttpDownload.h"
#include "framework/StringFormat.h"
#include "framework/SystemLibrary.h"
#include "support/FileOps.h"
#include "support/Language.h"
#include "support/Log.h"
#include "support/MessageBox.h"
#include "support/Registry.h"
#include "support/SystemInfo.h"

const wchar_t START_MODE_AFTER_RESTART[] = L"-StartOS";

namespace {

const wchar_t kPageWindowClass[] = L"Veltrona_VTInst_WindowClass";
const wchar_t kOcrSupportLibrary[] = L"VtSvcOCRHandle_i.dll";
const wchar_t kOcrLoadFailed[] = L"Error:CVTInstApp::InitInstance: Failed to LoadLibrary(VtSvcOCRHandle.dll).";
const wchar_t kInitInstanceEnd[] = L"End  :CVTInstApp::InitInstance";

void ShowError(UINT textId) { ShowMessageBox(nullptr, IDS_CAPTION, textId, MB_ICONERROR, OpenHelpContext, 0, 0); }

// Languages whose texts need the smaller font on Windows XP.
bool UsesSmallXpFont(WORD languageId) {
    switch (languageId) {
        case 1031: case 1033: case 1036: case 1040: case 1046: case 1049: case 3082: return true;
        default: return false;
    }
}

}  // namespace

CVTInstApp theApp;

CVTInstApp::CVTInstApp()
    : m_bLaunchTools(FALSE),
      m_bRestartNow(FALSE),
      m_rebootNeeded(FALSE),
      m_installReady(FALSE),
      m_bNeedReboot(FALSE),
      m_nWizardStatus(1),
      m_pInstallDestFolderDlg(nullptr),
      m_pLicenseDlg(nullptr),
      m_pInstallDlg(nullptr),
      m_pContentConfirmDlg(nullptr),
      m_pDownloadDlg(nullptr),
      m_pPowerAutoOffDlg(nullptr),
      m_pRestartConfrimDlg(nullptr),
      m_bDotNet35(FALSE),
      m_bDotNet40(TRUE),
      m_bDotNet45(TRUE),
      m_bUseDotNet45(FALSE),
      m_hOcrHandle(nullptr),
      m_pfnIsSupportedOCREngine(nullptr),
      m_pfnIsOCRLangPackInstall(nullptr),
      m_pfnIsEnvMultiBytesLang(nullptr),
      m_nDownRetryCount(3),
      m_nDownRetrySleep(3000),
      m_nConnectTimeout(-1),
      m_nSendTimeout(-1),
      m_nReceiveTimeout(-1),
      m_nResumeRetryCount(3),
      m_nResumeRetrySleep(3000),
      m_nFromDVD(0),
      m_nStartMode(2),
      m_osNotSupported(0) {
    LOG_INFO(L"Start:CVTInstApp::CVTInstApp");
    m_strOSVersion = L"-1";
    m_strServicePack = L"-1";
    LOG_INFO(L"End  :CVTInstApp::CVTInstApp");
}

CVTInstApp::~CVTInstApp() = default;

BOOL CVTInstApp::InitInstance() {
    LOG_INFO(L"Start:CVTInstApp::InitInstance");
    // The license page's text control, and dialogs that may hold ActiveX controls.
    HMODULE richEdit = fw::LoadSystemLibrary(L"RICHED20.DLL");
    const bool oleReady = SUCCEEDED(OleInitialize(nullptr));

    BOOL result = FinishInitInstance(RunStartUpSequence());

    if (oleReady) OleUninitialize();
    if (richEdit) FreeLibrary(richEdit);
    return result;
}

BOOL CVTInstApp::RunStartUpSequence() {
    SelectResourceModule();
    QueryOSVersion(m_strOSVersion, m_strServicePack);
    m_strStartMode = m_lpCmdLine ? m_lpCmdLine : L"";
    CreateDialogFonts();
    if (!CheckServicePack()) return FALSE;

    if (CheckNeedReboot()) {
        ShowError(IDS_RESTART_PENDING);
        LOG_ERROR(L"Error:CVTInstApp::The previous setup is not completed. Restart your computer and try again.");
        return FALSE;
    }

    DecideDotNetGeneration();
    m_strModuleDir = GetProgramFolder();
    // Known from the start: the restart page marks it too, before any follow-up tool has run.
    m_strMonIni = MonitorSettingsFile();
    CheckStartMode();
    RegisterPageWindowClass();
    SetHelpFilePath();
    if (!LoadOcrSupportLibrary()) return FALSE;

    std::wstring catalogueUrl;
    if (!ReadConfiguration(catalogueUrl)) return FALSE;
    if (!PrepareDownloadFolder()) return FALSE;
    if (!DownloadCatalogue(catalogueUrl)) return FALSE;
    // After a restart only the follow-up remains: no selection, notices or wizard.
    if (IsAfterRestartRun()) {
        RunFollowUpTools();
        return TRUE;
    }

    if (!SelectUpdates()) return FALSE;
    BuildSoftAuthHeader();
    DownloadSavedState();
    ShowRegionNotice();
    if (m_updateList.empty()) {
        // Nothing to install: the family still gets the saved state, and the updater runs.
        SaveVTInst();
        CopyVTInst();
        CallUpdaterModule(L"", L"VeltronaUpdater.exe");
        return TRUE;
    }
    BuildOcrAuthHeader();
    ShowDotNetNotice();
    if (!CheckSpaceForWizard()) return FALSE;
    RunWizard();
    if (!FinishWizard()) return FALSE;
    // With a restart now, the follow-up runs after it (the RunOnce entry starts "-StartOS").
    if (!m_bRestartNow) RunFollowUpTools();
    return TRUE;
}

BOOL CVTInstApp::SelectUpdates() {
    const int result = CheckInstallSoft();
    if (result == 0) return TRUE;
    if (result == -1) {
        // The user has been told already (or declined).
        LOG_ERROR(L"Error:CVTInstApp::InitInstance: Home version is not support.");
        return FALSE;
    }
    ShowError(static_cast<UINT>(result));
    LOG_ERROR(L"Error:CVTInstApp::InitInstance: CheckInstallSoft failed.");
    return FALSE;
}

// The server's vtinst.ini is the base of the saved state; without it a new file is written.
void CVTInstApp::DownloadSavedState() {
    const int result = CHttpDownLoad::DownloadFile(m_strVTInstIni, -1, m_strSavePath, m_updateCommonInfo.VTInstUrl,
                                                   nullptr);
    if (result == DL_SUCCESS) return;
    LOG_WARNING(result, L"WARNING:CVTInstApp::InitInstance: The file is not downloaded.(vtinst.ini)");
    m_strVTInstIni = fw::Format(L"%s\\%s", m_strSavePath.c_str(), L"vtinst.ini");
}

void CVTInstApp::ShowRegionNotice() {
    const std::wstring& region = m_updateCommonInfo.SetupType;
    if (region == L"RGNA" || region == L"WW")
        ShowMessageBox(nullptr, IDS_CAPTION, IDS_ANTIVIRUS_NOTICE, MB_ICONINFORMATION, OpenHelpContext, 0, 0);
}

// A wizard that starts with the destination folder page checks the space for the folder chosen
// there; otherwise the space is checked before the first page.
BOOL CVTInstApp::CheckSpaceForWizard() {
    if (m_updateCommonInfo.SelectFolder) return TRUE;
    if (CheckDiskSpaceEnough(L"")) return TRUE;
    ShowError(IDS_DISK_SPACE);
    LOG_ERROR(L"Error:CVTInstApp::InitInstance: not enough Disk space.");
    return FALSE;
}

void CVTInstApp::SelectResourceModule() {
    wchar_t programPath[MAX_PATH] = {};
    if (GetModuleFileNameW(nullptr, programPath, MAX_PATH) == 0) return;
    if (HMODULE languageModule = LoadLanguageResourceModule(programPath))
        fw::SetResourceModule(languageModule);
}

void CVTInstApp::CreateDialogFonts() {
    const bool windowsXp = m_strOSVersion == L"5.1";
    wchar_t face[MAX_PATH] = {};
    LoadResourceString(face, MAX_PATH, windowsXp ? IDS_FONT_FACE_XP : IDS_FONT_FACE);
    const int tenthsOfPoint = windowsXp && UsesSmallXpFont(GetMappedLanguageId()) ? 80 : 90;

    fw::CFont pointFont;
    LOGFONTW logFont = {};
    if (!pointFont.CreatePointFont(tenthsOfPoint, face) || !pointFont.GetLogFont(&logFont)) return;
    logFont.lfWeight = FW_NORMAL;
    m_fontNormal.CreateFontIndirect(logFont);
    logFont.lfWeight = FW_BOLD;
    m_fontBold.CreateFontIndirect(logFont);
}

// Windows XP needs service pack 3 and Vista service pack 2 (whole-text comparison, as stored).
BOOL CVTInstApp::CheckServicePack() {
    if (m_strOSVersion == L"5.1" && m_strServicePack.compare(L"3") < 0) {
        ShowError(IDS_NEED_XP_SP3);
        LOG_ERROR(L"Error:CVTInstApp::InitInstance:This product need Windows XP ServicePack 3 or later. "
                  L"Please install Windows XP ServicePack 3 or later.");
        return FALSE;
    }
    if (m_strOSVersion == L"6.0" && m_strServicePack.compare(L"2") < 0) {
        ShowError(IDS_NEED_VISTA_SP2);
        LOG_ERROR(L"Error:CVTInstApp::InitInstance:This product need Windows Vista ServicePack 2 or later. "
                  L"Please install Windows Vista ServicePack 2 or later.");
        return FALSE;
    }
    return TRUE;
}

void CVTInstApp::DecideDotNetGeneration() {
    if ((m_strOSVersion == L"6.0" && m_strServicePack.compare(L"1") > 0) ||
        (m_strOSVersion == L"6.1" && m_strServicePack.compare(L"0") > 0))
        m_bUseDotNet45 = TRUE;
}

// Anything but the exact restart option is logged and the run goes on as a normal start.
void CVTInstApp::CheckStartMode() {
    if (m_strStartMode.empty()) return;
    if (m_strStartMode == START_MODE_AFTER_RESTART)
        m_bLaunchTools = TRUE;
    else
        LOG_ERROR((L"Error:CVTInstApp::InitInstance:m_strStartMode error:" + m_strStartMode).c_str());
}

// Every page template names this class, a copy of the standard dialog class, so the pages can be
// found by it.
void CVTInstApp::RegisterPageWindowClass() {
    HINSTANCE module = fw::GetResourceModule();
    WNDCLASSW windowClass = {};
    if (GetClassInfoW(module, kPageWindowClass, &windowClass)) return;
    if (!GetClassInfoW(nullptr, L"#32770", &windowClass)) return;
    windowClass.hInstance = module;
    windowClass.lpszClassName = kPageWindowClass;
    RegisterClassW(&windowClass);
}

void CVTInstApp::SetHelpFilePath() {
    std::wstring helpFile = GetREGSZDataInfo(L"SOFTWARE\\ZEL\\Veltrona Online Update", L"HelpFile");
    std::wstring path = GetLanguageSpecificFile(m_strModuleDir, helpFile);
    free(m_pszHelpFilePath);
    m_pszHelpFilePath = _wcsdup(path.c_str());
}

BOOL CVTInstApp::LoadOcrSupportLibrary() {
    m_hOcrHandle = LoadLibraryW(kOcrSupportLibrary);
    if (!m_hOcrHandle) {
        ShowError(IDS_INTERNAL_ERROR);
        LOG_ERROR(kOcrLoadFailed);
        LOG_INFO(kInitInstanceEnd);
        return FALSE;
    }
    m_pfnIsSupportedOCREngine =
        reinterpret_cast<PFN_IsSupportedOCREngine>(GetProcAddress(m_hOcrHandle, "IsSupportedOCREngine"));
    m_pfnIsOCRLangPackInstall =
        reinterpret_cast<PFN_IsOCRLangPackInstall>(GetProcAddress(m_hOcrHandle, "IsOCRLangPackInstall"));
    m_pfnIsEnvMultiBytesLang =
        reinterpret_cast<PFN_IsEnvMultiBytesLang>(GetProcAddress(m_hOcrHandle, "IsEnvMultiBytesLang"));
    if (!m_pfnIsSupportedOCREngine || !m_pfnIsOCRLangPackInstall || !m_pfnIsEnvMultiBytesLang) {
        ShowError(IDS_INTERNAL_ERROR);
        LOG_ERROR(kOcrLoadFailed);
        LOG_INFO(kInitInstanceEnd);
        return FALSE;
    }
    return TRUE;
}

// The run after a restart works without a download folder.
BOOL CVTInstApp::PrepareDownloadFolder() {
    if (IsAfterRestartRun()) return TRUE;
    if (CreateSavePath()) return TRUE;
    ShowError(IDS_NO_PRIVILEGES);
    LOG_ERROR(L"Error:CVTInstApp::InitInstance: Create downland folder is failed.");
    LOG_INFO(kInitInstanceEnd);
    return FALSE;
}

BOOL CVTInstApp::IsAfterRestartRun() const { return m_strStartMode == START_MODE_AFTER_RESTART; }

BOOL CVTInstApp::FinishInitInstance(BOOL result) {
    DeletePages();
    ReleaseBundleLists();
    // The library lies in the program's folder: unloaded first, it can be removed with the folder
    // instead of waiting for the next restart.
    UnloadOcrSupportLibrary();
    // After a restart the program's own folder is no longer needed; what is in use goes at the next
    // restart. A program started from the root of a drive or share has no folder of its own.
    if (IsAfterRestartRun()) {
        if (IsFolderBelowRoot(m_strModuleDir))
            DeleteDirectoryEx(m_strModuleDir);
        else
            LOG_WARNING(-1, (L"Warning:CVTInstApp::InitInstance: The program's folder is a root and is not deleted.path:" +
                             m_strModuleDir).c_str());
    }
    LOG_INFO(kInitInstanceEnd);
    return result;
}

void CVTInstApp::UnloadOcrSupportLibrary() {
    if (!m_hOcrHandle) return;
    FreeLibrary(m_hOcrHandle);
    m_hOcrHandle = nullptr;
    m_pfnIsSupportedOCREngine = nullptr;
    m_pfnIsOCRLangPackInstall = nullptr;
    m_pfnIsEnvMultiBytesLang = nullptr;
}

