// The default printer of the Wine prefix, from the test set-up's own print queue.
#pragma once
#include <windows.h>

#include <string>

namespace vttest {

// Loads the system's print spooler, which takes over the print queues and their default; returns
// the "device,driver,port" entry programs read (",,," when there is no printer).
std::wstring DefaultPrinterDevice();
// A device context for the default printer, or null.
HDC CreateDefaultPrinterDC();

// Takes the default printer away while it lives, as on a machine without one.
class NoDefaultPrinter {
public:
    NoDefaultPrinter();
    ~NoDefaultPrinter();
    NoDefaultPrinter(const NoDefaultPrinter&) = delete;
    NoDefaultPrinter& operator=(const NoDefaultPrinter&) = delete;

private:
    std::wstring m_device;
};

}  // namespace vttest
