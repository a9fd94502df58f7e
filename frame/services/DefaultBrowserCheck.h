#pragma once
// The default-browser question: the dialog that asks at start-up whether the program shall make
// itself the default browser (dialog 149, with the check box that keeps the question on), the
// start-up check, and the registration the frame's command runs. What a registration replaced is
// kept in the settings ("Settings", "DefaultBrowserBackup") so that UndoDefaultBrowserRegistration
// can put it back.
#include "frame/services/DefaultBrowser.h"
#include "platform/AtlWin.h"

#include <windows.h>

#include <functional>
#include <string>

inline constexpr int kIdDefaultBrowserDialog = 149;
inline constexpr int kIdDefaultBrowserIcon = 1490;
inline constexpr int kIdDefaultBrowserCheck = 1491;
inline constexpr char kDefaultBrowserBackupKey[] = "DefaultBrowserBackup";

// Dialog 149: "&Yes" ends with 1, "&No" with 2; both store the check box into "SysFlags" bit
// 0x1000. DoModal answers 2 at once, showing nothing, while that bit is clear.
class CDefaultBrowserDlg : public CDialogImpl<CDefaultBrowserDlg> {
public:
    enum { IDD = kIdDefaultBrowserDialog };

    BEGIN_MSG_MAP(CDefaultBrowserDlg)
        MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
        COMMAND_ID_HANDLER(IDOK, OnAnswer)
        COMMAND_ID_HANDLER(IDCANCEL, OnAnswer)
    END_MSG_MAP()

    INT_PTR DoModal(HWND parent = nullptr);

private:
    LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnAnswer(WORD, WORD id, HWND, BOOL&);
};

// Asks the user, when the program is not the default browser of `classesRoot`, and registers it
// on Yes. `ask` shows the question (the dialog in the program); true when it registered.
bool CheckDefaultBrowserAtStartup(HKEY classesRoot, const std::string& programPath, const std::function<int()>& ask);
// The registration with its confirmation: the replaced values are kept in the settings; the
// message "Kivo Browser has been set as your default browser." is logged and shown.
void RegisterAsDefaultBrowser(HKEY classesRoot, const std::string& programPath);
// Puts back what the last registration replaced; false when there is nothing kept.
bool UndoDefaultBrowserRegistration(HKEY classesRoot);
// The program file's full path.
std::string GetProgramFilePath();
