#include "browser/filter/BlockerPages.h"

#include "frame/BlockedContent.h"
#include "browser/filter/BlockedHistoryWindow.h"
#include "browser/filter/PopupAllowList.h"
#include "core/app/LanguageManager.h"
#include "core/app/Settings.h"
#include "core/library/UrlFunctions.h"
#include "core/system/MessageBoxes.h"
#include "core/system/OpenUrl.h"
#include "frame/BrowserTab.h"

#include <commctrl.h>

namespace {

constexpr char kProgramName[] = "Kivo Browser";
constexpr COLORREF kEvenRowColour = 0xFFF0F0;
constexpr COLORREF kDisabledText = 0x808080;
constexpr COLORREF kDisabledBackground = 0xC4C4C4;
constexpr DWORD kOpenInNewTab = 1;

HWND FrameWindow()
{
    IBrowserTabHost* host = GetBrowserTabHost();
    return host ? host->GetFrameWindow() : nullptr;
}

// The frame's toggle command, or the bit itself when no frame is there.
void ToggleBlockerFlag(DWORD bit, UINT frameCommand)
{
    if (HWND frame = FrameWindow())
        ::SendMessageA(frame, WM_COMMAND, MAKEWPARAM(frameCommand, 0), 0);
    else
        GetSettings()->BlockerFlags ^= bit;
}

bool Confirm(HWND owner, const char* question)
{
    return GetMessageBoxes().Show(owner, TranslateText(question).c_str(), kProgramName,
                                  MB_YESNO | MB_ICONQUESTION) == IDYES;
}

std::string WindowText(HWND window)
{
    const int length = ::GetWindowTextLengthA(window);
    std::string text(static_cast<size_t>(std::max(length, 0)) + 1, '\0');
    text.resize(static_cast<size_t>(::GetWindowTextA(window, text.data(), length + 1)));
    return text;
}

void EnableItem(HWND dialog, int id, bool enable)
{
    ::EnableWindow(::GetDlgItem(dialog, id), enable ? TRUE : FALSE);
}

void PrepareList(HWND list)
{
    ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT);
    RECT rect;
    ::GetClientRect(list, &rect);
    LVCOLUMNA column = {};
    column.mask = LVCF_WIDTH;
    column.cx = rect.right - ::GetSystemMetrics(SM_CXVSCROLL);
    ::SendMessageA(list, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));
}

// Even rows in the page's colour, odd rows in the window colour; grey while the page is disabled.
LRESULT DrawRow(LPNMHDR header, bool enabled)
{
    auto* draw = reinterpret_cast<NMLVCUSTOMDRAW*>(header);
    if (draw->nmcd.dwDrawStage == CDDS_PREPAINT)
        return CDRF_NOTIFYITEMDRAW;
    if (draw->nmcd.dwDrawStage != CDDS_ITEMPREPAINT)
        return CDRF_DODEFAULT;
    // A selected row keeps the list's own highlight: the item state of a virtual list comes from the list.
    const bool selected =
        ListView_GetItemState(header->hwndFrom, static_cast<int>(draw->nmcd.dwItemSpec), LVIS_SELECTED) & LVIS_SELECTED;
    if (!enabled) {
        draw->clrText = kDisabledText;
        draw->clrTextBk = kDisabledBackground;
    } else if (!selected) {
        draw->clrTextBk = draw->nmcd.dwItemSpec % 2 == 0 ? kEvenRowColour : ::GetSysColor(COLOR_WINDOW);
    }
    return CDRF_DODEFAULT;
}

void CopyDispText(NMLVDISPINFOA* info, std::string& holder, const std::string& text)
{
    holder = text;
    if ((info->item.mask & LVIF_TEXT) && info->item.pszText && info->item.cchTextMax > 0)
        lstrcpynA(info->item.pszText, holder.c_str(), info->item.cchTextMax);
}

IBlockerOptionsOpener* g_optionsOpener = nullptr;  // not owned: the installer keeps it

// The counter title: the caption of the container's group, and the page's window text (which the
// container takes as the caption when it adds the page, and a page on its own shows).
void ShowCounterTitle(HWND page, CBlockerOptionsContainer* container, const char* title)
{
    ::SetWindowTextA(page, title);
    if (container && container->IsWindow())
        container->SetGroupCaption(0, title);
}

