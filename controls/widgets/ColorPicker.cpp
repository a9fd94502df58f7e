#include "controls/widgets/ColorPicker.h"

#include "core/app/LanguageManager.h"

#include <commdlg.h>

#include <algorithm>

const CNamedColor CColorPicker::kPalette[kColorCount] = {
    {0x000000, "Black"},         {0x002AA5, "Brown"},          {0x404000, "Dark Olive Green"}, {0x005500, "Dark Green"},
    {0x5E0000, "Dark Teal"},     {0x8B0000, "Dark blue"},      {0x82004B, "Indigo"},           {0x282828, "Dark grey"},
    {0x00008B, "Dark red"},      {0x2068FF, "Orange"},         {0x008B8B, "Dark yellow"},      {0x009300, "Green"},
    {0x8E8E38, "Teal"},          {0xFF0000, "Blue"},           {0xC07B7B, "Blue-grey"},        {0x666666, "Grey - 40"},
    {0x0000FF, "Red"},           {0x5BADFF, "Light orange"},   {0x32CD32, "Lime"},             {0x71B33C, "Sea green"},
    {0xD4FF7F, "Aqua"},          {0xC09E7D, "Light blue"},     {0x800080, "Violet"},           {0x7F7F7F, "Grey - 50"},
    {0xCBC0FF, "Pink"},          {0x00D7FF, "Gold"},           {0x00FFFF, "Yellow"},           {0x00FF00, "Bright green"},
    {0xD0E040, "Turquoise"},     {0xFFFFC0, "Skyblue"},        {0x480048, "Plum"},             {0xC0C0C0, "Light grey"},
    {0xE1E4FF, "Rose"},          {0x8CB4D2, "Tan"},            {0xE0FFFF, "Light yellow"},     {0x98FB98, "Pale green"},
    {0xEEEEAF, "Pale turquoise"}, {0x8B8368, "Pale blue"},     {0xFAE6E6, "Lavender"},         {0xFFFFFF, "White"},
};

namespace {

constexpr char kPopupClass[] = "ColorPicker";
constexpr int kCellBox = 14;
constexpr int kTextPadding = 5;  // 3 + 2 on each side of a text button's text
constexpr UINT kCommandClicked = 0;

std::string Translated(const char* text)
{
    CLanguageManager* languages = GetLanguageManager();
    const char* translated = languages ? languages->Translate(text) : nullptr;
    return translated ? translated : text;
}

COLORREF Blend(COLORREF a, int weightA, COLORREF b, int weightB)
{
    return RGB((GetRValue(a) * weightA + GetRValue(b) * weightB) / 256, (GetGValue(a) * weightA + GetGValue(b) * weightB) / 256,
               (GetBValue(a) * weightA + GetBValue(b) * weightB) / 256);
}

// The open pop-up's picker (one pop-up is open at a time on the UI thread).
thread_local CColorPicker* t_openPicker = nullptr;

}  // namespace

CColorPicker::CColorPicker()
    : m_defaultColor(::GetSysColor(COLOR_APPWORKSPACE)), m_defaultText(Translated("Default")),
      m_moreText(Translated("More Colors..."))
{
}

CColorPicker::~CColorPicker()
{
    if (m_popup && ::IsWindow(m_popup))
        ::DestroyWindow(m_popup);
}

BOOL CColorPicker::SubclassWindow(HWND button)
{
    if (!CWindowImpl<CColorPicker>::SubclassWindow(button))
        return FALSE;
    ::SetWindowLongPtrA(m_hWnd, GWL_STYLE, static_cast<LONG_PTR>((GetStyle() & ~BS_TYPEMASK) | BS_OWNERDRAW));
    return TRUE;
}

void CColorPicker::SetColor(COLORREF color)
{
    m_color = color;
    if (m_hWnd)
        Invalidate();
}

