#include "controls/ToolBarFlatLook.h"

#include "controls/MenuDrawing.h"
#include "platform/AtlCommandBar.h"
#include "platform/AtlGdi.h"

#include <algorithm>
#include <string>

namespace {

// The split part of a drop-down button and the part a whole drop-down button's arrow sits in.
constexpr int kDropDownSplitWidth = 14;
constexpr int kWholeDropDownArrowWidth = 10;
constexpr int kDropDownArrowHalfWidth = 2;
// The band rectangle is shrunk by this before the band is painted; the gripper's width.
constexpr int kBandInsetX = 2;
constexpr int kBandInsetY = 4;
constexpr int kGripperWidth = 4;
constexpr int kBandTextOffsetGripper = 6;
constexpr int kBandTextOffsetPlain = 2;
constexpr int kChevronWidth = 12;
constexpr int kChevronGap = 4;
constexpr int kChevronPointSize = 8;
constexpr wchar_t kChevronGlyph[] = L"\x00BB";
constexpr char kChevronFace[] = "Verdana";

void FillSolid(HDC dc, const RECT& rect, COLORREF color)
{
    const COLORREF old = ::SetBkColor(dc, color);
    ::ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
    ::SetBkColor(dc, old);
}

// A Rectangle with a one-pixel pen of `frame`, filled with `fill`.
void FramedRect(HDC dc, const RECT& rect, COLORREF frame, COLORREF fill)
{
    CPen pen;
    pen.CreatePen(PS_SOLID, 1, frame);
    CBrush brush;
    brush.CreateSolidBrush(fill);
    CGdiObjectSelector penScope(dc, pen);
    CGdiObjectSelector brushScope(dc, brush);
    ::Rectangle(dc, rect.left, rect.top, rect.right, rect.bottom);
}

struct CButtonState {
    int image = I_IMAGENONE;
    BYTE state = 0;
    BYTE style = 0;
    std::string text;
};

CButtonState ReadButton(HWND toolBar, UINT_PTR command)
{
    CButtonState button;
    char text[256] = {};
    TBBUTTONINFOA info = {};
    info.cbSize = sizeof(info);
    info.dwMask = TBIF_IMAGE | TBIF_STATE | TBIF_STYLE | TBIF_TEXT;
    info.pszText = text;
    info.cchText = sizeof(text);
    if (::SendMessageA(toolBar, TB_GETBUTTONINFOA, command, reinterpret_cast<LPARAM>(&info)) < 0)
        return button;
    button.image = info.iImage;
    button.state = info.fsState;
    button.style = info.fsStyle;
    text[sizeof(text) - 1] = 0;
    if (!text[0]) {
        // Buttons whose text stands in the toolbar's string pool, not in the button.
        const LRESULT length = ::SendMessageA(toolBar, TB_GETBUTTONTEXTA, command, 0);
        if (length > 0 && length < static_cast<LRESULT>(sizeof(text)))
            ::SendMessageA(toolBar, TB_GETBUTTONTEXTA, command, reinterpret_cast<LPARAM>(text));
    }
    button.text = text;
    return button;
}

} // namespace

CFlatColorScheme ComputeFlatColorScheme(const CMenuSystemColors& system, COLORREF windowFrame, int colorDepth)
{
    // The bars paint with the menus' colours, so a hot button matches a selected menu item.
    COLORREF menu[kMenuColorCount] = {};
    ComputeMenuColors(system, colorDepth, menu);
    CFlatColorScheme scheme;
    COLORREF* c = scheme.colors;
    c[kFlatWindowFrame] = windowFrame;
    c[kFlatMenuBack] = menu[kMenuColorBackground];
    c[kFlatFace] = menu[kMenuColorIconColumn];
    c[kFlatHotFrame] = menu[kMenuColorSelectionEdge];
    c[kFlatHotFill] = menu[kMenuColorSelection];
    c[kFlatHotFillLight] = menu[kMenuColorCheckSelected];
    c[kFlatPressedFill] = menu[kMenuColorSelectionDark];
    c[kFlatGrayText] = menu[kMenuColorDisabledText];
    c[kFlatWindowText] = menu[kMenuColorText];
    c[kFlatMenuText] = menu[kMenuColorMenuText];
    c[kFlatButtonText] = menu[kMenuColorButtonText];
    c[kFlatHotText] = menu[kMenuColorSelectedText];
    c[kFlatIconShadow] = menu[kMenuColorFaceDark];
    return scheme;
}

