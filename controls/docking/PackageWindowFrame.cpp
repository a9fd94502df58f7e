#include "controls/docking/PackageWindowFrame.h"

#include "controls/docking/DockLayout.h"
#include "platform/Diagnostics.h"

#include <algorithm>
#include <cstring>
#include <deque>

// ---- CDockPackage ---------------------------------------------------------------------------

void CDockPackage::SetCentral(IDockElement* central)
{
    Clear();
    m_line = CDockLine(m_line.Start(), m_line.End());
    m_line.Insert(0, m_line.Start(), 0);
    m_line.SetCentral(0);
    m_elements.push_back(central);
}

void CDockPackage::Clear()
{
    m_elements.clear();
    m_line = CDockLine(m_line.Start(), m_line.End());
    m_rect = {};
}

std::vector<CPackageWindow*> CDockPackage::Bars(bool startSide) const
{
    std::vector<CPackageWindow*> bars;
    const int central = Central();
    if (startSide) {
        for (int i = 0; i < central; ++i)
            bars.push_back(static_cast<CPackageWindow*>(m_elements[i]));
    } else {
        for (int i = Count() - 1; i > central; --i)
            bars.push_back(static_cast<CPackageWindow*>(m_elements[i]));
    }
    return bars;
}

void CDockPackage::RefreshMinimums()
{
    for (int i = 0; i < Count(); ++i)
        m_line.SetMinimum(i, m_elements[i]->ElementMinimum(m_horizontal));
}

RECT CDockPackage::ElementRect(int index) const
{
    const int start = m_line.ElementStart(index);
    const int end = m_line.ElementEnd(index);
    return m_horizontal ? RECT{start, m_rect.top, end, m_rect.bottom} : RECT{m_rect.left, start, m_rect.right, end};
}

bool CDockPackage::Layout(const RECT& rect, bool force)
{
    if (!force && ::EqualRect(&rect, &m_rect))
        return true;
    m_rect = rect;
    if (m_elements.empty())
        return true;
    RefreshMinimums();
    const int start = (m_horizontal ? rect.left : rect.top) - CDockLine::kSplitter;
    const int end = m_horizontal ? rect.right : rect.bottom;
    m_line.Resize(start, end);
    HDWP batch = ::BeginDeferWindowPos(Count());
    if (!batch)
        return false;
    std::vector<std::pair<CDockPackage*, RECT>> nested;
    for (int i = 0; i < Count(); ++i) {
        const RECT r = ElementRect(i);
        if (CDockPackage* package = m_elements[i]->AsPackage()) {
            nested.emplace_back(package, r);
            continue;
        }
        if (!m_elements[i]->DeferElementMove(batch, r))
            return false;  // the failed batch is gone; the windows keep their places
    }
    ::EndDeferWindowPos(batch);
    bool laidOut = true;
    for (auto& [package, r] : nested)
        laidOut = package->Layout(r, force) && laidOut;
    return laidOut;
}

int CDockPackage::ElementMinimum(bool horizontal) const
{
    int total = 0;
    for (const IDockElement* element : m_elements) {
        const int minimum = element->ElementMinimum(horizontal);
        total = horizontal == m_horizontal ? total + minimum + CDockLine::kSplitter : std::max(total, minimum);
    }
    return total;
}

bool CDockPackage::DeferElementMove(HDWP&, const RECT& rect) { return Layout(rect, true); }

int CDockPackage::IndexOfBar(HWND bar) const
{
    for (int i = 0; i < Count(); ++i)
        if (i != Central() && m_elements[i]->ElementWindow() == bar)
            return i;
    return -1;
}

