// The browser tab under Wine, through the production host and the engine double: tabs made by the
// factory in a host frame with a tabbed MDI client, the engine's events reaching the tab strip, the
// status panes and the per-tab store, the popup test, the download-control flags, the tab commands
// and context menu, script errors, and malformed event calls.
#include "browser/BrowserResources.h"
#include "browser/BrowserView.h"
#include "browser/TabSiteIcons.h"
#include "browser/PopupSiteRules.h"
#include "browser/ScriptErrors.h"
#include "browser/TabTextStore.h"
#include "browser/tests/BrowserTestHost.h"
#include "core/app/Settings.h"
#include "frame/HistoryMenu.h"
#include "frame/MainFrameData.h"
#include "browser/tests/GestureFlags.h"

#include "controls/tests/Screenshot.h"
#include "tests/engine/FakeEngine.h"

#include <exdispid.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>

namespace {

// The settings words the tests change, put back afterwards.
class CScopedSettingsWords {
public:
    CScopedSettingsWords()
        : m_sys(GetSettings()->SysFlags), m_blocker(GetSettings()->BlockerFlags), m_view(GetSettings()->ViewFlags),
          m_closing(GetSettings()->Closing)
    {
    }
    ~CScopedSettingsWords()
    {
        GetSettings()->SysFlags = m_sys;
        GetSettings()->BlockerFlags = m_blocker;
        GetSettings()->ViewFlags = m_view;
        GetSettings()->Closing = m_closing;
    }
    CScopedSettingsWords(const CScopedSettingsWords&) = delete;
    CScopedSettingsWords& operator=(const CScopedSettingsWords&) = delete;

private:
    DWORD m_sys, m_blocker, m_view;
    bool m_closing;
};

// Holds a key down in the thread's key state (what GetKeyState reads) for a scope.
class CScopedKeyDown {
public:
    explicit CScopedKeyDown(int key) : m_key(key)
    {
        ::GetKeyboardState(m_saved);
        BYTE state[256];
        std::copy(std::begin(m_saved), std::end(m_saved), state);
        state[key] |= 0x80;
        ::SetKeyboardState(state);
    }
    ~CScopedKeyDown() { ::SetKeyboardState(m_saved); }
    CScopedKeyDown(const CScopedKeyDown&) = delete;
    CScopedKeyDown& operator=(const CScopedKeyDown&) = delete;

private:
    int m_key;
    BYTE m_saved[256] = {};
};

class CTestSiteRules final : public IPopupSiteRules {
public:
    bool IsSiteAllowed(const char* url) const override { return allowedOpener == url; }
    bool IsException(const char* url) const override { return exception == url; }
    std::string allowedOpener, exception;
};

constexpr wchar_t kPage[] = L"http://www.example.com/";
constexpr wchar_t kSecond[] = L"http://www.example.com/second.html";
constexpr wchar_t kPopupPage[] = L"http://ads.example.net/popup.html";

class BrowserTab : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_engine.IsRegistered());
        ASSERT_NE(m_host.GetMdiClientWindow(), nullptr);
        InstallBrowserTabFactory();
        m_engine.AddPage(kPage, {L"Example Domain", L"Done", 4, {}});
        m_engine.AddPage(kSecond, {L"Second page of the example", L"", 0, {}});
        m_engine.AddPage(kPopupPage, {L"Popup", L"", 0, {}});
    }
    void TearDown() override
    {
        // The frame goes first, and with it every tab.
        GetMainFrameData().m_scriptErrors.clear();
    }

    CBrowserView* Open(const char* url, DWORD flags = 0x70)
    {
        IBrowserTab* tab = GetBrowserTabFactory()->CreateBrowserTab(m_host.GetMdiClientWindow(), nullptr, url, flags);
        m_engine.PumpUntilIdle();
        PumpPendingMessages();
        return tab ? CBrowserView::FromWindow(tab->GetTabWindow()) : nullptr;
    }
    CFakeBrowser* EngineOf(CBrowserView* view)
    {
        return view ? m_engine.FindBrowser(view->GetWebBrowser()) : nullptr;
    }
    bool WaitGone(HWND tab)
    {
        return PumpMessagesUntil([tab] { return !::IsWindow(tab); });
    }

    CScopedSettingsWords m_settings;
    CFakeEngine m_engine;
    CTestBrowserHost m_host;
};

TEST_F(BrowserTab, OpenedTabHostsTheEngineAndShowsItsPage)
{
    CBrowserView* view = Open("http://www.example.com/");
    ASSERT_NE(view, nullptr);
    CFakeBrowser* engine = EngineOf(view);
    ASSERT_NE(engine, nullptr);
    const HWND tab = view->GetTabWindow();

    // The host handshake: the site, the ambient flags and the host flags; the engine's window inside.
    EXPECT_TRUE(engine->HasSite());
    EXPECT_EQ(engine->ambientDownloadControl, 0x70);
    EXPECT_TRUE(engine->hostInfoAnswered);
    EXPECT_EQ(engine->hostFlags, kBrowserHostFlags);
    EXPECT_TRUE(engine->registeredAsBrowser);
    EXPECT_TRUE(engine->visible);
    EXPECT_TRUE(::IsChild(tab, engine->TopWindow()));
    EXPECT_EQ(m_host.tabs.count(tab), 1u);

    // The page's events: title, address, status text, tab image, lock pane, progress.
    EXPECT_EQ(engine->LocationUrl(), kPage);
    EXPECT_EQ(view->GetUrl(), "http://www.example.com/");
    EXPECT_EQ(view->GetTitle(), "Example Domain");
    EXPECT_EQ(m_host.TabText(tab), "Example Domain");
    EXPECT_EQ(m_host.TabToolTip(tab), "Example Domain");
    char caption[300] = {};
    ::GetWindowTextA(tab, caption, sizeof(caption));
    EXPECT_STREQ(caption, "Example Domain");
    EXPECT_STREQ(GetTabTextStore().GetText(tab), "Done");
    EXPECT_EQ(m_host.paneTexts[0], "Done");
    EXPECT_EQ(m_host.tabImages[tab], (std::vector<int>{2, -1}));
    EXPECT_EQ(m_host.paneTexts[21404], "SSL Protected (56 Bit)");
    EXPECT_NE(m_host.paneIcons[21404], nullptr);
    ASSERT_FALSE(m_host.progress.empty());
    EXPECT_NE(std::find(m_host.progress.begin(), m_host.progress.end(), "50/100"), m_host.progress.end());
    EXPECT_EQ(m_host.progress.back(), "hidden");
    EXPECT_EQ(GetMainFrameData().m_latestNavigationUrl, "http://www.example.com/");
    const std::vector<UINT> commands = m_host.FrameCommands();
    EXPECT_NE(std::find(commands.begin(), commands.end(), kTabStateChangedCommand), commands.end());

    // Back and Forward follow the engine's command states.
    bool enabled = true, checked = true;
    ASSERT_TRUE(view->QueryCommandState(ID_BROWSER_BACK_FIRST, enabled, checked));
    EXPECT_FALSE(enabled);
    view->Navigate("http://www.example.com/second.html");
    m_engine.PumpUntilIdle();
    EXPECT_EQ(m_host.TabText(tab), "Second page o...");
    EXPECT_EQ(m_host.TabToolTip(tab), "Second page of the example");
    view->QueryCommandState(ID_BROWSER_BACK_FIRST, enabled, checked);
    EXPECT_TRUE(enabled);
    // Level 0: no icon and an empty tooltip.
    EXPECT_EQ(m_host.paneTexts[21404], "");
    EXPECT_EQ(m_host.paneIcons[21404], nullptr);
    ::SendMessageA(tab, WM_COMMAND, MAKEWPARAM(ID_BROWSER_BACK_FIRST, 0), 0);
    m_engine.PumpUntilIdle();
    EXPECT_EQ(engine->LocationUrl(), kPage);
    view->QueryCommandState(ID_BROWSER_FORWARD_FIRST, enabled, checked);
    EXPECT_TRUE(enabled);
}

