#pragma once
// The 23 actions that mouse gestures are bound to: thirteen built-in ones and the ten user actions
// (key combinations that the tab plays back), their English names (translated when shown), the
// table that runs an action on a tab's action interface, and how a key combination reads as text.
//
// Action indexes: 0 to 22; -1 (and anything outside 0 to 22) means no action.
#include "core/library/StdStr.h"

#include <windows.h>

#include <cstdint>

constexpr int kGestureActionCount = 23;
constexpr int kFirstUserAction = 13;
constexpr int kUserActionCount = 10;
constexpr int kNoGestureAction = -1;

// The actions a browser tab runs for a gesture, in action index order. Each is given the window in
// which the gesture was made and the stroke's first point in that window's client coordinates.
class CBrowserActions {
public:
    virtual ~CBrowserActions() = default;
    virtual void RunGoBack(HWND window, int x, int y) = 0;                 // 0 "Go to previous document in history"
    virtual void RunGoForward(HWND window, int x, int y) = 0;              // 1
    virtual void RunGoToTop(HWND window, int x, int y) = 0;                // 2
    virtual void RunGoToBottom(HWND window, int x, int y) = 0;             // 3
    virtual void RunCloseTab(HWND window, int x, int y) = 0;            // 4
    virtual void RunOpenNewForegroundWindow(HWND window, int x, int y) = 0;  // 5
    virtual void RunRefreshDocument(HWND window, int x, int y) = 0;        // 6
    virtual void RunReloadDocument(HWND window, int x, int y) = 0;         // 7
    virtual void RunDuplicateWindow(HWND window, int x, int y) = 0;        // 8
    virtual void RunScrollThroughWindows(HWND window, int x, int y) = 0;   // 9
    virtual void RunGoToNextWindow(HWND window, int x, int y) = 0;         // 10
    virtual void RunGoToPreviousWindow(HWND window, int x, int y) = 0;     // 11
    virtual void RunCloseAllButActive(HWND window, int x, int y) = 0;      // 12
    // 13 to 22: user action 0 to 9; the tab plays the keys that CUserActions holds for it.
    virtual void RunUserAction(int userAction, HWND window, int x, int y) = 0;
};

// One entry of the action table.
struct CGestureAction {
    int index = kNoGestureAction;
    const char* name = nullptr;  // English, a literal
    void Run(CBrowserActions& actions, HWND window, int x, int y) const;
};

// The English name of an action; "* Unmapped *" outside 0 to 22.
const char* GetActionName(int index);
bool IsUserActionIndex(int index);
// The table of the 23 actions in index order.
const CGestureAction* GetUserActionTable();
// The action of an index, or null outside 0 to 22.
const CGestureAction* GetGestureAction(int index);

// A key combination as a hot-key control gives it: the virtual key in the low 16 bits, Shift in
// bit 16, Ctrl in bit 17, Alt in bit 18 (the hot-key modifiers shifted left by 16).
constexpr uint32_t kHotKeyShift = 1u << 16;
constexpr uint32_t kHotKeyControl = 2u << 16;
constexpr uint32_t kHotKeyAlt = 4u << 16;
constexpr uint32_t kHotKeyExtended = 8u << 16;

// "Ctrl + Shift + Alt + <key>" with the modifiers present; empty for 0.
CStdString FormatHotKeyName(uint32_t keyCombination);
// The translated name of the action; a user action with a stored key adds " [<key>]".
CStdString FormatActionWithHotKey(int index);
