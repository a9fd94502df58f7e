#include "navigation/OptionsPages.h"

#include "browser/filter/BlockerAdvancedPage.h"
#include "browser/privacy/ProxyPage.h"
#include "frame/MainFrame.h"
#include "frame/services/PluginsPage.h"
#include "browser/filter/BlockerPages.h"
#include "browser/filter/FilterResources.h"
#include "frame/gestures/GestureResources.h"
#include "frame/gestures/MouseActionsPage.h"
#include "frame/gestures/MouseTrailsPage.h"
#include "navigation/AliasDialogs.h"
#include "navigation/FavIconCache.h"
#include "navigation/FrameNavigation.h"
#include "navigation/SearchBarPage.h"
#include "navigation/SearchEngineManager.h"
#include "navigation/StartPagesPage.h"
#include "navigation/favorites/FavoritesPage.h"

std::unique_ptr<COptionsPage> COptionsPages::CreatePage(int dialogId)
{
    switch (dialogId) {
    case IDD_POPUP_BLOCKER_PAGE:
        return std::make_unique<CPopupBlockerPage>();
    case IDD_POPUP_ADVANCED:
        return std::make_unique<CBlockerAdvancedPage>(true);
    case IDD_AD_FILTER_PAGE:
        return std::make_unique<CAdFilterPage>();
    case IDD_AD_ADVANCED:
        return std::make_unique<CBlockerAdvancedPage>(false);
    case IDD_MOUSE_ACTIONS_PAGE:
        return std::make_unique<CMouseActionsPage>();
    case IDD_MOUSE_TRAILS_PAGE:
        return std::make_unique<CMouseTrailsPage>();
    case IDD_URL_ALIAS_LIST:
        return std::make_unique<CUrlAliasPage>();
    case kIdPluginsPage:
        return std::make_unique<CPluginsPage>(nullptr, [] {
            if (CMainFrame* frame = GetMainFrame())
                frame->RebuildPlugins();
        });
    case IDD_PROXY_PAGE:
        return std::make_unique<CProxyPage>();
    case IDD_SEARCH_BAR_PAGE:
        if (CSearchEngineManager* engines = GetSearchEngineManager())
            return std::make_unique<CSearchBarPage>(*engines, m_navigation ? m_navigation->GetSearchBar() : nullptr,
                                                    GetFavIconCache());
        return nullptr;
    case IDD_FAVORITES_PAGE:
        // Nothing shows the favorites menu or the Links bar for the page to tell yet: both read
        // the settings when they are next built.
        return std::make_unique<CFavoritesPage>();
    case IDD_START_PAGES_PAGE:
        return std::make_unique<CStartPagesPage>(nullptr, nullptr, GetFavIconCache());
    default:
        return nullptr;
    }
}

// The bar is looked up when the page is applied: the frame may have rebuilt its bars since the
// dialog opened, and a frame without bars has nothing to update.
void COptionsPages::CAddressBarButtons::ReapplyButtons()
{
    CAddressBar* bar = m_navigation ? m_navigation->GetAddressBar() : nullptr;
    if (bar && bar->IsWindow())
        bar->UpdateGoButton();
}
