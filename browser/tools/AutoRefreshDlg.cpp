#include "browser/tools/AutoRefreshDlg.h"

#include "browser/BrowserResources.h"
#include "core/app/Settings.h"

LRESULT CAutoRefreshDlg::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&)
{
    CenterWindow(GetParent());
    ::SetDlgItemInt(m_hWnd, IDC_AUTO_REFRESH_SECONDS, static_cast<UINT>(static_cast<int>(GetSettings()->AutoRefresh)),
                    TRUE);
    return TRUE;
}

LRESULT CAutoRefreshDlg::OnOk(WORD, WORD, HWND, BOOL&)
{
    BOOL translated = FALSE;
    const int seconds = static_cast<int>(::GetDlgItemInt(m_hWnd, IDC_AUTO_REFRESH_SECONDS, &translated, TRUE));
    if (!translated) {
        ::MessageBeep(static_cast<UINT>(-1));
        ::SetFocus(GetDlgItem(IDC_AUTO_REFRESH_SECONDS));
        return 0;
    }
    // Any whole number is kept as typed: the tab's timer treats a period of 0 or less as off and
    // bounds a large one to the longest timer there is.
    GetSettings()->AutoRefresh = seconds;
    EndDialog(IDOK);
    return 0;
}

LRESULT CAutoRefreshDlg::OnCancel(WORD, WORD, HWND, BOOL&)
{
    EndDialog(IDCANCEL);
    return 0;
}

INT_PTR RunAutoRefreshDialog(HWND tab)
{
    CAutoRefreshDlg dialog;
    const INT_PTR answer = dialog.DoModal(::GetActiveWindow());
    if (answer == IDOK && ::IsWindow(tab)) {
        const UINT command = GetSettings()->AutoRefresh > 0 ? ID_AUTOREFRESH_USER : ID_AUTOREFRESH_DISABLED;
        ::SendMessageA(tab, WM_COMMAND, MAKEWPARAM(command, 0), 0);
    }
    return answer;
}
