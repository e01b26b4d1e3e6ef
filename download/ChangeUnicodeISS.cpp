// UTF-16 response files (the online-update tool and the home OCR packs): the "szDir=" lines are
// rewritten into a temporary copy, which replaces the file only once it is complete.
#include <windows.h>

#include <cstdio>
#include <string>

#include "download/HttpDownload.h"
#include "download/HttpDownloadLog.h"
#include "framework/StringFormat.h"

namespace {

const int FILE_ATTEMPTS = 5;
const DWORD ATTEMPT_PAUSE_MS = 500;

std::wstring LastErrorSuffix() { return fw::Format(L", LastError: %08x", GetLastError()); }

// Whole lines without their end; FALSE at the end of the file.
bool ReadLine(FILE* file, std::wstring& line) {
    line.clear();
    wchar_t buffer[512];
    while (fgetws(buffer, 512, file)) {
        line += buffer;
        if (!line.empty() && line.back() == L'\n') {
            line.pop_back();
            return true;
        }
    }
    return !line.empty();
}

template <typename Operation>
bool TryRepeatedly(Operation operation) {
    for (int attempt = 1; attempt <= FILE_ATTEMPTS; ++attempt) {
        if (operation()) return true;
        if (attempt < FILE_ATTEMPTS) Sleep(ATTEMPT_PAUSE_MS);
    }
    return false;
}

// Copies the lines of source into target, each "szDir=" line pointed at folder. FALSE on a read
// or write error, with errorCode set.
bool RewriteLines(FILE* source, FILE* target, const std::wstring& folder, int& errorCode) {
    const std::wstring newLine = fw::Format(L"szDir=%s", folder.c_str());
    std::wstring line;
    while (ReadLine(source, line)) {
        const std::wstring& written = line.find(L"szDir=") != std::wstring::npos ? newLine : line;
        if (fputws(written.c_str(), target) < 0 || fputws(L"\n", target) < 0) {
            errorCode = errno;
            return false;
        }
    }
    if (ferror(source) || fflush(target) != 0) {
        errorCode = errno;
        return false;
    }
    return true;
}

void LogOpenFailure(const std::wstring& path) {
    HTTPDL_ERROR((L"Error:CHttpDownLoad::ChangeUnicodeISS: iss file fopen failed.path is:" + path).c_str());
}

}  // namespace

int CHttpDownLoad::ChangeUnicodeISS(const std::wstring& responseFile, const std::wstring& folder) {
    const std::wstring temporary = responseFile + L".tmp";
    if (!CopyFileW(responseFile.c_str(), temporary.c_str(), FALSE)) {
        HTTPDL_ERROR((L"Error:CHttpDownLoad::ChangeUnicodeISS: old ISS file copy failed:" + responseFile +
                      LastErrorSuffix()).c_str());
        return 0;
    }
    // Wide paths: any folder name the user chose can be opened.
    FILE* source = _wfopen(responseFile.c_str(), L"r, ccs=UNICODE");
    if (!source) {
        LogOpenFailure(responseFile);
        HTTPDL_ERROR((L"Error:CHttpDownLoad::ChangeUnicodeISS: open iss file failed.ISS:" + responseFile).c_str());
        return 0;
    }
    // Written afresh: a byte-order mark, then exactly the lines below.
    FILE* target = _wfopen(temporary.c_str(), L"w, ccs=UNICODE");
    if (!target) {
        const std::wstring suffix = LastErrorSuffix();
        LogOpenFailure(temporary);
        HTTPDL_ERROR((L"Error:CHttpDownLoad::ChangeUnicodeISS: open new iss file failed.ISS:" + temporary + suffix)
                         .c_str());
        fclose(source);
        return 0;
    }
    int errorCode = 0;
    const bool rewritten = RewriteLines(source, target, folder, errorCode);
    fclose(source);
    fclose(target);
    if (!rewritten) {
        HTTPDL_ERROR((L"Error:CHttpDownLoad::ChangeUnicodeISS: install is failed.Iss file write failed,ISS:" +
                      responseFile + fw::Format(L", LastError: %d", errorCode)).c_str());
        return 0;
    }

    if (!TryRepeatedly([&] { return DeleteFileW(responseFile.c_str()) != FALSE; })) {
        HTTPDL_ERROR((L"Error:CHttpDownLoad::ChangeUnicodeISS: delete file failed :" + responseFile + LastErrorSuffix())
                         .c_str());
    }
    if (!TryRepeatedly([&] { return CopyFileW(temporary.c_str(), responseFile.c_str(), FALSE) != FALSE; })) {
        HTTPDL_ERROR((L"Error:CHttpDownLoad::ChangeUnicodeISS: new iss file copy failed :" + temporary +
                      LastErrorSuffix()).c_str());
        return 0;
    }
    DeleteFileW(temporary.c_str());
    return 1;
}
