#pragma once
// The External Tools dialog (dialog 425, "Tools &Manager..."): the tool list of "ExtTools.ini"
// edited while the program runs. It holds at most ten tools; New, Delete, Move Up and Move Down
// act on the selected row, the four fields edit it, and OK replaces the list's records (marking
// the list changed) unless nothing differs. "ExtTools.ini" itself is only read.
//
// Lifetime: modal, on its caller's stack; the list is not owned and outlives the dialog.
#include "frame/services/ExternalTools.h"
#include "platform/AtlWin.h"

#include <functional>

inline constexpr int kIdExternalToolsDialog = 425;
inline constexpr int kIdToolList = 33500;
inline constexpr int kIdToolTitle = 33501;
inline constexpr int kIdToolCommand = 33502;
inline constexpr int kIdToolArguments = 33503;
inline constexpr int kIdToolPath = 33504;
inline constexpr int kIdToolNew = 33505;
inline constexpr int kIdToolDelete = 33506;
inline constexpr int kIdToolMoveUp = 33507;
inline constexpr int kIdToolMoveDown = 33508;
inline constexpr int kIdToolBrowse = 33509;

class CExternalToolsDlg : public CDialogImpl<CExternalToolsDlg> {
public:
    enum { IDD = kIdExternalToolsDialog };
    static constexpr size_t kMaxDialogTools = 10;

    explicit CExternalToolsDlg(CExternalToolList& list);

    BEGIN_MSG_MAP(CExternalToolsDlg)
        MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
        COMMAND_ID_HANDLER(kIdToolNew, OnNew)
        COMMAND_ID_HANDLER(kIdToolDelete, OnDelete)
        COMMAND_ID_HANDLER(kIdToolMoveUp, OnMove)
        COMMAND_ID_HANDLER(kIdToolMoveDown, OnMove)
        COMMAND_ID_HANDLER(kIdToolBrowse, OnBrowse)
        COMMAND_HANDLER(kIdToolTitle, EN_CHANGE, OnTitleChange)
        COMMAND_ID_HANDLER(IDOK, OnOk)
        COMMAND_ID_HANDLER(IDCANCEL, OnCancel)
        NOTIFY_HANDLER(kIdToolList, LVN_GETDISPINFOA, OnGetDispInfo)
        NOTIFY_HANDLER(kIdToolList, LVN_ITEMCHANGED, OnItemChanged)
    END_MSG_MAP()

    // The browse button's chooser: the current command in, the chosen file out (false: none).
    // The production one is the open-file dialog.
    std::function<bool(HWND owner, std::string& file)> m_chooseFile;

    const std::vector<CExternalTool>& GetTools() const { return m_tools; }
    int GetSelection() const { return m_selection; }

private:
    LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnNew(WORD, WORD, HWND, BOOL&);
    LRESULT OnDelete(WORD, WORD, HWND, BOOL&);
    LRESULT OnMove(WORD, WORD id, HWND, BOOL&);
    LRESULT OnBrowse(WORD, WORD, HWND, BOOL&);
    LRESULT OnTitleChange(WORD, WORD, HWND, BOOL&);
    LRESULT OnOk(WORD, WORD, HWND, BOOL&);
    LRESULT OnCancel(WORD, WORD, HWND, BOOL&);
    LRESULT OnGetDispInfo(int, LPNMHDR header, BOOL&);
    LRESULT OnItemChanged(int, LPNMHDR header, BOOL&);

    void StoreFields();
    void LoadFields();
    void Select(int row);
    void UpdateButtons();

    CExternalToolList& m_list;  // not owned
    std::vector<CExternalTool> m_tools;
    int m_selection = -1;
    bool m_loading = false;  // the fields are being filled: their changes are not edits
    std::string m_dispText;
};

// "Tools &Manager...": the dialog over the process's list; true when it ended with OK and the
// list is marked changed (the menus are then rebuilt by the caller).
bool ManageExternalTools(HWND owner);
