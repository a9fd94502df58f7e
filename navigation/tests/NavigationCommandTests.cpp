// The frame's navigation commands through HandleNavigationCommand, against a frame double.
#include "navigation/NavigationCommands.h"
#include "navigation/tests/NavigationTestSupport.h"

#include "core/app/Settings.h"
#include "navigation/GroupStore.h"

#include <gtest/gtest.h>

namespace {

TEST(NavigationCommands, GroupsTogglesAndUnknownCommands)
{
    nav_test::CFrameDouble frame;
    CGroupStore groups("");
    ASSERT_TRUE(groups.AddGroup("Morning", {"http://a.example/", "http://b.example/"}));
    ASSERT_TRUE(groups.AddGroup("Empty"));
    CNavigationServices services;
    services.groups = &groups;

    EXPECT_TRUE(HandleNavigationCommand(frame.Window(), kOpenGroupFirstCommand, services, {}, ""));
    ASSERT_EQ(2u, frame.opens.size());
    EXPECT_EQ("http://b.example/", frame.opens[1].url);
    EXPECT_EQ(DWORD{kOpenNewTab}, frame.opens[1].flags);
    EXPECT_TRUE(HandleNavigationCommand(frame.Window(), kOpenGroupFirstCommand + 1, services, {}, ""));
    EXPECT_TRUE(HandleNavigationCommand(frame.Window(), kOpenGroupFirstCommand + 7, services, {}, ""));
    EXPECT_EQ(2u, frame.opens.size()) << "an empty or missing group opens nothing";

    EXPECT_TRUE(HandleNavigationCommand(frame.Window(), kAddToGroupFirstCommand + 1, services, {}, "http://page.example/"));
    EXPECT_EQ((std::vector<std::string>{"http://page.example/"}), groups.Groups()[1].urls);
    EXPECT_TRUE(groups.IsModified());

    const int saved = GetSettings()->TabOpenFlags.value;
    GetSettings()->TabOpenFlags = 0x22;
    EXPECT_TRUE(HandleNavigationCommand(frame.Window(), ID_TOGGLE_ADDRESS_NEW_TAB, services, {}, ""));
    EXPECT_EQ(0x23, GetSettings()->TabOpenFlags.value);
    EXPECT_TRUE(HandleNavigationCommand(frame.Window(), ID_TOGGLE_SEARCH_NEW_TAB, services, {}, ""));
    EXPECT_EQ(0x21, GetSettings()->TabOpenFlags.value);
    GetSettings()->TabOpenFlags = saved;

    EXPECT_FALSE(HandleNavigationCommand(frame.Window(), ID_ADDRESS_BAR_OPTIONS, services, {}, ""));
    EXPECT_FALSE(HandleNavigationCommand(frame.Window(), 2, services, {}, ""));
}

}  // namespace
