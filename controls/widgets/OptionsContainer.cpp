#include "controls/widgets/OptionsContainer.h"

#include "controls/widgets/SortListView.h"

#include <algorithm>

namespace {

constexpr DWORD kPageStylesRemoved = 0x80C80080;  // WS_POPUP, WS_CAPTION, WS_SYSMENU, DS_MODALFRAME
constexpr int kCornerRadius = 10;
constexpr int kGlyphArea = 26;
constexpr int kToggleZone = 30;

COLORREF Mix(COLORREF a, COLORREF b, int i, int steps)
{
    return RGB((GetRValue(a) * (steps - i) + GetRValue(b) * i) / steps, (GetGValue(a) * (steps - i) + GetGValue(b) * i) / steps,
               (GetBValue(a) * (steps - i) + GetBValue(b) * i) / steps);
}

}  // namespace

COptionsContainer::~COptionsContainer() = default;

LRESULT COptionsContainer::OnCreate(UINT, WPARAM, LPARAM, BOOL& handled)
{
    handled = FALSE;
    ApplySettings();
    return 0;
}

// The caption font is the window's font made bold (FW_BOLD: raising the weight by 700 would
// pass the largest weight a font has).
void COptionsContainer::ApplySettings()
{
    m_selected = -1;
    HFONT font = reinterpret_cast<HFONT>(SendMessage(WM_GETFONT));
    LOGFONTA logFont = {};
    if (::GetObjectA(font ? font : ::GetStockObject(DEFAULT_GUI_FONT), sizeof(logFont), &logFont) == sizeof(logFont)) {
        logFont.lfWeight = FW_BOLD;
        m_captionFont.DeleteObject();
        m_captionFont.CreateFontIndirect(&logFont);
    }
    RecalcItemHeight();
}

void COptionsContainer::RecalcItemHeight()
{
    for (auto& group : m_groups)
        group->header.DeleteObject();
    int fontHeight = 13;
    int iconHeight = 0;
    if (m_hWnd) {
        HDC dc = GetDC();
        const HGDIOBJ old = ::SelectObject(dc, m_captionFont.IsNull() ? ::GetStockObject(DEFAULT_GUI_FONT) : m_captionFont.m_hGdiObj);
        TEXTMETRICA metrics = {};
        ::GetTextMetricsA(dc, &metrics);
        fontHeight = metrics.tmHeight;
        ::SelectObject(dc, old);
        ReleaseDC(dc);
    }
    if (m_images) {
        int width = 0;
        ::ImageList_GetIconSize(m_images, &width, &iconHeight);
    }
    m_bandHeight = OwnerDrawTextHeight(fontHeight);
    m_headerHeight = OwnerDrawItemHeight(fontHeight, iconHeight);
    if (m_hWnd)
        Invalidate();
}

int COptionsContainer::AddPage(WORD command, HWND page, const char* caption, int image, COLORREF captionColor)
{
    if (!::IsWindow(page))
        return -1;
    ::ShowWindow(page, SW_HIDE);
    CWindow(page).ModifyStyle(kPageStylesRemoved, WS_CHILD);
    CWindow(page).ModifyStyleEx(WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE, WS_EX_CONTROLPARENT);
    auto group = std::make_unique<CGroup>();
    group->page = page;
    group->command = command;
    group->image = image;
    group->captionColor = captionColor;
    if (caption) {
        group->caption = caption;
    } else {
        char text[256] = {};
        ::GetWindowTextA(page, text, sizeof(text));
        group->caption = text;
    }
    ::SetParent(page, m_hWnd);
    RECT rect = {};
    ::GetWindowRect(page, &rect);
    group->pageSize = {rect.right - rect.left, rect.bottom - rect.top};
    group->visible = group->pageSize.cy;
    m_groups.push_back(std::move(group));
    MovePages();
    UpdateScrollRange();
    Invalidate();
    ::ShowWindow(page, SW_SHOWNA);
    return static_cast<int>(m_groups.size()) - 1;
}

DWORD COptionsContainer::SetStyle(DWORD style)
{
    const DWORD old = m_style;
    m_style = style;
    RecalcItemHeight();
    return old;
}

void COptionsContainer::SetImageLists(HIMAGELIST normal, HIMAGELIST disabled)
{
    m_images = normal;
    m_disabledImages = disabled;
    RecalcItemHeight();
}

void COptionsContainer::EnableGroup(int index, bool enable)
{
    if (index >= 0 && index < GetGroupCount()) {
        m_groups[static_cast<size_t>(index)]->enabled = enable;
        RecalcItemHeight();
    }
}

