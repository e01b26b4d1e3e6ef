// The download engine: every exchange with a web server. It keeps no state between calls; each
// operation opens and closes its own session, connection, request and local file, catches every
// failure and answers with a result code of DownloadResult.h.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

#include "download/DownloadResult.h"

class CDownloadDlg;

class CHttpDownLoad {
public:
    // A small file fetched whole into folder (which ends with a backslash). index names the local
    // file (see RenameDownFile); owner owns the proxy credential dialog and may be null.
    // resultPath receives the local path as soon as it is known. Returns 0, 1 or 3.
    static int DownloadFile(std::wstring& resultPath, int index, const std::wstring& folder, const std::wstring& url,
                            HWND owner);

    // A package's response file for item itemIndex of the page's download list (subPackage: its
    // position in a bundle, else 0). The page owns the proxy credential dialog. Returns 0, 1, 3 or 8.
    static int DownloadISSFile(std::wstring& resultPath, int subPackage, const std::wstring& folder,
                               const std::wstring& url, int itemIndex, CDownloadDlg* page);

    // A package's first attempt for item itemIndex of the page's list (subPackage: its position in a
    // bundle, else 0) into folder. resultPath receives the local path once it is known; the file
    // stays on disk after a failure. Returns 0, 1, 2 (no room), 3, 6 (size differs) or 8.
    static int DownloadBigFile(int itemIndex, int subPackage, const std::wstring& folder, const std::wstring& url,
                               std::wstring& resultPath, CDownloadDlg* page);
    // Continues the partial file from its length with a range request. Returns 0, 1, 3, 6 or 8.
    static int RetryDownBigFile(int64_t expectedSize, int itemIndex, const std::wstring& partialPath,
                                const std::wstring& url, int subPackage, CDownloadDlg* page);
    // The download page's worker (parameter: the page). Returns 1 when every package of the page's list
    // was fetched, 0 when it stopped at a failure.
    static UINT __cdecl DownloadThread(void* page);
    // The install page's worker (parameter: the page): installs the page's list in install order,
    // one package after the other, and reports to the page. Returns 1.
    static UINT __cdecl InstallThread(void* page);
    // Points every "szDir=" line of a UTF-16 response file at folder, through a temporary copy that
    // replaces the file once it is complete. 1 when the file holds the new folder, else 0.
    static int ChangeUnicodeISS(const std::wstring& responseFile, const std::wstring& folder);

    // 1 when the drive ("C:") has room for the bytes (required equal to free is not enough), else 0.
    static int CheckDiskSpace(uint32_t requiredBytes, const std::wstring& drive);

    // Appends the download-count entry of a fetched package to the application's list (nothing for
    // a product the service does not know). serialNumber empty: the entry without SN and SN2.
    static void GetDownloadCountInfo(const std::wstring& id, const std::wstring& version,
                                     const std::wstring& serialDigest, const std::wstring& serialNumber,
                                     const std::wstring& url);

    // Posts the form-encoded parameters to the download-count server and stores its answer in
    // answerPath. Returns 0, 1, 3 or 7.
    static int SendMsgToInternetDetail(const std::wstring& parameters, const std::wstring& answerPath);

    // The local path of a download: folder + fileName for an index below 0, else the name with
    // "_NN" (index + 1) before its last extension. FALSE when the result would not fit a path.
    static BOOL RenameDownFile(int index, std::wstring& resultPath, const std::wstring& folder,
                               const std::wstring& fileName);
};
