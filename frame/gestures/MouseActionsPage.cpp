#include "frame/gestures/MouseActionsPage.h"

#include "controls/ImageListManager.h"
#include "core/app/LanguageManager.h"
#include "core/app/Settings.h"
#include "frame/gestures/GestureSettings.h"
#include "frame/gestures/UserActions.h"

#include <commctrl.h>

namespace {

constexpr int kEditButtonImage = 23;
// The two columns share the list's client width 20 : 35.
constexpr int kGestureColumnShare = 20;
constexpr int kActionColumnShare = 35;
constexpr int kForegroundItem = 0;
constexpr int kBackgroundItem = 1;

const char* Translated(const char* text)
{
    const CLanguageManager* language = GetLanguageManager();
    const char* translated = language ? language->Translate(text) : nullptr;
    return translated ? translated : text;
}

bool Checked(HWND page, int id)
{
    return ::IsDlgButtonChecked(page, id) == BST_CHECKED;
}

void Check(HWND page, int id, bool checked)
{
    ::CheckDlgButton(page, id, checked ? BST_CHECKED : BST_UNCHECKED);
}

}  // namespace

CSettings* CMouseActionsPage::Settings() const
{
    return m_settings ? m_settings : GetSettings();
}

CGestureSettings* CMouseActionsPage::Gestures() const
{
    return m_gestures ? m_gestures : GetGestureSettings();
}

CUserActions* CMouseActionsPage::UserActions() const
{
    return m_userActions ? m_userActions : GetUserActions();
}

COLORREF CMouseActionsPage::RowBackground(bool gesturesEnabled, int action)
{
    if (!gesturesEnabled)
        return kDisabledRowColor;
    if (action < 0 || action >= kGestureActionCount)
        return kUnboundRowColor;
    return ::GetSysColor(COLOR_WINDOW);
}

LRESULT CMouseActionsPage::Answer(LRESULT result)
{
    ::SetWindowLongPtrA(m_hWnd, DWLP_MSGRESULT, result);
    return result;
}

LRESULT CMouseActionsPage::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&)
{
    HWND place = GetDlgItem(IDC_MIDDLE_CLICK_PLACE);
    ::SendMessageA(place, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Translated("in Foreground")));
    ::SendMessageA(place, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Translated("in Background")));
    if (const CSettings* settings = Settings()) {
        const DWORD sysFlags = settings->GetFlagWord(EFlagWord::SysFlags);
        Check(m_hWnd, IDC_MIDDLE_CLICK_NEW_TAB, (sysFlags & SysFlag::MiddleClickLeftToPage) == 0);
        ::SendMessageA(place, CB_SETCURSEL, (sysFlags & SysFlag::MiddleClickForeground) ? kForegroundItem : kBackgroundItem, 0);
    }
    if (const CGestureSettings* gestures = Gestures()) {
        Check(m_hWnd, IDC_ENABLE_GESTURES, gestures->GesturesEnabled());
        for (size_t n = 0; n < gestures->GetGestureCount(); ++n) {
            CRow row;
            CGestureSettings::Entry entry;
            if (gestures->GetGestureEntryAt(n, row.gestureId, entry)) {
                row.name = entry.name;
                row.action = entry.action;
                m_rows.push_back(row);
            }
        }
    }
    if (const CUserActions* userActions = UserActions())
        for (int i = 0; i < kUserActionCount; ++i)
            m_keys[static_cast<size_t>(i)] = userActions->GetAt(i);
    SetUpList();
    SetBoldLabel();
    HWND edit = GetDlgItem(IDC_GESTURE_EDIT);
    if (const CImageListManager* images = GetImageListManager()) {
        if (HIMAGELIST general = images->m_generalSmall) {
            m_editIcon.Attach(::ImageList_GetIcon(general, kEditButtonImage, ILD_NORMAL));
            if (!m_editIcon.IsNull())
                ::SendMessageA(edit, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(static_cast<HICON>(m_editIcon)));
        }
    }
    AddEditToolTip(edit);
    UpdateEnabling();
    return TRUE;
}

// The tool tip is a pop-up, owned by the page's top-level window; the page destroys it with its own
// window (WM_DESTROY), since the Options dialog outlives none of its pages but a host may.
void CMouseActionsPage::AddEditToolTip(HWND edit)
{
    HWND tip = m_editTip = ::CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                                 CW_USEDEFAULT, CW_USEDEFAULT, m_hWnd, nullptr, ::GetModuleHandleA(nullptr), nullptr);
    if (!tip)
        return;
    TTTOOLINFOA tool = {};
    tool.cbSize = sizeof(tool);
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = m_hWnd;
    tool.uId = reinterpret_cast<UINT_PTR>(edit);
    tool.lpszText = const_cast<char*>(Translated("Edit"));
    ::SendMessageA(tip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
}

