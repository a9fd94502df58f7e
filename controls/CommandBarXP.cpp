#include "controls/CommandBarXP.h"

#include "controls/CommandBarResource.h"
#include "controls/CommandImageManager.h"
#include "controls/ToolBarHelpers.h"
#include "controls/FlatMenuFrame.h"
#include "controls/MenuStyleManager.h"
#include "core/app/LanguageManager.h"
#include "platform/AtlGdi.h"
#include "platform/Diagnostics.h"

#include <algorithm>
#include <cctype>

namespace {

// The animation requests of TrackPopupMenuEx, replaced by TPM_NOANIMATION: the flat frames and
// their shadows are placed as the menu window is created and would trail an animated menu.
constexpr UINT kTrackAnimationFlags = TPM_HORPOSANIMATION | TPM_HORNEGANIMATION | TPM_VERPOSANIMATION |
                                      TPM_VERNEGANIMATION;
// The popup overlaps its button by this, so that its open top edge meets the button.
constexpr int kPopupOverlap = 1;
// The caption buttons' tracking tool, and the gap between a button and its tooltip.
constexpr UINT_PTR kCaptionToolId = 1;
constexpr int kToolTipGap = 2;
constexpr int kToolTipTextSize = 80;

// The bar whose popup is open on this thread, for its CBT hook. A thread-local rather than a
// global under the module lock: the hook runs on the tracking thread only, and no lock is held
// for the length of a modal menu.
thread_local CCommandBarXP* t_trackingXP = nullptr;

HFONT BarFont()
{
    CMenuStyleManager* style = GetMenuStyleManager();
    HFONT font = style ? style->GetMenuFont() : nullptr;
    return font ? font : static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
}

void FillSolid(HDC dc, const RECT& rect, COLORREF color)
{
    const COLORREF old = ::SetBkColor(dc, color);
    ::ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
    ::SetBkColor(dc, old);
}

} // namespace

// The sizes of the command images are read when the bar's window is made: the image store is
// built on first use, which is slow, and an object that is only constructed does not need it.
CCommandBarXP::CCommandBarXP()
{
    m_scheme = GetFlatColorScheme();
}

CCommandBarXP::~CCommandBarXP()
{
    m_hook.Unhook();
    if (t_trackingXP == this)
        t_trackingXP = nullptr;
}

LRESULT CCommandBarXP::OnCreate(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled)
{
    if (CCommandImageManager* images = GetCommandImageManager()) {
        m_imageSize = images->GetImageSize();
        m_buttonSize = images->GetButtonSize();
    }
    const LRESULT result = CCommandBarCtrlImpl::OnCreate(message, wParam, lParam, handled);
    if (result == -1)
        return -1;
    SetFont(BarFont(), FALSE);
    // The bar takes the style manager's WM_SETTINGCHANGE (its colours, fonts) through the icon menu.
    m_iconMenu.Attach(m_hWnd);
    // The rebar draws no hot chevron by itself once the bands are custom-drawn: the bar watches
    // the cursor over it.
    if (HWND reBar = GetReBar())
        m_wndReBar.SubclassWindow(reBar);
    // The caption buttons lie outside the client area, where a tooltip's tools do not reach: one
    // tracking tool is placed under the button the mouse is over.
    m_toolTip = ::CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
                                  0, 0, 0, 0, m_hWnd, nullptr, AtlGetModuleInstance(), nullptr);
    if (m_toolTip) {
        TOOLINFOA tool = {};
        tool.cbSize = sizeof(tool);
        tool.uFlags = TTF_TRACK | TTF_ABSOLUTE;
        tool.hwnd = m_hWnd;
        tool.uId = kCaptionToolId;
        tool.lpszText = const_cast<char*>("");
        ::SendMessageA(m_toolTip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    }
    return result;
}

LRESULT CCommandBarXP::OnDestroy(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled)
{
    m_iconMenu.Detach();
    m_toolBars.clear();
    if (m_wndReBar.m_hWnd)
        m_wndReBar.UnsubclassWindow(TRUE);
    if (m_toolTip)
        ::DestroyWindow(m_toolTip);
    m_toolTip = nullptr;
    m_toolTipPart = kMdiNone;
    return CCommandBarCtrlImpl::OnDestroy(message, wParam, lParam, handled);
}

