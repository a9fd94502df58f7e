// The window binding machinery: the one window procedure, the creation slot, subclassing, class
// registration and the reflection helper.
#include "platform/AtlWin.h"

#include "platform/Diagnostics.h"

#include <cstdio>
#include <map>
#include <string>
#include <utility>

RECT CWindow::rcDefault = {CW_USEDEFAULT, CW_USEDEFAULT, 0, 0};

namespace {

// Window properties naming the bound objects. A property rather than GWLP_USERDATA, because the
// windows we subclass (common controls, other programs' code) may use their user data themselves.
// Looked up by atom, the cheap form, on every message.
LPCSTR PropName(const char* name) noexcept
{
    return MAKEINTATOM(::GlobalAddAtomA(name));
}

// Function-local, so that windows made during other files' static initialisation find them ready.
LPCSTR LayerProp() noexcept
{
    static const LPCSTR name = PropName("KivoWindowObject");
    return name;
}

LPCSTR DialogProp() noexcept
{
    static const LPCSTR name = PropName("KivoDialogObject");
    return name;
}

LPCSTR BaseProcProp() noexcept
{
    static const LPCSTR name = PropName("KivoWindowBaseProc");
    return name;
}

// A message on its way down from `from` (a call of DefWindowProc) to the objects beneath it. When
// AtlWinProc is reached again with that very message, for that window, while the frame is innermost,
// the chain has come back to us and the message belongs to the next object down. Anything else,
// such as WM_DESTROY sent by the default processing of WM_CLOSE, is a new message for the top object.
struct DispatchFrame
{
    HWND hWnd;
    _AtlWindowLayer* from; // null: a message being handled
    UINT uMsg;
    WPARAM wParam;
    LPARAM lParam;
    bool consumed;
    DispatchFrame* outer;
};

thread_local DispatchFrame* t_innermost = nullptr;
thread_local _AtlWindowLayer* t_creating = nullptr;

class FrameScope
{
public:
    FrameScope(HWND hWnd, _AtlWindowLayer* from, UINT uMsg = 0, WPARAM wParam = 0, LPARAM lParam = 0) noexcept
        : m_frame{hWnd, from, uMsg, wParam, lParam, false, t_innermost}
    {
        t_innermost = &m_frame;
    }
    ~FrameScope() { t_innermost = m_frame.outer; }
    FrameScope(const FrameScope&) = delete;
    FrameScope& operator=(const FrameScope&) = delete;

private:
    DispatchFrame m_frame;
};

// The object beneath the one passing this message on, when the message is that one coming back.
_AtlWindowLayer* TakeChainContinuation(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) noexcept
{
    DispatchFrame* frame = t_innermost;
    if (!frame || !frame->from || frame->consumed || frame->hWnd != hWnd || frame->uMsg != uMsg ||
        frame->wParam != wParam || frame->lParam != lParam)
        return nullptr;
    frame->consumed = true;
    return frame->from->m_pLayerBelow;
}

_AtlWindowLayer* GetLayer(HWND hWnd, LPCSTR prop) noexcept
{
    return static_cast<_AtlWindowLayer*>(::GetPropA(hWnd, prop));
}

void SetLayer(HWND hWnd, LPCSTR prop, _AtlWindowLayer* layer) noexcept
{
    if (layer)
        ::SetPropA(hWnd, prop, layer);
    else
        ::RemovePropA(hWnd, prop);
}

// Original procedures of the superclasses registered here, by class atom: the default of windows of
// those classes that have no object.
CComAutoCriticalSection& RegistrationLock()
{
    static CComAutoCriticalSection lock;
    return lock;
}

std::map<ATOM, WNDPROC>& SuperclassProcs()
{
    static std::map<ATOM, WNDPROC> procs;
    return procs;
}

std::map<std::string, std::pair<ATOM, WNDPROC>>& ContainedClasses()
{
    static std::map<std::string, std::pair<ATOM, WNDPROC>> classes;
    return classes;
}

// Where a message goes when no object of ours takes it.
WNDPROC BaseProc(HWND hWnd) noexcept
{
    if (auto base = reinterpret_cast<WNDPROC>(::GetPropA(hWnd, BaseProcProp())))
        return base;
    const ATOM atom = static_cast<ATOM>(::GetClassLongPtrA(hWnd, GCW_ATOM));
    CComCritSecLock<CComAutoCriticalSection> lock(RegistrationLock());
    const auto found = SuperclassProcs().find(atom);
    return found != SuperclassProcs().end() ? found->second : ::DefWindowProcA;
}

// What a window procedure answers for a message whose handling threw: creation fails rather than
// leave a window half-built (CreateWindowEx then destroys it and returns null); any other message
// gets 0, as the default processing gives most.
LRESULT AnswerAfterThrow(UINT uMsg) noexcept
{
    switch (uMsg) {
    case WM_NCCREATE:
        return FALSE;
    case WM_CREATE:
        return -1;
    default:
        return 0;
    }
}

} // namespace

