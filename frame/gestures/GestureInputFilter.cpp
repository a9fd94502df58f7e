#include "frame/gestures/GestureInputFilter.h"

#include "frame/gestures/TrailSettings.h"
#include "platform/Diagnostics.h"


namespace {

POINT PointOf(LPARAM lParam)
{
    // Signed 16-bit coordinates: a point left of or above the window under the capture is negative.
    return {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
}

CGesturePoint GesturePointOf(POINT point)
{
    return {point.x, point.y};
}

UINT KeysOf(WPARAM wParam)
{
    return static_cast<UINT>(GET_KEYSTATE_WPARAM(wParam));
}

}  // namespace

CNullTrailSink& GetNullTrailSink()
{
    static CNullTrailSink sink;
    return sink;
}

CGestureInputFilter::~CGestureInputFilter()
{
    Unhook();
    // Still hooked (another subclass above ours): the window library's destructor lets go of the
    // window by force, so no message ever reaches a freed filter.
}

HRESULT CGestureInputFilter::Hook(HWND window, CGestureListener* handler, CGestureListener* listener)
{
    if (m_hooked || !SubclassWindow(window))
        return E_FAIL;
    m_handler = handler;
    m_listener = listener;
    m_hooked = true;
    return S_OK;
}

void CGestureInputFilter::Unhook()
{
    if (!m_hooked)
        return;
    if (m_capturing)
        Cancel();
    if (UnsubclassWindow())
        m_hooked = false;
}

void CGestureInputFilter::Cancel()
{
    GetTrailSink().End();
    m_left.active = false;
    m_right.active = false;
    LetGoOfCapture();
}

CTrailSink& CGestureInputFilter::GetTrailSink()
{
    if (m_trailSink)
        return *m_trailSink;
    CTrailSettings* settings = GetTrailSettings();
    return settings ? settings->GetTrailSink() : GetNullTrailSink();
}

void CGestureInputFilter::BeginStroke(CStroke& stroke, POINT point)
{
    stroke.active = true;
    TakeCapture();
    stroke.points.clear();
    stroke.points.push_back(GesturePointOf(point));
}

void CGestureInputFilter::TakeCapture()
{
    if (!m_capturing) {
        m_capturing = true;
        ::SetCapture(m_hWnd);
    }
}

// The flag goes first: releasing sends WM_CAPTURECHANGED, which must not read as losing the
// capture to someone else.
void CGestureInputFilter::LetGoOfCapture()
{
    if (m_capturing) {
        m_capturing = false;
        if (::GetCapture() == m_hWnd)
            ::ReleaseCapture();
    }
}

// The listener's and handler's answers to a move or a press run inside a catch of their own:
// what they throw is reported and the message is swallowed, so the page never sees half of it;
// a point already appended or a stroke already started stays.
LRESULT CGestureInputFilter::OnMouseMove(UINT, WPARAM wParam, LPARAM lParam, BOOL& bHandled)
{
    const POINT point = PointOf(lParam);
    try {
        if (m_listener)
            m_listener->OnMouseMove(m_hWnd, point, KeysOf(wParam));
        if (m_left.active)
            m_left.points.push_back(GesturePointOf(point));
        if (m_right.active) {
            m_right.points.push_back(GesturePointOf(point));
            GetTrailSink().AddPoint(m_right.points);
        }
    } catch (...) {
        ReportCaughtException("CGestureInputFilter::OnMouseMove");
        return 0;
    }
    bHandled = m_left.active || m_right.active;
    return 0;
}

LRESULT CGestureInputFilter::OnRButtonDown(UINT, WPARAM wParam, LPARAM lParam, BOOL& bHandled)
{
    if (m_replaying) {
        bHandled = FALSE;
        return 0;
    }
    const POINT point = PointOf(lParam);
    try {
        if (m_listener)
            m_listener->OnRButtonDown(m_hWnd, point, KeysOf(wParam));
        if (!m_handler || m_handler->OnRButtonDown(m_hWnd, point, KeysOf(wParam))) {
            bHandled = FALSE;
            return 0;
        }
        m_right.active = true;
        GetTrailSink().Begin(m_hWnd);
        BeginStroke(m_right, point);
    } catch (...) {
        ReportCaughtException("CGestureInputFilter::OnRButtonDown");
    }
    return 0;
}

LRESULT CGestureInputFilter::OnRButtonUp(UINT, WPARAM wParam, LPARAM lParam, BOOL& bHandled)
{
    if (m_replaying) {
        bHandled = FALSE;
        return 0;
    }
    const POINT point = PointOf(lParam);
    LetGoOfCapture();
    if (m_right.active) {
        m_right.active = false;
        if (m_right.points.size() > 1)
            m_right.points.push_back(GesturePointOf(point));
        GetTrailSink().End();
        if (m_handler)
            m_handler->OnRightStroke(m_hWnd, m_right.points);
        return 0;
    }
    bHandled = m_handler && m_handler->OnRButtonUp(m_hWnd, point, KeysOf(wParam));
    return 0;
}

LRESULT CGestureInputFilter::OnLButtonDown(UINT, WPARAM wParam, LPARAM lParam, BOOL& bHandled)
{
    if (m_replaying) {
        bHandled = FALSE;
        return 0;
    }
    const POINT point = PointOf(lParam);
    try {
        if (m_listener)
            m_listener->OnLButtonDown(m_hWnd, point, KeysOf(wParam));
        if (!m_handler || m_handler->OnLButtonDown(m_hWnd, point, KeysOf(wParam))) {
            bHandled = FALSE;
            return 0;
        }
        BeginStroke(m_left, point);
    } catch (...) {
        ReportCaughtException("CGestureInputFilter::OnLButtonDown");
    }
    return 0;
}

LRESULT CGestureInputFilter::OnLButtonUp(UINT, WPARAM wParam, LPARAM lParam, BOOL& bHandled)
{
    if (m_replaying) {
        bHandled = FALSE;
        return 0;
    }
    const POINT point = PointOf(lParam);
    LetGoOfCapture();
    if (m_left.active) {
        m_left.active = false;
        if (m_left.points.size() > 1)
            m_left.points.push_back(GesturePointOf(point));
        if (m_handler)
            m_handler->OnLeftStroke(m_hWnd, m_left.points);
        return 0;
    }
    bHandled = m_handler && m_handler->OnLButtonUp(m_hWnd, point, KeysOf(wParam));
    return 0;
}

// The message carries the cursor in screen coordinates; the handler is given it in the window's
// client coordinates, like every other point, so that a wheel gesture's place means the same as
// a stroke's.
LRESULT CGestureInputFilter::OnMouseWheel(UINT, WPARAM wParam, LPARAM lParam, BOOL& bHandled)
{
    POINT point = PointOf(lParam);
    ::ScreenToClient(m_hWnd, &point);
    bHandled = m_handler &&
               m_handler->OnMouseWheel(m_hWnd, static_cast<UINT>(wParam), GET_WHEEL_DELTA_WPARAM(wParam), point);
    return 0;
}

LRESULT CGestureInputFilter::OnMButtonDown(UINT, WPARAM wParam, LPARAM lParam, BOOL& bHandled)
{
    bHandled = m_listener && m_listener->OnMButtonDown(m_hWnd, PointOf(lParam), KeysOf(wParam));
    return 0;
}

// Someone else took the capture (a menu, a drag, another window's SetCapture, the system on a
// switch of task): the button release will not come here, so the strokes end now rather than
// swallowing every later move of the page.
LRESULT CGestureInputFilter::OnCaptureChanged(UINT, WPARAM, LPARAM lParam, BOOL& bHandled)
{
    if (m_capturing && reinterpret_cast<HWND>(lParam) != m_hWnd)
        Cancel();
    bHandled = FALSE;
    return 0;
}

// The focus and destroy messages belong to the page window as much as to the filter: the filter
// does its own work and passes them on, so the engine keeps its caret, focus and clean-up.
LRESULT CGestureInputFilter::OnSetFocus(UINT, WPARAM, LPARAM, BOOL& bHandled)
{
    GetTrailSink().BringToTop();
    bHandled = FALSE;
    return 0;
}

LRESULT CGestureInputFilter::OnKillFocus(UINT, WPARAM, LPARAM, BOOL& bHandled)
{
    GetTrailSink().End();
    bHandled = FALSE;
    return 0;
}

LRESULT CGestureInputFilter::OnDestroy(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL&)
{
    if (m_capturing)
        Cancel();
    // Passed on first, while the filter is still in the chain, then the subclass is removed.
    const LRESULT result = DefWindowProc(uMsg, wParam, lParam);
    if (m_hooked) {
        UnsubclassWindow(TRUE);
        m_hooked = false;
    }
    return result;
}
