#pragma once
// The program's report list views. CListViewHelper wraps a list-view handle (items, the check-box
// style and the check state shared by a selection). CGridListView is the grid-look base with its
// header behaviour; CSortListView ("_ListView", a superclass of the system list view) keeps a sort
// column and direction, shows the sort mark in the header and asks SortByColumn of the concrete
// list to reorder its data. Lists are virtual (owner data): they answer LVN_GETDISPINFO from
// their own data through reflected notifications, so their parents reflect notifications.
// COwnerDrawItemList computes the item height of the owner-drawn item lists.
//
// Lifetime: a member of the window that owns the list (rule (a)). UI thread only.
#include "platform/AtlCtrls.h"
#include "platform/AtlWin.h"

#include <string>
#include <vector>

class CListViewHelper {
public:
    explicit CListViewHelper(HWND list = nullptr) : m_list(list) {}
    void Attach(HWND list) { m_list = list; }

    BOOL SetItem(const LVITEMA& item) const;
    BOOL GetItem(LVITEMA& item) const;
    int InsertItem(const LVITEMA& item) const;
    int GetNextItem(int start, UINT flags) const;
    static LVITEMA NewItem() { return LVITEMA{}; }
    // Full-row selection and check boxes.
    void SetCheckBoxStyle() const;
    bool IsChecked(int item) const;
    void SetChecked(int item, bool checked) const;
    // A click on the check box of a selected item gives every other selected item the clicked
    // item's new state (the opposite of its state now); an unselected item changes alone (the
    // list view itself toggles the clicked item).
    void ToggleCheckedSelection(int item) const;

private:
    HWND m_list;
};

class CGridListView : public CWindowImpl<CGridListView, CListViewCtrl> {
public:
    // headerWithoutButtons: the header loses its buttons (no clicks, no sorting).
    explicit CGridListView(bool headerWithoutButtons = false) : m_headerWithoutButtons(headerWithoutButtons) {}

    BOOL SubclassWindow(HWND window);
    void Init();

    BEGIN_MSG_MAP(CGridListView)
    END_MSG_MAP()

protected:
    bool m_headerWithoutButtons;
};

class CSortListView : public CWindowImpl<CSortListView, CListViewCtrl> {
public:
    DECLARE_WND_SUPERCLASS("_ListView", WC_LISTVIEWA)
    static constexpr DWORD kDefaultStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_SHOWSELALWAYS |
                                           LVS_SHAREIMAGELISTS | LVS_OWNERDATA;

    CSortListView() = default;
    // A style of 0 is kDefaultStyle, an extended style of 0 WS_EX_CLIENTEDGE.
    HWND Create(HWND parent, const RECT& rect, DWORD style = 0, DWORD exStyle = 0, UINT id = 0);
    void Init();

    // Sorts the data by the column (its id, the header item's lParam) in the current direction;
    // false when the column cannot be sorted.
    virtual bool SortByColumn(int columnId) = 0;
    // Marks the column in the header and keeps column and direction.
    void SetSortColumn(int columnId, bool ascending);
    int GetSortColumn() const { return m_sortColumn; }
    bool IsAscending() const { return m_ascending; }
    // Adds a column whose header item carries its id.
    void AddColumn(int columnId, const char* text, int width);

    // The header item's sort mark: HDF_SORTUP, HDF_SORTDOWN or 0.
    int GetSortMark(int columnId) const;

    // Check boxes that follow the selection: a click on the check box of a selected item (Ctrl
    // up), or Space, gives every selected item the clicked one's new state.
    void EnableCheckBoxes();
    // The texts of the selected items' column, one a line, as CF_TEXT; false (the clipboard
    // untouched) without a selection.
    bool CopySelectionToClipboard(int subItem) const;

    BEGIN_MSG_MAP(CSortListView)
        REFLECTED_NOTIFY_CODE_HANDLER(LVN_COLUMNCLICK, OnColumnClick)
        MESSAGE_HANDLER(WM_LBUTTONDOWN, OnCheckClick)
        MESSAGE_HANDLER(WM_RBUTTONDOWN, OnCheckClick)
        MESSAGE_HANDLER(WM_LBUTTONDBLCLK, OnCheckClick)
        MESSAGE_HANDLER(WM_KEYDOWN, OnKeyDown)
    END_MSG_MAP()

protected:
    LRESULT OnColumnClick(int, LPNMHDR header, BOOL& handled);
    int FindHeaderItem(int columnId) const;
    LRESULT OnCheckClick(UINT, WPARAM, LPARAM lParam, BOOL& handled);
    LRESULT OnKeyDown(UINT, WPARAM wParam, LPARAM, BOOL& handled);

    bool m_checkBoxes = false;

    int m_sortColumn = -1;
    bool m_ascending = false;
};

// The item heights of the owner-drawn item lists: the text height is at least 22 and 6 more
// than the font's, the item at least that and 5 more than the icons.
int OwnerDrawTextHeight(int fontHeight);
int OwnerDrawItemHeight(int fontHeight, int iconHeight);