LRESULT CCommandBarXP::OnSettingChange(UINT, WPARAM, LPARAM, BOOL& handled)
{
    m_scheme = GetFlatColorScheme();
    if (m_hWnd)
        SetFont(BarFont(), TRUE);
    handled = FALSE;
    return 0;
}

void CCommandBarXP::AddToolBar(HWND toolBar)
{
    if (toolBar && std::find(m_toolBars.begin(), m_toolBars.end(), toolBar) == m_toolBars.end())
        m_toolBars.push_back(toolBar);
}

void CCommandBarXP::RemoveToolBar(HWND toolBar)
{
    m_toolBars.erase(std::remove(m_toolBars.begin(), m_toolBars.end(), toolBar), m_toolBars.end());
}

HWND CCommandBarXP::GetReBar() const
{
    HWND parent = m_hWnd ? ::GetParent(m_hWnd) : nullptr;
    char name[32] = {};
    if (parent)
        ::GetClassNameA(parent, name, sizeof(name));
    return parent && ::lstrcmpiA(name, REBARCLASSNAMEA) == 0 ? parent : nullptr;
}

// The popup hangs one pixel over its button, stays inside the monitor's work area, is not
// animated, and gets owner-drawn items and a flat frame from the CBT hook while it is open.
// The system's menu fade and animation settings are left alone (TPM_NOANIMATION is enough).
UINT CCommandBarXP::DoTrackPopupMenu(HMENU menu, UINT flags, int x, int y, LPTPMPARAMS params)
{
    if ((m_flags & kBusyTracking) || !menu || !m_hWnd)
        return 0;
    if (params) {
        params->rcExclude.bottom -= kPopupOverlap;
        y -= kPopupOverlap;
    }
    const bool returnCommand = (flags & TPM_RETURNCMD) != 0;
    flags = (flags & ~kTrackAnimationFlags) | TPM_NOANIMATION | TPM_RETURNCMD;
    MONITORINFO monitor = {sizeof(monitor)};
    if (::GetMonitorInfoA(::MonitorFromPoint({x, y}, MONITOR_DEFAULTTONEAREST), &monitor)) {
        x = std::clamp<int>(x, monitor.rcWork.left, std::max(monitor.rcWork.left, monitor.rcWork.right - 1));
        y = std::clamp<int>(y, monitor.rcWork.top, std::max(monitor.rcWork.top, monitor.rcWork.bottom - 1));
    }
    m_joinedEdge = 0;
    if (!(m_flags & kNoJoinedEdge)) {
        const int item = GetTrackingItem();
        RECT button = {};
        if (item >= 0 && SendMessage(TB_GETITEMRECT, item, reinterpret_cast<LPARAM>(&button)))
            m_joinedEdge = button.right - button.left;
        else if (m_dropDownToolBar)
            m_joinedEdge = m_dropDownEdge;
    }
    if (CLanguageManager* languages = GetLanguageManager())
        languages->TranslateMenu(menu);

    CCommandBarXP* const outer = t_trackingXP;
    t_trackingXP = this;
    m_hook.Set(WH_CBT, FlatMenuCbtHookProc, nullptr, ::GetCurrentThreadId());
    m_flags |= kBusyTracking;
    m_iconMenu.SetShowPrefix(IsShowingCues());
    const UINT result = CMDICommandBarCtrlImpl::DoTrackPopupMenu(menu, flags, x, y, params);
    m_flags &= ~kBusyTracking;
    m_hook.Unhook();
    t_trackingXP = outer;
    m_joinedEdge = 0;
    m_menuWindows.clear();
    if (m_dropDownToolBar) {
        // The drop-down's button is drawn plain again.
        if (::IsWindow(m_dropDownToolBar))
            ::InvalidateRect(m_dropDownToolBar, nullptr, TRUE);
        m_dropDownToolBar = nullptr;
        m_dropDownItem = -1;
    }

    if (m_hWnd && ::IsWindow(m_hWnd)) {
        ::UpdateWindow(m_hWnd);
        if (HWND parent = ::GetParent(m_hWnd))
            ::UpdateWindow(parent);
    }
    if (m_flags & kItemsConverted) {
        m_iconMenu.RestoreOpenPopups();
        m_flags &= ~kItemsConverted;
    }
    if (!returnCommand && result) {
        if (GetCommandTarget())
            ::PostMessageA(GetCommandTarget(), WM_COMMAND, MAKEWPARAM(result, 0), 0);
        return TRUE;
    }
    return result;
}

