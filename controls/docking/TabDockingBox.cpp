#include "controls/docking/TabDockingBox.h"

#include "controls/docking/PackageWindow.h"
#include "platform/Diagnostics.h"

#include <algorithm>

namespace {
constexpr DWORD kBoxStyle = WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_OVERLAPPEDWINDOW;
constexpr DWORD kBoxExStyle = WS_EX_TOOLWINDOW;
}  // namespace

CTabDockingBox* CTabDockingBox::CreateBox(HWND frame)
{
    auto* box = new CTabDockingBox;
    const ATOM atom = GetWndClassInfo().Register(&box->m_pfnSuperWindowProc);
    if (!box->CreateFor(frame, atom, "", kBoxStyle, kBoxExStyle)) {
        delete box;
        return nullptr;
    }
    box->SetWindowPos(nullptr, 0, 0, 100, 100, SWP_NOZORDER | SWP_NOACTIVATE);
    return box;
}

LRESULT CTabDockingBox::OnCreate(UINT, WPARAM, LPARAM, BOOL& handled)
{
    RECT rect = {0, 0, 100, 24};
    if (!m_strip.Create(m_hWnd, rect, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | kTabStyleToolTips |
                                          kTabStyleBottom, kStripId))
        return -1;
    m_images.Create(16, 16, ILC_COLOR32 | ILC_MASK, 0, 5);
    m_strip.SetImageList(m_images);
    handled = FALSE;  // the pane's own creation goes on
    return 0;
}

int CTabDockingBox::TabCount() const { return m_strip.m_hWnd ? m_strip.GetItemCount() : 0; }

HWND CTabDockingBox::TabPane(int index) const
{
    const CTabItem* item = m_strip.GetItem(index);
    return item ? item->GetViewWindow() : nullptr;
}

int CTabDockingBox::TabIndexOf(HWND pane) const
{
    for (int i = 0; i < TabCount(); ++i)
        if (TabPane(i) == pane)
            return i;
    return -1;
}

bool CTabDockingBox::AddPane(HWND pane, int index)
{
    if (!::IsWindow(pane) || pane == m_hWnd || TabIndexOf(pane) >= 0)
        return false;
    HWND oldParent = ::GetParent(pane);
    ::ShowWindow(pane, SW_HIDE);
    const LONG_PTR oldStyle = ::GetWindowLongPtrA(pane, GWL_STYLE);
    ::SetWindowLongPtrA(pane, GWL_STYLE, (oldStyle & ~static_cast<LONG_PTR>(WS_POPUP | WS_CAPTION)) | WS_CHILD);
    ::SetParent(pane, m_hWnd);
    ::SendMessageA(pane, WM_NCACTIVATE, TRUE, 0);
    ::SendMessageA(pane, kDockMsgHostChanged, 1, reinterpret_cast<LPARAM>(m_hWnd));

    char text[256] = {};
    ::GetWindowTextA(pane, text, sizeof(text));
    HICON icon = reinterpret_cast<HICON>(::SendMessageA(pane, WM_GETICON, ICON_BIG, 0));
    if (!icon)
        icon = reinterpret_cast<HICON>(::GetClassLongPtrA(pane, GCLP_HICONSM));
    const int image = icon ? m_images.AddIcon(icon) : -1;
    auto item = std::make_unique<CViewTabItem>();
    item->SetText(text);
    item->SetImageIndex(image);
    item->SetViewWindow(pane);
    if (index < 0 || index > TabCount())
        index = TabCount();
    if (m_strip.InsertItem(index, std::move(item), false) < 0) {
        // The pane goes back to what it was, told that it is docked nowhere, so that it is not
        // lost inside a box that has no tab for it.
        ::SetParent(pane, oldParent == m_hWnd ? nullptr : oldParent);
        ::SetWindowLongPtrA(pane, GWL_STYLE, oldStyle & ~static_cast<LONG_PTR>(WS_VISIBLE));
        ::SetWindowLongPtrA(pane, GWLP_HWNDPARENT, reinterpret_cast<LPARAM>(m_target));
        ::SendMessageA(pane, kDockMsgHostChanged, 0, reinterpret_cast<LPARAM>(m_hWnd));
        return false;
    }
    if (!m_activePane && m_strip.GetCurSel() >= 0) {
        BOOL handled = TRUE;
        OnSelChange(0, nullptr, handled);
    }
    LayoutBox();
    return true;
}

