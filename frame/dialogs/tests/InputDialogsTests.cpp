// The input dialogs as real windows under Wine: the new start page prompt enables OK only with
// text and appends the address to the start-page list; "Add to Group" names the group in its
// caption, starts with the active tab's address and takes only web addresses, secure ones included.
#include "controls/tests/Screenshot.h"
#include "core/app/ProgramFolders.h"
#include "frame/dialogs/AddToGroupDlg.h"
#include "frame/dialogs/NewStartPageDlg.h"
#include "frame/dialogs/tests/DialogsTestSupport.h"
#include "tests/support/TestScratch.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

using namespace dialogs_test;

TEST(NewStartPageDialog, OkIsEnabledOnlyWithTextAndAppendsTheAddress)
{
    CStartSites sites((KivoTestScratchFolder() + "StartSitesOfThePrompt").c_str());
    sites.m_sites.push_back("http://first.example/");
    COpenDialog<CNewStartPageDlg> open(std::make_unique<CNewStartPageDlg>(&sites));
    ASSERT_TRUE(open.window);
    EXPECT_FALSE(::IsWindowEnabled(open.Control(IDOK)));
    open.SetText(IDC_NEW_START_PAGE_URL, "http://second.example/");
    EXPECT_TRUE(::IsWindowEnabled(open.Control(IDOK)));
    std::string path;
    EXPECT_TRUE(kivo_test::WriteScreenRect(
        [&] {
            RECT rect = {};
            ::GetWindowRect(open.window, &rect);
            return rect;
        }(),
        "new_start_page_dialog.bmp", path));
    open.SetText(IDC_NEW_START_PAGE_URL, "");
    EXPECT_FALSE(::IsWindowEnabled(open.Control(IDOK)));
    open.SetText(IDC_NEW_START_PAGE_URL, "http://second.example/");
    open.Command(IDOK);
    EXPECT_TRUE(open.Closed());
    ASSERT_EQ(sites.m_sites.size(), 2u);
    EXPECT_EQ(sites.m_sites[1], "http://second.example/");
    EXPECT_EQ(open.dialog->GetAddress(), "http://second.example/");
}

TEST(NewStartPageDialog, CancelAddsNothing)
{
    CStartSites sites((KivoTestScratchFolder() + "StartSitesOfTheCancelledPrompt").c_str());
    COpenDialog<CNewStartPageDlg> open(std::make_unique<CNewStartPageDlg>(&sites));
    ASSERT_TRUE(open.window);
    open.SetText(IDC_NEW_START_PAGE_URL, "http://never.example/");
    open.Command(IDCANCEL);
    EXPECT_TRUE(open.Closed());
    EXPECT_TRUE(sites.m_sites.empty());
}

TEST(AddToGroupDialog, NamesTheGroupAndStartsWithTheActiveAddress)
{
    COpenDialog<CAddToGroupDlg> open(std::make_unique<CAddToGroupDlg>("News", "http://active.example/page"));
    ASSERT_TRUE(open.window);
    char caption[128] = {};
    ::GetWindowTextA(open.window, caption, sizeof(caption));
    EXPECT_STREQ(caption, "Add to Group: News");
    EXPECT_EQ(open.Text(IDC_ADD_TO_GROUP_URL), "http://active.example/page");
    EXPECT_TRUE(::IsWindowEnabled(open.Control(IDOK)));
    std::string path;
    RECT rect = {};
    ::GetWindowRect(open.window, &rect);
    EXPECT_TRUE(kivo_test::WriteScreenRect(rect, "add_to_group_dialog.bmp", path));
    open.Command(IDOK);
    EXPECT_TRUE(open.Closed());
    EXPECT_EQ(open.dialog->GetAddress(), "http://active.example/page");
}

TEST(AddToGroupDialog, OkFollowsWhetherTheTextIsAWebAddress)
{
    const struct {
        const char* text;
        bool enabled;
    } cases[] = {
        {"http://www.example.com/", true},
        {"https://secure.example.com/login", true},
        {"ftp://files.example.com/pub/", true},
        {"about:blank", false},
        {"javascript:alert(1)", false},
        {"file:///c:/windows/", false},
        {"not an address", false},
        {"", false},
    };
    COpenDialog<CAddToGroupDlg> open(std::make_unique<CAddToGroupDlg>("Group", ""));
    ASSERT_TRUE(open.window);
    EXPECT_FALSE(::IsWindowEnabled(open.Control(IDOK)));
    for (const auto& test : cases) {
        SCOPED_TRACE(test.text);
        open.SetText(IDC_ADD_TO_GROUP_URL, test.text);
        EXPECT_EQ(::IsWindowEnabled(open.Control(IDOK)) != FALSE, test.enabled);
    }
}

}  // namespace
