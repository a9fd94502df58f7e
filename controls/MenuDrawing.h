#pragma once
// Small drawing routines that the menus share with the command bar, toolbars, list views and
// buttons: a text-colour scope for a DC, the drop-down and sort arrows, text widths, etched text
// and one-colour icon silhouettes. Stateless; every routine leaves the DC's selections and
// colours as it found them. The object scope is the platform's CGdiObjectSelector.
#include "platform/AtlGdi.h"

#include <windows.h>

// Sets a DC's text colour and puts the previous one back when it goes.
class CTextColorScope {
public:
    CTextColorScope(HDC dc, COLORREF color) : m_dc(dc), m_old(::SetTextColor(dc, color)) {}
    ~CTextColorScope() { ::SetTextColor(m_dc, m_old); }
    CTextColorScope(const CTextColorScope&) = delete;
    CTextColorScope& operator=(const CTextColorScope&) = delete;

private:
    HDC m_dc;
    COLORREF m_old;
};

// A filled downward triangle, 2 * halfWidth + 1 wide and halfWidth + 1 high, centred in the
// rectangle (winding fill).
void DrawDropDownArrow(HDC dc, const RECT& rect, int halfWidth, COLORREF color);
// The width of a string in a font (the DC's own font when null); 0 for an empty or null string.
int CalcTextWidth(HDC dc, HFONT font, const char* text);
// An up or down triangle size pixels wide and high, vertically centred just right of the
// rectangle (gap kSortArrowGap), its lit edges in COLOR_BTNHIGHLIGHT and its shaded edges in
// COLOR_BTNSHADOW, as column headers show their sort order.
inline constexpr int kSortArrowGap = 4;
void DrawSortArrow(HDC dc, const RECT& beside, bool up, int size);
// Text as disabled controls show it: 1 pixel lower-right in COLOR_BTNHIGHLIGHT, then in place in
// COLOR_BTNSHADOW, transparent.
void DrawEtchedText(HDC dc, const char* text, const RECT& rect, UINT format);
// An icon as a one-colour silhouette (DrawState DSS_MONO with a solid brush).
void DrawIconSilhouette(HDC dc, HICON icon, POINT at, SIZE size, COLORREF color);
