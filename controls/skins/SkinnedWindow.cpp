#include "controls/skins/SkinnedWindow.h"

#include "controls/MenuStyleManager.h"
#include "controls/skins/FrameSkinManager.h"
#include "controls/skins/SkinBitmap.h"
#include "controls/skins/SkinValues.h"
#include "core/system/MenuFunctions.h"
#include "core/system/WindowFunctions.h"


#include <algorithm>

namespace {

// The signed coordinates of a mouse message.
int GET_X_LPARAM(LPARAM lParam)
{
    return static_cast<short>(LOWORD(lParam));
}
int GET_Y_LPARAM(LPARAM lParam)
{
    return static_cast<short>(HIWORD(lParam));
}

constexpr char kDialogClass[] = "#32770";
constexpr UINT kFrameChanged = SWP_NOREDRAW | SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE;
// Title-bar state slots of TITLEBARINFO.
constexpr int kTitleMinimize = 2;
constexpr int kTitleMaximize = 3;
constexpr int kTitleClose = 5;

void DrawBitmapAt(HDC dc, HBITMAP bitmap, int x, int y)
{
    if (bitmap)
        ::DrawStateA(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(bitmap), 0, x, y, 0, 0, DST_BITMAP);
}

// Tiles a part from `from` up to (not including) `to` along one axis.
void TileHorizontally(HDC dc, HBITMAP bitmap, SIZE size, int from, int to, int y)
{
    if (!bitmap || size.cx <= 0)
        return;
    for (int x = from; x < to; x += size.cx)
        DrawBitmapAt(dc, bitmap, x, y);
}

void TileVertically(HDC dc, HBITMAP bitmap, SIZE size, int x, int from, int to)
{
    if (!bitmap || size.cy <= 0)
        return;
    for (int y = from; y < to; y += size.cy)
        DrawBitmapAt(dc, bitmap, x, y);
}

HICON FindWindowIcon(HWND window)
{
    auto icon = reinterpret_cast<HICON>(::SendMessageA(window, WM_GETICON, ICON_SMALL, 0));
    if (!icon)
        icon = reinterpret_cast<HICON>(::GetClassLongPtrA(window, GCLP_HICONSM));
    if (!icon)
        icon = reinterpret_cast<HICON>(::SendMessageA(window, WM_GETICON, ICON_BIG, 0));
    if (!icon)
        icon = reinterpret_cast<HICON>(::GetClassLongPtrA(window, GCLP_HICON));
    if (!icon)
        icon = ::LoadIconA(nullptr, MAKEINTRESOURCEA(32512));  // IDI_APPLICATION
    return icon;
}

int ButtonOfHitCode(int hitCode)
{
    switch (hitCode) {
    case HTSYSMENU: return kSkinButtonSys;
    case HTMINBUTTON: return kSkinButtonMin;
    case HTMAXBUTTON: return kSkinButtonMax;
    case HTCLOSE: return kSkinButtonClose;
    default: return -1;
    }
}

}  // namespace

CSkinnedWindow::~CSkinnedWindow()
{
    Detach();
}

bool CSkinnedWindow::IsActive() const
{
    return m_manager.IsSkinActive();
}

void CSkinnedWindow::ReadWindowFacts()
{
    TITLEBARINFO title = {};
    title.cbSize = sizeof(title);
    if (::GetTitleBarInfo(m_window, &title)) {
        m_minState = title.rgstate[kTitleMinimize];
        m_maxState = title.rgstate[kTitleMaximize];
        m_closeState = title.rgstate[kTitleClose];
    }
    // Wine reports the buttons of a window without the box styles as usable; the styles decide.
    const DWORD style = static_cast<DWORD>(::GetWindowLongPtrA(m_window, GWL_STYLE));
    if (!(style & WS_SYSMENU)) {
        m_minState |= STATE_SYSTEM_INVISIBLE;
        m_maxState |= STATE_SYSTEM_INVISIBLE;
        m_closeState |= STATE_SYSTEM_INVISIBLE;
    } else if (!(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX))) {
        m_minState |= STATE_SYSTEM_INVISIBLE;
        m_maxState |= STATE_SYSTEM_INVISIBLE;
    } else {
        if (!(style & WS_MINIMIZEBOX))
            m_minState |= STATE_SYSTEM_UNAVAILABLE;
        if (!(style & WS_MAXIMIZEBOX))
            m_maxState |= STATE_SYSTEM_UNAVAILABLE;
    }
    m_icon = FindWindowIcon(m_window);
    m_ownBorder = style & WS_BORDER;
    m_isDialog = GetWindowClassName(m_window) == kDialogClass;
    RECT client = {};
    ::GetClientRect(m_window, &client);
    m_dialogClient = {client.right, client.bottom};
}

