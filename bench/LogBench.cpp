// Prints how many WriteLog entries per second the log takes: on a fresh log, and on a log that
// already holds a full history of 10,000 entries (every entry rewrites the whole file once), against
// the ten profile writes per entry the file format was made with.
#include <windows.h>

#include <cstdio>
#include <string>

#include "support/Log.h"
#include "support/LogWriter.h"

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

const wchar_t kMessage[] = L"Start:CHttpDownLoad::DownloadFile benchmark entry of typical length";

double EntriesPerSecond(int entries) {
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    for (int i = 0; i < entries; ++i) WriteLog(L"", L"LogBench.cpp", i, 0, kMessage, 3, -1);
    QueryPerformanceCounter(&end);
    double seconds = double(end.QuadPart - start.QuadPart) / double(frequency.QuadPart);
    return entries / seconds;
}

// The same entries through the ten profile writes each.
double ProfileEntriesPerSecond(const std::wstring& logPath, int entries) {
    LogEntryFields entry{L"C:\\VTInst\\VTInst.exe", L"2026/12/10 10:00:00", L"", L"LogBench.cpp", L"1L", L"0", kMessage,
                         std::wstring(L"#2026/12/10 10:00:00|INFO||LogBench.cpp|1L|0|") + kMessage + L"#"};
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    for (int i = 0; i < entries; ++i) WriteLogEntryWithProfileFunctions(logPath, entry);
    QueryPerformanceCounter(&end);
    return entries / (double(end.QuadPart - start.QuadPart) / double(frequency.QuadPart));
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
    double full = EntriesPerSecond(300);
    WriteFullHistory(logPath);
    double profileFull = ProfileEntriesPerSecond(logPath, 20);

    printf("WriteLog on a fresh log:                    %8.1f entries/s (200 entries)\n", fresh);
    printf("WriteLog on a log of 10,000 history entries: %8.1f entries/s (300 entries, file %lu KB)\n", full,
           attributes.nFileSizeLow / 1024);
    printf("ten profile writes per entry, same log:      %8.1f entries/s (20 entries): one rewrite is %.0fx faster\n",
           profileFull, full / profileFull);
    printf("full_log_ms_per_entry=%.3f\n", 1000.0 / full);

    DeleteFileW(logPath.c_str());
    RemoveDirectoryW(folder.c_str());
    return 0;
}
