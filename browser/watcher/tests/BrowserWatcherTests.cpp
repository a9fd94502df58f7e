#include "browser/watcher/BrowserWatcher.h"

#include "frame/BrowserTab.h"
#include "frame/gestures/GestureActions.h"
#include "frame/gestures/GestureRecognizer.h"
#include "frame/gestures/GestureSettings.h"
#include "frame/gestures/TrailSettings.h"
#include "frame/gestures/TrailWindow.h"
#include "frame/gestures/tests/GestureTestWindows.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

using namespace gesture_test;

namespace {

// A tab as the watcher sees it: a window, and the gesture interfaces of a browser tab, which run
// the action that the program's gesture settings bind and record it.
class CFakeTab : public IBrowserTab, public IGestureHandler, public CBrowserActions, public CGestureListener {
public:
    CFakeTab(const char* className, const RECT& rect) : m_window(className, rect) {}

    CPageWindow& Window() { return m_window; }
    std::vector<std::string> actions;
    std::vector<std::string> clicks;

    HWND GetTabWindow() const override { return m_window; }
    TStdStr<char> GetUrl() const override { return "about:blank"; }
    void Navigate(const char*) override {}
    HRESULT Stop() override { return S_OK; }
    HRESULT GoHome() override { return S_OK; }
    void OnEditCopy() override {}
    void OnEditSelectAll() override {}
    void OnTextSize(UINT) override {}
    IWebBrowser2* GetWebBrowser() const override { return nullptr; }
    IGestureHandler* GetGestureHandler() override { return this; }
    CGestureListener* GetGestureListener() override { return this; }

    bool OnGesture(HWND window, int gestureId, const CGestureStroke& stroke) override
    {
        const CGestureAction* action = GetGestureSettings()->GetAction(gestureId);
        if (!action || stroke.empty())
            return false;
        action->Run(*this, window, stroke.front().x, stroke.front().y);
        return true;
    }

    void RunGoBack(HWND w, int x, int y) override { Record("back", w, x, y); }
    void RunGoForward(HWND w, int x, int y) override { Record("forward", w, x, y); }
    void RunGoToTop(HWND w, int x, int y) override { Record("top", w, x, y); }
    void RunGoToBottom(HWND w, int x, int y) override { Record("bottom", w, x, y); }
    void RunCloseTab(HWND w, int x, int y) override { Record("close", w, x, y); }
    void RunOpenNewForegroundWindow(HWND w, int x, int y) override { Record("new", w, x, y); }
    void RunRefreshDocument(HWND w, int x, int y) override { Record("refresh", w, x, y); }
    void RunReloadDocument(HWND w, int x, int y) override { Record("reload", w, x, y); }
    void RunDuplicateWindow(HWND w, int x, int y) override { Record("duplicate", w, x, y); }
    void RunScrollThroughWindows(HWND w, int x, int y) override { Record("scroll", w, x, y); }
    void RunGoToNextWindow(HWND w, int x, int y) override { Record("next", w, x, y); }
    void RunGoToPreviousWindow(HWND w, int x, int y) override { Record("previous", w, x, y); }
    void RunCloseAllButActive(HWND w, int x, int y) override { Record("close others", w, x, y); }
    void RunUserAction(int i, HWND w, int x, int y) override { Record("user " + std::to_string(i), w, x, y); }

    bool OnMButtonDown(HWND, POINT, UINT) override
    {
        clicks.push_back("middle");
        return true;
    }
    bool OnRButtonDown(HWND, POINT, UINT) override
    {
        clicks.push_back("right");
        return true;
    }

    // The window each action was run in.
    std::vector<HWND> windows;

private:
    void Record(const std::string& what, HWND window, int x, int y)
    {
        actions.push_back(what + " " + std::to_string(x) + "," + std::to_string(y));
        windows.push_back(window);
    }

    CPageWindow m_window;
};

// The frame's map of open tabs.
class CFakeTabHost : public IBrowserTabHost {
public:
    std::map<HWND, IBrowserTab*> tabs;