bool CSkinnedWindow::Apply(HWND window)
{
    if (!GetHookedWindow()) {
        if (!::IsWindow(window))
            return false;
        m_window = window;
        ReadWindowFacts();
        CSubclassRegistry* registry = GetSubclassRegistry();
        if (!registry || !registry->Attach(this, window))
            return false;
    }
    const DWORD style = static_cast<DWORD>(::GetWindowLongPtrA(m_window, GWL_STYLE));
    const DWORD wanted = IsActive() ? (style & ~WS_BORDER) : (style | m_ownBorder);
    if (wanted != style)
        ::SetWindowLongPtrA(m_window, GWL_STYLE, static_cast<LONG_PTR>(wanted));
    ::SetWindowPos(m_window, nullptr, 0, 0, 0, 0, kFrameChanged);
    KeepDialogClientSize();
    RECT rect = {};
    ::GetWindowRect(m_window, &rect);
    SetRegion(rect.right - rect.left, rect.bottom - rect.top);
    return true;
}

// A dialog's controls are laid out for its client area, so every skin (and none) keeps the
// client size the dialog had when it was first skinned.
void CSkinnedWindow::KeepDialogClientSize()
{
    if (!m_isDialog || ::IsIconic(m_window) || ::IsZoomed(m_window))
        return;
    RECT client = {};
    RECT window = {};
    ::GetClientRect(m_window, &client);
    ::GetWindowRect(m_window, &window);
    const int dx = m_dialogClient.cx - client.right;
    const int dy = m_dialogClient.cy - client.bottom;
    if (dx || dy)
        ::SetWindowPos(m_window, nullptr, 0, 0, window.right - window.left + dx, window.bottom - window.top + dy,
                       SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
}

void CSkinnedWindow::Detach()
{
    if (!GetHookedWindow())
        return;
    const HWND window = m_window;
    if (CSubclassRegistry* registry = GetSubclassRegistry())
        registry->Detach(this);
    if (::IsWindow(window)) {
        const DWORD style = static_cast<DWORD>(::GetWindowLongPtrA(window, GWL_STYLE));
        if ((style | m_ownBorder) != style)
            ::SetWindowLongPtrA(window, GWL_STYLE, static_cast<LONG_PTR>(style | m_ownBorder));
        ::SetWindowRgn(window, nullptr, FALSE);
        ::SetWindowPos(window, nullptr, 0, 0, 0, 0, kFrameChanged);
    }
}

void CSkinnedWindow::SetRegion(int width, int height)
{
    const CSkinData& skin = m_manager.GetSkin();
    if (!IsActive() || width <= 0 || height <= 0) {
        ::SetWindowRgn(m_window, nullptr, TRUE);
        return;
    }
    CRgn region;
    if (skin.fillMode) {
        region.CreateRoundRectRgn(0, 0, width + 1, height + 1, skin.frameCorner, skin.frameCorner);
    } else {
        region.CreateRectRgn(0, 0, width, height);
        const struct {
            int part;
            bool right;
            bool bottom;
        } corners[] = {{kSkinTopLeft, false, false}, {kSkinTopRight, true, false},
                       {kSkinBottomLeft, false, true}, {kSkinBottomRight, true, true}};
        for (const auto& corner : corners) {
            const SIZE size = skin.PartSize(corner.part);
            if (size.cx <= 0 || size.cy <= 0)
                continue;
            const int x = corner.right ? width - size.cx : 0;
            const int y = corner.bottom ? height - size.cy : 0;
            CRgn opaque(CreateRegionOfOpaquePixels(skin.parts[corner.part], kSkinTransparent, x, y));
            if (opaque.IsNull())
                continue;
            CRgn transparent;
            transparent.CreateRectRgn(x, y, x + size.cx, y + size.cy);
            transparent.CombineRgn(opaque, RGN_DIFF);
            region.CombineRgn(transparent, RGN_DIFF);
        }
    }
    // The window owns the region once it is set.
    if (::SetWindowRgn(m_window, region, TRUE))
        region.Detach();
}

DWORD CSkinnedWindow::GetButtonState(int hitCode) const
{
    switch (hitCode) {
    case HTMINBUTTON: return m_minState;
    case HTMAXBUTTON: return m_maxState;
    case HTCLOSE: return m_closeState;
    default: return 0;
    }
}

RECT CSkinnedWindow::ButtonRect(int hitCode) const
{
    const CSkinData& skin = m_manager.GetSkin();
    const int button = ButtonOfHitCode(hitCode);
    if (button < 0 || !IsActive())
        return {};
    RECT window = {};
    ::GetWindowRect(m_window, &window);
    const int width = window.right - window.left;
    const POINT position = skin.buttonPositions[button];
    SIZE size = skin.ButtonImageSize(button);
    if (button == kSkinButtonSys) {
        if (!skin.systemIcon || !m_icon)
            return {};
        if (size.cx <= 0)
            size = {::GetSystemMetrics(SM_CXSMICON), ::GetSystemMetrics(SM_CYSMICON)};
        return {position.x, position.y, position.x + size.cx, position.y + size.cy};
    }
    if (size.cx <= 0 || (GetButtonState(hitCode) & STATE_SYSTEM_INVISIBLE))
        return {};
    return {width + position.x, position.y, width + position.x + size.cx, position.y + size.cy};
}

int CSkinnedWindow::ButtonHitTest(POINT screen) const
{
    RECT window = {};
    ::GetWindowRect(m_window, &window);
    const POINT point = {screen.x - window.left, screen.y - window.top};
    for (const int code : {HTSYSMENU, HTMAXBUTTON, HTMINBUTTON, HTCLOSE}) {
        const RECT rect = ButtonRect(code);
        if (::PtInRect(&rect, point))
            return code;
    }
    return 0;
}

bool CSkinnedWindow::IsButtonUsable(int hitCode) const
{
    return !(GetButtonState(hitCode) & (STATE_SYSTEM_INVISIBLE | STATE_SYSTEM_UNAVAILABLE));
}

int CSkinnedWindow::StateImage(int hitCode) const
{
    if (hitCode != HTSYSMENU && (GetButtonState(hitCode) & STATE_SYSTEM_UNAVAILABLE))
        return kSkinImageDisabled;
    if (m_pressed == hitCode)
        return kSkinImagePressed;
    if (m_hot == hitCode)
        return kSkinImageHot;
    return kSkinImageNormal;
}

void CSkinnedWindow::PaintFrame(HDC dc, int width, int height) const
{
    const CSkinData& skin = m_manager.GetSkin();
    RECT all = {0, 0, width, height};
    ::FillRect(dc, &all, ::GetSysColorBrush(COLOR_BTNFACE));
    if (skin.fillMode) {
        const HBITMAP fill = skin.parts[0];
        const SIZE size = skin.PartSize(0);
        if (fill && size.cx > 0 && size.cy > 0) {
            // The one bitmap is tiled along each edge, in as many rows or columns as that
            // border is thick, so that a small tile fills a wide caption band too.
            const RECT borders = skin.Borders();
            for (int y = 0; y < std::max<int>(borders.top, 1); y += size.cy) {
                for (int x = 0; x < width; x += size.cx)
                    DrawBitmapAt(dc, fill, x, y);
            }
            for (int y = height - std::max<int>(borders.bottom, 1); y < height; y += size.cy) {
                for (int x = 0; x < width; x += size.cx)
                    DrawBitmapAt(dc, fill, x, y);
            }
            for (int y = 0; y < height; y += size.cy) {
                for (int x = 0; x < std::max<int>(borders.left, 1); x += size.cx)
                    DrawBitmapAt(dc, fill, x, y);
                for (int x = width - std::max<int>(borders.right, 1); x < width; x += size.cx)
                    DrawBitmapAt(dc, fill, x, y);
            }
        }
    } else {
        SIZE sizes[kSkinPartCount];
        for (int part = 0; part < kSkinPartCount; ++part)
            sizes[part] = skin.PartSize(part);
        const auto bitmap = [&](int part) { return static_cast<HBITMAP>(skin.parts[part]); };
        // Left and right sides: the upper piece under the top corner, the tiles, the lower piece
        // just above the bottom corner; tiles run first so that the closing pieces cover any overhang.
        const int sideTop = sizes[kSkinTopLeft].cy;
        const int leftLowerAt = height - sizes[kSkinBottomLeft].cy - sizes[kSkinLeftBottom].cy;
        TileVertically(dc, bitmap(kSkinLeft), sizes[kSkinLeft], 0, sideTop + sizes[kSkinLeftTop].cy, leftLowerAt);
        DrawBitmapAt(dc, bitmap(kSkinLeftTop), 0, sideTop);
        DrawBitmapAt(dc, bitmap(kSkinLeftBottom), 0, leftLowerAt);
        const int rightTop = sizes[kSkinTopRight].cy;
        const int rightLowerAt = height - sizes[kSkinBottomRight].cy - sizes[kSkinRightBottom].cy;
        const int rightX = width - sizes[kSkinRight].cx;
        TileVertically(dc, bitmap(kSkinRight), sizes[kSkinRight], rightX, rightTop + sizes[kSkinRightTop].cy, rightLowerAt);
        DrawBitmapAt(dc, bitmap(kSkinRightTop), width - sizes[kSkinRightTop].cx, rightTop);
        DrawBitmapAt(dc, bitmap(kSkinRightBottom), width - sizes[kSkinRightBottom].cx, rightLowerAt);
        // Bottom and top rows.
        TileHorizontally(dc, bitmap(kSkinBottom), sizes[kSkinBottom], sizes[kSkinBottomLeft].cx,
                         width - sizes[kSkinBottomRight].cx, height - sizes[kSkinBottom].cy);
        DrawBitmapAt(dc, bitmap(kSkinBottomLeft), 0, height - sizes[kSkinBottomLeft].cy);
        DrawBitmapAt(dc, bitmap(kSkinBottomRight), width - sizes[kSkinBottomRight].cx, height - sizes[kSkinBottomRight].cy);
        TileHorizontally(dc, bitmap(kSkinTop), sizes[kSkinTop], sizes[kSkinTopLeft].cx, width - sizes[kSkinTopRight].cx, 0);
        DrawBitmapAt(dc, bitmap(kSkinTopLeft), 0, 0);
        DrawBitmapAt(dc, bitmap(kSkinTopRight), width - sizes[kSkinTopRight].cx, 0);
    }

    // The caption text.
    char text[512] = {};
    ::GetWindowTextA(m_window, text, static_cast<int>(sizeof(text)));
    RECT caption = {skin.captionRect.left, skin.captionRect.top, width + skin.captionRect.right, skin.captionRect.bottom};
    if (IsUnsetSkinRect(skin.captionRect)) {
        const RECT borders = skin.Borders();
        caption = {borders.left + 4, 0, width - borders.right - 4, borders.top};
    }
    CMenuStyleManager* styles = GetMenuStyleManager();
    HFONT font = styles && styles->GetCaptionFont() ? styles->GetCaptionFont()
                                                     : static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
    const HGDIOBJ oldFont = ::SelectObject(dc, font);
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, skin.captionTextColor);
    ::DrawTextA(dc, text, -1, &caption, DT_SINGLELINE | DT_VCENTER | DT_NOCLIP | DT_END_ELLIPSIS | DT_NOPREFIX);
    ::SelectObject(dc, oldFont);

    // The system icon, then the three buttons.
    const RECT sys = ButtonRect(HTSYSMENU);
    if (!::IsRectEmpty(&sys)) {
        if (!skin.buttons[kSkinButtonSys].IsNull())
            ::ImageList_Draw(skin.buttons[kSkinButtonSys].m_hImageList, StateImage(HTSYSMENU), dc, sys.left, sys.top,
                             ILD_TRANSPARENT);
        else
            ::DrawIconEx(dc, sys.left, sys.top, m_icon, sys.right - sys.left, sys.bottom - sys.top, 0, nullptr, DI_NORMAL);
    }
    for (const int code : {HTMINBUTTON, HTMAXBUTTON, HTCLOSE}) {
        const RECT rect = ButtonRect(code);
        if (!::IsRectEmpty(&rect))
            ::ImageList_Draw(skin.buttons[ButtonOfHitCode(code)].m_hImageList, StateImage(code), dc, rect.left, rect.top,
                             ILD_TRANSPARENT);
    }
}

