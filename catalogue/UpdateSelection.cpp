// Chooses from the catalogue what this machine needs: updates of installed products, new installs
// of absent ones, and the OCR language packs that fit the installed engine and applications.
#include "app/VTInst.h"
#include "catalogue/InstalledProducts.h"
#include "catalogue/ItemCompleteness.h"
#include "catalogue/MonitorVersion.h"
#include "catalogue/ProductIds.h"
#include "catalogue/ProductKinds.h"
#include "catalogue/VersionCheck.h"
#include "framework/StringFormat.h"
#include "support/Log.h"

namespace {

// Monitors older than this take any language pack the engine supports.
const wchar_t MONITOR_PACK_AWARE_VERSION[] = L"6.5.40.0";
const int LAST_OCR_LANGPACK = 5;

std::wstring OcrLangPackId(int number) { return PRODUCT_OCR_LANGPACK_PREFIX + std::to_wstring(number); }
std::wstring HomeOcrLangPackId(int number) { return PRODUCT_HOME_OCR_LANGPACK_PREFIX + std::to_wstring(number); }

bool IsOfferedProduct(const std::wstring& id) {
    return id == PRODUCT_MANAGER || id == PRODUCT_ONLINE_UPDATE || OcrLangPackNumber(id) != 0 ||
           IsVeltronaManual(id);
}

bool IsWithdrawnOrExcluded(const CUpdateInfo& item, const std::wstring& osVersion, int64_t now) {
    if (!osVersion.empty() && item.m_exclude.find(osVersion) != std::wstring::npos) return true;
    return now > item.m_delDate;
}

// With the home application, a pack of the main application is offered only beside its home
// counterpart; without it, only the packs already installed (or, when none is, packs 1 and 2).
bool PassesLangPackGate(int pack, bool homeInstalled) {
    if (homeInstalled) {
        if (pack == 2) return IsProductInstalled(HomeOcrLangPackId(2)) || IsProductInstalled(HomeOcrLangPackId(3));
        const int homePack = pack == 1 ? 1 : pack + 1;
        return IsProductInstalled(HomeOcrLangPackId(homePack));
    }
    for (int installed = 1; installed <= LAST_OCR_LANGPACK; ++installed) {
        if (IsProductInstalled(OcrLangPackId(installed))) return IsProductInstalled(OcrLangPackId(pack));
    }
    return pack == 1 || pack == 2;
}

// Every decision is logged, so a log tells why a package was or was not offered.
void LogSelected(const CUpdateInfo& item, const wchar_t* why) {
    LOG_INFO(fw::Format(L"Info :CVTInstApp::GetNeedUpdateList: selected %s %s (%s)", item.m_id.c_str(),
                        item.m_version.c_str(), why)
                 .c_str());
}

void LogSkipped(const CUpdateInfo& item, const wchar_t* why) {
    LOG_INFO(fw::Format(L"Info :CVTInstApp::GetNeedUpdateList: skipped %s %s (%s)", item.m_id.c_str(),
                        item.m_version.c_str(), why)
                 .c_str());
}

// An answer of the OCR support library; a missing export answers no.
bool LibraryAnswersYes(PFN_IsOCRLangPackInstall query) { return query && query() != 0; }

}  // namespace

void CVTInstApp::GetNeedUpdateList(int64_t now) {
    LOG_INFO(L"Start:CVTInstApp::GetNeedUpdateList");
    BOOL managerSelected = FALSE;
    bool newInstallNeedsFolder = false;
    bool monitorOlder = false;
    int64_t total = 0;

    const std::wstring monitorVersion = ReadMonitorVersion();
    if (!monitorVersion.empty()) monitorOlder = CheckVersion(monitorVersion, MONITOR_PACK_AWARE_VERSION) == VERSION_A_OLDER;

    for (CUpdateInfo& entry : m_catalogueItems) {
        CUpdateInfo item = entry;
        if (CheckItemEmpty(item)) continue;
        if (IsWithdrawnOrExcluded(item, m_strOSVersion, now)) {
            LogSkipped(item, L"withdrawn or excluded on this system");
            continue;
        }
        if (!IsOfferedProduct(item.m_id)) {
            LogSkipped(item, L"not a product this installer offers");
            continue;
        }
        const int pack = OcrLangPackNumber(item.m_id);
        if (pack != 0 && !PassesLangPackGate(pack, m_homeInstalled != 0)) {
            LogSkipped(item, L"language pack not wanted beside the installed packs");
            continue;
        }

        const std::wstring installed = ReadInstalledVersion(item.m_id);
        if (!installed.empty()) {
            // An update: only from a supported installed version to a newer catalogue version.
            if (!item.m_targetMinVersion.empty()) {
                const int order = CheckVersion(installed, item.m_targetMinVersion);
                if (order == VERSION_A_OLDER || order == VERSION_INVALID) {
                    LogSkipped(item, (L"installed " + installed + L" is below " + item.m_targetMinVersion).c_str());
                    continue;
                }
            }
            if (CheckVersion(installed, item.m_version) != VERSION_A_OLDER) {
                LogSkipped(item, (L"installed " + installed + L" is not older").c_str());
                continue;
            }
            if (pack != 0 && !CheckOcrEngine(managerSelected, item.m_id)) {
                LogSkipped(item, L"not supported by the OCR engine");
                continue;
            }
            LogSelected(item, (L"update of installed " + installed).c_str());
            item.m_installedPath = ReadInstalledPath(item.m_id);
            item.m_issUrl = item.m_issUgUrl;
            if (item.m_id == PRODUCT_OCR_LANGPACK2) m_ocrPack2Selected = 1;
            m_updateList.push_back(item);
            total += item.m_displaySize;
            entry.Reset();
            if (item.m_id == PRODUCT_MANAGER) managerSelected = TRUE;
            continue;
        }

        if (pack == 0) {
            LogSelected(item, L"new install");
            m_updateList.push_back(item);
            total += item.m_displaySize;
            if (!IsVeltronaManual(item.m_id)) newInstallNeedsFolder = true;
            if (item.m_id == PRODUCT_MANAGER) managerSelected = TRUE;
            entry.Reset();
            continue;
        }

        // A new language pack. Beside a Manager chosen in this run, one is added only when the
        // engine already has a pack or the monitor predates the pack-aware version.
        if (managerSelected && !LibraryAnswersYes(m_pfnIsOCRLangPackInstall) && !monitorOlder) {
            LogSkipped(item, L"new language pack not wanted beside the new Manager");
            continue;
        }
        if (!CheckOcrEngine(managerSelected, item.m_id)) {
            LogSkipped(item, L"not supported by the OCR engine");
            continue;
        }
        bool append = false;
        if (m_homeInstalled) {
            append = true;
            if (pack == 2) m_ocrPack2Selected = 1;
        } else if (monitorOlder) {
            append = true;
        } else {
            // Pack 2 serves the multi-byte languages, pack 1 all others.
            append = LibraryAnswersYes(m_pfnIsEnvMultiBytesLang) ? pack == 2 : pack == 1;
        }
        if (append) {
            LogSelected(item, L"new language pack");
            m_updateList.push_back(item);
            total += item.m_displaySize;
        } else {
            LogSkipped(item, L"language pack for another language group");
        }
        entry.Reset();
    }

    m_updateCommonInfo.TotalInstallSize = total;
    m_updateCommonInfo.SelectFolder = newInstallNeedsFolder ? 1 : 0;
    LOG_INFO(L"End  :CVTInstApp::GetNeedUpdateList");
}
