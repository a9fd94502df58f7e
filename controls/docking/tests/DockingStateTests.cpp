// The stored docking layout through the settings store (a fake one): saved from one frame and
// restored into a new frame with new panes, at the same and at another screen size, and damaged
// or foreign stored data giving the default layout.
#include "controls/docking/DockingState.h"
#include "controls/docking/tests/DockTestFrame.h"

#include "controls/tests/FakeSettingsStore.h"
#include "controls/tests/Screenshot.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace dock_test;

namespace {

constexpr uint32_t kLeft = kDockFlagLeftRight | kDockFlagStartSide;
constexpr uint32_t kRight = kDockFlagLeftRight;
constexpr uint32_t kTop = kDockFlagStartSide;
constexpr uint32_t kBottom = 0;
const RECT kFrameRect = {40, 40, 900, 760};
const char* const kCaptions[] = {"Favorites", "History", "Links", "Search", "Floating", "Hidden"};

// What a pane looks like from outside: docked, visible, where (its host in the frame, or its
// window on the screen), and for a pane in a box its tab index and whether it is shown.
struct CPaneShape {
    bool docked = false;
    bool visible = false;
    bool inBox = false;
    RECT place = {};
    int tab = -1;
    bool shown = false;

    bool operator==(const CPaneShape& o) const
    {
        return docked == o.docked && visible == o.visible && inBox == o.inBox && ::EqualRect(&place, &o.place) &&
               tab == o.tab && shown == o.shown;
    }
};

std::ostream& operator<<(std::ostream& out, const CPaneShape& s)
{
    return out << "{docked " << s.docked << " visible " << s.visible << " box " << s.inBox << " place " << s.place.left
               << "," << s.place.top << "," << s.place.right << "," << s.place.bottom << " tab " << s.tab << " shown "
               << s.shown << "}";
}

CPaneShape ShapeOf(CDockTestFrame& frame, CDockingWindow& pane)
{
    CPaneShape shape;
    shape.docked = pane.IsDocked();
    shape.visible = pane.IsVisible();
    HWND host = pane.Host();
    shape.inBox = host && IsDockingBox(host) && host != pane.m_hWnd;
    HWND placed = shape.inBox ? host : pane.m_hWnd;
    CDockingWindow* placedPane = &pane;
    (void)placedPane;
    if (shape.docked) {
        HWND bar = ::GetParent(placed);
        shape.place = InFrame(frame.m_hWnd, bar == frame.m_hWnd ? placed : bar);
        if (!shape.inBox || ::GetParent(bar) == frame.m_hWnd)
            shape.place = InFrame(frame.m_hWnd, placed);
    } else if (shape.visible) {
        shape.place = WindowRect(pane.m_hWnd);
    }
    if (shape.inBox) {
        HWND strip = ::GetDlgItem(host, CTabDockingBox::kStripId);
        const int count = static_cast<int>(::SendMessageA(strip, kTabMsgGetItemCount, 0, 0));
        for (int i = 0; i < count; ++i) {
            CViewTabItem item;
            ::SendMessageA(strip, kTabMsgGetItem, i, reinterpret_cast<LPARAM>(&item));
            if (item.GetViewWindow() == pane.m_hWnd)
                shape.tab = i;
        }
        shape.shown = ::IsWindowVisible(pane.m_hWnd) != FALSE;
    }
    return shape;
}

class DockingState : public ::testing::Test {
protected:
    void TearDown() override
    {
        if (m_frame)
            m_frame->Destroy();
    }
    // A frame with its six panes, registered with a state over the fake store.
    void MakeFrame(const RECT& rect = kFrameRect)
    {
        if (m_frame)
            m_frame->Destroy();
        m_frame = CDockTestFrame::Make(rect);
        ASSERT_NE(nullptr, m_frame);
        m_panes.clear();
        for (const char* caption : kCaptions)
            m_panes.push_back(MakePane(*m_frame, caption));
        m_state = std::make_unique<CDockingState>(m_frame->m_hWnd, &m_store);
        for (CDockingWindow* pane : m_panes)
            m_state->AddPane(pane);
    }
    // The layout every test starts from: a left pane, a top pane, two panes in a box at the
    // bottom (the second one shown), a floating pane and a pane hidden from the right side.
    void BuildLayout()
    {
        ASSERT_TRUE(DockAt(*m_panes[0], kLeft, 0, 200));
        ASSERT_TRUE(DockAt(*m_panes[1], kTop, 0, 100));
        ASSERT_TRUE(DockAt(*m_panes[2], kBottom, 0, 150));
        m_panes[3]->DockTo(m_panes[2]->m_hWnd, 1);
        Pump();
        ASSERT_TRUE(IsDockingBox(m_panes[3]->Host()));
        m_panes[3]->Show();  // its tab comes up
        m_panes[4]->SetFloatingRect(RECT{600, 500, 820, 700});
        m_panes[4]->Show();
        ASSERT_TRUE(DockAt(*m_panes[5], kRight, 0, 130));
        m_panes[5]->Hide();
        Pump();
        m_frame->UpdateLayout();
        Pump();
    }
    std::vector<CPaneShape> Shapes()
    {
        std::vector<CPaneShape> shapes;
        for (CDockingWindow* pane : m_panes)
            shapes.push_back(ShapeOf(*m_frame, *pane));
        return shapes;
    }
    bool Restore(SIZE screen = {0, 0})
    {
        const bool restored = m_state->Restore(screen);
        m_frame->UpdateLayout();
        Pump();
        return restored;
    }

