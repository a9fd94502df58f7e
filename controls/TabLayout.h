#pragma once
// The geometry of the tab strips, apart from any window: where the close and scroll buttons go,
// how items are laid out in scroll and fit modes, what a point hits, how far to scroll so an item
// shows, and the colour arithmetic of the looks. TTabCtrlBase feeds it and keeps the results.
#include <windows.h>

#include <vector>

// Window style bits of the tab strips (low word of the window style).
enum : DWORD {
    kTabStyleScroll = 0x0001,        // items keep their natural widths and scroll
    kTabStyleBottom = 0x0002,        // tabs along the bottom edge
    kTabStyleCloseButton = 0x0008,   // close button while a closable tab is selected
    kTabStyleHotTrack = 0x0040,      // the item under the pointer is drawn hot
    kTabStyleShadowEdge = 0x0100,    // the content band's right edge stays in the shadow colour
    kTabStyleDragReorder = 0x0400,   // items can be dragged to a new place
    kTabStyleBoldSelected = 0x2000,  // the selected tab's font is bold
    kTabStyleToolTips = 0x4000,      // tooltips for items and buttons
};

// Where-codes of CTabLayout::HitTest.
enum : UINT {
    kTabHitNowhere = 1,
    kTabHitItem = 6,
    kTabHitCloseButton = 16,
    kTabHitScrollRight = 32,
    kTabHitScrollLeft = 64,
};

// Per-look metrics, signed bytes (see the looks for their values).
struct CTabMetrics {
    signed char textMargin = 0;
    signed char itemInset = 0;
    signed char spareInset = 0;
    signed char stripMargin = 0;
    signed char textOffset = 0;
    signed char minTextWidth = 0;
    signed char rightExtra = 0;
    signed char leftExtra = 0;
};

class CTabLayout {
public:
    static constexpr int kButtonSize = 15;

    // The items area and the three button rectangles of a strip.
    struct Areas {
        RECT items = {};
        RECT close = {};
        RECT scrollLeft = {};
        RECT scrollRight = {};
    };

    // Places the buttons in the client rectangle; the close button only when shown is true (the
    // style asks for it and the selected item can close).
    static Areas PlaceButtons(const RECT& client, DWORD style, bool closeShown);

    // Items at their natural widths from the strip margin, full client height. The offset
    // (0 or negative) is pulled back when the last item would end left of the area's right edge.
    static std::vector<RECT> ScrollLayout(const std::vector<int>& widths, int stripMargin, const RECT& client,
                                          const RECT& area, int& offset);
    // Items squeezed into the area; selected is the index of the selected item (or -1), whose
    // natural width is in widths like the others'.
    static std::vector<RECT> FitLayout(const std::vector<int>& widths, int selected, int stripMargin,
                                       int minItemWidth, const RECT& client, const RECT& area);

    // The offset after an item (rectangle with the offset applied) is brought into the area.
    static int EnsureVisibleOffset(const RECT& item, const RECT& area, bool partialAllowed, int offset);

    // Item index or -1 and the where-code. Item rectangles are without the offset.
    static int HitTest(POINT point, const std::vector<RECT>& items, int offset, const Areas& areas, UINT& where);

    // The DotNet looks' background: COLOR_BTNFACE lightened, and their darkened grey text.
    static COLORREF Lighten(COLORREF colour);
    static COLORREF Darken(COLORREF colour);
    // The vertical text offset for an icon-title font of the given lfHeight.
    static int TextOffset(LONG fontHeight) { return (-11 - fontHeight) / 2; }
};
