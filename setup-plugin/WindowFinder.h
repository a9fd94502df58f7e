#pragma once
// CWindowFinder: finds a top-level window by its exact class name that answers a registered
// question message with the message's own number. This is the installer plug-in's own copy; the
// plug-in links nothing of the program it closes.
#include <windows.h>

class CWindowFinder {
public:
    // How long a window may take to answer the question before it is passed over.
    static constexpr UINT kReplyTimeoutMs = 200;

    // Stores the class name (cut at 255 characters) and registers the question message under the
    // library's lock.
    CWindowFinder(const char* className, const char* questionMessageName);

    CWindowFinder(const CWindowFinder&) = delete;
    CWindowFinder& operator=(const CWindowFinder&) = delete;

    // The first top-level window, in the system's order, that passes TestWindow; 0 when none does.
    // The result is also kept as the found window.
    HWND Find();
    HWND GetFoundWindow() const { return m_foundWindow; }
    UINT GetQuestionMessage() const { return m_questionMessage; }

private:
    static BOOL CALLBACK EnumWindowsProc(HWND window, LPARAM finder);
    // True when the window has the class name and answers the question with its number in time.
    bool TestWindow(HWND window);

    char m_className[256];
    HWND m_foundWindow = nullptr;
    UINT m_questionMessage = 0;
};
