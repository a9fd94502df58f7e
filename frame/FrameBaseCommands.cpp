#include "frame/FrameBaseCommands.h"

#include "controls/DynamicUpdateUI.h"
#include "controls/skins/FrameSkinManager.h"
#include "core/app/LanguageManager.h"
#include "core/app/Settings.h"
#include "core/system/MapiMail.h"
#include "frame/FrameShell.h"
#include "frame/MainFrame.h"
#include "frame/dialogs/HelpViewer.h"
#include "frame/dialogs/SkinsDlg.h"

#include <commctrl.h>

#include <string>

namespace {

constexpr const char* kDisableSkinItem = "&Disable Skin";
constexpr const char* kSelectSkinsItem = "&Select Skins...";
constexpr const char* kSelectLanguageItem = "&Select Language...";
constexpr const char* kFeedbackAddress = "mailto:feedback@kivobrowser.example";
constexpr const char* kTellAFriendSubject = "Recommand an excellent freeware web browser: Kivo Browser";
constexpr const char* kTellAFriendBody =
    "Hello,\r\n\r\nI use Kivo Browser, a free tabbed web browser, and I think you will like it too.\r\n"
    "Its web site: http://www.kivobrowser.example/\r\n"
    "Download it here: http://www.kivobrowser.example/download.htm\r\n";
// A menu already filled holds more items than its template.
constexpr int kSkinsTemplateItems = 1;
constexpr int kLanguageTemplateItems = 1;

}  // namespace

DWORD ToggleBits(DWORD flags, DWORD bits)
{
    return (flags & bits) == 0 ? flags | bits : flags & ~bits;
}

void ApplyFrameMinMaxInfo(MINMAXINFO& info, bool skinActive, const RECT& workArea)
{
    info.ptMinTrackSize.x = kFrameMinimumWidth;
    info.ptMinTrackSize.y = kFrameMinimumHeight;
    if (!skinActive)
        return;
    // A skinned window has no system frame to hide beyond the screen: maximised, it covers the
    // work area exactly.
    info.ptMaxPosition.x = workArea.left;
    info.ptMaxPosition.y = workArea.top;
    info.ptMaxTrackSize.x = workArea.right - workArea.left + 1;
    info.ptMaxTrackSize.y = workArea.bottom - workArea.top + 1;
    info.ptMaxSize = info.ptMaxTrackSize;
}

CFrameSkinManager* CFrameBaseCommands::Skins() const
{
    return m_skins ? m_skins : GetSkinManager();
}

CLanguageManager* CFrameBaseCommands::Languages() const
{
    return m_languages ? m_languages : GetLanguageManager();
}

IHelpViewer& CFrameBaseCommands::Help() const
{
    return m_help ? *m_help : GetSystemHelpViewer();
}

void CFrameBaseCommands::OnFrameCreated()
{
    if (CFrameSkinManager* skins = Skins())
        skins->AttachWindow(m_host.GetBaseFrameWindow());
    const CSettings* settings = GetSettings();
    const DWORD flags = settings ? static_cast<DWORD>(settings->BaseViewFlags.value) : kBaseViewStatusBar;
    if (HWND status = m_host.GetBaseStatusBar(); status && !(flags & kBaseViewStatusBar))
        ::ShowWindow(status, SW_HIDE);
    if (flags & kBaseViewToolbarsLocked)
        ApplyToolbarLock();
    if (CDynamicUpdateUI* map = GetCommandStateMap()) {
        map->UIAddItem(static_cast<WORD>(kCommandStatusBar), kUpdateUIPopupMenu);
        map->UIAddItem(static_cast<WORD>(kCommandLockToolbars), kUpdateUIPopupMenu);
    }
    UpdateViewChecks();
    m_host.LayOutFrame();
}

