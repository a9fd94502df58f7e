#pragma once
// IFrameSubsystems: what the main frame makes and asks of the libraries that come after it (the
// browser watcher of the browser library, the address and search bars of the navigation library).
// The program's start-up installs the one implementation with SetFrameSubsystems before the frame
// is created; without one (the frame's own tests, programs that show only the frame) the frame
// keeps its stand-ins: a plain combo box and edit field, and no gestures on pages.
//
// Lifetime: the installer owns the implementation and keeps it until the frame is gone. The bars it
// makes are children of the rebar; the implementation holds their objects and lets them go in
// DestroyBars, which the frame calls before its window goes.
#include "core/library/StdStr.h"

#include <windows.h>
#include <commctrl.h>

#include <vector>

class IFrameSubsystems {
public:
    virtual ~IFrameSubsystems() = default;
    // The frame's window exists: what watches its tabs starts (the pages' mouse gestures).
    virtual void StartFrame(HWND frame) = 0;
    // The bars as children of the rebar, or null when they cannot be made (the frame then makes its
    // stand-in).
    virtual HWND CreateAddressBar(HWND reBar) = 0;
    virtual HWND CreateSearchBar(HWND reBar) = 0;
    // Asked before the frame's accelerators: true when the key belongs to a bar's edit (Enter,
    // Escape, the editing keys), and the message is dispatched to it untranslated.
    virtual bool KeepsKeyForBar(const MSG* message) = 0;
    // The navigation aids' menu commands; true when the command was theirs. `activeUrl` is the
    // active tab's address.
    virtual bool HandleNavigationCommand(HWND frame, UINT command, const char* activeUrl) = 0;
    // The site icons' image list for the address bar and the frame's menus; null while there is
    // none. Owned by the implementation.
    virtual HIMAGELIST GetSiteIconImages() = 0;
    // The frame's window goes: the bars' windows are destroyed and their objects released.
    virtual void DestroyBars() = 0;
    // Saves the addresses as a new group of that name (the exit dialog's "save this session");
    // false when no group could be made (without a group store, or a name that cannot be used).
    virtual bool SaveGroup(const char* name, const std::vector<CStdString>& urls)
    {
        (void)name;
        (void)urls;
        return false;
    }
};

// The installed implementation, or null. Installing returns the previous one.
IFrameSubsystems* GetFrameSubsystems();
IFrameSubsystems* SetFrameSubsystems(IFrameSubsystems* subsystems);