// The painter draws into an off-screen picture of the whole window, copied to the window DC
// clipped to the non-client area.
void CSkinnedWindow::OnNcPaint()
{
    RECT window = {};
    ::GetWindowRect(m_window, &window);
    const int width = window.right - window.left;
    const int height = window.bottom - window.top;
    if (width <= 0 || height <= 0)
        return;
    RECT client = {};
    ::GetClientRect(m_window, &client);
    ::MapWindowPoints(m_window, nullptr, reinterpret_cast<POINT*>(&client), 2);
    ::OffsetRect(&client, -window.left, -window.top);
    HDC dc = ::GetWindowDC(m_window);
    if (!dc)
        return;
    ::ExcludeClipRect(dc, client.left, client.top, client.right, client.bottom);
    CDC memory;
    memory.CreateCompatibleDC(dc);
    CBitmap picture;
    picture.CreateCompatibleBitmap(dc, width, height);
    if (memory.m_hDC && !picture.IsNull()) {
        const HBITMAP old = memory.SelectBitmap(picture);
        PaintFrame(memory, width, height);
        ::BitBlt(dc, 0, 0, width, height, memory, 0, 0, SRCCOPY);
        memory.SelectBitmap(old);
    }
    ::ReleaseDC(m_window, dc);
}

void CSkinnedWindow::RedrawFrame()
{
    ::RedrawWindow(m_window, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW | RDW_NOCHILDREN);
}

