// Saving as a web archive under Wine: the engine double's Save As shows the system's real file
// dialog, which the name filler finds, sets to the web-archive type, fills with the chosen path
// and confirms.
#include "browser/BrowserView.h"
#include "browser/tests/BrowserTestHost.h"
#include "browser/tools/SaveAsWebArchive.h"
#include "frame/MainFrameData.h"

#include "tests/engine/FakeEngine.h"
#include "tests/support/TestScratch.h"

#include <gtest/gtest.h>

#include <string>

TEST(SaveAsWebArchive, TheChosenNameIsTypedIntoTheEnginesSaveDialog)
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

    const std::string target = KivoTestScratchFolder() + "Example Domain.mht";
    CSavePageRequest request;
    request.browser = tab->GetWebBrowser();
    request.path = target.c_str();
    EXPECT_TRUE(SavePageAs(request));
    EXPECT_EQ(browser->saveDialogs, 1);
    EXPECT_EQ(browser->savedPath, target);
    EXPECT_EQ(browser->savedFileType, 2u);  // the second entry: the web archive
    EXPECT_FALSE(request.fill);

    // No browser: nothing is shown.
    CSavePageRequest empty;
    EXPECT_FALSE(SavePageAs(empty));
    EXPECT_EQ(browser->saveDialogs, 1);
    ::DestroyWindow(tab->GetTabWindow());
}

TEST(SaveAsWebArchive, ProposedNameIsTheTitleWithoutTheCharactersFileNamesCannotHold)
{
    EXPECT_EQ(WebArchiveNameFromTitle("a\\b/c:d,e;f*g?h<i>j|k\"l"), "a-b-c-d-e-f-g-h-i-j-k-l");
    EXPECT_EQ(WebArchiveNameFromTitle("Example Domain"), "Example Domain");
}
