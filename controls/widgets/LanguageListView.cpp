#include "controls/widgets/LanguageListView.h"

#include "controls/widgets/MenuListUtilities.h"
#include "core/app/LanguageManager.h"

#include <string>

BOOL CLanguageListView::SubclassWindow(HWND list)
{
    if (!CGridListView::SubclassWindow(list))
        return FALSE;
    ::SendMessageA(list, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(m_languages.GetImageList()));
    static const ListViewColumnInfo columns[] = {{0, "", 25, LVCFMT_LEFT}, {1, "", 25, LVCFMT_LEFT}};
    InsertListViewColumns(list, columns, 2, true);
    ::SendMessageA(list, LVM_SETITEMCOUNT, m_languages.GetLanguages().size(), LVSICF_NOINVALIDATEALL | LVSICF_NOSCROLL);
    return TRUE;
}

LRESULT CLanguageListView::OnGetDispInfo(int, LPNMHDR header, BOOL&)
{
    auto* info = reinterpret_cast<NMLVDISPINFOA*>(header);
    const auto& languages = m_languages.GetLanguages();
    if (info->item.iItem < 0 || static_cast<size_t>(info->item.iItem) >= languages.size())
        return 0;
    const CLanguageFile& language = languages[static_cast<size_t>(info->item.iItem)];
    if ((info->item.mask & LVIF_TEXT) && info->item.pszText && info->item.cchTextMax > 0) {
        const std::string text = info->item.iSubItem == 0 ? std::string(m_languages.GetDisplayName(language))
                                                          : "\t[" + std::string(language.m_name) + "]";
        ::lstrcpynA(info->item.pszText, text.c_str(), info->item.cchTextMax);
    }
    if (info->item.mask & LVIF_IMAGE)
        info->item.iImage = language.m_imageIndex;
    return 0;
}

LRESULT CLanguageListView::OnCustomDraw(int, LPNMHDR header, BOOL&)
{
    auto* draw = reinterpret_cast<NMLVCUSTOMDRAW*>(header);
    if (draw->nmcd.dwDrawStage == CDDS_PREPAINT)
        return CDRF_NOTIFYITEMDRAW;
    if (draw->nmcd.dwDrawStage == CDDS_ITEMPREPAINT &&
        m_languages.IsCurrentLanguage(static_cast<int>(draw->nmcd.dwItemSpec)))
        draw->clrText = kCurrentLanguageColor;
    return CDRF_DODEFAULT;
}
