#pragma once
// CDialogBase<T>: what every modal dialog of the program shares. A dialog class T derives from
// it, lists its controls in a DDX map and chains the base last in its message map:
//
//     class CMyDlg : public CDialogBase<CMyDlg> {
//     public:
//         enum { IDD = IDD_MY_DIALOG };
//         CMyDlg() : CDialogBase(kMyIconImage) {}
//         BEGIN_MSG_MAP(CMyDlg)
//             COMMAND_HANDLER(IDC_NAME, EN_CHANGE, OnNameChange)
//             CHAIN_MSG_MAP(CDialogBase<CMyDlg>)
//         END_MSG_MAP()
//         BEGIN_DDX_MAP(CMyDlg)
//             DDX_TEXT_LEN(IDC_NAME, m_name, 255)
//         END_DDX_MAP()
//     protected:
//         void OnInitControls() override;   // after the controls were filled, before translation
//         bool OnAccept() override;         // after OK saved the controls; false keeps it open
//     };
//
// WM_INITDIALOG runs in this order: the drop shadow (chained first), the window's icons from the
// general image list, centring on the parent, the skin, the controls filled from the members,
// OK and Cancel made two-state image buttons, the dialog's own set-up, then the translation of
// every text into the interface language. OK saves and validates the controls: a refused value
// beeps, shows its message (written to the log too) and puts the focus on its control, and the
// dialog stays open. Cancel ends with IDCANCEL and saves nothing.
//
// Lifetime: a dialog object is held by the code that opens it (a local for DoModal, rule (a));
// the buttons are members that let go of their windows with it. UI thread only.
#include "controls/DropShadow.h"
#include "controls/widgets/BmpButton.h"
#include "platform/AtlDlgs.h"
#include "platform/AtlGdi.h"
#include "platform/AtlWin.h"

#include <windows.h>

#include <string>

// The images of the general small image list that the base's buttons show.
inline constexpr int kDialogOkImage = 10;
inline constexpr int kDialogCancelImage = 11;
// A dialog without an icon of its own.
inline constexpr int kNoDialogIcon = -1;

// The message of a refused value: the too-long text or the integer range; empty for another kind.
std::string FormatValidationMessage(const _XData& data);
// Writes the text to the program's log (warning category) and shows it in an exclamation box
// through the message-box service; the text is shown as given, not translated.
void LogAndShowWarning(HWND owner, const char* text);

// The non-template steps of the base, on the dialog's window.
namespace dialog_base {
// The window's big and small icon become image `image` of the general small list (kept in `icon`).
void SetIcons(HWND dialog, int image, CIcon& icon);
// Centres on the parent (the owner for a top-level dialog) and attaches the window to the skin.
void CentreAndSkin(HWND dialog);
// OK and Cancel, where the dialog has them, as two-state image buttons.
void MakeImageButtons(HWND dialog, CTwoStateBmpButton& ok, CTwoStateBmpButton& cancel);
void Translate(HWND dialog);
// The beep, the message and the focus of a refused value.
void ReportRefusedValue(HWND dialog, UINT controlId, const _XData& data);
// One bit of a flags word through a check box; `inverted`: the box checked means the bit is clear.
void ExchangeFlagCheck(HWND dialog, UINT controlId, DWORD& flags, DWORD mask, bool save, bool inverted);
}  // namespace dialog_base

template <class T>
class CDialogBase : public CDialogImpl<T>, public CWinDataExchange<T>, public CDropShadow<T> {
public:
    explicit CDialogBase(int iconImage = kNoDialogIcon) : m_iconImage(iconImage) {}
    CDialogBase(const CDialogBase&) = delete;
    CDialogBase& operator=(const CDialogBase&) = delete;

    BEGIN_MSG_MAP(CDialogBase)
        CHAIN_MSG_MAP(CDropShadow<T>)
        MESSAGE_HANDLER(WM_INITDIALOG, OnBaseInitDialog)
        COMMAND_ID_HANDLER(IDOK, OnBaseOk)
        COMMAND_ID_HANDLER(IDCANCEL, OnBaseCancel)
    END_MSG_MAP()

    // The data exchange of a dialog without controls to exchange (T's DDX map hides it).
    BOOL DoDataExchange(BOOL /*save*/ = FALSE, UINT /*controlId*/ = static_cast<UINT>(-1)) { return TRUE; }

    // The data-exchange hook: a refused value is reported and keeps the dialog open.
    void OnDataValidateError(UINT controlId, BOOL /*save*/, _XData& data)
    {
        dialog_base::ReportRefusedValue(this->m_hWnd, controlId, data);
    }

    // Text into or out of a string; with `checkLength` a saved text longer than `limit` is refused.
    BOOL DDX_StdString(UINT controlId, std::string& text, BOOL save, BOOL checkLength, int limit)
    {
        return this->DDX_Text(controlId, text, save, checkLength, limit);
    }
    // One bit of a flags word through a check box, and the same with the box meaning the bit clear.
    void DdxCheckFlag(UINT controlId, DWORD& flags, DWORD mask, BOOL save)
    {
        dialog_base::ExchangeFlagCheck(this->m_hWnd, controlId, flags, mask, save != FALSE, false);
    }
    void DDX_InvertedFlagCheck(UINT controlId, DWORD& flags, DWORD mask, BOOL save)
    {
        dialog_base::ExchangeFlagCheck(this->m_hWnd, controlId, flags, mask, save != FALSE, true);
    }
    // Enables the control while the check box is checked.
    void EnableByCheck(UINT checkId, UINT controlId)
    {
        const bool checked = ::SendMessageA(this->GetDlgItem(checkId), BM_GETCHECK, 0, 0) == BST_CHECKED;
        ::EnableWindow(this->GetDlgItem(controlId), checked);
    }

    CTwoStateBmpButton& OkButton() { return m_okButton; }
    CTwoStateBmpButton& CancelButton() { return m_cancelButton; }

protected:
    // After the controls were filled from the members, before the texts are translated.
    virtual void OnInitControls() {}
    // After OK saved and validated the controls: true ends the dialog with IDOK.
    virtual bool OnAccept() { return true; }
    // Cancel: true ends the dialog with IDCANCEL.
    virtual bool OnDismiss() { return true; }

private:
    LRESULT OnBaseInitDialog(UINT, WPARAM, LPARAM, BOOL&)
    {
        T* self = static_cast<T*>(this);
        dialog_base::SetIcons(this->m_hWnd, m_iconImage, m_icon);
        dialog_base::CentreAndSkin(this->m_hWnd);
        if (!self->DoDataExchange(FALSE))
            return TRUE;
        dialog_base::MakeImageButtons(this->m_hWnd, m_okButton, m_cancelButton);
        OnInitControls();
        dialog_base::Translate(this->m_hWnd);
        return TRUE;
    }
    LRESULT OnBaseOk(WORD, WORD, HWND, BOOL&)
    {
        if (!static_cast<T*>(this)->DoDataExchange(TRUE))
            return 0;  // the refused control has the focus and the user has its message
        if (OnAccept())
            this->EndDialog(IDOK);
        return 0;
    }
    LRESULT OnBaseCancel(WORD, WORD, HWND, BOOL&)
    {
        if (OnDismiss())
            this->EndDialog(IDCANCEL);
        return 0;
    }

    int m_iconImage;
    CIcon m_icon;  // the window's icon: the system does not free a WM_SETICON icon
    CTwoStateBmpButton m_okButton;
    CTwoStateBmpButton m_cancelButton;
};
