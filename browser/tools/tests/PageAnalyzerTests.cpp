// The page analyzer under Wine with the engine double: the tree of a made-up page with nested
// frames, the reports written into its report pane (every page value escaped), a document's markup
// and a cached script's code in its edit control, its commands and its tab menu.
#include "controls/tests/TreeViewText.h"
#include "browser/BrowserResources.h"
#include "browser/BrowserView.h"
#include "browser/tests/BrowserTestHost.h"
#include "browser/tools/PageAnalyzer.h"
#include "browser/tools/SourceView.h"
#include "controls/TabbedMDI.h"
#include "editctl/Quillpoint.h"
#include "frame/MainFrameData.h"

#include "controls/tests/Screenshot.h"
#include "browser/tools/tests/PageToolsTestSupport.h"
#include "tests/engine/FakeDocument.h"
#include "tests/engine/FakeEngine.h"
#include "tests/support/TestScratch.h"

#include <gtest/gtest.h>
#include <wininet.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

namespace {

using page_tools_test::AnswerSaveDialog;
using page_tools_test::ClipboardText;
using page_tools_test::g_saveAnswered;
using page_tools_test::g_savePath;

constexpr UINT kEditIsReadOnly = 0x53B;
constexpr wchar_t kFramesUrl[] = L"http://www.example.com/frames.html";

std::shared_ptr<FakeDocumentTree> FramesPage()
{
    auto top = std::make_shared<FakeDocumentTree>();
    top->title = L"Frame set";
    top->url = kFramesUrl;
    top->markup = L"<HTML><HEAD><TITLE>Frame set</TITLE></HEAD><FRAMESET cols=\"25%,*\"></FRAMESET></HTML>";
    top->images = {{L"logo", L"http://www.example.com/logo.gif", L"The logo", 120, 40, L"GIF Image", L"2048"}};
    top->scripts = {{L"scripts/menu.js", L"", L""}, {L"", L"text/javascript", L""}};
    top->links = {{L"A", L"http://www.example.com/about.html"}};
    FakeDocumentTree navigation;
    navigation.title = L"Navigation";
    navigation.url = L"http://www.example.com/nav.html";
    navigation.images = {{L"", L"http://www.example.com/nav.png", L"\"><img src=x onerror=alert(1)>", 16, 16,
                          L"PNG Image", L"300"}};
    navigation.scripts = {{L"lib\\Tools.VBS", L"", L""}};
    navigation.links = {{L"A", L"http://www.example.com/one.html"}, {L"AREA", L"http://www.example.com/map.html"},
                        {L"A", L"http://www.example.com/two.html?a=1&b=2"}};
    FakeDocumentTree content;
    content.url = L"http://www.example.com/content.html";  // no title: known by its address
    FakeDocumentTree inner;
    inner.title = L"Inner %url";
    inner.url = L"http://www.example.com/inner.html";
    inner.images = {{L"pic", L"http://www.example.com/inner.jpg", L"", 1, 1, L"JPEG Image", L"9"}};
    content.frames = {inner};
    top->frames = {navigation, content};
    return top;
}

using kivo_test::DumpTree;
using kivo_test::TreeItemText;

HTREEITEM FindItem(HWND tree, HTREEITEM item, const std::string& text)
{
    for (; item; item = TreeView_GetNextSibling(tree, item)) {
        if (TreeItemText(tree, item) == text)
            return item;
        if (HTREEITEM found = FindItem(tree, TreeView_GetChild(tree, item), text))
            return found;
    }
    return nullptr;
}


// Puts a script into the system's internet cache under its address, as a download would.
bool CacheScript(const char* url, const std::string& code)
{
    char file[MAX_PATH] = "";
    if (!::CreateUrlCacheEntryA(url, static_cast<DWORD>(code.size()), "js", file, 0))
        return false;
    {
        std::ofstream out(file, std::ios::binary);
        out << code;
    }
    const char header[] = "HTTP/1.1 200 OK\r\nContent-Type: application/x-javascript\r\n\r\n";
    FILETIME none = {};
    return ::CommitUrlCacheEntryA(url, file, none, none, NORMAL_CACHE_ENTRY, reinterpret_cast<BYTE*>(const_cast<char*>(header)),
                                  static_cast<DWORD>(std::strlen(header)), "js", nullptr) != FALSE;
}

class PageAnalyzer : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        HINSTANCE instance = ::GetModuleHandleA(nullptr);
        ASSERT_TRUE(QuillpointDllMain(instance, 1, nullptr));
        for (const int id : {QP_IDR_CONFIG_HTML, QP_IDR_CONFIG_JAVASCRIPT})
            EXPECT_TRUE(page_tools_test::AddParserConfigFromResource(id));
    }
    static void TearDownTestSuite() { QuillpointDllMain(::GetModuleHandleA(nullptr), 0, nullptr); }

    void SetUp() override
    {
        ASSERT_TRUE(m_engine.IsRegistered());
        InstallBrowserTabFactory();
        FakePage page{L"Frame set", L"", 0, {}};
        page.tree = FramesPage();
        m_engine.AddPage(kFramesUrl, page);
        // A page without frames whose only script is inline.
        FakePage plain{L"Plain", L"", 0, {}};
        plain.tree = std::make_shared<FakeDocumentTree>();
        plain.tree->title = L"Plain";
        plain.tree->url = L"http://www.example.com/plain.html";
        plain.tree->scripts = {{L"", L"text/javascript", L""}};
        m_engine.AddPage(L"http://www.example.com/plain.html", plain);
    }
    void TearDown() override { GetMainFrameData().m_scriptErrors.clear(); }

    CBrowserView* OpenWithAnalyzer()
    {
        IBrowserTab* tab =
            GetBrowserTabFactory()->CreateBrowserTab(m_host.GetMdiClientWindow(), nullptr, "http://www.example.com/frames.html", 0x70);
        m_engine.PumpUntilIdle();
        CBrowserView* view = tab ? CBrowserView::FromWindow(tab->GetTabWindow()) : nullptr;
        if (!view)
            return nullptr;
        Command(view, ID_BROWSER_PAGE_ANALYZER);
        m_engine.PumpUntilIdle();  // the report pane's blank page loads
        PumpPendingMessages();
        return view;
    }
    static void Command(CBrowserView* view, UINT id)
    {
        ::SendMessageA(view->GetTabWindow(), WM_COMMAND, MAKEWPARAM(id, 0), 0);
    }
    static void Select(CPageAnalyzer& analyzer, const std::string& text)
    {
        HWND tree = analyzer.TreeWindow();
        HTREEITEM item = FindItem(tree, TreeView_GetRoot(tree), text);
        ASSERT_NE(item, nullptr) << text;
        TreeView_SelectItem(tree, item);
    }
    CFakeBrowser* ReportEngine(CPageAnalyzer& analyzer)
    {
        return analyzer.ReportPane() ? m_engine.FindBrowser(analyzer.ReportPane()->Browser()) : nullptr;
    }

    CFakeEngine m_engine;
    CTestBrowserHost m_host;
};

} // namespace

