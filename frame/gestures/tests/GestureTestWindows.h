#pragma once
// What the gesture tests that use windows share: a page window that records the messages its own
// procedure gets (standing for the engine's page window), real mouse input through SendInput, a
// message pump that waits for an event with a generous deadline, and recording listeners.
#include "controls/tests/Screenshot.h"
#include "frame/gestures/GestureListener.h"

#include <windows.h>

#include <string>
#include <vector>

namespace gesture_test {

// The messages a page window's own procedure saw, by name, with their points.
struct CPageRecord {
    std::vector<std::string> messages;
    size_t Count(const std::string& name) const
    {
        size_t count = 0;
        for (const std::string& message : messages)
            count += message.rfind(name, 0) == 0;
        return count;
    }
};

// A window of its own class whose procedure records the mouse, focus and destroy messages and
// leaves everything to DefWindowProc (which turns a right-button release into WM_CONTEXTMENU).
class CPageWindow {
public:
    // A top-level popup at the screen rectangle, or a child of `parent` at its client rectangle;
    // hidden ones (for messages sent by the test) never take the focus.
    CPageWindow(const char* className, const RECT& rect, HWND parent = nullptr, bool visible = true);
    ~CPageWindow();
    CPageWindow(const CPageWindow&) = delete;
    CPageWindow& operator=(const CPageWindow&) = delete;
    operator HWND() const { return m_window; }
    CPageRecord& Record() { return m_record; }
    // Where the client point lies on the screen.
    POINT ToScreen(POINT client) const;

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    HWND m_window = nullptr;
    CPageRecord m_record;
};

// Dispatches messages until `done` answers true or ten seconds pass; gives `done`'s last answer.
template <typename F>
bool PumpUntil(F done, DWORD deadline = 10000)
{
    const DWORD start = GetTickCount();
    for (;;) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (done())
            return true;
        if (GetTickCount() - start > deadline)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    }
}

// Real mouse input: SendInput, which the system turns into the hardware messages of whatever
// window lies under the cursor (or holds the capture).
void MoveMouseTo(POINT screen);
void PressButton(DWORD eventFlag);  // MOUSEEVENTF_RIGHTDOWN, ...
void TurnWheel(int delta);
// Moves in steps of `step` pixels from the cursor's place to `screen`, waiting until each move
// has reached the window under test (the window's own record counts WM_MOUSEMOVE or the filter
// swallowed it: the cursor position is the sign).
void DragTo(POINT from, POINT to, int step = 8);
// Brings the window to the front with the focus, so that wheel messages reach it.
bool MakeForeground(HWND window);

// A picture of a layered trail window over what lies beneath it, written as screenshots\<name>.
// Xvfb has no compositor, so Wine never puts a layered window's pixels on the screen; the picture
// is composed the way the system would show it: the screen where the window has its colour key,
// elsewhere the window's own pixels blended by its alpha. `trailPixels` gets the window's own.
bool WriteTrailScreenshot(HWND trail, const RECT& screenRect, const char* name, kivo_test::CPixels* trailPixels = nullptr);

}  // namespace gesture_test
