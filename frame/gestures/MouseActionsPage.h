#pragma once
// CMouseActionsPage: the "Mouse Actions" page of the Options dialog (dialog 271): whether a
// middle click opens a link in a new tab and where, whether mouse gestures are on, and the list of
// gestures with the action bound to each (a virtual list; the edit button or a double click opens
// the "Mouse Gestures" dialog for one, "Restore defaults" binds every gesture to its default).
//
// The page edits copies of the bindings and of the user actions' keys: Apply writes the flags and
// every gesture's action to the settings store and hands the keys to the user actions (which the
// program writes at exit); Cancel leaves everything as it was.
//
// Lifetime: rule (a), as every page (frame/options/OptionsPage.h).
#include "frame/gestures/GestureDlg.h"
#include "frame/gestures/GestureResources.h"
#include "frame/options/OptionsPage.h"

#include <string>
#include <vector>

class CGestureSettings;
class CSettings;
class CUserActions;

class CMouseActionsPage : public COptionsPage {
public:
    static constexpr COLORREF kUnboundRowColor = RGB(0xE8, 0xE8, 0xE8);
    static constexpr COLORREF kDisabledRowColor = RGB(0xC4, 0xC4, 0xC4);

    // The program's settings, gesture settings and user actions.
    CMouseActionsPage() = default;
    // Others of their own (tests); none is owned and each must outlive the page.
    CMouseActionsPage(CSettings* settings, CGestureSettings* gestures, CUserActions* userActions)
        : m_settings(settings), m_gestures(gestures), m_userActions(userActions)
    {
    }

    int GetDialogID() const override { return IDD_MOUSE_ACTIONS_PAGE; }
    int OnApply() override;

    // The background of a row: grey while gestures are off, light grey for a gesture bound to no
    // action, the window colour otherwise.
    static COLORREF RowBackground(bool gesturesEnabled, int action);

    // The edited binding of row n (-1 for none or a row outside).
    int GetEditedAction(size_t row) const { return row < m_rows.size() ? m_rows[row].action : kNoGestureAction; }
    // The "Action" column's text of row n.
    std::string GetActionText(size_t row) const;
    // Runs the "Mouse Gestures" dialog for the first selected row (what the edit button does).
    void EditSelected();
    void RestoreDefaults();
    // The edit button's tool tip window; null before the page opens.
    HWND GetEditToolTip() const { return m_editTip; }

    BEGIN_MSG_MAP(CMouseActionsPage)
        MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
        MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
        COMMAND_ID_HANDLER(IDC_MIDDLE_CLICK_NEW_TAB, OnMiddleClickBox)
        COMMAND_ID_HANDLER(IDC_ENABLE_GESTURES, OnEnableBox)
        COMMAND_ID_HANDLER(IDC_GESTURE_EDIT, OnEdit)
        COMMAND_ID_HANDLER(IDC_GESTURE_RESTORE_DEFAULTS, OnRestoreDefaults)
        NOTIFY_HANDLER(IDC_GESTURE_LIST, LVN_GETDISPINFOA, OnGetDispInfo)
        NOTIFY_HANDLER(IDC_GESTURE_LIST, LVN_ITEMCHANGED, OnItemChanged)
        NOTIFY_HANDLER(IDC_GESTURE_LIST, NM_DBLCLK, OnDoubleClick)
        NOTIFY_HANDLER(IDC_GESTURE_LIST, NM_CUSTOMDRAW, OnCustomDraw)
        NOTIFY_HANDLER(IDC_GESTURE_LIST, NM_RCLICK, OnRightClick)
        MESSAGE_HANDLER(WM_CONTEXTMENU, OnContextMenu)
    END_MSG_MAP()

private:
    struct CRow {
        int gestureId = 0;
        const char* name = nullptr;  // a literal of the gesture settings
        int action = kNoGestureAction;
    };

    LRESULT OnInitDialog(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnDestroy(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnMiddleClickBox(WORD code, WORD id, HWND control, BOOL& handled);
    LRESULT OnEnableBox(WORD code, WORD id, HWND control, BOOL& handled);
    LRESULT OnEdit(WORD code, WORD id, HWND control, BOOL& handled);
    LRESULT OnRestoreDefaults(WORD code, WORD id, HWND control, BOOL& handled);
    LRESULT OnGetDispInfo(int id, NMHDR* header, BOOL& handled);
    LRESULT OnItemChanged(int id, NMHDR* header, BOOL& handled);
    LRESULT OnDoubleClick(int id, NMHDR* header, BOOL& handled);
    LRESULT OnCustomDraw(int id, NMHDR* header, BOOL& handled);
    LRESULT OnRightClick(int id, NMHDR* header, BOOL& handled);
    LRESULT OnContextMenu(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);

    CSettings* Settings() const;
    CGestureSettings* Gestures() const;
    CUserActions* UserActions() const;
    void SetUpList();
    void SetBoldLabel();
    void AddEditToolTip(HWND edit);
    void UpdateEnabling();
    bool GesturesChecked() const;
    int FirstSelected() const;
    LRESULT Answer(LRESULT result);

    CSettings* m_settings = nullptr;         // not owned; null: the program's
    CGestureSettings* m_gestures = nullptr;  // not owned; null: the program's
    CUserActions* m_userActions = nullptr;   // not owned; null: the program's
    std::vector<CRow> m_rows;
    CUserActionKeys m_keys = {};
    std::string m_dispText;
    CIcon m_editIcon;
    HWND m_editTip = nullptr;  // a pop-up destroyed at the page's WM_DESTROY
    CFont m_boldFont;  // the "Mouse Gestures" label's; outlives the label, a child of the page
};
