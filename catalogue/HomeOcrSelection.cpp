// The home application's OCR packs that ride with a selected "Veltrona OCR LangPack2".
#include "app/VTInst.h"
#include "catalogue/InstalledProducts.h"
#include "catalogue/ItemCompleteness.h"
#include "catalogue/ProductIds.h"
#include "support/Log.h"

namespace {

bool IsBundledHomePack(const std::wstring& id) {
    return id == PRODUCT_HOME_OCR_LANGPACK2 || id == PRODUCT_HOME_OCR_LANGPACK3;
}

}  // namespace

void CVTInstApp::GetNeedHomeOCRList(int64_t now) {
    LOG_INFO(L"Start:CVTInstApp::GetNeedHomeOCRList");
    if (m_homeInstalled) {
        for (CUpdateInfo& entry : m_homeItems) {
            CUpdateInfo item = entry;
            if (CheckItemEmpty(item)) continue;
            if (!m_strOSVersion.empty() && item.m_exclude.find(m_strOSVersion) != std::wstring::npos) continue;
            if (now > item.m_delDate || !IsBundledHomePack(item.m_id)) continue;
            if (!ReadInstalledVersion(item.m_id).empty() || !m_ocrPack2Selected) continue;
            m_homeOcrList.push_back(item);
            entry.Reset();
        }
    }
    LOG_INFO(L"End  :CVTInstApp::GetNeedHomeOCRList");
}
