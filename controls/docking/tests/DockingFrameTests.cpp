// The docking frame with real windows under Wine: panes docked on every side, splitters dragged by
// mouse messages, panes dragged by their captions to float and to dock again, hidden and shown,
// two panes in one tab docking box and one dragged out, and the requests the frame refuses.
#include "controls/docking/tests/DockTestFrame.h"

#include "controls/tests/Screenshot.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

using namespace dock_test;

namespace {

constexpr uint32_t kLeft = kDockFlagLeftRight | kDockFlagStartSide;
constexpr uint32_t kRight = kDockFlagLeftRight;
constexpr uint32_t kTop = kDockFlagStartSide;
constexpr uint32_t kBottom = 0;

class DockingFrame : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_frame = CDockTestFrame::Make(RECT{40, 40, 840, 640});
        ASSERT_NE(nullptr, m_frame);
    }
    void TearDown() override
    {
        if (m_frame)
            m_frame->Destroy();
    }
    CDockingWindow* Pane(const char* caption)
    {
        CDockingWindow* pane = MakePane(*m_frame, caption);
        EXPECT_NE(nullptr, pane);
        return pane;
    }
    RECT Client() const { return m_frame->ClientArea(); }
    RECT HostRect(CDockingWindow& pane) const { return InFrame(m_frame->m_hWnd, pane.Host()); }

    CDockTestFrame* m_frame = nullptr;
};

void ExpectRect(const RECT& expected, const RECT& actual, const char* what)
{
    EXPECT_TRUE(::EqualRect(&expected, &actual))
        << what << ": expected " << expected.left << "," << expected.top << "," << expected.right << "," << expected.bottom
        << " got " << actual.left << "," << actual.top << "," << actual.right << "," << actual.bottom;
}

TEST_F(DockingFrame, PanesDockOnEverySideAroundTheClientWindow)
{
    CDockingWindow* top = Pane("Top");
    CDockingWindow* bottom = Pane("Bottom");
    CDockingWindow* left = Pane("Left");
    CDockingWindow* right = Pane("Right");
    ASSERT_TRUE(DockAt(*top, kTop, 0, 80));
    ASSERT_TRUE(DockAt(*bottom, kBottom, 0, 90));
    ASSERT_TRUE(DockAt(*left, kLeft, 0, 150));
    ASSERT_TRUE(DockAt(*right, kRight, 0, 120));
    const RECT c = Client();
    ExpectRect({0, 0, c.right, 80}, HostRect(*top), "top bar");
    ExpectRect({0, c.bottom - 90, c.right, c.bottom}, HostRect(*bottom), "bottom bar");
    ExpectRect({0, 83, 150, c.bottom - 93}, HostRect(*left), "left bar");
    ExpectRect({c.right - 120, 83, c.right, c.bottom - 93}, HostRect(*right), "right bar");
    ExpectRect({153, 83, c.right - 123, c.bottom - 93}, InFrame(m_frame->m_hWnd, m_frame->m_hWndClient), "client");
    for (CDockingWindow* pane : {top, bottom, left, right}) {
        EXPECT_TRUE(pane->IsDocked());
        EXPECT_TRUE(::IsWindowVisible(pane->m_hWnd));
        EXPECT_EQ(pane->Host(), ::GetParent(pane->m_hWnd));
        EXPECT_EQ(0, pane->GetStyle() & WS_THICKFRAME);
    }
    // Each docked pane answers its caption and close button from its own caption layout.
    const POINT caption = CaptionPoint(*left);
    EXPECT_EQ(HTCAPTION, ::SendMessageA(left->m_hWnd, WM_NCHITTEST, 0, MAKELPARAM(caption.x, caption.y)));
    const RECT window = WindowRect(left->m_hWnd);
    const RECT close = left->CloseButtonRect();
    const POINT onClose = {window.left + (close.left + close.right) / 2, window.top + (close.top + close.bottom) / 2};
    EXPECT_EQ(HTCLOSE, ::SendMessageA(left->m_hWnd, WM_NCHITTEST, 0, MAKELPARAM(onClose.x, onClose.y)));

    // A second pane on the left at half the bar's length shares the bar.
    CDockingWindow* second = Pane("Second");
    ASSERT_TRUE(DockAt(*second, kLeft, 0, 150, 0.5f));
    EXPECT_EQ(left->Host(), second->Host());
    const RECT bar = HostRect(*left);
    const int half = static_cast<int>(std::lround(0.5 * (bar.bottom - bar.top)));
    EXPECT_EQ(bar.top + half, InFrame(m_frame->m_hWnd, second->m_hWnd).top);

    m_frame->UpdateWindow();
    std::string path;
    EXPECT_TRUE(kivo_test::WriteWindowScreenshot(m_frame->m_hWnd, "docking-frame.bmp", path)) << path;
}

