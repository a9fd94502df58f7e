#include "controls/docking/PackageWindow.h"

#include "controls/docking/DockingLook.h"
#include "platform/Diagnostics.h"

#include <algorithm>
#include <cmath>

// ---- Shared helpers -------------------------------------------------------------------------

void ReleaseDockedPane(HWND pane, HWND host, HWND owner)
{
    ::ShowWindow(pane, SW_HIDE);
    LONG_PTR style = ::GetWindowLongPtrA(pane, GWL_STYLE);
    style = (style & ~static_cast<LONG_PTR>(WS_CHILD)) | WS_POPUP;
    ::SetWindowLongPtrA(pane, GWL_STYLE, style);
    ::SetParent(pane, nullptr);
    // A floating pane stays above the frame: the frame owns it.
    ::SetWindowLongPtrA(pane, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(owner));
    ::SendMessageA(pane, kDockMsgHostChanged, 0, reinterpret_cast<LPARAM>(host));
}

namespace {
class CSplitterTracker : public IDockDragTracker {
public:
    CSplitterTracker(HWND window, CDockLine& line, int index, bool horizontal, int offset, int acrossStart,
                     int acrossEnd, const std::function<void()>& apply)
        : m_window(window), m_line(line), m_index(index), m_horizontal(horizontal), m_offset(offset),
          m_acrossStart(acrossStart), m_acrossEnd(acrossEnd), m_apply(apply),
          m_outline(GetDockingLook().OutlineDrag())
    {
        if (m_outline)
            ShowGhost(m_line.SplitterStart(m_index));
    }

    void OnDragMove(POINT screen, bool) override
    {
        POINT client = screen;
        ::ScreenToClient(m_window, &client);
        const int wanted = (m_horizontal ? client.x : client.y) - m_offset;
        if (m_outline) {
            CDockLine trial = m_line;
            trial.MoveSplitter(m_index, wanted);
            m_position = trial.SplitterStart(m_index);
            ShowGhost(m_position);
        } else {
            m_line.MoveSplitter(m_index, wanted);
            m_apply();
        }
    }
    void OnControlKey(bool) override {}

    void Finish(bool accepted)
    {
        m_ghost.Erase();
        if (accepted && m_outline && m_position != kNoPosition) {
            m_line.MoveSplitter(m_index, m_position);
            m_apply();
        }
    }

private:
    static constexpr int kNoPosition = -0x7FFFFFFF;
    void ShowGhost(int position)
    {
        RECT strip = m_horizontal ? RECT{position, m_acrossStart, position + CDockLine::kSplitter, m_acrossEnd}
                                  : RECT{m_acrossStart, position, m_acrossEnd, position + CDockLine::kSplitter};
        ::MapWindowPoints(m_window, nullptr, reinterpret_cast<POINT*>(&strip), 2);
        m_ghost.ShowStrip(strip);
    }

    HWND m_window;
    CDockLine& m_line;
    int m_index;
    bool m_horizontal;
    int m_offset;
    int m_acrossStart;
    int m_acrossEnd;
    const std::function<void()>& m_apply;
    bool m_outline;
    int m_position = kNoPosition;
    CDockGhost m_ghost;
};
}  // namespace

bool DragDockSplitter(HWND window, CDockLine& line, int index, bool horizontal, POINT grab, int acrossStart,
                      int acrossEnd, const std::function<void()>& apply)
{
    const CDockLine before = line;
    const int offset = (horizontal ? grab.x : grab.y) - line.SplitterStart(index);
    CSplitterTracker tracker(window, line, index, horizontal, offset, acrossStart, acrossEnd, apply);
    const bool accepted = RunDockDragLoop(window, tracker) == EDockDragEnd::Accepted;
    tracker.Finish(accepted);
    if (!accepted) {
        // Both looks leave the splitter where it was when the drag is cancelled.
        line = before;
        apply();
    }
    return accepted;
}

// ---- CPackageWindow -------------------------------------------------------------------------

CPackageWindow* CPackageWindow::CreateBar(HWND frame, bool horizontal, const RECT& rect)
{
    auto* bar = new CPackageWindow(frame, horizontal);
    if (!bar->Create(frame, const_cast<RECT&>(rect))) {
        delete bar;
        return nullptr;
    }
    return bar;
}

