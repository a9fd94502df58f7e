#include "navigation/NavigationCommands.h"

#include "core/app/Settings.h"
#include "navigation/GroupDialogs.h"
#include "navigation/GroupStore.h"
#include "navigation/SearchBar.h"

bool HandleNavigationCommand(HWND frame, UINT command, const CNavigationServices& services,
                             const CNavigationBars& bars, const std::string& activeUrl)
{
    CSettings* settings = GetSettings();
    switch (command) {
    case ID_CLEAR_TYPED_ADDRESSES:
        if (bars.address)
            bars.address->ClearTypedUrls();
        return true;
    case ID_CLEAR_SEARCH_HISTORY:
        if (bars.search)
            bars.search->ClearHistory();
        return true;
    case ID_TOGGLE_ADDRESS_NEW_TAB:
        if (settings)
            settings->TabOpenFlags = settings->TabOpenFlags.value ^ static_cast<int>(TabOpenFlag::AddressBar);
        return true;
    case ID_TOGGLE_SEARCH_NEW_TAB:
        if (settings)
            settings->TabOpenFlags = settings->TabOpenFlags.value ^ static_cast<int>(TabOpenFlag::SearchBar);
        return true;
    case ID_ORGANIZE_GROUPS:
        if (services.groups) {
            COrganizeGroupsDlg dialog(*services.groups, services.icons);
            dialog.DoModal(frame);
        }
        return true;
    default:
        break;
    }
    if (command >= kOpenGroupFirstCommand && command < kOpenGroupFirstCommand + kMaxMenuGroups) {
        const int index = static_cast<int>(command - kOpenGroupFirstCommand);
        if (services.groups && index < services.groups->GetCount())
            OpenGroup(frame, services.groups->Groups()[index]);
        return true;
    }
    if (command >= kAddToGroupFirstCommand && command < kAddToGroupFirstCommand + kMaxMenuGroups) {
        if (services.groups && !activeUrl.empty())
            services.groups->AddUrlToGroup(static_cast<int>(command - kAddToGroupFirstCommand), activeUrl);
        return true;
    }
    return false;
}