// A frame that has no client window (its creation failed, or it is not made yet) still lays out
// its bars: the client's place is left empty, and the layout never takes the client element for
// a package.
TEST_F(DockingFrame, AFrameWithoutAClientWindowStillLaysOutItsBars)
{
    CDockingWindow* left = Pane("Left");
    CDockingWindow* right = Pane("Right");
    ASSERT_TRUE(DockAt(*left, kLeft, 0, 150));
    ASSERT_TRUE(DockAt(*right, kRight, 0, 120));
    ::DestroyWindow(m_frame->m_hWndClient);
    m_frame->m_hWndClient = nullptr;
    m_frame->m_hWndMDIClient = nullptr;
    ::SetWindowPos(m_frame->m_hWnd, nullptr, 0, 0, 700, 500, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    m_frame->UpdateLayout();
    Pump();
    const RECT c = Client();
    ExpectRect({0, 0, 150, c.bottom}, HostRect(*left), "left bar");
    ExpectRect({c.right - 120, 0, c.right, c.bottom}, HostRect(*right), "right bar");
    EXPECT_TRUE(left->IsDocked() && right->IsDocked());
}

// Two panes of one box hidden one after the other: the first one shown again remembers the other
// pane as its place, which is hidden; it docks at the box's place in the frame rather than making
// a floating box around the hidden pane.
TEST_F(DockingFrame, APaneShownAgainAfterItsBoxMateWasHiddenTooDocksWhereTheBoxWas)
{
    CDockingWindow* first = Pane("First");
    CDockingWindow* second = Pane("Second");
    ASSERT_TRUE(DockAt(*first, kLeft, 0, 150));
    second->DockTo(first->m_hWnd, 1);
    ASSERT_TRUE(IsDockingBox(first->Host()));
    ASSERT_EQ(first->Host(), second->Host());
    second->Hide();
    Pump();
    first->Hide();
    Pump();
    ASSERT_FALSE(first->IsVisible());
    ASSERT_FALSE(second->IsVisible());
    second->Show();
    Pump();
    EXPECT_TRUE(second->IsVisible());
    ASSERT_TRUE(second->IsDocked());
    EXPECT_FALSE(IsDockingBox(second->Host()));
    const RECT c = Client();
    ExpectRect({0, 0, 150, c.bottom}, HostRect(*second), "left bar");
    EXPECT_FALSE(first->IsVisible());
}

TEST_F(DockingFrame, SplittersFollowTheMouseWithinTheLimitsAndEscapePutsThemBack)
{
    CDockingWindow* left = Pane("Left");
    CDockingWindow* top = Pane("Top");
    ASSERT_TRUE(DockAt(*left, kLeft, 0, 150));
    ASSERT_TRUE(DockAt(*top, kTop, 0, 80));
    HWND frame = m_frame->m_hWnd;
    auto screen = [frame](int x, int y) {
        POINT point = {x, y};
        ::ClientToScreen(frame, &point);
        return point;
    };
    // The splitter in front of the client window, at x 150..153.
    CInputScript widen;
    widen.Post(frame, WM_LBUTTONDOWN, MK_LBUTTON, screen(151, 300))
        .Post(frame, WM_MOUSEMOVE, MK_LBUTTON, screen(251, 300), CapturesAny())
        .Post(frame, WM_LBUTTONUP, 0, screen(251, 300), CapturesAny());
    ASSERT_TRUE(widen.Run());
    EXPECT_EQ(250, HostRect(*left).right);

    const int minimum = CPackageWindow::PaneMinimum(left->m_hWnd, true);
    CInputScript narrow;
    narrow.Post(frame, WM_LBUTTONDOWN, MK_LBUTTON, screen(251, 300))
        .Post(frame, WM_MOUSEMOVE, MK_LBUTTON, screen(-400, 300), CapturesAny())
        .Post(frame, WM_LBUTTONUP, 0, screen(-400, 300), CapturesAny());
    ASSERT_TRUE(narrow.Run());
    EXPECT_EQ(minimum, HostRect(*left).right);

    // The top bar's splitter: dragged down, then Esc leaves it where it was, in either look.
    const int topBottom = HostRect(*top).bottom;
    CInputScript cancelled;
    cancelled.Post(frame, WM_LBUTTONDOWN, MK_LBUTTON, screen(400, topBottom + 1))
        .Post(frame, WM_MOUSEMOVE, MK_LBUTTON, screen(400, topBottom + 120), CapturesAny())
        .Post(frame, WM_KEYDOWN, VK_ESCAPE, POINT{}, CapturesAny());
    ASSERT_TRUE(cancelled.Run());
    EXPECT_EQ(topBottom, HostRect(*top).bottom);
    const RECT c = Client();
    CInputScript toEnd;
    toEnd.Post(frame, WM_LBUTTONDOWN, MK_LBUTTON, screen(400, topBottom + 1))
        .Post(frame, WM_MOUSEMOVE, MK_LBUTTON, screen(400, c.bottom + 500), CapturesAny())
        .Post(frame, WM_LBUTTONUP, 0, screen(400, c.bottom + 500), CapturesAny());
    ASSERT_TRUE(toEnd.Run());
    // The top bar grows until the rest (the inner package, the left bar's minimum height) is at
    // its minimum.
    const int innerMinimum = CPackageWindow::PaneMinimum(left->m_hWnd, false);
    EXPECT_EQ(c.bottom - innerMinimum - 3, HostRect(*top).bottom);
}

TEST_F(DockingFrame, APaneDraggedByItsCaptionFloatsDocksOnAnotherSideAndComesBackWhereItWasHidden)
{
    CDockingWindow* pane = Pane("Dragged");
    ASSERT_TRUE(DockAt(*pane, kLeft, 0, 150));
    const RECT c = Client();
    HWND frame = m_frame->m_hWnd;
    auto inFrame = [frame](int x, int y) {
        POINT point = {x, y};
        ::ClientToScreen(frame, &point);
        return point;
    };
    HWND self = pane->m_hWnd;
    // Over the middle of the client window no docking is offered: the pane floats there.
    const POINT grab = CaptionPoint(*pane);
    const POINT middle = inFrame(c.right / 2, c.bottom / 2);
    CInputScript toFloat;
    toFloat.Post(self, WM_NCLBUTTONDOWN, HTCAPTION, grab)
        .Post(self, WM_MOUSEMOVE, MK_LBUTTON, middle, Captures(self))
        .Post(self, WM_LBUTTONUP, 0, middle, Captures(self));
    ASSERT_TRUE(toFloat.Run());
    EXPECT_FALSE(pane->IsDocked());
    EXPECT_TRUE(::IsWindowVisible(self));
    EXPECT_EQ(::GetDesktopWindow(), ::GetAncestor(self, GA_PARENT));
    EXPECT_EQ(frame, ::GetWindow(self, GW_OWNER));
    EXPECT_TRUE(pane->GetStyle() & WS_THICKFRAME);
    const RECT floating = WindowRect(self);
    EXPECT_TRUE(::PtInRect(&floating, middle));
    EXPECT_TRUE(::EqualRect(&floating, &pane->FloatingRect()));
    std::string path;
    EXPECT_TRUE(kivo_test::WriteScreenRect(floating, "docking-floating-pane.bmp", path)) << path;

    // Dragged 10 pixels inside the client's right edge: a new bar on the right.
    const RECT now = WindowRect(self);
    const POINT floatGrab = {now.left + 30, now.top + ::GetSystemMetrics(SM_CYSMCAPTION) / 2 + 2};
    const POINT nearRight = inFrame(c.right - 10, c.bottom / 2);
    CInputScript toRight;
    toRight.Post(self, WM_NCLBUTTONDOWN, HTCAPTION, floatGrab)
        .Post(self, WM_MOUSEMOVE, MK_LBUTTON, nearRight, Captures(self))
        .Post(self, WM_LBUTTONUP, 0, nearRight, Captures(self));
    ASSERT_TRUE(toRight.Run());
    ASSERT_TRUE(pane->IsDocked());
    const RECT right = HostRect(*pane);
    EXPECT_EQ(c.right, right.right);
    EXPECT_EQ(0, right.top);
    EXPECT_LT(c.right / 2, right.left);

    // Closed from its caption's button and shown again: the same place.
    CInputScript close;
    const RECT window = WindowRect(self);
    const RECT button = pane->CloseButtonRect();
    const POINT onClose = {window.left + (button.left + button.right) / 2, window.top + (button.top + button.bottom) / 2};
    close.Post(self, WM_NCLBUTTONDOWN, HTCLOSE, onClose).Post(self, WM_LBUTTONUP, 0, onClose, Captures(self));
    ASSERT_TRUE(close.Run());
    ASSERT_TRUE(PumpUntil([&] { return !pane->IsVisible(); }));
    EXPECT_FALSE(pane->IsDocked());
    EXPECT_NE(0u, pane->RememberedDocking().header.host);
    ExpectRect({0, 0, c.right, c.bottom}, InFrame(frame, m_frame->m_hWndClient), "client after the bar left");
    pane->Show();
    Pump();
    ASSERT_TRUE(pane->IsDocked());
    ExpectRect(right, HostRect(*pane), "bar shown again");
}

TEST_F(DockingFrame, ADragWithCtrlHeldNeverDocksAndOneReleasedWhereItBeganChangesNothing)
{
    CDockingWindow* pane = Pane("Ctrl");
    ASSERT_TRUE(DockAt(*pane, kLeft, 0, 150));
    HWND self = pane->m_hWnd;
    const RECT c = Client();
    POINT nearRight = {c.right - 5, c.bottom / 2};
    ::ClientToScreen(m_frame->m_hWnd, &nearRight);
    const RECT before = HostRect(*pane);
    const POINT grab = CaptionPoint(*pane);
    CInputScript stay;
    stay.Post(self, WM_NCLBUTTONDOWN, HTCAPTION, grab).Post(self, WM_LBUTTONUP, 0, grab, Captures(self));
    ASSERT_TRUE(stay.Run());
    ASSERT_TRUE(pane->IsDocked());
    ExpectRect(before, HostRect(*pane), "unchanged");

    CInputScript ctrl;
    ctrl.Post(self, WM_NCLBUTTONDOWN, HTCAPTION, grab)
        .Post(self, WM_MOUSEMOVE, MK_LBUTTON | MK_CONTROL, nearRight, Captures(self))
        .Post(self, WM_LBUTTONUP, MK_CONTROL, nearRight, Captures(self));
    ASSERT_TRUE(ctrl.Run());
    EXPECT_FALSE(pane->IsDocked());
    EXPECT_TRUE(::IsWindowVisible(self));
}

TEST_F(DockingFrame, APaneDroppedOnADockedPanesCaptionMakesATabBoxThatDissolvesWhenOneIsDraggedOut)
{
    CDockingWindow* first = Pane("First");
    CDockingWindow* second = Pane("Second");
    ASSERT_TRUE(DockAt(*first, kLeft, 0, 180));
    second->SetFloatingRect(RECT{500, 300, 700, 500});
    second->Show();
    Pump();
    const RECT bar = HostRect(*first);
    HWND secondWindow = second->m_hWnd;
    const RECT floating = WindowRect(secondWindow);
    const POINT grab = {floating.left + 30, floating.top + ::GetSystemMetrics(SM_CYSMCAPTION) / 2 + 2};
    const POINT onCaption = CaptionPoint(*first);
    CInputScript drop;
    drop.Post(secondWindow, WM_NCLBUTTONDOWN, HTCAPTION, grab)
        .Post(secondWindow, WM_MOUSEMOVE, MK_LBUTTON, onCaption, Captures(secondWindow))
        .Post(secondWindow, WM_LBUTTONUP, 0, onCaption, Captures(secondWindow));
    ASSERT_TRUE(drop.Run());
    HWND boxWindow = first->Host();
    ASSERT_TRUE(IsDockingBox(boxWindow));
    EXPECT_EQ(boxWindow, second->Host());
    // The box took the first pane's place in the bar.
    ExpectRect(bar, InFrame(m_frame->m_hWnd, ::GetParent(boxWindow)), "the bar");
    EXPECT_TRUE(::IsWindowVisible(boxWindow));

    // The box's strip: two tabs, the dropped pane second; clicking a tab switches the panes.
    HWND strip = ::GetDlgItem(boxWindow, CTabDockingBox::kStripId);
    ASSERT_NE(nullptr, strip);
    ASSERT_EQ(2, ::SendMessageA(strip, kTabMsgGetItemCount, 0, 0));
    CViewTabItem item;
    ::SendMessageA(strip, kTabMsgGetItem, 1, reinterpret_cast<LPARAM>(&item));
    EXPECT_STREQ("Second", item.GetText().c_str());
    EXPECT_EQ(secondWindow, item.GetViewWindow());
    EXPECT_EQ(boxWindow, ::GetParent(secondWindow));
    EXPECT_TRUE(::IsWindowVisible(first->m_hWnd));
    EXPECT_FALSE(::IsWindowVisible(secondWindow));

    RECT stripRect = WindowRect(strip);
    const int stripHeight = stripRect.bottom - stripRect.top;
    EXPECT_EQ(stripRect.bottom, WindowRect(boxWindow).bottom);
    EXPECT_GE(stripHeight, 24);
    // The middle of the second tab, from its record.
    const RECT tab = item.GetRect();
    POINT onSecondTab = {(tab.left + tab.right) / 2, (tab.top + tab.bottom) / 2};
    ::ClientToScreen(strip, &onSecondTab);
    CInputScript click;
    click.Post(strip, WM_LBUTTONDOWN, MK_LBUTTON, onSecondTab).Post(strip, WM_LBUTTONUP, 0, onSecondTab, Captures(strip));
    ASSERT_TRUE(click.Run());
    EXPECT_FALSE(::IsWindowVisible(first->m_hWnd));
    EXPECT_TRUE(::IsWindowVisible(secondWindow));
    char title[64] = {};
    ::GetWindowTextA(boxWindow, title, sizeof(title));
    EXPECT_STREQ("Second", title);
    m_frame->UpdateWindow();
    std::string path;
    EXPECT_TRUE(kivo_test::WriteWindowScreenshot(m_frame->m_hWnd, "docking-tab-box.bmp", path)) << path;

    // The shown tab dragged off the strip leaves the box through its own caption drag.
    const RECT c = Client();
    POINT away = {c.right / 2, c.bottom / 2};
    ::ClientToScreen(m_frame->m_hWnd, &away);
    const POINT offStrip = {onSecondTab.x, stripRect.top - 200};
    CInputScript out;
    out.Post(strip, WM_LBUTTONDOWN, MK_LBUTTON, onSecondTab)
        .Post(strip, WM_MOUSEMOVE, MK_LBUTTON, offStrip, Captures(strip))
        .Post(secondWindow, WM_MOUSEMOVE, MK_LBUTTON, away, Captures(secondWindow))
        .Post(secondWindow, WM_LBUTTONUP, 0, away, Captures(secondWindow));
    ASSERT_TRUE(out.Run());
    ASSERT_TRUE(PumpUntil([&] { return !::IsWindow(boxWindow); }));
    EXPECT_FALSE(second->IsDocked());
    EXPECT_TRUE(::IsWindowVisible(secondWindow));
    // The first pane took the box's place in the bar again, with its own caption.
    ASSERT_TRUE(first->IsDocked());
    EXPECT_FALSE(IsDockingBox(first->Host()) && first->Host() != first->m_hWnd);
    ExpectRect(bar, HostRect(*first), "the bar after the box went");
    EXPECT_TRUE(first->GetStyle() & WS_CAPTION);
    EXPECT_TRUE(::IsWindowVisible(first->m_hWnd));
}

TEST_F(DockingFrame, TabsOfABoxAreReorderedByDraggingOnceWithoutSwappingBack)
{
    CDockingWindow* first = Pane("First pane with a long caption");
    CDockingWindow* second = Pane("Two");
    ASSERT_TRUE(DockAt(*first, kLeft, 0, 300));
    second->DockTo(first->m_hWnd, 1);
    Pump();
    HWND box = first->Host();
    ASSERT_TRUE(IsDockingBox(box));
    HWND strip = ::GetDlgItem(box, CTabDockingBox::kStripId);
    auto tabRect = [strip](int index) {
        CViewTabItem item;
        ::SendMessageA(strip, kTabMsgGetItem, index, reinterpret_cast<LPARAM>(&item));
        RECT r = item.GetRect();
        ::MapWindowPoints(strip, nullptr, reinterpret_cast<POINT*>(&r), 2);
        return r;
    };
    auto tabWindow = [strip](int index) {
        CViewTabItem item;
        ::SendMessageA(strip, kTabMsgGetItem, index, reinterpret_cast<LPARAM>(&item));
        return item.GetViewWindow();
    };
    // The short second tab dragged onto the long first one: swapped once it reaches the part it
    // will cover; moving back a little (less than the neighbour's width) swaps nothing.
    const RECT one = tabRect(0);
    const RECT two = tabRect(1);
    const int y = (two.top + two.bottom) / 2;
    const POINT start = {(two.left + two.right) / 2, y};
    const POINT onFirst = {one.left + 3, y};
    const POINT back = {one.left + 3 + (one.right - one.left) / 3, y};
    CInputScript drag;
    drag.Post(strip, WM_LBUTTONDOWN, MK_LBUTTON, start)
        .Post(strip, WM_MOUSEMOVE, MK_LBUTTON, POINT{start.x - 6, y}, Captures(strip))
        .Post(strip, WM_MOUSEMOVE, MK_LBUTTON, onFirst, Captures(strip))
        .Post(strip, WM_MOUSEMOVE, MK_LBUTTON, back, Captures(strip))
        .Post(strip, WM_LBUTTONUP, 0, back, Captures(strip));
    ASSERT_TRUE(drag.Run());
    EXPECT_EQ(second->m_hWnd, tabWindow(0));
    EXPECT_EQ(first->m_hWnd, tabWindow(1));
    EXPECT_TRUE(::IsWindowVisible(second->m_hWnd));
    EXPECT_TRUE(::IsWindow(box));
}

TEST_F(DockingFrame, APaneDroppedOnABoxJoinsAtTheTabUnderTheCursorOrLastOnTheBoxCaption)
{
    CDockingWindow* first = Pane("First");
    CDockingWindow* second = Pane("Second");
    CDockingWindow* third = Pane("Third");
    CDockingWindow* fourth = Pane("Fourth");
    ASSERT_TRUE(DockAt(*first, kLeft, 0, 320));
    second->DockTo(first->m_hWnd, 1);
    Pump();
    HWND box = first->Host();
    ASSERT_TRUE(IsDockingBox(box));
    HWND strip = ::GetDlgItem(box, CTabDockingBox::kStripId);
    auto tabWindow = [strip](int index) {
        CViewTabItem item;
        ::SendMessageA(strip, kTabMsgGetItem, index, reinterpret_cast<LPARAM>(&item));
        return item.GetViewWindow();
    };
    CViewTabItem secondTab;
    ::SendMessageA(strip, kTabMsgGetItem, 1, reinterpret_cast<LPARAM>(&secondTab));
    RECT tab = secondTab.GetRect();
    ::MapWindowPoints(strip, nullptr, reinterpret_cast<POINT*>(&tab), 2);
    const POINT overSecond = {(tab.left + tab.right) / 2, (tab.top + tab.bottom) / 2};

    for (CDockingWindow* pane : {third, fourth}) {
        pane->SetFloatingRect(RECT{560, 300, 760, 500});
        pane->Show();
    }
    Pump();
    auto dropAt = [&](CDockingWindow& pane, POINT target) {
        HWND self = pane.m_hWnd;
        const RECT floating = WindowRect(self);
        const POINT grab = {floating.left + 30, floating.top + ::GetSystemMetrics(SM_CYSMCAPTION) / 2 + 2};
        CInputScript drop;
        drop.Post(self, WM_NCLBUTTONDOWN, HTCAPTION, grab)
            .Post(self, WM_MOUSEMOVE, MK_LBUTTON, target, Captures(self))
            .Post(self, WM_MOUSEMOVE, MK_LBUTTON, POINT{target.x + 1, target.y}, Captures(self))
            .Post(self, WM_LBUTTONUP, 0, POINT{target.x + 1, target.y}, Captures(self));
        return drop.Run();
    };
    // Over the second tab: the preview tab takes its place, and so does the pane.
    ASSERT_TRUE(dropAt(*third, overSecond));
    ASSERT_EQ(3, ::SendMessageA(strip, kTabMsgGetItemCount, 0, 0));
    EXPECT_EQ(third->m_hWnd, tabWindow(1));
    EXPECT_EQ(second->m_hWnd, tabWindow(2));
    // On the box's caption: the last tab.
    const RECT boxWindow = WindowRect(box);
    const POINT onCaption = {boxWindow.left + 20, boxWindow.top + 4};
    ASSERT_EQ(HTCAPTION, ::SendMessageA(box, WM_NCHITTEST, 0, MAKELPARAM(onCaption.x, onCaption.y)));
    ASSERT_TRUE(dropAt(*fourth, onCaption));
    ASSERT_EQ(4, ::SendMessageA(strip, kTabMsgGetItemCount, 0, 0));
    EXPECT_EQ(fourth->m_hWnd, tabWindow(3));
    EXPECT_EQ(box, fourth->Host());
    // The temporary tabs are gone and the first pane is still the one shown.
    EXPECT_TRUE(::IsWindowVisible(first->m_hWnd));
}

TEST_F(DockingFrame, ABoxDroppedOnAnotherBoxMovesItsPanesOverAndCloses)
{
    CDockingWindow* a = Pane("A");
    CDockingWindow* b = Pane("B");
    CDockingWindow* c = Pane("C");
    CDockingWindow* d = Pane("D");
    ASSERT_TRUE(DockAt(*a, kLeft, 0, 300));
    b->DockTo(a->m_hWnd, 1);
    c->SetFloatingRect(RECT{560, 300, 800, 520});
    c->Show();
    Pump();
    d->DockTo(c->m_hWnd, 1);
    Pump();
    HWND docked = a->Host();
    HWND floating = c->Host();
    ASSERT_TRUE(IsDockingBox(docked));
    ASSERT_TRUE(IsDockingBox(floating));
    ASSERT_NE(docked, floating);
    d->Show();  // the floating box shows D
    Pump();

    const RECT from = WindowRect(floating);
    const POINT grab = {from.left + 30, from.top + ::GetSystemMetrics(SM_CYSMCAPTION) / 2 + 2};
    const RECT to = WindowRect(docked);
    const POINT onCaption = {to.left + 20, to.top + 4};
    CInputScript merge;
    merge.Post(floating, WM_NCLBUTTONDOWN, HTCAPTION, grab)
        .Post(floating, WM_MOUSEMOVE, MK_LBUTTON, onCaption, Captures(floating))
        .Post(floating, WM_LBUTTONUP, 0, onCaption, Captures(floating));
    ASSERT_TRUE(merge.Run());
    ASSERT_TRUE(PumpUntil([&] { return !::IsWindow(floating); }));
    HWND strip = ::GetDlgItem(docked, CTabDockingBox::kStripId);
    EXPECT_EQ(4, ::SendMessageA(strip, kTabMsgGetItemCount, 0, 0));
    for (CDockingWindow* pane : {a, b, c, d})
        EXPECT_EQ(docked, pane->Host());
    // The dropped box's shown pane is shown in the box it joined.
    EXPECT_TRUE(::IsWindowVisible(d->m_hWnd));
}

TEST_F(DockingFrame, AVerticalCaptionRunsDownTheLeftSideWithTheCloseButtonOnTop)
{
    HWND content = ::CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, m_frame->m_hWnd, nullptr,
                                     ::GetModuleHandleA(nullptr), nullptr);
    CDockingWindow* pane = CDockingWindow::CreatePane(m_frame->m_hWnd, content, "Vertical", nullptr, true, true);
    ASSERT_NE(nullptr, pane);
    ASSERT_TRUE(DockAt(*pane, kTop, 0, 120));
    const int thickness = pane->CaptionThickness();
    const RECT window = WindowRect(pane->m_hWnd);
    const RECT caption = pane->CaptionRect();
    EXPECT_EQ(thickness, caption.right);
    EXPECT_EQ(window.bottom - window.top, caption.bottom);
    const RECT close = pane->CloseButtonRect();
    EXPECT_EQ(2, close.top);
    EXPECT_EQ(close.right - close.left, close.bottom - close.top);
    POINT clientOrigin = {0, 0};
    ::ClientToScreen(pane->m_hWnd, &clientOrigin);
    EXPECT_EQ(window.left + thickness, clientOrigin.x);
    EXPECT_EQ(window.top, clientOrigin.y);
    const LPARAM onStrip = MAKELPARAM(window.left + thickness / 2, window.top + (window.bottom - window.top) / 2);
    EXPECT_EQ(HTCAPTION, ::SendMessageA(pane->m_hWnd, WM_NCHITTEST, 0, onStrip));
    // The bordered content sits one pixel inside the client area.
    EXPECT_EQ(clientOrigin.x + 1, WindowRect(content).left);
    // The close glyph: two lines below a 16-pixel small caption, the Marlett glyph from 16 on.
    EXPECT_TRUE(CDockingWindow::CloseGlyphIsLines(15));
    EXPECT_FALSE(CDockingWindow::CloseGlyphIsLines(16));
}

