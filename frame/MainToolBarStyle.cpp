#include "frame/MainToolBarStyle.h"

#include "controls/ImageListManager.h"
#include "controls/ToolBarHelpers.h"
#include "controls/ToolBarLayout.h"
#include "core/app/LanguageManager.h"
#include "core/app/SettingsStore.h"

#include <algorithm>

namespace {

constexpr int kMaxButtonText = 255;
constexpr int kTextOptionCount = 3;
constexpr int kIconOptionCount = 2;
constexpr int kMaxTextRows = 2;
constexpr DWORD kOptionMask = 0xFFFF;
constexpr int kIconOptionShift = 16;
// Steps 4 and 5 of applying run twice: the sizes settle only after the first pass.
constexpr int kApplyPasses = 2;

constexpr const char* kTextOptionNames[kTextOptionCount] = {"No text labels", "Show text labels",
                                                            "Selective text on right"};
constexpr const char* kIconOptionNames[kIconOptionCount] = {"Small icons", "Large icons"};

// TBN_INITCUSTOMIZE's record: the header and the customise dialog.
struct CCustomizeDialogNotify {
    NMHDR header;
    HWND dialog;
};

std::vector<TBBUTTON> ReadButtons(HWND toolBar)
{
    std::vector<TBBUTTON> buttons;
    const int count = static_cast<int>(::SendMessageA(toolBar, TB_BUTTONCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        TBBUTTON button = {};
        if (::SendMessageA(toolBar, TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&button)))
            buttons.push_back(button);
    }
    return buttons;
}

void DeleteAllButtons(HWND toolBar)
{
    while (::SendMessageA(toolBar, TB_BUTTONCOUNT, 0, 0) > 0)
        if (!::SendMessageA(toolBar, TB_DELETEBUTTON, 0, 0))
            break;
}

}  // namespace

DWORD EncodeMainToolBarStyle(int iconOption, int textOption)
{
    return (static_cast<DWORD>(iconOption) << kIconOptionShift) | (static_cast<DWORD>(textOption) & kOptionMask);
}

void DecodeMainToolBarStyle(DWORD value, int& iconOption, int& textOption)
{
    iconOption = static_cast<int>(value >> kIconOptionShift);
    textOption = static_cast<int>(value & kOptionMask);
    if (iconOption < 0 || iconOption >= kIconOptionCount)
        iconOption = kToolBarSmallIcons;
    if (textOption < 0 || textOption >= kTextOptionCount)
        textOption = kToolBarNoText;
}

CMainToolBarStyle::CMainToolBarStyle(const ToolBarButtonInfo* table, size_t count, std::vector<UINT> selectiveText,
                                     const char* section, const char* layoutValue)
    : m_table(table), m_count(count), m_selectiveText(std::move(selectiveText)), m_section(section),
      m_layoutValue(layoutValue)
{
}

CMainToolBarStyle::~CMainToolBarStyle() = default;

void CMainToolBarStyle::Load()
{
    const DWORD stored = GetSettingsStore()->GetInt(m_section, kMainToolBarStyleValue, kDefaultMainToolBarStyle);
    DecodeMainToolBarStyle(stored, m_iconOption, m_textOption);
}

void CMainToolBarStyle::SetUp(HWND toolBar, std::function<void()> relayout)
{
    m_toolBar = toolBar;
    m_relayout = std::move(relayout);
    if (!m_toolBar)
        return;
    ::SetWindowLongPtrA(m_toolBar, GWL_STYLE, ::GetWindowLongPtrA(m_toolBar, GWL_STYLE) | CCS_ADJUSTABLE);
    ::SendMessageA(m_toolBar, TB_ADDSTRINGA, 0, reinterpret_cast<LPARAM>("\0"));
    ApplyStyle();
}

CStdString CMainToolBarStyle::ButtonText(UINT command)
{
    char text[kMaxButtonText + 1] = {};
    if (!command || !LoadCommandStringA(kMaxButtonText + 1, text, command, true))
        return CStdString();
    CStdString translated = TranslateText(text);
    if (translated.size() > kMaxButtonText)
        translated.resize(kMaxButtonText);
    return translated;
}

bool CMainToolBarStyle::IsSelective(UINT command) const
{
    return std::find(m_selectiveText.begin(), m_selectiveText.end(), command) != m_selectiveText.end();
}

