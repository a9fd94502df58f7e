// What the page tools do through a tab under Wine with the engine double: a closing tab hands its
// web page to the recently closed pages, and the auto-refresh dialog sets the tab's interval.
#include "browser/BrowserResources.h"
#include "browser/BrowserView.h"
#include "browser/tests/BrowserTestHost.h"
#include "browser/tools/AutoRefreshDlg.h"
#include "browser/tools/ClosedPageSink.h"
#include "browser/tools/PageCommands.h"
#include "core/system/Clipboard.h"
#include "core/app/Settings.h"
#include "frame/MainFrameData.h"

#include "controls/tests/Screenshot.h"
#include "tests/engine/FakeEngine.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

class CRecordingClosedPages final : public IClosedPageSink {
public:
    CRecordingClosedPages() : m_previous(SetClosedPageSink(this)) {}
    ~CRecordingClosedPages() override { SetClosedPageSink(m_previous); }
    CRecordingClosedPages(const CRecordingClosedPages&) = delete;
    CRecordingClosedPages& operator=(const CRecordingClosedPages&) = delete;
    void AddClosedPage(const char* title, const char* url) override { pages.emplace_back(title, url); }

    std::vector<std::pair<std::string, std::string>> pages;

private:
    IClosedPageSink* m_previous;  // not owned
};

class TabTools : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_engine.IsRegistered());
        InstallBrowserTabFactory();
        m_engine.AddPage(L"http://www.example.com/", {L"Example Domain", L"", 0, {}});
        m_engine.AddPage(L"ftp://ftp.example.com/pub/", {L"Index of /pub", L"", 0, {}});
        m_engine.AddPage(L"file:///C:/pages/local.html", {L"A local page", L"", 0, {}});
    }
    void TearDown() override { GetMainFrameData().m_scriptErrors.clear(); }

    CBrowserView* Open(const char* url)
    {
        IBrowserTab* tab = GetBrowserTabFactory()->CreateBrowserTab(m_host.GetMdiClientWindow(), nullptr, url, 0x70);
        m_engine.PumpUntilIdle();
        PumpPendingMessages();
        return tab ? CBrowserView::FromWindow(tab->GetTabWindow()) : nullptr;
    }
    static bool Close(CBrowserView* view)
    {
        const HWND tab = view->GetTabWindow();
        ::SendMessageA(tab, WM_COMMAND, MAKEWPARAM(ID_BROWSER_CLOSE, 0), 0);
        return PumpMessagesUntil([tab] { return !::IsWindow(tab); });
    }

    CFakeEngine m_engine;
    CTestBrowserHost m_host;
};

} // namespace

TEST_F(TabTools, ClosingTabHandsOnlyItsWebPageToTheRecentlyClosedPages)
{
    CRecordingClosedPages closed;
    const struct {
        const char* url;
        bool kept;
    } cases[] = {
        {"http://www.example.com/", true},
        {"ftp://ftp.example.com/pub/", true},
        {"", false},  // about:blank
        {"file:///C:/pages/local.html", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.url);
        closed.pages.clear();
        CBrowserView* view = Open(c.url);
        ASSERT_NE(view, nullptr);
        const std::string title = view->GetTitle();
        ASSERT_TRUE(Close(view));
        if (c.kept) {
            ASSERT_EQ(closed.pages.size(), 1u);
            EXPECT_EQ(closed.pages[0].first, title);
            EXPECT_FALSE(title.empty());
            EXPECT_EQ(closed.pages[0].second, c.url);
        } else {
            EXPECT_TRUE(closed.pages.empty());
        }
    }
}

namespace {

// What the test does in the auto-refresh dialog once it shows: type the text, press the button.
struct AutoRefreshInput {
    const char* text;
    UINT button;
    bool screenshot;
};
AutoRefreshInput g_input = {};
bool g_dialogSeen = false;
bool g_stayedOpenAfterOk = false;
std::string g_label;

void CALLBACK AnswerAutoRefreshDialog(HWND, UINT, UINT_PTR, DWORD)
{
    HWND dialog = ::FindWindowA("#32770", "Set Auto Refresh Frequency");
    DWORD process = 0;
    if (!dialog || (::GetWindowThreadProcessId(dialog, &process), process != ::GetCurrentProcessId()) ||
        !::IsWindowVisible(dialog) || ::GetPropA(dialog, "KivoTestAnswered"))
        return;
    ::SetPropA(dialog, "KivoTestAnswered", reinterpret_cast<HANDLE>(1));
    g_dialogSeen = true;
    char label[128] = "";
    ::GetDlgItemTextA(dialog, IDC_AUTO_REFRESH_LABEL, label, sizeof(label));
    g_label = label;
    ::SetDlgItemTextA(dialog, IDC_AUTO_REFRESH_SECONDS, g_input.text);
    if (g_input.screenshot) {
        ::UpdateWindow(dialog);
        ::RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        std::string path;
        kivo_test::WriteWindowScreenshot(dialog, "auto-refresh-dialog.bmp", path);
    }
    ::SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(g_input.button, BN_CLICKED), 0);
    // A text that is no number keeps the dialog open: it is then cancelled.
    g_stayedOpenAfterOk = g_input.button == IDOK && ::IsWindow(dialog) && ::IsWindowVisible(dialog);
    if (g_stayedOpenAfterOk)
        ::SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
}

} // namespace