TEST_F(BrowserTab, TabWhoseEngineRefusesItsSinkIsNotMade)
{
    m_engine.refuseAdvise = true;
    IBrowserTab* tab = GetBrowserTabFactory()->CreateBrowserTab(m_host.GetMdiClientWindow(), nullptr,
                                                                "http://www.example.com/", 0x70);
    EXPECT_EQ(tab, nullptr);
    PumpPendingMessages();
    EXPECT_TRUE(m_host.tabs.empty());
    EXPECT_EQ(::GetWindow(m_host.GetMdiClientWindow(), GW_CHILD), nullptr);
    ASSERT_NE(m_engine.Newest(), nullptr);
    EXPECT_TRUE(m_engine.Newest()->closed);  // the engine that was made went with the window
}

TEST_F(BrowserTab, KeyboardAndMouseMessagesAreOfferedToTheEngine)
{
    CBrowserView* view = Open("http://www.example.com/");
    ASSERT_NE(view, nullptr);
    CFakeBrowser* engine = EngineOf(view);
    struct Case {
        UINT message;
        bool offered;
    };
    const Case cases[] = {{WM_KEYDOWN, true}, {WM_CHAR, true}, {WM_LBUTTONDOWN, true}, {WM_PAINT, false},
                          {WM_TIMER, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        const int before = engine->acceleratorsOffered;
        MSG message = {engine->TopWindow(), c.message, 0, 0, 0, {}};
        ::SendMessageA(view->GetTabWindow(), WM_FORWARDMSG, 0, reinterpret_cast<LPARAM>(&message));
        EXPECT_EQ(engine->acceleratorsOffered - before, c.offered ? 1 : 0);
    }
}

TEST_F(BrowserTab, TitlesAreCutForTheWindowTextTabTextAndTooltip)
{
    CBrowserView* view = Open("http://www.example.com/");
    ASSERT_NE(view, nullptr);
    const HWND tab = view->GetTabWindow();
    const std::wstring longTitle(300, L'T');
    EngineOf(view)->FireTitleChange(longTitle.c_str());
    const std::string cut255 = std::string(252, 'T') + "...";
    char caption[400] = {};
    ::GetWindowTextA(tab, caption, sizeof(caption));
    EXPECT_EQ(std::string(caption), cut255);
    EXPECT_EQ(m_host.TabToolTip(tab), cut255);
    EXPECT_EQ(m_host.TabText(tab), std::string(13, 'T') + "...");
    // The whole title is kept.
    EXPECT_EQ(view->GetTitle().size(), 300u);
}

// Wine's own engine has no HTML engine behind it and never names a page: a tab that shows only its
// address is still told apart from the others in the strip, the window list and the frame's title.
TEST_F(BrowserTab, NewTabIsKnownByItsAddressUntilItsPageGivesATitle)
{
    IBrowserTab* tab = GetBrowserTabFactory()->CreateBrowserTab(m_host.GetMdiClientWindow(), nullptr,
                                                                "http://www.example.com/second.html", 0x70);
    ASSERT_NE(tab, nullptr);
    const HWND window = tab->GetTabWindow();
    auto caption = [window] {
        char text[300] = {};
        ::GetWindowTextA(window, text, sizeof(text));
        return std::string(text);
    };
    // Before the page loads: the address, cut like a title.
    EXPECT_EQ(caption(), "http://www.example.com/second.html");
    EXPECT_EQ(m_host.TabToolTip(window), "http://www.example.com/second.html");
    EXPECT_EQ(m_host.TabText(window), "http://www.ex...");
    m_engine.PumpUntilIdle();
    PumpPendingMessages();
    EXPECT_EQ(caption(), "Second page of the example");
    EXPECT_EQ(m_host.TabText(window), "Second page o...");
    // Once named, a tab keeps its page's title while the next page loads.
    CBrowserView* view = CBrowserView::FromWindow(window);
    ASSERT_NE(view, nullptr);
    view->Navigate("http://www.example.com/");
    EXPECT_EQ(caption(), "Second page of the example");
    m_engine.PumpUntilIdle();
    EXPECT_EQ(caption(), "Example Domain");
}

// What the gesture tracker hands the tab: a bound gesture runs its action on this tab and says so in
// the tab's status text; with gestures off or nothing bound the tab leaves it alone.
TEST_F(BrowserTab, GestureRunsItsBoundActionOnTheTabAndSaysSo)
{
    CScopedGestureFlags gestureFlags;
    CBrowserView* view = Open("http://www.example.com/");
    ASSERT_NE(view, nullptr);
    view->Navigate("http://www.example.com/second.html");
    m_engine.PumpUntilIdle();
    CFakeBrowser* engine = EngineOf(view);
    ASSERT_NE(engine, nullptr);
    IGestureHandler* handler = static_cast<IBrowserTab*>(view)->GetGestureHandler();
    ASSERT_NE(handler, nullptr);
    const CGestureStroke stroke = {{40, 30}, {10, 30}};
    constexpr int kLeft = 5;        // bound to "Go to previous document in history" by default
    constexpr int kRightLeft = 6;   // bound to nothing by default
    struct Case {
        DWORD flags;
        int gesture;
        bool runs;
    };
    const Case cases[] = {{0, kLeft, false}, {kGesturesOn, kRightLeft, false}, {kGesturesOn, kLeft, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.flags << " " << c.gesture);
        gestureFlags.Set(c.flags);
        GetTabTextStore().SetText(view->GetTabWindow(), "before");
        EXPECT_EQ(handler->OnGesture(engine->TopWindow(), c.gesture, stroke), c.runs);
        // The notice stands until the page that the action loads gives its own status text.
        EXPECT_STREQ(GetTabTextStore().GetText(view->GetTabWindow()),
                     c.runs ? "Mouse Gestures [Left] -> Go to previous document in history" : "before");
        m_engine.PumpUntilIdle();
        EXPECT_EQ(engine->LocationUrl(), c.runs ? kPage : kSecond);
    }
}

TEST_F(BrowserTab, EachTabKeepsItsOwnStatusText)
{
    CBrowserView* first = Open("http://www.example.com/");
    CBrowserView* second = Open("http://www.example.com/second.html");
    ASSERT_TRUE(first && second);
    ASSERT_EQ(m_host.Active(), second->GetTabWindow());
    EngineOf(second)->FireStatusText(L"Loading the second");
    EXPECT_EQ(m_host.paneTexts[0], "Loading the second");
    // A background tab's text is stored, not shown.
    EngineOf(first)->FireStatusText(L"Background text");
    EXPECT_EQ(m_host.paneTexts[0], "Loading the second");
    EXPECT_STREQ(GetTabTextStore().GetText(first->GetTabWindow()), "Background text");
    // Activating the first tab shows its own text again.
    ::SendMessageA(m_host.GetMdiClientWindow(), WM_MDIACTIVATE, reinterpret_cast<WPARAM>(first->GetTabWindow()), 0);
    EXPECT_EQ(m_host.paneTexts[0], "Background text");
    // A status text is cut to 126 characters.
    const std::wstring longText(200, L's');
    EngineOf(first)->FireStatusText(longText.c_str());
    EXPECT_EQ(m_host.paneTexts[0], std::string(126, 's'));
    // The held popup notice survives an empty text and gives way to the next real one.
    GetTabTextStore().HoldNotice();
    EngineOf(first)->FireStatusText(L"");
    EXPECT_EQ(m_host.paneTexts[0], std::string(126, 's'));
    EngineOf(first)->FireStatusText(L"Next");
    EXPECT_EQ(m_host.paneTexts[0], "Next");
    EXPECT_FALSE(GetTabTextStore().IsHoldingNotice());
}

// The popup test: a page-made window becomes a tab at once and is closed at its first
// navigation only when nothing speaks for it.
TEST_F(BrowserTab, PopupTestBlocksOnlyUnaskedPopups)
{
    struct Case {
        const char* name;
        bool ctrl, click, blockerOn, openerAllowed, targetException;
        bool blocked;
    };
    const Case cases[] = {
        {"no reason to let it through", false, false, true, false, false, true},
        {"Ctrl held", true, false, true, false, false, false},
        {"a click in the opener", false, true, true, false, false, false},
        {"popup blocker off", false, false, false, false, false, false},
        {"opener's site allowed", false, false, true, true, false, false},
        {"target on the exception list", false, false, true, false, true, false},
    };
    CTestSiteRules rules;
    CScopedPopupSiteRules scopedRules(rules);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        m_host.popups.clear();
        GetSettings()->BlockerFlags = c.blockerOn ? 0x5002 : 0x5000;
        rules.allowedOpener = c.openerAllowed ? "http://www.example.com/" : "";
        rules.exception = c.targetException ? "http://ads.example.net/popup.html" : "";
        CBrowserView* opener = Open("http://www.example.com/");
        ASSERT_NE(opener, nullptr);
        if (c.click)
            opener->NotifyPageMouseButton();
        CFakeBrowser* popupEngine = nullptr;
        {
            std::unique_ptr<CScopedKeyDown> ctrl(c.ctrl ? new CScopedKeyDown(VK_CONTROL) : nullptr);
            popupEngine = EngineOf(opener)->OpenPopup(kPopupPage);
        }
        // The window became a tab at once, whatever the test decides.
        ASSERT_NE(popupEngine, nullptr);
        const HWND popupTab = ::GetParent(popupEngine->SiteWindow());
        ASSERT_NE(CBrowserView::FromWindow(popupTab), nullptr);
        EXPECT_FALSE(popupEngine->visible);  // a page-made tab is not shown by its own creation
        m_engine.PumpUntilIdle();
        if (c.blocked) {
            EXPECT_TRUE(WaitGone(popupTab));
            ASSERT_EQ(m_host.popups.size(), 1u);
            EXPECT_EQ(m_host.popups[0].title, "Popup");
            EXPECT_EQ(m_host.popups[0].opener, "http://www.example.com/");
            EXPECT_EQ(m_host.popups[0].url, "http://ads.example.net/popup.html");
            EXPECT_NE(popupEngine->LocationUrl(), kPopupPage);
        } else {
            EXPECT_TRUE(::IsWindow(popupTab));
            EXPECT_TRUE(m_host.popups.empty());
            EXPECT_EQ(popupEngine->LocationUrl(), kPopupPage);
            // The popup used up the click, and the tab is not tested again.
            EXPECT_FALSE(opener->HasUserActivity());
            EXPECT_FALSE(CBrowserView::FromWindow(popupTab)->HasOpener());
            ::DestroyWindow(popupTab);
        }
        ::DestroyWindow(opener->GetTabWindow());
    }
}

