#pragma once
// The main window until the main frame arrives: a window of the main frame's class "Kivo Browser"
// that answers the single-instance protocol, opens URLs (message 0x8017) by showing the last one in
// its title, opens the application's pending URL after its creation, and quits the message loop
// with exit code 1 when it is destroyed. The window owns its object and deletes it when it goes.
#include <windows.h>

constexpr const char* kMainFrameClassName = "Kivo Browser";
// The open-URL message: wParam the URL text (null: empty), lParam the open flags.
constexpr UINT kOpenUrlMessage = WM_APP + 0x17;
// Posted by the frame to itself once its window exists.
constexpr UINT kAfterCreateMessage = WM_USER + 2;
// Longer texts are not opened.
constexpr int kMaxOpenUrlLength = 2048;

// Creates the window with no parent and the given rectangle; 0 on failure.
HWND CreatePlaceholderMainFrame(const RECT& rect);
