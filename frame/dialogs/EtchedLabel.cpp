#include "frame/dialogs/EtchedLabel.h"

#include "platform/AtlGdi.h"

#include <vector>

bool ComputeEtchedLabelLine(const RECT& client, int textWidth, int halfThickness, RECT& line)
{
    if (client.right - client.left <= textWidth + kEtchedLabelGap)
        return false;
    const int middle = (client.top + client.bottom) / 2;
    line.left = client.left + textWidth + kEtchedLabelGap;
    line.right = client.right;
    line.top = middle - halfThickness;
    line.bottom = middle + halfThickness;
    return true;
}

BOOL CEtchedLabel::SubclassWindow(HWND label)
{
    if (!CWindowImpl<CEtchedLabel>::SubclassWindow(label))
        return FALSE;
    ModifyStyle(0, SS_NOTIFY);
    Invalidate();
    return TRUE;
}

LRESULT CEtchedLabel::OnPaint(UINT, WPARAM, LPARAM, BOOL&)
{
    CPaintDC dc(m_hWnd);
    Paint(dc);
    return 0;
}

LRESULT CEtchedLabel::OnPrintClient(UINT, WPARAM wParam, LPARAM, BOOL&)
{
    Paint(reinterpret_cast<HDC>(wParam));
    return 0;
}

LRESULT CEtchedLabel::OnSetText(UINT, WPARAM, LPARAM, BOOL&)
{
    const LRESULT result = DefWindowProc();
    Invalidate();
    return result;
}

void CEtchedLabel::Paint(HDC dc)
{
    if (!dc)
        return;
    RECT client = {};
    GetClientRect(&client);
    // The dialog's own background for its statics.
    HWND parent = GetParent();
    HBRUSH background = parent ? reinterpret_cast<HBRUSH>(::SendMessageA(parent, WM_CTLCOLORSTATIC,
                                                                         reinterpret_cast<WPARAM>(dc),
                                                                         reinterpret_cast<LPARAM>(m_hWnd)))
                               : nullptr;
    ::FillRect(dc, &client, background ? background : ::GetSysColorBrush(COLOR_3DFACE));
    const int length = GetWindowTextLength();
    std::vector<char> text(static_cast<size_t>(length) + 1);
    GetWindowText(text.data(), length + 1);
    CSaveDC saved(dc);
    if (HFONT font = reinterpret_cast<HFONT>(::SendMessageA(m_hWnd, WM_GETFONT, 0, 0)))
        ::SelectObject(dc, font);
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, ::GetSysColor(IsWindowEnabled() ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT));
    RECT textRect = client;
    ::DrawTextA(dc, text.data(), length, &textRect, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    SIZE extent = {};
    ::GetTextExtentPoint32A(dc, text.data(), length, &extent);
    RECT line = {};
    if (!ComputeEtchedLabelLine(client, length > 0 ? extent.cx : 0, m_half, line))
        return;
    const COLORREF shadow = ::GetSysColor(COLOR_3DSHADOW);
    const COLORREF light = ::GetSysColor(COLOR_3DHILIGHT);
    const COLORREF topLeft = m_etched ? shadow : light;
    const COLORREF bottomRight = m_etched ? light : shadow;
    auto fill = [dc](int left, int top, int right, int bottom, COLORREF colour) {
        CBrush brush;
        brush.CreateSolidBrush(colour);
        const RECT part = {left, top, right, bottom};
        ::FillRect(dc, &part, brush);
    };
    // A 3-D rectangle: top and left edges in the first colour, bottom and right in the second.
    fill(line.left, line.top, line.right, line.top + 1, topLeft);
    fill(line.left, line.top, line.left + 1, line.bottom, topLeft);
    fill(line.left, line.bottom - 1, line.right, line.bottom, bottomRight);
    fill(line.right - 1, line.top, line.right, line.bottom, bottomRight);
}
