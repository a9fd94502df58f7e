// Windows: the CWindow handle wrapper, window implementations with message maps, contained windows,
// window classes and traits, reflection of child notifications to the child, and modal and modeless
// dialogs.
//
// Binding an object to its window uses no generated machine code. Every window class this library
// registers, and every window it subclasses, runs the one procedure AtlWinProc. The object of a new
// window is handed over through a per-thread creation slot, so WM_GETMINMAXINFO, WM_NCCREATE and
// WM_CREATE already reach it; afterwards a window property names the object. Several objects may
// subclass one window: each remembers the one beneath it, and a message passed on with
// DefWindowProc goes to the next object down before it reaches the original procedure.
#pragma once
#include <windows.h>
#include <commctrl.h>
#include <olectl.h>
#include "platform/AtlBase.h"
#include "platform/AtlTypes.h"

// Window messages the SDK headers lack.
#ifndef WM_FORWARDMSG
#define WM_FORWARDMSG 0x037F // wParam: user data, lParam: MSG* to pre-translate; answer TRUE if used
#endif

struct _ATL_MSG : public MSG
{
    _ATL_MSG(HWND hWnd, UINT uMsg, WPARAM wParamIn, LPARAM lParamIn) noexcept
    {
        hwnd = hWnd;
        message = uMsg;
        wParam = wParamIn;
        lParam = lParamIn;
        time = 0;
        pt.x = pt.y = 0;
    }
    BOOL bHandled = TRUE;
};

// Makes a message the current one for the length of its handling, and puts back the outer one
// afterwards even when a handler throws.
class _AtlCurrentMsgScope
{
public:
    _AtlCurrentMsgScope(const _ATL_MSG*& slot, const _ATL_MSG* msg) noexcept : m_slot(slot), m_outer(slot) { slot = msg; }
    ~_AtlCurrentMsgScope() { m_slot = m_outer; }
    _AtlCurrentMsgScope(const _AtlCurrentMsgScope&) = delete;
    _AtlCurrentMsgScope& operator=(const _AtlCurrentMsgScope&) = delete;

private:
    const _ATL_MSG*& m_slot;
    const _ATL_MSG* m_outer;
};

// Anything with a message map: windows, and the objects that contained windows route to.
class CMessageMap
{
public:
    virtual BOOL ProcessWindowMessage(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lResult,
                                      DWORD dwMsgMapID) = 0;

protected:
    ~CMessageMap() = default;
};

// One object bound to a window (internal to the binding machinery).
class _AtlWindowLayer
{
public:
    virtual LRESULT _LayerDispatch(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) = 0;

    WNDPROC m_pfnSuperWindowProc = ::DefWindowProcA; // where messages the object leaves unhandled go
    _AtlWindowLayer* m_pLayerBelow = nullptr;        // the object that was bound to the window before this one
    bool m_bLayerInstalledProc = false;       // true when binding replaced the window's procedure
    bool m_bLayerIsDialog = false;            // dialogs take the creation slot only in AtlDlgProc

protected:
    ~_AtlWindowLayer() = default;
};

// The procedures every window and dialog of this library runs.
LRESULT CALLBACK AtlWinProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK AtlDlgProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);

// The per-thread slot through which a window being created finds its object. Returns the previous
// occupant, which the creator puts back afterwards (creation may nest).
_AtlWindowLayer* AtlWinSetCreating(_AtlWindowLayer* layer) noexcept;
// Offers an object to the next window or dialog created on this thread, for one creation: a
// window class or dialog procedure of this library binds it at the window's first message.
// Scopes nest; each puts back what was offered before it.
class CWindowCreationScope
{
public:
    explicit CWindowCreationScope(_AtlWindowLayer* layer) noexcept : m_previous(AtlWinSetCreating(layer)) {}
    ~CWindowCreationScope() { AtlWinSetCreating(m_previous); }
    CWindowCreationScope(const CWindowCreationScope&) = delete;
    CWindowCreationScope& operator=(const CWindowCreationScope&) = delete;

private:
    _AtlWindowLayer* m_previous;
};

// Replaces the window's procedure with AtlWinProc and binds the object on top; false when hWnd is no window.
bool AtlWinSubclass(_AtlWindowLayer* layer, HWND hWnd) noexcept;
// Unbinds the object. Without force it refuses (false) when another procedure or another object
// was put over it later, because restoring its own predecessor would cut those off.
bool AtlWinUnsubclass(_AtlWindowLayer* layer, HWND hWnd, bool force) noexcept;
// Passes a message to what lies beneath the object.
LRESULT AtlWinCallSuper(_AtlWindowLayer* layer, HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);
// What windows and contained windows share; `boundWindow` is the object's own m_hWnd.
// Binds the object to an existing window; refused when it already has one.
BOOL AtlLayerSubclass(_AtlWindowLayer* layer, HWND& boundWindow, HWND hWnd) noexcept;
// Gives the window back its previous procedure and returns it; without force, refused (null) when
// a procedure was installed over this one later.
HWND AtlLayerUnsubclass(_AtlWindowLayer* layer, HWND& boundWindow, bool force) noexcept;
// Creates a window of a registered class for the object, which its first message binds.
HWND AtlLayerCreateWindow(_AtlWindowLayer* layer, ATOM atom, HWND hWndParent, const RECT& rect, LPCSTR szWindowName,
                          DWORD dwStyle, DWORD dwExStyle, HMENU hMenu, LPVOID lpCreateParam) noexcept;
// The object bound on top of a window, or null.
_AtlWindowLayer* AtlWinTopLayer(HWND hWnd) noexcept;
// The start of every object's dispatch: the first message binds `boundWindow` (a window made by
// Create), then `map` handles the message under `mapId` with `current` pointing at it. A handler
// that throws is reported and the message counts as unhandled, so the default processing answers
// it; but WM_NCCREATE answers FALSE and WM_CREATE -1, so that the window is not created half-built.
// `threw`, when given, tells whether a handler threw.
BOOL AtlLayerRunMap(CMessageMap* map, DWORD mapId, HWND& boundWindow, const _ATL_MSG*& current, HWND hWnd, UINT uMsg,
                    WPARAM wParam, LPARAM lParam, LRESULT& lResult, bool* threw = nullptr) noexcept;
// After WM_NCDESTROY: the object lets go of the window, whose later messages are not its own.
void AtlLayerWindowEnded(_AtlWindowLayer* layer, HWND hWnd) noexcept;
// What a dialog procedure returns for a message its map handled with lResult.
INT_PTR AtlDlgAnswer(HWND hWnd, UINT uMsg, LRESULT lResult) noexcept;
// Dialog objects are bound the same way, through their own property.
void AtlDlgBind(_AtlWindowLayer* layer, HWND hWnd) noexcept;
void AtlDlgUnbind(_AtlWindowLayer* layer, HWND hWnd) noexcept;

// ---------------------------------------------------------------------------------------------
// Argument helpers: a RECT by reference or pointer, a menu handle or a child id.

class _U_RECT
{
public:
    _U_RECT(LPRECT lpRect) noexcept : m_lpRect(lpRect) {}
    _U_RECT(const RECT& rc) noexcept : m_lpRect(const_cast<LPRECT>(&rc)) {}
    LPRECT m_lpRect;
};