    HWND GetFrameWindow() const override { return nullptr; }
    HWND GetMdiClientWindow() const override { return nullptr; }
    void AddTab(HWND tabWindow, IBrowserTab* tab) override { tabs[tabWindow] = tab; }
    void RemoveTab(HWND tabWindow) override { tabs.erase(tabWindow); }
    IBrowserTab* FindTab(HWND tabWindow) const override
    {
        const auto found = tabs.find(tabWindow);
        return found == tabs.end() ? nullptr : found->second;
    }
    void OnPopupBlocked(const char*, const char*, const char*) override {}
    void OnAdBlocked(const char*, const char*) override {}
    void SetAddressBarText(const char*) override {}
    void SetTabImage(HWND, int) override {}
    void SetStatusPane(int, HICON, const char*) override {}
};

// What the engine makes when it shows a page: the view window and, inside it, one server window
// per frame of the page.
struct CEnginePage {
    CEnginePage(HWND tab, int frames)
    {
        RECT client = {};
        GetClientRect(tab, &client);
        view = std::make_unique<CPageWindow>(kEngineViewWindowClass, client, tab);
        const int width = client.right / frames;
        for (int i = 0; i < frames; ++i)
            servers.push_back(std::make_unique<CPageWindow>(
                kEngineServerWindowClass, RECT{i * width, 0, (i + 1) * width, client.bottom}, *view));
    }
    std::unique_ptr<CPageWindow> view;
    std::vector<std::unique_ptr<CPageWindow>> servers;
};

}  // namespace

TEST(BrowserWatcher, EveryEngineWindowInATabGetsATrackerAndLosesItWithTheWindow)
{
    CFakeTabHost host;
    CBrowserWatcherManager watcher(&host);
    ASSERT_TRUE(watcher.IsWatching());
    CFakeTab tab("WatcherTab1", {100, 100, 500, 400});
    host.AddTab(tab.GetTabWindow(), &tab);

    // A page with two frames: the view and both server windows, all reporting to the tab.
    auto page = std::make_unique<CEnginePage>(tab.GetTabWindow(), 2);
    EXPECT_EQ(watcher.GetWatchedCount(), 3u);
    EXPECT_TRUE(watcher.IsWatched(*page->view));
    EXPECT_TRUE(watcher.IsWatched(*page->servers[0]));
    EXPECT_TRUE(watcher.IsWatched(*page->servers[1]));
    for (auto& server : page->servers)
        SendMessageA(*server, WM_MBUTTONDOWN, MK_MBUTTON, MAKELPARAM(5, 5));
    EXPECT_EQ(tab.clicks, (std::vector<std::string>{"middle", "middle"}));
    for (auto& server : page->servers)
        EXPECT_EQ(server->Record().Count("mdown"), 0u);  // the tab's listener took them

    // Navigating: the engine destroys its windows and makes new ones; the trackers follow.
    page.reset();
    EXPECT_EQ(watcher.GetWatchedCount(), 0u);
    page = std::make_unique<CEnginePage>(tab.GetTabWindow(), 1);
    EXPECT_EQ(watcher.GetWatchedCount(), 2u);
    page.reset();
    EXPECT_EQ(watcher.GetWatchedCount(), 0u);

    // Windows of other classes in the tab, and engine windows outside any tab, get nothing.
    CPageWindow other("WatcherNotEngine", {0, 0, 50, 50}, tab.GetTabWindow());
    CPageWindow pane("WatcherPane1", {600, 100, 800, 300});
    CPageWindow paneServer(kEngineServerWindowClass, {0, 0, 200, 200}, pane);
    EXPECT_EQ(watcher.GetWatchedCount(), 0u);
    host.RemoveTab(tab.GetTabWindow());
}

TEST(BrowserWatcher, ASecondWatcherOnTheThreadStaysIdle)
{
    CFakeTabHost host;
    CBrowserWatcherManager first(&host);
    CBrowserWatcherManager second(&host);
    EXPECT_TRUE(first.IsWatching());
    EXPECT_FALSE(second.IsWatching());
    CFakeTab tab("WatcherTab2", {100, 100, 300, 300});
    host.AddTab(tab.GetTabWindow(), &tab);
    CEnginePage page(tab.GetTabWindow(), 1);
    EXPECT_EQ(first.GetWatchedCount(), 2u);
    EXPECT_EQ(second.GetWatchedCount(), 0u);
    host.RemoveTab(tab.GetTabWindow());
}

