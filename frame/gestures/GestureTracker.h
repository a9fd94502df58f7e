#pragma once
// CGestureTracker: the handler of one page window's gesture input filter. It decides when a
// stroke starts, has the recogniser name it and hands the gesture to the tab's IGestureHandler;
// when nothing takes a stroke it plays the plain click back to the page (so an unrecognised right
// stroke, or a right click without a move, still opens the page's context menu). It also turns
// the rocker clicks (one button held, the other pressed) and the wheel turned with the right
// button held into the gestures 0xF000, 0xF001 and 0xF002.
//
// Lifetime: the owner keeps the filter, the tracker and the handler alive together and detaches
// the tracker before any of them goes.
#include "frame/gestures/GestureInputFilter.h"
#include "frame/gestures/GestureRecognizer.h"

class CGestureSettings;

class CGestureTracker : public CGestureListener {
public:
    // `settings` (not owned; null: the program's) tells whether gestures are on.
    CGestureTracker(CGestureInputFilter& filter, bool leftButtonGestures, bool rightButtonGestures,
                    CGestureSettings* settings = nullptr);
    CGestureTracker(const CGestureTracker&) = delete;
    CGestureTracker& operator=(const CGestureTracker&) = delete;
    ~CGestureTracker() override;

    // Hooks the filter on the page window with the tracker as its handler and the tab's listener
    // beside it; the recognised gestures go to `handler`. E_FAIL when the window cannot be hooked.
    HRESULT Attach(HWND window, IGestureHandler* handler, CGestureListener* listener);
    void Detach();

    const CGestureRecognizer& GetRecognizer() const { return m_recognizer; }

    bool OnLButtonDown(HWND window, POINT point, UINT keys) override;
    bool OnRButtonDown(HWND window, POINT point, UINT keys) override;
    void OnLeftStroke(HWND window, const CGestureStroke& stroke) override;
    bool OnLButtonUp(HWND window, POINT point, UINT keys) override;
    void OnRightStroke(HWND window, const CGestureStroke& stroke) override;
    bool OnRButtonUp(HWND window, POINT point, UINT keys) override;
    bool OnMouseWheel(HWND window, UINT keys, short delta, POINT point) override;

private:
    void StrokeEnded(HWND window, const CGestureStroke& stroke, UINT downMessage, UINT upMessage);
    void ButtonGesture(HWND window, int gestureId, POINT point);
    bool GesturesEnabled() const;

    CGestureInputFilter& m_filter;
    CGestureRecognizer m_recognizer;
    IGestureHandler* m_handler = nullptr;  // not owned; null while detached
    bool m_leftButtonGestures;
    bool m_rightButtonGestures;
    CGestureSettings* m_settings;  // not owned; null: the program's
};