class _U_MENUorID
{
public:
    _U_MENUorID(HMENU hMenu) noexcept : m_hMenu(hMenu) {}
    _U_MENUorID(UINT nID) noexcept : m_hMenu(reinterpret_cast<HMENU>(static_cast<UINT_PTR>(nID))) {}
    // Plain int ids (and a literal 0) would otherwise be ambiguous between the two above.
    _U_MENUorID(int nID) noexcept : m_hMenu(reinterpret_cast<HMENU>(static_cast<UINT_PTR>(static_cast<UINT>(nID)))) {}
    HMENU m_hMenu;
};

class _U_STRINGorID
{
public:
    _U_STRINGorID(LPCSTR lpString) noexcept : m_lpstr(lpString) {}
    _U_STRINGorID(UINT nID) noexcept : m_lpstr(MAKEINTRESOURCEA(nID)) {}
    LPCSTR m_lpstr;
};

// ---------------------------------------------------------------------------------------------
// The window handle wrapper. It owns nothing: destroying the object leaves the window alone.

class CWindow
{
public:
    static RECT rcDefault;
    HWND m_hWnd = nullptr;

    CWindow(HWND hWnd = nullptr) noexcept : m_hWnd(hWnd) {}
    CWindow& operator=(HWND hWnd) noexcept
    {
        m_hWnd = hWnd;
        return *this;
    }
    operator HWND() const noexcept { return m_hWnd; }
    void Attach(HWND hWnd) noexcept { m_hWnd = hWnd; }
    HWND Detach() noexcept
    {
        HWND hWnd = m_hWnd;
        m_hWnd = nullptr;
        return hWnd;
    }
    static LPCSTR GetWndClassName() noexcept { return nullptr; }

    HWND Create(LPCSTR lpstrWndClass, HWND hWndParent, _U_RECT rect = nullptr, LPCSTR szWindowName = nullptr,
                DWORD dwStyle = 0, DWORD dwExStyle = 0, _U_MENUorID MenuOrID = 0U, LPVOID lpCreateParam = nullptr) noexcept
    {
        if (!rect.m_lpRect)
            rect.m_lpRect = &rcDefault;
        m_hWnd = ::CreateWindowExA(dwExStyle, lpstrWndClass, szWindowName, dwStyle, rect.m_lpRect->left,
                                   rect.m_lpRect->top, rect.m_lpRect->right - rect.m_lpRect->left,
                                   rect.m_lpRect->bottom - rect.m_lpRect->top, hWndParent, MenuOrID.m_hMenu,
                                   AtlGetModuleInstance(), lpCreateParam);
        return m_hWnd;
    }
    BOOL DestroyWindow() noexcept
    {
        if (!::DestroyWindow(m_hWnd))
            return FALSE;
        m_hWnd = nullptr;
        return TRUE;
    }

    // Attributes and styles.
    DWORD GetStyle() const noexcept { return static_cast<DWORD>(::GetWindowLongPtrA(m_hWnd, GWL_STYLE)); }
    DWORD GetExStyle() const noexcept { return static_cast<DWORD>(::GetWindowLongPtrA(m_hWnd, GWL_EXSTYLE)); }
    LONG GetWindowLong(int index) const noexcept { return ::GetWindowLongA(m_hWnd, index); }
    LONG SetWindowLong(int index, LONG value) noexcept { return ::SetWindowLongA(m_hWnd, index, value); }
#ifdef _WIN64 // on 32-bit Windows the Ptr forms are the same functions as the above
    LONG_PTR GetWindowLongPtr(int index) const noexcept { return ::GetWindowLongPtrA(m_hWnd, index); }
    LONG_PTR SetWindowLongPtr(int index, LONG_PTR value) noexcept { return ::SetWindowLongPtrA(m_hWnd, index, value); }
#endif
    BOOL ModifyStyle(DWORD remove, DWORD add, UINT swpFlags = 0) noexcept
    {
        return ModifyLong(GWL_STYLE, remove, add, swpFlags);
    }
    BOOL ModifyStyleEx(DWORD remove, DWORD add, UINT swpFlags = 0) noexcept
    {
        return ModifyLong(GWL_EXSTYLE, remove, add, swpFlags);
    }

    // Messages.
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const noexcept
    {
        return ::SendMessageA(m_hWnd, message, wParam, lParam);
    }
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const noexcept
    {
        return ::PostMessageA(m_hWnd, message, wParam, lParam);
    }
    BOOL SendNotifyMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const noexcept
    {
        return ::SendNotifyMessageA(m_hWnd, message, wParam, lParam);
    }
    static LRESULT SendMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept
    {
        return ::SendMessageA(hWnd, message, wParam, lParam);
    }
    // Sends to every descendant (deep) or to the direct children only.
    void SendMessageToDescendants(UINT message, WPARAM wParam = 0, LPARAM lParam = 0, BOOL deep = TRUE) const noexcept
    {
        for (HWND child = ::GetTopWindow(m_hWnd); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
            ::SendMessageA(child, message, wParam, lParam);
            if (deep && ::GetTopWindow(child))
                CWindow(child).SendMessageToDescendants(message, wParam, lParam, deep);
        }
    }

