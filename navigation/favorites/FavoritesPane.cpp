#include "navigation/favorites/FavoritesPane.h"

#include "core/app/LanguageManager.h"
#include "navigation/favorites/FavoritesResources.h"

namespace {
constexpr DWORD kPaneToolBarStyle = WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | TBSTYLE_FLAT | TBSTYLE_LIST |
                                    TBSTYLE_TRANSPARENT | TBSTYLE_TOOLTIPS | CCS_NODIVIDER | CCS_NOPARENTALIGN | CCS_NORESIZE;
constexpr int kPaneMargin = 2;
}  // namespace

CShellTreePane::CShellTreePane(EShellTreeKind kind, CFavIconCache* icons) : m_kind(kind), m_tree(kind, icons) {}

HWND CShellTreePane::Create(HWND parent, UINT id)
{
    const char* caption = m_kind == EShellTreeKind::History ? "History" : "Favorites";
    return CWindowImpl<CShellTreePane>::Create(parent, CRect(0, 0, 220, 400), TranslateText(caption).c_str(),
                                               WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, id);
}

void CShellTreePane::CreateToolBar()
{
    HWND toolBar = ::CreateWindowExA(0, TOOLBARCLASSNAMEA, "", kPaneToolBarStyle, 0, 0, 100, 24, m_hWnd,
                                     reinterpret_cast<HMENU>(static_cast<UINT_PTR>(kFavoritesPaneToolBarId)),
                                     ::GetModuleHandleA(nullptr), nullptr);
    if (!toolBar)
        return;
    m_toolBar = toolBar;
    m_toolBar.SendMessage(TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    m_toolBar.SendMessage(TB_SETEXTENDEDSTYLE, 0, TBSTYLE_EX_DRAWDDARROWS | TBSTYLE_EX_MIXEDBUTTONS);
    const std::string add = TranslateText("Add...").c_str();
    const std::string organize = TranslateText("Organize...").c_str();
    TBBUTTON buttons[2] = {};
    buttons[0].iBitmap = I_IMAGENONE;
    buttons[0].idCommand = static_cast<int>(kAddToFavoritesCommand);
    buttons[0].fsState = TBSTATE_ENABLED;
    buttons[0].fsStyle = BTNS_AUTOSIZE | BTNS_SHOWTEXT;
    buttons[0].iString = reinterpret_cast<INT_PTR>(add.c_str());
    buttons[1] = buttons[0];
    buttons[1].idCommand = static_cast<int>(kOrganizeFavoritesCommand);
    buttons[1].iString = reinterpret_cast<INT_PTR>(organize.c_str());
    m_toolBar.SendMessage(TB_ADDBUTTONSA, 2, reinterpret_cast<LPARAM>(buttons));
    m_toolBar.SendMessage(TB_AUTOSIZE, 0, 0);
    RECT first = {};
    m_toolBar.SendMessage(TB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&first));
    m_toolBarHeight = first.bottom - first.top + 2;
}

LRESULT CShellTreePane::OnCreate(UINT, WPARAM, LPARAM, BOOL&)
{
    if (m_kind == EShellTreeKind::Favorites)
        CreateToolBar();
    if (!m_tree.Create(m_hWnd, kFavoritesPaneTreeId))
        return -1;
    return 0;
}

LRESULT CShellTreePane::OnSize(UINT, WPARAM, LPARAM lParam, BOOL&)
{
    const int width = LOWORD(lParam);
    const int height = HIWORD(lParam);
    int top = 0;
    if (m_toolBar.m_hWnd) {
        m_toolBar.MoveWindow(kPaneMargin, kPaneMargin, std::max(width - 2 * kPaneMargin, 0), m_toolBarHeight);
        top = kPaneMargin + m_toolBarHeight;
    }
    if (m_tree.IsWindow())
        m_tree.MoveWindow(1, top, std::max(width - 2, 0), std::max(height - top - 1, 0));
    return 0;
}

LRESULT CShellTreePane::OnSetFocus(UINT, WPARAM, LPARAM, BOOL&)
{
    if (m_tree.IsWindow())
        m_tree.SetFocus();
    return 0;
}

LRESULT CShellTreePane::OnCommand(UINT, WPARAM wParam, LPARAM, BOOL& handled)
{
    const UINT id = LOWORD(wParam);
    if (id == kAddToFavoritesCommand || id == kOrganizeFavoritesCommand) {
        // The frame does these: sent on to the top-level window as the same commands.
        if (HWND frame = ::GetAncestor(m_hWnd, GA_ROOT); frame && frame != m_hWnd)
            ::SendMessageA(frame, WM_COMMAND, MAKEWPARAM(id, 0), 0);
        return 0;
    }
    if (id == kRefreshFavoritesCommand) {
        RefreshTree();
        return 0;
    }
    handled = FALSE;
    return 0;
}

LRESULT CShellTreePane::OnNotify(UINT, WPARAM, LPARAM lParam, BOOL& handled)
{
    LRESULT result = 0;
    if (m_tree.HandleNotify(reinterpret_cast<const NMHDR*>(lParam), result))
        return result;
    handled = FALSE;
    return 0;
}

void CShellTreePane::RefreshTree()
{
    UpdateWindow();
    m_tree.Refresh();
}

bool CShellTreePane::PreTranslateMessage(const MSG* message) const
{
    if (!message || (message->message != WM_KEYDOWN && message->message != WM_SYSKEYDOWN && message->message != WM_SYSKEYUP))
        return false;
    if (!m_tree.m_hWnd)
        return false;
    HWND editor = reinterpret_cast<HWND>(::SendMessageA(m_tree.m_hWnd, TVM_GETEDITCONTROL, 0, 0));
    if (editor && message->hwnd == editor)
        return true;
    const bool visible = ::IsWindowVisible(m_tree.m_hWnd) != FALSE;
    if (message->wParam == VK_F5 && visible && (message->hwnd == m_hWnd || ::IsChild(m_hWnd, message->hwnd)))
        return true;
    if (message->hwnd != m_tree.m_hWnd || !visible)
        return false;
    switch (message->wParam) {
    case VK_UP: case VK_DOWN: case VK_LEFT: case VK_RIGHT: case VK_PRIOR: case VK_NEXT:
    case VK_HOME: case VK_END: case VK_RETURN: case VK_SPACE:
        return true;
    default:
        return false;
    }
}