bool CDockPackage::AcceptTest(POINT client, SIZE size, CDockDragRecord& record, RECT& ghost)
{
    if (m_elements.empty())
        return false;
    const int acrossStart = m_horizontal ? m_rect.top : m_rect.left;
    const int acrossEnd = m_horizontal ? m_rect.bottom : m_rect.right;
    const int across = Across(client);
    const CDockLine::Offer offer = m_line.HitTest(Along(client), across >= acrossStart && across < acrossEnd);
    if (offer.kind == CDockLine::EOffer::Refuse)
        return false;
    if (offer.kind == CDockLine::EOffer::AskElement) {
        if (offer.element == Central())
            return false;
        HWND bar = m_elements[offer.element]->ElementWindow();
        if (!SendDockRequest(bar, kDockMsgRequest, record))
            return false;
        ghost = DockRect(record);
        ::MapWindowPoints(nullptr, ::GetParent(bar), reinterpret_cast<POINT*>(&ghost), 2);
        return true;
    }
    const int thickness = m_horizontal ? size.cx : size.cy;
    const int index = offer.element;
    int lead = 0;
    if (index < Count() && index <= Central()) {
        lead = m_line.ElementStart(index);
    } else {
        const int before = index - 1;
        const int beforeStart = m_line.ElementStart(before);
        const int beforeSize = m_line.ElementSize(before);
        lead = std::max(m_line.ElementEnd(before) - thickness, beforeStart + beforeSize / 3 + 1);
    }
    ghost = m_horizontal ? RECT{lead, acrossStart, lead + thickness, acrossEnd}
                         : RECT{acrossStart, lead, acrossEnd, lead + thickness};
    return true;
}

