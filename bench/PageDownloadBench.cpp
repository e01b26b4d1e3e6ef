// A package downloaded the way the wizard downloads it: the real download thread reporting every
// 1024-byte block to the real download page with a sent message. Measures the transfer rate, the
// number of progress messages, the page's own cost per message (against a page whose progress
// handler does nothing), and the working set during a large download against the idle one.
// Usage: PageDownloadBench.exe <url of the large file> <its size> <url of the small file> <its size> <folder\>
// Prints key=value lines (MB = 1,000,000 bytes) for bench/download-bench.sh.
#include <windows.h>
#include <psapi.h>
#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/BenchClock.h"

#include "app/VTInst.h"
#include "download/HttpDownload.h"
#include "framework/Thread.h"
#include "ui/DownloadDlg.h"
#include "ui/WizardMessages.h"

namespace {

// The real page, counted; with trivialProgress its progress handler returns at once. The end of
// the downloads stops here (no .NET step, no install page).
class MeasuredPage : public CDownloadDlg {
public:
    explicit MeasuredPage(bool trivialProgress) : m_trivial(trivialProgress) {}
    long long progressMessages = 0;
    double handlerSeconds = 0;
    int failure = 0;

protected:
    void StartDownloadThread() override {}
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override {
        if (message == WM_DOWNLOAD_PROGRESS) {
            ++progressMessages;
            if (m_trivial) {
                handled = true;
                return TRUE;
            }
            const LARGE_INTEGER start = Now();
            const INT_PTR result = CDownloadDlg::OnMessage(message, wParam, lParam, handled);
            handlerSeconds += Seconds(start, Now());
            return result;
        }
        if (message == WM_DOWNLOAD_FINISH || (message == WM_DOWNLOAD_RESULT && wParam != 0)) {
            if (message == WM_DOWNLOAD_RESULT) failure = static_cast<int>(wParam);
            handled = true;
            return TRUE;
        }
        return CDownloadDlg::OnMessage(message, wParam, lParam, handled);
    }

private:
    bool m_trivial;
};

void RegisterPageWindowClass() {
    WNDCLASSW pageClass = {};
    if (GetClassInfoW(GetModuleHandleW(nullptr), L"Veltrona_VTInst_WindowClass", &pageClass)) return;
    GetClassInfoW(nullptr, L"#32770", &pageClass);
    pageClass.hInstance = GetModuleHandleW(nullptr);
    pageClass.lpszClassName = L"Veltrona_VTInst_WindowClass";
    RegisterClassW(&pageClass);
}

struct Outcome {
    double seconds = 0;
    long long messages = 0;
    double handlerSeconds = 0;
    bool ok = false;
};

// One package through the thread and a page, this thread serving the page as the wizard's does.
Outcome Download(const std::wstring& url, long long size, bool trivialProgress) {
    CUpdateInfoList list(1);
    list[0].m_id = L"Veltrona Manager";
    list[0].m_title = L"Veltrona Manager";
    list[0].m_moduleUrl = url;
    list[0].m_size = size;
    list[0].m_displaySize = size / 100000;
    MeasuredPage page(trivialProgress);
    page.SetDownloadList(&list);
    Outcome outcome;
    if (!page.Create(nullptr)) return outcome;
    const LARGE_INTEGER start = Now();
    std::unique_ptr<fw::CWinThread> thread = fw::BeginThread(CHttpDownLoad::DownloadThread, &page);
    if (!thread) return outcome;
    HANDLE handle = thread->Handle();
    while (MsgWaitForMultipleObjects(1, &handle, FALSE, INFINITE, QS_ALLINPUT) == WAIT_OBJECT_0 + 1) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    }
    outcome.seconds = Seconds(start, Now());
    DWORD code = 0;
    GetExitCodeThread(handle, &code);
    outcome.ok = code == 1 && page.failure == 0;
    outcome.messages = page.progressMessages;
    outcome.handlerSeconds = page.handlerSeconds;
    DeleteFileW(list[0].m_packageFile.c_str());
    return outcome;
}

size_t WorkingSet(bool peak) {
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof(counters);
    if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters))) return 0;
    return peak ? counters.PeakWorkingSetSize : counters.WorkingSetSize;
}

}  // namespace

int main() {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv || argc < 6) {
        fprintf(stderr, "usage: PageDownloadBench.exe <large url> <size> <small url> <size> <folder\\>\n");
        return 2;
    }
    const std::wstring largeUrl = argv[1], smallUrl = argv[3];
    const long long largeSize = _wtoi64(argv[2]), smallSize = _wtoi64(argv[4]);
    theApp.m_strSavePath = argv[5];
    LocalFree(argv);
    RegisterPageWindowClass();

    // The large download first, so the process's peak is the one it reached.
    const size_t idle = WorkingSet(false);
    const Outcome large = Download(largeUrl, largeSize, false);
    const size_t peak = WorkingSet(true);
    const Outcome page = Download(smallUrl, smallSize, false);
    const Outcome trivial = Download(smallUrl, smallSize, true);
    if (!large.ok || !page.ok || !trivial.ok) {
        fprintf(stderr, "a download failed\n");
        return 1;
    }
    printf("page_bytes=%lld\n", smallSize);
    printf("page_mbps=%.2f\n", smallSize / 1e6 / page.seconds);
    printf("page_messages=%lld\n", page.messages);
    printf("page_handler_us=%.2f\n", page.handlerSeconds * 1e6 / static_cast<double>(page.messages));
    printf("page_us_per_message=%.2f\n", page.seconds * 1e6 / static_cast<double>(page.messages));
    printf("trivial_mbps=%.2f\n", smallSize / 1e6 / trivial.seconds);
    printf("trivial_us_per_message=%.2f\n", trivial.seconds * 1e6 / static_cast<double>(trivial.messages));
    printf("large_bytes=%lld\n", largeSize);
    printf("large_mbps=%.2f\n", largeSize / 1e6 / large.seconds);
    printf("idle_working_set=%zu\n", idle);
    printf("peak_working_set=%zu\n", peak);
    return 0;
}