// Every code goes on to the older CBT hooks of the thread (the docking focus and the skins watch
// window creation and destruction while a menu is open).
LRESULT CALLBACK CCommandBarXP::FlatMenuCbtHookProc(int code, WPARAM wParam, LPARAM lParam)
{
    try {
        if (code >= 0 && t_trackingXP)
            t_trackingXP->OnCbt(code, wParam);
    } catch (...) {
        ReportCaughtException("CCommandBarXP::FlatMenuCbtHookProc");
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

void CCommandBarXP::OnCbt(int code, WPARAM wParam)
{
    HWND window = reinterpret_cast<HWND>(wParam);
    if (code == HCBT_CREATEWND && IsMenuWindow(window)) {
        m_menuWindows.push_back(window);
        if (CFlatMenuFrame::Attach(window, m_scheme[kFlatWindowFrame], m_scheme[kFlatMenuBack], m_scheme[kFlatFace],
                                   m_joinedEdge))
            ::SetWindowPos(window, nullptr, 0, 0, 0, 0,
                           SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
        m_joinedEdge = 0; // only the first popup hangs from the button
    } else if (code == HCBT_DESTROYWND && IsMenuWindow(window)) {
        const auto found = std::find(m_menuWindows.begin(), m_menuWindows.end(), window);
        if (found != m_menuWindows.end())
            m_menuWindows.erase(found);
    }
}

LRESULT CCommandBarXP::OnInitMenuPopup(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled)
{
    // The frame sets the command states first; the converted items keep them.
    CCommandBarCtrlImpl::OnInitMenuPopup(message, wParam, lParam, handled);
    if (HIWORD(lParam) == 0 && (m_flags & kBusyTracking)) {
        m_iconMenu.ConvertPopup(reinterpret_cast<HMENU>(wParam));
        m_flags |= kItemsConverted;
    }
    return 0;
}

LRESULT CCommandBarXP::OnMeasureItem(UINT, WPARAM, LPARAM lParam, BOOL& handled)
{
    if (!lParam || !m_iconMenu.MeasureItem(*reinterpret_cast<MEASUREITEMSTRUCT*>(lParam))) {
        handled = FALSE;
        return 0;
    }
    return TRUE;
}

LRESULT CCommandBarXP::OnDrawItem(UINT, WPARAM, LPARAM lParam, BOOL& handled)
{
    if (!lParam || !m_iconMenu.DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam))) {
        handled = FALSE;
        return 0;
    }
    return TRUE;
}

// Owner-drawn items have no text the menu loop could match a mnemonic against: the item whose
// caption has the character after its '&' is chosen here.
LRESULT CCommandBarXP::OnMenuChar(UINT, WPARAM wParam, LPARAM lParam, BOOL& handled)
{
    HMENU menu = reinterpret_cast<HMENU>(lParam);
    const char ch = static_cast<char>(LOWORD(wParam));
    const int count = menu ? ::GetMenuItemCount(menu) : 0;
    for (int position = 0; position < count; ++position) {
        MENUITEMINFOA info = {};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_FTYPE | MIIM_DATA | MIIM_STATE;
        if (!::GetMenuItemInfoA(menu, position, TRUE, &info) || !(info.fType & MFT_OWNERDRAW) ||
            (info.fState & MFS_GRAYED))
            continue;
        const IconMenuItemData* record = m_iconMenu.FindItemRecord(info.dwItemData);
        if (record && AtlMenuMnemonic(record->text.c_str()) == static_cast<char>(std::tolower(
                                                                     static_cast<unsigned char>(ch))))
            return MAKELRESULT(position, MNC_EXECUTE);
    }
    handled = FALSE;
    return 0;
}

LRESULT CCommandBarXP::OnParentNotify(UINT, WPARAM, LPARAM lParam, BOOL& handled)
{
    auto* header = reinterpret_cast<NMHDR*>(lParam);
    if (!header) {
        handled = FALSE;
        return 0;
    }
    HWND from = header->hwndFrom;
    const bool ownToolBar =
        from == m_hWnd || std::find(m_toolBars.begin(), m_toolBars.end(), from) != m_toolBars.end();
    HWND reBar = GetReBar();
    switch (header->code) {
    case NM_CUSTOMDRAW:
        if (ownToolBar) {
            auto& draw = *reinterpret_cast<NMTBCUSTOMDRAW*>(lParam);
            int joined = -1;
            if (from == m_hWnd)
                joined = GetTrackingItem();
            else if (from == m_dropDownToolBar)
                joined = m_dropDownItem;
            return CustomDrawFlatToolBar(draw, FlatButtonColors(m_scheme), BarFont(), joined,
                                         from == m_hWnd && !IsShowingCues());
        }
        if (reBar && from == reBar)
            return CustomDrawFlatReBar(*reinterpret_cast<NMCUSTOMDRAW*>(lParam), m_scheme);
        break;
    case TBN_DROPDOWN: {
        // The drop-down menu of a toolbar button hangs from that button like the bar's popups.
        const auto& drop = *reinterpret_cast<const NMTOOLBARA*>(lParam);
        const int index = static_cast<int>(::SendMessageA(from, TB_COMMANDTOINDEX, drop.iItem, 0));
        RECT button = {};
        if (index >= 0 && ::SendMessageA(from, TB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&button))) {
            m_dropDownToolBar = from;
            m_dropDownItem = index;
            m_dropDownEdge = button.right - button.left;
        }
        break;
    }
    case RBN_CHEVRONPUSHED:
        if (reBar && from == reBar) {
            ShowChevronMenu(*reinterpret_cast<const NMREBARCHEVRON*>(lParam));
            return 0;
        }
        break;
    default:
        break;
    }
    handled = FALSE;
    return 0;
}