// The View menu's marks follow the bits.
void CFrameBaseCommands::UpdateViewChecks()
{
    CDynamicUpdateUI* map = GetCommandStateMap();
    const CSettings* settings = GetSettings();
    if (!map || !settings)
        return;
    const DWORD flags = static_cast<DWORD>(settings->BaseViewFlags.value);
    map->UISetCheck(static_cast<WORD>(kCommandStatusBar), (flags & kBaseViewStatusBar) ? 1 : 0);
    map->UISetCheck(static_cast<WORD>(kCommandLockToolbars), (flags & kBaseViewToolbarsLocked) ? 1 : 0);
}

LRESULT CFrameBaseCommands::OnGetMinMaxInfo(UINT, WPARAM, LPARAM lParam, BOOL& handled)
{
    auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
    if (!info) {
        handled = FALSE;
        return 0;
    }
    RECT workArea = {};
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &workArea, 0);
    const CFrameSkinManager* skins = Skins();
    ApplyFrameMinMaxInfo(*info, skins && skins->IsSkinActive(), workArea);
    return 0;
}

LRESULT CFrameBaseCommands::OnCommand(WORD, WORD id, HWND, BOOL&)
{
    Execute(id);
    return 0;
}

void CFrameBaseCommands::Execute(UINT command)
{
    if (command >= kCommandLanguageFirst && command <= kCommandLanguageLast) {
        SelectLanguage(static_cast<int>(command - kCommandLanguageFirst));
        return;
    }
    if (command >= kCommandDisableSkin && command <= kCommandSkinLast) {
        SelectSkin(command);
        return;
    }
    switch (command) {
    case kCommandSelectLanguage:
        m_host.ShowOptionsPage(kLanguagePageId);
        break;
    case kCommandSelectSkins:
        ShowSkinsDialog();
        break;
    case kCommandLockToolbars:
        ToggleLockToolbars();
        break;
    case kCommandStatusBar:
        ToggleStatusBar();
        break;
    case kCommandUserManual:
        ShowUserManual();
        break;
    case kCommandHomePage:
        m_host.OpenUrlInNewTab(kProductHomePage);
        break;
    case kCommandFeedback:
        SendFeedback();
        break;
    case kCommandTellAFriend:
        TellAFriend();
        break;
    default:
        break;
    }
}

// The popup (at any depth) that holds the item: the texts of the menu change with the language.
HMENU CFrameBaseCommands::FindPopupHolding(HMENU menu, UINT id) const
{
    if (!menu)
        return nullptr;
    const int count = ::GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        if (::GetMenuItemID(menu, i) == id)
            return menu;
    }
    for (int i = 0; i < count; ++i) {
        if (HMENU popup = ::GetSubMenu(menu, i))
            if (HMENU found = FindPopupHolding(popup, id))
                return found;
    }
    return nullptr;
}

// A popup that holds more than its template was filled before (the menu is set up again): it is
// left as it is, and the setup goes on.
bool CFrameBaseCommands::FillMenus(HMENU menu)
{
    HMENU skinsMenu = FindPopupHolding(menu, kCommandSelectSkins);
    HMENU languageMenu = FindPopupHolding(menu, kCommandSelectLanguage);
    if (skinsMenu && ::GetMenuItemCount(skinsMenu) <= kSkinsTemplateItems)
        FillSkinsMenu(skinsMenu);
    if (languageMenu && ::GetMenuItemCount(languageMenu) <= kLanguageTemplateItems)
        FillLanguageMenu(languageMenu);
    return true;
}

void CFrameBaseCommands::FillSkinsMenu(HMENU skinsMenu)
{
    while (::GetMenuItemCount(skinsMenu) > 0)
        ::DeleteMenu(skinsMenu, 0, MF_BYPOSITION);
    ::AppendMenuA(skinsMenu, MF_STRING, kCommandDisableSkin, kDisableSkinItem);
    ::AppendMenuA(skinsMenu, MF_STRING, kCommandSelectSkins, kSelectSkinsItem);
    UINT checked = kCommandDisableSkin;
    if (const CFrameSkinManager* skins = Skins()) {
        UINT id = kCommandSkinFirst;
        for (const CSkinDescriptor& skin : skins->GetSkins()) {
            if (id > kCommandSkinLast)
                break;
            ::AppendMenuA(skinsMenu, MF_STRING, id, skin.name.c_str());
            if (skins->IsSkinActive() && IsSameSkinName(skin.name.c_str(), skins->GetCurrentSkinName().c_str()))
                checked = id;
            ++id;
        }
    }
    CheckOnly(skinsMenu, kCommandDisableSkin, kCommandSkinLast, checked);
}

