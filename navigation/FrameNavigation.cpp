#include "navigation/FrameNavigation.h"

#include "browser/filter/BlockedHistoryWindow.h"
#include "browser/tools/PageDropTarget.h"
#include "browser/watcher/BrowserWatcher.h"
#include "controls/CommandImageManager.h"
#include "core/app/LanguageManager.h"
#include "core/system/MessageBoxes.h"
#include "frame/FrameShell.h"
#include "frame/BrowserTab.h"
#include "frame/MainFrame.h"
#include "navigation/AddressBar.h"
#include "navigation/FavIconCache.h"
#include "navigation/GroupStore.h"
#include "navigation/NavigationCommands.h"
#include "navigation/OptionsPages.h"
#include "navigation/SearchBar.h"
#include "navigation/SearchEngineManager.h"
#include "navigation/TabSiteIconSource.h"
#include "navigation/favorites/AddFavoriteDlg.h"
#include "navigation/favorites/FavoritesFolder.h"
#include "navigation/favorites/FavoritesMenu.h"
#include "navigation/favorites/FavoritesPane.h"
#include "navigation/favorites/FavoritesResources.h"
#include "navigation/favorites/LinksBar.h"

namespace {

// The search bar's page buttons reach the frame's handlers under these numbers.
static_assert(ID_SEARCH_FIND_NEXT == ID_FRAME_SEARCH_FIND_NEXT && ID_SEARCH_HIGHLIGHT == ID_FRAME_SEARCH_HIGHLIGHT);

// Text dropped on a page is searched with the default engine, in a new tab behind the page.
class CPageDropSearch final : public IPageTextSearch {
public:
    void SearchText(const char* text) override
    {
        IBrowserTabHost* host = GetBrowserTabHost();
        HWND frame = host ? host->GetFrameWindow() : nullptr;
        if (frame && text)
            SearchWebFromPage(frame, text);
    }
};

} // namespace

CFrameNavigation::CFrameNavigation() = default;

// The frame has let its bars go by now (DestroyBars); the frame data may already be torn down.
CFrameNavigation::~CFrameNavigation() = default;

// The watcher's hook must be in place before the first tab's engine makes its page windows, which
// happens while the frame is still being created.
void CFrameNavigation::StartFrame(HWND)
{
    GetBrowserWatcher();
    GetMainFrameData().SetMenuIconSource(this);
}

HWND CFrameNavigation::CreateAddressBar(HWND reBar)
{
    if (m_address && m_address->IsWindow())
        return nullptr;  // one frame: a second would take the first one's bar away
    auto bar = std::make_unique<CAddressBar>();
    if (!bar->Create(reBar))
        return nullptr;
    bar->SetActivePageSource(this);
    m_address = std::move(bar);
    return m_address->m_hWnd;
}

HWND CFrameNavigation::CreateSearchBar(HWND reBar)
{
    if (m_search && m_search->IsWindow())
        return nullptr;
    auto bar = std::make_unique<CSearchBar>(nullptr, SearchHistory(), GetFavIconCache());
    if (!bar->Create(reBar))
        return nullptr;
    m_search = std::move(bar);
    return m_search->m_hWnd;
}

// Both bars answer 2 for a key that must stay with their edit; the panels keep the keys of an item
// being renamed.
bool CFrameNavigation::KeepsKeyForBar(const MSG* message)
{
    if (m_address && m_address->IsWindow() && m_address->PreTranslateMessage(message) == 2)
        return true;
    if (m_search && m_search->IsWindow() && m_search->PreTranslateMessage(message) == 2)
        return true;
    for (const auto* panel : {m_favoritesPanel.get(), m_historyPanel.get()})
        if (panel && panel->IsWindow() && panel->PreTranslateMessage(message))
            return true;
    return false;
}

HWND CFrameNavigation::CreateSidePanel(HWND parent, int panel)
{
    std::unique_ptr<CShellTreePane>* slot = panel == kSidePanelFavorites ? &m_favoritesPanel
                                            : panel == kSidePanelHistory ? &m_historyPanel
                                                                         : nullptr;
    if (!slot || (*slot && (*slot)->IsWindow()))
        return nullptr;  // one frame: a second would take the first one's panel away
    std::unique_ptr<CShellTreePane> made;
    if (panel == kSidePanelFavorites)
        made = std::make_unique<CFavoritesPane>(GetFavIconCache());
    else
        made = std::make_unique<CHistoryPane>(GetFavIconCache());
    if (!made->Create(parent))
        return nullptr;
    *slot = std::move(made);
    return (*slot)->m_hWnd;
}