int CColorPicker::NextItem(int current, int step, bool hasDefault, bool hasMore)
{
    // Positions in the keyboard order: 0 Default, 1..40 the cells, 41 More Colors...
    constexpr int kPositions = kColorCount + 2;
    int position;
    if (current == kItemNone)
        position = step > 0 ? -1 : kPositions;  // forward lands on Default, backward on More
    else if (current == kItemDefault)
        position = 0;
    else if (current == kItemMore)
        position = kPositions - 1;
    else
        position = current + 1;
    for (int tries = 0; tries < kPositions; ++tries) {
        int next = position + step;
        if (position >= 1 && position <= kColorCount && (next < 1 || next > kColorCount) && (step == kColumns || step == -kColumns))
            next = step > 0 ? kPositions - 1 : 0;  // off the grid by a row: to the text button there
        next = ((next % kPositions) + kPositions) % kPositions;
        if ((next == 0 && !hasDefault) || (next == kPositions - 1 && !hasMore)) {
            position = next;
            if (step == kColumns || step == -kColumns)
                step = step > 0 ? 1 : -1;
            continue;
        }
        if (next == 0)
            return kItemDefault;
        if (next == kPositions - 1)
            return kItemMore;
        return next - 1;
    }
    return current;
}

LRESULT CColorPicker::OnMouseMove(UINT, WPARAM, LPARAM, BOOL& handled)
{
    handled = FALSE;
    if (!m_hot) {
        m_hot = true;
        TRACKMOUSEEVENT track = {sizeof(track), TME_LEAVE, m_hWnd, 0};
        ::TrackMouseEvent(&track);
        Invalidate();
    }
    return 0;
}

LRESULT CColorPicker::OnMouseLeave(UINT, WPARAM, LPARAM, BOOL& handled)
{
    handled = FALSE;
    m_hot = false;
    Invalidate();
    return 0;
}