TEST_F(BrowserTab, PopupOpenedFromItsLoadHandlerIsBlockedAndReported)
{
    m_engine.AddPage(L"http://www.example.com/opens.html", {L"Opens", L"", 0, {kPopupPage}});
    CBrowserView* opener = Open("http://www.example.com/opens.html");
    ASSERT_NE(opener, nullptr);
    m_engine.PumpUntilIdle();
    PumpMessagesUntil([this] { return m_host.tabs.size() == 1; });
    EXPECT_EQ(m_host.tabs.size(), 1u);
    ASSERT_EQ(m_host.popups.size(), 1u);
    EXPECT_EQ(m_host.popups[0].opener, "http://www.example.com/opens.html");
}

TEST_F(BrowserTab, OpenerThatClosedFirstIsNoLongerTested)
{
    CBrowserView* opener = Open("http://www.example.com/");
    ASSERT_NE(opener, nullptr);
    IDispatch* created = nullptr;
    VARIANT_BOOL cancel = VARIANT_FALSE;
    VARIANT arguments[2];
    ::VariantInit(&arguments[0]);
    ::VariantInit(&arguments[1]);
    arguments[1].vt = VT_BYREF | VT_DISPATCH;
    arguments[1].ppdispVal = &created;
    arguments[0].vt = VT_BYREF | VT_BOOL;
    arguments[0].pboolVal = &cancel;
    DISPPARAMS params = {arguments, nullptr, 2, 0};
    ASSERT_EQ(EngineOf(opener)->FireRaw(DISPID_NEWWINDOW2, DISPATCH_METHOD, &params), S_OK);
    ASSERT_NE(created, nullptr);
    CFakeBrowser* popup = m_engine.FindBrowser(created);
    created->Release();
    ASSERT_NE(popup, nullptr);
    const HWND popupTab = ::GetParent(popup->SiteWindow());
    ::DestroyWindow(opener->GetTabWindow());
    popup->NavigateTo(kPopupPage);
    m_engine.PumpUntilIdle();
    EXPECT_TRUE(::IsWindow(popupTab));
    EXPECT_TRUE(m_host.popups.empty());
}

TEST_F(BrowserTab, NewWindowWhileTheProgramClosesIsCancelled)
{
    CBrowserView* opener = Open("http://www.example.com/");
    ASSERT_NE(opener, nullptr);
    // A new window whose tab cannot be made is cancelled too.
    m_engine.refuseAdvise = true;
    EXPECT_EQ(EngineOf(opener)->OpenPopup(kPopupPage), nullptr);
    EXPECT_EQ(m_host.tabs.size(), 1u);
    m_engine.refuseAdvise = false;
    GetSettings()->Closing = true;
    const size_t before = m_host.tabs.size();
    EXPECT_EQ(EngineOf(opener)->OpenPopup(kPopupPage), nullptr);
    EXPECT_EQ(m_host.tabs.size(), before);
}

