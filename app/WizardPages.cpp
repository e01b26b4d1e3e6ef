// The wizard's first page and what follows its end; the page objects, owned by the application
// object.
#include "app/VTInst.h"

#include "support/Log.h"

#include "ui/ContentConfirmDlg.h"
#include "ui/DownloadDlg.h"
#include "ui/InstallDestFolderDlg.h"
#include "ui/InstallDlg.h"
#include "ui/LicenseDlg.h"
#include "ui/PowerAutoOffDlg.h"
#include "ui/RestartConfrimDlg.h"

namespace {
template <typename Page>
void DeletePage(Page*& page) {
    delete page;
    page = nullptr;
}
}  // namespace

// The first page runs modally; every later page is created by the one before it and served by
// this page's loop, which ends when a page posts the close message.
void CVTInstApp::RunWizard() {
    if (m_updateCommonInfo.SelectFolder) {
        m_pInstallDestFolderDlg = new CInstallDestFolderDlg();
        m_pInstallDestFolderDlg->SetDownloadList(&m_updateList);
        m_pInstallDestFolderDlg->DoModal();
    } else {
        m_pLicenseDlg = new CLicenseDlg(nullptr);
        m_pLicenseDlg->SetDownloadList(&m_updateList);
        m_pLicenseDlg->DoModal();
    }
}

// FALSE when the user cancelled (or a page gave up); otherwise the saved state is written for the
// family's other programs.
BOOL CVTInstApp::FinishWizard() {
    if (m_nWizardStatus == 2) {
        LOG_INFO(L"CVTInstApp::InitInstance:User Cancelled");
        return FALSE;
    }
    SaveVTInst();
    CopyVTInst();
    return TRUE;
}

void CVTInstApp::DeletePages() {
    DeletePage(m_pInstallDestFolderDlg);
    DeletePage(m_pLicenseDlg);
    if (m_pDownloadDlg && m_pDownloadDlg->IsDownloadThreadRunning()) {
        // Its paused thread still reads the page until the process ends: only the window goes.
        m_pDownloadDlg->DestroyWindow();
        m_pDownloadDlg = nullptr;
    }
    DeletePage(m_pDownloadDlg);
    DeletePage(m_pContentConfirmDlg);
    DeletePage(m_pInstallDlg);
    DeletePage(m_pPowerAutoOffDlg);
    DeletePage(m_pRestartConfrimDlg);
}
