// Pixel probes of the shared tab drawing, into a 24-bit memory bitmap.
#include "controls/TabDraw.h"

#include <gtest/gtest.h>

namespace {

// A white 64 x 32 canvas and a custom-draw record with distinct colours.
class Canvas {
public:
    Canvas()
    {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = 64;
        info.bmiHeader.biHeight = -32;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 24;
        void* bits = nullptr;
        m_dc = CreateCompatibleDC(nullptr);
        m_bitmap = CreateDIBSection(m_dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        m_old = SelectObject(m_dc, m_bitmap);
        CTabDraw::FillSolid(m_dc, RECT{0, 0, 64, 32}, kWhite);
        cd.nmcd.hdc = m_dc;
        cd.inactiveText = RGB(10, 20, 30);
        cd.selectedTab = RGB(200, 100, 0);
        cd.highlight = RGB(0, 0, 200);
        cd.btnText = RGB(0, 0, 0);
        cd.btnHighlight = RGB(250, 250, 250);
        cd.btnShadow = RGB(128, 128, 128);
    }
    ~Canvas()
    {
        SelectObject(m_dc, m_old);
        DeleteObject(m_bitmap);
        DeleteDC(m_dc);
    }
    COLORREF At(int x, int y) const { return GetPixel(m_dc, x, y); }

    static constexpr COLORREF kWhite = RGB(255, 255, 255);
    CTabCustomDraw cd = {};

private:
    HDC m_dc = nullptr;
    HBITMAP m_bitmap = nullptr;
    HGDIOBJ m_old = nullptr;
};

}  // namespace

TEST(TabDraw, ScrollTriangleIsFilledOnlyWhileScrollingIsPossible)
{
    const RECT button{0, 0, 15, 15};
    // The right-pointing triangle (5, 3), (5, 11), (9, 7): (6, 7) lies inside it.
    Canvas possible;
    CTabDraw::ScrollButton(possible.cd, button, true, true, {});
    EXPECT_EQ(possible.At(6, 7), possible.cd.inactiveText);
    Canvas disabled;
    CTabDraw::ScrollButton(disabled.cd, button, true, false, {});
    EXPECT_EQ(disabled.At(6, 7), Canvas::kWhite);
    EXPECT_EQ(disabled.At(5, 7), disabled.cd.inactiveText);  // the outline is there
    // Pressed under the pointer: a sunken edge; a disabled button shows no edge at all.
    Canvas pressed;
    CTabDraw::ScrollButton(pressed.cd, button, false, true, {true, false});
    EXPECT_NE(pressed.At(0, 0), Canvas::kWhite);
    Canvas disabledPressed;
    CTabDraw::ScrollButton(disabledPressed.cd, button, false, false, {true, true});
    EXPECT_EQ(disabledPressed.At(0, 0), Canvas::kWhite);
}

TEST(TabDraw, Narrow2005TabsArePlainRectangles)
{
    // A wide tab is slanted: its lower left corner area stays empty.
    Canvas wide;
    CTabDraw::Slanted2005Tab(wide.cd, RECT{0, 0, 60, 24}, false);
    EXPECT_EQ(wide.At(3, 6), Canvas::kWhite);
    EXPECT_EQ(wide.At(30, 10), wide.cd.selectedTab);
    // Below 27 pixels the plain DotNet tab fills that corner.
    Canvas narrow;
    CTabDraw::Slanted2005Tab(narrow.cd, RECT{0, 0, 26, 24}, false);
    EXPECT_EQ(narrow.At(3, 6), narrow.cd.selectedTab);
    // Highlighted tabs take the highlight colour.
    Canvas marked;
    marked.cd.nmcd.uItemState = CDIS_SELECTED | CDIS_MARKED;
    CTabDraw::Slanted2005Tab(marked.cd, RECT{0, 0, 60, 24}, false);
    EXPECT_EQ(marked.At(30, 10), marked.cd.highlight);
}

TEST(TabDraw, CloseCrossAndSeparators)
{
    Canvas close;
    CTabDraw::CloseButton(close.cd, RECT{0, 0, 15, 15}, {});
    EXPECT_EQ(close.At(3, 4), close.cd.inactiveText);
    EXPECT_EQ(close.At(7, 1), Canvas::kWhite);
    // The separator is skipped before the selected tab.
    Canvas separator;
    CTabDraw::UnselectedTab(separator.cd, RECT{0, 0, 40, 24}, false, false, false);
    EXPECT_EQ(separator.At(39, 10), separator.cd.btnShadow);
    Canvas beforeSelected;
    CTabDraw::UnselectedTab(beforeSelected.cd, RECT{0, 0, 40, 24}, false, false, true);
    EXPECT_EQ(beforeSelected.At(39, 10), Canvas::kWhite);
}
