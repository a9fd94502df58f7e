#include "frame/services/UpdateProgressDialog.h"

#include "core/app/LanguageManager.h"

#include <commctrl.h>

namespace {

constexpr UINT kStatusBarId = 59393;
constexpr DWORD kStatusBarStyle = 0x56000000;

} // namespace

LRESULT CUpdateProgressDlg::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&)
{
    SendDlgItemMessageA(kIdUpdateProgressBar, PBM_SETRANGE32, 0, 100);
    m_statusBar = ::CreateWindowExA(0, STATUSCLASSNAMEA, "", kStatusBarStyle, 0, 0, 0, 0, m_hWnd,
                                    reinterpret_cast<HMENU>(static_cast<UINT_PTR>(kStatusBarId)), nullptr, nullptr);
    if (CLanguageManager* language = GetLanguageManager())
        language->TranslateWindow(m_hWnd);
    CenterWindow(GetParent());
    if (m_owner)
        ::PostMessageA(m_owner, kMsgStartUpdateCheck, reinterpret_cast<WPARAM>(m_hWnd), 0);
    return TRUE;
}

LRESULT CUpdateProgressDlg::OnProgress(UINT, WPARAM wParam, LPARAM lParam, BOOL&)
{
    const ULONG progress = static_cast<ULONG>(wParam);
    const ULONG total = static_cast<ULONG>(lParam);
    SetDlgItemTextA(kIdUpdateProgressText, FormatDownloadProgress(progress, total).c_str());
    SendDlgItemMessageA(kIdUpdateProgressBar, PBM_SETPOS, DownloadPercent(progress, total), 0);
    return 0;
}

LRESULT CUpdateProgressDlg::OnCancel(WORD, WORD, HWND, BOOL&)
{
    if (m_onCancel)
        m_onCancel();
    EndDialog(IDCANCEL);
    return 0;
}
