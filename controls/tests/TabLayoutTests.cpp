// The geometry and colour arithmetic of the tab strips, without windows.
#include "controls/DotNetTabCtrl.h"
#include "controls/TabItem.h"
#include "controls/TabLayout.h"

#include <gtest/gtest.h>

namespace {

bool Same(const RECT& a, const RECT& b) { return EqualRect(&a, &b) != FALSE; }

std::vector<int> Widths(const std::vector<RECT>& rects)
{
    std::vector<int> widths;
    for (const RECT& r : rects)
        widths.push_back(r.right - r.left);
    return widths;
}

}  // namespace

TEST(TabLayout, ButtonsSitAtTheRightEdgeOfTheBand)
{
    const RECT client{0, 0, 300, 24};
    // Tabs at the top: 2-pixel side insets, buttons between top + 1 and bottom - 2.
    auto top = CTabLayout::PlaceButtons(client, kTabStyleScroll | kTabStyleCloseButton, true);
    EXPECT_TRUE(Same(top.close, RECT{281, 4, 296, 19}));
    EXPECT_TRUE(Same(top.scrollRight, RECT{266, 4, 281, 19}));
    EXPECT_TRUE(Same(top.scrollLeft, RECT{251, 4, 266, 19}));
    EXPECT_TRUE(Same(top.items, RECT{2, 0, 251, 24}));
    // Without the close style the scroll buttons take the right inset themselves.
    auto scrollOnly = CTabLayout::PlaceButtons(client, kTabStyleScroll, false);
    EXPECT_TRUE(IsRectEmpty(&scrollOnly.close));
    EXPECT_EQ(scrollOnly.scrollRight.right, 296);
    // The close style with nothing closable selected leaves no close button and no inset.
    auto noClosable = CTabLayout::PlaceButtons(client, kTabStyleScroll | kTabStyleCloseButton, false);
    EXPECT_TRUE(IsRectEmpty(&noClosable.close));
    EXPECT_EQ(noClosable.scrollRight.right, 298);
    // Tabs at the bottom: no side insets, 3-pixel right inset, buttons from top + 3.
    auto bottom = CTabLayout::PlaceButtons(client, kTabStyleBottom | kTabStyleCloseButton, true);
    EXPECT_TRUE(Same(bottom.close, RECT{282, 6, 297, 21}));
    EXPECT_TRUE(Same(bottom.items, RECT{0, 0, 282, 24}));
    // Too narrow for a button: none at all.
    auto narrow = CTabLayout::PlaceButtons(RECT{0, 0, 18, 24}, kTabStyleScroll | kTabStyleCloseButton, true);
    EXPECT_TRUE(IsRectEmpty(&narrow.close));
    EXPECT_TRUE(IsRectEmpty(&narrow.scrollLeft));
}

TEST(TabLayout, FitLayoutSqueezesTheUnselectedItems)
{
    const RECT client{0, 0, 200, 24};
    const RECT area{2, 0, 198, 24};  // 196 wide
    struct Case {
        std::vector<int> widths;
        int selected;
        std::vector<int> expected;
    };
    const Case cases[] = {
        // Fits: natural widths.
        {{50, 60, 70}, 1, {50, 60, 70}},
        // Squeezed by ratio: available 196-10-60 = 126, others 200 -> 0.63.
        {{100, 60, 100}, 1, {63, 60, 63}},
        // The smallest would fall under the minimum item width (22): equal shares of available.
        {{30, 100, 200}, 1, {43, 100, 43}},
        // No room for the others at their minimum: everyone gets an equal share.
        {{100, 180, 100}, 1, {62, 62, 62}},
        // No selection: natural widths even when too wide.
        {{100, 100, 100}, -1, {100, 100, 100}},
    };
    for (const Case& c : cases) {
        auto rects = CTabLayout::FitLayout(c.widths, c.selected, 5, 22, client, area);
        EXPECT_EQ(Widths(rects), c.expected);
        EXPECT_EQ(rects.front().left, 5);
        EXPECT_EQ(rects.front().bottom, 24);
    }
}

TEST(TabLayout, ScrollLayoutKeepsTheLastItemAtTheRightEdge)
{
    const RECT client{0, 0, 200, 24};
    const RECT area{2, 0, 168, 24};
    int offset = -500;
    auto rects = CTabLayout::ScrollLayout({100, 100, 100}, 5, client, area, offset);
    EXPECT_EQ(rects[2].right, 305);
    EXPECT_EQ(offset, 168 - 310);
    offset = -20;
    CTabLayout::ScrollLayout({50}, 5, client, area, offset);
    EXPECT_EQ(offset, 0);

    // EnsureVisible leaves 20 pixels of the neighbour in view, unless a partial view is allowed.
    EXPECT_EQ(CTabLayout::EnsureVisibleOffset(RECT{-40, 0, 10, 24}, area, false, -50), -50 + 2 + 40 + 20);
    EXPECT_EQ(CTabLayout::EnsureVisibleOffset(RECT{-40, 0, 10, 24}, area, true, -50), -50);
    EXPECT_EQ(CTabLayout::EnsureVisibleOffset(RECT{150, 0, 200, 24}, area, false, 0), 168 - 200 - 20);
    EXPECT_EQ(CTabLayout::EnsureVisibleOffset(RECT{50, 0, 100, 24}, area, false, -7), -7);
}