void CFrameBaseCommands::FillLanguageMenu(HMENU languageMenu)
{
    while (::GetMenuItemCount(languageMenu) > 0)
        ::DeleteMenu(languageMenu, 0, MF_BYPOSITION);
    ::AppendMenuA(languageMenu, MF_STRING, kCommandSelectLanguage, kSelectLanguageItem);
    UINT checked = kCommandLanguageFirst;
    if (const CLanguageManager* languages = Languages()) {
        const auto& list = languages->GetLanguages();
        for (size_t i = 0; i < list.size() && kCommandLanguageFirst + i <= kCommandLanguageLast; ++i) {
            const UINT id = kCommandLanguageFirst + static_cast<UINT>(i);
            ::AppendMenuA(languageMenu, MF_STRING, id, languages->GetDisplayName(list[i]).c_str());
            if (languages->IsCurrentLanguage(static_cast<int>(i)))
                checked = id;
        }
    }
    CheckOnly(languageMenu, kCommandLanguageFirst, kCommandLanguageLast, checked);
}

void CFrameBaseCommands::CheckOnly(HMENU popup, UINT first, UINT last, UINT checked)
{
    if (!popup)
        return;
    const int count = ::GetMenuItemCount(popup);
    for (int i = 0; i < count; ++i) {
        const UINT id = ::GetMenuItemID(popup, i);
        if (id >= first && id <= last)
            ::CheckMenuItem(popup, i, MF_BYPOSITION | (id == checked ? MF_CHECKED : MF_UNCHECKED));
    }
}

void CFrameBaseCommands::SelectLanguage(int index)
{
    CLanguageManager* languages = Languages();
    if (!languages || index < 0 || static_cast<size_t>(index) >= languages->GetLanguages().size())
        return;
    if (languages->IsCurrentLanguage(index))
        return;
    HMENU languageMenu = FindPopupHolding(m_host.GetBaseMenu(), kCommandSelectLanguage);
    CheckOnly(languageMenu, kCommandLanguageFirst, kCommandLanguageLast, kCommandLanguageFirst + static_cast<UINT>(index));
    const CStdString name = languages->GetLanguages()[static_cast<size_t>(index)].m_name;
    languages->LoadLanguage(name);
    // The choice is the user's for the next start too.
    languages->SaveLanguageSetting();
    m_host.RetranslateFrame(*languages);
}

// The check mark moves only when the skin could be put on: a skin whose files went since the
// scan leaves the one in use checked.
void CFrameBaseCommands::SelectSkin(UINT command)
{
    CFrameSkinManager* skins = Skins();
    if (!skins)
        return;
    HWND frame = m_host.GetBaseFrameWindow();
    bool chosen = false;
    if (command == kCommandDisableSkin) {
        chosen = !skins->IsSkinActive() || ChooseSkin(*skins, "", frame);
    } else {
        const size_t index = command - kCommandSkinFirst;
        if (index >= skins->GetSkinCount())
            return;
        const CStdString name = skins->GetSkins()[index].name;
        chosen = (skins->IsSkinActive() && IsSameSkinName(name.c_str(), skins->GetCurrentSkinName().c_str())) ||
                 ChooseSkin(*skins, name.c_str(), frame);
    }
    if (!chosen)
        return;
    HMENU skinsMenu = FindPopupHolding(m_host.GetBaseMenu(), kCommandSelectSkins);
    CheckOnly(skinsMenu, kCommandDisableSkin, kCommandSkinLast, command);
}