void CMouseActionsPage::SetUpList()
{
    HWND list = GetDlgItem(IDC_GESTURE_LIST);
    ::SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES | LVS_EX_INFOTIP,
                   LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES | LVS_EX_INFOTIP);
    if (const CImageListManager* images = GetImageListManager())
        if (HIMAGELIST icons = images->m_actionIcons)
            ::SendMessageA(list, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(icons));
    ::SendMessageA(list, LVM_SETITEMCOUNT, m_rows.size(), 0);
    RECT client = {};
    ::GetClientRect(list, &client);
    int width = client.right - client.left;
    // The client area does not yet leave room for the scroll bar the rows will need.
    if (!(::GetWindowLongA(list, GWL_STYLE) & WS_VSCROLL) &&
        static_cast<size_t>(::SendMessageA(list, LVM_GETCOUNTPERPAGE, 0, 0)) < m_rows.size())
        width -= ::GetSystemMetrics(SM_CXVSCROLL);
    const struct {
        const char* title;
        int share;
    } columns[] = {{"Gesture", kGestureColumnShare}, {"Action", kActionColumnShare}};
    for (int i = 0; i < 2; ++i) {
        LVCOLUMNA column = {};
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.pszText = const_cast<char*>(Translated(columns[i].title));
        column.cx = width * columns[i].share / (kGestureColumnShare + kActionColumnShare);
        ::SendMessageA(list, LVM_INSERTCOLUMNA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&column));
    }
}

void CMouseActionsPage::SetBoldLabel()
{
    HFONT font = reinterpret_cast<HFONT>(::SendMessageA(m_hWnd, WM_GETFONT, 0, 0));
    LOGFONTA description = {};
    if (!font || !::GetObjectA(font, sizeof(description), &description))
        return;
    description.lfWeight = FW_BOLD;
    if (m_boldFont.CreateFontIndirect(&description))
        ::SendDlgItemMessageA(m_hWnd, IDC_GESTURE_GROUP_LABEL, WM_SETFONT, reinterpret_cast<WPARAM>(static_cast<HFONT>(m_boldFont)), TRUE);
}

bool CMouseActionsPage::GesturesChecked() const
{
    return Checked(m_hWnd, IDC_ENABLE_GESTURES);
}

