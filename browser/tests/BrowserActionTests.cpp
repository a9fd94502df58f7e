// The actions that gestures and hot keys run on a tab, and the page's middle click, through the
// production tab and the engine double's small document (links by point and by text, selection).
#include "browser/BrowserActions.h"
#include "browser/BrowserView.h"
#include "browser/tests/BrowserTestHost.h"
#include "core/app/Settings.h"

#include "tests/engine/FakeEngine.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

class CRecordingActionServices final : public IBrowserActionServices {
public:
    CRecordingActionServices() : m_previous(SetBrowserActionServices(this)) {}
    ~CRecordingActionServices() override { SetBrowserActionServices(m_previous); }
    CRecordingActionServices(const CRecordingActionServices&) = delete;
    CRecordingActionServices& operator=(const CRecordingActionServices&) = delete;
    DWORD UserActionHotKey(int userAction) const override { return hotKeys[userAction]; }
    void PlayKey(BYTE virtualKey, bool down) override { played.emplace_back(virtualKey, down); }
    void ShowWindowListPopup(HWND window) override { popupFor = window; }
    DWORD hotKeys[10] = {};
    std::vector<std::pair<BYTE, bool>> played;
    HWND popupFor = nullptr;

private:
    IBrowserActionServices* m_previous;  // not owned
};

std::vector<MSG> g_keys;
LRESULT CALLBACK KeyRecorder(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_KEYDOWN || message == WM_KEYUP)
        g_keys.push_back({window, message, wParam, lParam, 0, {}});
    return ::DefWindowProcA(window, message, wParam, lParam);
}

constexpr wchar_t kFirst[] = L"http://www.example.com/list/2.html";
constexpr wchar_t kLinked[] = L"http://www.example.com/list/1.html";

class BrowserActions : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_engine.IsRegistered());
        InstallBrowserTabFactory();
        FakePage page{L"Page two", L"", 0, {}, {}, L""};
        page.links = {{{10, 10, 110, 30}, L"http://www.example.com/list/1.html", L"previous page"},
                      {{10, 40, 110, 60}, L"http://www.example.com/list/3.html", L"Next page"}};
        m_engine.AddPage(kFirst, page);
        FakePage plain{L"Plain", L"", 0, {}, {}, L"http://selected.example/"};
        m_engine.AddPage(L"http://www.example.com/plain.html", plain);
        m_savedSysFlags = GetSettings()->SysFlags;
    }
    void TearDown() override { GetSettings()->SysFlags = m_savedSysFlags; }

    CBrowserView* Open(const char* url)
    {
        IBrowserTab* tab = GetBrowserTabFactory()->CreateBrowserTab(m_host.GetMdiClientWindow(), nullptr, url, 0x70);
        m_engine.PumpUntilIdle();
        PumpPendingMessages();
        return tab ? CBrowserView::FromWindow(tab->GetTabWindow()) : nullptr;
    }
    CFakeBrowser* EngineOf(CBrowserView* view) { return m_engine.FindBrowser(view->GetWebBrowser()); }

    DWORD m_savedSysFlags = 0;
    CFakeEngine m_engine;
    CTestBrowserHost m_host;
    CRecordingActionServices m_services;
};

TEST_F(BrowserActions, HistoryActionsFallBackToThePagesOwnLinks)
{
    CBrowserView* view = Open("http://www.example.com/list/2.html");
    ASSERT_NE(view, nullptr);
    CFakeBrowser* engine = EngineOf(view);
    // No history yet: "Previous" and "Next" follow the links whose text begins so.
    EXPECT_TRUE(RunBrowserAction(*view, 0, view->GetTabWindow(), {0, 0}));
    m_engine.PumpUntilIdle();
    EXPECT_EQ(engine->LocationUrl(), kLinked);
    // Now there is history: back goes back.
    EXPECT_TRUE(RunBrowserAction(*view, 0, view->GetTabWindow(), {0, 0}));
    m_engine.PumpUntilIdle();
    EXPECT_EQ(engine->LocationUrl(), kFirst);
    EXPECT_TRUE(RunBrowserAction(*view, 1, view->GetTabWindow(), {0, 0}));
    m_engine.PumpUntilIdle();
    EXPECT_EQ(engine->LocationUrl(), kLinked);
    // A page without such links: nothing happens at the end of the history.
    CBrowserView* plain = Open("http://www.example.com/plain.html");
    const size_t before = EngineOf(plain)->navigations.size();
    RunBrowserAction(*plain, 0, plain->GetTabWindow(), {0, 0});
    RunBrowserAction(*plain, 1, plain->GetTabWindow(), {0, 0});
    m_engine.PumpUntilIdle();
    EXPECT_EQ(EngineOf(plain)->navigations.size(), before);
}

