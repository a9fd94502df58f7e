#pragma once
// CSplashWindow: the splash screen, a topmost picture window that runs on a thread of its own while
// the main window is built. It lives on the start-up routine's stack: StartThread shows it,
// CloseAfter asks it to close after a delay, and the destructor waits until the window is gone.
// The two threads share only the ready flag and the window handle; the window is closed by a posted
// message, never by a call across threads.
#include <windows.h>

#include <atomic>

// Centres a window on the screen's work area, without activating it.
void CenterOnWorkArea(HWND window);

class CSplashWindow {
public:
    // The splash picture: bitmap resource 120 of the program.
    static constexpr UINT kBitmapId = 120;
    // Asks the splash window to close after lParam milliseconds.
    static constexpr UINT kCloseAfterMessage = WM_USER + 123;
    static constexpr UINT_PTR kCloseTimerId = 12;

    CSplashWindow();
    virtual ~CSplashWindow();
    CSplashWindow(const CSplashWindow&) = delete;
    CSplashWindow& operator=(const CSplashWindow&) = delete;

    // Starts the splash thread; without one, start-up goes on without a splash.
    void StartThread();
    // Closes the splash window after the delay, once it has appeared. Does nothing without a thread;
    // a second call does nothing either.
    void CloseAfter(UINT delayMs);

    HWND GetWindow() const { return m_window; }
    bool IsReady() const { return m_ready; }

protected:
    // Creates the splash window on the splash thread; 0 on failure.
    virtual HWND CreateSplashWindow();

private:
    static unsigned __stdcall SplashThreadProc(void* splash);
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void OnCreate(HWND window);
    void Paint(HDC dc);

    HBITMAP m_bitmap = nullptr;
    std::atomic<HWND> m_window{nullptr}; // written by the splash thread
    HANDLE m_thread = nullptr;           // written by the user-interface thread only
    std::atomic<bool> m_ready{false};    // set once the window is shown
};
