#include "frame/gestures/TrailWindow.h"

#include <algorithm>
#include <cmath>

namespace trail_geometry {

namespace {
constexpr double kPi = 3.14159265358979323846;
}  // namespace

RECT DirtyRect(const RECT& pointBounds, int width, const RECT& bounds)
{
    const int margin = std::max(1, 2 * width);
    RECT dirty = {pointBounds.left - margin, pointBounds.top - margin, pointBounds.right + margin,
                  pointBounds.bottom + 2 * margin};
    RECT clipped = {};
    ::IntersectRect(&clipped, &dirty, &bounds);
    return clipped;
}

bool DrawsArrowHead(const std::vector<POINT>& points, int width)
{
    if (points.size() > 5)
        return true;
    if (points.empty())
        return false;
    const double span = std::hypot(static_cast<double>(points.back().x - points.front().x),
                                   static_cast<double>(points.back().y - points.front().y));
    return span > width;
}

void ArrowHead(const std::vector<POINT>& points, int width, POINT (&triangle)[3])
{
    double angle = 0.0;
    if (points.size() >= 2) {
        const double dx = points.back().x - points[points.size() - 2].x;
        const double dy = points.back().y - points[points.size() - 2].y;
        if (dx == 0.0)
            angle = dy <= 0.0 ? -kPi / 2 : kPi / 2;
        else
            angle = std::atan2(dy, dx);
    }
    const double size = std::max(2, width);
    const POINT last = points.empty() ? POINT{} : points.back();
    const double c = std::cos(angle);
    const double s = std::sin(angle);
    const POINT tip = {last.x + static_cast<LONG>(1.5 * size * c), last.y + static_cast<LONG>(1.5 * size * s)};
    const double backX = -2.5 * size * std::cos(kPi / 6);
    const double backY = 2.5 * size * std::sin(kPi / 6);
    triangle[0] = tip;
    // The two back corners: (backX, +-backY) rotated by the angle.
    triangle[1] = {tip.x + static_cast<LONG>(backX * c - backY * s), tip.y + static_cast<LONG>(backX * s + backY * c)};
    triangle[2] = {tip.x + static_cast<LONG>(backX * c + backY * s), tip.y + static_cast<LONG>(backX * s - backY * c)};
}

std::vector<BYTE> FadeSteps(BYTE transparency, int fadeSpeed)
{
    std::vector<BYTE> steps;
    if (fadeSpeed == kTrailNoFade)
        return steps;
    const int speed = std::max(1, fadeSpeed);
    for (int alpha = transparency; alpha > 0; alpha -= speed)
        steps.push_back(static_cast<BYTE>(alpha));
    return steps;
}

}  // namespace trail_geometry

namespace {

HBRUSH ColorKeyBrush()
{
    // The class brush lives as long as the program, like the class.
    static HBRUSH brush = ::CreateSolidBrush(kTrailColorKey);
    return brush;
}

}  // namespace

CWndClassInfo& CTrailWindow::GetWndClassInfo()
{
    static CWndClassInfo info = {{sizeof(WNDCLASSEXA), 0, AtlWinProc, 0, 0, nullptr, nullptr, nullptr, ColorKeyBrush(),
                                  nullptr, "TrailWindow", nullptr},
                                 nullptr, nullptr, IDC_ARROW, TRUE, 0, "", 0};
    return info;
}

CTrailWindow::~CTrailWindow()
{
    if (m_hWnd && ::IsWindow(m_hWnd))
        DestroyWindow();
    if (m_memoryDC.m_hDC && m_previousBitmap)
        m_memoryDC.SelectBitmap(m_previousBitmap);
}

RECT CTrailWindow::CoveredRect()
{
    RECT desktop = {};
    ::GetWindowRect(::GetDesktopWindow(), &desktop);
    ::InflateRect(&desktop, -1, -1);
    return desktop;
}

bool CTrailWindow::CreateTrailWindow()
{
    if (m_hWnd)
        return true;
    m_keyBrush.CreateSolidBrush(kTrailColorKey);
    m_covered = CoveredRect();
    if (!Create(nullptr, m_covered, "", WS_POPUP,
                WS_EX_LAYERED | WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_TRANSPARENT | WS_EX_NOACTIVATE))
        return false;
    ::SetLayeredWindowAttributes(m_hWnd, kTrailColorKey, m_transparency, LWA_COLORKEY | LWA_ALPHA);
    MakeMemoryBitmap();
    ShowWindow(SW_SHOWNA);
    // Painted at once: until its first WM_PAINT a layered window's pixels are black under Wine,
    // which the colour key does not hide.
    UpdateWindow();
    return true;
}