    // Text.
    BOOL SetWindowText(LPCSTR text) noexcept { return ::SetWindowTextA(m_hWnd, text); }
    int GetWindowText(LPSTR text, int maxCount) const noexcept { return ::GetWindowTextA(m_hWnd, text, maxCount); }
    int GetWindowTextLength() const noexcept { return ::GetWindowTextLengthA(m_hWnd); }
    BOOL GetWindowText(BSTR& text) const;
    void SetFont(HFONT font, BOOL redraw = TRUE) noexcept
    {
        SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font), MAKELPARAM(redraw, 0));
    }
    HFONT GetFont() const noexcept { return reinterpret_cast<HFONT>(SendMessage(WM_GETFONT)); }
    HICON SetIcon(HICON icon, BOOL big = TRUE) noexcept
    {
        return reinterpret_cast<HICON>(SendMessage(WM_SETICON, big, reinterpret_cast<LPARAM>(icon)));
    }
    HICON GetIcon(BOOL big = TRUE) const noexcept { return reinterpret_cast<HICON>(SendMessage(WM_GETICON, big)); }

    // Menus.
    HMENU GetMenu() const noexcept { return ::GetMenu(m_hWnd); }
    BOOL SetMenu(HMENU menu) noexcept { return ::SetMenu(m_hWnd, menu); }
    BOOL DrawMenuBar() noexcept { return ::DrawMenuBar(m_hWnd); }
    HMENU GetSystemMenu(BOOL revert) const noexcept { return ::GetSystemMenu(m_hWnd, revert); }

    // Position and size.
    BOOL IsIconic() const noexcept { return ::IsIconic(m_hWnd); }
    BOOL IsZoomed() const noexcept { return ::IsZoomed(m_hWnd); }
    BOOL MoveWindow(int x, int y, int width, int height, BOOL repaint = TRUE) noexcept
    {
        return ::MoveWindow(m_hWnd, x, y, width, height, repaint);
    }
    BOOL MoveWindow(LPCRECT rc, BOOL repaint = TRUE) noexcept
    {
        return ::MoveWindow(m_hWnd, rc->left, rc->top, rc->right - rc->left, rc->bottom - rc->top, repaint);
    }
    BOOL SetWindowPos(HWND insertAfter, int x, int y, int cx, int cy, UINT flags) noexcept
    {
        return ::SetWindowPos(m_hWnd, insertAfter, x, y, cx, cy, flags);
    }
    BOOL SetWindowPos(HWND insertAfter, LPCRECT rc, UINT flags) noexcept
    {
        return ::SetWindowPos(m_hWnd, insertAfter, rc->left, rc->top, rc->right - rc->left, rc->bottom - rc->top, flags);
    }
    BOOL GetWindowRect(LPRECT rc) const noexcept { return ::GetWindowRect(m_hWnd, rc); }
    BOOL GetClientRect(LPRECT rc) const noexcept { return ::GetClientRect(m_hWnd, rc); }
    BOOL ClientToScreen(LPPOINT point) const noexcept { return ::ClientToScreen(m_hWnd, point); }
    BOOL ClientToScreen(LPRECT rc) const noexcept
    {
        return ::ClientToScreen(m_hWnd, reinterpret_cast<LPPOINT>(rc)) &&
               ::ClientToScreen(m_hWnd, reinterpret_cast<LPPOINT>(rc) + 1);
    }
    BOOL ScreenToClient(LPPOINT point) const noexcept { return ::ScreenToClient(m_hWnd, point); }
    BOOL ScreenToClient(LPRECT rc) const noexcept
    {
        return ::ScreenToClient(m_hWnd, reinterpret_cast<LPPOINT>(rc)) &&
               ::ScreenToClient(m_hWnd, reinterpret_cast<LPPOINT>(rc) + 1);
    }
    int MapWindowPoints(HWND to, LPPOINT points, UINT count) const noexcept
    {
        return ::MapWindowPoints(m_hWnd, to, points, count);
    }
    int MapWindowPoints(HWND to, LPRECT rc) const noexcept
    {
        return ::MapWindowPoints(m_hWnd, to, reinterpret_cast<LPPOINT>(rc), 2);
    }
    BOOL GetWindowPlacement(WINDOWPLACEMENT* placement) const noexcept { return ::GetWindowPlacement(m_hWnd, placement); }
    BOOL SetWindowPlacement(const WINDOWPLACEMENT* placement) noexcept { return ::SetWindowPlacement(m_hWnd, placement); }
    BOOL ResizeClient(int width, int height, BOOL redraw = TRUE) noexcept;
    // Centres over the given window (or the owner or parent; the work area for a top-level window without one).
    BOOL CenterWindow(HWND hWndCenter = nullptr) noexcept;

    // Painting.
    HDC BeginPaint(LPPAINTSTRUCT ps) noexcept { return ::BeginPaint(m_hWnd, ps); }
    void EndPaint(LPPAINTSTRUCT ps) noexcept { ::EndPaint(m_hWnd, ps); }
    HDC GetDC() noexcept { return ::GetDC(m_hWnd); }
    HDC GetWindowDC() noexcept { return ::GetWindowDC(m_hWnd); }
    int ReleaseDC(HDC hDC) noexcept { return ::ReleaseDC(m_hWnd, hDC); }
    BOOL UpdateWindow() noexcept { return ::UpdateWindow(m_hWnd); }
    void SetRedraw(BOOL redraw = TRUE) noexcept { SendMessage(WM_SETREDRAW, redraw); }
    BOOL Invalidate(BOOL erase = TRUE) noexcept { return ::InvalidateRect(m_hWnd, nullptr, erase); }
    BOOL InvalidateRect(LPCRECT rc, BOOL erase = TRUE) noexcept { return ::InvalidateRect(m_hWnd, rc, erase); }
    BOOL ValidateRect(LPCRECT rc) noexcept { return ::ValidateRect(m_hWnd, rc); }
    void InvalidateRgn(HRGN rgn, BOOL erase = TRUE) noexcept { ::InvalidateRgn(m_hWnd, rgn, erase); }
    BOOL RedrawWindow(LPCRECT rcUpdate = nullptr, HRGN rgnUpdate = nullptr,
                      UINT flags = RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE) noexcept
    {
        return ::RedrawWindow(m_hWnd, rcUpdate, rgnUpdate, flags);
    }
    BOOL ShowWindow(int cmdShow) noexcept { return ::ShowWindow(m_hWnd, cmdShow); }
    BOOL ShowWindowAsync(int cmdShow) noexcept { return ::ShowWindowAsync(m_hWnd, cmdShow); }
    BOOL LockWindowUpdate(BOOL lock = TRUE) noexcept { return ::LockWindowUpdate(lock ? m_hWnd : nullptr); }
    BOOL GetUpdateRect(LPRECT rc, BOOL erase = FALSE) noexcept { return ::GetUpdateRect(m_hWnd, rc, erase); }
    void DragAcceptFiles(BOOL accept = TRUE) noexcept
    {
        ModifyStyleEx(accept ? 0 : WS_EX_ACCEPTFILES, accept ? WS_EX_ACCEPTFILES : 0);
    }
    BOOL IsWindowVisible() const noexcept { return ::IsWindowVisible(m_hWnd); }
    int SetWindowRgn(HRGN rgn, BOOL redraw = FALSE) noexcept { return ::SetWindowRgn(m_hWnd, rgn, redraw); }
    int ScrollWindowEx(int dx, int dy, LPCRECT scroll, LPCRECT clip, HRGN update, LPRECT rcUpdate, UINT flags) noexcept
    {
        return ::ScrollWindowEx(m_hWnd, dx, dy, scroll, clip, update, rcUpdate, flags);
    }

    // Timers.
    UINT_PTR SetTimer(UINT_PTR id, UINT elapse, TIMERPROC proc = nullptr) noexcept
    {
        return ::SetTimer(m_hWnd, id, elapse, proc);
    }
    BOOL KillTimer(UINT_PTR id) noexcept { return ::KillTimer(m_hWnd, id); }

    // State, focus and capture.
    BOOL IsWindow() const noexcept { return ::IsWindow(m_hWnd); }
    BOOL IsWindowEnabled() const noexcept { return ::IsWindowEnabled(m_hWnd); }
    BOOL EnableWindow(BOOL enable = TRUE) noexcept { return ::EnableWindow(m_hWnd, enable); }
    HWND SetActiveWindow() noexcept { return ::SetActiveWindow(m_hWnd); }
    HWND SetCapture() noexcept { return ::SetCapture(m_hWnd); }
    HWND SetFocus() noexcept { return ::SetFocus(m_hWnd); }
    BOOL SetForegroundWindow() noexcept { return ::SetForegroundWindow(m_hWnd); }
    BOOL BringWindowToTop() noexcept { return ::BringWindowToTop(m_hWnd); }
    BOOL IsChild(HWND hWnd) const noexcept { return ::IsChild(m_hWnd, hWnd); }
    BOOL IsDialogMessage(LPMSG msg) noexcept { return ::IsDialogMessageA(m_hWnd, msg); }
    BOOL FlashWindow(BOOL invert) noexcept { return ::FlashWindow(m_hWnd, invert); }
    DWORD GetWindowThreadID() const noexcept { return ::GetWindowThreadProcessId(m_hWnd, nullptr); }
    DWORD GetWindowProcessID() const noexcept
    {
        DWORD process = 0;
        ::GetWindowThreadProcessId(m_hWnd, &process);
        return process;
    }

    // Relatives.
    HWND GetParent() const noexcept { return ::GetParent(m_hWnd); }
    HWND SetParent(HWND newParent) noexcept { return ::SetParent(m_hWnd, newParent); }
    HWND GetWindow(UINT cmd) const noexcept { return ::GetWindow(m_hWnd, cmd); }
    HWND GetTopWindow() const noexcept { return ::GetTopWindow(m_hWnd); }
    HWND GetLastActivePopup() const noexcept { return ::GetLastActivePopup(m_hWnd); }
    HWND GetDlgItem(int id) const noexcept { return ::GetDlgItem(m_hWnd, id); }
    // The first descendant (at any depth) with the id, or null.
    HWND GetDescendantWindow(int id) const noexcept
    {
        for (HWND child = ::GetTopWindow(m_hWnd); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
            if (::GetDlgCtrlID(child) == id)
                return child;
            if (HWND inner = CWindow(child).GetDescendantWindow(id))
                return inner;
        }
        return nullptr;
    }
    int GetDlgCtrlID() const noexcept { return ::GetDlgCtrlID(m_hWnd); }
    int SetDlgCtrlID(int id) noexcept { return static_cast<int>(::SetWindowLongPtrA(m_hWnd, GWLP_ID, id)); }
    HWND ChildWindowFromPoint(POINT point) const noexcept { return ::ChildWindowFromPoint(m_hWnd, point); }
    // The outermost ancestor reached through parents and owners, as a top-level window sees it.
    HWND GetTopLevelParent() const noexcept;
    // The first ancestor (or the window itself) that is not a child window.
    HWND GetTopLevelWindow() const noexcept;
    static HWND GetDesktopWindow() noexcept { return ::GetDesktopWindow(); }

    // Dialog items.
    BOOL SetDlgItemText(int id, LPCSTR text) noexcept { return ::SetDlgItemTextA(m_hWnd, id, text); }
    UINT GetDlgItemText(int id, LPSTR text, int maxCount) const noexcept
    {
        return ::GetDlgItemTextA(m_hWnd, id, text, maxCount);
    }
    BOOL SetDlgItemInt(int id, UINT value, BOOL isSigned = TRUE) noexcept
    {
        return ::SetDlgItemInt(m_hWnd, id, value, isSigned);
    }
    UINT GetDlgItemInt(int id, BOOL* translated = nullptr, BOOL isSigned = TRUE) const noexcept
    {
        return ::GetDlgItemInt(m_hWnd, id, translated, isSigned);
    }
    BOOL CheckDlgButton(int id, UINT check) noexcept { return ::CheckDlgButton(m_hWnd, id, check); }
    UINT IsDlgButtonChecked(int id) const noexcept { return ::IsDlgButtonChecked(m_hWnd, id); }
    BOOL CheckRadioButton(int first, int last, int check) noexcept
    {
        return ::CheckRadioButton(m_hWnd, first, last, check);
    }
    LRESULT SendDlgItemMessage(int id, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) noexcept
    {
        return ::SendDlgItemMessageA(m_hWnd, id, message, wParam, lParam);
    }
    HWND GetNextDlgTabItem(HWND ctl, BOOL previous = FALSE) const noexcept
    {
        return ::GetNextDlgTabItem(m_hWnd, ctl, previous);
    }
    HWND GetNextDlgGroupItem(HWND ctl, BOOL previous = FALSE) const noexcept
    {
        return ::GetNextDlgGroupItem(m_hWnd, ctl, previous);
    }
    BOOL GotoDlgCtrl(HWND ctl) noexcept { return static_cast<BOOL>(SendMessage(WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(ctl), 1)); }

    // Properties and scroll bars.
    BOOL SetProp(LPCSTR name, HANDLE data) noexcept { return ::SetPropA(m_hWnd, name, data); }
    HANDLE GetProp(LPCSTR name) const noexcept { return ::GetPropA(m_hWnd, name); }
    HANDLE RemoveProp(LPCSTR name) noexcept { return ::RemovePropA(m_hWnd, name); }
    int GetScrollPos(int bar) const noexcept { return ::GetScrollPos(m_hWnd, bar); }
    int SetScrollPos(int bar, int pos, BOOL redraw = TRUE) noexcept { return ::SetScrollPos(m_hWnd, bar, pos, redraw); }
    BOOL GetScrollInfo(int bar, LPSCROLLINFO info) const noexcept { return ::GetScrollInfo(m_hWnd, bar, info); }
    int SetScrollInfo(int bar, LPSCROLLINFO info, BOOL redraw = TRUE) noexcept
    {
        return ::SetScrollInfo(m_hWnd, bar, info, redraw);
    }
    BOOL ShowScrollBar(int bar, BOOL show = TRUE) noexcept { return ::ShowScrollBar(m_hWnd, bar, show); }

