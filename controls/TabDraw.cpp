#include "controls/TabDraw.h"

#include "platform/AtlGdi.h"

#include <algorithm>

namespace {

// A solid pen, and optionally a solid brush, of one colour selected for the object's lifetime.
class CSolidPenBrush {
public:
    CSolidPenBrush(HDC dc, COLORREF colour, bool withBrush)
        : m_pen(::CreatePen(PS_SOLID, 1, colour)),
          m_brush(withBrush ? ::CreateSolidBrush(colour) : nullptr),
          m_selectPen(dc, m_pen),
          m_selectBrush(dc, withBrush ? static_cast<HGDIOBJ>(m_brush) : ::GetStockObject(NULL_BRUSH))
    {
    }

private:
    CPen m_pen;
    CBrush m_brush;
    CGdiObjectSelector m_selectPen;
    CGdiObjectSelector m_selectBrush;
};

}  // namespace

void CTabDraw::FillSolid(HDC dc, const RECT& rect, COLORREF colour)
{
    const COLORREF old = SetBkColor(dc, colour);
    ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
    SetBkColor(dc, old);
}

void CTabDraw::Line(HDC dc, int x1, int y1, int x2, int y2, COLORREF colour)
{
    CSolidPenBrush pen(dc, colour, false);
    MoveToEx(dc, x1, y1, nullptr);
    LineTo(dc, x2, y2);
}

void CTabDraw::DotNetBand(const CTabCustomDraw& cd, const RECT& client, bool bottom, COLORREF lineColour,
                          COLORREF rightEdgeColour)
{
    HDC dc = cd.nmcd.hdc;
    if (bottom) {
        FillSolid(dc, RECT{client.left, client.top, client.right, client.top + 3}, cd.btnFace);
        Line(dc, client.left, client.top + 3, client.right, client.top + 3, lineColour);
        return;
    }
    FillSolid(dc, RECT{client.left, client.bottom - 2, client.right, client.bottom}, cd.btnFace);
    Line(dc, client.left, client.bottom - 3, client.right, client.bottom - 3, lineColour);
    Line(dc, client.left, client.bottom - 3, client.left, client.bottom, cd.btnShadow);
    Line(dc, client.left + 1, client.bottom - 2, client.left + 1, client.bottom, cd.btnFace);
    Line(dc, client.right - 1, client.bottom - 3, client.right - 1, client.bottom, rightEdgeColour);
}

void CTabDraw::UnselectedTab(const CTabCustomDraw& cd, const RECT& rect, bool bottom, bool rightOfSelected,
                             bool nextIsSelected)
{
    HDC dc = cd.nmcd.hdc;
    if (cd.nmcd.uItemState & CDIS_MARKED) {
        const RECT fill{rect.left + (rightOfSelected ? 2 : 1), rect.top + (bottom ? 3 : 2), rect.right - 2,
                        rect.bottom - 2};
        FillSolid(dc, fill, cd.highlight);
    }
    if (!nextIsSelected)
        Line(dc, rect.right - 1, rect.top + (bottom ? 3 : 2), rect.right - 1, rect.bottom - (bottom ? 1 : 2),
             cd.btnShadow);
}

void CTabDraw::DotNetSelectedTab(const CTabCustomDraw& cd, const RECT& rect, bool bottom)
{
    HDC dc = cd.nmcd.hdc;
    const COLORREF fill = (cd.nmcd.uItemState & CDIS_MARKED) ? cd.highlight : cd.selectedTab;
    const int right = rect.right - 1;
    if (bottom) {
        // Open at the top, where it joins the content band.
        const int top = rect.top + 3;
        const int last = rect.bottom - 3;
        FillSolid(dc, RECT{rect.left, top, right, last}, fill);
        Line(dc, rect.left, top, rect.left, last, cd.btnHighlight);
        Line(dc, rect.left, last, right, last, cd.btnText);
        Line(dc, right, top, right, last + 1, cd.btnText);
    } else {
        // Open at the bottom: the fill covers the band's line so the tab and content join.
        const int top = rect.top + 2;
        const int last = rect.bottom - 2;
        FillSolid(dc, RECT{rect.left, top, right, last}, fill);
        Line(dc, rect.left, last, rect.left, top, cd.btnHighlight);
        Line(dc, rect.left, top, right, top, cd.btnHighlight);
        Line(dc, right, top, right, last, cd.btnText);
    }
}

void CTabDraw::Slanted2005Tab(const CTabCustomDraw& cd, const RECT& rect, bool bottom)
{
    if (rect.right - rect.left < 27) {
        DotNetSelectedTab(cd, rect, bottom);
        return;
    }
    const int l = rect.left, t = rect.top, r = rect.right, b = rect.bottom;
    POINT points[6];
    if (bottom) {
        const POINT p[6] = {{l, t + 3}, {l + 17, b - 4}, {l + 23, b - 2}, {r - 3, b - 2}, {r - 1, b - 4}, {r - 1, t + 2}};
        std::copy(p, p + 6, points);
    } else {
        const POINT p[6] = {{l, b - 3}, {l + 17, t + 4}, {l + 23, t + 2}, {r - 3, t + 2}, {r - 1, t + 4}, {r - 1, b - 2}};
        std::copy(p, p + 6, points);
    }
    HDC dc = cd.nmcd.hdc;
    const COLORREF fill = (cd.nmcd.uItemState & CDIS_MARKED) ? cd.highlight : cd.selectedTab;
    CRgn region;
    if (region.CreatePolygonRgn(points, 6, WINDING)) {
        CBrush brush;
        brush.CreateSolidBrush(fill);
        ::FillRgn(dc, region, brush);
    }
    CSolidPenBrush pen(dc, cd.highlight, false);
    Polyline(dc, points, 6);
}

