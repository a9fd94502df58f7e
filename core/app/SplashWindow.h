#pragma once
// CSplashWindow: the splash screen, a topmost picture window that runs on a thread of its own while
// the main window is built. It lives on the start-up routine's stack: StartThread shows it,
// CloseAfter asks it to close after a delay, and the destructor waits until the window is gone.
// The two threads share only the ready flag and the window handle; the window is closed by a posted
// message, never by a call across threads.
#include "platform/AtlGdi.h"
#include "platform/AtlWin.h"

#include <atomic>

// Centres a window on the screen's work area, without activating it.
void CenterOnWorkArea(HWND window);

class CSplashWindow : public CWindowImpl<CSplashWindow, CWindow, CWinTraits<WS_POPUP, WS_EX_TOOLWINDOW>> {
public:
    // The splash picture: bitmap resource 120 of the program.
    static constexpr UINT kBitmapId = 120;
    // Asks the splash window to close after lParam milliseconds.
    static constexpr UINT kCloseAfterMessage = WM_USER + 123;
    static constexpr UINT_PTR kCloseTimerId = 12;

    // A class of its own under a generated name.
    DECLARE_WND_CLASS_EX(nullptr, CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS, COLOR_WINDOW)

    CSplashWindow();
    ~CSplashWindow() override;

    // Starts the splash thread; without one, start-up goes on without a splash.
    void StartThread();
    // Closes the splash window after the delay, once it has appeared. Does nothing without a thread;
    // a second call does nothing either.
    void CloseAfter(UINT delayMs);

    // The window as the user-interface thread sees it (0 before it exists).
    HWND GetSplashWindow() const { return m_window; }
    bool IsReady() const { return m_ready; }

    BEGIN_MSG_MAP(CSplashWindow)
        MESSAGE_HANDLER(WM_CREATE, OnCreate)
        MESSAGE_HANDLER(WM_PAINT, OnPaint)
        MESSAGE_HANDLER(WM_PRINTCLIENT, OnPaint)
        MESSAGE_HANDLER(WM_SETCURSOR, OnSetCursor)
        MESSAGE_HANDLER(kCloseAfterMessage, OnCloseAfter)
        MESSAGE_HANDLER(WM_TIMER, OnTimer)
    END_MSG_MAP()

protected:
    // Creates the splash window on the splash thread; 0 on failure.
    virtual HWND CreateSplashWindow();

private:
    static unsigned __stdcall SplashThreadProc(void* splash);
    LRESULT OnCreate(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnPaint(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnSetCursor(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnCloseAfter(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnTimer(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    void DrawPicture(HDC dc);

    CBitmap m_bitmap;
    std::atomic<HWND> m_window{nullptr}; // set by the splash thread once the window exists
    CHandle m_thread;                    // written by the user-interface thread only
    std::atomic<bool> m_ready{false};    // set once the window is shown
};
