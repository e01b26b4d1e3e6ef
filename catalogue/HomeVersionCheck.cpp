// The home application's gate: an installed "Veltrona Home" must be recent enough and not running,
// and the user must accept that the two applications lose their cloud link.
#include "app/VTInst.h"
#include "StringIds.h"
#include "catalogue/CatalogueValues.h"
#include "catalogue/InstalledProducts.h"
#include "catalogue/ProcessList.h"
#include "catalogue/ProductIds.h"
#include "support/Log.h"
#include "support/MessageBox.h"
#include "support/TextTests.h"

namespace {

const wchar_t HOME_MAIN_PROGRAM[] = L"ZelVthMain.exe";
const wchar_t CHECK_HOME_VERSION_END[] = L"End  :CVTInstApp::CheckHomeVersion";
const int VERSION3_A_SMALLER = 1;

int ShowHomeBox(UINT textId, UINT style) { return ShowMessageBox(nullptr, IDS_CAPTION, textId, style, nullptr, 0, 0); }

}  // namespace

BOOL CVTInstApp::CheckHomeVersion() {
    LOG_INFO(L"Start:CVTInstApp::CheckHomeVersion");
    const std::wstring installed = ReadInstalledVersion(PRODUCT_HOME);
    if (installed.empty()) {
        LOG_INFO(CHECK_HOME_VERSION_END);
        return TRUE;
    }
    if (!IsVersion4(installed) ||
        CompareVersion3(installed, m_updateCommonInfo.HomeIfVersion) == VERSION3_A_SMALLER) {
        ShowHomeBox(IDS_HOME_TOO_OLD, MB_ICONERROR);
        LOG_ERROR(L"Error:CVTInstApp::CheckHomeVersion: Old Home is installed.");
        LOG_INFO(CHECK_HOME_VERSION_END);
        return FALSE;
    }
    m_homeInstalled = 1;
    if (IsProcessRunning(HOME_MAIN_PROGRAM)) {
        ShowHomeBox(IDS_HOME_RUNNING, MB_ICONERROR);
        LOG_ERROR(L"Error:CVTInstApp::CheckHomeVersion: ZelVthMain.exe is running.");
        LOG_INFO(CHECK_HOME_VERSION_END);
        return FALSE;
    }
    // Anything but an explicit Yes (a box that could not be shown included) stops the installer.
    const BOOL proceed = ShowHomeBox(IDS_HOME_CLOUD_CONFIRM, MB_YESNO | MB_ICONINFORMATION) == IDYES;
    LOG_INFO(CHECK_HOME_VERSION_END);
    return proceed;
}
