#pragma once
// The program's IFrameSubsystems (frame/FrameSubsystems.h): the main frame's address and search
// bars are the navigation library's CAddressBar and CSearchBar, its navigation commands go to
// HandleNavigationCommand, its menus and tabs take their site icons from the favicon cache, and the browser
// watcher gives the pages inside its tabs their mouse gestures from the frame's start; the address
// bar's site icon drags out the link of the frame's active tab.
//
// Lifetime: one object for the program, installed by InstallFrameNavigation at start-up and kept
// until exit; the bars' objects live from the frame's CreateAddressBar / CreateSearchBar to its
// DestroyBars.
#include "frame/FrameSubsystems.h"
#include "frame/MainFrameData.h"
#include "navigation/AddressBar.h"

#include <memory>

class CSearchBar;
class CFavIconCache;
class CShellTreePane;
class CLinksBar;
class CFrameFavoritesMenu;

class CFrameNavigation final : public IFrameSubsystems, public IMenuIconSource, public IActivePageSource {
public:
    CFrameNavigation();
    ~CFrameNavigation() override;
    CFrameNavigation(const CFrameNavigation&) = delete;
    CFrameNavigation& operator=(const CFrameNavigation&) = delete;

    // IFrameSubsystems
    void StartFrame(HWND frame) override;
    HWND CreateAddressBar(HWND reBar) override;
    HWND CreateSearchBar(HWND reBar) override;
    bool KeepsKeyForBar(const MSG* message) override;
    bool HandleNavigationCommand(HWND frame, UINT command, const char* activeUrl) override;
    HIMAGELIST GetSiteIconImages() override;
    void DestroyBars() override;
    // The Favorites and History side panels (CFavoritesPane, CHistoryPane); the other panels are
    // not the navigation library's.
    HWND CreateSidePanel(HWND parent, int panel) override;
    // The Links bar over the links folder (CLinksBar).
    HWND CreateLinksBar(HWND reBar, UINT id) override;
    bool SaveGroup(const char* name, const std::vector<CStdString>& urls) override;
    // The menu bar's Favorites popup (the one holding "Add to Favorites..." and "Favorites
    // Options...") lists the favorites folder below its own items, rebuilt at each opening.
    void InitFrameMenuPopup(HWND frame, HMENU menuBar, HMENU popup) override;

    // IMenuIconSource: the frame data's menu items take the favicon cache's icons.
    int GetIconIndex(const char* url) override;
    void SetCommandIcon(UINT command, int iconIndex) override;

    // IActivePageSource: the main frame's active tab, its address and its window text.
    bool GetActivePage(std::string& url, std::string& title) const override;

    CAddressBar* GetAddressBar() const { return m_address.get(); }
    CSearchBar* GetSearchBar() const { return m_search.get(); }
    // The side panel made for kSidePanelFavorites or kSidePanelHistory, null when there is none.
    CShellTreePane* GetSidePanel(int panel) const;
    CLinksBar* GetLinksBar() const { return m_links.get(); }
    // Add to Favorites: asks where and under which name, writes the favorite, shows it at once.
    void AddActivePageToFavorites(HWND frame, const std::string& url);

private:
    std::unique_ptr<CAddressBar> m_address;
    std::unique_ptr<CSearchBar> m_search;
    std::unique_ptr<CShellTreePane> m_favoritesPanel;
    std::unique_ptr<CShellTreePane> m_historyPanel;
    std::unique_ptr<CLinksBar> m_links;
    std::unique_ptr<CFrameFavoritesMenu> m_favoritesMenu;
};

// Makes the program's one CFrameNavigation and installs it for the frame, with the search of text
// dropped on pages and the option pages of the later libraries for the Options dialog (start-up,
// once).
void InstallFrameNavigation();
