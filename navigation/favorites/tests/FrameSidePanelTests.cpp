// The Favorites and History side panels in the real main frame: made by the navigation library for
// the frame, docked in it as tabs of one box at its left, and opening their items in the frame's
// tabs; the Links bar band is the library's bar too. A picture of the frame with the panels is written to screenshots\main-frame-panels.bmp.
#include "navigation/FrameNavigation.h"
#include "navigation/favorites/FavoritesPane.h"
#include "navigation/favorites/LinksBar.h"
#include "navigation/favorites/tests/FavoritesTestSupport.h"

#include "controls/docking/DockingRecord.h"
#include "controls/docking/DockingWindow.h"
#include "controls/tests/Screenshot.h"
#include "core/app/Settings.h"
#include "frame/BrowserTab.h"
#include "frame/FrameSubsystems.h"
#include "frame/MainFrame.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

using favorites_test::CFavoritesTree;

namespace {

// Records what the frame asks it to open and makes no tab.
class CRecordingTabFactory final : public IBrowserTabFactory {
public:
    CRecordingTabFactory() : m_previous(SetBrowserTabFactory(this)) {}
    ~CRecordingTabFactory() override { SetBrowserTabFactory(m_previous); }
    CRecordingTabFactory(const CRecordingTabFactory&) = delete;
    CRecordingTabFactory& operator=(const CRecordingTabFactory&) = delete;
    IBrowserTab* CreateBrowserTab(HWND, IBrowserTab*, const char* url, DWORD) override
    {
        m_urls.push_back(url ? url : "");
        return nullptr;
    }
    std::vector<std::string> m_urls;

private:
    IBrowserTabFactory* m_previous = nullptr;  // not owned
};

void Pump()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT)
            continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

std::string ClassOf(HWND window)
{
    char name[64] = {};
    GetClassNameA(window, name, static_cast<int>(sizeof(name)));
    return name;
}

HTREEITEM FindItem(CShellFolderTree& tree, const char* text)
{
    for (HTREEITEM item = tree.GetRootItem(); item; item = tree.GetNextSiblingItem(item)) {
        char buffer[260] = {};
        TVITEMA data = {};
        data.mask = TVIF_TEXT;
        data.hItem = item;
        data.pszText = buffer;
        data.cchTextMax = sizeof(buffer);
        SendMessageA(tree.m_hWnd, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&data));
        if (std::string(buffer) == text)
            return item;
    }
    return nullptr;
}

}  // namespace

