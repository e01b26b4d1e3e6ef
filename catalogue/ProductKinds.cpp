#include "catalogue/ProductKinds.h"

#include <cstdlib>

#include "catalogue/ProductIds.h"
#include "support/Log.h"

namespace {

const wchar_t MANUAL_NAME[] = L"Veltrona Manual";
const int FIRST_NUMBERED_MANUAL = 2;
const int LAST_NUMBERED_MANUAL = 30;
const int LAST_OCR_LANGPACK = 5;

bool StartsWith(const std::wstring& text, const std::wstring& prefix) {
    return text.size() >= prefix.size() && text.compare(0, prefix.size(), prefix) == 0;
}

}  // namespace

bool IsVeltronaManual(const std::wstring& name) {
    LOG_INFO(L"Start:CVTInstApp::IsVeltronaManual");
    bool manual = name == MANUAL_NAME;
    const std::wstring prefix = MANUAL_NAME;
    if (!manual && StartsWith(name, prefix) && name.size() == prefix.size() + 2) {
        const int number = _wtoi(name.c_str() + prefix.size());
        manual = number >= FIRST_NUMBERED_MANUAL && number <= LAST_NUMBERED_MANUAL;
    }
    LOG_INFO(L"End  :CVTInstApp::IsVeltronaManual");
    return manual;
}

int OcrLangPackNumber(const std::wstring& id) {
    const std::wstring prefix = PRODUCT_OCR_LANGPACK_PREFIX;
    if (!StartsWith(id, prefix) || id.size() != prefix.size() + 1) return 0;
    const wchar_t digit = id.back();
    if (digit < L'1' || digit > L'0' + LAST_OCR_LANGPACK) return 0;
    return digit - L'0';
}
