#include "frame/services/NewVersionDialog.h"

#include "core/app/LanguageManager.h"
#include "core/app/Settings.h"

namespace {

constexpr char kProductName[] = "Kivo Browser";

} // namespace

LRESULT CNewVersionDlg::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&)
{
    const std::string caption = std::string(TranslateText("New Version of %s").c_str());
    const size_t mark = caption.find("%s");
    SetWindowTextA(mark == std::string::npos ? caption.c_str()
                                             : (caption.substr(0, mark) + kProductName + caption.substr(mark + 2)).c_str());
    SetDlgItemTextA(kIdNewVersionLatest, m_info.version.c_str());
    SetDlgItemTextA(kIdNewVersionLatestDate, m_info.releaseDate.c_str());
    SetDlgItemTextA(kIdNewVersionCurrent, m_runningVersion.c_str());
    SetDlgItemTextA(kIdNewVersionCurrentDate, kBuildReleaseDate);
    if (m_link.SubclassWindow(GetDlgItem(kIdNewVersionLink))) {
        m_link.SetLabel(TranslateText("Do you wish to update now?").c_str());
        m_link.SetHyperLink(m_info.downloadUrl.c_str());
        m_link.m_onClick = [this] { Accept(); };
    }
    const CSettings* settings = GetSettings();
    CheckDlgButton(kIdNewVersionNoReminder,
                   settings && (settings->SysFlags & SysFlag::NoUpdateCheck) ? BST_CHECKED : BST_UNCHECKED);
    // The user who asked is not offered to switch the start-up check off.
    ::ShowWindow(GetDlgItem(kIdNewVersionNoReminder), m_userCheck ? SW_HIDE : SW_SHOW);
    SetDlgItemTextA(IDOK, TranslateText("OK").c_str());
    if (CLanguageManager* language = GetLanguageManager())
        language->TranslateWindow(m_hWnd);
    CenterWindow(GetParent());
    return TRUE;
}

void CNewVersionDlg::Accept()
{
    if (CSettings* settings = GetSettings(); settings && !m_userCheck) {
        if (IsDlgButtonChecked(kIdNewVersionNoReminder) == BST_CHECKED)
            settings->SysFlags |= SysFlag::NoUpdateCheck;
        else
            settings->SysFlags &= ~SysFlag::NoUpdateCheck;
    }
    EndDialog(IDOK);
}

LRESULT CNewVersionDlg::OnOk(WORD, WORD, HWND, BOOL&)
{
    Accept();
    return 0;
}

LRESULT CNewVersionDlg::OnClose(WORD, WORD, HWND, BOOL&)
{
    EndDialog(IDCANCEL);
    return 0;
}
