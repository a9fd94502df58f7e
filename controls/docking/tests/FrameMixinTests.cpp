// The frame mix-ins in a real MDI frame: the window arrangement and close commands, menu items
// brought up to date before they show (also when the update removes items), and the old mouse
// drivers' wheel message forwarded as WM_MOUSEWHEEL.
#include "controls/docking/tests/DockTestFrame.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

using namespace dock_test;

namespace {

class FrameMixins : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_frame = CDockTestFrame::Make(RECT{60, 60, 860, 660});
        ASSERT_NE(nullptr, m_frame);
        ClosedChildren().clear();
        WheeledChildren().clear();
    }
    void TearDown() override
    {
        if (m_frame)
            m_frame->Destroy();
    }
    std::vector<HWND> Children(int count)
    {
        std::vector<HWND> children;
        for (int i = 0; i < count; ++i) {
            children.push_back(m_frame->AddMdiChild("child"));
            EXPECT_NE(nullptr, children.back());
        }
        Pump();
        return children;
    }
    void Command(UINT id)
    {
        m_frame->SendMessage(WM_COMMAND, MAKEWPARAM(id, 0), 0);
        Pump();
    }
    RECT ChildRect(HWND child) { return InFrame(m_frame->m_hWndMDIClient, child); }

    CDockTestFrame* m_frame = nullptr;
};

