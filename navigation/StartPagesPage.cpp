#include "navigation/StartPagesPage.h"

#include "browser/InternetExplorerHelpers.h"
#include "controls/ImageListManager.h"
#include "core/app/ProgramFolders.h"
#include "core/app/Settings.h"
#include "core/system/MessageBoxes.h"
#include "frame/options/PageWidgets.h"
#include "navigation/FavIconCache.h"
#include "navigation/GroupDialogs.h"
#include "navigation/GroupStore.h"
#include "platform/Diagnostics.h"

#include <commctrl.h>

namespace {

constexpr int kAddImage = 20;
constexpr int kRemoveImage = 21;
constexpr int kRemoveAllImage = 11;
constexpr int kGroupImage = 14;
constexpr int kMaxGroupName = 256;

// Without a prompt of its own the page asks with the groups' address prompt.
class CGroupAddressPrompt final : public IStartPagePrompt {
public:
    bool AskAddress(HWND owner, std::string& address) override
    {
        CGroupAddressDlg prompt;
        if (prompt.DoModal(owner) != IDOK)
            return false;
        address = prompt.GetAddress();
        return !address.empty();
    }
};

bool IsRadio(HWND control)
{
    const LONG_PTR type = ::GetWindowLongPtrA(control, GWL_STYLE) & BS_TYPEMASK;
    char className[16] = {};
    ::GetClassNameA(control, className, static_cast<int>(sizeof(className)));
    return ::lstrcmpiA(className, "Button") == 0 && (type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON);
}

template <class Visit>
void ForEachRadio(HWND page, int firstRadioId, Visit visit)
{
    int index = 0;
    for (HWND control = ::GetDlgItem(page, firstRadioId); control; control = ::GetWindow(control, GW_HWNDNEXT)) {
        if (control != ::GetDlgItem(page, firstRadioId) && (::GetWindowLongPtrA(control, GWL_STYLE) & WS_GROUP))
            break;
        if (IsRadio(control))
            visit(control, index++);
    }
}

}  // namespace

CStartPagesPage::CStartPagesPage(CStartSites* sites, const CGroupStore* groups, CFavIconCache* icons)
    : m_startSites(sites ? sites : GetStartSites()), m_groups(groups ? groups : GetGroupStore()), m_icons(icons)
{
    if (const CSettings* settings = GetSettings())
        m_startMode = settings->GetStartupMode();
    if (m_startSites)
        m_sites = m_startSites->m_sites;
}

int CStartPagesPage::GetCheckedRadio(HWND page, int firstRadioId)
{
    int checked = -1;
    ForEachRadio(page, firstRadioId, [&](HWND radio, int index) {
        if (checked < 0 && ::SendMessageA(radio, BM_GETCHECK, 0, 0) == BST_CHECKED)
            checked = index;
    });
    return checked;
}

void CStartPagesPage::CheckRadio(HWND page, int firstRadioId, int index)
{
    ForEachRadio(page, firstRadioId, [&](HWND radio, int at) {
        ::SendMessageA(radio, BM_SETCHECK, at == index ? BST_CHECKED : BST_UNCHECKED, 0);
    });
}

LRESULT CStartPagesPage::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&)
{
    CheckRadio(m_hWnd, IDC_START_MODE_BLANK, m_startMode);
    if (const CSettings* settings = GetSettings())
        CheckDlgButton(IDC_START_SITE_SELECTION, (settings->SysFlags & SysFlag::NoSiteSelectionDialog) ? BST_UNCHECKED : BST_CHECKED);
    SetUpButtons();
    SetDlgItemText(IDC_START_HOME_PAGE, GetIEStartPage().c_str());
    FillGroups();
    if (m_list.SubclassWindow(GetDlgItem(IDC_START_PAGES_LIST))) {
        if (m_icons) {
            CFavIconImageListLock lock(*m_icons);
            CFavIconCache* icons = m_icons;
            m_list.Init(icons->GetImageList(), [icons](const char* url) { return icons->GetIconIndex(url); });
        } else {
            m_list.Init(nullptr, {});
        }
        m_list.SetExtendedListViewStyle(LVS_EX_FULLROWSELECT);
    }
    ReloadList();
    ApplyModeRule();
    return TRUE;
}

void CStartPagesPage::SetUpButtons()
{
    const struct {
        int id;
        int image;
        const char* tip;
    } buttons[] = {
        {IDC_START_PAGES_ADD, kAddImage, "Add..."},
        {IDC_START_PAGES_REMOVE, kRemoveImage, "Remove"},
        {IDC_START_PAGES_REMOVE_ALL, kRemoveAllImage, "Remove All"},
    };
    const CImageListManager* images = GetImageListManager();
    HIMAGELIST general = images ? static_cast<HIMAGELIST>(images->m_generalSmall) : nullptr;
    for (size_t i = 0; i < std::size(buttons); ++i) {
        HWND button = GetDlgItem(buttons[i].id);
        SetButtonIcon(button, general, buttons[i].image, m_buttonIcons[i]);
        AddControlToolTip(m_hWnd, button, PageText(buttons[i].tip));
    }
    ::EnableWindow(GetDlgItem(IDC_START_PAGES_REMOVE), FALSE);
}

