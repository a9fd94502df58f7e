// The main frame's services in the frame itself: the tray icon added or not at creation by the
// settings, the frame hidden to the tray and brought back by a click of its icon, the start-up
// update check started after creation and stopped when the frame closes, and the external tools
// in the "&Tools" menu.
#include "frame/MainFrame.h"

#include "frame/tests/FrameTestSupport.h"

#include "core/app/Settings.h"
#include "frame/services/ExternalTools.h"
#include "frame/services/TrayIcon.h"

#include <gtest/gtest.h>

using namespace frame_test;

namespace {

class CFrameServicesTest : public testing::Test {
protected:
    void SetUp() override
    {
        ResetFrameSettings();
        ResetFrameLayout();
        GetSettings()->PreviousRunState = 1;
    }
    void TearDown() override { ResetFrameSettings(); }
};

} // namespace

TEST_F(CFrameServicesTest, TheTrayIconFollowsTheSettingAndAClickHidesAndRestoresTheFrame)
{
    CSettings& settings = *GetSettings();
    const struct {
        DWORD sysFlags;
        bool iconShown;
    } cases[] = {
        {0x101C, true},
        {0x101C | kSysFlagNoTrayIcon, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.sysFlags);
        settings.SysFlags = c.sysFlags | SysFlag::NoStartWithWindows;
        CTestFrame test;
        ASSERT_NE(nullptr, test.Window());
        test.RunAfterCreate();
        EXPECT_EQ(c.iconShown, test.Frame().IsTrayIconShown());
        ASSERT_TRUE(IsWindowVisible(test.Window()));

        // A click of the icon hides the frame to the tray (the icon is there then in any case);
        // the next brings it back.
        SendMessageA(test.Window(), kMsgTrayCallback, kTrayIconId, WM_LBUTTONDOWN);
        EXPECT_FALSE(IsWindowVisible(test.Window()));
        EXPECT_TRUE(test.Frame().IsTrayIconShown());
        SendMessageA(test.Window(), kMsgTrayCallback, kTrayIconId, WM_LBUTTONDOWN);
        EXPECT_TRUE(IsWindowVisible(test.Window()));

        // The options page's choice reaches the icon.
        test.Frame().RemoveTrayIcon();
        EXPECT_FALSE(test.Frame().IsTrayIconShown());
        test.Frame().AddTrayIcon();
        EXPECT_TRUE(test.Frame().IsTrayIconShown());
        test.Close();
        EXPECT_EQ(1, TakeQuitCode());
    }
}

TEST_F(CFrameServicesTest, TheStartUpUpdateCheckRunsAfterCreationAndEndsWithTheFrame)
{
    CSettings& settings = *GetSettings();
    {
        CTestFrame test;
        test.RunAfterCreate();
        EXPECT_TRUE(test.Frame().WasUpdateCheckStarted());
        test.Close();
        // The frame went while the worker may still be in its download: closing waited for it
        // within its time-out and nothing was left to post to the window.
        EXPECT_FALSE(IsWindow(test.Window()));
    }
    settings.SysFlags |= SysFlag::NoUpdateCheck;
    {
        CTestFrame test;
        test.RunAfterCreate();
        EXPECT_FALSE(test.Frame().WasUpdateCheckStarted());
        test.Close();
    }
}

TEST_F(CFrameServicesTest, TheToolsMenuHoldsTheManagerAndTheExternalTools)
{
    CExternalToolList* tools = GetExternalToolList();
    ASSERT_NE(nullptr, tools);
    const std::vector<CExternalTool> saved = tools->m_tools;
    char notepad[MAX_PATH] = "";
    ASSERT_NE(0u, SearchPathA(nullptr, "notepad.exe", nullptr, sizeof(notepad), notepad, nullptr));
    tools->m_tools = {{"Editor", notepad, "", "", "", -1}, {"Gone", "C:\\no\\such.exe", "", "", "", -1}};
    {
        CTestFrame test;
        test.RunAfterCreate();
        HMENU menu = test.Frame().GetMenuBarMenu();
        HMENU toolsMenu = nullptr;
        for (int i = 0; i < GetMenuItemCount(menu); ++i) {
            char text[64] = "";
            GetMenuStringA(menu, UINT(i), text, sizeof(text), MF_BYPOSITION);
            if (std::string(text) == "&Tools")
                toolsMenu = GetSubMenu(menu, i);
        }
        ASSERT_NE(nullptr, toolsMenu);
        HMENU external = nullptr;
        for (int i = 0; i < GetMenuItemCount(toolsMenu); ++i) {
            char text[64] = "";
            GetMenuStringA(toolsMenu, UINT(i), text, sizeof(text), MF_BYPOSITION);
            if (std::string(text) == "&External Tools")
                external = GetSubMenu(toolsMenu, i);
        }
        ASSERT_NE(nullptr, external);
        ASSERT_EQ(3, GetMenuItemCount(external));
        EXPECT_EQ(kIdToolsManager, GetMenuItemID(external, 0));
        EXPECT_EQ(kIdFirstTool, GetMenuItemID(external, 2));
        test.Close();
    }
    tools->m_tools = saved;
}