private:
    BOOL ModifyLong(int index, DWORD remove, DWORD add, UINT swpFlags) noexcept
    {
        const DWORD style = static_cast<DWORD>(::GetWindowLongPtrA(m_hWnd, index));
        const DWORD changed = (style & ~remove) | add;
        if (style == changed)
            return FALSE;
        ::SetWindowLongPtrA(m_hWnd, index, static_cast<LONG_PTR>(changed));
        if (swpFlags)
            ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | swpFlags);
        return TRUE;
    }
};

// ---------------------------------------------------------------------------------------------
// Window styles chosen by a window class.

template <DWORD t_dwStyle = 0, DWORD t_dwExStyle = 0>
class CWinTraits
{
public:
    static DWORD GetWndStyle(DWORD dwStyle) noexcept { return dwStyle == 0 ? t_dwStyle : dwStyle; }
    static DWORD GetWndExStyle(DWORD dwExStyle) noexcept { return dwExStyle == 0 ? t_dwExStyle : dwExStyle; }
};

using CControlWinTraits = CWinTraits<WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, 0>;
using CFrameWinTraits = CWinTraits<WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, WS_EX_APPWINDOW | WS_EX_WINDOWEDGE>;
using CMDIChildWinTraits = CWinTraits<WS_OVERLAPPEDWINDOW | WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, WS_EX_MDICHILD>;
using CNullTraits = CWinTraits<0, 0>;

// Adds its own styles to the caller's and to those of another traits class.
template <DWORD t_dwStyle = 0, DWORD t_dwExStyle = 0, class TWinTraits = CControlWinTraits>
class CWinTraitsOR
{
public:
    static DWORD GetWndStyle(DWORD dwStyle) noexcept { return dwStyle | t_dwStyle | TWinTraits::GetWndStyle(dwStyle); }
    static DWORD GetWndExStyle(DWORD dwExStyle) noexcept
    {
        return dwExStyle | t_dwExStyle | TWinTraits::GetWndExStyle(dwExStyle);
    }
};

// ---------------------------------------------------------------------------------------------
// Window class registration. A class without a name gets one generated from its description's
// address; a superclass takes the original class's attributes and keeps its procedure as the default.

struct CWndClassInfo
{
    WNDCLASSEXA m_wc;
    LPCSTR m_lpszOrigName;   // the class a superclass is based on, or null
    WNDPROC pWndProc;        // the original class's procedure once registered
    LPCSTR m_lpszCursorID;   // cursor resource (system cursor when m_bSystemCursor)
    BOOL m_bSystemCursor;
    ATOM m_atom;
    CHAR m_szAutoName[5 + sizeof(void*) * 2 + 1];
    UINT m_uCommonResourceID; // frames: icons loaded from this id, 0 for none

    // Registers once; gives the procedure messages fall back to. 0 on failure.
    ATOM Register(WNDPROC* superProc) noexcept;
};

#define DECLARE_WND_CLASS(WndClassName) \
    DECLARE_WND_CLASS_EX(WndClassName, CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS, COLOR_WINDOW)

