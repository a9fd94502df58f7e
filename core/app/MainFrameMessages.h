#pragma once
// What the application core knows of the main frame: its window class, which the single-instance
// protocol looks for, and the messages the core sends it.
#include <windows.h>

constexpr const char* kMainFrameClassName = "Kivo Browser";
// The open-URL message: wParam the URL text (null: empty), lParam the open flags.
constexpr UINT kOpenUrlMessage = WM_APP + 0x17;
// The open flags of the open-URL message.
enum OpenUrlFlags : DWORD {
    kOpenNewTab = 0x1,
    kOpenInBackground = 0x2,
    kOpenReuseTab = 0x10000,
};
// Posted by the frame to itself once its window exists.
constexpr UINT kAfterCreateMessage = WM_USER + 2;
// Longer texts are not opened.
constexpr int kMaxOpenUrlLength = 2048;
