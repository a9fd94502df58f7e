// The tab strip as a real window in a hidden parent: items, selection, notifications, scrolling,
// buttons, hot tracking, drag reordering and the item messages.
#include "TabTestParent.h"
#include "controls/ButtonTabCtrl.h"
#include "controls/DotNet2005TabCtrl.h"
#include "controls/DotNetTabCtrl.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

constexpr UINT kStripId = 77;

std::unique_ptr<CTabItem> Tab(const char* text, bool canClose = true)
{
    auto item = std::make_unique<CViewTabItem>();
    item->SetText(text);
    item->SetCanClose(canClose);
    return item;
}

class TabStrip : public ::testing::Test {
protected:
    void Create(DWORD style, int width = 300)
    {
        ASSERT_TRUE(m_strip.Create(m_parent.Window(), RECT{0, 0, width, 24}, style, kStripId));
    }
    void AddTabs(std::initializer_list<const char*> texts)
    {
        for (const char* text : texts)
            m_strip.InsertItem(-1, Tab(text));
    }
    std::string Order() const
    {
        std::string order;
        for (int i = 0; i < m_strip.GetItemCount(); ++i)
            order += m_strip.GetItem(i)->GetText() + (i + 1 < m_strip.GetItemCount() ? "," : "");
        return order;
    }
    POINT ItemCentre(int index) const
    {
        RECT rect;
        m_strip.GetItemRect(index, rect);
        return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    }
    static POINT Centre(const RECT& rect) { return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2}; }
    LRESULT Send(UINT message, POINT point, WPARAM wParam = 0)
    {
        return SendMessageA(m_strip.m_hWnd, message, wParam, MousePoint(point.x, point.y));
    }

    CTabTestParent m_parent;
    CDotNetTabCtrl m_strip;
};

}  // namespace

TEST_F(TabStrip, CreatesWithItsWindowClassAndDefaultStyle)
{
    Create(0);
    char name[64] = {};
    GetClassNameA(m_strip.m_hWnd, name, sizeof(name));
    EXPECT_STREQ(name, "_DotNetTabCtrl");
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongPtrA(m_strip.m_hWnd, GWL_STYLE)), 0x56004000u);
    EXPECT_EQ(m_strip.GetState() & 0xFFFFu, 0xA808u);
    EXPECT_NE(m_strip.GetToolTips(), nullptr);
    EXPECT_EQ(m_strip.GetMetrics().stripMargin, 5);
    EXPECT_EQ(GetDlgCtrlID(m_strip.m_hWnd), static_cast<int>(kStripId));
    // An empty strip hits nothing.
    UINT where = 0;
    EXPECT_EQ(m_strip.HitTest(POINT{10, 10}, &where), -1);
    EXPECT_EQ(where, static_cast<UINT>(kTabHitNowhere));
}