TEST_F(BrowserTab, DownloadControlFlagsArePerTabAndInheritedByPopups)
{
    CBrowserView* view = Open("http://www.example.com/", 0x70);
    ASSERT_NE(view, nullptr);
    CFakeBrowser* engine = EngineOf(view);
    const HWND tab = view->GetTabWindow();
    bool enabled = false, checked = false;
    ASSERT_TRUE(view->QueryCommandState(ID_DLCTL_IMAGES, enabled, checked));
    EXPECT_TRUE(checked);
    ASSERT_TRUE(view->QueryCommandState(ID_DLCTL_SCRIPTS, enabled, checked));
    EXPECT_TRUE(checked);  // scripts allowed while the "no scripts" bit is clear

    // Toggling re-reads the ambient and reloads; with Ctrl held it does not reload.
    ::SendMessageA(tab, WM_COMMAND, MAKEWPARAM(ID_DLCTL_IMAGES, 0), 0);
    EXPECT_EQ(view->Host().GetDownloadControlFlags(), 0x60u);
    EXPECT_EQ(engine->ambientDownloadControl, 0x60);
    EXPECT_EQ(engine->refresh2Count, 1);
    EXPECT_EQ(engine->lastRefreshLevel, REFRESH_COMPLETELY);
    view->QueryCommandState(ID_DLCTL_IMAGES, enabled, checked);
    EXPECT_FALSE(checked);
    {
        CScopedKeyDown ctrl(VK_CONTROL);
        ::SendMessageA(tab, WM_COMMAND, MAKEWPARAM(ID_DLCTL_IMAGES, 0), 0);
    }
    EXPECT_EQ(view->Host().GetDownloadControlFlags(), 0x70u);
    EXPECT_EQ(engine->ambientDownloadControl, 0x70);
    EXPECT_EQ(engine->refresh2Count, 1);

    // Another tab keeps its own flags; a page's new window takes its opener's current ones.
    ::SendMessageA(tab, WM_COMMAND, MAKEWPARAM(ID_DLCTL_SCRIPTS, 0), 0);
    CBrowserView* other = Open("http://www.example.com/second.html", 0x70);
    ASSERT_NE(other, nullptr);
    EXPECT_EQ(EngineOf(other)->ambientDownloadControl, 0x70);
    view->NotifyPageMouseButton();
    CFakeBrowser* popup = engine->OpenPopup(kPopupPage);
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(popup->ambientDownloadControl, 0xF0);
}

TEST_F(BrowserTab, AutoRefreshRunsOneTimerAtATime)
{
    CBrowserView* view = Open("http://www.example.com/");
    ASSERT_NE(view, nullptr);
    const HWND tab = view->GetTabWindow();
    ::SendMessageA(tab, WM_COMMAND, MAKEWPARAM(ID_AUTOREFRESH_2M, 0), 0);
    EXPECT_TRUE(view->Host().HasAutoRefreshTimer());
    EXPECT_EQ(view->Host().GetAutoRefreshMs(), 120000u);
    bool enabled = false, checked = false;
    view->QueryCommandState(ID_AUTOREFRESH_2M, enabled, checked);
    EXPECT_TRUE(checked);
    ::SendMessageA(tab, WM_COMMAND, MAKEWPARAM(ID_AUTOREFRESH_DISABLED, 0), 0);
    EXPECT_FALSE(view->Host().HasAutoRefreshTimer());
    // The timer's tick refreshes the page through the tab's Refresh command.
    ::SendMessageA(tab, WM_COMMAND, MAKEWPARAM(ID_AUTOREFRESH_15S, 0), 0);
    const int before = EngineOf(view)->refreshCount;
    ::SendMessageA(view->Host().m_hWnd, WM_TIMER, kAutoRefreshTimerId, 0);
    PumpMessagesUntil([&] { return EngineOf(view)->refreshCount > before; });
    EXPECT_EQ(EngineOf(view)->refreshCount, before + 1);
}

TEST_F(BrowserTab, UserDefinedIntervalNeedsASetting)
{
    CBrowserView* view = Open("http://www.example.com/");
    ASSERT_NE(view, nullptr);
    const int saved = GetSettings()->AutoRefresh;
    bool enabled = true, checked = true;
    GetSettings()->AutoRefresh = 0;
    view->QueryCommandState(ID_AUTOREFRESH_USER, enabled, checked);
    EXPECT_FALSE(enabled);
    ::SendMessageA(view->GetTabWindow(), WM_COMMAND, MAKEWPARAM(ID_AUTOREFRESH_USER, 0), 0);
    EXPECT_FALSE(view->Host().HasAutoRefreshTimer());
    GetSettings()->AutoRefresh = 45;
    view->QueryCommandState(ID_AUTOREFRESH_USER, enabled, checked);
    EXPECT_TRUE(enabled);
    EXPECT_EQ(CBrowserHostWnd::UserDefinedItemText(45), "&User Defined (45S)");
    ::SendMessageA(view->GetTabWindow(), WM_COMMAND, MAKEWPARAM(ID_AUTOREFRESH_USER, 0), 0);
    EXPECT_EQ(view->Host().GetAutoRefreshMs(), 45000u);
    view->QueryCommandState(ID_AUTOREFRESH_USER, enabled, checked);
    EXPECT_TRUE(checked);
    GetSettings()->AutoRefresh = saved;
}

TEST_F(BrowserTab, HtmlPageMenuPostsItsChoiceToTheTab)
{
    CBrowserView* view = Open("http://www.example.com/");
    ASSERT_NE(view, nullptr);
    CTestMenuTracker tracker;
    tracker.answer = ID_BROWSER_REFRESH;
    ::SendMessageA(view->Host().m_hWnd, GetTabbedMdiMessages().showTabContextMenu, 0, MAKELPARAM(50, 50));
    EXPECT_EQ(tracker.tracked, 1);
    EXPECT_EQ(tracker.itemIds, (std::vector<UINT>{ID_BROWSER_VIEW_SOURCE, ID_BROWSER_PAGE_ANALYZER}));
    PumpMessagesUntil([&] { return EngineOf(view)->refreshCount > 0; });
    EXPECT_EQ(EngineOf(view)->refreshCount, 1);
}

// A click in the opener, or its navigation to a script address, lets one popup through; the
// opener's next navigation event, or that popup, uses it up.
TEST_F(BrowserTab, OpenersActivityArmsOnePopup)
{
    CBrowserView* opener = Open("http://www.example.com/");
    ASSERT_NE(opener, nullptr);
    CFakeBrowser* engine = EngineOf(opener);
    GetSettings()->BlockerFlags = 0x5002;
    engine->NavigateTo(L"javascript:window.open('popup.html')");
    EXPECT_TRUE(opener->HasUserActivity());
    CFakeBrowser* first = engine->OpenPopup(kPopupPage);
    ASSERT_NE(first, nullptr);
    m_engine.PumpUntilIdle();
    EXPECT_EQ(first->LocationUrl(), kPopupPage);
    EXPECT_TRUE(m_host.popups.empty());
    // Used up by that popup.
    CFakeBrowser* second = engine->OpenPopup(kPopupPage);
    ASSERT_NE(second, nullptr);
    m_engine.PumpUntilIdle();
    EXPECT_EQ(m_host.popups.size(), 1u);
    // A click, then a navigation of the opener: disarmed again.
    opener->NotifyPageMouseButton();
    engine->NavigateTo(kSecond);
    m_engine.PumpUntilIdle();
    EXPECT_FALSE(opener->HasUserActivity());
    engine->OpenPopup(kPopupPage);
    m_engine.PumpUntilIdle();
    EXPECT_EQ(m_host.popups.size(), 2u);
}

