// The tray rectangle on made-up task bars.
#include "core/system/TrayArea.h"
#include "core/tests/TestWindow.h"

#include <gtest/gtest.h>

namespace {

TEST(TrayArea, TrayRectangleOfMadeUpTaskBars)
{
    // A task bar along the bottom with the clock at the notification area's bottom right.
    {
        TestWindow bar("KivoTestTaskBar", nullptr, {0, 700, 1000, 740});
        TestWindow notify("TrayNotifyWnd", bar, {800, 0, 1000, 40});
        TestWindow clock("TrayClockWClass", notify, {150, 0, 200, 40});
        RECT rect = {};
        ASSERT_TRUE(GetTrayAreaRectOf(bar, &rect));
        EXPECT_EQ(800, rect.left);
        EXPECT_EQ(700, rect.top);
        EXPECT_EQ(950, rect.right) << "the clock at the bottom is cut away on the right";
        EXPECT_EQ(740, rect.bottom);
    }
    // A clock high up in a tall notification area cuts the top away.
    {
        TestWindow bar("KivoTestTaskBar", nullptr, {900, 0, 1000, 700});
        TestWindow notify("TrayNotifyWnd", bar, {0, 500, 100, 700});
        TestWindow clock("TrayClockWClass", notify, {0, 0, 100, 30});
        RECT rect = {};
        ASSERT_TRUE(GetTrayAreaRectOf(bar, &rect));
        EXPECT_EQ(530, rect.top);
        EXPECT_EQ(1000, rect.right);
    }
    // Without a notification area: the whole bar.
    {
        TestWindow bar("KivoTestTaskBar", nullptr, {0, 700, 1000, 740});
        RECT rect = {};
        ASSERT_TRUE(GetTrayAreaRectOf(bar, &rect));
        EXPECT_EQ(0, rect.left);
        EXPECT_EQ(1000, rect.right);
    }
    RECT rect = {};
    EXPECT_FALSE(GetTrayAreaRectOf(nullptr, &rect));
    GetTrayAreaRect(&rect);
    EXPECT_LT(rect.left, rect.right);
    EXPECT_LT(rect.top, rect.bottom);
}

} // namespace
