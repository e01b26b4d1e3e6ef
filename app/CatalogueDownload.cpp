// Start-up: the catalogue named in the configuration, fetched into the download folder. Without
// it nothing can be selected, so a failed download ends the run.
#include "StringIds.h"
#include "app/VTInst.h"
#include "download/HttpDownload.h"
#include "support/Log.h"
#include "support/MessageBox.h"

BOOL CVTInstApp::DownloadCatalogue(const std::wstring& url) {
    std::wstring localPath;
    // Index -1 keeps the server's file name; no window exists yet to own a proxy dialog.
    if (CHttpDownLoad::DownloadFile(localPath, -1, m_strSavePath, url, nullptr) != DL_SUCCESS) {
        ShowMessageBox(nullptr, IDS_CAPTION, IDS_DOWNLOAD_FAILED, MB_ICONERROR, OpenHelpContext, 0, 0);
        LOG_ERROR(L"Error:CVTInstApp::InitInstance: Failed to download the file.");
        LOG_INFO(L"End  :CVTInstApp::InitInstance");
        return FALSE;
    }
    m_strXmlFile = localPath;
    return TRUE;
}
