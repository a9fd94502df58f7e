#pragma once
// Where the notification area of the task bar is: the target of the minimise-to-tray animation.
#include <windows.h>

// The target rectangle of the minimise-to-tray animation.
void GetTrayAreaRect(RECT* rect);
// The tray rectangle below a task-bar window: its notification area without the clock. False
// when `taskBar` is null.
bool GetTrayAreaRectOf(HWND taskBar, RECT* rect);
