// The list views and the dialog buttons on real windows: a virtual list sorted by each column
// both ways through clicks on its header, check boxes that follow the selection, copy to the
// clipboard; bitmap buttons pressed and released with the mouse, their translator texts and the
// auto-repeat periods; links that respond to clicks and keys; the etched line's pixels.
#include "controls/widgets/BmpButton.h"
#include "controls/widgets/SortListView.h"
#include "controls/skins/tests/SkinTestSupport.h"
#include "controls/tests/Screenshot.h"
#include "core/system/Clipboard.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using namespace skin_test;

namespace {

std::vector<std::pair<WPARAM, LPARAM>> g_commands;

class CReflectingParent : public CWindowImpl<CReflectingParent, CWindow, CWinTraits<WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN>> {
public:
    DECLARE_WND_CLASS_EX("KivoWidgetTestParent", 0, COLOR_BTNFACE)
    BEGIN_MSG_MAP(CReflectingParent)
        MESSAGE_HANDLER(WM_COMMAND, OnCommand)
        REFLECT_NOTIFICATIONS()
    END_MSG_MAP()
    LRESULT OnCommand(UINT, WPARAM wParam, LPARAM lParam, BOOL&)
    {
        g_commands.emplace_back(wParam, lParam);
        return 0;
    }
};

struct CRow {
    std::string name;
    int size;
    std::string kind;
};

class CTestSortList : public CSortListView {
public:
    std::vector<CRow> rows = {{"delta", 40, "b"}, {"alpha", 300, "a"}, {"charlie", 7, "c"}, {"bravo", 12, "a"}};

    bool SortByColumn(int columnId) override
    {
        if (columnId == 2)
            return false;  // the kind column is not sortable
        const bool ascending = IsAscendingRequested();
        std::stable_sort(rows.begin(), rows.end(), [&](const CRow& a, const CRow& b) {
            const bool less = columnId == 0 ? a.name < b.name : a.size < b.size;
            const bool greater = columnId == 0 ? b.name < a.name : b.size < a.size;
            return ascending ? less : greater;
        });
        ::InvalidateRect(m_hWnd, nullptr, TRUE);
        return true;
    }
    bool IsAscendingRequested() const { return m_ascending; }

    BEGIN_MSG_MAP(CTestSortList)
        REFLECTED_NOTIFY_CODE_HANDLER(LVN_GETDISPINFOA, OnGetDispInfo)
        CHAIN_MSG_MAP(CSortListView)
    END_MSG_MAP()

    LRESULT OnGetDispInfo(int, LPNMHDR header, BOOL&)
    {
        auto* info = reinterpret_cast<NMLVDISPINFOA*>(header);
        if (info->item.iItem < 0 || info->item.iItem >= static_cast<int>(rows.size()))
            return 0;
        const CRow& row = rows[static_cast<size_t>(info->item.iItem)];
        if (info->item.mask & LVIF_TEXT) {
            const std::string text = info->item.iSubItem == 0   ? row.name
                                     : info->item.iSubItem == 1 ? std::to_string(row.size)
                                                                : row.kind;
            lstrcpynA(info->item.pszText, text.c_str(), info->item.cchTextMax);
        }
        return 0;
    }
};

std::string ItemText(HWND list, int item, int subItem)
{
    char buffer[128] = {};
    LVITEMA request = {};
    request.iSubItem = subItem;
    request.pszText = buffer;
    request.cchTextMax = sizeof(buffer);
    SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&request));
    return buffer;
}

void RealClick(POINT screen)
{
    ClickAtScreen(screen);
}

RECT At(int x, int y, int width, int height)
{
    return {kTestOriginX + x, kTestOriginY + y, kTestOriginX + x + width, kTestOriginY + y + height};
}

// Successive clicks land a few pixels apart, so that two on one column never make a double click.
POINT HeaderItemCentre(HWND list, int index)
{
    static int shift = 0;
    shift = (shift + 9) % 36;
    HWND header = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
    RECT rect = {};
    SendMessageA(header, HDM_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&rect));
    POINT point = {rect.left + 20 + shift, (rect.top + rect.bottom) / 2};
    ClientToScreen(header, &point);
    return point;
}

}  // namespace

