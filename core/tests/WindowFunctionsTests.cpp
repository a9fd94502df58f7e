// Window searches, layout refresh, work areas and class names (with the icons and cursors of a
// window, and the menu separators and drag thresholds the window test uses).
#include "core/system/DragDrop.h"
#include "core/system/Icons.h"
#include "core/system/MenuFunctions.h"
#include "core/system/SystemFacts.h"
#include "core/system/WindowFunctions.h"
#include "core/tests/TestWindow.h"

#include <gtest/gtest.h>

namespace {

TEST(WindowFunctions, WindowSearchesAndMenus)
{
    HWND top = CreateWindowExA(0, "STATIC", "", WS_POPUP, 10, 10, 200, 100, nullptr, nullptr, nullptr, nullptr);
    HWND middle = CreateWindowExA(0, "STATIC", "", WS_CHILD, 0, 0, 100, 50, top, nullptr, nullptr, nullptr);
    HWND edit = CreateWindowExA(0, "EDIT", "", WS_CHILD, 0, 0, 50, 20, middle, nullptr, nullptr, nullptr);
    EXPECT_EQ(edit, FindChildWindowByClass(top, "Edit")) << "a grandchild";
    EXPECT_EQ(middle, FindChildWindowByClass(top, "Static"));
    EXPECT_EQ(nullptr, FindChildWindowByClass(top, "Button"));

    RefreshWindowLayout(middle);
    RECT rect = {};
    GetWindowRect(middle, &rect);
    EXPECT_EQ(100, rect.right - rect.left);
    DestroyWindow(top);

    RECT work = {};
    GetWorkAreaFromPoint({1, 1}, &work);
    EXPECT_LT(work.left, work.right);

    HMENU menu = CreatePopupMenu();
    AppendMenuA(menu, MF_STRING, 1, "a");
    EXPECT_TRUE(AppendMenuSeparator(menu));
    EXPECT_TRUE(InsertMenuSeparator(menu, 0));
    EXPECT_EQ(3, GetMenuItemCount(menu));
    EXPECT_EQ(static_cast<UINT>(MF_SEPARATOR), GetMenuState(menu, 0, MF_BYPOSITION) & MF_SEPARATOR);
    DestroyMenu(menu);

    const DragDetectSettings& drag = GetDragDetectSettings();
    EXPECT_EQ(static_cast<int>(GetProfileIntA("windows", "DragMinDist", 2)), drag.minDistance);
    EXPECT_EQ(&drag, &GetDragDetectSettings());
    EXPECT_EQ(static_cast<int>(GetProfileIntA("windows", "DragScrollInset", 11)), GetDragScrollSettings().inset);
}

TEST(WindowFunctions, ClassNamesIconsAndCursors)
{
    TestWindow window("KivoTestNamed");
    EXPECT_EQ("KivoTestNamed", GetWindowClassName(window));
    EXPECT_EQ("", GetWindowClassName(nullptr));
    EXPECT_FALSE(IsDialogWindow(window));
    HWND dialog = CreateWindowExA(0, "#32770", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    EXPECT_TRUE(IsDialogWindow(dialog));
    DestroyWindow(dialog);

    HICON icon = LoadIconA(nullptr, MAKEINTRESOURCEA(32512));
    SendMessageA(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    EXPECT_EQ(icon, GetWindowIcon(window)) << "the big icon when no small one is set";
    EXPECT_NE(nullptr, LoadHandCursor());
    EXPECT_FALSE(IsWin9x());
}

} // namespace
