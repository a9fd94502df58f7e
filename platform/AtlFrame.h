// Frame windows: the bar layout shared by frames (tool bar or rebar on top, status bar at the
// bottom, the client in between), the plain frame, the MDI frame and the MDI child.
#pragma once
#include <windows.h>
#include <commctrl.h>
#include "platform/AtlApp.h"
#include "platform/AtlCtrls.h"
#include "platform/AtlRes.h"

#define ATL_SIMPLE_REBAR_STYLE                                                                     \
    (WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | RBS_VARHEIGHT | RBS_BANDBORDERS | \
     RBS_AUTOSIZE)
#define ATL_SIMPLE_REBAR_NOBORDER_STYLE (ATL_SIMPLE_REBAR_STYLE | CCS_NODIVIDER)
#define ATL_SIMPLE_STATUSBAR_STYLE (WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | SBARS_SIZEGRIP)
#define ATL_SIMPLE_TOOLBAR_PANE_STYLE                                                               \
    (WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | CCS_NODIVIDER | CCS_NORESIZE |     \
     CCS_NOPARENTALIGN | TBSTYLE_TOOLTIPS | TBSTYLE_FLAT)

// Sends unhandled commands on to the active MDI child as well (placed last in an MDI frame's map).
#define CHAIN_MDI_CHILD_COMMANDS()                                 \
    if (uMsg == WM_COMMAND) {                                      \
        HWND hWndActiveChild = this->MDIGetActive();               \
        if (hWndActiveChild)                                       \
            ::SendMessageA(hWndActiveChild, uMsg, wParam, lParam); \
    }

// A string resource cut at its first '\n': the menu prompt before it, the tooltip after it.
int AtlLoadPromptString(UINT id, LPSTR text, int size, bool tooltipPart) noexcept;
// Builds and tracks the menu of a rebar band's tool bar buttons that do not fit (the chevron);
// the chosen command is posted to `commandTarget`.
void AtlShowChevronMenu(HWND commandTarget, const NMREBARCHEVRON* chevron) noexcept;
// Adds a band around a child (usually a tool bar) sized to it; ids start at ATL_IDW_BAND_FIRST.
BOOL AtlAddReBarBand(HWND hWndReBar, HWND hWndBand, int nID, LPCSTR lpstrTitle, BOOL bNewRow, int cxWidth,
                     BOOL bFullWidthAlways) noexcept;
void AtlSizeReBarBands(HWND hWndReBar) noexcept;

template <class TBase = CWindow, class TWinTraits = CFrameWinTraits>
class CFrameWindowImplBase : public CWindowImplBaseT<TBase, TWinTraits>
{
public:
    HWND m_hWndToolBar = nullptr;   // the tool bar, or the rebar that holds the bars
    HWND m_hWndStatusBar = nullptr;
    HWND m_hWndClient = nullptr;
    HACCEL m_hAccel = nullptr;      // loaded by CreateEx, destroyed with the frame object
    HMENU m_hMenu = nullptr;        // the frame's menu while it is not on the window

    ~CFrameWindowImplBase() override
    {
        if (m_hAccel)
            ::DestroyAcceleratorTable(m_hAccel);
    }

