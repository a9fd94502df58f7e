// The tray rectangle on made-up task bars.
#include "core/system/TrayArea.h"
#include "core/tests/TestWindow.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

TEST(TrayArea, TrayRectangleOfMadeUpTaskBars)
{
    const RECT kNone = {0, 0, 0, 0};
    const struct {
        const char* what;
        RECT bar;
        RECT notify;  // kNone: the bar has no notification area
        RECT clock;   // in the notification area
        RECT tray;
    } cases[] = {
        {"a bar along the bottom: the clock at the bottom is cut away on the right", {0, 700, 1000, 740},
         {800, 0, 1000, 40}, {150, 0, 200, 40}, {800, 700, 950, 740}},
        {"a clock high up in a tall notification area cuts the top away", {900, 0, 1000, 700}, {0, 500, 100, 700},
         {0, 0, 100, 30}, {900, 530, 1000, 700}},
        {"without a notification area: the whole bar", {0, 700, 1000, 740}, kNone, kNone, {0, 700, 1000, 740}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TestWindow bar("KivoTestTaskBar", nullptr, c.bar);
        std::unique_ptr<TestWindow> notify;
        std::unique_ptr<TestWindow> clock;
        if (!EqualRect(&c.notify, &kNone)) {
            notify = std::make_unique<TestWindow>("TrayNotifyWnd", bar, c.notify);
            clock = std::make_unique<TestWindow>("TrayClockWClass", *notify, c.clock);
        }
        RECT rect = {};
        ASSERT_TRUE(GetTrayAreaRectOf(bar, &rect));
        EXPECT_EQ(c.tray.left, rect.left);
        EXPECT_EQ(c.tray.top, rect.top);
        EXPECT_EQ(c.tray.right, rect.right);
        EXPECT_EQ(c.tray.bottom, rect.bottom);
    }
    RECT rect = {};
    EXPECT_FALSE(GetTrayAreaRectOf(nullptr, &rect));
    GetTrayAreaRect(&rect);
    EXPECT_LT(rect.left, rect.right);
    EXPECT_LT(rect.top, rect.bottom);
}

} // namespace
