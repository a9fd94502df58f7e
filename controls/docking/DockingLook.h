#pragma once
// The look that every docking window shares (one process-wide object, refreshed by the frame on
// creation and on system colour and setting changes), the modal loop that splitter and caption
// drags run, and the halftone ghost they draw. Everything runs on the UI thread.
#include "platform/AtlGdi.h"

#include <windows.h>

enum : DWORD {
    kDockLookFixedDragMode = 0x01,  // the caller chose the drag mode; the system setting is not read
    kDockLookOutlineDrag = 0x02,    // ghost (outline) dragging
    kDockLookFullDrag = 0x04,       // full-window (live) dragging
};

class CDockingLook {
public:
    CDockingLook() = default;
    CDockingLook(const CDockingLook&) = delete;
    CDockingLook& operator=(const CDockingLook&) = delete;

    // Reads the colours, fonts and metrics again; with dragFlags given (not ~0) they replace the
    // drag-mode flags, and without kDockLookFixedDragMode the mode follows SPI_GETDRAGFULLWINDOWS.
    void Refresh(DWORD dragFlags = ~0u);

    COLORREF faceShade = 0;
    COLORREF textShade = 0;
    DWORD flags = 0;
    NONCLIENTMETRICSA metrics = {};
    CFont captionFont;          // the small-caption font, normal weight
    CFont verticalCaptionFont;  // the same, turned to run upwards
    CFont verticalGuiFont;      // DEFAULT_GUI_FONT turned to run upwards
    HCURSOR cursorSizeNS = nullptr;
    HCURSOR cursorSizeWE = nullptr;

    int SmallCaptionHeight() const { return metrics.iSmCaptionHeight; }
    bool Refreshed() const { return m_refreshed; }
    bool OutlineDrag() const { return (flags & kDockLookOutlineDrag) != 0; }

private:
    HGDIOBJ m_stockGuiFont = nullptr;  // the stock font the vertical one was made from (not owned)
    bool m_refreshed = false;
};

// The one look object (made on first use and read by the frame, panes, bars and boxes); it goes
// in the ordered teardown just after the menu style manager, whose fonts it does not use.
constexpr unsigned kPriorityDockingLook = 28;
CDockingLook& GetDockingLook();

// What a modal drag is told: each mouse move (screen point, the mouse keys of the message) and
// each press or release of Ctrl.
class IDockDragTracker {
public:
    virtual void OnDragMove(POINT screen, bool control) = 0;
    virtual void OnControlKey(bool down) = 0;

protected:
    ~IDockDragTracker() = default;
};

enum class EDockDragEnd { Accepted, Cancelled, Ended };

// Captures the mouse for `window` and pumps this thread's messages until the drag ends: left
// button up accepts; Esc, a left or right press, WM_SYSKEYDOWN (also dispatched) or the loss of
// the capture cancels; right button up ends without either; other messages are dispatched.
EDockDragEnd RunDockDragLoop(HWND window, IDockDragTracker& tracker);

// The 3-pixel halftone frame of a dragged pane, drawn inverted on the screen so that drawing it
// twice erases it; and the filled strip of a dragged splitter.
class CDockGhost {
public:
    CDockGhost();
    ~CDockGhost();
    CDockGhost(const CDockGhost&) = delete;
    CDockGhost& operator=(const CDockGhost&) = delete;

    // Shows the frame at rect (screen), erasing the previous one; an empty rect only erases.
    void ShowFrame(const RECT& rect);
    void ShowStrip(const RECT& rect);
    void Erase();

private:
    void Draw(const RECT& rect, bool frame);

    HDC m_screen = nullptr;
    CBrush m_brush;
    RECT m_shown = {};
    bool m_shownIsFrame = true;
};