    HWND Create(HWND hWndParent, _U_RECT rect, LPCSTR szWindowName, DWORD dwStyle, DWORD dwExStyle, _U_MENUorID MenuOrID,
                ATOM atom, LPVOID lpCreateParam) noexcept
    {
        return CWindowImplBaseT<TBase, TWinTraits>::Create(hWndParent, rect, szWindowName, dwStyle, dwExStyle, MenuOrID,
                                                           atom, lpCreateParam);
    }

protected:
    // Registers TDerived's class and creates the window with TDerived's styles.
    template <class TDerived>
    HWND CreateOfClass(HWND hWndParent, _U_RECT rect, LPCSTR szWindowName, DWORD dwStyle, DWORD dwExStyle,
                       _U_MENUorID MenuOrID, LPVOID lpCreateParam) noexcept
    {
        const ATOM atom = TDerived::GetWndClassInfo().Register(&this->m_pfnSuperWindowProc);
        return Create(hWndParent, rect, szWindowName, TDerived::GetWndStyle(dwStyle), TDerived::GetWndExStyle(dwExStyle),
                      MenuOrID, atom, lpCreateParam);
    }
    // Title, menu and accelerators from TDerived's common resource id, then TDerived::Create.
    template <class TDerived>
    HWND CreateFromCommonResource(HWND hWndParent, _U_RECT rect, DWORD dwStyle, DWORD dwExStyle, LPVOID lpCreateParam) noexcept
    {
        const UINT id = TDerived::GetWndClassInfo().m_uCommonResourceID;
        char title[256] = {};
        if (id)
            ::LoadStringA(AtlGetResourceInstance(), id, title, sizeof(title));
        HMENU menu = id ? ::LoadMenuA(AtlGetResourceInstance(), MAKEINTRESOURCEA(id)) : nullptr;
        HWND hWnd = static_cast<TDerived*>(this)->Create(hWndParent, rect, title, dwStyle, dwExStyle, menu, lpCreateParam);
        if (!hWnd && menu)
            ::DestroyMenu(menu);
        if (hWnd && id && !m_hAccel)
            m_hAccel = ::LoadAcceleratorsA(AtlGetResourceInstance(), MAKEINTRESOURCEA(id));
        return hWnd;
    }

public:
    // The rebar that toolbars and other bars go in, made the frame's tool bar window.
    BOOL CreateSimpleReBar(DWORD dwStyle = ATL_SIMPLE_REBAR_STYLE, UINT nID = ATL_IDW_TOOLBAR) noexcept
    {
        m_hWndToolBar = CreateSimpleReBarCtrl(this->m_hWnd, dwStyle, nID);
        return m_hWndToolBar != nullptr;
    }
    static HWND CreateSimpleReBarCtrl(HWND hWndParent, DWORD dwStyle = ATL_SIMPLE_REBAR_STYLE,
                                      UINT nID = ATL_IDW_TOOLBAR) noexcept
    {
        HWND rebar = ::CreateWindowExA(0, REBARCLASSNAMEA, nullptr, dwStyle, 0, 0, 100, 100, hWndParent,
                                       reinterpret_cast<HMENU>(static_cast<UINT_PTR>(nID)), AtlGetModuleInstance(), nullptr);
        if (rebar) {
            REBARINFO info = {sizeof(info)};
            ::SendMessageA(rebar, RB_SETBARINFO, 0, reinterpret_cast<LPARAM>(&info));
        }
        return rebar;
    }
    BOOL AddSimpleReBarBand(HWND hWndBand, LPCSTR lpstrTitle = nullptr, BOOL bNewRow = FALSE, int cxWidth = 0,
                            BOOL bFullWidthAlways = FALSE) noexcept
    {
        return AtlAddReBarBand(m_hWndToolBar, hWndBand, 0, lpstrTitle, bNewRow, cxWidth, bFullWidthAlways);
    }
    static BOOL AddSimpleReBarBandCtrl(HWND hWndReBar, HWND hWndBand, int nID = 0, LPCSTR lpstrTitle = nullptr,
                                       BOOL bNewRow = FALSE, int cxWidth = 0, BOOL bFullWidthAlways = FALSE) noexcept
    {
        return AtlAddReBarBand(hWndReBar, hWndBand, nID, lpstrTitle, bNewRow, cxWidth, bFullWidthAlways);
    }
    void SizeSimpleReBarBands() noexcept { AtlSizeReBarBands(m_hWndToolBar); }

    BOOL CreateSimpleStatusBar(LPCSTR lpstrText = nullptr, DWORD dwStyle = ATL_SIMPLE_STATUSBAR_STYLE,
                               UINT nID = ATL_IDW_STATUS_BAR) noexcept
    {
        char ready[128] = {};
        if (!lpstrText && AtlLoadPromptString(ATL_IDS_IDLEMESSAGE, ready, sizeof(ready), false) > 0)
            lpstrText = ready;
        m_hWndStatusBar = ::CreateStatusWindowA(dwStyle, lpstrText ? lpstrText : "", this->m_hWnd, nID);
        return m_hWndStatusBar != nullptr;
    }

