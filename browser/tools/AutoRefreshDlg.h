#pragma once
// CAutoRefreshDlg: the user's auto-refresh period in seconds, kept in the setting "AutoRefresh".
// Modal over the active window; DoModal answers IDOK (the value was stored) or IDCANCEL (nothing
// changed). A text that is no whole number beeps and keeps the dialog open. After OK the tab picks
// its user-defined interval for a period above 0 and switches auto refresh off otherwise.
// Lifetime: a local of the caller for the modal loop.
#include "browser/tools/PageToolsResources.h"
#include "platform/AtlWin.h"

class CAutoRefreshDlg : public CDialogImpl<CAutoRefreshDlg> {
public:
    enum { IDD = IDD_AUTO_REFRESH };

    BEGIN_MSG_MAP(CAutoRefreshDlg)
        MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
        COMMAND_ID_HANDLER(IDOK, OnOk)
        COMMAND_ID_HANDLER(IDCANCEL, OnCancel)
    END_MSG_MAP()

private:
    LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnOk(WORD, WORD, HWND, BOOL&);
    LRESULT OnCancel(WORD, WORD, HWND, BOOL&);
};

// Runs the dialog for a tab; on OK sends the tab the auto-refresh command the stored period
// chooses (user-defined or disabled). The dialog's answer.
INT_PTR RunAutoRefreshDialog(HWND tab);
