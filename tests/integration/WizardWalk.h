// Walks the real program's wizard forward as a user does: the folder page as it stands, the license
// accepted once its text is loaded, the review page's Next. Shared by the tests that drive it.
#pragma once
#include "tests/integration/InstallerRun.h"
#include "tests/support/PageDriver.h"

namespace vttest {

// Control ids of the pages.
enum : int {
    FOLDER_NEXT = 1023, FOLDER_CANCEL = 1024, FOLDER_BACK = 1025, FOLDER_BROWSE = 1027, FOLDER_PATH = 1028,
    LICENSE_PRINT = 5, LICENSE_ACCEPT = 1010, LICENSE_DECLINE = 1011, LICENSE_NEXT = 1013, LICENSE_BACK = 1014,
    LICENSE_TEXT = 1017,
    REVIEW_SETTINGS = 1045, REVIEW_BACK = 1046, REVIEW_NEXT = 1047, REVIEW_CANCEL = 1048,
    DOWNLOAD_LIST = 1005, DOWNLOAD_STATUS = 1007,
    INSTALL_STATUS = 1018,
    COMPLETED_BUTTON = 1016,
};

// The pages of a new install, in order.
enum WizardStage { FOLDER, LICENSE, REVIEW, DOWNLOAD };

// From the folder page forward to the page of the stage, which is returned (null window when the
// program did not get there).
PageInfo WalkTo(InstallerRun& run, WizardStage stage);

}  // namespace vttest