TEST_F(PageAnalyzer, ListsTheDocumentsOfNestedFramesAndCollectsTheirImagesAndScripts)
{
    CBrowserView* view = OpenWithAnalyzer();
    ASSERT_NE(view, nullptr);
    CPageAnalyzer* analyzer = view->GetPageAnalyzer();
    ASSERT_NE(analyzer, nullptr);
    char className[32] = "";
    ::GetClassNameA(*analyzer, className, sizeof(className));
    EXPECT_STREQ(className, "_PAGE_ANA");
    EXPECT_EQ(view->GetCurrentPage(), analyzer->m_hWnd);
    EXPECT_EQ(view->GetPageCount(), 2);
    bool enabled = false, checked = false;
    EXPECT_TRUE(view->QueryCommandState(ID_BROWSER_PAGE_ANALYZER, enabled, checked));
    EXPECT_TRUE(checked);

    HWND tree = analyzer->TreeWindow();
    EXPECT_EQ(DumpTree(tree, TreeView_GetRoot(tree)),
              "http://www.example.com/frames.html{"
              "Documents{Frame set{Navigation,http://www.example.com/content.html{Inner %url}}},"
              "Scripts{scripts/menu.js,lib\\Tools.VBS},"
              "Images{http://www.example.com/logo.gif,http://www.example.com/nav.png,http://www.example.com/inner.jpg},"
              "Links}");
    // The root is chosen: the page's own report, and the analyzer's name as the tab's status.
    EXPECT_EQ(analyzer->ContentMode(), kContentReport);
    EXPECT_NE(analyzer->LastReport().find("<td>Frame set</td>"), std::string::npos);
    EXPECT_NE(analyzer->LastReport().find("<td>HTML Document</td>"), std::string::npos);
    CFakeBrowser* report = ReportEngine(*analyzer);
    ASSERT_NE(report, nullptr);
    EXPECT_EQ(TStdStr<char>(report->bodyHtml.c_str()), analyzer->LastReport());
    EXPECT_EQ(m_host.paneTexts[0], "Page Analyzer");

    // The page analyzer command again closes the view.
    Command(view, ID_BROWSER_PAGE_ANALYZER);
    EXPECT_EQ(view->GetPageAnalyzer(), nullptr);
    EXPECT_EQ(view->GetPageCount(), 1);
    ::DestroyWindow(view->GetTabWindow());
}