CFlatColorScheme GetFlatColorScheme()
{
    CMenuStyleManager* style = GetMenuStyleManager();
    int depth = style ? style->GetColorDepth() : 0;
    if (depth <= 0) {
        HDC screen = ::GetDC(nullptr);
        depth = ::GetDeviceCaps(screen, BITSPIXEL);
        ::ReleaseDC(nullptr, screen);
    }
    return ComputeFlatColorScheme(ReadMenuSystemColors(), ::GetSysColor(COLOR_WINDOWFRAME), depth);
}

CButtonColors FlatButtonColors(const CFlatColorScheme& scheme)
{
    CButtonColors colors;
    colors.frame = scheme[kFlatHotFrame];
    colors.hotFill = scheme[kFlatHotFill];
    colors.pressedFill = scheme[kFlatPressedFill];
    colors.iconShadow = scheme[kFlatIconShadow];
    colors.disabledText = scheme[kFlatGrayText];
    colors.hotText = scheme[kFlatHotText];
    colors.text = scheme[kFlatButtonText];
    colors.joinedFill = scheme[kFlatFace];
    colors.joinedFrame = scheme[kFlatWindowFrame];
    return colors;
}

CButtonColors MenuStyleButtonColors()
{
    CButtonColors colors;
    CMenuStyleManager* style = GetMenuStyleManager();
    const auto pick = [style](int index, int systemColor) {
        return style ? style->GetColor(index) : ::GetSysColor(systemColor);
    };
    colors.frame = pick(kMenuColorSelectionEdge, COLOR_HIGHLIGHT);
    colors.hotFill = pick(kMenuColorSelection, COLOR_WINDOW);
    colors.pressedFill = pick(kMenuColorSelectionDark, COLOR_HIGHLIGHT);
    colors.iconShadow = pick(kMenuColorFaceDark, COLOR_GRAYTEXT);
    colors.disabledText = ::GetSysColor(COLOR_GRAYTEXT);
    colors.hotText = ::GetSysColor(COLOR_MENUTEXT);
    colors.text = ::GetSysColor(COLOR_BTNTEXT);
    colors.joinedFill = pick(kMenuColorIconColumn, COLOR_BTNFACE);
    colors.joinedFrame = ::GetSysColor(COLOR_WINDOWFRAME);
    return colors;
}

void DrawToolBarButton(const NMTBCUSTOMDRAW& draw)
{
    DrawFlatToolBarButton(draw, MenuStyleButtonColors(), nullptr, false, false);
}

