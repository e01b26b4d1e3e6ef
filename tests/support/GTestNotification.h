// Forced into every GoogleTest translation unit of the test tree. The win32 thread model (kept so
// the product runs on Windows XP) has no std::mutex or std::condition_variable, and GoogleTest's
// only use of them on Windows is its internal Notification. This one stands in, on a manual-reset
// event; everything else in GoogleTest already uses the platform's own locks.
#pragma once
#ifdef __cplusplus
#include <windows.h>

namespace testing {
namespace internal {

class Notification {
public:
    Notification() : m_event(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
    ~Notification() { CloseHandle(m_event); }
    Notification(const Notification&) = delete;
    Notification& operator=(const Notification&) = delete;

    void Notify() { SetEvent(m_event); }
    void WaitForNotification() { WaitForSingleObject(m_event, INFINITE); }

private:
    HANDLE m_event;
};

}  // namespace internal
}  // namespace testing

#define GTEST_HAS_NOTIFICATION_ 1
#endif
