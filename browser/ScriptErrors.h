#pragma once
// Script errors of a page: the engine asks its host to show each one (OLECMDID_SHOWSCRIPTERROR);
// the tab keeps one record per distinct error in the frame data's list for the tab, marks its
// status text "Error on page." and asks whether scripts may go on only when the user wants to be
// reminded of every error. CScriptErrorDlg pages through a tab's errors, as a question about one
// error or to view them all.
#include "frame/MainFrameData.h"
#include "platform/AtlWin.h"

#include <windows.h>

#include <vector>

// Answers the engine's request for the tab: `in` holds the erring document, `out` receives
// VT_BOOL, VARIANT_TRUE to let scripts go on. Bad input (no document, no event object) is refused.
HRESULT CollectScriptError(HWND tab, VARIANT* in, VARIANT* out);

// Modal, or modeless for a look at it; the dialog does not own the list, which must outlive it.
class CScriptErrorDlg : public CDialogImpl<CScriptErrorDlg> {
public:
    enum { IDD = 281 };
    CScriptErrorDlg(const std::vector<ScriptErrorRecord>& errors, size_t first, bool question)
        : m_errors(errors), m_current(first), m_question(question)
    {
    }
    size_t CurrentIndex() const { return m_current; }
    bool RemindChecked() const { return m_remind; }

    BEGIN_MSG_MAP(CScriptErrorDlg)
        MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
        COMMAND_ID_HANDLER(20703, OnPrevious)
        COMMAND_ID_HANDLER(20704, OnNext)
        COMMAND_ID_HANDLER(IDYES, OnEnd)
        COMMAND_ID_HANDLER(IDNO, OnEnd)
        COMMAND_ID_HANDLER(IDCANCEL, OnEnd)
    END_MSG_MAP()

private:
    LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnPrevious(WORD, WORD, HWND, BOOL&);
    LRESULT OnNext(WORD, WORD, HWND, BOOL&);
    LRESULT OnEnd(WORD, WORD id, HWND, BOOL&);
    void ShowCurrent();

    const std::vector<ScriptErrorRecord>& m_errors;
    size_t m_current;
    bool m_question;
    bool m_remind = false;
};
