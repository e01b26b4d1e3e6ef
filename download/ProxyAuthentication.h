// The interactive step for a proxy that answers 407: a notice window explains the system's
// credential dialog while it is open; with credentials given, the request is sent again.
#pragma once
#include <windows.h>

#include <functional>

#include "download/HttpExchange.h"

// TRUE when the user gave credentials (the dialog asked for the request to be sent again).
// owner may be null: the dialog is then owned by the desktop window.
BOOL AskForProxyCredentials(fw::CHttpFile& request, HWND owner);

// Sends the request again with send and returns the status; a 400 (some proxies answer the first
// authenticated request so) gets one more send. guardFirstSend (the report post): a WinINet
// failure of the first send is answered by ignoring every certificate problem and sending once
// more, instead of ending the operation.
DWORD ResendWithCredentials(CHttpExchange& exchange, const std::function<void()>& send, bool guardFirstSend);