TEST(AutoRefreshInterval, UserDefinedSecondsStayWithinTheTimerRange)
{
    struct Case {
        DWORD flags;
        long long seconds;
        UINT expected;
    };
    const Case cases[] = {
        {0, 45, 0},         {0x1, 45, 15000},        {0x8 | 0x20, 45, 120000},
        {0x20, 45, 45000},  {0x20, 0, 0},            {0x20, -5, 0},
        {0x20, 3000000, USER_TIMER_MAXIMUM / 1000 * 1000}, {0x40, 45, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "flags " << c.flags << " seconds " << c.seconds);
        EXPECT_EQ(AutoRefreshInterval(c.flags, c.seconds), c.expected);
    }
}

TEST_F(BrowserTab, TabCommandsActOnTheirOwnTab)
{
    CBrowserView* first = Open("http://www.example.com/");
    CBrowserView* second = Open("http://www.example.com/second.html");
    ASSERT_TRUE(first && second);
    CFakeBrowser* firstEngine = EngineOf(first);
    CFakeBrowser* secondEngine = EngineOf(second);

    ::SendMessageA(first->GetTabWindow(), WM_COMMAND, MAKEWPARAM(ID_BROWSER_REFRESH, 0), 0);
    EXPECT_EQ(firstEngine->refreshCount, 1);
    EXPECT_EQ(secondEngine->refreshCount, 0);
    {
        CScopedKeyDown ctrl(VK_CONTROL);
        ::SendMessageA(first->GetTabWindow(), WM_COMMAND, MAKEWPARAM(ID_BROWSER_REFRESH, 0), 0);
    }
    EXPECT_EQ(firstEngine->refresh2Count, 1);
    EXPECT_EQ(firstEngine->lastRefreshLevel, REFRESH_COMPLETELY);

    struct Passed {
        UINT command;
        OLECMDID engineCommand;
    };
    const Passed passed[] = {{ID_BROWSER_COPY, OLECMDID_COPY},       {ID_BROWSER_SELECT_ALL, OLECMDID_SELECTALL},
                             {ID_BROWSER_PRINT, OLECMDID_PRINT},     {ID_BROWSER_SAVE_AS, OLECMDID_SAVEAS},
                             {ID_BROWSER_PASTE, OLECMDID_PASTE},     {38004, OLECMDID_ZOOM}};
    for (const Passed& p : passed) {
        SCOPED_TRACE(p.command);
        secondEngine->execs.clear();
        ::SendMessageA(second->GetTabWindow(), WM_COMMAND, MAKEWPARAM(p.command, 0), 0);
        ASSERT_EQ(secondEngine->execs.size(), 1u);
        EXPECT_EQ(secondEngine->execs[0].command, p.engineCommand);
    }
    EXPECT_EQ(secondEngine->zoom, 3);
    for (UINT size = kTextSizeFirstCommand; size <= kTextSizeLastCommand; ++size) {
        bool enabled = false, checked = false;
        ASSERT_TRUE(second->QueryCommandState(size, enabled, checked));
        EXPECT_EQ(checked, size == 38004);
    }
    EXPECT_TRUE(firstEngine->execs.empty());

    // Up one level from a page goes to its folder.
    ::SendMessageA(second->GetTabWindow(), WM_COMMAND, MAKEWPARAM(ID_BROWSER_UP_ONE_LEVEL, 0), 0);
    EXPECT_EQ(secondEngine->navigations.back(), L"http://www.example.com/");
    ::SendMessageA(second->GetTabWindow(), WM_COMMAND, MAKEWPARAM(ID_BROWSER_STOP, 0), 0);
    EXPECT_EQ(secondEngine->stopCount, 1);
    ::SendMessageA(second->GetTabWindow(), WM_COMMAND, MAKEWPARAM(ID_BROWSER_HOME, 0), 0);
    EXPECT_EQ(secondEngine->goHomeCount, 1);
    m_engine.PumpUntilIdle();

    // Close closes this tab only and tells the frame.
    const HWND firstTab = first->GetTabWindow();
    m_host.ClearFrameRecord();
    ::SendMessageA(firstTab, WM_COMMAND, MAKEWPARAM(ID_BROWSER_CLOSE, 0), 0);
    EXPECT_TRUE(WaitGone(firstTab));
    EXPECT_TRUE(::IsWindow(second->GetTabWindow()));
    EXPECT_EQ(m_host.tabs.count(firstTab), 0u);
    const std::vector<UINT> commands = m_host.FrameCommands();
    EXPECT_NE(std::find(commands.begin(), commands.end(), kTabStateChangedCommand), commands.end());
    EXPECT_NE(std::find(commands.begin(), commands.end(), kRebuildWindowListCommand), commands.end());
    EXPECT_EQ(m_host.CountFrameMessages(WM_USER + 2), 0);
    EXPECT_TRUE(firstEngine->closed);
}

TEST_F(BrowserTab, ClosingTheLastTabAsksForABlankOneUnlessTheProgramCloses)
{
    for (const bool programClosing : {false, true}) {
        SCOPED_TRACE(programClosing ? "program closing" : "program running");
        GetSettings()->Closing = programClosing;
        CBrowserView* view = Open("http://www.example.com/");
        ASSERT_NE(view, nullptr);
        const HWND tab = view->GetTabWindow();
        m_host.ClearFrameRecord();
        // The page's script closes its window: the tab closes through its engine's top window.
        EngineOf(view)->SimulateWindowClose();
        EXPECT_TRUE(WaitGone(tab));
        PumpPendingMessages();
        EXPECT_EQ(m_host.CountFrameMessages(WM_USER + 2), programClosing ? 0 : 1);
        const std::vector<UINT> commands = m_host.FrameCommands();
        EXPECT_NE(std::find(commands.begin(), commands.end(), kRebuildWindowListCommand), commands.end());
    }
}

