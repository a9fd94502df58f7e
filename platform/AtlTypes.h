// Point, size and rectangle value types over the Win32 POINT, SIZE and RECT structures.
#pragma once
#include <windows.h>

class CPoint;
class CRect;

class CSize : public SIZE
{
public:
    CSize() noexcept { cx = cy = 0; }
    CSize(int cx_, int cy_) noexcept { cx = cx_; cy = cy_; }
    CSize(SIZE size) noexcept { cx = size.cx; cy = size.cy; }
    explicit CSize(DWORD packed) noexcept { cx = (short)LOWORD(packed); cy = (short)HIWORD(packed); }

    bool operator==(SIZE size) const noexcept { return cx == size.cx && cy == size.cy; }
    bool operator!=(SIZE size) const noexcept { return !(*this == size); }
    void operator+=(SIZE size) noexcept { cx += size.cx; cy += size.cy; }
    void operator-=(SIZE size) noexcept { cx -= size.cx; cy -= size.cy; }
    void SetSize(int cx_, int cy_) noexcept { cx = cx_; cy = cy_; }
    CSize operator+(SIZE size) const noexcept { return CSize(cx + size.cx, cy + size.cy); }
    CSize operator-(SIZE size) const noexcept { return CSize(cx - size.cx, cy - size.cy); }
    CSize operator-() const noexcept { return CSize(-cx, -cy); }
};

class CPoint : public POINT
{
public:
    CPoint() noexcept { x = y = 0; }
    CPoint(int x_, int y_) noexcept { x = x_; y = y_; }
    CPoint(POINT point) noexcept { x = point.x; y = point.y; }
    explicit CPoint(SIZE size) noexcept { x = size.cx; y = size.cy; }
    // From a packed mouse-message LPARAM: both halves are signed (multi-monitor coordinates).
    explicit CPoint(LPARAM packed) noexcept { x = (short)LOWORD(packed); y = (short)HIWORD(packed); }

    void SetPoint(int x_, int y_) noexcept { x = x_; y = y_; }
    void Offset(int dx, int dy) noexcept { x += dx; y += dy; }
    void Offset(POINT point) noexcept { Offset(point.x, point.y); }
    void Offset(SIZE size) noexcept { Offset(size.cx, size.cy); }
    bool operator==(POINT point) const noexcept { return x == point.x && y == point.y; }
    bool operator!=(POINT point) const noexcept { return !(*this == point); }
    void operator+=(SIZE size) noexcept { Offset(size); }
    void operator-=(SIZE size) noexcept { Offset(-size.cx, -size.cy); }
    void operator+=(POINT point) noexcept { Offset(point); }
    void operator-=(POINT point) noexcept { Offset(-point.x, -point.y); }
    CPoint operator+(SIZE size) const noexcept { return CPoint(x + size.cx, y + size.cy); }
    CPoint operator-(SIZE size) const noexcept { return CPoint(x - size.cx, y - size.cy); }
    CPoint operator+(POINT point) const noexcept { return CPoint(x + point.x, y + point.y); }
    CSize operator-(POINT point) const noexcept { return CSize(x - point.x, y - point.y); }
    CPoint operator-() const noexcept { return CPoint(-x, -y); }
};

class CRect : public RECT
{
public:
    CRect() noexcept { left = top = right = bottom = 0; }
    CRect(int l, int t, int r, int b) noexcept { left = l; top = t; right = r; bottom = b; }
    CRect(const RECT& rc) noexcept { ::CopyRect(this, &rc); }
    CRect(const RECT* prc) noexcept { ::CopyRect(this, prc); }
    CRect(POINT point, SIZE size) noexcept
    {
        left = point.x; top = point.y; right = left + size.cx; bottom = top + size.cy;
    }
    CRect(POINT topLeft, POINT bottomRight) noexcept
    {
        left = topLeft.x; top = topLeft.y; right = bottomRight.x; bottom = bottomRight.y;
    }

    int Width() const noexcept { return right - left; }
    int Height() const noexcept { return bottom - top; }
    CSize Size() const noexcept { return CSize(Width(), Height()); }
    CPoint& TopLeft() noexcept { return *reinterpret_cast<CPoint*>(this); }
    CPoint& BottomRight() noexcept { return *(reinterpret_cast<CPoint*>(this) + 1); }
    const CPoint& TopLeft() const noexcept { return *reinterpret_cast<const CPoint*>(this); }
    const CPoint& BottomRight() const noexcept { return *(reinterpret_cast<const CPoint*>(this) + 1); }
    CPoint CenterPoint() const noexcept { return CPoint((left + right) / 2, (top + bottom) / 2); }
    operator LPRECT() noexcept { return this; }
    operator LPCRECT() const noexcept { return this; }