TEST(SortListView, SortsByEachColumnBothWaysThroughHeaderClicks)
{
    CReflectingParent parent;
    ASSERT_TRUE(parent.Create(nullptr, At(40, 40, 400, 260)));
    CTestSortList list;
    ASSERT_TRUE(list.Create(parent, RECT{0, 0, 400, 260}, 0, 0, 7));
    EXPECT_TRUE(list.GetStyle() & LVS_OWNERDATA);
    list.AddColumn(0, "Name", 150);
    list.AddColumn(1, "Size", 100);
    list.AddColumn(2, "Kind", 100);
    SendMessageA(list, LVM_SETITEMCOUNT, list.rows.size(), 0);
    SetForegroundWindow(parent);
    PumpPending();

    const auto column = [&](int subItem) {
        std::vector<std::string> texts;
        for (int i = 0; i < static_cast<int>(list.rows.size()); ++i)
            texts.push_back(ItemText(list, i, subItem));
        return texts;
    };
    const struct {
        int header;
        bool ascending;
        std::vector<std::string> names;
    } clicks[] = {
        {0, true, {"alpha", "bravo", "charlie", "delta"}},
        {0, false, {"delta", "charlie", "bravo", "alpha"}},
        {1, true, {"charlie", "bravo", "delta", "alpha"}},   // sizes 7, 12, 40, 300
        {1, false, {"alpha", "delta", "bravo", "charlie"}},
        {0, true, {"alpha", "bravo", "charlie", "delta"}},
    };
    for (const auto& click : clicks) {
        const size_t before = g_commands.size();
        (void)before;
        RealClick(HeaderItemCentre(list, click.header));
        ASSERT_TRUE(PumpUntil([&] { return list.GetSortColumn() == click.header && list.IsAscending() == click.ascending &&
                                           column(0) == click.names; }))
            << click.header << " " << click.ascending;
        EXPECT_EQ(list.GetSortMark(click.header), click.ascending ? HDF_SORTUP : HDF_SORTDOWN);
        EXPECT_EQ(list.GetSortMark(1 - click.header), 0);
    }
    // A column that cannot be sorted keeps the order and the mark.
    RealClick(HeaderItemCentre(list, 2));
    PumpUntil([] { return false; }, 300);
    EXPECT_EQ(list.GetSortColumn(), 0);
    EXPECT_EQ(list.GetSortMark(0), HDF_SORTUP);
    EXPECT_EQ(list.GetSortMark(2), 0);
    EXPECT_EQ(column(0), (std::vector<std::string>{"alpha", "bravo", "charlie", "delta"}));

    std::string shot;
    EXPECT_TRUE(kivo_test::WriteWindowScreenshot(parent, "sort-list-view.bmp", shot));
}

TEST(SortListView, CheckBoxesFollowTheSelectionAndTheSelectionIsCopied)
{
    CReflectingParent parent;
    ASSERT_TRUE(parent.Create(nullptr, At(40, 40, 400, 260)));
    CTestSortList list;
    ASSERT_TRUE(list.Create(parent, RECT{0, 0, 400, 260}, WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SHOWSELALWAYS, 0, 8));
    list.AddColumn(0, "Name", 150);
    list.EnableCheckBoxes();
    for (int i = 0; i < 4; ++i) {
        LVITEMA item = {};
        item.mask = LVIF_TEXT;
        item.iItem = i;
        item.pszText = const_cast<char*>(list.rows[static_cast<size_t>(i)].name.c_str());
        SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
    }
    CListViewHelper helper(list);
    for (int i : {0, 1, 3}) {
        LVITEMA state = {};
        state.stateMask = state.state = LVIS_SELECTED;
        SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&state));
    }
    SetForegroundWindow(parent);
    PumpPending();

    // A real click on the check box of selected item 1: all three selected items become checked.
    RECT icon = {};
    icon.left = LVIR_ICON;
    SendMessageA(list, LVM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&icon));
    RECT bounds = {};
    bounds.left = LVIR_BOUNDS;
    SendMessageA(list, LVM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&bounds));
    LVHITTESTINFO hit = {};
    hit.pt = {bounds.left + 2, (bounds.top + bounds.bottom) / 2};
    for (; hit.pt.x < icon.left + 20; ++hit.pt.x) {
        SendMessageA(list, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
        if (hit.flags & LVHT_ONITEMSTATEICON)
            break;
    }
    ASSERT_TRUE(hit.flags & LVHT_ONITEMSTATEICON);
    POINT screen = hit.pt;
    ClientToScreen(list, &screen);
    RealClick(screen);
    EXPECT_TRUE(PumpUntil([&] { return helper.IsChecked(0) && helper.IsChecked(1) && helper.IsChecked(3); }));
    EXPECT_FALSE(helper.IsChecked(2));
    // An unselected item changes alone.
    helper.ToggleCheckedSelection(2);
    EXPECT_TRUE(helper.IsChecked(0));

    // Copy: the selected names, one a line; nothing selected leaves the clipboard alone.
    ASSERT_TRUE(list.CopySelectionToClipboard(0));
    EXPECT_EQ(std::string(GetClipboardText()), "delta\r\nalpha\r\nbravo");
    LVITEMA none = {};
    none.stateMask = LVIS_SELECTED;
    SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&none));
    EXPECT_FALSE(list.CopySelectionToClipboard(0));
    EXPECT_EQ(std::string(GetClipboardText()), "delta\r\nalpha\r\nbravo");
    std::string shot;
    EXPECT_TRUE(kivo_test::WriteWindowScreenshot(parent, "check-list-view.bmp", shot));
    EXPECT_EQ(OwnerDrawItemHeight(12, 16), 22);  // a 9-point font and 16-pixel icons
    EXPECT_EQ(OwnerDrawItemHeight(20, 24), 29);
}