bool CSkinnedWindow::OnNcCalcSize(WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    RECT* proposed = wParam ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam)->rgrc[0] : reinterpret_cast<RECT*>(lParam);
    if (!proposed)
        return false;
    const RECT borders = m_manager.GetSkin().Borders();
    proposed->left += borders.left - kFrameAllowance;
    proposed->top += borders.top - kFrameAllowance;
    proposed->right -= borders.right - kFrameAllowance;
    proposed->bottom -= borders.bottom - kFrameAllowance;
    result = CallNext(WM_NCCALCSIZE, wParam, lParam);
    // Borders wider than the window leave an empty client area, never an inverted one.
    proposed->right = std::max(proposed->right, proposed->left);
    proposed->bottom = std::max(proposed->bottom, proposed->top);
    return true;
}

void CSkinnedWindow::OpenSystemMenu(int x, int y)
{
    TrackSystemMenu(m_window, x, y);
}

// A press on a caption button is recorded and kept from the default caption handling, whose move
// loop would take the capture and swallow the release; the command follows on WM_LBUTTONUP.
bool CSkinnedWindow::OnNcLButtonDown(WPARAM wParam, LPARAM lParam)
{
    if (wParam != HTCAPTION)
        return false;
    const POINT point = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    const int code = ButtonHitTest(point);
    if (code == HTSYSMENU && m_manager.GetSkin().buttons[kSkinButtonSys].IsNull()) {
        RECT window = {};
        ::GetWindowRect(m_window, &window);
        OpenSystemMenu(window.left + m_manager.GetSkin().buttonPositions[kSkinButtonSys].x,
                       window.top + m_manager.GetSkin().Borders().top);
        return true;
    }
    if (code < 1)
        return false;
    ::SetCapture(m_window);
    m_tracking = true;
    m_pressed = code;
    RedrawFrame();
    return true;
}

