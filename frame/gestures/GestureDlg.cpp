#include "frame/gestures/GestureDlg.h"

#include "controls/ImageListManager.h"
#include "core/app/LanguageManager.h"
#include "frame/gestures/GestureSettings.h"

#include <commctrl.h>

namespace {

constexpr int kProgramIconImage = 5;

const char* Translated(const char* text)
{
    const CLanguageManager* language = GetLanguageManager();
    const char* translated = language ? language->Translate(text) : nullptr;
    return translated ? translated : text;
}

}  // namespace

int ComposeHotKeyCombination(int previous, WORD hotKey)
{
    const int key = LOBYTE(hotKey);
    const int modifiers = HIBYTE(hotKey);
    if (key != 0)
        return (modifiers << 16) | key;
    if (modifiers == 0)
        return 0;
    return previous;
}

WORD HotKeyControlValue(int combination)
{
    return MAKEWORD(combination & 0xFF, (combination >> 16) & 0xFF);
}

LRESULT CGestureDlg::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&)
{
    if (const CImageListManager* images = GetImageListManager()) {
        if (HIMAGELIST tree = images->m_optionIcons) {
            // The dialog keeps the icon until it goes; the system does not free a WM_SETICON icon.
            m_icon.Attach(::ImageList_GetIcon(tree, kProgramIconImage, ILD_NORMAL));
            SetIcon(m_icon, FALSE);
        }
    }
    CenterWindow(GetParent());
    m_localKeys = m_keys;
    FillCombos();
    SelectAction(m_action);
    if (const CLanguageManager* language = GetLanguageManager())
        language->TranslateWindow(m_hWnd);
    return TRUE;
}

void CGestureDlg::FillCombos()
{
    HWND gesture = GetDlgItem(IDC_GESTURE_NAME);
    const CImageListManager* images = GetImageListManager();
    HIMAGELIST icons = images ? static_cast<HIMAGELIST>(images->m_actionIcons) : nullptr;
    if (icons)
        ::SendMessageA(gesture, CBEM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(icons));
    COMBOBOXEXITEMA item = {};
    item.mask = CBEIF_TEXT | (icons ? CBEIF_IMAGE | CBEIF_SELECTEDIMAGE : 0);
    item.iItem = 0;
    item.pszText = const_cast<char*>(Translated(m_gestureName.c_str()));
    item.iImage = item.iSelectedImage = ActionIconIndex(m_gestureId);
    ::SendMessageA(gesture, CBEM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
    ::SendMessageA(gesture, CB_SETCURSEL, 0, 0);

    HWND actions = GetDlgItem(IDC_GESTURE_ACTION);
    for (int action = kNoGestureAction; action < kGestureActionCount; ++action) {
        const LRESULT row = ::SendMessageA(actions, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Translated(GetActionName(action))));
        if (row >= 0)
            ::SendMessageA(actions, CB_SETITEMDATA, static_cast<WPARAM>(row), static_cast<LPARAM>(action));
    }
}

int CGestureDlg::GetSelectedAction() const
{
    HWND actions = GetDlgItem(IDC_GESTURE_ACTION);
    const LRESULT row = ::SendMessageA(actions, CB_GETCURSEL, 0, 0);
    if (row < 0)
        return kNoGestureAction;
    return static_cast<int>(::SendMessageA(actions, CB_GETITEMDATA, static_cast<WPARAM>(row), 0));
}

// The item is searched from the end, so an action outside the table selects "* Unmapped *" only
// when nothing else matches; with no match at all nothing is selected, which reads as no action.
void CGestureDlg::SelectAction(int action)
{
    HWND actions = GetDlgItem(IDC_GESTURE_ACTION);
    const int count = static_cast<int>(::SendMessageA(actions, CB_GETCOUNT, 0, 0));
    const int wanted = (action >= 0 && action < kGestureActionCount) ? action : kNoGestureAction;
    for (int row = count - 1; row >= 0; --row) {
        if (static_cast<int>(::SendMessageA(actions, CB_GETITEMDATA, static_cast<WPARAM>(row), 0)) == wanted) {
            ::SendMessageA(actions, CB_SETCURSEL, static_cast<WPARAM>(row), 0);
            break;
        }
    }
    ShowKeys();
}

void CGestureDlg::ShowKeys()
{
    HWND hotKey = GetDlgItem(IDC_GESTURE_HOT_KEY);
    const int action = GetSelectedAction();
    m_showingKeys = true;
    if (IsUserActionIndex(action)) {
        ::SendMessageA(hotKey, HKM_SETHOTKEY, HotKeyControlValue(m_localKeys[action - kFirstUserAction]), 0);
        ::EnableWindow(hotKey, TRUE);
    } else {
        ::SendMessageA(hotKey, HKM_SETHOTKEY, 0, 0);
        ::EnableWindow(hotKey, FALSE);
    }
    m_showingKeys = false;
}

void CGestureDlg::TakeHotKey(WORD hotKey)
{
    const int action = GetSelectedAction();
    if (m_showingKeys || !IsUserActionIndex(action))
        return;
    int& stored = m_localKeys[action - kFirstUserAction];
    stored = ComposeHotKeyCombination(stored, hotKey);
}

LRESULT CGestureDlg::OnActionChanged(WORD, WORD, HWND, BOOL&)
{
    ShowKeys();
    return 0;
}

LRESULT CGestureDlg::OnHotKeyChanged(WORD, WORD, HWND control, BOOL&)
{
    TakeHotKey(static_cast<WORD>(::SendMessageA(control, HKM_GETHOTKEY, 0, 0)));
    return 0;
}

LRESULT CGestureDlg::OnRestoreDefault(WORD, WORD, HWND, BOOL&)
{
    SelectAction(GetDefaultGestureAction(m_gestureId));
    return 0;
}

LRESULT CGestureDlg::OnOk(WORD, WORD, HWND, BOOL&)
{
    m_action = GetSelectedAction();
    m_keys = m_localKeys;
    EndDialog(IDOK);
    return 0;
}

LRESULT CGestureDlg::OnCancel(WORD, WORD, HWND, BOOL&)
{
    EndDialog(IDCANCEL);
    return 0;
}
