#include "navigation/AliasDialogs.h"

#include "core/system/MessageBoxes.h"
#include "core/system/ShellAutoComplete.h"
#include "navigation/AddressText.h"
#include "navigation/FavIconCache.h"

#include <shlguid.h>

#include <algorithm>

namespace {

constexpr COLORREF kEvenRowColour = RGB(0xE8, 0xE8, 0xE8);

void SelectRow(HWND list, int index)
{
    LVITEMA item = {};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&item));
    if (index < 0)
        return;
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(list, LVM_SETITEMSTATE, index, reinterpret_cast<LPARAM>(&item));
    SendMessageA(list, LVM_ENSUREVISIBLE, index, FALSE);
}

}  // namespace

// ---- Assign URL Alias ------------------------------------------------------------------------

CUrlAliasDlg::CUrlAliasDlg(std::string alias, std::string url, const CUrlAliasList* list, int except,
                           std::string activeAddress)
    : m_alias(std::move(alias)), m_url(std::move(url)), m_list(list), m_except(except),
      m_activeAddress(std::move(activeAddress))
{
}

CUrlAliasDlg::~CUrlAliasDlg() = default;

std::string CUrlAliasDlg::Read(int id) const
{
    HWND control = GetDlgItem(id);
    const int length = ::GetWindowTextLengthA(control);
    std::string text(static_cast<size_t>(std::max(length, 0)) + 1, '\0');
    text.resize(static_cast<size_t>(::GetWindowTextA(control, text.data(), length + 1)));
    return text;
}

bool CUrlAliasDlg::Acceptable(const std::string& alias, const std::string& url) const
{
    if (TrimBlanks(alias).empty() || TrimBlanks(url).empty())
        return false;
    if (!m_list)
        return true;
    const int other = m_list->Find(TrimBlanks(alias));
    return other < 0 || other == m_except;
}

LRESULT CUrlAliasDlg::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&)
{
    ::SetDlgItemTextA(m_hWnd, IDC_ALIAS_TEXT, m_alias.c_str());
    ::SetDlgItemTextA(m_hWnd, IDC_ALIAS_URL, (m_url.empty() ? m_activeAddress : m_url).c_str());
    ::SendDlgItemMessageA(m_hWnd, IDC_ALIAS_URL, EM_LIMITTEXT, kMaxAddressLength, 0);
    // An alias is one key of the file: a line break or "=" could not be read back.
    ::SendDlgItemMessageA(m_hWnd, IDC_ALIAS_TEXT, EM_LIMITTEXT, 255, 0);
    m_autoComplete = std::make_unique<CShellAutoComplete>(GetDlgItem(IDC_ALIAS_URL), CLSID_ACLHistory);
    ::EnableWindow(GetDlgItem(IDOK), Acceptable(Read(IDC_ALIAS_TEXT), Read(IDC_ALIAS_URL)));
    return TRUE;
}

LRESULT CUrlAliasDlg::OnChange(WORD, WORD id, HWND, BOOL& handled)
{
    if (id != IDC_ALIAS_TEXT && id != IDC_ALIAS_URL) {
        handled = FALSE;
        return 0;
    }
    ::EnableWindow(GetDlgItem(IDOK), Acceptable(Read(IDC_ALIAS_TEXT), Read(IDC_ALIAS_URL)));
    return 0;
}

LRESULT CUrlAliasDlg::OnOk(WORD, WORD, HWND, BOOL&)
{
    const std::string alias = TrimBlanks(Read(IDC_ALIAS_TEXT));
    const std::string url = TrimBlanks(Read(IDC_ALIAS_URL));
    if (!Acceptable(alias, url) || alias.find('=') != std::string::npos || alias[0] == '[')
        return 0;
    m_alias = alias;
    m_url = url;
    EndDialog(IDOK);
    return 0;
}

LRESULT CUrlAliasDlg::OnCancel(WORD, WORD, HWND, BOOL&)
{
    EndDialog(IDCANCEL);
    return 0;
}

// ---- URL Alias list ----------------------------------------------------------------------------

CUrlAliasList* CUrlAliasPage::Target() const
{
    return m_target ? m_target : GetUrlAliases();
}

CFavIconCache* CUrlAliasPage::Icons() const
{
    return m_programIcons ? GetFavIconCache() : m_icons;
}

// The copy starts as the list is now; a record the list holds is always one the copy takes.
LRESULT CUrlAliasPage::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&)
{
    if (const CUrlAliasList* target = Target())
        for (const CUrlAlias& record : target->Records())
            m_list.Add(record);
    m_list.SetModified(false);
    m_icons = Icons();
    HWND list = GetDlgItem(IDC_ALIAS_LIST);
    ::SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    if (m_icons) {
        CFavIconImageListLock lock(*m_icons);
        ::SendMessageA(list, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(m_icons->GetImageList()));
    }
    RECT client = {};
    ::GetClientRect(list, &client);
    const int width = client.right - 2;
    const struct {
        const char* title;
        int share;
    } columns[] = {{"Alias", 25}, {"URL", 50}};
    for (int i = 0; i < 2; ++i) {
        LVCOLUMNA column = {};
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.pszText = const_cast<char*>(columns[i].title);
        column.cx = width * columns[i].share / 75;
        ::SendMessageA(list, LVM_INSERTCOLUMNA, i, reinterpret_cast<LPARAM>(&column));
    }
    Refresh(-1);
    return TRUE;
}