    // Bars take their strips of the client area, the client window gets the rest.
    void UpdateLayout(BOOL bResizeBars = TRUE)
    {
        RECT rect;
        this->GetClientRect(&rect);
        UpdateBarsPosition(rect, bResizeBars);
        if (m_hWndClient)
            ::SetWindowPos(m_hWndClient, nullptr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                           SWP_NOZORDER | SWP_NOACTIVATE);
    }
    void UpdateBarsPosition(RECT& rect, BOOL bResizeBars = TRUE)
    {
        if (m_hWndToolBar && (::GetWindowLongPtrA(m_hWndToolBar, GWL_STYLE) & WS_VISIBLE)) {
            if (bResizeBars) {
                ::SendMessageA(m_hWndToolBar, WM_SIZE, 0, 0);
                ::InvalidateRect(m_hWndToolBar, nullptr, TRUE);
            }
            RECT bar;
            ::GetWindowRect(m_hWndToolBar, &bar);
            rect.top += bar.bottom - bar.top;
        }
        if (m_hWndStatusBar && (::GetWindowLongPtrA(m_hWndStatusBar, GWL_STYLE) & WS_VISIBLE)) {
            if (bResizeBars)
                ::SendMessageA(m_hWndStatusBar, WM_SIZE, 0, 0);
            RECT bar;
            ::GetWindowRect(m_hWndStatusBar, &bar);
            rect.bottom -= bar.bottom - bar.top;
        }
        if (rect.bottom < rect.top)
            rect.bottom = rect.top;
    }

    BOOL PreTranslateMessage(MSG* pMsg)
    {
        return m_hAccel && ::TranslateAcceleratorA(this->m_hWnd, m_hAccel, pMsg);
    }

