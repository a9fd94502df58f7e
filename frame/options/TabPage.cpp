#include "frame/options/TabPage.h"

#include "controls/ImageListManager.h"
#include "frame/options/PageWidgets.h"

#include <cstring>

namespace {

constexpr int kTabPageIcon = 6;
constexpr const char* kStyleNames[CTabPage::kStyleCount] = {"DotNet", "DotNetButton", "Button", "DotNet2005"};
constexpr int kHighlightRounding = 8;
constexpr int kItemMargin = 3;
constexpr int kPreviewTabs = 3;
constexpr int kPreviewTabWidth = 34;
constexpr int kPreviewButtonSize = 9;
constexpr int kLabelHeight = 14;

enum class EPreviewLook { DotNet, DotNetButton, Button, DotNet2005 };

void FillRect(HDC dc, const RECT& rect, COLORREF colour)
{
    CBrush brush;
    brush.CreateSolidBrush(colour);
    ::FillRect(dc, &rect, brush);
}

void Line(HDC dc, int x1, int y1, int x2, int y2)
{
    ::MoveToEx(dc, x1, y1, nullptr);
    ::LineTo(dc, x2, y2);
}

// A sketch of a tab strip in one look: three tabs, the first selected, on the strip's band, with
// the scroll arrows and the close cross at the right when asked for.
void DrawStripPreview(HDC dc, const RECT& area, EPreviewLook look, bool scrollButtons, bool closeButton)
{
    const COLORREF face = ::GetSysColor(COLOR_BTNFACE);
    const COLORREF shadow = ::GetSysColor(COLOR_BTNSHADOW);
    const COLORREF window = ::GetSysColor(COLOR_WINDOW);
    CPen shadowPen;
    shadowPen.CreatePen(PS_SOLID, 1, shadow);
    CPen darkPen;
    darkPen.CreatePen(PS_SOLID, 1, ::GetSysColor(COLOR_BTNTEXT));
    CSaveDC saved(dc);
    FillRect(dc, area, face);
    ::SelectObject(dc, shadowPen);
    ::SelectObject(dc, ::GetStockObject(NULL_BRUSH));
    ::Rectangle(dc, area.left, area.top, area.right, area.bottom);

    const int top = area.top + 3;
    const int bottom = area.bottom - 3;
    for (int i = 0; i < kPreviewTabs; ++i) {
        const bool selected = i == 0;
        RECT tab = {area.left + 4 + i * (kPreviewTabWidth + 2), top, area.left + 4 + i * (kPreviewTabWidth + 2) + kPreviewTabWidth,
                    bottom};
        switch (look) {
        case EPreviewLook::DotNet:
            if (selected) {
                FillRect(dc, tab, window);
                ::Rectangle(dc, tab.left, tab.top, tab.right, tab.bottom);
            } else {
                Line(dc, tab.right, tab.top + 2, tab.right, tab.bottom - 2);
            }
            break;
        case EPreviewLook::DotNetButton:
            if (selected) {
                FillRect(dc, tab, ::GetSysColor(COLOR_HIGHLIGHT));
                ::Rectangle(dc, tab.left, tab.top, tab.right, tab.bottom);
            }
            break;
        case EPreviewLook::Button:
            ::DrawEdge(dc, &tab, selected ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
            break;
        case EPreviewLook::DotNet2005: {
            const POINT outline[] = {{tab.left, tab.bottom}, {tab.left + 8, tab.top}, {tab.right, tab.top}, {tab.right, tab.bottom}};
            CBrush fill;
            fill.CreateSolidBrush(selected ? window : face);
            CGdiObjectSelector brush(dc, fill);
            ::Polygon(dc, outline, static_cast<int>(std::size(outline)));
            break;
        }
        }
        RECT text = tab;
        text.left += 10;
        RECT bar = {text.left, (top + bottom) / 2 - 1, text.right - 4, (top + bottom) / 2 + 1};
        FillRect(dc, bar, selected && look == EPreviewLook::DotNetButton ? window : shadow);
    }

    ::SelectObject(dc, darkPen);
    int x = area.right - 4;
    const int middle = (area.top + area.bottom) / 2;
    if (closeButton) {
        x -= kPreviewButtonSize;
        Line(dc, x, middle - 3, x + 7, middle + 4);
        Line(dc, x + 6, middle - 3, x - 1, middle + 4);
        x -= 3;
    }
    if (scrollButtons) {
        for (const bool right : {true, false}) {
            x -= kPreviewButtonSize;
            const int tip = right ? x + 6 : x;
            const int back = right ? x : x + 6;
            const POINT arrow[] = {{back, middle - 4}, {tip, middle}, {back, middle + 4}};
            CGdiObjectSelector brush(dc, ::GetStockObject(BLACK_BRUSH));
            ::Polygon(dc, arrow, static_cast<int>(std::size(arrow)));
        }
    }
}

// The item's background: the selected one on a rounded rectangle in the highlight colours.
void DrawItemBackground(HDC dc, const DRAWITEMSTRUCT& item)
{
    FillRect(dc, item.rcItem, ::GetSysColor(COLOR_WINDOW));
    if (!(item.itemState & ODS_SELECTED))
        return;
    CBrush highlight;
    highlight.CreateSolidBrush(::GetSysColor(COLOR_HIGHLIGHT));
    CPen edge;
    edge.CreatePen(PS_SOLID, 1, ::GetSysColor(COLOR_HIGHLIGHT));
    CGdiObjectSelector brush(dc, highlight);
    CGdiObjectSelector pen(dc, edge);
    ::RoundRect(dc, item.rcItem.left + 1, item.rcItem.top + 1, item.rcItem.right - 1, item.rcItem.bottom - 1,
                kHighlightRounding, kHighlightRounding);
}

}  // namespace

std::span<const CCheckBinding> CTabPage::Bindings()
{
    using W = EFlagWord;
    static const CCheckBinding bindings[] = {
        {IDC_TAB_DOUBLE_CLICK_CLOSES, W::ViewFlags, ViewFlag::DoubleClickClosesTab, false},
        {IDC_TAB_SHOW_SCROLL_BUTTONS, W::ViewFlags, ViewFlag::HideTabScrollButtons, true},
        {IDC_TAB_SHOW_CLOSE_BUTTON, W::ViewFlags, ViewFlag::HideTabCloseButton, true},
    };
    return bindings;
}

std::span<const CListBitBinding> CTabPage::ListBindings()
{
    static const CListBitBinding bindings[] = {
        {IDC_TAB_POSITION, EFlagWord::ViewFlags, ViewFlag::TabsAtBottom},
    };
    return bindings;
}

const char* CTabPage::StyleName(int index)
{
    return index >= 0 && index < kStyleCount ? kStyleNames[index] : kStyleNames[0];
}

int CTabPage::StyleIndexOf(const char* name)
{
    for (int i = 1; name && i < kStyleCount; ++i) {
        if (std::strcmp(name, kStyleNames[i]) == 0)
            return i;
    }
    return 0;
}

HICON CTabPage::GetIcon()
{
    const CImageListManager* images = GetImageListManager();
    HIMAGELIST tree = images ? static_cast<HIMAGELIST>(images->m_optionIcons) : nullptr;
    return tree && ImageList_GetImageCount(tree) > kTabPageIcon ? ImageList_GetIcon(tree, kTabPageIcon, ILD_NORMAL)
                                                                : COptionsPage::GetIcon();
}

LRESULT CTabPage::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&)
{
    HWND position = GetDlgItem(IDC_TAB_POSITION);
    for (const char* text : {"Tab at Bottom", "Tab at Top"})
        ::SendMessageA(position, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(PageText(text)));
    HWND styles = GetDlgItem(IDC_TAB_STYLE_LIST);
    ::SendMessageA(styles, LB_SETITEMHEIGHT, 0, kStyleItemHeight);
    for (int i = 0; i < kStyleCount; ++i)
        ::SendMessageA(styles, LB_ADDSTRING, 0, static_cast<LPARAM>(i));
    HWND pictures = GetDlgItem(IDC_TAB_BUTTONS_PICTURES);
    ::SendMessageA(pictures, LB_SETITEMHEIGHT, 0, kPictureItemHeight);
    for (int i = 0; i < kPictureCount; ++i)
        ::SendMessageA(pictures, LB_ADDSTRING, 0, static_cast<LPARAM>(i));
    if (const CSettings* settings = GetSettings()) {
        LoadCheckBindings(m_hWnd, *settings, Bindings());
        LoadListBitBindings(m_hWnd, *settings, ListBindings());
        ::SendMessageA(styles, LB_SETCURSEL, StyleIndexOf(settings->TabStyle.value.c_str()), 0);
    }
    SelectPictureOfBoxes();
    return TRUE;
}