    bool IsRectEmpty() const noexcept { return ::IsRectEmpty(this) != FALSE; }
    bool IsRectNull() const noexcept { return left == 0 && right == 0 && top == 0 && bottom == 0; }
    bool PtInRect(POINT point) const noexcept { return ::PtInRect(this, point) != FALSE; }
    void SetRect(int l, int t, int r, int b) noexcept { ::SetRect(this, l, t, r, b); }
    void SetRectEmpty() noexcept { ::SetRectEmpty(this); }
    void CopyRect(LPCRECT prc) noexcept { ::CopyRect(this, prc); }
    bool EqualRect(LPCRECT prc) const noexcept { return ::EqualRect(this, prc) != FALSE; }
    void InflateRect(int dx, int dy) noexcept { ::InflateRect(this, dx, dy); }
    void InflateRect(SIZE size) noexcept { ::InflateRect(this, size.cx, size.cy); }
    void InflateRect(int l, int t, int r, int b) noexcept
    {
        left -= l; top -= t; right += r; bottom += b;
    }
    void InflateRect(LPCRECT prc) noexcept { InflateRect(prc->left, prc->top, prc->right, prc->bottom); }
    void DeflateRect(int dx, int dy) noexcept { ::InflateRect(this, -dx, -dy); }
    void DeflateRect(SIZE size) noexcept { ::InflateRect(this, -size.cx, -size.cy); }
    void DeflateRect(int l, int t, int r, int b) noexcept
    {
        left += l; top += t; right -= r; bottom -= b;
    }
    void DeflateRect(LPCRECT prc) noexcept { DeflateRect(prc->left, prc->top, prc->right, prc->bottom); }
    void OffsetRect(int dx, int dy) noexcept { ::OffsetRect(this, dx, dy); }
    void OffsetRect(POINT point) noexcept { ::OffsetRect(this, point.x, point.y); }
    void OffsetRect(SIZE size) noexcept { ::OffsetRect(this, size.cx, size.cy); }
    void MoveToX(int x) noexcept { right = Width() + x; left = x; }
    void MoveToY(int y) noexcept { bottom = Height() + y; top = y; }
    void MoveToXY(int x, int y) noexcept { MoveToX(x); MoveToY(y); }
    void MoveToXY(POINT point) noexcept { MoveToXY(point.x, point.y); }
    void NormalizeRect() noexcept
    {
        if (left > right) { const LONG t = left; left = right; right = t; }
        if (top > bottom) { const LONG t = top; top = bottom; bottom = t; }
    }
    bool IntersectRect(LPCRECT a, LPCRECT b) noexcept { return ::IntersectRect(this, a, b) != FALSE; }
    bool UnionRect(LPCRECT a, LPCRECT b) noexcept { return ::UnionRect(this, a, b) != FALSE; }
    bool SubtractRect(LPCRECT a, LPCRECT b) noexcept { return ::SubtractRect(this, a, b) != FALSE; }

    void operator=(const RECT& rc) noexcept { ::CopyRect(this, &rc); }
    bool operator==(const RECT& rc) const noexcept { return EqualRect(&rc); }
    bool operator!=(const RECT& rc) const noexcept { return !EqualRect(&rc); }
    void operator+=(POINT point) noexcept { OffsetRect(point); }
    void operator+=(SIZE size) noexcept { OffsetRect(size); }
    void operator-=(POINT point) noexcept { OffsetRect(-point.x, -point.y); }
    void operator-=(SIZE size) noexcept { OffsetRect(-size.cx, -size.cy); }
    void operator&=(const RECT& rc) noexcept { ::IntersectRect(this, this, &rc); }
    void operator|=(const RECT& rc) noexcept { ::UnionRect(this, this, &rc); }
    CRect operator+(POINT point) const noexcept { CRect r(*this); r.OffsetRect(point); return r; }
    CRect operator-(POINT point) const noexcept { CRect r(*this); r.OffsetRect(-point.x, -point.y); return r; }
    CRect operator&(const RECT& rc) const noexcept { CRect r; ::IntersectRect(&r, this, &rc); return r; }
    CRect operator|(const RECT& rc) const noexcept { CRect r; ::UnionRect(&r, this, &rc); return r; }
};