TEST_F(PageAnalyzer, ReportsEscapeWhatThePageGaveAndLinksListEveryFrameFirst)
{
    CBrowserView* view = OpenWithAnalyzer();
    ASSERT_NE(view, nullptr);
    CPageAnalyzer& analyzer = *view->GetPageAnalyzer();
    CFakeBrowser* report = ReportEngine(analyzer);
    ASSERT_NE(report, nullptr);

    Select(analyzer, "http://www.example.com/nav.png");
    const std::string image = analyzer.LastReport();
    EXPECT_NE(image.find("<th>Name</th><td>Untitled</td>"), std::string::npos);
    EXPECT_NE(image.find("<td>&quot;&gt;&lt;img src=x onerror=alert(1)&gt;</td>"), std::string::npos);
    EXPECT_EQ(image.find("onerror=alert(1)>"), std::string::npos);
    EXPECT_NE(image.find("<th>Width</th><td>16</td>"), std::string::npos);
    EXPECT_NE(image.find("<th>MIME Type</th><td>PNG Image</td></tr>"), std::string::npos) << image;
    EXPECT_EQ(TStdStr<char>(report->bodyHtml.c_str()), image);

    Select(analyzer, "Links");
    const std::string links = analyzer.LastReport();
    const size_t navigation = links.find(">Navigation</a>");
    const size_t inner = links.find(">Inner %url</a>");
    const size_t content = links.find("<a href=\"http://www.example.com/content.html\" target=_blank></a>");
    const size_t top = links.find(">Frame set</a>");
    ASSERT_NE(navigation, std::string::npos);
    ASSERT_NE(inner, std::string::npos);
    ASSERT_NE(content, std::string::npos);
    ASSERT_NE(top, std::string::npos);
    EXPECT_LT(navigation, inner);  // depth first, in frame order, the document itself last
    EXPECT_LT(inner, content);
    EXPECT_LT(content, top);
    EXPECT_NE(links.find("<th>3 Links - <a href=\"http://www.example.com/nav.html\""), std::string::npos);
    EXPECT_EQ(links.find("map.html"), std::string::npos);  // an image map's area gives no row
    EXPECT_NE(links.find("two.html?a=1&amp;b=2"), std::string::npos);

    // The folders change nothing on the right.
    Select(analyzer, "Images");
    EXPECT_EQ(analyzer.LastReport(), links);
    EXPECT_EQ(analyzer.ContentMode(), kContentReport);
    // 62001 is taken and does nothing.
    EXPECT_EQ(::SendMessageA(analyzer, WM_COMMAND, MAKEWPARAM(kAnalyzerRefreshCommand, 0), 0), 0);
    EXPECT_EQ(analyzer.LastReport(), links);

    // Copy and Select All of the tab go to the report's engine while the report shows.
    report->execs.clear();
    Command(view, ID_BROWSER_SELECT_ALL);
    Command(view, ID_BROWSER_COPY);
    ASSERT_EQ(report->execs.size(), 2u);
    EXPECT_EQ(report->execs[0].command, OLECMDID_SELECTALL);
    EXPECT_EQ(report->execs[1].command, OLECMDID_COPY);
    ::DestroyWindow(view->GetTabWindow());
}

