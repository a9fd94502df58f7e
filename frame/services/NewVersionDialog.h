#pragma once
// The New Version dialog (dialog 253): the latest version and its release date beside the running
// ones, the link to the download page and, for the start-up check, "Don't &remind me again" bound
// to "SysFlags" bit 0x02. OK (or the link) stores the box and ends with 1, so that the caller
// opens the download page; "&Close" ends with 2 and stores nothing.
//
// Lifetime: modal, on its caller's stack.
#include "controls/widgets/BmpButton.h"
#include "frame/services/UpdateCheck.h"
#include "platform/AtlWin.h"

#include <functional>

inline constexpr int kIdNewVersionDialog = 253;
inline constexpr int kIdNewVersionLatest = 2520;
inline constexpr int kIdNewVersionLatestDate = 2521;
inline constexpr int kIdNewVersionLink = 2522;
inline constexpr int kIdNewVersionCurrent = 2523;
inline constexpr int kIdNewVersionCurrentDate = 2524;
inline constexpr int kIdNewVersionNoReminder = 2525;

// The link of the dialog: a click does what OK does.
class CNewVersionLink : public CHyperLinkBase {
public:
    std::function<void()> m_onClick;

protected:
    void OnClick() override
    {
        if (m_onClick)
            m_onClick();
    }
};

class CNewVersionDlg : public CDialogImpl<CNewVersionDlg> {
public:
    enum { IDD = kIdNewVersionDialog };
    CNewVersionDlg(CUpdateInfo info, std::string runningVersion, bool userCheck)
        : m_info(std::move(info)), m_runningVersion(std::move(runningVersion)), m_userCheck(userCheck)
    {
    }

    BEGIN_MSG_MAP(CNewVersionDlg)
        MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
        COMMAND_ID_HANDLER(IDOK, OnOk)
        COMMAND_ID_HANDLER(IDCANCEL, OnClose)
    END_MSG_MAP()

private:
    LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnOk(WORD, WORD, HWND, BOOL&);
    LRESULT OnClose(WORD, WORD, HWND, BOOL&);
    void Accept();

    CUpdateInfo m_info;
    std::string m_runningVersion;
    bool m_userCheck;
    CNewVersionLink m_link;
};
