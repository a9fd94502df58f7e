#pragma once
// Small window and system helpers of the application core: the open-URL request to the main
// window, string resources and menu texts, run-time library loading, the system menu, the tray
// rectangle of the minimise animation, window icons and cursors, the run-at-startup entry, and
// the one seam every core message box goes through.
#include "core/library/StdStr.h"

#include <windows.h>

// ---------------------------------------------------------------------------------------------
// Message boxes. Every message box of the core goes through here, so that a test can answer it
// instead of a user (and a headless run never blocks).

using MessageBoxHook = int (*)(HWND owner, const char* text, const char* caption, UINT type);
// Installs the hook (null: the system's MessageBoxA again); returns the previous one.
MessageBoxHook SetMessageBoxHook(MessageBoxHook hook);
int ShowCoreMessageBox(HWND owner, const char* text, const char* caption, UINT type);

// ---------------------------------------------------------------------------------------------
// Open-URL requests.

enum OpenUrlFlags : DWORD {
    kOpenNewTab = 0x1,
    kOpenInBackground = 0x2,
    kOpenReuseTab = 0x10000,
};
// The private open-URL message the main frame answers.
constexpr UINT kOpenUrlMessage = WM_APP + 0x17;

// Sends the open-URL message to the top-level ancestor of `window` (wParam the URL text, lParam
// the flags) and returns the frame's answer; 0 without a window.
LRESULT OpenUrlInFrame(HWND window, const char* url, DWORD flags);
// Opens the URL of an Internet shortcut (".url" file) in the frame of the active window, in a new
// tab when the favorites open in new tabs (TabOpenFlags 0x4). False when the shortcut holds no URL
// or no window is active.
bool OpenInternetShortcut(const char* path);

// ---------------------------------------------------------------------------------------------
// Resources and menus.

// The counted UTF-16 string `id` of the module's string table, or null when the entry is empty or
// missing. `length` receives its character count.
const WCHAR* FindStringResource(HINSTANCE module, UINT id, int* length);
// The same string as library text; empty when missing.
TStdStr<char> LoadStringResource(HINSTANCE module, UINT id);

// The text of a menu item by position (MF_BYPOSITION) or command id (MF_BYCOMMAND).
TStdStr<char> GetMenuItemText(HMENU menu, UINT item, UINT flags);
int GetMenuItemTextLength(HMENU menu, UINT item, UINT flags);

// Tracks a popup menu through the main frame's owner-drawn menus; returns the chosen command with
// TPM_RETURNCMD, else 0. The frame installs its command bar's tracker; until then (and in a
// program without a frame) the system tracks the menu for the owner or the main window.
using FramePopupMenuTracker = UINT (*)(HMENU menu, UINT flags, int x, int y, HWND owner);
FramePopupMenuTracker SetFramePopupMenuTracker(FramePopupMenuTracker tracker);
UINT TrackFramePopupMenu(HMENU menu, UINT flags, int x, int y, HWND owner = nullptr);

// A library loaded at run time, freed with the object. Loading shows no "file not found" box.
class CDynamicLibrary {
public:
    CDynamicLibrary() = default;
    ~CDynamicLibrary() { Free(); }
    CDynamicLibrary(const CDynamicLibrary&) = delete;
    CDynamicLibrary& operator=(const CDynamicLibrary&) = delete;

    bool Load(const char* name, DWORD flags = 0);
    void Free();
    FARPROC GetProc(const char* name) const { return m_module ? ::GetProcAddress(m_module, name) : nullptr; }
    HMODULE GetHandle() const { return m_module; }
    bool IsLoaded() const { return m_module != nullptr; }

private:
    HMODULE m_module = nullptr;
};

// ---------------------------------------------------------------------------------------------
// System menu and tray.

// Shows the window's system menu at (x, y) and returns the chosen command (0 for none); a command
// of 0xF000 or more is posted to the window as WM_SYSCOMMAND.
UINT TrackSystemMenu(HWND window, int x, int y);
// Whether a command chosen from the system menu is a system command to post.
inline bool IsSystemMenuCommand(UINT command) { return command >= 0xF000; }

// The target rectangle of the minimise-to-tray animation.
void GetTrayAreaRect(RECT* rect);
// The tray rectangle below a task-bar window: its notification area without the clock. False
// when `taskBar` is null.
bool GetTrayAreaRectOf(HWND taskBar, RECT* rect);

// ---------------------------------------------------------------------------------------------
// Icons, cursors and window classes.

// The window's small icon, else its class small icon, big icon, class icon, or the icon of its
// class as registered in this module.
HICON GetWindowIcon(HWND window);
// The system hand cursor, or the one of winhlp32.exe; null when neither exists.
HCURSOR LoadHandCursor();
TStdStr<char> GetWindowClassName(HWND window);
bool IsDialogWindow(HWND window);

// ---------------------------------------------------------------------------------------------
// System facts.

bool IsWin9x();
bool IsDropShadowEnabled();

// ---------------------------------------------------------------------------------------------
// Starting with Windows.

// The current user's Run key.
inline constexpr const char kRunKeyPath[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
// Stores the program's path, in quotes, under `valueName` in the current user's Run key; false
// when the key cannot be opened or the value cannot be written.
bool SetRunAtStartup(const char* valueName);
// Removes the value; true when it is gone (also when it was never there).
bool RemoveRunAtStartup(const char* valueName);
// The command line stored for a program path: the path in double quotes.
TStdStr<char> MakeRunCommand(const char* programPath);
// The two steps on an open key, so that a refused write can be seen: false when it fails.
bool WriteRunValue(HKEY key, const char* valueName, const char* programPath);
bool DeleteRunValue(HKEY key, const char* valueName);

// The program file's title without its extension.
TStdStr<char> GetProgramTitle();