TEST_F(PageAnalyzer, DocumentsAndScriptsOpenTheirTextReadOnlyInTheEditControl)
{
    const std::string code = "function menu() {\r\n  return 'open';\r\n}\r\n";
    const bool cached = CacheScript("http://www.example.com/scripts/menu.js", code);
    CBrowserView* view = OpenWithAnalyzer();
    ASSERT_NE(view, nullptr);
    CPageAnalyzer& analyzer = *view->GetPageAnalyzer();

    Select(analyzer, "Frame set");
    EXPECT_EQ(analyzer.ContentMode(), kContentSource);
    HWND source = analyzer.SourceWindow();
    ASSERT_NE(source, nullptr);
    char className[64] = "";
    ::GetClassNameA(source, className, sizeof(className));
    EXPECT_STREQ(className, kEditControlClass);
    EXPECT_TRUE(::IsWindowVisible(source));
    EXPECT_EQ(analyzer.SourceText(),
              "<HTML><HEAD><TITLE>Frame set</TITLE></HEAD><FRAMESET cols=\"25%,*\"></FRAMESET></HTML>");
    EXPECT_NE(::SendMessageA(source, kEditIsReadOnly, 0, 0), 0);
    HWND tree = analyzer.TreeWindow();
    TreeView_Expand(tree, FindItem(tree, TreeView_GetRoot(tree), "Frame set"), TVE_EXPAND);
    TreeView_Expand(tree, FindItem(tree, TreeView_GetRoot(tree), "Scripts"), TVE_EXPAND);
    TreeView_Expand(tree, FindItem(tree, TreeView_GetRoot(tree), "Images"), TVE_EXPAND);
    std::string path;
    ::RedrawWindow(view->GetTabWindow(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    EXPECT_TRUE(kivo_test::WriteWindowScreenshot(view->GetTabWindow(), "page-analyzer-source.bmp", path));

    // Find of the tab is the edit control's find dialog, shown beside the analyzer.
    const auto visibleDialogs = [] {
        int count = 0;
        for (HWND dialog = ::FindWindowExA(nullptr, nullptr, "#32770", nullptr); dialog;
             dialog = ::FindWindowExA(nullptr, dialog, "#32770", nullptr)) {
            DWORD process = 0;
            ::GetWindowThreadProcessId(dialog, &process);
            count += process == ::GetCurrentProcessId() && ::IsWindowVisible(dialog) ? 1 : 0;
        }
        return count;
    };
    const int dialogsBefore = visibleDialogs();
    Command(view, ID_BROWSER_FIND);
    EXPECT_EQ(visibleDialogs(), dialogsBefore + 1);

    // Copy and Select All of the tab are the edit control's now.
    Command(view, ID_BROWSER_SELECT_ALL);
    Command(view, ID_BROWSER_COPY);
    EXPECT_EQ(ClipboardText(), analyzer.SourceText());


    // The caret's place becomes the status text of the active tab, the line first.
    struct {
        NMHDR header;
        int column;
        int line;
    } caret = {{source, 0, kEditCaretMoved}, 7, 3};
    ::SendMessageA(analyzer, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&caret));
    EXPECT_EQ(m_host.paneTexts[0], "Ln 3, Col 7");

    // A script: its code from the internet cache under its full address, coloured by language.
    Select(analyzer, "scripts/menu.js");
    EXPECT_EQ(analyzer.ContentMode(), kContentSource);
    EXPECT_EQ(analyzer.ScriptLanguage(), kScriptJavaScript);
    if (cached)
        EXPECT_EQ(analyzer.SourceText(), code);
    else
        ADD_FAILURE() << "the internet cache took no entry";
    // The shown script is saved where the user chooses.
    g_savePath = KivoTestScratchFolder() + "menu.js";
    g_saveAnswered = false;
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 100, &AnswerSaveDialog);
    ::SendMessageA(analyzer, WM_COMMAND, MAKEWPARAM(kAnalyzerSaveScriptCommand, 0), 0);
    ::KillTimer(nullptr, timer);
    EXPECT_TRUE(g_saveAnswered);
    std::ifstream saved(g_savePath, std::ios::binary);
    const std::string written((std::istreambuf_iterator<char>(saved)), std::istreambuf_iterator<char>());
    EXPECT_EQ(written, analyzer.SourceText());
    // A script the cache does not have.
    Select(analyzer, "lib\\Tools.VBS");
    EXPECT_EQ(analyzer.ScriptLanguage(), kScriptVBScript);
    EXPECT_EQ(analyzer.SourceText(), "Script code not available.");
    ::DestroyWindow(view->GetTabWindow());
}

