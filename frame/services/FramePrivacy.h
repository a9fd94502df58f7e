#pragma once
// IFramePrivacy: the proxy list and the cookie privacy menu of the browser library, as the main
// frame uses them for its "Pro&xy" and "Cookies IE&6" submenus. The program's start-up installs the
// browser library's implementation with SetFramePrivacy before the frame is created; without one
// (the frame's own tests) the proxy menu keeps its fixed items, the choice is only stored, and the
// cookie menu does nothing.
//
// Lifetime: the installer owns the implementation and keeps it while the frame lives. UI thread only.
#include <windows.h>

// What switching the proxy came to.
enum class EFrameProxyResult {
    kUnchanged,        // the mode was already active outside start-up: nothing done
    kRestartRequired,  // the system's settings take effect at the next start
    kApplied,          // the URL layer took the proxy
    kRefused,          // the URL layer refused it (Wine's urlmon takes no proxy)
    kNoSuchProxy,      // the index names no proxy of the list
};

class IFramePrivacy {
public:
    virtual ~IFramePrivacy() = default;
    // Appends the proxies of the list to the "Pro&xy" submenu (after its fixed items) and checks the
    // item of `proxyIndex`.
    virtual void BuildProxyMenu(HMENU menu, int proxyIndex) = 0;
    virtual void UpdateProxyMenuCheck(HMENU menu, int oldIndex, int newIndex) = 0;
    // Hands the proxy of `newIndex` to the URL layer (-2 the system's settings, -1 none).
    virtual EFrameProxyResult ApplyProxy(int oldIndex, int newIndex, bool atStartup) = 0;
    // The cookie menu: the templates found at start are remembered once, at the frame's creation.
    virtual void RememberCookiePreferences() = 0;
    // True when the command was one of the cookie menu's.
    virtual bool OnCookieCommand(UINT id) = 0;
    // Checks, greys and enables the cookie submenu's items; `parent` and `position` name its entry.
    virtual void UpdateCookieMenu(HMENU submenu, HMENU parent, UINT position) = 0;
};

// The installed implementation, or null. Installing returns the previous one.
IFramePrivacy* GetFramePrivacy();
IFramePrivacy* SetFramePrivacy(IFramePrivacy* privacy);