// The whole path with a user's mouse: a right-button stroke over a page window of a tab runs the
// action its gesture is bound to on that tab, with the trail drawn while the stroke is made; a
// plain right click still reaches the page.
TEST(BrowserWatcher, AStrokeDrawnOverAPageRunsTheBoundActionOnItsTab)
{
    CGestureSettings* gestures = GetGestureSettings();
    CTrailSettings* trails = GetTrailSettings();
    ASSERT_NE(gestures, nullptr);
    ASSERT_NE(trails, nullptr);
    const DWORD savedFlags = gestures->GetFlags();
    gestures->SetFlags(kGestureFlagEnabled | kGestureFlagTrails);
    trails->SetLook(RGB(0, 0, 0x80), 128, 10, 64);

    CFakeTabHost host;
    CBrowserWatcherManager watcher(&host);
    CFakeTab tab("WatcherTab3", {100, 100, 500, 450});
    host.AddTab(tab.GetTabWindow(), &tab);
    CEnginePage page(tab.GetTabWindow(), 1);
    CPageWindow& server = *page.servers[0];
    ASSERT_TRUE(watcher.IsWatched(server));
    ASSERT_TRUE(MakeForeground(server));

    const POINT start = server.ToScreen({200, 40});
    MoveMouseTo(start);
    ASSERT_TRUE(PumpUntil([&] { return server.Record().Count("move") > 0; }));
    PressButton(MOUSEEVENTF_RIGHTDOWN);
    DragTo(start, server.ToScreen({200, 300}));
    CTrailWindow* trail = trails->GetTrailWindow();
    ASSERT_NE(trail, nullptr);
    EXPECT_TRUE(IsWindowVisible(*trail));
    EXPECT_GT(trail->GetPoints().size(), 10u);
    const RECT around = {start.x - 60, start.y - 30, start.x + 60, start.y + 290};
    kivo_test::CPixels pixels;
    EXPECT_TRUE(WriteTrailScreenshot(*trail, around, "gesture-trail.bmp", &pixels));
    EXPECT_EQ(pixels.At(60, 30), RGB(0, 0, 0x80));  // the start dot
    PressButton(MOUSEEVENTF_RIGHTUP);
    ASSERT_TRUE(PumpUntil([&] { return !tab.actions.empty(); }));
    // "Down" opens a new foreground window, at the stroke's first point in the page window.
    EXPECT_EQ(tab.actions, std::vector<std::string>{"new 200,40"});
    EXPECT_EQ(tab.windows, std::vector<HWND>{server});
    EXPECT_EQ(server.Record().Count("contextmenu"), 0u);
    // The trail faded out in steps of 64 and was cleared, and its alpha put back.
    EXPECT_EQ(trail->GetLastFade(), (std::vector<BYTE>{128, 64}));
    EXPECT_TRUE(trail->GetPoints().empty());
    BYTE alpha = 0;
    DWORD flags = 0;
    COLORREF key = 0;
    EXPECT_TRUE(GetLayeredWindowAttributes(*trail, &key, &alpha, &flags));
    EXPECT_EQ(alpha, 128);
    EXPECT_EQ(key, kTrailColorKey);

    PressButton(MOUSEEVENTF_RIGHTDOWN);
    PressButton(MOUSEEVENTF_RIGHTUP);
    ASSERT_TRUE(PumpUntil([&] { return server.Record().Count("contextmenu") > 0; }));
    EXPECT_EQ(tab.actions.size(), 1u);
    EXPECT_EQ(tab.clicks, (std::vector<std::string>{"right", "right"}));

    host.RemoveTab(tab.GetTabWindow());
    gestures->SetFlags(savedFlags);
}

namespace {

int g_createsSeenByEarlierHook = 0;

LRESULT CALLBACK EarlierHook(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HC_ACTION && reinterpret_cast<const CWPRETSTRUCT*>(lParam)->message == WM_CREATE)
        ++g_createsSeenByEarlierHook;
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

// The watcher's hook runs before the hooks installed earlier on the thread and hands every
// message on to them, the ones it acts on included.
TEST(BrowserWatcher, TheThreadsOtherHooksStillSeeEveryMessage)
{
    CWindowsHookHolder earlier;
    ASSERT_TRUE(earlier.Set(WH_CALLWNDPROCRET, EarlierHook, nullptr, GetCurrentThreadId()));
    CFakeTabHost host;
    CBrowserWatcherManager watcher(&host);
    CFakeTab tab("WatcherTab4", {100, 100, 300, 300});
    host.AddTab(tab.GetTabWindow(), &tab);
    g_createsSeenByEarlierHook = 0;
    CEnginePage page(tab.GetTabWindow(), 1);
    EXPECT_EQ(watcher.GetWatchedCount(), 2u);
    EXPECT_EQ(g_createsSeenByEarlierHook, 2);
    host.RemoveTab(tab.GetTabWindow());
}
