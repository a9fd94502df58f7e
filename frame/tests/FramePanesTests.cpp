// The frame's side panels as docking windows of the frame: where they dock by default, how the
// frame's commands show and hide them, and their layout kept for the next run.
#include "frame/FramePanes.h"
#include "frame/MainFrame.h"

#include "frame/tests/FrameTestSupport.h"

#include "controls/docking/DockingRecord.h"
#include "controls/docking/DockingState.h"
#include "controls/docking/DockingWindow.h"
#include "core/app/Settings.h"
#include "core/app/SettingsStore.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace frame_test;

namespace {

constexpr const char* kBarClass = "CPackageWindowFrame::CPackageWindow";

void Command(HWND frame, UINT id)
{
    ::SendMessageA(frame, WM_COMMAND, MAKEWPARAM(id, 0), 0);
}

std::string ClassOf(HWND window)
{
    char name[64] = {};
    ::GetClassNameA(window, name, static_cast<int>(sizeof(name)));
    return name;
}

// The window's rectangle in the frame's client coordinates.
RECT InFrame(HWND frame, HWND window)
{
    RECT rect = {};
    ::GetWindowRect(window, &rect);
    ::MapWindowPoints(nullptr, frame, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

// The bar a pane is docked in: its host, or the host of the box it is a tab of.
HWND BarOf(CDockingWindow& pane)
{
    HWND host = pane.Host();
    if (host && ClassOf(host) != kBarClass)
        host = ::GetParent(host);
    return host && ClassOf(host) == kBarClass ? host : nullptr;
}

class FramePanesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetFrameSettings();
        ResetFrameLayout();
        // A later run: the first run's start hides the panels.
        GetSettings()->RunCount.value = 5;
    }
    void TearDown() override
    {
        ResetFrameSettings();
        ResetFrameLayout();
    }
};

} // namespace

TEST_F(FramePanesTest, TheSidePanelsDockAtTheLeftAsTabsOfOneBox)
{
    CTestFrame test;
    test.RunAfterCreate();
    ASSERT_TRUE(test.Window());
    CFramePanes& panes = test.Frame().GetPanes();
    ASSERT_EQ(panes.GetCount(), 4);
    CDockingWindow* first = panes.GetPane(0);
    ASSERT_TRUE(first);
    HWND box = first->Host();
    ASSERT_TRUE(IsDockingBox(box));
    EXPECT_NE(box, first->m_hWnd);
    for (int i = 0; i < panes.GetCount(); ++i) {
        CDockingWindow* pane = panes.GetPane(i);
        ASSERT_TRUE(pane) << i;
        EXPECT_TRUE(pane->IsDocked()) << i;
        EXPECT_TRUE(pane->IsVisible()) << i;  // in the shown box
        EXPECT_EQ(pane->Host(), box) << i;
        EXPECT_EQ(::GetParent(panes.GetContent(i)), pane->m_hWnd) << i;
        EXPECT_EQ(::GetWindowLongPtrA(panes.GetContent(i), GWL_EXSTYLE) & WS_EX_CLIENTEDGE, 0) << i;
        char caption[64] = {};
        ::GetWindowTextA(pane->m_hWnd, caption, static_cast<int>(sizeof(caption)));
        EXPECT_STREQ(caption, panes.GetCaption(i).c_str());
    }
    // One tab of the box shows; a command for another tab shows that one instead.
    int shown = -1;
    for (int i = 0; i < panes.GetCount(); ++i) {
        if (panes.IsVisible(i)) {
            EXPECT_EQ(shown, -1) << i;
            shown = i;
        }
    }
    ASSERT_GE(shown, 0);
    const int other = shown == 0 ? 1 : 0;
    Command(test.Window(), ID_FRAME_PANE_FIRST + other);
    EXPECT_TRUE(panes.IsVisible(other));
    EXPECT_FALSE(panes.IsVisible(shown));
    EXPECT_TRUE(::IsWindowVisible(panes.GetContent(other)));
    EXPECT_EQ(panes.GetPane(shown)->Host(), box);
    // The box fills a bar of its own at the frame's left, 250 pixels wide; the tabs begin beside it.
    HWND bar = BarOf(*first);
    ASSERT_TRUE(bar);
    EXPECT_EQ(::GetParent(bar), test.Window());
    const RECT place = InFrame(test.Window(), bar);
    EXPECT_EQ(place.left, 0);
    EXPECT_EQ(place.right - place.left, CFramePanes::kDefaultWidth);
    const RECT client = InFrame(test.Window(), test.Frame().m_hWndClient);
    EXPECT_EQ(client.left, place.right + 3);
    EXPECT_EQ(client.bottom, place.bottom);
}

