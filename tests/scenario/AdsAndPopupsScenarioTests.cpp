// One user on a page with ads and popups.
//
// Where the engine double stands in for the page: it parses nothing and fetches nothing, so the
// scenario fetches the page's picture and ad addresses through the URL layer as the engine would
// (asynchronous bindings to a stream), where the program's namespace handler for http answers
// them; the popup the page opens from its load handler is the double's window.open at load. The
// log window's context menu is a tracked popup: the scenario runs the command the user picks in it.
#include "tests/scenario/ScenarioWorld.h"
#include "tests/http/AsyncUrlFetch.h"

#include "browser/filter/AdFilter.h"
#include "browser/filter/AdFilterProtocol.h"
#include "browser/filter/BlockedHistoryWindow.h"
#include "browser/filter/FilterResources.h"
#include "browser/filter/PopupAllowList.h"
#include "core/app/Settings.h"
#include "frame/BlockedContent.h"
#include "frame/FrameResources.h"
#include "controls/tests/Screenshot.h"

#include <gtest/gtest.h>
#include <commctrl.h>
#include <urlmon.h>

#include <algorithm>
#include <cstring>

using scenario::CScenarioWorld;
using scenario::ScenarioPage;

namespace {

// A fetch of one of the page's pictures as the engine makes it; the notices the namespace handler
// posted to the window thread are taken once the binding has stopped.
HRESULT FetchAsTheEngine(CScenarioWorld& world, kivo_test::CAsyncUrlFetch& fetch, const std::string& url)
{
    const HRESULT result = fetch.Fetch(url);
    world.Pump();
    return result;
}

kivo_test::CAsyncUrlFetch PictureFetch(CScenarioWorld& world)
{
    return kivo_test::CAsyncUrlFetch(kivo_test::CAsyncUrlFetch::kPictureBindFlags,
                                     [&world](const std::function<bool()>& done) { return world.PumpUntil(done); });
}

// The ad filter's lists and the popup allow list as the scenario leaves them are put back: both
// are the program folder's files, shared with other tests.
class CFilterListsRestore {
public:
    CFilterListsRestore()
        : m_filters(GetAdFilter().GetPatterns(CAdFilter::kFilterList)),
          m_exceptions(GetAdFilter().GetPatterns(CAdFilter::kExceptionList))
    {
        GetPopupAllowList().Clear();
    }
    ~CFilterListsRestore()
    {
        CAdFilter& filter = GetAdFilter();
        filter.ClearList(CAdFilter::kFilterList);
        filter.ClearList(CAdFilter::kExceptionList);
        for (const std::string& rule : m_filters)
            filter.AddRule(CAdFilter::kFilterList, rule.c_str());
        for (const std::string& rule : m_exceptions)
            filter.AddRule(CAdFilter::kExceptionList, rule.c_str());
        GetPopupAllowList().Clear();
    }
    CFilterListsRestore(const CFilterListsRestore&) = delete;
    CFilterListsRestore& operator=(const CFilterListsRestore&) = delete;

private:
    std::vector<std::string> m_filters;
    std::vector<std::string> m_exceptions;
};

std::string ListText(HWND list, int row, int column)
{
    char text[512] = {};
    LVITEMA item = {};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = sizeof(text);
    ::SendMessageA(list, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
    return text;
}

bool MenuChecked(HMENU menu, UINT command)
{
    return (::GetMenuState(menu, command, MF_BYCOMMAND) & MF_CHECKED) != 0;
}

}  // namespace

TEST(AdsAndPopupsScenario, AdsNeverReachTheServerAndTheAllowedSitesNextPopupOpensAsATab)
{
    CFilterListsRestore restore;
    CScenarioWorld world;
    const std::string offer = world.ServePage({"/offer.html", "Special Offer", "", {}, ""});
    const std::string portal = world.ServePage(
        {"/portal.html", "Daily Portal",
         "<html><head><title>Daily Portal</title></head><body><img src=\"/img/logo.gif\">"
         "<img src=\"/ads/banner.gif\"><script>window.open('/offer.html')</script></body></html>",
         {offer}, ""});
    std::string logo = "GIF89a";
    for (int i = 0; i < 200; ++i)
        logo += static_cast<char>('a' + i % 26);
    world.ServeFile("/img/logo.gif", "image/gif", logo);
    world.ServeFile("/ads/banner.gif", "image/gif", logo + "banner");
    // Favorites the user has (for the picture of the main window at the end).
    world.AddFavoriteFile("Daily Portal", portal);
    world.AddFavoriteFile("Special Offer", offer);
    world.AddFavoriteFile("Links\\Daily Portal", portal);
    world.AddFavoriteFile("Links\\Special Offer", offer);
    // The user's rule, as the ad filter's options add it.
    GetAdFilter().AddRule(CAdFilter::kFilterList, "*/ads/*");
    ASSERT_TRUE(world.Start());
    CSettings& settings = *GetSettings();

    // ---- The popup blocker is on in a new profile; the user turns the ad filter on in Tools.
    HMENU tools = world.OpenMenuBarMenu("Tools");
    ASSERT_NE(tools, nullptr);
    EXPECT_TRUE(MenuChecked(tools, ID_FRAME_ENABLE_POPUP_BLOCKER));
    EXPECT_FALSE(MenuChecked(tools, ID_FRAME_ENABLE_AD_FILTER));
    world.Command(ID_FRAME_ENABLE_AD_FILTER);
    tools = world.OpenMenuBarMenu("Tools");
    EXPECT_TRUE(MenuChecked(tools, ID_FRAME_ENABLE_AD_FILTER));
    EXPECT_NE(settings.BlockerFlags & BlockerFlag::AdFilter, 0u);

    // ---- The page opens; the popup it opens without a click is blocked, announced, counted and
    // logged, and leaves no tab behind.
    const size_t tabsBefore = world.Tabs().size();
    world.TypeAddress(portal);
    EXPECT_EQ(world.PaneText(0), kPopupNoticeText);
    EXPECT_TRUE(world.PumpUntil([&] {
        world.Load();
        return world.Tabs().size() == tabsBefore;
    }));
    EXPECT_EQ(world.TabText(world.ActiveTab()), "Daily Portal");
    EXPECT_EQ(world.AddressText(), portal);
    EXPECT_EQ(settings.BlockedPopup, 1u);
    ASSERT_EQ(settings.PopupLog.GetCount(), 1);
    EXPECT_STREQ(settings.PopupLog.GetAt(0).text2.c_str(), portal.c_str());
    EXPECT_STREQ(settings.PopupLog.GetAt(0).text3.c_str(), offer.c_str());

    // ---- The page's pictures, fetched as the engine fetches them: the picture comes from the
    // server, the ad is answered by the filter and never reaches the server.
    kivo_test::CAsyncUrlFetch picture = PictureFetch(world);
    ASSERT_EQ(FetchAsTheEngine(world, picture, world.Url("/img/logo.gif")), S_OK);
    EXPECT_TRUE(picture.m_body == logo) << picture.m_body.size() << " bytes";
    EXPECT_EQ(world.Server().RequestCount("/img/logo.gif"), 1);
    kivo_test::CAsyncUrlFetch ad = PictureFetch(world);
    ASSERT_EQ(FetchAsTheEngine(world, ad, world.Url("/ads/banner.gif")), S_OK);
    EXPECT_EQ(ad.m_body, std::string(reinterpret_cast<const char*>(kBlockedImage), sizeof(kBlockedImage)));
    EXPECT_EQ(world.Server().RequestCount("/ads/banner.gif"), 0);
    // Counted and logged with the rule that matched.
    EXPECT_TRUE(world.PumpUntil([&] { return settings.AdLog.GetCount() == 1; }));
    EXPECT_EQ(settings.BlockedContent, 1u);
    ASSERT_EQ(settings.AdLog.GetCount(), 1);
    EXPECT_STREQ(settings.AdLog.GetAt(0).text1.c_str(), "*/ads/*");
    EXPECT_STREQ(settings.AdLog.GetAt(0).text2.c_str(), world.Url("/ads/banner.gif").c_str());

    // ---- The user opens the log (Tools > View Logs): the blocked popup is its row; the user
    // adds the opener's site to the popup allowed sites from the row's menu.
    world.Command(ID_FRAME_VIEW_LOGS);
    CBlockedHistoryWindow* log = GetBlockedHistoryWindow();
    ASSERT_NE(log, nullptr);
    EXPECT_TRUE(::IsWindowVisible(log->m_hWnd));
    EXPECT_EQ(log->GetSelectedTab(), 0);
    tools = world.OpenMenuBarMenu("Tools");
    EXPECT_TRUE(MenuChecked(tools, ID_FRAME_VIEW_LOGS));
    const HWND popups = log->GetList(true);
    ASSERT_EQ(::SendMessageA(popups, LVM_GETITEMCOUNT, 0, 0), 1);
    const int row = 0;
    bool rowShowsPortal = false;
    for (int column = 0; column < 4; ++column)
        rowShowsPortal = rowShowsPortal || ListText(popups, row, column) == portal;
    EXPECT_TRUE(rowShowsPortal) << ListText(popups, row, 0) << " | " << ListText(popups, row, 1) << " | "
                                << ListText(popups, row, 2);
    std::string path;
    EXPECT_TRUE(kivo_test::WriteWindowScreenshot(log->m_hWnd, "scenario-blocked-log.bmp", path)) << path;
    LVITEMA select = {};
    select.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    select.state = LVIS_SELECTED | LVIS_FOCUSED;
    ::SendMessageA(popups, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&select));
    EXPECT_FALSE(GetPopupAllowList().IsSiteAllowed(portal.c_str()));
    ASSERT_TRUE(log->RunCommand(ID_POPUP_LOG_ALLOW));
    EXPECT_TRUE(GetPopupAllowList().IsSiteAllowed(portal.c_str()));
    // View Logs again closes the log.
    world.Command(ID_FRAME_VIEW_LOGS);
    EXPECT_EQ(GetBlockedHistoryWindow(), nullptr);
    tools = world.OpenMenuBarMenu("Tools");
    EXPECT_FALSE(MenuChecked(tools, ID_FRAME_VIEW_LOGS));

    // ---- The page again: its popup now opens as a tab of the frame, and nothing more is blocked.
    world.TypeAddress(portal);
    EXPECT_TRUE(world.PumpUntil([&] {
        world.Load();
        return world.Tabs().size() == tabsBefore + 1;
    }));
    const std::vector<std::string> texts = world.TabTexts();
    EXPECT_NE(std::find(texts.begin(), texts.end(), "Special Offer"), texts.end()) << testing::PrintToString(texts);
    EXPECT_EQ(settings.BlockedPopup, 1u);
    EXPECT_EQ(settings.PopupLog.GetCount(), 1);

    // ---- The picture for the README: the frame with its loaded tabs, the favorites panel and bars.
    world.Command(ID_FRAME_PANE_FIRST);
    world.PumpUntil([&] { return false; }, 300);
    for (HWND tab : world.Tabs())
        if (world.TabText(tab) == "Daily Portal")
            world.ActivateTab(tab);
    EXPECT_TRUE(world.Screenshot("scenario-main-window.bmp", path)) << path;
}