TEST_F(TabStrip, InsertSelectDeleteAndMoveNotifyTheParentInOrder)
{
    Create(kTabStyleToolTips);
    m_parent.Clear();
    AddTabs({"A", "B", "C"});
    // The first item is selected as it arrives; the others are only inserted.
    EXPECT_EQ(m_parent.Describe(), "-561(0,0) -552(-1,0) -551(-1,0) -561(1,0) -561(2,0) ");
    EXPECT_EQ(m_strip.GetCurSel(), 0);

    m_parent.Clear();
    EXPECT_EQ(m_strip.SetCurSel(2), 0);
    EXPECT_EQ(m_parent.Describe(), "-552(0,2) -551(0,2) ");
    // An index beyond the list re-selects the current item and still notifies.
    m_parent.Clear();
    EXPECT_EQ(m_strip.SetCurSel(9), 2);
    EXPECT_EQ(m_parent.Describe(), "-552(2,2) -551(2,2) ");
    // The parent refuses a selection by answering 1.
    m_parent.Answer(TCN_SELCHANGING, 1);
    EXPECT_EQ(m_strip.SetCurSel(0), -1);
    EXPECT_EQ(m_strip.GetCurSel(), 2);
    m_parent.Answer(TCN_SELCHANGING, 0);

    // Deleting the selected last item selects the one before it first.
    m_parent.Clear();
    EXPECT_EQ(m_strip.DeleteItem(2), 1);
    EXPECT_EQ(m_parent.Describe(), "-562(2,0) -552(2,1) -551(2,1) ");
    EXPECT_EQ(Order(), "A,B");
    EXPECT_EQ(m_strip.GetCurSel(), 1);

    // Deleting the selected middle item selects the one that moves into its place.
    AddTabs({"C"});
    m_parent.Clear();
    EXPECT_EQ(m_strip.DeleteItem(1), 1);
    EXPECT_EQ(m_parent.Describe(), "-562(1,0) -552(1,1) -551(1,1) ");
    EXPECT_EQ(m_strip.GetItem(m_strip.GetCurSel())->GetText(), "C");

    // A refused deletion keeps the item.
    m_parent.Answer(kTabNotifyDeleting, 1);
    EXPECT_EQ(m_strip.DeleteItem(0), 0);
    EXPECT_EQ(Order(), "A,C");
    m_parent.Answer(kTabNotifyDeleting, 0);

    // A move with notify: the selection follows its item.
    AddTabs({"D"});
    m_strip.SetCurSel(0);
    m_parent.Clear();
    EXPECT_EQ(m_strip.MoveItem(0, 2, true, true), 1);
    EXPECT_EQ(Order(), "C,D,A");
    EXPECT_EQ(m_parent.Describe(), "-552(0,2) -551(0,2) -563(0,2) ");
    EXPECT_EQ(m_strip.GetCurSel(), 2);
    // Moving another item across the selected one keeps the same item selected, silently.
    m_parent.Clear();
    EXPECT_EQ(m_strip.MoveItem(0, 2, true, false), 1);
    EXPECT_EQ(Order(), "D,A,C");
    EXPECT_EQ(m_strip.GetItem(m_strip.GetCurSel())->GetText(), "A");
    EXPECT_TRUE(m_parent.Notices().empty());

    // Out of range: nothing changes.
    EXPECT_EQ(m_strip.DeleteItem(3), 0);
    EXPECT_EQ(m_strip.MoveItem(0, 3), 0);
    EXPECT_EQ(m_strip.GetItem(3), nullptr);
    RECT rect;
    EXPECT_FALSE(m_strip.GetItemRect(-1, rect));
    EXPECT_TRUE(IsRectEmpty(&rect));
}

TEST_F(TabStrip, InsertingBeforeTheSelectedItemKeepsItSelected)
{
    Create(kTabStyleToolTips);
    AddTabs({"A", "B", "C"});
    m_strip.SetCurSel(1);
    m_parent.Clear();
    EXPECT_EQ(m_strip.InsertItem(0, Tab("New")), 0);
    EXPECT_EQ(m_strip.GetCurSel(), 2);
    EXPECT_EQ(m_strip.GetItem(2)->GetText(), "B");
    EXPECT_EQ(m_parent.Describe(), "-561(0,0) ");
    // At the selected index itself the selected item moves right too.
    m_strip.InsertItem(2, Tab("Other"));
    EXPECT_EQ(m_strip.GetItem(m_strip.GetCurSel())->GetText(), "B");
    // Inserted after it: unchanged. Inserted and selected: the new item.
    m_strip.InsertItem(-1, Tab("Last"));
    EXPECT_EQ(m_strip.GetItem(m_strip.GetCurSel())->GetText(), "B");
    m_strip.InsertItem(1, Tab("Chosen"), true);
    EXPECT_EQ(m_strip.GetCurSel(), 1);
    // Without a window or an item, nothing is inserted.
    EXPECT_EQ(m_strip.InsertItem(0, nullptr), -1);
    CDotNetTabCtrl windowless;
    EXPECT_EQ(windowless.InsertItem(0, Tab("x")), -1);
}