TEST_F(FramePanesTest, TheFramesCommandsShowHideAndToggleThePanesWhereTheyDock)
{
    CTestFrame test;
    test.RunAfterCreate();
    HWND frame = test.Window();
    CFramePanes& panes = test.Frame().GetPanes();
    ASSERT_EQ(panes.GetCount(), 4);

    Command(frame, ID_FRAME_HIDE_ALL_PANES);
    for (int i = 0; i < panes.GetCount(); ++i) {
        EXPECT_FALSE(panes.IsVisible(i)) << i;
        EXPECT_FALSE(::IsWindowVisible(panes.GetContent(i))) << i;
    }
    // No bar is left: the tabs take the whole width.
    EXPECT_EQ(InFrame(frame, test.Frame().m_hWndClient).left, 0);

    Command(frame, ID_FRAME_PANE_FIRST + 1);
    CDockingWindow* history = panes.GetPane(1);
    ASSERT_TRUE(history);
    EXPECT_TRUE(panes.IsVisible(1));
    EXPECT_FALSE(panes.IsVisible(0));
    EXPECT_TRUE(history->IsDocked());
    EXPECT_TRUE(::IsWindowVisible(panes.GetContent(1)));
    HWND bar = BarOf(*history);
    ASSERT_TRUE(bar);
    EXPECT_EQ(InFrame(frame, bar).left, 0);
    EXPECT_EQ(InFrame(frame, bar).right, CFramePanes::kDefaultWidth);

    Command(frame, ID_FRAME_PANE_FIRST + 1);
    EXPECT_FALSE(panes.IsVisible(1));
    EXPECT_FALSE(::IsWindowVisible(panes.GetContent(1)));
    EXPECT_EQ(InFrame(frame, test.Frame().m_hWndClient).left, 0);

    // Every pane comes back docked, again in one place.
    Command(frame, ID_FRAME_SHOW_ALL_PANES);
    HWND place = nullptr;
    for (int i = 0; i < panes.GetCount(); ++i) {
        ASSERT_TRUE(panes.GetPane(i)) << i;
        EXPECT_TRUE(panes.GetPane(i)->IsVisible()) << i;
        EXPECT_TRUE(panes.GetPane(i)->IsDocked()) << i;
        if (!place)
            place = BarOf(*panes.GetPane(i));
        EXPECT_EQ(BarOf(*panes.GetPane(i)), place) << i;
    }
    // An index without a pane changes nothing.
    EXPECT_FALSE(panes.Toggle(panes.GetCount()));
    EXPECT_FALSE(panes.Toggle(-1));
}

