#include "controls/widgets/BmpButton.h"

#include "controls/IconMenu2.h"
#include "core/library/AppWindowInfo.h"
#include "core/system/Clipboard.h"
#include "core/system/Icons.h"
#include "core/system/OpenUrl.h"
#include "core/system/OsInfo.h"

#include <algorithm>
#include <cstring>

namespace {

int SignedLow(LPARAM lParam)
{
    return static_cast<short>(LOWORD(lParam));
}
int SignedHigh(LPARAM lParam)
{
    return static_cast<short>(HIWORD(lParam));
}

HWND CreateToolTip(HWND owner)
{
    HWND tip = ::CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP, 0, 0, 0, 0, owner, nullptr,
                                 ::GetModuleHandleA(nullptr), nullptr);
    if (tip)
        ::SendMessageA(tip, TTM_ACTIVATE, TRUE, 0);
    return tip;
}

void SetTool(HWND tip, HWND owner, const std::string& text, bool add)
{
    if (!tip)
        return;
    TTTOOLINFOA tool = {};
    tool.cbSize = sizeof(tool);
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = owner;
    tool.uId = reinterpret_cast<UINT_PTR>(owner);
    tool.lpszText = const_cast<char*>(text.c_str());
    ::SendMessageA(tip, add ? TTM_ADDTOOLA : TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
}

void RelayToToolTip(HWND tip, HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!tip)
        return;
    MSG relay = {window, message, wParam, lParam, 0, {0, 0}};
    ::SendMessageA(tip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relay));
}

// Copies the text into the translator's buffer (wParam = its size).
LRESULT CopyToTranslator(const std::string& text, WPARAM size, LPARAM buffer)
{
    char* out = reinterpret_cast<char*>(buffer);
    if (!out || size == 0)
        return 0;
    const size_t count = std::min(text.size(), static_cast<size_t>(size) - 1);
    std::memcpy(out, text.data(), count);
    out[count] = '\0';
    return 1;
}

}  // namespace

UINT AutoRepeatDelay(int keyboardDelay)
{
    return keyboardDelay < 0 ? 250u : static_cast<UINT>(keyboardDelay + 1) * 250u;
}

UINT AutoRepeatPeriod(int keyboardSpeed)
{
    return keyboardSpeed < 0 ? 250u : 10000u / static_cast<UINT>(keyboardSpeed * 10 + 25);
}

// ---- CBmpButtonBase ---------------------------------------------------------------------------

CBmpButtonBase::~CBmpButtonBase()
{
    if (!(m_extendedStyle & kBmpSharedImages))
        m_images.Destroy();
    if (m_toolTip && ::IsWindow(m_toolTip))
        ::DestroyWindow(m_toolTip);
}