TEST_F(PageAnalyzer, TabMenuClosesOrRenewsTheViewThroughTheTab)
{
    CTestMenuTracker tracker;
    CBrowserView* view = OpenWithAnalyzer();
    ASSERT_NE(view, nullptr);
    CPageAnalyzer* analyzer = view->GetPageAnalyzer();
    ASSERT_NE(analyzer, nullptr);
    const UINT menuMessage = GetTabbedMdiMessages().showTabContextMenu;

    // Refresh: the tree is built anew (a new record for every item).
    TreeView_SelectItem(analyzer->TreeWindow(), FindItem(analyzer->TreeWindow(), TreeView_GetRoot(analyzer->TreeWindow()), "Links"));
    tracker.answer = kAnalyzerReanalyzeCommand;
    ::SendMessageA(*analyzer, menuMessage, 0, MAKELPARAM(40, 40));
    EXPECT_EQ(tracker.itemIds, (std::vector<UINT>{kAnalyzerCloseCommand, kAnalyzerReanalyzeCommand}));
    PumpPendingMessages();
    EXPECT_EQ(view->GetPageAnalyzer(), analyzer);
    HWND tree = analyzer->TreeWindow();
    EXPECT_EQ(TreeItemText(tree, TreeView_GetSelection(tree)), "http://www.example.com/frames.html");
    EXPECT_EQ(analyzer->Records().size(), 14u);

    tracker.answer = kAnalyzerCloseCommand;
    ::SendMessageA(*analyzer, menuMessage, 0, MAKELPARAM(40, 40));
    PumpPendingMessages();
    EXPECT_EQ(view->GetPageAnalyzer(), nullptr);
    EXPECT_EQ(view->GetPageCount(), 1);
    ::DestroyWindow(view->GetTabWindow());
}

TEST(PageAnalyzerText, TemplatesAreFilledInOnePassAndScriptLanguagesFollowTheirAttributes)
{
    // A value that reads like a placeholder stays as it is.
    EXPECT_EQ(FillReportTemplate("<a href=\"%url\">%name</a>", {{"%name", "Take %url"}, {"%url", "http://a/"}}),
              "<a href=\"http://a/\">Take %url</a>");
    EXPECT_EQ(FillReportTemplate("%W x %w", {{"%W", "Width"}, {"%w", "16"}}), "Width x 16");
    EXPECT_EQ(EscapeHtml("<b a=\"1\">'&'</b>"), "&lt;b a=&quot;1&quot;&gt;&#39;&amp;&#39;&lt;/b&gt;");

    const struct {
        const char* type;
        const char* language;
        const char* src;
        const char* derived;
        int code;
    } cases[] = {
        {"text/ECMAScript", "", "x.vbs", "text/ecmascript", kScriptJavaScript},
        {"", "VBScript", "x.js", "vbscript", kScriptVBScript},
        {"", "", "lib/menu.js", "jscript", kScriptJavaScript},
        {"", "", "lib/menu.vbs.js", "vbscript", kScriptVBScript},  // VBScript wins when both occur
        {"", "", ".js", "javascript", kScriptJavaScript},           // a match counts after the first character
        {"", "", "code.php", "javascript", kScriptJavaScript},
        {"text/tcl", "", "a.js", "text/tcl", kScriptLanguageNone},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.src);
        const TStdStr<char> language = ScriptLanguageOf(c.type, c.language, c.src);
        EXPECT_EQ(language, c.derived);
        EXPECT_EQ(ScriptLanguageCode(language), c.code);
    }
}