_AtlWindowLayer* AtlWinSetCreating(_AtlWindowLayer* layer) noexcept
{
    _AtlWindowLayer* previous = t_creating;
    t_creating = layer;
    return previous;
}

_AtlWindowLayer* AtlWinTopLayer(HWND hWnd) noexcept
{
    return GetLayer(hWnd, LayerProp());
}

LRESULT CALLBACK AtlWinProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    _AtlWindowLayer* layer = TakeChainContinuation(hWnd, uMsg, wParam, lParam);
    if (!layer) {
        layer = GetLayer(hWnd, LayerProp());
        if (!layer && t_creating && !t_creating->m_bLayerIsDialog) {
            // The first message of a window being created: bind its object now.
            layer = t_creating;
            t_creating = nullptr;
            layer->m_pLayerBelow = nullptr;
            SetLayer(hWnd, LayerProp(), layer);
        }
    }
    if (!layer)
        return ::CallWindowProcA(BaseProc(hWnd), hWnd, uMsg, wParam, lParam);
    FrameScope scope(hWnd, nullptr);
    try {
        return layer->_LayerDispatch(hWnd, uMsg, wParam, lParam);
    } catch (...) {
        // An exception must not unwind through the system's window code. A handler's own is caught in
        // AtlLayerRunMap, which lets the default processing answer; one that reaches here came from
        // that default processing or from OnFinalMessage, so nothing is run again.
        ReportCaughtException("window procedure");
        return AnswerAfterThrow(uMsg);
    }
}

INT_PTR CALLBACK AtlDlgProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    _AtlWindowLayer* layer = GetLayer(hWnd, DialogProp());
    if (!layer && t_creating && t_creating->m_bLayerIsDialog) {
        layer = t_creating;
        t_creating = nullptr;
        AtlDlgBind(layer, hWnd);
    }
    if (!layer)
        return FALSE;
    FrameScope scope(hWnd, nullptr);
    try {
        return layer->_LayerDispatch(hWnd, uMsg, wParam, lParam);
    } catch (...) {
        // FALSE leaves the message to the dialog manager's default processing.
        ReportCaughtException("dialog procedure");
        return FALSE;
    }
}

BOOL AtlLayerRunMap(CMessageMap* map, DWORD mapId, HWND& boundWindow, const _ATL_MSG*& current, HWND hWnd, UINT uMsg,
                    WPARAM wParam, LPARAM lParam, LRESULT& lResult, bool* threw) noexcept
{
    if (threw)
        *threw = false;
    if (!boundWindow)
        boundWindow = hWnd;
    if (!map)
        return FALSE;
    _ATL_MSG msg(hWnd, uMsg, wParam, lParam);
    _AtlCurrentMsgScope scope(current, &msg);
    try {
        return map->ProcessWindowMessage(hWnd, uMsg, wParam, lParam, lResult, mapId);
    } catch (...) {
        ReportCaughtException("message handler");
    }
    if (threw)
        *threw = true;
    if (uMsg != WM_NCCREATE && uMsg != WM_CREATE)
        return FALSE;
    lResult = AnswerAfterThrow(uMsg);
    return TRUE;
}

