#pragma once
// The drawing shared by the tab looks: the content band, the tab shapes, the text and image of a
// tab, and the close and scroll buttons. Every function draws into cd.nmcd.hdc with the colours of
// the custom-draw record; rectangles are in the coordinates of that device context.
#include "controls/TabItem.h"
#include "controls/TabLayout.h"
#include "controls/TabNotify.h"

#include <commctrl.h>

class CTabDraw {
public:
    static void FillSolid(HDC dc, const RECT& rect, COLORREF colour);
    static void Line(HDC dc, int x1, int y1, int x2, int y2, COLORREF colour);

    // The band between the tabs and the content below (or above, for tabs at the bottom).
    static void DotNetBand(const CTabCustomDraw& cd, const RECT& client, bool bottom, COLORREF lineColour,
                           COLORREF rightEdgeColour);
    // An unselected tab: highlight fill when highlighted, the separator unless the next tab is
    // the selected one.
    static void UnselectedTab(const CTabCustomDraw& cd, const RECT& rect, bool bottom, bool rightOfSelected,
                              bool nextIsSelected);
    // The selected tab of the DotNet looks, open towards the content band.
    static void DotNetSelectedTab(const CTabCustomDraw& cd, const RECT& rect, bool bottom);
    // The slanted selected tab of the 2005 look (plain DotNet shape below 27 pixels).
    static void Slanted2005Tab(const CTabCustomDraw& cd, const RECT& rect, bool bottom);

    // Text and image of a tab inside textArea; the image goes to the area's right edge when
    // imageAtRight, else to its left edge.
    static void ItemContent(const CTabCustomDraw& cd, const CTabItem& item, RECT textArea, const CTabMetrics& metrics,
                            HIMAGELIST images, bool imageAtRight);

    // Element states of a button.
    struct ButtonState {
        bool pressedUnder = false;  // pressed and the pointer is over it
        bool hot = false;
    };
    static void CloseButton(const CTabCustomDraw& cd, const RECT& rect, ButtonState state);
    static void ScrollButton(const CTabCustomDraw& cd, const RECT& rect, bool pointsRight, bool possible,
                             ButtonState state);
};
