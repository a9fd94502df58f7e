#include "browser/filter/BlockerAdvancedPage.h"

#include "frame/BlockedContent.h"
#include "frame/FrameShell.h"
#include "core/app/LanguageManager.h"
#include "core/app/Settings.h"
#include "core/system/MessageBoxes.h"

#include <commctrl.h>

namespace {

constexpr int kMinLogItems = 1;
constexpr int kMaxLogItems = 1000;

// The check boxes of a page and the bit each one stands for.
struct CBitBox {
    int id;
    DWORD* word;
    DWORD bit;
    bool inverse;  // checked while the bit is clear
};

std::vector<CBitBox> BitBoxes(bool popups)
{
    CSettings& settings = *GetSettings();
    if (popups)
        return {{IDC_POPUP_NOTICE, &settings.BlockerFlags, BlockerFlag::PopupNotice, false},
                {IDC_POPUP_BEEP, &settings.BlockerFlags, BlockerFlag::PopupBeep, false},
                {IDC_POPUP_SOUND, &settings.BlockerFlags, BlockerFlag::PopupSound, false},
                {IDC_POPUP_GRID, &settings.ViewFlags, ViewFlag::PopupLogGrid, false}};
    return {{IDC_AD_REPLACE, &settings.BlockerFlags, BlockerFlag::NoReplacementText, true},
            {IDC_AD_BEEP, &settings.BlockerFlags, BlockerFlag::AdBeep, false},
            {IDC_AD_SOUND, &settings.BlockerFlags, BlockerFlag::AdSound, false},
            {IDC_AD_GRID, &settings.ViewFlags, ViewFlag::AdLogGrid, false}};
}

std::string ItemText(HWND dialog, int id)
{
    char text[MAX_PATH * 2] = {};
    ::GetDlgItemTextA(dialog, id, text, static_cast<int>(sizeof(text)));
    return text;
}

}  // namespace

LRESULT CBlockerAdvancedPage::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&)
{
    CSettings& settings = *GetSettings();
    for (const CBitBox& box : BitBoxes(m_popups)) {
        const bool set = (*box.word & box.bit) != 0;
        CheckDlgButton(box.id, set != box.inverse ? BST_CHECKED : BST_UNCHECKED);
    }
    SetDlgItemTextA(m_popups ? IDC_POPUP_SOUND_PATH : IDC_AD_SOUND_PATH,
                    (m_popups ? settings.PopBlockedSound : settings.AdBlockedSound).c_str());
    if (!m_popups)
        SetDlgItemTextA(IDC_AD_REPLACE_TEXT, settings.BlockedAdsReplacedText.value.c_str());
    HWND hotKey = GetDlgItem(m_popups ? IDC_POPUP_HOTKEY : IDC_AD_HOTKEY);
    ::SendMessageA(hotKey, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("CTRL"));
    ::SendMessageA(hotKey, CB_SETCURSEL, 0, 0);
    ::SendDlgItemMessageA(m_hWnd, m_popups ? IDC_POPUP_MAX_SPIN : IDC_AD_MAX_SPIN, UDM_SETRANGE32, kMinLogItems, kMaxLogItems);
    SetDlgItemInt(m_popups ? IDC_POPUP_MAX_ITEMS : IDC_AD_MAX_ITEMS,
                  static_cast<UINT>(m_popups ? settings.MaxPopupLogItems : settings.MaxContentLogItems), FALSE);
    UpdateControls();
    return TRUE;
}

void CBlockerAdvancedPage::UpdateControls()
{
    const bool sound = IsDlgButtonChecked(m_popups ? IDC_POPUP_SOUND : IDC_AD_SOUND) == BST_CHECKED;
    for (int id : m_popups ? std::vector<int>{IDC_POPUP_SOUND_PATH, IDC_POPUP_SOUND_BROWSE, IDC_POPUP_SOUND_PLAY}
                           : std::vector<int>{IDC_AD_SOUND_PATH, IDC_AD_SOUND_BROWSE, IDC_AD_SOUND_PLAY})
        ::EnableWindow(GetDlgItem(id), sound);
    if (!m_popups)
        ::EnableWindow(GetDlgItem(IDC_AD_REPLACE_TEXT), IsDlgButtonChecked(IDC_AD_REPLACE) == BST_CHECKED);
}

LRESULT CBlockerAdvancedPage::OnClicked(WORD, WORD id, HWND, BOOL& handled)
{
    CSettings& settings = *GetSettings();
    switch (id) {
    case IDC_POPUP_SOUND:
    case IDC_AD_SOUND:
    case IDC_AD_REPLACE:
        UpdateControls();
        return 0;
    case IDC_POPUP_SOUND_BROWSE:
    case IDC_AD_SOUND_BROWSE:
        BrowseSound();
        return 0;
    case IDC_POPUP_SOUND_PLAY:
    case IDC_AD_SOUND_PLAY:
    {
        // The stored path, not what the edit shows now; none stored plays nothing.
        const CStdString& sound = m_popups ? settings.PopBlockedSound : settings.AdBlockedSound;
        if (!sound.IsEmpty())
            GetFrameShell().PlaySoundFile(sound.c_str());
        return 0;
    }
    default:
        handled = FALSE;
        return 0;
    }
}

void CBlockerAdvancedPage::BrowseSound()
{
    CSettings& settings = *GetSettings();
    CStdString& stored = m_popups ? settings.PopBlockedSound : settings.AdBlockedSound;
    char path[MAX_PATH] = {};
    lstrcpynA(path, stored.c_str(), MAX_PATH);
    OPENFILENAMEA open = {};
    open.lStructSize = sizeof(open);
    open.hwndOwner = m_hWnd;
    open.lpstrFile = path;
    open.nMaxFile = MAX_PATH;
    open.lpstrDefExt = "wav";
    open.Flags = OFN_EXPLORER | OFN_HIDEREADONLY;
    if (!::GetOpenFileNameA(&open))
        return;
    stored = path;
    SetDlgItemTextA(m_popups ? IDC_POPUP_SOUND_PATH : IDC_AD_SOUND_PATH, path);
}

int CBlockerAdvancedPage::OnApply()
{
    CSettings& settings = *GetSettings();
    const int maxId = m_popups ? IDC_POPUP_MAX_ITEMS : IDC_AD_MAX_ITEMS;
    BOOL valid = FALSE;
    const int maximum = static_cast<int>(GetDlgItemInt(maxId, &valid, TRUE));
    if (!valid || maximum < kMinLogItems || maximum > kMaxLogItems) {
        ::MessageBeep(static_cast<UINT>(-1));
        TStdStr<char> message;
        message.Format("Please enter an integer between %d and %d\n", kMinLogItems, kMaxLogItems);
        GetMessageBoxes().Show(m_hWnd, message.c_str(), "Kivo Browser", MB_OK | MB_ICONEXCLAMATION);
        ::SetFocus(GetDlgItem(maxId));
        return 1;
    }
    for (const CBitBox& box : BitBoxes(m_popups)) {
        const bool checked = IsDlgButtonChecked(box.id) == BST_CHECKED;
        if (checked != box.inverse)
            *box.word |= box.bit;
        else
            *box.word &= ~box.bit;
    }
    if (m_popups) {
        settings.MaxPopupLogItems = maximum;
        settings.PopupLog.SetMaxItems(maximum);
    } else {
        settings.MaxContentLogItems = maximum;
        settings.AdLog.SetMaxItems(maximum);
        settings.BlockedAdsReplacedText.value = ItemText(m_hWnd, IDC_AD_REPLACE_TEXT);
    }
    return 0;
}
