#include "tests/support/Printer.h"

#include <winspool.h>

namespace vttest {

std::wstring DefaultPrinterDevice() {
    DWORD needed = 0;
    DWORD count = 0;
    EnumPrintersW(PRINTER_ENUM_LOCAL, nullptr, 2, nullptr, 0, &needed, &count);
    wchar_t device[160] = {};
    GetProfileStringW(L"windows", L"device", L",,,", device, 160);
    return device;
}

HDC CreateDefaultPrinterDC() {
    const std::wstring device = DefaultPrinterDevice();
    const size_t first = device.find(L',');
    const size_t second = first == std::wstring::npos ? first : device.find(L',', first + 1);
    if (second == std::wstring::npos || first == 0) return nullptr;
    return CreateDCW(device.substr(first + 1, second - first - 1).c_str(), device.substr(0, first).c_str(),
                     device.substr(second + 1).c_str(), nullptr);
}

NoDefaultPrinter::NoDefaultPrinter() : m_device(DefaultPrinterDevice()) {
    WriteProfileStringW(L"windows", L"device", nullptr);
}

NoDefaultPrinter::~NoDefaultPrinter() {
    if (m_device != L",,,") WriteProfileStringW(L"windows", L"device", m_device.c_str());
}

}  // namespace vttest
