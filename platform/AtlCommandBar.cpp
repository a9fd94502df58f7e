#include "platform/AtlCommandBar.h"

#include "platform/AtlGdi.h"
#include "platform/Diagnostics.h"

#include <algorithm>
#include <cctype>
#include <cstring>


namespace {

// The signed coordinates packed into a mouse message (windowsx.h would also bring SubclassWindow
// as a macro, which the window classes' method of that name cannot live with).
int XFromLParam(LPARAM lParam)
{
    return static_cast<short>(LOWORD(lParam));
}
int YFromLParam(LPARAM lParam)
{
    return static_cast<short>(HIWORD(lParam));
}

// The keyboard message's bit for a key that was already down (auto-repeat).
constexpr LPARAM kKeyRepeatBit = 0x40000000;
// What the menu loop answers in HIWORD(wParam) of WM_MENUSELECT when the menu closes.
constexpr WORD kMenuClosedFlags = 0xFFFF;
// The space around the maximised child's icon and between its caption buttons.
constexpr int kMdiIconMargin = 2;
constexpr int kMdiButtonGap = 2;

// The bars of this thread, for the message hook that watches their frames' keys.
struct CThreadBars {
    HHOOK hook = nullptr;
    std::vector<CCommandBarCtrlImpl*> bars; // not owned: each bar removes itself when its window goes
};
thread_local CThreadBars t_bars;
// The bar whose popup is open on this thread, for the menu loop's message filter.
thread_local CCommandBarCtrlImpl* t_trackingBar = nullptr;

bool IsKeyboardOrClick(UINT message)
{
    return (message >= WM_KEYFIRST && message <= WM_KEYLAST) || message == WM_LBUTTONDOWN ||
           message == WM_RBUTTONDOWN || message == WM_MBUTTONDOWN || message == WM_NCLBUTTONDOWN ||
           message == WM_NCRBUTTONDOWN;
}

LRESULT CALLBACK GetMessageHookProc(int code, WPARAM wParam, LPARAM lParam)
{
    try {
        if (code == HC_ACTION && wParam == PM_REMOVE && lParam) {
            MSG& msg = *reinterpret_cast<MSG*>(lParam);
            if (IsKeyboardOrClick(msg.message) && msg.hwnd) {
                HWND root = ::GetAncestor(msg.hwnd, GA_ROOT);
                // A copy: a bar may go while it handles the message.
                const std::vector<CCommandBarCtrlImpl*> bars = t_bars.bars;
                for (CCommandBarCtrlImpl* bar : bars) {
                    if (bar->m_hWnd && ::GetAncestor(bar->m_hWnd, GA_ROOT) == root && bar->OnKeyboardMessage(msg)) {
                        msg.message = WM_NULL; // used up: the window never sees it
                        break;
                    }
                }
            }
        }
    } catch (...) {
        ReportCaughtException("command bar message hook");
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK MenuFilterHookProc(int code, WPARAM wParam, LPARAM lParam)
{
    try {
        if (code == MSGF_MENU && lParam && t_trackingBar &&
            t_trackingBar->OnMenuMessage(*reinterpret_cast<const MSG*>(lParam)))
            return TRUE;
    } catch (...) {
        ReportCaughtException("command bar menu filter");
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

// The message filter hook for the length of one popup, and the bar it serves.
class CMenuFilterScope {
public:
    explicit CMenuFilterScope(CCommandBarCtrlImpl* bar) noexcept : m_outer(t_trackingBar)
    {
        t_trackingBar = bar;
        m_hook = ::SetWindowsHookExA(WH_MSGFILTER, MenuFilterHookProc, nullptr, ::GetCurrentThreadId());
    }
    ~CMenuFilterScope()
    {
        if (m_hook)
            ::UnhookWindowsHookEx(m_hook);
        t_trackingBar = m_outer;
    }
    CMenuFilterScope(const CMenuFilterScope&) = delete;
    CMenuFilterScope& operator=(const CMenuFilterScope&) = delete;

private:
    CCommandBarCtrlImpl* m_outer; // not owned
    HHOOK m_hook = nullptr;
};

bool IsReBar(HWND window)
{
    char name[32] = {};
    ::GetClassNameA(window, name, sizeof(name));
    return ::lstrcmpiA(name, REBARCLASSNAMEA) == 0;
}

// The whole text of a menu item, read at its own length.
std::string MenuItemText(HMENU menu, int position)
{
    CMenuItemInfo info;
    info.fMask = MIIM_STRING;
    if (!::GetMenuItemInfoA(menu, position, TRUE, &info) || info.cch == 0)
        return {};
    std::string text(info.cch + 1, '\0');
    info.dwTypeData = text.data();
    info.cch = static_cast<UINT>(text.size());
    if (!::GetMenuItemInfoA(menu, position, TRUE, &info))
        return {};
    text.resize(std::strlen(text.c_str()));
    return text;
}

} // namespace

char AtlMenuMnemonic(const char* text) noexcept
{
    if (!text)
        return 0;
    for (const char* p = text; *p; ++p) {
        if (*p != '&')
            continue;
        if (p[1] == '&') {
            ++p;
            continue;
        }
        return p[1] ? static_cast<char>(std::tolower(static_cast<unsigned char>(p[1]))) : 0;
    }
    return 0;
}

// ---------------------------------------------------------------------------------------------

CCommandBarCtrlImpl::CCommandBarCtrlImpl() = default;

CCommandBarCtrlImpl::~CCommandBarCtrlImpl()
{
    auto& bars = t_bars.bars;
    bars.erase(std::remove(bars.begin(), bars.end(), this), bars.end());
    if (bars.empty() && t_bars.hook) {
        ::UnhookWindowsHookEx(t_bars.hook);
        t_bars.hook = nullptr;
    }
    if (t_trackingBar == this)
        t_trackingBar = nullptr;
}

HWND CCommandBarCtrlImpl::Create(HWND parent, _U_RECT rect, LPCSTR name, DWORD style, DWORD exStyle, UINT id) noexcept
{
    return CWindowImpl<CCommandBarCtrlImpl, CToolBarCtrl>::Create(parent, rect, name, style, exStyle, id);
}

LRESULT CCommandBarCtrlImpl::OnCreate(UINT message, WPARAM wParam, LPARAM lParam, BOOL&)
{
    const LRESULT result = DefWindowProc(message, wParam, lParam);
    if (result == -1)
        return -1;
    SendMessage(TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON));
    // The items are text only; no room is kept for images.
    SendMessage(TB_SETBITMAPSIZE, 0, MAKELPARAM(0, 0));
    SendMessage(TB_SETDRAWTEXTFLAGS, DT_HIDEPREFIX, DT_HIDEPREFIX);

    // Commands go to the frame, also when the bar stands in the frame's rebar.
    HWND parent = ::GetParent(m_hWnd);
    m_hWndTarget = parent && IsReBar(parent) ? ::GetParent(parent) : parent;
    if (m_hWndTarget)
        m_wndParent.SubclassWindow(m_hWndTarget);

    t_bars.bars.push_back(this);
    if (!t_bars.hook)
        t_bars.hook = ::SetWindowsHookExA(WH_GETMESSAGE, GetMessageHookProc, nullptr, ::GetCurrentThreadId());
    return result;
}

LRESULT CCommandBarCtrlImpl::OnDestroy(UINT, WPARAM, LPARAM, BOOL& handled)
{
    if (m_wndParent.m_hWnd)
        m_wndParent.UnsubclassWindow(TRUE);
    auto& bars = t_bars.bars;
    bars.erase(std::remove(bars.begin(), bars.end(), this), bars.end());
    if (bars.empty() && t_bars.hook) {
        ::UnhookWindowsHookEx(t_bars.hook);
        t_bars.hook = nullptr;
    }
    handled = FALSE;
    return 0;
}

bool CCommandBarCtrlImpl::IsBarItem(HMENU menu, int position) const
{
    CMenuItemInfo info;
    info.fMask = MIIM_FTYPE;
    return ::GetMenuItemInfoA(menu, position, TRUE, &info) && !(info.fType & (MFT_SEPARATOR | MFT_BITMAP));
}

BOOL CCommandBarCtrlImpl::AttachMenu(HMENU menu)
{
    if (!m_hWnd || (menu && !::IsMenu(menu)))
        return FALSE;
    if (m_trackingItem >= 0)
        return FALSE; // the open popup belongs to the menu that is there
    LeaveKeyboardMode();
    while (SendMessage(TB_BUTTONCOUNT) > 0)
        SendMessage(TB_DELETEBUTTON, 0);
    m_items.clear();
    m_hMenu = menu;
    if (menu) {
        const int count = ::GetMenuItemCount(menu);
        for (int position = 0; position < count; ++position) {
            if (!IsBarItem(menu, position))
                continue;
            CMenuItemInfo info;
            info.fMask = MIIM_STATE | MIIM_ID | MIIM_SUBMENU;
            ::GetMenuItemInfoA(menu, position, TRUE, &info);
            CItem item;
            item.text = MenuItemText(menu, position);
            item.mnemonic = AtlMenuMnemonic(item.text.c_str());
            item.enabled = !(info.fState & MFS_GRAYED);
            item.popup = info.hSubMenu;
            item.command = info.hSubMenu ? 0 : info.wID;
            m_items.push_back(std::move(item));
        }
    }
    for (size_t i = 0; i < m_items.size(); ++i) {
        TBBUTTON button = {};
        button.iBitmap = I_IMAGENONE;
        button.idCommand = kCommandBarFirstButtonId + static_cast<int>(i);
        button.fsState = static_cast<BYTE>(m_items[i].enabled ? TBSTATE_ENABLED : 0);
        button.fsStyle = BTNS_BUTTON | BTNS_AUTOSIZE;
        button.dwData = i;
        button.iString = reinterpret_cast<INT_PTR>(m_items[i].text.c_str());
        SendMessage(TB_ADDBUTTONSA, 1, reinterpret_cast<LPARAM>(&button));
    }
    SendMessage(TB_AUTOSIZE);
    OnBarItemsChanged();
    Invalidate();
    return TRUE;
}

int CCommandBarCtrlImpl::FindMnemonic(char ch) const noexcept
{
    const char lower = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    if (!lower)
        return -1;
    for (size_t i = 0; i < m_items.size(); ++i)
        if (m_items[i].mnemonic == lower && m_items[i].enabled)
            return static_cast<int>(i);
    return -1;
}

int CCommandBarCtrlImpl::NextEnabledItem(int index, int step) const
{
    const int count = GetItemCount();
    if (count == 0)
        return -1;
    int next = index < 0 ? (step > 0 ? -1 : 0) : index;
    for (int tries = 0; tries < count; ++tries) {
        next = (next + step + count) % count;
        if (m_items[next].enabled)
            return next;
    }
    return index;
}

RECT CCommandBarCtrlImpl::GetItemScreenRect(int index) const
{
    RECT rect = {};
    SendMessage(TB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&rect));
    ::MapWindowPoints(m_hWnd, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

void CCommandBarCtrlImpl::SetHot(int index)
{
    m_hotItem = index;
    SendMessage(TB_SETHOTITEM, static_cast<WPARAM>(index));
    Invalidate();
}

void CCommandBarCtrlImpl::PressItem(int index, bool press)
{
    if (index >= 0 && index < GetItemCount())
        SendMessage(TB_PRESSBUTTON, kCommandBarFirstButtonId + index, MAKELPARAM(press ? TRUE : FALSE, 0));
}

void CCommandBarCtrlImpl::EnterKeyboardMode(int hotItem)
{
    if (m_items.empty())
        return;
    m_keyboardMode = true;
    m_showCues = true;
    SendMessage(TB_SETDRAWTEXTFLAGS, DT_HIDEPREFIX, 0);
    SetHot(hotItem >= 0 && hotItem < GetItemCount() ? hotItem : NextEnabledItem(-1, 1));
}

void CCommandBarCtrlImpl::LeaveKeyboardMode()
{
    const bool was = m_keyboardMode || m_showCues;
    m_keyboardMode = false;
    m_showCues = false;
    m_altAlone = m_f10Alone = false;
    if (!m_hWnd || !was)
        return;
    SendMessage(TB_SETDRAWTEXTFLAGS, DT_HIDEPREFIX, DT_HIDEPREFIX);
    SetHot(-1);
}

UINT CCommandBarCtrlImpl::DoTrackPopupMenu(HMENU menu, UINT flags, int x, int y, LPTPMPARAMS params)
{
    const BOOL result = ::TrackPopupMenuEx(menu, flags, x, y, m_hWnd, params);
    // Wine answers -1 or -2 for a track ended with a submenu open; no command has the high bit set.
    return result < 0 ? 0 : static_cast<UINT>(result);
}

// Opens the item's popup and goes on with the next one as long as the user moves to another item
// (mouse over another button, Left or Right at the top popup). A top-level item without a popup
// is a command of its own.
void CCommandBarCtrlImpl::OpenItem(int index, bool fromKeyboard)
{
    if (m_trackingItem >= 0 || t_trackingBar)
        return;
    m_keyboardMode = false;
    bool keyboard = fromKeyboard;
    while (index >= 0 && index < GetItemCount() && m_items[index].enabled) {
        const CItem& item = m_items[index];
        if (!item.popup) {
            if (m_hWndTarget && item.command)
                ::PostMessageA(m_hWndTarget, WM_COMMAND, MAKEWPARAM(item.command, 0), 0);
            break;
        }
        m_trackingItem = index;
        m_nextItem = -1;
        m_escapeToBar = false;
        m_eatClick = false;
        m_trackedPopup = item.popup;
        m_selectedMenu = item.popup;
        m_selectedHasPopup = false;
        m_showCues = keyboard;
        SendMessage(TB_SETDRAWTEXTFLAGS, DT_HIDEPREFIX, keyboard ? 0 : DT_HIDEPREFIX);
        SetHot(index);
        PressItem(index, true);
        ::UpdateWindow(m_hWnd);

        const RECT rect = GetItemScreenRect(index);
        TPMPARAMS params = {sizeof(params), rect};
        // Opened from the keyboard, the popup's first item is selected as the menu loop starts.
        if (keyboard)
            ::PostMessageA(m_hWnd, WM_KEYDOWN, VK_DOWN, 0);
        UINT command = 0;
        {
            CMenuFilterScope filter(this);
            command = DoTrackPopupMenu(item.popup, TPM_LEFTBUTTON | TPM_VERTICAL | TPM_LEFTALIGN | TPM_TOPALIGN |
                                                       TPM_RETURNCMD,
                                       rect.left, rect.bottom, &params);
        }
        if (!m_hWnd || !::IsWindow(m_hWnd))
            return;
        PressItem(index, false);
        m_trackingItem = -1;
        m_trackedPopup = m_selectedMenu = nullptr;
        if (m_eatClick) {
            // The click on the open item's own button closed the popup; it must not open it again.
            MSG click;
            if (::PeekMessageA(&click, m_hWnd, WM_LBUTTONDOWN, WM_LBUTTONDBLCLK, PM_NOREMOVE) &&
                (click.message == WM_LBUTTONDOWN || click.message == WM_LBUTTONDBLCLK))
                ::PeekMessageA(&click, m_hWnd, click.message, click.message, PM_REMOVE);
            m_eatClick = false;
        }
        if (command) {
            if (m_hWndTarget)
                ::PostMessageA(m_hWndTarget, WM_COMMAND, MAKEWPARAM(command, 0), 0);
            break;
        }
        if (m_nextItem >= 0) {
            index = m_nextItem;
            keyboard = m_nextFromKeyboard;
            continue;
        }
        if (m_escapeToBar) {
            EnterKeyboardMode(index);
            return;
        }
        break;
    }
    m_trackingItem = -1;
    m_showCues = false;
    SendMessage(TB_SETDRAWTEXTFLAGS, DT_HIDEPREFIX, DT_HIDEPREFIX);
    SetHot(-1);
}

bool CCommandBarCtrlImpl::OnKeyboardMessage(MSG& msg)
{
    if (m_trackingItem >= 0 || !::IsWindowVisible(m_hWnd) || m_items.empty())
        return false;
    const UINT key = static_cast<UINT>(msg.wParam);
    switch (msg.message) {
    case WM_SYSKEYDOWN:
    case WM_KEYDOWN:
        if (key == VK_MENU) {
            if (!(msg.lParam & kKeyRepeatBit))
                m_altAlone = true;
            m_f10Alone = false;
            return false;
        }
        if (key == VK_F10 && ::GetKeyState(VK_SHIFT) >= 0 && ::GetKeyState(VK_CONTROL) >= 0) {
            m_f10Alone = true;
            m_altAlone = false;
            return true;
        }
        m_altAlone = m_f10Alone = false;
        if (!m_keyboardMode)
            return false;
        switch (key) {
        case VK_LEFT:
            SetHot(NextEnabledItem(m_hotItem, -1));
            return true;
        case VK_RIGHT:
            SetHot(NextEnabledItem(m_hotItem, 1));
            return true;
        case VK_DOWN:
        case VK_UP:
        case VK_RETURN:
            PostMessage(CBRM_OPENITEM, static_cast<WPARAM>(m_hotItem), TRUE);
            return true;
        case VK_ESCAPE:
            LeaveKeyboardMode();
            return true;
        default:
            return false; // a character key: its WM_CHAR comes next
        }
    case WM_SYSKEYUP:
    case WM_KEYUP:
        if ((key == VK_MENU && m_altAlone) || (key == VK_F10 && m_f10Alone)) {
            m_altAlone = m_f10Alone = false;
            if (m_keyboardMode)
                LeaveKeyboardMode();
            else
                EnterKeyboardMode(-1);
            return true; // the frame's default processing would start the system's own menu mode
        }
        return m_keyboardMode;
    case WM_SYSCHAR: {
        const int index = FindMnemonic(static_cast<char>(key));
        if (index >= 0) {
            PostMessage(CBRM_OPENITEM, static_cast<WPARAM>(index), TRUE);
            return true;
        }
        LeaveKeyboardMode();
        // Alt+Space is the system menu; any other Alt+key without an item is dropped, because the
        // default processing would look for a menu the frame does not have.
        return key != ' ';
    }
    case WM_CHAR:
        if (!m_keyboardMode)
            return false;
        if (const int index = FindMnemonic(static_cast<char>(key)); index >= 0)
            PostMessage(CBRM_OPENITEM, static_cast<WPARAM>(index), TRUE);
        else
            LeaveKeyboardMode();
        return true;
    default:
        // A click anywhere ends keyboard mode; the click itself goes on.
        if (m_keyboardMode && msg.hwnd != m_hWnd)
            LeaveKeyboardMode();
        return false;
    }
}

bool CCommandBarCtrlImpl::OnMenuMessage(const MSG& msg)
{
    if (m_trackingItem < 0)
        return false;
    switch (msg.message) {
    case WM_MOUSEMOVE: {
        POINT point = msg.pt;
        ::ScreenToClient(m_hWnd, &point);
        RECT client = {};
        ::GetClientRect(m_hWnd, &client);
        if (!::PtInRect(&client, point))
            return false;
        const int hit = static_cast<int>(SendMessage(TB_HITTEST, 0, reinterpret_cast<LPARAM>(&point)));
        if (hit < 0 || hit >= GetItemCount() || hit == m_trackingItem || !m_items[hit].enabled)
            return false;
        m_nextItem = hit;
        m_nextFromKeyboard = false;
        ::EndMenu();
        return true;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
        const RECT rect = GetItemScreenRect(m_trackingItem);
        if (::PtInRect(&rect, msg.pt))
            m_eatClick = true;
        return false;
    }
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        switch (msg.wParam) {
        case VK_LEFT:
            if (m_selectedMenu != m_trackedPopup)
                return false; // closes the submenu
            m_nextItem = NextEnabledItem(m_trackingItem, -1);
            break;
        case VK_RIGHT:
            if (m_selectedHasPopup)
                return false; // opens the submenu
            m_nextItem = NextEnabledItem(m_trackingItem, 1);
            break;
        case VK_ESCAPE:
            if (m_selectedMenu == m_trackedPopup)
                m_escapeToBar = true;
            return false;
        default:
            return false;
        }
        if (m_nextItem == m_trackingItem) {
            m_nextItem = -1;
            return false;
        }
        m_nextFromKeyboard = true;
        ::EndMenu();
        return true;
    default:
        return false;
    }
}

LRESULT CCommandBarCtrlImpl::OnLButtonDown(UINT, WPARAM, LPARAM lParam, BOOL& handled)
{
    POINT point = {XFromLParam(lParam), YFromLParam(lParam)};
    const int hit = static_cast<int>(SendMessage(TB_HITTEST, 0, reinterpret_cast<LPARAM>(&point)));
    if (hit < 0 || hit >= GetItemCount()) {
        handled = FALSE;
        return 0;
    }
    LeaveKeyboardMode();
    OpenItem(hit, false);
    return 0;
}

LRESULT CCommandBarCtrlImpl::OnLButtonUp(UINT, WPARAM, LPARAM, BOOL& handled)
{
    handled = FALSE;
    return 0;
}

// The frame updates its command states for the popup as it does for its own menus.
LRESULT CCommandBarCtrlImpl::OnInitMenuPopup(UINT message, WPARAM wParam, LPARAM lParam, BOOL&)
{
    if (m_hWndTarget)
        ::SendMessageA(m_hWndTarget, message, wParam, lParam);
    return 0;
}

LRESULT CCommandBarCtrlImpl::OnMenuSelect(UINT message, WPARAM wParam, LPARAM lParam, BOOL&)
{
    const WORD flags = HIWORD(wParam);
    if (flags == kMenuClosedFlags && lParam == 0) {
        m_selectedHasPopup = false;
    } else {
        m_selectedMenu = reinterpret_cast<HMENU>(lParam);
        m_selectedHasPopup = (flags & MF_POPUP) != 0;
    }
    // The frame's status bar shows the item's prompt.
    if (m_hWndTarget)
        ::SendMessageA(m_hWndTarget, message, wParam, lParam);
    return 0;
}

LRESULT CCommandBarCtrlImpl::OnGetCmdBar(UINT, WPARAM, LPARAM, BOOL&)
{
    return reinterpret_cast<LRESULT>(m_hWnd);
}

LRESULT CCommandBarCtrlImpl::OnOpenItem(UINT, WPARAM wParam, LPARAM lParam, BOOL&)
{
    const int index = static_cast<int>(wParam);
    if (index >= 0 && index < GetItemCount())
        OpenItem(index, lParam != 0);
    return 0;
}

LRESULT CCommandBarCtrlImpl::OnGetItemPopup(UINT, WPARAM wParam, LPARAM, BOOL&)
{
    const int index = static_cast<int>(wParam);
    return index >= 0 && index < GetItemCount() ? reinterpret_cast<LRESULT>(m_items[index].popup) : 0;
}

// The system's own keyboard menu request (SC_KEYMENU) reaches the frame when something else sent
// it: Alt alone makes the bar hot, Alt+letter opens that item, Alt+Space stays the system menu.
LRESULT CCommandBarCtrlImpl::OnParentSysCommand(UINT, WPARAM wParam, LPARAM lParam, BOOL& handled)
{
    if ((wParam & 0xFFF0) != SC_KEYMENU || lParam == ' ' || m_items.empty() || !::IsWindowVisible(m_hWnd)) {
        handled = FALSE;
        return 0;
    }
    if (lParam == 0) {
        if (m_keyboardMode)
            LeaveKeyboardMode();
        else
            EnterKeyboardMode(-1);
        return 0;
    }
    const int index = FindMnemonic(static_cast<char>(lParam));
    if (index >= 0)
        PostMessage(CBRM_OPENITEM, static_cast<WPARAM>(index), TRUE);
    else
        ::MessageBeep(0);
    return 0;
}

LRESULT CCommandBarCtrlImpl::OnParentActivate(UINT, WPARAM wParam, LPARAM, BOOL& handled)
{
    if (LOWORD(wParam) == WA_INACTIVE)
        LeaveKeyboardMode();
    handled = FALSE;
    return 0;
}

// ---------------------------------------------------------------------------------------------
// The MDI bar.

namespace {

HICON ChildSmallIcon(HWND child)
{
    auto icon = reinterpret_cast<HICON>(::SendMessageA(child, WM_GETICON, ICON_SMALL, 0));
    if (!icon)
        icon = reinterpret_cast<HICON>(::GetClassLongPtrA(child, GCLP_HICONSM));
    if (!icon)
        icon = reinterpret_cast<HICON>(::GetClassLongPtrA(child, GCLP_HICON));
    if (!icon)
        icon = ::LoadIconA(nullptr, IDI_APPLICATION);
    return icon;
}

int CaptionButtonWidth()
{
    return std::max(::GetSystemMetrics(SM_CXMENUSIZE), 16);
}

int CaptionButtonHeight()
{
    return std::max(::GetSystemMetrics(SM_CYMENUSIZE) - 2, 14);
}

int IconAreaWidth()
{
    return ::GetSystemMetrics(SM_CXSMICON) + 2 * kMdiIconMargin;
}

int ButtonsAreaWidth()
{
    return 3 * CaptionButtonWidth() + kMdiButtonGap + kMdiIconMargin;
}

} // namespace

BOOL CMDICommandBarCtrlImpl::SetMDIClient(HWND client)
{
    if (!m_hWnd || !::IsWindow(client))
        return FALSE;
    if (m_wndMDIClient.m_hWnd)
        m_wndMDIClient.UnsubclassWindow(TRUE);
    if (!m_wndMDIClient.SubclassWindow(client))
        return FALSE;
    UpdateMaximizedChild();
    return TRUE;
}

int CMDICommandBarCtrlImpl::GetMdiAreaWidth() const noexcept
{
    return m_hWndMaximized ? GetMaximizedAreaWidth() : 0;
}

int CMDICommandBarCtrlImpl::GetMaximizedAreaWidth() noexcept
{
    return IconAreaWidth() + ButtonsAreaWidth();
}

void CMDICommandBarCtrlImpl::UpdateMaximizedChild()
{
    HWND client = m_wndMDIClient.m_hWnd;
    BOOL maximized = FALSE;
    HWND active = client && ::IsWindow(client)
                      ? reinterpret_cast<HWND>(::SendMessageA(client, WM_MDIGETACTIVE, 0, reinterpret_cast<LPARAM>(&maximized)))
                      : nullptr;
    HWND now = active && maximized ? active : nullptr;
    if (now == m_hWndMaximized) {
        if (now)
            m_hIconChild = ChildSmallIcon(now);
        return;
    }
    HWND previous = m_hWndMaximized;
    m_hWndMaximized = now;
    m_hIconChild = now ? ChildSmallIcon(now) : nullptr;
    m_pressedPart = kMdiNone;
    if (!m_hWnd)
        return;
    SetWindowPos(nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    OnMaximizedChildChanged(previous, now);
    RedrawMdiParts();
}

void CMDICommandBarCtrlImpl::OnMaximizedChildChanged(HWND, HWND)
{
    OnBarItemsChanged();
}

RECT CMDICommandBarCtrlImpl::GetMdiPartRect(int part) const
{
    RECT none = {};
    if (!m_hWndMaximized || !m_hWnd)
        return none;
    RECT window = {};
    ::GetWindowRect(m_hWnd, &window);
    const int width = window.right - window.left, height = window.bottom - window.top;
    if (part == kMdiIcon) {
        const int size = ::GetSystemMetrics(SM_CXSMICON);
        const int top = (height - size) / 2;
        return {kMdiIconMargin, top, kMdiIconMargin + size, top + size};
    }
    const int buttonWidth = CaptionButtonWidth(), buttonHeight = std::min(CaptionButtonHeight(), height);
    const int top = (height - buttonHeight) / 2;
    const int closeLeft = width - kMdiIconMargin - buttonWidth;
    switch (part) {
    case kMdiClose:
        return {closeLeft, top, closeLeft + buttonWidth, top + buttonHeight};
    case kMdiRestore:
        return {closeLeft - kMdiButtonGap - buttonWidth, top, closeLeft - kMdiButtonGap, top + buttonHeight};
    case kMdiMinimize:
        return {closeLeft - kMdiButtonGap - 2 * buttonWidth, top, closeLeft - kMdiButtonGap - buttonWidth,
                top + buttonHeight};
    default:
        return none;
    }
}

int CMDICommandBarCtrlImpl::MdiPartFromPoint(POINT windowPoint) const
{
    for (int part = kMdiIcon; part <= kMdiClose; ++part) {
        const RECT rect = GetMdiPartRect(part);
        if (::PtInRect(&rect, windowPoint))
            return part;
    }
    return kMdiNone;
}

void CMDICommandBarCtrlImpl::RunMdiPart(int part)
{
    HWND child = m_hWndMaximized;
    if (!child || !::IsWindow(child))
        return;
    switch (part) {
    case kMdiMinimize:
        ::SendMessageA(child, WM_SYSCOMMAND, SC_MINIMIZE, 0);
        break;
    case kMdiRestore:
        ::SendMessageA(m_wndMDIClient.m_hWnd, WM_MDIRESTORE, reinterpret_cast<WPARAM>(child), 0);
        break;
    case kMdiClose:
        ::SendMessageA(child, WM_SYSCOMMAND, SC_CLOSE, 0);
        break;
    default:
        return;
    }
    if (m_hWnd && ::IsWindow(m_hWnd))
        UpdateMaximizedChild();
}

void CMDICommandBarCtrlImpl::RedrawMdiParts()
{
    if (m_hWnd)
        ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE);
}

void CMDICommandBarCtrlImpl::DrawMdiParts(HDC dc)
{
    RECT window = {};
    ::GetWindowRect(m_hWnd, &window);
    ::OffsetRect(&window, -window.left, -window.top);
    const RECT left = {0, 0, IconAreaWidth(), window.bottom};
    const RECT right = {window.right - ButtonsAreaWidth(), 0, window.right, window.bottom};
    ::FillRect(dc, &left, ::GetSysColorBrush(COLOR_BTNFACE));
    ::FillRect(dc, &right, ::GetSysColorBrush(COLOR_BTNFACE));
    const RECT icon = GetMdiPartRect(kMdiIcon);
    if (m_hIconChild)
        ::DrawIconEx(dc, icon.left, icon.top, m_hIconChild, icon.right - icon.left, icon.bottom - icon.top, 0, nullptr,
                     DI_NORMAL);
    for (int part = kMdiMinimize; part <= kMdiClose; ++part)
        AtlDrawCaptionButton(dc, GetMdiPartRect(part), part, m_pressedPart == part && m_pressedInside);
}

// The client may outlive the bar by a few messages while the frame goes: it is given back first.
LRESULT CMDICommandBarCtrlImpl::OnMdiBarDestroy(UINT, WPARAM, LPARAM, BOOL& handled)
{
    if (m_wndMDIClient.m_hWnd)
        m_wndMDIClient.UnsubclassWindow(TRUE);
    m_hWndMaximized = nullptr;
    m_hIconChild = nullptr;
    handled = FALSE;
    return 0;
}

LRESULT CMDICommandBarCtrlImpl::OnNcCalcSize(UINT message, WPARAM wParam, LPARAM lParam, BOOL&)
{
    const LRESULT result = DefWindowProc(message, wParam, lParam);
    if (m_hWndMaximized && lParam) {
        RECT* rect = wParam ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam)->rgrc[0] : reinterpret_cast<RECT*>(lParam);
        rect->left += IconAreaWidth();
        rect->right -= ButtonsAreaWidth();
        if (rect->right < rect->left)
            rect->right = rect->left;
    }
    return result;
}

LRESULT CMDICommandBarCtrlImpl::OnNcPaint(UINT message, WPARAM wParam, LPARAM lParam, BOOL&)
{
    const LRESULT result = DefWindowProc(message, wParam, lParam);
    if (m_hWndMaximized) {
        CWindowDC dc(m_hWnd);
        DrawMdiParts(dc);
    }
    return result;
}

LRESULT CMDICommandBarCtrlImpl::OnNcHitTest(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled)
{
    if (!m_hWndMaximized) {
        handled = FALSE;
        return 0;
    }
    RECT window = {};
    ::GetWindowRect(m_hWnd, &window);
    const POINT point = {XFromLParam(lParam) - window.left, YFromLParam(lParam) - window.top};
    if (MdiPartFromPoint(point) != kMdiNone)
        return HTBORDER;
    return DefWindowProc(message, wParam, lParam);
}

LRESULT CMDICommandBarCtrlImpl::OnNcLButtonDown(UINT message, WPARAM, LPARAM lParam, BOOL& handled)
{
    RECT window = {};
    ::GetWindowRect(m_hWnd, &window);
    const POINT point = {XFromLParam(lParam) - window.left, YFromLParam(lParam) - window.top};
    const int part = m_hWndMaximized ? MdiPartFromPoint(point) : kMdiNone;
    if (part == kMdiNone) {
        handled = FALSE;
        return 0;
    }
    if (part == kMdiIcon) {
        HWND child = m_hWndMaximized;
        if (message == WM_NCLBUTTONDBLCLK) {
            ::PostMessageA(child, WM_SYSCOMMAND, SC_CLOSE, 0);
            return 0;
        }
        // The child's system menu hangs from its icon; its command goes to the child.
        RECT icon = GetMdiPartRect(kMdiIcon);
        ::OffsetRect(&icon, window.left, window.top);
        TPMPARAMS params = {sizeof(params), icon};
        const UINT command = static_cast<UINT>(::TrackPopupMenuEx(
            ::GetSystemMenu(child, FALSE), TPM_LEFTBUTTON | TPM_VERTICAL | TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RETURNCMD,
            icon.left, icon.bottom, m_hWnd, &params));
        if (command && static_cast<int>(command) > 0 && ::IsWindow(child))
            ::SendMessageA(child, WM_SYSCOMMAND, command, 0);
        if (m_hWnd && ::IsWindow(m_hWnd))
            UpdateMaximizedChild();
        return 0;
    }
    m_pressedPart = part;
    m_pressedInside = true;
    ::SetCapture(m_hWnd);
    RedrawMdiParts();
    return 0;
}

LRESULT CMDICommandBarCtrlImpl::OnMouseMove(UINT, WPARAM, LPARAM lParam, BOOL& handled)
{
    if (m_pressedPart == kMdiNone) {
        handled = FALSE;
        return 0;
    }
    POINT point = {XFromLParam(lParam), YFromLParam(lParam)};
    ::ClientToScreen(m_hWnd, &point);
    RECT window = {};
    ::GetWindowRect(m_hWnd, &window);
    point.x -= window.left;
    point.y -= window.top;
    const bool inside = MdiPartFromPoint(point) == m_pressedPart;
    if (inside != m_pressedInside) {
        m_pressedInside = inside;
        RedrawMdiParts();
    }
    return 0;
}

LRESULT CMDICommandBarCtrlImpl::OnLButtonUp(UINT, WPARAM, LPARAM lParam, BOOL& handled)
{
    if (m_pressedPart == kMdiNone) {
        handled = FALSE;
        return 0;
    }
    POINT point = {XFromLParam(lParam), YFromLParam(lParam)};
    ::ClientToScreen(m_hWnd, &point);
    RECT window = {};
    ::GetWindowRect(m_hWnd, &window);
    point.x -= window.left;
    point.y -= window.top;
    const int part = m_pressedPart;
    const bool inside = MdiPartFromPoint(point) == part;
    m_pressedPart = kMdiNone;
    ::ReleaseCapture();
    RedrawMdiParts();
    if (inside)
        RunMdiPart(part);
    return 0;
}

LRESULT CMDICommandBarCtrlImpl::OnCaptureChanged(UINT, WPARAM, LPARAM lParam, BOOL& handled)
{
    if (m_pressedPart != kMdiNone && reinterpret_cast<HWND>(lParam) != m_hWnd) {
        m_pressedPart = kMdiNone;
        RedrawMdiParts();
    }
    handled = FALSE;
    return 0;
}

// The MDI client puts "Frame - [Child]" into the frame's caption when a child is maximised by
// the child itself (its caption button, a double click, its system menu), which reaches the
// client by no message of its own.
LRESULT CMDICommandBarCtrlImpl::OnParentSetText(UINT message, WPARAM wParam, LPARAM lParam, BOOL&)
{
    const LRESULT result = m_wndParent.DefWindowProc(message, wParam, lParam);
    if (m_hWnd && ::IsWindow(m_hWnd))
        UpdateMaximizedChild();
    return result;
}

// The client sets the frame's menu itself (and, with a maximised child, adds the child's system
// menu and caption buttons to it as bitmap items); the bar takes the menu instead and the frame
// keeps none.
LRESULT CMDICommandBarCtrlImpl::OnMdiSetMenu(UINT message, WPARAM wParam, LPARAM lParam, BOOL&)
{
    const LRESULT result = m_wndMDIClient.DefWindowProc(message, wParam, lParam);
    HMENU menu = reinterpret_cast<HMENU>(wParam);
    if (menu && ::IsMenu(menu)) {
        HWND frame = ::GetParent(m_wndMDIClient.m_hWnd);
        if (frame && ::GetMenu(frame) == menu)
            ::SetMenu(frame, nullptr);
        for (int position = ::GetMenuItemCount(menu) - 1; position >= 0; --position) {
            CMenuItemInfo info;
            info.fMask = MIIM_FTYPE;
            // RemoveMenu, not DeleteMenu: the system menu item's popup is the child's own.
            if (::GetMenuItemInfoA(menu, position, TRUE, &info) && (info.fType & MFT_BITMAP))
                ::RemoveMenu(menu, position, MF_BYPOSITION);
        }
        AttachMenu(menu);
    }
    UpdateMaximizedChild();
    return result;
}

LRESULT CMDICommandBarCtrlImpl::OnMdiMessage(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled)
{
    // WM_MDIGETACTIVE is what the update itself asks; the messages from 0x230 on that are not MDI
    // requests (sizing, dropped files) change nothing here.
    if (message == WM_MDIGETACTIVE || (message > WM_MDISETMENU && message < WM_MDIREFRESHMENU)) {
        handled = FALSE;
        return 0;
    }
    const LRESULT result = m_wndMDIClient.DefWindowProc(message, wParam, lParam);
    if (m_hWnd && ::IsWindow(m_hWnd))
        UpdateMaximizedChild();
    return result;
}

// ---------------------------------------------------------------------------------------------

void AtlDrawCaptionButton(HDC dc, const RECT& rect, int part, bool pushed) noexcept
{
    if (rect.right <= rect.left || rect.bottom <= rect.top)
        return;
    RECT face = rect;
    ::DrawFrameControl(dc, &face, DFC_BUTTON, DFCS_BUTTONPUSH | (pushed ? DFCS_PUSHED : 0));
    RECT glyph = rect;
    if (pushed)
        ::OffsetRect(&glyph, 1, 1);
    AtlDrawCaptionGlyph(dc, glyph, part, ::GetSysColor(COLOR_BTNTEXT));
}

void AtlDrawCaptionGlyph(HDC dc, const RECT& rect, int part, COLORREF color) noexcept
{
    if (rect.right <= rect.left || rect.bottom <= rect.top)
        return;
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    const int size = std::max(std::min(width, height) - 8, 4);
    const int left = rect.left + (width - size) / 2, top = rect.top + (height - size) / 2;
    const COLORREF oldBack = ::GetBkColor(dc);
    auto bar = [&](int x, int y, int w, int h) {
        const RECT r = {x, y, x + w, y + h};
        ::SetBkColor(dc, color);
        ::ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
    };
    switch (part) {
    case CMDICommandBarCtrlImpl::kMdiMinimize:
        bar(left, top + size - 2, size * 2 / 3, 2);
        break;
    case CMDICommandBarCtrlImpl::kMdiRestore: {
        // Two windows, the front one lower left, each with a thick caption edge.
        const int box = size * 3 / 4;
        const int bx = left + size - box, by = top;
        bar(bx, by, box, 2);
        bar(bx + box - 1, by, 1, box);
        bar(bx + size / 4, by + box - 1, box - size / 4, 1);
        const int fx = left, fy = top + size - box;
        bar(fx, fy, box, 2);
        bar(fx, fy, 1, box);
        bar(fx + box - 1, fy, 1, box);
        bar(fx, fy + box - 1, box, 1);
        break;
    }
    case CMDICommandBarCtrlImpl::kMdiClose:
        for (int i = 0; i < size; ++i) {
            bar(left + i, top + i, 2, 1);
            bar(left + size - 2 - i, top + i, 2, 1);
        }
        break;
    default:
        break;
    }
    ::SetBkColor(dc, oldBack);
}