void CTrailWindow::MakeMemoryBitmap()
{
    if (m_memoryDC.m_hDC && m_previousBitmap)
        m_memoryDC.SelectBitmap(m_previousBitmap);
    m_previousBitmap = nullptr;
    m_memoryBitmap.DeleteObject();
    m_memoryDC.DeleteDC();
    CClientDC windowDC(m_hWnd);
    m_memoryDC.CreateCompatibleDC(windowDC);
    m_memoryBitmap.CreateCompatibleBitmap(windowDC, m_covered.right - m_covered.left, m_covered.bottom - m_covered.top);
    if (m_memoryDC.m_hDC && m_memoryBitmap.m_hGdiObj) {
        m_previousBitmap = m_memoryDC.SelectBitmap(m_memoryBitmap);
        RECT all = {0, 0, m_covered.right - m_covered.left, m_covered.bottom - m_covered.top};
        ::FillRect(m_memoryDC, &all, m_keyBrush);
    }
}

void CTrailWindow::ApplySettings(COLORREF color, int width, BYTE transparency, int fadeSpeed)
{
    m_width = std::clamp(width, 0, 64);
    LOGBRUSH brush = {BS_SOLID, color, 0};
    m_trailPen.DeleteObject();
    m_trailPen.Attach(::ExtCreatePen(PS_GEOMETRIC | PS_SOLID | PS_ENDCAP_ROUND | PS_JOIN_ROUND,
                                     static_cast<DWORD>(std::max(1, m_width)), &brush, 0, nullptr));
    m_outlinePen.DeleteObject();
    m_outlinePen.CreatePen(PS_SOLID, 1, color);
    m_trailBrush.DeleteObject();
    m_trailBrush.CreateSolidBrush(color);
    m_transparency = transparency;
    m_fadeSpeed = std::clamp(fadeSpeed, 1, 255);
    if (m_hWnd)
        ::SetLayeredWindowAttributes(m_hWnd, kTrailColorKey, m_transparency, LWA_COLORKEY | LWA_ALPHA);
}

