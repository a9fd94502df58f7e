#pragma once
// The flat look of the frame's toolbars and rebar: the thirteen-colour flat scheme (entries 1 to
// 13, computed from the system colours; plain system colours on screens of 8 bits or fewer),
// the painting of one toolbar button (DrawToolBarButton in the menu style manager's colours, and
// the same steps in the flat scheme for the command bar and the toolbars it paints), and the
// custom draw of a rebar: flat bands with striped grippers, band texts and the "»" chevron of a
// band too narrow for its child. Stateless routines; each leaves the DC's selections as it found
// them.
#include "controls/MenuStyleManager.h"

#include <windows.h>
#include <commctrl.h>

// The entries of the flat scheme by number (0 is unused).
enum EFlatColor : int {
    kFlatWindowFrame = 1,   // COLOR_WINDOWFRAME: the popup frame, the joined button's frame
    kFlatMenuBack = 2,      // the popup's background
    kFlatFace = 3,          // the icon column, band backgrounds, the joined button's fill
    kFlatHotFrame = 4,      // a hot button's frame
    kFlatHotFill = 5,       // a hot button's fill
    kFlatHotFillLight = 6,
    kFlatPressedFill = 7,   // a pressed, selected or checked button's fill
    kFlatGrayText = 8,      // disabled text
    kFlatWindowText = 9,
    kFlatMenuText = 10,
    kFlatButtonText = 11,   // button text
    kFlatHotText = 12,      // a hot button's text
    kFlatIconShadow = 13,   // a hot icon's shadow
    kFlatColorCount = 14,
};

struct CFlatColorScheme {
    COLORREF colors[kFlatColorCount] = {};
    COLORREF operator[](int entry) const { return entry > 0 && entry < kFlatColorCount ? colors[entry] : 0; }
};

// The scheme for the given system colours (windowFrame is COLOR_WINDOWFRAME) and colour depth.
CFlatColorScheme ComputeFlatColorScheme(const CMenuSystemColors& system, COLORREF windowFrame, int colorDepth);
// The scheme of this screen now.
CFlatColorScheme GetFlatColorScheme();

// The colours one button is painted with.
struct CButtonColors {
    COLORREF frame = 0;        // hot or pressed frame
    COLORREF hotFill = 0;
    COLORREF pressedFill = 0;  // selected, pressed or checked
    COLORREF iconShadow = 0;
    COLORREF disabledText = 0;
    COLORREF hotText = 0;
    COLORREF text = 0;
    COLORREF joinedFill = 0;   // a button whose popup hangs from it
    COLORREF joinedFrame = 0;
};
// The command bar's colours from the flat scheme.
CButtonColors FlatButtonColors(const CFlatColorScheme& scheme);
// DrawToolBarButton's colours from the menu style manager (system colours without it).
CButtonColors MenuStyleButtonColors();

// Paints one toolbar button completely in the program's flat style (the caller answers
// CDRF_SKIPDEFAULT): background for hot, selected, pressed and checked buttons, the drop-down
// arrow, the icon from the hot, disabled or normal list with a shadow when hot, and the text.
void DrawToolBarButton(const NMTBCUSTOMDRAW& draw);
// The same with given colours and font (null: the toolbar's); joined paints the button as the
// one an open popup hangs from; hidePrefix draws mnemonic characters without their underline.
void DrawFlatToolBarButton(const NMTBCUSTOMDRAW& draw, const CButtonColors& colors, HFONT font, bool joined,
                           bool hidePrefix);

// The custom draw answers of a toolbar painted in the flat look: item notifications asked for,
// each item painted here and the default skipped.
LRESULT CustomDrawFlatToolBar(NMTBCUSTOMDRAW& draw, const CButtonColors& colors, HFONT font, int joinedItem,
                              bool hidePrefix);

// The rebar's bands in the flat look, with grippers, band texts and chevrons.
LRESULT CustomDrawFlatReBar(NMCUSTOMDRAW& draw, const CFlatColorScheme& scheme);
// Whether the band shows a chevron (RBBS_USECHEVRON and a child narrower than the band's ideal
// width), and where it is drawn in the rebar's client coordinates.
bool GetReBarChevronRect(HWND reBar, int band, RECT& rect);
// Draws the chevron of the band (hot when the cursor is over it: the rebar repaints it as the
// cursor comes and goes only when someone watches its mouse moves, as the command bar does).
void DrawReBarChevron(HDC dc, HWND reBar, int band, const CFlatColorScheme& scheme);
// The 4-pixel gripper stripes at the left of a band rectangle.
void DrawBandGripper(HDC dc, const RECT& bandRect);

// A popup of the buttons of the toolbar in the band that do not fit in its visible part: each
// hidden button a command (with its text, enabled and checked state), each hidden command bar
// item its popup. Null when nothing is hidden; the caller destroys the menu (DestroyMenu on a
// popup with a command bar's submenus would destroy them: use DestroyChevronMenu).
HMENU BuildChevronMenu(HWND toolBar);
void DestroyChevronMenu(HMENU menu);