void DrawFlatToolBarButton(const NMTBCUSTOMDRAW& draw, const CButtonColors& colors, HFONT font, bool joined,
                           bool hidePrefix)
{
    HWND toolBar = draw.nmcd.hdr.hwndFrom;
    HDC dc = draw.nmcd.hdc;
    if (!toolBar || !dc)
        return;
    const CButtonState button = ReadButton(toolBar, draw.nmcd.dwItemSpec);
    const RECT item = draw.nmcd.rc;
    const UINT itemState = draw.nmcd.uItemState;
    const bool hot = (itemState & CDIS_HOT) != 0;
    const bool selected = (itemState & CDIS_SELECTED) != 0;
    const bool checked = (button.state & TBSTATE_CHECKED) != 0;
    const bool pressed = (button.state & TBSTATE_PRESSED) != 0;
    const bool disabled = !(button.state & TBSTATE_ENABLED);
    const bool dropDown = (button.style & BTNS_DROPDOWN) != 0;
    const bool wholeDropDown = (button.style & BTNS_WHOLEDROPDOWN) != 0;
    const bool list = (::GetWindowLongPtrA(toolBar, GWL_STYLE) & TBSTYLE_LIST) != 0;

    // Background.
    if (joined) {
        FillSolid(dc, item, colors.joinedFill);
        // Left, top and right: the bottom lies against the popup's open top edge.
        FillSolid(dc, {item.left, item.top, item.right, item.top + 1}, colors.joinedFrame);
        FillSolid(dc, {item.left, item.top, item.left + 1, item.bottom}, colors.joinedFrame);
        FillSolid(dc, {item.right - 1, item.top, item.right, item.bottom}, colors.joinedFrame);
    } else if (!disabled && (selected || hot || pressed || checked)) {
        const COLORREF fill = selected || pressed || checked ? colors.pressedFill : colors.hotFill;
        FramedRect(dc, item, colors.frame, fill);
        if (dropDown)
            FramedRect(dc, {item.right - kDropDownSplitWidth, item.top, item.right, item.bottom}, colors.frame, fill);
    }

    // Drop-down arrow.
    RECT body = item;
    if (dropDown || wholeDropDown) {
        const int width = dropDown ? kDropDownSplitWidth : kWholeDropDownArrowWidth;
        const RECT arrow = {item.right - width, item.top, item.right, item.bottom};
        DrawDropDownArrow(dc, arrow, kDropDownArrowHalfWidth, RGB(0, 0, 0));
        body.right -= width;
    }

    // Image.
    HIMAGELIST images = nullptr;
    if (hot)
        images = reinterpret_cast<HIMAGELIST>(::SendMessageA(toolBar, TB_GETHOTIMAGELIST, 0, 0));
    else if (disabled)
        images = reinterpret_cast<HIMAGELIST>(::SendMessageA(toolBar, TB_GETDISABLEDIMAGELIST, 0, 0));
    if (!images)
        images = reinterpret_cast<HIMAGELIST>(::SendMessageA(toolBar, TB_GETIMAGELIST, 0, 0));
    int imageWidth = 0, imageHeight = 0;
    if (images && button.image >= 0 && ::ImageList_GetIconSize(images, &imageWidth, &imageHeight)) {
        const int width = body.right - body.left, height = item.bottom - item.top;
        const int x = list ? item.left + 4 : item.left + (width - imageWidth) / 2;
        const int y = button.text.empty() ? item.top + (height - imageHeight) / 2 + 1 : item.top + 4;
        HICON icon = ::ImageList_GetIcon(images, button.image, ILD_NORMAL);
        if (icon) {
            if (hot && !disabled && !selected && !checked) {
                DrawIconSilhouette(dc, icon, {x + 1, y + 1}, {imageWidth, imageHeight}, colors.iconShadow);
                ::DrawIconEx(dc, x - 1, y - 1, icon, imageWidth, imageHeight, 0, nullptr, DI_NORMAL | DI_COMPAT);
            } else {
                ::DrawIconEx(dc, x, y, icon, imageWidth, imageHeight, 0, nullptr, DI_NORMAL | DI_COMPAT);
            }
            ::DestroyIcon(icon);
        }
    } else {
        imageWidth = imageHeight = 0;
    }

    // Text.
    if (button.text.empty())
        return;
    RECT text = body;
    UINT format = DT_SINGLELINE | DT_VCENTER;
    if (list) {
        text.left = item.left + (imageWidth ? imageWidth + 8 : 0);
        format |= imageWidth ? 0 : DT_CENTER;
    } else {
        if (imageWidth)
            text.top = item.top + (item.bottom - item.top - imageHeight) / 2 + 6 + imageHeight / 2;
        format |= DT_CENTER;
    }
    std::string caption = button.text;
    if (hidePrefix) {
        // Wine underlines prefixed characters even with DT_HIDEPREFIX: the prefixes are dropped.
        std::string plain;
        for (size_t i = 0; i < caption.size(); ++i) {
            if (caption[i] == '&' && i + 1 < caption.size())
                ++i;
            plain += caption[i];
        }
        caption = plain;
        format |= DT_NOPREFIX;
    }
    CGdiObjectSelector fontScope(dc, font ? font : reinterpret_cast<HFONT>(::SendMessageA(toolBar, WM_GETFONT, 0, 0)));
    const int oldMode = ::SetBkMode(dc, TRANSPARENT);
    const CTextColorScope color(dc, disabled ? colors.disabledText : hot ? colors.hotText : colors.text);
    ::DrawTextA(dc, caption.c_str(), static_cast<int>(caption.size()), &text, format);
    ::SetBkMode(dc, oldMode);
}

LRESULT CustomDrawFlatToolBar(NMTBCUSTOMDRAW& draw, const CButtonColors& colors, HFONT font, int joinedItem,
                              bool hidePrefix)
{
    switch (draw.nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
        return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT: {
        const int index = static_cast<int>(
            ::SendMessageA(draw.nmcd.hdr.hwndFrom, TB_COMMANDTOINDEX, draw.nmcd.dwItemSpec, 0));
        DrawFlatToolBarButton(draw, colors, font, joinedItem >= 0 && index == joinedItem, hidePrefix);
        return CDRF_SKIPDEFAULT;
    }
    default:
        return CDRF_DODEFAULT;
    }
}

