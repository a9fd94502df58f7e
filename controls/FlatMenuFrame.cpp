#include "controls/FlatMenuFrame.h"

#include "platform/AtlGdi.h"
#include "platform/Diagnostics.h"

#include <cstring>
#include <memory>

namespace {

// The width of the raised edge Wine draws inside a frameless menu window's client area.
constexpr int kClientEdgeWidth = 2;

void FillSolid(HDC dc, const RECT& rect, COLORREF color)
{
    const COLORREF old = ::SetBkColor(dc, color);
    ::ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
    ::SetBkColor(dc, old);
}

void FrameSolid(HDC dc, const RECT& rect, COLORREF color)
{
    FillSolid(dc, {rect.left, rect.top, rect.right, rect.top + 1}, color);
    FillSolid(dc, {rect.left, rect.bottom - 1, rect.right, rect.bottom}, color);
    FillSolid(dc, {rect.left, rect.top, rect.left + 1, rect.bottom}, color);
    FillSolid(dc, {rect.right - 1, rect.top, rect.right, rect.bottom}, color);
}

}  // namespace

bool IsMenuWindow(HWND window)
{
    // One character more than the class name, so that a longer name never compares equal.
    char name[sizeof(kMenuWindowClass) + 1] = {};
    const int length = ::GetClassNameA(window, name, static_cast<int>(sizeof(name)));
    return length == static_cast<int>(sizeof(kMenuWindowClass) - 1) && std::strcmp(name, kMenuWindowClass) == 0;
}

CFlatMenuFrame::CFlatMenuFrame(COLORREF border, COLORREF fill, COLORREF side, int joinedEdge)
    : CShadow(true), m_border(border), m_fill(fill), m_side(side), m_joinedEdge(joinedEdge)
{
}

bool CFlatMenuFrame::Attach(HWND menuWindow, COLORREF border, COLORREF fill, COLORREF side, int joinedEdge)
{
    auto frame = std::make_unique<CFlatMenuFrame>(border, fill, side, joinedEdge);
    if (!frame->SubclassWindow(menuWindow))
        return false;
    frame.release();  // the window owns it now: OnFinalMessage deletes it
    return true;
}

bool CFlatMenuFrame::HasNonClientFrame() const
{
    RECT window = {}, client = {};
    ::GetWindowRect(m_hWnd, &window);
    ::GetClientRect(m_hWnd, &client);
    return window.right - window.left > client.right || window.bottom - window.top > client.bottom;
}

// The border in the border colour, the frame's inside in the fill colour, the strip beside the
// icon column in the side colour, and, under a bar button, the top edge opened to the button's
// width so that the popup looks joined to it.
void CFlatMenuFrame::PaintNonClientFrame(HDC dc, const RECT& outer) const
{
    FillSolid(dc, outer, m_fill);
    FrameSolid(dc, outer, m_border);
    FillSolid(dc, {outer.left + 1, outer.top + m_frameHeight, outer.left + m_frameWidth, outer.bottom - m_frameHeight},
              m_side);
    if (m_joinedEdge > 0)
        FillSolid(dc, {outer.left + 1, outer.top, outer.left + m_joinedEdge, outer.top + 1}, m_side);
}

void CFlatMenuFrame::PaintClientFrame(HDC dc) const
{
    RECT client = {};
    ::GetClientRect(m_hWnd, &client);
    RECT inner = client;
    ::InflateRect(&inner, -1, -1);
    for (int ring = 1; ring < kClientEdgeWidth; ++ring) {
        FrameSolid(dc, inner, m_fill);
        ::InflateRect(&inner, -1, -1);
    }
    FillSolid(dc, {client.left + 1, client.top + 1, client.left + kClientEdgeWidth, client.bottom - 1}, m_side);
    FrameSolid(dc, client, m_border);
    if (m_joinedEdge > 0)
        FillSolid(dc, {client.left + 1, client.top, client.left + m_joinedEdge, client.top + 1}, m_side);
}

LRESULT CFlatMenuFrame::OnNcPaint(UINT, WPARAM wParam, LPARAM, BOOL& handled)
{
    if (!HasNonClientFrame()) {
        handled = FALSE;
        return 0;
    }
    // DCX_INTERSECTRGN takes over the region; a region of 1 means the whole window.
    const bool region = wParam > 1;
    HDC dc = ::GetDCEx(m_hWnd, region ? reinterpret_cast<HRGN>(wParam) : nullptr,
                       DCX_WINDOW | DCX_CACHE | (region ? DCX_INTERSECTRGN : 0));
    if (!dc)
        return 1;
    RECT window = {}, client = {};
    ::GetWindowRect(m_hWnd, &window);
    ::OffsetRect(&window, -window.left, -window.top);
    ::GetClientRect(m_hWnd, &client);
    POINT origin = {0, 0};
    ::ClientToScreen(m_hWnd, &origin);
    RECT screen = {};
    ::GetWindowRect(m_hWnd, &screen);
    ::OffsetRect(&client, origin.x - screen.left, origin.y - screen.top);
    ::ExcludeClipRect(dc, client.left, client.top, client.right, client.bottom);
    PaintNonClientFrame(dc, window);
    ::ReleaseDC(m_hWnd, dc);
    return 1;
}

LRESULT CFlatMenuFrame::OnPaint(UINT message, WPARAM wParam, LPARAM lParam, BOOL&)
{
    const LRESULT result = DefWindowProc(message, wParam, lParam);
    if (!HasNonClientFrame()) {
        CClientDC dc(m_hWnd);
        PaintClientFrame(dc);
    }
    return result;
}

LRESULT CFlatMenuFrame::OnPrintClient(UINT message, WPARAM wParam, LPARAM lParam, BOOL&)
{
    const LRESULT result = DefWindowProc(message, wParam, lParam);
    if (!HasNonClientFrame() && wParam)
        PaintClientFrame(reinterpret_cast<HDC>(wParam));
    return result;
}
