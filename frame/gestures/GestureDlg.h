#pragma once
// CGestureDlg: the "Mouse Gestures" dialog (dialog 372) that binds one gesture to an action and,
// for the ten user actions, edits the key combination each plays. It works on the edited copies
// its caller gives it (the Mouse Actions page's), so nothing reaches the gesture settings or the
// user actions before the page is applied; OK writes the chosen action and the keys back into
// those copies, Cancel leaves them as they were.
//
// Lifetime: held by its caller for DoModal.
#include "frame/gestures/GestureActions.h"
#include "frame/gestures/GestureResources.h"
#include "platform/AtlGdi.h"
#include "platform/AtlWin.h"

#include <array>
#include <string>

using CUserActionKeys = std::array<int, kUserActionCount>;

// The key combination after the hot-key control changed to `hotKey` (its HKM_GETHOTKEY answer:
// the virtual key in the low byte, the modifiers in the high byte): with a key, modifiers << 16
// | key; with neither key nor modifiers, 0; with modifiers alone, `previous` stays.
int ComposeHotKeyCombination(int previous, WORD hotKey);
// The hot-key control's value (HKM_SETHOTKEY) for a stored key combination.
WORD HotKeyControlValue(int combination);

class CGestureDlg : public CDialogImpl<CGestureDlg> {
public:
    enum { IDD = IDD_GESTURE_DIALOG };

    // `action` and `keys` are the caller's edited copies, written on OK; both must outlive the
    // dialog.
    CGestureDlg(int gestureId, const char* gestureName, int& action, CUserActionKeys& keys)
        : m_gestureId(gestureId), m_gestureName(gestureName ? gestureName : ""), m_action(action), m_keys(keys)
    {
    }

    // The action chosen in the combo (-1 for "* Unmapped *").
    int GetSelectedAction() const;
    void SelectAction(int action);
    int GetKey(int userAction) const { return userAction >= 0 && userAction < kUserActionCount ? m_localKeys[userAction] : 0; }

    BEGIN_MSG_MAP(CGestureDlg)
        MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
        COMMAND_HANDLER(IDC_GESTURE_ACTION, CBN_SELCHANGE, OnActionChanged)
        COMMAND_HANDLER(IDC_GESTURE_HOT_KEY, EN_CHANGE, OnHotKeyChanged)
        COMMAND_ID_HANDLER(IDC_GESTURE_RESTORE_DEFAULTS, OnRestoreDefault)
        COMMAND_ID_HANDLER(IDOK, OnOk)
        COMMAND_ID_HANDLER(IDCANCEL, OnCancel)
    END_MSG_MAP()

    // What the hot-key control's change does (also called by the tests with a value of their own).
    void TakeHotKey(WORD hotKey);

private:
    LRESULT OnInitDialog(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnActionChanged(WORD code, WORD id, HWND control, BOOL& handled);
    LRESULT OnHotKeyChanged(WORD code, WORD id, HWND control, BOOL& handled);
    LRESULT OnRestoreDefault(WORD code, WORD id, HWND control, BOOL& handled);
    LRESULT OnOk(WORD code, WORD id, HWND control, BOOL& handled);
    LRESULT OnCancel(WORD code, WORD id, HWND control, BOOL& handled);
    void FillCombos();
    void ShowKeys();

    int m_gestureId;
    std::string m_gestureName;
    int& m_action;            // the caller's copy
    CUserActionKeys& m_keys;  // the caller's copy
    CUserActionKeys m_localKeys = {};
    bool m_showingKeys = false;
    CIcon m_icon;
};
