#pragma once
// The frame's menu bar, made in one place so that the flat command bar can take it over: today the
// menu is the window's own menu bar; the command bar will instead show it in the rebar band
// ID_BAND_COMMAND_BAR and take the window's menu away.
#include <windows.h>

// Shows the menu as the frame's menu bar. Returns the window to put in the command-bar band, or
// null when the menu is the window's own menu bar (no band). The menu becomes the frame's: it is
// destroyed with the window.
HWND CreateFrameMenuBar(HWND frame, HWND reBar, HMENU menu);
// The menu the bar shows (null before CreateFrameMenuBar).
HMENU GetFrameMenuBarMenu(HWND frame);
