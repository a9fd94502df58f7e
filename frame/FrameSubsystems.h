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

// The side panels, in the order of their commands (52700 + panel).
enum : int {
    kSidePanelFavorites = 0,
    kSidePanelHistory = 1,
    kSidePanelPopupBlocker = 2,
    kSidePanelAdFilter = 3,
};
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
    // The content window of a side panel (kSidePanelFavorites, kSidePanelHistory) as a child of
    // `parent`, or null when there is none (the frame then shows a stand-in). The window goes with
    // the docking pane that takes it in, or with DestroyBars, which also releases its object.
    virtual HWND CreateSidePanel(HWND /*parent*/, int /*panel*/) { return nullptr; }
    // The Links bar as a child of the rebar with the child id `id`, or null (the frame then makes
    // an empty stand-in). Its window and object go with DestroyBars.
    virtual HWND CreateLinksBar(HWND /*reBar*/, UINT /*id*/) { return nullptr; }
    // A popup of the frame's menu bar opens (WM_INITMENUPOPUP): the libraries fill the menus they
    // own (the Favorites menu's favorites).
    virtual void InitFrameMenuPopup(HWND /*frame*/, HMENU /*menuBar*/, HMENU /*popup*/) {}
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
