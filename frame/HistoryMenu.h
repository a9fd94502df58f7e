#pragma once
// The menus of the Back and Forward buttons' drop-down arrows: the active tab's history, up to
// nine pages nearest first, read from the browser object's travel log. Item n gets the command
// firstId + n, which takes the tab n + 1 pages back or forward.
#include <windows.h>

constexpr int kMaxHistoryMenuItems = 9;

// Append the earlier (back) or later (forward) pages of the browser object to the menu; the
// template's commands firstId + n to firstId + 8 that got no page are removed, also when the
// browser has no travel log. The number of pages added.
int FillBackMenu(IUnknown* browser, HMENU menu, UINT firstId);
int FillForwardMenu(IUnknown* browser, HMENU menu, UINT firstId);