namespace {

class CTestDebugger final : public IScriptDebugDocuments {
public:
    bool FindScriptCode(const TStdStr<char>& src, TStdStr<char>& code) override
    {
        asked.emplace_back(src.c_str());
        code = src == TStdStr<char>(known.c_str()) ? TStdStr<char>(knownCode.c_str()) : TStdStr<char>();
        return present;
    }
    bool present = true;
    std::string known, knownCode;
    std::vector<std::string> asked;
};

class CTestCache final : public IScriptCodeSource {
public:
    bool ReadScriptCode(const char* url, TStdStr<char>& code) override
    {
        asked.emplace_back(url);
        code.clear();
        return false;
    }
    std::vector<std::string> asked;
};

} // namespace

TEST_F(PageAnalyzer, ScriptCodeComesFromTheDebuggerThenTheCacheElseItIsNotFound)
{
    CBrowserView* view = OpenWithAnalyzer();
    ASSERT_NE(view, nullptr);
    CPageAnalyzer& analyzer = *view->GetPageAnalyzer();
    CTestDebugger debugger;
    CTestCache cache;
    analyzer.SetScriptSources(&debugger, &cache);
    debugger.known = "lib/tools.vbs";
    debugger.knownCode = "Sub Tools()\r\nEnd Sub\r\n";

    // The debugger knows the script under its lower-cased address with slashes.
    Select(analyzer, "lib\\Tools.VBS");
    EXPECT_EQ(debugger.asked, std::vector<std::string>{"lib/tools.vbs"});
    EXPECT_TRUE(cache.asked.empty());
    EXPECT_EQ(analyzer.SourceText(), debugger.knownCode);
    EXPECT_EQ(analyzer.ScriptLanguage(), kScriptVBScript);

    // A debugger that has no such script, and a cache without it: not found.
    Select(analyzer, "scripts/menu.js");
    EXPECT_EQ(cache.asked, std::vector<std::string>{"http://www.example.com/scripts/menu.js"});
    EXPECT_EQ(analyzer.SourceText(), "Script code not found.");
    EXPECT_EQ(analyzer.ContentMode(), kContentSource);

    // No debugger at all: the code is not available.
    debugger.present = false;
    Select(analyzer, "lib\\Tools.VBS");
    Select(analyzer, "scripts/menu.js");
    EXPECT_EQ(analyzer.SourceText(), "Script code not available.");
    EXPECT_EQ(analyzer.ScriptLanguage(), kScriptJavaScript);
    ::DestroyWindow(view->GetTabWindow());
}

TEST_F(PageAnalyzer, TreeIsBuiltAgainWhenTheTabsPageChanges)
{
    CBrowserView* view = OpenWithAnalyzer();
    ASSERT_NE(view, nullptr);
    CPageAnalyzer& analyzer = *view->GetPageAnalyzer();
    view->Navigate("http://www.example.com/plain.html");
    m_engine.PumpUntilIdle();
    PumpPendingMessages();
    HWND tree = analyzer.TreeWindow();
    EXPECT_EQ(DumpTree(tree, TreeView_GetRoot(tree)), "http://www.example.com/plain.html{Documents{Plain},Scripts,Images,Links}");
    EXPECT_EQ(analyzer.Records().size(), 6u);
    ::DestroyWindow(view->GetTabWindow());
}
