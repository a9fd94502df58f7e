#include "navigation/favorites/FavoritesPage.h"

#include "core/app/LanguageManager.h"
#include "core/app/Settings.h"
#include "core/system/MessageBoxes.h"
#include "platform/AtlDlgs.h"

#include <commctrl.h>
#include <shlwapi.h>

namespace {

// A folder path longer than this is no folder of this system.
constexpr int kMaxFolderLength = MAX_PATH;

std::string EditText(HWND edit)
{
    char text[kMaxFolderLength + 1] = {};
    ::GetWindowTextA(edit, text, static_cast<int>(sizeof(text)));
    return text;
}

}  // namespace

CFavoritesPage::CFavoritesPage(IFavoritesOptionsTarget* target) : m_target(target)
{
    if (const CSettings* settings = GetSettings()) {
        m_sortByName = (settings->SysFlags & SysFlag::SortFavoritesByName) != 0;
        m_menuWidth = settings->MaxFavMenuWidth.value;
        m_breakCount = settings->FavMenuBreakCount.value;
        m_linksFolder = settings->LinksBarDefaultFolder.value.c_str();
    }
}

LRESULT CFavoritesPage::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&)
{
    ::SendDlgItemMessageA(m_hWnd, IDC_FAV_MENU_WIDTH_SPIN, UDM_SETRANGE32, kMinMenuWidth, kMaxMenuWidth);
    ::SendDlgItemMessageA(m_hWnd, IDC_FAV_BREAK_COUNT_SPIN, UDM_SETRANGE32, kMinBreakCount, kMaxBreakCount);
    SetDlgItemInt(IDC_FAV_MENU_WIDTH, static_cast<UINT>(m_menuWidth), TRUE);
    SetDlgItemInt(IDC_FAV_BREAK_COUNT, static_cast<UINT>(m_breakCount), TRUE);
    const bool singleColumn = m_breakCount == kSingleColumnBreakCount;
    CheckDlgButton(IDC_FAV_SINGLE_COLUMN, singleColumn ? BST_CHECKED : BST_UNCHECKED);
    EnableBreakCount(!singleColumn);
    CheckDlgButton(IDC_FAV_SORT_BY_NAME, m_sortByName ? BST_CHECKED : BST_UNCHECKED);
    HWND folder = GetDlgItem(IDC_FAV_LINKS_FOLDER);
    ::SendMessageA(folder, EM_LIMITTEXT, kMaxFolderLength, 0);
    ::SetWindowTextA(folder, m_linksFolder.c_str());
    // The shell completes folder names as they are typed.
    ::SHAutoComplete(folder, SHACF_FILESYS_DIRS);
    return TRUE;
}

void CFavoritesPage::EnableBreakCount(bool enable)
{
    ::EnableWindow(GetDlgItem(IDC_FAV_BREAK_COUNT), enable);
    ::EnableWindow(GetDlgItem(IDC_FAV_BREAK_COUNT_SPIN), enable);
}

// Only the edit changes here: the count reaches the settings with Apply, so Cancel undoes it.
LRESULT CFavoritesPage::OnSingleColumn(WORD, WORD, HWND, BOOL&)
{
    const bool singleColumn = IsDlgButtonChecked(IDC_FAV_SINGLE_COLUMN) == BST_CHECKED;
    EnableBreakCount(!singleColumn);
    BOOL valid = FALSE;
    const int shown = static_cast<int>(GetDlgItemInt(IDC_FAV_BREAK_COUNT, &valid, TRUE));
    int count = valid ? shown : m_breakCount;
    if (singleColumn)
        count = kSingleColumnBreakCount;
    else if (count == kSingleColumnBreakCount || !valid)
        count = kDefaultBreakCount;
    SetDlgItemInt(IDC_FAV_BREAK_COUNT, static_cast<UINT>(count), TRUE);
    return 0;
}

LRESULT CFavoritesPage::OnBrowse(WORD, WORD, HWND, BOOL&)
{
    const std::string title = TranslateText("Select a directory:").c_str();
    CFolderDialog chooser(m_hWnd, title.c_str());
    chooser.SetInitialFolder(EditText(GetDlgItem(IDC_FAV_LINKS_FOLDER)).c_str());
    if (chooser.DoModal(m_hWnd) == IDOK)
        SetDlgItemText(IDC_FAV_LINKS_FOLDER, chooser.GetFolderPath());
    return 0;
}

// The stored default is the folder's name, which the Links bar takes below the Favorites.
LRESULT CFavoritesPage::OnRestoreDefaults(WORD, WORD, HWND, BOOL&)
{
    SetDlgItemText(IDC_FAV_LINKS_FOLDER, GetLinksFolderName().c_str());
    return 0;
}

bool CFavoritesPage::ReadNumber(int editId, int minimum, int maximum, int& value)
{
    BOOL valid = FALSE;
    const int number = static_cast<int>(GetDlgItemInt(editId, &valid, TRUE));
    if (valid && number >= minimum && number <= maximum) {
        value = number;
        return true;
    }
    ::MessageBeep(static_cast<UINT>(-1));
    TStdStr<char> message;
    message.Format("Please enter an integer between %d and %d\n", minimum, maximum);
    GetMessageBoxes().Show(m_hWnd, message.c_str(), "Kivo Browser", MB_OK | MB_ICONEXCLAMATION);
    HWND edit = GetDlgItem(editId);
    ::SetFocus(edit);
    ::SendMessageA(edit, EM_SETSEL, 0, -1);
    return false;
}

int CFavoritesPage::OnApply()
{
    CSettings* settings = GetSettings();
    if (!settings)
        return 0;
    int width = 0;
    int count = 0;
    if (!ReadNumber(IDC_FAV_MENU_WIDTH, kMinMenuWidth, kMaxMenuWidth, width) ||
        !ReadNumber(IDC_FAV_BREAK_COUNT, kMinBreakCount, kMaxBreakCount, count))
        return 1;
    const std::string folder = EditText(GetDlgItem(IDC_FAV_LINKS_FOLDER));
    const bool sortByName = IsDlgButtonChecked(IDC_FAV_SORT_BY_NAME) == BST_CHECKED;

    settings->LinksBarDefaultFolder = folder.c_str();
    settings->SysFlags = sortByName ? (settings->SysFlags | SysFlag::SortFavoritesByName)
                                    : (settings->SysFlags & ~SysFlag::SortFavoritesByName);
    settings->MaxFavMenuWidth = width;
    settings->FavMenuBreakCount = count;

    const bool menuChanged = sortByName != m_sortByName || width != m_menuWidth || count != m_breakCount;
    const bool folderChanged = folder != m_linksFolder;
    m_sortByName = sortByName;
    m_menuWidth = width;
    m_breakCount = count;
    m_linksFolder = folder;
    if (m_target && menuChanged)
        m_target->RebuildFavoritesMenu();
    if (m_target && folderChanged)
        m_target->RebuildLinksBar();
    return 0;
}
