// String-table ids. Each group lists the texts one subsystem shows or formats.
#pragma once

// Start-up: message-box captions, dialog font faces, refusals before anything is downloaded.
#define IDS_CAPTION 2
#define IDS_CAPTION_ALT 3
#define IDS_FONT_FACE_XP 4
#define IDS_FONT_FACE 5
#define IDS_NO_PRIVILEGES 1015
#define IDS_INTERNAL_ERROR 1018
#define IDS_ANTIVIRUS_NOTICE 1029
#define IDS_NEED_XP_SP3 1060
#define IDS_NEED_VISTA_SP2 1061
#define IDS_RESTART_PENDING 1074

// Catalogue and update selection: unreadable catalogue, unsupported Windows, home-edition checks, disk space.
#define IDS_DISK_SPACE 1014
#define IDS_CANNOT_ANALYSE_FILE 1017
#define IDS_OS_NOT_SUPPORTED 1055
#define IDS_HOME_CLOUD_CONFIRM 1076
#define IDS_HOME_TOO_OLD 1077
#define IDS_HOME_RUNNING 1078

// Follow-up tools: shown when one of the family's setup tools failed after the installation.
#define IDS_START_MANAGER_FROM_MENU 1079

// Downloads: results reported by the catalogue, license and package downloads.
#define IDS_CONNECT_FAILED 1007
#define IDS_DOWNLOAD_FAILED 1013
#define IDS_COMMUNICATION_RETRY 1075

// Download page: list rows and the overall status line.
#define IDS_DOWNLOAD_ROW 139
#define IDS_DOWNLOAD_ROW_ACTIVE 140
#define IDS_DOWNLOAD_ROW_DONE 141
#define IDS_DOWNLOAD_STATUS 144

// Install thread: Start-menu shortcut of the Basic Operation Guide.
#define IDS_MANUALS_MENU_FOLDER 1080
#define IDS_BASIC_GUIDE_SHORTCUT 1081

// Install page: progress line and the explanation of a failed package.
#define IDS_INSTALL_PROGRESS 145
#define IDS_INSTALL_FAILED 1021
#define IDS_INSTALL_ERROR_CODE 1082
#define IDS_INSTALL_FAILED_DETAIL 1083
#define IDS_INSTALL_INCOMPLETE_DOWNLOAD 1084
#define IDS_INSTALL_LOW_MEMORY 1085
#define IDS_INSTALL_ACCESS_ERROR 1086
#define IDS_RESPONSE_FILE_UNUSABLE 1087

// .NET Framework prerequisites: framework names, start-up notice, interrupted redistributables.
#define IDS_DOTNET35_NAME 157
#define IDS_DOTNET40_NAME 158
#define IDS_DOTNET45_NAME 159
#define IDS_DOTNET35_NOTICE 1030
#define IDS_DOTNET35_INTERRUPTED 1056
#define IDS_DOTNET_NOTICE_ONE 1070
#define IDS_DOTNET_NOTICE_TWO 1071
#define IDS_DOTNET_WINDOWS_UPDATE 1072
#define IDS_DOTNET_INTERRUPTED 1073

// Wizard pages: cancel question, destination folder page.
#define IDS_CANCEL_CONFIRM 1006
#define IDS_BROWSE_FOLDER_TITLE 1027
#define IDS_FOLDER_NOT_WRITABLE 1031

// Contents review page: lines of the settings summary.
#define IDS_REVIEW_INTRO 150
#define IDS_REVIEW_PRODUCT 151
#define IDS_REVIEW_INSTALL_FOLDER 152
#define IDS_REVIEW_INSTALL_SIZE 153
#define IDS_REVIEW_MB 154
#define IDS_REVIEW_APPLICATIONS 155
#define IDS_REVIEW_OTHER 156

// Size display: the unit appended to a size text.
#define IDS_SIZE_MB 133