TEST_F(BrowserTab, ContextMenuPutsCloseWhereTheViewFlagsSayAndRoutesTheChoice)
{
    CBrowserView* first = Open("http://www.example.com/");
    CBrowserView* second = Open("http://www.example.com/second.html");
    ASSERT_TRUE(first && second);
    CTestMenuTracker tracker;
    const UINT menuMessage = GetTabbedMdiMessages().showTabContextMenu;

    GetSettings()->ViewFlags &= ~0x100000u;
    tracker.answer = 0;
    ::SendMessageA(first->GetTabWindow(), menuMessage, 0, MAKELPARAM(100, 100));
    ASSERT_EQ(tracker.tracked, 1);
    ASSERT_GE(tracker.itemIds.size(), 2u);
    EXPECT_EQ(tracker.itemIds[0], static_cast<UINT>(SC_CLOSE));
    GetSettings()->ViewFlags |= 0x100000u;
    ::SendMessageA(first->GetTabWindow(), menuMessage, 0, MAKELPARAM(100, 100));
    EXPECT_EQ(tracker.itemIds.back(), static_cast<UINT>(SC_CLOSE));
    EXPECT_NE(tracker.itemIds[0], static_cast<UINT>(SC_CLOSE));

    // Frame commands go to the frame; the tab's own commands to the tab the menu was for.
    m_host.ClearFrameRecord();
    tracker.answer = ID_BROWSER_CLOSE_ALL_EXCEPT;
    ::SendMessageA(first->GetTabWindow(), menuMessage, 0, MAKELPARAM(100, 100));
    PumpPendingMessages();
    const std::vector<UINT> commands = m_host.FrameCommands();
    EXPECT_NE(std::find(commands.begin(), commands.end(), static_cast<UINT>(ID_BROWSER_CLOSE_ALL_EXCEPT)),
              commands.end());
    tracker.answer = ID_BROWSER_REFRESH;
    ::SendMessageA(first->GetTabWindow(), menuMessage, 0, MAKELPARAM(100, 100));
    PumpMessagesUntil([&] { return EngineOf(first)->refreshCount > 0; });
    EXPECT_EQ(EngineOf(first)->refreshCount, 1);
    EXPECT_EQ(EngineOf(second)->refreshCount, 0);
    // The tab strip's close without prompt closes the tab at once.
    CBrowserView* third = Open("http://www.example.com/");
    ASSERT_NE(third, nullptr);
    const HWND thirdTab = third->GetTabWindow();
    ::SendMessageA(thirdTab, GetTabbedMdiMessages().closeWithNoPrompt, 0, 0);
    EXPECT_TRUE(WaitGone(thirdTab));
    const HWND firstTab = first->GetTabWindow();
    tracker.answer = SC_CLOSE;
    ::SendMessageA(firstTab, menuMessage, 0, MAKELPARAM(100, 100));
    EXPECT_TRUE(WaitGone(firstTab));
    EXPECT_TRUE(::IsWindow(second->GetTabWindow()));
}

TEST_F(BrowserTab, ScriptErrorsAreCollectedOncePerErrorAndMarkTheStatus)
{
    CBrowserView* view = Open("http://www.example.com/");
    ASSERT_NE(view, nullptr);
    const HWND tab = view->GetTabWindow();
    CFakeBrowser* engine = EngineOf(view);
    for (int i = 0; i < 5; ++i) {
        const FakeScriptErrorAnswer answer = engine->RaiseScriptError(12, 5, 0x800a1391, L"'x' is undefined", kPage);
        EXPECT_EQ(answer.result, S_OK);
        EXPECT_TRUE(answer.answered);
        EXPECT_TRUE(answer.goOn);
    }
    engine->RaiseScriptError(40, 1, 0x800a01b6, L"Object doesn't support this property", kPage);
    const auto& errors = GetMainFrameData().m_scriptErrors[tab];
    ASSERT_EQ(errors.size(), 2u);
    EXPECT_EQ(errors[0].line, 12);
    EXPECT_EQ(errors[0].character, 5);
    EXPECT_EQ(errors[0].message, "'x' is undefined");
    EXPECT_EQ(errors[0].url, "http://www.example.com/");
    EXPECT_EQ(m_host.paneTexts[0], "Error on page.");
    EXPECT_EQ(m_host.paneIcons[0], CTabTextStore::ScriptErrorIcon());

    // The dialog in view mode lists them, newest first shown, with paging.
    CScriptErrorDlg dialog(errors, errors.size() - 1, false);
    ASSERT_NE(dialog.Create(m_host.GetFrameWindow()), nullptr);
    char text[512] = {};
    ::GetDlgItemTextA(dialog.m_hWnd, IDC_SCRIPT_ERROR_TEXT, text, sizeof(text));
    EXPECT_NE(std::string(text).find("Object doesn't support this property"), std::string::npos);
    ::GetDlgItemTextA(dialog.m_hWnd, IDC_SCRIPT_ERROR_COUNT, text, sizeof(text));
    EXPECT_STREQ(text, "Error 2 of 2");
    EXPECT_FALSE(::IsWindowEnabled(dialog.GetDlgItem(IDC_SCRIPT_ERROR_NEXT)));
    EXPECT_TRUE(::IsWindowEnabled(dialog.GetDlgItem(IDC_SCRIPT_ERROR_PREVIOUS)));
    // The dialog itself is not shown here: the controls' own visibility is what counts.
    const auto shown = [&](int id) { return (::GetWindowLongA(dialog.GetDlgItem(id), GWL_STYLE) & WS_VISIBLE) != 0; };
    EXPECT_FALSE(shown(IDYES));
    EXPECT_FALSE(shown(IDNO));
    EXPECT_FALSE(shown(IDC_SCRIPT_ERROR_QUESTION));
    EXPECT_TRUE(shown(IDCANCEL));
    EXPECT_TRUE(shown(IDC_SCRIPT_ERROR_VIEW_SOURCE));
    ::SendMessageA(dialog.m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_SCRIPT_ERROR_PREVIOUS, BN_CLICKED), 0);
    ::GetDlgItemTextA(dialog.m_hWnd, IDC_SCRIPT_ERROR_TEXT, text, sizeof(text));
    EXPECT_NE(std::string(text).find("'x' is undefined"), std::string::npos);
    EXPECT_NE(std::string(text).find("Line: 12"), std::string::npos);
    ::DestroyWindow(dialog.m_hWnd);

    // A new page starts a new list; a closed tab's entry goes with it.
    view->Navigate("http://www.example.com/second.html");
    m_engine.PumpUntilIdle();
    EXPECT_EQ(GetMainFrameData().m_scriptErrors.count(tab), 0u);
    engine->RaiseScriptError(1, 1, 1, L"again", kSecond);
    EXPECT_EQ(GetMainFrameData().m_scriptErrors.count(tab), 1u);
    ::DestroyWindow(tab);
    EXPECT_EQ(GetMainFrameData().m_scriptErrors.count(tab), 0u);
    EXPECT_EQ(GetTabTextStore().GetText(tab), nullptr);
}

// The question of the script errors dialog, answered as soon as the dialog shows.
UINT g_scriptErrorAnswer = IDYES;
int g_scriptErrorQuestions = 0;

void CALLBACK AnswerScriptErrorDialog(HWND, UINT, UINT_PTR, DWORD)
{
    HWND dialog = ::FindWindowA("#32770", "Script Error");
    DWORD process = 0;
    if (!dialog || (::GetWindowThreadProcessId(dialog, &process), process != ::GetCurrentProcessId()) ||
        ::GetPropA(dialog, "KivoTestAnswered"))
        return;
    ::SetPropA(dialog, "KivoTestAnswered", reinterpret_cast<HANDLE>(1));
    ++g_scriptErrorQuestions;
    ::PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(g_scriptErrorAnswer, BN_CLICKED), 0);
}

