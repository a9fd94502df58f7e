#pragma once
// The actions that mouse gestures and the user's hot keys run on a browser tab, by the index of
// the action table (0 to 22), and the services they need of the rest of the program: the key
// combinations stored for the ten user actions, the playing of keys, and the frame's window-list
// popup. Until the frame installs its own, no user action has keys, keys go to keybd_event and
// there is no popup.
#include <windows.h>

class CTabActions {
public:
    virtual ~CTabActions() = default;
    // `window` is the window the gesture was made in; `point` its first point in that window.
    virtual void GoPreviousDocument(HWND window, POINT point) = 0;        // 0
    virtual void GoNextDocument(HWND window, POINT point) = 0;            // 1
    virtual void GoTopOfDocument(HWND window, POINT point) = 0;           // 2
    virtual void GoBottomOfDocument(HWND window, POINT point) = 0;        // 3
    virtual void CloseDocumentWindow(HWND window, POINT point) = 0;       // 4
    virtual void OpenNewForegroundWindow(HWND window, POINT point) = 0;   // 5
    virtual void RefreshDocument(HWND window, POINT point) = 0;           // 6
    virtual void ReloadDocument(HWND window, POINT point) = 0;            // 7
    virtual void DuplicateWindow(HWND window, POINT point) = 0;           // 8
    virtual void ScrollThroughOpenWindows(HWND window, POINT point) = 0;  // 9
    virtual void GoNextWindow(HWND window, POINT point) = 0;              // 10
    virtual void GoPreviousWindow(HWND window, POINT point) = 0;          // 11
    virtual void CloseAllExceptActive(HWND window, POINT point) = 0;      // 12
    // 13 to 22: "User Action 0" to "User Action 9".
    virtual void RunUserAction(int userAction, HWND window, POINT point) = 0;
};

constexpr int kBrowserActionCount = 23;
constexpr int kFirstUserAction = 13;
// Runs action `index` of the table; false for an index outside it.
bool RunBrowserAction(CTabActions& actions, int index, HWND window, POINT point);

// Hot-key words: the virtual key in the low byte, the modifiers in the high word.
namespace HotKeyModifier {
constexpr DWORD Shift = 0x1;
constexpr DWORD Ctrl = 0x2;
constexpr DWORD Alt = 0x4;
}  // namespace HotKeyModifier

class IBrowserActionServices {
public:
    virtual ~IBrowserActionServices() = default;
    // The key combination stored for user action 0 to 9; 0: none.
    virtual DWORD UserActionHotKey(int userAction) const = 0;
    virtual void PlayKey(BYTE virtualKey, bool down) = 0;
    virtual void ShowWindowListPopup(HWND window) = 0;
};

IBrowserActionServices& GetBrowserActionServices();
// Installs the services (not owned; null: the defaults) and returns the previous ones.
IBrowserActionServices* SetBrowserActionServices(IBrowserActionServices* services);

// Plays a stored key combination: Ctrl, Alt and Shift as present, the key, then the releases in
// reverse order. A stored 0 plays nothing.
void PlayHotKey(IBrowserActionServices& services, DWORD hotKey);
