// The source view under Wine: the tab's "Source" page is a real edit control showing the engine
// double's document source (ANSI, UTF-8 and UTF-16 with a byte-order mark) read-only, reporting
// its caret as the tab's status text, and taking Copy while it is the current page.
#include "browser/BrowserResources.h"
#include "browser/BrowserView.h"
#include "browser/TabTextStore.h"
#include "browser/tests/BrowserTestHost.h"
#include "browser/tools/SourceView.h"
#include "editctl/Quillpoint.h"
#include "frame/MainFrameData.h"

#include "controls/tests/Screenshot.h"
#include "browser/tools/tests/PageToolsTestSupport.h"
#include "tests/engine/FakeEngine.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

using page_tools_test::ClipboardText;

constexpr UINT kEditIsReadOnly = 0x53B;

std::string Utf16Bytes(const std::wstring& text)
{
    std::string bytes = "\xFF\xFE";
    for (wchar_t unit : text) {
        bytes.push_back(static_cast<char>(unit & 0xFF));
        bytes.push_back(static_cast<char>(unit >> 8));
    }
    return bytes;
}


class SourceView : public page_tools_test::CTabTest {
protected:
    static void SetUpTestSuite()
    {
        HINSTANCE instance = ::GetModuleHandleA(nullptr);
        ASSERT_TRUE(QuillpointDllMain(instance, 1, nullptr));
        EXPECT_TRUE(page_tools_test::AddParserConfigFromResource(QP_IDR_CONFIG_HTML));
    }
    static void TearDownTestSuite() { QuillpointDllMain(::GetModuleHandleA(nullptr), 0, nullptr); }
};

} // namespace

TEST_F(SourceView, ShowsTheSourceOfEachEncodingReadOnlyOnItsOwnInnerPage)
{
    const struct {
        const wchar_t* url;
        std::string source;
        const wchar_t* charset;
        std::string shown;  // in the ANSI code page of the test display (1252)
    } cases[] = {
        {L"http://www.example.com/ansi.html", "<html>\r\n<body>caf\xE9</body>\r\n</html>", L"windows-1252",
         "<html>\r\n<body>caf\xE9</body>\r\n</html>"},
        {L"http://www.example.com/utf8.html", "<html>\r\n<p>caf\xC3\xA9 \xE2\x82\xAC 5</p>\r\n</html>", L"utf-8",
         "<html>\r\n<p>caf\xE9 \x80 5</p>\r\n</html>"},
        {L"http://www.example.com/utf8-mark.html", "\xEF\xBB\xBF<p>na\xC3\xAFve</p>", L"UTF-8", "<p>na\xEFve</p>"},
        {L"http://www.example.com/utf16.html", Utf16Bytes(L"<html>\r\n<p>caf\u00e9</p>\r\n</html>"), L"unicode",
         "<html>\r\n<p>caf\xE9</p>\r\n</html>"},
        // Bytes that are not UTF-8 in a page that claims it are shown as they are.
        {L"http://www.example.com/mislabelled.html", "<p>caf\xE9</p>", L"utf-8", "<p>caf\xE9</p>"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(TStdStr<char>(c.url).c_str()));
        FakePage page{L"Source test", L"", 0, {}};
        page.source = c.source;
        page.charset = c.charset;
        CBrowserView* view = Open(c.url, page);
        ASSERT_NE(view, nullptr);
        Command(view, ID_BROWSER_VIEW_SOURCE);
        CSourceView* source = view->GetSourceView();
        ASSERT_NE(source, nullptr);
        char className[64] = "";
        ::GetClassNameA(source->Window(), className, sizeof(className));
        EXPECT_STREQ(className, kEditControlClass);
        EXPECT_EQ(view->GetCurrentPage(), source->Window());
        EXPECT_EQ(view->GetPageCount(), 2);
        EXPECT_EQ(static_cast<DWORD>(::GetWindowLongPtrA(source->Window(), GWL_STYLE)) & kSourceViewStyle,
                  kSourceViewStyle);
        EXPECT_EQ(source->GetText(), c.shown);
        EXPECT_NE(::SendMessageA(source->Window(), kEditIsReadOnly, 0, 0), 0);
        // Typing changes nothing.
        ::SendMessageA(source->Window(), WM_CHAR, 'x', 1);
        EXPECT_EQ(source->GetText(), c.shown);

        // View Source again closes the view and the inner strip's second page.
        Command(view, ID_BROWSER_VIEW_SOURCE);
        EXPECT_EQ(view->GetSourceView(), nullptr);
        EXPECT_EQ(view->GetPageCount(), 1);
        ::DestroyWindow(view->GetTabWindow());
    }
}