TEST(TabLayout, HitTestNamesItemsAndButtons)
{
    auto areas = CTabLayout::PlaceButtons(RECT{0, 0, 300, 24}, kTabStyleScroll | kTabStyleCloseButton, true);
    const std::vector<RECT> items{{5, 0, 105, 24}, {105, 0, 205, 24}, {205, 0, 305, 24}};
    UINT where = 0;
    EXPECT_EQ(CTabLayout::HitTest({50, 10}, items, 0, areas, where), 0);
    EXPECT_EQ(where, static_cast<UINT>(kTabHitItem));
    EXPECT_EQ(CTabLayout::HitTest({50, 10}, items, -100, areas, where), 1);
    // An item running under the buttons is not hit there.
    EXPECT_EQ(CTabLayout::HitTest({288, 10}, items, 0, areas, where), -1);
    EXPECT_EQ(where, static_cast<UINT>(kTabHitCloseButton));
    CTabLayout::HitTest({270, 10}, items, 0, areas, where);
    EXPECT_EQ(where, static_cast<UINT>(kTabHitScrollRight));
    CTabLayout::HitTest({255, 10}, items, 0, areas, where);
    EXPECT_EQ(where, static_cast<UINT>(kTabHitScrollLeft));
    EXPECT_EQ(CTabLayout::HitTest({1, 10}, {}, 0, areas, where), -1);
    EXPECT_EQ(where, static_cast<UINT>(kTabHitNowhere));
}

TEST(TabLayout, LookColoursAndTextOffset)
{
    // The classic button face (212, 208, 200): m = 212 < 221, d = 35.
    EXPECT_EQ(CTabLayout::Lighten(RGB(212, 208, 200)), RGB(247, 242, 233));
    // A light face (240, 240, 240): d = 15.
    EXPECT_EQ(CTabLayout::Lighten(RGB(240, 240, 240)), RGB(255, 255, 255));
    EXPECT_EQ(CTabLayout::Lighten(RGB(0, 0, 0)), RGB(35, 35, 35));
    // Grey text (128, 128, 128) loses 43.5 -> 84; components below 43 are halved.
    EXPECT_EQ(CTabLayout::Darken(RGB(128, 128, 128)), RGB(84, 84, 84));
    EXPECT_EQ(CTabLayout::Darken(RGB(128, 40, 0)), RGB(84, 20, 0));
    EXPECT_EQ(CTabLayout::Darken(RGB(0, 0, 0)), RGB(0, 0, 0));
    EXPECT_EQ(CTabLayout::TextOffset(-11), 0);
    EXPECT_EQ(CTabLayout::TextOffset(-15), 2);
    EXPECT_EQ(CTabLayout::TextOffset(-12), 0);

    // On a 256-colour screen the DotNet looks fall back to the window colour and plain grey.
    const auto palette = CDotNetColours::For(8, RGB(212, 208, 200), RGB(128, 128, 128));
    EXPECT_TRUE(palette.useWindowBrush);
    EXPECT_EQ(palette.inactiveText, RGB(128, 128, 128));
    const auto trueColour = CDotNetColours::For(24, RGB(212, 208, 200), RGB(128, 128, 128));
    EXPECT_FALSE(trueColour.useWindowBrush);
    EXPECT_EQ(trueColour.background, RGB(247, 242, 233));
    EXPECT_EQ(trueColour.inactiveText, RGB(84, 84, 84));
}

TEST(TabItem, CopyAndMatchKeepTheViewWindowWhereItFits)
{
    CViewTabItem view;
    view.SetText("Page");
    view.SetToolTip("http://example.org/");
    view.SetImageIndex(3);
    view.SetHighlighted(true);
    view.SetCanClose(false);
    view.SetViewWindow(reinterpret_cast<HWND>(0x1234));

    CTabItem plain;
    plain.CopyFrom(view);
    EXPECT_EQ(plain.GetText(), "Page");
    EXPECT_EQ(plain.GetImageIndex(), 3);
    EXPECT_TRUE(plain.IsHighlighted());
    EXPECT_FALSE(plain.CanClose());
    EXPECT_EQ(plain.GetViewWindow(), nullptr);

    CViewTabItem other;
    other.SetViewWindow(reinterpret_cast<HWND>(0x99));
    other.CopyFrom(plain);  // a plain record has no view to give
    EXPECT_EQ(other.GetViewWindow(), reinterpret_cast<HWND>(0x99));
    other.CopyFrom(view);
    EXPECT_EQ(other.GetViewWindow(), view.GetViewWindow());

    EXPECT_TRUE(other.Matches(view, 0x7F));
    EXPECT_FALSE(plain.Matches(view, kTabItemViewWindow));
    EXPECT_TRUE(plain.Matches(view, kTabItemText | kTabItemImage | kTabItemToolTip));
    CTabItem fresh;
    EXPECT_EQ(fresh.GetImageIndex(), -1);
    EXPECT_TRUE(fresh.CanClose());
    EXPECT_FALSE(fresh.IsHighlighted());
}
