#include "support/FileOps.h"

#include <windows.h>

#include <cwctype>

#include "support/Log.h"

namespace {

const int REMOVE_ATTEMPTS = 5;
const DWORD REMOVE_PAUSE_MS = 500;

bool IsNotFound(DWORD error) { return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND; }

// A virus scanner or the setup just run may still hold the folder; each attempt waits first.
bool RemoveDirectoryWithRetry(const std::wstring& folder) {
    for (int attempt = 0; attempt < REMOVE_ATTEMPTS; ++attempt) {
        Sleep(REMOVE_PAUSE_MS);
        if (RemoveDirectoryW(folder.c_str())) return true;
    }
    return false;
}

const wchar_t FILE_NOT_DELETED[] = L"Warning:CVTInstApp::DeleteDirectoryEx: file is not deleted.path:";
const wchar_t FOLDER_NOT_DELETED[] = L"Warning:CVTInstApp::DeleteDirectoryEx: fold is not deleted.path:";

// Logs the failed removal with the error of the last attempt and leaves the path to the restart.
void ReportAndSchedule(const wchar_t* warning, const std::wstring& path) {
    const int error = static_cast<int>(GetLastError());
    LOG_WARNING(error, (warning + path).c_str());
    MoveFileExW(path.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
}

bool IsDotEntry(const wchar_t* name) { return wcscmp(name, L".") == 0 || wcscmp(name, L"..") == 0; }

void DeleteEntry(const std::wstring& path, const WIN32_FIND_DATAW& entry) {
    if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        // A linked folder (junction or symbolic link) belongs elsewhere: remove the link, never
        // what it points to.
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
            if (!RemoveDirectoryWithRetry(path)) ReportAndSchedule(FOLDER_NOT_DELETED, path);
            return;
        }
        DeleteDirectoryEx(path);
        return;
    }
    if (!DeleteFileWithRetry(path)) ReportAndSchedule(FILE_NOT_DELETED, path);
}

}  // namespace

bool IsFolderBelowRoot(const std::wstring& folder) {
    std::wstring path = folder;
    while (!path.empty() && (path.back() == L'\\' || path.back() == L'/')) path.pop_back();
    for (wchar_t& c : path) {
        if (c == L'/') c = L'\\';
    }
    size_t rootEnd = 0;  // where the first step below the root starts
    if (path.size() >= 3 && iswalpha(path[0]) && path[1] == L':' && path[2] == L'\\') {
        rootEnd = 3;
    } else if (path.compare(0, 2, L"\\\\") == 0 && path.compare(0, 4, L"\\\\?\\") != 0 &&
               path.compare(0, 4, L"\\\\.\\") != 0) {
        const size_t server = path.find(L'\\', 2);
        const size_t share = server == std::wstring::npos ? server : path.find(L'\\', server + 1);
        if (server == 2 || share == std::wstring::npos || share == server + 1) return false;
        rootEnd = share + 1;
    } else {
        return false;
    }
    if (rootEnd >= path.size()) return false;
    for (size_t start = rootEnd; start <= path.size();) {
        size_t end = path.find(L'\\', start);
        if (end == std::wstring::npos) end = path.size();
        const std::wstring step = path.substr(start, end - start);
        if (step.empty() || step == L"." || step == L"..") return false;
        start = end + 1;
    }
    return true;
}

bool FileExists(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return !IsNotFound(GetLastError());
    CloseHandle(file);
    return true;
}

bool DeleteFileWithRetry(const std::wstring& path) {
    for (int attempt = 0; attempt < REMOVE_ATTEMPTS; ++attempt) {
        Sleep(REMOVE_PAUSE_MS);
        if (DeleteFileW(path.c_str())) return true;
    }
    return false;
}

bool DeleteDirectoryEx(const std::wstring& folder) {
    LOG_INFO(L"Start:CVTInstApp::DeleteDirectoryEx");
    // Only a folder: a file given by mistake is neither deleted nor scheduled for deletion.
    const DWORD attributes = GetFileAttributesW(folder.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        LOG_INFO(L"End  :CVTInstApp::DeleteDirectoryEx");
        return false;
    }

    WIN32_FIND_DATAW entry;
    HANDLE search = FindFirstFileW((folder + L"\\*.*").c_str(), &entry);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (!IsDotEntry(entry.cFileName)) DeleteEntry(folder + L"\\" + entry.cFileName, entry);
        } while (FindNextFileW(search, &entry));
        FindClose(search);
    }

    bool removed = RemoveDirectoryWithRetry(folder);
    if (!removed) ReportAndSchedule(FOLDER_NOT_DELETED, folder);
    LOG_INFO(L"End  :CVTInstApp::DeleteDirectoryEx");
    return removed;
}
