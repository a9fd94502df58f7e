#include "controls/widgets/SortListView.h"

#include "core/system/Clipboard.h"

#include <algorithm>
#include <string>

BOOL CListViewHelper::SetItem(const LVITEMA& item) const
{
    return static_cast<BOOL>(::SendMessageA(m_list, LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item)));
}

BOOL CListViewHelper::GetItem(LVITEMA& item) const
{
    return static_cast<BOOL>(::SendMessageA(m_list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item)));
}

int CListViewHelper::InsertItem(const LVITEMA& item) const
{
    return static_cast<int>(::SendMessageA(m_list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
}

int CListViewHelper::GetNextItem(int start, UINT flags) const
{
    return static_cast<int>(::SendMessageA(m_list, LVM_GETNEXTITEM, static_cast<WPARAM>(start), flags));
}

void CListViewHelper::SetCheckBoxStyle() const
{
    const DWORD styles = LVS_EX_FULLROWSELECT | LVS_EX_CHECKBOXES;
    ::SendMessageA(m_list, LVM_SETEXTENDEDLISTVIEWSTYLE, styles, styles);
}

bool CListViewHelper::IsChecked(int item) const
{
    const UINT state = static_cast<UINT>(::SendMessageA(m_list, LVM_GETITEMSTATE, static_cast<WPARAM>(item), LVIS_STATEIMAGEMASK));
    return (state >> 12) == 2;
}

void CListViewHelper::SetChecked(int item, bool checked) const
{
    LVITEMA state = {};
    state.stateMask = LVIS_STATEIMAGEMASK;
    state.state = INDEXTOSTATEIMAGEMASK(checked ? 2 : 1);
    ::SendMessageA(m_list, LVM_SETITEMSTATE, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&state));
}

void CListViewHelper::ToggleCheckedSelection(int item) const
{
    const UINT selected = static_cast<UINT>(::SendMessageA(m_list, LVM_GETITEMSTATE, static_cast<WPARAM>(item), LVIS_SELECTED));
    if (!(selected & LVIS_SELECTED))
        return;
    const bool newState = !IsChecked(item);
    for (int other = GetNextItem(-1, LVNI_SELECTED); other >= 0; other = GetNextItem(other, LVNI_SELECTED)) {
        if (other != item)
            SetChecked(other, newState);
    }
}

// ---- CGridListView ----------------------------------------------------------------------------

BOOL CGridListView::SubclassWindow(HWND window)
{
    if (!CWindowImpl<CGridListView, CListViewCtrl>::SubclassWindow(window))
        return FALSE;
    Init();
    return TRUE;
}

void CGridListView::Init()
{
    const DWORD styles = LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP;
    ::SendMessageA(m_hWnd, LVM_SETEXTENDEDLISTVIEWSTYLE, styles, styles);
    HWND header = reinterpret_cast<HWND>(::SendMessageA(m_hWnd, LVM_GETHEADER, 0, 0));
    if (header)
        CWindow(header).ModifyStyle(HDS_FULLDRAG | (m_headerWithoutButtons ? HDS_BUTTONS : 0), HDS_DRAGDROP);
}

// ---- CSortListView ----------------------------------------------------------------------------

HWND CSortListView::Create(HWND parent, const RECT& rect, DWORD style, DWORD exStyle, UINT id)
{
    HWND window = CWindowImpl<CSortListView, CListViewCtrl>::Create(parent, rect, nullptr, style ? style : kDefaultStyle,
                                                                   exStyle ? exStyle : WS_EX_CLIENTEDGE, id);
    if (window)
        Init();
    return window;
}

void CSortListView::Init()
{
    const DWORD styles = LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP;
    ::SendMessageA(m_hWnd, LVM_SETEXTENDEDLISTVIEWSTYLE, styles, styles);
    HWND header = reinterpret_cast<HWND>(::SendMessageA(m_hWnd, LVM_GETHEADER, 0, 0));
    if (header)
        CWindow(header).ModifyStyle(HDS_FULLDRAG, HDS_DRAGDROP);
}

void CSortListView::AddColumn(int columnId, const char* text, int width)
{
    const int index = static_cast<int>(::SendMessageA(m_hWnd, LVM_GETHEADER, 0, 0)
                                           ? ::SendMessageA(reinterpret_cast<HWND>(::SendMessageA(m_hWnd, LVM_GETHEADER, 0, 0)),
                                                            HDM_GETITEMCOUNT, 0, 0)
                                           : 0);
    LVCOLUMNA column = {};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM | LVCF_FMT;
    column.pszText = const_cast<char*>(text);
    column.cx = width;
    column.iSubItem = index;
    ::SendMessageA(m_hWnd, LVM_INSERTCOLUMNA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&column));
    HWND header = reinterpret_cast<HWND>(::SendMessageA(m_hWnd, LVM_GETHEADER, 0, 0));
    HDITEMA item = {};
    item.mask = HDI_LPARAM;
    item.lParam = columnId;
    ::SendMessageA(header, HDM_SETITEMA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
}

int CSortListView::FindHeaderItem(int columnId) const
{
    HWND header = reinterpret_cast<HWND>(::SendMessageA(m_hWnd, LVM_GETHEADER, 0, 0));
    const int count = header ? static_cast<int>(::SendMessageA(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
    for (int i = 0; i < count; ++i) {
        HDITEMA item = {};
        item.mask = HDI_LPARAM;
        if (::SendMessageA(header, HDM_GETITEMA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item)) &&
            item.lParam == columnId)
            return i;
    }
    return -1;
}

int CSortListView::GetSortMark(int columnId) const
{
    const int index = FindHeaderItem(columnId);
    if (index < 0)
        return 0;
    HWND header = reinterpret_cast<HWND>(::SendMessageA(m_hWnd, LVM_GETHEADER, 0, 0));
    HDITEMA item = {};
    item.mask = HDI_FORMAT;
    ::SendMessageA(header, HDM_GETITEMA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
    return item.fmt & (HDF_SORTUP | HDF_SORTDOWN);
}

// The header's own sort arrows (HDF_SORTUP, HDF_SORTDOWN) mark the column; the program's manifest
// asks for the common controls that draw them.
void CSortListView::SetSortColumn(int columnId, bool ascending)
{
    HWND header = reinterpret_cast<HWND>(::SendMessageA(m_hWnd, LVM_GETHEADER, 0, 0));
    const auto setMark = [&](int index, int mark) {
        if (index < 0 || !header)
            return;
        HDITEMA item = {};
        item.mask = HDI_FORMAT;
        ::SendMessageA(header, HDM_GETITEMA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
        item.fmt = (item.fmt & ~(HDF_SORTUP | HDF_SORTDOWN | HDF_OWNERDRAW)) | mark;
        ::SendMessageA(header, HDM_SETITEMA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
    };
    if (columnId != m_sortColumn)
        setMark(FindHeaderItem(m_sortColumn), 0);
    m_sortColumn = columnId;
    m_ascending = ascending;
    setMark(FindHeaderItem(columnId), ascending ? HDF_SORTUP : HDF_SORTDOWN);
    ::InvalidateRect(m_hWnd, nullptr, TRUE);
    if (header)
        ::InvalidateRect(header, nullptr, TRUE);
}

LRESULT CSortListView::OnColumnClick(int, LPNMHDR header, BOOL& handled)
{
    handled = FALSE;  // the owner sees the click as well
    const auto* view = reinterpret_cast<const NMLISTVIEW*>(header);
    HWND headerWindow = reinterpret_cast<HWND>(::SendMessageA(m_hWnd, LVM_GETHEADER, 0, 0));
    HDITEMA item = {};
    item.mask = HDI_LPARAM;
    if (!::SendMessageA(headerWindow, HDM_GETITEMA, static_cast<WPARAM>(view->iSubItem), reinterpret_cast<LPARAM>(&item)))
        return 0;
    const int columnId = static_cast<int>(item.lParam);
    bool ascending = true;
    if (columnId == m_sortColumn) {
        ascending = !m_ascending;
    }
    const int previousColumn = m_sortColumn;
    const bool previousAscending = m_ascending;
    m_sortColumn = columnId;
    m_ascending = ascending;
    if (!SortByColumn(columnId)) {
        m_sortColumn = previousColumn;  // a column that cannot be sorted keeps the old mark
        m_ascending = previousAscending;
        return 0;
    }
    m_sortColumn = previousColumn;
    SetSortColumn(columnId, ascending);
    return 0;
}

void CSortListView::EnableCheckBoxes()
{
    m_checkBoxes = true;
    CListViewHelper(m_hWnd).SetCheckBoxStyle();
}

LRESULT CSortListView::OnCheckClick(UINT, WPARAM, LPARAM lParam, BOOL& handled)
{
    handled = FALSE;  // the list view toggles the clicked item itself
    if (!m_checkBoxes || (::GetKeyState(VK_CONTROL) & 0x8000))
        return 0;
    LVHITTESTINFO hit = {};
    hit.pt = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    const int item = static_cast<int>(::SendMessageA(m_hWnd, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
    if (item >= 0 && (hit.flags & LVHT_ONITEMSTATEICON))
        CListViewHelper(m_hWnd).ToggleCheckedSelection(item);
    return 0;
}

LRESULT CSortListView::OnKeyDown(UINT, WPARAM wParam, LPARAM, BOOL& handled)
{
    handled = FALSE;
    if (m_checkBoxes && wParam == VK_SPACE) {
        const int focused = static_cast<int>(::SendMessageA(m_hWnd, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
        if (focused >= 0)
            CListViewHelper(m_hWnd).ToggleCheckedSelection(focused);
    }
    return 0;
}

bool CSortListView::CopySelectionToClipboard(int subItem) const
{
    std::string text;
    int count = 0;
    for (int item = -1;;) {
        item = static_cast<int>(::SendMessageA(m_hWnd, LVM_GETNEXTITEM, static_cast<WPARAM>(item), LVNI_SELECTED));
        if (item < 0)
            break;
        char buffer[1024] = {};
        LVITEMA request = {};
        request.iSubItem = subItem;
        request.pszText = buffer;
        request.cchTextMax = sizeof(buffer);
        ::SendMessageA(m_hWnd, LVM_GETITEMTEXTA, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&request));
        if (count++)
            text += "\r\n";
        text += buffer;
    }
    if (!count || !::OpenClipboard(m_hWnd))
        return false;
    ::EmptyClipboard();
    const bool copied = CopyTextToClipboard(text.c_str(), text.size());
    ::CloseClipboard();
    return copied;
}

int OwnerDrawTextHeight(int fontHeight)
{
    return std::max(22, fontHeight + 6);
}

int OwnerDrawItemHeight(int fontHeight, int iconHeight)
{
    return std::max(OwnerDrawTextHeight(fontHeight), iconHeight + 5);
}
