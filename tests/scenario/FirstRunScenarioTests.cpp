// One user's first day with the browser, from the first start to the next one.
//
// Where the engine double stands in for the page: it shows no pages, so "the page" is what the
// double reports for its address (the title, the status text, the history), the clicked link is
// the double's navigation as a page link would make it, and the page window the gesture is drawn
// over is the double's window of the engine's class. Everything else is the program's own: the
// frame, the address and search bars, the aliases, the Favorites menu, the Links bar, the
// favorites panel, the recently closed list, the gestures, the session and the settings.
//
// The favorite the user already had is an Internet shortcut the scenario puts into the favorites
// folder; the one the user adds comes through the program's Add Favorite dialog.
#include "tests/scenario/ScenarioWorld.h"

#include "core/app/Settings.h"
#include "frame/FrameResources.h"
#include "frame/options/OptionsResources.h"
#include "navigation/FrameNavigation.h"
#include "navigation/NavigationResources.h"
#include "navigation/SearchEngineManager.h"
#include "navigation/UrlAliasList.h"
#include "navigation/favorites/FavoritesPane.h"
#include "navigation/favorites/LinksBar.h"

#include <gtest/gtest.h>
#include <commctrl.h>

#include <algorithm>

using scenario::CScenarioWorld;
using scenario::ScenarioPage;

namespace {

// The program's own home page and search start page.
constexpr char kHome[] = "http://www.kivobrowser.example/";
constexpr char kSearchStart[] = "http://search.kivobrowser.example/";

bool Contains(const std::vector<std::string>& texts, const std::string& text)
{
    return std::find(texts.begin(), texts.end(), text) != texts.end();
}

std::string TreeText(HWND tree, HTREEITEM item)
{
    char buffer[260] = {};
    TVITEMA data = {};
    data.mask = TVIF_TEXT;
    data.hItem = item;
    data.pszText = buffer;
    data.cchTextMax = sizeof(buffer);
    ::SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&data));
    return buffer;
}

// The item of the tree at the path of texts, each folder opened on the way as a click on its
// button does.
HTREEITEM FindTreePath(HWND tree, const std::vector<std::string>& path)
{
    HTREEITEM parent = TVI_ROOT;
    HTREEITEM found = nullptr;
    for (const std::string& name : path) {
        if (parent != TVI_ROOT)
            ::SendMessageA(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(parent));
        found = nullptr;
        HTREEITEM item = reinterpret_cast<HTREEITEM>(::SendMessageA(
            tree, TVM_GETNEXTITEM, parent == TVI_ROOT ? TVGN_ROOT : TVGN_CHILD, reinterpret_cast<LPARAM>(parent)));
        for (; item; item = reinterpret_cast<HTREEITEM>(
                         ::SendMessageA(tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(item))))
            if (TreeText(tree, item) == name) {
                found = item;
                break;
            }
        if (!found)
            return nullptr;
        parent = found;
    }
    return found;
}

