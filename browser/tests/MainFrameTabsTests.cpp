// The real main frame with the browser library's tabs over the engine double: a URL opened through
// the frame's open-URL message makes a tab that hosts the engine, and the engine's events reach the
// frame's own windows (the tab strip's label and image, the status bar's text, lock and privacy
// panes and its progress bar, the Back and Forward states of the command-state map); a window that
// a page opens becomes a tab of the frame at once, and the popup test closes the one that nothing
// speaks for; a closed tab is kept for reopening, and closing the frame saves its pages and ends
// every engine. The pictures: the frame while its first page loads
// (screenshots\main-frame-browser-tab-loading.bmp) and with two loaded tabs
// (screenshots\main-frame-browser-tabs.bmp).
#include "browser/BrowserView.h"
#include "browser/TabSiteIcons.h"
#include "browser/TabTextStore.h"
#include "controls/DynamicUpdateUI.h"
#include "controls/TabbedMDI.h"
#include "controls/tests/Screenshot.h"
#include "core/app/Settings.h"
#include "core/library/AppWindowInfo.h"
#include "core/library/Z4KApp.h"
#include "frame/BlockedContent.h"
#include "frame/MainFrame.h"
#include "frame/MainFrameData.h"
#include "frame/tests/FrameTestSupport.h"

#include "tests/engine/FakeEngine.h"

#include <exdispid.h>
#include <shlguid.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

using namespace frame_test;

namespace {

constexpr wchar_t kPage[] = L"http://www.example.com/";
constexpr wchar_t kSecond[] = L"http://www.example.com/second.html";
constexpr wchar_t kPopupPage[] = L"http://ads.example.net/popup.html";
constexpr wchar_t kClosedPage[] = L"http://www.example.com/closed.html";
// The image of the first page's site icon in the strip's image list.
constexpr int kPageSiteIcon = 7;

// The site icons the tests know; every other address has the unknown icon.
class CKnownSiteIcons final : public ITabSiteIcons {
public:
    CKnownSiteIcons() : m_previous(SetTabSiteIcons(this)) {}
    ~CKnownSiteIcons() override { SetTabSiteIcons(m_previous); }
    CKnownSiteIcons(const CKnownSiteIcons&) = delete;
    CKnownSiteIcons& operator=(const CKnownSiteIcons&) = delete;
    int GetIconIndex(const char* url) override
    {
        const auto found = icons.find(url ? url : "");
        return found != icons.end() ? found->second : kUnknownSiteIcon;
    }
    void QueueRequest(const char*) override {}
    std::map<std::string, int> icons;

private:
    ITabSiteIcons* m_previous;  // not owned
};

// The main frame made as the frame tests make it, but with the browser library's tab factory in
// place of their fake one: every tab of this frame is a real browser tab.
class CFrameWithBrowserTabs {
public:
    CFrameWithBrowserTabs()
    {
        TestApplication();
        InstallBrowserTabFactory();
        const RECT rect = {0, 0, 800, 560};
        m_window = CreateMainFrame(rect);
        m_frame = GetMainFrame();
        if (m_window) {
            if (CAppWindowInfo* info = GetAppWindowInfo())
                info->SetMainWindow(m_window);
            ::ShowWindow(m_window, SW_SHOWNORMAL);
            ::UpdateWindow(m_window);
        }
    }
    ~CFrameWithBrowserTabs()
    {
        if (m_window && ::IsWindow(m_window))
            ::DestroyWindow(m_window);
        TakeQuitCode();
        if (CAppWindowInfo* info = GetAppWindowInfo())
            info->SetMainWindow(nullptr);
        if (CSettings* settings = GetSettings())
            settings->Closing = false;
    }
    CFrameWithBrowserTabs(const CFrameWithBrowserTabs&) = delete;
    CFrameWithBrowserTabs& operator=(const CFrameWithBrowserTabs&) = delete;

    CMainFrame& Frame() const { return *m_frame; }
    HWND Window() const { return m_window; }
    HWND Open(const char* url, DWORD flags) const
    {
        return reinterpret_cast<HWND>(::SendMessageA(m_window, kOpenUrlMessage, reinterpret_cast<WPARAM>(url), flags));
    }
    HWND Active() const
    {
        return reinterpret_cast<HWND>(::SendMessageA(m_frame->GetMdiClientWindow(), WM_MDIGETACTIVE, 0, 0));
    }

