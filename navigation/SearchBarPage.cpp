#include "navigation/SearchBarPage.h"

#include "navigation/FavIconCache.h"
#include "navigation/GroupDialogs.h"
#include "navigation/SearchBar.h"
#include "navigation/SearchEngineManager.h"

namespace {

void AddColumn(HWND list, int index, const char* title, int width)
{
    LVCOLUMNA column = {};
    column.mask = LVCF_WIDTH | (title ? LVCF_TEXT : 0);
    column.pszText = const_cast<char*>(title ? title : "");
    column.cx = width;
    SendMessageA(list, LVM_INSERTCOLUMNA, index, reinterpret_cast<LPARAM>(&column));
}

int InsertRow(HWND list, int row, const std::string& text, int image)
{
    LVITEMA item = {};
    item.mask = LVIF_TEXT | (image >= 0 || image == I_IMAGENONE ? LVIF_IMAGE : 0);
    item.iItem = row;
    item.pszText = const_cast<char*>(text.c_str());
    item.iImage = image;
    return static_cast<int>(SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
}

void SetCell(HWND list, int row, int column, const std::string& text)
{
    LVITEMA item = {};
    item.iSubItem = column;
    item.pszText = const_cast<char*>(text.c_str());
    SendMessageA(list, LVM_SETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
}

void SelectOnly(HWND list, int row)
{
    LVITEMA item = {};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&item));
    if (row < 0)
        return;
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
}

}  // namespace

LRESULT CSearchBarPage::Answer(LRESULT result)
{
    ::SetWindowLongPtrA(m_hWnd, DWLP_MSGRESULT, result);
    return result;
}

