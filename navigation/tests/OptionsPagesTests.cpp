// The program's option page factory in the Options dialog: the gesture, URL alias, search bar,
// start pages, favorites and blocker pages stand in the tree at their places and open as the
// dialog's pages; screenshots of the dialog on every page of the tree.
#include "navigation/OptionsPages.h"

#include "browser/filter/FilterResources.h"
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
    for (int id : {IDD_MOUSE_ACTIONS_PAGE, IDD_MOUSE_TRAILS_PAGE, IDD_URL_ALIAS_LIST, IDD_SEARCH_BAR_PAGE, IDD_FAVORITES_PAGE,
                   IDD_START_PAGES_PAGE, IDD_POPUP_BLOCKER_PAGE, IDD_POPUP_ADVANCED, IDD_AD_FILTER_PAGE, IDD_AD_ADVANCED}) {
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
        {IDD_START_PAGES_PAGE, "Start Pages", nullptr, "options-start-pages.bmp"},
        {IDD_FAVORITES_PAGE, "Favorites", nullptr, "options-favorites.bmp"},
        {IDD_POPUP_BLOCKER_PAGE, "Popup - 0 blocked", "Popup Blocker", "options-popup-blocker.bmp"},
        {IDD_POPUP_ADVANCED, "Advanced Settings", "Popup Blocker", "options-popup-advanced.bmp"},
        {IDD_AD_FILTER_PAGE, "Ad-Filter - 0 blocked", "Ad-Filter", "options-ad-filter.bmp"},
        {IDD_AD_ADVANCED, "Advanced Settings", "Ad-Filter", "options-ad-advanced.bmp"},
        {IDD_STARTUP_PAGE, "Startup", nullptr, "options-startup.bmp"},
        {IDD_ADDRESS_BAR_PAGE, "Address Bar", "Address Bar", "options-address-bar.bmp"},
        {IDD_TAB_PAGE, "Tab", nullptr, "options-tab.bmp"},
        {IDD_DOWNLOAD_PAGE, "Download", nullptr, "options-download.bmp"},
        {IDD_CLEAR_RECORDS_PAGE, "Clear Records", nullptr, "options-clear-records.bmp"},
        {IDD_MISCELLANEOUS_PAGE, "Miscellaneous", nullptr, "options-miscellaneous.bmp"},
        {IDD_SELECT_LANGUAGE_PAGE, "Select Language", nullptr, "options-select-language.bmp"},
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
    EXPECT_EQ(settings->LastOptionID.value, IDD_SELECT_LANGUAGE_PAGE);
}

}  // namespace
