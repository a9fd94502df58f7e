// The HTML panes under Wine with the engine double: the report pane takes HTML only once its blank
// page has completed, keeps its engine quiet, sends new windows to new tabs (not while the program
// closes) and shows only link addresses as its tab's status; the address pane opens its address.
#include "browser/BrowserView.h"
#include "browser/tests/BrowserTestHost.h"
#include "browser/tools/HtmlPanes.h"
#include "core/app/Settings.h"
#include "frame/MainFrameData.h"

#include "controls/tests/Screenshot.h"
#include "tests/engine/FakeEngine.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class HtmlPanes : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_engine.IsRegistered());
        InstallBrowserTabFactory();
        m_engine.AddPage(L"http://www.example.com/", {L"Example Domain", L"", 0, {}});
        m_engine.AddPage(L"http://www.example.com/plugin.html", {L"A plug-in's page", L"", 0, {}});
        IBrowserTab* tab = GetBrowserTabFactory()->CreateBrowserTab(m_host.GetMdiClientWindow(), nullptr,
                                                                    "http://www.example.com/", 0x70);
        ASSERT_NE(tab, nullptr);
        m_tab = tab->GetTabWindow();
        m_engine.PumpUntilIdle();
    }
    void TearDown() override
    {
        if (::IsWindow(m_tab))
            ::DestroyWindow(m_tab);
        GetMainFrameData().m_scriptErrors.clear();
    }
    static DWORD HostFlags(CAxWindow pane, bool& contextMenu)
    {
        CComPtr<IAxWinAmbientDispatchEx> ambient;
        DWORD flags = 0;
        VARIANT_BOOL allow = VARIANT_TRUE;
        if (SUCCEEDED(pane.QueryHost(&ambient.p)) && ambient) {
            ambient->get_DocHostFlags(&flags);
            ambient->get_AllowContextMenu(&allow);
        }
        contextMenu = allow != VARIANT_FALSE;
        return flags;
    }

    CFakeEngine m_engine;
    CTestBrowserHost m_host;
    HWND m_tab = nullptr;
};

} // namespace