void DrawBandGripper(HDC dc, const RECT& bandRect)
{
    // Horizontal stripes: set rows in the face colour, clear rows in the shadow colour.
    static const WORD kRows[8] = {0xFF, 0x00, 0xFF, 0x00, 0xFF, 0x00, 0xFF, 0x00};
    CBitmap bits;
    bits.Attach(::CreateBitmap(8, 8, 1, 1, kRows));
    CBrush brush;
    brush.Attach(::CreatePatternBrush(bits));
    if (brush.IsNull())
        return;
    const RECT gripper = {bandRect.left, bandRect.top, bandRect.left + kGripperWidth, bandRect.bottom};
    const COLORREF oldText = ::SetTextColor(dc, ::GetSysColor(COLOR_BTNSHADOW));
    const COLORREF oldBack = ::SetBkColor(dc, ::GetSysColor(COLOR_BTNFACE));
    ::FillRect(dc, &gripper, brush);
    ::SetTextColor(dc, oldText);
    ::SetBkColor(dc, oldBack);
}

bool GetReBarChevronRect(HWND reBar, int band, RECT& rect)
{
    REBARBANDINFOA info = {};
    info.cbSize = sizeof(info);
    info.fMask = RBBIM_STYLE | RBBIM_CHILD | RBBIM_IDEALSIZE;
    if (!::SendMessageA(reBar, RB_GETBANDINFOA, band, reinterpret_cast<LPARAM>(&info)) ||
        !(info.fStyle & RBBS_USECHEVRON) || (info.fStyle & RBBS_HIDDEN) || !info.hwndChild)
        return false;
    RECT child = {};
    ::GetWindowRect(info.hwndChild, &child);
    ::MapWindowPoints(nullptr, reBar, reinterpret_cast<POINT*>(&child), 2);
    if (child.right - child.left >= static_cast<int>(info.cxIdeal))
        return false;
    RECT bandRect = {};
    ::SendMessageA(reBar, RB_GETRECT, band, reinterpret_cast<LPARAM>(&bandRect));
    rect = {child.right + kChevronGap, bandRect.top, child.right + kChevronGap + kChevronWidth, bandRect.bottom};
    return true;
}

void DrawReBarChevron(HDC dc, HWND reBar, int band, const CFlatColorScheme& scheme)
{
    RECT area = {};
    if (!GetReBarChevronRect(reBar, band, area))
        return;
    POINT cursor = {};
    ::GetCursorPos(&cursor);
    ::ScreenToClient(reBar, &cursor);
    if (::PtInRect(&area, cursor)) {
        FramedRect(dc, area, scheme[kFlatHotFrame], scheme[kFlatHotFill]);
    } else {
        REBARBANDINFOA info = {};
        info.cbSize = sizeof(info);
        info.fMask = RBBIM_COLORS;
        ::SendMessageA(reBar, RB_GETBANDINFOA, band, reinterpret_cast<LPARAM>(&info));
        const COLORREF back = info.clrBack == CLR_DEFAULT || info.clrBack == CLR_NONE ? ::GetSysColor(COLOR_BTNFACE)
                                                                                      : info.clrBack;
        FillSolid(dc, area, back);
    }
    HDC screen = ::GetDC(nullptr);
    const int height = -::MulDiv(kChevronPointSize, ::GetDeviceCaps(screen, LOGPIXELSY), 72);
    ::ReleaseDC(nullptr, screen);
    CFont font;
    font.Attach(::CreateFontA(height, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                              CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, kChevronFace));
    CGdiObjectSelector fontScope(dc, font);
    const int oldMode = ::SetBkMode(dc, TRANSPARENT);
    const CTextColorScope color(dc, ::GetSysColor(COLOR_BTNTEXT));
    ::TextOutW(dc, area.left + 1, area.top + 1, kChevronGlyph, 1);
    ::SetBkMode(dc, oldMode);
}

