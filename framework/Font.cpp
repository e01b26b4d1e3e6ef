#include "framework/Font.h"

#include <cwchar>

namespace fw {

BOOL CFont::CreatePointFont(int tenthsOfPoint, const wchar_t* face) {
    LOGFONTW logFont = {};
    HDC screen = GetDC(nullptr);
    int pixelsPerInch = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
    if (screen) ReleaseDC(nullptr, screen);
    logFont.lfHeight = -MulDiv(tenthsOfPoint, pixelsPerInch, 720);
    logFont.lfCharSet = DEFAULT_CHARSET;
    if (face) wcsncpy(logFont.lfFaceName, face, LF_FACESIZE - 1);
    return CreateFontIndirect(logFont);
}

BOOL CFont::CreateFontIndirect(const LOGFONTW& logFont) {
    HFONT font = ::CreateFontIndirectW(&logFont);
    if (!font) return FALSE;
    Release();
    m_font = font;
    return TRUE;
}

BOOL CFont::GetLogFont(LOGFONTW* logFont) const {
    return m_font && GetObjectW(m_font, sizeof(LOGFONTW), logFont) == sizeof(LOGFONTW);
}

void CFont::Release() {
    if (m_font) DeleteObject(m_font);
    m_font = nullptr;
}

}  // namespace fw
