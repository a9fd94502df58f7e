// The options container: pages taken in as children, a collapse that halves the visible height on
// every tick until its end time, groups that expand again, a click on a disabled header that does
// nothing, the single-click rule of the glyph-only style, one-line scrolling, and a picture.
#include "controls/widgets/OptionsContainer.h"
#include "controls/skins/tests/SkinTestSupport.h"
#include "controls/tests/Screenshot.h"

#include <gtest/gtest.h>

#include <vector>

using namespace skin_test;

namespace {

std::vector<WORD> g_codes;

class CContainerParent : public CWindowImpl<CContainerParent, CWindow, CWinTraits<WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN>> {
public:
    DECLARE_WND_CLASS_EX("KivoOptionsParent", 0, COLOR_BTNFACE)
    BEGIN_MSG_MAP(CContainerParent)
        MESSAGE_HANDLER(WM_COMMAND, OnCommand)
    END_MSG_MAP()
    LRESULT OnCommand(UINT, WPARAM wParam, LPARAM, BOOL&)
    {
        if (LOWORD(wParam) == 55)
            g_codes.push_back(HIWORD(wParam));
        return 0;
    }
};

HWND MakePage(int height, const char* title)
{
    HWND page = CreateTestDialog(title, 0, 0);
    SetWindowPos(page, nullptr, 0, 0, 300, height, SWP_NOMOVE | SWP_NOZORDER);
    return page;
}

LPARAM BandPoint(COptionsContainer& container, int index, int fromRight)
{
    const RECT band = container.GetItemRect(index, true);
    return MAKELPARAM(band.right - fromRight, band.bottom - 6);
}

}  // namespace

TEST(OptionsContainer, GroupsCollapseByHalvesAndExpandAgain)
{
    CContainerParent parent;
    ASSERT_TRUE(parent.Create(nullptr, RECT{kTestOriginX + 10, kTestOriginY + 10, kTestOriginX + 380, kTestOriginY + 460}));
    COptionsContainer container;
    ASSERT_TRUE(container.Create(parent, RECT{0, 0, 360, 440}, nullptr, 0, 0, 55U));
    HWND first = MakePage(300, "Popup blocker");
    HWND second = MakePage(120, "Ad filter");
    ASSERT_EQ(container.AddPage(1350, first, nullptr, -1), 0);
    ASSERT_EQ(container.AddPage(1351, second, "Filter", -1), 1);
    EXPECT_EQ(container.AddPage(1, nullptr, "none", -1), -1);
    const DWORD style = static_cast<DWORD>(GetWindowLongPtrA(first, GWL_STYLE));
    EXPECT_TRUE(style & WS_CHILD);
    EXPECT_FALSE(style & (WS_POPUP | WS_CAPTION | WS_SYSMENU));
    EXPECT_TRUE(GetWindowLongPtrA(first, GWL_EXSTYLE) & WS_EX_CONTROLPARENT);
    EXPECT_EQ(GetParent(first), container.m_hWnd);
    EXPECT_TRUE(container.IsExpanded(0));
    EXPECT_EQ(container.GetVisibleHeight(0), 300);
    std::string shot;
    RedrawWindow(parent, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    EXPECT_TRUE(kivo_test::WriteWindowScreenshot(parent, "options-container-expanded.bmp", shot));

    // Collapsing with the animation: each tick before the end halves the height.
    g_codes.clear();
    ASSERT_TRUE(container.Expand(0, false, true));
    const DWORD end = container.GetAnimationEnd(0);
    ASSERT_NE(end, 0u);
    EXPECT_EQ(container.GetVisibleHeight(0), 150);
    std::vector<int> heights;
    for (DWORD at : {end - 150, end - 100, end - 50}) {
        container.AnimationTick(at);
        heights.push_back(container.GetVisibleHeight(0));
    }
    EXPECT_EQ(heights, (std::vector<int>{75, 37, 18}));
    EXPECT_TRUE(IsWindowVisible(first));
    container.AnimationTick(end);
    EXPECT_EQ(container.GetVisibleHeight(0), 0);
    EXPECT_FALSE(IsWindowVisible(first));
    EXPECT_EQ(g_codes, (std::vector<WORD>{kOptionsGroupChanging, kOptionsGroupAnimated}));
    // The second page moved up under its header.
    RECT page = {};
    GetWindowRect(second, &page);
    MapWindowPoints(nullptr, container, reinterpret_cast<POINT*>(&page), 2);
    EXPECT_EQ(page.top, container.GetItemRect(1, true).bottom);

    // Without animation a toggle completes at once; the real timer's ticks end an animated one.
    container.SetStyle(kOptionsNoAnimation);
    ASSERT_TRUE(container.Expand(0, true, true));
    EXPECT_EQ(container.GetVisibleHeight(0), 300);
    container.SetStyle(0);
    ASSERT_TRUE(container.Expand(1, false, true));
    EXPECT_TRUE(PumpUntil([&] { return container.GetVisibleHeight(1) == 0; }));
    EXPECT_TRUE(container.Expand(1, false, true));  // already so
    EXPECT_FALSE(container.Expand(7, true, true));

    // Clicks: a disabled header does nothing; with the glyph-only style a single click on the
    // caption selects without toggling, a double click toggles.
    container.EnableGroup(1, false);
    SendMessageA(container, WM_LBUTTONDOWN, MK_LBUTTON, BandPoint(container, 1, 100));
    EXPECT_FALSE(container.IsExpanded(1));
    EXPECT_EQ(container.GetSelectedGroup(), -1);
    container.SetStyle(kOptionsToggleAtGlyphOnly | kOptionsNoAnimation);
    SendMessageA(container, WM_LBUTTONDOWN, MK_LBUTTON, BandPoint(container, 0, 150));
    EXPECT_EQ(container.GetSelectedGroup(), 0);
    EXPECT_TRUE(container.IsExpanded(0));
    SendMessageA(container, WM_LBUTTONDOWN, MK_LBUTTON, BandPoint(container, 0, 10));
    EXPECT_FALSE(container.IsExpanded(0));
    SendMessageA(container, WM_LBUTTONDBLCLK, MK_LBUTTON, BandPoint(container, 0, 150));
    EXPECT_TRUE(container.IsExpanded(0));

    // One line of scrolling moves the pages by one pixel.
    SetWindowPos(container, nullptr, 0, 0, 360, 200, SWP_NOMOVE | SWP_NOZORDER);
    GetWindowRect(first, &page);
    const LONG before = page.top;
    SendMessageA(container, WM_VSCROLL, SB_LINEDOWN, 0);
    GetWindowRect(first, &page);
    EXPECT_EQ(page.top, before - 1);
    SCROLLINFO info = {sizeof(info), SIF_PAGE};
    GetScrollInfo(container, SB_VERT, &info);
    EXPECT_EQ(info.nPage, 200u);  // the page is the client height, wherever the position is
    SetWindowPos(container, nullptr, 0, 0, 360, 440, SWP_NOMOVE | SWP_NOZORDER);
    RedrawWindow(parent, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    EXPECT_TRUE(kivo_test::WriteWindowScreenshot(parent, "options-container.bmp", shot));
}
