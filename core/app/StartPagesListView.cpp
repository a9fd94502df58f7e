#include "core/app/StartPagesListView.h"

int CStartPagesListView::GetListViewColumnCount() const
{
    HWND header = GetHeader();
    return header ? static_cast<int>(::SendMessageA(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
}

void CStartPagesListView::Init(HIMAGELIST smallImages, IconLookup iconLookup)
{
    m_iconLookup = std::move(iconLookup);
    if (smallImages)
        SetImageList(smallImages, LVSIL_SMALL);
    if (GetListViewColumnCount() == 0) {
        RECT client = {};
        GetClientRect(&client);
        const int width = client.right - client.left - ::GetSystemMetrics(SM_CXVSCROLL);
        InsertColumn(0, "", LVCFMT_LEFT, width > 0 ? width : 100);
    }
}

void CStartPagesListView::Refresh()
{
    SetItemCountEx(m_sites ? static_cast<int>(m_sites->size()) : 0, 0);
    Invalidate();
}

LRESULT CStartPagesListView::OnGetDispInfo(int, LPNMHDR header, BOOL&)
{
    auto* info = reinterpret_cast<NMLVDISPINFOA*>(header);
    LVITEMA& item = info->item;
    if (!m_sites || item.iItem < 0 || static_cast<size_t>(item.iItem) >= m_sites->size())
        return 0;
    const CStdString& url = (*m_sites)[item.iItem];
    if ((item.mask & LVIF_TEXT) && item.pszText && item.cchTextMax > 0)
        lstrcpynA(item.pszText, url.c_str(), item.cchTextMax);
    if (item.mask & LVIF_IMAGE)
        item.iImage = m_iconLookup ? m_iconLookup(url.c_str()) : -1;
    return 0;
}