LRESULT CColorPicker::OnDrawItem(UINT, WPARAM, LPARAM lParam, BOOL&)
{
    const auto* draw = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
    HDC dc = draw->hDC;
    RECT rect = draw->rcItem;
    const bool pressed = (draw->itemState & ODS_SELECTED) != 0;
    const bool disabled = (draw->itemState & ODS_DISABLED) != 0;
    ::DrawFrameControl(dc, &rect, DFC_BUTTON,
                       DFCS_BUTTONPUSH | DFCS_ADJUSTRECT | (pressed ? DFCS_PUSHED : 0) | (disabled ? DFCS_INACTIVE : 0));
    if (pressed)
        ::OffsetRect(&rect, 1, 1);
    if ((draw->itemState & ODS_FOCUS) || m_popupOpen) {
        RECT focus = rect;
        ::InflateRect(&focus, -1, -1);
        ::DrawFocusRect(dc, &focus);
    }
    ::InflateRect(&rect, -::GetSystemMetrics(SM_CXEDGE), -::GetSystemMetrics(SM_CYEDGE));
    // The arrow in a strip at the right, behind an etched edge.
    RECT arrow = rect;
    arrow.left = arrow.right - 12;
    const int cx = (arrow.left + arrow.right) / 2;
    const int cy = (arrow.top + arrow.bottom) / 2;
    CPen pen;
    pen.CreatePen(PS_SOLID, 1, disabled ? ::GetSysColor(COLOR_GRAYTEXT) : RGB(0, 0, 0));
    const HGDIOBJ oldPen = ::SelectObject(dc, pen);
    for (int row = 0; row <= 2; ++row) {
        ::MoveToEx(dc, cx - 2 + row, cy - 1 + row, nullptr);
        ::LineTo(dc, cx + 3 - row, cy - 1 + row);
    }
    ::SelectObject(dc, oldPen);
    RECT edge = arrow;
    edge.right = edge.left + 2;
    ::DrawEdge(dc, &edge, EDGE_ETCHED, BF_LEFT);
    rect.right = arrow.left - 2;
    if (!disabled) {
        CBrush swatch;
        swatch.CreateSolidBrush(m_color == CLR_DEFAULT ? m_defaultColor : m_color);
        ::FillRect(dc, &rect, swatch);
        ::FrameRect(dc, &rect, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
        char text[128] = {};
        ::GetWindowTextA(m_hWnd, text, sizeof(text));
        if (*text) {
            ::SetBkMode(dc, TRANSPARENT);
            ::SetTextColor(dc, ::GetSysColor(COLOR_WINDOWTEXT));
            const HGDIOBJ oldFont = ::SelectObject(dc, ::GetStockObject(DEFAULT_GUI_FONT));
            ::DrawTextA(dc, text, -1, &rect, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
            ::SelectObject(dc, oldFont);
        }
    }
    return TRUE;
}

LRESULT CColorPicker::OnReflectedCommand(UINT, WPARAM wParam, LPARAM, BOOL& handled)
{
    if (HIWORD(wParam) != kCommandClicked) {
        handled = FALSE;
        return 0;
    }
    OpenPopup();
    return 0;
}

void CColorPicker::Notify(UINT code, COLORREF color, bool valid)
{
    CColorPickerNotify notify = {};
    notify.header.hwndFrom = m_hWnd;
    notify.header.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID());
    notify.header.code = code;
    notify.color = color;
    notify.valid = valid;
    ::SendMessageA(GetParent(), WM_NOTIFY, notify.header.idFrom, reinterpret_cast<LPARAM>(&notify));
}

void CColorPicker::OpenPopup()
{
    if (m_popupOpen)
        return;
    m_popupOpen = true;
    Invalidate();
    Notify(kColorPickerOpening, m_color, true);
    const COLORREF before = m_color;
    const bool chosen = RunPopup();
    m_popupOpen = false;
    if (chosen) {
        if (m_color != before)
            Notify(kColorPickerChanged, m_color, true);
        Notify(kColorPickerClosed, m_color, true);
        Notify(kColorPickerChosen, m_color, true);
    } else {
        if (m_trackSelection && m_color != before) {
            m_color = before;
            Notify(kColorPickerChanged, m_color, true);
        }
        Notify(kColorPickerClosed, m_color, true);
        Notify(kColorPickerCancelled, m_color, true);
    }
    Invalidate();
}

void CColorPicker::Layout()
{
    HDC screen = ::GetDC(nullptr);
    const HGDIOBJ old = ::SelectObject(screen, m_font.IsNull() ? ::GetStockObject(DEFAULT_GUI_FONT) : m_font.m_hGdiObj);
    SIZE defaultSize = {};
    SIZE moreSize = {};
    if (!m_defaultText.empty())
        ::GetTextExtentPoint32A(screen, m_defaultText.c_str(), static_cast<int>(m_defaultText.size()), &defaultSize);
    if (!m_moreText.empty())
        ::GetTextExtentPoint32A(screen, m_moreText.c_str(), static_cast<int>(m_moreText.size()), &moreSize);
    ::SelectObject(screen, old);
    ::ReleaseDC(nullptr, screen);
    const int edgeX = ::GetSystemMetrics(SM_CXEDGE);
    const int edgeY = ::GetSystemMetrics(SM_CYEDGE);
    const int rows = (kColorCount + kColumns - 1) / kColumns;
    const int width = std::max<int>({kColumns * kCellPitch, defaultSize.cx + 2 * kTextPadding, moreSize.cx + 2 * kTextPadding});
    int y = edgeY;
    m_defaultRect = {};
    if (!m_defaultText.empty()) {
        m_defaultRect = {edgeX, y, edgeX + width, y + defaultSize.cy + 2 * kTextPadding};
        y = m_defaultRect.bottom;
    }
    const int gridLeft = edgeX + (width - kColumns * kCellPitch) / 2;
    m_gridRect = {gridLeft, y, gridLeft + kColumns * kCellPitch, y + rows * kCellPitch};
    y = m_gridRect.bottom;
    m_moreRect = {};
    if (!m_moreText.empty()) {
        m_moreRect = {edgeX, y, edgeX + width, y + moreSize.cy + 2 * kTextPadding};
        y = m_moreRect.bottom;
    }
    m_popupSize = {width + 2 * edgeX, y + edgeY};
}

// Below the button, kept on the nearest monitor's work area: pushed sideways to fit, and above
// the button when it would run off the bottom.
void CColorPicker::PlacePopup()
{
    RECT button = {};
    GetWindowRect(&button);
    MONITORINFO monitor = {sizeof(monitor)};
    RECT work = {};
    if (::GetMonitorInfoA(::MonitorFromWindow(m_hWnd, MONITOR_DEFAULTTONEAREST), &monitor))
        work = monitor.rcWork;
    else
        ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    int x = button.left;
    int y = button.bottom;
    if (x + m_popupSize.cx > work.right)
        x = work.right - m_popupSize.cx;
    if (x < work.left)
        x = work.left;
    if (y + m_popupSize.cy > work.bottom)
        y = button.top - m_popupSize.cy;
    ::SetWindowPos(m_popup, HWND_TOPMOST, x, y, m_popupSize.cx, m_popupSize.cy, SWP_NOACTIVATE);
}

bool CColorPicker::RunPopup()
{
    WNDCLASSEXA windowClass = {sizeof(windowClass)};
    if (!::GetClassInfoExA(::GetModuleHandleA(nullptr), kPopupClass, &windowClass)) {
        windowClass = {sizeof(windowClass)};
        windowClass.style = CS_SAVEBITS | CS_CLASSDC | CS_HREDRAW | CS_VREDRAW;
        BOOL shadows = FALSE;
        if (::SystemParametersInfoA(SPI_GETDROPSHADOW, 0, &shadows, 0) && shadows)
            windowClass.style |= CS_DROPSHADOW;
        windowClass.lpfnWndProc = PopupProc;
        windowClass.hInstance = ::GetModuleHandleA(nullptr);
        windowClass.hCursor = ::LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));
        windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_MENU + 1));
        windowClass.lpszClassName = kPopupClass;
        ::RegisterClassExA(&windowClass);
    }
    NONCLIENTMETRICSA metrics = {};
    metrics.cbSize = sizeof(metrics);
    if (::SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0))
        m_font.CreateFontIndirect(&metrics.lfMenuFont);
    m_background = ::GetSysColor(COLOR_MENU);
    m_hotFill = ::GetSysColor(COLOR_MENUHILIGHT);
    m_selectedFill = Blend(::GetSysColor(COLOR_MENU), 207, ::GetSysColor(COLOR_HIGHLIGHT), 48);
    m_hotText = ::GetSysColor(COLOR_HIGHLIGHTTEXT);
    m_text = ::GetSysColor(COLOR_MENUTEXT);
    Layout();

    t_openPicker = this;
    m_popup = ::CreateWindowExA(WS_EX_TOOLWINDOW, kPopupClass, "", WS_POPUP, 0, 0, m_popupSize.cx, m_popupSize.cy,
                                m_hWnd, nullptr, ::GetModuleHandleA(nullptr), nullptr);
    if (!m_popup) {
        t_openPicker = nullptr;
        m_font.DeleteObject();
        return false;
    }
    PlacePopup();
    // One tool per cell with the colour's name.
    m_toolTip = ::CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP, 0, 0, 0, 0, m_popup, nullptr,
                                  ::GetModuleHandleA(nullptr), nullptr);
    for (int i = 0; m_toolTip && i < kColorCount; ++i) {
        TTTOOLINFOA tool = {};
        tool.cbSize = sizeof(tool);
        tool.hwnd = m_popup;
        tool.uId = static_cast<UINT_PTR>(i) + 1;
        tool.rect = ItemRect(i);
        tool.lpszText = const_cast<char*>(kPalette[i].name);
        ::SendMessageA(m_toolTip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    }
    m_chosenItem = kItemNone;
    for (int i = 0; i < kColorCount; ++i) {
        if (kPalette[i].color == m_color)
            m_chosenItem = i;
    }
    if (m_color == CLR_DEFAULT && !m_defaultText.empty())
        m_chosenItem = kItemDefault;
    m_hotItem = m_chosenItem;
    m_chosen = m_color;
    m_popupResult = false;
    ::ShowWindow(m_popup, SW_SHOWNA);
    ::UpdateWindow(m_popup);
    ::SetCapture(m_popup);
    RunLoop();
    const int hot = m_hotItem;
    const bool chose = m_popupResult;
    if (::GetCapture() == m_popup)
        ::ReleaseCapture();
    if (m_toolTip)
        ::DestroyWindow(m_toolTip);
    m_toolTip = nullptr;
    ::DestroyWindow(m_popup);
    m_popup = nullptr;
    t_openPicker = nullptr;
    m_font.DeleteObject();
    if (!chose)
        return false;
    if (hot == kItemMore)
        return ChooseMoreColor();
    m_color = m_chosen;
    return true;
}

