#pragma once
// What the main frame does with a blocked item (its IBrowserTabHost::OnPopupBlocked and OnAdBlocked,
// frame/BrowserTab.h): the entry in the settings' bounded log, the counter, the notice in the status
// bar (popups, when BlockerFlags has 0x1000), the refresh of the "Log" window and of the blocker
// pages, and the beep or sound the flags ask for. The frame's host methods call these two on the
// user-interface thread (the namespace handler sees to that, FilterNotices.h).
//
// The beeps and sounds go through the frame's shell (frame/FrameShell.h), which tests replace with
// CScopedFrameShell: under Xvfb there is no sound device, and a test must not make noise.
#include "frame/BrowserTab.h"

#include <windows.h>

#include <functional>

namespace BlockerFlag {
constexpr DWORD PopupBeep = 0x2000;
constexpr DWORD PopupSound = 0x4000;
constexpr DWORD AdBeep = 0x10000;
constexpr DWORD AdSound = 0x20000;
constexpr DWORD NoReplacementText = 0x40000;
}  // namespace BlockerFlag

// The window class of the blocked-content "Log" window (the browser library's), which the frame
// owns while it is open.
constexpr char kBlockedLogWindowClass[] = "_KivoBlockedLog";

// The status-bar notice of a blocked popup.
constexpr char kPopupNoticeText[] = "This page contains popup windows!";

// host: where the popup notice goes (its status pane 0); may be null.
void RecordPopupBlocked(IBrowserTabHost* host, const char* title, const char* openerUrl, const char* url);
void RecordAdBlocked(const char* rule, const char* url);

// Windows that show the logs or the counters register a refresh for their lifetime: it runs after
// every recorded block, with true for the popups log and false for the ads log.
int AddBlockedContentListener(std::function<void(bool popups)> refresh);
void RemoveBlockedContentListener(int id);
