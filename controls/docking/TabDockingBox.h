#pragma once
// CTabDockingBox ("CTabDockingBox"): several docking panes in one place, one shown at a time, with
// a flying tab strip along the bottom to switch between them, reorder them and drag one out. A box
// is itself a docking window (it docks in a bar, floats, hides and shows like a pane) and answers
// the docking protocol as a box. Boxes are made when a pane is dropped on another pane's caption
// (or a stored group is restored) and dissolve when fewer than two panes are left: the last pane
// takes the box's place.
//
// Lifetime: the window owns the object (it deletes itself in OnFinalMessage); a box destroys its
// window when it dissolves or merges into another box. The panes in it are its children while
// they are tabs and are given back as floating panes when they leave.
#include "controls/FlyingTabCtrl.h"
#include "controls/docking/DockingWindow.h"
#include "platform/AtlCtrls.h"

// Drag record flag of a box's accept test: the low 16 bits of the flags hold the tab index the
// dropped pane is to take (the record's rectangle holds the ghost, the box's window rectangle).
constexpr uint32_t kDockFlagBoxIndex = 0x40000000u;

class CTabDockingBox : public CDockingWindow {
public:
    DECLARE_WND_CLASS_EX("CTabDockingBox", CS_DBLCLKS, COLOR_BTNFACE)
    static constexpr UINT kStripId = 1;

    // A new floating box of the frame, hidden, at (0, 0, 100, 100) until it takes a place.
    static CTabDockingBox* CreateBox(HWND frame);

    int TabCount() const;
    HWND TabPane(int index) const;
    int TabIndexOf(HWND pane) const;
    int ActiveTab() const { return m_activeTab; }
    HWND ActivePane() const { return m_activePane; }
    CFlyingTabCtrl& Strip() { return m_strip; }

    // Makes the pane a tab at index (out of range: at the end). On failure the pane is given back
    // as it was handed in (a floating pane, not docked anywhere).
    bool AddPane(HWND pane, int index);
    // Gives the pane back (hidden, floating); the box dissolves when one tab or none is left.
    bool RemovePane(HWND pane);
    // Shows the pane's tab (with the selection notice); shows the box when it is hidden.
    bool ActivatePane(HWND pane);

    bool Dock(CDockDragRecord& record) override;

    BEGIN_MSG_MAP(CTabDockingBox)
        MESSAGE_HANDLER(WM_CREATE, OnCreate)
        MESSAGE_HANDLER(WM_SIZE, OnSize)
        MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBackground)
        MESSAGE_HANDLER(WM_SETFOCUS, OnSetFocus)
        MESSAGE_HANDLER(WM_CLOSE, OnClose)
        NOTIFY_CODE_HANDLER(TCN_SELCHANGE, OnSelChange)
        NOTIFY_CODE_HANDLER(kFlyingTabDragOut, OnDragOut)
        NOTIFY_CODE_HANDLER(NM_DBLCLK, OnTabDoubleClick)
        CHAIN_MSG_MAP(CDockingWindow)
    END_MSG_MAP()

protected:
    LRESULT HandleDockRequest(CDockHeader& header) override;
    LRESULT PositionOf(CDockPositionRecord& record) override;

private:
    CTabDockingBox() = default;

    LRESULT OnCreate(UINT, WPARAM, LPARAM, BOOL& handled);
    LRESULT OnSize(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnEraseBackground(UINT, WPARAM, LPARAM, BOOL&) { return 0; }
    LRESULT OnSetFocus(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnClose(UINT, WPARAM wParam, LPARAM, BOOL& handled);
    LRESULT OnSelChange(int, LPNMHDR, BOOL&);
    LRESULT OnDragOut(int, LPNMHDR, BOOL&);
    LRESULT OnTabDoubleClick(int, LPNMHDR header, BOOL&);
    LRESULT AcceptTest(CDockDragRecord& record);
    // The tab under a point of the strip (screen), or where a new tab beside the tabs goes.
    int InsertIndexAt(POINT screen) const;
    // Shows a temporary tab for the dragged pane while the cursor stays over the strip; the
    // index it had when the preview ended.
    int RunPreview(HWND dragged, int index);
    void LayoutBox();
    void Dissolve();

    CFlyingTabCtrl m_strip;
    CImageListManaged m_images;
    int m_activeTab = -1;
    HWND m_activePane = nullptr;  // the shown pane (a child of the box)
    bool m_dissolving = false;
    bool m_previewing = false;  // a temporary tab is shown: selection changes do not switch panes
};