bool COptionsContainer::SetGroupCaption(int index, const char* caption)
{
    if (index < 0 || index >= GetGroupCount())
        return false;
    CGroup& group = *m_groups[static_cast<size_t>(index)];
    const std::string text = caption ? caption : "";
    if (group.caption == text)
        return true;
    group.caption = text;
    // Only the band needs painting again: the cached header picture holds no text.
    if (m_hWnd) {
        const RECT band = GetItemRect(index, true);
        InvalidateRect(&band, FALSE);
    }
    return true;
}

std::string COptionsContainer::GetGroupCaption(int index) const
{
    if (index < 0 || index >= GetGroupCount())
        return {};
    return m_groups[static_cast<size_t>(index)]->caption;
}

bool COptionsContainer::IsEnabled(int index) const
{
    return index >= 0 && index < GetGroupCount() && m_groups[static_cast<size_t>(index)]->enabled;
}

bool COptionsContainer::IsExpanded(int index) const
{
    return index >= 0 && index < GetGroupCount() && m_groups[static_cast<size_t>(index)]->expanded;
}

int COptionsContainer::GetVisibleHeight(int index) const
{
    return index >= 0 && index < GetGroupCount() ? m_groups[static_cast<size_t>(index)]->visible : 0;
}

DWORD COptionsContainer::GetAnimationEnd(int index) const
{
    return index >= 0 && index < GetGroupCount() ? m_groups[static_cast<size_t>(index)]->animationEnd : 0;
}

RECT COptionsContainer::GetItemRect(int index, bool headerOnly) const
{
    RECT client = {};
    ::GetClientRect(m_hWnd, &client);
    ::OffsetRect(&client, 0, -m_scroll);
    ::InflateRect(&client, -m_marginX, -m_marginY);
    int top = client.top;
    for (int i = 0; i < GetGroupCount(); ++i) {
        const CGroup& group = *m_groups[static_cast<size_t>(i)];
        int headerTop = top;
        if (group.image >= 0)
            top += m_headerHeight - m_bandHeight;  // room for the taller icon
        const int bandBottom = top + m_bandHeight;
        if (i == index) {
            RECT rect = {client.left, headerTop, client.right, bandBottom + group.visible};
            if (headerOnly)
                rect.bottom = bandBottom;
            else if (::GetWindowLongPtrA(m_hWnd, GWL_STYLE) & WS_BORDER)
                ::InflateRect(&rect, -1, -1);
            return rect;
        }
        top = bandBottom + group.visible + m_gap;
    }
    return {};
}

bool COptionsContainer::Expand(int index, bool expand, bool animate)
{
    if (index < 0 || index >= GetGroupCount())
        return false;
    CGroup& group = *m_groups[static_cast<size_t>(index)];
    if (group.expanded == expand)
        return true;
    NotifyParent(kOptionsGroupChanging);
    group.expanded = expand;
    const DWORD now = ::GetTickCount();
    group.animationEnd = (animate && !(m_style & kOptionsNoAnimation)) ? now + kOptionsAnimationTime : now;
    if (group.animationEnd == 0)
        group.animationEnd = 1;  // 0 means "not animating"
    ::ShowWindow(group.page, SW_SHOWNA);
    SetTimer(kOptionsAnimationTimer, kOptionsAnimationPeriod);
    AnimationTick(now);
    return true;
}

void COptionsContainer::AnimationTick(DWORD now)
{
    bool animating = false;
    for (auto& pointer : m_groups) {
        CGroup& group = *pointer;
        if (!group.animationEnd)
            continue;
        const int full = group.pageSize.cy;
        if (static_cast<LONG>(group.animationEnd - now) > 0) {
            group.visible = group.expanded ? full - (full - group.visible) / 2 : group.visible / 2;
            animating = true;
        } else {
            group.visible = group.expanded ? full : 0;
            ::ShowWindow(group.page, group.expanded ? SW_SHOWNA : SW_HIDE);
            group.animationEnd = 0;
            NotifyParent(kOptionsGroupAnimated);
        }
    }
    MovePages();
    Invalidate();
    if (!animating) {
        UpdateScrollRange();
        KillTimer(kOptionsAnimationTimer);
    }
}

int COptionsContainer::GetContentHeight() const
{
    if (GetGroupCount() == 0)
        return m_marginY;
    return GetItemRect(GetGroupCount() - 1, false).bottom + m_scroll + m_marginY;
}

