#pragma once
// TTabbedMDIChildWindowImpl<T, TTabCtrl>: the base of an MDI child that shows several pages under
// an inner tab strip of its own (a browser tab with its page, source and analyzer views). The
// current page's window is the child's client window; the strip shows only while the child holds
// at least the minimum count of pages. The child reports its tab text, tooltip, activation and
// maximised state to the tabbed MDI client through the registered messages.
//
// Lifetime: the child owns its strip; the page windows are its children and go with it.
#include "controls/DotNetTabCtrl.h"
#include "controls/TabbedMDI.h"
#include "platform/AtlFrame.h"

#include <memory>

template <class T, class TTabCtrl = CDotNetTabCtrl, class TBase = CMDIWindow, class TWinTraits = CMDIChildWinTraits>
class TTabbedMDIChildWindowImpl : public CMDIChildWindowImpl<T, TBase, TWinTraits> {
    using Base = CMDIChildWindowImpl<T, TBase, TWinTraits>;

public:
    // The inner strip's style word (used when the strip is created).
    void SetInnerTabStyle(DWORD style) { m_innerStyle = style; }
    DWORD GetInnerTabStyle() const { return m_innerStyle; }
    void SetMinimumPageCount(int count)
    {
        m_minPages = count;
        UpdateStripVisibility();
    }
    TTabCtrl& GetInnerStrip() { return m_strip; }
    int GetPageCount() const { return m_strip.GetItemCount(); }
    HWND GetCurrentPage() const { return this->m_hWndClient; }
    bool IsInnerStripShown() const { return m_stripShown; }

    // Appends a page; it becomes current when it is the first or when asked.
    int AddPage(HWND page, const char* text, int image = -1, bool select = false)
    {
        auto item = std::make_unique<CViewTabItem>();
        item->SetText(text && *text ? text : "Untitled");
        item->SetImageIndex(image);
        item->SetViewWindow(page);
        const int index = m_strip.InsertItem(-1, std::move(item), false);
        if (index >= 0 && (select || m_strip.GetItemCount() == 1))
            m_strip.SetCurSel(index);  // the selection change makes it current
        UpdateStripVisibility();
        return index;
    }
    // Makes the page current, adding it first when it has no tab.
    void DisplayPage(HWND page)
    {
        int index = FindPage(page);
        if (index < 0) {
            char text[256] = {};
            ::GetWindowTextA(page, text, sizeof(text));
            index = AddPage(page, text);
        }
        m_strip.SetCurSel(index);
        if (this->m_hWndClient != page)
            MakeCurrent(page);
    }
    void RemovePage(HWND page)
    {
        const int index = FindPage(page);
        if (index < 0)
            return;
        m_strip.DeleteItem(index, true, false);
        if (m_strip.GetItemCount() == 0)
            this->m_hWndClient = nullptr;
        else if (this->m_hWndClient == page)
            MakeCurrent(m_strip.GetItem(m_strip.GetCurSel())->GetViewWindow());
        UpdateStripVisibility();
    }
    int FindPage(HWND page) const
    {
        CViewTabItem pattern;
        pattern.SetViewWindow(page);
        return page ? m_strip.FindItem(pattern, kTabItemViewWindow) : -1;
    }

    // The child's tab in the main strip: its text and its tooltip.
    void SetMdiTabText(const char* text) const { Tell(GetTabbedMdiMessages().tabTextChange, text); }
    void SetMdiTabToolTip(const char* text) const { Tell(GetTabbedMdiMessages().tabToolTipChange, text); }