bool CSkinnedWindow::OnLButtonUp(LPARAM lParam)
{
    const int pressed = m_pressed;
    m_pressed = 0;
    m_tracking = false;
    RedrawFrame();
    ::ReleaseCapture();
    POINT point = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    ::ClientToScreen(m_window, &point);
    if (ButtonHitTest(point) != pressed)
        return true;
    m_hot = 0;
    switch (pressed) {
    case HTSYSMENU: {
        RECT window = {};
        ::GetWindowRect(m_window, &window);
        OpenSystemMenu(window.left + m_manager.GetSkin().buttonPositions[kSkinButtonSys].x,
                       window.top + m_manager.GetSkin().Borders().top);
        break;
    }
    case HTMINBUTTON:
        if (IsButtonUsable(HTMINBUTTON))
            ::PostMessageA(m_window, WM_SYSCOMMAND, SC_MINIMIZE, 0);
        break;
    case HTMAXBUTTON:
        if (IsButtonUsable(HTMAXBUTTON))
            ::PostMessageA(m_window, WM_SYSCOMMAND,
                           (::GetWindowLongPtrA(m_window, GWL_STYLE) & WS_MAXIMIZE) ? SC_RESTORE : SC_MAXIMIZE, 0);
        break;
    case HTCLOSE:
        if (IsButtonUsable(HTCLOSE))
            ::PostMessageA(m_window, WM_SYSCOMMAND, SC_CLOSE, 0);
        break;
    default:
        break;
    }
    return true;
}