    // The strip's record of a tab window, null when the strip has none.
    CTabItem* StripItem(HWND tab) const
    {
        IMdiTabOwner* owner = m_frame->GetTabOwner();
        ITabCtrlInterface* strip = owner ? owner->GetTabCtrl() : nullptr;
        for (int i = 0; strip && i < strip->GetItemCount(); ++i)
            if (CTabItem* item = strip->GetItem(i); item && item->GetViewWindow() == tab)
                return item;
        return nullptr;
    }
    int StripCount() const
    {
        IMdiTabOwner* owner = m_frame->GetTabOwner();
        ITabCtrlInterface* strip = owner ? owner->GetTabCtrl() : nullptr;
        return strip ? strip->GetItemCount() : -1;
    }
    std::string StripText(HWND tab) const
    {
        const CTabItem* item = StripItem(tab);
        return item ? item->GetText().c_str() : "<no tab>";
    }
    std::string StripToolTip(HWND tab) const
    {
        const CTabItem* item = StripItem(tab);
        return item ? item->GetToolTip().c_str() : "<no tab>";
    }
    int StripImage(HWND tab) const
    {
        const CTabItem* item = StripItem(tab);
        return item ? item->GetImageIndex() : -100;
    }

    // What the status bar's pane with this id shows.
    std::string PaneText(int paneId) const
    {
        const HWND bar = m_frame->GetStatusBar().m_hWnd;
        const int index = m_frame->GetStatusBar().GetPaneIndexFromId(paneId);
        if (!bar || index < 0)
            return "<no pane>";
        const int length = LOWORD(::SendMessageA(bar, SB_GETTEXTLENGTHA, index, 0));
        std::string text(static_cast<size_t>(length) + 1, '\0');
        ::SendMessageA(bar, SB_GETTEXTA, index, reinterpret_cast<LPARAM>(text.data()));
        text.resize(static_cast<size_t>(length));
        return text;
    }
    // The tooltip of an icon pane (its text would not fit beside the icon).
    std::string PaneToolTip(int paneId) const
    {
        const int index = m_frame->GetStatusBar().GetPaneIndexFromId(paneId);
        if (index < 0)
            return "<no pane>";
        char text[256] = {};
        ::SendMessageA(m_frame->GetStatusBar().m_hWnd, SB_GETTIPTEXTA, MAKEWPARAM(index, sizeof(text)),
                       reinterpret_cast<LPARAM>(text));
        return text;
    }
    HICON PaneIcon(int paneId) const
    {
        const int index = m_frame->GetStatusBar().GetPaneIndexFromId(paneId);
        return index < 0 ? nullptr
                         : reinterpret_cast<HICON>(::SendMessageA(m_frame->GetStatusBar().m_hWnd, SB_GETICON, index, 0));
    }

    // A double click in the middle of a pane, as the user gives it; the pane's command is posted.
    bool DoubleClickPane(int paneId) const
    {
        const HWND bar = m_frame->GetStatusBar().m_hWnd;
        const int index = m_frame->GetStatusBar().GetPaneIndexFromId(paneId);
        RECT pane = {};
        if (index < 0 || !::SendMessageA(bar, SB_GETRECT, index, reinterpret_cast<LPARAM>(&pane)))
            return false;
        ::SendMessageA(bar, WM_LBUTTONDBLCLK, 0, MAKELPARAM((pane.left + pane.right) / 2, (pane.top + pane.bottom) / 2));
        return true;
    }

    // The progress bar lies inside the status bar's second part.
    bool ProgressOverSecondPane() const
    {
        const HWND bar = m_frame->GetStatusBar().m_hWnd;
        RECT pane = {};
        RECT progress = {};
        if (!::SendMessageA(bar, SB_GETRECT, 1, reinterpret_cast<LPARAM>(&pane)) ||
            !::GetWindowRect(m_frame->GetProgressBar(), &progress))
            return false;
        ::MapWindowPoints(nullptr, bar, reinterpret_cast<POINT*>(&progress), 2);
        return progress.left >= pane.left && progress.top >= pane.top && progress.right <= pane.right &&
               progress.bottom <= pane.bottom && progress.right > progress.left && progress.bottom > progress.top;
    }
    bool ProgressShown() const { return ::IsWindowVisible(m_frame->GetProgressBar()) != FALSE; }
    LRESULT ProgressRange() const { return ::SendMessageA(m_frame->GetProgressBar(), PBM_GETRANGE, FALSE, 0); }
    LRESULT ProgressPosition() const { return ::SendMessageA(m_frame->GetProgressBar(), PBM_GETPOS, 0, 0); }

