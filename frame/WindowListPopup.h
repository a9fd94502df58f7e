#pragma once
// The window-list popup: a small topmost list of the open pages (dialog 272) that the user action
// "Scroll through open windows" shows. While the right button stays down the wheel moves the
// selection; releasing the button activates the chosen page and closes the list. Losing the mouse
// capture (another window took it, Alt+Tab) closes the list without changing the page.
//
// Lifetime: one process-wide object, a function-local static destroyed at exit; its popup window
// lives from ShowWindowListPopup until the button is released or the capture is lost.
#include "frame/dialogs/FrameDialogResources.h"

#include "platform/AtlGdi.h"
#include "platform/AtlWin.h"

// The row the wheel selects: a step up (delta >= 0) goes to the previous row, a step down to the
// next, each wrapping round at the ends; -1 without rows.
int NextWindowListRow(int current, int count, int wheelDelta);

// Shows the list of the main frame's pages centred on `parent`; false when the popup cannot be
// made. While a list is up a second call changes nothing and answers true.
bool ShowWindowListPopup(HWND parent);
// The popup while it is up (tests look at it), else null.
HWND GetWindowListPopup();

class CWindowListPopup : public CDialogImpl<CWindowListPopup> {
public:
    enum { IDD = IDD_WINDOW_LIST };
    CWindowListPopup() = default;
    CWindowListPopup(const CWindowListPopup&) = delete;
    CWindowListPopup& operator=(const CWindowListPopup&) = delete;

    bool Show(HWND parent);
    // Moves the selection one step for the wheel's delta.
    void OnWheel(int delta);

    BEGIN_MSG_MAP(CWindowListPopup)
        MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
        MESSAGE_HANDLER(WM_MOUSEWHEEL, OnMouseWheel)
        MESSAGE_HANDLER(WM_RBUTTONUP, OnRButtonUp)
        MESSAGE_HANDLER(WM_CAPTURECHANGED, OnCaptureChanged)
        MESSAGE_HANDLER(WM_CANCELMODE, OnCaptureChanged)
    END_MSG_MAP()

private:
    // The list hands its wheel to the popup (the wheel goes to the window with the focus).
    class CListView : public CWindowImpl<CListView> {
    public:
        CWindowListPopup* m_popup = nullptr;  // not owned: the popup that subclassed the list
        BEGIN_MSG_MAP(CListView)
            MESSAGE_HANDLER(WM_MOUSEWHEEL, OnMouseWheel)
        END_MSG_MAP()
        LRESULT OnMouseWheel(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    };

    LRESULT OnInitDialog(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnMouseWheel(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnRButtonUp(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnCaptureChanged(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    void Fill();
    void SetUpLook();
    void Close(bool activate);

    CListView m_list;
    HWND m_owner = nullptr;  // not owned: the window the popup is centred on
    CFont m_font;            // made once, kept for the object's life
    bool m_closing = false;
};