void CColorPicker::RunLoop()
{
    MSG message;
    while (::GetCapture() == m_popup) {
        if (!::GetMessageA(&message, nullptr, 0, 0)) {
            ::PostQuitMessage(static_cast<int>(message.wParam));
            break;
        }
        if (m_toolTip) {
            MSG relay = message;
            ::SendMessageA(m_toolTip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relay));
        }
        switch (message.message) {
        case WM_MOUSEMOVE: {
            POINT point = {static_cast<short>(LOWORD(message.lParam)), static_cast<short>(HIWORD(message.lParam))};
            ::MapWindowPoints(message.hwnd, m_popup, &point, 1);
            SetHot(HitTest(point));
            continue;
        }
        case WM_LBUTTONUP: {
            POINT point = {static_cast<short>(LOWORD(message.lParam)), static_cast<short>(HIWORD(message.lParam))};
            ::MapWindowPoints(message.hwnd, m_popup, &point, 1);
            const int item = HitTest(point);
            if (item != kItemNone) {
                SetHot(item);
                m_popupResult = true;
            }
            return;
        }
        case WM_RBUTTONDOWN:
            return;
        case WM_KEYDOWN:
            switch (message.wParam) {
            case VK_RETURN:
            case VK_SPACE:
                m_popupResult = m_hotItem != kItemNone;
                return;
            case VK_ESCAPE:
                return;
            case VK_LEFT:
                SetHot(NextItem(m_hotItem, -1, !m_defaultText.empty(), !m_moreText.empty()));
                continue;
            case VK_RIGHT:
                SetHot(NextItem(m_hotItem, 1, !m_defaultText.empty(), !m_moreText.empty()));
                continue;
            case VK_UP:
                SetHot(NextItem(m_hotItem, -kColumns, !m_defaultText.empty(), !m_moreText.empty()));
                continue;
            case VK_DOWN:
                SetHot(NextItem(m_hotItem, kColumns, !m_defaultText.empty(), !m_moreText.empty()));
                continue;
            default:
                continue;
            }
        default:
            break;
        }
        ::TranslateMessage(&message);
        ::DispatchMessageA(&message);
    }
}

