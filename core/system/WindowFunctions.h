#pragma once
// Questions and small actions on windows: covering, layout refresh, searches by class, the work
// area of a monitor, toolbar item rectangles, class names.
#include "core/library/StdStr.h"

#include <windows.h>

// The window found one pixel right of and five pixels below the window's top-left corner belongs
// to another top-level window.
bool IsWindowCovered(HWND window);
// Moves the window to its own rectangle one pixel narrower and back, which forces a new layout.
void RefreshWindowLayout(HWND window);
// The first descendant of that class: a direct child, else depth first through the children.
HWND FindChildWindowByClass(HWND parent, const char* className);
// The work area of the monitor nearest to the point; the primary screen's without monitor functions.
void GetWorkAreaFromPoint(POINT point, RECT* rect);
// A toolbar button's rectangle by index, or by command id with the flag; false on failure.
bool GetToolbarItemRect(HWND toolbar, int indexOrCommand, bool byCommand, RECT* rect);

TStdStr<char> GetWindowClassName(HWND window);
bool IsDialogWindow(HWND window);
