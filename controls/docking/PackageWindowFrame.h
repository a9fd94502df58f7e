#pragma once
// The docking layer of a frame window: CPackageWindowFrame<T> is a mix-in whose map the frame
// chains. It divides the frame's client area (what the tool bar and status bar leave) between the
// docked bars and the frame's client window: the outer package lines bars up from top to bottom
// (top and bottom bars span the whole width) around the inner package, which lines bars up from
// left to right around the client window. It answers the docking requests of panes and boxes,
// draws and drags the splitters between bars, and keeps the frame's docking look up to date.
//
// How a frame takes it in (T derives from the frame base and from CPackageWindowFrame<T>):
//     BEGIN_MSG_MAP(CMyFrame)
//         ...the frame's own entries (WM_CREATE creates the client window)...
//         CHAIN_MSG_MAP(CPackageWindowFrame<CMyFrame>)
//         CHAIN_MSG_MAP(CMDIFrameWindowImpl<CMyFrame>)
//     END_MSG_MAP()
//     using CPackageWindowFrame<CMyFrame>::UpdateLayout;
// T supplies m_hWnd, m_hWndClient and UpdateBarsPosition(RECT&, BOOL) (the frame base's).
#include "controls/docking/DockingLook.h"
#include "controls/docking/DockingRecord.h"
#include "controls/docking/PackageWindow.h"
#include "platform/AtlWin.h"

#include <algorithm>
#include <map>
#include <memory>
#include <vector>

// A package: bars lined up along one axis around a central element.
class CDockPackage : public IDockElement {
public:
    explicit CDockPackage(bool horizontal) : m_horizontal(horizontal) {}

    bool Horizontal() const { return m_horizontal; }
    const RECT& Rect() const { return m_rect; }
    const CDockLine& Line() const { return m_line; }
    int Count() const { return static_cast<int>(m_elements.size()); }
    IDockElement* Element(int index) const { return m_elements[index]; }
    // The central element's index, and the bars on each side in order from the frame's edge.
    int Central() const { return m_line.Central(); }
    std::vector<CPackageWindow*> Bars(bool startSide) const;

    void SetCentral(IDockElement* central);
    void Clear();
    // Lays the package out in rect (client coordinates of the frame); unless forced, nothing
    // happens when rect is the last one.
    bool Layout(const RECT& rect, bool force);
    bool Relayout() { return Layout(m_rect, true); }

    CDockPackage* AsPackage() override { return this; }
    HWND ElementWindow() const override { return nullptr; }
    int ElementMinimum(bool horizontal) const override;
    bool DeferElementMove(HDWP& batch, const RECT& rect) override;

    int IndexOfBar(HWND bar) const;
    // The accept test at a client point for a dragged rectangle of `size`: fills ghost (client)
    // with the new bar's place, or hands the request to the bar under the point.
    bool AcceptTest(POINT client, SIZE size, CDockDragRecord& record, RECT& ghost);
    // Docks the pane at the ghost (client): into the bar the ghost covers, or as a new bar.
    bool DockAtGhost(HWND frame, CDockDragRecord& record, const RECT& ghost);
    // Docks at a stored place (side, bar index, thickness, position in the bar).
    bool DockAtPosition(HWND frame, CDockPositionRecord& record);
    bool RemoveBar(HWND bar);
    bool BarPlace(HWND bar, CDockPositionRecord& record) const;
    // The splitter at a client point (index of the element after it), or -1.
    int SplitterAt(POINT client) const;
    bool DragSplitter(HWND frame, int index, POINT grab);
    RECT ElementRect(int index) const;

private:
    CPackageWindow* NewBar(HWND frame, int index, int thickness, HWND pane);
    int Along(POINT point) const { return m_horizontal ? point.x : point.y; }
    int Across(POINT point) const { return m_horizontal ? point.y : point.x; }
    void RefreshMinimums();

    bool m_horizontal;
    CDockLine m_line;
    std::vector<IDockElement*> m_elements;  // not owned: bars own themselves, the frame owns the rest
    RECT m_rect = {};
};

// The frame's client window as a package element.
class CDockClientElement : public IDockElement {
public:
    HWND m_window = nullptr;  // the frame's client window (the frame owns it)
    HWND ElementWindow() const override { return m_window; }
    int ElementMinimum(bool) const override { return 0; }
    bool DeferElementMove(HDWP& batch, const RECT& rect) override;
};

// What the mix-in does, apart from the frame template: the packages and the request answers.
class CPackageFrameCore {
public:
    CPackageFrameCore();
    CPackageFrameCore(const CPackageFrameCore&) = delete;
    CPackageFrameCore& operator=(const CPackageFrameCore&) = delete;
    ~CPackageFrameCore();

    CDockPackage& Outer() { return m_outer; }
    CDockPackage& Inner() { return m_inner; }

    void Attach(HWND frame);
    void Detach();
    // Gives the packages the area (client coordinates); the client window takes what bars leave.
    void Layout(HWND client, const RECT& area);

    LRESULT OnDockRequest(LPARAM lParam);
    bool OnSetCursor(HWND frame);
    bool OnLButtonDown(POINT client);
    void PaintSplitters(HDC dc) const;
    // The frame's minimum track size: every bar at its minimum around the client window.
    SIZE MinimumClientSize() const;