void CMainToolBarStyle::ApplyImages()
{
    CImageListManager* images = GetImageListManager();
    if (!images)
        return;
    const bool large = m_iconOption == kToolBarLargeIcons;
    HIMAGELIST normal = images->GetList(large ? kSlotToolBarLarge : kSlotToolBarSmall);
    int cx = 16;
    int cy = 16;
    if (normal)
        ImageList_GetIconSize(normal, &cx, &cy);
    // Wine's toolbar draws nothing when its images differ from its bitmap size: the size goes first.
    ::SendMessageA(m_toolBar, TB_SETBITMAPSIZE, 0, MAKELPARAM(cx, cy));
    ::SendMessageA(m_toolBar, TB_SETBUTTONSIZE, 0, MAKELPARAM(cx + 1, cy + 1));
    ::SendMessageA(m_toolBar, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(normal));
    ::SendMessageA(m_toolBar, TB_SETDISABLEDIMAGELIST, 0,
                   reinterpret_cast<LPARAM>(images->GetList(large ? kSlotToolBarLargeDisabled : kSlotToolBarSmallDisabled)));
    ::SendMessageA(m_toolBar, TB_SETHOTIMAGELIST, 0,
                   reinterpret_cast<LPARAM>(large ? images->GetList(kSlotToolBarLargeHot) : nullptr));
}

// Every button is taken out and put back with the text the option gives it; the toolbar keeps a
// copy of each text.
void CMainToolBarStyle::RebuildButtons()
{
    std::vector<TBBUTTON> buttons = ReadButtons(m_toolBar);
    std::vector<CStdString> texts(buttons.size());
    for (size_t i = 0; i < buttons.size(); ++i) {
        TBBUTTON& button = buttons[i];
        if (button.fsStyle & BTNS_SEP)
            continue;
        const UINT command = static_cast<UINT>(button.idCommand);
        texts[i] = m_textOption == kToolBarNoText ? CStdString() : ButtonText(command);
        button.fsStyle &= static_cast<BYTE>(~(BTNS_SHOWTEXT | BTNS_AUTOSIZE));
        if (m_textOption == kToolBarSelectiveTextRight && IsSelective(command))
            button.fsStyle |= static_cast<BYTE>(texts[i].empty() ? BTNS_AUTOSIZE : (BTNS_SHOWTEXT | BTNS_AUTOSIZE));
        button.iString = texts[i].empty() ? -1 : reinterpret_cast<INT_PTR>(texts[i].c_str());
    }
    DeleteAllButtons(m_toolBar);
    for (const TBBUTTON& button : buttons)
        ::SendMessageA(m_toolBar, TB_ADDBUTTONSA, 1, reinterpret_cast<LPARAM>(&button));
    ::SendMessageA(m_toolBar, TB_AUTOSIZE, 0, 0);
    SizeBandToToolBar(m_toolBar);
    if (m_relayout)
        m_relayout();
}

void CMainToolBarStyle::ApplyStyle()
{
    if (!m_toolBar || !::IsWindow(m_toolBar))
        return;
    ApplyImages();
    LONG_PTR style = ::GetWindowLongPtrA(m_toolBar, GWL_STYLE);
    DWORD extended = static_cast<DWORD>(::SendMessageA(m_toolBar, TB_GETEXTENDEDSTYLE, 0, 0));
    if (m_textOption == kToolBarSelectiveTextRight) {
        style |= TBSTYLE_LIST;
        extended |= TBSTYLE_EX_MIXEDBUTTONS;
    } else {
        style &= ~static_cast<LONG_PTR>(TBSTYLE_LIST);
        extended &= ~static_cast<DWORD>(TBSTYLE_EX_MIXEDBUTTONS);
    }
    ::SetWindowLongPtrA(m_toolBar, GWL_STYLE, style);
    ::SendMessageA(m_toolBar, TB_SETEXTENDEDSTYLE, 0, extended);
    ::SendMessageA(m_toolBar, TB_SETMAXTEXTROWS, m_textOption == kToolBarNoText ? 0 : kMaxTextRows, 0);
    for (int pass = 0; pass < kApplyPasses; ++pass)
        RebuildButtons();
}

void CMainToolBarStyle::Save() const
{
    GetSettingsStore()->WriteInt(m_section, kMainToolBarStyleValue, EncodeMainToolBarStyle(m_iconOption, m_textOption));
    if (m_toolBar && ::IsWindow(m_toolBar))
        SaveToolBarLayout(m_toolBar, m_section, m_layoutValue);
}

void CMainToolBarStyle::ResetToDefault()
{
    std::vector<TBBUTTON> buttons;
    BuildToolBarButtons(buttons, {}, static_cast<int>(m_count), m_table);
    DeleteAllButtons(m_toolBar);
    if (!buttons.empty())
        ::SendMessageA(m_toolBar, TB_ADDBUTTONSA, buttons.size(), reinterpret_cast<LPARAM>(buttons.data()));
    ApplyStyle();
}

bool CMainToolBarStyle::FillButtonInfo(int index, TBBUTTON& button, CStdString& text) const
{
    if (index < 0 || static_cast<size_t>(index) >= m_count)
        return false;
    const ToolBarButtonInfo& entry = m_table[index];
    button = {};
    button.iBitmap = entry.image;
    button.idCommand = entry.command;
    button.fsState = static_cast<BYTE>(entry.state | TBSTATE_ENABLED);
    button.fsStyle = entry.style;
    button.iString = -1;
    text = entry.command ? ButtonText(static_cast<UINT>(entry.command)) : CStdString();
    return true;
}

