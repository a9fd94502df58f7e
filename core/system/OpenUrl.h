#pragma once
// Requests to open a URL: the open-URL message to the main frame (its number and flags are in
// core/app/MainFrameMessages.h), Internet shortcuts, and the test of a URL's scheme.
#include "core/app/MainFrameMessages.h"
#include "core/library/StdStr.h"

#include <windows.h>

// Sends the open-URL message to the top-level ancestor of `window`, followed up its owners (a
// floating side panel or a tool window is owned by the frame), with wParam the URL text and lParam
// the flags, and returns the frame's answer; 0 without a window.
LRESULT OpenUrlInFrame(HWND window, const char* url, DWORD flags);
// Opens the URL of an Internet shortcut (".url" file) in the frame of the active window, in a new
// tab when the favorites open in new tabs (TabOpenFlag::Favorites). False when the shortcut holds
// no URL or no window is active.
bool OpenInternetShortcut(const char* path);

// The URL begins, in any letter case, with scheme n: 0 "http://", 1 "ftp://", 2 "https://",
// 3 "file://", 4 "mailto:", 5 "news:".
bool UrlHasScheme(const char* url, int scheme);
