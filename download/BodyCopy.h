// Copies an answer body into an open local file, one small block at a time.
#pragma once
#include "framework/File.h"
#include "framework/StdioFile.h"
#include "framework/HttpFile.h"

// Throws fw::CInternetException (read) or fw::CFileException (write); the file stays open.
void CopyBodyToFile(fw::CHttpFile& request, fw::CStdioFile& file);

// Create or truncate, write only, others may read: the target of every whole-file download.
const UINT kDownloadTargetOpenFlags =
    fw::CFile::modeCreate | fw::CFile::modeWrite | fw::CFile::shareDenyWrite | fw::CFile::typeBinary;
