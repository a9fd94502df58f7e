#include "controls/docking/DockingWindow.h"

#include "controls/docking/DockLayout.h"
#include "controls/docking/DockingLook.h"
#include "controls/docking/PackageWindow.h"
#include "controls/docking/TabDockingBox.h"
#include "platform/AtlGdi.h"
#include "platform/Diagnostics.h"

#include <algorithm>
#include <cstdlib>
#include <string>

namespace {
bool OwnThreadWindow(HWND window)
{
    return window && ::GetWindowThreadProcessId(window, nullptr) == ::GetCurrentThreadId();
}
HWND FocusKeeper() { return ::GetFocus(); }
}  // namespace

// ---- Creation -------------------------------------------------------------------------------

CDockingWindow* CDockingWindow::CreatePane(HWND frame, HWND content, const char* caption, HICON icon,
                                           bool verticalCaption, bool bordered)
{
    auto* pane = new CDockingWindow;
    pane->m_vertical = verticalCaption;
    pane->m_bordered = bordered;
    const ATOM atom = GetWndClassInfo().Register(&pane->m_pfnSuperWindowProc);
    if (!pane->CreateFor(frame, atom, caption, GetWndStyle(0), GetWndExStyle(0))) {
        delete pane;
        return nullptr;
    }
    if (icon) {
        pane->SetIcon(icon, TRUE);
        pane->SetIcon(icon, FALSE);
    }
    pane->SetContent(content);
    return pane;
}

bool CDockingWindow::CreateFor(HWND frame, ATOM atom, const char* caption, DWORD style, DWORD exStyle)
{
    m_target = frame;
    RECT rect = {0, 0, 200, 200};
    // The frame owns the floating pane, so that it stays above the frame and goes with it.
    return CWindowImplBaseT<CWindow, CDockingWindowTraits>::Create(frame, rect, caption, style & ~WS_VISIBLE, exStyle,
                                                                   0U, atom) != nullptr;
}

void CDockingWindow::SetContent(HWND content)
{
    m_content = content;
    if (!content || !::IsWindow(content))
        return;
    LONG_PTR style = ::GetWindowLongPtrA(content, GWL_STYLE);
    style = (style & ~static_cast<LONG_PTR>(WS_POPUP | WS_CAPTION)) | WS_CHILD | WS_VISIBLE;
    ::SetWindowLongPtrA(content, GWL_STYLE, style);
    ::SetParent(content, m_hWnd);
    BOOL handled = TRUE;
    OnSize(WM_SIZE, 0, 0, handled);
}

LRESULT CDockingWindow::OnCreate(UINT, WPARAM, LPARAM, BOOL& handled)
{
    UpdateCaptionThickness();
    handled = FALSE;
    return 0;
}

void CDockingWindow::UpdateCaptionThickness() { m_captionThickness = GetDockingLook().SmallCaptionHeight() + 5; }

// ---- State ----------------------------------------------------------------------------------

// By the windows' own visible styles: a pane in a frame that is hidden for a moment (a restore
// places the frame hidden) is still a shown pane.
bool CDockingWindow::IsVisible() const
{
    auto shown = [](HWND window) { return window && (::GetWindowLongPtrA(window, GWL_STYLE) & WS_VISIBLE) != 0; };
    return shown(m_hWnd) || (m_host && shown(m_host));
}

bool CDockingWindow::Toggle()
{
    const bool wasVisible = IsVisible();
    if (wasVisible)
        Hide();
    else
        Show();
    return wasVisible;
}

void CDockingWindow::SetRememberedDocking(const CDockPositionRecord& record)
{
    m_remembered = CDockPositionRecord{};
    // Only the first 36 bytes (up to the rectangle) are the docking.
    m_remembered.header = record.header;
    m_remembered.flags = record.flags;
    m_remembered.barIndex = record.barIndex;
    m_remembered.position = record.position;
    m_remembered.barThickness = record.barThickness;
    m_remembered.paneLength = record.paneLength;
    m_remembered.order = record.order;
}

CDockPositionRecord CDockingWindow::GetPosition()
{
    CDockPositionRecord record;
    record.header.pane = DockHandleField(m_hWnd);
    record.header.code = kDockGetPosition;
    PositionOf(record);
    return record;
}

