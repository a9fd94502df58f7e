#pragma once
// The blocker's option pages and their two small dialogs:
//   - CPopupBlockerPage (dialog 233): the blocked-popups counter, the popup and web-page-dialog
//     blocker switches, the allowed sites with Add, Remove, Remove All and Browse, and the log;
//   - CAdFilterPage (dialog 234): the blocked-ads counter, the ad-filter switch, the filter and
//     exception lists on two tabs with Add, Remove and Remove All, and the log;
//   - CAllowedSiteDlg (dialog 237): one web address, added to the allow list, which is saved;
//   - CAdFilterRuleDlg (dialog 238): one rule for the filter or the exception list.
// The enable boxes never write BlockerFlags themselves: they ask the main frame's toggle commands
// (33100, 33101, 33200), so menu and page stay in step; without a frame (a page shown on its own)
// the page flips the bit itself. The destructive buttons ask first and act only on Yes: a box that
// could not be shown is no consent.
//
// A page created in a CBlockerOptionsContainer (the side panel's) shows its counter title as the
// container's group caption, and its "Advanced Settings..." opens the Options dialog on the
// advanced page through the installed IBlockerOptionsOpener; a page on its own (inside the
// Options dialog) sets the title as its window text and its "Advanced Settings..." does nothing.
//
// Lifetime: rule (a) for the pages (their dialog or side panel embeds them), dialogs on the stack.
#include "browser/filter/AdFilter.h"
#include "browser/filter/FilterResources.h"
#include "browser/filter/ShapeLabelWnd.h"
#include "controls/widgets/BlockerOptionsContainer.h"
#include "frame/options/OptionsPage.h"
#include "platform/AtlWin.h"

#include <string>

// The main frame's toggle commands.
constexpr UINT kEnablePopupBlockerCommand = 33100;
constexpr UINT kEnableDialogBlockerCommand = 33101;
constexpr UINT kEnableAdFilterCommand = 33200;

// Opens the Options dialog on one page (163 or 165 here), modal over the given owner. The frame,
// which owns the Options dialog, installs it; installing returns the previous one, and the
// installer uninstalls before it goes. None installed: "Advanced Settings..." does nothing.
class IBlockerOptionsOpener {
public:
    virtual ~IBlockerOptionsOpener() = default;
    virtual void OpenOptionsPage(HWND owner, int pageId) = 0;
};
IBlockerOptionsOpener* GetBlockerOptionsOpener();
IBlockerOptionsOpener* SetBlockerOptionsOpener(IBlockerOptionsOpener* opener);

class CAllowedSiteDlg : public CDialogImpl<CAllowedSiteDlg> {
public:
    enum { IDD = IDD_ALLOWED_SITE };
    // initialUrl: the active tab's address; "about:blank" or empty starts with "http://".
    explicit CAllowedSiteDlg(const char* initialUrl = nullptr);

    BEGIN_MSG_MAP(CAllowedSiteDlg)
        MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
        COMMAND_HANDLER(IDC_FILTER_TEXT, EN_CHANGE, OnTextChange)
        COMMAND_ID_HANDLER(IDOK, OnOk)
        COMMAND_ID_HANDLER(IDCANCEL, OnCancel)
    END_MSG_MAP()

    bool m_added = false;

private:
    LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnTextChange(WORD, WORD, HWND, BOOL&);
    LRESULT OnOk(WORD, WORD, HWND, BOOL&);
    LRESULT OnCancel(WORD, WORD, HWND, BOOL&);
    std::string m_initialUrl;
};

class CAdFilterRuleDlg : public CDialogImpl<CAdFilterRuleDlg> {
public:
    enum { IDD = IDD_AD_FILTER_RULE };
    explicit CAdFilterRuleDlg(CAdFilter::EList list) : m_list(list) {}

    BEGIN_MSG_MAP(CAdFilterRuleDlg)
        MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
        COMMAND_HANDLER(IDC_FILTER_TEXT, EN_CHANGE, OnTextChange)
        COMMAND_ID_HANDLER(IDOK, OnOk)
        COMMAND_ID_HANDLER(IDCANCEL, OnCancel)
    END_MSG_MAP()

    bool m_added = false;

private:
    LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnTextChange(WORD, WORD, HWND, BOOL&);
    LRESULT OnOk(WORD, WORD, HWND, BOOL&);
    LRESULT OnCancel(WORD, WORD, HWND, BOOL&);
    CAdFilter::EList m_list;
};

// What the two blocker pages share: the blocked-content counter and the title it gives the page,
// the listener that follows new blocks of the page's kind, the side panel's container the page may
// sit in, its "Advanced Settings..." and the selected row of its list.
class CBlockerCounterPage : public COptionsPage, public IBlockerContainerPage {
public:
    // Reloads the list and the counter (after a block or an edit elsewhere).
    void Refresh();
    virtual void UpdateControls(bool refresh) = 0;
    void UpdateTitle();
    HWND CreateInContainer(CBlockerOptionsContainer& container) override;
    bool IsInContainer() const { return m_container != nullptr; }

protected:
    struct CKind {
        bool popups;             // the popup counter, else the ad counter
        UINT counterId;          // the counter label
        UINT listId;             // the list view of the page's rows
        int advancedPage;        // the Options page "Advanced Settings..." opens
        const char* titleFormat; // the counter title, with %u for the count
    };
    explicit CBlockerCounterPage(const CKind& kind) : m_kind(kind) {}

