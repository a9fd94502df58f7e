#include "controls/ButtonTabCtrl.h"

void CDotNetButtonTabCtrl::DrawItem(CTabCustomDraw& cd)
{
    const RECT rect = ButtonRect(cd.nmcd.rc);
    const int index = static_cast<int>(cd.nmcd.dwItemSpec);
    if (cd.nmcd.uItemState & CDIS_SELECTED) {
        const bool highlighted = (cd.nmcd.uItemState & CDIS_MARKED) != 0;
        HDC dc = cd.nmcd.hdc;
        CPen pen;
        pen.CreatePen(PS_SOLID, 1, highlighted ? cd.btnHighlight : cd.highlight);
        CBrush brush;
        brush.CreateSolidBrush(highlighted ? cd.highlight : cd.selectedTab);
        CGdiObjectSelector selectPen(dc, pen);
        CGdiObjectSelector selectBrush(dc, brush);
        ::Rectangle(dc, rect.left, rect.top, rect.right, rect.bottom);
    } else {
        CTabDraw::UnselectedTab(cd, rect, IsBottom(), m_selected >= 0 && index == m_selected + 1, index + 1 == m_selected);
    }
    DrawItemContent(cd, rect, false);
}
