#include "download/ProxyAuthentication.h"

#include <memory>

#include "framework/InternetException.h"
#include "ui/NotifyDlg.h"

namespace {

const DWORD kCredentialDialogFlags = FLAGS_ERROR_UI_FLAGS_GENERATE_DATA | FLAGS_ERROR_UI_FLAGS_CHANGE_OPTIONS;
// Every WinINet error in the 12000 range shares a bit with this mask.
const DWORD kRetryableSendErrors = 0x3380;

}  // namespace

BOOL AskForProxyCredentials(fw::CHttpFile& request, HWND owner) {
    auto notice = std::make_unique<CNotifyDlg>();
    if (notice->Create(owner)) ShowWindow(notice->GetSafeHwnd(), SW_SHOW);
    const DWORD answer = request.ErrorDlg(owner, ERROR_INTERNET_INCORRECT_PASSWORD, kCredentialDialogFlags, nullptr);
    notice->DestroyWindow();
    notice.reset();
    return answer == ERROR_INTERNET_FORCE_RETRY;
}

DWORD ResendWithCredentials(CHttpExchange& exchange, const std::function<void()>& send, bool guardFirstSend) {
    if (guardFirstSend) {
        try {
            send();
        } catch (const fw::CInternetException& failure) {
            if (failure.m_dwError & kRetryableSendErrors) {
                exchange.AddSecurityFlags(kIgnoreAllCertificateProblems);
                send();
            }
        }
    } else {
        send();
    }
    DWORD status = exchange.QueryStatus();
    if (status == HTTP_STATUS_BAD_REQUEST) {
        send();
        status = exchange.QueryStatus();
    }
    return status;
}