TEST_F(TabStrip, DeletingAllItemsEndsEvenWhenTheParentRefuses)
{
    Create(kTabStyleToolTips);
    AddTabs({"A", "B", "C"});
    m_parent.Answer(kTabNotifyDeleting, 1);
    m_parent.Clear();
    m_strip.DeleteAllItems();
    EXPECT_EQ(m_strip.GetItemCount(), 0);
    EXPECT_EQ(m_strip.GetCurSel(), -1);
    // The parent still hears of every deletion, always of item 0.
    EXPECT_EQ(m_parent.Describe(), "-562(0,0) -562(0,0) -562(0,0) ");
    // Destroying the window empties it the same way.
    AddTabs({"D", "E"});
    DestroyWindow(m_strip.m_hWnd);
    EXPECT_EQ(m_strip.GetItemCount(), 0);
}

TEST_F(TabStrip, KeyboardMovesTheSelection)
{
    Create(kTabStyleToolTips);
    AddTabs({"A", "B", "C"});
    SendMessageA(m_strip.m_hWnd, WM_KEYDOWN, VK_RIGHT, 0);
    SendMessageA(m_strip.m_hWnd, WM_KEYDOWN, VK_RIGHT, 0);
    EXPECT_EQ(m_strip.GetCurSel(), 2);
    m_parent.Clear();
    SendMessageA(m_strip.m_hWnd, WM_KEYDOWN, VK_RIGHT, 0);  // already last
    EXPECT_TRUE(m_parent.Notices().empty());
    SendMessageA(m_strip.m_hWnd, WM_KEYDOWN, VK_LEFT, 0);
    EXPECT_EQ(m_strip.GetCurSel(), 1);
    EXPECT_EQ(SendMessageA(m_strip.m_hWnd, WM_GETDLGCODE, 0, 0) & DLGC_WANTARROWS, DLGC_WANTARROWS);
}

TEST_F(TabStrip, ScrollButtonsScrollOverflowingItemsUntilTheEnd)
{
    Create(kTabStyleScroll | kTabStyleToolTips, 200);
    for (int i = 0; i < 10; ++i)
        m_strip.InsertItem(-1, Tab("A rather long tab title"));
    const auto& areas = m_strip.GetAreas();
    ASSERT_FALSE(IsRectEmpty(&areas.scrollRight));
    EXPECT_EQ(m_strip.GetScrollOffset(), 0);
    EXPECT_TRUE(m_strip.GetState() & CDotNetTabCtrl::kStateCanScrollRight);
    EXPECT_FALSE(m_strip.GetState() & CDotNetTabCtrl::kStateCanScrollLeft);

    // Items keep their natural widths and run beyond the strip.
    RECT last;
    m_strip.GetItemRect(9, last);
    EXPECT_GT(last.right, 1000);

    // Pressing the right button scrolls 40 pixels at once, then every 25 ms while held.
    Send(WM_LBUTTONDOWN, Centre(areas.scrollRight), MK_LBUTTON);
    EXPECT_EQ(m_strip.GetScrollOffset(), -40);
    EXPECT_TRUE(CTabTestParent::PumpUntil([&] { return m_strip.GetScrollOffset() <= -120; }))
        << m_strip.GetScrollOffset();
    // Held long enough, it stops once the last item ends inside the items area.
    EXPECT_TRUE(CTabTestParent::PumpUntil(
        [&] { return !(m_strip.GetState() & CDotNetTabCtrl::kStateCanScrollRight); }));
    m_strip.GetItemRect(9, last);
    EXPECT_LE(last.right, areas.items.right);
    EXPECT_GT(last.right, areas.items.right - 40);
    Send(WM_LBUTTONUP, Centre(areas.scrollRight));
    const int end = m_strip.GetScrollOffset();
    CTabTestParent::Pump(100);
    EXPECT_EQ(m_strip.GetScrollOffset(), end);

    // Scrolling left by one step; selecting the first item brings it back into view.
    m_strip.ScrollLeft();
    EXPECT_EQ(m_strip.GetScrollOffset(), end + 40);
    EXPECT_TRUE(m_strip.GetState() & CDotNetTabCtrl::kStateCanScrollLeft);
    m_strip.SetCurSel(0);
    EXPECT_EQ(m_strip.GetScrollOffset(), 0);
    EXPECT_FALSE(m_strip.GetState() & CDotNetTabCtrl::kStateCanScrollLeft);

    // Removing the scroll style resets the offset and the buttons.
    m_strip.ScrollRight();
    SetWindowLongPtrA(m_strip.m_hWnd, GWL_STYLE, GetWindowLongPtrA(m_strip.m_hWnd, GWL_STYLE) & ~kTabStyleScroll);
    EXPECT_EQ(m_strip.GetScrollOffset(), 0);
    EXPECT_TRUE(IsRectEmpty(&m_strip.GetAreas().scrollRight));
}

