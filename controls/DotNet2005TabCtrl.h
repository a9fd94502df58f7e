#pragma once
// The 2005 look: the DotNet strip with a slanted selected tab, the image at the right of the text
// and extra room on both sides of every tab.
#include "controls/DotNetTabCtrl.h"

class CDotNet2005TabCtrl : public TDotNetTabCtrlImpl<CDotNet2005TabCtrl> {
public:
    DECLARE_WND_CLASS_EX("_DotNet2005TabCtrl", CS_DBLCLKS, COLOR_WINDOW)

    void SetLookMetrics()
    {
        SetStandardMetrics(true);
        m_metrics.leftExtra = 16;
        m_metrics.rightExtra = 3;
    }

    int NaturalWidth(HDC dc, const CTabItem& item, bool selected)
    {
        return m_metrics.leftExtra + m_metrics.rightExtra + ImageWidth(item) + TextWidth(dc, item, selected) +
               2 * m_metrics.textMargin;
    }
    int MinItemWidth() const { return m_metrics.leftExtra + m_metrics.rightExtra + m_metrics.minTextWidth + m_metrics.textMargin; }

    COLORREF BandLineColour(const CTabCustomDraw& cd) const { return cd.highlight; }
    COLORREF BandRightEdgeColour(const CTabCustomDraw& cd) const { return cd.btnShadow; }
    void DrawSelectedTab(const CTabCustomDraw& cd, const RECT& rect) { CTabDraw::Slanted2005Tab(cd, rect, IsBottom()); }
    void DrawContent(const CTabCustomDraw& cd, const RECT& rect) { DrawItemContent(cd, rect, true); }
};