void AtlLayerWindowEnded(_AtlWindowLayer* layer, HWND hWnd) noexcept
{
    AtlWinUnsubclass(layer, hWnd, true);
    layer->m_pfnSuperWindowProc = ::DefWindowProcA;
}

INT_PTR AtlDlgAnswer(HWND hWnd, UINT uMsg, LRESULT lResult) noexcept
{
    switch (uMsg) {
    // These answer through the dialog procedure's return value itself.
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_INITDIALOG:
    case WM_QUERYDRAGICON:
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
        return lResult;
    case WM_NCDESTROY:
        return TRUE;
    default:
        ::SetWindowLongPtrA(hWnd, DWLP_MSGRESULT, lResult);
        return TRUE;
    }
}

void AtlDlgBind(_AtlWindowLayer* layer, HWND hWnd) noexcept
{
    SetLayer(hWnd, DialogProp(), layer);
}

void AtlDlgUnbind(_AtlWindowLayer* layer, HWND hWnd) noexcept
{
    if (GetLayer(hWnd, DialogProp()) == layer)
        SetLayer(hWnd, DialogProp(), nullptr);
}

bool AtlWinSubclass(_AtlWindowLayer* layer, HWND hWnd) noexcept
{
    if (!::IsWindow(hWnd))
        return false;
    auto previous = reinterpret_cast<WNDPROC>(::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(AtlWinProc)));
    if (!previous)
        return false;
    layer->m_pLayerBelow = GetLayer(hWnd, LayerProp());
    layer->m_bLayerInstalledProc = true;
    SetLayer(hWnd, LayerProp(), layer);
    layer->m_pfnSuperWindowProc = previous;
    return true;
}

bool AtlWinUnsubclass(_AtlWindowLayer* layer, HWND hWnd, bool force) noexcept
{
    _AtlWindowLayer* const top = GetLayer(hWnd, LayerProp());
    const bool ourProcOnTop = reinterpret_cast<WNDPROC>(::GetWindowLongPtrA(hWnd, GWLP_WNDPROC)) == AtlWinProc;
    if (top == layer) {
        if (!force && !ourProcOnTop)
            return false;
        // With force and another procedure over ours, that procedure is cut off: the window gets
        // back what this object replaced.
        if (layer->m_bLayerInstalledProc)
            ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(layer->m_pfnSuperWindowProc));
        SetLayer(hWnd, LayerProp(), layer->m_pLayerBelow);
    } else {
        if (!force)
            return false;
        // Another object of ours lies above: take this one out of the chain and leave the
        // procedures alone, so the objects above keep working.
        _AtlWindowLayer* above = top;
        while (above && above->m_pLayerBelow != layer)
            above = above->m_pLayerBelow;
        if (!above)
            return true; // not bound (any more)
        above->m_pLayerBelow = layer->m_pLayerBelow;
        if (above->m_pfnSuperWindowProc == AtlWinProc && layer->m_bLayerInstalledProc) {
            // The object above sat directly on this one: it now passes messages where this one did.
            above->m_pfnSuperWindowProc = layer->m_pfnSuperWindowProc;
        } else if (!layer->m_pLayerBelow && layer->m_bLayerInstalledProc) {
            // A foreign procedure lies between: it still calls AtlWinProc, which must then find
            // the procedure this object had replaced.
            ::SetPropA(hWnd, BaseProcProp(), reinterpret_cast<HANDLE>(layer->m_pfnSuperWindowProc));
        }
    }
    if (!GetLayer(hWnd, LayerProp()))
        ::RemovePropA(hWnd, BaseProcProp());
    layer->m_pLayerBelow = nullptr;
    layer->m_bLayerInstalledProc = false;
    return true;
}

