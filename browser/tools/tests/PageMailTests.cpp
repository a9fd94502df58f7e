// Mailing a page or its link through a real tab, with a mailer that records what reaches the
// system; the program's connections of the closed-page sink and the search of dropped text; and
// saving the page as a web archive from the tab's command.
#include "browser/BrowserResources.h"
#include "browser/BrowserView.h"
#include "browser/tests/BrowserTestHost.h"
#include "browser/tools/ClosedPageSink.h"
#include "browser/tools/PageCommands.h"
#include "browser/tools/PageDropTarget.h"
#include "core/app/MainFrameMessages.h"
#include "core/app/Settings.h"
#include "editctl/Quillpoint.h"
#include "frame/MainFrameData.h"
#include "frame/RecentClosedList.h"
#include "navigation/FrameNavigation.h"

#include "browser/tools/tests/PageToolsTestSupport.h"
#include "tests/engine/FakeEngine.h"
#include "tests/support/TestScratch.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

using page_tools_test::AnswerSaveDialog;
using page_tools_test::CTestDataObject;
using page_tools_test::g_saveAnswered;
using page_tools_test::g_savePath;

class CRecordingMailer final : public IPageMailer {
public:
    CRecordingMailer() : m_previous(SetPageMailer(this)) {}
    ~CRecordingMailer() override { SetPageMailer(m_previous); }
    CRecordingMailer(const CRecordingMailer&) = delete;
    CRecordingMailer& operator=(const CRecordingMailer&) = delete;

    bool OpenMailAddress(const char* address) override
    {
        addresses.emplace_back(address);
        return true;
    }
    bool SendDocuments(const char* paths) override
    {
        documents.emplace_back(paths);
        std::ifstream in(paths, std::ios::binary);
        std::ostringstream content;
        content << in.rdbuf();
        contents.push_back(content.str());
        return true;
    }

    std::vector<std::string> addresses;
    std::vector<std::string> documents;
    std::vector<std::string> contents;  // of each file while the mail client had it

private:
    IPageMailer* m_previous;  // not owned
};

class PageMail : public page_tools_test::CTabTest {};

} // namespace

TEST_F(PageMail, LinkMailKeepsEveryCharacterOfTitleAndAddressInItsField)
{
    CRecordingMailer mailer;
    const struct {
        const wchar_t* url;
        const wchar_t* title;
        const char* address;
    } cases[] = {
        {L"http://www.example.com/", L"Example Domain", "mailto:?subject=Example%20Domain&body=http%3a%2f%2fwww.example.com%2f"},
        // Without the encoding "&body=" in a title would start the body, "#" end the address.
        {L"http://www.example.com/q?a=1&b=2#top", L"Tom & Jerry&body=x #1?",
         "mailto:?subject=Tom%20%26%20Jerry%26body%3dx%20%231%3f&body="
         "http%3a%2f%2fwww.example.com%2fq%3fa%3d1%26b%3d2%23top"},
        {L"http://www.example.com/cafe", L"Caf\u00e9", "mailto:?subject=Caf%c3%a9&body=http%3a%2f%2fwww.example.com%2fcafe"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.address);
        CBrowserView* view = Open(c.url, {c.title, L"", 0, {}});
        ASSERT_NE(view, nullptr);
        mailer.addresses.clear();
        Command(view, kSendLinkCommand);
        ASSERT_EQ(mailer.addresses.size(), 1u);
        EXPECT_EQ(mailer.addresses[0], c.address);
        ::DestroyWindow(view->GetTabWindow());
    }
}

TEST_F(PageMail, PageMailHandsTheSourceAsAnHtmlFileThatGoesAfterwards)
{
    CRecordingMailer mailer;
    FakePage page{L"Mailed page", L"", 0, {}};
    page.source = "<html>\r\n<body>A page to mail</body>\r\n</html>";
    CBrowserView* view = Open(L"http://www.example.com/mail.html", page);
    ASSERT_NE(view, nullptr);
    Command(view, kSendPageCommand);
    ASSERT_EQ(mailer.documents.size(), 1u);
    const std::string& path = mailer.documents[0];
    EXPECT_EQ(path.substr(path.size() - 5), ".html");
    EXPECT_EQ(mailer.contents[0], page.source);
    EXPECT_EQ(::GetFileAttributesA(path.c_str()), INVALID_FILE_ATTRIBUTES);  // deleted again
    ::DestroyWindow(view->GetTabWindow());

    // A page without source sends nothing.
    CBrowserView* empty = Open(L"http://www.example.com/empty.html", {L"Empty", L"", 0, {}});
    ASSERT_NE(empty, nullptr);
    Command(empty, kSendPageCommand);
    EXPECT_EQ(mailer.documents.size(), 1u);
    ::DestroyWindow(empty->GetTabWindow());
}

