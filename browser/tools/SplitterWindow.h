#pragma once
// CSplitterWindow: a window of the class "WTL_SplitterWindow" split by a vertical bar into a left
// and a right pane, each a child window laid out over its part; the user drags the bar. Commands
// and notifications of the panes go on to the splitter's parent, so the panes' owner hears them.
//
// Lifetime: rule (a). Its owner holds it as a member; the parent's destruction destroys the window.
// The panes belong to whoever made them: the splitter only places them.
#include "platform/AtlWin.h"

#include <windows.h>

class CSplitterWindow : public CWindowImpl<CSplitterWindow> {
public:
    DECLARE_WND_CLASS_EX("WTL_SplitterWindow", CS_DBLCLKS, COLOR_3DFACE)

    static constexpr int kBarWidth = 4;
    static constexpr int kMinimumPane = 8;

    CSplitterWindow() = default;
    CSplitterWindow(const CSplitterWindow&) = delete;
    CSplitterWindow& operator=(const CSplitterWindow&) = delete;

    // pane 0 left, 1 right; null leaves the part empty.
    void SetSplitterPane(int pane, HWND window);
    HWND GetSplitterPane(int pane) const { return pane == 0 || pane == 1 ? m_panes[pane] : nullptr; }
    // The bar's left edge in client pixels, kept inside the client area.
    void SetSplitterPos(int position);
    int GetSplitterPos() const { return m_position; }
    void UpdateLayout();

    BEGIN_MSG_MAP(CSplitterWindow)
        MESSAGE_HANDLER(WM_SIZE, OnSize)
        MESSAGE_HANDLER(WM_SETCURSOR, OnSetCursor)
        MESSAGE_HANDLER(WM_LBUTTONDOWN, OnLButtonDown)
        MESSAGE_HANDLER(WM_MOUSEMOVE, OnMouseMove)
        MESSAGE_HANDLER(WM_LBUTTONUP, OnLButtonUp)
        MESSAGE_HANDLER(WM_CAPTURECHANGED, OnCaptureChanged)
        MESSAGE_HANDLER(WM_NOTIFY, OnForward)
        MESSAGE_HANDLER(WM_COMMAND, OnForward)
    END_MSG_MAP()

private:
    LRESULT OnSize(UINT, WPARAM, LPARAM, BOOL&)
    {
        UpdateLayout();
        return 0;
    }
    LRESULT OnSetCursor(UINT, WPARAM wParam, LPARAM, BOOL& handled);
    LRESULT OnLButtonDown(UINT, WPARAM, LPARAM lParam, BOOL&);
    LRESULT OnMouseMove(UINT, WPARAM, LPARAM lParam, BOOL&);
    LRESULT OnLButtonUp(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnCaptureChanged(UINT, WPARAM, LPARAM, BOOL&)
    {
        m_dragging = false;
        return 0;
    }
    LRESULT OnForward(UINT message, WPARAM wParam, LPARAM lParam, BOOL&)
    {
        return ::SendMessageA(GetParent(), message, wParam, lParam);
    }
    bool OnBar(int x) const { return x >= m_position && x < m_position + kBarWidth; }

    HWND m_panes[2] = {nullptr, nullptr};  // not owned
    int m_position = 0;
    bool m_dragging = false;
    int m_grab = 0;  // where in the bar the drag took hold
};
