#include "navigation/GroupDialogs.h"

#include "core/system/MessageBoxes.h"
#include "navigation/AddressText.h"
#include "navigation/FavIconCache.h"
#include "navigation/NavigationImages.h"

#include <algorithm>
#include <ctime>

namespace {

std::string ReadItemText(HWND dialog, int id)
{
    HWND control = GetDlgItem(dialog, id);
    const int length = GetWindowTextLengthA(control);
    std::string text(static_cast<size_t>(std::max(length, 0)) + 1, '\0');
    text.resize(static_cast<size_t>(GetWindowTextA(control, text.data(), length + 1)));
    return text;
}

std::string CurrentDateTime()
{
    const std::time_t now = std::time(nullptr);
    std::tm local = {};
    localtime_s(&local, &now);
    char text[64] = {};
    std::strftime(text, sizeof(text), "%m/%d/%Y %H:%M:%S", &local);
    return text;
}

int SelectedItem(HWND list)
{
    return static_cast<int>(SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

void SelectItem(HWND list, int index)
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

void PrepareList(HWND list, int fontStep)
{
    SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    RECT client = {};
    GetClientRect(list, &client);
    LVCOLUMNA column = {};
    column.mask = LVCF_WIDTH;
    column.cx = client.right - GetSystemMetrics(SM_CXVSCROLL) - 2;
    SendMessageA(list, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));
    const COLORREF back = ShadedListBackground(GetSysColor(COLOR_WINDOW));
    SendMessageA(list, LVM_SETBKCOLOR, 0, back);
    SendMessageA(list, LVM_SETTEXTBKCOLOR, 0, back);
    (void)fontStep;
}

}  // namespace

COLORREF ShadedListBackground(COLORREF window)
{
    const auto shade = [](int value) { return value - value * 6 / 100; };
    return RGB(shade(GetRValue(window)), shade(GetGValue(window)), shade(GetBValue(window)));
}

// ---- Group Name ------------------------------------------------------------------------------

LRESULT CGroupNameDlg::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&)
{
    if (m_name.empty())
        m_name = CurrentDateTime();
    ::SetDlgItemTextA(m_hWnd, IDC_GROUP_NAME, m_name.c_str());
    ::SendDlgItemMessageA(m_hWnd, IDC_GROUP_NAME, EM_SETSEL, 0, -1);
    ::EnableWindow(GetDlgItem(IDOK), m_store.IsValidGroupName(ReadName(), m_except));
    return TRUE;
}

std::string CGroupNameDlg::ReadName() const
{
    return ReadItemText(m_hWnd, IDC_GROUP_NAME);
}

LRESULT CGroupNameDlg::OnNameChange(WORD, WORD, HWND, BOOL&)
{
    ::EnableWindow(GetDlgItem(IDOK), m_store.IsValidGroupName(ReadName(), m_except));
    return 0;
}

LRESULT CGroupNameDlg::OnOk(WORD, WORD, HWND, BOOL&)
{
    const std::string name = ReadName();
    if (!m_store.IsValidGroupName(name, m_except))
        return 0;
    m_name = name;
    EndDialog(IDOK);
    return 0;
}

LRESULT CGroupNameDlg::OnCancel(WORD, WORD, HWND, BOOL&)
{
    EndDialog(IDCANCEL);
    return 0;
}

// ---- the address prompt ----------------------------------------------------------------------

LRESULT CGroupAddressDlg::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&)
{
    ::SendDlgItemMessageA(m_hWnd, IDC_GROUP_ADDRESS, EM_LIMITTEXT, kMaxAddressLength, 0);
    ::EnableWindow(GetDlgItem(IDOK), FALSE);
    return TRUE;
}

std::string CGroupAddressDlg::ReadAddress() const
{
    return TrimBlanks(ReadItemText(m_hWnd, IDC_GROUP_ADDRESS));
}

LRESULT CGroupAddressDlg::OnChange(WORD, WORD, HWND, BOOL&)
{
    ::EnableWindow(GetDlgItem(IDOK), !ReadAddress().empty());
    return 0;
}

LRESULT CGroupAddressDlg::OnOk(WORD, WORD, HWND, BOOL&)
{
    m_address = ReadAddress();
    if (m_address.empty())
        return 0;
    EndDialog(IDOK);
    return 0;
}

LRESULT CGroupAddressDlg::OnCancel(WORD, WORD, HWND, BOOL&)
{
    EndDialog(IDCANCEL);
    return 0;
}

// ---- Organize Groups -------------------------------------------------------------------------