void OpenAdvancedPage(HWND page, int pageId)
{
    if (IBlockerOptionsOpener* opener = g_optionsOpener) {
        HWND frame = FrameWindow();
        opener->OpenOptionsPage(frame ? frame : ::GetAncestor(page, GA_ROOT), pageId);
    }
}

}  // namespace

IBlockerOptionsOpener* GetBlockerOptionsOpener()
{
    return g_optionsOpener;
}

IBlockerOptionsOpener* SetBlockerOptionsOpener(IBlockerOptionsOpener* opener)
{
    IBlockerOptionsOpener* previous = g_optionsOpener;
    g_optionsOpener = opener;
    return previous;
}

// ---- CAllowedSiteDlg

CAllowedSiteDlg::CAllowedSiteDlg(const char* initialUrl) : m_initialUrl(initialUrl ? initialUrl : "")
{
    if (m_initialUrl.empty() || m_initialUrl == "about:blank")
        m_initialUrl = "http://";
}

LRESULT CAllowedSiteDlg::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&)
{
    SetWindowTextA(TranslateText("Add to Popup Allowed Sites").c_str());
    SetDlgItemTextA(IDC_FILTER_TEXT, m_initialUrl.c_str());
    EnableItem(m_hWnd, IDOK, IsWebUrl(m_initialUrl.c_str()));
    return TRUE;
}

LRESULT CAllowedSiteDlg::OnTextChange(WORD, WORD, HWND, BOOL&)
{
    EnableItem(m_hWnd, IDOK, IsWebUrl(WindowText(GetDlgItem(IDC_FILTER_TEXT)).c_str()));
    return 0;
}

LRESULT CAllowedSiteDlg::OnOk(WORD, WORD, HWND, BOOL&)
{
    const std::string text = WindowText(GetDlgItem(IDC_FILTER_TEXT));
    if (!IsWebUrl(text.c_str()))
        return 0;
    CPopupAllowList& list = GetPopupAllowList();
    m_added = list.AddSite(text.c_str());
    if (m_added) {
        // Marked before the save: a save of an unmodified list writes nothing.
        list.m_modified = true;
        list.Save();
    }
    EndDialog(IDOK);
    return 0;
}

LRESULT CAllowedSiteDlg::OnCancel(WORD, WORD, HWND, BOOL&)
{
    EndDialog(IDCANCEL);
    return 0;
}

// ---- CAdFilterRuleDlg

LRESULT CAdFilterRuleDlg::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&)
{
    SetWindowTextA(TranslateText(m_list == CAdFilter::kExceptionList ? "Add to Exceptions List" : "Add to Filter List").c_str());
    EnableItem(m_hWnd, IDOK, false);
    return TRUE;
}

LRESULT CAdFilterRuleDlg::OnTextChange(WORD, WORD, HWND, BOOL&)
{
    EnableItem(m_hWnd, IDOK, !WindowText(GetDlgItem(IDC_FILTER_TEXT)).empty());
    return 0;
}

LRESULT CAdFilterRuleDlg::OnOk(WORD, WORD, HWND, BOOL&)
{
    const std::string text = WindowText(GetDlgItem(IDC_FILTER_TEXT));
    if (text.empty())
        return 0;
    m_added = GetAdFilter().AddRule(m_list, CompleteTypedRule(text.c_str()).c_str());
    EndDialog(IDOK);
    return 0;
}

LRESULT CAdFilterRuleDlg::OnCancel(WORD, WORD, HWND, BOOL&)
{
    EndDialog(IDCANCEL);
    return 0;
}

// ---- CBlockerCounterPage

void CBlockerCounterPage::StartCounter()
{
    m_counter.SubclassWindow(GetDlgItem(m_kind.counterId));
    const bool popupPage = m_kind.popups;
    m_listener = AddBlockedContentListener([this, popupPage](bool popups) {
        if (popups == popupPage)
            UpdateTitle();
    });
}

void CBlockerCounterPage::StopCounter()
{
    RemoveBlockedContentListener(m_listener);
    m_listener = 0;
    m_counter.UnsubclassWindow();
    m_container = nullptr;
}

void CBlockerCounterPage::Refresh()
{
    UpdateControls(true);
    UpdateTitle();
}