void CTabDraw::ItemContent(const CTabCustomDraw& cd, const CTabItem& item, RECT textArea, const CTabMetrics& metrics,
                           HIMAGELIST images, bool imageAtRight)
{
    HDC dc = cd.nmcd.hdc;
    const UINT state = cd.nmcd.uItemState;
    const bool selected = (state & CDIS_SELECTED) != 0;
    COLORREF text = selected ? cd.selectedText : cd.inactiveText;
    if (state & CDIS_MARKED)
        text = cd.highlightText;
    else if (state & CDIS_HOT)
        text = cd.hot;
    int imageWidth = 0, imageHeight = 0;
    if (item.GetImageIndex() >= 0 && images && ImageList_GetIconSize(images, &imageWidth, &imageHeight) &&
        imageWidth <= textArea.right - textArea.left) {
        const int y = textArea.top + (textArea.bottom - textArea.top - imageHeight) / 2 + metrics.textOffset;
        if (imageAtRight) {
            ImageList_Draw(images, item.GetImageIndex(), dc, textArea.right - imageWidth, y, ILD_NORMAL);
            textArea.right -= imageWidth;
        } else {
            ImageList_Draw(images, item.GetImageIndex(), dc, textArea.left, y, ILD_NORMAL);
            textArea.left += imageWidth;
        }
    }
    if (textArea.right - textArea.left <= metrics.minTextWidth || item.GetText().empty())
        return;
    textArea.left += metrics.textMargin;
    textArea.right -= metrics.textMargin;
    OffsetRect(&textArea, 0, metrics.textOffset);
    CSaveDC saved(dc);
    SelectObject(dc, selected ? cd.fontSelected : cd.fontNormal);
    SetTextColor(dc, text);
    SetBkMode(dc, TRANSPARENT);
    DrawTextA(dc, item.GetText().c_str(), -1, &textArea, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS);
}

void CTabDraw::CloseButton(const CTabCustomDraw& cd, const RECT& rect, ButtonState state)
{
    HDC dc = cd.nmcd.hdc;
    const int shift = state.pressedUnder ? 1 : 0;
    const int l = rect.left + shift, t = rect.top + shift, r = rect.right + shift, b = rect.bottom + shift;
    {
        CSolidPenBrush pen(dc, cd.inactiveText, false);
        const POINT cross[4][2] = {{{l + 3, t + 4}, {r - 5, b - 4}},
                                   {{l + 4, t + 4}, {r - 4, b - 4}},
                                   {{l + 3, b - 5}, {r - 5, t + 3}},
                                   {{l + 4, b - 5}, {r - 4, t + 3}}};
        for (const auto& line : cross) {
            MoveToEx(dc, line[0].x, line[0].y, nullptr);
            LineTo(dc, line[1].x, line[1].y);
        }
    }
    RECT edge = rect;
    if (state.pressedUnder)
        DrawEdge(dc, &edge, BDR_SUNKENOUTER, BF_RECT);
    else if (state.hot)
        DrawEdge(dc, &edge, BDR_RAISEDINNER, BF_RECT);
}

void CTabDraw::ScrollButton(const CTabCustomDraw& cd, const RECT& rect, bool pointsRight, bool possible,
                            ButtonState state)
{
    HDC dc = cd.nmcd.hdc;
    const int shift = possible && state.pressedUnder ? 1 : 0;
    const int l = rect.left + shift, t = rect.top + shift, r = rect.right + shift, b = rect.bottom + shift;
    POINT triangle[4];
    if (pointsRight) {
        triangle[0] = {l + 5, t + 3};
        triangle[1] = {l + 5, b - 4};
        triangle[2] = {r - 6, (t + b) / 2};
    } else {
        triangle[0] = {r - 6, t + 3};
        triangle[1] = {r - 6, b - 4};
        triangle[2] = {l + 5, (t + b) / 2};
    }
    triangle[3] = triangle[0];
    {
        CSolidPenBrush pen(dc, cd.inactiveText, true);
        if (possible)
            Polygon(dc, triangle, 3);
        else
            Polyline(dc, triangle, 4);
    }
    if (!possible)
        return;
    RECT edge = rect;
    if (state.pressedUnder)
        DrawEdge(dc, &edge, BDR_SUNKENOUTER, BF_RECT);
    else if (state.hot)
        DrawEdge(dc, &edge, BDR_RAISEDINNER, BF_RECT);
}
