// The general window utilities and the menu and list-view routines: truncation, the taskbar
// edge, the embedded-edit key filter, the registry history of combo boxes, the page host's
// notifications and focus, MDI children closed in order, menus searched and emptied, and
// proportional list-view columns.
#include "controls/widgets/MenuListUtilities.h"
#include "controls/widgets/WindowUtilities.h"
#include "controls/skins/tests/SkinTestSupport.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <string>
#include <vector>

namespace {

bool TestLeadByte(unsigned char byte)
{
    return byte >= 0x81 && byte <= 0x9F;  // Shift-JIS lead bytes, whatever the test's code page
}

}  // namespace

TEST(WindowUtilities, TruncateWithEllipsisKeepsWithinTheMaximumAndKeepsCharactersWhole)
{
    const struct {
        const char* text;
        size_t maximum;
        const char* expected;
    } cases[] = {
        {"abcdefgh", 6, "abc..."}, {"abcdefgh", 2, ".."}, {"abcdef", 6, "abcdef"}, {"abcdefgh", 3, "..."},
        {"abcdefgh", 0, ""},       {"", 4, ""},           {"ab\x82\xA0" "cdef", 6, "ab..."},  // no half character
        {"a\x82\xA0" "bcdefg", 6, "a\x82\xA0..."},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TruncateWithEllipsis(c.text, c.maximum, TestLeadByte), c.expected) << c.text << " " << c.maximum;
}

TEST(WindowUtilities, TaskbarEdgeAndTheEditKeyFilter)
{
    const struct {
        RECT work;
        int edge;
    } edges[] = {{{0, 0, 1024, 768}, kTaskbarBottom}, {{0, 0, 1024, 738}, kTaskbarBottom},
                 {{0, 30, 1024, 768}, kTaskbarTop},   {{60, 0, 1024, 768}, kTaskbarLeft},
                 {{0, 0, 964, 768}, kTaskbarRight}};
    for (const auto& c : edges)
        EXPECT_EQ(TaskbarEdgeOf(c.work, 1024, 768), c.edge) << c.work.left << "," << c.work.top;

    const struct {
        UINT message;
        WPARAM key;
        bool shift, ctrl, alt;
        int expected;
    } keys[] = {
        {WM_KEYDOWN, VK_LEFT, true, false, false, 2}, {WM_KEYDOWN, VK_HOME, false, true, false, 2},
        {WM_KEYDOWN, VK_LEFT, false, false, false, 2}, {WM_KEYDOWN, VK_RETURN, false, false, true, 2},
        {WM_KEYDOWN, VK_DELETE, false, false, false, 2}, {WM_KEYDOWN, VK_DELETE, false, true, false, 0},
        {WM_KEYDOWN, 'A', false, false, false, 0},     {WM_SYSKEYDOWN, VK_BACK, false, false, true, 0},
        {WM_CHAR, VK_RETURN, false, false, false, 0},
    };
    for (const auto& c : keys)
        EXPECT_EQ(FilterEmbeddedEditKey(c.message, c.key, c.shift, c.ctrl, c.alt), c.expected) << c.key;
}

TEST(WindowUtilities, HistoryComboBoxesKeepTheirEntriesInTheRegistry)
{
    HWND parent = skin_test::CreateTestFrame("history", 10, 10, 300, 200);
    for (const char* prefix : {"url", ""}) {
        HWND combo = CreateWindowExA(0, "COMBOBOX", "", WS_CHILD | CBS_DROPDOWN, 0, 0, 200, 200, parent, nullptr,
                                     GetModuleHandleA(nullptr), nullptr);
        CHistoryComboBox history(HKEY_CURRENT_USER, "Software\\Kivo\\History", prefix, 3);
        history.Attach(combo);
        history.ClearHistory();
        for (const char* text : {"one", "two", "three"})
            history.AddToHistory(text, true);
        history.AddToHistory("one", true);  // an existing entry moves to the top
        ASSERT_EQ(history.GetCount(), 3);
        EXPECT_EQ(history.GetItemText(0), "one");
        EXPECT_EQ(history.GetItemText(1), "three");
        EXPECT_EQ(history.GetItemText(2), "two");
        history.AddToHistory("four", true);  // a full list drops its bottom entry
        history.LoadHistory();
        ASSERT_EQ(history.GetCount(), 3) << prefix;
        EXPECT_EQ(history.GetItemText(0), "four") << prefix;
        EXPECT_EQ(history.GetItemText(1), "one") << prefix;
        EXPECT_EQ(history.GetItemText(2), "three") << prefix;
        history.ClearHistory();
        history.LoadHistory();
        EXPECT_EQ(history.GetCount(), 0);
        DestroyWindow(combo);
    }
    DestroyWindow(parent);
}

