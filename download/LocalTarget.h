// Where a downloaded body is stored: the request's file name beside the download folder.
#pragma once
#include <string>

#include "framework/HttpFile.h"

// The longest folder + file name an operation accepts before naming the file; the suffix that
// RenameDownFile may add still fits a path then (for list positions below 100).
const size_t kMaxJoinedDownloadPath = 256;
// The longest path the program handles (a 260-character buffer with its terminator).
const size_t kMaxPathLength = 259;

// Joins folder and the request's file name; FALSE when the result exceeds kMaxJoinedDownloadPath.
bool JoinDownloadPath(const std::wstring& folder, const fw::CHttpFile& request, std::wstring& joined);