int CUrlAliasPage::FirstSelected() const
{
    return static_cast<int>(
        ::SendMessageA(GetDlgItem(IDC_ALIAS_LIST), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

void CUrlAliasPage::Refresh(int select)
{
    HWND list = GetDlgItem(IDC_ALIAS_LIST);
    ::SendMessageA(list, LVM_SETITEMCOUNT, m_list.GetCount(), 0);
    SelectRow(list, select < m_list.GetCount() ? select : -1);
    ::InvalidateRect(list, nullptr, TRUE);
    UpdateButtons();
}

void CUrlAliasPage::UpdateButtons()
{
    const bool selected = FirstSelected() >= 0;
    ::EnableWindow(GetDlgItem(IDC_EDIT_ALIAS), selected);
    ::EnableWindow(GetDlgItem(IDC_REMOVE_ALIAS), selected);
}

LRESULT CUrlAliasPage::OnGetDispInfo(int, NMHDR* header, BOOL&)
{
    auto* info = reinterpret_cast<NMLVDISPINFOA*>(header);
    const int row = info->item.iItem;
    if (row < 0 || row >= m_list.GetCount())
        return 0;
    const CUrlAlias& record = m_list.Records()[row];
    if (info->item.mask & LVIF_TEXT) {
        m_dispText = (info->item.iSubItem == 0 ? record.alias : record.url).substr(0, kAliasListTextLength);
        info->item.pszText = const_cast<char*>(m_dispText.c_str());
    }
    if (info->item.mask & LVIF_IMAGE)
        info->item.iImage = m_icons ? m_icons->GetIconIndex(record.url) : kDefaultPageIcon;
    return 0;
}

LRESULT CUrlAliasPage::OnItemChanged(int, NMHDR*, BOOL&)
{
    UpdateButtons();
    return 0;
}

LRESULT CUrlAliasPage::OnDoubleClick(int, NMHDR*, BOOL&)
{
    if (::IsWindowEnabled(GetDlgItem(IDC_EDIT_ALIAS))) {
        BOOL handled = TRUE;
        OnEdit(0, IDC_EDIT_ALIAS, nullptr, handled);
    }
    return 0;
}

LRESULT CUrlAliasPage::OnCustomDraw(int, NMHDR* header, BOOL&)
{
    auto* draw = reinterpret_cast<NMLVCUSTOMDRAW*>(header);
    LRESULT result = CDRF_DODEFAULT;
    if (draw->nmcd.dwDrawStage == CDDS_PREPAINT) {
        result = CDRF_NOTIFYITEMDRAW;
    } else if (draw->nmcd.dwDrawStage == CDDS_ITEMPREPAINT) {
        // Even rows, counted from row 0, are light grey; odd rows the window colour.
        draw->clrTextBk = (draw->nmcd.dwItemSpec % 2 == 0) ? kEvenRowColour : m_windowColour;
    }
    ::SetWindowLongPtrA(m_hWnd, DWLP_MSGRESULT, result);
    return result;
}

LRESULT CUrlAliasPage::OnNew(WORD, WORD, HWND, BOOL&)
{
    CUrlAliasDlg dialog("", "", &m_list);
    if (dialog.DoModal(m_hWnd) != IDOK || !m_list.Add({dialog.GetAlias(), dialog.GetUrl()}))
        return 0;
    Refresh(m_list.GetCount() - 1);
    return 0;
}

LRESULT CUrlAliasPage::OnEdit(WORD, WORD, HWND, BOOL&)
{
    const int row = FirstSelected();
    if (row < 0 || row >= m_list.GetCount())
        return 0;
    const CUrlAlias record = m_list.Records()[row];
    CUrlAliasDlg dialog(record.alias, record.url, &m_list, row);
    if (dialog.DoModal(m_hWnd) == IDOK && m_list.Replace(row, {dialog.GetAlias(), dialog.GetUrl()}))
        Refresh(row);
    return 0;
}

LRESULT CUrlAliasPage::OnRemove(WORD, WORD, HWND, BOOL&)
{
    const int row = FirstSelected();
    if (row < 0 || row >= m_list.GetCount())
        return 0;
    if (GetMessageBoxes().Show(m_hWnd, "Are you sure you want to permanently delete these item(s)?", "Kivo Browser",
                               MB_YESNO | MB_ICONQUESTION) == IDNO)
        return 0;
    m_list.Remove(row);
    Refresh(std::min(row, m_list.GetCount() - 1));
    return 0;
}

int CUrlAliasPage::OnApply()
{
    CUrlAliasList* target = Target();
    if (target && m_list.IsModified()) {
        target->Assign(m_list.Records());
        m_list.SetModified(false);
    }
    return 0;
}
