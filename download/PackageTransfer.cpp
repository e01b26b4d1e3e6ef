#include "download/PackageTransfer.h"

#include <shlwapi.h>

#include <cstdlib>

#include "catalogue/SoftMulti.h"
#include "download/AuthorizationChoice.h"
#include "ui/DownloadDlg.h"
#include "ui/WizardMessages.h"

namespace {

const DWORD PAUSE_POLL_MS = 1000;

}  // namespace

bool ChooseHeaderForItem(CDownloadDlg* page, int itemIndex, int subPackage, std::wstring& header) {
    const CUpdateInfoList* list = page ? page->GetDownloadList() : nullptr;
    if (list && itemIndex >= 0 && static_cast<size_t>(itemIndex) < list->size())
        return ChoosePackageHeader((*list)[static_cast<size_t>(itemIndex)], subPackage, header);
    return ChoosePackageHeader(CUpdateInfo(), subPackage, header);
}

int64_t ExpectedPackageSize(CDownloadDlg* page, int itemIndex, int subPackage) {
    const CUpdateInfoList* list = page ? page->GetDownloadList() : nullptr;
    if (!list || itemIndex < 0 || static_cast<size_t>(itemIndex) >= list->size()) return 0;
    const CUpdateInfo& item = (*list)[static_cast<size_t>(itemIndex)];
    if (item.m_subPackages && subPackage >= 0 && static_cast<size_t>(subPackage) < item.m_subPackages->size())
        return (*item.m_subPackages)[static_cast<size_t>(subPackage)].m_size;
    return item.m_size;
}

void ReportBlock(CDownloadDlg* page, uint32_t bytesOnDisk, int itemIndex) {
    if (!page) return;
    if (page->m_bPauseDownload == 0) {
        SendMessageW(page->GetSafeHwnd(), WM_DOWNLOAD_PROGRESS, bytesOnDisk, itemIndex);
        return;
    }
    while (page->m_bPauseDownload != 0) Sleep(PAUSE_POLL_MS);
}

void ReportFileDone(CDownloadDlg* page, uint32_t bytesOnDisk, int itemIndex) {
    if (page) SendMessageW(page->GetSafeHwnd(), WM_DOWNLOAD_FILEDONE, bytesOnDisk, itemIndex);
}

std::wstring FreeSpaceLocation(const std::wstring& path) {
    wchar_t drive[_MAX_DRIVE] = {};
    if (path.size() < MAX_PATH) _wsplitpath(path.c_str(), drive, nullptr, nullptr, nullptr);
    if (drive[0]) return drive;
    // A download folder on a share: its root answers for the free space.
    wchar_t root[MAX_PATH] = {};
    if (path.size() < MAX_PATH) wcscpy(root, path.c_str());
    PathStripToRootW(root);
    std::wstring location = root;
    if (!location.empty() && location.back() != L'\\') location += L'\\';
    return location;
}