    // WM_INITDIALOG's start and WM_DESTROY's end of what the base keeps.
    void StartCounter();
    void StopCounter();
    void OpenAdvancedSettings();
    int SelectedRow() const;

    std::string m_dispText;  // the text a list's display request points at

private:
    CKind m_kind;
    CShapeLabelWnd m_counter;
    CBlockerOptionsContainer* m_container = nullptr;  // not owned: the container this page's window is a child of
    int m_listener = 0;
};

class CPopupBlockerPage : public CBlockerCounterPage {
public:
    CPopupBlockerPage();
    BEGIN_MSG_MAP(CPopupBlockerPage)
        MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
        MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
        COMMAND_ID_HANDLER(IDC_POPUP_ENABLE, OnEnable)
        COMMAND_ID_HANDLER(IDC_DIALOG_ENABLE, OnEnableDialogs)
        COMMAND_ID_HANDLER(IDC_POPUP_ADD, OnAdd)
        COMMAND_ID_HANDLER(IDC_POPUP_REMOVE, OnRemove)
        COMMAND_ID_HANDLER(IDC_POPUP_REMOVE_ALL, OnRemoveAll)
        COMMAND_ID_HANDLER(IDC_POPUP_BROWSE, OnBrowse)
        COMMAND_ID_HANDLER(IDC_POPUP_VIEW_LOGS, OnViewLogs)
        COMMAND_ID_HANDLER(IDC_POPUP_ADVANCED, OnAdvanced)
        NOTIFY_HANDLER(IDC_POPUP_SITES, LVN_GETDISPINFOA, OnGetDispInfo)
        NOTIFY_HANDLER(IDC_POPUP_SITES, LVN_ITEMCHANGED, OnSelectionChange)
        NOTIFY_HANDLER(IDC_POPUP_SITES, NM_DBLCLK, OnDoubleClick)
        NOTIFY_HANDLER(IDC_POPUP_SITES, NM_CUSTOMDRAW, OnCustomDraw)
    END_MSG_MAP()

    int GetDialogID() const override { return IDD_POPUP_BLOCKER_PAGE; }
    void UpdateControls(bool refresh) override;

private:
    LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnDestroy(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnEnable(WORD, WORD, HWND, BOOL&);
    LRESULT OnEnableDialogs(WORD, WORD, HWND, BOOL&);
    LRESULT OnAdd(WORD, WORD, HWND, BOOL&);
    LRESULT OnRemove(WORD, WORD, HWND, BOOL&);
    LRESULT OnRemoveAll(WORD, WORD, HWND, BOOL&);
    LRESULT OnBrowse(WORD, WORD, HWND, BOOL&);
    LRESULT OnViewLogs(WORD, WORD, HWND, BOOL&);
    LRESULT OnAdvanced(WORD, WORD, HWND, BOOL&);
    LRESULT OnGetDispInfo(int, LPNMHDR, BOOL&);
    LRESULT OnSelectionChange(int, LPNMHDR, BOOL&);
    LRESULT OnDoubleClick(int, LPNMHDR, BOOL&);
    LRESULT OnCustomDraw(int, LPNMHDR, BOOL&);
};

class CAdFilterPage : public CBlockerCounterPage {
public:
    CAdFilterPage();
    BEGIN_MSG_MAP(CAdFilterPage)
        MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
        MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
        COMMAND_ID_HANDLER(IDC_AD_ENABLE, OnEnable)
        COMMAND_ID_HANDLER(IDC_AD_ADD, OnAdd)
        COMMAND_ID_HANDLER(IDC_AD_REMOVE, OnRemove)
        COMMAND_ID_HANDLER(IDC_AD_REMOVE_ALL, OnRemoveAll)
        COMMAND_ID_HANDLER(IDC_AD_VIEW_LOGS, OnViewLogs)
        COMMAND_ID_HANDLER(IDC_AD_ADVANCED, OnAdvanced)
        NOTIFY_HANDLER(IDC_AD_RULE_TABS, TCN_SELCHANGE, OnTabChange)
        NOTIFY_HANDLER(IDC_AD_RULE_LIST, LVN_GETDISPINFOA, OnGetDispInfo)
        NOTIFY_HANDLER(IDC_AD_RULE_LIST, LVN_ITEMCHANGED, OnSelectionChange)
        NOTIFY_HANDLER(IDC_AD_RULE_LIST, NM_CUSTOMDRAW, OnCustomDraw)
    END_MSG_MAP()

    int GetDialogID() const override { return IDD_AD_FILTER_PAGE; }
    void UpdateControls(bool refresh) override;
    // The list of the current tab: 0 filters, 1 exceptions.
    CAdFilter::EList CurrentList() const;
    void SelectTab(int tab);

private:
    LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnDestroy(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnEnable(WORD, WORD, HWND, BOOL&);
    LRESULT OnAdd(WORD, WORD, HWND, BOOL&);
    LRESULT OnRemove(WORD, WORD, HWND, BOOL&);
    LRESULT OnRemoveAll(WORD, WORD, HWND, BOOL&);
    LRESULT OnViewLogs(WORD, WORD, HWND, BOOL&);
    LRESULT OnAdvanced(WORD, WORD, HWND, BOOL&);
    LRESULT OnTabChange(int, LPNMHDR, BOOL&);
    LRESULT OnGetDispInfo(int, LPNMHDR, BOOL&);
    LRESULT OnSelectionChange(int, LPNMHDR, BOOL&);
    LRESULT OnCustomDraw(int, LPNMHDR, BOOL&);
};
