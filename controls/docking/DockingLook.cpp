#include "controls/docking/DockingLook.h"

#include "controls/docking/DockLayout.h"
#include "core/library/LifetimeTracker.h"

void CDockingLook::Refresh(DWORD dragFlags)
{
    m_refreshed = true;
    faceShade = DockGeometry::FaceShade(::GetSysColor(COLOR_BTNFACE));
    textShade = DockGeometry::TextShade(::GetSysColor(COLOR_BTNTEXT), ::GetSysColor(COLOR_GRAYTEXT));
    if (dragFlags != ~0u)
        flags = dragFlags;
    if (!(flags & kDockLookFixedDragMode)) {
        BOOL full = FALSE;
        ::SystemParametersInfoA(SPI_GETDRAGFULLWINDOWS, 0, &full, 0);
        flags = (flags & ~(kDockLookOutlineDrag | kDockLookFullDrag)) | (full ? kDockLookFullDrag : kDockLookOutlineDrag);
    }

    HGDIOBJ stock = ::GetStockObject(DEFAULT_GUI_FONT);
    if (stock != m_stockGuiFont || verticalGuiFont.IsNull()) {
        LOGFONTA font = {};
        if (::GetObjectA(stock, sizeof(font), &font)) {
            font.lfEscapement = font.lfOrientation = 2700;
            font.lfOutPrecision = OUT_TT_ONLY_PRECIS;
            verticalGuiFont.DeleteObject();
            verticalGuiFont.CreateFontIndirect(&font);
        }
        m_stockGuiFont = stock;
    }

    // The size of the structure without the padded border width of newer systems: what every
    // system, Wine included, accepts.
    metrics = {};
    metrics.cbSize = CCSIZEOF_STRUCT(NONCLIENTMETRICSA, lfMessageFont);
    if (!::SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0)) {
        metrics.iSmCaptionHeight = ::GetSystemMetrics(SM_CYSMCAPTION);
        ::GetObjectA(stock, sizeof(metrics.lfSmCaptionFont), &metrics.lfSmCaptionFont);
    }
    LOGFONTA caption = metrics.lfSmCaptionFont;
    caption.lfWeight = FW_NORMAL;
    captionFont.DeleteObject();
    captionFont.CreateFontIndirect(&caption);
    caption.lfEscapement = caption.lfOrientation = 2700;
    caption.lfOutPrecision = OUT_TT_ONLY_PRECIS;
    verticalCaptionFont.DeleteObject();
    verticalCaptionFont.CreateFontIndirect(&caption);

    cursorSizeNS = ::LoadCursorA(nullptr, IDC_SIZENS);
    cursorSizeWE = ::LoadCursorA(nullptr, IDC_SIZEWE);
}

CDockingLook& GetDockingLook()
{
    CDockingLook* look = GetSingleton<CDockingLook, kPriorityDockingLook>();
    if (!look) {
        // After the teardown (or when memory ran out) a window that still paints gets a look of
        // its own, made once.
        static CDockingLook late;
        look = &late;
    }
    if (!look->Refreshed())
        look->Refresh(0);
    return *look;
}

EDockDragEnd RunDockDragLoop(HWND window, IDockDragTracker& tracker)
{
    ::SetCapture(window);
    EDockDragEnd end = EDockDragEnd::Cancelled;
    MSG msg;
    for (;;) {
        if (::GetCapture() != window)
            break;
        const BOOL got = ::GetMessageA(&msg, nullptr, 0, 0);
        if (got == 0) {
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (got < 0)
            break;
        bool done = false;
        switch (msg.message) {
        case WM_KEYDOWN:
        case WM_KEYUP:
            if (msg.wParam == VK_ESCAPE && msg.message == WM_KEYDOWN) {
                done = true;
            } else if (msg.wParam == VK_CONTROL) {
                tracker.OnControlKey(msg.message == WM_KEYDOWN);
            }
            break;
        case WM_SYSKEYDOWN:
            ::DispatchMessageA(&msg);
            done = true;
            break;
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
            done = true;
            break;
        case WM_LBUTTONUP:
            end = EDockDragEnd::Accepted;
            done = true;
            break;
        case WM_RBUTTONUP:
            end = EDockDragEnd::Ended;
            done = true;
            break;
        case WM_MOUSEMOVE: {
            // Captured mouse messages carry the capturing window's client coordinates.
            POINT point = {static_cast<short>(LOWORD(msg.lParam)), static_cast<short>(HIWORD(msg.lParam))};
            ::ClientToScreen(msg.hwnd, &point);
            tracker.OnDragMove(point, (msg.wParam & MK_CONTROL) != 0);
            break;
        }
        default:
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
            break;
        }
        if (done)
            break;
    }
    if (::GetCapture() == window)
        ::ReleaseCapture();
    return end;
}

CDockGhost::CDockGhost() : m_screen(::GetDC(nullptr))
{
    m_brush.CreateHalftoneBrush();
}

CDockGhost::~CDockGhost()
{
    Erase();
    if (m_screen)
        ::ReleaseDC(nullptr, m_screen);
}

void CDockGhost::ShowFrame(const RECT& rect)
{
    if (::EqualRect(&rect, &m_shown) && m_shownIsFrame)
        return;
    Erase();
    if (::IsRectEmpty(&rect))
        return;
    Draw(rect, true);
    m_shown = rect;
    m_shownIsFrame = true;
}

void CDockGhost::ShowStrip(const RECT& rect)
{
    if (::EqualRect(&rect, &m_shown) && !m_shownIsFrame)
        return;
    Erase();
    if (::IsRectEmpty(&rect))
        return;
    Draw(rect, false);
    m_shown = rect;
    m_shownIsFrame = false;
}

void CDockGhost::Erase()
{
    if (!::IsRectEmpty(&m_shown))
        Draw(m_shown, m_shownIsFrame);
    ::SetRectEmpty(&m_shown);
}

void CDockGhost::Draw(const RECT& r, bool frame)
{
    if (!m_screen)
        return;
    HGDIOBJ old = ::SelectObject(m_screen, m_brush);
    const int w = r.right - r.left;
    const int h = r.bottom - r.top;
    constexpr int kWidth = 3;
    if (!frame || w <= 2 * kWidth || h <= 2 * kWidth) {
        ::PatBlt(m_screen, r.left, r.top, w, h, PATINVERT);
    } else {
        ::PatBlt(m_screen, r.left, r.top, w, kWidth, PATINVERT);
        ::PatBlt(m_screen, r.left, r.bottom - kWidth, w, kWidth, PATINVERT);
        ::PatBlt(m_screen, r.left, r.top + kWidth, kWidth, h - 2 * kWidth, PATINVERT);
        ::PatBlt(m_screen, r.right - kWidth, r.top + kWidth, kWidth, h - 2 * kWidth, PATINVERT);
    }
    ::SelectObject(m_screen, old);
}
