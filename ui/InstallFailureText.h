// The explanation of a package that failed to install, built from the package's own setup log or
// result file: which text the install page shows and with what.
#pragma once
#include <windows.h>

#include <string>

#include "catalogue/UpdateInfo.h"

struct InstallFailureText {
    // IDS_INSTALL_FAILED ("Failed to install %s." with head as the title) or
    // IDS_INSTALL_FAILED_DETAIL (head, then detail).
    UINT textId = 0;
    std::wstring head;
    std::wstring detail;
    // The setup's error code as logged (translated where the table says so); only for installer
    // failures, not for response files that could not be used.
    bool codeLooked = false;
    std::wstring code;
};

// The response file of package o of the record could not be pointed at the destination.
InstallFailureText DescribeResponseFileFailure(const CUpdateInfo& record, int o);

// The installer of package o of the record failed; tempFolder ends with a separator.
InstallFailureText DescribeInstallerFailure(const CUpdateInfo& record, int o, const std::wstring& tempFolder);

// The result code table of the response-file driven setups: the code as reported (Err_300NN for
// the numbered errors) and the detail text it calls for ("" when the generic text applies).
void TranslateResultCode(std::wstring& result, std::wstring& detail, const std::wstring& installedPath);
