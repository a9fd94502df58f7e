#include "controls/widgets/BlockerOptionsContainer.h"

#include "controls/ImageListManager.h"
#include "core/app/Settings.h"

LRESULT CBlockerOptionsContainer::OnCreate(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled)
{
    COptionsContainer::OnCreate(message, wParam, lParam, handled);
    handled = TRUE;
    if (const CImageListManager* images = GetImageListManager())
        SetImageLists(images->m_toolBarLarge, images->m_toolBarLargeDisabled);
    RecalcItemHeight();
    SetStyle(kBlockerContainerStyle);
    m_pageWindow = m_page.CreateInContainer(*this);
    // A page that could not be created leaves an empty container rather than no window at all:
    // the side panel still shows its other page.
    if (!m_pageWindow)
        return 0;
    const int group = AddPage(m_popupBlocker ? kPopupBlockerGroupCommand : kAdFilterGroupCommand, m_pageWindow, nullptr,
                              m_popupBlocker ? kPopupBlockerGroupImage : kAdFilterGroupImage);
    Expand(group, (GetSettings()->ViewFlags & ExpandedFlag()) != 0, false);
    return 0;
}

LRESULT CBlockerOptionsContainer::OnDestroy(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled)
{
    if (GetGroupCount() > 0) {
        DWORD& flags = GetSettings()->ViewFlags;
        flags = IsExpanded(0) ? (flags | ExpandedFlag()) : (flags & ~ExpandedFlag());
    }
    m_pageWindow = nullptr;
    COptionsContainer::OnDestroy(message, wParam, lParam, handled);
    handled = TRUE;
    return 0;
}