void CTrailWindow::Begin(HWND window)
{
    POINT origin = {0, 0};
    ::ClientToScreen(window, &origin);
    // Points arrive in the window's client coordinates and are drawn in the trail's own, which
    // start at the covered rectangle's corner.
    m_origin = {origin.x - m_covered.left, origin.y - m_covered.top};
    m_lastPoint = {static_cast<LONG>(0x80000000), static_cast<LONG>(0x80000000)};
    if (m_hWnd)
        SetWindowPos(HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void CTrailWindow::AddPoint(const CGestureStroke& stroke)
{
    if (stroke.empty())
        return;
    const CGesturePoint& taken = m_points.empty() ? stroke.front() : stroke.back();
    const POINT point = {taken.x + m_origin.x, taken.y + m_origin.y};
    if (!m_points.empty() &&
        std::hypot(static_cast<double>(point.x - m_lastPoint.x), static_cast<double>(point.y - m_lastPoint.y)) <
            kTrailMinimumDistance)
        return;
    m_points.push_back(point);
    m_lastPoint = point;
    if (m_points.size() == 1) {
        m_pointBounds = {point.x, point.y, point.x, point.y};
    } else {
        m_pointBounds.left = std::min(m_pointBounds.left, point.x);
        m_pointBounds.top = std::min(m_pointBounds.top, point.y);
        m_pointBounds.right = std::max(m_pointBounds.right, point.x);
        m_pointBounds.bottom = std::max(m_pointBounds.bottom, point.y);
    }
    Paint();
}

void CTrailWindow::Paint()
{
    if (!m_hWnd || !m_memoryDC.m_hDC || m_points.empty())
        return;
    const RECT bounds = {0, 0, m_covered.right - m_covered.left, m_covered.bottom - m_covered.top};
    const RECT dirty = trail_geometry::DirtyRect(m_pointBounds, m_width, bounds);
    ::FillRect(m_memoryDC, &dirty, m_keyBrush);
    {
        CGdiObjectSelector pen(m_memoryDC, m_trailPen.m_hGdiObj);
        CGdiObjectSelector brush(m_memoryDC, m_trailBrush.m_hGdiObj);
        const int radius = m_width < 4 ? 2 : m_width / 2;
        const POINT first = m_points.front();
        ::Ellipse(m_memoryDC, first.x - radius, first.y - radius, first.x + radius, first.y + radius);
        ::Polyline(m_memoryDC, m_points.data(), static_cast<int>(m_points.size()));
    }
    if (trail_geometry::DrawsArrowHead(m_points, m_width)) {
        POINT triangle[3];
        trail_geometry::ArrowHead(m_points, m_width, triangle);
        CGdiObjectSelector pen(m_memoryDC, m_outlinePen.m_hGdiObj);
        CGdiObjectSelector brush(m_memoryDC, m_trailBrush.m_hGdiObj);
        ::Polygon(m_memoryDC, triangle, 3);
    }
    CClientDC windowDC(m_hWnd);
    ::BitBlt(windowDC, dirty.left, dirty.top, dirty.right - dirty.left, dirty.bottom - dirty.top, m_memoryDC, dirty.left,
             dirty.top, SRCCOPY);
}

void CTrailWindow::SetAlpha(BYTE alpha)
{
    if (m_hWnd)
        ::SetLayeredWindowAttributes(m_hWnd, kTrailColorKey, alpha, LWA_COLORKEY | LWA_ALPHA);
}

// The fade has no pause between its steps: the window is made more transparent as fast as the
// system repaints it. Then the bitmap is cleared, and the messages already queued for the window
// are handled at once, so that it shows empty before the next stroke starts.
void CTrailWindow::End()
{
    m_lastFade = trail_geometry::FadeSteps(m_transparency, m_fadeSpeed);
    for (BYTE alpha : m_lastFade)
        SetAlpha(alpha);
    if (m_memoryDC.m_hDC && !m_points.empty()) {
        const RECT bounds = {0, 0, m_covered.right - m_covered.left, m_covered.bottom - m_covered.top};
        const RECT dirty = trail_geometry::DirtyRect(m_pointBounds, m_width, bounds);
        ::FillRect(m_memoryDC, &dirty, m_keyBrush);
    }
    m_points.clear();
    if (m_hWnd) {
        Invalidate();
        MSG msg;
        while (::PeekMessageA(&msg, m_hWnd, 0, 0, PM_REMOVE))
            ::DispatchMessageA(&msg);
        UpdateWindow();
    }
    if (!m_lastFade.empty())
        SetAlpha(m_transparency);
}

void CTrailWindow::BringToTop()
{
    if (!m_hWnd)
        return;
    CComCritSecLock<CComAutoCriticalSection> lock(m_zOrderLock);
    SetWindowPos(HWND_TOPMOST, &m_covered, SWP_NOACTIVATE);
    KillTimer(kTrailSendToBottomTimer);
}

void CTrailWindow::SendToBottomLater()
{
    if (!m_hWnd)
        return;
    CComCritSecLock<CComAutoCriticalSection> lock(m_zOrderLock);
    SetTimer(kTrailSendToBottomTimer, kTrailSendToBottomDelay);
}

LRESULT CTrailWindow::OnTimer(UINT, WPARAM wParam, LPARAM, BOOL& bHandled)
{
    if (wParam != kTrailSendToBottomTimer) {
        bHandled = FALSE;
        return 0;
    }
    CComCritSecLock<CComAutoCriticalSection> lock(m_zOrderLock);
    KillTimer(kTrailSendToBottomTimer);
    SetWindowPos(HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    return 0;
}

LRESULT CTrailWindow::OnDisplayChange(UINT, WPARAM, LPARAM, BOOL&)
{
    m_covered = CoveredRect();
    SetWindowPos(HWND_TOPMOST, &m_covered, SWP_NOACTIVATE);
    MakeMemoryBitmap();
    return 0;
}

// The background is the class's colour-key brush; painting copies the memory bitmap, which holds
// the trail on the key colour.
LRESULT CTrailWindow::OnEraseBackground(UINT, WPARAM, LPARAM, BOOL&)
{
    return 1;
}

LRESULT CTrailWindow::OnPaint(UINT, WPARAM, LPARAM, BOOL&)
{
    PAINTSTRUCT paint;
    HDC dc = ::BeginPaint(m_hWnd, &paint);
    if (m_memoryDC.m_hDC) {
        const RECT& r = paint.rcPaint;
        ::BitBlt(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, m_memoryDC, r.left, r.top, SRCCOPY);
    } else {
        ::FillRect(dc, &paint.rcPaint, m_keyBrush);
    }
    ::EndPaint(m_hWnd, &paint);
    return 0;
}
