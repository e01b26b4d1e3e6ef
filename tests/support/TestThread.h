// A joinable thread for tests, on the platform's own threads: the toolchain's thread model (chosen
// so the product runs on Windows XP) has no std::thread. Joins when it goes.
#pragma once
#include <windows.h>

#include <functional>
#include <utility>

namespace vttest {

class TestThread {
public:
    TestThread() = default;
    explicit TestThread(std::function<void()> body) { Start(std::move(body)); }
    ~TestThread() { Join(); }
    TestThread(const TestThread&) = delete;
    TestThread& operator=(const TestThread&) = delete;

    // Runs the body on a new thread (after joining any earlier one); FALSE when none could start.
    bool Start(std::function<void()> body) {
        Join();
        m_body = std::move(body);
        m_handle = CreateThread(nullptr, 0, &TestThread::Run, this, 0, nullptr);
        return m_handle != nullptr;
    }
    void Join() {
        if (!m_handle) return;
        WaitForSingleObject(m_handle, INFINITE);
        CloseHandle(m_handle);
        m_handle = nullptr;
    }

private:
    static DWORD WINAPI Run(void* self) {
        static_cast<TestThread*>(self)->m_body();
        return 0;
    }

    std::function<void()> m_body;
    HANDLE m_handle = nullptr;
};

// Serves this thread's windows (a page a worker sends its messages to) until the thread ends or the
// time is up; the thread's exit code, or 99 when it had not ended.
inline DWORD PumpMessagesUntilEnded(HANDLE thread, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        const DWORD elapsed = GetTickCount() - start;
        if (elapsed >= timeoutMs) return 99;
        const DWORD woke = MsgWaitForMultipleObjects(1, &thread, FALSE, timeoutMs - elapsed, QS_ALLINPUT);
        if (woke != WAIT_OBJECT_0 + 1) break;
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    }
    DWORD code = 99;
    GetExitCodeThread(thread, &code);
    return code;
}

}  // namespace vttest
