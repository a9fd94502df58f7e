#pragma once
// The dialogs of the groups of sites: "Organize Groups" (dialog 170: the groups, and the addresses
// of the selected one, with new, delete, rename, reorder and move up/down), "Group Name" (172) and
// the address prompt of "New" (19200). All are modal and held by their caller for DoModal.
//
// The address list is a working copy of the selected group's addresses, all of them: selecting
// another group writes it back first, Close writes it back, Escape drops it. Deleting a group drops
// the copy too, so it never lands in the group that moves into the deleted one's place. Only "New"
// is limited, to groups of fewer than 50 addresses; "New Group" to fewer than 100 groups.
#include "navigation/GroupStore.h"
#include "navigation/NavigationResources.h"
#include "platform/AtlWin.h"

#include <commctrl.h>

#include <string>
#include <vector>

class CFavIconCache;

constexpr int kMaxDialogGroups = 100;
constexpr int kMaxNewGroupAddresses = 50;

// "Group Name": OK only while the text is a usable name for the store (GroupStore.h).
class CGroupNameDlg : public CDialogImpl<CGroupNameDlg> {
public:
    enum { IDD = IDD_GROUP_NAME };
    // `except`: the index of the group being renamed (its own name stays allowed), -1 for a new one.
    CGroupNameDlg(const CGroupStore& store, std::string name, int except = -1)
        : m_store(store), m_name(std::move(name)), m_except(except)
    {
    }
    const std::string& GetName() const { return m_name; }

    BEGIN_MSG_MAP(CGroupNameDlg)
        MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
        COMMAND_HANDLER(IDC_GROUP_NAME, EN_CHANGE, OnNameChange)
        COMMAND_ID_HANDLER(IDOK, OnOk)
        COMMAND_ID_HANDLER(IDCANCEL, OnCancel)
    END_MSG_MAP()

private:
    LRESULT OnInitDialog(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnNameChange(WORD code, WORD id, HWND control, BOOL& handled);
    LRESULT OnOk(WORD code, WORD id, HWND control, BOOL& handled);
    LRESULT OnCancel(WORD code, WORD id, HWND control, BOOL& handled);
    std::string ReadName() const;

    const CGroupStore& m_store;
    std::string m_name;
    int m_except;
};

// The address prompt of "New": OK only while the trimmed text is an address of usable length.
class CGroupAddressDlg : public CDialogImpl<CGroupAddressDlg> {
public:
    enum { IDD = IDD_ADD_GROUP_ADDRESS };
    const std::string& GetAddress() const { return m_address; }

    BEGIN_MSG_MAP(CGroupAddressDlg)
        MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
        COMMAND_HANDLER(IDC_GROUP_ADDRESS, EN_CHANGE, OnChange)
        COMMAND_ID_HANDLER(IDOK, OnOk)
        COMMAND_ID_HANDLER(IDCANCEL, OnCancel)
    END_MSG_MAP()

private:
    LRESULT OnInitDialog(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnChange(WORD code, WORD id, HWND control, BOOL& handled);
    LRESULT OnOk(WORD code, WORD id, HWND control, BOOL& handled);
    LRESULT OnCancel(WORD code, WORD id, HWND control, BOOL& handled);
    std::string ReadAddress() const;

    std::string m_address;
};

class COrganizeGroupsDlg : public CDialogImpl<COrganizeGroupsDlg> {
public:
    enum { IDD = IDD_ORGANIZE_GROUPS };
    // Neither is owned; the icons may be null.
    explicit COrganizeGroupsDlg(CGroupStore& store, CFavIconCache* icons = nullptr) : m_store(store), m_icons(icons) {}

    int GetSelectedGroup() const { return m_selected; }
    const std::vector<std::string>& WorkingCopy() const { return m_urls; }

    BEGIN_MSG_MAP(COrganizeGroupsDlg)
        MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
        NOTIFY_HANDLER(IDC_GROUP_LIST, LVN_GETDISPINFOA, OnGroupDispInfo)
        NOTIFY_HANDLER(IDC_GROUP_LIST, LVN_ITEMCHANGED, OnGroupChanged)
        NOTIFY_HANDLER(IDC_GROUP_ADDRESS_LIST, LVN_GETDISPINFOA, OnAddressDispInfo)
        NOTIFY_HANDLER(IDC_GROUP_ADDRESS_LIST, LVN_ITEMCHANGED, OnAddressChanged)
        COMMAND_ID_HANDLER(IDC_NEW_GROUP, OnNewGroup)
        COMMAND_ID_HANDLER(IDC_DELETE_GROUP, OnDeleteGroup)
        COMMAND_ID_HANDLER(IDC_RENAME_GROUP, OnRenameGroup)
        COMMAND_ID_HANDLER(IDC_MOVE_GROUP_UP, OnMoveGroup)
        COMMAND_ID_HANDLER(IDC_MOVE_GROUP_DOWN, OnMoveGroup)
        COMMAND_ID_HANDLER(IDC_NEW_GROUP_ADDRESS, OnNewAddress)
        COMMAND_ID_HANDLER(IDC_DELETE_GROUP_ADDRESS, OnDeleteAddress)
        COMMAND_ID_HANDLER(IDC_MOVE_ADDRESS_UP, OnMoveAddress)
        COMMAND_ID_HANDLER(IDC_MOVE_ADDRESS_DOWN, OnMoveAddress)
        COMMAND_ID_HANDLER(IDOK, OnClose)
        COMMAND_ID_HANDLER(IDCANCEL, OnCancel)
    END_MSG_MAP()

    // Selects group `index` (-1: none), writing the working copy back into the previous group first.
    void SelectGroup(int index);

private:
    LRESULT OnInitDialog(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnGroupDispInfo(int id, NMHDR* header, BOOL& handled);
    LRESULT OnGroupChanged(int id, NMHDR* header, BOOL& handled);
    LRESULT OnAddressDispInfo(int id, NMHDR* header, BOOL& handled);
    LRESULT OnAddressChanged(int id, NMHDR* header, BOOL& handled);
    LRESULT OnNewGroup(WORD code, WORD id, HWND control, BOOL& handled);
    LRESULT OnDeleteGroup(WORD code, WORD id, HWND control, BOOL& handled);
    LRESULT OnRenameGroup(WORD code, WORD id, HWND control, BOOL& handled);
    LRESULT OnMoveGroup(WORD code, WORD id, HWND control, BOOL& handled);
    LRESULT OnNewAddress(WORD code, WORD id, HWND control, BOOL& handled);
    LRESULT OnDeleteAddress(WORD code, WORD id, HWND control, BOOL& handled);
    LRESULT OnMoveAddress(WORD code, WORD id, HWND control, BOOL& handled);
    LRESULT OnClose(WORD code, WORD id, HWND control, BOOL& handled);
    LRESULT OnCancel(WORD code, WORD id, HWND control, BOOL& handled);

    void WriteBack();
    void RefreshGroups();
    void RefreshAddresses(int select);
    int SelectedAddress() const;
    void UpdateButtons();
    HWND Item(int id) const { return GetDlgItem(id); }

    CGroupStore& m_store;
    CFavIconCache* m_icons;
    int m_selected = -1;
    std::vector<std::string> m_urls;
    bool m_selecting = false;  // the dialog itself changes the list selection
    std::string m_dispText;    // the text handed out by the last LVN_GETDISPINFO
};

// The list background of the program's dialogs: the window colour with red, green and blue each
// lowered by 6 per cent of its value.
COLORREF ShadedListBackground(COLORREF window);