    // Back and Forward as the frame's idle pass leaves them in the command-state map.
    std::pair<bool, bool> BackForwardEnabled() const
    {
        m_frame->OnIdle();
        const CDynamicUpdateUI& states = *GetCommandStateMap();
        return {(states.UIGetState(ID_FRAME_BACK) & kUpdateUIDisabled) == 0,
                (states.UIGetState(ID_FRAME_FORWARD) & kUpdateUIDisabled) == 0};
    }

    // Back and Forward on the rebar's toolbar that has them.
    std::pair<bool, bool> ToolBarBackForwardEnabled() const
    {
        const HWND rebar = m_frame->GetReBar();
        const int count = static_cast<int>(::SendMessageA(rebar, RB_GETBANDCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            REBARBANDINFOA band = {sizeof(band)};
            band.fMask = RBBIM_CHILD;
            if (!::SendMessageA(rebar, RB_GETBANDINFOA, i, reinterpret_cast<LPARAM>(&band)) || !band.hwndChild)
                continue;
            if (::SendMessageA(band.hwndChild, TB_COMMANDTOINDEX, ID_FRAME_BACK, 0) < 0)
                continue;
            return {::SendMessageA(band.hwndChild, TB_ISBUTTONENABLED, ID_FRAME_BACK, 0) != 0,
                    ::SendMessageA(band.hwndChild, TB_ISBUTTONENABLED, ID_FRAME_FORWARD, 0) != 0};
        }
        return {false, false};
    }

    CRecordingShell m_shell;
    CAnsweringMessageBoxes m_boxes;
    CAnsweringQuestions m_questions;  // the exit question, the reminder and the session choice

private:
    CScopedFrameShell m_shellScope{m_shell};
    CScopedMessageBoxes m_boxesScope{m_boxes};
    CScopedFrameQuestions m_questionsScope{m_questions};
    HWND m_window = nullptr;
    CMainFrame* m_frame = nullptr;  // not owned: the window's object
};

// Paints the window and its children now, dispatching paint messages only; the last look into the
// queue, which finds none, puts what was painted on the screen.
void PaintNow(HWND window)
{
    ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
    MSG message;
    while (::PeekMessageA(&message, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE))
        ::DispatchMessageA(&message);
}

std::string WindowText(HWND window)
{
    char text[512] = {};
    ::GetWindowTextA(window, text, sizeof(text));
    return text;
}

class MainFrameWithBrowserTabs : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_engine.IsRegistered());
        ResetFrameSettings();
        ResetFrameLayout();
        // Start pages already handled: the after-create opens nothing more.
        GetSettings()->PreviousRunState = 1;
        m_engine.AddPage(kPage, {L"Example Domain", L"Done", 4, {}});
        m_engine.AddPage(kSecond, {L"Second page of the example", L"", 0, {}});
        m_engine.AddPage(kPopupPage, {L"Popup", L"", 0, {}});
        m_engine.AddPage(kClosedPage, {L"Closed page", L"", 0, {}});
        m_icons.icons["http://www.example.com/"] = kPageSiteIcon;
        m_frame = std::make_unique<CFrameWithBrowserTabs>();
        ASSERT_NE(m_frame->Window(), nullptr);
        Pump();  // the after-create message
        m_engine.PumpUntilIdle();
    }
    void TearDown() override
    {
        // The frame goes first, and with it every tab; the engines it made stay with the double.
        m_frame.reset();
        PumpPendingMessages();
        GetMainFrameData().m_scriptErrors.clear();
        ResetFrameSettings();
    }

    CBrowserView* ViewOf(HWND tab) const { return CBrowserView::FromWindow(tab); }
    CFakeBrowser* EngineOf(HWND tab)
    {
        CBrowserView* view = ViewOf(tab);
        return view ? m_engine.FindBrowser(view->GetWebBrowser()) : nullptr;
    }
    // Lets the engine load what it was asked for, and the frame take the tabs' posted reports.
    void Load()
    {
        m_engine.PumpUntilIdle();
        Pump();
    }

    CFakeEngine m_engine;
    CKnownSiteIcons m_icons;
    std::unique_ptr<CFrameWithBrowserTabs> m_frame;
};

} // namespace

