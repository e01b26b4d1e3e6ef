// Result codes of every download operation, carried from the engine to the download page.
#pragma once

enum DownloadResult : int {
    DL_SUCCESS = 0,       // the answer body is stored in the local file
    DL_ERR_CONNECT = 1,   // refused or not answered acceptably
    DL_ERR_DISKFULL = 2,  // not enough free space for the package
    DL_ERR_FILE = 3,      // local file trouble, or an unexpected failure
    DL_ERR_SIZE = 6,      // the stored file does not have the expected size
    DL_ERR_NOURL = 7,     // no download-count server configured
    DL_ERR_RETRY = 8,     // transient failure worth retrying
};
