#pragma once
// The main window, of class "Kivo Browser". For now it answers the single-instance protocol, opens
// URLs (message 0x8017) by showing the last one in its title, opens the application's pending URL
// once it exists, and quits the message loop with exit code 1 when it is destroyed. The window owns
// its object and deletes it with its last message.
#include <windows.h>

// Creates the window with no parent and the given rectangle; 0 on failure.
HWND CreateMainFrame(const RECT& rect);
