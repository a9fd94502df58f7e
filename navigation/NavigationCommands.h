#pragma once
// The main frame's commands that belong to the navigation aids, in one call the frame makes from
// its WM_COMMAND handler: clearing the typed addresses (42002) and the search history (42011),
// the two "Automatically Open New Tab" toggles (42049, 42061), Organize Groups (32860), opening
// group i (33600 + i) and adding the active page to group i (33700 + i). The options commands
// (42047, 42060) and the URL alias list (42048, the Options dialog's "URL Alias" page) open the
// frame's Options dialog and stay with the frame.
#include "navigation/AddressBar.h"

#include <string>

class CSearchBar;

struct CNavigationBars {
    CAddressBar* address = nullptr;  // not owned; may be null
    CSearchBar* search = nullptr;    // not owned; may be null
};

// True when the command was one of these (and was carried out as far as its parts exist).
// `activeUrl` is the active tab's address, for "add to group"; the dialogs are owned by `frame`.
bool HandleNavigationCommand(HWND frame, UINT command, const CNavigationServices& services,
                             const CNavigationBars& bars, const std::string& activeUrl);