TEST_F(FramePanesTest, ThePanesLayoutComesBackInTheNextRunsFrame)
{
    {
        CTestFrame test;
    test.RunAfterCreate();
        CFramePanes& panes = test.Frame().GetPanes();
        ASSERT_EQ(panes.GetCount(), 4);
        // The Popup Blocker leaves the box for a bar of its own at the right, the Ad-Filter is hidden.
        ASSERT_TRUE(panes.GetPane(2));
        ASSERT_TRUE(panes.GetPane(2)->DockAtSide(kDockFlagLeftRight, 0, 180));
        panes.Show(3, false);
        ASSERT_FALSE(panes.IsVisible(3));
        // Favorites is the shown tab of the box at the left (History, after it, is not).
        panes.Show(1, true);
        panes.Show(0, true);
        ASSERT_TRUE(::IsWindowVisible(panes.GetContent(0)));
        ASSERT_FALSE(::IsWindowVisible(panes.GetContent(1)));
        test.Close();
        EXPECT_EQ(TakeQuitCode(), 1);
    }
    // One record of 60 bytes per pane, named by the pane's id.
    CSettingsStore* store = GetSettingsStore();
    ASSERT_TRUE(store);
    for (int32_t id = -1; id >= -4; --id) {
        std::vector<BYTE> bytes;
        EXPECT_TRUE(store->GetBinary(CDockingState::kPanesSection, CDockingState::IdName(id).c_str(), bytes)) << id;
        EXPECT_EQ(bytes.size(), kDockRecordBytes) << id;
    }

    CTestFrame test;
    test.RunAfterCreate();
    HWND frame = test.Window();
    CFramePanes& panes = test.Frame().GetPanes();
    ASSERT_EQ(panes.GetCount(), 4);
    RECT client = {};
    ::GetClientRect(frame, &client);
    CDockingWindow* blocker = panes.GetPane(2);
    ASSERT_TRUE(blocker);
    EXPECT_TRUE(blocker->IsDocked());
    EXPECT_TRUE(panes.IsVisible(2));
    HWND right = BarOf(*blocker);
    ASSERT_TRUE(right);
    EXPECT_EQ(InFrame(frame, right).right, client.right);
    EXPECT_EQ(InFrame(frame, right).right - InFrame(frame, right).left, 180);
    // Favorites and History are tabs of one box at the left again.
    ASSERT_TRUE(panes.GetPane(0) && panes.GetPane(1));
    EXPECT_TRUE(panes.IsVisible(0));
    EXPECT_FALSE(panes.IsVisible(1));
    EXPECT_TRUE(panes.GetPane(1)->IsVisible());
    EXPECT_TRUE(IsDockingBox(panes.GetPane(0)->Host()));
    EXPECT_EQ(panes.GetPane(0)->Host(), panes.GetPane(1)->Host());
    EXPECT_TRUE(::IsWindowVisible(panes.GetContent(0)));
    EXPECT_FALSE(::IsWindowVisible(panes.GetContent(1)));
    HWND left = BarOf(*panes.GetPane(0));
    ASSERT_TRUE(left);
    EXPECT_EQ(InFrame(frame, left).left, 0);
    EXPECT_EQ(InFrame(frame, left).right, CFramePanes::kDefaultWidth);
    EXPECT_FALSE(panes.IsVisible(3));
    // The hidden pane is shown where it was: in the left box.
    panes.Show(3, true);
    ASSERT_TRUE(panes.GetPane(3));
    EXPECT_TRUE(panes.GetPane(3)->IsVisible());
    EXPECT_TRUE(panes.GetPane(3)->IsDocked());
    EXPECT_EQ(BarOf(*panes.GetPane(3)), left);
}

// A pane that cannot be made keeps its place in the list: the panes after it keep their indexes,
// and so their commands.
TEST(FramePanesList, APaneThatCannotBeMadeKeepsItsPlace)
{
    CFramePanes panes;
    EXPECT_EQ(panes.AddDockingPane(nullptr, "First", nullptr), 0);
    EXPECT_EQ(panes.AddDockingPane(nullptr, "Second", nullptr), 1);
    ASSERT_EQ(panes.GetCount(), 2);
    EXPECT_STREQ(panes.GetCaption(1).c_str(), "Second");
    EXPECT_EQ(panes.GetPane(0), nullptr);
    EXPECT_EQ(panes.GetPaneWindow(1), nullptr);
    EXPECT_FALSE(panes.IsVisible(0));
    EXPECT_TRUE(panes.Toggle(1));
    EXPECT_FALSE(panes.IsVisible(1));
    panes.ShowAll();
    panes.SaveState();
    panes.LoadState();
    EXPECT_FALSE(panes.IsVisible(0));
}
