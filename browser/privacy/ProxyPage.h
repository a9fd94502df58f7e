#pragma once
// The "Proxy" page of the Options dialog (dialog 220) and the proxy dialog (dialog 177) that its
// New and Edit buttons open. The page shows the proxy list in a virtual report list (name and
// server), adds, edits and deletes records at once when their dialogs end, and stores the
// exception text when the Options dialog is applied.
//
// Lifetime: rule (a) for the page (the Options dialog embeds it); the proxy dialog is modal and
// lives on its caller's stack.
#include "browser/privacy/ProxyList.h"
#include "frame/options/OptionsPage.h"
#include "frame/services/ServicesResources.h"

// Edits one record in the proxy dialog; true when the user ended it with OK. The production one
// runs CProxyDlg modally; tests answer for the user.
class IProxyRecordEditor {
public:
    virtual ~IProxyRecordEditor() = default;
    virtual bool Edit(HWND owner, CProxyRecord& record) = 0;
};
IProxyRecordEditor& GetProxyDialogEditor();

// The proxy dialog: "&Name:" and "A&ddress:", OK enabled only while both hold text; the caption
// is the translated "Proxy", " - " and the name.
class CProxyDlg : public CDialogImpl<CProxyDlg> {
public:
    enum { IDD = IDD_PROXY };
    explicit CProxyDlg(CProxyRecord record) : m_record(std::move(record)) {}

    BEGIN_MSG_MAP(CProxyDlg)
        MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
        COMMAND_CODE_HANDLER(EN_CHANGE, OnChange)
        COMMAND_ID_HANDLER(IDOK, OnOk)
        COMMAND_ID_HANDLER(IDCANCEL, OnCancel)
    END_MSG_MAP()

    const CProxyRecord& GetRecord() const { return m_record; }
    // The caption for a name.
    static std::string MakeCaption(const std::string& name);

private:
    LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnChange(WORD, WORD, HWND, BOOL&);
    LRESULT OnOk(WORD, WORD, HWND, BOOL&);
    LRESULT OnCancel(WORD, WORD, HWND, BOOL&);
    void UpdateControls();

    CProxyRecord m_record;
};

class CProxyPage : public COptionsPage {
public:
    // The list and the editor are not owned and outlive the page; `list` null: the process's.
    explicit CProxyPage(CProxyList* list = nullptr, IProxyRecordEditor& editor = GetProxyDialogEditor());

    BEGIN_MSG_MAP(CProxyPage)
        MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
        COMMAND_ID_HANDLER(IDC_PROXY_NEW, OnNew)
        COMMAND_ID_HANDLER(IDC_PROXY_EDIT, OnEdit)
        COMMAND_ID_HANDLER(IDC_PROXY_DELETE, OnDelete)
        NOTIFY_HANDLER(IDC_PROXY_LIST, LVN_GETDISPINFOA, OnGetDispInfo)
        NOTIFY_HANDLER(IDC_PROXY_LIST, LVN_ITEMCHANGED, OnItemChanged)
        NOTIFY_HANDLER(IDC_PROXY_LIST, NM_DBLCLK, OnDoubleClick)
        NOTIFY_HANDLER(IDC_PROXY_LIST, NM_CUSTOMDRAW, OnCustomDraw)
    END_MSG_MAP()

    int GetDialogID() const override { return IDD_PROXY_PAGE; }
    int OnApply() override;

    // The selected row, or -1.
    int GetSelection() const;
    CProxyList* GetList() const;

private:
    LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnNew(WORD, WORD, HWND, BOOL&);
    LRESULT OnEdit(WORD, WORD, HWND, BOOL&);
    LRESULT OnDelete(WORD, WORD, HWND, BOOL&);
    LRESULT OnGetDispInfo(int, LPNMHDR header, BOOL&);
    LRESULT OnItemChanged(int, LPNMHDR, BOOL&);
    LRESULT OnDoubleClick(int, LPNMHDR, BOOL&);
    LRESULT OnCustomDraw(int, LPNMHDR header, BOOL&);
    void Refill(int selection);
    void UpdateButtons();

    CProxyList* m_list;             // not owned; null: the process's
    IProxyRecordEditor& m_editor;   // not owned
    std::string m_dispText;         // the text last handed to the list view
};
