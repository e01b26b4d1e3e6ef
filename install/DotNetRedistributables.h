// The .NET Framework redistributables, run from the installer's own folder around the package
// installation. Both steps run on the main thread inside a page and block it until they end.
#pragma once
#include <windows.h>

// After all downloads, before any package is installed (the download page). Installs what the
// start-up found missing: 3.5 SP1 on Windows versions 5.1, 6.0 and 6.1, and 4 or 4.5 on every
// version. TRUE when the wizard may go on to the install page. When a redistributable fails or is
// missing it tells the user (the box owned by page), hides page, marks the wizard cancelled and posts
// the close message to topPage; the result is then FALSE and the page has nothing more to do.
BOOL InstallDotNetBeforePackages(HWND page, HWND topPage);

// After all packages are installed (the install page): 3.5 SP1 on the versions the step before
// left out. Its outcome does not stop anything.
void InstallDotNetAfterPackages();