// The hidden buttons of the band's child as a popup under the chevron; a command goes to the
// frame, and the command bar's own hidden items bring their popups along.
void CCommandBarXP::ShowChevronMenu(const NMREBARCHEVRON& chevron)
{
    REBARBANDINFOA band = {};
    band.cbSize = sizeof(band);
    band.fMask = RBBIM_CHILD;
    if (!::SendMessageA(chevron.hdr.hwndFrom, RB_GETBANDINFOA, chevron.uBand, reinterpret_cast<LPARAM>(&band)))
        return;
    HMENU menu = BuildChevronMenu(band.hwndChild);
    if (!menu)
        return;
    RECT rect = chevron.rc;
    ::MapWindowPoints(chevron.hdr.hwndFrom, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    TPMPARAMS params = {sizeof(params), rect};
    const DWORD savedFlags = m_flags;
    m_flags |= kNoJoinedEdge;
    const UINT command = DoTrackPopupMenu(menu, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_VERTICAL | TPM_RETURNCMD,
                                          rect.left, rect.bottom, &params);
    m_flags = (m_flags & ~kNoJoinedEdge) | (savedFlags & kNoJoinedEdge);
    DestroyChevronMenu(menu);
    if (command && GetCommandTarget())
        ::PostMessageA(GetCommandTarget(), WM_COMMAND, MAKEWPARAM(command, 0), 0);
}

bool CCommandBarXP::UpdateBandWidth()
{
    HWND reBar = GetReBar();
    if (!reBar)
        return false;
    const int count = static_cast<int>(::SendMessageA(reBar, RB_GETBANDCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        REBARBANDINFOA band = {};
        band.cbSize = sizeof(band);
        band.fMask = RBBIM_CHILD;
        if (!::SendMessageA(reBar, RB_GETBANDINFOA, i, reinterpret_cast<LPARAM>(&band)) || band.hwndChild != m_hWnd)
            continue;
        int right = 0;
        const int buttons = static_cast<int>(SendMessage(TB_BUTTONCOUNT));
        RECT last = {};
        if (buttons > 0 && SendMessage(TB_GETITEMRECT, buttons - 1, reinterpret_cast<LPARAM>(&last)))
            right = last.right;
        band.fMask = RBBIM_IDEALSIZE;
        band.cxIdeal = static_cast<UINT>(right + GetMdiAreaWidth());
        ::SendMessageA(reBar, RB_SETBANDINFOA, i, reinterpret_cast<LPARAM>(&band));
        return true;
    }
    return false;
}

void CCommandBarXP::OnBarItemsChanged()
{
    UpdateBandWidth();
}

// The band grows by the child's icon and caption buttons while a child is maximised, and shrinks
// by them again afterwards; the bar is laid out again (redraw off, a 1-by-1 move, its old place).
void CCommandBarXP::OnMaximizedChildChanged(HWND previous, HWND current)
{
    HideCaptionToolTip();
    HWND reBar = GetReBar();
    if (!reBar || (!previous) == (!current)) {
        UpdateBandWidth();
        return;
    }
    const int delta = current ? GetMaximizedAreaWidth() : -GetMaximizedAreaWidth();
    const int count = static_cast<int>(::SendMessageA(reBar, RB_GETBANDCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        REBARBANDINFOA band = {};
        band.cbSize = sizeof(band);
        band.fMask = RBBIM_CHILD | RBBIM_SIZE;
        if (!::SendMessageA(reBar, RB_GETBANDINFOA, i, reinterpret_cast<LPARAM>(&band)) || band.hwndChild != m_hWnd)
            continue;
        band.fMask = RBBIM_SIZE;
        band.cx = static_cast<UINT>(std::max<int>(static_cast<int>(band.cx) + delta, 0));
        ::SendMessageA(reBar, RB_SETBANDINFOA, i, reinterpret_cast<LPARAM>(&band));
        break;
    }
    UpdateBandWidth();
    RECT old = {};
    ::GetWindowRect(m_hWnd, &old);
    ::MapWindowPoints(nullptr, reBar, reinterpret_cast<POINT*>(&old), 2);
    SetRedraw(FALSE);
    SetWindowPos(nullptr, 0, 0, 1, 1, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowPos(nullptr, old.left, old.top, old.right - old.left, old.bottom - old.top,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    SetRedraw(TRUE);
    ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

// The icon and the caption buttons in the flat look: a pushed button framed and filled like a
// pressed toolbar button, the glyphs drawn as lines.
void CCommandBarXP::DrawMdiParts(HDC dc)
{
    RECT window = {};
    ::GetWindowRect(m_hWnd, &window);
    ::OffsetRect(&window, -window.left, -window.top);
    RECT client = {};
    ::GetClientRect(m_hWnd, &client);
    POINT origin = {0, 0};
    ::ClientToScreen(m_hWnd, &origin);
    RECT screen = {};
    ::GetWindowRect(m_hWnd, &screen);
    const int clientLeft = origin.x - screen.left, clientRight = clientLeft + client.right;
    const COLORREF face = ::GetSysColor(COLOR_BTNFACE);
    FillSolid(dc, {0, 0, clientLeft, window.bottom}, face);
    FillSolid(dc, {clientRight, 0, window.right, window.bottom}, face);
    const RECT icon = GetMdiPartRect(kMdiIcon);
    if (m_hIconChild)
        ::DrawIconEx(dc, icon.left, icon.top, m_hIconChild, icon.right - icon.left, icon.bottom - icon.top, 0, nullptr,
                     DI_NORMAL);
    for (int part = kMdiMinimize; part <= kMdiClose; ++part) {
        const RECT rect = GetMdiPartRect(part);
        const bool pushed = m_pressedPart == part && m_pressedInside;
        if (pushed) {
            CPen pen;
            pen.CreatePen(PS_SOLID, 1, m_scheme[kFlatHotFrame]);
            CBrush brush;
            brush.CreateSolidBrush(m_scheme[kFlatPressedFill]);
            CGdiObjectSelector penScope(dc, pen);
            CGdiObjectSelector brushScope(dc, brush);
            ::Rectangle(dc, rect.left, rect.top, rect.right, rect.bottom);
        }
        AtlDrawCaptionGlyph(dc, rect, part, ::GetSysColor(COLOR_BTNTEXT));
    }
}

LRESULT CCommandBarXP::OnNcMouseMove(UINT, WPARAM, LPARAM lParam, BOOL& handled)
{
    handled = FALSE;
    if (!m_toolTip)
        return 0;
    RECT window = {};
    ::GetWindowRect(m_hWnd, &window);
    const POINT point = {static_cast<short>(LOWORD(lParam)) - window.left, static_cast<short>(HIWORD(lParam)) - window.top};
    const int part = GetMaximizedChild() ? MdiPartFromPoint(point) : kMdiNone;
    if (part < kMdiMinimize || part > kMdiClose) {
        HideCaptionToolTip();
        return 0;
    }
    if (part == m_toolTipPart)
        return 0;
    char text[kToolTipTextSize] = {};
    LoadCommandStringA(static_cast<int>(sizeof(text)), text, IDS_CMDBAR_MINIMIZE + (part - kMdiMinimize), true);
    TOOLINFOA tool = {};
    tool.cbSize = sizeof(tool);
    tool.hwnd = m_hWnd;
    tool.uId = kCaptionToolId;
    tool.lpszText = text;
    ::SendMessageA(m_toolTip, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&tool));
    RECT rect = GetMdiPartRect(part);
    ::OffsetRect(&rect, window.left, window.top);
    ::SendMessageA(m_toolTip, TTM_TRACKPOSITION, 0, MAKELPARAM(rect.left, rect.bottom + kToolTipGap));
    ::SendMessageA(m_toolTip, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&tool));
    m_toolTipPart = part;
    TRACKMOUSEEVENT track = {sizeof(track), TME_LEAVE | TME_NONCLIENT, m_hWnd, 0};
    ::TrackMouseEvent(&track);
    return 0;
}

LRESULT CCommandBarXP::OnNcMouseLeave(UINT, WPARAM, LPARAM, BOOL& handled)
{
    HideCaptionToolTip();
    handled = FALSE;
    return 0;
}

void CCommandBarXP::HideCaptionToolTip()
{
    if (!m_toolTip || m_toolTipPart == kMdiNone)
        return;
    TOOLINFOA tool = {};
    tool.cbSize = sizeof(tool);
    tool.hwnd = m_hWnd;
    tool.uId = kCaptionToolId;
    ::SendMessageA(m_toolTip, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&tool));
    m_toolTipPart = kMdiNone;
}

void CCommandBarXP::UpdateHotChevron(POINT point)
{
    HWND reBar = m_wndReBar.m_hWnd;
    if (!reBar)
        return;
    int hot = -1;
    const int count = static_cast<int>(::SendMessageA(reBar, RB_GETBANDCOUNT, 0, 0));
    for (int band = 0; band < count && hot < 0; ++band) {
        RECT rect = {};
        if (GetReBarChevronRect(reBar, band, rect) && ::PtInRect(&rect, point))
            hot = band;
    }
    if (hot == m_hotChevron)
        return;
    for (int band : {m_hotChevron, hot}) {
        RECT rect = {};
        if (band >= 0 && GetReBarChevronRect(reBar, band, rect))
            ::InvalidateRect(reBar, &rect, FALSE);
    }
    m_hotChevron = hot;
    if (hot >= 0) {
        TRACKMOUSEEVENT track = {sizeof(track), TME_LEAVE, reBar, 0};
        ::TrackMouseEvent(&track);
    }
}

LRESULT CCommandBarXP::OnReBarMouseMove(UINT, WPARAM, LPARAM lParam, BOOL& handled)
{
    UpdateHotChevron({static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))});
    handled = FALSE;
    return 0;
}

LRESULT CCommandBarXP::OnReBarMouseLeave(UINT, WPARAM, LPARAM, BOOL& handled)
{
    UpdateHotChevron({-1, -1});
    handled = FALSE;
    return 0;
}

LRESULT CCommandBarXP::OnChildMaximizedChanged(UINT, WPARAM, LPARAM, BOOL& handled)
{
    UpdateMaximizedChild();
    handled = FALSE; // the tabbed MDI client below has its own use for it
    return 0;
}