BOOL CBmpButtonBase::SubclassWindow(HWND button)
{
    if (!CWindowImpl<CBmpButtonBase>::SubclassWindow(button))
        return FALSE;
    const DWORD type = GetStyle() & BS_TYPEMASK;
    if (type == BS_DEFPUSHBUTTON)
        m_state |= kDefault | kPushButton;
    else if (type == BS_PUSHBUTTON)
        m_state |= kPushButton;
    ::SetWindowLongPtrA(m_hWnd, GWL_STYLE, static_cast<LONG_PTR>((GetStyle() & ~BS_TYPEMASK) | BS_OWNERDRAW));
    m_toolTip = CreateToolTip(m_hWnd);
    if (!m_toolTipText.empty())
        SetTool(m_toolTip, m_hWnd, m_toolTipText, true);
    if ((m_extendedStyle & kBmpSizeToImage) && m_images.m_hImageList) {
        int width = 0;
        int height = 0;
        ::ImageList_GetIconSize(m_images.m_hImageList, &width, &height);
        SetWindowPos(nullptr, 0, 0, width + 4, height + 4, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    return TRUE;
}

bool CBmpButtonBase::AddIcon(HICON icon)
{
    if (!m_images.m_hImageList)
        m_images.Attach(::ImageList_Create(16, 16, ILC_MASK | ILC_COLOR24, 4, 4));
    return m_images.m_hImageList && ::ImageList_ReplaceIcon(m_images.m_hImageList, -1, icon) >= 0;
}

bool CBmpButtonBase::AddIconFromImageList(HIMAGELIST list, int index)
{
    HICON icon = ::ImageList_GetIcon(list, index, ILD_NORMAL);
    if (!icon)
        return false;
    const bool added = AddIcon(icon);
    ::DestroyIcon(icon);
    return added;
}

bool CBmpButtonBase::AddIconPair(HIMAGELIST normal, HIMAGELIST disabled, int index)
{
    return AddIconFromImageList(normal, index) && AddIconFromImageList(disabled, index);
}

void CBmpButtonBase::SetImages(int normal, int pressed, int hover, int disabled)
{
    m_normal = normal;
    m_pressedImage = pressed;
    m_hoverImage = hover;
    m_disabledImage = disabled;
}

void CBmpButtonBase::AddTool()
{
    if (m_toolTipText.empty()) {
        ::SendMessageA(m_toolTip, TTM_ACTIVATE, FALSE, 0);
        return;
    }
    ::SendMessageA(m_toolTip, TTM_ACTIVATE, TRUE, 0);
    SetTool(m_toolTip, m_hWnd, m_toolTipText, true);
}

void CBmpButtonBase::SetToolTipText(const char* text)
{
    if (m_toolTip)
        SetTool(m_toolTip, m_hWnd, m_toolTipText, false);
    m_toolTipText = text ? text : "";
    if (m_toolTip)
        AddTool();
}

LRESULT CBmpButtonBase::OnRelayMouse(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled)
{
    RelayToToolTip(m_toolTip, m_hWnd, message, wParam, lParam);
    handled = FALSE;
    return 0;
}

void CBmpButtonBase::SetPressed(bool pressed)
{
    const DWORD state = pressed ? (m_state | kPressed) : (m_state & ~kPressed);
    if (state != m_state) {
        m_state = state;
        Invalidate(FALSE);
    }
}

void CBmpButtonBase::SendCommand()
{
    ::SendMessageA(GetParent(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(), BN_CLICKED), reinterpret_cast<LPARAM>(m_hWnd));
}

LRESULT CBmpButtonBase::OnLButtonDown(UINT message, WPARAM wParam, LPARAM lParam, BOOL&)
{
    SetFocus();
    if (OwnsMouse()) {
        ::SetCapture(m_hWnd);
        m_capturing = true;
    } else {
        DefWindowProc(message, wParam, lParam);  // the system button takes the capture
    }
    if (::GetCapture() == m_hWnd) {
        SetPressed(true);
        if (m_extendedStyle & kBmpAutoRepeat) {
            int delay = -1;
            if (!::SystemParametersInfoA(SPI_GETKEYBOARDDELAY, 0, &delay, 0))
                delay = -1;
            SetTimer(kRepeatDelayTimer, AutoRepeatDelay(delay));
        }
    }
    return 0;
}

LRESULT CBmpButtonBase::OnMouseMove(UINT, WPARAM, LPARAM lParam, BOOL& handled)
{
    handled = FALSE;
    if (::GetCapture() == m_hWnd) {
        RECT client = {};
        GetClientRect(&client);
        const POINT point = {SignedLow(lParam), SignedHigh(lParam)};
        SetPressed(::PtInRect(&client, point) != FALSE);
    } else if (OwnsMouse() && !(m_state & kHover)) {
        m_state |= kHover;
        Invalidate(FALSE);
        TRACKMOUSEEVENT track = {sizeof(track), TME_LEAVE, m_hWnd, 0};
        ::TrackMouseEvent(&track);
    }
    return 0;
}

LRESULT CBmpButtonBase::OnMouseLeave(UINT, WPARAM, LPARAM, BOOL&)
{
    m_state &= ~kHover;
    Invalidate(FALSE);
    return 0;
}

LRESULT CBmpButtonBase::OnLButtonUp(UINT message, WPARAM wParam, LPARAM lParam, BOOL&)
{
    KillTimer(kRepeatDelayTimer);
    if (!OwnsMouse()) {
        m_state &= ~kPressed;
        DefWindowProc(message, wParam, lParam);  // the system button clicks
        if (::GetCapture() == m_hWnd)
            ::ReleaseCapture();
        Invalidate(FALSE);
        return 0;
    }
    if (::GetCapture() == m_hWnd) {
        const bool inside = (m_state & kPressed) != 0;
        m_state &= ~kPressed;
        m_capturing = false;
        ::ReleaseCapture();
        if (inside)
            SendCommand();
        Invalidate(FALSE);
    }
    return 0;
}

LRESULT CBmpButtonBase::OnKey(UINT message, WPARAM wParam, LPARAM, BOOL& handled)
{
    handled = FALSE;
    if (!OwnsMouse() && wParam == VK_SPACE)
        SetPressed(message == WM_KEYDOWN);
    return 0;
}

LRESULT CBmpButtonBase::OnCaptureChanged(UINT, WPARAM, LPARAM, BOOL& handled)
{
    handled = FALSE;
    m_capturing = false;
    SetPressed(false);
    return 0;
}

LRESULT CBmpButtonBase::OnFocus(UINT message, WPARAM, LPARAM, BOOL& handled)
{
    handled = FALSE;
    m_state = message == WM_SETFOCUS ? (m_state | kFocused) : (m_state & ~kFocused);
    Invalidate(FALSE);
    return 0;
}

LRESULT CBmpButtonBase::OnEnable(UINT, WPARAM, LPARAM, BOOL& handled)
{
    handled = FALSE;
    Invalidate(FALSE);
    return 0;
}

LRESULT CBmpButtonBase::OnGetDlgCode(UINT message, WPARAM wParam, LPARAM lParam, BOOL&)
{
    LRESULT code = DefWindowProc(message, wParam, lParam);
    if (m_state & kDefault)
        code |= DLGC_DEFPUSHBUTTON;
    else if (m_state & kPushButton)
        code |= DLGC_UNDEFPUSHBUTTON;
    return code;
}

// The button stays owner-drawn whatever style the dialog manager gives it.
LRESULT CBmpButtonBase::OnSetStyle(UINT message, WPARAM wParam, LPARAM lParam, BOOL&)
{
    const DWORD type = static_cast<DWORD>(wParam) & BS_TYPEMASK;
    if (type == BS_DEFPUSHBUTTON)
        m_state |= kDefault;
    else if (type == BS_PUSHBUTTON)
        m_state &= ~kDefault;
    return DefWindowProc(message, (wParam & ~BS_TYPEMASK) | BS_OWNERDRAW, lParam);
}

LRESULT CBmpButtonBase::OnTimer(UINT, WPARAM wParam, LPARAM, BOOL& handled)
{
    if (wParam == kRepeatDelayTimer) {
        KillTimer(kRepeatDelayTimer);
        if (m_state & kPressed) {
            SendCommand();
            int speed = -1;
            if (!::SystemParametersInfoA(SPI_GETKEYBOARDSPEED, 0, &speed, 0))
                speed = -1;
            SetTimer(kRepeatTimer, AutoRepeatPeriod(speed));
        }
        return 0;
    }
    if (wParam == kRepeatTimer) {
        if (m_state & kPressed)
            SendCommand();
        else if (::GetCapture() != m_hWnd)
            KillTimer(kRepeatTimer);
        return 0;
    }
    handled = FALSE;
    return 0;
}

LRESULT CBmpButtonBase::OnPaint(UINT message, WPARAM wParam, LPARAM, BOOL&)
{
    if (message == WM_PRINTCLIENT || wParam) {
        Paint(reinterpret_cast<HDC>(wParam));
    } else {
        PAINTSTRUCT paint = {};
        HDC dc = BeginPaint(&paint);
        Paint(dc);
        EndPaint(&paint);
    }
    return 0;
}

void CBmpButtonBase::Paint(HDC dc)
{
    RECT client = {};
    GetClientRect(&client);
    CBrush background;
    background.CreateSolidBrush(m_background == CLR_INVALID ? ::GetSysColor(COLOR_BTNFACE) : m_background);
    ::FillRect(dc, &client, background);
    const bool pressed = (m_state & (kPressed | kDrawPressed)) != 0;
    const bool enabled = IsWindowEnabled() != FALSE;
    if (m_extendedStyle & kBmpFlatLook) {
        if (pressed || (m_state & kHover))
            ::DrawEdge(dc, &client, pressed ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
    } else {
        RECT frame = client;
        if ((m_extendedStyle & kBmpBorderedLook) && (m_state & kDefault)) {
            CBrush dark;
            dark.CreateSolidBrush(::GetSysColor(COLOR_3DDKSHADOW));
            ::FrameRect(dc, &frame, dark);
            ::InflateRect(&frame, -1, -1);
        }
        ::DrawEdge(dc, &frame, pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
    }
    int image = m_normal;
    if (!enabled && m_disabledImage >= 0)
        image = m_disabledImage;
    else if (pressed && m_pressedImage >= 0)
        image = m_pressedImage;
    else if ((m_state & kHover) && m_hoverImage >= 0)
        image = m_hoverImage;
    int width = 0;
    int height = 0;
    if (m_images.m_hImageList && image >= 0 && ::ImageList_GetIconSize(m_images.m_hImageList, &width, &height)) {
        const int shift = pressed ? 1 : 0;
        // With a text the image sits at the left, the text beside it.
        const int x = (::GetWindowTextLengthA(m_hWnd) > 0 ? 4 : (client.right - width) / 2) + shift;
        const int y = (client.bottom - height) / 2 + shift;
        if (!enabled && m_disabledImage < 0) {
            IMAGELISTDRAWPARAMS draw = {};
            draw.cbSize = sizeof(draw);
            draw.himl = m_images.m_hImageList;
            draw.i = image;
            draw.hdcDst = dc;
            draw.x = x;
            draw.y = y;
            draw.fStyle = ILD_TRANSPARENT;
            draw.fState = ILS_SATURATE;
            draw.Frame = static_cast<DWORD>(-100);
            if (!::ImageList_DrawIndirect(&draw))
                ::ImageList_Draw(m_images.m_hImageList, image, dc, x, y, ILD_TRANSPARENT);
        } else {
            ::ImageList_Draw(m_images.m_hImageList, image, dc, x, y, ILD_TRANSPARENT);
        }
    }
    char text[256] = {};
    GetWindowText(text, sizeof(text));
    if (*text) {
        ::SetBkMode(dc, TRANSPARENT);
        const HGDIOBJ old = ::SelectObject(dc, GetFont() ? GetFont() : static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT)));
        RECT area = client;
        area.left += width ? width + 4 : 0;
        if (enabled) {
            ::SetTextColor(dc, ::GetSysColor(COLOR_BTNTEXT));
            ::DrawTextA(dc, text, -1, &area, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        } else {
            RECT offset = area;
            ::OffsetRect(&offset, 1, 1);
            ::SetTextColor(dc, ::GetSysColor(COLOR_BTNHIGHLIGHT));
            ::DrawTextA(dc, text, -1, &offset, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
            ::SetTextColor(dc, ::GetSysColor(COLOR_BTNSHADOW));
            ::DrawTextA(dc, text, -1, &area, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        }
        ::SelectObject(dc, old);
    }
    if ((m_state & kFocused) && !(m_extendedStyle & kBmpFlatLook)) {
        RECT focus = client;
        ::InflateRect(&focus, -3, -3);
        ::DrawFocusRect(dc, &focus);
    }
}

LRESULT CBmpButtonBase::OnDestroy(UINT, WPARAM, LPARAM, BOOL& handled)
{
    handled = FALSE;
    if (m_toolTip && ::IsWindow(m_toolTip))
        ::DestroyWindow(m_toolTip);
    m_toolTip = nullptr;
    return 0;
}

LRESULT CBmpButtonBase::OnGetItem(UINT, WPARAM wParam, LPARAM lParam, BOOL&)
{
    return CopyToTranslator(m_toolTipText, wParam, lParam);
}

LRESULT CBmpButtonBase::OnSetItem(UINT, WPARAM, LPARAM lParam, BOOL&)
{
    SetToolTipText(reinterpret_cast<const char*>(lParam));
    return 1;
}

// ---- Hyperlinks -------------------------------------------------------------------------------

CHyperLinkMenuState HyperLinkMenuState(const std::string& address)
{
    const auto startsWith = [&](const char* prefix) {
        return address.size() >= std::strlen(prefix) && !::_strnicmp(address.c_str(), prefix, std::strlen(prefix));
    };
    // Secure addresses are web addresses too: only http:// would leave every https link out.
    return {!address.empty(), !address.empty(), startsWith("http://") || startsWith("https://")};
}

CHyperLinkBase::~CHyperLinkBase()
{
    if (m_toolTip && ::IsWindow(m_toolTip))
        ::DestroyWindow(m_toolTip);
}

BOOL CHyperLinkBase::SubclassWindow(HWND window)
{
    char name[16] = {};
    ::GetClassNameA(window, name, sizeof(name));
    if (::lstrcmpiA(name, "Static") || !CWindowImpl<CHyperLinkBase>::SubclassWindow(window))
        return FALSE;
    ModifyStyle(0, SS_NOTIFY);
    LOGFONTA logFont = {};
    HFONT parentFont = reinterpret_cast<HFONT>(::SendMessageA(GetParent(), WM_GETFONT, 0, 0));
    if (::GetObjectA(parentFont ? parentFont : ::GetStockObject(DEFAULT_GUI_FONT), sizeof(logFont), &logFont) == sizeof(logFont)) {
        logFont.lfUnderline = TRUE;
        m_font.CreateFontIndirect(&logFont);
    }
    if (m_label.empty()) {
        char text[1024] = {};
        GetWindowText(text, sizeof(text));
        m_label = text;
    }
    if (m_address.empty())
        m_address = m_label;
    m_hand = LoadHandCursor();
    CalcLabelRect();
    m_toolTip = CreateToolTip(m_hWnd);
    SetTool(m_toolTip, m_hWnd, m_address, true);
    GetIeLinkColors(&m_linkColor, &m_visitedColor);
    Invalidate();
    return TRUE;
}

void CHyperLinkBase::CalcLabelRect()
{
    if (!m_hWnd)
        return;
    RECT client = {};
    GetClientRect(&client);
    HDC dc = GetDC();
    const HGDIOBJ old = ::SelectObject(dc, m_font.IsNull() ? ::GetStockObject(DEFAULT_GUI_FONT) : m_font.m_hGdiObj);
    RECT measured = client;
    ::DrawTextA(dc, m_label.c_str(), -1, &measured, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    ::SelectObject(dc, old);
    ReleaseDC(dc);
    const int width = measured.right - measured.left;
    const DWORD style = GetStyle() & SS_TYPEMASK;
    int left = 0;
    if (style == SS_CENTER)
        left = (client.right - width) / 2;
    else if (style == SS_RIGHT)
        left = client.right - width;
    m_labelRect = {left, 0, left + width, measured.bottom - measured.top};
}

void CHyperLinkBase::UpdateToolTip()
{
    if (!m_toolTip)
        return;
    TTTOOLINFOA tool = {};
    tool.cbSize = sizeof(tool);
    tool.hwnd = m_hWnd;
    tool.uId = reinterpret_cast<UINT_PTR>(m_hWnd);
    tool.lpszText = const_cast<char*>(m_address.c_str());
    ::SendMessageA(m_toolTip, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&tool));
}

void CHyperLinkBase::SetLabel(const char* label)
{
    m_label = label ? label : "";
    m_ownLabel = true;
    CalcLabelRect();
    if (m_hWnd)
        Invalidate();
}

void CHyperLinkBase::SetHyperLink(const char* address)
{
    m_address = address ? address : "";
    if (!m_ownLabel && m_hWnd && m_label.empty())
        m_label = m_address;
    UpdateToolTip();
    CalcLabelRect();
}

void CHyperLinkBase::MarkVisited()
{
    m_visited = true;
    Invalidate();
}

LRESULT CHyperLinkBase::OnRelayMouse(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled)
{
    RelayToToolTip(m_toolTip, m_hWnd, message, wParam, lParam);
    handled = FALSE;
    if (message == WM_MOUSEMOVE) {
        const POINT point = {SignedLow(lParam), SignedHigh(lParam)};
        if (::PtInRect(&m_labelRect, point) && m_hand)
            ::SetCursor(m_hand);
    }
    return 0;
}

LRESULT CHyperLinkBase::OnPaint(UINT message, WPARAM wParam, LPARAM, BOOL&)
{
    PAINTSTRUCT paint = {};
    HDC dc = (message == WM_PRINTCLIENT || wParam) ? reinterpret_cast<HDC>(wParam) : BeginPaint(&paint);
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, m_visited ? m_visitedColor : m_linkColor);
    const HGDIOBJ old = ::SelectObject(dc, m_font.IsNull() ? ::GetStockObject(DEFAULT_GUI_FONT) : m_font.m_hGdiObj);
    RECT label = m_labelRect;
    ::DrawTextA(dc, m_label.c_str(), -1, &label, DT_SINGLELINE | DT_NOPREFIX);
    ::SelectObject(dc, old);
    if (::GetFocus() == m_hWnd)
        ::DrawFocusRect(dc, &label);
    if (!(message == WM_PRINTCLIENT || wParam))
        EndPaint(&paint);
    return 0;
}

LRESULT CHyperLinkBase::OnEraseBackground(UINT, WPARAM wParam, LPARAM, BOOL&)
{
    HDC dc = reinterpret_cast<HDC>(wParam);
    auto brush = reinterpret_cast<HBRUSH>(::SendMessageA(GetParent(), WM_CTLCOLORSTATIC, wParam, reinterpret_cast<LPARAM>(m_hWnd)));
    RECT client = {};
    GetClientRect(&client);
    ::FillRect(dc, &client, brush ? brush : ::GetSysColorBrush(COLOR_BTNFACE));
    return 1;
}

LRESULT CHyperLinkBase::OnSetCursor(UINT message, WPARAM wParam, LPARAM lParam, BOOL&)
{
    POINT point = {};
    ::GetCursorPos(&point);
    ScreenToClient(&point);
    if (!m_label.empty() && ::PtInRect(&m_labelRect, point) && m_hand) {
        ::SetCursor(m_hand);
        return TRUE;
    }
    return DefWindowProc(message, wParam, lParam);
}

LRESULT CHyperLinkBase::OnLButtonDown(UINT, WPARAM, LPARAM lParam, BOOL&)
{
    const POINT point = {SignedLow(lParam), SignedHigh(lParam)};
    if (::PtInRect(&m_labelRect, point)) {
        SetFocus();
        ::SetCapture(m_hWnd);
    }
    return 0;
}

LRESULT CHyperLinkBase::OnLButtonUp(UINT, WPARAM, LPARAM lParam, BOOL&)
{
    if (::GetCapture() != m_hWnd)
        return 0;
    ::ReleaseCapture();
    const POINT point = {SignedLow(lParam), SignedHigh(lParam)};
    if (::PtInRect(&m_labelRect, point))
        OnClick();
    return 0;
}

LRESULT CHyperLinkBase::OnChar(UINT, WPARAM wParam, LPARAM, BOOL& handled)
{
    if (wParam == VK_RETURN || wParam == VK_SPACE) {
        OnClick();
        return 0;
    }
    handled = FALSE;
    return 0;
}

LRESULT CHyperLinkBase::OnFocus(UINT, WPARAM, LPARAM, BOOL& handled)
{
    handled = FALSE;
    Invalidate();
    return 0;
}

LRESULT CHyperLinkBase::OnDestroy(UINT, WPARAM, LPARAM, BOOL& handled)
{
    handled = FALSE;
    if (m_toolTip && ::IsWindow(m_toolTip))
        ::DestroyWindow(m_toolTip);
    m_toolTip = nullptr;
    return 0;
}

LRESULT CHyperLinkBase::OnGetItem(UINT, WPARAM wParam, LPARAM lParam, BOOL&)
{
    return CopyToTranslator(m_label, wParam, lParam);
}

LRESULT CHyperLinkBase::OnSetItem(UINT, WPARAM, LPARAM lParam, BOOL&)
{
    SetLabel(reinterpret_cast<const char*>(lParam));
    return 1;
}

void CHyperLink::OnClick()
{
    CAppWindowInfo* info = GetAppWindowInfo();
    HWND frame = info ? info->GetMainWindow() : nullptr;
    constexpr DWORD kOpenInNewTab = 1;
    if (frame && ::IsWindow(frame) && OpenUrlInFrame(frame, GetHyperLink().c_str(), kOpenInNewTab))
        MarkVisited();
}

namespace {

IFavoriteAdder* g_favoriteAdder = nullptr;

}  // namespace

IFavoriteAdder* GetFavoriteAdder()
{
    return g_favoriteAdder;
}

IFavoriteAdder* SetFavoriteAdder(IFavoriteAdder* adder)
{
    IFavoriteAdder* previous = g_favoriteAdder;
    g_favoriteAdder = adder;
    return previous;
}

bool CHyperLink::ExecuteMenuCommand(UINT command)
{
    const CHyperLinkMenuState state = HyperLinkMenuState(GetHyperLink());
    switch (command) {
    case kLinkCommandOpen:
        if (!state.open)
            return false;
        OnClick();
        return true;
    case kLinkCommandCopyShortcut: {
        if (!state.copy || !::OpenClipboard(m_hWnd))
            return false;
        ::EmptyClipboard();
        const bool copied = CopyTextToClipboard(GetHyperLink().c_str(), GetHyperLink().size());
        ::CloseClipboard();
        return copied;
    }
    case kLinkCommandAddToFavorites:
        return state.addToFavorites && GetFavoriteAdder() &&
               GetFavoriteAdder()->AddFavorite(GetHyperLink().c_str(), GetLabel().c_str());
    default:
        return false;
    }
}

LRESULT CHyperLink::OnContextMenu(UINT, WPARAM, LPARAM lParam, BOOL&)
{
    const CHyperLinkMenuState state = HyperLinkMenuState(GetHyperLink());
    HMENU menu = ::CreatePopupMenu();
    if (!menu)
        return 0;
    ::AppendMenuA(menu, MF_STRING | (state.open ? 0 : MF_GRAYED), kLinkCommandOpen, "&Open");
    ::AppendMenuA(menu, MF_STRING | (state.copy ? 0 : MF_GRAYED), kLinkCommandCopyShortcut, "&Copy Shortcut");
    ::AppendMenuA(menu, MF_STRING | (state.addToFavorites && GetFavoriteAdder() ? 0 : MF_GRAYED),
                  kLinkCommandAddToFavorites, "&Add to Favorites...");
    ::SetMenuDefaultItem(menu, kLinkCommandOpen, FALSE);
    POINT point = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    if (lParam == -1) {  // from the keyboard: at the label
        const RECT label = GetLabelRect();
        point = {(label.left + label.right) / 2, label.bottom};
        ClientToScreen(&point);
    }
    CIconMenu2 icons;
    icons.Attach(m_hWnd);
    const UINT command = icons.TrackPopupMenu(menu, TPM_RETURNCMD | TPM_VERTICAL | TPM_RIGHTBUTTON | TPM_VERPOSANIMATION,
                                              point.x, point.y);
    icons.Detach();
    ::DestroyMenu(menu);
    if (command)
        ExecuteMenuCommand(command);
    return 0;
}

void CCommandLink::OnClick()
{
    ::SendMessageA(GetParent(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(), BN_CLICKED), reinterpret_cast<LPARAM>(m_hWnd));
}

// ---- CEtchedLine ------------------------------------------------------------------------------

LRESULT CEtchedLine::OnPaint(UINT message, WPARAM wParam, LPARAM, BOOL&)
{
    if (message == WM_PRINTCLIENT || wParam) {
        Paint(reinterpret_cast<HDC>(wParam));
    } else {
        PAINTSTRUCT paint = {};
        HDC dc = BeginPaint(&paint);
        Paint(dc);
        EndPaint(&paint);
    }
    return 0;
}

void CEtchedLine::Paint(HDC dc)
{
    RECT client = {};
    GetClientRect(&client);
    const int thickness = 2 * m_half;
    RECT line = client;
    if (client.right - client.left > client.bottom - client.top) {
        line.top = (client.bottom - thickness) / 2;
        line.bottom = line.top + thickness;
    } else {
        line.left = (client.right - thickness) / 2;
        line.right = line.left + thickness;
    }
    const COLORREF shadow = ::GetSysColor(COLOR_BTNSHADOW);
    const COLORREF light = ::GetSysColor(COLOR_BTNHIGHLIGHT);
    // The 3-D rectangle: top-left edges in the first colour, bottom-right in the second.
    const COLORREF topLeft = m_raised ? light : shadow;
    const COLORREF bottomRight = m_raised ? shadow : light;
    CBrush first;
    first.CreateSolidBrush(topLeft);
    CBrush second;
    second.CreateSolidBrush(bottomRight);
    RECT half = line;
    if (line.right - line.left > line.bottom - line.top)
        half.bottom = line.top + m_half;
    else
        half.right = line.left + m_half;
    ::FillRect(dc, &line, second);
    ::FillRect(dc, &half, first);
}
