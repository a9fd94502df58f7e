// The tabbed popup frame switching its views: a click on a tab shows that tab's view above the
// strip along the bottom and hides the one before; selecting the active tab again changes
// nothing; the focus stays where it is while the strip holds the mouse.
#include "controls/widgets/TabbedPopupFrame.h"
#include "controls/skins/tests/SkinTestSupport.h"
#include "controls/tests/Screenshot.h"

#include <gtest/gtest.h>

using namespace skin_test;

TEST(TabbedPopupFrame, TabsSwitchTheViews)
{
    CTabbedPopupFrame frame;
    ASSERT_TRUE(frame.Create(nullptr, RECT{kTestOriginX + 30, kTestOriginY + 30, kTestOriginX + 430, kTestOriginY + 330},
                             "Blocked content"));
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongPtrA(frame, GWL_STYLE)) & kTabbedPopupFrameStyle, kTabbedPopupFrameStyle);
    ASSERT_TRUE(frame.CreateStrip());
    HWND views[2];
    const char* names[2] = {"Popups", "Ads"};
    for (int i = 0; i < 2; ++i) {
        views[i] = CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", names[i], WS_CHILD | ES_MULTILINE, 0, 0, 10, 10, frame,
                                   nullptr, GetModuleHandleA(nullptr), nullptr);
        ASSERT_EQ(frame.AddView(views[i], names[i]), i);
    }
    // The first tab was selected as it came: its view shows above the strip.
    EXPECT_EQ(frame.GetActiveView(), views[0]);
    EXPECT_TRUE(IsWindowVisible(views[0]));
    RECT client = {};
    GetClientRect(frame, &client);
    RECT strip = {};
    GetWindowRect(frame.GetStrip()->m_hWnd, &strip);
    MapWindowPoints(nullptr, frame, reinterpret_cast<POINT*>(&strip), 2);
    EXPECT_EQ(strip.bottom, client.bottom);
    EXPECT_EQ(strip.bottom - strip.top, frame.GetStripHeight());
    EXPECT_GE(frame.GetStripHeight(), 24);
    RECT view = {};
    GetWindowRect(views[0], &view);
    MapWindowPoints(nullptr, frame, reinterpret_cast<POINT*>(&view), 2);
    EXPECT_EQ(view.bottom, strip.top);

    // A real click on the second tab.
    SetForegroundWindow(frame);
    PumpPending();
    RECT tab = {};
    frame.GetStrip()->GetItemRect(1, tab);
    POINT centre = {(tab.left + tab.right) / 2, (tab.top + tab.bottom) / 2};
    ClientToScreen(frame.GetStrip()->m_hWnd, &centre);
    ClickAtScreen(centre);
    ASSERT_TRUE(PumpUntil([&] { return frame.GetActiveView() == views[1]; }));
    EXPECT_TRUE(IsWindowVisible(views[1]));
    EXPECT_FALSE(IsWindowVisible(views[0]));
    EXPECT_EQ(GetFocus(), views[1]);
    std::string shot;
    RedrawWindow(frame, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    EXPECT_TRUE(kivo_test::WriteWindowScreenshot(frame, "tabbed-popup-frame.bmp", shot));

    frame.SelectView(1);  // the active one: nothing changes
    EXPECT_EQ(frame.GetActiveView(), views[1]);
    EXPECT_TRUE(IsWindowVisible(views[1]));
    frame.SelectView(0);
    EXPECT_EQ(frame.GetActiveView(), views[0]);
    EXPECT_FALSE(IsWindowVisible(views[1]));

    // While the strip holds the mouse the frame's focus stays where it is.
    SetFocus(views[1]);
    SetCapture(frame.GetStrip()->m_hWnd);
    SendMessageA(frame, WM_SETFOCUS, 0, 0);
    EXPECT_EQ(GetFocus(), views[1]);
    ReleaseCapture();
    SendMessageA(frame, WM_SETFOCUS, 0, 0);
    EXPECT_EQ(GetFocus(), views[0]);

    frame.SetStripHidden(true);
    EXPECT_EQ(frame.GetStripHeight(), 0);
    frame.DestroyWindow();
}
