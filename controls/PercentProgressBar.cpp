#include "controls/PercentProgressBar.h"

#include "platform/AtlGdi.h"

#include <algorithm>
#include <cstdio>

int ProgressFilledWidth(int position, int minimum, int maximum, int clientWidth)
{
    if (minimum >= maximum)
        return 0;
    const double filled = (static_cast<double>(position) - minimum) / (static_cast<double>(maximum) - minimum) *
                          clientWidth;
    // Far outside the range the product leaves int's range, where the conversion is undefined.
    return static_cast<int>(std::clamp(filled, -1.0e9, 1.0e9));
}

int ProgressPercent(int position, int minimum, int maximum)
{
    if (minimum >= maximum)
        return 0;
    const float fraction =
        static_cast<float>((static_cast<double>(position) - minimum) / (static_cast<double>(maximum) - minimum));
    return static_cast<int>(std::clamp(fraction * 100.0, 0.0, 100.0));
}

int CPercentProgressBar::SetPos(int position)
{
    if (!::IsWindow(m_hWnd))
        return -1;
    const int old = m_position;
    m_position = position;
    RECT client = {};
    GetClientRect(&client);
    const int filled = ProgressFilledWidth(m_position, m_minimum, m_maximum, client.right - client.left);
    if (filled == m_filledWidth)
        return old;
    m_filledWidth = filled;
    ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    return old;
}

void CPercentProgressBar::SetRange(int minimum, int maximum)
{
    m_minimum = minimum;
    m_maximum = maximum;
    m_filledWidth = -1;
    if (::IsWindow(m_hWnd))
        Invalidate();
}

std::string CPercentProgressBar::GetPercentText() const
{
    char text[16] = {};
    std::snprintf(text, sizeof(text), "%d%%", ProgressPercent(m_position, m_minimum, m_maximum));
    return text;
}

void CPercentProgressBar::DrawString(HDC dc, const std::string& text, RECT rect, UINT format)
{
    ::DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &rect, format);
}

// The split is computed from the fraction as a single-precision value, as the percentage is, so
// that the text and the fill agree about where 50% lies.
bool CPercentProgressBar::Paint(HDC dc)
{
    if (m_minimum >= m_maximum)
        return false;
    const COLORREF bar = m_barColor == CLR_DEFAULT ? ::GetSysColor(COLOR_HIGHLIGHT) : m_barColor;
    const COLORREF back = m_backgroundColor == CLR_DEFAULT ? ::GetSysColor(COLOR_WINDOW) : m_backgroundColor;
    const float fraction = std::clamp(
        static_cast<float>((static_cast<double>(m_position) - m_minimum) / (static_cast<double>(m_maximum) - m_minimum)),
        0.0f, 1.0f);
    RECT client = {};
    GetClientRect(&client);
    CSaveDC saved(dc);
    CGdiObjectSelector font(dc, ::GetStockObject(DEFAULT_GUI_FONT));
    const int split = client.left + static_cast<int>(static_cast<float>(client.right - client.left) * fraction);
    const RECT filled = {client.left, client.top, split, client.bottom};
    const RECT empty = {split, client.top, client.right, client.bottom};
    {
        CBrush barBrush;
        barBrush.CreateSolidBrush(bar);
        ::FillRect(dc, &filled, barBrush);
        CBrush backBrush;
        backBrush.CreateSolidBrush(back);
        ::FillRect(dc, &empty, backBrush);
    }
    if (m_showText) {
        const std::string text = GetPercentText();
        ::SetBkMode(dc, TRANSPARENT);
        const UINT format = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
        ::IntersectClipRect(dc, filled.left, filled.top, filled.right, filled.bottom);
        ::SetTextColor(dc, m_textColor == CLR_DEFAULT ? back : m_textColor);
        DrawString(dc, text, client, format);
        ::SelectClipRgn(dc, nullptr);
        ::IntersectClipRect(dc, empty.left, empty.top, empty.right, empty.bottom);
        ::SetTextColor(dc, m_textColor == CLR_DEFAULT ? bar : m_textColor);
        DrawString(dc, text, client, format);
        ::SelectClipRgn(dc, nullptr);
    }
    return true;
}

LRESULT CPercentProgressBar::OnPaint(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled)
{
    if (m_minimum >= m_maximum) {
        handled = FALSE;
        return 0;
    }
    (void)message;
    (void)wParam;
    (void)lParam;
    CPaintDC dc(m_hWnd);
    Paint(dc);
    return 0;
}

LRESULT CPercentProgressBar::OnPrintClient(UINT /*message*/, WPARAM wParam, LPARAM /*lParam*/, BOOL& handled)
{
    if (!Paint(reinterpret_cast<HDC>(wParam)))
        handled = FALSE;
    return 0;
}

LRESULT CPercentProgressBar::OnSize(UINT message, WPARAM wParam, LPARAM lParam, BOOL& /*handled*/)
{
    const LRESULT result = DefWindowProc(message, wParam, lParam);
    m_filledWidth = -1;
    return result;
}
