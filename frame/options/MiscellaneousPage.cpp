#include "frame/options/MiscellaneousPage.h"

#include "core/app/LanguageManager.h"

namespace {

void FillList(HWND list, const char* first, const char* second)
{
    const CLanguageManager* language = GetLanguageManager();
    for (const char* text : {first, second})
        ::SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(language ? language->Translate(text) : text));
}

}  // namespace

std::span<const CCheckBinding> CMiscellaneousPage::Bindings()
{
    using W = EFlagWord;
    static const CCheckBinding bindings[] = {
        {IDC_MISC_SUPPRESS_SCRIPT_ERRORS, W::SysFlags, SysFlag::NoSuppressScriptErrors, true},
        {IDC_MISC_NEW_TAB_BACKGROUND, W::SysFlags, SysFlag::NewTabsInBackground, false},
        {IDC_MISC_OPEN_FROM_ADDRESS_BAR, W::TabOpenFlags, TabOpenFlag::AddressBar, false},
        {IDC_MISC_OPEN_FROM_FAVORITES, W::TabOpenFlags, TabOpenFlag::Favorites, false},
        {IDC_MISC_OPEN_FROM_HISTORY, W::TabOpenFlags, TabOpenFlag::History, false},
        {IDC_MISC_OPEN_FROM_SEARCH_BAR, W::TabOpenFlags, TabOpenFlag::SearchBar, false},
        {IDC_MISC_OPEN_FROM_LINKS_BAR, W::TabOpenFlags, TabOpenFlag::LinksBar, false},
        {IDC_MISC_SHOW_TRAY_ICON, W::SysFlags, SysFlag::NoTrayIcon, true},
    };
    return bindings;
}

std::span<const CListBitBinding> CMiscellaneousPage::ListBindings()
{
    static const CListBitBinding bindings[] = {
        {IDC_MISC_CLOSE_ACTION, EFlagWord::SysFlags, SysFlag::CloseButtonCloses},
        {IDC_MISC_MINIMIZE_ACTION, EFlagWord::SysFlags, SysFlag::MinimizeNormally},
    };
    return bindings;
}

LRESULT CMiscellaneousPage::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&)
{
    FillList(GetDlgItem(IDC_MISC_CLOSE_ACTION), "Close Immediately", "Minimize to Tray");
    FillList(GetDlgItem(IDC_MISC_MINIMIZE_ACTION), "Normal", "Minimize to Tray");
    if (const CSettings* settings = GetSettings()) {
        LoadCheckBindings(m_hWnd, *settings, Bindings());
        LoadListBitBindings(m_hWnd, *settings, ListBindings());
    }
    ApplyTrayRule();
    return TRUE;
}

LRESULT CMiscellaneousPage::OnShowTrayIcon(WORD, WORD, HWND, BOOL&)
{
    ApplyTrayRule();
    return 0;
}

// Without a tray icon there is no tray to close or minimise into, so both lists fall back to
// the entry that does not need one.
void CMiscellaneousPage::ApplyTrayRule()
{
    const bool tray = IsDlgButtonChecked(IDC_MISC_SHOW_TRAY_ICON) == BST_CHECKED;
    for (int id : {IDC_MISC_CLOSE_ACTION, IDC_MISC_MINIMIZE_ACTION}) {
        HWND list = GetDlgItem(id);
        ::EnableWindow(list, tray);
        if (!tray)
            ::SendMessageA(list, CB_SETCURSEL, 0, 0);
    }
}

int CMiscellaneousPage::OnApply()
{
    CSettings* settings = GetSettings();
    if (!settings)
        return 0;
    SaveCheckBindings(m_hWnd, *settings, Bindings());
    SaveListBitBindings(m_hWnd, *settings, ListBindings());
    if (m_trayOwner) {
        if (settings->SysFlags & SysFlag::NoTrayIcon)
            m_trayOwner->RemoveTrayIcon();
        else
            m_trayOwner->AddTrayIcon();
    }
    return 0;
}
