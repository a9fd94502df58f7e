#include "controls/TabItem.h"

void CTabItem::CopyFrom(const CTabItem& source)
{
    if (&source != this)
        CTabItem::operator=(source);
}

bool CTabItem::Matches(const CTabItem& pattern, UINT mask) const
{
    if ((mask & kTabItemRect) && !EqualRect(&m_rect, &pattern.m_rect))
        return false;
    if ((mask & kTabItemImage) && m_image != pattern.m_image)
        return false;
    if ((mask & kTabItemText) && m_text != pattern.m_text)
        return false;
    if ((mask & kTabItemToolTip) && m_toolTip != pattern.m_toolTip)
        return false;
    if ((mask & kTabItemViewWindow) && GetViewWindow() != pattern.GetViewWindow())
        return false;
    if ((mask & kTabItemHighlighted) && m_highlighted != pattern.m_highlighted)
        return false;
    if ((mask & kTabItemCanClose) && m_canClose != pattern.m_canClose)
        return false;
    return true;
}

void CViewTabItem::CopyFrom(const CTabItem& source)
{
    CTabItem::CopyFrom(source);
    if (auto* view = dynamic_cast<const CViewTabItem*>(&source))
        m_viewWindow = view->m_viewWindow;
}