    BEGIN_MSG_MAP(CFrameWindowImplBase)
        MESSAGE_HANDLER(WM_SIZE, OnSize)
        MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBackground)
        MESSAGE_HANDLER(WM_SETFOCUS, OnSetFocus)
        MESSAGE_HANDLER(WM_MENUSELECT, OnMenuSelect)
        MESSAGE_HANDLER(WM_SETMESSAGESTRING, OnSetMessageString)
        NOTIFY_CODE_HANDLER(TTN_GETDISPINFOA, OnToolTipText)
        NOTIFY_CODE_HANDLER(RBN_AUTOSIZE, OnReBarAutoSize)
        NOTIFY_CODE_HANDLER(RBN_CHEVRONPUSHED, OnChevronPushed)
    END_MSG_MAP()

    LRESULT OnSize(UINT, WPARAM wParam, LPARAM, BOOL& bHandled)
    {
        if (wParam != SIZE_MINIMIZED)
            UpdateLayout();
        bHandled = FALSE;
        return 1;
    }
    // With a client window covering the frame, erasing would only flicker.
    LRESULT OnEraseBackground(UINT, WPARAM, LPARAM, BOOL& bHandled)
    {
        if (m_hWndClient)
            return 1;
        bHandled = FALSE;
        return 0;
    }
    LRESULT OnSetFocus(UINT, WPARAM, LPARAM, BOOL& bHandled)
    {
        if (m_hWndClient && ::IsWindowVisible(m_hWndClient))
            ::SetFocus(m_hWndClient);
        bHandled = FALSE;
        return 1;
    }
    // The status bar shows the prompt of the menu item under the cursor, and its panes again when
    // the menu closes.
    LRESULT OnMenuSelect(UINT, WPARAM wParam, LPARAM lParam, BOOL& bHandled)
    {
        bHandled = FALSE;
        if (!m_hWndStatusBar)
            return 1;
        const WORD flags = HIWORD(wParam);
        if (flags == 0xFFFF && lParam == 0) {
            ::SendMessageA(m_hWndStatusBar, SB_SIMPLE, FALSE, 0);
            return 1;
        }
        char prompt[256] = {};
        const WORD id = LOWORD(wParam);
        if (!(flags & MF_POPUP) && !(flags & MF_SEPARATOR) && id != 0)
            AtlLoadPromptString(id, prompt, sizeof(prompt), false);
        ::SendMessageA(m_hWndStatusBar, SB_SIMPLE, TRUE, 0);
        ::SendMessageA(m_hWndStatusBar, SB_SETTEXTA, 255 | SBT_NOBORDERS, reinterpret_cast<LPARAM>(prompt));
        return 1;
    }
    LRESULT OnSetMessageString(UINT, WPARAM wParam, LPARAM lParam, BOOL&)
    {
        if (!m_hWndStatusBar)
            return 0;
        char prompt[256] = {};
        LPCSTR text = reinterpret_cast<LPCSTR>(lParam);
        if (wParam != 0) {
            AtlLoadPromptString(static_cast<UINT>(wParam), prompt, sizeof(prompt), false);
            text = prompt;
        }
        ::SendMessageA(m_hWndStatusBar, SB_SETTEXTA, 255 | SBT_NOBORDERS, reinterpret_cast<LPARAM>(text ? text : ""));
        return 0;
    }
    // A tool bar button's tooltip: the part of its command's string after '\n'.
    LRESULT OnToolTipText(int, LPNMHDR pnmh, BOOL& bHandled)
    {
        auto* info = reinterpret_cast<LPNMTTDISPINFOA>(pnmh);
        if ((info->uFlags & TTF_IDISHWND) || info->hdr.idFrom == 0) {
            bHandled = FALSE;
            return 0;
        }
        info->szText[0] = 0;
        AtlLoadPromptString(static_cast<UINT>(info->hdr.idFrom), info->szText, sizeof(info->szText), true);
        info->hinst = nullptr;
        info->lpszText = info->szText;
        return 0;
    }
    LRESULT OnReBarAutoSize(int, LPNMHDR, BOOL&)
    {
        UpdateLayout(FALSE);
        return 0;
    }
    LRESULT OnChevronPushed(int, LPNMHDR pnmh, BOOL&)
    {
        AtlShowChevronMenu(this->m_hWnd, reinterpret_cast<const NMREBARCHEVRON*>(pnmh));
        return 0;
    }
};

template <class T, class TBase = CWindow, class TWinTraits = CFrameWinTraits>
class CFrameWindowImpl : public CFrameWindowImplBase<TBase, TWinTraits>
{
public:
    using _FrameBase = CFrameWindowImplBase<TBase, TWinTraits>;
    DECLARE_FRAME_WND_CLASS(nullptr, 0)

    HWND Create(HWND hWndParent = nullptr, _U_RECT rect = nullptr, LPCSTR szWindowName = nullptr, DWORD dwStyle = 0,
                DWORD dwExStyle = 0, HMENU hMenu = nullptr, LPVOID lpCreateParam = nullptr) noexcept
    {
        return this->template CreateOfClass<T>(hWndParent, rect, szWindowName, dwStyle, dwExStyle, hMenu, lpCreateParam);
    }
    // Title, menu and accelerators from the class's common resource id.
    HWND CreateEx(HWND hWndParent = nullptr, _U_RECT rect = nullptr, DWORD dwStyle = 0, DWORD dwExStyle = 0,
                  LPVOID lpCreateParam = nullptr) noexcept
    {
        return this->template CreateFromCommonResource<T>(hWndParent, rect, dwStyle, dwExStyle, lpCreateParam);
    }

    BEGIN_MSG_MAP(CFrameWindowImpl)
        CHAIN_MSG_MAP(_FrameBase)
    END_MSG_MAP()
};

// ---------------------------------------------------------------------------------------------
// MDI.

class CMDIWindow : public CWindow
{
public:
    HWND m_hWndMDIClient = nullptr;
    HMENU m_hMenu = nullptr;