COLORREF CColorPicker::ItemColor(int item) const
{
    if (item == kItemDefault)
        return CLR_DEFAULT;
    if (item >= 0 && item < kColorCount)
        return kPalette[item].color;
    return m_chosen;
}

void CColorPicker::SetHot(int item)
{
    if (item == m_hotItem)
        return;
    const int old = m_hotItem;
    m_hotItem = item;
    for (int changed : {old, item}) {
        const RECT rect = ItemRect(changed);
        if (!::IsRectEmpty(&rect))
            ::InvalidateRect(m_popup, &rect, FALSE);
    }
    if (item != kItemNone && item != kItemMore) {
        m_chosen = ItemColor(item);
        if (m_trackSelection && m_chosen != m_color) {
            m_color = m_chosen;
            Notify(kColorPickerChanged, m_color, true);
            Invalidate();
        }
    }
}

int CColorPicker::HitTest(POINT client) const
{
    if (::PtInRect(&m_moreRect, client))
        return kItemMore;
    if (::PtInRect(&m_defaultRect, client))
        return kItemDefault;
    if (!::PtInRect(&m_gridRect, client))
        return kItemNone;
    const int item = (client.y - m_gridRect.top) / kCellPitch * kColumns + (client.x - m_gridRect.left) / kCellPitch;
    return item < kColorCount ? item : kItemNone;
}

RECT CColorPicker::ItemRect(int item) const
{
    if (item == kItemDefault)
        return m_defaultRect;
    if (item == kItemMore)
        return m_moreRect;
    if (item < 0 || item >= kColorCount)
        return {};
    const int x = m_gridRect.left + (item % kColumns) * kCellPitch;
    const int y = m_gridRect.top + (item / kColumns) * kCellPitch;
    return {x, y, x + kCellPitch, y + kCellPitch};
}

