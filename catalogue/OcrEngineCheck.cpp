// Whether the installed OCR engine supports a language pack, asked of the OCR support library.
#include <string>

#include "app/VTInst.h"
#include "catalogue/ProductKinds.h"

namespace {

const size_t ENGINE_TEXT_CAPACITY = 260;  // bytes, terminator included
// Pack 2 belongs to the built-in engine, which the library knows as version "0".
const char BUILT_IN_ENGINE[] = "0";

std::string ToAnsiText(const std::wstring& text) {
    const int length = WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    if (length <= 1) return std::string();
    std::string converted(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, &converted[0], length, nullptr, nullptr);
    converted.resize(static_cast<size_t>(length) - 1);
    if (converted.size() > ENGINE_TEXT_CAPACITY - 1) converted.resize(ENGINE_TEXT_CAPACITY - 1);
    return converted;
}

}  // namespace

BOOL CVTInstApp::CheckOcrEngine(BOOL managerSelected, const std::wstring& id) {
    // A Manager installed in this run brings an engine that supports every pack.
    if (managerSelected) return TRUE;
    const int pack = OcrLangPackNumber(id);
    const std::string engine = pack == 2 ? std::string(BUILT_IN_ENGINE)
                               : pack != 0 ? ToAnsiText(m_updateCommonInfo.AbbyyVersion)
                                           : std::string();
    if (!m_pfnIsSupportedOCREngine) return FALSE;
    return m_pfnIsSupportedOCREngine(engine.c_str()) != 0;
}