TEST_F(BrowserTab, ScriptErrorQuestionIsAskedOncePerErrorAndItsAnswerKept)
{
    CBrowserView* view = Open("http://www.example.com/");
    ASSERT_NE(view, nullptr);
    CFakeBrowser* engine = EngineOf(view);
    GetSettings()->SysFlags |= 0x100;  // remind of every error
    g_scriptErrorQuestions = 0;
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 50, &AnswerScriptErrorDialog);
    ASSERT_NE(timer, 0u);

    g_scriptErrorAnswer = IDNO;
    FakeScriptErrorAnswer answer = engine->RaiseScriptError(3, 4, 5, L"first error", kPage);
    EXPECT_EQ(g_scriptErrorQuestions, 1);
    EXPECT_FALSE(answer.goOn);
    g_scriptErrorAnswer = IDYES;
    answer = engine->RaiseScriptError(7, 8, 9, L"second error", kPage);
    EXPECT_EQ(g_scriptErrorQuestions, 2);
    EXPECT_TRUE(answer.goOn);
    // The first error again: no question, and its own answer, not the last one given.
    for (int i = 0; i < 3; ++i) {
        answer = engine->RaiseScriptError(3, 4, 5, L"first error", kPage);
        EXPECT_FALSE(answer.goOn);
    }
    EXPECT_EQ(g_scriptErrorQuestions, 2);
    ::KillTimer(nullptr, timer);
    EXPECT_EQ(GetMainFrameData().m_scriptErrors[view->GetTabWindow()].size(), 2u);
    // The reminder stays on while its box stays checked.
    EXPECT_NE(GetSettings()->SysFlags & 0x100, 0u);
}

TEST_F(BrowserTab, ScriptErrorRequestsThatAreNotErrorsAreRefused)
{
    CBrowserView* view = Open("http://www.example.com/");
    ASSERT_NE(view, nullptr);
    CComPtr<IOleCommandTarget> target;
    ASSERT_EQ(view->Host().QueryHost(&target.p), S_OK);
    VARIANT out;
    ::VariantInit(&out);
    EXPECT_EQ(target->Exec(nullptr, OLECMDID_SHOWSCRIPTERROR, 0, nullptr, &out), OLECMDERR_E_UNKNOWNGROUP);
    EXPECT_EQ(target->Exec(&kCommandGroupDocHost, OLECMDID_PRINT, 0, nullptr, &out), OLECMDERR_E_NOTSUPPORTED);
    // No document, or one without an event object: refused, nothing recorded.
    EXPECT_EQ(target->Exec(&kCommandGroupDocHost, OLECMDID_SHOWSCRIPTERROR, 0, nullptr, &out), E_INVALIDARG);
    CComPtr<CFakeDispatch> bare = CFakeDispatch::Make();
    VARIANT in;
    ::VariantInit(&in);
    in.vt = VT_UNKNOWN;
    in.punkVal = static_cast<IDispatch*>(bare.p);
    EXPECT_TRUE(FAILED(target->Exec(&kCommandGroupDocHost, OLECMDID_SHOWSCRIPTERROR, 0, &in, &out)));
    EXPECT_EQ(GetMainFrameData().m_scriptErrors.count(view->GetTabWindow()), 0u);
}

TEST_F(BrowserTab, MalformedEventCallsAreRefusedWithoutReachingTheTab)
{
    CBrowserView* view = Open("http://www.example.com/");
    ASSERT_NE(view, nullptr);
    CFakeBrowser* engine = EngineOf(view);
    const std::string title = view->GetTitle();
    CComVariant text(L"Injected title");
    CComVariant number(5L);
    VARIANT_BOOL cancel = VARIANT_FALSE;
    VARIANT nullCancel;
    ::VariantInit(&nullCancel);
    nullCancel.vt = VT_BYREF | VT_BOOL;
    nullCancel.pboolVal = nullptr;
    VARIANT goodCancel;
    ::VariantInit(&goodCancel);
    goodCancel.vt = VT_BYREF | VT_BOOL;
    goodCancel.pboolVal = &cancel;
    IDispatch* created = nullptr;
    VARIANT createdArg;
    ::VariantInit(&createdArg);
    createdArg.vt = VT_BYREF | VT_DISPATCH;
    createdArg.ppdispVal = &created;
    DISPID named = 0;

    struct Case {
        const char* name;
        DISPID id;
        WORD flags;
        std::vector<VARIANT> args;  // DISPPARAMS order (last argument first)
        bool namedArgument;
        bool nullArray;
        HRESULT expected;
    };
    const Case cases[] = {
        {"title with two arguments", DISPID_TITLECHANGE, DISPATCH_METHOD, {text, text}, false, false,
         DISP_E_BADPARAMCOUNT},
        {"title without arguments", DISPID_TITLECHANGE, DISPATCH_METHOD, {}, false, false, DISP_E_BADPARAMCOUNT},
        {"title as a number", DISPID_TITLECHANGE, DISPATCH_METHOD, {number}, false, false, DISP_E_TYPEMISMATCH},
        {"title as a named argument", DISPID_TITLECHANGE, DISPATCH_METHOD, {text}, true, false, DISP_E_NONAMEDARGS},
        {"an unknown event", 9999, DISPATCH_METHOD, {text}, false, false, DISP_E_MEMBERNOTFOUND},
        {"a count without its array", DISPID_TITLECHANGE, DISPATCH_METHOD, {text}, false, true, DISP_E_BADPARAMCOUNT},
        {"new window with a null cancel pointer", DISPID_NEWWINDOW2, DISPATCH_METHOD, {nullCancel, createdArg}, false,
         false, DISP_E_TYPEMISMATCH},
        {"new window with its arguments swapped", DISPID_NEWWINDOW2, DISPATCH_METHOD, {createdArg, goodCancel}, false,
         false, DISP_E_TYPEMISMATCH},
        {"progress as texts", DISPID_PROGRESSCHANGE, DISPATCH_METHOD, {text, text}, false, false, DISP_E_TYPEMISMATCH},
        {"before-navigate with too few arguments", DISPID_BEFORENAVIGATE2, DISPATCH_METHOD, {goodCancel}, false,
         false, DISP_E_BADPARAMCOUNT},
    };
    const size_t tabsBefore = m_host.tabs.size();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<VARIANT> args = c.args;
        DISPPARAMS params = {c.nullArray ? nullptr : args.data(), c.namedArgument ? &named : nullptr,
                             static_cast<UINT>(args.size()), c.namedArgument ? 1u : 0u};
        EXPECT_EQ(engine->FireRaw(c.id, c.flags, &params), c.expected);
    }
    EXPECT_EQ(engine->FireRaw(DISPID_TITLECHANGE, DISPATCH_METHOD, nullptr), DISP_E_BADPARAMCOUNT);
    EXPECT_EQ(view->GetTitle(), title);
    EXPECT_EQ(m_host.tabs.size(), tabsBefore);
    EXPECT_EQ(created, nullptr);

    // The sink's names: case-insensitive, an unknown one answered -1.
    IDispatch* sink = static_cast<TWebBrowserEventSink<CBrowserView>*>(view);
    LPOLESTR names[] = {const_cast<LPOLESTR>(L"_onTITLEchange"), const_cast<LPOLESTR>(L"NoSuchEvent")};
    DISPID ids[2] = {};
    EXPECT_EQ(sink->GetIDsOfNames(IID_NULL, names, 2, LOCALE_USER_DEFAULT, ids), DISP_E_UNKNOWNNAME);
    EXPECT_EQ(ids[0], DISPID_TITLECHANGE);
    EXPECT_EQ(ids[1], DISPID_UNKNOWN);
}