    CFakeSettingsStore m_store;
    CDockTestFrame* m_frame = nullptr;
    std::vector<CDockingWindow*> m_panes;
    std::unique_ptr<CDockingState> m_state;
};

TEST_F(DockingState, TheLayoutComesBackExactlyInANewFrameWithNewPanes)
{
    MakeFrame();
    BuildLayout();
    const std::vector<CPaneShape> before = Shapes();
    ASSERT_TRUE(before[2].inBox);
    ASSERT_EQ(0, before[2].tab);
    ASSERT_EQ(1, before[3].tab);
    ASSERT_TRUE(before[3].shown);
    ASSERT_FALSE(before[5].visible);
    m_state->Save();

    // Names, types and sizes in the store.
    EXPECT_EQ(1280u, m_store.GetInt(CDockingState::kGeneralSection, "SM_CXSCREEN", 0));
    EXPECT_EQ(1024u, m_store.GetInt(CDockingState::kGeneralSection, "SM_CYSCREEN", 0));
    ASSERT_NE(nullptr, m_store.Binary(CDockingState::kMainWindowSection, "placement"));
    EXPECT_EQ(44u, m_store.Binary(CDockingState::kMainWindowSection, "placement")->size());
    const char* names[] = {"0xffffffff", "0xfffffffe", "0xfffffffd", "0xfffffffc", "0xfffffffb", "0xfffffffa"};
    for (const char* name : names) {
        ASSERT_NE(nullptr, m_store.Binary(CDockingState::kPanesSection, name)) << name;
        EXPECT_EQ(60u, m_store.Binary(CDockingState::kPanesSection, name)->size()) << name;
    }
    EXPECT_EQ(7u, m_store.BinaryCount());
    EXPECT_EQ("0xffffff9c", CDockingState::IdName(-100));

    std::string path;
    EXPECT_TRUE(kivo_test::WriteWindowScreenshot(m_frame->m_hWnd, "docking-saved-layout.bmp", path)) << path;

    MakeFrame();  // the restart: a new frame, new panes, none of the old handles alive
    EXPECT_TRUE(Restore());
    const std::vector<CPaneShape> after = Shapes();
    for (size_t i = 0; i < before.size(); ++i)
        EXPECT_EQ(before[i], after[i]) << kCaptions[i];
    const RECT frameRect = WindowRect(m_frame->m_hWnd);
    EXPECT_TRUE(::EqualRect(&kFrameRect, &frameRect));
    // The hidden pane remembers that it was docked, and shows in its old place.
    m_panes[5]->Show();
    Pump();
    EXPECT_TRUE(m_panes[5]->IsDocked());
    EXPECT_EQ(m_frame->ClientArea().right, InFrame(m_frame->m_hWnd, m_panes[5]->Host()).right);
    EXPECT_TRUE(kivo_test::WriteWindowScreenshot(m_frame->m_hWnd, "docking-restored-layout.bmp", path)) << path;
}

TEST_F(DockingState, BarsScaleWhenTheScreenSizeChanged)
{
    MakeFrame();
    ASSERT_TRUE(DockAt(*m_panes[0], kLeft, 0, 200));
    ASSERT_TRUE(DockAt(*m_panes[1], kTop, 0, 100));
    m_state->Save();
    // Saved at 1024 x 768, restored at 1280 x 1024.
    m_store.WriteInt(CDockingState::kGeneralSection, "SM_CXSCREEN", 1024);
    m_store.WriteInt(CDockingState::kGeneralSection, "SM_CYSCREEN", 768);
    MakeFrame();
    EXPECT_TRUE(Restore(SIZE{1280, 1024}));
    const RECT left = InFrame(m_frame->m_hWnd, m_panes[0]->Host());
    const RECT top = InFrame(m_frame->m_hWnd, m_panes[1]->Host());
    EXPECT_EQ(250, left.right - left.left);
    EXPECT_EQ(133, top.bottom - top.top);
}

TEST_F(DockingState, AFrameSavedMaximisedComesBackMaximisedAndOneSavedMinimisedInItsNormalState)
{
    MakeFrame();
    m_frame->ShowWindow(SW_SHOWMAXIMIZED);
    Pump();
    m_state->Save();
    MakeFrame(RECT{100, 100, 500, 400});
    EXPECT_TRUE(Restore());
    EXPECT_TRUE(m_frame->IsZoomed());
    WINDOWPLACEMENT placement = {sizeof(placement)};
    m_frame->GetWindowPlacement(&placement);
    EXPECT_TRUE(::EqualRect(&placement.rcNormalPosition, &kFrameRect));

    m_frame->ShowWindow(SW_RESTORE);
    m_frame->ShowWindow(SW_MINIMIZE);
    Pump();
    m_state->Save();
    MakeFrame(RECT{100, 100, 500, 400});
    EXPECT_TRUE(Restore());
    EXPECT_FALSE(m_frame->IsIconic());
    EXPECT_FALSE(m_frame->IsZoomed());
    EXPECT_TRUE(m_frame->IsWindowVisible());
}

TEST_F(DockingState, DamagedTruncatedOrForeignStoredLayoutsGiveTheDefaultLayout)
{
    struct Case {
        const char* what;
        void (*damage)(CFakeSettingsStore&);
        bool placementKept;
    };
    auto record = [](CFakeSettingsStore& store) -> std::vector<BYTE>& {
        return *store.Binary(CDockingState::kPanesSection, "0xfffffffe");
    };
    static auto recordOf = record;
    const Case cases[] = {
        {"a truncated record", [](CFakeSettingsStore& s) { recordOf(s).resize(59); }, true},
        {"unknown flags", [](CFakeSettingsStore& s) { recordOf(s)[13] = 0x7F; }, true},
        {"a NaN position", [](CFakeSettingsStore& s) { recordOf(s)[23] = 0x7F, recordOf(s)[22] = 0xC0; }, true},
        {"a group record", [](CFakeSettingsStore& s) { recordOf(s)[12] |= kDockFlagGroup; }, true},
        {"a truncated placement",
         [](CFakeSettingsStore& s) { s.Binary(CDockingState::kMainWindowSection, "placement")->resize(40); }, false},
    };
    MakeFrame();
    BuildLayout();
    m_state->Save();
    // What the save wrote, put back before each damage.
    std::vector<std::pair<std::string, std::vector<BYTE>>> saved;
    const char* names[] = {"0xffffffff", "0xfffffffe", "0xfffffffd", "0xfffffffc", "0xfffffffb", "0xfffffffa"};
    for (const char* name : names)
        saved.emplace_back(name, *m_store.Binary(CDockingState::kPanesSection, name));
    const std::vector<BYTE> placement = *m_store.Binary(CDockingState::kMainWindowSection, "placement");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        for (const auto& [name, bytes] : saved)
            m_store.WriteBinary(CDockingState::kPanesSection, name.c_str(), bytes);
        m_store.WriteBinary(CDockingState::kMainWindowSection, "placement", placement);
        c.damage(m_store);
        MakeFrame(RECT{60, 60, 700, 600});
        // The program's default before a restore: the first pane on the left.
        ASSERT_TRUE(DockAt(*m_panes[0], kLeft, 0, 170));
        const std::vector<CPaneShape> defaults = Shapes();
        EXPECT_EQ(c.placementKept, Restore());
        const std::vector<CPaneShape> after = Shapes();
        const bool group = std::string(c.what) == "a group record";
        for (size_t i = 0; i < after.size(); ++i) {
            if (group) {
                // Only the group record's pane falls back to its default; the others come back.
                if (i == 1) {
                    EXPECT_EQ(defaults[i], after[i]) << kCaptions[i];
                }
            } else if (c.placementKept) {
                EXPECT_EQ(defaults[i].docked, after[i].docked) << kCaptions[i];
                EXPECT_EQ(defaults[i].inBox, after[i].inBox) << kCaptions[i];
            } else {
                // Without a placement every pane gets its default: the docked one stays, the
                // others are shown where they are.
                EXPECT_EQ(defaults[i].docked, after[i].docked) << kCaptions[i];
                EXPECT_TRUE(after[i].visible) << kCaptions[i];
            }
        }
        EXPECT_TRUE(m_frame->IsWindowVisible());
    }
}

