// Installer-wide values from the configuration file and the catalogue.
#pragma once
#include <cstdint>
#include <string>

struct UPDATECOMMONINFO {
    std::wstring SetupType;   // region of the catalogue: "JP", "WW" or "RGNA"
    std::wstring SoftAuth;    // scrambled credentials for package downloads
    std::wstring VTInstUrl;   // address of the server's vtinst.ini
    std::wstring LicenseUrl;
    std::wstring LicenseFile;
    int32_t SelectFolder = 0;  // non-zero: the wizard starts with the destination folder page
    int64_t TotalInstallSize = 0;
    std::wstring ModelName;
    int32_t CallWifiTool = 0;
    int32_t CallPowerAutoOffDlg = 0;
    std::wstring AbbyyVersion;  // OCR engine version handed to the OCR support library
    std::wstring OcrAuth;       // scrambled credentials for the OCR language packs
    std::wstring CallWifiParam;
    int32_t CallWizardConnect = 0;
    std::wstring CallWizardConnectParam;
    int32_t CallWizardConnect2 = 0;
    std::wstring CallWizardConnectParam2;
    int32_t CallVTFolerTray = 0;
    std::wstring CallVTFolerTrayParam;
    int32_t CallPowerAutoOffDlgParam = 0;  // dialog template of the power-off page: 135, 6003 or 6004
    std::wstring HomeIfVersion;
    int32_t CallFirmUpdate = 0;
    std::wstring CallFirmUpdateParam;
};
