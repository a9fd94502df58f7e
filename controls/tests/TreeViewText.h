#pragma once
// What a tree view shows, as text the tests compare: an item's label, and a whole tree written as
// "item{child,child{grandchild}}".
#include <windows.h>
#include <commctrl.h>

#include <string>

namespace kivo_test {

inline std::string TreeItemText(HWND tree, HTREEITEM item)
{
    char text[512] = "";
    TVITEMA data = {};
    data.mask = TVIF_TEXT;
    data.hItem = item;
    data.pszText = text;
    data.cchTextMax = sizeof(text);
    ::SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&data));
    return text;
}

// The item and its siblings after it, each with its children.
inline std::string DumpTree(HWND tree, HTREEITEM item)
{
    std::string text;
    for (; item; item = TreeView_GetNextSibling(tree, item)) {
        if (!text.empty())
            text += ",";
        text += TreeItemText(tree, item);
        if (HTREEITEM child = TreeView_GetChild(tree, item))
            text += "{" + DumpTree(tree, child) + "}";
    }
    return text;
}

}  // namespace kivo_test
