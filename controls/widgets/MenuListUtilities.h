#pragma once
// Free routines over menus (empty them, find items by command or caption, reach submenus by
// caption, with the interface language's translation) and over report list views (columns from
// a table, selection, redraw, grid lines). They hold no state.
#include <windows.h>
#include <commctrl.h>

#include <vector>

void DeleteAllMenuItems(HMENU menu);
// Empties and destroys every submenu (recursively), then deletes all items.
void ClearMenuRecursive(HMENU menu);
// The position of the first item with the command id; -1 when none.
int FindMenuItemPosition(HMENU menu, UINT command);
// The command id of the first item (from the top, or from the bottom) whose caption contains the
// text; -1 when none.
int FindMenuItemIdByText(HMENU menu, const char* text, bool fromBottom);
// The position of the item whose caption equals the caption (translated first when asked); -1.
int FindMenuItemPositionByText(HMENU menu, const char* caption, bool translate);
// The submenu found by the caption as given, else by its translation; null when neither exists.
HMENU GetSubMenuByText(HMENU menu, const char* caption);
HMENU GetSubMenuByPath(HMENU menu, const char* first, const char* second);

struct ListViewColumnInfo {
    int id;
    const char* text;
    int width;   // pixels, or a weight in the proportional mode
    int format;  // LVCFMT_*
};
// Inserts the columns in table order. Proportionally, the control's width less 2 (count * 200
// when that is negative) is shared out by the weights, the last column taking the rest less 2;
// weights that sum to 0 or less share it equally.
void InsertListViewColumns(HWND list, const ListViewColumnInfo* columns, int count, bool proportional);
// The widths InsertListViewColumns gives for an available width.
std::vector<int> ProportionalColumnWidths(const ListViewColumnInfo* columns, int count, int available);
void ListView_RedrawRange(HWND list, int first, int last);
void SetListViewGridLines(HWND list, bool on);
void ListView_DeselectAll(HWND list);
void ListView_RefreshItem(HWND list, int item);
void ListView_RedrawAndSelect(HWND list, int item);
int GetSelectedListViewItems(HWND list, std::vector<int>& items);
int GetSelectedOrFocusedItems(HWND list, std::vector<int>& items);
