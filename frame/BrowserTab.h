#pragma once
// The meeting point of the main frame and the browser tabs. The frame library comes before the
// browser library and knows a tab only through IBrowserTab; the browser library installs the one
// IBrowserTabFactory that makes tabs, and a tab reaches its frame only through IBrowserTabHost,
// which the main frame implements and tests implement with a double. Neither side owns the other:
// a tab lives as long as its MDI child window, the host as long as the main window.
#include "core/library/StdStr.h"

#include <windows.h>
#include <exdisp.h>

class IGestureHandler;   // frame/gestures/GestureListener.h
class CGestureListener;  // frame/gestures/GestureListener.h

// What the frame calls on one browser tab.
class IBrowserTab {
public:
    virtual ~IBrowserTab() = default;
    // The tab's MDI child window.
    virtual HWND GetTabWindow() const = 0;
    // A copy of the tab's current address text.
    virtual TStdStr<char> GetUrl() const = 0;
    virtual void Navigate(const char* url) = 0;
    // Stop and GoHome of the hosted engine; its result is handed on unchecked.
    virtual HRESULT Stop() = 0;
    virtual HRESULT GoHome() = 0;
    virtual void OnEditCopy() = 0;
    virtual void OnEditSelectAll() = 0;
    // The "Text Size" commands: commandId is one of the five ids from kTextSizeFirstCommand.
    virtual void OnTextSize(UINT commandId) = 0;
    // The hosted engine (Refresh, Refresh2, the document's character set); null before it exists.
    // The caller does not own the pointer: it is valid while the tab lives.
    virtual IWebBrowser2* GetWebBrowser() const = 0;
    // The enabled and checked state of one of the tab's commands for the frame's menus and
    // toolbars (Back, Forward, the download-control and auto-refresh items); false: not a command
    // of the tab.
    virtual bool QueryCommandState(UINT commandId, bool& enabled, bool& checked) const
    {
        (void)commandId;
        (void)enabled;
        (void)checked;
        return false;
    }
    // The tab's gesture interfaces, which the browser watcher connects to the engine windows
    // inside the tab: the handler runs the recognised gestures, the listener hears of clicks, the
    // middle button and the wheel (may be null). Null handler: the tab takes no gestures. The
    // caller does not own them: they are valid while the tab lives.
    virtual IGestureHandler* GetGestureHandler() { return nullptr; }
    virtual CGestureListener* GetGestureListener() { return nullptr; }
    // The search bar's highlight toggle on the tab's page: marks every word of text, or removes
    // the marks when they are shown; true while they are shown.
    virtual bool ToggleSearchHighlight(const char* text)
    {
        (void)text;
        return false;
    }
    // The search bar's find next on the tab's page: selects the next occurrence of the first word
    // of text; false when there is none (the next use starts at the top again).
    virtual bool FindNextSearchWord(const char* text)
    {
        (void)text;
        return false;
    }
};

// The five "Text Size" commands, smallest to largest.
constexpr UINT kTextSizeFirstCommand = 38001;
constexpr UINT kTextSizeLastCommand = 38005;
// Sent to a tab: give its page the focus.
constexpr UINT kFocusPageCommand = 2023;
// Posted by a tab to the main frame: its state changed (the frame refreshes and saves the session).
constexpr UINT kTabStateChangedCommand = 35000;
// Posted by a tab to the main frame: rebuild the window list.
constexpr UINT kRebuildWindowListCommand = 2025;

// Makes tabs; the browser library installs the one instance at start-up.
class IBrowserTabFactory {
public:
    virtual ~IBrowserTabFactory() = default;
    // Creates a tab as an MDI child of mdiClient and navigates it to url (empty: a blank tab).
    // opener is the tab whose page asked for the new one, or null. Returns null on failure; the
    // tab is owned by its window.
    virtual IBrowserTab* CreateBrowserTab(HWND mdiClient, IBrowserTab* opener, const char* url,
                                          DWORD downloadControlFlags) = 0;
};

// What a tab calls on its frame.
class IBrowserTabHost {
public:
    virtual ~IBrowserTabHost() = default;
    virtual HWND GetFrameWindow() const = 0;
    virtual HWND GetMdiClientWindow() const = 0;
    // A tab enters the frame's map of open tabs on its WM_CREATE and leaves it on its WM_DESTROY.
    virtual void AddTab(HWND tabWindow, IBrowserTab* tab) = 0;
    virtual void RemoveTab(HWND tabWindow) = 0;
    // The tab of a tab window in the map of open tabs, or null.
    virtual IBrowserTab* FindTab(HWND tabWindow) const { (void)tabWindow; return nullptr; }
    // Blocked content: the frame logs, counts and announces it.
    virtual void OnPopupBlocked(const char* title, const char* openerUrl, const char* url) = 0;
    virtual void OnAdBlocked(const char* rule, const char* url) = 0;
    // The active tab shows its address in the address bar.
    virtual void SetAddressBarText(const char* text) = 0;
    // The tab's image in the tab strip: a loading frame 0 to 3, a favicon index, or -1.
    virtual void SetTabImage(HWND tabWindow, int image) = 0;
    // Status panes by id (the secure lock, the privacy icon, the progress pane); null icon: none.
    virtual void SetStatusPane(int paneId, HICON icon, const char* text) = 0;
    // The percent progress bar over status pane 1: hidden, or shown with the range 0 to maximum
    // at position (already at most maximum). A frame without a progress bar ignores it.
    virtual void ShowProgress(bool shown, int position, int maximum)
    {
        (void)shown;
        (void)position;
        (void)maximum;
    }
};

// The installed factory and host; null until installed. Installing replaces the previous one and
// returns it; the installer keeps ownership and uninstalls before it goes.
IBrowserTabFactory* GetBrowserTabFactory();
IBrowserTabFactory* SetBrowserTabFactory(IBrowserTabFactory* factory);
IBrowserTabHost* GetBrowserTabHost();
IBrowserTabHost* SetBrowserTabHost(IBrowserTabHost* host);