TEST_F(MainFrameWithBrowserTabs, OpenedUrlMakesABrowserTabWhoseEventsDriveTheFrame)
{
    CFrameWithBrowserTabs& test = *m_frame;
    CMainFrame& frame = test.Frame();
    // The frame's first tab is a browser tab of its own, hosting an engine.
    const HWND first = test.Active();
    ASSERT_NE(ViewOf(first), nullptr);
    ASSERT_EQ(frame.GetTabs().size(), 1u);
    EXPECT_EQ(test.BackForwardEnabled(), std::make_pair(false, false));

    // The URL goes to the blank tab, which hosts the engine and asks it for the page.
    const HWND tab = test.Open("http://www.example.com/", 0);
    ASSERT_EQ(tab, first);
    CFakeBrowser* engine = EngineOf(tab);
    ASSERT_NE(engine, nullptr);
    EXPECT_TRUE(engine->HasSite());
    EXPECT_TRUE(::IsChild(tab, engine->TopWindow()));
    EXPECT_EQ(engine->ambientDownloadControl, static_cast<long>(GetSettings()->DLCtrlFlags.value));
    ASSERT_TRUE(engine->IsLoading());
    ASSERT_FALSE(engine->navigations.empty());
    EXPECT_EQ(engine->navigations.back(), kPage);

    // While the page loads: the loading frames in the strip and the bar over the status bar.
    struct Step {
        long progress, maximum;
        int frame;
    };
    const Step steps[] = {{10, 100, 0}, {30, 100, 1}, {60, 100, 2}, {90, 100, 3}};
    for (const Step& s : steps) {
        SCOPED_TRACE(s.progress);
        engine->FireProgress(s.progress, s.maximum);
        EXPECT_EQ(test.StripImage(tab), s.frame);
        EXPECT_TRUE(test.ProgressShown());
        EXPECT_TRUE(test.ProgressOverSecondPane());
        EXPECT_EQ(test.ProgressRange(), s.maximum);
        EXPECT_EQ(test.ProgressPosition(), s.progress);
    }
    // The picture of the loading page takes only paint messages: the rest of the queue holds the load.
    PaintNow(test.Window());
    ASSERT_TRUE(engine->IsLoading());
    RECT rect = {};
    ::GetWindowRect(test.Window(), &rect);
    std::string path;
    EXPECT_TRUE(kivo_test::WriteScreenRect(rect, "main-frame-browser-tab-loading.bmp", path)) << path;

    // The page has loaded: its title labels the tab (whole while it fits), the site icon stands
    // for the loading frames, the bar is gone, the status text and the lock pane are the page's.
    Load();
    EXPECT_EQ(engine->LocationUrl(), kPage);
    EXPECT_EQ(test.StripText(tab), "Example Domain");
    EXPECT_EQ(test.StripToolTip(tab), "Example Domain");
    EXPECT_EQ(WindowText(tab), "Example Domain");
    EXPECT_EQ(WindowText(test.Window()), "Example Domain - Kivo Browser");
    EXPECT_EQ(test.StripImage(tab), kPageSiteIcon);
    EXPECT_FALSE(test.ProgressShown());
    EXPECT_EQ(test.PaneText(0), "Done");
    // The lock and privacy panes are an icon wide: their texts are the icons' tooltips.
    EXPECT_EQ(test.PaneToolTip(ID_PANE_SECURE), "SSL Protected (56 Bit)");
    EXPECT_EQ(test.PaneText(ID_PANE_SECURE), "");
    EXPECT_NE(test.PaneIcon(ID_PANE_SECURE), nullptr);
    // The blank page it replaced is behind it in the history.
    EXPECT_EQ(test.BackForwardEnabled(), std::make_pair(true, false));

    // The privacy pane follows the page's privacy reports.
    VARIANT impacted;
    ::VariantInit(&impacted);
    impacted.vt = VT_BOOL;
    for (const bool on : {true, false}) {
        SCOPED_TRACE(on);
        impacted.boolVal = on ? VARIANT_TRUE : VARIANT_FALSE;
        engine->Fire(DISPID_PRIVACYIMPACTEDSTATECHANGE, {impacted});
        EXPECT_EQ(test.PaneToolTip(ID_PANE_AD_FILTER), on ? "Privacy Report" : "");
        EXPECT_EQ(test.PaneText(ID_PANE_AD_FILTER), "");
        EXPECT_EQ(test.PaneIcon(ID_PANE_AD_FILTER) != nullptr, on);
    }
    // The page's status texts reach the first pane.
    engine->FireStatusText(L"Opening the picture");
    EXPECT_EQ(test.PaneText(0), "Opening the picture");

    // The next page through the frame: a long title is cut for the strip and kept whole in the
    // tooltip; no site icon is known for it; a page without a lock clears the lock pane.
    ASSERT_EQ(test.Open("http://www.example.com/second.html", 0), tab);
    Load();
    EXPECT_EQ(test.StripText(tab), "Second page o...");
    EXPECT_EQ(test.StripToolTip(tab), "Second page of the example");
    EXPECT_EQ(WindowText(test.Window()), "Second page of the example - Kivo Browser");
    EXPECT_EQ(test.StripImage(tab), -1);
    EXPECT_EQ(test.PaneToolTip(ID_PANE_SECURE), "");
    EXPECT_EQ(test.PaneIcon(ID_PANE_SECURE), nullptr);
    EXPECT_EQ(test.BackForwardEnabled(), std::make_pair(true, false));

    // The frame's Back and Forward reach the tab's engine, and their states follow its history
    // down to the blank page it began with.
    struct Move {
        UINT command;
        const wchar_t* location;
        bool back, forward;
    };
    const Move moves[] = {{ID_FRAME_BACK, kPage, true, true},
                          {ID_FRAME_BACK, L"about:blank", false, true},
                          {ID_FRAME_FORWARD, kPage, true, true},
                          {ID_FRAME_FORWARD, kSecond, true, false}};
    for (const Move& m : moves) {
        SCOPED_TRACE(testing::Message() << m.command << " to " << m.location);
        ::SendMessageA(test.Window(), WM_COMMAND, MAKEWPARAM(m.command, 0), 0);
        Load();
        EXPECT_EQ(engine->LocationUrl(), m.location);
        EXPECT_EQ(test.BackForwardEnabled(), std::make_pair(m.back, m.forward));
        EXPECT_EQ(test.ToolBarBackForwardEnabled(), std::make_pair(m.back, m.forward));
    }
    EXPECT_EQ(test.StripText(tab), "Second page o...");
}