HWND CMainToolBarStyle::GetOptionsPanel() const
{
    return m_panel && m_panel->m_hWnd && ::IsWindow(m_panel->m_hWnd) ? m_panel->m_hWnd : nullptr;
}

// The panel goes below everything the dialog shows, which grows by its height: the layout of the
// system's customise dialog differs between Windows and Wine.
void CMainToolBarStyle::InsertPanel(HWND customizeDialog)
{
    if (!customizeDialog || !::IsWindow(customizeDialog))
        return;
    if (m_panel && m_panel->m_hWnd)
        m_panel->DestroyWindow();
    m_panel = std::make_unique<CToolBarOptionsPanel>(*this);
    HWND panel = m_panel->Create(customizeDialog);
    if (!panel)
        return;
    RECT panelRect = {};
    ::GetWindowRect(panel, &panelRect);
    const int height = panelRect.bottom - panelRect.top;
    RECT client = {};
    ::GetClientRect(customizeDialog, &client);
    RECT window = {};
    ::GetWindowRect(customizeDialog, &window);
    ::SetWindowPos(customizeDialog, nullptr, 0, 0, window.right - window.left, window.bottom - window.top + height,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    ::SetWindowPos(panel, HWND_BOTTOM, 0, client.bottom, client.right, height, SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

bool CMainToolBarStyle::HandleNotify(const NMHDR& header, LRESULT& result)
{
    if (!m_toolBar || header.hwndFrom != m_toolBar)
        return false;
    result = 0;
    switch (header.code) {
    case TBN_INITCUSTOMIZE:
        InsertPanel(reinterpret_cast<const CCustomizeDialogNotify&>(header).dialog);
        result = TBNRF_HIDEHELP;
        return true;
    case TBN_GETBUTTONINFOA: {
        auto& info = const_cast<NMTOOLBARA&>(reinterpret_cast<const NMTOOLBARA&>(header));
        CStdString text;
        if (!FillButtonInfo(info.iItem, info.tbButton, text))
            return true;
        if (info.pszText && info.cchText > 0)
            lstrcpynA(info.pszText, text.c_str(), info.cchText);
        result = TRUE;
        return true;
    }
    case TBN_GETBUTTONINFOW: {
        auto& info = const_cast<NMTOOLBARW&>(reinterpret_cast<const NMTOOLBARW&>(header));
        CStdString text;
        if (!FillButtonInfo(info.iItem, info.tbButton, text))
            return true;
        if (info.pszText && info.cchText > 0)
            ::MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, info.pszText, info.cchText);
        if (info.pszText && info.cchText > 0)
            info.pszText[info.cchText - 1] = L'\0';
        result = TRUE;
        return true;
    }
    case TBN_QUERYINSERT:
    case TBN_QUERYDELETE:
        result = TRUE;
        return true;
    case TBN_BEGINADJUST:
    case TBN_TOOLBARCHANGE:
    case TBN_SAVE:
    case TBN_RESTORE:
        return true;
    case TBN_ENDADJUST:
        ApplyStyle();
        Save();
        return true;
    case TBN_RESET:
        ResetToDefault();
        return true;
    default:
        return false;
    }
}

LRESULT CToolBarOptionsPanel::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&)
{
    HWND text = GetDlgItem(IDC_TOOLBAR_TEXT_OPTIONS);
    for (const char* name : kTextOptionNames)
        ::SendMessageA(text, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(TranslateText(name).c_str()));
    HWND icons = GetDlgItem(IDC_TOOLBAR_ICON_OPTIONS);
    for (const char* name : kIconOptionNames)
        ::SendMessageA(icons, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(TranslateText(name).c_str()));
    int textOption = m_style.GetTextOption();
    int iconOption = m_style.GetIconOption();
    DecodeMainToolBarStyle(EncodeMainToolBarStyle(iconOption, textOption), iconOption, textOption);
    m_style.SetTextOption(textOption);
    m_style.SetIconOption(iconOption);
    ::SendMessageA(text, CB_SETCURSEL, textOption, 0);
    ::SendMessageA(icons, CB_SETCURSEL, iconOption, 0);
    for (int id : {IDC_TOOLBAR_TEXT_LABEL, IDC_TOOLBAR_ICON_LABEL}) {
        char label[64] = {};
        GetDlgItemTextA(id, label, sizeof(label));
        SetDlgItemTextA(id, TranslateText(label).c_str());
    }
    return FALSE;
}

LRESULT CToolBarOptionsPanel::OnSelChange(WORD, WORD id, HWND control, BOOL& handled)
{
    const int chosen = static_cast<int>(::SendMessageA(control, CB_GETCURSEL, 0, 0));
    if (chosen < 0) {
        handled = FALSE;
        return 0;
    }
    if (id == IDC_TOOLBAR_TEXT_OPTIONS)
        m_style.SetTextOption(chosen);
    else if (id == IDC_TOOLBAR_ICON_OPTIONS)
        m_style.SetIconOption(chosen);
    else
        handled = FALSE;
    return 0;
}