    CMDIWindow(HWND hWnd = nullptr) noexcept : CWindow(hWnd) {}
    CMDIWindow& operator=(HWND hWnd) noexcept
    {
        m_hWnd = hWnd;
        return *this;
    }

    HWND MDIGetActive(BOOL* pbMaximized = nullptr) const noexcept
    {
        return reinterpret_cast<HWND>(::SendMessageA(m_hWndMDIClient, WM_MDIGETACTIVE, 0, reinterpret_cast<LPARAM>(pbMaximized)));
    }
    void MDIActivate(HWND hWndChild) noexcept
    {
        ::SendMessageA(m_hWndMDIClient, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(hWndChild), 0);
    }
    void MDINext(HWND hWndChild, BOOL bPrevious = FALSE) noexcept
    {
        ::SendMessageA(m_hWndMDIClient, WM_MDINEXT, reinterpret_cast<WPARAM>(hWndChild), bPrevious);
    }
    void MDIMaximize(HWND hWndChild) noexcept
    {
        ::SendMessageA(m_hWndMDIClient, WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(hWndChild), 0);
    }
    void MDIRestore(HWND hWndChild) noexcept
    {
        ::SendMessageA(m_hWndMDIClient, WM_MDIRESTORE, reinterpret_cast<WPARAM>(hWndChild), 0);
    }
    void MDIDestroy(HWND hWndChild) noexcept
    {
        ::SendMessageA(m_hWndMDIClient, WM_MDIDESTROY, reinterpret_cast<WPARAM>(hWndChild), 0);
    }
    BOOL MDICascade(UINT uFlags = 0) noexcept { return static_cast<BOOL>(::SendMessageA(m_hWndMDIClient, WM_MDICASCADE, uFlags, 0)); }
    BOOL MDITile(UINT uFlags = MDITILE_HORIZONTAL) noexcept
    {
        return static_cast<BOOL>(::SendMessageA(m_hWndMDIClient, WM_MDITILE, uFlags, 0));
    }
    void MDIIconArrange() noexcept { ::SendMessageA(m_hWndMDIClient, WM_MDIICONARRANGE, 0, 0); }
    HMENU MDISetMenu(HMENU hMenuFrame, HMENU hMenuWindow) noexcept
    {
        return reinterpret_cast<HMENU>(::SendMessageA(m_hWndMDIClient, WM_MDISETMENU, reinterpret_cast<WPARAM>(hMenuFrame),
                                                      reinterpret_cast<LPARAM>(hMenuWindow)));
    }
    HMENU MDIRefreshMenu() noexcept { return reinterpret_cast<HMENU>(::SendMessageA(m_hWndMDIClient, WM_MDIREFRESHMENU, 0, 0)); }

    // The popup of a menu bar that holds window commands (the "Window" menu), or null.
    static HMENU GetStandardWindowMenu(HMENU hMenu) noexcept
    {
        const int count = ::GetMenuItemCount(hMenu);
        for (int i = count - 1; i >= 0; --i) {
            HMENU popup = ::GetSubMenu(hMenu, i);
            const int items = popup ? ::GetMenuItemCount(popup) : 0;
            for (int j = 0; j < items; ++j) {
                const UINT id = ::GetMenuItemID(popup, j);
                if (id >= ATL_IDM_WINDOW_FIRST && id <= ATL_IDM_WINDOW_LAST)
                    return popup;
            }
        }
        return nullptr;
    }
};

template <class T, class TBase = CMDIWindow, class TWinTraits = CFrameWinTraits>
class CMDIFrameWindowImpl : public CFrameWindowImplBase<TBase, TWinTraits>
{
public:
    using _FrameBase = CFrameWindowImplBase<TBase, TWinTraits>;
    DECLARE_FRAME_WND_CLASS(nullptr, 0)