TEST_F(SourceView, CaretIsTheTabsStatusTextAndCopyTakesTheEditorsSelection)
{
    FakePage page{L"Caret test", L"Done", 0, {}};
    page.source = "<html>\r\n<body>Hello</body>\r\n</html>";
    page.charset = L"windows-1252";
    CBrowserView* view = Open(L"http://www.example.com/caret.html", page);
    ASSERT_NE(view, nullptr);
    const HWND tab = view->GetTabWindow();
    ::ShowWindow(::GetParent(::GetParent(tab)), SW_SHOW);
    Command(view, ID_BROWSER_VIEW_SOURCE);
    ASSERT_NE(view->GetSourceView(), nullptr);
    const HWND edit = view->GetSourceView()->Window();
    ::SetFocus(edit);
    ::SendMessageA(edit, WM_KEYDOWN, VK_DOWN, 0x00500001);
    ::SendMessageA(edit, WM_KEYUP, VK_DOWN, static_cast<LPARAM>(0xC0500001u));
    ::SendMessageA(edit, WM_KEYDOWN, VK_END, 0x014F0001);
    ::SendMessageA(edit, WM_KEYUP, VK_END, static_cast<LPARAM>(0xC14F0001u));
    PumpPendingMessages();
    EXPECT_STREQ(GetTabTextStore().GetText(tab), "Ln 2, Col 19");
    EXPECT_EQ(FormatCaretPosition(7, 3), "Ln 7, Col 3");

    ::RedrawWindow(tab, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    std::string path;
    EXPECT_TRUE(kivo_test::WriteWindowScreenshot(::GetParent(::GetParent(tab)), "source-view.bmp", path));

    // Copy and Select All follow the current inner page: the editor's text, not the page's.
    CFakeBrowser* engine = m_engine.FindBrowser(view->GetWebBrowser());
    ASSERT_NE(engine, nullptr);
    const size_t execs = engine->execs.size();
    Command(view, ID_BROWSER_SELECT_ALL);
    Command(view, ID_BROWSER_COPY);
    EXPECT_EQ(engine->execs.size(), execs);
    EXPECT_EQ(ClipboardText(), page.source);
    // With the engine's page current again, Copy goes to the engine.
    Command(view, ID_BROWSER_VIEW_SOURCE);
    Command(view, ID_BROWSER_COPY);
    ASSERT_EQ(engine->execs.size(), execs + 1);
    EXPECT_EQ(engine->execs.back().command, OLECMDID_COPY);
}

TEST_F(SourceView, FollowsTheTabsNextPageAndClosesByItsOwnCommand)
{
    FakePage first{L"First", L"", 0, {}};
    first.source = "<p>first page</p>";
    CBrowserView* view = Open(L"http://www.example.com/first.html", first);
    ASSERT_NE(view, nullptr);
    FakePage second{L"Second", L"", 0, {}};
    second.source = "<p>second page</p>";
    m_engine.AddPage(L"http://www.example.com/second.html", second);
    Command(view, ID_BROWSER_VIEW_SOURCE);
    ASSERT_NE(view->GetSourceView(), nullptr);
    EXPECT_EQ(view->GetSourceView()->GetText(), "<p>first page</p>");
    // The next page's load fills the open view again.
    view->Navigate("http://www.example.com/second.html");
    m_engine.PumpUntilIdle();
    ASSERT_NE(view->GetSourceView(), nullptr);
    EXPECT_EQ(view->GetSourceView()->GetText(), "<p>second page</p>");
    Command(view, kSourceViewRefreshCommand);
    EXPECT_EQ(view->GetSourceView()->GetText(), "<p>second page</p>");
    Command(view, kSourceViewCloseCommand);
    EXPECT_EQ(view->GetSourceView(), nullptr);
    EXPECT_EQ(view->GetPageCount(), 1);
    ::DestroyWindow(view->GetTabWindow());
}

TEST(SourceViewText, OnlyUtf8IsConvertedAndTheCaretFormatTakesTwoIntegers)
{
    EXPECT_EQ(SourceTextForView("caf\xC3\xA9", "utf-8"), "caf\xE9");
    EXPECT_EQ(SourceTextForView("caf\xC3\xA9", "iso-8859-1"), "caf\xC3\xA9");
    EXPECT_EQ(SourceTextForView("caf\xC3\xA9", nullptr), "caf\xC3\xA9");
    EXPECT_EQ(SourceTextForView("\xEF\xBB\xBF", "utf-8"), "");
}
