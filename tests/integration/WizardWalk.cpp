#include "tests/integration/WizardWalk.h"

#include <gtest/gtest.h>

namespace vttest {

PageInfo WalkTo(InstallerRun& run, WizardStage stage) {
    PageInfo page;
    EXPECT_TRUE(run.WaitForPage(FOLDER_PATH, page));
    if (stage == FOLDER) return page;
    EXPECT_TRUE(ClickControl(page.window, FOLDER_NEXT));
    EXPECT_TRUE(run.WaitForPage(LICENSE_ACCEPT, page));
    EXPECT_TRUE(WaitForControlEnabled(page.window, LICENSE_ACCEPT, true, 30000));
    if (stage == LICENSE) return page;
    EXPECT_TRUE(ClickControl(page.window, LICENSE_ACCEPT));
    EXPECT_TRUE(WaitForControlEnabled(page.window, LICENSE_NEXT, true, 5000));
    EXPECT_TRUE(ClickControl(page.window, LICENSE_NEXT));
    EXPECT_TRUE(run.WaitForPage(REVIEW_SETTINGS, page));
    if (stage == REVIEW) return page;
    EXPECT_TRUE(ClickControl(page.window, REVIEW_NEXT));
    EXPECT_TRUE(run.WaitForPage(DOWNLOAD_LIST, page));
    return page;
}

}  // namespace vttest
