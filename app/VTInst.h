// The application object: holds the shared state of the run and runs the start-up sequence.
#pragma once
#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/UpdateCommonInfo.h"
#include "catalogue/SoftMulti.h"
#include "catalogue/UpdateInfo.h"
#include "framework/AppBase.h"
#include "framework/Font.h"

class CInstallDestFolderDlg;
class CLicenseDlg;
class CInstallDlg;
class CContentConfirmDlg;
class CDownloadDlg;
class CPowerAutoOffDlg;
class CRestartConfrimDlg;

// Exports of the OCR support library (C calling convention).
typedef int(__cdecl* PFN_IsSupportedOCREngine)(const char* engineVersion);
typedef int(__cdecl* PFN_IsOCRLangPackInstall)();
typedef int(__cdecl* PFN_IsEnvMultiBytesLang)();

extern const wchar_t START_MODE_AFTER_RESTART[];  // "-StartOS"

class CVTInstApp : public fw::CAppBase {
public:
    CVTInstApp();
    ~CVTInstApp() override;

    BOOL InitInstance() override;
    int ExitInstance() override;

    // Configuration and saved state.
    BOOL ReadConfiguration(std::wstring& catalogueUrl);
    void BuildSoftAuthHeader();
    void BuildOcrAuthHeader();
    BOOL CreateSavePath();
    std::wstring GetSavePath();
    BOOL SaveVTInst();
    void CopyVTInst();

    // Restart markers left by an earlier installation.
    BOOL CheckNeedReboot();

    // Catalogue parse into m_catalogueItems, m_homeItems and the catalogue values.
    BOOL CreateUpdateInfoList(const std::wstring& path);

    // Update selection (filled by the selection step).
    int CheckInstallSoft();
    BOOL CheckDiskSpaceEnough(const std::wstring& folder);
    void GetNeedUpdateList(int64_t now);
    void GetNeedHomeOCRList(int64_t now);
    BOOL CheckHomeVersion();
    BOOL CheckOcrEngine(BOOL managerSelected, const std::wstring& id);
    int ReadNewInstallFolders();
    // Attaches the due home OCR packs to the "Veltrona OCR LangPack2" record.
    void BundleHomeOcrPacks();
    // Frees the bundle lists (the destructor does it too) and unlinks them from m_updateList.
    void ReleaseBundleLists();

    // Running other programs: as the installer, as the desktop's user, and the online-update tool.
    BOOL RunEXEWaitEnd(const std::wstring& exeFile, const std::wstring& exeCmdLine, BOOL wait);
    BOOL RunEXEWaitEndWithCurrentSession(const std::wstring& exeFile, const std::wstring& exeCmdLine, BOOL wait,
                                         BOOL failOnExitCode);
    void CallUpdaterModule(const std::wstring& exeCmdLine, const std::wstring& exeName);
    // The family's tools after the installation (when m_bLaunchTools is set), then the updater unless
    // a tool failed.
    void RunFollowUpTools();
    // The main application's monitor settings (ZelVtMon.ini) under the common application data folder.
    std::wstring MonitorSettingsFile() const;
    BOOL CreateProcessAsShellUser(wchar_t* commandLine, const wchar_t* workingFolder, STARTUPINFOW* startupInfo,
                                  PROCESS_INFORMATION* processInformation);

    // The download-count report: the answer file says OK (1) or not (0).
    int CheckDownloadCountResult(const std::wstring& answerPath);

    // .NET Framework prerequisites: detection, and the start-up notice (sets m_bDotNet35/40/45).
    int GetREGDwordDataInfo(const std::wstring& keyPath, const std::wstring& valueName);
    BOOL CheckDotNetFramework3_5Install();
    BOOL CheckDotNetFramework4_0Install();
    BOOL CheckDotNetFramework4_5Install();
    void ShowDotNetNotice();

    std::wstring m_strStartMode;
    BOOL m_bLaunchTools;
    BOOL m_bRestartNow;
    BOOL m_rebootNeeded;
    BOOL m_installReady;
    // The user's answer to the download page's retry question: 1 for Retry. Written by the page while
    // the download thread waits for it, reset by the thread.
    volatile LONG m_bDownloadRetry = 0;
    std::wstring m_installFolder;
    BOOL m_bNeedReboot;
    int m_nWizardStatus;
    fw::CFont m_fontNormal;
    fw::CFont m_fontBold;