int CPackageWindow::IndexOf(HWND pane) const
{
    const auto found = std::find(m_panes.begin(), m_panes.end(), pane);
    return found == m_panes.end() ? -1 : static_cast<int>(found - m_panes.begin());
}

int CPackageWindow::PaneMinimum(HWND pane, bool alongWidth)
{
    MINMAXINFO info = {};
    ::SendMessageA(pane, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    return std::max<int>(0, alongWidth ? info.ptMinTrackSize.x : info.ptMinTrackSize.y);
}

int CPackageWindow::Length() const
{
    RECT client = {};
    ::GetClientRect(m_hWnd, &client);
    return m_horizontal ? client.right : client.bottom;
}

void CPackageWindow::RefreshMinimums()
{
    for (int i = 0; i < PaneCount(); ++i)
        m_line.SetMinimum(i, PaneMinimum(m_panes[i], m_horizontal));
}

int CPackageWindow::ElementMinimum(bool horizontal) const
{
    if (horizontal == m_horizontal) {
        int total = 0;
        for (HWND pane : m_panes)
            total += PaneMinimum(pane, horizontal) + CDockLine::kSplitter;
        return std::max(0, total - CDockLine::kSplitter);
    }
    int largest = 0;
    for (HWND pane : m_panes)
        largest = std::max(largest, PaneMinimum(pane, horizontal));
    return largest;
}

bool CPackageWindow::DeferElementMove(HDWP& batch, const RECT& rect)
{
    if (!batch)
        return false;
    batch = ::DeferWindowPos(batch, m_hWnd, nullptr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                             SWP_NOZORDER | SWP_NOACTIVATE);
    return batch != nullptr;
}

void CPackageWindow::TakePane(HWND pane)
{
    ::ShowWindow(pane, SW_HIDE);
    LONG_PTR style = ::GetWindowLongPtrA(pane, GWL_STYLE);
    style = (style & ~static_cast<LONG_PTR>(WS_POPUP)) | WS_CHILD;
    ::SetWindowLongPtrA(pane, GWL_STYLE, style);
    ::SetParent(pane, m_hWnd);
    ::SendMessageA(pane, kDockMsgHostChanged, 1, reinterpret_cast<LPARAM>(m_hWnd));
}

bool CPackageWindow::InsertPane(HWND pane, int index, int length)
{
    if (!::IsWindow(pane) || IndexOf(pane) >= 0)
        return false;
    TakePane(pane);
    const int total = Length();
    m_line.Resize(-CDockLine::kSplitter, std::max(total, 0));
    index = std::clamp(index, 0, PaneCount());
    const int count = PaneCount();
    if (length <= 0)
        length = count == 0 ? total : total / (count + 1);
    m_line.InsertSized(index, length, PaneMinimum(pane, m_horizontal));
    m_panes.insert(m_panes.begin() + index, pane);
    LayoutPanes();
    return true;
}

void CPackageWindow::LayoutPanes()
{
    if (m_panes.empty())
        return;
    RECT client = {};
    ::GetClientRect(m_hWnd, &client);
    RefreshMinimums();
    m_line.Resize(-CDockLine::kSplitter, m_horizontal ? client.right : client.bottom);
    HDWP batch = ::BeginDeferWindowPos(PaneCount());
    for (int i = 0; i < PaneCount() && batch; ++i) {
        const int start = m_line.ElementStart(i);
        const int end = m_line.ElementEnd(i);
        const RECT r = m_horizontal ? RECT{start, 0, end, client.bottom} : RECT{0, start, client.right, end};
        batch = ::DeferWindowPos(batch, m_panes[i], nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    }
    if (batch)
        ::EndDeferWindowPos(batch);
    ::InvalidateRect(m_hWnd, nullptr, FALSE);
}

int CPackageWindow::SplitterAt(POINT client) const { return m_line.SplitterAt(Along(client)); }

void CPackageWindow::MoveSplitter(int index, int position)
{
    m_line.MoveSplitter(index, position);
    LayoutPanes();
}

LRESULT CPackageWindow::OnDockRequest(UINT, WPARAM, LPARAM lParam, BOOL&)
{
    CDockHeader* header = DockRequestFromMessage(lParam);
    if (!header)
        return 0;
    LRESULT result = 0;
    if (AnswerCommonDockRequest(*this, *header, result))
        return result;
    switch (header->code) {
    case kDockReplace:
        return Replace(DockFieldHandle(header->pane),
                       DockFieldHandle(reinterpret_cast<CDockReplaceRecord*>(header)->replacement));
    case kDockMinSize: {
        HWND pane = DockFieldHandle(header->pane);
        return IndexOf(pane) >= 0 ? PaneMinimum(pane, m_horizontal) : 0;
    }
    default:
        return 0;
    }
}

LRESULT CPackageWindow::AcceptTest(CDockDragRecord& record)
{
    HWND dragged = DockFieldHandle(record.header.pane);
    if (PaneCount() == 0 || (PaneCount() == 1 && m_panes[0] == dragged))
        return 0;
    POINT point = {record.left, record.top};
    ::ScreenToClient(m_hWnd, &point);
    RECT client = {};
    ::GetClientRect(m_hWnd, &client);
    if (!::PtInRect(&client, point))
        return 0;
    const int paneMinimum = PaneMinimum(dragged, m_horizontal);
    const int acrossMinimum = PaneMinimum(dragged, !m_horizontal);
    const int across = m_horizontal ? client.bottom : client.right;
    const int length = Length();
    if (acrossMinimum > across || ElementMinimum(m_horizontal) + paneMinimum + CDockLine::kSplitter >= length)
        return 0;
    // The rectangle keeps its length along the bar and is stretched across it.
    RECT ghost = DockRect(record);
    RECT bar = {};
    ::GetWindowRect(m_hWnd, &bar);
    if (m_horizontal) {
        ghost.top = bar.top;
        ghost.bottom = bar.bottom;
    } else {
        ghost.left = bar.left;
        ghost.right = bar.right;
    }
    SetDockRect(record, ghost);
    record.header.host = DockHandleField(m_hWnd);
    return 1;
}

LRESULT CPackageWindow::Dock(CDockDragRecord& record)
{
    HWND pane = DockFieldHandle(record.header.pane);
    POINT lead = {record.left, record.top};
    ::ScreenToClient(m_hWnd, &lead);
    const int length = m_horizontal ? record.right - record.left : record.bottom - record.top;
    m_line.Resize(-CDockLine::kSplitter, Length());
    const int index = m_line.InsertIndexForEdge(Along(lead));
    return InsertPane(pane, index, length) ? 1 : 0;
}

LRESULT CPackageWindow::Undock(HWND pane)
{
    const int index = IndexOf(pane);
    if (index < 0)
        return 0;
    m_line.Remove(index);
    m_panes.erase(m_panes.begin() + index);
    ReleaseDockedPane(pane, m_hWnd, m_frame);
    if (m_panes.empty()) {
        // An empty bar leaves the frame's package and ends; the object goes with its window.
        CDockHeader request;
        request.pane = DockHandleField(m_hWnd);
        request.code = kDockUndock;
        SendDockRequest(m_frame, kDockMsgRequest, request, sizeof(request));
        DestroyWindow();
    } else {
        LayoutPanes();
    }
    return 1;
}

LRESULT CPackageWindow::GetPosition(CDockPositionRecord& record)
{
    HWND pane = DockFieldHandle(record.header.pane);
    const int index = IndexOf(pane);
    if (index < 0)
        return 0;
    // The frame tells the bar's place: side, index and thickness.
    CDockPositionRecord place;
    place.header.pane = DockHandleField(m_hWnd);
    place.header.code = kDockGetPosition;
    if (!SendDockRequest(m_frame, kDockMsgRequest, place))
        return 0;
    const int length = std::max(1, Length());
    record.flags = place.flags & (kDockFlagLeftRight | kDockFlagStartSide);
    if (PaneCount() == 1)
        record.flags |= kDockFlagNewBar;
    record.barIndex = place.barIndex;
    record.barThickness = place.barThickness;
    record.position = static_cast<float>(static_cast<double>(PaneStart(index)) / length);
    record.paneLength = static_cast<uint32_t>(std::max(0, PaneEnd(index) - PaneStart(index)));
    record.header.host = DockHandleField(m_hWnd);
    record.docked = 1;
    return 1;
}

LRESULT CPackageWindow::SetPosition(CDockPositionRecord& record)
{
    HWND pane = DockFieldHandle(record.header.pane);
    const int length = Length();
    const int start = static_cast<int>(std::lround(record.position * static_cast<double>(length)));
    int index = 0;
    while (index < PaneCount() && PaneStart(index) <= start)
        ++index;
    if (index == 0)
        return InsertPane(pane, 0, static_cast<int>(record.paneLength)) ? 1 : 0;
    if (!::IsWindow(pane) || IndexOf(pane) >= 0)
        return 0;
    TakePane(pane);
    m_line.Insert(index, start - CDockLine::kSplitter, PaneMinimum(pane, m_horizontal));
    m_panes.insert(m_panes.begin() + index, pane);
    LayoutPanes();
    return 1;
}

LRESULT CPackageWindow::Replace(HWND pane, HWND replacement)
{
    const int index = IndexOf(pane);
    if (index < 0 || !::IsWindow(replacement) || IndexOf(replacement) >= 0)
        return 0;
    m_panes[index] = replacement;
    ReleaseDockedPane(pane, m_hWnd, m_frame);
    TakePane(replacement);
    LayoutPanes();
    return 1;
}

LRESULT CPackageWindow::OnSize(UINT, WPARAM wParam, LPARAM, BOOL&)
{
    if (wParam != SIZE_MINIMIZED)
        LayoutPanes();
    return 0;
}

LRESULT CPackageWindow::OnPaint(UINT, WPARAM, LPARAM, BOOL&)
{
    PAINTSTRUCT paint;
    HDC dc = ::BeginPaint(m_hWnd, &paint);
    RECT client = {};
    ::GetClientRect(m_hWnd, &client);
    for (int i = 1; i < PaneCount(); ++i) {
        const int at = m_line.SplitterStart(i);
        const RECT strip = m_horizontal ? RECT{at, 0, at + CDockLine::kSplitter, client.bottom}
                                        : RECT{0, at, client.right, at + CDockLine::kSplitter};
        ::FillRect(dc, &strip, ::GetSysColorBrush(COLOR_BTNFACE));
    }
    ::EndPaint(m_hWnd, &paint);
    return 0;
}

LRESULT CPackageWindow::OnSetCursor(UINT, WPARAM wParam, LPARAM lParam, BOOL& handled)
{
    if (reinterpret_cast<HWND>(wParam) != m_hWnd || LOWORD(lParam) != HTCLIENT) {
        handled = FALSE;
        return 0;
    }
    const DWORD at = ::GetMessagePos();
    POINT point = {static_cast<short>(LOWORD(at)), static_cast<short>(HIWORD(at))};
    ::ScreenToClient(m_hWnd, &point);
    if (SplitterAt(point) < 0) {
        handled = FALSE;
        return 0;
    }
    ::SetCursor(m_horizontal ? GetDockingLook().cursorSizeWE : GetDockingLook().cursorSizeNS);
    return TRUE;
}

LRESULT CPackageWindow::OnLButtonDown(UINT, WPARAM, LPARAM lParam, BOOL& handled)
{
    const POINT point = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    const int index = SplitterAt(point);
    if (index < 0) {
        handled = FALSE;
        return 0;
    }
    RECT client = {};
    ::GetClientRect(m_hWnd, &client);
    const HWND self = m_hWnd;
    const std::function<void()> apply = [this, self] {
        if (::IsWindow(self))
            LayoutPanes();
    };
    DragDockSplitter(m_hWnd, m_line, index, m_horizontal, point, 0, m_horizontal ? client.bottom : client.right, apply);
    return 0;
}

LRESULT CPackageWindow::OnGetMinMaxInfo(UINT, WPARAM, LPARAM lParam, BOOL&)
{
    auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
    const int along = ElementMinimum(m_horizontal);
    const int across = ElementMinimum(!m_horizontal);
    info->ptMinTrackSize.x = m_horizontal ? along : across;
    info->ptMinTrackSize.y = m_horizontal ? across : along;
    info->ptMaxTrackSize.x = info->ptMaxTrackSize.y = 0;
    return 0;
}
