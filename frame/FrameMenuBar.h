#pragma once
// The frame's menu bar: the flat command bar (controls/CommandBarXP.h) in the rebar band
// ID_BAND_COMMAND_BAR shows the frame's menu, and the window itself has none. Where the bar
// cannot be made the menu stays the window's own menu bar.
#include <windows.h>

class CCommandBarXP;

// Makes `bar` a child of the rebar and hands it the menu. Returns the bar's window for the band, or
// null when the menu stayed the window's own menu bar (no band), which the window destroys. A menu
// that the bar shows stays the caller's, to destroy once the bar's window is gone.
HWND CreateFrameMenuBar(CCommandBarXP& bar, HWND frame, HWND reBar, HMENU menu);
