#pragma once
// CExitDlg: "Exit Kivo Browser" (dialog 231), asked before the main window closes. It keeps the
// "don't ask again" choice ("SysFlags" bit 0x1), whether the next start restores the open pages
// ("StartupFlags" bit 0x4) and can save the open pages to a group. Held by its caller for Run.
#include "frame/dialogs/DialogBase.h"
#include "frame/dialogs/FrameDialogResources.h"
#include "core/library/StdStr.h"
#include "platform/AtlWin.h"

#include <functional>

// The settings words after OK.
struct CExitChoice {
    DWORD sysFlags;
    DWORD startupFlags;
};

// OK with the check boxes: "Don't remind me again" goes into SysFlags bit 0x1 and "Resume this
// session" into StartupFlags bit 0x4. When that bit changes, StartupFlags becomes the running
// marker with the last-session mode (on) or the home-page mode (off); otherwise it keeps whatever
// start mode was chosen elsewhere.
CExitChoice ApplyExitChoice(DWORD sysFlags, DWORD startupFlags, bool dontAskAgain, bool resumeSession);

// The group name the edit starts with: the local time as "%m/%d/%Y %H:%M:%S".
CStdString DefaultExitGroupName(const SYSTEMTIME& time);

// The window icon: image 18 of the general small list.
inline constexpr int kExitDialogIcon = 18;

class CExitDlg : public CDialogBase<CExitDlg> {
public:
    enum { IDD = IDD_EXIT };
    // saveToGroup saves every open page to the group of that name; false when it could not.
    explicit CExitDlg(std::function<bool(const char* group)> saveToGroup)
        : CDialogBase(kExitDialogIcon), m_saveToGroup(std::move(saveToGroup))
    {
    }
    CExitDlg(const CExitDlg&) = delete;
    CExitDlg& operator=(const CExitDlg&) = delete;

    // IDOK at once without showing anything while the dialog is switched off; else the dialog's
    // answer (IDOK goes on closing, IDCANCEL changes nothing).
    INT_PTR Run(HWND parent);

    BEGIN_MSG_MAP(CExitDlg)
        COMMAND_ID_HANDLER(IDC_EXIT_SAVE_GROUP, OnSaveGroupClicked)
        CHAIN_MSG_MAP(CDialogBase<CExitDlg>)
    END_MSG_MAP()

protected:
    void OnInitControls() override;
    bool OnAccept() override;

private:
    LRESULT OnSaveGroupClicked(WORD code, WORD id, HWND control, BOOL& handled);
    void EnableGroupName(bool takeFocus);

    std::function<bool(const char* group)> m_saveToGroup;
};