LRESULT AtlWinCallSuper(_AtlWindowLayer* layer, HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    const WNDPROC superProc = layer->m_pfnSuperWindowProc;
    if (!layer->m_pLayerBelow) {
        // Nothing of ours lies beneath, so the chain never comes back to AtlWinProc. (When it
        // would, the object beneath was taken out: go straight to the original procedure.)
        return ::CallWindowProcA(superProc == AtlWinProc ? BaseProc(hWnd) : superProc, hWnd, uMsg, wParam, lParam);
    }
    FrameScope scope(hWnd, layer, uMsg, wParam, lParam);
    return ::CallWindowProcA(superProc, hWnd, uMsg, wParam, lParam);
}

ATOM CWndClassInfo::Register(WNDPROC* superProc) noexcept
{
    CComCritSecLock<CComAutoCriticalSection> lock(RegistrationLock());
    if (m_atom) {
        *superProc = pWndProc;
        return m_atom;
    }
    const HINSTANCE instance = AtlGetModuleInstance();
    if (m_lpszOrigName) {
        WNDCLASSEXA original = {sizeof(original)};
        if (!::GetClassInfoExA(nullptr, m_lpszOrigName, &original) &&
            !::GetClassInfoExA(instance, m_lpszOrigName, &original))
            return 0;
        const LPCSTR name = m_wc.lpszClassName;
        const UINT style = m_wc.style;
        m_wc = original;
        m_wc.cbSize = sizeof(m_wc);
        m_wc.lpszClassName = name;
        m_wc.style |= style;
        m_wc.style &= ~CS_GLOBALCLASS;
        pWndProc = original.lpfnWndProc;
    } else {
        pWndProc = ::DefWindowProcA;
        if (m_lpszCursorID)
            m_wc.hCursor = ::LoadCursorA(m_bSystemCursor ? nullptr : instance, m_lpszCursorID);
        if (m_uCommonResourceID) {
            m_wc.hIcon = static_cast<HICON>(::LoadImageA(AtlGetResourceInstance(), MAKEINTRESOURCEA(m_uCommonResourceID),
                                                          IMAGE_ICON, ::GetSystemMetrics(SM_CXICON),
                                                          ::GetSystemMetrics(SM_CYICON), LR_DEFAULTCOLOR));
            m_wc.hIconSm = static_cast<HICON>(::LoadImageA(AtlGetResourceInstance(), MAKEINTRESOURCEA(m_uCommonResourceID),
                                                            IMAGE_ICON, ::GetSystemMetrics(SM_CXSMICON),
                                                            ::GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR));
        }
    }
    m_wc.lpfnWndProc = AtlWinProc;
    m_wc.hInstance = instance;
    if (!m_wc.lpszClassName) {
        std::snprintf(m_szAutoName, sizeof(m_szAutoName), "ATL:%p", static_cast<void*>(this));
        m_wc.lpszClassName = m_szAutoName;
    }
    // The class may exist already (another module instance registered the same name).
    WNDCLASSEXA existing = {sizeof(existing)};
    m_atom = static_cast<ATOM>(::GetClassInfoExA(instance, m_wc.lpszClassName, &existing));
    if (m_atom && existing.lpfnWndProc != AtlWinProc)
        m_atom = 0; // a foreign class of that name: registering fails below and reports it
    if (!m_atom)
        m_atom = ::RegisterClassExA(&m_wc);
    if (m_atom && m_lpszOrigName)
        SuperclassProcs()[m_atom] = pWndProc;
    *superProc = pWndProc;
    return m_atom;
}