namespace {

std::vector<int> g_notices;
LRESULT g_refuseChange = 0;
std::vector<HWND> g_closed;

LRESULT CALLBACK NoticeProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NOTIFY) {
        const int code = static_cast<int>(reinterpret_cast<NMHDR*>(lParam)->code);
        g_notices.push_back(code);
        return code == -552 ? g_refuseChange : 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT CALLBACK ClosingChildProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CLOSE) {
        g_closed.push_back(window);
        return 0;
    }
    return DefMDIChildProcA(window, message, wParam, lParam);
}

}  // namespace

TEST(WindowUtilities, ThePageHostShowsOnePageAndAsksItsParent)
{
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = NoticeProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "KivoPageHostParent";
    RegisterClassA(&windowClass);
    HWND parent = CreateWindowExA(0, "KivoPageHostParent", "", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300, 200, nullptr,
                                  nullptr, GetModuleHandleA(nullptr), nullptr);
    HWND placeholder = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 10, 10, 200, 120, parent, nullptr,
                                       GetModuleHandleA(nullptr), nullptr);
    g_notices.clear();
    CPageHostWnd host;
    ASSERT_TRUE(host.SubclassWindow(placeholder));
    EXPECT_EQ(g_notices, std::vector<int>{kPageHostAttached});
    EXPECT_TRUE(GetWindowLongPtrA(placeholder, GWL_EXSTYLE) & WS_EX_CONTROLPARENT);
    HWND pages[2];
    for (HWND& page : pages) {
        page = skin_test::CreateTestDialog("page", 0, 0);
        ASSERT_EQ(host.AddPage(page), &page - pages);
        const DWORD style = static_cast<DWORD>(GetWindowLongPtrA(page, GWL_STYLE));
        EXPECT_TRUE(style & WS_CHILD);
        EXPECT_FALSE(style & (WS_POPUP | WS_CAPTION));
        EXPECT_FALSE(IsWindowVisible(page));
    }
    g_notices.clear();
    EXPECT_FALSE(host.SetActivePage(2));
    ASSERT_TRUE(host.SetActivePage(0));
    EXPECT_TRUE(IsWindowVisible(pages[0]));
    EXPECT_EQ(g_notices, (std::vector<int>{-552, -551}));
    g_notices.clear();
    EXPECT_TRUE(host.SetActivePage(0));  // the page shown: nothing asked
    EXPECT_TRUE(g_notices.empty());
    g_refuseChange = 1;
    EXPECT_FALSE(host.SetActivePage(1));
    EXPECT_TRUE(IsWindowVisible(pages[0]));
    g_refuseChange = 0;
    SetFocus(placeholder);
    ASSERT_TRUE(host.SetActivePage(1));
    EXPECT_FALSE(IsWindowVisible(pages[0]));
    EXPECT_TRUE(IsWindowVisible(pages[1]));
    EXPECT_TRUE(IsChild(pages[1], GetFocus()));  // the focus followed into the new page
    DestroyWindow(parent);
}

