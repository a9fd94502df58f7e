#include "frame/options/OptionsCaption.h"


#include <algorithm>

namespace {

constexpr const char* kProductName = "Kivo Browser";

BYTE Faded(BYTE part, long long distance, long long width)
{
    return static_cast<BYTE>(part - (part * distance * distance) / (width * width));
}

}  // namespace

COLORREF COptionsCaption::GradientColor(COLORREF face, int distance, int width)
{
    if (width <= 0 || distance < 0 || distance > width)
        return RGB(0, 0, 0);
    return RGB(Faded(GetRValue(face), distance, width), Faded(GetGValue(face), distance, width),
               Faded(GetBValue(face), distance, width));
}

void COptionsCaption::BuildBackground(HDC reference, const RECT& client)
{
    const int width = client.right - client.left;
    const int height = client.bottom - client.top;
    m_background.DeleteObject();
    m_backgroundSize = {width, height};
    if (width <= 0 || height <= 0 || !m_background.CreateCompatibleBitmap(reference, width, height))
        return;
    CDC memory;
    memory.CreateCompatibleDC(reference);
    CGdiObjectSelector bitmap(memory, m_background);
    RECT all = {0, 0, width, height};
    ::FillRect(memory, &all, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
    const COLORREF face = ::GetSysColor(COLOR_BTNFACE);
    const int band = std::max(1, width / 256);
    for (int left = width - band; left >= 0; left -= band) {
        RECT strip = {left, 0, left + band, height};
        CBrush brush;
        brush.CreateSolidBrush(GradientColor(face, width - left, width));
        ::FillRect(memory, &strip, brush);
    }
    CFont font;
    CLogFont logFont;
    logFont.lfHeight = -kProductFontHeight;
    logFont.lfWeight = FW_BOLD;
    ::lstrcpynA(logFont.lfFaceName, "Tahoma", LF_FACESIZE);
    font.CreateFontIndirect(&logFont);
    CGdiObjectSelector selected(memory, font);
    ::SetBkMode(memory, TRANSPARENT);
    RECT text = {0, 0, width - kTextMargin, height};
    constexpr UINT format = DT_RIGHT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX;
    RECT shadow = text;
    ::OffsetRect(&shadow, 1, 1);
    ::SetTextColor(memory, ::GetSysColor(COLOR_BTNHIGHLIGHT));
    ::DrawTextA(memory, kProductName, -1, &shadow, format);
    ::SetTextColor(memory, ::GetSysColor(COLOR_BTNSHADOW));
    ::DrawTextA(memory, kProductName, -1, &text, format);
}

void COptionsCaption::DrawBackground(HDC dc)
{
    RECT client = {};
    GetClientRect(&client);
    if (m_background.IsNull() || m_backgroundSize.cx != client.right || m_backgroundSize.cy != client.bottom)
        BuildBackground(dc, client);
    if (m_background.IsNull())
        return;
    CDC memory;
    memory.CreateCompatibleDC(dc);
    CGdiObjectSelector bitmap(memory, m_background);
    ::BitBlt(dc, 0, 0, m_backgroundSize.cx, m_backgroundSize.cy, memory, 0, 0, SRCCOPY);
}

LRESULT COptionsCaption::OnEraseBackground(UINT, WPARAM wParam, LPARAM, BOOL&)
{
    DrawBackground(reinterpret_cast<HDC>(wParam));
    return TRUE;
}

LRESULT COptionsCaption::OnPaint(UINT, WPARAM, LPARAM, BOOL&)
{
    CPaintDC dc(m_hWnd);
    // Wine does not always send WM_ERASEBKGND to a subclassed static before its first paint.
    DrawBackground(dc);
    char text[256] = {};
    ::GetWindowTextA(m_hWnd, text, static_cast<int>(sizeof(text)));
    CFont bold;
    LOGFONTA logFont = {};
    ::GetObjectA(::GetStockObject(DEFAULT_GUI_FONT), sizeof(logFont), &logFont);
    logFont.lfWeight = FW_BOLD;
    bold.CreateFontIndirect(&logFont);
    CGdiObjectSelector selected(dc, bold);
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, ::GetSysColor(COLOR_BTNFACE));
    RECT client = {};
    GetClientRect(&client);
    client.left += kTextMargin;
    ::DrawTextA(dc, text, -1, &client, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    return 0;
}

LRESULT COptionsCaption::OnSetText(UINT message, WPARAM wParam, LPARAM lParam, BOOL&)
{
    const LRESULT result = DefWindowProc(message, wParam, lParam);
    Invalidate(FALSE);
    return result;
}

LRESULT COptionsCaption::OnSize(UINT, WPARAM, LPARAM, BOOL& handled)
{
    m_background.DeleteObject();
    handled = FALSE;
    return 0;
}