ATOM AtlRegisterContainedClass(LPCSTR className, WNDPROC* superProc) noexcept
{
    if (!className || IS_INTRESOURCE(className))
        return 0;
    CComCritSecLock<CComAutoCriticalSection> lock(RegistrationLock());
    auto& classes = ContainedClasses();
    const auto found = classes.find(className);
    if (found != classes.end()) {
        *superProc = found->second.second;
        return found->second.first;
    }
    const HINSTANCE instance = AtlGetModuleInstance();
    WNDCLASSEXA wc = {sizeof(wc)};
    if (!::GetClassInfoExA(nullptr, className, &wc) && !::GetClassInfoExA(instance, className, &wc))
        return 0;
    const std::string name = std::string("ATL:") + className;
    const WNDPROC original = wc.lpfnWndProc;
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = AtlWinProc;
    wc.hInstance = instance;
    wc.lpszClassName = name.c_str();
    wc.style &= ~CS_GLOBALCLASS;
    ATOM atom = ::RegisterClassExA(&wc);
    if (!atom)
        return 0;
    classes[className] = {atom, original};
    SuperclassProcs()[atom] = original;
    *superProc = original;
    return atom;
}

bool AtlIsNotificationMessage(UINT uMsg) noexcept
{
    switch (uMsg) {
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_PARENTNOTIFY:
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
    case WM_COMPAREITEM:
    case WM_DELETEITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
        return true;
    default:
        return false;
    }
}

HWND AtlNotificationSource(HWND hWndParent, UINT uMsg, WPARAM wParam, LPARAM lParam) noexcept
{
    switch (uMsg) {
    case WM_COMMAND:
        return reinterpret_cast<HWND>(lParam); // null for menus and accelerators
    case WM_NOTIFY:
        return lParam ? reinterpret_cast<LPNMHDR>(lParam)->hwndFrom : nullptr;
    case WM_PARENTNOTIFY:
        switch (LOWORD(wParam)) {
        case WM_CREATE:
        case WM_DESTROY:
            return reinterpret_cast<HWND>(lParam);
        default:
            return ::GetDlgItem(hWndParent, HIWORD(wParam));
        }
    case WM_DRAWITEM:
        return wParam ? reinterpret_cast<LPDRAWITEMSTRUCT>(lParam)->hwndItem : nullptr;
    case WM_MEASUREITEM:
        return wParam ? ::GetDlgItem(hWndParent, reinterpret_cast<LPMEASUREITEMSTRUCT>(lParam)->CtlID) : nullptr;
    case WM_COMPAREITEM:
        return wParam ? reinterpret_cast<LPCOMPAREITEMSTRUCT>(lParam)->hwndItem : nullptr;
    case WM_DELETEITEM:
        return wParam ? reinterpret_cast<LPDELETEITEMSTRUCT>(lParam)->hwndItem : nullptr;
    default:
        // The rest of the notifications (scrolling, colours, list-box keys) name the control in lParam.
        return AtlIsNotificationMessage(uMsg) ? reinterpret_cast<HWND>(lParam) : nullptr;
    }
}

BOOL CWindow::GetWindowText(BSTR& text) const
{
    ::SysFreeString(text);
    text = nullptr;
    const int length = ::GetWindowTextLengthW(m_hWnd);
    text = ::SysAllocStringLen(nullptr, length);
    if (!text)
        return FALSE;
    ::GetWindowTextW(m_hWnd, text, length + 1);
    return TRUE;
}

BOOL CWindow::ResizeClient(int width, int height, BOOL redraw) noexcept
{
    RECT rc = {0, 0, width, height};
    const DWORD style = GetStyle();
    if (!::AdjustWindowRectEx(&rc, style, !(style & WS_CHILD) && ::GetMenu(m_hWnd) != nullptr, GetExStyle()))
        return FALSE;
    UINT flags = SWP_NOZORDER | SWP_NOMOVE | SWP_NOACTIVATE;
    if (!redraw)
        flags |= SWP_NOREDRAW;
    return ::SetWindowPos(m_hWnd, nullptr, 0, 0, rc.right - rc.left, rc.bottom - rc.top, flags);
}

