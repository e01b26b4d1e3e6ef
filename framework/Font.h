// Owns one GDI font; released when replaced or destroyed.
#pragma once
#include <windows.h>

namespace fw {

class CFont {
public:
    CFont() = default;
    ~CFont() { Release(); }
    CFont(const CFont&) = delete;
    CFont& operator=(const CFont&) = delete;

    // Point size in tenths of a point, converted with the screen's vertical resolution.
    BOOL CreatePointFont(int tenthsOfPoint, const wchar_t* face);
    BOOL CreateFontIndirect(const LOGFONTW& logFont);
    BOOL GetLogFont(LOGFONTW* logFont) const;

    HFONT Handle() const { return m_font; }
    operator HFONT() const { return m_font; }

private:
    void Release();
    HFONT m_font = nullptr;
};

}  // namespace fw
