#include "frame/services/PluginsPage.h"

#include "core/app/LanguageManager.h"
#include "core/app/Settings.h"

#include <commctrl.h>

CPluginsPage::CPluginsPage(CPluginManager* manager, std::function<void()> onApplied)
    : m_manager(manager), m_onApplied(std::move(onApplied))
{
}

CPluginManager* CPluginsPage::Manager() const
{
    return m_manager ? m_manager : GetPluginManager();
}

LRESULT CPluginsPage::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&)
{
    HWND view = GetDlgItem(kIdPluginList);
    ::SendMessageA(view, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT,
                   LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
    RECT client{};
    ::GetClientRect(view, &client);
    LVCOLUMNA column{};
    column.mask = LVCF_WIDTH;
    column.cx = client.right - client.left - ::GetSystemMetrics(SM_CXVSCROLL);
    ::SendMessageA(view, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));
    if (const CPluginManager* manager = Manager()) {
        ::SendMessageA(view, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(manager->GetImages()));
        const std::vector<CPlugin>& plugins = manager->GetAll();
        for (size_t i = 0; i < plugins.size(); ++i) {
            const std::string name = plugins[i].name.empty() ? plugins[i].folderName : plugins[i].name;
            LVITEMA item{};
            item.mask = LVIF_TEXT | LVIF_IMAGE;
            item.iItem = static_cast<int>(i);
            item.pszText = const_cast<char*>(name.c_str());
            item.iImage = plugins[i].image;
            const int row = static_cast<int>(::SendMessageA(view, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
            ListView_SetCheckState(view, row, plugins[i].enabled ? TRUE : FALSE);
        }
    }
    ::EnableWindow(GetDlgItem(kIdPluginAutoRun), FALSE);
    ShowDetails(-1);
    if (CLanguageManager* language = GetLanguageManager())
        language->TranslateWindow(m_hWnd);
    return TRUE;
}

void CPluginsPage::ShowDetails(int row)
{
    const CPluginManager* manager = Manager();
    CPluginDetails details;
    bool autoRun = false;
    if (manager && row >= 0 && static_cast<size_t>(row) < manager->GetAll().size()) {
        const CPlugin& plugin = manager->GetAll()[static_cast<size_t>(row)];
        details = manager->ReadDetails(plugin);
        autoRun = plugin.type == kPluginButton && plugin.startAfterPageDone;
    }
    SetDlgItemTextA(kIdPluginAuthor, details.author.c_str());
    SetDlgItemTextA(kIdPluginEmail, details.email.c_str());
    SetDlgItemTextA(kIdPluginWebsite, details.website.c_str());
    SetDlgItemTextA(kIdPluginVersion, details.version.c_str());
    SetDlgItemTextA(kIdPluginComments, details.comments.c_str());
    CheckDlgButton(kIdPluginAutoRun, autoRun ? BST_CHECKED : BST_UNCHECKED);
}

LRESULT CPluginsPage::OnItemChanged(int, LPNMHDR header, BOOL&)
{
    const auto* change = reinterpret_cast<const NMLISTVIEW*>(header);
    const UINT wanted = LVIS_SELECTED | LVIS_FOCUSED;
    if ((change->uChanged & LVIF_STATE) && (change->uNewState & wanted) == wanted &&
        (change->uOldState & wanted) != wanted)
        ShowDetails(change->iItem);
    return 0;
}

int CPluginsPage::OnApply()
{
    CPluginManager* manager = Manager();
    if (!manager)
        return 0;
    HWND view = GetDlgItem(kIdPluginList);
    const int rows = static_cast<int>(::SendMessageA(view, LVM_GETITEMCOUNT, 0, 0));
    for (int row = 0; row < rows; ++row)
        manager->SetEnabled(static_cast<size_t>(row), ListView_GetCheckState(view, row) != FALSE);
    if (CSettings* settings = GetSettings())
        settings->DisabledPlugins.value = manager->FormatDisabledList().c_str();
    if (m_onApplied)
        m_onApplied();
    return 0;
}