void CFrameBaseCommands::ShowSkinsDialog()
{
    CSkinsDlg dialog(m_host.GetBaseFrameWindow(), m_skins, m_help);
    dialog.DoModal(::GetActiveWindow());
    // The dialog may have changed the skin: the menu's mark follows.
    CFrameSkinManager* skins = Skins();
    HMENU skinsMenu = FindPopupHolding(m_host.GetBaseMenu(), kCommandSelectSkins);
    if (!skins || !skinsMenu)
        return;
    UINT checked = kCommandDisableSkin;
    for (size_t i = 0; skins->IsSkinActive() && i < skins->GetSkinCount(); ++i)
        if (IsSameSkinName(skins->GetSkins()[i].name.c_str(), skins->GetCurrentSkinName().c_str()))
            checked = kCommandSkinFirst + static_cast<UINT>(i);
    CheckOnly(skinsMenu, kCommandDisableSkin, kCommandSkinLast, checked);
}

void CFrameBaseCommands::ToggleStatusBar()
{
    CSettings* settings = GetSettings();
    if (!settings)
        return;
    const DWORD flags = ToggleBits(static_cast<DWORD>(settings->BaseViewFlags.value), kBaseViewStatusBar);
    settings->BaseViewFlags.value = static_cast<int>(flags);
    if (HWND status = m_host.GetBaseStatusBar())
        ::ShowWindow(status, (flags & kBaseViewStatusBar) ? SW_SHOWNOACTIVATE : SW_HIDE);
    UpdateViewChecks();
    m_host.LayOutFrame();
}

void CFrameBaseCommands::ToggleLockToolbars()
{
    CSettings* settings = GetSettings();
    if (!settings)
        return;
    settings->BaseViewFlags.value =
        static_cast<int>(ToggleBits(static_cast<DWORD>(settings->BaseViewFlags.value), kBaseViewToolbarsLocked));
    ApplyToolbarLock();
    UpdateViewChecks();
    m_host.LayOutFrame();
}

// A band whose gripper is not always shown is set once with it and once without, so that the
// rebar measures it again; then the gripper goes or comes with the lock.
void CFrameBaseCommands::ApplyToolbarLock()
{
    HWND rebar = m_host.GetBaseReBar();
    if (!rebar)
        return;
    const CSettings* settings = GetSettings();
    const bool locked = settings && (static_cast<DWORD>(settings->BaseViewFlags.value) & kBaseViewToolbarsLocked);
    const int count = static_cast<int>(::SendMessageA(rebar, RB_GETBANDCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        REBARBANDINFOA band = {};
        band.cbSize = sizeof(band);
        band.fMask = RBBIM_STYLE;
        if (!::SendMessageA(rebar, RB_GETBANDINFOA, i, reinterpret_cast<LPARAM>(&band)))
            continue;
        const UINT style = band.fStyle;
        if (!(style & RBBS_GRIPPERALWAYS)) {
            band.fStyle = style | RBBS_GRIPPERALWAYS;
            ::SendMessageA(rebar, RB_SETBANDINFOA, i, reinterpret_cast<LPARAM>(&band));
            band.fStyle = style;
            ::SendMessageA(rebar, RB_SETBANDINFOA, i, reinterpret_cast<LPARAM>(&band));
        }
        band.fStyle = locked ? (style | RBBS_NOGRIPPER) : (style & ~RBBS_NOGRIPPER);
        ::SendMessageA(rebar, RB_SETBANDINFOA, i, reinterpret_cast<LPARAM>(&band));
    }
}

bool CFrameBaseCommands::ShowUserManual()
{
    return OpenHelpTopic(Help(), m_host.GetBaseFrameWindow(), kHelpTopicIntroduction);
}

void CFrameBaseCommands::SendFeedback()
{
    GetFrameShell().Execute("open", kFeedbackAddress, nullptr, SW_SHOWNORMAL);
}

void CFrameBaseCommands::TellAFriend()
{
    CMapiMail mail;
    mail.SetSubject(TranslateText(kTellAFriendSubject).c_str());
    mail.SetBody(TranslateText(kTellAFriendBody).c_str());
    mail.Send();
}
