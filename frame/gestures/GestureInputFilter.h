#pragma once
// CGestureInputFilter subclasses a page window that the program does not own (the engine's
// "Internet Explorer_Server") and sees its mouse messages first: it records a stroke while a
// button is held and the handler asked for one, has the trail drawn for a right stroke, and tells
// the handler (the gesture tracker) and the optional listener (the tab's mouse listener) of
// presses, strokes and wheel turns. What it does not swallow reaches the page window unchanged.
//
// Lifetime: its owner holds it (the browser watcher's entry, a page, a test) and it must outlive
// neither its handler nor its listener, which it does not own. Going while still hooked is safe:
// the window library lets go of the window even when another subclass was stacked above it.
#include "frame/gestures/GestureListener.h"
#include "platform/AtlWin.h"

class CGestureInputFilter : public CWindowImpl<CGestureInputFilter> {
public:
    CGestureInputFilter() = default;
    ~CGestureInputFilter() override;

    // Subclasses the window; E_FAIL (and nothing changed) when it cannot be subclassed.
    HRESULT Hook(HWND window, CGestureListener* handler, CGestureListener* listener);
    // Removes the subclass; the filter stays hooked when another subclass lies above it.
    void Unhook();
    // Ends the trail, drops both strokes and releases the capture.
    void Cancel();

    bool IsHooked() const { return m_hooked; }
    bool IsLeftStrokeActive() const { return m_left.active; }
    bool IsRightStrokeActive() const { return m_right.active; }

    // The sink to draw on: the one given with SetTrailSink, else the program's trail.
    virtual CTrailSink& GetTrailSink();
    // Draws on `sink` (not owned; null: the program's trail) from now on.
    void SetTrailSink(CTrailSink* sink) { m_trailSink = sink; }

    // While it lives, button messages pass through the filter untouched (a click played back).
    class CReplayScope {
    public:
        explicit CReplayScope(CGestureInputFilter& filter) : m_filter(filter), m_previous(filter.m_replaying)
        {
            filter.m_replaying = true;
        }
        ~CReplayScope() { m_filter.m_replaying = m_previous; }
        CReplayScope(const CReplayScope&) = delete;
        CReplayScope& operator=(const CReplayScope&) = delete;

    private:
        CGestureInputFilter& m_filter;
        bool m_previous;
    };

    BEGIN_MSG_MAP(CGestureInputFilter)
        MESSAGE_HANDLER(WM_MOUSEMOVE, OnMouseMove)
        MESSAGE_HANDLER(WM_RBUTTONDOWN, OnRButtonDown)
        MESSAGE_HANDLER(WM_RBUTTONUP, OnRButtonUp)
        MESSAGE_HANDLER(WM_LBUTTONDOWN, OnLButtonDown)
        MESSAGE_HANDLER(WM_LBUTTONUP, OnLButtonUp)
        MESSAGE_HANDLER(WM_MOUSEWHEEL, OnMouseWheel)
        MESSAGE_HANDLER(WM_MBUTTONDOWN, OnMButtonDown)
        MESSAGE_HANDLER(WM_CAPTURECHANGED, OnCaptureChanged)
        MESSAGE_HANDLER(WM_SETFOCUS, OnSetFocus)
        MESSAGE_HANDLER(WM_KILLFOCUS, OnKillFocus)
        MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
    END_MSG_MAP()

private:
    struct CStroke {
        CGestureStroke points;
        bool active = false;
    };

    LRESULT OnMouseMove(UINT, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    LRESULT OnRButtonDown(UINT, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    LRESULT OnRButtonUp(UINT, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    LRESULT OnLButtonDown(UINT, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    LRESULT OnLButtonUp(UINT, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    LRESULT OnMouseWheel(UINT, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    LRESULT OnMButtonDown(UINT, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    LRESULT OnCaptureChanged(UINT, WPARAM, LPARAM lParam, BOOL& bHandled);
    LRESULT OnSetFocus(UINT, WPARAM, LPARAM, BOOL& bHandled);
    LRESULT OnKillFocus(UINT, WPARAM, LPARAM, BOOL& bHandled);
    LRESULT OnDestroy(UINT, WPARAM, LPARAM, BOOL& bHandled);

    void BeginStroke(CStroke& stroke, POINT point);
    void TakeCapture();
    void LetGoOfCapture();

    CStroke m_left;
    CStroke m_right;
    bool m_hooked = false;
    bool m_replaying = false;
    bool m_capturing = false;
    CGestureListener* m_handler = nullptr;   // not owned
    CGestureListener* m_listener = nullptr;  // not owned; may be null
    CTrailSink* m_trailSink = nullptr;       // not owned; null: the program's trail
};