TEST_F(HtmlPanes, InfoPaneTakesHtmlOnceItsBlankPageHasCompleted)
{
    // A window of its own to show the pane in, as the analyzer's splitter does.
    HWND holder = ::CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 40, 40, 400, 200, nullptr, nullptr,
                                    ::GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(holder, nullptr);
    CInfoPane pane(m_tab);
    RECT rect = {0, 0, 400, 200};
    ASSERT_NE(pane.Create(holder, rect), nullptr);
    char className[32] = "";
    ::GetClassNameA(pane, className, sizeof(className));
    EXPECT_STREQ(className, "_Info_IE");
    EXPECT_EQ(::GetDlgCtrlID(pane), 212);
    EXPECT_EQ(static_cast<DWORD>(pane.GetWindowLongPtr(GWL_STYLE)) & kHtmlPaneStyle, kHtmlPaneStyle);
    CFakeBrowser* engine = m_engine.FindBrowser(pane.Browser());
    ASSERT_NE(engine, nullptr);
    EXPECT_FALSE(engine->registeredAsBrowser);
    EXPECT_TRUE(engine->visible);
    bool contextMenu = true;
    EXPECT_EQ(HostFlags(pane, contextMenu), 6u);
    EXPECT_FALSE(contextMenu);

    // Before its blank page is there, a report is lost.
    EXPECT_FALSE(pane.HasBody());
    pane.Write("<b>too early</b>");
    EXPECT_EQ(engine->bodyWrites, 0);
    m_engine.PumpUntilIdle();
    ASSERT_TRUE(pane.HasBody());
    pane.Write("<table border=1><tr><td>Report</td></tr></table>");
    EXPECT_EQ(engine->bodyHtml, L"<table border=1><tr><td>Report</td></tr></table>");
    EXPECT_EQ(engine->LocationUrl(), L"about:blank");

    std::string path;
    ::RedrawWindow(pane, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    EXPECT_TRUE(kivo_test::WriteWindowScreenshot(pane, "info-pane.bmp", path));
    pane.DestroyWindow();
    ::DestroyWindow(holder);
}

TEST_F(HtmlPanes, StatusTextShowsOnlyLinkAddressesWhileThePanesTabIsActive)
{
    CInfoPane pane(m_tab);
    RECT rect = {0, 0, 400, 200};
    ASSERT_NE(pane.Create(m_tab, rect), nullptr);
    m_engine.PumpUntilIdle();
    CFakeBrowser* engine = m_engine.FindBrowser(pane.Browser());
    ASSERT_NE(engine, nullptr);
    ASSERT_EQ(m_host.Active(), m_tab);
    const std::string longLink = "http://www.example.com/" + std::string(200, 'a');
    const struct {
        std::string text;
        std::string shown;  // the status text afterwards
    } cases[] = {
        {"http://www.example.com/next.html", "http://www.example.com/next.html"},
        {"javascript:void(0)", "http://www.example.com/next.html"},
        {"Done", "http://www.example.com/next.html"},
        {"MailTo://someone", "MailTo://someone"},
        {"res://ieframe.dll/blank.htm", "res://ieframe.dll/blank.htm"},
        {"file://c:/secret.txt", "res://ieframe.dll/blank.htm"},
        {longLink, longLink.substr(0, 126)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        engine->FireStatusText(std::wstring(c.text.begin(), c.text.end()).c_str());
        EXPECT_EQ(m_host.paneTexts[0], c.shown);
    }
    // Behind another tab the pane's texts do not show.
    IBrowserTab* other = GetBrowserTabFactory()->CreateBrowserTab(m_host.GetMdiClientWindow(), nullptr, "", 0x70);
    ASSERT_NE(other, nullptr);
    ASSERT_EQ(m_host.Active(), other->GetTabWindow());
    m_host.paneTexts[0] = "";
    engine->FireStatusText(L"http://www.example.com/hidden.html");
    EXPECT_EQ(m_host.paneTexts[0], "");
    ::DestroyWindow(other->GetTabWindow());
}

TEST_F(HtmlPanes, NewWindowsOfAPaneOpenInNewTabsUnlessTheProgramCloses)
{
    CInfoPane info(m_tab);
    CHtmlPane html(m_tab);
    RECT rect = {0, 0, 300, 150};
    ASSERT_NE(info.Create(m_tab, rect), nullptr);
    ASSERT_NE(html.Create(m_tab, rect, "http://www.example.com/plugin.html"), nullptr);
    char className[32] = "";
    ::GetClassNameA(html, className, sizeof(className));
    EXPECT_STREQ(className, "_HTMLPane");
    m_engine.PumpUntilIdle();
    CFakeBrowser* htmlEngine = m_engine.FindBrowser(html.Browser());
    ASSERT_NE(htmlEngine, nullptr);
    EXPECT_EQ(htmlEngine->LocationUrl(), L"http://www.example.com/plugin.html");
    bool contextMenu = true;
    EXPECT_EQ(HostFlags(html, contextMenu), 7u);
    EXPECT_FALSE(contextMenu);

    for (CFakeBrowser* engine : {m_engine.FindBrowser(info.Browser()), htmlEngine}) {
        ASSERT_NE(engine, nullptr);
        const size_t tabs = m_host.tabs.size();
        CFakeBrowser* opened = engine->OpenPopup(L"http://www.example.com/");
        ASSERT_NE(opened, nullptr);
        EXPECT_EQ(m_host.tabs.size(), tabs + 1);
        m_engine.PumpUntilIdle();
        EXPECT_EQ(opened->LocationUrl(), L"http://www.example.com/");
        // A tab without an opener: no popup test blocked it.
        EXPECT_TRUE(m_host.popups.empty());

        GetSettings()->Closing = true;
        EXPECT_EQ(engine->OpenPopup(L"http://www.example.com/"), nullptr);
        GetSettings()->Closing = false;
        EXPECT_EQ(m_host.tabs.size(), tabs + 1);
    }
}
