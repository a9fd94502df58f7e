#include "frame/gestures/GestureTracker.h"

#include "frame/gestures/GestureSettings.h"

CGestureTracker::CGestureTracker(CGestureInputFilter& filter, bool leftButtonGestures, bool rightButtonGestures,
                                 CGestureSettings* settings)
    : m_filter(filter),
      m_leftButtonGestures(leftButtonGestures),
      m_rightButtonGestures(rightButtonGestures),
      m_settings(settings)
{
}

CGestureTracker::~CGestureTracker()
{
    Detach();
}

HRESULT CGestureTracker::Attach(HWND window, IGestureHandler* handler, CGestureListener* listener)
{
    m_handler = handler;
    const HRESULT result = m_filter.Hook(window, this, listener);
    if (FAILED(result))
        m_handler = nullptr;
    return result;
}

void CGestureTracker::Detach()
{
    m_handler = nullptr;
    m_filter.Unhook();
}

bool CGestureTracker::GesturesEnabled() const
{
    const CGestureSettings* settings = m_settings ? m_settings : GetGestureSettings();
    return settings && settings->GesturesEnabled();
}

void CGestureTracker::ButtonGesture(HWND window, int gestureId, POINT point)
{
    if (m_handler)
        m_handler->OnGesture(window, gestureId, CGestureStroke{{point.x, point.y}});
}

// The right button is held and the left one goes down: "Click Right Left". Whether gestures are
// on is the handler's business (its GetAction answers nothing while they are off).
bool CGestureTracker::OnLButtonDown(HWND window, POINT point, UINT keys)
{
    if (!(keys & MK_RBUTTON))
        return !m_leftButtonGestures;
    ButtonGesture(window, kGestureClickRightLeft, point);
    m_filter.Cancel();
    return true;
}

bool CGestureTracker::OnRButtonDown(HWND window, POINT point, UINT keys)
{
    if (!GesturesEnabled())
        return true;
    if (!(keys & MK_LBUTTON))
        return !m_rightButtonGestures;
    ButtonGesture(window, kGestureClickLeftRight, point);
    m_filter.Cancel();
    return true;
}

void CGestureTracker::OnLeftStroke(HWND window, const CGestureStroke& stroke)
{
    StrokeEnded(window, stroke, WM_LBUTTONDOWN, WM_LBUTTONUP);
}

void CGestureTracker::OnRightStroke(HWND window, const CGestureStroke& stroke)
{
    StrokeEnded(window, stroke, WM_RBUTTONDOWN, WM_RBUTTONUP);
}

bool CGestureTracker::OnLButtonUp(HWND, POINT, UINT)
{
    return m_leftButtonGestures;
}

// A release outside a stroke follows a press the tracker let through, or a rocker or wheel
// gesture that cancelled the stroke. After a gesture it is swallowed, so no context menu opens;
// while gestures are off the press reached the page, and so does its release: swallowing it
// would leave the page without its context menu for as long as gestures are off.
bool CGestureTracker::OnRButtonUp(HWND, POINT, UINT)
{
    return m_rightButtonGestures && GesturesEnabled();
}

// The wheel's direction is not passed on: "Mouse Wheel" is one gesture. Turned with the right
// button held it is swallowed even when no action is bound, so the page does not scroll under a
// gesture.
bool CGestureTracker::OnMouseWheel(HWND window, UINT keys, short, POINT point)
{
    if (!(keys & MK_RBUTTON))
        return false;
    m_filter.Cancel();
    ButtonGesture(window, kGestureMouseWheel, point);
    return true;
}

// A stroke nobody took is played back as the plain click it started as: the press at its first
// point and the release at its last, sent past the filter.
void CGestureTracker::StrokeEnded(HWND window, const CGestureStroke& stroke, UINT downMessage, UINT upMessage)
{
    const int id = m_recognizer.Recognize(stroke);
    if (id != -1 && m_handler && m_handler->OnGesture(window, id, stroke))
        return;
    if (stroke.empty() || !::IsWindow(window))
        return;
    CGestureInputFilter::CReplayScope replay(m_filter);
    const CGesturePoint& first = stroke.front();
    const CGesturePoint& last = stroke.back();
    ::SendMessageA(window, downMessage, 0, MAKELPARAM(static_cast<WORD>(first.x), static_cast<WORD>(first.y)));
    ::SendMessageA(window, upMessage, 0, MAKELPARAM(static_cast<WORD>(last.x), static_cast<WORD>(last.y)));
}
