#include "controls/TabLayout.h"

#include <algorithm>

namespace {

RECT Square(int right, int top, int bottom)
{
    const int y = (top + bottom - CTabLayout::kButtonSize) / 2;
    return RECT{right - CTabLayout::kButtonSize, y, right, y + CTabLayout::kButtonSize};
}

// Vertical limits of the buttons: just inside the tab band, which sits at the other edge for
// strips along the bottom.
void ButtonBand(const RECT& area, DWORD style, int& top, int& bottom)
{
    if (style & kTabStyleBottom) {
        top = area.top + 3;
        bottom = area.bottom;
    } else {
        top = area.top + 1;
        bottom = area.bottom - 2;
    }
}

int RightInset(DWORD style) { return (style & kTabStyleBottom) ? 3 : 2; }

}  // namespace

CTabLayout::Areas CTabLayout::PlaceButtons(const RECT& client, DWORD style, bool closeShown)
{
    Areas areas;
    areas.items = client;
    if (!(style & kTabStyleBottom)) {
        areas.items.left += 2;
        areas.items.right -= 2;
    }
    int top = 0;
    int bottom = 0;
    ButtonBand(areas.items, style, top, bottom);
    if (closeShown && areas.items.right - areas.items.left >= kButtonSize) {
        areas.close = Square(areas.items.right - RightInset(style), top, bottom);
        areas.items.right = areas.close.left;
    }
    if ((style & kTabStyleScroll) && areas.items.right - areas.items.left >= kButtonSize) {
        const int right = areas.items.right - ((style & kTabStyleCloseButton) ? 0 : RightInset(style));
        areas.scrollRight = Square(right, top, bottom);
        areas.scrollLeft = Square(right - kButtonSize, top, bottom);
        areas.items.right = areas.scrollLeft.left;
    }
    return areas;
}

std::vector<RECT> CTabLayout::ScrollLayout(const std::vector<int>& widths, int stripMargin, const RECT& client,
                                           const RECT& area, int& offset)
{
    std::vector<RECT> rects;
    rects.reserve(widths.size());
    int x = stripMargin;
    for (int width : widths) {
        rects.push_back(RECT{x, client.top, x + width, client.bottom});
        x += width;
    }
    const int end = x + stripMargin;
    if (offset + end < area.right)
        offset = area.right - end;
    if (offset > 0)
        offset = 0;
    return rects;
}

std::vector<RECT> CTabLayout::FitLayout(const std::vector<int>& widths, int selected, int stripMargin,
                                        int minItemWidth, const RECT& client, const RECT& area)
{
    const int count = static_cast<int>(widths.size());
    const int areaWidth = area.right - area.left;
    std::vector<int> fitted = widths;
    int total = 2 * stripMargin;
    int smallest = 0;
    bool anyUnselected = false;
    for (int i = 0; i < count; ++i) {
        total += widths[i];
        if (i != selected) {
            smallest = anyUnselected ? std::min(smallest, widths[i]) : widths[i];
            anyUnselected = true;
        }
    }
    if (total > areaWidth && count > 0 && selected >= 0 && selected < count) {
        const int selectedWidth = widths[selected];
        const int available = areaWidth - 2 * stripMargin - selectedWidth;
        const int others = total - 2 * stripMargin - selectedWidth;
        if (available <= (count - 1) * minItemWidth || others <= 0) {
            std::fill(fitted.begin(), fitted.end(), (areaWidth - 2 * stripMargin) / count);
        } else {
            const double ratio = static_cast<double>(available) / others;
            const bool tooNarrow = smallest * ratio <= minItemWidth;
            for (int i = 0; i < count; ++i) {
                if (i == selected)
                    continue;
                fitted[i] = tooNarrow ? available / (count - 1) : static_cast<int>(widths[i] * ratio + 0.5);
            }
        }
    }
    std::vector<RECT> rects;
    rects.reserve(count);
    int x = stripMargin;
    for (int width : fitted) {
        rects.push_back(RECT{x, client.top, x + width, client.bottom});
        x += width;
    }
    return rects;
}

int CTabLayout::EnsureVisibleOffset(const RECT& item, const RECT& area, bool partialAllowed, int offset)
{
    // The 20 pixels let the neighbouring tab show.
    if (item.left < area.left) {
        if (!(partialAllowed && item.right > area.left))
            offset += area.left - item.left + 20;
    } else if (item.right > area.right) {
        if (!(partialAllowed && item.left < area.right))
            offset += area.right - item.right - 20;
    }
    return offset;
}

int CTabLayout::HitTest(POINT point, const std::vector<RECT>& items, int offset, const Areas& areas, UINT& where)
{
    if (PtInRect(&areas.items, point)) {
        for (size_t i = 0; i < items.size(); ++i) {
            RECT rect = items[i];
            OffsetRect(&rect, offset, 0);
            if (PtInRect(&rect, point)) {
                where = kTabHitItem;
                return static_cast<int>(i);
            }
        }
    }
    if (PtInRect(&areas.close, point))
        where = kTabHitCloseButton;
    else if (PtInRect(&areas.scrollRight, point))
        where = kTabHitScrollRight;
    else if (PtInRect(&areas.scrollLeft, point))
        where = kTabHitScrollLeft;
    else
        where = kTabHitNowhere;
    return -1;
}

COLORREF CTabLayout::Lighten(COLORREF colour)
{
    const int c[3] = {GetRValue(colour), GetGValue(colour), GetBValue(colour)};
    const int m = std::max({c[0], c[1], c[2]});
    const int d = m < 221 ? 35 : 255 - m;
    int out[3];
    for (int i = 0; i < 3; ++i)
        out[i] = m == 0 ? c[i] + d : static_cast<int>(c[i] + static_cast<double>(c[i]) * d / m + 0.5);
    return RGB(std::min(out[0], 255), std::min(out[1], 255), std::min(out[2], 255));
}

COLORREF CTabLayout::Darken(COLORREF colour)
{
    const int c[3] = {GetRValue(colour), GetGValue(colour), GetBValue(colour)};
    const int m = std::max({c[0], c[1], c[2]});
    if (m == 0)
        return colour;
    int out[3];
    for (int i = 0; i < 3; ++i)
        out[i] = c[i] >= 43 ? static_cast<int>(c[i] - (static_cast<double>(c[i]) / m * 43 + 0.5)) : c[i] / 2;
    return RGB(out[0], out[1], out[2]);
}
