#include "controls/widgets/MenuListUtilities.h"

#include "core/app/LanguageManager.h"

#include <cstring>
#include <string>

namespace {

constexpr int kMaxMenuText = 1024;

std::string MenuText(HMENU menu, int position)
{
    char text[kMaxMenuText + 1] = {};
    ::GetMenuStringA(menu, static_cast<UINT>(position), text, kMaxMenuText, MF_BYPOSITION);
    return text;
}

const char* Translated(const char* text)
{
    CLanguageManager* languages = GetLanguageManager();
    const char* translated = languages ? languages->Translate(text) : nullptr;
    return translated ? translated : text;
}

bool IsSingleSelection(HWND list)
{
    return (::GetWindowLongPtrA(list, GWL_STYLE) & LVS_SINGLESEL) != 0;
}

void SelectItem(HWND list, int item)
{
    LVITEMA state = {};
    state.stateMask = state.state = LVIS_SELECTED | LVIS_FOCUSED;
    ::SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&state));
}

}  // namespace

void DeleteAllMenuItems(HMENU menu)
{
    while (::DeleteMenu(menu, 0, MF_BYPOSITION)) {
    }
}

void ClearMenuRecursive(HMENU menu)
{
    const int count = ::GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        if (HMENU sub = ::GetSubMenu(menu, i)) {
            ClearMenuRecursive(sub);
            ::RemoveMenu(menu, static_cast<UINT>(i), MF_BYPOSITION | MF_POPUP);
            ::InsertMenuA(menu, static_cast<UINT>(i), MF_BYPOSITION | MF_SEPARATOR, 0, nullptr);
            ::DestroyMenu(sub);
        }
    }
    DeleteAllMenuItems(menu);
}

int FindMenuItemPosition(HMENU menu, UINT command)
{
    const int count = ::GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        MENUITEMINFOA info = {};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_ID;
        if (::GetMenuItemInfoA(menu, static_cast<UINT>(i), TRUE, &info) && LOWORD(info.wID) == LOWORD(command))
            return i;
    }
    return -1;
}

int FindMenuItemIdByText(HMENU menu, const char* text, bool fromBottom)
{
    if (!text)
        return -1;
    const int count = ::GetMenuItemCount(menu);
    for (int step = 0; step < count; ++step) {
        const int i = fromBottom ? count - 1 - step : step;
        if (MenuText(menu, i).find(text) != std::string::npos)
            return static_cast<int>(::GetMenuItemID(menu, i));
    }
    return -1;
}

int FindMenuItemPositionByText(HMENU menu, const char* caption, bool translate)
{
    if (!caption)
        return -1;
    const std::string wanted = translate ? Translated(caption) : caption;
    const int count = ::GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        if (MenuText(menu, i) == wanted)
            return i;
    }
    return -1;
}

HMENU GetSubMenuByText(HMENU menu, const char* caption)
{
    int position = FindMenuItemPositionByText(menu, caption, false);
    if (position < 0)
        position = FindMenuItemPositionByText(menu, caption, true);
    return position < 0 ? nullptr : ::GetSubMenu(menu, position);
}

HMENU GetSubMenuByPath(HMENU menu, const char* first, const char* second)
{
    HMENU sub = GetSubMenuByText(menu, first);
    return sub ? GetSubMenuByText(sub, second) : nullptr;
}

std::vector<int> ProportionalColumnWidths(const ListViewColumnInfo* columns, int count, int available)
{
    std::vector<int> widths;
    if (count <= 0)
        return widths;
    if (available < 0)
        available = count * 200;
    long long sum = 0;
    for (int i = 0; i < count; ++i)
        sum += columns[i].width > 0 ? columns[i].width : 0;
    int given = 0;
    for (int i = 0; i < count - 1; ++i) {
        const int weight = columns[i].width > 0 ? columns[i].width : 0;
        // Weights that sum to nothing would divide by zero: the columns then share equally.
        const int width = sum > 0 ? static_cast<int>(weight * static_cast<long long>(available) / sum) : available / count;
        widths.push_back(width);
        given += width;
    }
    widths.push_back(available - given - 2);
    return widths;
}

void InsertListViewColumns(HWND list, const ListViewColumnInfo* columns, int count, bool proportional)
{
    std::vector<int> widths;
    if (proportional) {
        RECT rect = {};
        ::GetWindowRect(list, &rect);
        widths = ProportionalColumnWidths(columns, count, rect.right - rect.left - 2);
    }
    for (int i = 0; i < count; ++i) {
        LVCOLUMNA column = {};
        column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
        column.fmt = columns[i].format;
        column.cx = proportional ? widths[static_cast<size_t>(i)] : columns[i].width;
        column.pszText = const_cast<char*>(columns[i].text ? columns[i].text : "");
        column.iSubItem = i;
        ::SendMessageA(list, LVM_INSERTCOLUMNA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&column));
    }
}

void ListView_RedrawRange(HWND list, int first, int last)
{
    if (last == -1) {
        ::InvalidateRect(list, nullptr, TRUE);
        return;
    }
    ::SendMessageA(list, LVM_REDRAWITEMS, static_cast<WPARAM>(first), static_cast<LPARAM>(last));
    if (IsSingleSelection(list))
        SelectItem(list, first);
}

void SetListViewGridLines(HWND list, bool on)
{
    ::SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_GRIDLINES, on ? LVS_EX_GRIDLINES : 0);
}

void ListView_DeselectAll(HWND list)
{
    LVITEMA state = {};
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    ::SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&state));
}

void ListView_RefreshItem(HWND list, int item)
{
    if (IsSingleSelection(list))
        SelectItem(list, item);
    else
        ::SendMessageA(list, LVM_REDRAWITEMS, static_cast<WPARAM>(item), static_cast<LPARAM>(item));
}

void ListView_RedrawAndSelect(HWND list, int item)
{
    ::SendMessageA(list, LVM_REDRAWITEMS, static_cast<WPARAM>(item), static_cast<LPARAM>(item));
    if (IsSingleSelection(list))
        SelectItem(list, item);
}

int GetSelectedListViewItems(HWND list, std::vector<int>& items)
{
    int count = 0;
    for (int item = -1;;) {
        item = static_cast<int>(::SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(item), LVNI_SELECTED));
        if (item < 0)
            break;
        items.push_back(item);
        ++count;
    }
    return count;
}

int GetSelectedOrFocusedItems(HWND list, std::vector<int>& items)
{
    const int count = GetSelectedListViewItems(list, items);
    if (count > 0)
        return count;
    const int focused = static_cast<int>(::SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
    if (focused < 0)
        return 0;
    items.push_back(focused);
    return 1;
}
