// Prints how many WriteLog entries per second the log takes: on a fresh log, and on a log that
// already holds a full history of 10,000 entries (every entry rewrites the whole file).
#include <windows.h>

#include <cstdio>
#include <string>

#include "support/Log.h"

namespace {

std::wstring MakeBenchFolder() {
    wchar_t base[MAX_PATH];
    GetTempPathW(MAX_PATH, base);
    std::wstring folder = std::wstring(base) + L"vtinst-logbench-" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(folder.c_str(), nullptr);
    SetEnvironmentVariableW(L"TMP", folder.c_str());
    SetEnvironmentVariableW(L"TEMP", folder.c_str());
    return folder;
}

double EntriesPerSecond(int entries) {
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    for (int i = 0; i < entries; ++i)
        WriteLog(L"", L"LogBench.cpp", i, 0, L"Start:CHttpDownLoad::DownloadFile benchmark entry of typical length", 3, -1);
    QueryPerformanceCounter(&end);
    double seconds = double(end.QuadPart - start.QuadPart) / double(frequency.QuadPart);
    return entries / seconds;
}

// A log as 10,000 entries leave it, written in one go rather than through 100,000 profile writes.
void WriteFullHistory(const std::wstring& logPath) {
    FILE* file = _wfopen(logPath.c_str(), L"wb");
    if (!file) return;
    fprintf(file, "[LOG]\r\nPATH=C:\\VTInst\\VTInst.exe\r\nTIME=2026/12/10 10:00:00\r\nMODULE=\r\nSOURCE=LogBench.cpp\r\n"
                  "LINE=1L\r\nERRNO=0\r\nERRSTR=x\r\nCNT=10000\r\nHIST=L10000\r\n[HIST]\r\n");
    for (int i = 1; i <= 10000; ++i)
        fprintf(file, "L%02d=#2026/12/10 10:00:00|INFO||LogBench.cpp|%dL|0|Start:CHttpDownLoad::DownloadFile "
                      "benchmark entry of typical length#\r\n", i, i);
    fclose(file);
}

}  // namespace

int main() {
    std::wstring folder = MakeBenchFolder();
    std::wstring logPath = folder + L"\\VtDownLoadInst.log";

    DeleteFileW(logPath.c_str());
    double fresh = EntriesPerSecond(200);

    WriteFullHistory(logPath);
    WIN32_FILE_ATTRIBUTE_DATA attributes = {};
    GetFileAttributesExW(logPath.c_str(), GetFileExInfoStandard, &attributes);
    double full = EntriesPerSecond(30);

    printf("WriteLog on a fresh log:                    %8.1f entries/s (200 entries)\n", fresh);
    printf("WriteLog on a log of 10,000 history entries: %8.1f entries/s (30 entries, file %lu KB)\n", full,
           attributes.nFileSizeLow / 1024);

    DeleteFileW(logPath.c_str());
    RemoveDirectoryW(folder.c_str());
    return 0;
}