HWND CFrameNavigation::CreateLinksBar(HWND reBar, UINT id)
{
    if (m_links && m_links->IsWindow())
        return nullptr;
    auto bar = std::make_unique<CLinksBar>(GetFavIconCache());
    if (!bar->Create(reBar, id))
        return nullptr;
    m_links = std::move(bar);
    return m_links->m_hWnd;
}

CShellTreePane* CFrameNavigation::GetSidePanel(int panel) const
{
    CShellTreePane* found = panel == kSidePanelFavorites ? m_favoritesPanel.get()
                            : panel == kSidePanelHistory ? m_historyPanel.get()
                                                         : nullptr;
    return found && found->IsWindow() ? found : nullptr;
}

bool CFrameNavigation::HandleNavigationCommand(HWND frame, UINT command, const char* activeUrl)
{
    // "View Logs": the blocked-content log window opens, or goes when it is open.
    if (command == ID_FRAME_VIEW_LOGS) {
        if (GetBlockedHistoryWindow())
            DestroyBlockedHistoryWindow();
        else
            ShowBlockedHistoryWindow(frame, 0);
        return true;
    }
    if (command == kAddToFavoritesCommand) {
        AddActivePageToFavorites(frame, activeUrl ? activeUrl : "");
        return true;
    }
    // The system's Organize Favorites dialog is not there everywhere: the folder opens in the shell.
    if (command == kOrganizeFavoritesCommand) {
        if (const std::string folder = GetFavoritesFolder(); !folder.empty())
            GetFrameShell().Execute("open", folder.c_str(), nullptr, SW_SHOWNORMAL);
        return true;
    }
    if (m_favoritesMenu && command >= kFavoritesMenuFirstCommand && command <= kFavoritesMenuLastCommand) {
        LRESULT result = 0;
        if (m_favoritesMenu->ProcessWindowMessage(frame, WM_COMMAND, command, 0, result))
            return true;
    }
    const CNavigationBars bars = {m_address.get(), m_search.get()};
    return ::HandleNavigationCommand(frame, command, GetProgramNavigationServices(), bars, activeUrl ? activeUrl : "");
}

void CFrameNavigation::AddActivePageToFavorites(HWND frame, const std::string& url)
{
    const std::string favorites = GetFavoritesFolder();
    if (favorites.empty() || url.empty())
        return;
    // The page's title is its tab's window text.
    std::string title;
    HWND client = ::FindWindowExA(frame, nullptr, "MDIClient", nullptr);
    if (HWND tab = client ? reinterpret_cast<HWND>(::SendMessageA(client, WM_MDIGETACTIVE, 0, 0)) : nullptr) {
        char text[1024] = "";
        ::GetWindowTextA(tab, text, sizeof(text));
        title = text;
    }
    CAddFavoriteDlg dialog(favorites, FavoriteNameForPage(title, url));
    if (dialog.DoModal(frame) != IDOK)
        return;
    const CAddFavoriteResult result = AddFavorite(frame, favorites, dialog.GetFolder(), dialog.GetName(), url);
    if (result == CAddFavoriteResult::Failed) {
        GetMessageBoxes().Show(frame, TranslateText("The favorite could not be saved.").c_str(),
                               TranslateText("Add Favorite").c_str(), MB_OK | MB_ICONERROR);
        return;
    }
    if (result != CAddFavoriteResult::Added)
        return;
    // The menu reads the folder each time it opens; the panel and the Links bar show it now.
    if (m_favoritesPanel && m_favoritesPanel->IsWindow())
        m_favoritesPanel->RefreshTree();
    if (m_links && m_links->IsWindow())
        m_links->Rebuild();
}

HIMAGELIST CFrameNavigation::GetSiteIconImages()
{
    CFavIconCache* cache = GetFavIconCache();
    return cache ? cache->GetImageList() : nullptr;
}