LRESULT CSearchBarPage::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&)
{
    HWND categories = GetDlgItem(IDC_SEARCH_CATEGORY_LIST);
    HWND engines = GetDlgItem(IDC_SEARCH_ENGINE_LIST);
    ::SendMessageA(categories, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT,
                   LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
    ::SendMessageA(engines, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    ::SendMessageA(categories, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(m_engines.GetImageList()));
    if (m_icons) {
        CFavIconImageListLock lock(*m_icons);
        ::SendMessageA(engines, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(m_icons->GetImageList()));
    }
    // The category list's font: its own with the height one unit further from zero.
    LOGFONTA description = {};
    HFONT font = reinterpret_cast<HFONT>(::SendMessageA(categories, WM_GETFONT, 0, 0));
    if (font && ::GetObjectA(font, sizeof(description), &description)) {
        description.lfHeight += description.lfHeight < 0 ? -1 : 1;
        if (m_listFont.CreateFontIndirect(&description))
            ::SendMessageA(categories, WM_SETFONT, reinterpret_cast<WPARAM>(static_cast<HFONT>(m_listFont)), TRUE);
    }
    const COLORREF back = ShadedListBackground(GetSysColor(COLOR_WINDOW));
    ::SendMessageA(categories, LVM_SETBKCOLOR, 0, back);
    ::SendMessageA(categories, LVM_SETTEXTBKCOLOR, 0, back);
    RECT client = {};
    ::GetClientRect(engines, &client);
    AddColumn(categories, 0, nullptr, 100);
    ::SendMessageA(categories, LVM_SETCOLUMNWIDTH, 0, LVSCW_AUTOSIZE_USEHEADER);
    AddColumn(engines, 0, "Name", client.right / 3);
    AddColumn(engines, 1, "URL", client.right - client.right / 3 - 4);

    m_filling = true;
    const auto& list = m_engines.Categories();
    m_defaults.clear();
    for (size_t i = 0; i < list.size(); ++i) {
        const int row = InsertRow(categories, static_cast<int>(i), list[i].name, list[i].iconIndex);
        ListView_SetCheckState(categories, row, list[i].enabled);
        m_defaults.push_back(list[i].defaultEngine);
    }
    m_filling = false;
    SelectCategory(list.empty() ? -1 : 0);
    return TRUE;
}

bool CSearchBarPage::IsChecked(int category) const
{
    return ListView_GetCheckState(GetDlgItem(IDC_SEARCH_CATEGORY_LIST), category) != FALSE;
}

void CSearchBarPage::SelectCategory(int index)
{
    m_category = (index >= 0 && index < static_cast<int>(m_defaults.size())) ? index : -1;
    m_filling = true;
    SelectOnly(GetDlgItem(IDC_SEARCH_CATEGORY_LIST), m_category);
    m_filling = false;
    FillEngines();
}

void CSearchBarPage::FillEngines()
{
    HWND list = GetDlgItem(IDC_SEARCH_ENGINE_LIST);
    m_filling = true;
    ::SendMessageA(list, LVM_DELETEALLITEMS, 0, 0);
    if (m_category >= 0) {
        const auto& engines = m_engines.Categories()[m_category].engines;
        for (size_t i = 0; i < engines.size(); ++i) {
            // An engine without a template (a separator) has no site and no image.
            int image = -1;
            if (m_icons)
                image = engines[i].urlTemplate.empty() ? I_IMAGENONE : m_icons->GetIconIndex(engines[i].urlTemplate);
            const int row = InsertRow(list, static_cast<int>(i), engines[i].name, image);
            SetCell(list, row, 1, engines[i].urlTemplate);
        }
    }
    m_filling = false;
    UpdateButton();
}

int CSearchBarPage::SelectedEngine() const
{
    return static_cast<int>(::SendMessageA(GetDlgItem(IDC_SEARCH_ENGINE_LIST), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

void CSearchBarPage::UpdateButton()
{
    bool enable = false;
    const int engine = SelectedEngine();
    if (m_category >= 0 && engine >= 0) {
        const auto& engines = m_engines.Categories()[m_category].engines;
        enable = engine < static_cast<int>(engines.size()) && engine != m_defaults[m_category] &&
                 !engines[engine].IsSeparator();
    }
    ::EnableWindow(GetDlgItem(IDC_SET_DEFAULT_ENGINE), enable);
}

void CSearchBarPage::SetSelectedAsDefault()
{
    if (!::IsWindowEnabled(GetDlgItem(IDC_SET_DEFAULT_ENGINE)))
        return;
    m_defaults[m_category] = SelectedEngine();
    ::InvalidateRect(GetDlgItem(IDC_SEARCH_ENGINE_LIST), nullptr, TRUE);
    UpdateButton();
}

void CSearchBarPage::Apply()
{
    auto& categories = m_engines.Categories();
    for (size_t i = 0; i < categories.size() && i < m_defaults.size(); ++i) {
        categories[i].defaultEngine = m_defaults[i];
        categories[i].enabled = IsChecked(static_cast<int>(i));
    }
    if (m_bar && m_bar->IsWindow())
        m_bar->RebuildCategoryButtons();
}

LRESULT CSearchBarPage::OnCategoryChanged(int, NMHDR* header, BOOL&)
{
    const auto* change = reinterpret_cast<const NMLISTVIEW*>(header);
    if (m_filling)
        return 0;
    if ((change->uChanged & LVIF_STATE) && (change->uNewState & LVIS_SELECTED) && change->iItem != m_category)
        SelectCategory(change->iItem);
    // A check box change repaints the row in its colour.
    ::InvalidateRect(GetDlgItem(IDC_SEARCH_CATEGORY_LIST), nullptr, FALSE);
    return 0;
}

LRESULT CSearchBarPage::OnEngineChanged(int, NMHDR*, BOOL&)
{
    if (!m_filling)
        UpdateButton();
    return 0;
}

LRESULT CSearchBarPage::OnCategoryDraw(int, NMHDR* header, BOOL&)
{
    auto* draw = reinterpret_cast<NMLVCUSTOMDRAW*>(header);
    if (draw->nmcd.dwDrawStage == CDDS_PREPAINT)
        return Answer(CDRF_NOTIFYITEMDRAW);
    if (draw->nmcd.dwDrawStage == CDDS_ITEMPREPAINT && !IsChecked(static_cast<int>(draw->nmcd.dwItemSpec)))
        draw->clrText = kDisabledText;
    return Answer(CDRF_DODEFAULT);
}

LRESULT CSearchBarPage::OnEngineDraw(int, NMHDR* header, BOOL&)
{
    auto* draw = reinterpret_cast<NMLVCUSTOMDRAW*>(header);
    if (draw->nmcd.dwDrawStage == CDDS_PREPAINT)
        return Answer(CDRF_NOTIFYITEMDRAW);
    if (draw->nmcd.dwDrawStage == CDDS_ITEMPREPAINT && m_category >= 0 &&
        static_cast<int>(draw->nmcd.dwItemSpec) == m_defaults[m_category])
        draw->clrText = kDefaultEngineText;
    return Answer(CDRF_DODEFAULT);
}

LRESULT CSearchBarPage::OnSetDefault(WORD, WORD, HWND, BOOL&)
{
    SetSelectedAsDefault();
    return 0;
}