LRESULT CTabPage::OnMeasureItem(UINT, WPARAM, LPARAM lParam, BOOL& handled)
{
    auto* measure = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
    if (measure->CtlType != ODT_LISTBOX) {
        handled = FALSE;
        return 0;
    }
    measure->itemHeight = measure->CtlID == IDC_TAB_STYLE_LIST ? kStyleItemHeight : kPictureItemHeight;
    return TRUE;
}

LRESULT CTabPage::OnDrawItem(UINT, WPARAM, LPARAM lParam, BOOL& handled)
{
    const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
    if (item->CtlType != ODT_LISTBOX || item->itemID == static_cast<UINT>(-1) ||
        (item->CtlID != IDC_TAB_STYLE_LIST && item->CtlID != IDC_TAB_BUTTONS_PICTURES)) {
        handled = FALSE;
        return 0;
    }
    const int index = static_cast<int>(item->itemID);
    HDC dc = item->hDC;
    CSaveDC saved(dc);
    DrawItemBackground(dc, *item);
    RECT picture = item->rcItem;
    ::InflateRect(&picture, -kItemMargin - 2, -kItemMargin);
    if (item->CtlID == IDC_TAB_STYLE_LIST) {
        RECT label = picture;
        label.bottom = label.top + kLabelHeight;
        picture.top = label.bottom + 1;
        ::SetBkMode(dc, TRANSPARENT);
        ::SetTextColor(dc, ::GetSysColor((item->itemState & ODS_SELECTED) ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
        CGdiObjectSelector font(dc, reinterpret_cast<HGDIOBJ>(::SendMessageA(m_hWnd, WM_GETFONT, 0, 0)));
        ::DrawTextA(dc, PageText(StyleName(index)), -1, &label, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
        DrawStripPreview(dc, picture, static_cast<EPreviewLook>(index), true, true);
    } else {
        DrawStripPreview(dc, picture, EPreviewLook::DotNet2005, PictureHasScrollButtons(index), PictureHasCloseButton(index));
    }
    if (item->itemState & ODS_FOCUS) {
        RECT focus = item->rcItem;
        ::DrawFocusRect(dc, &focus);
    }
    return TRUE;
}

LRESULT CTabPage::OnPictureChosen(WORD, WORD, HWND, BOOL&)
{
    const LRESULT picture = ::SendDlgItemMessageA(m_hWnd, IDC_TAB_BUTTONS_PICTURES, LB_GETCURSEL, 0, 0);
    if (picture < 0 || picture >= kPictureCount)
        return 0;
    const int chosen = static_cast<int>(picture);
    CheckDlgButton(IDC_TAB_SHOW_SCROLL_BUTTONS, PictureHasScrollButtons(chosen) ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(IDC_TAB_SHOW_CLOSE_BUTTON, PictureHasCloseButton(chosen) ? BST_CHECKED : BST_UNCHECKED);
    return 0;
}

LRESULT CTabPage::OnButtonBox(WORD, WORD, HWND, BOOL&)
{
    SelectPictureOfBoxes();
    return 0;
}

void CTabPage::SelectPictureOfBoxes()
{
    const int picture = PictureOf(IsDlgButtonChecked(IDC_TAB_SHOW_SCROLL_BUTTONS) == BST_CHECKED,
                                  IsDlgButtonChecked(IDC_TAB_SHOW_CLOSE_BUTTON) == BST_CHECKED);
    ::SendDlgItemMessageA(m_hWnd, IDC_TAB_BUTTONS_PICTURES, LB_SETCURSEL, picture, 0);
}

int CTabPage::OnApply()
{
    CSettings* settings = GetSettings();
    if (!settings)
        return 0;
    SaveCheckBindings(m_hWnd, *settings, Bindings());
    SaveListBitBindings(m_hWnd, *settings, ListBindings());
    const LRESULT style = ::SendDlgItemMessageA(m_hWnd, IDC_TAB_STYLE_LIST, LB_GETCURSEL, 0, 0);
    settings->TabStyle = StyleName(style >= 0 && style < kStyleCount ? static_cast<int>(style) : 0);
    return 0;
}
