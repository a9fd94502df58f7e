#pragma once
// The strip of the docking boxes: the DotNet look under its own window class, with what the boxes
// add: a height that follows the strip's font, reordering tabs by dragging them (with hysteresis,
// so that a wide neighbour is not swapped back and forth), and the drag-out notice when a dragged
// tab leaves the strip. The box sets the styles it needs (tabs along the bottom, tooltips).
#include "controls/DotNetTabCtrl.h"
#include "controls/docking/DockLayout.h"
#include "controls/docking/DockingLook.h"

#include <cstdlib>

// WM_NOTIFY code: a tab was dragged off the strip (the strip's control id in the header).
constexpr int kFlyingTabDragOut = -581;

class CFlyingTabCtrl : public TDotNetTabCtrlImpl<CFlyingTabCtrl> {
    using Base = TDotNetTabCtrlImpl<CFlyingTabCtrl>;

public:
    DECLARE_WND_CLASS_EX("CFlyingTabCtrl", CS_DBLCLKS, COLOR_WINDOW)

    CFlyingTabCtrl() { SetLookColours(::GetSysColor(COLOR_GRAYTEXT), ::GetSysColor(COLOR_BTNFACE)); }

    void SetLookMetrics()
    {
        SetStandardMetrics(true);
        m_metrics.stripMargin = 12;
    }

    // The strip's thickness for its current font.
    int GetStripHeight() const { return m_stripHeight; }

    BEGIN_MSG_MAP(CFlyingTabCtrl)
        MESSAGE_HANDLER(WM_CREATE, OnCreateOrFont)
        MESSAGE_HANDLER(WM_SETFONT, OnCreateOrFont)
        MESSAGE_HANDLER(WM_LBUTTONDOWN, OnLButtonDownReorder)
        CHAIN_MSG_MAP(Base)
    END_MSG_MAP()

private:
    LRESULT OnCreateOrFont(UINT message, WPARAM wParam, LPARAM lParam, BOOL&)
    {
        LRESULT result = 0;
        Base::ProcessWindowMessage(m_hWnd, message, wParam, lParam, result, 0);
        HFONT font = GetNormalFont();
        int textHeight = 0;
        if (font) {
            HDC dc = ::GetDC(m_hWnd);
            HGDIOBJ old = ::SelectObject(dc, font);
            TEXTMETRICA metrics = {};
            ::GetTextMetricsA(dc, &metrics);
            textHeight = metrics.tmHeight;
            ::SelectObject(dc, old);
            ::ReleaseDC(m_hWnd, dc);
        }
        m_stripHeight = DockGeometry::FlyingTabHeight(font != nullptr, textHeight);
        return result;
    }

    // A press on a tab selects it and, once the cursor leaves the drag rectangle, drags it along
    // the strip; leaving every tab ends the drag with the drag-out notice.
    LRESULT OnLButtonDownReorder(UINT, WPARAM, LPARAM lParam, BOOL& handled)
    {
        const POINT point = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        UINT where = 0;
        const int index = HitTest(point, &where);
        if (index < 0 || where != kTabHitItem) {
            handled = FALSE;
            return 0;
        }
        if (GetCurSel() != index)
            SetCurSel(index, true);
        CReorder reorder(*this, index, point);
        const HWND self = m_hWnd;
        RunDockDragLoop(m_hWnd, reorder);
        if (!::IsWindow(self) || !reorder.LeftTheTabs())
            return 0;
        MSG pending;
        while (::PeekMessageA(&pending, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&pending);
            ::DispatchMessageA(&pending);
        }
        if (!::IsWindow(self))
            return 0;
        NMHDR notice = {m_hWnd, static_cast<UINT_PTR>(GetDlgCtrlID()), static_cast<UINT>(kFlyingTabDragOut)};
        ::SendMessageA(GetParent(), WM_NOTIFY, notice.idFrom, reinterpret_cast<LPARAM>(&notice));
        return 0;
    }

    class CReorder : public IDockDragTracker {
    public:
        CReorder(CFlyingTabCtrl& strip, int index, POINT start) : m_strip(strip), m_dragged(index), m_start(start), m_last(start) {}
        void OnDragMove(POINT screen, bool) override
        {
            POINT point = screen;
            ::ScreenToClient(m_strip.m_hWnd, &point);
            if (!m_started) {
                if (std::abs(point.x - m_start.x) <= ::GetSystemMetrics(SM_CXDRAG) &&
                    std::abs(point.y - m_start.y) <= ::GetSystemMetrics(SM_CYDRAG))
                    return;
                m_started = true;
            }
            const int under = m_strip.HitTest(point);
            if (under < 0) {
                m_left = true;
                ::ReleaseCapture();  // ends the loop
                return;
            }
            RECT draggedRect = {};
            RECT underRect = {};
            m_strip.GetItemRect(m_dragged, draggedRect);
            m_strip.GetItemRect(under, underRect);
            if (DockGeometry::ShouldSwap(m_dragged, under, point.x - m_last.x, point.x,
                                         draggedRect.right - draggedRect.left, underRect)) {
                m_strip.MoveItem(m_dragged, under, true, true);
                m_dragged = under;
            }
            m_last = point;
        }
        void OnControlKey(bool) override {}
        bool LeftTheTabs() const { return m_left; }

    private:
        CFlyingTabCtrl& m_strip;
        int m_dragged;
        POINT m_start;
        POINT m_last;
        bool m_started = false;
        bool m_left = false;
    };

    int m_stripHeight = 24;
};