TEST_F(TabStrip, FitModeSqueezesItemsIntoTheStrip)
{
    Create(kTabStyleToolTips, 200);
    for (int i = 0; i < 6; ++i)
        m_strip.InsertItem(-1, Tab("A rather long tab title"));
    RECT last;
    m_strip.GetItemRect(5, last);
    EXPECT_LE(last.right, 200);
    EXPECT_EQ(m_strip.GetScrollOffset(), 0);
}

TEST_F(TabStrip, CloseButtonAndHotItemAreFoundAtTheirPoints)
{
    Create(kTabStyleCloseButton | kTabStyleHotTrack | kTabStyleToolTips);
    AddTabs({"First", "Second", "Third"});
    const RECT close = m_strip.GetAreas().close;
    ASSERT_FALSE(IsRectEmpty(&close));
    UINT where = 0;
    EXPECT_EQ(m_strip.HitTest(Centre(close), &where), -1);
    EXPECT_EQ(where, static_cast<UINT>(kTabHitCloseButton));
    EXPECT_EQ(m_strip.HitTest(ItemCentre(1), &where), 1);
    EXPECT_EQ(where, static_cast<UINT>(kTabHitItem));

    // Hot tracking follows the pointer over the items.
    Send(WM_MOUSEMOVE, ItemCentre(1));
    EXPECT_EQ(m_strip.GetHotItem(), 1);
    Send(WM_MOUSEMOVE, ItemCentre(2));
    EXPECT_EQ(m_strip.GetHotItem(), 2);
    SendMessageA(m_strip.m_hWnd, WM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(m_strip.GetHotItem(), -1);

    // A press and release on the close button reports the selected item and the release point.
    m_strip.SetCurSel(1);
    m_parent.Clear();
    Send(WM_LBUTTONDOWN, Centre(close), MK_LBUTTON);
    EXPECT_EQ(GetCapture(), m_strip.m_hWnd);
    Send(WM_LBUTTONUP, Centre(close));
    ASSERT_EQ(m_parent.Codes(), std::vector<int>{kTabNotifyClose});
    EXPECT_EQ(m_parent.Notices()[0].first, 1);
    EXPECT_EQ(m_parent.Notices()[0].pt.x, Centre(close).x);
    // Released elsewhere: no close.
    m_parent.Clear();
    Send(WM_LBUTTONDOWN, Centre(close), MK_LBUTTON);
    Send(WM_MOUSEMOVE, ItemCentre(0), MK_LBUTTON);
    Send(WM_LBUTTONUP, ItemCentre(0));
    EXPECT_TRUE(m_parent.Codes().empty());

    // A tab that cannot close has no close button; removing the style removes its hit area.
    m_strip.InsertItem(-1, Tab("Fixed", false), true);
    EXPECT_TRUE(IsRectEmpty(&m_strip.GetAreas().close));
    m_strip.SetCurSel(0);
    EXPECT_FALSE(IsRectEmpty(&m_strip.GetAreas().close));
    SetWindowLongPtrA(m_strip.m_hWnd, GWL_STYLE, GetWindowLongPtrA(m_strip.m_hWnd, GWL_STYLE) & ~kTabStyleCloseButton);
    EXPECT_TRUE(IsRectEmpty(&m_strip.GetAreas().close));
    m_strip.HitTest(Centre(close), &where);
    EXPECT_NE(where, static_cast<UINT>(kTabHitCloseButton));
}

TEST_F(TabStrip, ClicksNotifyAndSelect)
{
    Create(kTabStyleToolTips);
    AddTabs({"A", "B"});
    m_parent.Clear();
    Send(WM_RBUTTONDOWN, ItemCentre(1));
    EXPECT_EQ(m_parent.Describe(), "-5(1,0) -552(0,1) -551(0,1) ");
    m_parent.Answer(NM_CLICK, 1);
    m_parent.Clear();
    Send(WM_LBUTTONDOWN, ItemCentre(0), MK_LBUTTON);
    EXPECT_EQ(m_parent.Describe(), "-2(0,0) ");
    EXPECT_EQ(m_strip.GetCurSel(), 1);
    m_parent.Clear();
    Send(WM_MBUTTONDOWN, POINT{290, 5});
    Send(WM_LBUTTONDBLCLK, ItemCentre(0));
    EXPECT_EQ(m_parent.Describe(), "-574(-1,0) -3(0,0) ");
}

TEST_F(TabStrip, DraggingPastTheNeighboursMiddleReordersTheItems)
{
    Create(kTabStyleDragReorder | kTabStyleToolTips);
    AddTabs({"Alpha", "Beta", "Gamma"});
    RECT beta;
    m_strip.GetItemRect(1, beta);
    const POINT start = ItemCentre(0);
    m_parent.Clear();
    Send(WM_LBUTTONDOWN, start, MK_LBUTTON);
    // A purely vertical motion does not begin the drag.
    Send(WM_MOUSEMOVE, POINT{start.x, start.y + 3}, MK_LBUTTON);
    EXPECT_FALSE(m_strip.IsDragging());
    // Over the neighbour but short of its middle: the drag runs, the order stays.
    Send(WM_MOUSEMOVE, POINT{beta.left + 2, start.y}, MK_LBUTTON);
    EXPECT_TRUE(m_strip.IsDragging());
    EXPECT_EQ(Order(), "Alpha,Beta,Gamma");
    // Past the middle: the two swap and the dragged item stays selected.
    Send(WM_MOUSEMOVE, POINT{beta.right - 2, start.y}, MK_LBUTTON);
    EXPECT_EQ(Order(), "Beta,Alpha,Gamma");
    EXPECT_EQ(m_strip.GetItem(m_strip.GetCurSel())->GetText(), "Alpha");
    Send(WM_LBUTTONUP, POINT{beta.right - 2, start.y});
    EXPECT_FALSE(m_strip.IsDragging());
    EXPECT_NE(GetCapture(), m_strip.m_hWnd);
    EXPECT_EQ(m_parent.Describe(), "-2(0,0) -552(0,0) -551(0,0) -571(0,0) -552(0,1) -551(0,1) -572(0,1) ");

    // Escape during a drag puts the item back and reports the cancellation.
    const POINT second = ItemCentre(1);
    RECT gamma;
    m_strip.GetItemRect(2, gamma);
    Send(WM_LBUTTONDOWN, second, MK_LBUTTON);
    Send(WM_MOUSEMOVE, POINT{gamma.right - 2, second.y}, MK_LBUTTON);
    EXPECT_EQ(Order(), "Beta,Gamma,Alpha");
    m_parent.Clear();
    SendMessageA(m_strip.m_hWnd, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_EQ(Order(), "Beta,Alpha,Gamma");
    EXPECT_EQ(m_parent.Codes().back(), kTabNotifyCancelDrag);
    EXPECT_EQ(m_parent.Notices().back().first, 1);
    EXPECT_FALSE(m_strip.IsDragging());
    Send(WM_LBUTTONUP, second);

    // The parent can refuse a drag.
    m_parent.Answer(kTabNotifyBeginDrag, 1);
    Send(WM_LBUTTONDOWN, ItemCentre(0), MK_LBUTTON);
    Send(WM_MOUSEMOVE, POINT{gamma.right - 2, second.y}, MK_LBUTTON);
    EXPECT_FALSE(m_strip.IsDragging());
    EXPECT_EQ(Order(), "Beta,Alpha,Gamma");
    Send(WM_LBUTTONUP, second);
}

TEST_F(TabStrip, DraggingIntoTheEdgeZoneScrollsWhileTheDragRuns)
{
    Create(kTabStyleScroll | kTabStyleDragReorder | kTabStyleToolTips, 200);
    for (int i = 0; i < 10; ++i)
        m_strip.InsertItem(-1, Tab("A rather long tab title"));
    m_strip.GetItem(0)->SetText("First");
    m_strip.UpdateLayout();
    const POINT start = ItemCentre(0);
    const POINT edge{m_strip.GetAreas().items.right - 5, start.y};
    Send(WM_LBUTTONDOWN, start, MK_LBUTTON);
    Send(WM_MOUSEMOVE, edge, MK_LBUTTON);
    ASSERT_TRUE(m_strip.IsDragging());
    EXPECT_EQ(m_strip.GetScrollOffset(), -40);
    // The edge timer repeats the drag move at the pointer's position every 100 ms.
    POINT screen = edge;
    ClientToScreen(m_strip.m_hWnd, &screen);
    SetCursorPos(screen.x, screen.y);
    EXPECT_TRUE(CTabTestParent::PumpUntil([&] { return m_strip.GetScrollOffset() <= -120; }))
        << m_strip.GetScrollOffset();
    EXPECT_NE(m_strip.GetItem(0)->GetText(), "First");
    // Cancelling puts the item back at the start and scrolls it into view.
    SendMessageA(m_strip.m_hWnd, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_EQ(m_strip.GetItem(0)->GetText(), "First");
    EXPECT_EQ(m_strip.GetScrollOffset(), 0);
    Send(WM_LBUTTONUP, edge);
}

TEST_F(TabStrip, ItemMessagesReadAndSetRecords)
{
    Create(kTabStyleToolTips);
    AddTabs({"A", "B"});
    auto* view = static_cast<CViewTabItem*>(m_strip.GetItem(1));
    view->SetViewWindow(m_parent.Window());
    view->SetToolTip("tip");
    EXPECT_EQ(SendMessageA(m_strip.m_hWnd, 0x1304, 0, 0), 2);

    CViewTabItem record;
    EXPECT_EQ(SendMessageA(m_strip.m_hWnd, 0x1305, 1, reinterpret_cast<LPARAM>(&record)), 1);
    EXPECT_EQ(record.GetText(), "B");
    EXPECT_EQ(record.GetToolTip(), "tip");
    EXPECT_EQ(record.GetViewWindow(), m_parent.Window());

    record.SetText("A much longer text than before");
    record.SetHighlighted(true);
    RECT before;
    m_strip.GetItemRect(1, before);
    EXPECT_EQ(SendMessageA(m_strip.m_hWnd, 0x1306, 1, reinterpret_cast<LPARAM>(&record)), 1);
    EXPECT_EQ(m_strip.GetItem(1)->GetText(), "A much longer text than before");
    EXPECT_TRUE(m_strip.GetItem(1)->IsHighlighted());
    RECT after;
    m_strip.GetItemRect(1, after);
    EXPECT_GT(after.right - after.left, before.right - before.left);  // relaid out

    // Plain records work too; indexes outside the list copy nothing.
    CTabItem plain;
    EXPECT_EQ(SendMessageA(m_strip.m_hWnd, 0x1305, 0, reinterpret_cast<LPARAM>(&plain)), 1);
    EXPECT_EQ(plain.GetText(), "A");
    plain.SetText("unchanged");
    EXPECT_EQ(SendMessageA(m_strip.m_hWnd, 0x1305, 2, reinterpret_cast<LPARAM>(&plain)), 0);
    EXPECT_EQ(SendMessageA(m_strip.m_hWnd, 0x1306, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&plain)), 0);
    EXPECT_EQ(plain.GetText(), "unchanged");

    // A request from another thread carries a pointer the strip cannot trust: nothing is copied.
    CTabItem foreign;
    LRESULT fromThread = -1;
    std::thread sender([&] {
        fromThread = SendMessageA(m_strip.m_hWnd, 0x1305, 0, reinterpret_cast<LPARAM>(&foreign));
    });
    while (fromThread == -1)
        CTabTestParent::Pump(10);
    sender.join();
    EXPECT_EQ(fromThread, 0);
    EXPECT_TRUE(foreign.GetText().empty());

    // FindItem by view window copies the found record.
    CViewTabItem pattern;
    pattern.SetViewWindow(m_parent.Window());
    EXPECT_EQ(m_strip.FindItem(pattern, kTabItemViewWindow), 1);
    EXPECT_EQ(pattern.GetText(), "A much longer text than before");
    EXPECT_EQ(m_strip.FindItem(pattern, kTabItemViewWindow, 1), -1);
}

TEST_F(TabStrip, ToolTipsNameItemsByPosition)
{
    Create(kTabStyleToolTips | kTabStyleScroll | kTabStyleCloseButton);
    AddTabs({"Text only", "With tip"});
    m_strip.GetItem(1)->SetToolTip("The tip");
    HWND tips = m_strip.GetToolTips();
    ASSERT_NE(tips, nullptr);
    // Two item tools and the three button tools.
    EXPECT_EQ(SendMessageA(tips, TTM_GETTOOLCOUNT, 0, 0), 5);
    for (int id : {1, 2}) {
        NMTTDISPINFOA info = {};
        info.hdr.hwndFrom = tips;
        info.hdr.idFrom = id;
        info.hdr.code = TTN_GETDISPINFOA;
        SendMessageA(m_strip.m_hWnd, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&info));
        EXPECT_STREQ(info.lpszText, id == 1 ? "Text only" : "The tip");
    }
    m_strip.DeleteItem(0);
    EXPECT_EQ(SendMessageA(tips, TTM_GETTOOLCOUNT, 0, 0), 4);
}

namespace {
struct CShout : ITabTextTranslator {
    TStdStr<char> Translate(const char* text) override
    {
        TStdStr<char> loud(text);
        loud.MakeUpper();
        return loud;
    }
};

std::string ToolText(HWND tips, HWND strip, int id)
{
    char text[80] = {};
    TOOLINFOA info = {};
    info.cbSize = TTTOOLINFOA_V2_SIZE;
    info.hwnd = strip;
    info.uId = static_cast<UINT_PTR>(static_cast<INT_PTR>(id));
    info.lpszText = text;
    SendMessageA(tips, TTM_GETTEXTA, sizeof(text), reinterpret_cast<LPARAM>(&info));
    return text;
}
}  // namespace

TEST_F(TabStrip, ButtonToolTipsAreTranslatedWhenCreatedAndWhenAddedLater)
{
    CShout shout;
    CScopedTabTextTranslator translator(shout);
    Create(kTabStyleToolTips | kTabStyleScroll);
    HWND tips = m_strip.GetToolTips();
    EXPECT_EQ(ToolText(tips, m_strip.m_hWnd, CDotNetTabCtrl::kToolScrollLeft), "SCROLL LEFT");
    EXPECT_EQ(ToolText(tips, m_strip.m_hWnd, CDotNetTabCtrl::kToolScrollRight), "SCROLL RIGHT");
    // The close style set later brings its tool with the same translation.
    SetWindowLongPtrA(m_strip.m_hWnd, GWL_STYLE, GetWindowLongPtrA(m_strip.m_hWnd, GWL_STYLE) | kTabStyleCloseButton);
    EXPECT_EQ(ToolText(tips, m_strip.m_hWnd, CDotNetTabCtrl::kToolClose), "CLOSE");
}

TEST_F(TabStrip, CustomDrawStagesReachTheParent)
{
    Create(kTabStyleToolTips);
    AddTabs({"A", "B", "C"});
    m_strip.SetCurSel(1);
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 300, 24);
    HGDIOBJ old = SelectObject(dc, bitmap);
    using Stages = std::vector<std::pair<DWORD, int>>;
    // Asking for item notices: every item, unselected ones first, then the post-paint stages.
    m_parent.AnswerCustomDraw(CDRF_NOTIFYITEMDRAW | CDRF_NOTIFYPOSTPAINT, CDRF_NOTIFYPOSTPAINT);
    m_parent.ClearDrawStages();
    SendMessageA(m_strip.m_hWnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    EXPECT_EQ(m_parent.DrawStages(), (Stages{{CDDS_PREPAINT, 0},
                                             {CDDS_ITEMPREPAINT, 0},
                                             {CDDS_ITEMPOSTPAINT, 0},
                                             {CDDS_ITEMPREPAINT, 2},
                                             {CDDS_ITEMPOSTPAINT, 2},
                                             {CDDS_ITEMPREPAINT, 1},
                                             {CDDS_ITEMPOSTPAINT, 1},
                                             {CDDS_POSTPAINT, 0}}));
    // Skipping the default drawing without item notices draws no items at all.
    m_parent.AnswerCustomDraw(CDRF_SKIPDEFAULT, 0);
    m_parent.ClearDrawStages();
    SendMessageA(m_strip.m_hWnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    EXPECT_EQ(m_parent.DrawStages(), (Stages{{CDDS_PREPAINT, 0}}));
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);

    // The strip keeps its own copy of a font it is given.
    LOGFONTA logFont = {};
    logFont.lfHeight = -20;
    lstrcpyA(logFont.lfFaceName, "Tahoma");
    HFONT given = CreateFontIndirectA(&logFont);
    SendMessageA(m_strip.m_hWnd, WM_SETFONT, reinterpret_cast<WPARAM>(given), TRUE);
    DeleteObject(given);
    auto kept = reinterpret_cast<HFONT>(SendMessageA(m_strip.m_hWnd, WM_GETFONT, 0, 0));
    ASSERT_NE(kept, given);
    LOGFONTA copy = {};
    ASSERT_TRUE(GetObjectA(kept, sizeof(copy), &copy));
    EXPECT_EQ(copy.lfHeight, -20);
}

TEST(TabLooks, WindowClassesAndMetrics)
{
    CTabTestParent parent;
    CDotNet2005TabCtrl dotNet2005;
    CButtonTabCtrl button;
    CDotNetButtonTabCtrl dotNetButton;
    ASSERT_TRUE(dotNet2005.Create(parent.Window(), RECT{0, 0, 300, 24}));
    ASSERT_TRUE(button.Create(parent.Window(), RECT{0, 30, 300, 54}));
    ASSERT_TRUE(dotNetButton.Create(parent.Window(), RECT{0, 60, 300, 84}));
    char name[64];
    GetClassNameA(dotNet2005.m_hWnd, name, sizeof(name));
    EXPECT_STREQ(name, "_DotNet2005TabCtrl");
    GetClassNameA(button.m_hWnd, name, sizeof(name));
    EXPECT_STREQ(name, "_ButtonTab");
    GetClassNameA(dotNetButton.m_hWnd, name, sizeof(name));
    EXPECT_STREQ(name, "_DotNetButtonTabCtrl");
    EXPECT_EQ(dotNet2005.MinItemWidth(), 35);
    EXPECT_EQ(button.MinItemWidth(), 22);
    EXPECT_EQ(dotNet2005.GetMetrics().leftExtra, 16);
    EXPECT_EQ(button.GetMetrics().textOffset, 0);

    // The fonts follow the icon-title font; the bold style makes only the selected one bold.
    LOGFONTA iconFont = {};
    ASSERT_TRUE(SystemParametersInfoA(SPI_GETICONTITLELOGFONT, sizeof(iconFont), &iconFont, 0));
    CDotNetTabCtrl bold;
    ASSERT_TRUE(bold.Create(parent.Window(), RECT{0, 90, 300, 114}, kTabStyleBoldSelected));
    LOGFONTA normal = {}, selected = {};
    ASSERT_TRUE(GetObjectA(bold.GetNormalFont(), sizeof(normal), &normal));
    ASSERT_TRUE(GetObjectA(bold.GetSelectedFont(), sizeof(selected), &selected));
    EXPECT_EQ(normal.lfHeight, iconFont.lfHeight);
    EXPECT_STRCASEEQ(normal.lfFaceName, iconFont.lfFaceName);
    EXPECT_NE(normal.lfWeight, FW_BOLD);
    EXPECT_EQ(selected.lfWeight, FW_BOLD);
    EXPECT_EQ(bold.GetMetrics().textOffset, CTabLayout::TextOffset(iconFont.lfHeight));
    // A setting change with the same icon-title font keeps the fonts.
    const HFONT before = bold.GetNormalFont();
    SendMessageA(bold.m_hWnd, WM_SETTINGCHANGE, 0, 0);
    EXPECT_EQ(bold.GetNormalFont(), before);
}