void CBlockerCounterPage::UpdateTitle()
{
    const DWORD count = m_kind.popups ? GetSettings()->BlockedPopup : GetSettings()->BlockedContent;
    m_counter.SetNumber(count);
    TStdStr<char> title;
    title.Format(TranslateText(m_kind.titleFormat).c_str(), static_cast<unsigned>(count));
    ShowCounterTitle(m_hWnd, m_container, title.c_str());
}

HWND CBlockerCounterPage::CreateInContainer(CBlockerOptionsContainer& container)
{
    m_container = &container;
    HWND page = Create(container.m_hWnd);
    if (!page)
        m_container = nullptr;
    return page;
}

void CBlockerCounterPage::OpenAdvancedSettings()
{
    if (m_container)
        OpenAdvancedPage(m_hWnd, m_kind.advancedPage);
}

int CBlockerCounterPage::SelectedRow() const
{
    return ListView_GetNextItem(::GetDlgItem(m_hWnd, m_kind.listId), -1, LVNI_SELECTED);
}

// ---- CPopupBlockerPage

CPopupBlockerPage::CPopupBlockerPage()
    : CBlockerCounterPage({true, IDC_POPUP_COUNTER, IDC_POPUP_SITES, IDD_POPUP_ADVANCED, "Popup - %u blocked"})
{
}