// The control of the id anywhere inside the window (a page inside a dialog).
HWND FindDescendant(HWND window, int id)
{
    struct Search {
        int id;
        HWND found;
    } search = {id, nullptr};
    ::EnumChildWindows(
        window,
        [](HWND child, LPARAM data) -> BOOL {
            auto* s = reinterpret_cast<Search*>(data);
            if (::GetDlgCtrlID(child) != s->id)
                return TRUE;
            s->found = child;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool EndsWith(const std::string& text, const std::string& end)
{
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

}  // namespace

TEST(FirstRunScenario, OneUserFromTheFirstStartToTheNextOne)
{
    CScenarioWorld world;
    const std::string news = world.ServePage({"/news.html", "Morning News", "", {}, ""});
    const std::string weather = world.ServePage({"/weather.html", "Weather", "", {}, ""});
    const std::string recipes = world.ServePage({"/recipes.html", "Recipes", "", {}, ""});
    const std::string soup = world.ServePage({"/recipes/soup.html", "Soup", "", {}, ""});
    // A favorite the user already had (the system's favorites folder is shared with other browsers).
    world.AddFavoriteFile("Recipes", recipes);

    // ---- The first start opens the home page and the search start page, the search page in front.
    ASSERT_TRUE(world.Start());
    EXPECT_EQ(world.TabTexts(), (std::vector<std::string>{"Kivo Home", "Kivo Search"}));
    ASSERT_EQ(world.Tabs().size(), 2u);
    EXPECT_EQ(world.ActiveTab(), world.Tabs()[1]);
    EXPECT_EQ(world.AddressText(), kSearchStart);
    EXPECT_EQ(world.WindowTitle(), "Kivo Search - Kivo Browser");

    // ---- An address typed into the address bar opens in the tab in front.
    world.TypeAddress(news);
    EXPECT_EQ(world.TabTexts(), (std::vector<std::string>{"Kivo Home", "Morning News"}));
    EXPECT_EQ(world.AddressText(), news);
    EXPECT_EQ(world.PaneText(0), "Done");

    // ---- An alias (one the user made in the aliases' options) opens its address.
    CUrlAliasList* aliases = GetUrlAliases();
    ASSERT_NE(aliases, nullptr);
    // The alias list is the program folder's, shared with other tests: the scenario's alias is
    // taken out again at its end.
    if (aliases->Find("weather") >= 0)
        aliases->Remove(aliases->Find("weather"));
    ASSERT_TRUE(aliases->Add({"weather", weather}));
    struct CRemoveAlias {
        CUrlAliasList& list;
        ~CRemoveAlias()
        {
            if (list.Find("weather") >= 0)
                list.Remove(list.Find("weather"));
        }
    } removeAlias{*aliases};
    world.TypeAddress("weather");
    EXPECT_EQ(world.TabTexts(), (std::vector<std::string>{"Kivo Home", "Weather"}));
    EXPECT_EQ(world.AddressText(), weather);

    // ---- A search from the search bar opens the engine's results in a new tab (the search bar's
    // new-tab option is on in a new profile).
    CSearchEngineManager* engines = GetSearchEngineManager();
    ASSERT_NE(engines, nullptr);
    ASSERT_FALSE(engines->Categories().empty());
    // The category's default engine is the world's own search (no test asks a real site, and
    // the favicon cache asks the engine's site for its icon): put back at the end.
    CSearchCategory& category = engines->Categories()[0];
    ASSERT_FALSE(category.engines.empty());
    const size_t engine = static_cast<size_t>(std::clamp(category.defaultEngine, 0, static_cast<int>(category.engines.size()) - 1));
    struct CRestoreEngine {
        CSearchEngine& engine;
        std::string url;
        ~CRestoreEngine() { engine.urlTemplate = url; }
    } restoreEngine{category.engines[engine], category.engines[engine].urlTemplate};
    category.engines[engine].urlTemplate = world.Url("/search?q=%us");
    const std::string results = engines->BuildSearchUrl(0, "soup recipes", -1);
    ASSERT_EQ(results, world.Url("/search?q=soup%20recipes"));
    ASSERT_FALSE(results.empty());
    world.ServePage({"/search?q=soup%20recipes", "Soup results", "", {}, ""});
    world.TypeSearch("soup recipes");
    EXPECT_EQ(world.TabTexts(), (std::vector<std::string>{"Kivo Home", "Weather", "Soup results"}));
    EXPECT_EQ(world.AddressText(), results);
    EXPECT_EQ(world.TabUrl(world.ActiveTab()), results);

    // ---- A favorite from the Favorites menu in a new tab: the user turns on the menu's
    // "Automatically Open New Tab", then picks the favorite.
    HMENU favorites = world.OpenMenuBarMenu("Favorites");
    ASSERT_NE(favorites, nullptr);
    ASSERT_TRUE(Contains(CScenarioWorld::MenuTexts(favorites), "Recipes"))
        << testing::PrintToString(CScenarioWorld::MenuTexts(favorites));
    EXPECT_EQ(::GetMenuState(favorites, ID_FRAME_FAVMENU_NEW_TAB, MF_BYCOMMAND) & MF_CHECKED, 0u);
    world.Command(ID_FRAME_FAVMENU_NEW_TAB);
    favorites = world.OpenMenuBarMenu("Favorites");
    EXPECT_NE(::GetMenuState(favorites, ID_FRAME_FAVMENU_NEW_TAB, MF_BYCOMMAND) & MF_CHECKED, 0u);
    const UINT recipesCommand = CScenarioWorld::FindMenuCommand(favorites, "Recipes");
    ASSERT_NE(recipesCommand, 0u);
    world.Command(recipesCommand);
    EXPECT_EQ(world.TabTexts(), (std::vector<std::string>{"Kivo Home", "Weather", "Soup results", "Recipes"}));
    const HWND recipesTab = world.ActiveTab();
    EXPECT_EQ(recipesTab, world.Tabs().back());
    EXPECT_EQ(world.AddressText(), recipes);

    // A link of the page leads on; a stroke to the left over the page goes back.
    CFakeBrowser* recipesEngine = world.EngineOf(recipesTab);
    ASSERT_NE(recipesEngine, nullptr);
    recipesEngine->NavigateTo(std::wstring(soup.begin(), soup.end()));
    world.Load();
    EXPECT_EQ(world.TabText(recipesTab), "Soup");
    EXPECT_EQ(world.AddressText(), soup);
    ASSERT_TRUE(world.DrawGesture(recipesTab, 0.7, 0.5, 0.2, 0.5));
    ASSERT_TRUE(world.PumpUntil([&] {
        world.Load();
        return world.TabUrl(recipesTab) == recipes;
    }));
    EXPECT_EQ(world.TabText(recipesTab), "Recipes");
    EXPECT_EQ(world.AddressText(), recipes);
    EXPECT_EQ(world.TabTexts(), (std::vector<std::string>{"Kivo Home", "Weather", "Soup results", "Recipes"}));

    // ---- The user closes the search results and takes them back from File > Open Recent.
    const HWND resultsTab = world.Tabs()[2];
    world.CloseTab(resultsTab);
    EXPECT_EQ(world.TabTexts(), (std::vector<std::string>{"Kivo Home", "Weather", "Recipes"}));
    HMENU file = world.OpenMenuBarMenu("File");
    HMENU recent = world.OpenSubMenu(file, "Open Recent");
    ASSERT_NE(recent, nullptr);
    const std::vector<std::string> recentTexts = CScenarioWorld::MenuTexts(recent);
    ASSERT_FALSE(recentTexts.empty());
    const auto closedItem = std::find_if(recentTexts.begin(), recentTexts.end(),
                                         [](const std::string& text) { return text.find("Soup results") != std::string::npos; });
    ASSERT_NE(closedItem, recentTexts.end()) << testing::PrintToString(recentTexts);
    const UINT reopen = ::GetMenuItemID(recent, static_cast<int>(closedItem - recentTexts.begin()));
    world.Command(reopen);
    ASSERT_EQ(world.Tabs().size(), 4u);
    EXPECT_EQ(world.TabText(world.ActiveTab()), "Soup results");
    EXPECT_EQ(world.AddressText(), results);

    // ---- The user adds the weather page to the favorites' Links folder with Ctrl+D: the dialog
    // offers the page's title, the user names it "Weather" and picks Links; the Favorites menu,
    // the Links bar and the favorites panel show it.
    world.ActivateTab(world.Tabs()[1]);
    EXPECT_EQ(world.AddressText(), weather);
    std::string offeredName;
    EXPECT_TRUE(world.DriveDialog([&] { world.Command(ID_FRAME_ADD_FAVORITE); },
                                  {[&offeredName](HWND dialog) {
                                      char text[256] = {};
                                      ::GetDlgItemTextA(dialog, IDC_FAVORITE_NAME, text, sizeof(text));
                                      offeredName = text;
                                      const HWND folders = ::GetDlgItem(dialog, IDC_FAVORITE_FOLDER);
                                      const LRESULT linksFolder =
                                          ::SendMessageA(folders, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                                         reinterpret_cast<LPARAM>("Links"));
                                      ::SendMessageA(folders, CB_SETCURSEL, static_cast<WPARAM>(linksFolder), 0);
                                      ::SetDlgItemTextA(dialog, IDC_FAVORITE_NAME, "Weather");
                                      frame_test::Click(dialog, IDOK);
                                  }}));
    EXPECT_EQ(offeredName, world.TabText(world.ActiveTab()));
    CFrameNavigation* navigation = world.Navigation();
    ASSERT_NE(navigation, nullptr);
    CLinksBar* links = navigation->GetLinksBar();
    ASSERT_NE(links, nullptr);
    EXPECT_TRUE(world.PumpUntil([&] {
        const std::vector<std::string> paths = links->GetVisiblePaths();
        return std::any_of(paths.begin(), paths.end(), [](const std::string& path) { return EndsWith(path, "\\Weather.url"); });
    })) << testing::PrintToString(links->GetVisiblePaths());
    favorites = world.OpenMenuBarMenu("Favorites");
    const std::vector<std::string> menuTexts = CScenarioWorld::MenuTexts(favorites, true);
    const auto linksItem = std::find(menuTexts.begin(), menuTexts.end(), "Links");
    ASSERT_NE(linksItem, menuTexts.end()) << testing::PrintToString(menuTexts);
    EXPECT_NE(std::find(linksItem, menuTexts.end(), "  Weather"), menuTexts.end()) << testing::PrintToString(menuTexts);
    world.Command(ID_FRAME_PANE_FIRST + kSidePanelFavorites);
    CShellTreePane* panel = navigation->GetSidePanel(kSidePanelFavorites);
    ASSERT_NE(panel, nullptr);
    EXPECT_TRUE(world.PumpUntil([&] { return ::IsWindowVisible(panel->m_hWnd) != FALSE; }));
    HTREEITEM weatherItem = nullptr;
    EXPECT_TRUE(world.PumpUntil([&] {
        weatherItem = FindTreePath(panel->GetTree().m_hWnd, {"Links", "Weather"});
        return weatherItem != nullptr;
    }));

    std::string picture;
    EXPECT_TRUE(world.Screenshot("scenario-first-run.bmp", picture)) << picture;

    // ---- The user lets the next start open the last session: Options, the Start Pages page,
    // "last open sites", OK. Then exits.
    EXPECT_EQ(GetSettings()->GetStartupMode(), 1);  // a new profile starts with the home page
    bool chosen = false;
    EXPECT_TRUE(world.DriveDialog([&] { world.Frame().ShowOptionsPage(IDD_START_PAGES_PAGE); },
                                  {[&chosen](HWND dialog) {
                                      const HWND radio = FindDescendant(dialog, IDC_START_MODE_LAST_SITES);
                                      if (radio) {
                                          const HWND page = ::GetParent(radio);
                                          ::CheckRadioButton(page, IDC_START_MODE_BLANK, IDC_START_MODE_SEARCH_PAGE,
                                                             IDC_START_MODE_LAST_SITES);
                                          frame_test::Click(page, IDC_START_MODE_LAST_SITES);
                                          chosen = true;
                                      }
                                      frame_test::Click(dialog, IDOK);
                                  }}));
    EXPECT_TRUE(chosen);
    EXPECT_EQ(GetSettings()->GetStartupMode(), 2);
    const std::vector<std::string> before = world.TabTexts();
    EXPECT_EQ(world.Exit(), 1);
    EXPECT_EQ(world.m_questions.m_exitQuestions, 1);

    // ---- The next start brings the tabs back in their order, and the settings as they were left.
    const std::unique_ptr<CSettings> stored = world.StoredSettings();
    EXPECT_EQ(stored->StartupFlags.value & 0x3F, 0x4);
    EXPECT_NE(stored->TabOpenFlags.value & TabOpenFlag::Favorites, 0);
    ASSERT_EQ(stored->LastOpenSites.size(), 4u);
    ASSERT_TRUE(world.Start());
    EXPECT_EQ(world.m_questions.m_sessionQuestions, 1);
    EXPECT_EQ(world.TabTexts(), before);
    const std::vector<HWND> tabs = world.Tabs();
    ASSERT_EQ(tabs.size(), 4u);
    EXPECT_EQ(world.TabUrl(tabs[0]), kHome);
    EXPECT_EQ(world.TabUrl(tabs[1]), weather);
    EXPECT_EQ(world.TabUrl(tabs[2]), recipes);
    EXPECT_EQ(world.TabUrl(tabs[3]), results);
    favorites = world.OpenMenuBarMenu("Favorites");
    EXPECT_NE(::GetMenuState(favorites, ID_FRAME_FAVMENU_NEW_TAB, MF_BYCOMMAND) & MF_CHECKED, 0u);
    EXPECT_EQ(GetSettings()->RunCount.value, 2);
}
