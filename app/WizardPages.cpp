// Lifetime of the wizard's page objects, owned by the application object.
#include "app/VTInst.h"

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

void CVTInstApp::DeletePages() {
    DeletePage(m_pInstallDestFolderDlg);
    DeletePage(m_pLicenseDlg);
    DeletePage(m_pDownloadDlg);
    DeletePage(m_pContentConfirmDlg);
    DeletePage(m_pInstallDlg);
    DeletePage(m_pPowerAutoOffDlg);
    DeletePage(m_pRestartConfrimDlg);
}
