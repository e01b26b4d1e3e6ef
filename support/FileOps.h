// File and folder existence and removal.
#pragma once
#include <string>

// FALSE only when opening the file fails with "file not found" or "path not found".
bool FileExists(const std::wstring& path);

// Up to five attempts, each after a 500 ms pause; TRUE at the first success.
bool DeleteFileWithRetry(const std::wstring& path);

// A folder below the root of a drive ("C:\\x") or of a share ("\\\\server\\share\\x"): never a root
// itself, a relative path or one with "." or ".." steps.
bool IsFolderBelowRoot(const std::wstring& folder);

// Removes the folder with everything in it; what cannot be removed is scheduled for deletion at
// the next restart (and the result is FALSE).
bool DeleteDirectoryEx(const std::wstring& folder);