int CMouseActionsPage::FirstSelected() const
{
    return static_cast<int>(::SendMessageA(GetDlgItem(IDC_GESTURE_LIST), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

void CMouseActionsPage::UpdateEnabling()
{
    ::EnableWindow(GetDlgItem(IDC_MIDDLE_CLICK_PLACE), Checked(m_hWnd, IDC_MIDDLE_CLICK_NEW_TAB));
    const bool enabled = GesturesChecked();
    HWND list = GetDlgItem(IDC_GESTURE_LIST);
    ::EnableWindow(list, enabled);
    ::EnableWindow(GetDlgItem(IDC_GESTURE_RESTORE_DEFAULTS), enabled);
    ::EnableWindow(GetDlgItem(IDC_GESTURE_EDIT), enabled && FirstSelected() >= 0);
    ::InvalidateRect(list, nullptr, TRUE);
}

std::string CMouseActionsPage::GetActionText(size_t row) const
{
    if (row >= m_rows.size())
        return std::string();
    const int action = m_rows[row].action;
    std::string text = Translated(GetActionName(action));
    if (IsUserActionIndex(action)) {
        const CStdString keys = FormatHotKeyName(static_cast<uint32_t>(m_keys[static_cast<size_t>(action - kFirstUserAction)]));
        if (!keys.IsEmpty())
            text += " [" + std::string(keys.c_str()) + "]";
    }
    return text;
}

LRESULT CMouseActionsPage::OnGetDispInfo(int, NMHDR* header, BOOL&)
{
    auto* info = reinterpret_cast<NMLVDISPINFOA*>(header);
    if (info->item.iItem < 0 || static_cast<size_t>(info->item.iItem) >= m_rows.size())
        return 0;
    const CRow& row = m_rows[static_cast<size_t>(info->item.iItem)];
    if (info->item.mask & LVIF_TEXT) {
        m_dispText = info->item.iSubItem == 0 ? std::string(Translated(row.name ? row.name : ""))
                                              : GetActionText(static_cast<size_t>(info->item.iItem));
        info->item.pszText = const_cast<char*>(m_dispText.c_str());
    }
    if ((info->item.mask & LVIF_IMAGE) && info->item.iSubItem == 0)
        info->item.iImage = ActionIconIndex(row.gestureId);
    return 0;
}

// Only an item that became selected and focused enables the edit button; any other change of
// an item disables it (the list is single-selection).
LRESULT CMouseActionsPage::OnItemChanged(int, NMHDR* header, BOOL&)
{
    const auto* change = reinterpret_cast<const NMLISTVIEW*>(header);
    const UINT both = LVIS_SELECTED | LVIS_FOCUSED;
    const bool selected = (change->uChanged & LVIF_STATE) && (change->uNewState & both) == both;
    ::EnableWindow(GetDlgItem(IDC_GESTURE_EDIT), GesturesChecked() && (selected || FirstSelected() >= 0));
    return 0;
}

LRESULT CMouseActionsPage::OnDoubleClick(int, NMHDR*, BOOL&)
{
    if (::IsWindowEnabled(GetDlgItem(IDC_GESTURE_EDIT)))
        EditSelected();
    return 0;
}

LRESULT CMouseActionsPage::OnCustomDraw(int, NMHDR* header, BOOL&)
{
    auto* draw = reinterpret_cast<NMLVCUSTOMDRAW*>(header);
    if (draw->nmcd.dwDrawStage == CDDS_PREPAINT)
        return Answer(CDRF_NOTIFYITEMDRAW);
    if (draw->nmcd.dwDrawStage == CDDS_ITEMPREPAINT) {
        const size_t row = static_cast<size_t>(draw->nmcd.dwItemSpec);
        draw->clrTextBk = RowBackground(GesturesChecked(), row < m_rows.size() ? m_rows[row].action : kNoGestureAction);
    }
    return Answer(CDRF_DODEFAULT);
}

// The list has no context menu of its own.
LRESULT CMouseActionsPage::OnRightClick(int, NMHDR*, BOOL&)
{
    return Answer(TRUE);
}

LRESULT CMouseActionsPage::OnContextMenu(UINT, WPARAM wParam, LPARAM, BOOL& handled)
{
    handled = reinterpret_cast<HWND>(wParam) == GetDlgItem(IDC_GESTURE_LIST);
    return 0;
}

LRESULT CMouseActionsPage::OnDestroy(UINT, WPARAM, LPARAM, BOOL& handled)
{
    if (m_editTip && ::IsWindow(m_editTip))
        ::DestroyWindow(m_editTip);
    m_editTip = nullptr;
    handled = FALSE;
    return 0;
}

LRESULT CMouseActionsPage::OnMiddleClickBox(WORD, WORD, HWND, BOOL&)
{
    UpdateEnabling();
    return 0;
}

LRESULT CMouseActionsPage::OnEnableBox(WORD, WORD, HWND, BOOL&)
{
    UpdateEnabling();
    return 0;
}

void CMouseActionsPage::EditSelected()
{
    const int selected = FirstSelected();
    if (selected < 0 || static_cast<size_t>(selected) >= m_rows.size())
        return;
    CRow& row = m_rows[static_cast<size_t>(selected)];
    CGestureDlg dialog(row.gestureId, row.name, row.action, m_keys);
    if (dialog.DoModal(m_hWnd) == IDOK) {
        // The keys of a user action show in every row bound to it.
        ::InvalidateRect(GetDlgItem(IDC_GESTURE_LIST), nullptr, TRUE);
        ::EnableWindow(GetDlgItem(IDC_GESTURE_EDIT), TRUE);
    }
}

LRESULT CMouseActionsPage::OnEdit(WORD, WORD, HWND, BOOL&)
{
    EditSelected();
    return 0;
}

void CMouseActionsPage::RestoreDefaults()
{
    for (CRow& row : m_rows)
        row.action = GetDefaultGestureAction(row.gestureId);
    ::InvalidateRect(GetDlgItem(IDC_GESTURE_LIST), nullptr, TRUE);
    ::UpdateWindow(GetDlgItem(IDC_GESTURE_LIST));
}

LRESULT CMouseActionsPage::OnRestoreDefaults(WORD, WORD, HWND, BOOL&)
{
    RestoreDefaults();
    return 0;
}

int CMouseActionsPage::OnApply()
{
    if (CGestureSettings* gestures = Gestures()) {
        const DWORD flags = gestures->GetFlags();
        gestures->SetFlags(GesturesChecked() ? (flags | kGestureFlagEnabled) : (flags & ~kGestureFlagEnabled));
        for (const CRow& row : m_rows)
            if (gestures->GetActionIndex(row.gestureId) != row.action)
                gestures->SetAction(row.gestureId, row.action);
    }
    if (CSettings* settings = Settings()) {
        DWORD sysFlags = settings->GetFlagWord(EFlagWord::SysFlags);
        sysFlags = Checked(m_hWnd, IDC_MIDDLE_CLICK_NEW_TAB) ? (sysFlags & ~SysFlag::MiddleClickLeftToPage)
                                                              : (sysFlags | SysFlag::MiddleClickLeftToPage);
        const bool foreground = ::SendDlgItemMessageA(m_hWnd, IDC_MIDDLE_CLICK_PLACE, CB_GETCURSEL, 0, 0) == kForegroundItem;
        sysFlags = foreground ? (sysFlags | SysFlag::MiddleClickForeground) : (sysFlags & ~SysFlag::MiddleClickForeground);
        settings->SetFlagWord(EFlagWord::SysFlags, sysFlags);
    }
    if (CUserActions* userActions = UserActions())
        for (int i = 0; i < kUserActionCount; ++i)
            userActions->SetAt(i, m_keys[static_cast<size_t>(i)]);
    return 0;
}