    CInstallDestFolderDlg* m_pInstallDestFolderDlg;
    CLicenseDlg* m_pLicenseDlg;
    CInstallDlg* m_pInstallDlg;
    CContentConfirmDlg* m_pContentConfirmDlg;
    CDownloadDlg* m_pDownloadDlg;
    CPowerAutoOffDlg* m_pPowerAutoOffDlg;
    CRestartConfrimDlg* m_pRestartConfrimDlg;

    BOOL m_bDotNet35;
    BOOL m_bDotNet40;
    BOOL m_bDotNet45;
    BOOL m_bUseDotNet45;

    UPDATECOMMONINFO m_updateCommonInfo;
    std::wstring m_strOSVersion;
    std::wstring m_strServicePack;
    std::wstring m_strModuleDir;
    std::wstring m_strIniFile;
    std::wstring m_strXmlFile;
    std::wstring m_strSavePath;
    std::wstring m_strVTInstIni;
    std::wstring m_strMonIni;

    HMODULE m_hOcrHandle;
    PFN_IsSupportedOCREngine m_pfnIsSupportedOCREngine;
    PFN_IsOCRLangPackInstall m_pfnIsOCRLangPackInstall;
    PFN_IsEnvMultiBytesLang m_pfnIsEnvMultiBytesLang;

    int m_nDownRetryCount;
    int m_nDownRetrySleep;
    int m_nConnectTimeout;
    int m_nSendTimeout;
    int m_nReceiveTimeout;
    int m_nResumeRetryCount;
    int m_nResumeRetrySleep;
    std::wstring m_strCountServerUrl;
    std::wstring m_strAuthHeader;
    std::wstring m_strSoftAuthHeader;
    std::wstring m_strOcrAuthHeader;

    // One download-count entry per fetched package, posted at exit.
    std::vector<std::wstring> m_arrDownloadCountInfo;
    std::wstring m_strRegistUrl;
    std::wstring m_strGuidePath;
    int m_nFromDVD;
    int m_nStartMode;

    // Parsed catalogue and the selection.
    CUpdateInfoList m_catalogueItems;
    CUpdateInfoList m_homeItems;
    int m_osNotSupported;
    CUpdateInfoList m_updateList;
    CUpdateInfoList m_homeOcrList;
    int m_homeInstalled = 0;
    int m_ocrPack2Selected = 0;
    int m_dotNetSpaceMB = 0;  // disk allowance for the missing .NET Frameworks
    // Owner of every list a bundle record's m_subPackages points to.
    std::vector<std::unique_ptr<CSoftMultiList>> m_bundleLists;

private:
    // Start-up steps; each returns FALSE when it ended the sequence (its box and log lines done).
    BOOL RunStartUpSequence();
    void SelectResourceModule();
    void CreateDialogFonts();
    BOOL CheckServicePack();
    void DecideDotNetGeneration();
    void CheckStartMode();
    void RegisterPageWindowClass();
    void SetHelpFilePath();
    BOOL LoadOcrSupportLibrary();
    BOOL PrepareDownloadFolder();
    BOOL SelectUpdates();
    void DownloadSavedState();
    void ShowRegionNotice();
    BOOL CheckSpaceForWizard();
    void RunWizard();
    BOOL FinishWizard();
    BOOL DownloadCatalogue(const std::wstring& url);
    BOOL FinishInitInstance(BOOL result);
    void DeletePages();
    BOOL RunFamilyTools();
    void RunFirmwareUpdateTool(const std::wstring& managerFolder);
    BOOL LaunchFollowUpTool(const std::wstring& program, const std::wstring& parameters, BOOL wait,
                            BOOL checkExitCode);
    void StartUpdaterAfterTools();
    // Posts every collected download-count entry, each with its retries, and checks each answer.
    void SendDownloadCounts();
    int ReadDownloadCountAnswer(const std::wstring& answerPath);
    void UnloadOcrSupportLibrary();
    BOOL IsAfterRestartRun() const;
};

extern CVTInstApp theApp;
