// The frame's rebar bands: their colours come from the flat scheme, except the command bar's.
#include "frame/MainFrame.h"

#include "frame/tests/FrameTestSupport.h"

#include "controls/ToolBarFlatLook.h"

#include <gtest/gtest.h>

using namespace frame_test;

TEST(FrameBands, EveryBandButTheCommandBarsTakesTheFlatFaceColour)
{
    ResetFrameSettings();
    ResetFrameLayout();
    CTestFrame test;
    const HWND rebar = test.Frame().GetReBar();
    ASSERT_TRUE(rebar);
    const COLORREF face = GetFlatColorScheme()[kFlatFace];
    const int count = static_cast<int>(SendMessageA(rebar, RB_GETBANDCOUNT, 0, 0));
    ASSERT_GE(count, 6);
    int coloured = 0;
    for (int i = 0; i < count; ++i) {
        REBARBANDINFOA band = {sizeof(band)};
        band.fMask = RBBIM_COLORS | RBBIM_CHILD | RBBIM_ID;
        ASSERT_TRUE(SendMessageA(rebar, RB_GETBANDINFOA, i, reinterpret_cast<LPARAM>(&band)));
        if (band.hwndChild == test.Frame().GetCommandBar().m_hWnd) {
            EXPECT_EQ(band.wID, UINT{ID_BAND_COMMAND_BAR});
            EXPECT_NE(band.clrBack, face);  // the command bar paints its own background
            continue;
        }
        EXPECT_EQ(band.clrBack, face) << "band " << band.wID;
        ++coloured;
    }
    EXPECT_EQ(coloured, count - 1);
}