    HWND Create(HWND hWndParent = nullptr, _U_RECT rect = nullptr, LPCSTR szWindowName = nullptr, DWORD dwStyle = 0,
                DWORD dwExStyle = 0, HMENU hMenu = nullptr, LPVOID lpCreateParam = nullptr) noexcept
    {
        this->m_hMenu = hMenu;
        return this->template CreateOfClass<T>(hWndParent, rect, szWindowName, dwStyle, dwExStyle, hMenu, lpCreateParam);
    }
    HWND CreateEx(HWND hWndParent = nullptr, _U_RECT rect = nullptr, DWORD dwStyle = 0, DWORD dwExStyle = 0,
                  LPVOID lpCreateParam = nullptr) noexcept
    {
        return this->template CreateFromCommonResource<T>(hWndParent, rect, dwStyle, dwExStyle, lpCreateParam);
    }

    // The MDI client fills the space between the bars; children get ids from nFirstChildID on and
    // are listed in the window menu.
    virtual HWND CreateMDIClient(HMENU hWindowMenu = nullptr, UINT nID = ATL_IDW_CLIENT,
                                 UINT nFirstChildID = ATL_IDM_FIRST_MDICHILD)
    {
        if (!hWindowMenu && this->m_hMenu)
            hWindowMenu = CMDIWindow::GetStandardWindowMenu(this->m_hMenu);
        CLIENTCREATESTRUCT ccs = {hWindowMenu, nFirstChildID};
        this->m_hWndClient = ::CreateWindowExA(
            WS_EX_CLIENTEDGE, "MDIClient", nullptr,
            WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | WS_VSCROLL | WS_HSCROLL | WS_VISIBLE | MDIS_ALLCHILDSTYLES, 0,
            0, 1, 1, this->m_hWnd, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(nID)), AtlGetModuleInstance(), &ccs);
        this->m_hWndMDIClient = this->m_hWndClient;
        return this->m_hWndClient;
    }

    LRESULT DefWindowProc(UINT uMsg, WPARAM wParam, LPARAM lParam) override
    {
        return ::DefFrameProcA(this->m_hWnd, this->m_hWndMDIClient, uMsg, wParam, lParam);
    }
    using CFrameWindowImplBase<TBase, TWinTraits>::DefWindowProc;

    // Children's accelerators and the MDI keys (Ctrl+F6, Ctrl+F4) after the frame's own.
    BOOL PreTranslateMessage(MSG* pMsg)
    {
        if (CFrameWindowImplBase<TBase, TWinTraits>::PreTranslateMessage(pMsg))
            return TRUE;
        return this->m_hWndMDIClient && ::TranslateMDISysAccel(this->m_hWndMDIClient, pMsg);
    }

    BEGIN_MSG_MAP(CMDIFrameWindowImpl)
        MESSAGE_HANDLER(WM_SIZE, OnSize)
        MESSAGE_HANDLER(WM_SETFOCUS, OnSetFocus)
        MESSAGE_HANDLER(WM_MDISETMENU, OnMDISetMenu)
        CHAIN_MSG_MAP(_FrameBase)
    END_MSG_MAP()

    LRESULT OnSize(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL&)
    {
        // DefFrameProc would size the client over the bars: lay out ourselves instead.
        if (wParam != SIZE_MINIMIZED)
            this->UpdateLayout();
        return ::DefWindowProcA(this->m_hWnd, uMsg, wParam, lParam);
    }
    LRESULT OnSetFocus(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL&)
    {
        return DefWindowProc(uMsg, wParam, lParam); // DefFrameProc focuses the active child
    }
    // A new menu bar (from a child's activation, or from the command bar) goes to the MDI client;
    // no menu at all means the frame's own again.
    LRESULT OnMDISetMenu(UINT, WPARAM wParam, LPARAM lParam, BOOL&)
    {
        if (!wParam && this->m_hMenu) {
            wParam = reinterpret_cast<WPARAM>(this->m_hMenu);
            lParam = reinterpret_cast<LPARAM>(CMDIWindow::GetStandardWindowMenu(this->m_hMenu));
        }
        const LRESULT old = ::SendMessageA(this->m_hWndMDIClient, WM_MDISETMENU, wParam, lParam);
        this->DrawMenuBar();
        return old;
    }
};