BOOL CWindow::CenterWindow(HWND hWndCenter) noexcept
{
    const DWORD style = GetStyle();
    if (!hWndCenter)
        hWndCenter = (style & WS_CHILD) ? ::GetParent(m_hWnd) : ::GetWindow(m_hWnd, GW_OWNER);
    RECT dialog;
    ::GetWindowRect(m_hWnd, &dialog);
    RECT area;
    RECT center;
    if (!(style & WS_CHILD)) {
        // Over the owner when it is visible and not minimised, else over the work area of the monitor.
        if (hWndCenter && (!::IsWindowVisible(hWndCenter) || ::IsIconic(hWndCenter)))
            hWndCenter = nullptr;
        MONITORINFO monitor = {sizeof(monitor)};
        ::GetMonitorInfoA(::MonitorFromWindow(hWndCenter ? hWndCenter : m_hWnd, MONITOR_DEFAULTTONEAREST), &monitor);
        area = monitor.rcWork;
        if (hWndCenter)
            ::GetWindowRect(hWndCenter, &center);
        else
            center = area;
    } else {
        HWND parent = ::GetParent(m_hWnd);
        ::GetClientRect(parent, &area);
        ::GetClientRect(hWndCenter, &center);
        ::MapWindowPoints(hWndCenter, parent, reinterpret_cast<POINT*>(&center), 2);
        ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&dialog), 2);
    }
    const int width = dialog.right - dialog.left;
    const int height = dialog.bottom - dialog.top;
    int left = (center.left + center.right) / 2 - width / 2;
    int top = (center.top + center.bottom) / 2 - height / 2;
    if (left + width > area.right)
        left = area.right - width;
    if (left < area.left)
        left = area.left;
    if (top + height > area.bottom)
        top = area.bottom - height;
    if (top < area.top)
        top = area.top;
    return ::SetWindowPos(m_hWnd, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

HWND CWindow::GetTopLevelParent() const noexcept
{
    HWND parent = m_hWnd;
    for (HWND next = parent; next;) {
        parent = next;
        next = (::GetWindowLongPtrA(parent, GWL_STYLE) & WS_CHILD) ? ::GetParent(parent) : ::GetWindow(parent, GW_OWNER);
    }
    return parent;
}

HWND CWindow::GetTopLevelWindow() const noexcept
{
    HWND window = m_hWnd;
    while (window && (::GetWindowLongPtrA(window, GWL_STYLE) & WS_CHILD))
        window = ::GetParent(window);
    return window;
}

BOOL AtlLayerSubclass(_AtlWindowLayer* layer, HWND& boundWindow, HWND hWnd) noexcept
{
    if (boundWindow || !::IsWindow(hWnd) || !AtlWinSubclass(layer, hWnd))
        return FALSE;
    boundWindow = hWnd;
    return TRUE;
}

HWND AtlLayerUnsubclass(_AtlWindowLayer* layer, HWND& boundWindow, bool force) noexcept
{
    if (!boundWindow || !layer->m_bLayerInstalledProc || !AtlWinUnsubclass(layer, boundWindow, force))
        return nullptr;
    layer->m_pfnSuperWindowProc = ::DefWindowProcA;
    return std::exchange(boundWindow, nullptr);
}

HWND AtlLayerCreateWindow(_AtlWindowLayer* layer, ATOM atom, HWND hWndParent, const RECT& rect, LPCSTR szWindowName,
                          DWORD dwStyle, DWORD dwExStyle, HMENU hMenu, LPVOID lpCreateParam) noexcept
{
    CWindowCreationScope creating(layer);
    layer->m_bLayerInstalledProc = false;
    return ::CreateWindowExA(dwExStyle, MAKEINTATOM(atom), szWindowName, dwStyle, rect.left, rect.top,
                             rect.right - rect.left, rect.bottom - rect.top, hWndParent, hMenu, AtlGetModuleInstance(),
                             lpCreateParam);
}
