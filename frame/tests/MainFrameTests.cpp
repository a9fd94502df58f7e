// The main frame under Wine with real windows: its creation, the command table and the commands
// that pass on to the active tab, opening URLs with each flag, the recently closed pages, the
// bands kept between runs, the start pages of a first and a later run, closing and the end of a
// Windows session.
#include "frame/MainFrame.h"
#include "controls/docking/DockingWindow.h"
#include "frame/FrameSubsystems.h"

#include "frame/tests/FrameTestSupport.h"

#include "controls/ToolBarHelpers.h"
#include "core/app/Settings.h"
#include "core/app/SettingsStore.h"
#include "core/app/WindowFinder.h"
#include "controls/DynamicUpdateUI.h"
#include "controls/TabbedMDI.h"
#include "core/system/MenuFunctions.h"
#include "frame/MainFrameData.h"
#include "core/library/AppWindowInfo.h"
#include "core/library/Z4KApp.h"
#include "core/app/BrowserApp.h"
#include "tests/support/TestScratch.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <thread>

using namespace frame_test;

namespace {

class CMainFrameTest : public testing::Test {
protected:
    void SetUp() override
    {
        ResetFrameSettings();
        ResetFrameLayout();
        if (CSettings* settings = GetSettings()) {
            // Start pages already handled: the after-create opens nothing more.
            settings->PreviousRunState = 1;
        }
        ReceivedTabCommands().clear();
    }
    void TearDown() override { ResetFrameSettings(); }
};

std::string ClassOf(HWND window)
{
    char name[128] = {};
    GetClassNameA(window, name, sizeof(name));
    return name;
}

std::vector<UINT> BandIds(HWND rebar)
{
    std::vector<UINT> ids;
    const int count = static_cast<int>(SendMessageA(rebar, RB_GETBANDCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        REBARBANDINFOA band = {sizeof(band)};
        band.fMask = RBBIM_ID;
        SendMessageA(rebar, RB_GETBANDINFOA, i, reinterpret_cast<LPARAM>(&band));
        ids.push_back(band.wID);
    }
    return ids;
}

std::vector<std::string> Urls(const std::vector<CFakeTab*>& tabs)
{
    std::vector<std::string> urls;
    for (const CFakeTab* tab : tabs)
        urls.push_back(tab->m_url);
    return urls;
}

void SendCommand(HWND window, UINT id)
{
    SendMessageA(window, WM_COMMAND, MAKEWPARAM(id, 0), 0);
}

} // namespace

TEST_F(CMainFrameTest, CreationBuildsBarsStatusPanesClientAndTheFirstBlankTab)
{
    const int runCount = GetSettings()->RunCount.value;
    CTestFrame test;
    ASSERT_TRUE(test.Window());
    CMainFrame& frame = test.Frame();
    EXPECT_EQ(ClassOf(test.Window()), kMainFrameClassName);
    EXPECT_EQ(GetBrowserTabHost(), &frame);
    EXPECT_EQ(GetSettings()->RunCount.value, runCount + 1);

    // The status bar: the default pane, then 21403, 21405 and 21404; the progress control inside.
    const std::vector<int> panes = {0, ID_PANE_PRIVACY, ID_PANE_AD_FILTER, ID_PANE_SECURE};
    EXPECT_EQ(frame.GetStatusBar().GetPaneIds(), panes);
    ASSERT_TRUE(frame.GetProgressBar());
    EXPECT_EQ(GetDlgCtrlID(frame.GetProgressBar()), IDC_FRAME_PROGRESS);
    EXPECT_EQ(GetParent(frame.GetProgressBar()), frame.GetStatusBar().m_hWnd);
    EXPECT_EQ(GetWindowLongPtrA(frame.GetProgressBar(), GWL_EXSTYLE) & WS_EX_STATICEDGE, 0);

    // The MDI client with its tab owner, and the blank tab made through the factory.
    HWND client = frame.GetMdiClientWindow();
    ASSERT_TRUE(client);
    EXPECT_EQ(ClassOf(client), "MDIClient");
    EXPECT_TRUE(GetWindowLongPtrA(client, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
    EXPECT_EQ(test.m_factory.m_createdUrls, std::vector<std::string>{"about:blank"});
    ASSERT_EQ(frame.GetTabs().size(), 1u);
    ASSERT_TRUE(frame.GetTabOwner());
    EXPECT_EQ(frame.GetTabOwner()->GetTabCtrl()->GetItemCount(), 1);

    // The bands by id, the menu bar and the side panels (kept, none shown).
    const std::vector<UINT> bands = BandIds(frame.GetReBar());
    for (UINT id : {ID_BAND_SYSTEM_TOOLBAR, ID_BAND_ADDRESS_BAR, ID_BAND_LINKS_BAR, ID_BAND_PLUGINS_BAR,
                    ID_BAND_SEARCH_BAR, ID_BAND_FORM_FILLER}) {
        SCOPED_TRACE(id);
        EXPECT_NE(std::find(bands.begin(), bands.end(), id), bands.end());
    }
    HWND systemBar = GetReBarBandChild(frame.GetReBar(), ID_BAND_SYSTEM_TOOLBAR);
    ASSERT_TRUE(systemBar);
    EXPECT_EQ(GetDlgCtrlID(systemBar), IDC_FRAME_SYSTEM_TOOLBAR);
    EXPECT_EQ(SendMessageA(systemBar, TB_BUTTONCOUNT, 0, 0), 18);
    EXPECT_TRUE(SendMessageA(systemBar, TB_GETIMAGELIST, 0, 0));
    EXPECT_TRUE(SendMessageA(systemBar, TB_GETEXTENDEDSTYLE, 0, 0) & TBSTYLE_EX_DRAWDDARROWS);
    RECT buttons = {};
    SendMessageA(systemBar, TB_GETITEMRECT, 17, reinterpret_cast<LPARAM>(&buttons));
    RECT shown = {};
    GetClientRect(systemBar, &shown);
    EXPECT_GE(shown.right, buttons.right);
    EXPECT_TRUE(IsWindowVisible(systemBar));
    EXPECT_GE(shown.bottom, buttons.bottom);
    // The menu is shown by the command bar in its band, and the window has no menu bar of its own.
    EXPECT_EQ(GetMenu(test.Window()), nullptr);
    ASSERT_TRUE(frame.GetCommandBar().IsWindow());
    EXPECT_EQ(frame.GetCommandBar().GetMenu(), frame.GetMenuBarMenu());
    EXPECT_EQ(GetParent(frame.GetCommandBar().m_hWnd), frame.GetReBar());
    EXPECT_GE(SendMessageA(frame.GetReBar(), RB_IDTOINDEX, ID_BAND_COMMAND_BAR, 0), 0);
    EXPECT_EQ(GetMenuItemCount(frame.GetMenuBarMenu()), 9);
    // The side panels are not made on the way to the first window.
    EXPECT_EQ(frame.GetPanes().GetCount(), 0);

    // The after-create message was posted to the frame itself; it makes the side panels.
    MSG posted = {};
    EXPECT_TRUE(PeekMessageA(&posted, test.Window(), kAfterCreateMessage, kAfterCreateMessage, PM_NOREMOVE));
    test.RunAfterCreate();
    ASSERT_EQ(frame.GetPanes().GetCount(), 4);
    EXPECT_STREQ(frame.GetPanes().GetCaption(1).c_str(), "History");
    ASSERT_TRUE(frame.GetPanes().GetPane(0));
    EXPECT_EQ(GetParent(frame.GetPanes().GetContent(0)), frame.GetPanes().GetPaneWindow(0));
}

TEST_F(CMainFrameTest, EveryCommandOfTheTableReachesTheFrameAndOthersReachTheActiveTab)
{
    CTestFrame test;
    test.RunAfterCreate();
    HWND window = test.Window();
    for (const CFrameCommand& row : CMainFrame::GetCommandTable()) {
        for (UINT id : {row.first, row.last}) {
            SCOPED_TRACE(id);
            if (!test.ActiveTab())
                test.Open("http://keep.example/", kOpenNewTab);
            ReceivedTabCommands().clear();
            SendCommand(window, id);
            // Home passes on to the active tab, which goes home itself.
            if (id == ID_FRAME_GO_HOME) {
                EXPECT_EQ(ReceivedTabCommands(), std::vector<UINT>{ID_FRAME_GO_HOME});
            } else {
                EXPECT_EQ(std::count(ReceivedTabCommands().begin(), ReceivedTabCommands().end(), id), 0);
            }
            if (id == ID_FRAME_FULL_SCREEN)
                SendCommand(window, id);
            // Exit posts the close: taken off the queue here, so the frame stays open.
            MSG close = {};
            if (PeekMessageA(&close, window, WM_CLOSE, WM_CLOSE, PM_REMOVE)) {
                EXPECT_EQ(id, static_cast<UINT>(ID_FRAME_EXIT));
            }
            ASSERT_TRUE(IsWindow(window));
        }
    }
    // Commands of the tab itself reach the active tab unchanged, once each.
    test.Open("http://tab.example/", kOpenNewTab);
    CFakeTab* tab = test.ActiveTab();
    ASSERT_TRUE(tab);
    const UINT tabCommands[] = {ID_FRAME_STOP,         ID_FRAME_REFRESH,     ID_FRAME_FIND,         ID_FRAME_TEXT_SMALLEST,
                                ID_FRAME_TEXT_LARGEST, ID_FRAME_ZOOM_FIRST,  ID_FRAME_BACK_FIRST,   ID_FRAME_FORWARD_FIRST,
                                ID_FRAME_SAVE_AS,      ID_FRAME_PRINT,       31636,                 57602};
    for (UINT id : tabCommands) {
        SCOPED_TRACE(id);
        EXPECT_FALSE(CMainFrame::IsFrameCommand(id));
        tab->m_commands.clear();
        SendCommand(window, id);
        EXPECT_EQ(tab->m_commands, std::vector<UINT>{id});
    }
    // With no tab open a command reaches nothing and the frame goes on.
    SendCommand(window, ID_FRAME_CLOSE_ALL);
    Pump();
    EXPECT_TRUE(test.Frame().GetTabs().empty());
    ReceivedTabCommands().clear();
    SendCommand(window, ID_FRAME_STOP);
    EXPECT_TRUE(ReceivedTabCommands().empty());
    EXPECT_TRUE(IsWindow(window));
}

TEST_F(CMainFrameTest, CommandsChangeWhatTheirRowSays)
{
    CTestFrame test;
    test.RunAfterCreate();
    CMainFrame& frame = test.Frame();
    CSettings& settings = *GetSettings();
    HWND rebar = frame.GetReBar();
    struct Case {
        UINT id;
        std::function<std::string()> observe;  // the state the command changes, read before and after
    };
    auto flag = [](const DWORD& word, DWORD bit) { return [&word, bit] { return std::to_string((word & bit) != 0); }; };
    auto tabFlag = [&settings](DWORD bit) {
        return [&settings, bit] { return std::to_string((static_cast<DWORD>(settings.TabOpenFlags.value) & bit) != 0); };
    };
    auto band = [rebar](UINT id) { return [rebar, id] { return std::to_string(IsReBarBandVisible(rebar, id)); }; };
    auto pane = [&frame](int i) { return [&frame, i] { return std::to_string(frame.GetPanes().IsVisible(i)); }; };
    auto shell = [&test] {
        return [&test] {
            std::string all;
            for (const std::string& line : test.m_shell.m_executed)
                all += line + ";";
            for (const std::string& line : test.m_shell.m_cleared)
                all += line + ";";
            return all + std::to_string(test.m_shell.m_offline);
        };
    };
    const Case cases[] = {
        {ID_FRAME_ADDRESS_NEW_TAB, tabFlag(0x1)},
        {ID_FRAME_SEARCH_NEW_TAB, tabFlag(0x2)},
        {ID_FRAME_FAVMENU_NEW_TAB, tabFlag(0x4)},
        {ID_FRAME_FAVPANE_NEW_TAB, tabFlag(0x8)},
        {ID_FRAME_ENABLE_POPUP_BLOCKER, flag(settings.BlockerFlags, 0x2)},
        {ID_FRAME_ENABLE_AD_FILTER, flag(settings.BlockerFlags, 0x4)},
        {ID_FRAME_ENABLE_DIALOG_BLOCKER, flag(settings.BlockerFlags, 0x8)},
        {ID_FRAME_TOGGLE_ADDRESS_BAR, band(ID_BAND_ADDRESS_BAR)},
        {ID_FRAME_TOGGLE_SYSTEM_BAR, band(ID_BAND_SYSTEM_TOOLBAR)},
        {ID_FRAME_TOGGLE_LINKS_BAR, band(ID_BAND_LINKS_BAR)},
        {ID_FRAME_TOGGLE_SEARCH_BAR, band(ID_BAND_SEARCH_BAR)},
        {ID_FRAME_TOGGLE_PLUGINS_BAR, band(ID_BAND_PLUGINS_BAR)},
        {ID_FRAME_TOGGLE_FORM_FILLER_BAR, band(ID_BAND_FORM_FILLER)},
        {ID_FRAME_PANE_FIRST, pane(0)},
        {ID_FRAME_PANE_FIRST + 3, pane(3)},
        {ID_FRAME_WORK_OFFLINE, shell()},
        {ID_FRAME_READ_MAIL, shell()},
        {ID_FRAME_NEW_MESSAGE, shell()},
        {ID_FRAME_READ_NEWS, shell()},
        {ID_FRAME_SYNCHRONIZE, shell()},
        {ID_FRAME_CLEAR_CACHE, shell()},
        {ID_FRAME_CLEAR_COOKIES, shell()},
        {ID_FRAME_CLEAR_HISTORY, shell()},
        {ID_FRAME_CLEAR_TYPED, shell()},
        {ID_FRAME_INTERNET_OPTIONS, shell()},
        {ID_FRAME_NEW_INSTANCE, shell()},
        {ID_FRAME_FULL_SCREEN, [&frame] { return std::to_string(frame.IsFullScreen()); }},
        {ID_FRAME_PROXY_NONE, [&settings] { return std::to_string(settings.ProxyIndex.value); }},
        {ID_FRAME_PROXY_FIRST + 5, [&settings] { return std::to_string(settings.ProxyIndex.value); }},
        {ID_FRAME_SET_DEFAULT_BROWSER, [&test] { return std::to_string(test.m_boxes.m_texts.size()); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        const std::string before = c.observe();
        SendCommand(test.Window(), c.id);
        EXPECT_NE(c.observe(), before);
    }
    // What the shell was asked, in order.
    EXPECT_EQ(test.m_shell.m_executed[0], "open msimn.exe /mail");
    EXPECT_EQ(test.m_shell.m_executed[1], "open mailto: ");
    EXPECT_EQ(test.m_shell.m_executed[3], "open mobsync.exe ");
    EXPECT_NE(test.m_shell.m_executed[4].find("-s multi"), std::string::npos);
    test.m_shell.m_cleared.clear();
    SendCommand(test.Window(), ID_FRAME_CLEAR_ALL);
    EXPECT_EQ(test.m_shell.m_cleared, (std::vector<std::string>{"typed", "cookies", "cache", "history"}));
    // Choosing the system's proxy asks for a restart every time, also when it was chosen already.
    test.m_boxes.m_texts.clear();
    SendCommand(test.Window(), ID_FRAME_PROXY_SYSTEM);
    SendCommand(test.Window(), ID_FRAME_PROXY_SYSTEM);
    EXPECT_EQ(test.m_boxes.m_texts.size(), 2u);
    EXPECT_EQ(settings.ProxyIndex.value, -2);
}

TEST_F(CMainFrameTest, OpenUrlFlagsLandInTheRightTab)
{
    struct Case {
        const char* name;
        const char* activeUrl;
        const char* text;
        DWORD flags;
        int newTabs;           // tabs made by the request
        bool activeNavigated;  // the tab active before shows the text
        bool activeStays;      // the tab active before is still the active one
        bool opened;           // the answer is a window
    };
    const Case cases[] = {
        {"navigate", "http://a.example/", "http://b.example/", 0, 0, true, true, true},
        {"new tab", "http://a.example/", "http://b.example/", kOpenNewTab, 1, false, false, true},
        {"background", "http://a.example/", "http://b.example/", kOpenNewTab | kOpenInBackground, 1, false, true, true},
        {"blank reused", "about:blank", "http://b.example/", kOpenNewTab, 0, true, true, true},
        {"same url reused", "http://a.example/", "http://a.example/", kOpenNewTab | kOpenReuseTab, 0, true, true, true},
        {"other url", "http://a.example/", "http://b.example/", kOpenNewTab | kOpenReuseTab, 1, false, false, true},
        {"empty text", "http://a.example/", "", 0, 1, false, false, true},
        {"reload ignored", "http://a.example/", "javascript:location.reload()", kOpenNewTab, 0, false, true, false},
        {"program refused", "http://a.example/", "C:\\windows\\notepad.exe", kOpenNewTab, 0, false, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CTestFrame test;
        test.RunAfterCreate();
        CFakeTab* before = test.ActiveTab();
        ASSERT_TRUE(before);
        if (std::string(c.activeUrl) != "about:blank")
            before->Navigate(c.activeUrl);
        const int navigations = before->m_navigations;
        const size_t tabs = test.Frame().GetTabs().size();
        HWND result = test.Open(c.text, c.flags);
        EXPECT_EQ(result != nullptr, c.opened);
        EXPECT_EQ(test.Frame().GetTabs().size(), tabs + c.newTabs);
        EXPECT_EQ(before->m_navigations > navigations, c.activeNavigated);
        EXPECT_EQ(test.ActiveTab() == before, c.activeStays);
        if (c.newTabs) {
            EXPECT_EQ(CFakeTabFactory::TabOf(result)->m_url, *c.text ? c.text : "about:blank");
        }
        EXPECT_TRUE(test.m_shell.m_executed.empty());
    }
}

TEST_F(CMainFrameTest, OpenUrlTakesTheLimitShortcutsAndRefusesOtherThreads)
{
    CTestFrame test;
    test.RunAfterCreate();
    test.Open("http://a.example/", 0);
    const std::string prefix = "http://long.example/";
    const std::string atLimit = prefix + std::string(kMaxOpenUrlLength - prefix.size(), 'x');
    EXPECT_TRUE(test.Open(atLimit.c_str(), kOpenNewTab));
    EXPECT_FALSE(test.Open((atLimit + "x").c_str(), kOpenNewTab));

    const std::string shortcut = KivoTestScratchFolder() + "page.url";
    FILE* file = std::fopen(shortcut.c_str(), "w");
    ASSERT_TRUE(file);
    std::fputs("[InternetShortcut]\nURL=http://from-shortcut.example/\n", file);
    std::fclose(file);
    HWND fromShortcut = test.Open(shortcut.c_str(), kOpenNewTab);
    ASSERT_TRUE(fromShortcut);
    EXPECT_EQ(CFakeTabFactory::TabOf(fromShortcut)->m_url, "http://from-shortcut.example/");

    // The message names memory of the sender: one sent from another thread opens nothing.
    const size_t tabs = test.Frame().GetTabs().size();
    LRESULT answer = 1;
    std::thread sender([&] {
        answer = SendMessageA(test.Window(), kOpenUrlMessage, reinterpret_cast<WPARAM>("http://thread.example/"),
                              kOpenNewTab);
    });
    PumpUntil([&] { return answer != 1; });
    sender.join();
    EXPECT_EQ(answer, 0);
    EXPECT_EQ(test.Frame().GetTabs().size(), tabs);

    // A tab that cannot be made gives 0.
    test.m_factory.m_fail = true;
    EXPECT_FALSE(test.Open("http://fails.example/", kOpenNewTab));
}

TEST_F(CMainFrameTest, ClosedTabIsReopenedFromTheRecentlyClosedList)
{
    CTestFrame test;
    test.RunAfterCreate();
    CMainFrame& frame = test.Frame();
    SendCommand(test.Window(), ID_FRAME_CLEAR_UNDO);
    HWND closing = test.Open("http://closed.example/", kOpenNewTab);
    ASSERT_TRUE(closing);
    SendMessageA(closing, WM_CLOSE, 0, 0);
    ASSERT_FALSE(IsWindow(closing));
    ASSERT_EQ(frame.GetRecentClosedList().GetCount(), 1);
    HMENU recent = frame.GetRecentClosedList().GetMenuHandle();
    ASSERT_TRUE(recent);
    char text[128] = {};
    GetMenuStringA(recent, ID_FRAME_RECENT_FIRST, text, sizeof(text), MF_BYCOMMAND);
    EXPECT_STREQ(text, "&1 http://closed.example/");

    // A tab that cannot be made keeps the entry; a missing entry only beeps.
    test.m_factory.m_fail = true;
    SendCommand(test.Window(), ID_FRAME_REOPEN_LAST_CLOSED);
    EXPECT_EQ(frame.GetRecentClosedList().GetCount(), 1);
    test.m_factory.m_fail = false;
    SendCommand(test.Window(), ID_FRAME_RECENT_FIRST + 1);
    EXPECT_EQ(test.m_shell.m_messageBeeps, 1);

    const size_t tabs = frame.GetTabs().size();
    SendCommand(test.Window(), ID_FRAME_REOPEN_LAST_CLOSED);
    EXPECT_EQ(frame.GetTabs().size(), tabs + 1);
    ASSERT_TRUE(test.ActiveTab());
    EXPECT_EQ(test.ActiveTab()->m_url, "http://closed.example/");
    EXPECT_TRUE(frame.GetRecentClosedList().IsEmpty());
    // Blank pages are not kept.
    HWND blank = test.Open("", kOpenNewTab);
    SendMessageA(blank, WM_CLOSE, 0, 0);
    EXPECT_TRUE(frame.GetRecentClosedList().IsEmpty());
}

TEST_F(CMainFrameTest, BandLayoutAndPanesAreKeptForTheNextRun)
{
    {
        CTestFrame test;
        test.RunAfterCreate();
        ASSERT_TRUE(IsReBarBandVisible(test.Frame().GetReBar(), ID_BAND_ADDRESS_BAR));
        SendCommand(test.Window(), ID_FRAME_TOGGLE_ADDRESS_BAR);
        SendCommand(test.Window(), ID_FRAME_HIDE_ALL_PANES);
        SendCommand(test.Window(), ID_FRAME_PANE_FIRST + 1);
        test.Close();
        EXPECT_EQ(TakeQuitCode(), 1);
    }
    {
        ResetFrameSettings();
        CTestFrame test;
        test.RunAfterCreate();
        EXPECT_FALSE(IsReBarBandVisible(test.Frame().GetReBar(), ID_BAND_ADDRESS_BAR));
        EXPECT_TRUE(IsReBarBandVisible(test.Frame().GetReBar(), ID_BAND_SEARCH_BAR));
        EXPECT_TRUE(test.Frame().GetPanes().IsVisible(1));
        EXPECT_FALSE(test.Frame().GetPanes().IsVisible(0));
        SendCommand(test.Window(), ID_FRAME_TOGGLE_ADDRESS_BAR);
        SendCommand(test.Window(), ID_FRAME_PANE_FIRST + 1);
        test.Close();
    }
    ResetFrameSettings();
    CTestFrame test;
    EXPECT_TRUE(IsReBarBandVisible(test.Frame().GetReBar(), ID_BAND_ADDRESS_BAR));
}

TEST_F(CMainFrameTest, ClosingSavesTheSessionInTabOrderAndTheRecentListAndEndsWithOne)
{
    CSettings& settings = *GetSettings();
    CTestFrame test;
    test.RunAfterCreate();
    ASSERT_TRUE(settings.StartPagesOpened);
    test.Open("http://one.example/", 0);
    test.Open("http://two.example/", kOpenNewTab);
    test.Open("http://three.example/", kOpenNewTab);
    test.Open("", kOpenNewTab);
    HWND closed = test.Open("http://closed.example/", kOpenNewTab);
    SendMessageA(closed, WM_CLOSE, 0, 0);
    test.Close();
    EXPECT_EQ(TakeQuitCode(), 1);
    // The tabs that closing took down did not empty the list, and blank pages are left out.
    ASSERT_EQ(settings.LastOpenSites.size(), 3u);
    EXPECT_STREQ(settings.LastOpenSites[0].url.c_str(), "http://one.example/");
    EXPECT_STREQ(settings.LastOpenSites[2].url.c_str(), "http://three.example/");
    // The file holds the same list: the next start reads it back.
    const std::vector<CSessionEntry> saved = settings.LastOpenSites;
    settings.LastOpenSites.clear();
    settings.PreviousRunState = -1;
    settings.LoadLastOpenSites();
    EXPECT_EQ(settings.LastOpenSites, saved);
    // The recently closed page went to the registry.
    CRegistryKey key;
    ASSERT_TRUE(GetCurrentApp()->GetSectionKey(kRecentClosedKey, key));
    TStdStr<char> url;
    ASSERT_TRUE(key.QueryStringValue("OpenName1", url));
    EXPECT_STREQ(url.c_str(), "http://closed.example/");
}

TEST_F(CMainFrameTest, FirstRunOpensHomeAndSearchPagesAndLaterRunsTheLastSessionInOrder)
{
    CSettings& settings = *GetSettings();
    {
        settings.RunCount.value = 0;
        // The page of the command line is kept while no main window exists.
        TestApplication().OpenUrl("http://command-line.example/");
        CTestFrame test;
        test.RunAfterCreate();
        EXPECT_EQ(settings.RunCount.value, 1);
        EXPECT_EQ(Urls(test.TabsInOrder()),
                  (std::vector<std::string>{kProductHomePage, kSearchStartPage, "http://command-line.example/"}));
        EXPECT_TRUE(test.Frame().WasUpdateCheckStarted());
    }
    ResetFrameSettings();
    {
        // A later start's page handed over while the first run is still starting is not replaced
        // by the home page.
        settings.RunCount.value = 0;
        CTestFrame test;
        test.Open("http://handed.example/", kOpenNewTab);
        test.RunAfterCreate();
        EXPECT_EQ(Urls(test.TabsInOrder()),
                  (std::vector<std::string>{"http://handed.example/", kProductHomePage, kSearchStartPage}));
    }
    ResetFrameSettings();
    settings.PreviousRunState = 1;
    settings.StartupFlags.value = static_cast<int>(kStartupFlagLastSession);
    settings.LastOpenSites = {{"A", "http://a.example/"}, {"B", "http://b.example/"}, {"C", "http://c.example/"}};
    {
        CTestFrame test;
        test.RunAfterCreate();
        EXPECT_EQ(Urls(test.TabsInOrder()),
                  (std::vector<std::string>{"http://a.example/", "http://b.example/", "http://c.example/"}));
    }
    // Without the option, a cleanly ended run's session stays closed and the home page mode runs.
    ResetFrameSettings();
    settings.PreviousRunState = 1;
    settings.StartupFlags.value = static_cast<int>(kStartupFlagHomePage);
    settings.LastOpenSites = {{"A", "http://a.example/"}};
    CTestFrame test;
    test.RunAfterCreate();
    ASSERT_EQ(test.TabsInOrder().size(), 1u);
    EXPECT_EQ(test.TabsInOrder()[0]->m_goHomes, 1);
}

TEST_F(CMainFrameTest, EndOfSessionQuerySavesTheSettingsAndLeavesTheFrameWhole)
{
    CSettings& settings = *GetSettings();
    CTestFrame test;
    test.RunAfterCreate();
    test.Open("http://session.example/", kOpenNewTab);
    settings.RunCount.value = 4321;
    EXPECT_EQ(SendMessageA(test.Window(), WM_QUERYENDSESSION, 0, 0), TRUE);
    EXPECT_EQ(GetSettingsStore()->GetInt("Config", "RunCount", 0), 4321u);
    EXPECT_TRUE(IsWindow(test.Window()));
    // The blank first tab took the page.
    EXPECT_EQ(test.Frame().GetTabs().size(), 1u);
    EXPECT_FALSE(settings.Closing);
    ASSERT_FALSE(settings.LastOpenSites.empty());
    EXPECT_STREQ(settings.LastOpenSites.back().url.c_str(), "http://session.example/");
    // The confirmed end runs the close and destroy steps once.
    SendMessageA(test.Window(), WM_ENDSESSION, TRUE, 0);
    EXPECT_TRUE(settings.Closing);
    EXPECT_EQ(GetBrowserTabHost(), nullptr);
}

TEST_F(CMainFrameTest, SecondStartOpensItsUrlInANewTabOfTheRunningFrame)
{
    // This process is the running instance: it holds the single-instance mutex and its frame
    // answers the question message.
    HWND none = nullptr;
    ASSERT_FALSE(GetSingleInstanceFinder()->HandOverToRunningInstance("", none, false));
    CTestFrame test;
    test.RunAfterCreate();
    test.Open("http://first.example/", 0);
    char module[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, module, MAX_PATH);
    std::string program = module;
    program.erase(program.find_last_of("\\/") + 1);
    program += "KivoBrowser.exe";
    CHandle process = StartProcess(program.c_str(), ("\"" + program + "\" http://second.example/page").c_str());
    ASSERT_TRUE(process);
    EXPECT_TRUE(PumpUntil([&] {
        const std::vector<CFakeTab*> tabs = test.TabsInOrder();
        return tabs.size() == 2 && tabs[1]->m_url == "http://second.example/page";
    }));
    ASSERT_TRUE(PumpUntil([&] { return WaitForSingleObject(process, 0) == WAIT_OBJECT_0; }));
    DWORD exitCode = 1;
    GetExitCodeProcess(process, &exitCode);
    EXPECT_EQ(exitCode, 0u);
    ASSERT_TRUE(test.ActiveTab());
    EXPECT_EQ(test.ActiveTab()->m_url, "http://second.example/page");
    EXPECT_EQ(test.TabsInOrder()[0]->m_url, "http://first.example/");
}

TEST_F(CMainFrameTest, IdleKeepsCommandStatesAndTheToolbarCurrent)
{
    CSettings& settings = *GetSettings();
    CTestFrame test;
    test.RunAfterCreate();
    CMainFrame& frame = test.Frame();
    CDynamicUpdateUI& states = *GetCommandStateMap();
    HWND systemBar = GetReBarBandChild(frame.GetReBar(), ID_BAND_SYSTEM_TOOLBAR);
    struct Case {
        DWORD blocker;
        bool popupChecked;
        bool dialogChecked;
        bool dialogEnabled;
    };
    for (const Case& c : {Case{0x2 | 0x4, true, true, true}, Case{0x2 | 0x8, true, false, true}, Case{0x4, false, true, false}}) {
        SCOPED_TRACE(c.blocker);
        settings.BlockerFlags = c.blocker;
        frame.OnIdle();
        EXPECT_EQ((states.UIGetState(ID_FRAME_ENABLE_POPUP_BLOCKER) & kUpdateUIChecked) != 0, c.popupChecked);
        EXPECT_EQ((states.UIGetState(ID_FRAME_ENABLE_DIALOG_BLOCKER) & kUpdateUIChecked) != 0, c.dialogChecked);
        EXPECT_EQ((states.UIGetState(ID_FRAME_ENABLE_DIALOG_BLOCKER) & kUpdateUIDisabled) == 0, c.dialogEnabled);
        EXPECT_EQ(SendMessageA(systemBar, TB_ISBUTTONCHECKED, ID_FRAME_ENABLE_POPUP_BLOCKER, 0) != 0, c.popupChecked);
        EXPECT_EQ(SendMessageA(systemBar, TB_ISBUTTONCHECKED, ID_FRAME_ENABLE_AD_FILTER, 0) != 0, (c.blocker & 0x4) != 0);
    }
    SendCommand(test.Window(), ID_FRAME_CLEAR_UNDO);
    frame.OnIdle();
    EXPECT_TRUE(states.UIGetState(ID_FRAME_REOPEN_LAST_CLOSED) & kUpdateUIDisabled);
    frame.GetRecentClosedList().AddToList("Page", "http://page.example/");
    frame.OnIdle();
    EXPECT_FALSE(states.UIGetState(ID_FRAME_REOPEN_LAST_CLOSED) & kUpdateUIDisabled);
    // While the frame closes nothing is updated.
    settings.Closing = true;
    settings.BlockerFlags = 0x2;
    frame.OnIdle();
    EXPECT_TRUE(states.UIGetState(ID_FRAME_ENABLE_AD_FILTER) & kUpdateUIChecked);
    settings.Closing = false;
}

TEST_F(CMainFrameTest, BackAndForwardFollowTheActiveTabAndTheProgressBarItsPage)
{
    CTestFrame test;
    test.RunAfterCreate();
    CMainFrame& frame = test.Frame();
    CDynamicUpdateUI& states = *GetCommandStateMap();
    CFakeTab* tab = test.ActiveTab();
    ASSERT_NE(tab, nullptr);
    for (const bool back : {true, false}) {
        SCOPED_TRACE(back);
        tab->m_canGoBack = back;
        tab->m_canGoForward = !back;
        frame.OnIdle();
        EXPECT_EQ((states.UIGetState(ID_FRAME_BACK) & kUpdateUIDisabled) == 0, back);
        EXPECT_EQ((states.UIGetState(ID_FRAME_FORWARD) & kUpdateUIDisabled) == 0, !back);
    }
    // The host's progress: shown over the status bar with its range and position, then hidden.
    IBrowserTabHost& host = frame;
    host.ShowProgress(true, 30, 120);
    EXPECT_TRUE(IsWindowVisible(frame.GetProgressBar()));
    EXPECT_EQ(SendMessageA(frame.GetProgressBar(), PBM_GETRANGE, FALSE, 0), 120);
    EXPECT_EQ(SendMessageA(frame.GetProgressBar(), PBM_GETPOS, 0, 0), 30);
    host.ShowProgress(false, 0, 0);
    EXPECT_FALSE(IsWindowVisible(frame.GetProgressBar()));
    // The tab host finds the frame's tabs, and nothing for another window.
    EXPECT_EQ(host.FindTab(tab->m_window), tab);
    EXPECT_EQ(host.FindTab(test.Window()), nullptr);
}

namespace {

// The later libraries' side of the frame, recording what the frame asks of it.
class CRecordingSubsystems final : public IFrameSubsystems {
public:
    void StartFrame(HWND frame) override { started = frame; }
    HWND CreateAddressBar(HWND reBar) override
    {
        address = ::CreateWindowExA(0, WC_COMBOBOXEXA, nullptr, WS_CHILD | WS_VISIBLE | CBS_DROPDOWN, 0, 0, 300, 200, reBar,
                                    nullptr, nullptr, nullptr);
        return address;
    }
    HWND CreateSearchBar(HWND) override { return nullptr; }  // the frame keeps its stand-in
    bool KeepsKeyForBar(const MSG* message) override
    {
        ++keysAsked;
        return message->message == WM_KEYDOWN && message->wParam == VK_RETURN;
    }
    bool HandleNavigationCommand(HWND, UINT command, const char* activeUrl) override
    {
        commands.push_back(command);
        urls.push_back(activeUrl ? activeUrl : "");
        return command == kNavigationCommand;
    }
    HIMAGELIST GetSiteIconImages() override { return nullptr; }
    void DestroyBars() override
    {
        ++destroyed;
        if (address)
            ::DestroyWindow(address);
        address = nullptr;
    }

    static constexpr UINT kNavigationCommand = 42002;
    HWND started = nullptr;
    HWND address = nullptr;
    int keysAsked = 0;
    int destroyed = 0;
    std::vector<UINT> commands;
    std::vector<std::string> urls;
};

} // namespace

TEST_F(CMainFrameTest, FrameTakesItsBarsKeysAndNavigationCommandsFromTheSubsystems)
{
    CRecordingSubsystems subsystems;
    IFrameSubsystems* previous = SetFrameSubsystems(&subsystems);
    {
        CTestFrame test;
        test.RunAfterCreate();
        EXPECT_EQ(subsystems.started, test.Window());
        ASSERT_NE(subsystems.address, nullptr);
        EXPECT_EQ(GetReBarBandChild(test.Frame().GetReBar(), ID_BAND_ADDRESS_BAR), subsystems.address);
        EXPECT_NE(GetReBarBandChild(test.Frame().GetReBar(), ID_BAND_SEARCH_BAR), nullptr);
        // Enter in a bar stays with the bar: the frame translates nothing.
        MSG enter = {test.Frame().GetAddressBarEdit(), WM_KEYDOWN, VK_RETURN, 0, 0, {}};
        EXPECT_FALSE(test.Frame().PreTranslateMessage(&enter));
        EXPECT_EQ(subsystems.keysAsked, 1);
        // The navigation commands are the subsystems' first; the others go on to the frame's table.
        test.ActiveTab()->m_url = "http://active.example/";
        const size_t tabs = test.TabsInOrder().size();
        SendCommand(test.Window(), CRecordingSubsystems::kNavigationCommand);
        EXPECT_EQ(test.TabsInOrder().size(), tabs);
        SendCommand(test.Window(), ID_FRAME_NEW_BLANK);
        EXPECT_EQ(test.TabsInOrder().size(), tabs + 1);
        const auto asked = std::find(subsystems.commands.begin(), subsystems.commands.end(),
                                     CRecordingSubsystems::kNavigationCommand);
        ASSERT_NE(asked, subsystems.commands.end());
        EXPECT_EQ(subsystems.urls[static_cast<size_t>(asked - subsystems.commands.begin())], "http://active.example/");
        EXPECT_EQ(std::count(subsystems.commands.begin(), subsystems.commands.end(), UINT{ID_FRAME_NEW_BLANK}), 1);
        test.Close();
        EXPECT_EQ(TakeQuitCode(), 1);
    }
    EXPECT_EQ(subsystems.destroyed, 1);
    SetFrameSubsystems(previous);
}

TEST_F(CMainFrameTest, BlockedContentIsLoggedCountedAndAnnounced)
{
    CSettings& settings = *GetSettings();
    CTestFrame test;
    test.RunAfterCreate();
    CMainFrame& frame = test.Frame();
    const int popups = settings.PopupLog.GetCount();
    const DWORD blockedPopups = settings.BlockedPopup;
    settings.BlockerFlags = 0x2 | 0x1000 | 0x2000 | 0x4000 | 0x10000 | 0x20000;
    settings.PopBlockedSound = "popup.wav";
    settings.AdBlockedSound = "ad.wav";
    frame.OnPopupBlocked("Title", "http://opener.example/", "http://popup.example/");
    EXPECT_EQ(settings.PopupLog.GetCount(), popups + 1);
    EXPECT_STREQ(settings.PopupLog.GetEntries().back().text3.c_str(), "http://popup.example/");
    EXPECT_EQ(settings.BlockedPopup, blockedPopups + 1);
    char text[128] = {};
    SendMessageA(frame.GetStatusBar().m_hWnd, SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(text, "This page contains popup windows!");
    const DWORD blockedAds = settings.BlockedContent;
    frame.OnAdBlocked("*ads*", "http://ads.example/banner.gif");
    EXPECT_EQ(settings.BlockedContent, blockedAds + 1);
    EXPECT_STREQ(settings.AdLog.GetEntries().back().text1.c_str(), "*ads*");
    EXPECT_EQ(test.m_shell.m_beeps, (std::vector<DWORD>{250, 350}));
    EXPECT_EQ(test.m_shell.m_sounds, (std::vector<std::string>{"popup.wav", "ad.wav"}));

    // Without the sound bits the notices are silent.
    settings.BlockerFlags = 0x2;
    frame.OnAdBlocked("*ads*", "http://ads.example/2.gif");
    EXPECT_EQ(test.m_shell.m_beeps.size(), 2u);
}

TEST_F(CMainFrameTest, BlockedWebPageDialogTakingTheActivationIsClosed)
{
    CSettings& settings = *GetSettings();
    CTestFrame test;
    test.RunAfterCreate();
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "Internet Explorer_TridentDlgFrame";
    RegisterClassA(&wc);
    struct Case {
        const char* title;
        DWORD blocker;
        long pending;
        bool closed;
    };
    const Case cases[] = {
        {"Page -- Web Page Dialog", 0x2, 1, true},
        {"Page Web Page Dialog", 0x2, 1, false},
        {"Page -- Web Page Dialog", 0x2 | 0x8, 1, false},
        {"Page -- Web Page Dialog", 0x2, 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.title) + " " + std::to_string(c.blocker) + " " + std::to_string(c.pending));
        settings.BlockerFlags = c.blocker;
        GetMainFrameData().m_pendingBlockedDialogs = c.pending;
        HWND dialog = CreateWindowExA(0, wc.lpszClassName, c.title, WS_POPUP | WS_VISIBLE, 0, 0, 100, 100, test.Window(),
                                      nullptr, wc.hInstance, nullptr);
        ASSERT_TRUE(dialog);
        SendMessageA(test.Window(), WM_ACTIVATE, WA_INACTIVE, reinterpret_cast<LPARAM>(dialog));
        Pump();
        EXPECT_EQ(!IsWindow(dialog), c.closed);
        if (IsWindow(dialog))
            DestroyWindow(dialog);
    }
    EXPECT_EQ(GetMainFrameData().m_pendingBlockedDialogs, 0);
}

TEST_F(CMainFrameTest, TitleAndWindowListFollowTheTabs)
{
    CTestFrame test;
    test.RunAfterCreate();
    HWND window = test.Window();
    auto title = [window] {
        char text[512] = {};
        GetWindowTextA(window, text, sizeof(text));
        return std::string(text);
    };
    test.Open("http://one.example/", 0);
    test.Open("http://two.example/", kOpenNewTab);
    test.Open("http://three.example/", kOpenNewTab);
    // The active tab is maximised: its text, then the program's name; offline mode says so.
    EXPECT_EQ(title(), "http://three.example/ - Kivo Browser");
    EXPECT_EQ(static_cast<size_t>(GetWindowTextLengthA(window)), title().size());
    test.m_shell.m_offline = true;
    EXPECT_EQ(title(), "http://three.example/ - Kivo Browser - [Working Offline]");
    test.m_shell.m_offline = false;

    SendCommand(window, kRebuildWindowListCommand);
    HMENU menuBar = test.Frame().GetMenuBarMenu();
    HMENU windowMenu = nullptr;
    for (int i = 0; i < GetMenuItemCount(menuBar); ++i) {
        char text[64] = {};
        GetMenuStringA(menuBar, i, text, sizeof(text), MF_BYPOSITION);
        if (std::string(text) == "&Window")
            windowMenu = GetSubMenu(menuBar, i);
    }
    ASSERT_TRUE(windowMenu);
    char item[128] = {};
    GetMenuStringA(windowMenu, ID_FRAME_WINDOW_LIST_FIRST + 1, item, sizeof(item), MF_BYCOMMAND);
    EXPECT_STREQ(item, "&2 http://two.example/");
    EXPECT_EQ(GetMenuDefaultItem(windowMenu, FALSE, 0), ID_FRAME_WINDOW_LIST_FIRST + 2);
    // Choosing an item activates its tab; closing tabs shrinks the list.
    SendCommand(window, ID_FRAME_WINDOW_LIST_FIRST);
    ASSERT_TRUE(test.ActiveTab());
    EXPECT_EQ(test.ActiveTab()->m_url, "http://one.example/");
    SendCommand(window, ID_FRAME_CLOSE_ALL_EXCEPT_CURRENT);
    SendCommand(window, kRebuildWindowListCommand);
    EXPECT_EQ(GetMenuState(windowMenu, ID_FRAME_WINDOW_LIST_FIRST + 1, MF_BYCOMMAND), static_cast<UINT>(-1));
    EXPECT_NE(GetMenuState(windowMenu, ID_FRAME_WINDOW_LIST_FIRST, MF_BYCOMMAND), static_cast<UINT>(-1));
}

namespace {

// Answers every tracked popup with the command it is given and keeps the popup's item texts.
class CChoosingTracker final : public IFramePopupMenuTracker {
public:
    UINT Track(HMENU menu, UINT, int, int, HWND) override
    {
        m_items.clear();
        for (int i = 0; i < GetMenuItemCount(menu); ++i) {
            char text[128] = {};
            GetMenuStringA(menu, i, text, sizeof(text), MF_BYPOSITION);
            m_items.push_back(text);
            if (HMENU sub = GetSubMenu(menu, i)) {
                for (int j = 0; j < GetMenuItemCount(sub); ++j) {
                    GetMenuStringA(sub, j, text, sizeof(text), MF_BYPOSITION);
                    m_items.push_back(std::string(">") + text);
                }
            }
        }
        return m_choice;
    }
    UINT m_choice = 0;
    std::vector<std::string> m_items;
};

bool TakePosted(HWND window, UINT message, WPARAM& wParam)
{
    MSG msg = {};
    if (!PeekMessageA(&msg, window, message, message, PM_REMOVE))
        return false;
    wParam = msg.wParam;
    return true;
}

} // namespace

TEST_F(CMainFrameTest, PopupMenusOfTheTabStripToolbarAndRebarPostWhatIsChosen)
{
    CTestFrame test;
    test.RunAfterCreate();
    HWND window = test.Window();
    test.Open("http://one.example/", 0);
    test.Open("http://two.example/", kOpenNewTab);
    CChoosingTracker tracker;
    IFramePopupMenuTracker* previous = SetFramePopupMenuTracker(&tracker);
    const UINT contextMenu = GetTabbedMdiMessages().showTabContextMenu;
    struct Case {
        UINT choice;
        UINT posted;
    };
    // System commands of the tab strip's menu go as WM_SYSCOMMAND, window-list items and the
    // rest as WM_COMMAND.
    for (const Case& c : {Case{SC_RESTORE, WM_SYSCOMMAND}, Case{ID_FRAME_WINDOW_LIST_FIRST + 1, WM_COMMAND},
                          Case{ID_FRAME_NEW_BLANK, WM_COMMAND}}) {
        SCOPED_TRACE(c.choice);
        tracker.m_choice = c.choice;
        SendMessageA(window, contextMenu, 0, MAKELPARAM(100, 100));
        WPARAM wParam = 0;
        ASSERT_TRUE(TakePosted(window, c.posted, wParam));
        EXPECT_EQ(LOWORD(wParam), c.choice);
    }
    EXPECT_NE(std::find(tracker.m_items.begin(), tracker.m_items.end(), ">&2 http://two.example/"), tracker.m_items.end());

    // The Stop button's drop-down offers Stop All while a tab is active.
    HWND systemBar = GetReBarBandChild(test.Frame().GetReBar(), ID_BAND_SYSTEM_TOOLBAR);
    NMTOOLBARA dropDown = {};
    dropDown.hdr.hwndFrom = systemBar;
    dropDown.hdr.idFrom = IDC_FRAME_SYSTEM_TOOLBAR;
    dropDown.hdr.code = TBN_DROPDOWN;
    dropDown.iItem = ID_FRAME_STOP;
    tracker.m_choice = ID_FRAME_STOP_ALL;
    SendMessageA(window, WM_NOTIFY, IDC_FRAME_SYSTEM_TOOLBAR, reinterpret_cast<LPARAM>(&dropDown));
    WPARAM wParam = 0;
    ASSERT_TRUE(TakePosted(window, WM_COMMAND, wParam));
    EXPECT_EQ(LOWORD(wParam), static_cast<UINT>(ID_FRAME_STOP_ALL));
    EXPECT_EQ(tracker.m_items, std::vector<std::string>{"Stop All"});

    // The rebar's context menu is "Toolbars" of the View menu.
    tracker.m_choice = ID_FRAME_TOGGLE_LINKS_BAR;
    SendMessageA(window, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(test.Frame().GetReBar()), MAKELPARAM(10, 10));
    ASSERT_TRUE(TakePosted(window, WM_COMMAND, wParam));
    EXPECT_EQ(LOWORD(wParam), static_cast<UINT>(ID_FRAME_TOGGLE_LINKS_BAR));
    EXPECT_EQ(tracker.m_items.front(), "&Address Bar");
    SetFramePopupMenuTracker(previous);
}