template <class T, class TBase = CMDIWindow, class TWinTraits = CMDIChildWinTraits>
class CMDIChildWindowImpl : public CFrameWindowImplBase<TBase, TWinTraits>
{
public:
    using _FrameBase = CFrameWindowImplBase<TBase, TWinTraits>;
    DECLARE_FRAME_WND_CLASS(nullptr, 0)

    // hWndParent is the MDI client. nMenuID names a menu bar the frame shows while this child is active.
    HWND Create(HWND hWndParent, _U_RECT rect = nullptr, LPCSTR szWindowName = nullptr, DWORD dwStyle = 0,
                DWORD dwExStyle = 0, UINT nMenuID = 0, LPVOID lpCreateParam = nullptr) noexcept
    {
        if (nMenuID && !this->m_hMenu)
            this->m_hMenu = ::LoadMenuA(AtlGetResourceInstance(), MAKEINTRESOURCEA(nMenuID));
        this->m_hWndMDIClient = hWndParent;
        return this->template CreateOfClass<T>(hWndParent, rect, szWindowName, dwStyle,
                                               T::GetWndExStyle(dwExStyle) | WS_EX_MDICHILD, 0U, lpCreateParam);
    }

    LRESULT DefWindowProc(UINT uMsg, WPARAM wParam, LPARAM lParam) override
    {
        return ::DefMDIChildProcA(this->m_hWnd, uMsg, wParam, lParam);
    }
    using CFrameWindowImplBase<TBase, TWinTraits>::DefWindowProc;

    // The frame forwards messages for pre-translation with WM_FORWARDMSG.
    virtual BOOL PreTranslateMessage(MSG* pMsg)
    {
        return CFrameWindowImplBase<TBase, TWinTraits>::PreTranslateMessage(pMsg);
    }

    BEGIN_MSG_MAP(CMDIChildWindowImpl)
        MESSAGE_HANDLER(WM_SIZE, OnSize)
        MESSAGE_HANDLER(WM_MDIACTIVATE, OnMDIActivate)
        MESSAGE_HANDLER(WM_FORWARDMSG, OnForwardMsg)
        MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
        CHAIN_MSG_MAP(_FrameBase)
    END_MSG_MAP()

    LRESULT OnSize(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL&)
    {
        // DefMDIChildProc keeps the maximised state in step; then the bars and client are laid out.
        const LRESULT result = DefWindowProc(uMsg, wParam, lParam);
        if (wParam != SIZE_MINIMIZED)
            this->UpdateLayout();
        return result;
    }
    // The child's own menu bar goes up while it is active; when the last child goes, the frame
    // puts back its own.
    LRESULT OnMDIActivate(UINT, WPARAM, LPARAM lParam, BOOL& bHandled)
    {
        HWND frame = ::GetParent(this->m_hWndMDIClient);
        if (reinterpret_cast<HWND>(lParam) == this->m_hWnd && this->m_hMenu)
            ::SendMessageA(frame, WM_MDISETMENU, reinterpret_cast<WPARAM>(this->m_hMenu),
                           reinterpret_cast<LPARAM>(CMDIWindow::GetStandardWindowMenu(this->m_hMenu)));
        else if (!lParam && this->m_hMenu)
            ::SendMessageA(frame, WM_MDISETMENU, 0, 0);
        bHandled = FALSE;
        return 0;
    }
    LRESULT OnForwardMsg(UINT, WPARAM, LPARAM lParam, BOOL&)
    {
        return PreTranslateMessage(reinterpret_cast<LPMSG>(lParam));
    }
    LRESULT OnDestroy(UINT, WPARAM, LPARAM, BOOL& bHandled)
    {
        // A menu bar still on the frame (one without a menu of its own) stays alive.
        HWND frame = ::GetParent(this->m_hWndMDIClient);
        if (this->m_hMenu && ::GetMenu(frame) != this->m_hMenu) {
            ::DestroyMenu(this->m_hMenu);
            this->m_hMenu = nullptr;
        }
        bHandled = FALSE;
        return 1;
    }
};