void COptionsContainer::MovePages()
{
    for (int i = 0; i < GetGroupCount(); ++i) {
        const CGroup& group = *m_groups[static_cast<size_t>(i)];
        const RECT header = GetItemRect(i, true);
        const RECT page = GetItemRect(i, false);
        ::SetWindowPos(group.page, nullptr, page.left, header.bottom, page.right - page.left,
                       std::min<int>(group.visible, group.pageSize.cy), SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

// The page of the scroll bar is the client height (a page that shrank as the position grew would
// let the view run past the content).
void COptionsContainer::UpdateScrollRange()
{
    if (!m_hWnd || (m_style & kOptionsNoScrollBar))
        return;
    RECT client = {};
    GetClientRect(&client);
    const int bottom = GetContentHeight();
    SCROLLINFO info = {sizeof(info), SIF_RANGE | SIF_PAGE, 0, bottom, static_cast<UINT>(client.bottom), 0, 0};
    SetScrollInfo(SB_VERT, &info);
    const int maxScroll = std::max<int>(0, bottom - client.bottom + 1);
    if (m_scroll > maxScroll) {
        m_scroll = maxScroll;
        SetScrollPos(SB_VERT, m_scroll);
        MovePages();
    }
}

void COptionsContainer::NotifyParent(WORD code)
{
    ::SendMessageA(GetParent(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(), code), reinterpret_cast<LPARAM>(m_hWnd));
}

LRESULT COptionsContainer::OnDestroy(UINT, WPARAM, LPARAM, BOOL& handled)
{
    handled = FALSE;
    KillTimer(kOptionsAnimationTimer);
    for (auto& group : m_groups) {
        if (::IsWindow(group->page))
            ::DestroyWindow(group->page);
    }
    m_groups.clear();
    return 0;
}

LRESULT COptionsContainer::OnSize(UINT, WPARAM, LPARAM, BOOL& handled)
{
    handled = FALSE;
    RecalcItemHeight();
    MovePages();
    UpdateScrollRange();
    return 0;
}

LRESULT COptionsContainer::OnVScroll(UINT, WPARAM wParam, LPARAM, BOOL&)
{
    SCROLLINFO info = {sizeof(info), SIF_ALL};
    GetScrollInfo(SB_VERT, &info);
    int position = m_scroll;
    switch (LOWORD(wParam)) {
    case SB_LINEUP: position -= 1; break;
    case SB_LINEDOWN: position += 1; break;
    case SB_PAGEUP: position -= static_cast<int>(info.nPage); break;
    case SB_PAGEDOWN: position += static_cast<int>(info.nPage); break;
    case SB_THUMBTRACK: position = info.nTrackPos; break;
    case SB_TOP: position = info.nMin; break;
    case SB_BOTTOM: position = info.nMax; break;
    default: break;
    }
    const int maxScroll = std::max(0, info.nMax - static_cast<int>(info.nPage) + 1);
    position = std::clamp(position, 0, maxScroll);
    if (position != m_scroll) {
        m_scroll = position;
        SetScrollPos(SB_VERT, m_scroll);
        RecalcItemHeight();
        MovePages();
        Invalidate();
    }
    return 0;
}

LRESULT COptionsContainer::OnTimer(UINT, WPARAM wParam, LPARAM, BOOL& handled)
{
    if (wParam != kOptionsAnimationTimer) {
        handled = FALSE;
        return 0;
    }
    AnimationTick(::GetTickCount());
    return 0;
}

LRESULT COptionsContainer::OnClick(UINT message, WPARAM, LPARAM lParam, BOOL&)
{
    const POINT point = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    for (int i = 0; i < GetGroupCount(); ++i) {
        const RECT band = GetItemRect(i, true);
        if (!::PtInRect(&band, point))
            continue;
        if (!IsEnabled(i))
            return 0;
        m_selected = i;
        ::SendMessageA(GetTopLevelParent(), WM_COMMAND, m_groups[static_cast<size_t>(i)]->command, 0);
        if (m_style & kOptionsSelectionColours)
            RecalcItemHeight();
        const bool inToggleZone = point.x >= band.right - kToggleZone && point.y >= band.top + 3 && point.y < band.bottom - 3;
        if ((m_style & kOptionsToggleAtGlyphOnly) && message == WM_LBUTTONDOWN && !inToggleZone) {
            Invalidate();
            return 0;
        }
        Expand(i, !IsExpanded(i), true);
        return 0;
    }
    return 0;
}

void COptionsContainer::DrawHeader(HDC dc, int index, const RECT& rect)
{
    const CGroup& group = *m_groups[static_cast<size_t>(index)];
    const bool selected = index == m_selected && (m_style & kOptionsSelectionColours);
    COLORREF fill = selected ? m_selectedFill : m_fill;
    COLORREF border = selected ? m_selectedBorder : m_border;
    if (!group.enabled) {
        fill = m_disabledFill;
        border = m_disabledBorder;
    }
    CPen pen;
    pen.CreatePen(PS_SOLID, 1, border);
    if (m_style & kOptionsPlainHeaders) {
        CBrush brush;
        brush.CreateSolidBrush(fill);
        const HGDIOBJ oldPen = ::SelectObject(dc, pen);
        const HGDIOBJ oldBrush = ::SelectObject(dc, brush);
        ::Rectangle(dc, rect.left, rect.top, rect.right, rect.bottom);
        ::SelectObject(dc, oldBrush);
        ::SelectObject(dc, oldPen);
        return;
    }
    // Only the top corners are round: the clip's bottom lies far below the band.
    CRgn clip;
    clip.CreateRoundRectRgn(rect.left, rect.top, rect.right + 1, rect.bottom + 666, kCornerRadius, kCornerRadius);
    const int saved = ::SaveDC(dc);
    ::SelectClipRgn(dc, clip);
    constexpr int kStrips = 64;
    const int width = rect.right - rect.left;
    for (int i = 0; i < kStrips; ++i) {
        RECT strip = {rect.left + width * i / kStrips, rect.top, rect.left + width * (i + 1) / kStrips, rect.bottom};
        CBrush brush;
        brush.CreateSolidBrush(Mix(fill, border, i, kStrips));
        ::FillRect(dc, &strip, brush);
    }
    const HGDIOBJ oldPen = ::SelectObject(dc, pen);
    const HGDIOBJ oldBrush = ::SelectObject(dc, ::GetStockObject(HOLLOW_BRUSH));
    ::RoundRect(dc, rect.left, rect.top, rect.right, rect.bottom + 666, kCornerRadius, kCornerRadius);
    ::SelectObject(dc, oldBrush);
    ::SelectObject(dc, oldPen);
    ::RestoreDC(dc, saved);
}

void COptionsContainer::Paint(HDC dc)
{
    RECT client = {};
    GetClientRect(&client);
    CDC memory;
    memory.CreateCompatibleDC(dc);
    CBitmap picture;
    picture.CreateCompatibleBitmap(dc, std::max<int>(client.right, 1), std::max<int>(client.bottom, 1));
    const HBITMAP oldPicture = static_cast<HBITMAP>(::SelectObject(memory, picture));
    CBrush background;
    background.CreateSolidBrush(m_background);
    ::FillRect(memory, &client, background);
    for (int i = 0; i < GetGroupCount(); ++i) {
        const CGroup& group = *m_groups[static_cast<size_t>(i)];
        const RECT header = GetItemRect(i, true);
        RECT band = header;
        band.top = band.bottom - m_bandHeight;
        DrawHeader(memory, i, band);
        RECT caption = {band.left + 10, band.top, band.right - 4, band.bottom};
        if (!(m_style & kOptionsNoGlyph)) {
            // The glyph: a chevron pointing up while expanded, down while collapsed.
            const int gx = band.right - 24 + 8;
            const int gy = band.top + 3 + 8;
            CPen pen;
            pen.CreatePen(PS_SOLID, 2, m_caption);
            const HGDIOBJ oldPen = ::SelectObject(memory, pen);
            const int d = group.expanded ? -3 : 3;
            ::MoveToEx(memory, gx - 4, gy - d / 2 - 1, nullptr);
            ::LineTo(memory, gx, gy + d - 1);
            ::LineTo(memory, gx + 5, gy - d / 2 - 2);
            ::SelectObject(memory, oldPen);
            caption.right -= kGlyphArea;
        }
        if (group.image >= 0 && m_images) {
            HIMAGELIST list = !group.enabled && m_disabledImages ? m_disabledImages : m_images;
            ::ImageList_Draw(list, group.image, memory, header.left + 2, header.top + 2, ILD_TRANSPARENT);
            int width = 0;
            int height = 0;
            ::ImageList_GetIconSize(list, &width, &height);
            caption.left = header.left + 2 + width + 4;
        }
        COLORREF color = group.captionColor != CLR_INVALID ? group.captionColor : m_caption;
        if (i == m_selected && (m_style & kOptionsSelectionColours))
            color = m_selectedCaption;
        if (!group.enabled)
            color = m_disabledCaption;
        ::SetBkMode(memory, TRANSPARENT);
        ::SetTextColor(memory, color);
        const HGDIOBJ oldFont = ::SelectObject(memory, m_captionFont.IsNull() ? ::GetStockObject(DEFAULT_GUI_FONT) : m_captionFont.m_hGdiObj);
        ::DrawTextA(memory, group.caption.c_str(), -1, &caption, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
        ::SelectObject(memory, oldFont);
    }
    ::BitBlt(dc, 0, 0, client.right, client.bottom, memory, 0, 0, SRCCOPY);
    ::SelectObject(memory, oldPicture);
}

LRESULT COptionsContainer::OnPaint(UINT message, WPARAM wParam, LPARAM, BOOL&)
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
