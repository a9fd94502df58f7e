#pragma once
// The keyboard state and which keys an edit must receive before the accelerators.
#include <windows.h>

// The key is held down (Ctrl lets the user bypass the ad filter, the popup blocker and the
// download-control reload).
bool IsKeyDown(int virtualKey);
// 2 when a key message for a visible edit must go to the edit rather than to the accelerators;
// 0 otherwise. The second form takes the Shift and Ctrl state instead of reading the keyboard.
int IsEditNavigationKey(HWND window, const MSG& message);
int IsEditNavigationKeyState(const MSG& message, bool shift, bool ctrl);
