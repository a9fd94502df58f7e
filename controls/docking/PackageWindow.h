#pragma once
// The bar of the docking frame (window class "CPackageWindowFrame::CPackageWindow"): a child
// of the frame that holds the panes docked in one row or column, stacked along the bar with
// 3-pixel splitters between them, and the element interface through which the frame's packages
// lay out bars, the inner package and the client window.
//
// Lifetime: the window owns the object. A package creates a bar with new when a pane docks at a
// new place; the bar deletes itself in OnFinalMessage, after it destroys itself when its last pane
// leaves (having asked the frame to take it out of its package first) or with the frame.
#include "controls/docking/DockLayout.h"
#include "controls/docking/DockingRecord.h"
#include "platform/AtlWin.h"

#include <functional>
#include <vector>

// An entry of a package: a bar, the inner package or the frame's client window.
class CDockPackage;
class IDockElement {
public:
    virtual ~IDockElement() = default;
    // The element as a package when it is one, else null. The kind is asked, never inferred: the
    // client element has no window either while the frame has no client window.
    virtual CDockPackage* AsPackage() { return nullptr; }
    // The element's window (null for a package).
    virtual HWND ElementWindow() const = 0;
    // The element's minimum width (horizontal) or height.
    virtual int ElementMinimum(bool horizontal) const = 0;
    // Moves the element to rect (client coordinates of the frame) as part of the batch; false
    // when the batch failed (the batch is then null).
    virtual bool DeferElementMove(HDWP& batch, const RECT& rect) = 0;
};

using CPackageWindowTraits = CWinTraits<WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0>;

class CPackageWindow : public CWindowImpl<CPackageWindow, CWindow, CPackageWindowTraits>, public IDockElement {
public:
    DECLARE_WND_CLASS_EX("CPackageWindowFrame::CPackageWindow", 0, COLOR_BTNFACE)

    // A new bar window in the frame; horizontal bars line their panes up from left to right.
    static CPackageWindow* CreateBar(HWND frame, bool horizontal, const RECT& rect);

    bool Horizontal() const { return m_horizontal; }
    int PaneCount() const { return static_cast<int>(m_panes.size()); }
    HWND Pane(int index) const { return m_panes[index]; }
    int IndexOf(HWND pane) const;
    const CDockLine& Line() const { return m_line; }
    // The span of pane i along the bar (client coordinates).
    int PaneStart(int index) const { return m_line.ElementStart(index); }
    int PaneEnd(int index) const { return m_line.ElementEnd(index); }

    // Puts the pane into the bar at index with a length along the bar (0: share the room).
    bool InsertPane(HWND pane, int index, int length);
    // A pane's minimum size along the bar (WM_GETMINMAXINFO of the pane).
    static int PaneMinimum(HWND pane, bool alongWidth);

    HWND ElementWindow() const override { return m_hWnd; }
    int ElementMinimum(bool horizontal) const override;
    bool DeferElementMove(HDWP& batch, const RECT& rect) override;

    // Lays the panes out in the bar's client area.
    void LayoutPanes();
    // The splitter under a point of the client area (index of the pane after it) or -1.
    int SplitterAt(POINT client) const;
    // Moves splitter i to a position along the bar (limited to the panes' minimums).
    void MoveSplitter(int index, int position);

    BEGIN_MSG_MAP(CPackageWindow)
        MESSAGE_HANDLER(kDockMsgRequest, OnDockRequest)
        MESSAGE_HANDLER(WM_SIZE, OnSize)
        MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBackground)
        MESSAGE_HANDLER(WM_PAINT, OnPaint)
        MESSAGE_HANDLER(WM_SETCURSOR, OnSetCursor)
        MESSAGE_HANDLER(WM_LBUTTONDOWN, OnLButtonDown)
        MESSAGE_HANDLER(WM_GETMINMAXINFO, OnGetMinMaxInfo)
        MESSAGE_HANDLER(WM_CLOSE, OnClose)
    END_MSG_MAP()

protected:
    void OnFinalMessage(HWND) override { delete this; }

private:
    CPackageWindow(HWND frame, bool horizontal) : m_frame(frame), m_horizontal(horizontal) {}

    LRESULT OnDockRequest(UINT, WPARAM, LPARAM lParam, BOOL&);
    LRESULT OnSize(UINT, WPARAM wParam, LPARAM, BOOL&);
    LRESULT OnEraseBackground(UINT, WPARAM, LPARAM, BOOL&) { return 1; }
    LRESULT OnPaint(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnSetCursor(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnLButtonDown(UINT, WPARAM, LPARAM lParam, BOOL&);
    LRESULT OnGetMinMaxInfo(UINT, WPARAM, LPARAM lParam, BOOL&);
    // Bars are closed only by their last pane leaving: a WM_CLOSE would destroy the panes in them.
    LRESULT OnClose(UINT, WPARAM, LPARAM, BOOL&) { return 0; }

    template <class TContainer>
    friend bool AnswerCommonDockRequest(TContainer& container, CDockHeader& header, LRESULT& result);
    LRESULT AcceptTest(CDockDragRecord& record);
    LRESULT Dock(CDockDragRecord& record);
    LRESULT Undock(HWND pane);
    LRESULT GetPosition(CDockPositionRecord& record);
    LRESULT SetPosition(CDockPositionRecord& record);
    LRESULT Replace(HWND pane, HWND replacement);
    void TakePane(HWND pane);
    void RefreshMinimums();
    int Along(POINT point) const { return m_horizontal ? point.x : point.y; }
    int Length() const;

    HWND m_frame = nullptr;     // the docking frame (not owned)
    bool m_horizontal = false;
    CDockLine m_line;
    std::vector<HWND> m_panes;  // the docked panes, in the line's order (children of the bar)
};

// Gives the pane up as a docked child: hidden, a popup again (owned by `owner`), no parent, told
// that `host` let it go.
void ReleaseDockedPane(HWND pane, HWND host, HWND owner);

// Drags splitter `index` of `line` (client coordinates of `window`, along x when horizontal) from
// the grab point in the modal loop. `across` is the strip's extent across the line. With the
// outline look the strip is drawn as a ghost and `apply` runs once at the end; otherwise `apply`
// runs at every move. A cancelled drag puts the line back as it was (and applies it). True when
// the drag was accepted.
bool DragDockSplitter(HWND window, CDockLine& line, int index, bool horizontal, POINT grab, int acrossStart,
                      int acrossEnd, const std::function<void()>& apply);