bool CDockingWindow::DockAtSide(uint32_t sideFlags, uint32_t barIndex, int thickness, float position)
{
    CDockPositionRecord record;
    record.flags = sideFlags & (kDockFlagLeftRight | kDockFlagStartSide);
    record.barIndex = barIndex;
    record.barThickness = static_cast<uint32_t>(std::max(thickness, 0));
    record.position = std::clamp(position, 0.0f, 1.0f);
    SetDockRect(record, m_floatRect);
    record.docked = 1;
    record.visible = 1;
    return DockRequest(record);
}

void CDockingWindow::DockTo(HWND host, int order)
{
    if (!IsDockingBox(host) || host == m_hWnd)
        return;
    if (IsDocked())
        Undock();
    CDockPositionRecord record;
    record.header.pane = DockHandleField(m_hWnd);
    record.header.host = DockHandleField(host);
    record.flags = kDockFlagFloating;
    record.order = static_cast<uint32_t>(std::max(order, 0));
    RECT window = {};
    GetWindowRect(&window);
    SetDockRect(record, window);
    record.visible = 1;
    DockRequest(record);
}

bool CDockingWindow::DockRequest(CDockPositionRecord record)
{
    record.header.pane = DockHandleField(m_hWnd);
    record.header.code = kDockSetPosition;
    HWND host = DockFieldHandle(record.header.host);
    // A place that is hidden itself (a pane that shared a box with this one and was hidden too) is
    // not joined: that would make a floating box around a hidden pane. The pane takes the place
    // the record names in the frame instead.
    const bool hostShown = host && (::GetWindowLongPtrA(host, GWL_STYLE) & WS_VISIBLE) != 0;
    if (host && host != m_hWnd && OwnThreadWindow(host) && hostShown && IsDockingBox(host)) {
        if (m_host == host)
            return true;
        if (IsDocked())
            Undock();
        return SendDockRequest(host, GetDockingBoxMessage(), record) != 0;
    }
    if (record.flags & kDockFlagFloating) {
        if (IsDocked())
            Undock();
        FloatAt(DockRect(record), false);
        return true;
    }
    if (IsDocked())
        Undock();
    record.header.host = 0;
    return SendDockRequest(m_target, kDockMsgRequest, record) != 0;
}

void CDockingWindow::FloatAt(const RECT& rect, bool activate)
{
    if (!::IsRectEmpty(&rect))
        m_floatRect = rect;
    const RECT& r = m_floatRect;
    SetWindowPos(HWND_TOP, r.left, r.top, r.right - r.left, r.bottom - r.top,
                 SWP_SHOWWINDOW | SWP_FRAMECHANGED | (activate ? 0u : static_cast<UINT>(SWP_NOACTIVATE)));
}

void CDockingWindow::Undock()
{
    if (!m_host)
        return;
    CDockHeader request;
    request.pane = DockHandleField(m_hWnd);
    request.host = DockHandleField(m_host);
    request.code = kDockUndock;
    HWND host = m_host;
    SendDockRequest(host, kDockMsgRequest, request, sizeof(request));
    if (m_host == host) {
        // A host that did not let go (it is gone, or refused): the pane floats on its own.
        ReleaseDockedPane(m_hWnd, host, m_target);
    }
}

bool CDockingWindow::Dock(CDockDragRecord& record)
{
    HWND host = DockFieldHandle(record.header.host);
    if (!host)
        return false;
    record.header.pane = DockHandleField(m_hWnd);
    record.header.code = kDockDock;
    const UINT message = host == m_target ? kDockMsgRequest : GetDockingBoxMessage();
    return SendDockRequest(host, message, record) != 0;
}

void CDockingWindow::Hide()
{
    if (m_host) {
        CDockPositionRecord record;
        record.header.pane = DockHandleField(m_hWnd);
        record.header.code = kDockGetPosition;
        if (SendDockRequest(m_host, kDockMsgRequest, record)) {
            if (!record.header.host)
                record.header.host = DockHandleField(m_host);
            SetRememberedDocking(record);
        }
        Undock();
        const RECT& r = m_floatRect;
        SetWindowPos(nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                     SWP_HIDEWINDOW | SWP_NOACTIVATE | SWP_NOZORDER);
    } else {
        m_remembered = CDockPositionRecord{};
    }
    ShowWindow(SW_HIDE);
}

