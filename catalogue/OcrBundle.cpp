// Bundles the due home OCR packs into the "Veltrona OCR LangPack2" record, so that they are
// downloaded, shown and installed as one unit with it.
#include <algorithm>

#include "app/VTInst.h"
#include "catalogue/CatalogueValues.h"
#include "catalogue/ProductIds.h"

namespace {

_SoftMulti MakeBundleEntry(const CUpdateInfo& record) {
    _SoftMulti entry;
    entry.m_id = record.m_id;
    entry.m_version = record.m_version;
    entry.m_size = record.m_size;
    entry.m_moduleUrl = record.m_moduleUrl;
    entry.m_issUrl = record.m_issUrl;
    entry.m_packageFile = record.m_packageFile;
    entry.m_logFile = record.m_logFile;
    entry.m_installOk = record.m_installOk;
    entry.m_issFile = record.m_issFile;
    return entry;
}

}  // namespace

void CVTInstApp::BundleHomeOcrPacks() {
    if (m_homeOcrList.empty() || m_updateList.empty()) return;
    auto bundle = std::make_unique<CSoftMultiList>();
    int count = 0;
    int64_t totalSize = 0;
    int64_t totalInstallSize = 0;
    for (CUpdateInfo& record : m_updateList) {
        if (record.m_id != PRODUCT_OCR_LANGPACK2) continue;
        bundle->push_back(MakeBundleEntry(record));
        totalSize += record.m_size;
        totalInstallSize += record.m_installSize;
        ++count;
        for (const CUpdateInfo& homePack : m_homeOcrList) {
            bundle->push_back(MakeBundleEntry(homePack));
            totalSize += homePack.m_size;
            totalInstallSize += homePack.m_installSize;
            ++count;
        }
        record.m_packageCount = count;
        record.m_size = totalSize;
        record.m_installSize = totalInstallSize;
        // A list this record pointed to before is replaced; only lists made here are ours to free.
        CSoftMultiList* previous = record.m_subPackages;
        record.m_subPackages = bundle.get();
        if (previous && previous != bundle.get()) {
            m_bundleLists.erase(std::remove_if(m_bundleLists.begin(), m_bundleLists.end(),
                                               [previous](const std::unique_ptr<CSoftMultiList>& owned) {
                                                   return owned.get() == previous;
                                               }),
                                m_bundleLists.end());
        }
        record.m_displaySize = SizeToTenths(totalSize);
    }
    if (count > 0) m_bundleLists.push_back(std::move(bundle));
}

void CVTInstApp::ReleaseBundleLists() {
    for (CUpdateInfo& record : m_updateList) {
        const bool owned = std::any_of(m_bundleLists.begin(), m_bundleLists.end(),
                                       [&record](const std::unique_ptr<CSoftMultiList>& list) {
                                           return list.get() == record.m_subPackages;
                                       });
        if (owned) record.m_subPackages = nullptr;
    }
    m_bundleLists.clear();
}