TEST_F(BrowserActions, EachActionActsOnItsTab)
{
    CBrowserView* first = Open("http://www.example.com/list/2.html");
    CBrowserView* second = Open("http://www.example.com/plain.html");
    ASSERT_TRUE(first && second);
    const HWND firstTab = first->GetTabWindow();

    // Top and bottom: the keys go to the window the gesture was made in.
    WNDCLASSA recorder = {};
    recorder.lpfnWndProc = KeyRecorder;
    recorder.hInstance = ::GetModuleHandleA(nullptr);
    recorder.lpszClassName = "KivoTestKeyRecorder";
    ::RegisterClassA(&recorder);
    HWND page = ::CreateWindowExA(0, "KivoTestKeyRecorder", "", WS_CHILD, 0, 0, 10, 10, firstTab, nullptr,
                                  ::GetModuleHandleA(nullptr), nullptr);
    g_keys.clear();
    RunBrowserAction(*first, 2, page, {0, 0});
    RunBrowserAction(*first, 3, page, {0, 0});
    ASSERT_EQ(g_keys.size(), 4u);
    EXPECT_EQ(g_keys[0].message, static_cast<UINT>(WM_KEYDOWN));
    EXPECT_EQ(g_keys[0].wParam, static_cast<WPARAM>(VK_HOME));
    EXPECT_EQ(g_keys[0].lParam, 0x01470001);
    EXPECT_EQ(g_keys[1].message, static_cast<UINT>(WM_KEYUP));
    EXPECT_EQ(static_cast<DWORD>(g_keys[1].lParam), 0xC1470001u);
    EXPECT_EQ(g_keys[2].wParam, static_cast<WPARAM>(VK_END));
    ::DestroyWindow(page);

    RunBrowserAction(*first, 6, firstTab, {0, 0});
    RunBrowserAction(*first, 7, firstTab, {0, 0});
    EXPECT_EQ(EngineOf(first)->refreshCount, 1);
    EXPECT_EQ(EngineOf(first)->refresh2Count, 1);
    EXPECT_EQ(EngineOf(second)->refreshCount + EngineOf(second)->refresh2Count, 0);

    m_host.ClearFrameRecord();
    RunBrowserAction(*first, 8, firstTab, {0, 0});  // duplicate
    RunBrowserAction(*first, 5, firstTab, {20, 50});  // the link under the point
    RunBrowserAction(*first, 5, firstTab, {300, 300});  // no link: a blank new tab
    const auto opened = m_host.OpenedUrls();
    ASSERT_EQ(opened.size(), 3u);
    EXPECT_EQ(opened[0], std::make_pair(std::string("http://www.example.com/list/2.html"), LPARAM(1)));
    EXPECT_EQ(opened[1], std::make_pair(std::string("http://www.example.com/list/3.html"), LPARAM(1)));
    EXPECT_EQ(opened[2], std::make_pair(std::string(), LPARAM(1)));

    RunBrowserAction(*first, 9, firstTab, {0, 0});
    EXPECT_EQ(m_services.popupFor, m_host.GetFrameWindow());
    RunBrowserAction(*first, 12, firstTab, {0, 0});
    PumpPendingMessages();
    const std::vector<UINT> commands = m_host.FrameCommands();
    EXPECT_NE(std::find(commands.begin(), commands.end(), 33032u), commands.end());

    // Next and previous window go round the tabs.
    ASSERT_EQ(m_host.Active(), second->GetTabWindow());
    RunBrowserAction(*second, 10, second->GetTabWindow(), {0, 0});
    EXPECT_EQ(m_host.Active(), firstTab);
    RunBrowserAction(*first, 11, firstTab, {0, 0});
    EXPECT_EQ(m_host.Active(), second->GetTabWindow());

    EXPECT_FALSE(RunBrowserAction(*first, kBrowserActionCount, firstTab, {0, 0}));
    EXPECT_FALSE(RunBrowserAction(*first, -1, firstTab, {0, 0}));
    RunBrowserAction(*first, 4, firstTab, {0, 0});
    EXPECT_TRUE(PumpMessagesUntil([firstTab] { return !::IsWindow(firstTab); }));
    EXPECT_TRUE(::IsWindow(second->GetTabWindow()));
}

