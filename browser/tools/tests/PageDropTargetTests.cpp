// The page drop target under Wine: what a tab's host hands its engine, and what a drop of a link,
// a text or a file does (a new tab through the frame's open-URL request, or a search).
#include "browser/BrowserView.h"
#include "browser/tests/BrowserTestHost.h"
#include "browser/tools/PageDropTarget.h"
#include "frame/MainFrameData.h"

#include "browser/tools/tests/PageToolsTestSupport.h"
#include "tests/engine/FakeEngine.h"

#include <gtest/gtest.h>
#include <shlobj.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

using page_tools_test::CTestDataObject;


class CRecordingSearch final : public IPageTextSearch {
public:
    CRecordingSearch() : m_previous(SetPageTextSearch(this)) {}
    ~CRecordingSearch() override { SetPageTextSearch(m_previous); }
    CRecordingSearch(const CRecordingSearch&) = delete;
    CRecordingSearch& operator=(const CRecordingSearch&) = delete;
    void SearchText(const char* text) override { searched.push_back(text); }
    std::vector<std::string> searched;

private:
    IPageTextSearch* m_previous;  // not owned
};

} // namespace

TEST(PageDropTarget, DroppedLinksAndFilesOpenInANewTabAndDroppedTextIsSearched)
{
    CFakeEngine engine;
    CTestBrowserHost host;
    ASSERT_TRUE(engine.IsRegistered());
    InstallBrowserTabFactory();
    engine.AddPage(L"http://www.example.com/", {L"Example Domain", L"", 0, {}});
    IBrowserTab* tab = GetBrowserTabFactory()->CreateBrowserTab(host.GetMdiClientWindow(), nullptr,
                                                                "http://www.example.com/", 0x70);
    ASSERT_NE(tab, nullptr);
    engine.PumpUntilIdle();
    CFakeBrowser* browser = engine.FindBrowser(tab->GetWebBrowser());
    ASSERT_NE(browser, nullptr);

    // The engine of every page is given the one program-wide target.
    CComPtr<IDropTarget> target = browser->AskHostDropTarget();
    ASSERT_NE(target, nullptr);
    EXPECT_EQ(target.p, GetPageDropTarget());
    CComPtr<IUnknown> unknown;
    EXPECT_EQ(target->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&unknown.p)), E_NOINTERFACE);

    CRecordingSearch search;
    const struct {
        const char* name;
        const char* text;
        const char* file;
        DWORD effect;
        const char* opened;    // the address opened in a new tab, or null
        const char* searched;  // the text searched, or null
    } cases[] = {
        {"link from another browser", "http://www.example.org/linked.html", nullptr, DROPEFFECT_LINK,
         "http://www.example.org/linked.html", nullptr},
        {"selected text", "kivo browser tabs", nullptr, DROPEFFECT_COPY | DROPEFFECT_MOVE, nullptr, "kivo browser tabs"},
        {"file from the shell", nullptr, "C:\\pages\\saved.html", DROPEFFECT_COPY, "C:\\pages\\saved.html", nullptr},
        {"file and text: the file wins", "some text", "C:\\pages\\saved.html", DROPEFFECT_COPY, nullptr,
         "C:\\pages\\saved.html"},
        {"copy, move and link at once", "http://www.example.org/", nullptr, DROPEFFECT_COPY | DROPEFFECT_MOVE |
         DROPEFFECT_LINK, nullptr, nullptr},
        {"nothing readable", nullptr, nullptr, DROPEFFECT_COPY, nullptr, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        host.ClearFrameRecord();
        const size_t openedBefore = host.OpenedUrls().size();
        search.searched.clear();
        CTestDataObject data(c.text, c.file);
        DWORD effect = c.effect;
        EXPECT_EQ(target->DragEnter(&data, MK_LBUTTON, {10, 10}, &effect), S_OK);
        EXPECT_EQ(effect, c.effect);
        effect = c.effect;
        EXPECT_EQ(target->Drop(&data, MK_LBUTTON, {10, 10}, &effect), S_OK);
        const auto opened = host.OpenedUrls();
        if (c.opened) {
            ASSERT_EQ(opened.size(), openedBefore + 1);
            EXPECT_EQ(opened.back().first, c.opened);
            EXPECT_EQ(opened.back().second & kOpenNewTab, static_cast<LPARAM>(kOpenNewTab));
        } else {
            EXPECT_EQ(opened.size(), openedBefore);
        }
        EXPECT_EQ(search.searched, c.searched ? std::vector<std::string>{c.searched} : std::vector<std::string>{});
    }
    ::DestroyWindow(tab->GetTabWindow());
}