TEST_F(FrameMixins, TileCascadeAndArrangeMoveTheChildren)
{
    const std::vector<HWND> children = Children(3);
    Command(kCmdWindowTileVertical);
    const RECT a = ChildRect(children[0]);
    const RECT b = ChildRect(children[1]);
    const RECT c = ChildRect(children[2]);
    EXPECT_EQ(a.top, b.top);
    EXPECT_EQ(b.top, c.top);
    EXPECT_NE(a.left, b.left);
    EXPECT_NE(b.left, c.left);

    Command(kCmdWindowTileHorizontal);
    EXPECT_EQ(ChildRect(children[0]).left, ChildRect(children[1]).left);
    EXPECT_NE(ChildRect(children[0]).top, ChildRect(children[1]).top);

    Command(kCmdWindowCascade);
    std::vector<LONG> tops;
    for (HWND child : children)
        tops.push_back(ChildRect(child).top);
    std::sort(tops.begin(), tops.end());
    EXPECT_LT(tops[0], tops[1]);
    EXPECT_LT(tops[1], tops[2]);

    // Arranging puts the minimised children in a row at the client's bottom.
    ::ShowWindow(children[0], SW_MINIMIZE);
    ::ShowWindow(children[1], SW_MINIMIZE);
    ::SetWindowPos(children[0], nullptr, 300, 10, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    Command(kCmdWindowArrange);
    RECT client = {};
    ::GetClientRect(m_frame->m_hWndMDIClient, &client);
    EXPECT_EQ(ChildRect(children[0]).top, ChildRect(children[1]).top);
    EXPECT_GT(ChildRect(children[0]).top, client.bottom / 2);
}

TEST_F(FrameMixins, CloseAllClosesEveryChildTheActiveOneLastAndCloseOthersSparesIt)
{
    const std::vector<HWND> children = Children(3);
    HWND active = reinterpret_cast<HWND>(::SendMessageA(m_frame->m_hWndMDIClient, WM_MDIGETACTIVE, 0, 0));
    ASSERT_NE(nullptr, active);
    Command(kCmdCloseAllWindows);
    ASSERT_EQ(3u, ClosedChildren().size());
    EXPECT_EQ(active, ClosedChildren().back());
    for (HWND child : children)
        EXPECT_FALSE(::IsWindow(child));

    ClosedChildren().clear();
    const std::vector<HWND> one = Children(1);
    Command(kCmdCloseOtherWindows);
    EXPECT_TRUE(ClosedChildren().empty());
    EXPECT_TRUE(::IsWindow(one[0]));

    const std::vector<HWND> more = Children(2);
    HWND kept = reinterpret_cast<HWND>(::SendMessageA(m_frame->m_hWndMDIClient, WM_MDIGETACTIVE, 0, 0));
    Command(kCmdCloseOtherWindows);
    EXPECT_EQ(2u, ClosedChildren().size());
    EXPECT_TRUE(::IsWindow(kept));
    EXPECT_EQ(ClosedChildren().end(), std::find(ClosedChildren().begin(), ClosedChildren().end(), kept));
}

TEST_F(FrameMixins, EveryMenuItemIsUpdatedOnceBeforeItShowsAlsoWhenTheUpdateRemovesItems)
{
    struct Case {
        const char* what;
        UINT removeAt;                  // the update of this id removes two items...
        std::vector<UINT> removeIds;    // ...these
        std::vector<UINT> expected;     // the ids updated, in order
    };
    const Case cases[] = {
        {"nothing removed", 0, {}, {1001, 1002, 1003, 1004, 1005}},
        {"the item and one before it", 1002, {1001, 1002}, {1001, 1002, 1003, 1004, 1005}},
        {"two items after it", 1003, {1004, 1005}, {1001, 1002, 1003}},
        {"one before and one after", 1002, {1001, 1004}, {1001, 1002, 1003, 1005}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        HMENU popup = ::CreatePopupMenu();
        for (UINT id : {1001u, 1002u, 1003u, 1004u, 1005u})
            ::AppendMenuA(popup, MF_STRING, id, "item");
        m_frame->m_updated.clear();
        m_frame->m_onUpdate = [&](UINT id) {
            if (id == c.removeAt)
                for (UINT remove : c.removeIds)
                    ::DeleteMenu(popup, remove, MF_BYCOMMAND);
        };
        m_frame->SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(popup), 0);
        EXPECT_EQ(c.expected, m_frame->m_updated);
        ::DestroyMenu(popup);
    }
    m_frame->m_onUpdate = nullptr;

    // Separators and the never-updated id are skipped; a submenu stands for its first item, and
    // the routine's states reach the items.
    HMENU popup = ::CreatePopupMenu();
    HMENU sub = ::CreatePopupMenu();
    ::AppendMenuA(sub, MF_STRING, 2001, "inner");
    ::AppendMenuA(popup, MF_STRING, 1001, "one");
    ::AppendMenuA(popup, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuA(popup, MF_STRING, kCommandNeverUpdated, "never");
    ::AppendMenuA(popup, MF_POPUP, reinterpret_cast<UINT_PTR>(sub), "sub");
    ::AppendMenuA(popup, MF_STRING, 1002, "two");
    m_frame->m_updated.clear();
    m_frame->m_disable = {1002};
    m_frame->SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(popup), 0);
    EXPECT_EQ((std::vector<UINT>{1001, 2001, 1002}), m_frame->m_updated);
    EXPECT_TRUE(::GetMenuState(popup, 1002, MF_BYCOMMAND) & MF_GRAYED);
    EXPECT_FALSE(::GetMenuState(popup, 1001, MF_BYCOMMAND) & MF_GRAYED);
    ::DestroyMenu(popup);

    // The registered message hands its element to the same routine.
    class CElement : public ICommandUIElement {
    public:
        void Enable(bool enable) override { enabled = enable; }
        void SetCheck(int) override {}
        void SetText(const char*) override {}
        void SetDefault(bool) override {}
        bool enabled = true;
    } element;
    m_frame->m_updated.clear();
    EXPECT_EQ(1, m_frame->SendMessage(GetUpdateUICommandMessage(), 1002, reinterpret_cast<LPARAM>(&element)));
    EXPECT_FALSE(element.enabled);
    EXPECT_EQ(0, m_frame->SendMessage(GetUpdateUICommandMessage(), kCommandNeverUpdated, reinterpret_cast<LPARAM>(&element)));
    EXPECT_EQ((std::vector<UINT>{1002}), m_frame->m_updated);
}

TEST_F(FrameMixins, TheOldWheelMessageGoesToTheFocusWindowOrWithoutOneToTheFrame)
{
    ::SetFocus(nullptr);
    ASSERT_EQ(nullptr, ::GetFocus());
    const LPARAM at = MAKELPARAM(300, 300);
    m_frame->SendMessage(GetMsWheelMessage(), static_cast<WPARAM>(-120), at);
    EXPECT_EQ(1, m_frame->m_wheelCount);
    EXPECT_EQ(-120, static_cast<short>(HIWORD(m_frame->m_lastWheel)));
    EXPECT_TRUE(WheeledChildren().empty());

    const std::vector<HWND> children = Children(1);
    ::SetFocus(children[0]);
    ASSERT_EQ(children[0], ::GetFocus());
    EXPECT_EQ(1, m_frame->SendMessage(GetMsWheelMessage(), 120, at));
    ASSERT_EQ(1u, WheeledChildren().size());
    EXPECT_EQ(children[0], WheeledChildren()[0]);
    EXPECT_EQ(1, m_frame->m_wheelCount);  // the focus window took it: no ancestor was asked
}

}  // namespace