void CFrameNavigation::InitFrameMenuPopup(HWND frame, HMENU menuBar, HMENU popup)
{
    if (!popup)
        return;
    if (m_favoritesMenu && m_favoritesMenu->GetRootMenu() != popup && !::IsMenu(m_favoritesMenu->GetRootMenu()))
        m_favoritesMenu.reset();  // the menu bar was made anew (another language)
    if (!m_favoritesMenu) {
        bool isFavorites = false;
        for (int i = 0; menuBar && i < ::GetMenuItemCount(menuBar); ++i)
            isFavorites = isFavorites || ::GetSubMenu(menuBar, i) == popup;
        isFavorites = isFavorites && ::GetMenuState(popup, ID_FRAME_ADD_FAVORITE, MF_BYCOMMAND) != static_cast<UINT>(-1) &&
                      ::GetMenuState(popup, ID_FRAME_FAVORITES_OPTIONS, MF_BYCOMMAND) != static_cast<UINT>(-1);
        if (!isFavorites)
            return;
        // The favorites follow the menu's own items below a separator, in place of a placeholder.
        ::AppendMenuA(popup, MF_SEPARATOR, 0, nullptr);
        ::AppendMenuA(popup, MF_STRING, kFavoritesMenuInsertPoint, "Insert Point");
        m_favoritesMenu = std::make_unique<CFrameFavoritesMenu>();
        m_favoritesMenu->Attach(popup);
        m_favoritesMenu->SetOwnerWindow(frame);
    }
    m_favoritesMenu->OnInitMenuPopup(popup);
}

void CFrameNavigation::DestroyBars()
{
    // The log window is the frame's: it goes before the frame does.
    DestroyBlockedHistoryWindow();
    if (m_favoritesMenu && ::IsMenu(m_favoritesMenu->GetRootMenu()))
        m_favoritesMenu->RemoveItems();
    m_favoritesMenu.reset();
    if (m_address && m_address->IsWindow())
        m_address->DestroyWindow();
    if (m_search && m_search->IsWindow())
        m_search->DestroyWindow();
    if (m_links && m_links->IsWindow())
        m_links->DestroyWindow();
    m_address.reset();
    m_search.reset();
    m_links.reset();
    for (auto* panel : {&m_favoritesPanel, &m_historyPanel}) {
        if (*panel && (*panel)->IsWindow())
            (*panel)->DestroyWindow();
        panel->reset();
    }
    CMainFrameData& data = GetMainFrameData();
    if (IMenuIconSource* previous = data.SetMenuIconSource(nullptr); previous != this)
        data.SetMenuIconSource(previous);
}

bool CFrameNavigation::SaveGroup(const char* name, const std::vector<CStdString>& urls)
{
    CGroupStore* store = GetGroupStore();
    if (!store || !name || !store->IsValidGroupName(name))
        return false;
    std::vector<std::string> addresses(urls.begin(), urls.end());
    return store->AddGroup(name, std::move(addresses)) && store->Save();
}

int CFrameNavigation::GetIconIndex(const char* url)
{
    CFavIconCache* cache = GetFavIconCache();
    return cache && url ? cache->GetIconIndex(url) : CMainFrameData::kNoSiteIcon;
}

void CFrameNavigation::SetCommandIcon(UINT command, int iconIndex)
{
    CCommandImageManager* manager = GetCommandImageManager();
    CFavIconCache* cache = GetFavIconCache();
    if (!manager || !cache || iconIndex < 0)
        return;
    if (!manager->GetImageSetList(kImageSetFavIcons, false))
        manager->SetCommandIcons(kImageSetFavIcons, cache->GetImageList(), cache->GetImageList());
    manager->SetCommandIcon(static_cast<unsigned>(iconIndex), command, kImageSetFavIcons);
}

void InstallFrameNavigation()
{
    static CFrameNavigation navigation;
    SetFrameSubsystems(&navigation);
    static CPageDropSearch search;
    SetPageTextSearch(&search);
    static COptionsPages optionsPages(&navigation);
    SetOptionsPageFactory(&optionsPages);
    static CTabSiteIconSource siteIcons;
    SetTabSiteIcons(&siteIcons);
}

bool CFrameNavigation::GetActivePage(std::string& url, std::string& title) const
{
    const CMainFrame* frame = GetMainFrame();
    const IBrowserTab* tab = frame ? frame->GetActiveTab() : nullptr;
    if (!tab)
        return false;
    url = tab->GetUrl().c_str();
    char text[512] = {};
    ::GetWindowTextA(tab->GetTabWindow(), text, static_cast<int>(sizeof(text)));
    title = text;
    return true;
}
