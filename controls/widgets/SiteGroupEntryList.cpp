#include "controls/widgets/SiteGroupEntryList.h"

#include "controls/DynamicUpdateUI.h"
#include "controls/widgets/MenuListUtilities.h"
#include "controls/widgets/WidgetsResource.h"
#include "core/system/Clipboard.h"
#include "platform/AtlBase.h"

void CSiteGroupEntryList::Init(HIMAGELIST images, std::vector<CSiteGroupEntry> entries, const std::vector<bool>& checked,
                               IconLookup icons)
{
    m_entries = std::move(entries);
    m_icons = std::move(icons);
    ::SendMessageA(m_hWnd, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(images));
    EnableCheckBoxes();
    static const ListViewColumnInfo columns[] = {{0, "Title", 24, LVCFMT_LEFT}, {1, "URL", 24, LVCFMT_LEFT}};
    InsertListViewColumns(m_hWnd, columns, 2, true);
    ::SendMessageA(m_hWnd, LVM_DELETEALLITEMS, 0, 0);
    CListViewHelper helper(m_hWnd);
    for (size_t i = 0; i < m_entries.size(); ++i) {
        LVITEMA item = {};
        item.mask = LVIF_TEXT | LVIF_IMAGE;
        item.iItem = static_cast<int>(i);
        item.pszText = LPSTR_TEXTCALLBACKA;
        item.iImage = I_IMAGECALLBACK;
        const int index = helper.InsertItem(item);
        helper.SetChecked(index, i < checked.size() && checked[i]);
    }
}

std::string CSiteGroupEntryList::DisplayTitle(const CSiteGroupEntry& entry)
{
    return entry.title.empty() || entry.title == "about:blank" ? entry.url : entry.title;
}

LRESULT CSiteGroupEntryList::OnGetDispInfo(int, LPNMHDR header, BOOL&)
{
    auto* info = reinterpret_cast<NMLVDISPINFOA*>(header);
    if (info->item.iItem < 0 || static_cast<size_t>(info->item.iItem) >= m_entries.size())
        return 0;
    const CSiteGroupEntry& entry = m_entries[static_cast<size_t>(info->item.iItem)];
    if ((info->item.mask & LVIF_TEXT) && info->item.pszText && info->item.cchTextMax > 0) {
        const std::string text = info->item.iSubItem == 0 ? DisplayTitle(entry) : entry.url;
        ::lstrcpynA(info->item.pszText, text.c_str(), info->item.cchTextMax);
    }
    if (info->item.mask & LVIF_IMAGE)
        info->item.iImage = m_icons ? m_icons(entry.url.c_str()) : -1;
    info->item.mask |= LVIF_DI_SETITEM;
    return 0;
}

bool CSiteGroupEntryList::CopyFirstSelectedUrl()
{
    const int first = static_cast<int>(::SendMessageA(m_hWnd, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
    if (first < 0 || static_cast<size_t>(first) >= m_entries.size() || !::OpenClipboard(m_hWnd))
        return false;
    ::EmptyClipboard();
    const std::string& url = m_entries[static_cast<size_t>(first)].url;
    const bool copied = CopyTextToClipboard(url.c_str(), url.size());
    ::CloseClipboard();
    return copied;
}

LRESULT CSiteGroupEntryList::OnCopyUrl(WORD, WORD, HWND, BOOL&)
{
    CopyFirstSelectedUrl();
    return 0;
}

LRESULT CSiteGroupEntryList::OnContextMenu(UINT, WPARAM, LPARAM lParam, BOOL&)
{
    std::vector<int> selected;
    GetSelectedListViewItems(m_hWnd, selected);
    if (CDynamicUpdateUI* states = GetCommandStateMap())
        states->UIEnable(ID_SITE_GROUP_COPY_URL, !selected.empty());
    HMENU menu = ::LoadMenuA(AtlGetResourceInstance(), MAKEINTRESOURCEA(IDR_SITE_GROUP_LIST_MENU));
    if (!menu)
        return 0;
    if (HMENU popup = ::GetSubMenu(menu, 0)) {
        ::EnableMenuItem(popup, ID_SITE_GROUP_COPY_URL, MF_BYCOMMAND | (selected.empty() ? MF_GRAYED : MF_ENABLED));
        const UINT command = static_cast<UINT>(::TrackPopupMenu(popup, TPM_RETURNCMD | TPM_RIGHTBUTTON,
                                                                static_cast<short>(LOWORD(lParam)),
                                                                static_cast<short>(HIWORD(lParam)), 0, m_hWnd, nullptr));
        if (command)
            ::PostMessageA(m_hWnd, WM_COMMAND, command, 0);
    }
    ::DestroyMenu(menu);
    return 0;
}