void CStartPagesPage::FillGroups()
{
    HWND combo = GetDlgItem(IDC_START_GROUP);
    if (const CImageListManager* images = GetImageListManager())
        ::SendMessageA(combo, CBEM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(static_cast<HIMAGELIST>(images->m_generalSmall)));
    if (!m_groups)
        return;
    const CSettings* settings = GetSettings();
    const std::string defaultGroup = settings ? settings->DefaultGroup.value.c_str() : "";
    int index = 0;
    for (const CSiteGroup& group : m_groups->Groups()) {
        COMBOBOXEXITEMA item = {};
        item.mask = CBEIF_TEXT | CBEIF_IMAGE | CBEIF_SELECTEDIMAGE;
        item.iItem = index;
        item.pszText = const_cast<char*>(group.name.c_str());
        item.iImage = kGroupImage;
        item.iSelectedImage = kGroupImage;
        ::SendMessageA(combo, CBEM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
        if (group.name == defaultGroup)
            ::SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
        ++index;
    }
}

// What each mode needs is enabled, the rest is not.
void CStartPagesPage::ApplyModeRule()
{
    const int mode = GetCheckedRadio(m_hWnd, IDC_START_MODE_BLANK);
    ::EnableWindow(GetDlgItem(IDC_START_GROUP), mode == kStartModeGroup);
    ::EnableWindow(GetDlgItem(IDC_START_SITE_SELECTION), mode == kStartModeLastSites);
    const bool list = mode == kStartModeStartPages;
    ::EnableWindow(GetDlgItem(IDC_START_PAGES_LIST), list);
    ::EnableWindow(GetDlgItem(IDC_START_PAGES_ADD), list);
    if (list) {
        UpdateListButtons();
        return;
    }
    ::EnableWindow(GetDlgItem(IDC_START_PAGES_REMOVE), FALSE);
    ::EnableWindow(GetDlgItem(IDC_START_PAGES_REMOVE_ALL), FALSE);
    if (m_list.m_hWnd)
        m_list.SetItemState(-1, 0, LVIS_SELECTED);
}

void CStartPagesPage::UpdateListButtons()
{
    ::EnableWindow(GetDlgItem(IDC_START_PAGES_REMOVE), FirstSelected() >= 0);
    ::EnableWindow(GetDlgItem(IDC_START_PAGES_REMOVE_ALL), !m_sites.empty());
}

int CStartPagesPage::FirstSelected() const
{
    if (!m_list.m_hWnd)
        return -1;
    const int item = static_cast<int>(::SendMessageA(m_list.m_hWnd, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
    return item >= 0 && static_cast<size_t>(item) < m_sites.size() ? item : -1;
}

void CStartPagesPage::ReloadList()
{
    if (m_list.m_hWnd) {
        m_list.SetItemState(-1, 0, LVIS_SELECTED);
        m_list.Refresh();
    }
    UpdateListButtons();
}

LRESULT CStartPagesPage::OnModeClicked(WORD, WORD, HWND, BOOL&)
{
    ApplyModeRule();
    return 0;
}

LRESULT CStartPagesPage::OnAdd(WORD, WORD, HWND, BOOL&)
{
    CGroupAddressPrompt groupsPrompt;
    IStartPagePrompt& prompt = m_prompt ? *m_prompt : groupsPrompt;
    std::string address;
    if (!prompt.AskAddress(m_hWnd, address) || address.empty())
        return 0;
    m_sites.emplace_back(address.c_str());
    ReloadList();
    return 0;
}

LRESULT CStartPagesPage::OnRemove(WORD, WORD, HWND, BOOL&)
{
    const int selected = FirstSelected();
    if (selected < 0)
        return 0;
    m_sites.erase(m_sites.begin() + selected);
    ReloadList();
    return 0;
}

LRESULT CStartPagesPage::OnRemoveAll(WORD, WORD, HWND, BOOL&)
{
    const int answer = GetMessageBoxes().Show(m_hWnd, PageText("Are you sure you want to permanently delete these item(s)?"),
                                              "Kivo Browser", MB_YESNO | MB_ICONQUESTION);
    if (answer == IDNO)
        return 0;
    m_sites.clear();
    ReloadList();
    return 0;
}

LRESULT CStartPagesPage::OnListChanged(int, NMHDR*, BOOL&)
{
    if (GetCheckedRadio(m_hWnd, IDC_START_MODE_BLANK) == kStartModeStartPages)
        UpdateListButtons();
    return 0;
}

int CStartPagesPage::OnApply()
{
    CSettings* settings = GetSettings();
    if (!settings)
        return 0;
    const int mode = GetCheckedRadio(m_hWnd, IDC_START_MODE_BLANK);
    settings->SysFlags = IsDlgButtonChecked(IDC_START_SITE_SELECTION) == BST_CHECKED
                             ? (settings->SysFlags & ~SysFlag::NoSiteSelectionDialog)
                             : (settings->SysFlags | SysFlag::NoSiteSelectionDialog);
    settings->SetStartupMode(mode);
    try {
        HWND combo = GetDlgItem(IDC_START_GROUP);
        const LRESULT selected = ::SendMessageA(combo, CB_GETCURSEL, 0, 0);
        char name[kMaxGroupName] = {};
        COMBOBOXEXITEMA item = {};
        item.mask = CBEIF_TEXT;
        item.iItem = selected;
        item.pszText = name;
        item.cchTextMax = static_cast<int>(sizeof(name));
        if (selected < 0 || !::SendMessageA(combo, CBEM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item)))
            name[0] = '\0';
        settings->DefaultGroup = name;
    } catch (...) {
        // The group is the last thing written: a failure here leaves the mode and list applied.
        ReportCaughtException("CStartPagesPage::OnApply");
    }
    if (m_startSites && m_startSites->m_sites != m_sites) {
        m_startSites->m_sites = m_sites;
        m_startSites->Save();
    }
    return 0;
}