void CDockingWindow::Show()
{
    if (m_host && IsDockingBox(m_host)) {
        CDockHeader request;
        request.pane = DockHandleField(m_hWnd);
        request.code = kDockActivate;
        SendDockRequest(m_host, GetDockingBoxMessage(), request, sizeof(request));
    } else if (IsDocked() && IsWindowVisible()) {
        // Shown already where it is docked: a place remembered from an earlier hide is out of
        // date (the pane was shown and moved since), and going back there would undo the move.
        return;
    } else if (m_remembered.header.host) {
        CDockPositionRecord record = m_remembered;
        SetDockRect(record, m_floatRect);
        record.visible = 1;
        if (!DockRequest(record))
            FloatAt(m_floatRect, false);
    } else {
        if (::IsRectEmpty(&m_floatRect))
            ShowWindow(SW_SHOWNOACTIVATE);
        else
            FloatAt(m_floatRect, false);
    }
}

// ---- Requests -------------------------------------------------------------------------------

LRESULT CDockingWindow::OnDockRequest(UINT, WPARAM, LPARAM lParam, BOOL&)
{
    CDockHeader* header = DockRequestFromMessage(lParam);
    return header ? HandleDockRequest(*header) : 0;
}

LRESULT CDockingWindow::HandleDockRequest(CDockHeader& header)
{
    switch (header.code) {
    case kDockAccept:
        return AcceptOnCaption(reinterpret_cast<CDockDragRecord&>(header));
    case kDockDock:
    case kDockSetPosition:
        return JoinThisPane(header);
    case kDockGetPosition:
        return PositionOf(reinterpret_cast<CDockPositionRecord&>(header));
    case kDockIsBox:
        return 1;
    case kDockActivate:
        return m_host ? SendDockRequest(m_host, GetDockingBoxMessage(), header, sizeof(header)) : 0;
    case kDockHide:
        Hide();
        return 1;
    default:
        return 0;
    }
}

LRESULT CDockingWindow::AcceptOnCaption(CDockDragRecord& record)
{
    if (DockFieldHandle(record.header.pane) == m_hWnd)
        return 0;
    const LPARAM point = MAKELPARAM(static_cast<short>(record.left), static_cast<short>(record.top));
    if (SendMessage(WM_NCHITTEST, 0, point) != HTCAPTION)
        return 0;
    RECT client = {};
    GetClientRect(&client);
    ClientToScreen(&client);
    SetDockRect(record, client);
    record.header.host = DockHandleField(m_hWnd);
    return 1;
}

// A pane dropped on this pane's caption, or restored next to it: both become tabs of a box.
LRESULT CDockingWindow::JoinThisPane(CDockHeader& header)
{
    HWND dropped = DockFieldHandle(header.pane);
    if (dropped == m_hWnd || !::IsWindow(dropped))
        return 0;
    if (m_host && IsDockingBox(m_host))
        return header.code == kDockDock
                   ? SendDockRequest(m_host, GetDockingBoxMessage(), reinterpret_cast<CDockDragRecord&>(header))
                   : SendDockRequest(m_host, GetDockingBoxMessage(), reinterpret_cast<CDockPositionRecord&>(header));
    CTabDockingBox* box = CTabDockingBox::CreateBox(m_target);
    if (!box)
        return 0;
    HWND boxWindow = box->m_hWnd;
    if (m_host) {
        CDockReplaceRecord replace;
        replace.header.pane = DockHandleField(m_hWnd);
        replace.header.code = kDockReplace;
        replace.replacement = DockHandleField(boxWindow);
        if (!SendDockRequest(m_host, kDockMsgRequest, replace)) {
            ::DestroyWindow(boxWindow);
            return 0;
        }
    } else {
        RECT window = {};
        GetWindowRect(&window);
        ::SetWindowPos(boxWindow, HWND_TOP, window.left, window.top, window.right - window.left,
                       window.bottom - window.top, SWP_SHOWWINDOW | SWP_NOACTIVATE);
    }
    box->AddPane(m_hWnd, -1);
    if (header.code == kDockDock) {
        CDockDragRecord record = reinterpret_cast<CDockDragRecord&>(header);
        record.header.host = DockHandleField(boxWindow);
        record.left = -1;  // at the end
        return SendDockRequest(boxWindow, GetDockingBoxMessage(), record);
    }
    CDockPositionRecord record = reinterpret_cast<CDockPositionRecord&>(header);
    record.header.host = DockHandleField(boxWindow);
    return SendDockRequest(boxWindow, GetDockingBoxMessage(), record);
}

