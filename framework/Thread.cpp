#include "framework/Thread.h"

#include <process.h>

namespace fw {

namespace {

struct ThreadStart {
    ThreadProc proc;
    void* parameter;
};

unsigned __stdcall RunThread(void* argument) {
    const ThreadStart start = *static_cast<ThreadStart*>(argument);
    delete static_cast<ThreadStart*>(argument);
    return start.proc(start.parameter);
}

}  // namespace

std::unique_ptr<CWinThread> BeginThread(ThreadProc proc, void* parameter) {
    ThreadStart* start = new ThreadStart{proc, parameter};
    unsigned id = 0;
    // The runtime's own thread start, so the runtime's per-thread data is set up and freed.
    const uintptr_t handle = _beginthreadex(nullptr, 0, RunThread, start, 0, &id);
    if (handle == 0) {
        delete start;
        return nullptr;
    }
    return std::unique_ptr<CWinThread>(new CWinThread(reinterpret_cast<HANDLE>(handle), id));
}

}  // namespace fw