LRESULT COrganizeGroupsDlg::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&)
{
    PrepareList(Item(IDC_GROUP_LIST), 2);
    PrepareList(Item(IDC_GROUP_ADDRESS_LIST), 1);
    if (m_icons) {
        CFavIconImageListLock lock(*m_icons);
        ::SendMessageA(Item(IDC_GROUP_ADDRESS_LIST), LVM_SETIMAGELIST, LVSIL_SMALL,
                       reinterpret_cast<LPARAM>(m_icons->GetImageList()));
        ::SendMessageA(Item(IDC_GROUP_LIST), LVM_SETIMAGELIST, LVSIL_SMALL,
                       reinterpret_cast<LPARAM>(m_icons->GetImageList()));
    }
    RefreshGroups();
    SelectGroup(m_store.GetCount() > 0 ? 0 : -1);
    return TRUE;
}

void COrganizeGroupsDlg::RefreshGroups()
{
    ::SendMessageA(Item(IDC_GROUP_LIST), LVM_SETITEMCOUNT, m_store.GetCount(), 0);
    ::InvalidateRect(Item(IDC_GROUP_LIST), nullptr, TRUE);
}

void COrganizeGroupsDlg::RefreshAddresses(int select)
{
    HWND list = Item(IDC_GROUP_ADDRESS_LIST);
    ::SendMessageA(list, LVM_SETITEMCOUNT, static_cast<WPARAM>(m_urls.size()), 0);
    m_selecting = true;
    SelectItem(list, select < static_cast<int>(m_urls.size()) ? select : -1);
    m_selecting = false;
    ::InvalidateRect(list, nullptr, TRUE);
    UpdateButtons();
}

void COrganizeGroupsDlg::WriteBack()
{
    if (m_selected >= 0 && m_selected < m_store.GetCount())
        m_store.SetGroupUrls(m_selected, m_urls);
}

void COrganizeGroupsDlg::SelectGroup(int index)
{
    WriteBack();
    m_selected = (index >= 0 && index < m_store.GetCount()) ? index : -1;
    m_urls = m_selected >= 0 ? m_store.Groups()[m_selected].urls : std::vector<std::string>{};
    m_selecting = true;
    SelectItem(Item(IDC_GROUP_LIST), m_selected);
    m_selecting = false;
    RefreshAddresses(-1);
}

int COrganizeGroupsDlg::SelectedAddress() const
{
    return SelectedItem(Item(IDC_GROUP_ADDRESS_LIST));
}

void COrganizeGroupsDlg::UpdateButtons()
{
    const bool group = m_selected >= 0;
    const int address = SelectedAddress();
    const int count = static_cast<int>(m_urls.size());
    ::EnableWindow(Item(IDC_NEW_GROUP), m_store.GetCount() < kMaxDialogGroups);
    ::EnableWindow(Item(IDC_DELETE_GROUP), group);
    ::EnableWindow(Item(IDC_RENAME_GROUP), group);
    ::EnableWindow(Item(IDC_MOVE_GROUP_UP), group && m_selected > 0);
    ::EnableWindow(Item(IDC_MOVE_GROUP_DOWN), group && m_selected < m_store.GetCount() - 1);
    ::EnableWindow(Item(IDC_NEW_GROUP_ADDRESS), group && count < kMaxNewGroupAddresses);
    ::EnableWindow(Item(IDC_DELETE_GROUP_ADDRESS), group && address >= 0);
    ::EnableWindow(Item(IDC_MOVE_ADDRESS_UP), group && address > 0);
    ::EnableWindow(Item(IDC_MOVE_ADDRESS_DOWN), group && address >= 0 && address < count - 1);
}

LRESULT COrganizeGroupsDlg::OnGroupDispInfo(int, NMHDR* header, BOOL&)
{
    auto* info = reinterpret_cast<NMLVDISPINFOA*>(header);
    const int row = info->item.iItem;
    if (row < 0 || row >= m_store.GetCount())
        return 0;
    if (info->item.mask & LVIF_TEXT) {
        m_dispText = m_store.Groups()[row].name;
        info->item.pszText = const_cast<char*>(m_dispText.c_str());
    }
    if (info->item.mask & LVIF_IMAGE)
        info->item.iImage = 0;
    return 0;
}

LRESULT COrganizeGroupsDlg::OnAddressDispInfo(int, NMHDR* header, BOOL&)
{
    auto* info = reinterpret_cast<NMLVDISPINFOA*>(header);
    const int row = info->item.iItem;
    if (row < 0 || row >= static_cast<int>(m_urls.size()))
        return 0;
    if (info->item.mask & LVIF_TEXT) {
        m_dispText = m_urls[row];
        info->item.pszText = const_cast<char*>(m_dispText.c_str());
    }
    if (info->item.mask & LVIF_IMAGE)
        info->item.iImage = m_icons ? m_icons->GetIconIndex(m_urls[row]) : kDefaultPageIcon;
    return 0;
}