bool CSkinnedWindow::ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    if (!IsActive())
        return false;
    switch (message) {
    case WM_NCCALCSIZE:
        return OnNcCalcSize(wParam, lParam, result);
    case WM_NCHITTEST: {
        result = CallNext(message, wParam, lParam);
        RECT window = {};
        ::GetWindowRect(m_window, &window);
        if (result == HTNOWHERE && GET_Y_LPARAM(lParam) < window.top + m_manager.GetSkin().Borders().top)
            result = HTCAPTION;
        return true;
    }
    case WM_NCMOUSEMOVE: {
        if (wParam != HTCAPTION && m_hot == 0)
            return false;
        const int hot = wParam == HTCAPTION ? ButtonHitTest({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}) : 0;
        if (hot != m_hot) {
            m_hot = hot;
            RedrawFrame();
        }
        return false;
    }
    case WM_NCLBUTTONDOWN:
        if (OnNcLButtonDown(wParam, lParam)) {
            result = 0;
            return true;
        }
        return false;
    case WM_LBUTTONUP:
        if (!m_tracking)
            return false;
        result = 0;
        return OnLButtonUp(lParam);
    case WM_CAPTURECHANGED:
        if (m_tracking) {
            m_tracking = false;
            if (m_pressed) {
                m_pressed = 0;
                RedrawFrame();
            }
        }
        return false;
    case WM_NCLBUTTONDBLCLK:
        if (wParam == HTCAPTION && ButtonHitTest({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}) == HTSYSMENU) {
            ::PostMessageA(m_window, WM_SYSCOMMAND, SC_CLOSE, 0);
            result = 0;
            return true;
        }
        return false;
    case WM_NCRBUTTONUP:
        if (wParam == HTCAPTION) {
            const int code = ButtonHitTest({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
            if (code == 0 || code == HTSYSMENU) {
                OpenSystemMenu(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
                result = 0;
                return true;
            }
        }
        return false;
    case WM_WINDOWPOSCHANGING: {
        result = CallNext(message, wParam, lParam);
        const auto* position = reinterpret_cast<const WINDOWPOS*>(lParam);
        if (position && !(position->flags & SWP_NOSIZE))
            SetRegion(position->cx, position->cy);
        return true;
    }
    case WM_NCPAINT:
        OnNcPaint();
        result = 0;
        return true;
    case WM_NCACTIVATE:
        // Wine's default handling paints its own frame at once, without WM_NCPAINT; the skin
        // repaints its frame instead and lets the activation go on.
        result = TRUE;
        OnNcPaint();
        return true;
    case WM_SETTEXT:
        result = CallNext(message, wParam, lParam);
        RedrawFrame();
        return true;
    default:
        return false;
    }
}