RECT CColorPicker::GetItemScreenRect(int item) const
{
    RECT rect = ItemRect(item);
    if (m_popup && !::IsRectEmpty(&rect))
        ::MapWindowPoints(m_popup, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

void CColorPicker::DrawItem(HDC dc, int item)
{
    RECT rect = ItemRect(item);
    if (::IsRectEmpty(&rect))
        return;
    CBrush background;
    background.CreateSolidBrush(m_background);
    ::FillRect(dc, &rect, background);
    const bool isText = item == kItemDefault || item == kItemMore;
    RECT highlight = rect;
    if (isText)
        ::InflateRect(&highlight, -2, -2);
    if (item == m_hotItem || item == m_chosenItem) {
        CBrush fill;
        fill.CreateSolidBrush(item == m_hotItem ? m_hotFill : m_selectedFill);
        ::FillRect(dc, &highlight, fill);
        if (item == m_hotItem)
            ::FrameRect(dc, &highlight, ::GetSysColorBrush(COLOR_HIGHLIGHT));
    }
    if (isText) {
        ::SetBkMode(dc, TRANSPARENT);
        ::SetTextColor(dc, item == m_hotItem ? m_hotText : m_text);
        const HGDIOBJ old = ::SelectObject(dc, m_font.IsNull() ? ::GetStockObject(DEFAULT_GUI_FONT) : m_font.m_hGdiObj);
        const std::string& text = item == kItemDefault ? m_defaultText : m_moreText;
        ::DrawTextA(dc, text.c_str(), -1, &rect, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        ::SelectObject(dc, old);
        return;
    }
    RECT cell = {rect.left + 2, rect.top + 2, rect.left + 2 + kCellBox, rect.top + 2 + kCellBox};
    ::FrameRect(dc, &cell, ::GetSysColorBrush(COLOR_BTNSHADOW));
    ::InflateRect(&cell, -1, -1);
    CBrush colour;
    colour.CreateSolidBrush(kPalette[item].color);
    ::FillRect(dc, &cell, colour);
}

void CColorPicker::PaintPopup(HDC dc)
{
    RECT client = {};
    ::GetClientRect(m_popup, &client);
    CBrush background;
    background.CreateSolidBrush(m_background);
    ::FillRect(dc, &client, background);
    DrawItem(dc, kItemDefault);
    for (int i = 0; i < kColorCount; ++i)
        DrawItem(dc, i);
    DrawItem(dc, kItemMore);
    ::DrawEdge(dc, &client, EDGE_RAISED, BF_RECT);
}

LRESULT CALLBACK CColorPicker::PopupProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    try {
        CColorPicker* picker = t_openPicker;
        if (picker && message == WM_PAINT) {
            PAINTSTRUCT paint = {};
            HDC dc = ::BeginPaint(window, &paint);
            if (picker->m_popup == window)
                picker->PaintPopup(dc);
            ::EndPaint(window, &paint);
            return 0;
        }
    } catch (...) {
        ReportCaughtException("CColorPicker::PopupProc");
    }
    return ::DefWindowProcA(window, message, wParam, lParam);
}

namespace {

UINT g_colorOkMessage = 0;

UINT_PTR CALLBACK ColorDialogHook(HWND, UINT message, WPARAM, LPARAM)
{
    // The dialog's OK check: every colour is acceptable.
    (void)message;
    return 0;
}

}  // namespace

bool CColorPicker::ChooseMoreColor()
{
    if (!g_colorOkMessage)
        g_colorOkMessage = ::RegisterWindowMessageA(COLOROKSTRINGA);
    static COLORREF custom[16] = {};
    CHOOSECOLORA choose = {};
    choose.lStructSize = sizeof(choose);
    choose.hwndOwner = m_hWnd;
    choose.rgbResult = m_color == CLR_DEFAULT ? m_defaultColor : m_color;
    choose.lpCustColors = custom;
    choose.Flags = CC_ANYCOLOR | CC_FULLOPEN | CC_RGBINIT | CC_ENABLEHOOK;
    choose.lpfnHook = ColorDialogHook;
    if (!::ChooseColorA(&choose))
        return false;
    m_color = choose.rgbResult;
    return true;
}