TEST(FrameSidePanels, TheFavoritesAndHistoryPanelsDockInTheFrameAndOpenTheirItems)
{
    CFavoritesTree favorites{"FrameSidePanels"};
    favorites.Link("Docked", "http://docked.test/");
    const std::string history = favorites.Folder("History");
    favorites.Link("History\\Visited", "http://visited.test/");
    favorites.Folder("Links");
    favorites.Link("Links\\Linked", "http://linked.test/");
    CSettingsStore* store = GetSettingsStore();
    if (store)
        store->WriteString("Settings\\Docker", nullptr, nullptr);

    // A later run: the first run's start hides the panels.
    CSettings* settings = GetSettings();
    ASSERT_TRUE(settings);
    settings->RunCount.value = 5;
    CFrameNavigation navigation;
    IFrameSubsystems* previous = SetFrameSubsystems(&navigation);
    CRecordingTabFactory tabs;
    HWND window = CreateMainFrame(RECT{0, 0, 800, 560});
    ASSERT_TRUE(window);
    CMainFrame* frame = GetMainFrame();
    ASSERT_TRUE(frame);
    ShowWindow(window, SW_SHOWNORMAL);
    Pump();

    CFramePanes& panes = frame->GetPanes();
    ASSERT_GE(panes.GetCount(), 2);
    CShellTreePane* favoritesPanel = navigation.GetSidePanel(kSidePanelFavorites);
    CShellTreePane* historyPanel = navigation.GetSidePanel(kSidePanelHistory);
    ASSERT_TRUE(favoritesPanel);
    ASSERT_TRUE(historyPanel);
    EXPECT_EQ(panes.GetContent(kSidePanelFavorites), favoritesPanel->m_hWnd);
    EXPECT_EQ(panes.GetContent(kSidePanelHistory), historyPanel->m_hWnd);
    // Both are tabs of one box, in a bar of the frame.
    CDockingWindow* favoritesPane = panes.GetPane(kSidePanelFavorites);
    CDockingWindow* historyPane = panes.GetPane(kSidePanelHistory);
    ASSERT_TRUE(favoritesPane && historyPane);
    EXPECT_TRUE(favoritesPane->IsDocked());
    EXPECT_TRUE(IsDockingBox(favoritesPane->Host()));
    EXPECT_EQ(favoritesPane->Host(), historyPane->Host());
    HWND bar = GetParent(favoritesPane->Host());
    EXPECT_EQ(ClassOf(bar), "CPackageWindowFrame::CPackageWindow");
    EXPECT_EQ(GetParent(bar), window);
    EXPECT_EQ(GetParent(favoritesPanel->m_hWnd), favoritesPane->m_hWnd);

    // The Links bar band is the navigation library's bar over the links folder.
    CLinksBar* links = navigation.GetLinksBar();
    ASSERT_TRUE(links);
    EXPECT_EQ(GetParent(links->m_hWnd), frame->GetReBar());
    EXPECT_GE(SendMessageA(frame->GetReBar(), RB_IDTOINDEX, ID_BAND_LINKS_BAR, 0), 0);
    const std::vector<std::string> buttons = links->GetVisiblePaths();
    EXPECT_NE(std::find_if(buttons.begin(), buttons.end(),
                           [](const std::string& path) { return path.find("Linked.url") != std::string::npos; }),
              buttons.end());

    // The favorites tree shows the test's folder; its item opens through the frame.
    panes.Show(kSidePanelFavorites, true);
    favoritesPanel->RefreshTree();
    Pump();
    EXPECT_TRUE(IsWindowVisible(favoritesPanel->m_hWnd));
    HTREEITEM docked = FindItem(favoritesPanel->GetTree(), "Docked");
    ASSERT_TRUE(docked);
    GetSettings()->TabOpenFlags = 0x22;
    tabs.m_urls.clear();
    favoritesPanel->GetTree().OpenItem(docked);
    EXPECT_EQ(tabs.m_urls, (std::vector<std::string>{"http://docked.test/"}));
    // Floating, the panel is a window of its own that the frame owns: its items still open there.
    CDockPositionRecord floating = favoritesPane->GetPosition();
    floating.header.host = 0;
    floating.flags = kDockFlagFloating;
    floating.left = 100;
    floating.top = 100;
    floating.right = 400;
    floating.bottom = 400;
    ASSERT_TRUE(favoritesPane->DockRequest(floating));
    Pump();
    ASSERT_FALSE(favoritesPane->IsDocked());
    ASSERT_TRUE(IsWindowVisible(favoritesPane->m_hWnd));
    EXPECT_EQ(GetAncestor(favoritesPanel->m_hWnd, GA_ROOT), favoritesPane->m_hWnd);
    tabs.m_urls.clear();
    favoritesPanel->GetTree().OpenItem(docked);
    EXPECT_EQ(tabs.m_urls, (std::vector<std::string>{"http://docked.test/"}));
    // Back in the box with the History.
    favoritesPane->DockTo(historyPane->Host() && IsDockingBox(historyPane->Host()) ? historyPane->Host()
                                                                                    : historyPane->m_hWnd,
                          0);
    Pump();
    EXPECT_TRUE(favoritesPane->IsDocked());

    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
    Pump();
    std::string path;
    RECT shown = {};
    GetWindowRect(window, &shown);
    EXPECT_TRUE(kivo_test::WriteScreenRect(shown, "main-frame-panels.bmp", path)) << path;

    // The History tab of the box shows the history tree; its item opens in a new tab.
    panes.Show(kSidePanelHistory, true);
    Pump();
    EXPECT_TRUE(IsWindowVisible(historyPanel->m_hWnd));
    historyPanel->GetTree().SetRootFolder(history);
    HTREEITEM visited = FindItem(historyPanel->GetTree(), "Visited");
    ASSERT_TRUE(visited);
    GetSettings()->TabOpenFlags = 0x10;
    tabs.m_urls.clear();
    historyPanel->GetTree().OpenItem(visited);
    EXPECT_EQ(tabs.m_urls, (std::vector<std::string>{"http://visited.test/"}));

    DestroyWindow(window);
    Pump();
    EXPECT_FALSE(navigation.GetSidePanel(kSidePanelFavorites));
    SetFrameSubsystems(previous);
    if (store)
        store->WriteString("Settings\\Docker", nullptr, nullptr);
}
