#include "browser/tools/SplitterWindow.h"

#include <algorithm>

void CSplitterWindow::SetSplitterPane(int pane, HWND window)
{
    if (pane != 0 && pane != 1)
        return;
    m_panes[pane] = window;
    UpdateLayout();
}

void CSplitterWindow::SetSplitterPos(int position)
{
    m_position = std::max(0, position);
    UpdateLayout();
}

void CSplitterWindow::UpdateLayout()
{
    if (!m_hWnd)
        return;
    RECT client = {};
    GetClientRect(&client);
    const int width = client.right - client.left;
    // The bar stays where both panes keep some room, as far as the window allows.
    const int highest = std::max(0, width - kBarWidth - kMinimumPane);
    m_position = std::clamp(m_position, std::min(kMinimumPane, highest), highest);
    if (m_panes[0])
        ::SetWindowPos(m_panes[0], nullptr, 0, 0, m_position, client.bottom, SWP_NOZORDER | SWP_NOACTIVATE);
    const int right = m_position + kBarWidth;
    if (m_panes[1])
        ::SetWindowPos(m_panes[1], nullptr, right, 0, std::max(0, width - right), client.bottom,
                       SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(nullptr, TRUE);
}

LRESULT CSplitterWindow::OnSetCursor(UINT, WPARAM wParam, LPARAM, BOOL& handled)
{
    POINT point = {};
    ::GetCursorPos(&point);
    ScreenToClient(&point);
    if (reinterpret_cast<HWND>(wParam) != m_hWnd || !OnBar(point.x)) {
        handled = FALSE;
        return 0;
    }
    ::SetCursor(::LoadCursorA(nullptr, IDC_SIZEWE));
    return TRUE;
}

LRESULT CSplitterWindow::OnLButtonDown(UINT, WPARAM, LPARAM lParam, BOOL&)
{
    const int x = static_cast<short>(LOWORD(lParam));
    if (OnBar(x)) {
        m_dragging = true;
        m_grab = x - m_position;
        SetCapture();
    }
    return 0;
}

LRESULT CSplitterWindow::OnMouseMove(UINT, WPARAM, LPARAM lParam, BOOL&)
{
    if (m_dragging)
        SetSplitterPos(static_cast<short>(LOWORD(lParam)) - m_grab);
    return 0;
}

LRESULT CSplitterWindow::OnLButtonUp(UINT, WPARAM, LPARAM, BOOL&)
{
    if (m_dragging) {
        m_dragging = false;
        ::ReleaseCapture();
    }
    return 0;
}
