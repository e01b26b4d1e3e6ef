// Resource ids of the program (string ids are in StringIds.h).
#pragma once

#define IDI_APP 128

// Proxy authentication notice.
#define IDD_NOTIFY 137
#define IDC_NOTIFY_CONNECTING 1019
