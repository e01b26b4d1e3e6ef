// Window messages between the worker threads and the pages, and between the pages. Workers send
// (the page handles the message on the main thread while the worker waits); the close message to
// the first page is always posted.
#pragma once
#include <windows.h>

enum : UINT {
    WM_DOWNLOAD_START = WM_USER + 101,
    WM_DOWNLOAD_PROGRESS = WM_USER + 102,
    WM_DOWNLOAD_RESULT = WM_USER + 103,
    WM_DOWNLOAD_FILEDONE = WM_USER + 105,
    WM_DOWNLOAD_FINISH = WM_USER + 106,
    WM_USER_INSTALL_PROGRESS = WM_USER + 107,
    WM_USER_INSTALL_FINISH = WM_USER + 108,
    WM_USER_INSTALL_FAILED = WM_USER + 109,
    WM_USER_FOREGROUND = WM_USER + 112,
    WM_USER_VTINSTALL_CLOSE = WM_USER + 260,  // ends the first page's modal loop
    WM_USER_LICENSE_LOAD = WM_USER + 261,
};
