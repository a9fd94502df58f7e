#pragma once
// CStartPagesPage: the "Start Pages" page of the Options dialog (dialog 166): what the program
// opens at start (one of six modes, a radio group), the site selection box of a restored session,
// the group a start opens, and the list of start pages with Add, Remove and Remove All. The page
// edits a copy of the list: Apply writes the mode, the group and the list; Cancel leaves all as
// they were.
//
// Lifetime: rule (a), as every page (frame/options/OptionsPage.h).
#include "core/app/StartPagesListView.h"
#include "frame/options/OptionsPage.h"
#include "frame/options/OptionsResources.h"
#include "platform/AtlGdi.h"

#include <string>
#include <vector>

class CFavIconCache;
class CGroupStore;
class CStartSites;

// Asks the user for a new start page's address; false when the user cancelled.
class IStartPagePrompt {
public:
    virtual ~IStartPagePrompt() = default;
    virtual bool AskAddress(HWND owner, std::string& address) = 0;
};

// The modes in radio order: blank, home page, last session, group, start pages, search page.
enum EStartMode : int {
    kStartModeBlank = 0,
    kStartModeHomePage = 1,
    kStartModeLastSites = 2,
    kStartModeGroup = 3,
    kStartModeStartPages = 4,
    kStartModeSearchPage = 5,
};

class CStartPagesPage : public COptionsPage {
public:
    // None is owned; null: the program's start pages, groups and site icons, and the address
    // prompt of the groups.
    CStartPagesPage(CStartSites* sites = nullptr, const CGroupStore* groups = nullptr, CFavIconCache* icons = nullptr);

    void SetPrompt(IStartPagePrompt* prompt) { m_prompt = prompt; }

    // The page's radio group: the radio buttons from the first one on, in the dialog's control
    // order, up to the next control that starts a group. -1: none checked.
    static int GetCheckedRadio(HWND page, int firstRadioId);
    static void CheckRadio(HWND page, int firstRadioId, int index);

    // The list as the page shows it (not yet applied).
    const std::vector<CStdString>& GetShownSites() const { return m_sites; }

    int GetDialogID() const override { return IDD_START_PAGES_PAGE; }
    int OnApply() override;

    BEGIN_MSG_MAP(CStartPagesPage)
        MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
        COMMAND_RANGE_HANDLER(IDC_START_MODE_BLANK, IDC_START_MODE_SEARCH_PAGE, OnModeClicked)
        COMMAND_ID_HANDLER(IDC_START_PAGES_ADD, OnAdd)
        COMMAND_ID_HANDLER(IDC_START_PAGES_REMOVE, OnRemove)
        COMMAND_ID_HANDLER(IDC_START_PAGES_REMOVE_ALL, OnRemoveAll)
        NOTIFY_HANDLER(IDC_START_PAGES_LIST, LVN_ITEMCHANGED, OnListChanged)
        REFLECT_NOTIFICATIONS()
    END_MSG_MAP()

private:
    LRESULT OnInitDialog(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnModeClicked(WORD code, WORD id, HWND control, BOOL& handled);
    LRESULT OnAdd(WORD code, WORD id, HWND control, BOOL& handled);
    LRESULT OnRemove(WORD code, WORD id, HWND control, BOOL& handled);
    LRESULT OnRemoveAll(WORD code, WORD id, HWND control, BOOL& handled);
    LRESULT OnListChanged(int id, NMHDR* header, BOOL& handled);
    void SetUpButtons();
    void FillGroups();
    void ApplyModeRule();
    void UpdateListButtons();
    void ReloadList();
    int FirstSelected() const;

    CStartSites* m_startSites;     // not owned
    const CGroupStore* m_groups;   // not owned
    CFavIconCache* m_icons;        // not owned
    IStartPagePrompt* m_prompt = nullptr;  // not owned
    int m_startMode = -1;          // the mode when the page was built
    std::vector<CStdString> m_sites;  // the list being edited
    CStartPagesListView m_list{&m_sites};
    CIcon m_buttonIcons[3];
};
