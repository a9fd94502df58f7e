#include "controls/MenuDrawing.h"

#include <cstring>

void DrawDropDownArrow(HDC dc, const RECT& rect, int halfWidth, COLORREF color)
{
    if (halfWidth < 0)
        return;
    const int centreX = (rect.left + rect.right) / 2;
    const int top = (rect.top + rect.bottom - halfWidth) / 2;
    const POINT points[3] = {{centreX - halfWidth, top}, {centreX + halfWidth, top}, {centreX, top + halfWidth}};
    CBrush brush;
    brush.CreateSolidBrush(color);
    CPen pen;
    pen.CreatePen(PS_SOLID, 1, color);
    CGdiObjectSelector brushScope(dc, brush);
    CGdiObjectSelector penScope(dc, pen);
    const int oldMode = ::SetPolyFillMode(dc, WINDING);
    ::Polygon(dc, points, 3);
    ::SetPolyFillMode(dc, oldMode);
}

int CalcTextWidth(HDC dc, HFONT font, const char* text)
{
    if (!text || !*text)
        return 0;
    CGdiObjectSelector fontScope(dc, font);
    SIZE size = {};
    if (!::GetTextExtentPoint32A(dc, text, static_cast<int>(std::strlen(text)), &size))
        return 0;
    return size.cx;
}

// The sloped edges face the light on the left, the base (or the right slope) is in shadow.
void DrawSortArrow(HDC dc, const RECT& beside, bool up, int size)
{
    if (size <= 0)
        return;
    const int left = beside.right + kSortArrowGap;
    const int top = (beside.top + beside.bottom - size) / 2;
    const int right = left + size - 1, bottom = top + size - 1, middle = left + (size - 1) / 2;
    CPen light, shade;
    light.CreatePen(PS_SOLID, 1, ::GetSysColor(COLOR_BTNHIGHLIGHT));
    shade.CreatePen(PS_SOLID, 1, ::GetSysColor(COLOR_BTNSHADOW));
    CGdiObjectSelector penScope(dc, shade);
    if (up) {
        ::MoveToEx(dc, middle, top, nullptr);
        ::LineTo(dc, left, bottom);  // left slope in shadow
        ::SelectObject(dc, light);
        ::LineTo(dc, right, bottom);  // base lit
        ::LineTo(dc, middle, top);    // right slope lit
    } else {
        ::MoveToEx(dc, right, top, nullptr);
        ::LineTo(dc, left, top);       // top edge in shadow
        ::LineTo(dc, middle, bottom);  // left slope in shadow
        ::SelectObject(dc, light);
        ::LineTo(dc, right, top);  // right slope lit
    }
}

void DrawEtchedText(HDC dc, const char* text, const RECT& rect, UINT format)
{
    if (!text)
        return;
    const int oldMode = ::SetBkMode(dc, TRANSPARENT);
    RECT lower = rect;
    ::OffsetRect(&lower, 1, 1);
    {
        CTextColorScope color(dc, ::GetSysColor(COLOR_BTNHIGHLIGHT));
        ::DrawTextA(dc, text, -1, &lower, format);
    }
    {
        CTextColorScope color(dc, ::GetSysColor(COLOR_BTNSHADOW));
        RECT place = rect;
        ::DrawTextA(dc, text, -1, &place, format);
    }
    ::SetBkMode(dc, oldMode);
}

void DrawIconSilhouette(HDC dc, HICON icon, POINT at, SIZE size, COLORREF color)
{
    if (!icon)
        return;
    CBrush brush;
    brush.CreateSolidBrush(color);
    ::DrawStateA(dc, brush, nullptr, reinterpret_cast<LPARAM>(icon), 0, at.x, at.y, size.cx, size.cy,
                 DST_ICON | DSS_MONO);
}
