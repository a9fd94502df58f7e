#pragma once
// The interfaces around the gesture input filter (GestureInputFilter.h): CGestureListener, told of
// the mouse in the hooked page window (the gesture tracker is one, the browser tab's own mouse
// listener the other); CTrailSink, on which a right-button stroke is drawn; and IGestureHandler,
// which a browser tab implements to run the gestures the tracker recognises. Points are client
// coordinates of the hooked window; key flags are the MK_ bits of the mouse message.
#include "frame/gestures/GestureStroke.h"

#include <windows.h>

class CGestureListener {
public:
    virtual ~CGestureListener() = default;
    virtual bool OnMouseMove(HWND, POINT, UINT) { return true; }
    // True swallows the press.
    virtual bool OnMButtonDown(HWND, POINT, UINT) { return true; }
    // False starts a left stroke; true lets the press through.
    virtual bool OnLButtonDown(HWND, POINT, UINT) { return true; }
    // False starts a right stroke; true lets the press through.
    virtual bool OnRButtonDown(HWND, POINT, UINT) { return true; }
    virtual void OnLeftStroke(HWND, const CGestureStroke&) {}
    // A release while no left stroke is active: true swallows it.
    virtual bool OnLButtonUp(HWND, POINT, UINT) { return true; }
    virtual void OnRightStroke(HWND, const CGestureStroke&) {}
    // A release while no right stroke is active: true swallows it.
    virtual bool OnRButtonUp(HWND, POINT, UINT) { return true; }
    // The wheel delta is the message's signed 16 bits; true swallows the message.
    virtual bool OnMouseWheel(HWND, UINT, short, POINT) { return true; }
};

// Where a stroke is drawn while it is made.
class CTrailSink {
public:
    virtual ~CTrailSink() = default;
    // A stroke starts over `window`, whose client coordinates the points are in.
    virtual void Begin(HWND window) = 0;
    // The stroke ended or was cancelled: the trail fades out and is cleared.
    virtual void End() = 0;
    // The stroke so far; the sink takes its first point while it has none, else its newest.
    virtual void AddPoint(const CGestureStroke& stroke) = 0;
    virtual void BringToTop() = 0;
    virtual void SendToBottomLater() = 0;
};

// The sink where no trail is drawn (trails off, or a system without layered windows).
class CNullTrailSink : public CTrailSink {
public:
    void Begin(HWND) override {}
    void End() override {}
    void AddPoint(const CGestureStroke&) override {}
    void BringToTop() override {}
    void SendToBottomLater() override {}
};

// The one null sink of the program.
CNullTrailSink& GetNullTrailSink();

// What a browser tab does with a recognised gesture: true when it ran an action.
class IGestureHandler {
public:
    virtual ~IGestureHandler() = default;
    virtual bool OnGesture(HWND window, int gestureId, const CGestureStroke& stroke) = 0;
};