LRESULT CustomDrawFlatReBar(NMCUSTOMDRAW& draw, const CFlatColorScheme& scheme)
{
    switch (draw.dwDrawStage) {
    case CDDS_PREPAINT:
        return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT:
        break;
    default:
        return CDRF_DODEFAULT;
    }
    HWND reBar = draw.hdr.hwndFrom;
    HDC dc = draw.hdc;
    // The item spec is the band's id in comctl32; Wine gives the id as well.
    int band = static_cast<int>(::SendMessageA(reBar, RB_IDTOINDEX, draw.dwItemSpec, 0));
    if (band < 0)
        band = static_cast<int>(draw.dwItemSpec);
    RECT rect = draw.rc;
    rect.left += kBandInsetX;
    rect.right -= kBandInsetX;
    rect.top += kBandInsetY / 2;
    rect.bottom -= kBandInsetY / 2;
    rect.left += 2;
    if (rect.right <= rect.left || rect.bottom <= rect.top)
        return CDRF_SKIPDEFAULT;
    REBARBANDINFOA info = {};
    char text[256] = {};
    info.cbSize = sizeof(info);
    info.fMask = RBBIM_STYLE | RBBIM_TEXT;
    info.lpText = text;
    info.cch = sizeof(text);
    ::SendMessageA(reBar, RB_GETBANDINFOA, band, reinterpret_cast<LPARAM>(&info));
    text[sizeof(text) - 1] = 0;
    const bool gripper = !(info.fStyle & RBBS_NOGRIPPER);
    if (gripper)
        DrawBandGripper(dc, rect);
    if (text[0]) {
        CMenuStyleManager* style = GetMenuStyleManager();
        CGdiObjectSelector fontScope(dc, style ? style->GetMenuFont() : nullptr);
        RECT area = rect;
        area.left += gripper ? kBandTextOffsetGripper : kBandTextOffsetPlain;
        const int oldMode = ::SetBkMode(dc, TRANSPARENT);
        const CTextColorScope color(dc, ::GetSysColor(COLOR_BTNTEXT));
        ::DrawTextA(dc, text, -1, &area, DT_SINGLELINE | DT_VCENTER | DT_LEFT);
        ::SetBkMode(dc, oldMode);
    }
    DrawReBarChevron(dc, reBar, band, scheme);
    return CDRF_SKIPDEFAULT;
}

HMENU BuildChevronMenu(HWND toolBar)
{
    if (!toolBar || !::IsWindow(toolBar))
        return nullptr;
    RECT visible = {};
    ::GetClientRect(toolBar, &visible);
    HMENU menu = ::CreatePopupMenu();
    if (!menu)
        return nullptr;
    const bool commandBar = reinterpret_cast<HWND>(::SendMessageA(toolBar, CBRM_GETCMDBAR, 0, 0)) == toolBar;
    const int count = static_cast<int>(::SendMessageA(toolBar, TB_BUTTONCOUNT, 0, 0));
    bool lastWasSeparator = true;
    for (int i = 0; i < count; ++i) {
        TBBUTTON button = {};
        ::SendMessageA(toolBar, TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&button));
        if (button.fsState & TBSTATE_HIDDEN)
            continue;
        RECT rect = {};
        ::SendMessageA(toolBar, TB_GETITEMRECT, i, reinterpret_cast<LPARAM>(&rect));
        if (rect.right <= visible.right)
            continue;
        if (button.fsStyle & BTNS_SEP) {
            if (!lastWasSeparator)
                ::AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
            lastWasSeparator = true;
            continue;
        }
        char text[256] = {};
        const LRESULT length = ::SendMessageA(toolBar, TB_GETBUTTONTEXTA, button.idCommand, 0);
        if (length > 0 && length < static_cast<LRESULT>(sizeof(text)))
            ::SendMessageA(toolBar, TB_GETBUTTONTEXTA, button.idCommand, reinterpret_cast<LPARAM>(text));
        UINT flags = MF_STRING;
        if (!(button.fsState & TBSTATE_ENABLED))
            flags |= MF_GRAYED;
        if (button.fsState & TBSTATE_CHECKED)
            flags |= MF_CHECKED;
        if (commandBar) {
            // A command bar item hangs its own popup into the chevron menu.
            HMENU popup = reinterpret_cast<HMENU>(
                ::SendMessageA(toolBar, CBRM_GETITEMPOPUP, static_cast<WPARAM>(i), 0));
            if (popup)
                ::AppendMenuA(menu, flags | MF_POPUP, reinterpret_cast<UINT_PTR>(popup), text);
        } else {
            ::AppendMenuA(menu, flags, button.idCommand, text);
        }
        lastWasSeparator = false;
    }
    if (::GetMenuItemCount(menu) <= 0) {
        ::DestroyMenu(menu);
        return nullptr;
    }
    return menu;
}

void DestroyChevronMenu(HMENU menu)
{
    if (!menu)
        return;
    // The command bar's popups belong to its menu: they are taken out before the menu goes.
    for (int position = ::GetMenuItemCount(menu) - 1; position >= 0; --position)
        if (::GetSubMenu(menu, position))
            ::RemoveMenu(menu, position, MF_BYPOSITION);
    ::DestroyMenu(menu);
}