CPackageWindow* CDockPackage::NewBar(HWND frame, int index, int thickness, HWND pane)
{
    CPackageWindow* bar = CPackageWindow::CreateBar(frame, !m_horizontal, RECT{0, 0, 0, 0});
    if (!bar)
        return nullptr;
    const int minimum = std::max(CPackageWindow::PaneMinimum(pane, m_horizontal), 0);
    thickness = std::max(thickness, minimum);
    m_line.InsertSized(index, thickness, minimum);
    m_elements.insert(m_elements.begin() + std::clamp(index, 0, Count()), bar);
    // The bar gets its place first, so that the pane is laid out in it at once.
    const int at = IndexOfBar(bar->m_hWnd);
    const RECT r = ElementRect(at);
    ::SetWindowPos(bar->m_hWnd, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
    return bar;
}

bool CDockPackage::DockAtGhost(HWND frame, CDockDragRecord& record, const RECT& ghost)
{
    HWND pane = DockFieldHandle(record.header.pane);
    const int lead = m_horizontal ? ghost.left : ghost.top;
    const int trail = m_horizontal ? ghost.right : ghost.bottom;
    // A ghost stretched across a bar joins that bar.
    const int under = m_line.ElementAt((lead + trail) / 2);
    if (under >= 0 && under != Central() && m_line.ElementStart(under) == lead && m_line.ElementEnd(under) == trail) {
        HWND bar = m_elements[under]->ElementWindow();
        CDockDragRecord join = record;
        join.header.code = kDockDock;
        join.header.host = DockHandleField(bar);
        return SendDockRequest(bar, kDockMsgRequest, join) != 0;
    }
    const int index = m_line.InsertIndexForEdge(lead);
    CPackageWindow* bar = NewBar(frame, index, trail - lead, pane);
    if (!bar)
        return false;
    bar->InsertPane(pane, 0, 0);
    return Relayout();
}

bool CDockPackage::DockAtPosition(HWND frame, CDockPositionRecord& record)
{
    HWND pane = DockFieldHandle(record.header.pane);
    const bool startSide = (record.flags & kDockFlagStartSide) != 0;
    const std::vector<CPackageWindow*> bars = Bars(startSide);
    const int barIndex = static_cast<int>(record.barIndex);
    if (!(record.flags & kDockFlagNewBar) && barIndex < static_cast<int>(bars.size())) {
        CDockPositionRecord join = record;
        join.header.code = kDockSetPosition;
        join.header.host = DockHandleField(bars[barIndex]->m_hWnd);
        const bool joined = SendDockRequest(bars[barIndex]->m_hWnd, kDockMsgRequest, join) != 0;
        return joined && Relayout();
    }
    int index = 0;
    if (startSide)
        index = std::min(barIndex, Central());
    else
        index = std::max(Count() - barIndex, Central() + 1);
    CPackageWindow* bar = NewBar(frame, index, static_cast<int>(record.barThickness), pane);
    if (!bar)
        return false;
    bar->InsertPane(pane, 0, 0);
    return Relayout();
}

bool CDockPackage::RemoveBar(HWND bar)
{
    const int index = IndexOfBar(bar);
    if (index < 0)
        return false;
    m_line.Remove(index);
    m_elements.erase(m_elements.begin() + index);
    return Relayout();
}

bool CDockPackage::BarPlace(HWND bar, CDockPositionRecord& record) const
{
    const int index = IndexOfBar(bar);
    if (index < 0)
        return false;
    if (index < Central()) {
        record.flags |= kDockFlagStartSide;
        record.barIndex = static_cast<uint32_t>(index);
    } else {
        record.barIndex = static_cast<uint32_t>(Count() - 1 - index);
    }
    record.barThickness = static_cast<uint32_t>(std::max(0, m_line.ElementSize(index)));
    return true;
}

int CDockPackage::SplitterAt(POINT client) const
{
    if (!::PtInRect(&m_rect, client))
        return -1;
    return m_line.SplitterAt(Along(client));
}

bool CDockPackage::DragSplitter(HWND frame, int index, POINT grab)
{
    const std::function<void()> apply = [this, frame] {
        if (::IsWindow(frame)) {
            Relayout();
            ::RedrawWindow(frame, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        }
    };
    const int acrossStart = m_horizontal ? m_rect.top : m_rect.left;
    const int acrossEnd = m_horizontal ? m_rect.bottom : m_rect.right;
    const bool accepted = DragDockSplitter(frame, m_line, index, m_horizontal, grab, acrossStart, acrossEnd, apply);
    if (accepted)
        ::RedrawWindow(frame, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    return accepted;
}

// ---- CDockClientElement ---------------------------------------------------------------------

bool CDockClientElement::DeferElementMove(HDWP& batch, const RECT& rect)
{
    if (!m_window)
        return true;
    if (!batch)
        return false;
    batch = ::DeferWindowPos(batch, m_window, nullptr, rect.left, rect.top, rect.right - rect.left,
                             rect.bottom - rect.top, SWP_NOZORDER | SWP_NOACTIVATE);
    return batch != nullptr;
}

// ---- CPackageFrameCore ----------------------------------------------------------------------

CPackageFrameCore::CPackageFrameCore() = default;

CPackageFrameCore::~CPackageFrameCore() { RemoveFocusHook(); }

void CPackageFrameCore::Attach(HWND frame)
{
    m_frame = frame;
    m_outer.SetCentral(&m_inner);
    m_inner.SetCentral(&m_client);
}

void CPackageFrameCore::Detach()
{
    // The bars go with the frame's children; the packages forget them.
    m_outer.Clear();
    m_inner.Clear();
    m_frame = nullptr;
}

void CPackageFrameCore::Layout(HWND client, const RECT& area)
{
    if (!m_frame)
        return;
    m_client.m_window = client;
    m_outer.Layout(area, true);
}

void CPackageFrameCore::Redraw()
{
    if (m_frame)
        ::RedrawWindow(m_frame, nullptr, nullptr,
                       RDW_INVALIDATE | RDW_UPDATENOW | (m_client.m_window ? 0u : static_cast<UINT>(RDW_ERASE)));
}

LRESULT CPackageFrameCore::OnDockRequest(LPARAM lParam)
{
    CDockHeader* header = DockRequestFromMessage(lParam);
    if (!header || !m_frame)
        return 0;
    LRESULT result = 0;
    if (AnswerCommonDockRequest(*this, *header, result))
        return result;
    switch (header->code) {
    case kDockClamp:
    case kDockClampDrag:
        return Clamp(*reinterpret_cast<CDockDragRecord*>(header));
    default:
        return 0;
    }
}

LRESULT CPackageFrameCore::AcceptTest(CDockDragRecord& record)
{
    record.flags = 0;
    POINT point = {record.left, record.top};
    ::ScreenToClient(m_frame, &point);
    const SIZE size = {record.right - record.left, record.bottom - record.top};
    RECT ghost = {};
    bool accepted = false;
    if (m_inner.AcceptTest(point, size, record, ghost)) {
        record.flags |= kDockFlagInnerAccepted;
        accepted = true;
    } else if (m_outer.AcceptTest(point, size, record, ghost)) {
        accepted = true;
    }
    if (!accepted) {
        record.header.host = 0;
        return 0;
    }
    ::MapWindowPoints(m_frame, nullptr, reinterpret_cast<POINT*>(&ghost), 2);
    SetDockRect(record, ghost);
    record.header.host = DockHandleField(m_frame);
    return 1;
}

LRESULT CPackageFrameCore::Dock(CDockDragRecord& record)
{
    const bool inner = (record.flags & kDockFlagInnerAccepted) != 0;
    record.flags &= ~kDockFlagInnerAccepted;
    RECT ghost = DockRect(record);
    ::MapWindowPoints(nullptr, m_frame, reinterpret_cast<POINT*>(&ghost), 2);
    const bool docked = (inner ? m_inner : m_outer).DockAtGhost(m_frame, record, ghost);
    Redraw();
    return docked ? 1 : 0;
}

LRESULT CPackageFrameCore::Undock(HWND bar)
{
    const bool removed = m_outer.RemoveBar(bar) || m_inner.RemoveBar(bar);
    if (removed) {
        m_outer.Relayout();
        Redraw();
    }
    return removed ? 1 : 0;
}

LRESULT CPackageFrameCore::GetPosition(CDockPositionRecord& record)
{
    HWND bar = DockFieldHandle(record.header.pane);
    record.flags = 0;
    if (m_outer.BarPlace(bar, record))
        return 1;
    record.flags = kDockFlagLeftRight;
    return m_inner.BarPlace(bar, record) ? 1 : 0;
}

LRESULT CPackageFrameCore::SetPosition(CDockPositionRecord& record)
{
    HWND pane = DockFieldHandle(record.header.pane);
    if (!::IsWindow(pane))
        return 0;
    const bool docked = ((record.flags & kDockFlagLeftRight) ? m_inner : m_outer).DockAtPosition(m_frame, record);
    Redraw();
    return docked ? 1 : 0;
}

LRESULT CPackageFrameCore::Clamp(CDockDragRecord& record)
{
    RECT client = {};
    ::GetClientRect(m_frame, &client);
    SetDockRect(record, DockGeometry::ClampDragRect(DockRect(record), client.right, client.bottom,
                                                    ::GetSystemMetrics(SM_CXMIN), ::GetSystemMetrics(SM_CYMIN)));
    return 1;
}

bool CPackageFrameCore::OnSetCursor(HWND frame)
{
    const DWORD at = ::GetMessagePos();
    POINT point = {static_cast<short>(LOWORD(at)), static_cast<short>(HIWORD(at))};
    ::ScreenToClient(frame, &point);
    const CDockPackage* packages[] = {&m_inner, &m_outer};
    for (const CDockPackage* package : packages) {
        if (package->SplitterAt(point) >= 0) {
            ::SetCursor(package->Horizontal() ? GetDockingLook().cursorSizeWE : GetDockingLook().cursorSizeNS);
            return true;
        }
    }
    return false;
}

bool CPackageFrameCore::OnLButtonDown(POINT client)
{
    if (!m_frame || !::PtInRect(&m_outer.Rect(), client))
        return false;
    CDockPackage* packages[] = {&m_inner, &m_outer};
    for (CDockPackage* package : packages) {
        const int index = package->SplitterAt(client);
        if (index >= 0) {
            package->DragSplitter(m_frame, index, client);
            return true;
        }
    }
    return false;
}

void CPackageFrameCore::PaintSplitters(HDC dc) const
{
    const CDockPackage* packages[] = {&m_outer, &m_inner};
    for (const CDockPackage* package : packages) {
        const RECT& r = package->Rect();
        for (int i = 1; i < package->Count(); ++i) {
            const int at = package->Line().SplitterStart(i);
            const RECT strip = package->Horizontal() ? RECT{at, r.top, at + CDockLine::kSplitter, r.bottom}
                                                     : RECT{r.left, at, r.right, at + CDockLine::kSplitter};
            ::FillRect(dc, &strip, ::GetSysColorBrush(COLOR_BTNFACE));
        }
    }
}

SIZE CPackageFrameCore::MinimumClientSize() const
{
    return {m_outer.ElementMinimum(true), m_outer.ElementMinimum(false)};
}

// ---- Focus hook -----------------------------------------------------------------------------

namespace {
thread_local std::vector<CPackageFrameCore*> t_hookedFrames;  // the frames of this thread with a hook
thread_local std::deque<HWND> t_captionsToRedraw;

// The pane that holds the window: its nearest ancestor (or itself) whose parent is a bar.
HWND PaneOf(HWND window)
{
    for (; window; window = ::GetParent(window)) {
        HWND parent = ::GetParent(window);
        char name[64] = {};
        if (parent && ::GetClassNameA(parent, name, sizeof(name)) &&
            std::strcmp(name, CPackageWindow::GetWndClassInfo().m_wc.lpszClassName) == 0)
            return window;
    }
    return nullptr;
}
}  // namespace

void CPackageFrameCore::InstallFocusHook()
{
    if (m_hook)
        return;
    m_hook = ::SetWindowsHookExA(WH_CBT, FocusHookProc, nullptr, ::GetCurrentThreadId());
    if (!m_hook) {
        // The frame works without the hook; only the captions do not follow the focus.
        ReportFailure("The docking frame's focus hook could not be installed (E_UNEXPECTED)");
        return;
    }
    t_hookedFrames.push_back(this);
}

void CPackageFrameCore::RemoveFocusHook()
{
    if (!m_hook)
        return;
    ::UnhookWindowsHookEx(m_hook);
    m_hook = nullptr;
    t_hookedFrames.erase(std::remove(t_hookedFrames.begin(), t_hookedFrames.end(), this), t_hookedFrames.end());
    m_lastFocus.clear();
}

HWND CPackageFrameCore::LastFocusIn(HWND pane) const
{
    const auto found = m_lastFocus.find(pane);
    return found == m_lastFocus.end() ? nullptr : found->second;
}

void CPackageFrameCore::OnFocusChange(HWND losing, HWND gaining)
{
    HWND panes[2] = {PaneOf(losing), PaneOf(gaining)};
    for (HWND pane : panes) {
        if (pane) {
            t_captionsToRedraw.push_back(pane);
            ::SetTimer(nullptr, 0, 1, FocusTimerProc);
        }
    }
    if (panes[1] && ::IsChild(panes[1], gaining))
        m_lastFocus[panes[1]] = gaining;
}

LRESULT CALLBACK CPackageFrameCore::FocusHookProc(int code, WPARAM wParam, LPARAM lParam)
{
    HHOOK next = t_hookedFrames.empty() ? nullptr : t_hookedFrames.back()->m_hook;
    try {
        if (code == HCBT_SETFOCUS) {
            for (CPackageFrameCore* frame : t_hookedFrames)
                frame->OnFocusChange(reinterpret_cast<HWND>(lParam), reinterpret_cast<HWND>(wParam));
        } else if (code == HCBT_DESTROYWND) {
            for (CPackageFrameCore* frame : t_hookedFrames) {
                frame->m_lastFocus.erase(reinterpret_cast<HWND>(wParam));
                for (auto it = frame->m_lastFocus.begin(); it != frame->m_lastFocus.end();)
                    it = it->second == reinterpret_cast<HWND>(wParam) ? frame->m_lastFocus.erase(it) : std::next(it);
            }
        }
    } catch (...) {
        ReportCaughtException("CPackageFrameCore::FocusHookProc");
    }
    return ::CallNextHookEx(next, code, wParam, lParam);
}

void CALLBACK CPackageFrameCore::FocusTimerProc(HWND, UINT, UINT_PTR id, DWORD)
{
    ::KillTimer(nullptr, id);
    if (t_captionsToRedraw.empty())
        return;
    HWND pane = t_captionsToRedraw.front();
    t_captionsToRedraw.pop_front();
    if (::IsWindow(pane))
        ::RedrawWindow(pane, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME);
}
