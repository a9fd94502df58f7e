#pragma once
// CSessionRestoreDlg: "Open Selected Sites" (dialog 249), which lets the user choose the pages of
// the last session that the start opens again, as the chosen start-up behaviour or after a run
// that did not end normally. COpenDlg: "Open" (dialog 176), the File menu's question for an
// address or a local file. Both are held by their caller for the time they run.
#include "frame/dialogs/DialogBase.h"
#include "frame/dialogs/FrameDialogResources.h"

#include "core/app/Settings.h"
#include "core/library/StdStr.h"
#include "platform/AtlWin.h"

#include <memory>
#include <vector>

class CShellAutoComplete;

// What "Open Selected Sites" answers before it shows anything: 1 open the chosen sites, 2 none,
// 0 ask. An empty list opens nothing; a normal restore needs the last-session start mode
// ("StartupFlags" bit 0x4) and is silent once "SysFlags" bit 0x4000 is set; after an abnormal end
// the dialog always asks.
int SessionRestoreAnswerWithoutAsking(size_t siteCount, bool normalRestore, DWORD startupFlags, DWORD sysFlags);
// The status text: "%d %s (%d %s)" with the number of sites, "Site(s)", the checked ones and
// "Selected", the words translated.
CStdString SessionRestoreStatusText(int sites, int checked);
// "All sites": unchecked without a checked site, checked with all of them, indeterminate between.
int AllSitesCheckState(int sites, int checked);

// The window icons: images of the general small list.
inline constexpr int kSessionRestoreIcon = 41;
inline constexpr int kOpenDialogIcon = 3;

class CSessionRestoreDlg : public CDialogBase<CSessionRestoreDlg> {
public:
    enum { IDD = IDD_SESSION_RESTORE };
    // Neither the list nor the bits are owned; the bits (one per site) are read when the dialog
    // opens and written on OK.
    CSessionRestoreDlg(const std::vector<CSessionEntry>& sites, std::vector<bool>& chosen, bool normalRestore)
        : CDialogBase(kSessionRestoreIcon), m_sites(sites), m_chosen(chosen), m_normalRestore(normalRestore)
    {
    }
    CSessionRestoreDlg(const CSessionRestoreDlg&) = delete;
    CSessionRestoreDlg& operator=(const CSessionRestoreDlg&) = delete;

    // 1: open the sites whose bits are set; 2: open none.
    INT_PTR Run(HWND parent);

    BEGIN_MSG_MAP(CSessionRestoreDlg)
        NOTIFY_HANDLER(IDC_SESSION_LIST, LVN_ITEMCHANGED, OnItemChanged)
        COMMAND_ID_HANDLER(IDC_SESSION_ALL, OnAllSites)
        CHAIN_MSG_MAP(CDialogBase<CSessionRestoreDlg>)
    END_MSG_MAP()

protected:
    void OnInitControls() override;
    bool OnAccept() override;

private:
    LRESULT OnItemChanged(int id, LPNMHDR header, BOOL& handled);
    LRESULT OnAllSites(WORD code, WORD id, HWND control, BOOL& handled);
    void FillList();
    void CreateStatusBar();
    int CheckedCount() const;
    void UpdateState();

    const std::vector<CSessionEntry>& m_sites;
    std::vector<bool>& m_chosen;
    bool m_normalRestore;
    bool m_filling = false;
    HWND m_list = nullptr;    // the dialog's item
    HWND m_status = nullptr;  // a child of the dialog, destroyed with it
};

// The file types "Browse..." offers, as pairs of texts ended by '|'.
extern const char* const kOpenDialogFileFilter;

class COpenDlg : public CDialogBase<COpenDlg> {
public:
    enum { IDD = IDD_OPEN };
    explicit COpenDlg(CStdString address = CStdString());
    ~COpenDlg() override;
    COpenDlg(const COpenDlg&) = delete;
    COpenDlg& operator=(const COpenDlg&) = delete;

    // The text of the edit after OK.
    const CStdString& GetAddress() const { return m_address; }

    BEGIN_MSG_MAP(COpenDlg)
        COMMAND_ID_HANDLER(IDC_OPEN_BROWSE, OnBrowse)
        CHAIN_MSG_MAP(CDialogBase<COpenDlg>)
    END_MSG_MAP()

protected:
    void OnInitControls() override;
    bool OnAccept() override;

private:
    LRESULT OnBrowse(WORD code, WORD id, HWND control, BOOL& handled);

    CStdString m_address;
    std::unique_ptr<CShellAutoComplete> m_autoComplete;
};