LRESULT CDockingWindow::PositionOf(CDockPositionRecord& record)
{
    const uint32_t paneField = record.header.pane;
    if (m_host) {
        record.header.pane = DockHandleField(m_hWnd);
        record.header.code = kDockGetPosition;
        if (!SendDockRequest(m_host, kDockMsgRequest, record))
            return 0;
        record.header.pane = paneField;
        record.header.code = kDockGetPosition;
        SetDockRect(record, m_floatRect);
        record.docked = 1;
        record.visible = IsVisible() ? 1 : 0;
        return 1;
    }
    const bool visible = (GetStyle() & WS_VISIBLE) != 0;
    if (visible || !m_remembered.header.host) {
        const CDockPositionRecord empty;
        record.flags = kDockFlagFloating;
        record.barIndex = empty.barIndex;
        record.position = empty.position;
        record.barThickness = empty.barThickness;
        record.paneLength = empty.paneLength;
        record.order = empty.order;
        RECT window = {};
        if (visible)
            GetWindowRect(&window);
        else
            window = m_floatRect;
        SetDockRect(record, window);
    } else {
        const RECT keep = m_floatRect;
        const uint32_t code = record.header.code;
        record.header = m_remembered.header;
        record.header.code = code;
        record.flags = m_remembered.flags;
        record.barIndex = m_remembered.barIndex;
        record.position = m_remembered.position;
        record.barThickness = m_remembered.barThickness;
        record.paneLength = m_remembered.paneLength;
        record.order = m_remembered.order;
        SetDockRect(record, keep);
    }
    record.header.pane = paneField;
    record.header.host = DockHandleField(m_hWnd);
    record.docked = 0;
    record.visible = visible ? 1 : 0;
    return 1;
}