    void LayoutPages()
    {
        RECT client = {};
        this->GetClientRect(&client);
        const int h = m_stripShown ? TabStripHeight(m_strip.m_hWnd) : 0;
        const bool bottom = (m_innerStyle & kTabStyleBottom) != 0;
        RECT strip = client, page = client;
        if (bottom) {
            strip.top = client.bottom - h;
            page.bottom = strip.top;
        } else {
            strip.bottom = client.top + h;
            page.top = strip.bottom;
        }
        HDWP batch = ::BeginDeferWindowPos(2);
        if (batch && m_strip.m_hWnd)
            batch = ::DeferWindowPos(batch, m_strip.m_hWnd, nullptr, strip.left, strip.top, strip.right - strip.left,
                                     h, SWP_NOZORDER | SWP_NOACTIVATE | (h ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
        if (batch && this->m_hWndClient)
            batch = ::DeferWindowPos(batch, this->m_hWndClient, nullptr, page.left, page.top, page.right - page.left,
                                     page.bottom - page.top, SWP_NOZORDER | SWP_NOACTIVATE);
        if (batch)
            ::EndDeferWindowPos(batch);
    }

    BEGIN_MSG_MAP(TTabbedMDIChildWindowImpl)
        MESSAGE_HANDLER(WM_CREATE, OnCreate)
        MESSAGE_HANDLER(WM_SIZE, OnSize)
        MESSAGE_HANDLER(WM_SETFOCUS, OnSetFocus)
        MESSAGE_HANDLER(WM_MDIACTIVATE, OnMdiActivate)
        MESSAGE_HANDLER(WM_SETTEXT, OnSetText)
        MESSAGE_HANDLER(WM_CONTEXTMENU, OnContextMenu)
        NOTIFY_CODE_HANDLER(TCN_SELCHANGE, OnInnerSelChange)
        CHAIN_MSG_MAP(Base)
    END_MSG_MAP()

private:
    LRESULT OnCreate(UINT message, WPARAM wParam, LPARAM lParam, BOOL&)
    {
        const LRESULT result = this->DefWindowProc(message, wParam, lParam);
        if (result == -1)
            return result;
        RECT none = {};
        m_strip.Create(this->m_hWnd, none, m_innerStyle);
        ::ShowWindow(m_strip.m_hWnd, SW_HIDE);
        return result;
    }
    LRESULT OnSize(UINT message, WPARAM wParam, LPARAM lParam, BOOL&)
    {
        const LRESULT result = this->DefWindowProc(message, wParam, lParam);
        if (wParam != SIZE_MINIMIZED)
            LayoutPages();
        const bool maximized = wParam == SIZE_MAXIMIZED;
        if (maximized || m_maximized)
            Tell(maximized ? GetTabbedMdiMessages().maximized : GetTabbedMdiMessages().unmaximized, nullptr);
        m_maximized = maximized;
        return result;
    }
    LRESULT OnSetFocus(UINT, WPARAM, LPARAM, BOOL&)
    {
        if (this->m_hWndClient && ::IsWindowVisible(this->m_hWndClient))
            ::SetFocus(this->m_hWndClient);
        return 0;
    }
    LRESULT OnMdiActivate(UINT, WPARAM, LPARAM lParam, BOOL& handled)
    {
        if (reinterpret_cast<HWND>(lParam) == this->m_hWnd)
            Tell(GetTabbedMdiMessages().activationChange, nullptr);
        handled = FALSE;  // the MDI child's own handling goes on
        return 0;
    }
    LRESULT OnSetText(UINT message, WPARAM wParam, LPARAM lParam, BOOL&)
    {
        const LRESULT result = this->DefWindowProc(message, wParam, lParam);
        Tell(GetTabbedMdiMessages().tabTextChange, nullptr);
        return result;
    }
    LRESULT OnContextMenu(UINT, WPARAM wParam, LPARAM lParam, BOOL& handled)
    {
        if (reinterpret_cast<HWND>(wParam) != m_strip.m_hWnd) {
            handled = FALSE;
            return 0;
        }
        POINT point = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        int index = m_strip.GetCurSel();
        if (point.x != -1 || point.y != -1) {
            POINT inStrip = point;
            ::ScreenToClient(m_strip.m_hWnd, &inStrip);
            index = m_strip.HitTest(inStrip);
        }
        if (const CTabItem* item = m_strip.GetItem(index))
            ::SendMessageA(item->GetViewWindow(), GetTabbedMdiMessages().showTabContextMenu, wParam,
                           MAKELPARAM(point.x, point.y));
        return 0;
    }
    LRESULT OnInnerSelChange(int, LPNMHDR header, BOOL& handled)
    {
        if (header->hwndFrom != m_strip.m_hWnd) {
            handled = FALSE;
            return 0;
        }
        if (const CTabItem* item = m_strip.GetItem(m_strip.GetCurSel()))
            MakeCurrent(item->GetViewWindow());
        return 0;
    }

    void MakeCurrent(HWND page)
    {
        HWND previous = this->m_hWndClient;
        this->m_hWndClient = page;
        LayoutPages();
        if (previous && previous != page)
            ::ShowWindow(previous, SW_HIDE);
        if (page) {
            ::ShowWindow(page, SW_SHOW);
            ::SetFocus(page);
        }
    }
    void UpdateStripVisibility()
    {
        const bool shown = m_strip.GetItemCount() >= m_minPages;
        if (shown == m_stripShown)
            return;
        m_stripShown = shown;
        if (this->m_hWnd)
            LayoutPages();
    }
    void Tell(UINT message, const char* text) const
    {
        if (HWND client = this->m_hWnd ? ::GetParent(this->m_hWnd) : nullptr)
            ::SendMessageA(client, message, reinterpret_cast<WPARAM>(this->m_hWnd), reinterpret_cast<LPARAM>(text));
    }

    TTabCtrl m_strip;
    DWORD m_innerStyle = 0x4140;
    int m_minPages = 1;
    bool m_stripShown = false;
    bool m_maximized = false;
};
