#include "frame/dialogs/ExitDlg.h"

#include "frame/dialogs/FrameDialogHelpers.h"

#include "core/app/LanguageManager.h"
#include "core/app/Settings.h"
#include "core/system/MessageBoxes.h"

namespace {

constexpr DWORD kStartupFlagLastSession = 0x4;
constexpr DWORD kStartupModeHomePage = 0x2;
constexpr int kMaxGroupNameLength = 255;

}  // namespace

CExitChoice ApplyExitChoice(DWORD sysFlags, DWORD startupFlags, bool dontAskAgain, bool resumeSession)
{
    CExitChoice choice = {sysFlags, startupFlags};
    if (dontAskAgain)
        choice.sysFlags |= SysFlag::NoExitConfirmation;
    else
        choice.sysFlags &= ~SysFlag::NoExitConfirmation;
    const bool wasResuming = (startupFlags & kStartupFlagLastSession) != 0;
    if (wasResuming != resumeSession)
        choice.startupFlags = StartupFlag::RunningMarker | (resumeSession ? kStartupFlagLastSession : kStartupModeHomePage);
    return choice;
}

CStdString DefaultExitGroupName(const SYSTEMTIME& time)
{
    CStdString text;
    text.Format("%02u/%02u/%04u %02u:%02u:%02u", time.wMonth, time.wDay, time.wYear, time.wHour, time.wMinute,
                time.wSecond);
    return text;
}

INT_PTR CExitDlg::Run(HWND parent)
{
    const CSettings* settings = GetSettings();
    if (settings && (settings->SysFlags & SysFlag::NoExitConfirmation))
        return IDOK;
    return DoModal(parent);
}

void CExitDlg::OnInitControls()
{
    const CSettings* settings = GetSettings();
    SetItemChecked(m_hWnd, IDC_EXIT_DONT_ASK, settings && (settings->SysFlags & SysFlag::NoExitConfirmation));
    SetItemChecked(m_hWnd, IDC_EXIT_RESUME,
                   settings && (static_cast<DWORD>(settings->StartupFlags.value) & kStartupFlagLastSession));
    if (HICON icon = ::LoadIconA(nullptr, IDI_QUESTION))
        SendDlgItemMessage(IDC_EXIT_ICON, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
    SYSTEMTIME now = {};
    ::GetLocalTime(&now);
    SetDlgItemTextA(IDC_EXIT_GROUP_NAME, DefaultExitGroupName(now).c_str());
    SendDlgItemMessage(IDC_EXIT_GROUP_NAME, EM_LIMITTEXT, kMaxGroupNameLength, 0);
    EnableGroupName(false);
}

void CExitDlg::EnableGroupName(bool takeFocus)
{
    const bool enabled = IsItemChecked(m_hWnd, IDC_EXIT_SAVE_GROUP);
    HWND edit = GetDlgItem(IDC_EXIT_GROUP_NAME);
    ::EnableWindow(edit, enabled);
    if (enabled && takeFocus) {
        ::SetFocus(edit);
        ::SendMessageA(edit, EM_SETSEL, 0, -1);
    }
}

LRESULT CExitDlg::OnSaveGroupClicked(WORD, WORD, HWND, BOOL&)
{
    EnableGroupName(true);
    return 0;
}

// A group without a name could never be found again, so OK waits for one.
bool CExitDlg::OnAccept()
{
    const bool saveGroup = IsItemChecked(m_hWnd, IDC_EXIT_SAVE_GROUP);
    const CStdString group = TrimmedText(GetItemText(m_hWnd, IDC_EXIT_GROUP_NAME));
    if (saveGroup && group.empty()) {
        GetMessageBoxes().Show(m_hWnd, TranslateText("Please enter a group name.").c_str(), kFrameDialogsCaption,
                               MB_OK | MB_ICONEXCLAMATION);
        EnableGroupName(true);
        return false;
    }
    if (CSettings* settings = GetSettings()) {
        const CExitChoice choice =
            ApplyExitChoice(settings->SysFlags, static_cast<DWORD>(settings->StartupFlags.value),
                            IsItemChecked(m_hWnd, IDC_EXIT_DONT_ASK), IsItemChecked(m_hWnd, IDC_EXIT_RESUME));
        settings->SysFlags = choice.sysFlags;
        settings->StartupFlags.value = static_cast<int>(choice.startupFlags);
    }
    if (saveGroup && m_saveToGroup)
        m_saveToGroup(group.c_str());
    return true;
}