TEST_F(PageMail, ProgramSinkKeepsClosedWebPagesForReopeningExceptWhileTheProgramCloses)
{
    // The start-up's sink is the one the tabs hand their pages to.
    InstallBrowserTabFactory();
    EXPECT_NE(dynamic_cast<CRecentClosedPagesSink*>(GetClosedPageSink()), nullptr);

    CRecentClosedList list;
    CRecentClosedPagesSink sink(&list);
    IClosedPageSink* previous = SetClosedPageSink(&sink);
    CBrowserView* view = Open(L"http://www.example.com/closed.html", {L"Closed page", L"", 0, {}});
    ASSERT_NE(view, nullptr);
    HWND tab = view->GetTabWindow();
    Command(view, ID_BROWSER_CLOSE);
    ASSERT_TRUE(PumpMessagesUntil([tab] { return !::IsWindow(tab); }));
    const CRecentClosedEntry* entry = list.EntryForCommand(CRecentClosedList::kFirstCommand);
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->title, "Closed page");
    EXPECT_EQ(entry->url, "http://www.example.com/closed.html");

    // The session's tabs that go with the program are no closed pages.
    GetSettings()->Closing = true;
    view = Open(L"http://www.example.com/session.html", {L"Session page", L"", 0, {}});
    ASSERT_NE(view, nullptr);
    tab = view->GetTabWindow();
    ::SendMessageA(tab, WM_CLOSE, 0, 0);
    GetSettings()->Closing = false;
    EXPECT_EQ(list.GetCount(), 1);
    SetClosedPageSink(previous);
}

TEST_F(PageMail, TextDroppedOnAPageIsSearchedOnceTheProgramIsConnected)
{
    InstallFrameNavigation();
    ASSERT_NE(GetPageTextSearch(), nullptr);
    CBrowserView* view = Open(L"http://www.example.com/", {L"Example Domain", L"", 0, {}});
    ASSERT_NE(view, nullptr);
    CFakeBrowser* engine = m_engine.FindBrowser(view->GetWebBrowser());
    ASSERT_NE(engine, nullptr);
    CComPtr<IDropTarget> target = engine->AskHostDropTarget();
    ASSERT_NE(target, nullptr);
    const size_t before = m_host.OpenedUrls().size();
    CTestDataObject data("kivo tabs", nullptr);  // a selection dragged from an editor
    DWORD effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
    EXPECT_EQ(target->DragEnter(&data, MK_LBUTTON, {10, 10}, &effect), S_OK);
    effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
    EXPECT_EQ(target->Drop(&data, MK_LBUTTON, {10, 10}, &effect), S_OK);
    PumpPendingMessages();
    const auto opened = m_host.OpenedUrls();
    ASSERT_EQ(opened.size(), before + 1);
    EXPECT_NE(opened.back().first.find("kivo"), std::string::npos) << opened.back().first;
    EXPECT_EQ(opened.back().second, static_cast<LPARAM>(kOpenNewTab | kOpenInBackground));
    ::DestroyWindow(view->GetTabWindow());
}

namespace {

std::string FileText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

} // namespace

TEST_F(PageMail, SaveCommandsWriteWhereTheUserChose)
{
    FakePage page{L"Saved: a page?", L"", 0, {}};
    page.source = "<html><body>Kept source</body></html>";
    CBrowserView* view = Open(L"http://www.example.com/saved.html", page);
    ASSERT_NE(view, nullptr);
    CFakeBrowser* engine = m_engine.FindBrowser(view->GetWebBrowser());
    ASSERT_NE(engine, nullptr);
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 100, &AnswerSaveDialog);
    ASSERT_NE(timer, 0u);

    // The web archive: the program's dialog, then the engine's own Save As, filled in.
    g_savePath = KivoTestScratchFolder() + "archive.mht";
    g_saveAnswered = false;
    Command(view, kSaveAsWebArchiveCommand);
    EXPECT_TRUE(g_saveAnswered);
    EXPECT_EQ(engine->saveDialogs, 1);
    EXPECT_EQ(engine->savedPath, g_savePath);
    EXPECT_EQ(engine->savedFileType, 2u);

    // The source view's text (the edit control is there for this part).
    ASSERT_TRUE(QuillpointDllMain(::GetModuleHandleA(nullptr), 1, nullptr));
    Command(view, ID_BROWSER_VIEW_SOURCE);
    ASSERT_NE(view->GetSourceView(), nullptr);
    g_savePath = KivoTestScratchFolder() + "source.htm";
    g_saveAnswered = false;
    Command(view, kSourceViewSaveCommand);
    EXPECT_TRUE(g_saveAnswered);
    EXPECT_EQ(FileText(g_savePath), page.source);
    ::KillTimer(nullptr, timer);
    ::DestroyWindow(view->GetTabWindow());
    QuillpointDllMain(::GetModuleHandleA(nullptr), 0, nullptr);
}