TEST_F(DockingFrame, TheFocusHookKeepsTheWindowThatLastHadTheFocusInEachDockedPane)
{
    CDockingWindow* pane = Pane("Focus");
    ASSERT_TRUE(DockAt(*pane, kLeft, 0, 150));
    m_frame->SetActiveWindow();
    ::SetFocus(pane->Content());
    Pump();
    EXPECT_EQ(pane->Content(), m_frame->m_docking.LastFocusIn(pane->m_hWnd));
    ::SetFocus(m_frame->m_hWndClient);
    Pump();
    EXPECT_EQ(pane->Content(), m_frame->m_docking.LastFocusIn(pane->m_hWnd));
    // A window that goes leaves no entry behind.
    ::DestroyWindow(pane->Content());
    EXPECT_EQ(nullptr, m_frame->m_docking.LastFocusIn(pane->m_hWnd));
}

TEST_F(DockingFrame, RequestsThatAreNotThisThreadsOwnRecordsAreRefused)
{
    CDockingWindow* pane = Pane("Guarded");
    ASSERT_TRUE(DockAt(*pane, kLeft, 0, 150));
    // A record the frame is handed directly (as a common control's WM_USER + 1 would be, or a
    // pointer from another process) is not a docking request.
    CDockPositionRecord forged;
    forged.header.pane = DockHandleField(pane->m_hWnd);
    forged.header.code = kDockSetPosition;
    forged.flags = kRight;
    forged.barThickness = 100;
    EXPECT_EQ(0, ::SendMessageA(m_frame->m_hWnd, kDockMsgRequest, 0, reinterpret_cast<LPARAM>(&forged)));
    EXPECT_EQ(0, ::SendMessageA(pane->Host(), kDockMsgRequest, 0, reinterpret_cast<LPARAM>(&forged)));
    EXPECT_EQ(0, ::SendMessageA(pane->m_hWnd, GetDockingBoxMessage(), 0, reinterpret_cast<LPARAM>(&forged)));
    EXPECT_EQ(0, ::SendMessageA(pane->m_hWnd, GetDockingBoxMessage(), 0, 0x1234));
    EXPECT_EQ(150, HostRect(*pane).right);
    // A record too small for its code is refused as well.
    CDockHeader small;
    small.pane = DockHandleField(pane->m_hWnd);
    small.code = kDockGetPosition;
    EXPECT_EQ(0, SendDockRequest(pane->Host(), kDockMsgRequest, small, sizeof(small)));
    // A bar is never closed from outside: its panes would go with it.
    ::SendMessageA(pane->Host(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(::IsWindow(pane->m_hWnd));
    EXPECT_TRUE(pane->IsDocked());
}

TEST_F(DockingFrame, TheFramesClampKeepsADraggedPaneToAThirdOfTheClient)
{
    CDockingWindow* pane = Pane("Clamped");
    CDockDragRecord record;
    record.header.pane = DockHandleField(pane->m_hWnd);
    record.header.code = kDockClampDrag;
    SetDockRect(record, RECT{10, 10, 2010, 2010});
    ASSERT_EQ(1, SendDockRequest(m_frame->m_hWnd, kDockMsgRequest, record));
    const RECT c = Client();
    EXPECT_EQ(10 + c.right / 3, record.right);
    EXPECT_EQ(10 + c.bottom / 3, record.bottom);
    // Over the client window the frame offers no docking; 17 pixels outside its left edge, a bar.
    POINT middle = {c.right / 2, c.bottom / 2};
    ::ClientToScreen(m_frame->m_hWnd, &middle);
    record.header.code = kDockAccept;
    SetDockRect(record, RECT{middle.x, middle.y, middle.x + 100, middle.y + 100});
    EXPECT_EQ(0, SendDockRequest(m_frame->m_hWnd, kDockMsgRequest, record));
    POINT outside = {-17, c.bottom / 2};
    ::ClientToScreen(m_frame->m_hWnd, &outside);
    SetDockRect(record, RECT{outside.x, outside.y, outside.x + 100, outside.y + 100});
    EXPECT_EQ(1, SendDockRequest(m_frame->m_hWnd, kDockMsgRequest, record));
    EXPECT_EQ(DockHandleField(m_frame->m_hWnd), record.header.host);
    EXPECT_TRUE(record.flags & kDockFlagInnerAccepted);
}

}  // namespace