bool CTabDockingBox::RemovePane(HWND pane)
{
    const int index = TabIndexOf(pane);
    if (index < 0)
        return false;
    if (pane == m_activePane)
        m_activePane = nullptr;
    m_strip.DeleteItem(index, true, false);
    m_activeTab = m_strip.GetCurSel();
    if (!m_activePane && m_activeTab >= 0) {
        BOOL handled = TRUE;
        OnSelChange(0, nullptr, handled);
    }
    ::ShowWindow(pane, SW_HIDE);
    LONG_PTR style = ::GetWindowLongPtrA(pane, GWL_STYLE);
    style = (style & ~static_cast<LONG_PTR>(WS_CHILD)) | WS_POPUP | WS_CAPTION;
    ::SetWindowLongPtrA(pane, GWL_STYLE, style);
    ::SetParent(pane, nullptr);
    ::SetWindowLongPtrA(pane, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(m_target));
    ::SendMessageA(pane, kDockMsgHostChanged, 0, reinterpret_cast<LPARAM>(m_hWnd));
    if (!m_dissolving && TabCount() <= 1) {
        PostMessage(WM_CLOSE, 1);
        if (TabCount() == 0)
            CDockingWindow::Hide();
    }
    LayoutBox();
    return true;
}

bool CTabDockingBox::ActivatePane(HWND pane)
{
    const int index = TabIndexOf(pane);
    if (index < 0)
        return false;
    if (m_strip.GetCurSel() != index)
        m_strip.SetCurSel(index, true);
    if (!IsVisible())
        CDockingWindow::Show();
    return true;
}

