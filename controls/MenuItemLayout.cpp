#include "controls/MenuItemLayout.h"

SIZE MeasureMenuItem(EMenuLook look, bool separator, int textWidth, int fontHeight, int extraWidth, int checkWidth,
                     int menuHeight)
{
    const bool office = look == EMenuLook::kOffice;
    if (separator)
        return {0, office ? CMenuItemMetrics::kOfficeSeparator : menuHeight / 2};
    const int height = (fontHeight < 0 ? -fontHeight : fontHeight) + (office ? 10 : 8);
    const int width = textWidth + (office ? 13 : 5) + 2 * CMenuItemMetrics::kIconCell + (office ? 0 : extraWidth) -
                      checkWidth + 1;
    return {width, height};
}

CMenuItemRects LayoutMenuItem(EMenuLook look, const RECT& item)
{
    CMenuItemRects rects;
    const int top = item.top + (item.bottom - item.top - CMenuItemMetrics::kIconCell) / 2;
    rects.cell = {item.left, top, item.left + CMenuItemMetrics::kIconCell, top + CMenuItemMetrics::kIconCell};
    rects.textArea = {rects.cell.right + 1, item.top, item.right, item.bottom};
    const int textLeft = look == EMenuLook::kOffice ? rects.cell.right + 1 + 6
                                                    : item.left + CMenuItemMetrics::kIconCell + 2 + 1;
    rects.text = {textLeft, item.top, item.right - CMenuItemMetrics::kArrowRoom, item.bottom};
    return rects;
}

POINT IconPosition(const RECT& cell)
{
    return {cell.left + (cell.right - cell.left - CMenuItemMetrics::kIconSize) / 2,
            cell.top + (cell.bottom - cell.top - CMenuItemMetrics::kIconSize) / 2};
}

CMenuItemText SplitMenuItemText(const std::string& text)
{
    const size_t tab = text.find('\t');
    if (tab == std::string::npos)
        return {text, std::string()};
    return {text.substr(0, tab), text.substr(tab + 1)};
}

std::string StripMenuPrefixes(const std::string& text)
{
    std::string plain;
    plain.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '&') {
            if (i + 1 >= text.size())
                break;  // a trailing prefix marks nothing
            ++i;
        }
        plain += text[i];
    }
    return plain;
}