TEST_F(TabTools, AutoRefreshDialogStoresTheTypedPeriodAndTheTabFollowsIt)
{
    CBrowserView* view = Open("http://www.example.com/");
    ASSERT_NE(view, nullptr);
    const int saved = GetSettings()->AutoRefresh;
    const struct {
        AutoRefreshInput input;
        int stored;       // the setting afterwards
        UINT intervalMs;  // the tab's timer afterwards (0: none)
        bool stayedOpen;
    } cases[] = {
        {{"90", IDOK, true}, 90, 90000, false},
        {{"30", IDCANCEL, false}, 90, 90000, false},  // Cancel changes nothing
        {{"", IDOK, false}, 90, 90000, true},         // no number: a beep, and the dialog stays
        {{"0", IDOK, false}, 0, 0, false},
        {{"-5", IDOK, false}, -5, 0, false},
        // Beyond the longest timer: kept as typed, and the tab's timer takes its longest period.
        {{"3000000", IDOK, false}, 3000000, USER_TIMER_MAXIMUM / 1000 * 1000, false},
    };
    GetSettings()->AutoRefresh = 15;
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 50, &AnswerAutoRefreshDialog);
    ASSERT_NE(timer, 0u);
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string("typed \"") + c.input.text + "\" button " + std::to_string(c.input.button));
        g_input = c.input;
        g_dialogSeen = false;
        g_stayedOpenAfterOk = false;
        ::SendMessageA(view->GetTabWindow(), WM_COMMAND, MAKEWPARAM(ID_AUTOREFRESH_DIALOG, 0), 0);
        EXPECT_TRUE(g_dialogSeen);
        EXPECT_EQ(g_label, "&Please specify auto-refreshing frequency in seconds:");
        EXPECT_EQ(g_stayedOpenAfterOk, c.stayedOpen);
        EXPECT_EQ(static_cast<int>(GetSettings()->AutoRefresh), c.stored);
        EXPECT_EQ(view->Host().GetAutoRefreshMs(), c.intervalMs);
        EXPECT_EQ(view->Host().HasAutoRefreshTimer(), c.intervalMs != 0);
    }
    ::KillTimer(nullptr, timer);
    GetSettings()->AutoRefresh = saved;
}

TEST_F(TabTools, ZoomCommandsRunTheirScriptsInThePageWindowAndCopyTakesTheAddressOrTitle)
{
    CBrowserView* view = Open("http://www.example.com/");
    ASSERT_NE(view, nullptr);
    CFakeBrowser* engine = m_engine.FindBrowser(view->GetWebBrowser());
    ASSERT_NE(engine, nullptr);
    const struct {
        UINT command;
        const wchar_t* script;
    } cases[] = {
        {38020, L"document.body.style.zoom=0.5"},
        {38021, L"document.body.style.zoom=0.8"},
        {38022, L"document.body.style.zoom=1"},
        {38023, L"document.body.style.zoom=1.5"},
        {38024, L"document.body.style.zoom=2.0"},
        {38028, L"if(document.body.style.zoom==''){document.body.style.zoom=1.1}else{document.body.style.zoom*=1.1}"},
        {38029, L"if(document.body.style.zoom==''){document.body.style.zoom=10.0/11}else{document.body.style.zoom*=10.0/11}"},
        {32104, L"if(document.body.style.zoom>1.5||document.body.style.zoom==''){document.body.style.zoom=1.5}"
                L"else{document.body.style.zoom=''}"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.command);
        engine->scripts.clear();
        ::SendMessageA(view->GetTabWindow(), WM_COMMAND, MAKEWPARAM(c.command, 0), 0);
        ASSERT_EQ(engine->scripts.size(), 1u);
        EXPECT_EQ(engine->scripts[0].first, c.script);
        EXPECT_EQ(engine->scripts[0].second, L"");  // the engine's default language
    }
    // Between the zoom commands: no script.
    engine->scripts.clear();
    EXPECT_FALSE(RunZoomCommand(view->GetWebBrowser(), 38025));
    EXPECT_TRUE(engine->scripts.empty());

    ::SendMessageA(view->GetTabWindow(), WM_COMMAND, MAKEWPARAM(ID_BROWSER_COPY_URL, 0), 0);
    EXPECT_EQ(GetClipboardText(), "http://www.example.com/");
    ::SendMessageA(view->GetTabWindow(), WM_COMMAND, MAKEWPARAM(ID_BROWSER_COPY_TITLE, 0), 0);
    EXPECT_EQ(GetClipboardText(), "Example Domain");
}
