#pragma once
// The progress dialog of the user's update check (dialog 252, "Check for New Version"): once shown
// it asks its owner to start the download (message 0x801D), shows the amounts the download posts
// (kMsgUpdateProgress) in its text field and progress bar, and Cancel ends it, after which the
// check shows nothing more. The frame ends it when the result comes.
//
// Lifetime: modal, on the frame services' stack while it runs.
#include "frame/services/UpdateCheck.h"
#include "platform/AtlWin.h"

#include <functional>

inline constexpr int kIdUpdateProgressDialog = 252;
inline constexpr int kIdUpdateProgressText = 2530;
inline constexpr int kIdUpdateProgressBar = 2531;
// Asks the main window to start the worker; the dialog's window is the wParam.
inline constexpr UINT kMsgStartUpdateCheck = WM_APP + 0x1D;

class CUpdateProgressDlg : public CDialogImpl<CUpdateProgressDlg> {
public:
    enum { IDD = kIdUpdateProgressDialog };
    // `owner` hears kMsgStartUpdateCheck; `onCancel` runs when the user cancels.
    CUpdateProgressDlg(HWND owner, std::function<void()> onCancel) : m_owner(owner), m_onCancel(std::move(onCancel)) {}

    BEGIN_MSG_MAP(CUpdateProgressDlg)
        MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
        MESSAGE_HANDLER(kMsgUpdateProgress, OnProgress)
        COMMAND_ID_HANDLER(IDCANCEL, OnCancel)
    END_MSG_MAP()

private:
    LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnProgress(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnCancel(WORD, WORD, HWND, BOOL&);

    HWND m_owner;  // not owned
    std::function<void()> m_onCancel;
    HWND m_statusBar = nullptr;  // a child, destroyed with the dialog
};
