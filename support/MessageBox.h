// Message boxes from the string table, always brought to the foreground.
#pragma once
#include <windows.h>

// Shows the string-table text textId (formatted printf-style with the values that follow) under the
// caption captionId. Adds MB_SETFOREGROUND, and MB_HELP when helpContextId is not 0. Returns the
// button chosen.
int ShowMessageBox(HWND owner, UINT captionId, UINT textId, UINT style, MSGBOXCALLBACK helpCallback,
                   DWORD helpContextId, int reserved, ...);

// The help callback every caller passes: opens the help context of the application's help file.
void CALLBACK OpenHelpContext(LPHELPINFO helpInfo);
