#pragma once
// The URL aliases' editors: "Assign URL Alias" (dialog 175), which edits one alias and is modal,
// held by its caller for DoModal; and "URL Alias" (dialog 174), the Options dialog's page with the
// list and New, Edit and Remove. The page edits a copy of the alias list; Apply puts the copy into
// the list and sets its modified flag, so the list is written back at exit; Cancel changes nothing.
#include "frame/options/OptionsPage.h"
#include "navigation/NavigationResources.h"
#include "navigation/UrlAliasList.h"
#include "platform/AtlWin.h"

#include <commctrl.h>

#include <memory>
#include <string>

class CFavIconCache;
class CShellAutoComplete;

// The list's texts are cut to this many characters.
constexpr size_t kAliasListTextLength = 64;

class CUrlAliasDlg : public CDialogImpl<CUrlAliasDlg> {
public:
    enum { IDD = IDD_ASSIGN_URL_ALIAS };
    // With a list, OK also waits for an alias the list can take (record `except` is the one being
    // edited). Without a URL the URL field starts with `activeAddress` (the active tab's page).
    CUrlAliasDlg(std::string alias, std::string url, const CUrlAliasList* list = nullptr, int except = -1,
                 std::string activeAddress = std::string());
    ~CUrlAliasDlg();
    CUrlAliasDlg(const CUrlAliasDlg&) = delete;
    CUrlAliasDlg& operator=(const CUrlAliasDlg&) = delete;

    const std::string& GetAlias() const { return m_alias; }
    const std::string& GetUrl() const { return m_url; }

    BEGIN_MSG_MAP(CUrlAliasDlg)
        MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
        COMMAND_CODE_HANDLER(EN_CHANGE, OnChange)
        COMMAND_ID_HANDLER(IDOK, OnOk)
        COMMAND_ID_HANDLER(IDCANCEL, OnCancel)
    END_MSG_MAP()

private:
    LRESULT OnInitDialog(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnChange(WORD code, WORD id, HWND control, BOOL& handled);
    LRESULT OnOk(WORD code, WORD id, HWND control, BOOL& handled);
    LRESULT OnCancel(WORD code, WORD id, HWND control, BOOL& handled);
    bool Acceptable(const std::string& alias, const std::string& url) const;
    std::string Read(int id) const;

    std::string m_alias;
    std::string m_url;
    const CUrlAliasList* m_list;  // not owned
    int m_except;
    std::string m_activeAddress;
    std::unique_ptr<CShellAutoComplete> m_autoComplete;
};

// Lifetime: rule (a), as every page (frame/options/OptionsPage.h).
class CUrlAliasPage : public COptionsPage {
public:
    // The program's alias list and favicon cache.
    CUrlAliasPage() = default;
    // Others (tests): neither is owned; the icons may be null (none).
    CUrlAliasPage(CUrlAliasList& list, CFavIconCache* icons) : m_target(&list), m_icons(icons), m_programIcons(false) {}

    int GetDialogID() const override { return IDD_URL_ALIAS_LIST; }
    int OnApply() override;
    // The records as edited so far.
    const CUrlAliasList& GetEdited() const { return m_list; }

    BEGIN_MSG_MAP(CUrlAliasPage)
        MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
        NOTIFY_HANDLER(IDC_ALIAS_LIST, LVN_GETDISPINFOA, OnGetDispInfo)
        NOTIFY_HANDLER(IDC_ALIAS_LIST, LVN_ITEMCHANGED, OnItemChanged)
        NOTIFY_HANDLER(IDC_ALIAS_LIST, NM_DBLCLK, OnDoubleClick)
        NOTIFY_HANDLER(IDC_ALIAS_LIST, NM_CUSTOMDRAW, OnCustomDraw)
        COMMAND_ID_HANDLER(IDC_NEW_ALIAS, OnNew)
        COMMAND_ID_HANDLER(IDC_EDIT_ALIAS, OnEdit)
        COMMAND_ID_HANDLER(IDC_REMOVE_ALIAS, OnRemove)
    END_MSG_MAP()

private:
    LRESULT OnInitDialog(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnGetDispInfo(int id, NMHDR* header, BOOL& handled);
    LRESULT OnItemChanged(int id, NMHDR* header, BOOL& handled);
    LRESULT OnDoubleClick(int id, NMHDR* header, BOOL& handled);
    LRESULT OnCustomDraw(int id, NMHDR* header, BOOL& handled);
    LRESULT OnNew(WORD code, WORD id, HWND control, BOOL& handled);
    LRESULT OnEdit(WORD code, WORD id, HWND control, BOOL& handled);
    LRESULT OnRemove(WORD code, WORD id, HWND control, BOOL& handled);

    CUrlAliasList* Target() const;
    CFavIconCache* Icons() const;
    int FirstSelected() const;
    void Refresh(int select);
    void UpdateButtons();

    CUrlAliasList* m_target = nullptr;  // not owned; null: the program's
    CFavIconCache* m_icons = nullptr;   // not owned
    bool m_programIcons = true;
    CUrlAliasList m_list{std::string()};  // the edited copy, never saved itself
    COLORREF m_windowColour = GetSysColor(COLOR_WINDOW);
    std::string m_dispText;
};