// The class record every declaration below expands to: name, class style, background brush,
// the class a superclass is based on, the cursor and the frame's common resource id.
#define _ATL_DECLARE_WND_CLASS_INFO(WndClassName, style, brush, OrigWndClassName, cursor, uCommonResourceID) \
    static CWndClassInfo& GetWndClassInfo()                                                               \
    {                                                                                                     \
        static CWndClassInfo wc = {{sizeof(WNDCLASSEXA), static_cast<UINT>(style), AtlWinProc, 0, 0,     \
                                    nullptr, nullptr, nullptr, brush, nullptr, WndClassName, nullptr},    \
                                   OrigWndClassName, nullptr, cursor, TRUE, 0, "", uCommonResourceID};   \
        return wc;                                                                                        \
    }
#define _ATL_COLOR_BRUSH(color) reinterpret_cast<HBRUSH>(static_cast<INT_PTR>((color) + 1))

#define DECLARE_WND_CLASS_EX(WndClassName, style, bkgnd) \
    _ATL_DECLARE_WND_CLASS_INFO(WndClassName, style, _ATL_COLOR_BRUSH(bkgnd), nullptr, IDC_ARROW, 0)

#define DECLARE_WND_SUPERCLASS(WndClassName, OrigWndClassName) \
    _ATL_DECLARE_WND_CLASS_INFO(WndClassName, 0, nullptr, OrigWndClassName, nullptr, 0)

// A frame's class: its icons are loaded from the common resource id.
#define DECLARE_FRAME_WND_CLASS(WndClassName, uCommonResourceID) \
    _ATL_DECLARE_WND_CLASS_INFO(WndClassName, 0, _ATL_COLOR_BRUSH(COLOR_WINDOW), nullptr, IDC_ARROW, uCommonResourceID)

#define DECLARE_FRAME_WND_SUPERCLASS(WndClassName, OrigWndClassName, uCommonResourceID) \
    _ATL_DECLARE_WND_CLASS_INFO(WndClassName, 0, nullptr, OrigWndClassName, nullptr, uCommonResourceID)

// ---------------------------------------------------------------------------------------------
// Message maps. Inside a map, `bHandled` is the handled flag: set before each handler, cleared by a
// handler to let the map go on as if the entry had not matched. Each map has its own flag, so a
// chained or nested map cannot leave the caller's flag changed.