void CTabDockingBox::LayoutBox()
{
    RECT client = {};
    GetClientRect(&client);
    const int height = std::min<int>(m_strip.GetStripHeight(), client.bottom);
    ::SetWindowPos(m_strip.m_hWnd, nullptr, 0, client.bottom - height, client.right, height, SWP_NOZORDER | SWP_NOACTIVATE);
    if (m_activePane)
        ::SetWindowPos(m_activePane, nullptr, 0, 0, client.right, std::max(0, static_cast<int>(client.bottom) - height),
                       SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

LRESULT CTabDockingBox::OnSize(UINT, WPARAM wParam, LPARAM, BOOL&)
{
    if (wParam != SIZE_MINIMIZED)
        LayoutBox();
    return 0;
}

LRESULT CTabDockingBox::OnSetFocus(UINT, WPARAM, LPARAM, BOOL&)
{
    if (m_activePane && ::IsWindowVisible(m_activePane))
        ::SetFocus(m_activePane);
    return 0;
}

LRESULT CTabDockingBox::OnSelChange(int, LPNMHDR, BOOL&)
{
    if (m_previewing)
        return 0;
    const int selected = m_strip.GetCurSel();
    HWND pane = TabPane(selected);
    if (m_activePane && m_activePane != pane && ::IsWindow(m_activePane))
        ::ShowWindow(m_activePane, SW_HIDE);
    m_activeTab = selected;
    m_activePane = pane;
    if (pane) {
        char text[256] = {};
        ::GetWindowTextA(pane, text, sizeof(text));
        SetWindowText(text);
        HICON icon = reinterpret_cast<HICON>(::SendMessageA(pane, WM_GETICON, ICON_SMALL, 0));
        SetIcon(icon, FALSE);
    }
    LayoutBox();
    if (pane && ::IsWindowVisible(pane) && HasFocusInside())
        ::SetFocus(pane);
    return 0;
}

LRESULT CTabDockingBox::OnDragOut(int, LPNMHDR, BOOL&)
{
    if (m_activePane) {
        RECT window = {};
        ::GetWindowRect(m_activePane, &window);
        ::PostMessageA(m_activePane, WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(window.right, window.bottom));
    }
    return 0;
}

LRESULT CTabDockingBox::OnTabDoubleClick(int, LPNMHDR header, BOOL&)
{
    const auto* notice = reinterpret_cast<const CTabNotifyItem*>(header);
    if (notice->item >= 0 && m_activePane)
        ::PostMessageA(m_activePane, WM_NCLBUTTONDBLCLK, HTCAPTION, 0);
    return 0;
}

LRESULT CTabDockingBox::OnClose(UINT, WPARAM wParam, LPARAM, BOOL& handled)
{
    if (wParam == 1) {
        Dissolve();
        return 0;
    }
    if (TabCount() >= 2 && m_activePane) {
        // The user closes the shown pane; the neighbouring tab comes up as it leaves.
        ::PostMessageA(m_activePane, WM_CLOSE, 0, 0);
        return 0;
    }
    handled = FALSE;  // closed like a pane: hidden, the focus put back
    return 0;
}

void CTabDockingBox::Dissolve()
{
    if (TabCount() >= 2)
        return;
    m_dissolving = true;
    if (TabCount() == 1) {
        HWND pane = TabPane(0);
        const bool wasVisible = IsVisible();
        RemovePane(pane);
        if (m_host) {
            CDockReplaceRecord replace;
            replace.header.pane = DockHandleField(m_hWnd);
            replace.header.code = kDockReplace;
            replace.replacement = DockHandleField(pane);
            if (!SendDockRequest(m_host, kDockMsgRequest, replace))
                Undock();
        } else {
            RECT window = {};
            GetWindowRect(&window);
            ::SetWindowPos(pane, HWND_TOP, window.left, window.top, window.right - window.left, window.bottom - window.top,
                           (wasVisible ? SWP_SHOWWINDOW : SWP_HIDEWINDOW) | SWP_NOACTIVATE | SWP_FRAMECHANGED);
        }
    } else if (m_host) {
        Undock();
    }
    DestroyWindow();
}

bool CTabDockingBox::Dock(CDockDragRecord& record)
{
    HWND target = DockFieldHandle(record.header.host);
    if (!target || target == m_target || !IsDockingBox(target) || TabCount() == 0)
        return CDockingWindow::Dock(record);
    // Dropped on a box or a pane: the panes move over, and this box closes.
    HWND active = m_activePane;
    m_dissolving = true;
    for (int i = TabCount() - 1; i >= 0; --i) {
        HWND pane = TabPane(i);
        RemovePane(pane);
        CDockDragRecord move = record;
        move.header.pane = DockHandleField(pane);
        move.header.code = kDockDock;
        SendDockRequest(target, GetDockingBoxMessage(), move);
        // A pane that was the target is now a tab of a new box: the later panes go there.
        HWND parent = ::GetParent(pane);
        if (parent && parent != target && IsDockingBox(parent))
            target = parent;
    }
    if (active) {
        CDockHeader activate;
        activate.pane = DockHandleField(active);
        activate.code = kDockActivate;
        SendDockRequest(target, GetDockingBoxMessage(), activate, sizeof(activate));
    }
    PostMessage(WM_CLOSE, 1);
    return true;
}

LRESULT CTabDockingBox::HandleDockRequest(CDockHeader& header)
{
    HWND pane = DockFieldHandle(header.pane);
    switch (header.code) {
    case kDockAccept:
        return AcceptTest(reinterpret_cast<CDockDragRecord&>(header));
    case kDockDock: {
        auto& record = reinterpret_cast<CDockDragRecord&>(header);
        int index = (record.flags & kDockFlagBoxIndex) ? static_cast<int>(record.flags & 0xFFFF) : record.left;
        if (index < 0 || index > TabCount())
            index = TabCount();
        return AddPane(pane, index) ? 1 : 0;
    }
    case kDockSetPosition: {
        auto& record = reinterpret_cast<CDockPositionRecord&>(header);
        const int order = static_cast<int>(record.order);
        return AddPane(pane, order <= TabCount() ? order : TabCount()) ? 1 : 0;
    }
    case kDockUndock:
        return RemovePane(pane) ? 1 : 0;
    case kDockGetPosition:
        return PositionOf(reinterpret_cast<CDockPositionRecord&>(header));
    case kDockIsBox:
        return 1;
    case kDockActivate:
        return ActivatePane(pane) ? 1 : 0;
    case kDockHide:
        CDockingWindow::Hide();
        return 1;
    default:
        return 0;
    }
}

LRESULT CTabDockingBox::PositionOf(CDockPositionRecord& record)
{
    HWND pane = DockFieldHandle(record.header.pane);
    const int index = TabIndexOf(pane);
    if (index < 0)
        return CDockingWindow::PositionOf(record);
    CDockPositionRecord own = record;
    own.header.pane = DockHandleField(m_hWnd);
    if (!CDockingWindow::PositionOf(own))
        return 0;
    record = own;
    record.header.pane = DockHandleField(pane);
    record.order = static_cast<uint32_t>(index);
    HWND other = TabCount() == 2 ? TabPane(1 - index) : m_hWnd;
    record.header.host = DockHandleField(other);
    if (pane == m_activePane)
        record.flags |= kDockFlagActive;
    return 1;
}

// A point over the strip, or on the box's caption, is offered a tab at the place under it.
LRESULT CTabDockingBox::AcceptTest(CDockDragRecord& record)
{
    HWND dragged = DockFieldHandle(record.header.pane);
    if (dragged == m_hWnd || TabIndexOf(dragged) >= 0)
        return 0;
    POINT point = {record.left, record.top};
    HWND under = ::WindowFromPoint(point);
    bool inBox = false;
    for (HWND w = under; w; w = ::GetParent(w))
        inBox = inBox || w == m_hWnd;
    if (!inBox)
        return 0;
    RECT strip = {};
    ::GetWindowRect(m_strip.m_hWnd, &strip);
    const bool onStrip = ::PtInRect(&strip, point) != FALSE;
    const bool onCaption = SendMessage(WM_NCHITTEST, 0, MAKELPARAM(point.x, point.y)) == HTCAPTION;
    if (!onStrip && !onCaption)
        return 0;
    // On the caption the pane goes behind the last tab; over the strip, at the tab under it.
    int index = onStrip ? InsertIndexAt(point) : TabCount();
    if (::GetCapture() && TabCount() > 0)
        index = RunPreview(dragged, index);
    RECT window = {};
    GetWindowRect(&window);
    SetDockRect(record, window);
    record.flags = kDockFlagBoxIndex | static_cast<uint32_t>(index);
    record.header.host = DockHandleField(m_hWnd);
    return 1;
}

int CTabDockingBox::InsertIndexAt(POINT screen) const
{
    POINT client = screen;
    ::ScreenToClient(m_strip.m_hWnd, &client);
    const int hit = m_strip.HitTest(client);
    if (hit >= 0)
        return hit;
    RECT last = {};
    m_strip.GetItemRect(TabCount() - 1, last);
    return client.x > last.right ? TabCount() : 0;
}

// The nested wait of the accept test: the dragging window's next mouse message decides. A move
// without Ctrl that stays over the strip moves the temporary tab (by the reorder rule) and is
// taken; anything else ends the preview and is left for the drag loop. Paint and timer messages
// are dispatched meanwhile, so that the strip shows the tab and the thread's timers run.
int CTabDockingBox::RunPreview(HWND dragged, int index)
{
    HWND capture = ::GetCapture();
    const int previous = m_strip.GetCurSel();
    auto item = std::make_unique<CViewTabItem>();
    char text[256] = {};
    ::GetWindowTextA(dragged, text, sizeof(text));
    item->SetText(text);
    m_previewing = true;
    int at = m_strip.InsertItem(index, std::move(item), true);
    if (at < 0) {
        m_previewing = false;
        return index;
    }
    ::UpdateWindow(m_strip.m_hWnd);
    RECT strip = {};
    ::GetWindowRect(m_strip.m_hWnd, &strip);
    POINT last = {-1, -1};
    const HWND self = m_hWnd;
    for (;;) {
        MSG msg;
        if (::PeekMessageA(&msg, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE) ||
            ::PeekMessageA(&msg, nullptr, WM_TIMER, WM_TIMER, PM_REMOVE)) {
            ::DispatchMessageA(&msg);
            if (!::IsWindow(self))
                return index;
            continue;
        }
        if (::PeekMessageA(&msg, nullptr, WM_SYSKEYDOWN, WM_SYSKEYDOWN, PM_NOREMOVE))
            break;
        if (::GetCapture() != capture)
            break;
        if (::PeekMessageA(&msg, nullptr, WM_MOUSEFIRST, WM_MOUSELAST, PM_NOREMOVE)) {
            POINT point = {static_cast<short>(LOWORD(msg.lParam)), static_cast<short>(HIWORD(msg.lParam))};
            ::ClientToScreen(msg.hwnd, &point);
            if (msg.message != WM_MOUSEMOVE || (msg.wParam & MK_CONTROL) || !::PtInRect(&strip, point))
                break;
            ::PeekMessageA(&msg, msg.hwnd, WM_MOUSEMOVE, WM_MOUSEMOVE, PM_REMOVE);
            POINT client = point;
            ::ScreenToClient(m_strip.m_hWnd, &client);
            const int under = m_strip.HitTest(client);
            RECT draggedRect = {};
            RECT underRect = {};
            m_strip.GetItemRect(at, draggedRect);
            m_strip.GetItemRect(under, underRect);
            if (last.x >= 0 && DockGeometry::ShouldSwap(at, under, client.x - last.x, client.x,
                                                        draggedRect.right - draggedRect.left, underRect)) {
                m_strip.MoveItem(at, under, true, false);
                at = under;
                ::UpdateWindow(m_strip.m_hWnd);
            }
            last = client;
            continue;
        }
        ::WaitMessage();
    }
    m_strip.DeleteItem(at, false, false);
    if (previous >= 0 && previous < TabCount())
        m_strip.SetCurSel(previous, false);
    m_previewing = false;
    m_strip.Invalidate();
    return at;
}