LRESULT CDockingWindow::OnHostChanged(UINT, WPARAM wParam, LPARAM lParam, BOOL&)
{
    if (wParam) {
        m_host = reinterpret_cast<HWND>(lParam);
        ModifyStyle(WS_THICKFRAME, 0);
    } else {
        m_host = nullptr;
        ModifyStyle(0, WS_THICKFRAME);
    }
    SetWindowPos(nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    return 0;
}

// ---- Non-client area ------------------------------------------------------------------------

RECT CDockingWindow::CaptionRect() const
{
    RECT window = {};
    if (!m_host || !(GetStyle() & WS_CAPTION))
        return window;
    ::GetWindowRect(m_hWnd, &window);
    const int width = window.right - window.left;
    const int height = window.bottom - window.top;
    return m_vertical ? RECT{0, 0, std::min(m_captionThickness, width), height}
                      : RECT{0, 0, width, std::min(m_captionThickness, height)};
}

RECT CDockingWindow::CloseButtonRect() const
{
    const RECT caption = CaptionRect();
    if (::IsRectEmpty(&caption))
        return caption;
    return DockGeometry::CloseButtonRect(caption, m_vertical);
}

LRESULT CDockingWindow::OnNcCalcSize(UINT, WPARAM, LPARAM lParam, BOOL& handled)
{
    if (!m_host) {
        handled = FALSE;
        return 0;
    }
    auto* rect = reinterpret_cast<RECT*>(lParam);
    if (GetStyle() & WS_CAPTION) {
        if (m_vertical)
            rect->left = std::min<LONG>(rect->left + m_captionThickness, rect->right);
        else
            rect->top = std::min<LONG>(rect->top + m_captionThickness, rect->bottom);
    }
    return 0;
}

LRESULT CDockingWindow::OnNcPaint(UINT, WPARAM, LPARAM, BOOL& handled)
{
    if (!m_host) {
        handled = FALSE;
        return 0;
    }
    if (GetStyle() & WS_CAPTION) {
        HDC dc = ::GetWindowDC(m_hWnd);
        PaintCaption(dc);
        ::ReleaseDC(m_hWnd, dc);
    }
    return 0;
}

LRESULT CDockingWindow::OnNcActivate(UINT, WPARAM, LPARAM, BOOL& handled)
{
    if (!m_host || !IsWindowEnabled()) {
        handled = FALSE;
        return 0;
    }
    return TRUE;
}

LRESULT CDockingWindow::OnNcHitTest(UINT, WPARAM, LPARAM lParam, BOOL& handled)
{
    if (!m_host) {
        handled = FALSE;
        return 0;
    }
    RECT window = {};
    GetWindowRect(&window);
    const POINT point = {static_cast<short>(LOWORD(lParam)) - window.left, static_cast<short>(HIWORD(lParam)) - window.top};
    const RECT caption = CaptionRect();
    if (!::PtInRect(&caption, point))
        return HTCLIENT;
    const RECT button = CloseButtonRect();
    return ::PtInRect(&button, point) ? HTCLOSE : HTCAPTION;
}

LRESULT CDockingWindow::OnSetTextOrIcon(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled)
{
    if (!m_host || !(GetStyle() & WS_CAPTION)) {
        handled = FALSE;
        return 0;
    }
    // The default processing paints the system's caption over ours while the style has one.
    ModifyStyle(WS_CAPTION, 0);
    const LRESULT result = DefWindowProc(message, wParam, lParam);
    ModifyStyle(0, WS_CAPTION);
    SetWindowPos(nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    return result;
}

bool CDockingWindow::HasFocusInside() const
{
    HWND focus = ::GetFocus();
    return focus && (focus == m_hWnd || ::IsChild(m_hWnd, focus));
}

void CDockingWindow::PaintCaption(HDC dc)
{
    const RECT caption = CaptionRect();
    if (::IsRectEmpty(&caption))
        return;
    const bool focused = HasFocusInside();
    ::FillRect(dc, &caption, ::GetSysColorBrush(COLOR_BTNFACE));
    RECT band = caption;
    if (m_vertical)
        ::InflateRect(&band, -2, 0);
    else
        ::InflateRect(&band, 0, -2);
    if (focused) {
        ::FillRect(dc, &band, ::GetSysColorBrush(COLOR_ACTIVECAPTION));
    } else {
        RECT edge = band;
        ::InflateRect(&edge, -1, 0);
        ::DrawEdge(dc, &edge, EDGE_ETCHED, BF_TOP | BF_BOTTOM | BF_FLAT);
        edge = band;
        ::InflateRect(&edge, 0, -1);
        ::DrawEdge(dc, &edge, EDGE_ETCHED, BF_LEFT | BF_RIGHT | BF_FLAT);
    }
    const RECT button = CloseButtonRect();
    RECT text = m_vertical ? RECT{band.left, button.bottom + 2, band.right, caption.bottom - 3}
                           : RECT{caption.left + 5, band.top, button.left - 2, band.bottom};
    char title[256] = {};
    GetWindowText(title, sizeof(title));
    if (!::IsRectEmpty(&text) && title[0]) {
        CDockingLook& look = GetDockingLook();
        HGDIOBJ old = ::SelectObject(dc, m_vertical ? static_cast<HFONT>(look.verticalCaptionFont)
                                                    : static_cast<HFONT>(look.captionFont));
        ::SetBkMode(dc, TRANSPARENT);
        ::SetTextColor(dc, ::GetSysColor(focused ? COLOR_CAPTIONTEXT : COLOR_BTNTEXT));
        std::string shown = title;
        const int room = m_vertical ? text.bottom - text.top : text.right - text.left;
        SIZE extent = {};
        ::GetTextExtentPoint32A(dc, shown.c_str(), static_cast<int>(shown.size()), &extent);
        if (extent.cx > room) {
            // Cut to the characters that fit before "...".
            std::string cut;
            for (size_t n = shown.size(); n > 0; --n) {
                cut = shown.substr(0, n) + "...";
                ::GetTextExtentPoint32A(dc, cut.c_str(), static_cast<int>(cut.size()), &extent);
                if (extent.cx <= room)
                    break;
            }
            shown = cut;
        }
        TEXTMETRICA metrics = {};
        ::GetTextMetricsA(dc, &metrics);
        if (m_vertical) {
            const int x = text.left + ((text.right - text.left) + metrics.tmHeight) / 2;
            ::ExtTextOutA(dc, x, text.bottom, ETO_CLIPPED, &text, shown.c_str(), static_cast<UINT>(shown.size()), nullptr);
        } else {
            const int y = text.top + ((text.bottom - text.top) - metrics.tmHeight) / 2;
            ::ExtTextOutA(dc, text.left, y, ETO_CLIPPED, &text, shown.c_str(), static_cast<UINT>(shown.size()), nullptr);
        }
        ::SelectObject(dc, old);
    }
    DrawCloseButton(dc, button, focused, false, false);
}

void CDockingWindow::DrawCloseButton(HDC dc, const RECT& button, bool focused, bool pressed, bool hot)
{
    if (::IsRectEmpty(&button))
        return;
    ::FillRect(dc, &button, ::GetSysColorBrush(focused ? COLOR_ACTIVECAPTION : COLOR_BTNFACE));
    const COLORREF glyph = ::GetSysColor(focused ? COLOR_CAPTIONTEXT : COLOR_BTNTEXT);
    RECT inner = button;
    if (pressed)
        ::OffsetRect(&inner, 1, 1);
    if (CloseGlyphIsLines(GetDockingLook().SmallCaptionHeight())) {
        CPen pen;
        pen.CreatePen(PS_SOLID, 1, glyph);
        HGDIOBJ old = ::SelectObject(dc, pen);
        ::MoveToEx(dc, inner.left + 2, inner.top + 2, nullptr);
        ::LineTo(dc, inner.right - 2, inner.bottom - 2);
        ::MoveToEx(dc, inner.right - 3, inner.top + 2, nullptr);
        ::LineTo(dc, inner.left + 1, inner.bottom - 2);
        ::SelectObject(dc, old);
    } else {
        const int height = button.bottom - button.top;
        LOGFONTA marlett = {};
        // Height x 7 tenths of a point, in the device's pixels.
        marlett.lfHeight = -::MulDiv(height * 7, ::GetDeviceCaps(dc, LOGPIXELSY), 720);
        marlett.lfCharSet = SYMBOL_CHARSET;
        lstrcpynA(marlett.lfFaceName, "Marlett", LF_FACESIZE);
        CFont font;
        font.CreateFontIndirect(&marlett);
        HGDIOBJ old = ::SelectObject(dc, font);
        ::SetBkMode(dc, TRANSPARENT);
        ::SetTextColor(dc, glyph);
        ::DrawTextA(dc, "r", 1, &inner, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        ::SelectObject(dc, old);
    }
    if (pressed) {
        RECT edge = button;
        ::DrawEdge(dc, &edge, BDR_SUNKENOUTER, BF_RECT);
    } else if (hot) {
        RECT edge = button;
        ::DrawEdge(dc, &edge, BDR_RAISEDINNER, BF_RECT);
    }
}

namespace {
class CCloseTracker : public IDockDragTracker {
public:
    CCloseTracker(HWND pane, const RECT& button) : m_pane(pane), m_button(button) {}
    void OnDragMove(POINT screen, bool) override
    {
        RECT window = {};
        ::GetWindowRect(m_pane, &window);
        const POINT point = {screen.x - window.left, screen.y - window.top};
        m_over = ::PtInRect(&m_button, point) != FALSE;
    }
    void OnControlKey(bool) override {}
    bool Over() const { return m_over; }

private:
    HWND m_pane;
    RECT m_button;
    bool m_over = true;
};
}  // namespace

// The close button is tracked from the press on it (never from inside WM_NCHITTEST, which other
// code sends freely): released over the button, the pane closes.
void CDockingWindow::TrackCloseButton()
{
    const RECT button = CloseButtonRect();
    {
        HDC dc = ::GetWindowDC(m_hWnd);
        DrawCloseButton(dc, button, HasFocusInside(), true, true);
        ::ReleaseDC(m_hWnd, dc);
    }
    CCloseTracker tracker(m_hWnd, button);
    const HWND self = m_hWnd;
    const bool accepted = RunDockDragLoop(m_hWnd, tracker) == EDockDragEnd::Accepted;
    if (!::IsWindow(self))
        return;
    ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME);
    if (accepted && tracker.Over())
        SendMessage(WM_NCLBUTTONUP, HTCLOSE, 0);
}

LRESULT CDockingWindow::OnNcLButtonDown(UINT, WPARAM wParam, LPARAM lParam, BOOL& handled)
{
    const POINT point = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    if (wParam == HTCAPTION) {
        if (m_content && ::IsWindowVisible(m_content))
            ::SetFocus(m_content);
        else
            SetFocus();
        DragByCaption(point);
        return 0;
    }
    if (wParam == HTCLOSE && m_host && !::GetCapture()) {
        TrackCloseButton();
        return 0;
    }
    handled = FALSE;
    return 0;
}

LRESULT CDockingWindow::OnNcLButtonUp(UINT, WPARAM wParam, LPARAM, BOOL& handled)
{
    if (wParam != HTCLOSE) {
        handled = FALSE;
        return 0;
    }
    HWND previous = FocusKeeper();
    PostMessage(WM_CLOSE);
    RestoreFocus(previous);
    return 0;
}

LRESULT CDockingWindow::OnNcLButtonDblClk(UINT, WPARAM wParam, LPARAM, BOOL& handled)
{
    if (wParam != HTCAPTION || IsIconic() || IsZoomed()) {
        handled = FALSE;
        return 0;
    }
    if (m_host) {
        Undock();
        FloatAt(m_floatRect, false);
    } else if (m_remembered.header.host) {
        CDockPositionRecord record = m_remembered;
        SetDockRect(record, m_floatRect);
        record.visible = 1;
        DockRequest(record);
    }
    return 0;
}

void CDockingWindow::RestoreFocus(HWND previous)
{
    if (previous && ::IsWindow(previous) && ::IsWindowVisible(previous))
        ::SetFocus(previous);
    else if (HWND top = ::GetAncestor(m_target ? m_target : m_hWnd, GA_ROOT))
        ::SetFocus(top);
}

LRESULT CDockingWindow::OnClose(UINT, WPARAM, LPARAM, BOOL&)
{
    HWND previous = FocusKeeper();
    Hide();
    RestoreFocus(previous);
    return 0;
}

LRESULT CDockingWindow::OnSetFocus(UINT, WPARAM, LPARAM, BOOL&)
{
    if (!m_host) {
        if (HWND owner = ::GetWindow(m_hWnd, GW_OWNER))
            ::SetWindowPos(owner, m_hWnd, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
    }
    if (m_content && ::IsWindowVisible(m_content))
        ::SetFocus(m_content);
    return 0;
}

LRESULT CDockingWindow::OnWindowPosChanging(UINT, WPARAM, LPARAM, BOOL& handled)
{
    if (!m_host)
        handled = FALSE;
    return 0;
}

LRESULT CDockingWindow::OnWindowPosChanged(UINT, WPARAM, LPARAM lParam, BOOL& handled)
{
    const auto* pos = reinterpret_cast<const WINDOWPOS*>(lParam);
    const bool unchanged = (pos->flags & SWP_NOMOVE) && (pos->flags & SWP_NOSIZE) && !(pos->flags & SWP_SHOWWINDOW);
    if (!m_host && IsWindowVisible() && !unchanged) {
        RECT window = {};
        GetWindowRect(&window);
        m_floatRect = window;
    }
    handled = FALSE;
    return 0;
}

LRESULT CDockingWindow::OnSize(UINT, WPARAM, LPARAM, BOOL&)
{
    if (!m_content || !::IsWindow(m_content))
        return 0;
    RECT client = {};
    GetClientRect(&client);
    if (m_bordered)
        ::InflateRect(&client, -1, -1);
    ::SetWindowPos(m_content, nullptr, client.left, client.top, std::max<LONG>(0, client.right - client.left),
                   std::max<LONG>(0, client.bottom - client.top), SWP_NOZORDER | SWP_NOACTIVATE);
    return 0;
}

LRESULT CDockingWindow::OnEraseBackground(UINT, WPARAM wParam, LPARAM, BOOL&)
{
    HDC dc = reinterpret_cast<HDC>(wParam);
    RECT client = {};
    GetClientRect(&client);
    if (m_bordered) {
        ::FrameRect(dc, &client, ::GetSysColorBrush(COLOR_BTNSHADOW));
        ::InflateRect(&client, -1, -1);
    }
    if (!m_content)
        ::FillRect(dc, &client, ::GetSysColorBrush(COLOR_BTNFACE));
    return 1;
}

LRESULT CDockingWindow::OnGetMinMaxInfo(UINT message, WPARAM wParam, LPARAM lParam, BOOL&)
{
    DefWindowProc(message, wParam, lParam);
    auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
    info->ptMinTrackSize.x = std::max<LONG>(info->ptMinTrackSize.x, m_captionThickness);
    info->ptMinTrackSize.y = std::max<LONG>(info->ptMinTrackSize.y, m_captionThickness);
    return 0;
}

LRESULT CDockingWindow::OnSettingChange(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled)
{
    if (!m_host) {
        GetDockingLook().Refresh();
        SendMessageToDescendants(message, wParam, lParam, TRUE);
    }
    UpdateCaptionThickness();
    SetWindowPos(nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    handled = FALSE;
    return 0;
}

LRESULT CDockingWindow::OnMenuChar(UINT message, WPARAM wParam, LPARAM lParam, BOOL&)
{
    return ::SendMessageA(GetParent(), message, wParam, lParam);
}

// ---- Dragging by the caption ----------------------------------------------------------------

namespace {
class CPaneDragTracker : public IDockDragTracker {
public:
    CPaneDragTracker(HWND pane, HWND target, POINT start, const RECT& floatRect)
        : m_pane(pane), m_target(target), m_start(start), m_last(start)
    {
        RECT window = {};
        ::GetWindowRect(pane, &window);
        const int width = std::max<LONG>(1, window.right - window.left);
        const int height = std::max<LONG>(1, window.bottom - window.top);
        m_size = {width, height};
        m_floatSize = {floatRect.right - floatRect.left, floatRect.bottom - floatRect.top};
        // The grab point keeps its relative place in the floating ghost.
        const int gx = start.x - (start.x - window.left) * m_floatSize.cx / width;
        const int gy = start.y - (start.y - window.top) * m_floatSize.cy / height;
        m_grab = {gx - start.x, gy - start.y};
    }

    void OnDragMove(POINT screen, bool control) override
    {
        m_last = screen;
        m_control = control;
        if (!m_started) {
            if (std::abs(screen.x - m_start.x) <= ::GetSystemMetrics(SM_CXDRAG) &&
                std::abs(screen.y - m_start.y) <= ::GetSystemMetrics(SM_CYDRAG))
                return;
            m_started = true;
        }
        Update();
    }
    void OnControlKey(bool down) override
    {
        m_control = down;
        if (m_started)
            Update();
    }

    bool Started() const { return m_started; }
    HWND Host() const { return m_host; }
    CDockDragRecord& Record() { return m_record; }
    const RECT& Ghost() const { return m_ghostRect; }
    void EraseGhost() { m_ghost.Erase(); }

private:
    void Update()
    {
        m_record = CDockDragRecord{};
        m_record.header.pane = DockHandleField(m_pane);
        m_record.header.code = kDockClampDrag;
        SetDockRect(m_record, RECT{m_last.x, m_last.y, m_last.x + m_size.cx, m_last.y + m_size.cy});
        SendDockRequest(m_target, kDockMsgRequest, m_record);
        m_record.header.code = kDockAccept;
        m_host = nullptr;
        const CDockDragRecord asked = m_record;
        if (!m_control) {
            bool boxFound = false;
            for (HWND w = ::WindowFromPoint(m_last); w && w != m_pane; w = ::GetParent(w)) {
                // Only windows of this program's own thread are asked: a pointer into this
                // process means nothing to another one.
                if (!OwnThreadWindow(w) || !IsDockingBox(w))
                    continue;
                boxFound = true;
                if (SendDockRequest(w, GetDockingBoxMessage(), m_record) && m_record.header.host)
                    m_host = w;
                break;
            }
            if (!m_host) {
                m_record = asked;
                if (SendDockRequest(m_target, kDockMsgRequest, m_record) && m_record.header.host)
                    m_host = m_target;
            }
            (void)boxFound;
        }
        if (m_host) {
            m_ghostRect = DockRect(m_record);
        } else {
            m_record = asked;
            m_record.header.host = 0;
            const int left = m_last.x + m_grab.cx;
            const int top = m_last.y + m_grab.cy;
            m_ghostRect = {left, top, left + m_floatSize.cx, top + m_floatSize.cy};
        }
        m_ghost.ShowFrame(m_ghostRect);
    }

    HWND m_pane;
    HWND m_target;
    POINT m_start;
    POINT m_last;
    SIZE m_size = {};
    SIZE m_floatSize = {};
    SIZE m_grab = {};
    bool m_control = false;
    bool m_started = false;
    HWND m_host = nullptr;
    CDockDragRecord m_record;
    RECT m_ghostRect = {};
    CDockGhost m_ghost;
};
}  // namespace

// The drag starts once the cursor leaves the system's drag rectangle around the press. The drag's
// own loop detects that, as DragDetect would, so that no second modal loop takes the first mouse
// messages away from the drag.
void CDockingWindow::DragByCaption(POINT screen)
{
    SetWindowPos(HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    if (::IsRectEmpty(&m_floatRect)) {
        CDockDragRecord clamp;
        clamp.header.pane = DockHandleField(m_hWnd);
        clamp.header.code = kDockClampDrag;
        RECT window = {};
        GetWindowRect(&window);
        SetDockRect(clamp, window);
        SendDockRequest(m_target, kDockMsgRequest, clamp);
        m_floatRect = DockRect(clamp);
    }
    const HWND self = m_hWnd;
    CPaneDragTracker tracker(m_hWnd, m_target, screen, m_floatRect);
    const EDockDragEnd end = RunDockDragLoop(m_hWnd, tracker);
    tracker.EraseGhost();
    if (!::IsWindow(self) || end != EDockDragEnd::Accepted || !tracker.Started())
        return;
    HWND host = tracker.Host();
    if (host == m_hWnd)
        return;
    if (IsDocked() && host != m_host)
        Undock();
    else if (IsDocked() && host == m_host)
        return;
    if (host) {
        if (!Dock(tracker.Record()))
            FloatAt(m_floatRect, true);
    } else {
        FloatAt(tracker.Ghost(), true);
    }
}
