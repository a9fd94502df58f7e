// Find highlighting under Wine through a tab and the engine double's documents: every occurrence
// of each search word marked in its style in the page and its nested frames, the styles going
// round after ten words, and the marks removed again with the text as it was, while the live
// element collection changes under the walk.
#include "browser/BrowserView.h"
#include "browser/tests/BrowserTestHost.h"
#include "browser/tools/FindHighlight.h"
#include "frame/MainFrameData.h"

#include "tests/engine/FakeDocument.h"
#include "tests/engine/FakeEngine.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

std::wstring Mark(int style, const std::wstring& text)
{
    return L"<SPAN id='KBrowID' style='color:" + std::wstring(HighlightStyle(style)) + text + L"</SPAN>";
}

} // namespace

TEST(FindHighlight, MarksEveryWordInItsStyleInAllFramesAndRemovesTheMarksAgain)
{
    CFakeEngine engine;
    CTestBrowserHost host;
    ASSERT_TRUE(engine.IsRegistered());
    InstallBrowserTabFactory();

    auto top = std::make_shared<CFakeTextDocument>();
    top->AddText(L"Kivo opens tabs. Tabs tabs of KIVO");
    top->AddElement(L"B", L"KBrowID", L"bold kivo");  // the page's own element of that id: left alone
    auto frame = std::make_shared<CFakeTextDocument>();
    frame->AddText(L"a frame about tabs");
    auto inner = std::make_shared<CFakeTextDocument>();
    inner->AddText(L"kivo in a frame in a frame");
    frame->AddFrame(inner);
    top->AddFrame(frame);
    const std::wstring topText = top->Text(), frameText = frame->Text(), innerText = inner->Text();
    FakePage page{L"Highlight test", L"", 0, {}};
    page.textDocument = top;
    engine.AddPage(L"http://www.example.com/highlight.html", page);
    IBrowserTab* tab = GetBrowserTabFactory()->CreateBrowserTab(host.GetMdiClientWindow(), nullptr,
                                                                "http://www.example.com/highlight.html", 0x70);
    ASSERT_NE(tab, nullptr);
    engine.PumpUntilIdle();

    EXPECT_TRUE(tab->ToggleSearchHighlight("kivo  tabs"));
    EXPECT_EQ(top->Markup(), Mark(0, L"Kivo") + L" opens " + Mark(1, L"tabs") + L". " + Mark(1, L"Tabs") + L" " +
                                 Mark(1, L"tabs") + L" of " + Mark(0, L"KIVO") + L"<B id='KBrowID' style=''>bold kivo</B>");
    EXPECT_EQ(frame->Markup(), L"a frame about " + Mark(1, L"tabs"));
    EXPECT_EQ(inner->Markup(), Mark(0, L"kivo") + L" in a frame in a frame");
    EXPECT_GE(top->selectionClears, 1);
    EXPECT_GE(inner->selectionClears, 1);

    // The second use removes every mark, the adjacent ones too, and leaves the text as it was.
    EXPECT_FALSE(tab->ToggleSearchHighlight("kivo tabs"));
    EXPECT_EQ(top->Text(), topText);
    EXPECT_EQ(top->Markup(), topText.substr(0, topText.size() - 9) + L"<B id='KBrowID' style=''>bold kivo</B>");
    EXPECT_EQ(frame->Markup(), frameText);
    EXPECT_EQ(inner->Markup(), innerText);
    ::DestroyWindow(tab->GetTabWindow());
}

TEST(FindHighlight, TheEleventhWordTakesTheFirstStyleAgainAndMarkupInMatchesIsEscaped)
{
    CFakeEngine engine;
    CTestBrowserHost host;
    InstallBrowserTabFactory();
    auto top = std::make_shared<CFakeTextDocument>();
    top->AddText(L"w0 w1 w2 w3 w4 w5 w6 w7 w8 w9 w10 a<b");
    FakePage page{L"Words", L"", 0, {}};
    page.textDocument = top;
    engine.AddPage(L"http://www.example.com/words.html", page);
    IBrowserTab* tab = GetBrowserTabFactory()->CreateBrowserTab(host.GetMdiClientWindow(), nullptr,
                                                                "http://www.example.com/words.html", 0x70);
    ASSERT_NE(tab, nullptr);
    engine.PumpUntilIdle();
    EXPECT_TRUE(tab->ToggleSearchHighlight("w10 w1 w2 w3 w4 w5 w6 w7 w8 w9 w0 a<b"));
    const std::wstring markup = top->Markup();
    EXPECT_NE(markup.find(Mark(0, L"w10")), std::wstring::npos);
    EXPECT_NE(markup.find(Mark(9, L"w9")), std::wstring::npos);
    EXPECT_NE(markup.find(Mark(0, L"w0")), std::wstring::npos);  // the eleventh word
    EXPECT_NE(markup.find(Mark(1, L"a&lt;b")), std::wstring::npos);
    ::DestroyWindow(tab->GetTabWindow());
}

TEST(FindHighlight, FindNextGoesThroughThePageThenItsFramesAndStartsOver)
{
    CFakeEngine engine;
    CTestBrowserHost host;
    InstallBrowserTabFactory();
    auto top = std::make_shared<CFakeTextDocument>();
    top->AddText(L"tabs here, Tabs there");
    auto first = std::make_shared<CFakeTextDocument>();
    first->AddText(L"no match in this frame");
    auto second = std::make_shared<CFakeTextDocument>();
    second->AddText(L"tabs and more tabs");
    top->AddFrame(first);
    top->AddFrame(second);
    FakePage page{L"Find", L"", 0, {}};
    page.textDocument = top;
    engine.AddPage(L"http://www.example.com/find.html", page);
    IBrowserTab* tab = GetBrowserTabFactory()->CreateBrowserTab(host.GetMdiClientWindow(), nullptr,
                                                                "http://www.example.com/find.html", 0x70);
    ASSERT_NE(tab, nullptr);
    engine.PumpUntilIdle();

    // Each match in turn, the frame's second one too, then none, then the first again.
    const struct {
        CFakeTextDocument* document;
        size_t at;
    } expected[] = {{top.get(), 0}, {top.get(), 11}, {second.get(), 0}, {second.get(), 14}};
    for (int round = 0; round < 2; ++round) {
        for (const auto& match : expected) {
            SCOPED_TRACE(testing::Message() << "round " << round << " at " << match.at);
            ASSERT_TRUE(tab->FindNextSearchWord("tabs and more"));
            EXPECT_EQ(match.document->selectedAt, match.at);
            EXPECT_EQ(match.document->selectedText.size(), 4u);
        }
        EXPECT_FALSE(tab->FindNextSearchWord("tabs and more"));
        EXPECT_TRUE(top->selectedText.empty());
        EXPECT_TRUE(second->selectedText.empty());
    }
    EXPECT_GE(second->scrolls, 4);
    ::DestroyWindow(tab->GetTabWindow());
}