TEST(BmpButton, PressedAndReleasedInsideSendsOneCommandAndOutsideNone)
{
    g_commands.clear();
    CReflectingParent parent;
    ASSERT_TRUE(parent.Create(nullptr, At(60, 60, 300, 140)));
    HWND item = CreateWindowExA(0, "BUTTON", "Go", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 10, 10, 80, 30, parent,
                                reinterpret_cast<HMENU>(501), GetModuleHandleA(nullptr), nullptr);
    CBmpButton button(false, kBmpHoverTracking);
    button.AddIcon(LoadIconA(nullptr, MAKEINTRESOURCEA(32516)));  // IDI_INFORMATION
    button.SetToolTipText("Go there");
    ASSERT_TRUE(button.SubclassWindow(item));
    EXPECT_EQ(GetWindowLongPtrA(item, GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW);
    EXPECT_TRUE(button.GetState() & CBmpButtonBase::kPushButton);
    SetForegroundWindow(parent);
    PumpPending();

    RECT rect = {};
    GetWindowRect(item, &rect);
    RealClick({(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2});
    EXPECT_TRUE(PumpUntil([] { return !g_commands.empty(); }));
    ASSERT_EQ(g_commands.size(), 1u);
    EXPECT_EQ(LOWORD(g_commands[0].first), 501);
    EXPECT_EQ(g_commands[0].second, reinterpret_cast<LPARAM>(item));

    // Pressed, moved out and released: no command, the pressed look gone.
    SendMessageA(item, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_TRUE(button.GetState() & CBmpButtonBase::kPressed);
    SendMessageA(item, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(200, 5));
    EXPECT_FALSE(button.GetState() & CBmpButtonBase::kPressed);
    SendMessageA(item, WM_LBUTTONUP, 0, MAKELPARAM(200, 5));
    PumpPending();
    EXPECT_EQ(g_commands.size(), 1u);

    // The translator's messages.
    EXPECT_EQ(SendMessageA(item, kTranslatorItemCount, 0, 0), 1);
    char text[64] = {};
    SendMessageA(item, kTranslatorGetItem, sizeof(text), reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(text, "Go there");
    SendMessageA(item, kTranslatorSetItem, 0, reinterpret_cast<LPARAM>("Los"));
    EXPECT_EQ(button.GetToolTipText(), "Los");
    char small[3] = {};
    SendMessageA(item, kTranslatorGetItem, sizeof(small), reinterpret_cast<LPARAM>(small));
    EXPECT_STREQ(small, "Lo");  // cut to the caller's buffer

    const struct {
        int setting;
        UINT delay;
        UINT period;
    } repeats[] = {{31, 8000, 29}, {0, 250, 400}, {-1, 250, 250}, {3, 1000, 10000 / 55}};
    for (const auto& c : repeats) {
        EXPECT_EQ(AutoRepeatPeriod(c.setting), c.period) << c.setting;
        EXPECT_EQ(AutoRepeatDelay(c.setting), c.delay) << c.setting;
    }
    EnableWindow(item, FALSE);
    std::string shot;
    RedrawWindow(parent, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    EXPECT_TRUE(kivo_test::WriteWindowScreenshot(parent, "bitmap-button.bmp", shot));
}

TEST(HyperLink, LinksRespondToClicksAndKeysAndShowTheirAddress)
{
    g_commands.clear();
    CReflectingParent parent;
    ASSERT_TRUE(parent.Create(nullptr, At(60, 60, 340, 140)));
    HWND button = CreateWindowExA(0, "BUTTON", "", WS_CHILD, 0, 0, 10, 10, parent, nullptr, nullptr, nullptr);
    CCommandLink refused;
    EXPECT_FALSE(refused.SubclassWindow(button));  // not a "Static"
    HWND item = CreateWindowExA(0, "STATIC", "Read the manual", WS_CHILD | WS_VISIBLE, 10, 10, 200, 20, parent,
                                reinterpret_cast<HMENU>(601), GetModuleHandleA(nullptr), nullptr);
    CCommandLink link;
    ASSERT_TRUE(link.SubclassWindow(item));
    EXPECT_EQ(link.GetHyperLink(), "Read the manual");  // the address defaults to the label
    link.SetHyperLink("https://kivo.example/manual");
    EXPECT_EQ(link.GetHyperLink(), "https://kivo.example/manual");
    EXPECT_EQ(link.GetLabel(), "Read the manual");
    char tip[128] = {};
    TTTOOLINFOA tool = {};
    tool.cbSize = sizeof(tool);
    tool.hwnd = item;
    tool.uId = reinterpret_cast<UINT_PTR>(item);
    tool.lpszText = tip;
    SendMessageA(link.GetToolTip(), TTM_GETTEXTA, sizeof(tip), reinterpret_cast<LPARAM>(&tool));
    EXPECT_STREQ(tip, "https://kivo.example/manual");  // the tooltip follows the address
    SetForegroundWindow(parent);
    PumpPending();

    const RECT label = link.GetLabelRect();
    POINT centre = {(label.left + label.right) / 2, (label.top + label.bottom) / 2};
    ClientToScreen(item, &centre);
    SetCursorPos(centre.x, centre.y);
    EXPECT_EQ(SendMessageA(item, WM_SETCURSOR, reinterpret_cast<WPARAM>(item), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)), TRUE);
    RealClick(centre);
    EXPECT_TRUE(PumpUntil([] { return !g_commands.empty(); }));
    SendMessageA(item, WM_CHAR, VK_RETURN, 0);
    ASSERT_EQ(g_commands.size(), 2u);
    EXPECT_EQ(g_commands[1].first, MAKEWPARAM(601, BN_CLICKED));

    const struct {
        const char* address;
        bool favorites;
    } menus[] = {{"http://a.example/", true}, {"https://a.example/", true}, {"ftp://a.example/", false}, {"", false}};
    for (const auto& c : menus) {
        const CHyperLinkMenuState state = HyperLinkMenuState(c.address);
        EXPECT_EQ(state.addToFavorites, c.favorites) << c.address;
        EXPECT_EQ(state.open, *c.address != 0) << c.address;
    }

    // The context menu's commands of a CHyperLink: Copy Shortcut puts the address on the
    // clipboard; Add to Favorites goes to the installed adder, for web addresses only.
    HWND linkItem = CreateWindowExA(0, "STATIC", "Secure page", WS_CHILD | WS_VISIBLE, 220, 10, 100, 20, parent,
                                    nullptr, GetModuleHandleA(nullptr), nullptr);
    CHyperLink webLink;
    ASSERT_TRUE(webLink.SubclassWindow(linkItem));
    webLink.SetHyperLink("https://kivo.example/secure");
    EXPECT_TRUE(webLink.ExecuteMenuCommand(kLinkCommandCopyShortcut));
    EXPECT_EQ(std::string(GetClipboardText()), "https://kivo.example/secure");
    struct CAdder : IFavoriteAdder {
        std::string url, title;
        bool AddFavorite(const char* u, const char* t) override
        {
            url = u;
            title = t;
            return true;
        }
    } adder;
    EXPECT_FALSE(webLink.ExecuteMenuCommand(kLinkCommandAddToFavorites));  // no adder installed
    IFavoriteAdder* previous = SetFavoriteAdder(&adder);
    EXPECT_TRUE(webLink.ExecuteMenuCommand(kLinkCommandAddToFavorites));
    EXPECT_EQ(adder.url, "https://kivo.example/secure");
    EXPECT_EQ(adder.title, "Secure page");
    webLink.SetHyperLink("ftp://kivo.example/file");
    EXPECT_FALSE(webLink.ExecuteMenuCommand(kLinkCommandAddToFavorites));
    SetFavoriteAdder(previous);
    EXPECT_FALSE(webLink.IsVisited());
    EXPECT_TRUE(webLink.ExecuteMenuCommand(kLinkCommandOpen));  // no main window here: it stays unvisited
    EXPECT_FALSE(webLink.IsVisited());

    // The link in the browser's blue, underlined; an etched line below it.
    HWND lineItem = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 10, 40, 300, 8, parent, nullptr,
                                    GetModuleHandleA(nullptr), nullptr);
    CEtchedLine line;
    ASSERT_TRUE(line.SubclassWindow(lineItem));
    RedrawWindow(parent, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    kivo_test::CPixels pixels;
    std::string shot;
    ASSERT_TRUE(kivo_test::WriteWindowScreenshot(parent, "hyperlink-and-line.bmp", shot, &pixels));
    int linkPixels = 0;
    for (int y = 10; y < 30; ++y) {
        for (int x = 10; x < 210; ++x)
            linkPixels += pixels.At(x, y) == link.GetLinkColor();
    }
    EXPECT_GT(linkPixels, 20);
    EXPECT_EQ(pixels.At(100, 43), GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(pixels.At(100, 44), GetSysColor(COLOR_BTNHIGHLIGHT));
}
