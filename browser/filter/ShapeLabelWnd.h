#pragma once
// CShapeLabelWnd: a short text (the number of blocked popups or ads) drawn like a segment display.
// Each character becomes a glyph of lit and unlit segments: digits, space and "-" have seven segments
// (fourteen with style bit 0x2), the letters A to Z and * + ( ) \ / ' fourteen, "." and ":" three in a
// narrow cell; other characters get no glyph and take no cell. The text is upper-cased. All glyphs
// share one scale (pixels per unit of their 83-unit-high grid), chosen so the row fits the client
// area, and the row is centred. With the window shaped, its region is the union of the drawn
// segments; it is set again only after the glyphs or the size changed (setting a region invalidates
// the window, so doing it on every paint would paint for ever).
//
// Lifetime: rule (a). The page that owns the label holds it as a member and subclasses its static
// control with it; the page's destruction lets go of the window.
#include "platform/AtlWin.h"

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

namespace ShapeLabelStyle {
constexpr DWORD FourteenSegmentDigits = 0x2;
constexpr DWORD HideUnlit = 0x8;
constexpr DWORD SoftOutline = 0x10;
constexpr DWORD Default = 0x14;
}  // namespace ShapeLabelStyle

// One segment outline: points of the glyph's grid, each with a type (PT_MOVETO, PT_LINETO,
// PT_BEZIERTO as in GDI paths).
struct CSegmentPoint {
    short x;
    short y;
    BYTE type;
};
using CSegmentOutline = std::vector<CSegmentPoint>;

class CSegmentGlyph {
public:
    virtual ~CSegmentGlyph() = default;
    int GetWidth() const { return m_width; }
    unsigned GetMask() const { return m_mask; }
    const std::vector<CSegmentOutline>& GetSegments() const { return m_segments; }

protected:
    CSegmentGlyph(int width, unsigned mask) : m_width(width), m_mask(mask) {}
    int m_width;
    unsigned m_mask;
    std::vector<CSegmentOutline> m_segments;
};

// The glyph of a character, or null when it has none.
std::unique_ptr<CSegmentGlyph> MakeSegmentGlyph(char character, DWORD style);

class CShapeLabelWnd : public CWindowImpl<CShapeLabelWnd> {
public:
    static constexpr int kGridHeight = 83;

    BEGIN_MSG_MAP(CShapeLabelWnd)
        MESSAGE_HANDLER(WM_PAINT, OnPaint)
        MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBackground)
        MESSAGE_HANDLER(WM_SIZE, OnSize)
    END_MSG_MAP()

    // Stores the text and repaints when it differs from the current one.
    void SetText(const char* text);
    void SetNumber(unsigned value);
    void SetColors(COLORREF lit, COLORREF unlit, COLORREF background);
    void SetStyle(DWORD style);
    void SetShaped(bool shaped);
    const std::string& GetLabelText() const { return m_text; }
    // The glyphs of the current text (rebuilt when needed).
    size_t GetGlyphCount();

private:
    LRESULT OnPaint(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnEraseBackground(UINT, WPARAM, LPARAM, BOOL&) { return 1; }
    LRESULT OnSize(UINT, WPARAM, LPARAM, BOOL& handled);
    void Rebuild();
    void Redraw();
    void Draw(HDC dc, const RECT& client, HRGN shape);

    std::string m_text;
    std::vector<std::unique_ptr<CSegmentGlyph>> m_glyphs;
    COLORREF m_lit = RGB(0x00, 0xFF, 0x00);
    COLORREF m_unlit = RGB(0x00, 0x40, 0x00);
    COLORREF m_background = RGB(0, 0, 0);
    DWORD m_style = ShapeLabelStyle::Default;
    bool m_rebuildNeeded = true;
    bool m_shaped = false;
    bool m_regionStale = true;
};
