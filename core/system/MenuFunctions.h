#pragma once
// Menus: item texts, separators, popup menus tracked through the main frame's owner-drawn menus
// (the frame installs its tracker, an IFramePopupMenuTracker), and the window's system menu.
#include "core/library/StdStr.h"

#include <windows.h>

// The text of a menu item by position (MF_BYPOSITION) or command id (MF_BYCOMMAND).
TStdStr<char> GetMenuItemText(HMENU menu, UINT item, UINT flags);
int GetMenuItemTextLength(HMENU menu, UINT item, UINT flags);

bool AppendMenuSeparator(HMENU menu);
bool InsertMenuSeparator(HMENU menu, UINT position);

// What the main frame's command bar offers the core for popup menus.
class IFramePopupMenuTracker {
public:
    virtual ~IFramePopupMenuTracker() = default;
    // Tracks the menu for `owner`; the chosen command with TPM_RETURNCMD, else 0.
    virtual UINT Track(HMENU menu, UINT flags, int x, int y, HWND owner) = 0;
};

// Installs the frame's tracker (not owned; null: none) and returns the previous one. The frame
// installs its own while its command bar exists and puts the previous one back when it goes.
IFramePopupMenuTracker* SetFramePopupMenuTracker(IFramePopupMenuTracker* tracker);
// Tracks a popup menu through the installed tracker; returns the chosen command with
// TPM_RETURNCMD, else 0. Without a tracker (before the frame exists, and in a program without a
// frame) the system tracks the menu for the owner or the main window.
UINT TrackFramePopupMenu(HMENU menu, UINT flags, int x, int y, HWND owner = nullptr);

// Shows the window's system menu at (x, y) and returns the chosen command (0 for none); a command
// of 0xF000 or more is posted to the window as WM_SYSCOMMAND.
UINT TrackSystemMenu(HWND window, int x, int y);
// Whether a command chosen from the system menu is a system command to post.
inline bool IsSystemMenuCommand(UINT command) { return command >= 0xF000; }