TEST_F(BrowserTab, ProgressPicksTheLoadingFrameAndHidesTheBarWhenDone)
{
    CBrowserView* view = Open("http://www.example.com/");
    ASSERT_NE(view, nullptr);
    CFakeBrowser* engine = EngineOf(view);
    struct Case {
        long progress, maximum;
        int frame;
        const char* bar;
    };
    const Case cases[] = {{50, 100, 2, "50/100"}, {-1, 100, -1, "hidden"}, {500, 100, 3, "100/100"},
                          {10, 100, 0, "10/100"}, {0, 0, -1, "hidden"},   {99, 100, 3, "99/100"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.progress << "/" << c.maximum);
        engine->FireProgress(c.progress, c.maximum);
        EXPECT_EQ(view->GetTabImage(), c.frame);
        EXPECT_EQ(m_host.progress.back(), c.bar);
    }
}

class CTestFavIcons final : public ITabSiteIcons {
public:
    CTestFavIcons() : m_previous(SetTabSiteIcons(this)) {}
    ~CTestFavIcons() override { SetTabSiteIcons(m_previous); }
    CTestFavIcons(const CTestFavIcons&) = delete;
    CTestFavIcons& operator=(const CTestFavIcons&) = delete;
    int GetIconIndex(const char* url) override { return icons.count(url) ? icons[url] : kUnknownSiteIcon; }
    void QueueRequest(const char* url) override { queued.push_back(url); }
    std::map<std::string, int> icons;
    std::vector<std::string> queued;

private:
    ITabSiteIcons* m_previous;  // not owned
};

TEST_F(BrowserTab, LoadingFramesGiveWayToTheSiteIcon)
{
    CTestFavIcons favIcons;
    favIcons.icons["http://www.example.com/"] = 17;
    CBrowserView* view = Open("http://www.example.com/");
    ASSERT_NE(view, nullptr);
    const HWND tab = view->GetTabWindow();
    EXPECT_EQ(m_host.tabImages[tab], (std::vector<int>{2, 17}));
    EXPECT_NE(std::find(favIcons.queued.begin(), favIcons.queued.end(), "http://www.example.com/"),
              favIcons.queued.end());
    // While the site icon shows, progress reports leave it; an address without a known icon has none.
    EngineOf(view)->FireProgress(50, 100);
    EXPECT_EQ(view->GetTabImage(), 17);
    view->Navigate("http://www.example.com/second.html");
    m_engine.PumpUntilIdle();
    EXPECT_EQ(view->GetTabImage(), -1);
}

TEST_F(BrowserTab, SecureLockPaneNamesTheLevel)
{
    CBrowserView* view = Open("http://www.example.com/");
    ASSERT_NE(view, nullptr);
    const char* const expected[] = {"",
                                    "SSL Protected (Mixed)",
                                    "SSL Protected (Unknown)",
                                    "SSL Protected (40 Bit)",
                                    "SSL Protected (56 Bit)",
                                    "SSL Protected (Fortezza)",
                                    "SSL Protected (128 Bit)",
                                    "SSL Protected"};
    for (long level = 0; level < 8; ++level) {
        SCOPED_TRACE(level);
        EngineOf(view)->FireSecureLock(level);
        EXPECT_EQ(m_host.paneTexts[21404], expected[level]);
        EXPECT_EQ(m_host.paneIcons[21404] != nullptr, level != 0);
    }
    // The privacy pane follows the event's documented meaning.
    VARIANT impacted;
    ::VariantInit(&impacted);
    impacted.vt = VT_BOOL;
    impacted.boolVal = VARIANT_TRUE;
    EngineOf(view)->Fire(DISPID_PRIVACYIMPACTEDSTATECHANGE, {impacted});
    EXPECT_EQ(m_host.paneTexts[21405], "Privacy Report");
    impacted.boolVal = VARIANT_FALSE;
    EngineOf(view)->Fire(DISPID_PRIVACYIMPACTEDSTATECHANGE, {impacted});
    EXPECT_EQ(m_host.paneTexts[21405], "");
}

TEST_F(BrowserTab, OpenerTabsMayStayInTheBackground)
{
    CBrowserView* opener = Open("http://www.example.com/");
    ASSERT_NE(opener, nullptr);
    GetSettings()->SysFlags |= 0x200000;
    opener->NotifyPageMouseButton();
    ASSERT_NE(EngineOf(opener)->OpenPopup(kPopupPage), nullptr);
    EXPECT_EQ(m_host.Active(), opener->GetTabWindow());
    GetSettings()->SysFlags &= ~0x200000u;
    opener->NotifyPageMouseButton();
    CFakeBrowser* popup = EngineOf(opener)->OpenPopup(kPopupPage);
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(m_host.Active(), ::GetParent(popup->SiteWindow()));
    // Without an opener a new tab is always active.
    GetSettings()->SysFlags |= 0x200000;
    CBrowserView* plain = Open("http://www.example.com/second.html");
    EXPECT_EQ(m_host.Active(), plain->GetTabWindow());
}

TEST_F(BrowserTab, HostFrameWithTwoTabsIsPictured)
{
    CBrowserView* first = Open("http://www.example.com/");
    CBrowserView* second = Open("http://www.example.com/second.html");
    ASSERT_TRUE(first && second);
    ::SendMessageA(m_host.GetMdiClientWindow(), WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(second->GetTabWindow()), 0);
    PumpPendingMessages();
    ::RedrawWindow(m_host.GetFrameWindow(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    PumpPendingMessages();
    std::string path;
    EXPECT_TRUE(kivo_test::WriteWindowScreenshot(m_host.GetFrameWindow(), "browser-two-tabs.bmp", path)) << path;
    EXPECT_EQ(m_host.Owner().GetItemCount(), 2);
}

} // namespace

// The Back and Forward arrows' menus read the tab's history from its engine, and the command of an
// entry takes the tab that many pages back.
TEST_F(BrowserTab, HistoryMenusListTheEnginesPagesAndAnEntryTakesTheTabThere)
{
    CBrowserView* view = Open("http://www.example.com/");
    ASSERT_NE(view, nullptr);
    view->Navigate("http://www.example.com/second.html");
    m_engine.PumpUntilIdle();
    view->Navigate("http://www.example.com/third.html");
    m_engine.PumpUntilIdle();
    const auto texts = [](HMENU menu) {
        std::vector<std::string> items;
        for (int i = 0; i < ::GetMenuItemCount(menu); ++i) {
            char text[128] = {};
            ::GetMenuStringA(menu, i, text, sizeof(text), MF_BYPOSITION);
            items.push_back(text);
        }
        return items;
    };
    HMENU back = ::CreatePopupMenu();
    ASSERT_EQ(FillBackMenu(view->GetWebBrowser(), back, ID_BROWSER_BACK_FIRST + 1), 2);
    EXPECT_EQ(texts(back), (std::vector<std::string>{"Second page of the example", "Example Domain"}));
    const UINT oldest = ::GetMenuItemID(back, 1);
    ::DestroyMenu(back);
    ::SendMessageA(view->GetTabWindow(), WM_COMMAND, MAKEWPARAM(oldest, 0), 0);
    m_engine.PumpUntilIdle();
    EXPECT_EQ(EngineOf(view)->LocationUrl(), kPage);
    HMENU forward = ::CreatePopupMenu();
    EXPECT_EQ(FillForwardMenu(view->GetWebBrowser(), forward, ID_BROWSER_FORWARD_FIRST + 1), 2);
    ::DestroyMenu(forward);
}