LRESULT CPopupBlockerPage::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&)
{
    StartCounter();
    PrepareList(GetDlgItem(IDC_POPUP_SITES));
    const DWORD flags = GetSettings()->BlockerFlags;
    CheckDlgButton(IDC_POPUP_ENABLE, (flags & BlockerFlag::PopupBlocker) ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(IDC_DIALOG_ENABLE, (flags & BlockerFlag::WebPageDialogBlocker) ? BST_UNCHECKED : BST_CHECKED);
    Refresh();
    return TRUE;
}

LRESULT CPopupBlockerPage::OnDestroy(UINT, WPARAM, LPARAM, BOOL& handled)
{
    StopCounter();
    handled = FALSE;
    return 0;
}

LRESULT CPopupBlockerPage::OnAdvanced(WORD, WORD, HWND, BOOL&)
{
    OpenAdvancedSettings();
    return 0;
}

void CPopupBlockerPage::UpdateControls(bool refresh)
{
    HWND list = GetDlgItem(IDC_POPUP_SITES);
    if (refresh) {
        ListView_SetItemCountEx(list, GetPopupAllowList().GetSites().size(), 0);
        ::InvalidateRect(list, nullptr, TRUE);
    }
    const bool on = IsDlgButtonChecked(IDC_POPUP_ENABLE) == BST_CHECKED;
    const bool selected = SelectedRow() >= 0;
    EnableItem(m_hWnd, IDC_POPUP_ADD, on);
    EnableItem(m_hWnd, IDC_POPUP_REMOVE_ALL, on && !GetPopupAllowList().GetSites().empty());
    EnableItem(m_hWnd, IDC_POPUP_REMOVE, on && selected);
    EnableItem(m_hWnd, IDC_POPUP_BROWSE, on && selected);
    EnableItem(m_hWnd, IDC_DIALOG_ENABLE, on);
    EnableItem(m_hWnd, IDC_POPUP_SITES, on);
    EnableItem(m_hWnd, IDC_POPUP_VIEW_LOGS, on);
}

LRESULT CPopupBlockerPage::OnEnable(WORD, WORD, HWND, BOOL&)
{
    ToggleBlockerFlag(BlockerFlag::PopupBlocker, kEnablePopupBlockerCommand);
    UpdateControls(false);
    return 0;
}

LRESULT CPopupBlockerPage::OnEnableDialogs(WORD, WORD, HWND, BOOL&)
{
    ToggleBlockerFlag(BlockerFlag::WebPageDialogBlocker, kEnableDialogBlockerCommand);
    return 0;
}

LRESULT CPopupBlockerPage::OnAdd(WORD, WORD, HWND, BOOL&)
{
    CAllowedSiteDlg dialog;
    if (dialog.DoModal(::GetActiveWindow()) == IDOK) {
        GetPopupAllowList().m_modified = true;
        Refresh();
    }
    return 0;
}

LRESULT CPopupBlockerPage::OnRemove(WORD, WORD, HWND, BOOL&)
{
    const int row = SelectedRow();
    if (row < 0 || !Confirm(::GetActiveWindow(), "Are you sure you want to permanently delete this domain?"))
        return 0;
    CPopupAllowList& list = GetPopupAllowList();
    if (list.Remove(static_cast<size_t>(row)))
        list.m_modified = true;
    ListView_SetItemState(GetDlgItem(IDC_POPUP_SITES), -1, 0, LVIS_SELECTED);
    Refresh();
    return 0;
}

LRESULT CPopupBlockerPage::OnRemoveAll(WORD, WORD, HWND, BOOL&)
{
    if (!Confirm(::GetActiveWindow(), "Are you sure you want to permanently delete all these domains?"))
        return 0;
    GetPopupAllowList().Clear();
    GetPopupAllowList().m_modified = true;
    Refresh();
    return 0;
}

LRESULT CPopupBlockerPage::OnBrowse(WORD, WORD, HWND, BOOL&)
{
    const int row = SelectedRow();
    const auto& sites = GetPopupAllowList().GetSites();
    if (row >= 0 && static_cast<size_t>(row) < sites.size())
        OpenUrlInFrame(FrameWindow(), ("http://" + sites[static_cast<size_t>(row)]).c_str(), kOpenInNewTab);
    return 0;
}

LRESULT CPopupBlockerPage::OnViewLogs(WORD, WORD, HWND, BOOL&)
{
    ShowBlockedHistoryWindow(FrameWindow(), 0);
    return 0;
}

LRESULT CPopupBlockerPage::OnGetDispInfo(int, LPNMHDR header, BOOL&)
{
    auto* info = reinterpret_cast<NMLVDISPINFOA*>(header);
    const auto& sites = GetPopupAllowList().GetSites();
    const size_t row = static_cast<size_t>(info->item.iItem);
    CopyDispText(info, m_dispText, row < sites.size() ? sites[row] : std::string());
    return 0;
}

LRESULT CPopupBlockerPage::OnSelectionChange(int, LPNMHDR, BOOL&)
{
    UpdateControls(false);
    return 0;
}

LRESULT CPopupBlockerPage::OnDoubleClick(int, LPNMHDR, BOOL&)
{
    if (::IsWindowEnabled(GetDlgItem(IDC_POPUP_BROWSE))) {
        BOOL handled = TRUE;
        OnBrowse(0, 0, nullptr, handled);
    }
    return 0;
}

LRESULT CPopupBlockerPage::OnCustomDraw(int, LPNMHDR header, BOOL&)
{
    return DrawRow(header, IsDlgButtonChecked(IDC_POPUP_ENABLE) == BST_CHECKED);
}

// ---- CAdFilterPage

CAdFilterPage::CAdFilterPage()
    : CBlockerCounterPage({false, IDC_AD_COUNTER, IDC_AD_RULE_LIST, IDD_AD_ADVANCED, "Ad-Filter - %u blocked"})
{
}

LRESULT CAdFilterPage::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&)
{
    StartCounter();
    HWND tabs = GetDlgItem(IDC_AD_RULE_TABS);
    for (const char* title : {"Filter List", "Exceptions List"}) {
        const std::string text = TranslateText(title);
        TCITEMA item = {};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<char*>(text.c_str());
        ::SendMessageA(tabs, TCM_INSERTITEMA, ::SendMessageA(tabs, TCM_GETITEMCOUNT, 0, 0), reinterpret_cast<LPARAM>(&item));
    }
    // The tab strip frames the list: it goes below it.
    ::SetWindowPos(tabs, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    PrepareList(GetDlgItem(IDC_AD_RULE_LIST));
    CheckDlgButton(IDC_AD_ENABLE, (GetSettings()->BlockerFlags & BlockerFlag::AdFilter) ? BST_CHECKED : BST_UNCHECKED);
    Refresh();
    return TRUE;
}

LRESULT CAdFilterPage::OnDestroy(UINT, WPARAM, LPARAM, BOOL& handled)
{
    StopCounter();
    handled = FALSE;
    return 0;
}

LRESULT CAdFilterPage::OnAdvanced(WORD, WORD, HWND, BOOL&)
{
    OpenAdvancedSettings();
    return 0;
}

CAdFilter::EList CAdFilterPage::CurrentList() const
{
    return ::SendMessageA(::GetDlgItem(m_hWnd, IDC_AD_RULE_TABS), TCM_GETCURSEL, 0, 0) == 1 ? CAdFilter::kExceptionList
                                                                                          : CAdFilter::kFilterList;
}

void CAdFilterPage::SelectTab(int tab)
{
    ::SendMessageA(GetDlgItem(IDC_AD_RULE_TABS), TCM_SETCURSEL, tab == 1 ? 1 : 0, 0);
    ListView_SetItemState(GetDlgItem(IDC_AD_RULE_LIST), -1, 0, LVIS_SELECTED);
    UpdateControls(true);
}

void CAdFilterPage::UpdateControls(bool refresh)
{
    HWND list = GetDlgItem(IDC_AD_RULE_LIST);
    const size_t count = GetAdFilter().GetCount(CurrentList());
    if (refresh) {
        ListView_SetItemCountEx(list, count, 0);
        ::InvalidateRect(list, nullptr, TRUE);
    }
    const bool on = IsDlgButtonChecked(IDC_AD_ENABLE) == BST_CHECKED;
    EnableItem(m_hWnd, IDC_AD_ADD, on);
    EnableItem(m_hWnd, IDC_AD_REMOVE_ALL, on && count > 0);
    EnableItem(m_hWnd, IDC_AD_REMOVE, on && SelectedRow() >= 0);
    EnableItem(m_hWnd, IDC_AD_RULE_LIST, on);
    EnableItem(m_hWnd, IDC_AD_RULE_TABS, on);
    EnableItem(m_hWnd, IDC_AD_VIEW_LOGS, on);
}

LRESULT CAdFilterPage::OnEnable(WORD, WORD, HWND, BOOL&)
{
    ToggleBlockerFlag(BlockerFlag::AdFilter, kEnableAdFilterCommand);
    UpdateControls(false);
    return 0;
}

LRESULT CAdFilterPage::OnAdd(WORD, WORD, HWND, BOOL&)
{
    CAdFilterRuleDlg dialog(CurrentList());
    if (dialog.DoModal(::GetActiveWindow()) == IDOK) {
        GetAdFilter().m_modified = true;
        Refresh();
    }
    return 0;
}

LRESULT CAdFilterPage::OnRemove(WORD, WORD, HWND, BOOL&)
{
    const int row = SelectedRow();
    if (row < 0 || !Confirm(::GetActiveWindow(), "Are you sure you want to permanently delete this filter?"))
        return 0;
    if (GetAdFilter().RemoveRule(CurrentList(), static_cast<size_t>(row)))
        GetAdFilter().m_modified = true;
    ListView_SetItemState(GetDlgItem(IDC_AD_RULE_LIST), -1, 0, LVIS_SELECTED);
    Refresh();
    return 0;
}

LRESULT CAdFilterPage::OnRemoveAll(WORD, WORD, HWND, BOOL&)
{
    if (!Confirm(::GetActiveWindow(), "Are you sure you want to permanently delete all these filters?"))
        return 0;
    GetAdFilter().ClearList(CurrentList());
    GetAdFilter().m_modified = true;
    Refresh();
    return 0;
}

LRESULT CAdFilterPage::OnViewLogs(WORD, WORD, HWND, BOOL&)
{
    ShowBlockedHistoryWindow(FrameWindow(), 1);
    return 0;
}

LRESULT CAdFilterPage::OnTabChange(int, LPNMHDR, BOOL&)
{
    SelectTab(static_cast<int>(::SendMessageA(GetDlgItem(IDC_AD_RULE_TABS), TCM_GETCURSEL, 0, 0)));
    return 0;
}

LRESULT CAdFilterPage::OnGetDispInfo(int, LPNMHDR header, BOOL&)
{
    auto* info = reinterpret_cast<NMLVDISPINFOA*>(header);
    const std::vector<std::string> patterns = GetAdFilter().GetPatterns(CurrentList());
    const size_t row = static_cast<size_t>(info->item.iItem);
    CopyDispText(info, m_dispText, row < patterns.size() ? patterns[row] : std::string());
    return 0;
}

LRESULT CAdFilterPage::OnSelectionChange(int, LPNMHDR, BOOL&)
{
    UpdateControls(false);
    return 0;
}

LRESULT CAdFilterPage::OnCustomDraw(int, LPNMHDR header, BOOL&)
{
    return DrawRow(header, IsDlgButtonChecked(IDC_AD_ENABLE) == BST_CHECKED);
}