TEST(WindowUtilities, MdiChildrenCloseWithTheActiveOneLast)
{
    WNDCLASSA childClass = {};
    childClass.lpfnWndProc = ClosingChildProc;
    childClass.hInstance = GetModuleHandleA(nullptr);
    childClass.lpszClassName = "KivoClosingChild";
    RegisterClassA(&childClass);
    HWND frame = skin_test::CreateTestFrame("mdi", 0, 0, 400, 300);
    CLIENTCREATESTRUCT create = {};
    HWND client = CreateWindowExA(0, "MDICLIENT", "", WS_CHILD | WS_VISIBLE, 0, 0, 400, 300, frame, nullptr,
                                  GetModuleHandleA(nullptr), &create);
    ASSERT_NE(client, nullptr);
    g_closed.clear();
    CloseMdiChildren(client);
    EXPECT_TRUE(g_closed.empty());  // no active child: nothing
    std::vector<HWND> children;
    for (int i = 0; i < 3; ++i) {
        children.push_back(CreateMDIWindowA("KivoClosingChild", "child", WS_VISIBLE, 0, 0, 100, 100, client,
                                            GetModuleHandleA(nullptr), 0));
    }
    SendMessageA(client, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(children[1]), 0);
    CloseMdiChildren(client);
    ASSERT_EQ(g_closed.size(), 3u);
    EXPECT_EQ(g_closed.back(), children[1]);
    g_closed.clear();
    CloseOtherMdiChildren(client, children[0]);
    EXPECT_EQ(g_closed, (std::vector<HWND>{children[2], children[1]}));
    DestroyWindow(frame);
}

TEST(MenuListUtilities, MenusAreSearchedAndEmptied)
{
    HMENU menu = CreatePopupMenu();
    AppendMenuA(menu, MF_STRING, 10, "&Open Page");
    AppendMenuA(menu, MF_STRING, 11, "Open &Link");
    HMENU sub = CreatePopupMenu();
    AppendMenuA(sub, MF_STRING, 20, "Inner");
    HMENU inner = CreatePopupMenu();
    AppendMenuA(inner, MF_STRING, 30, "Deep");
    AppendMenuA(sub, MF_POPUP, reinterpret_cast<UINT_PTR>(inner), "&More");
    AppendMenuA(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(sub), "&Tools");
    EXPECT_EQ(FindMenuItemPosition(menu, 11), 1);
    EXPECT_EQ(FindMenuItemPosition(menu, 99), -1);
    EXPECT_EQ(FindMenuItemIdByText(menu, "Open", false), 10);
    EXPECT_EQ(FindMenuItemIdByText(menu, "Open", true), 11);
    EXPECT_EQ(FindMenuItemIdByText(menu, "Close", false), -1);
    EXPECT_EQ(FindMenuItemPositionByText(menu, "&Tools", false), 2);
    EXPECT_EQ(GetSubMenuByText(menu, "&Tools"), sub);
    EXPECT_EQ(GetSubMenuByPath(menu, "&Tools", "&More"), inner);
    EXPECT_EQ(GetSubMenuByPath(menu, "&Nothing", "&More"), nullptr);
    ClearMenuRecursive(menu);
    EXPECT_EQ(GetMenuItemCount(menu), 0);
    EXPECT_FALSE(IsMenu(sub));
    EXPECT_FALSE(IsMenu(inner));
    DestroyMenu(menu);
}

TEST(MenuListUtilities, ProportionalColumnsShareTheWidthByWeight)
{
    const ListViewColumnInfo weighted[] = {{0, "A", 1, LVCFMT_LEFT}, {1, "B", 1, LVCFMT_LEFT}, {2, "C", 2, LVCFMT_LEFT}};
    EXPECT_EQ(ProportionalColumnWidths(weighted, 3, 400), (std::vector<int>{100, 100, 198}));
    const ListViewColumnInfo zero[] = {{0, "A", 0, LVCFMT_LEFT}, {1, "B", 0, LVCFMT_LEFT}};
    EXPECT_EQ(ProportionalColumnWidths(zero, 2, 400), (std::vector<int>{200, 198}));  // no division by zero
    EXPECT_EQ(ProportionalColumnWidths(weighted, 3, -5), (std::vector<int>{150, 150, 298}));

    HWND frame = skin_test::CreateTestFrame("columns", 0, 0, 500, 300);
    HWND list = CreateWindowExA(0, WC_LISTVIEWA, "", WS_CHILD | LVS_REPORT, 0, 0, 402, 200, frame, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
    InsertListViewColumns(list, weighted, 3, true);
    EXPECT_EQ(SendMessageA(list, LVM_GETCOLUMNWIDTH, 0, 0), 100);
    EXPECT_EQ(SendMessageA(list, LVM_GETCOLUMNWIDTH, 2, 0), 198);
    SetListViewGridLines(list, true);
    EXPECT_TRUE(SendMessageA(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0) & LVS_EX_GRIDLINES);
    DestroyWindow(frame);
}
