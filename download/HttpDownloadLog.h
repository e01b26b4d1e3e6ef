// Log lines of the download engine. All its source files log under the engine's one source name,
// so the log reads the same however the engine is split into files.
#pragma once
#include "support/Log.h"

#define HTTPDL_LOG(level, errorNumber, message) \
    WriteLog(L"", L"HttpDownload.cpp", __LINE__, (errorNumber), (message), (level), -1)
#define HTTPDL_INFO(message) HTTPDL_LOG(LOG_LEVEL_INFO, 0, (message))
#define HTTPDL_ERROR(message) HTTPDL_LOG(LOG_LEVEL_ERROR, -1, (message))