    // The focus hook: repaints a pane's caption when the focus enters or leaves it.
    void InstallFocusHook();
    void RemoveFocusHook();
    // The window inside a pane that last had the focus, or null.
    HWND LastFocusIn(HWND pane) const;

private:
    template <class TContainer>
    friend bool AnswerCommonDockRequest(TContainer& container, CDockHeader& header, LRESULT& result);
    LRESULT AcceptTest(CDockDragRecord& record);
    LRESULT Dock(CDockDragRecord& record);
    LRESULT Undock(HWND bar);
    LRESULT GetPosition(CDockPositionRecord& record);
    LRESULT SetPosition(CDockPositionRecord& record);
    LRESULT Clamp(CDockDragRecord& record);
    void Redraw();
    static LRESULT CALLBACK FocusHookProc(int code, WPARAM wParam, LPARAM lParam);
    static void CALLBACK FocusTimerProc(HWND, UINT, UINT_PTR, DWORD);
    void OnFocusChange(HWND losing, HWND gaining);

    HWND m_frame = nullptr;  // the frame (not owned)
    CDockPackage m_outer{false};
    CDockPackage m_inner{true};
    CDockClientElement m_client;
    HHOOK m_hook = nullptr;
    std::map<HWND, HWND> m_lastFocus;  // pane -> the window inside it that last got the focus
};

template <class T>
class CPackageWindowFrame {
public:
    CPackageFrameCore m_docking;

    // The frame's bars take their strips, the packages the rest.
    void UpdateLayout(BOOL resizeBars = TRUE)
    {
        T* frame = static_cast<T*>(this);
        if (!frame->m_hWnd)
            return;
        RECT rect = {};
        ::GetClientRect(frame->m_hWnd, &rect);
        frame->UpdateBarsPosition(rect, resizeBars);
        m_docking.Layout(frame->m_hWndClient, rect);
    }

    BEGIN_MSG_MAP(CPackageWindowFrame)
        MESSAGE_HANDLER(WM_CREATE, OnCreate)
        MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
        MESSAGE_HANDLER(WM_SYSCOLORCHANGE, OnSettingChange)
        MESSAGE_HANDLER(WM_SETTINGCHANGE, OnSettingChange)
        MESSAGE_HANDLER(WM_PAINT, OnPaint)
        MESSAGE_HANDLER(WM_SETCURSOR, OnSetCursor)
        MESSAGE_HANDLER(WM_LBUTTONDOWN, OnLButtonDown)
        MESSAGE_HANDLER(WM_GETMINMAXINFO, OnGetMinMaxInfo)
        MESSAGE_HANDLER(WM_SIZE, OnSize)
        MESSAGE_HANDLER(kDockMsgRequest, OnDockRequest)
        NOTIFY_CODE_HANDLER(RBN_AUTOSIZE, OnReBarAutoSize)
    END_MSG_MAP()

    LRESULT OnCreate(UINT, WPARAM, LPARAM, BOOL& handled)
    {
        GetDockingLook().Refresh(0);
        m_docking.Attach(static_cast<T*>(this)->m_hWnd);
        m_docking.InstallFocusHook();
        handled = FALSE;  // the frame's own creation goes on
        return 0;
    }
    LRESULT OnDestroy(UINT, WPARAM, LPARAM, BOOL& handled)
    {
        m_docking.RemoveFocusHook();
        m_docking.Detach();
        handled = FALSE;
        return 0;
    }
    LRESULT OnSettingChange(UINT, WPARAM, LPARAM, BOOL& handled)
    {
        GetDockingLook().Refresh();
        handled = FALSE;
        return 0;
    }
    LRESULT OnPaint(UINT, WPARAM, LPARAM, BOOL&)
    {
        PAINTSTRUCT paint;
        HDC dc = ::BeginPaint(static_cast<T*>(this)->m_hWnd, &paint);
        m_docking.PaintSplitters(dc);
        ::EndPaint(static_cast<T*>(this)->m_hWnd, &paint);
        return 0;
    }
    LRESULT OnSetCursor(UINT, WPARAM wParam, LPARAM lParam, BOOL& handled)
    {
        HWND frame = static_cast<T*>(this)->m_hWnd;
        if (reinterpret_cast<HWND>(wParam) == frame && LOWORD(lParam) == HTCLIENT && m_docking.OnSetCursor(frame))
            return TRUE;
        handled = FALSE;
        return 0;
    }
    LRESULT OnLButtonDown(UINT, WPARAM, LPARAM lParam, BOOL& handled)
    {
        const POINT point = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        if (!m_docking.OnLButtonDown(point))
            handled = FALSE;
        return 0;
    }
    LRESULT OnGetMinMaxInfo(UINT, WPARAM, LPARAM lParam, BOOL& handled)
    {
        auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
        const SIZE minimum = m_docking.MinimumClientSize();
        info->ptMinTrackSize.x = std::max<LONG>(info->ptMinTrackSize.x, minimum.cx);
        info->ptMinTrackSize.y = std::max<LONG>(info->ptMinTrackSize.y, minimum.cy);
        handled = FALSE;
        return 0;
    }
    // The frame bases would give the client window the whole area; the packages lay out instead.
    LRESULT OnSize(UINT message, WPARAM wParam, LPARAM lParam, BOOL&)
    {
        if (wParam != SIZE_MINIMIZED)
            UpdateLayout(TRUE);
        return ::DefWindowProcA(static_cast<T*>(this)->m_hWnd, message, wParam, lParam);
    }
    LRESULT OnDockRequest(UINT, WPARAM, LPARAM lParam, BOOL& handled)
    {
        if (!DockRequestFromMessage(lParam)) {
            handled = FALSE;  // not a docking request: a message of the same number for the frame
            return 0;
        }
        return m_docking.OnDockRequest(lParam);
    }
    LRESULT OnReBarAutoSize(int, LPNMHDR, BOOL&)
    {
        UpdateLayout(FALSE);
        return 0;
    }
};
