// The program's option page factory in the Options dialog: the gesture, URL alias and search bar
// pages stand in the tree at their places and open as the dialog's pages; screenshots of the
// dialog on each of them.
#include "navigation/OptionsPages.h"

#include "controls/tests/Screenshot.h"
#include "core/app/Settings.h"
#include "frame/gestures/GestureResources.h"
#include "frame/options/OptionsPageFactory.h"
#include "frame/options/tests/OptionsTestSupport.h"
#include "navigation/NavigationResources.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(ProgramOptionsPages, TheFactoryMakesEachPageOfItsId)
{
    COptionsPages factory;
    for (int id : {IDD_MOUSE_ACTIONS_PAGE, IDD_MOUSE_TRAILS_PAGE, IDD_URL_ALIAS_LIST, IDD_SEARCH_BAR_PAGE}) {
        const std::unique_ptr<COptionsPage> page = factory.CreatePage(id);
        ASSERT_TRUE(page) << id;
        EXPECT_EQ(page->GetDialogID(), id);
    }
    EXPECT_FALSE(factory.CreatePage(IDD_ASSIGN_URL_ALIAS)) << "a dialog that is no page";
}

TEST(ProgramOptionsPages, TheDialogShowsThePagesInTheirGroupsAndCancelKeepsThem)
{
    CSettings* settings = GetSettings();
    ASSERT_NE(settings, nullptr);
    settings->SkipSaveAtExit();
    COptionsPages factory;
    CScopedOptionsPageFactory scope(factory);
    options_test::COpenOptions open(IDD_MOUSE_ACTIONS_PAGE);
    ASSERT_TRUE(open.window);
    EXPECT_EQ(open.ShownPageId(), IDD_MOUSE_ACTIONS_PAGE);
    HTREEITEM shown = TreeView_GetSelection(open.Tree());
    EXPECT_EQ(options_test::TreeText(open.Tree(), shown), "Mouse Actions");
    EXPECT_EQ(options_test::TreeText(open.Tree(), TreeView_GetParent(open.Tree(), shown)), "Mouse Gestures");

    const struct {
        int id;
        const char* text;
        const char* parent;
        const char* shot;
    } pages[] = {
        {IDD_MOUSE_ACTIONS_PAGE, "Mouse Actions", "Mouse Gestures", "options-mouse-actions.bmp"},
        {IDD_MOUSE_TRAILS_PAGE, "Mouse Trails", "Mouse Gestures", "options-mouse-trails.bmp"},
        {IDD_URL_ALIAS_LIST, "URL Alias", "Address Bar", "options-url-alias.bmp"},
        {IDD_SEARCH_BAR_PAGE, "Search Bar", nullptr, "options-search-bar.bmp"},
    };
    for (const auto& page : pages) {
        ASSERT_TRUE(open.dialog->SelectPage(page.id)) << page.text;
        EXPECT_EQ(open.ShownPageId(), page.id);
        shown = TreeView_GetSelection(open.Tree());
        EXPECT_EQ(options_test::TreeText(open.Tree(), shown), page.text);
        if (page.parent) {
            EXPECT_EQ(options_test::TreeText(open.Tree(), TreeView_GetParent(open.Tree(), shown)), page.parent);
        }
        ::RedrawWindow(open.window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        options_test::PumpUntil([] { return true; });
        RECT rect = {};
        ::GetWindowRect(open.window, &rect);
        std::string path;
        EXPECT_TRUE(kivo_test::WriteScreenRect(rect, page.shot, path)) << path;
    }
    open.Command(IDCANCEL);
    EXPECT_TRUE(open.Closed());
    EXPECT_EQ(settings->LastOptionID.value, IDD_SEARCH_BAR_PAGE);
}

}  // namespace