#define BEGIN_MSG_MAP(theClass)                                                                     \
public:                                                                                             \
    BOOL ProcessWindowMessage(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lResult, \
                              DWORD dwMsgMapID = 0)                                                 \
    {                                                                                               \
        BOOL bHandled = TRUE;                                                                       \
        (void)hWnd;                                                                                 \
        (void)uMsg;                                                                                 \
        (void)wParam;                                                                               \
        (void)lParam;                                                                               \
        (void)lResult;                                                                              \
        (void)bHandled;                                                                             \
        switch (dwMsgMapID) {                                                                       \
        case 0:

// The same with the flag kept in the member m_bMsgHandled, which handlers may read and change through
// IsMsgHandled/SetMsgHandled; its value is saved around the map and restored afterwards.
#define BEGIN_MSG_MAP_EX(theClass)                                                                  \
public:                                                                                             \
    BOOL m_bMsgHandled = TRUE;                                                                      \
    BOOL IsMsgHandled() const { return m_bMsgHandled; }                                             \
    void SetMsgHandled(BOOL handled) { m_bMsgHandled = handled; }                                   \
    BOOL ProcessWindowMessage(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lResult, \
                              DWORD dwMsgMapID = 0)                                                 \
    {                                                                                               \
        const BOOL savedMsgHandled = m_bMsgHandled;                                                 \
        const BOOL result = _ProcessWindowMessage(hWnd, uMsg, wParam, lParam, lResult, dwMsgMapID); \
        m_bMsgHandled = savedMsgHandled;                                                            \
        return result;                                                                              \
    }                                                                                               \
    BOOL _ProcessWindowMessage(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lResult, \
                               DWORD dwMsgMapID)                                                    \
    {                                                                                               \
        BOOL& bHandled = m_bMsgHandled;                                                             \
        (void)hWnd;                                                                                 \
        (void)uMsg;                                                                                 \
        (void)wParam;                                                                               \
        (void)lParam;                                                                               \
        (void)lResult;                                                                              \
        switch (dwMsgMapID) {                                                                       \
        case 0:

#define ALT_MSG_MAP(msgMapID) \
    break;                    \
    case msgMapID:

#define END_MSG_MAP() \
    break;            \
    default:          \
        break;        \
        }             \
        return FALSE; \
        }

#define _ATL_MAP_CALL(call) \
    {                       \
        bHandled = TRUE;    \
        lResult = call;     \
        if (bHandled)       \
            return TRUE;    \
    }

// `msg` may be a variable (a registered message id).
#define MESSAGE_HANDLER(msg, func) \
    if (uMsg == (msg))             \
    _ATL_MAP_CALL(func(uMsg, wParam, lParam, bHandled))

#define MESSAGE_RANGE_HANDLER(msgFirst, msgLast, func) \
    if (uMsg >= (msgFirst) && uMsg <= (msgLast))       \
    _ATL_MAP_CALL(func(uMsg, wParam, lParam, bHandled))

#define _ATL_COMMAND_CALL(func) \
    _ATL_MAP_CALL(func(HIWORD(wParam), LOWORD(wParam), reinterpret_cast<HWND>(lParam), bHandled))
#define _ATL_NMHDR reinterpret_cast<LPNMHDR>(lParam)
#define _ATL_NOTIFY_CALL(func) _ATL_MAP_CALL(func(static_cast<int>(wParam), _ATL_NMHDR, bHandled))

// The tests of the command and notification entries, shared by the direct and the reflected ones
// (WM_COMMAND/WM_NOTIFY and OCM_COMMAND/OCM_NOTIFY). The message is compared first, so the
// notification header is read only from a notification.
#define _ATL_CMD_ID_IS(id) ((id) == LOWORD(wParam))
#define _ATL_CMD_CODE_IS(code) ((code) == HIWORD(wParam))
#define _ATL_CMD_ID_IN(idFirst, idLast) (LOWORD(wParam) >= (idFirst) && LOWORD(wParam) <= (idLast))
#define _ATL_NM_ID_IS(id) (static_cast<UINT_PTR>(id) == _ATL_NMHDR->idFrom)
#define _ATL_NM_CODE_IS(cd) (static_cast<UINT>(cd) == _ATL_NMHDR->code)
#define _ATL_NM_ID_IN(idFirst, idLast) \
    (_ATL_NMHDR->idFrom >= static_cast<UINT_PTR>(idFirst) && _ATL_NMHDR->idFrom <= static_cast<UINT_PTR>(idLast))
#define _ATL_COMMAND_ENTRY(msg, test, func) \
    if (uMsg == (msg) && (test))            \
    _ATL_COMMAND_CALL(func)
#define _ATL_NOTIFY_ENTRY(msg, test, func) \
    if (uMsg == (msg) && (test))           \
    _ATL_NOTIFY_CALL(func)

#define COMMAND_HANDLER(id, code, func) \
    _ATL_COMMAND_ENTRY(WM_COMMAND, _ATL_CMD_ID_IS(id) && _ATL_CMD_CODE_IS(code), func)
#define COMMAND_ID_HANDLER(id, func) _ATL_COMMAND_ENTRY(WM_COMMAND, _ATL_CMD_ID_IS(id), func)
#define COMMAND_CODE_HANDLER(code, func) _ATL_COMMAND_ENTRY(WM_COMMAND, _ATL_CMD_CODE_IS(code), func)
#define COMMAND_RANGE_HANDLER(idFirst, idLast, func) \
    _ATL_COMMAND_ENTRY(WM_COMMAND, _ATL_CMD_ID_IN(idFirst, idLast), func)
#define COMMAND_RANGE_CODE_HANDLER(idFirst, idLast, code, func) \
    _ATL_COMMAND_ENTRY(WM_COMMAND, _ATL_CMD_CODE_IS(code) && _ATL_CMD_ID_IN(idFirst, idLast), func)

#define NOTIFY_HANDLER(id, cd, func) _ATL_NOTIFY_ENTRY(WM_NOTIFY, _ATL_NM_ID_IS(id) && _ATL_NM_CODE_IS(cd), func)
#define NOTIFY_ID_HANDLER(id, func) _ATL_NOTIFY_ENTRY(WM_NOTIFY, _ATL_NM_ID_IS(id), func)
#define NOTIFY_CODE_HANDLER(cd, func) _ATL_NOTIFY_ENTRY(WM_NOTIFY, _ATL_NM_CODE_IS(cd), func)
#define NOTIFY_RANGE_HANDLER(idFirst, idLast, func) _ATL_NOTIFY_ENTRY(WM_NOTIFY, _ATL_NM_ID_IN(idFirst, idLast), func)
#define NOTIFY_RANGE_CODE_HANDLER(idFirst, idLast, cd, func) \
    _ATL_NOTIFY_ENTRY(WM_NOTIFY, _ATL_NM_CODE_IS(cd) && _ATL_NM_ID_IN(idFirst, idLast), func)

#define CHAIN_MSG_MAP(theChainClass)                                                \
    {                                                                               \
        if (theChainClass::ProcessWindowMessage(hWnd, uMsg, wParam, lParam, lResult)) \
            return TRUE;                                                            \
    }
#define CHAIN_MSG_MAP_MEMBER(theChainMember)                                             \
    {                                                                                    \
        if ((theChainMember).ProcessWindowMessage(hWnd, uMsg, wParam, lParam, lResult)) \
            return TRUE;                                                                 \
    }
#define CHAIN_MSG_MAP_ALT(theChainClass, msgMapID)                                               \
    {                                                                                            \
        if (theChainClass::ProcessWindowMessage(hWnd, uMsg, wParam, lParam, lResult, msgMapID)) \
            return TRUE;                                                                         \
    }
#define CHAIN_MSG_MAP_ALT_MEMBER(theChainMember, msgMapID)                                          \
    {                                                                                               \
        if ((theChainMember).ProcessWindowMessage(hWnd, uMsg, wParam, lParam, lResult, msgMapID)) \
            return TRUE;                                                                            \
    }

// Reflection: the parent sends a child's notifications back to the child as OCM_ messages
// (OCM__BASE + the message), where the child's map handles them with the REFLECTED_ entries.
#define REFLECT_NOTIFICATIONS() _ATL_MAP_CALL(this->ReflectNotifications(uMsg, wParam, lParam, bHandled))
#define DEFAULT_REFLECTION_HANDLER()                                               \
    if (this->DefaultReflectionHandler(hWnd, uMsg, wParam, lParam, lResult)) \
        return TRUE;
#define FORWARD_NOTIFICATIONS() _ATL_MAP_CALL(this->ForwardNotifications(uMsg, wParam, lParam, bHandled))

#define REFLECTED_COMMAND_HANDLER(id, code, func) \
    _ATL_COMMAND_ENTRY(OCM_COMMAND, _ATL_CMD_ID_IS(id) && _ATL_CMD_CODE_IS(code), func)
#define REFLECTED_COMMAND_ID_HANDLER(id, func) _ATL_COMMAND_ENTRY(OCM_COMMAND, _ATL_CMD_ID_IS(id), func)
#define REFLECTED_COMMAND_CODE_HANDLER(code, func) _ATL_COMMAND_ENTRY(OCM_COMMAND, _ATL_CMD_CODE_IS(code), func)
#define REFLECTED_COMMAND_RANGE_HANDLER(idFirst, idLast, func) \
    _ATL_COMMAND_ENTRY(OCM_COMMAND, _ATL_CMD_ID_IN(idFirst, idLast), func)
#define REFLECTED_NOTIFY_HANDLER(id, cd, func) \
    _ATL_NOTIFY_ENTRY(OCM_NOTIFY, _ATL_NM_ID_IS(id) && _ATL_NM_CODE_IS(cd), func)
#define REFLECTED_NOTIFY_ID_HANDLER(id, func) _ATL_NOTIFY_ENTRY(OCM_NOTIFY, _ATL_NM_ID_IS(id), func)
#define REFLECTED_NOTIFY_CODE_HANDLER(cd, func) _ATL_NOTIFY_ENTRY(OCM_NOTIFY, _ATL_NM_CODE_IS(cd), func)
#define REFLECTED_NOTIFY_RANGE_HANDLER(idFirst, idLast, func) \
    _ATL_NOTIFY_ENTRY(OCM_NOTIFY, _ATL_NM_ID_IN(idFirst, idLast), func)

// The child that a notification message comes from, or null (reflection helper).
HWND AtlNotificationSource(HWND hWndParent, UINT uMsg, WPARAM wParam, LPARAM lParam) noexcept;
// Whether a message is one of the notifications a parent reflects to its child or a child forwards
// to its parent (WM_COMMAND, WM_NOTIFY, WM_PARENTNOTIFY, the owner-draw, list-key, scroll and
// control-colour messages).
bool AtlIsNotificationMessage(UINT uMsg) noexcept;

// ---------------------------------------------------------------------------------------------
// The implementation root shared by windows and dialogs.

enum : DWORD
{
    WINSTATE_DESTROYED = 0x00000001 // WM_NCDESTROY seen while an outer message was still being handled
};

template <class TBase = CWindow>
class CWindowImplRoot : public TBase, public CMessageMap, protected _AtlWindowLayer
{
public:
    CWindowImplRoot() = default;
    // Copying would bind two objects to one window.
    CWindowImplRoot(const CWindowImplRoot&) = delete;
    CWindowImplRoot& operator=(const CWindowImplRoot&) = delete;
    virtual ~CWindowImplRoot() = default;

    // Destroys the window and touches nothing of the object afterwards: a window that deletes itself
    // in OnFinalMessage is gone when this returns, and the dispatch let go of the handle at
    // WM_NCDESTROY (or lets go when the outermost message ends, for a call from a handler).
    BOOL DestroyWindow() noexcept { return ::DestroyWindow(this->m_hWnd); }

    const _ATL_MSG* GetCurrentMessage() const noexcept { return m_pCurrentMsg; }
    const _ATL_MSG* m_pCurrentMsg = nullptr; // the message being handled, for handlers that need its details
    DWORD m_dwState = 0;

    LRESULT ReflectNotifications(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled) noexcept
    {
        HWND child = AtlNotificationSource(this->m_hWnd, uMsg, wParam, lParam);
        if (!child) {
            bHandled = FALSE;
            return 1;
        }
        return ::SendMessageA(child, OCM__BASE + uMsg, wParam, lParam);
    }
    LRESULT ForwardNotifications(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled) noexcept
    {
        if (!AtlIsNotificationMessage(uMsg)) {
            bHandled = FALSE;
            return 0;
        }
        return ::SendMessageA(::GetParent(this->m_hWnd), uMsg, wParam, lParam);
    }
    // A reflected message no handler took gets the default processing of the original message.
    static BOOL DefaultReflectionHandler(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lResult) noexcept
    {
        if (uMsg < OCM__BASE || !AtlIsNotificationMessage(uMsg - OCM__BASE))
            return FALSE;
        lResult = ::DefWindowProcA(hWnd, uMsg - OCM__BASE, wParam, lParam);
        return TRUE;
    }

    // Called after WM_NCDESTROY, when the object is no longer bound; may delete the object.
    virtual void OnFinalMessage(HWND /*hWnd*/) {}

protected:
    // The end of a dispatch. Only the outermost message ends the object, so that no handler still
    // running sees it deleted.
    void _EndAfterOutermost(HWND hWnd, const _ATL_MSG* outer)
    {
        if ((m_dwState & WINSTATE_DESTROYED) && !outer) {
            m_dwState &= ~WINSTATE_DESTROYED;
            this->m_hWnd = nullptr;
            OnFinalMessage(hWnd);
        }
    }
};

// Windows: created from a registered class or bound to an existing window by subclassing.
template <class TBase = CWindow, class TWinTraits = CControlWinTraits>
class CWindowImplBaseT : public CWindowImplRoot<TBase>
{
public:
    using _AtlWindowLayer::m_pfnSuperWindowProc;

    // An object that goes while its window lives lets go of the window first, so that later
    // messages find no dangling object (the window falls back to its class's default processing).
    ~CWindowImplBaseT() override
    {
        if (this->m_hWnd && ::IsWindow(this->m_hWnd))
            AtlWinUnsubclass(this, this->m_hWnd, true);
    }

    static DWORD GetWndStyle(DWORD dwStyle) noexcept { return TWinTraits::GetWndStyle(dwStyle); }
    static DWORD GetWndExStyle(DWORD dwExStyle) noexcept { return TWinTraits::GetWndExStyle(dwExStyle); }

    HWND Create(HWND hWndParent, _U_RECT rect, LPCSTR szWindowName, DWORD dwStyle, DWORD dwExStyle,
                _U_MENUorID MenuOrID, ATOM atom, LPVOID lpCreateParam = nullptr) noexcept
    {
        if (this->m_hWnd || atom == 0)
            return nullptr;
        if (!rect.m_lpRect)
            rect.m_lpRect = &TBase::rcDefault;
        return AtlLayerCreateWindow(this, atom, hWndParent, *rect.m_lpRect, szWindowName, dwStyle, dwExStyle,
                                    MenuOrID.m_hMenu, lpCreateParam);
    }

    // Binds the object to an existing window. Refused when the object already has a window.
    BOOL SubclassWindow(HWND hWnd) noexcept { return AtlLayerSubclass(this, this->m_hWnd, hWnd); }
    // Gives the window back its previous procedure. Without force, refused (null) when a procedure
    // was installed over this one later; with force the object lets go regardless.
    HWND UnsubclassWindow(BOOL bForce = FALSE) noexcept
    {
        return AtlLayerUnsubclass(this, this->m_hWnd, bForce != FALSE);
    }

    LRESULT DefWindowProc()
    {
        const _ATL_MSG* msg = this->m_pCurrentMsg;
        return msg ? DefWindowProc(msg->message, msg->wParam, msg->lParam) : 0;
    }
    // Frames replace the default processing (DefFrameProc, DefMDIChildProc).
    virtual LRESULT DefWindowProc(UINT uMsg, WPARAM wParam, LPARAM lParam)
    {
        return AtlWinCallSuper(this, this->m_hWnd, uMsg, wParam, lParam);
    }
    WNDPROC GetWindowProc() const noexcept { return AtlWinProc; }

protected:
    LRESULT _LayerDispatch(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) override
    {
        const _ATL_MSG* const outer = this->m_pCurrentMsg;
        LRESULT lResult = 0;
        if (!AtlLayerRunMap(this, 0, this->m_hWnd, this->m_pCurrentMsg, hWnd, uMsg, wParam, lParam, lResult))
            lResult = DefWindowProc(uMsg, wParam, lParam);
        if (uMsg == WM_NCDESTROY) {
            // The window ends: whatever the map did, the object lets go of it.
            AtlLayerWindowEnded(this, hWnd);
            this->m_dwState |= WINSTATE_DESTROYED;
        }
        this->_EndAfterOutermost(hWnd, outer);
        return lResult;
    }
};

template <class T, class TBase = CWindow, class TWinTraits = CControlWinTraits>
class CWindowImpl : public CWindowImplBaseT<TBase, TWinTraits>
{
public:
    DECLARE_WND_CLASS(nullptr)

    HWND Create(HWND hWndParent, _U_RECT rect = nullptr, LPCSTR szWindowName = nullptr, DWORD dwStyle = 0,
                DWORD dwExStyle = 0, _U_MENUorID MenuOrID = 0U, LPVOID lpCreateParam = nullptr) noexcept
    {
        if (!T::GetWndClassInfo().m_lpszOrigName)
            T::GetWndClassInfo().m_lpszOrigName = TBase::GetWndClassName();
        const ATOM atom = T::GetWndClassInfo().Register(&this->m_pfnSuperWindowProc);
        dwStyle = T::GetWndStyle(dwStyle);
        dwExStyle = T::GetWndExStyle(dwExStyle);
        return CWindowImplBaseT<TBase, TWinTraits>::Create(hWndParent, rect, szWindowName, dwStyle, dwExStyle,
                                                          MenuOrID, atom, lpCreateParam);
    }
};

// ---------------------------------------------------------------------------------------------
// A window whose messages go to another object's map, under an alternate map id. It can create a
// window of an existing class (registered again as a superclass) or subclass one.

template <class TBase = CWindow, class TWinTraits = CControlWinTraits>
class CContainedWindowT : public TBase, protected _AtlWindowLayer
{
public:
    using _AtlWindowLayer::m_pfnSuperWindowProc;
    LPCSTR m_lpszClassName = nullptr;
    CMessageMap* m_pObject = nullptr; // not owned
    DWORD m_dwMsgMapID = 0;
    const _ATL_MSG* m_pCurrentMsg = nullptr;

    CContainedWindowT(HWND hWnd = nullptr) noexcept : TBase(hWnd) {}
    CContainedWindowT(LPCSTR lpszClassName, CMessageMap* pObject, DWORD dwMsgMapID = 0) noexcept
        : m_lpszClassName(lpszClassName), m_pObject(pObject), m_dwMsgMapID(dwMsgMapID)
    {
    }
    CContainedWindowT(CMessageMap* pObject, DWORD dwMsgMapID = 0) noexcept
        : m_lpszClassName(TBase::GetWndClassName()), m_pObject(pObject), m_dwMsgMapID(dwMsgMapID)
    {
    }
    CContainedWindowT(const CContainedWindowT&) = delete;
    CContainedWindowT& operator=(const CContainedWindowT&) = delete;
    virtual ~CContainedWindowT()
    {
        if (this->m_hWnd && ::IsWindow(this->m_hWnd) && AtlWinTopLayer(this->m_hWnd))
            AtlWinUnsubclass(this, this->m_hWnd, true);
    }

    CContainedWindowT& operator=(HWND hWnd) noexcept
    {
        this->m_hWnd = hWnd;
        return *this;
    }
    void SwitchMessageMap(DWORD dwMsgMapID) noexcept { m_dwMsgMapID = dwMsgMapID; }
    const _ATL_MSG* GetCurrentMessage() const noexcept { return m_pCurrentMsg; }

    HWND Create(CMessageMap* pObject, DWORD dwMsgMapID, HWND hWndParent, _U_RECT rect,
                LPCSTR szWindowName = nullptr, DWORD dwStyle = 0, DWORD dwExStyle = 0, _U_MENUorID MenuOrID = 0U,
                LPVOID lpCreateParam = nullptr) noexcept
    {
        m_pObject = pObject;
        m_dwMsgMapID = dwMsgMapID;
        return Create(hWndParent, rect, szWindowName, dwStyle, dwExStyle, MenuOrID, lpCreateParam);
    }
    HWND Create(HWND hWndParent, _U_RECT rect, LPCSTR szWindowName = nullptr, DWORD dwStyle = 0,
                DWORD dwExStyle = 0, _U_MENUorID MenuOrID = 0U, LPVOID lpCreateParam = nullptr) noexcept;

    // Binds the object to an existing window. Refused when the object already has a window.
    BOOL SubclassWindow(HWND hWnd) noexcept { return AtlLayerSubclass(this, this->m_hWnd, hWnd); }
    // Gives the window back its previous procedure. Without force, refused (null) when a procedure
    // was installed over this one later; with force the object lets go regardless.
    HWND UnsubclassWindow(BOOL bForce = FALSE) noexcept
    {
        return AtlLayerUnsubclass(this, this->m_hWnd, bForce != FALSE);
    }
    LRESULT DefWindowProc() noexcept
    {
        return m_pCurrentMsg ? DefWindowProc(m_pCurrentMsg->message, m_pCurrentMsg->wParam, m_pCurrentMsg->lParam) : 0;
    }
    LRESULT DefWindowProc(UINT uMsg, WPARAM wParam, LPARAM lParam) noexcept
    {
        return AtlWinCallSuper(this, this->m_hWnd, uMsg, wParam, lParam);
    }

protected:
    LRESULT _LayerDispatch(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) override
    {
        LRESULT lResult = 0;
        if (!AtlLayerRunMap(m_pObject, m_dwMsgMapID, this->m_hWnd, m_pCurrentMsg, hWnd, uMsg, wParam, lParam, lResult))
            lResult = DefWindowProc(uMsg, wParam, lParam);
        if (uMsg == WM_NCDESTROY) {
            AtlLayerWindowEnded(this, hWnd);
            this->m_hWnd = nullptr;
        }
        return lResult;
    }
};

using CContainedWindow = CContainedWindowT<CWindow>;

// Registers (once per class name) a superclass of `className` that runs AtlWinProc; gives its atom
// and the original procedure.
ATOM AtlRegisterContainedClass(LPCSTR className, WNDPROC* superProc) noexcept;

template <class TBase, class TWinTraits>
HWND CContainedWindowT<TBase, TWinTraits>::Create(HWND hWndParent, _U_RECT rect, LPCSTR szWindowName, DWORD dwStyle,
                                                  DWORD dwExStyle, _U_MENUorID MenuOrID, LPVOID lpCreateParam) noexcept
{
    if (this->m_hWnd)
        return nullptr;
    const ATOM atom = AtlRegisterContainedClass(m_lpszClassName, &m_pfnSuperWindowProc);
    if (!atom)
        return nullptr;
    if (!rect.m_lpRect)
        rect.m_lpRect = &CWindow::rcDefault;
    dwStyle = TWinTraits::GetWndStyle(dwStyle);
    dwExStyle = TWinTraits::GetWndExStyle(dwExStyle);
    return AtlLayerCreateWindow(this, atom, hWndParent, *rect.m_lpRect, szWindowName, dwStyle, dwExStyle,
                                MenuOrID.m_hMenu, lpCreateParam);
}

// ---------------------------------------------------------------------------------------------
// Dialogs, modal and modeless, from a resource (T::IDD) or from a template in memory.

template <class TBase = CWindow>
class CDialogImplBaseT : public CWindowImplRoot<TBase>
{
public:
    CDialogImplBaseT() noexcept { this->m_bLayerIsDialog = true; }
    ~CDialogImplBaseT() override
    {
        if (this->m_hWnd && ::IsWindow(this->m_hWnd))
            AtlDlgUnbind(this, this->m_hWnd);
    }

    virtual DLGPROC GetDialogProc() { return AtlDlgProc; }

    INT_PTR DoModalIndirect(LPCDLGTEMPLATEA dialogTemplate, HWND hWndParent = ::GetActiveWindow(),
                            LPARAM dwInitParam = 0) noexcept
    {
        if (this->m_hWnd)
            return -1;
        m_bModal = true;
        CWindowCreationScope creating(this);
        const INT_PTR result = ::DialogBoxIndirectParamA(AtlGetResourceInstance(), dialogTemplate, hWndParent,
                                                         GetDialogProc(), dwInitParam);
        m_bModal = false;
        return result;
    }
    HWND CreateIndirect(LPCDLGTEMPLATEA dialogTemplate, HWND hWndParent = nullptr, LPARAM dwInitParam = 0) noexcept
    {
        if (this->m_hWnd)
            return nullptr;
        m_bModal = false;
        CWindowCreationScope creating(this);
        HWND hWnd = ::CreateDialogIndirectParamA(AtlGetResourceInstance(), dialogTemplate, hWndParent,
                                                 GetDialogProc(), dwInitParam);
        return hWnd;
    }
    // Ends a modal dialog with the given result; a modeless one is destroyed.
    BOOL EndDialog(int nRetCode) noexcept
    {
        if (m_bModal)
            return ::EndDialog(this->m_hWnd, nRetCode);
        return ::DestroyWindow(this->m_hWnd);
    }
    bool IsModal() const noexcept { return m_bModal; }

protected:
    bool m_bModal = false;

    LRESULT _LayerDispatch(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) override
    {
        const _ATL_MSG* const outer = this->m_pCurrentMsg;
        LRESULT lResult = 0;
        bool threw = false;
        const BOOL handled =
            AtlLayerRunMap(this, 0, this->m_hWnd, this->m_pCurrentMsg, hWnd, uMsg, wParam, lParam, lResult, &threw);
        if (threw && uMsg == WM_INITDIALOG)
            EndDialog(-1); // a dialog whose set-up threw is not shown half-built: DoModal gives -1
        const INT_PTR answer = handled ? AtlDlgAnswer(hWnd, uMsg, lResult) : FALSE;
        if (uMsg == WM_NCDESTROY) {
            AtlDlgUnbind(this, hWnd);
            this->m_dwState |= WINSTATE_DESTROYED;
        }
        this->_EndAfterOutermost(hWnd, outer);
        return answer;
    }
};

template <class T, class TBase = CWindow>
class CDialogImpl : public CDialogImplBaseT<TBase>
{
public:
    INT_PTR DoModal(HWND hWndParent = ::GetActiveWindow(), LPARAM dwInitParam = 0) noexcept
    {
        if (this->m_hWnd)
            return -1;
        this->m_bModal = true;
        CWindowCreationScope creating(this);
        const INT_PTR result = ::DialogBoxParamA(AtlGetResourceInstance(), MAKEINTRESOURCEA(static_cast<T*>(this)->IDD),
                                                 hWndParent, this->GetDialogProc(), dwInitParam);
        this->m_bModal = false;
        return result;
    }
    HWND Create(HWND hWndParent, LPARAM dwInitParam = 0) noexcept
    {
        if (this->m_hWnd)
            return nullptr;
        this->m_bModal = false;
        CWindowCreationScope creating(this);
        HWND hWnd = ::CreateDialogParamA(AtlGetResourceInstance(), MAKEINTRESOURCEA(static_cast<T*>(this)->IDD),
                                         hWndParent, this->GetDialogProc(), dwInitParam);
        return hWnd;
    }
};