LRESULT COrganizeGroupsDlg::OnGroupChanged(int, NMHDR* header, BOOL&)
{
    const auto* change = reinterpret_cast<const NMLISTVIEW*>(header);
    if (m_selecting || !(change->uChanged & LVIF_STATE) || !(change->uNewState & LVIS_SELECTED))
        return 0;
    if (change->iItem != m_selected)
        SelectGroup(change->iItem);
    return 0;
}

LRESULT COrganizeGroupsDlg::OnAddressChanged(int, NMHDR*, BOOL&)
{
    UpdateButtons();
    return 0;
}

LRESULT COrganizeGroupsDlg::OnNewGroup(WORD, WORD, HWND, BOOL&)
{
    if (m_store.GetCount() >= kMaxDialogGroups)
        return 0;
    CGroupNameDlg dialog(m_store, std::string());
    if (dialog.DoModal(m_hWnd) != IDOK || !m_store.AddGroup(dialog.GetName()))
        return 0;
    RefreshGroups();
    SelectGroup(m_store.GetCount() - 1);
    return 0;
}

LRESULT COrganizeGroupsDlg::OnDeleteGroup(WORD, WORD, HWND, BOOL&)
{
    if (m_selected < 0)
        return 0;
    if (GetMessageBoxes().Show(m_hWnd, "Are you sure you want to delete the selected group?", "Kivo Browser",
                               MB_YESNO | MB_ICONWARNING) == IDNO)
        return 0;
    m_store.DeleteGroup(m_selected);
    // The copy belonged to the deleted group: it must not be written into its successor.
    m_selected = -1;
    m_urls.clear();
    RefreshGroups();
    SelectGroup(m_store.GetCount() > 0 ? 0 : -1);
    return 0;
}

LRESULT COrganizeGroupsDlg::OnRenameGroup(WORD, WORD, HWND, BOOL&)
{
    if (m_selected < 0)
        return 0;
    CGroupNameDlg dialog(m_store, m_store.Groups()[m_selected].name, m_selected);
    if (dialog.DoModal(m_hWnd) == IDOK && m_store.RenameGroup(m_selected, dialog.GetName()))
        RefreshGroups();
    return 0;
}

LRESULT COrganizeGroupsDlg::OnMoveGroup(WORD, WORD id, HWND, BOOL&)
{
    if (m_selected < 0)
        return 0;
    const int target = m_selected + (id == IDC_MOVE_GROUP_UP ? -1 : 1);
    if (target < 0 || target >= m_store.GetCount())
        return 0;
    WriteBack();
    m_store.MoveGroup(m_selected, target);
    m_selected = target;
    RefreshGroups();
    m_selecting = true;
    SelectItem(Item(IDC_GROUP_LIST), m_selected);
    m_selecting = false;
    UpdateButtons();
    return 0;
}

LRESULT COrganizeGroupsDlg::OnNewAddress(WORD, WORD, HWND, BOOL&)
{
    if (m_selected < 0 || m_urls.size() >= static_cast<size_t>(kMaxNewGroupAddresses))
        return 0;
    CGroupAddressDlg dialog;
    if (dialog.DoModal(m_hWnd) != IDOK)
        return 0;
    m_urls.push_back(dialog.GetAddress());
    RefreshAddresses(static_cast<int>(m_urls.size()) - 1);
    return 0;
}

LRESULT COrganizeGroupsDlg::OnDeleteAddress(WORD, WORD, HWND, BOOL&)
{
    const int address = SelectedAddress();
    if (m_selected < 0 || address < 0 || address >= static_cast<int>(m_urls.size()))
        return 0;
    m_urls.erase(m_urls.begin() + address);
    RefreshAddresses(std::min(address, static_cast<int>(m_urls.size()) - 1));
    return 0;
}

LRESULT COrganizeGroupsDlg::OnMoveAddress(WORD, WORD id, HWND, BOOL&)
{
    const int address = SelectedAddress();
    const int target = address + (id == IDC_MOVE_ADDRESS_UP ? -1 : 1);
    if (address < 0 || target < 0 || target >= static_cast<int>(m_urls.size()))
        return 0;
    std::swap(m_urls[address], m_urls[target]);
    RefreshAddresses(target);
    return 0;
}

LRESULT COrganizeGroupsDlg::OnClose(WORD, WORD, HWND, BOOL&)
{
    WriteBack();
    EndDialog(IDOK);
    return 0;
}

LRESULT COrganizeGroupsDlg::OnCancel(WORD, WORD, HWND, BOOL&)
{
    // Escape drops the working copy; the group changes already made stay.
    EndDialog(IDCANCEL);
    return 0;
}