TEST_F(DockingState, StoredHandlesAreNeverSentTo)
{
    MakeFrame();
    // A record "in a floating box" whose stored host happens to be a live pane of this run: the
    // pane must float on its own, and the live pane must not be made into a box.
    CDockPositionRecord record;
    record.header = {DockHandleField(m_panes[0]->m_hWnd), DockHandleField(m_panes[1]->m_hWnd), kDockStoredCode};
    record.flags = kDockFlagFloating;
    SetDockRect(record, RECT{300, 300, 500, 500});
    record.docked = 1;
    record.visible = 1;
    m_panes[1]->SetFloatingRect(RECT{600, 300, 800, 500});
    m_panes[1]->Show();
    Pump();
    m_state->Save();
    const auto bytes = EncodeDockRecord(record);
    m_store.WriteBinary(CDockingState::kPanesSection, "0xffffffff", bytes.data(), bytes.size());
    EXPECT_TRUE(Restore());
    EXPECT_FALSE(m_panes[0]->IsDocked());
    EXPECT_TRUE(::IsWindowVisible(m_panes[0]->m_hWnd));
    EXPECT_FALSE(m_panes[1]->IsDocked());
    const RECT placed = WindowRect(m_panes[0]->m_hWnd);
    const RECT stored = {300, 300, 500, 500};
    EXPECT_TRUE(::EqualRect(&placed, &stored));
}

TEST_F(DockingState, WithoutAStoredLayoutTheFrameShowsWithItsDefaultAndEveryPaneIsShown)
{
    MakeFrame();
    ASSERT_TRUE(DockAt(*m_panes[0], kLeft, 0, 170));
    const CPaneShape docked = ShapeOf(*m_frame, *m_panes[0]);
    m_frame->ShowWindow(SW_HIDE);
    EXPECT_FALSE(Restore());
    EXPECT_TRUE(m_frame->IsWindowVisible());
    EXPECT_EQ(docked, ShapeOf(*m_frame, *m_panes[0]));
    for (size_t i = 1; i < m_panes.size(); ++i) {
        EXPECT_TRUE(::IsWindowVisible(m_panes[i]->m_hWnd)) << kCaptions[i];
        EXPECT_FALSE(m_panes[i]->IsDocked()) << kCaptions[i];
    }
}

}  // namespace
