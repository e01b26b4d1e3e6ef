// Throughput of a whole-file download through the engine, and of a bare WinINet loop reading the
// same URL in the engine's 1024-byte blocks, so the engine's own cost shows apart from the
// platform's per-read cost. Usage: DownloadBench.exe <url> <folder\>
// Prints key=value lines (MB = 1,000,000 bytes) for bench/download-bench.sh.
#include <windows.h>
#include <shellapi.h>
#include <wininet.h>

#include <cstdio>
#include <string>

#include "bench/BenchClock.h"

#include "download/HttpDownload.h"

namespace {

long long FileSize(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return -1;
    return (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

// The platform's floor for this block size: no file, no engine, just the reads.
long long BareReads(const std::wstring& url) {
    long long total = -1;
    HINTERNET session = InternetOpenW(L"DownloadBench", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
    if (!session) return -1;
    HINTERNET request = InternetOpenUrlW(session, url.c_str(), nullptr, 0,
                                         INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE, 0);
    if (request) {
        char block[1024];
        DWORD read = 0;
        total = 0;
        while (InternetReadFile(request, block, sizeof(block), &read) && read > 0) total += read;
        InternetCloseHandle(request);
    }
    InternetCloseHandle(session);
    return total;
}

}  // namespace

int main() {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv || argc < 3) {
        fprintf(stderr, "usage: DownloadBench.exe <url> <folder\\>\n");
        return 2;
    }
    const std::wstring url = argv[1];
    const std::wstring folder = argv[2];
    LocalFree(argv);

    std::wstring stored;
    LARGE_INTEGER start = Now();
    const int result = CHttpDownLoad::DownloadFile(stored, -1, folder, url, nullptr);
    const double engineSeconds = Seconds(start, Now());
    const long long storedBytes = FileSize(stored);
    if (result != DL_SUCCESS || storedBytes <= 0) {
        fprintf(stderr, "DownloadFile failed with %d\n", result);
        return 1;
    }
    DeleteFileW(stored.c_str());

    start = Now();
    const long long bareBytes = BareReads(url);
    const double bareSeconds = Seconds(start, Now());

    printf("bytes=%lld\n", storedBytes);
    printf("downloadfile_seconds=%.3f\n", engineSeconds);
    printf("downloadfile_mbps=%.2f\n", storedBytes / 1e6 / engineSeconds);
    if (bareBytes == storedBytes) printf("bare_read_mbps=%.2f\n", bareBytes / 1e6 / bareSeconds);
    return 0;
}
