// The tabs' site icons: the source the program installs answers a tab with the favicon cache's
// index and queues the tab's address; in the real main frame the tab strip draws from the cache's
// image list, and a browser tab whose site icon the cache holds shows that icon's index. The
// picture: screenshots\main-frame-site-icon-tabs.bmp.
#include "navigation/tests/LocalHttpServer.h"

#include "navigation/FavIconCache.h"
#include "navigation/FrameNavigation.h"
#include "navigation/TabSiteIconSource.h"

#include "browser/BrowserView.h"
#include "browser/TabSiteIcons.h"
#include "controls/TabItem.h"
#include "controls/TabbedMDI.h"
#include "controls/tests/Screenshot.h"
#include "core/app/Settings.h"
#include "frame/MainFrame.h"
#include "core/app/MainFrameMessages.h"
#include "frame/BrowserTab.h"

#include "tests/engine/FakeEngine.h"

#include <gtest/gtest.h>
#include <wininet.h>

#include <atomic>
#include <functional>
#include <memory>
#include <string>

namespace {

// Every site has the same icon, at once; files have none.
class CInstantSource final : public IFavIconSource {
public:
    HICON FetchSiteIcon(const std::string& url, HANDLE) override
    {
        lastUrl = url;
        ++fetches;
        return CopyIcon(LoadIcon(nullptr, IDI_APPLICATION));
    }
    int GetShellIconIndex(const std::string&) override { return -1; }
    HICON GetShellIcon(int) override { return nullptr; }
    std::string ReadShortcutUrl(const std::string&) override { return {}; }
    std::atomic<int> fetches{0};
    std::string lastUrl;  // written on the loader thread, read once it has fetched
};

bool PumpUntil(const std::function<bool()>& done, DWORD deadline = 30000)
{
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > deadline)
            return false;
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT)
                continue;
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
    return true;
}

void PumpPending()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT)
            continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

} // namespace

TEST(TabSiteIconSource, AnswersWithTheCachesIndexAndQueuesTheTabsAddress)
{
    auto owned = std::make_unique<CInstantSource>();
    CInstantSource* source = owned.get();
    CFavIconCache cache(std::move(owned), {});
    CTabSiteIconSource icons(&cache);

    // Unknown at first: the page icon, which a tab shows as none.
    EXPECT_EQ(icons.GetIconIndex("http://site.example/page.html"), kUnknownSiteIcon);
    ASSERT_TRUE(PumpUntil([&] { return cache.GetIconIndex("http://site.example/") != kDefaultPageIcon; }));
    const int site = cache.GetIconIndex("http://site.example/");
    EXPECT_GE(site, kFavIconBaseImages);
    EXPECT_EQ(icons.GetIconIndex("http://SITE.example/other.html"), site);
    EXPECT_EQ(icons.GetIconIndex(nullptr), kUnknownSiteIcon);
    EXPECT_EQ(icons.GetIconIndex(""), kUnknownSiteIcon);

    // A tab's new address is fetched before any tab asks for its icon.
    icons.QueueRequest("http://queued.example/index.html");
    ASSERT_TRUE(PumpUntil([&] { return source->fetches == 2; }));
    EXPECT_EQ(source->lastUrl, "http://queued.example/favicon.ico");
    icons.QueueRequest(nullptr);
    icons.QueueRequest("");
}

TEST(TabSiteIconSource, TheProgramsTabsAskTheFavIconCache)
{
    ITabSiteIcons* previous = SetTabSiteIcons(nullptr);
    InstallFrameNavigation();
    EXPECT_NE(dynamic_cast<CTabSiteIconSource*>(&GetTabSiteIcons()), nullptr);
    SetTabSiteIcons(previous);
}

// The real frame with the navigation aids and browser tabs over the engine double; the site's
// icon comes from a local server into the program's cache.
TEST(TabSiteIconSource, TheTabStripDrawsTheCachesIconsAndATabShowsItsSitesIcon)
{
    nav_test::CLocalHttpServer server("/favicon.ico", nav_test::MakeIconFile(RGB(30, 120, 200)));
    ASSERT_NE(server.Port(), 0);
    DeleteUrlCacheEntryA((server.Root() + "favicon.ico").c_str());
    CFavIconCache* cache = GetFavIconCache();
    ASSERT_NE(cache, nullptr);
    const std::string page = server.Root() + "index.html";
    ASSERT_TRUE(PumpUntil([&] { return cache->GetIconIndex(page) != kDefaultPageIcon; }));
    const int siteIcon = cache->GetIconIndex(page);
    ASSERT_GE(siteIcon, kFavIconBaseImages);

    CFakeEngine engine;
    ASSERT_TRUE(engine.IsRegistered());
    const std::wstring widePage(page.begin(), page.end());
    engine.AddPage(widePage, {L"Site with an icon", L"Done", 0, {}});
    CSettings* settings = GetSettings();
    ASSERT_NE(settings, nullptr);
    settings->RunCount.value = 5;
    settings->PreviousRunState = 1;
    CFrameNavigation navigation;
    IFrameSubsystems* previousSubsystems = SetFrameSubsystems(&navigation);
    CTabSiteIconSource icons;
    ITabSiteIcons* previousIcons = SetTabSiteIcons(&icons);
    IBrowserTabFactory* previousFactory = SetBrowserTabFactory(nullptr);
    InstallBrowserTabFactory();
    HWND window = CreateMainFrame(RECT{0, 0, 800, 560});
    ASSERT_TRUE(window);
    CMainFrame* frame = GetMainFrame();
    ASSERT_NE(frame, nullptr);
    ShowWindow(window, SW_SHOWNORMAL);
    PumpPending();
    engine.PumpUntilIdle();

    auto* owner = static_cast<CMdiTabOwner*>(frame->GetTabOwner());
    ASSERT_NE(owner, nullptr);
    EXPECT_EQ(owner->GetTabImageList(), cache->GetImageList());

    const HWND tab = reinterpret_cast<HWND>(
        SendMessageA(window, kOpenUrlMessage, reinterpret_cast<WPARAM>(page.c_str()), kOpenNewTab));
    ASSERT_TRUE(tab);
    const auto stripImage = [&] {
        const int index = owner->FindTab(tab);
        const CTabItem* item = index >= 0 ? owner->GetItem(index) : nullptr;
        return item ? item->GetImageIndex() : -100;
    };
    EXPECT_TRUE(PumpUntil([&] {
        engine.PumpUntilIdle();
        return stripImage() == siteIcon;
    })) << "the tab's image is " << stripImage();

    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
    PumpPending();
    RECT shown = {};
    GetWindowRect(window, &shown);
    std::string path;
    EXPECT_TRUE(kivo_test::WriteScreenRect(shown, "main-frame-site-icon-tabs.bmp", path)) << path;

    DestroyWindow(window);
    PumpPending();
    SetBrowserTabFactory(previousFactory);
    SetTabSiteIcons(previousIcons);
    SetFrameSubsystems(previousSubsystems);
}
