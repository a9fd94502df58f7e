// Menus: item texts, popup menus through the frame's tracker, system-menu commands.
#include "core/system/MenuFunctions.h"
#include "core/tests/TestWindow.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(MenuFunctions, MenuTexts)
{
    HMENU menu = CreatePopupMenu();
    AppendMenuA(menu, MF_STRING, 100, "&Open\tCtrl+O");
    AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    EXPECT_EQ("&Open\tCtrl+O", GetMenuItemText(menu, 100, MF_BYCOMMAND));
    EXPECT_EQ("&Open\tCtrl+O", GetMenuItemText(menu, 0, MF_BYPOSITION));
    EXPECT_EQ(12, GetMenuItemTextLength(menu, 0, MF_BYPOSITION));
    EXPECT_EQ("", GetMenuItemText(menu, 1, MF_BYPOSITION));
    EXPECT_EQ("", GetMenuItemText(menu, 999, MF_BYCOMMAND));
    DestroyMenu(menu);
}

// Records each popup menu it is asked to track.
class CRecordingTracker : public IFramePopupMenuTracker {
public:
    UINT Track(HMENU, UINT flags, int x, int y, HWND owner) override
    {
        TestWindow::received.push_back("tracked " + std::to_string(flags) + " " + std::to_string(x) + "," +
                                       std::to_string(y) + (owner ? " owned" : ""));
        return 4242;
    }
};

TEST(MenuFunctions, PopupMenusGoThroughTheFramesTracker)
{
    TestWindow owner("KivoTestFrame");
    HMENU menu = CreatePopupMenu();
    TestWindow::received.clear();
    CRecordingTracker tracker;
    IFramePopupMenuTracker* const previous = SetFramePopupMenuTracker(&tracker);
    EXPECT_EQ(4242u, TrackFramePopupMenu(menu, TPM_RETURNCMD, 5, 6, owner));
    SetFramePopupMenuTracker(previous);
    EXPECT_EQ((std::vector<std::string>{"tracked 256 5,6 owned"}), TestWindow::received);
    DestroyMenu(menu);
}

TEST(MenuFunctions, SystemMenuCommandsToPost)
{
    EXPECT_FALSE(IsSystemMenuCommand(0));
    EXPECT_FALSE(IsSystemMenuCommand(0xEFFF));
    EXPECT_TRUE(IsSystemMenuCommand(SC_SIZE));
    EXPECT_TRUE(IsSystemMenuCommand(SC_CLOSE));
}

} // namespace