TEST_F(BrowserActions, UserActionsPlayTheirKeysInOrder)
{
    CBrowserView* view = Open("http://www.example.com/plain.html");
    ASSERT_NE(view, nullptr);
    m_services.hotKeys[0] = 0;
    m_services.hotKeys[3] = ((HotKeyModifier::Ctrl | HotKeyModifier::Shift) << 16) | 'K';
    m_services.hotKeys[9] = (HotKeyModifier::Alt << 16) | VK_F4;
    RunBrowserAction(*view, kFirstUserAction + 0, view->GetTabWindow(), {0, 0});
    EXPECT_TRUE(m_services.played.empty());
    RunBrowserAction(*view, kFirstUserAction + 3, view->GetTabWindow(), {0, 0});
    using Key = std::pair<BYTE, bool>;
    EXPECT_EQ(m_services.played, (std::vector<Key>{{VK_CONTROL, true}, {VK_SHIFT, true}, {'K', true}, {'K', false},
                                                   {VK_SHIFT, false}, {VK_CONTROL, false}}));
    m_services.played.clear();
    RunBrowserAction(*view, kFirstUserAction + 9, view->GetTabWindow(), {0, 0});
    EXPECT_EQ(m_services.played,
              (std::vector<Key>{{VK_MENU, true}, {VK_F4, true}, {VK_F4, false}, {VK_MENU, false}}));
}

TEST_F(BrowserActions, MiddleClickOpensTheLinkInANewTab)
{
    CBrowserView* view = Open("http://www.example.com/list/2.html");
    CBrowserView* plain = Open("http://www.example.com/plain.html");
    ASSERT_TRUE(view && plain);
    struct Case {
        const char* name;
        DWORD sysFlags;
        CBrowserView* tab;
        POINT point;
        bool handled;
        const char* url;
        LPARAM flags;
    };
    const Case cases[] = {
        {"a link, in the background", 0, view, {50, 20}, true, "http://www.example.com/list/1.html", 3},
        {"a link, in front", 0x80000, view, {50, 50}, true, "http://www.example.com/list/3.html", 1},
        {"middle clicks kept for pages", 0x40000, view, {50, 20}, false, nullptr, 0},
        {"no link: the selected text", 0, plain, {50, 20}, true, "http://selected.example/", 3},
        {"no link and no selection", 0, view, {300, 300}, false, nullptr, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        GetSettings()->SysFlags = c.sysFlags;
        m_host.ClearFrameRecord();
        EXPECT_EQ(c.tab->OnPageMiddleButtonDown(c.tab->GetTabWindow(), c.point), c.handled);
        const auto opened = m_host.OpenedUrls();
        if (c.url) {
            ASSERT_EQ(opened.size(), 1u);
            EXPECT_EQ(opened[0].first, c.url);
            EXPECT_EQ(opened[0].second, c.flags);
        } else {
            EXPECT_TRUE(opened.empty());
        }
    }
}

} // namespace