TEST_F(MainFrameWithBrowserTabs, EachTabOfTheFrameKeepsItsOwnStateAndThePictureShowsTwo)
{
    CFrameWithBrowserTabs& test = *m_frame;
    const HWND first = test.Open("http://www.example.com/", 0);
    Load();
    const HWND second = test.Open("http://www.example.com/second.html", kOpenNewTab);
    ASSERT_NE(second, nullptr);
    ASSERT_NE(second, first);
    Load();
    ASSERT_NE(ViewOf(second), nullptr);
    EXPECT_EQ(test.Frame().GetTabs().size(), 2u);
    EXPECT_EQ(test.StripCount(), 2);
    EXPECT_EQ(test.Active(), second);
    EXPECT_EQ(EngineOf(second)->LocationUrl(), kSecond);
    EXPECT_EQ(test.StripText(first), "Example Domain");
    EXPECT_EQ(test.StripText(second), "Second page o...");
    EXPECT_EQ(WindowText(test.Frame().GetAddressBarEdit()), "http://www.example.com/second.html");

    // The panes show the active tab's state; a background tab's status text waits in its store.
    EngineOf(second)->FireStatusText(L"Second tab's text");
    EngineOf(first)->FireStatusText(L"First tab's text");
    EXPECT_EQ(test.PaneText(0), "Second tab's text");
    EXPECT_STREQ(GetTabTextStore().GetText(first), "First tab's text");
    EXPECT_EQ(test.PaneToolTip(ID_PANE_SECURE), "");
    EXPECT_EQ(test.BackForwardEnabled(), std::make_pair(false, false));
    ::SendMessageA(test.Frame().GetMdiClientWindow(), WM_MDIACTIVATE, reinterpret_cast<WPARAM>(first), 0);
    Pump();
    EXPECT_EQ(test.Active(), first);
    EXPECT_EQ(WindowText(test.Frame().GetAddressBarEdit()), "http://www.example.com/");
    EXPECT_EQ(test.PaneText(0), "First tab's text");
    EXPECT_EQ(WindowText(test.Window()), "Example Domain - Kivo Browser");
    EXPECT_EQ(test.PaneToolTip(ID_PANE_SECURE), "SSL Protected (56 Bit)");
    EngineOf(first)->FireStatusText(L"Done");
    // The idle pass that the program's message loop runs brings the toolbar up to date.
    EXPECT_EQ(test.BackForwardEnabled(), std::make_pair(true, false));

    ::SetWindowPos(test.Window(), HWND_TOP, 0, 0, 800, 560, SWP_SHOWWINDOW);
    ::RedrawWindow(test.Window(), nullptr, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
    Pump();
    RECT rect = {};
    ::GetWindowRect(test.Window(), &rect);
    std::string path;
    EXPECT_TRUE(kivo_test::WriteScreenRect(rect, "main-frame-browser-tabs.bmp", path)) << path;
}

TEST_F(MainFrameWithBrowserTabs, PageMadeWindowBecomesATabOfTheFrameAndThePopupTestClosesIt)
{
    CFrameWithBrowserTabs& test = *m_frame;
    const HWND opener = test.Open("http://www.example.com/", 0);
    Load();
    ASSERT_NE(ViewOf(opener), nullptr);
    CSettings& settings = *GetSettings();
    ASSERT_TRUE(settings.BlockerFlags & BlockerFlag::PopupBlocker);
    const int closedBefore = test.Frame().GetRecentClosedList().GetCount();
    const DWORD blockedBefore = settings.BlockedPopup;
    const int loggedBefore = settings.PopupLog.GetCount();
    struct Case {
        const char* name;
        bool click;
        bool blocked;
    };
    const Case cases[] = {{"no click in the opener", false, true}, {"after a click in the opener", true, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.click)
            ViewOf(opener)->NotifyPageMouseButton();
        CFakeBrowser* popup = EngineOf(opener)->OpenPopup(kPopupPage);
        // The window is a tab of the frame at once, in its map and its strip, whatever the test says.
        ASSERT_NE(popup, nullptr);
        const HWND popupTab = ::GetParent(popup->SiteWindow());
        ASSERT_NE(ViewOf(popupTab), nullptr);
        EXPECT_EQ(::GetParent(popupTab), test.Frame().GetMdiClientWindow());
        EXPECT_EQ(test.Frame().GetTabs().count(popupTab), 1u);
        EXPECT_NE(test.StripItem(popupTab), nullptr);
        EXPECT_EQ(popup->ambientDownloadControl, EngineOf(opener)->ambientDownloadControl);
        if (c.blocked) {
            // Cancelled at its first navigation, announced, counted and logged, then closed; it
            // leaves nothing to reopen.
            EXPECT_EQ(test.PaneText(0), kPopupNoticeText);
            ASSERT_TRUE(PumpMessagesUntil([popupTab] { return !::IsWindow(popupTab); }));
            Pump();
            EXPECT_NE(popup->LocationUrl(), kPopupPage);
            EXPECT_EQ(test.Frame().GetTabs().size(), 1u);
            EXPECT_EQ(test.StripCount(), 1);
            EXPECT_EQ(test.Active(), opener);
            EXPECT_EQ(settings.BlockedPopup, blockedBefore + 1);
            ASSERT_EQ(settings.PopupLog.GetCount(), loggedBefore + 1);
            const BlockedLogEntry& entry = settings.PopupLog.GetAt(settings.PopupLog.GetCount() - 1);
            EXPECT_EQ(std::string(entry.text2.c_str()), "http://www.example.com/");
            EXPECT_EQ(std::string(entry.text3.c_str()), "http://ads.example.net/popup.html");
            EXPECT_EQ(test.Frame().GetRecentClosedList().GetCount(), closedBefore);
        } else {
            Load();
            EXPECT_TRUE(::IsWindow(popupTab));
            EXPECT_EQ(popup->LocationUrl(), kPopupPage);
            EXPECT_EQ(test.Frame().GetTabs().size(), 2u);
            EXPECT_EQ(test.StripCount(), 2);
            EXPECT_EQ(test.StripText(popupTab), "Popup");
            EXPECT_EQ(settings.BlockedPopup, blockedBefore + 1);
        }
    }
}

TEST_F(MainFrameWithBrowserTabs, ClosedTabIsKeptForReopeningAndClosingTheFrameSavesItsPagesAndEndsEveryEngine)
{
    CFrameWithBrowserTabs& test = *m_frame;
    CSettings& settings = *GetSettings();
    const HWND first = test.Open("http://www.example.com/", 0);
    Load();
    const HWND second = test.Open("http://www.example.com/second.html", kOpenNewTab);
    Load();
    const HWND closing = test.Open("http://www.example.com/closed.html", kOpenNewTab);
    Load();
    ASSERT_TRUE(first && second && closing);
    std::vector<CFakeBrowser*> engines = {EngineOf(first), EngineOf(second), EngineOf(closing)};
    for (CFakeBrowser* engine : engines)
        ASSERT_NE(engine, nullptr);

    // A tab that closes leaves the frame's map and strip, ends its engine and becomes the newest
    // recently closed page, once, with its title.
    const int closedBefore = test.Frame().GetRecentClosedList().GetCount();
    ::SendMessageA(closing, WM_CLOSE, 0, 0);
    ASSERT_TRUE(PumpMessagesUntil([closing] { return !::IsWindow(closing); }));
    Pump();
    EXPECT_EQ(test.Frame().GetTabs().size(), 2u);
    EXPECT_EQ(test.StripCount(), 2);
    EXPECT_NE(test.Active(), nullptr);
    EXPECT_TRUE(engines[2]->closed);
    const CRecentClosedList& closed = test.Frame().GetRecentClosedList();
    ASSERT_EQ(closed.GetCount(), std::min(closedBefore + 1, closed.GetMaxEntries()));
    EXPECT_STREQ(closed.GetEntries().back().title.c_str(), "Closed page");
    EXPECT_STREQ(closed.GetEntries().back().url.c_str(), "http://www.example.com/closed.html");

    // Closing the frame saves the open pages in tab order with their titles, adds none of them to
    // the recently closed pages, and ends every engine and the message loop.
    const HWND window = test.Window();
    ::PostMessageA(window, WM_CLOSE, 0, 0);
    ASSERT_TRUE(PumpMessagesUntil([window] { return !::IsWindow(window); }));
    EXPECT_EQ(TakeQuitCode(), 1);
    ASSERT_EQ(settings.LastOpenSites.size(), 2u);
    EXPECT_STREQ(settings.LastOpenSites[0].url.c_str(), "http://www.example.com/");
    EXPECT_STREQ(settings.LastOpenSites[0].title.c_str(), "Example Domain");
    EXPECT_STREQ(settings.LastOpenSites[1].url.c_str(), "http://www.example.com/second.html");
    EXPECT_STREQ(settings.LastOpenSites[1].title.c_str(), "Second page of the example");
    for (CFakeBrowser* engine : engines)
        EXPECT_TRUE(engine->closed);
    CRegistryKey key;
    ASSERT_TRUE(GetCurrentApp()->GetSectionKey(kRecentClosedKey, key));
    TStdStr<char> newest;
    ASSERT_TRUE(key.QueryStringValue("OpenName1", newest));
    EXPECT_STREQ(newest.c_str(), "http://www.example.com/closed.html");
}

TEST_F(MainFrameWithBrowserTabs, PageOpenedInTheBackgroundLeavesTheFrameShowingTheActiveTab)
{
    CFrameWithBrowserTabs& test = *m_frame;
    const HWND first = test.Open("http://www.example.com/", 0);
    Load();
    const HWND background = test.Open("http://www.example.com/second.html", kOpenNewTab | kOpenInBackground);
    ASSERT_NE(background, nullptr);
    ASSERT_NE(background, first);
    Load();
    // The new tab loaded its page behind the active one: only its own label tells.
    EXPECT_EQ(EngineOf(background)->LocationUrl(), kSecond);
    EXPECT_EQ(test.StripCount(), 2);
    EXPECT_EQ(test.StripText(background), "Second page o...");
    EXPECT_EQ(test.Active(), first);
    EXPECT_EQ(WindowText(test.Window()), "Example Domain - Kivo Browser");
    EXPECT_EQ(WindowText(test.Frame().GetAddressBarEdit()), "http://www.example.com/");
    EXPECT_EQ(test.PaneText(0), "Done");
    EXPECT_EQ(test.PaneToolTip(ID_PANE_SECURE), "SSL Protected (56 Bit)");
    EXPECT_FALSE(test.ProgressShown());
    EXPECT_EQ(test.BackForwardEnabled(), std::make_pair(true, false));
    // Its later events leave the frame's panes to the active tab.
    EngineOf(background)->FireStatusText(L"Behind");
    EngineOf(background)->FireProgress(20, 100);
    EngineOf(background)->FireSecureLock(0);
    EXPECT_EQ(test.PaneText(0), "Done");
    EXPECT_FALSE(test.ProgressShown());
    EXPECT_EQ(test.PaneToolTip(ID_PANE_SECURE), "SSL Protected (56 Bit)");
    EXPECT_EQ(test.StripImage(background), 0);
    EXPECT_EQ(test.StripImage(first), kPageSiteIcon);
}

namespace {

// The popup under the menu bar's item whose text starts with `text`, then under that popup's.
HMENU SubMenuByText(HMENU menu, const std::vector<std::string>& path)
{
    for (const std::string& text : path) {
        HMENU next = nullptr;
        for (int i = 0; menu && i < ::GetMenuItemCount(menu) && !next; ++i) {
            char item[128] = {};
            ::GetMenuStringA(menu, i, item, sizeof(item), MF_BYPOSITION);
            if (text == item)
                next = ::GetSubMenu(menu, i);
        }
        menu = next;
    }
    return menu;
}

bool IsItemChecked(HMENU menu, UINT id)
{
    return (::GetMenuState(menu, id, MF_BYCOMMAND) & MF_CHECKED) != 0;
}

} // namespace

// View > Encoding shows the active page's character set checked, and choosing another tells the
// page's document and reads the page again from the cache where it has not expired.
TEST_F(MainFrameWithBrowserTabs, EncodingMenuChecksThePagesCharsetAndChoosingOneSetsItAndRefreshes)
{
    constexpr wchar_t kGreekPage[] = L"http://www.example.com/greek.html";
    FakePage greek{L"Greek page", L"", 0, {}};
    greek.charset = L"WINDOWS-1253";  // the engine's spelling may differ in case
    m_engine.AddPage(kGreekPage, greek);
    CFrameWithBrowserTabs& test = *m_frame;
    const HWND tab = test.Open("http://www.example.com/greek.html", 0);
    Load();
    ASSERT_EQ(test.Active(), tab);
    CFakeBrowser* engine = EngineOf(tab);
    ASSERT_NE(engine, nullptr);

    constexpr UINT kWestern = ID_FRAME_ENCODING_FIRST + 7;  // "Western European (Windows)"
    constexpr UINT kGreek = ID_FRAME_ENCODING_FIRST + 16;   // "Greek (Windows)"
    HMENU encoding = SubMenuByText(test.Frame().GetMenuBarMenu(), {"&View", "Enco&ding"});
    ASSERT_NE(encoding, nullptr);
    ::SendMessageA(test.Window(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(encoding), 0);
    EXPECT_TRUE(IsItemChecked(encoding, kGreek));
    EXPECT_FALSE(IsItemChecked(encoding, kWestern));

    const int refreshes = engine->refresh2Count;
    ::SendMessageA(test.Window(), WM_COMMAND, MAKEWPARAM(kWestern, 0), 0);
    EXPECT_EQ(engine->refresh2Count, refreshes + 1);
    EXPECT_EQ(engine->lastRefreshLevel, static_cast<long>(REFRESH_IFEXPIRED));
    ::SendMessageA(test.Window(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(encoding), 0);
    EXPECT_TRUE(IsItemChecked(encoding, kWestern));
    EXPECT_FALSE(IsItemChecked(encoding, kGreek));
}

TEST_F(MainFrameWithBrowserTabs, PrivacyReportAndSecurityReportComeFromTheMenuAndTheStatusPanes)
{
    CFrameWithBrowserTabs& test = *m_frame;
    const HWND tab = test.Open("http://www.example.com/", 0);
    Load();
    ASSERT_EQ(test.Active(), tab);
    CFakeBrowser* engine = EngineOf(tab);
    ASSERT_NE(engine, nullptr);

    // The menu's item and a double click on the privacy pane show the report for the active page, over
    // the frame.
    ::SendMessageA(test.Window(), WM_COMMAND, MAKEWPARAM(ID_FRAME_PRIVACY_REPORT, 0), 0);
    ASSERT_TRUE(test.DoubleClickPane(ID_PANE_AD_FILTER));
    Pump();
    ASSERT_EQ(test.m_shell.m_privacyReports.size(), 2u);
    for (const auto& report : test.m_shell.m_privacyReports) {
        EXPECT_EQ(report.parent, test.Window());
        EXPECT_EQ(report.url, kPage);
        EXPECT_FALSE(report.withRecords);  // the double keeps no cookie records
    }
    EXPECT_TRUE(test.m_boxes.m_texts.empty());

    // A system without the report says so.
    test.m_shell.m_privacyReportShown = false;
    ::SendMessageA(test.Window(), WM_COMMAND, MAKEWPARAM(ID_FRAME_PRIVACY_REPORT, 0), 0);
    ASSERT_EQ(test.m_boxes.m_texts.size(), 1u);
    EXPECT_EQ(test.m_boxes.m_texts[0], "The privacy report is not available on this system.");

    // A double click on the lock pane asks the page's engine for its security report.
    ASSERT_TRUE(engine->groupCommands.empty());
    ASSERT_TRUE(test.DoubleClickPane(ID_PANE_SECURE));
    Pump();
    ASSERT_EQ(engine->groupCommands.size(), 1u);
    EXPECT_TRUE(IsEqualGUID(engine->groupCommands[0].group, CGID_ShellDocView));
    EXPECT_EQ(engine->groupCommands[0].id, 33u);
}

// Wine's shell library names the privacy report's function but only as a stub whose call ends the
// program; the system shell knows there is no report there.
TEST(SystemFrameShell, ThePrivacyReportUnderWineIsNotThereAndAskingForItEndsNothing)
{
    EXPECT_FALSE(GetFrameShell().ShowPrivacyReport(nullptr, L"http://www.example.com/", nullptr));
}
