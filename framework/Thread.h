// Worker threads as the page framework starts them: normal priority, default stack, and a thread
// object that keeps the handle. The thread ends by itself; the object may outlive it or go first.
#pragma once
#include <windows.h>

#include <memory>

namespace fw {

typedef UINT(__cdecl* ThreadProc)(void* parameter);

class CWinThread {
public:
    CWinThread(HANDLE handle, UINT id) : m_hThread(handle), m_nThreadID(id) {}
    ~CWinThread() { CloseHandle(m_hThread); }
    CWinThread(const CWinThread&) = delete;
    CWinThread& operator=(const CWinThread&) = delete;

    HANDLE Handle() const { return m_hThread; }
    UINT Id() const { return m_nThreadID; }
    // TRUE when the thread has ended within the time.
    BOOL Wait(DWORD milliseconds) const { return WaitForSingleObject(m_hThread, milliseconds) == WAIT_OBJECT_0; }

private:
    HANDLE m_hThread;
    UINT m_nThreadID;
};

// Runs proc(parameter) on a new thread; null when no thread could be started.
std::unique_ptr<CWinThread> BeginThread(ThreadProc proc, void* parameter);

}  // namespace fw
