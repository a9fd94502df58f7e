#pragma once
// CBrowserWatcherManager: gives every engine window inside a browser tab its mouse-gesture filter.
// The HTML engine makes its own windows ("Shell DocObject View" and, inside it,
// "Internet Explorer_Server") whenever it shows a page, and makes them again as it navigates; a
// call-window-procedure-return hook of the UI thread sees each one's WM_CREATE and WM_DESTROY. A
// window created inside one of the program's tabs gets a gesture input filter and a tracker
// connected to that tab's gesture interfaces (frame/BrowserTab.h); it loses them when it goes.
// Engine windows outside any tab (the page analyzer's panes) get none.
//
// One watcher for the program (GetBrowserWatcher), created by the main frame at start-up and
// destroyed at exit. While one watcher lives on a thread, another made on the same thread installs
// no hook of its own.
#include "core/system/Holders.h"

#include <windows.h>

#include <map>
#include <memory>

class CGestureInputFilter;
class CGestureTracker;
class IBrowserTabHost;

extern const char kEngineViewWindowClass[];    // "Shell DocObject View"
extern const char kEngineServerWindowClass[];  // "Internet Explorer_Server"

class CBrowserWatcherManager {
public:
    // Finds tabs through the program's tab host.
    CBrowserWatcherManager();
    // Finds tabs through `host` (not owned; tests), which must outlive the watcher.
    explicit CBrowserWatcherManager(IBrowserTabHost* host);
    ~CBrowserWatcherManager();
    CBrowserWatcherManager(const CBrowserWatcherManager&) = delete;
    CBrowserWatcherManager& operator=(const CBrowserWatcherManager&) = delete;

    // Whether the hook is in place (it may fail; then pages have no gestures, nothing else changes).
    bool IsWatching() const { return m_hook.Get() != nullptr; }
    // The windows that have a tracker now.
    size_t GetWatchedCount() const { return m_watched.size(); }
    bool IsWatched(HWND window) const { return m_watched.count(window) != 0; }

    // What the hook does with a window that was created and one that is being destroyed.
    void OnWindowCreated(HWND window);
    void ForgetWindow(HWND window);

private:
    struct CEntry {
        CEntry();
        ~CEntry();
        CEntry(const CEntry&) = delete;
        CEntry& operator=(const CEntry&) = delete;
        std::unique_ptr<CGestureInputFilter> filter;
        std::unique_ptr<CGestureTracker> tracker;  // listens to `filter`: goes first
    };

    static LRESULT CALLBACK HookProcedure(int code, WPARAM wParam, LPARAM lParam);
    IBrowserTabHost* TabHost() const;

    IBrowserTabHost* m_host = nullptr;  // not owned; null: the program's tab host
    CWindowsHookHolder m_hook;
    std::map<HWND, std::unique_ptr<CEntry>> m_watched;
};

// The program's watcher, created on first use; null after the teardown.
CBrowserWatcherManager* GetBrowserWatcher();
