#pragma once
// TTabbedPopupFrame<T>: a top-level frame that shows one of several views under a DotNet tab strip
// along its bottom edge. Each tab stands for a view window (a CViewTabItem); selecting a tab shows
// its view and hides the one before. The blocked-content history and the ad-filter list windows
// are built on it and supply the views, captions and saved placement.
//
// Lifetime: T's owner holds the frame (rule (a)) or T deletes itself in OnFinalMessage; the strip
// is a member, destroyed before the window part; the views are the caller's children of the frame.
#include "controls/DotNetTabCtrl.h"
#include "controls/DropShadow.h"
#include "controls/TabItem.h"
#include "controls/TabbedMDI.h"
#include "controls/TabNotify.h"
#include "platform/AtlWin.h"

#include <memory>

inline constexpr DWORD kTabbedPopupFrameStyle = WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME;
inline constexpr DWORD kTabbedPopupStripStyle = kTabStyleToolTips | kTabStyleBottom | WS_CHILD | WS_VISIBLE |
                                                WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
inline constexpr UINT kTabbedPopupStripId = 1;

template <class T>
class TTabbedPopupFrame : public CWindowImpl<T, CWindow, CWinTraits<kTabbedPopupFrameStyle, 0>>, public CDropShadow<T> {
public:
    DECLARE_WND_CLASS_EX("TabbedPopupFrame", CS_DBLCLKS, COLOR_BTNFACE)
    using CShadow = CDropShadow<T>;

    TTabbedPopupFrame() = default;
    ~TTabbedPopupFrame() override
    {
        m_strip.reset();  // the strip goes before the window part
    }

    // Creates (again) the strip as the frame's child.
    bool CreateStrip()
    {
        m_strip = std::make_unique<CDotNetTabCtrl>();
        if (!m_strip->Create(this->m_hWnd, RECT{0, 0, 10, 10}, kTabbedPopupStripStyle, kTabbedPopupStripId))
            return false;
        UpdateStripHeight();
        return true;
    }
    CDotNetTabCtrl* GetStrip() const { return m_strip.get(); }

    int AddView(HWND view, const char* text, int image = -1)
    {
        if (!m_strip)
            return -1;
        auto item = std::make_unique<CViewTabItem>();
        item->SetText(text ? text : "");
        item->SetImageIndex(image);
        item->SetViewWindow(view);
        ::ShowWindow(view, SW_HIDE);
        return m_strip->InsertItem(m_strip->GetItemCount(), std::move(item));
    }
    void SelectView(int index)
    {
        if (m_strip)
            m_strip->SetCurSel(index, true);
    }
    HWND GetActiveView() const { return m_activeView; }
    int GetStripHeight() const { return m_stripHeight; }
    void SetStripHidden(bool hidden)
    {
        if (hidden == m_stripHidden)
            return;
        m_stripHidden = hidden;
        UpdateStripHeight();
    }

    // The strip takes the bottom strip-height pixels, the active view the rest; both move in one batch.
    void UpdateLayout()
    {
        if (!m_strip || !m_strip->m_hWnd)
            return;
        RECT client = {};
        this->GetClientRect(&client);
        HDWP batch = ::BeginDeferWindowPos(2);
        const int stripTop = client.bottom - m_stripHeight;
        if (batch)
            batch = ::DeferWindowPos(batch, m_strip->m_hWnd, nullptr, 0, stripTop, client.right, m_stripHeight,
                                     SWP_NOZORDER | SWP_NOACTIVATE);
        if (batch && m_activeView)
            batch = ::DeferWindowPos(batch, m_activeView, nullptr, 0, 0, client.right, std::max<int>(stripTop, 0),
                                     SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
        if (batch)
            ::EndDeferWindowPos(batch);
        m_strip->UpdateLayout();
    }

    BEGIN_MSG_MAP(TTabbedPopupFrame)
        CHAIN_MSG_MAP(CShadow)
        MESSAGE_HANDLER(WM_SIZE, OnSize)
        MESSAGE_HANDLER(WM_SETFOCUS, OnSetFocus)
        MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBackground)
        NOTIFY_CODE_HANDLER(TCN_SELCHANGE, OnSelChange)
        NOTIFY_CODE_HANDLER(kTabNotifyCancelDrag, OnCancelDrag)
    END_MSG_MAP()

protected:
    LRESULT OnSize(UINT, WPARAM, LPARAM, BOOL& handled)
    {
        handled = FALSE;
        UpdateLayout();
        return 0;
    }
    // The focus goes to the view, unless the strip holds the mouse (a tab is being dragged).
    LRESULT OnSetFocus(UINT, WPARAM, LPARAM, BOOL& handled)
    {
        handled = FALSE;
        if (m_activeView && !(m_strip && ::GetCapture() == m_strip->m_hWnd))
            ::SetFocus(m_activeView);
        return 0;
    }
    LRESULT OnEraseBackground(UINT, WPARAM, LPARAM, BOOL& handled)
    {
        if (!m_activeView)
            handled = FALSE;
        return 1;
    }
    LRESULT OnSelChange(int, LPNMHDR header, BOOL& handled)
    {
        if (!m_strip || header->hwndFrom != m_strip->m_hWnd) {
            handled = FALSE;
            return 0;
        }
        const CTabItem* item = m_strip->GetItem(m_strip->GetCurSel());
        const HWND view = item ? item->GetViewWindow() : nullptr;
        if (!view || view == m_activeView)
            return 0;
        const HWND previous = m_activeView;
        m_activeView = view;
        UpdateLayout();
        if (previous && previous != view)
            ::ShowWindow(previous, SW_HIDE);
        ::SetFocus(view);
        return 0;
    }
    LRESULT OnCancelDrag(int, LPNMHDR header, BOOL&)
    {
        const auto* notify = reinterpret_cast<const CTabNotifyItem*>(header);
        if (m_strip) {
            if (const CTabItem* item = m_strip->GetItem(notify->item)) {
                if (item->GetViewWindow())
                    ::SetFocus(item->GetViewWindow());
            }
        }
        return 0;
    }
    void UpdateStripHeight()
    {
        const int height = m_stripHidden ? 0 : (m_strip ? TabStripHeight(m_strip->m_hWnd) : 0);
        if (height == m_stripHeight)
            return;
        m_stripHeight = height;
        UpdateLayout();
        this->Invalidate();
    }

    std::unique_ptr<CDotNetTabCtrl> m_strip;
    HWND m_activeView = nullptr;  // not owned: the selected tab's view
    int m_stripHeight = 0;
    bool m_stripHidden = false;
};

// The frame as it is, for windows that need nothing more of their own.
class CTabbedPopupFrame : public TTabbedPopupFrame<CTabbedPopupFrame> {
};
