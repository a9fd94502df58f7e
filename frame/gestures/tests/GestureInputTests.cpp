// The input filter and the tracker on real windows: message scripts sent to a page window for the
// filter's rules, and real mouse input (SendInput) for the gestures a user makes.
#include "frame/gestures/GestureInputFilter.h"
#include "frame/gestures/GestureSettings.h"
#include "frame/gestures/GestureTracker.h"
#include "frame/gestures/tests/GestureTestWindows.h"

#include "controls/tests/FakeSettingsStore.h"
#include "platform/Diagnostics.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

using namespace gesture_test;

namespace {

LPARAM At(int x, int y)
{
    return MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y));
}

// A handler that records what the filter tells it and answers as it is told.
class CRecordingHandler : public CGestureListener {
public:
    std::vector<std::string> calls;
    std::vector<CGestureStroke> strokes;
    bool startRightStroke = true;
    bool startLeftStroke = false;
    bool swallowMiddle = true;
    bool throwOnLeftDown = false;

    bool OnMouseMove(HWND, POINT, UINT) override { calls.push_back("move"); return true; }
    bool OnMButtonDown(HWND, POINT, UINT) override { calls.push_back("mdown"); return swallowMiddle; }
    bool OnLButtonDown(HWND, POINT, UINT) override
    {
        calls.push_back("ldown");
        if (throwOnLeftDown)
            throw std::runtime_error("handler failed");
        return !startLeftStroke;
    }
    bool OnRButtonDown(HWND, POINT, UINT) override { calls.push_back("rdown"); return !startRightStroke; }
    void OnLeftStroke(HWND, const CGestureStroke& stroke) override { calls.push_back("lstroke"); strokes.push_back(stroke); }
    void OnRightStroke(HWND, const CGestureStroke& stroke) override { calls.push_back("rstroke"); strokes.push_back(stroke); }
};

// A trail sink that records its calls.
class CRecordingSink : public CTrailSink {
public:
    std::vector<std::string> calls;
    void Begin(HWND) override { calls.push_back("begin"); }
    void End() override { calls.push_back("end"); }
    void AddPoint(const CGestureStroke& stroke) override { calls.push_back("add " + std::to_string(stroke.size())); }
    void BringToTop() override { calls.push_back("top"); }
    void SendToBottomLater() override { calls.push_back("bottom"); }
};

class CCollectingReporter : public IFailureReporter {
public:
    std::vector<std::string> reports;
    void Report(const char* text) override { reports.push_back(text); }
};

// The tab's side: records the gestures and says whether it took them.
class CRecordingGestureHandler : public IGestureHandler {
public:
    std::vector<int> gestures;
    std::vector<CGestureStroke> strokes;
    bool takes = true;
    bool OnGesture(HWND, int gestureId, const CGestureStroke& stroke) override
    {
        gestures.push_back(gestureId);
        strokes.push_back(stroke);
        return takes;
    }
};

RECT PageRect()
{
    return {120, 120, 520, 470};
}

}  // namespace

TEST(GestureInputFilter, ARightClickWithoutMovementIsAOnePointStrokeAndItsReleaseIsSwallowed)
{
    CPageWindow page("GestureFilterPage1", PageRect(), nullptr, false);
    CGestureInputFilter filter;
    CRecordingHandler handler;
    CRecordingSink sink;
    filter.SetTrailSink(&sink);
    ASSERT_EQ(filter.Hook(page, &handler, nullptr), S_OK);
    EXPECT_TRUE(filter.IsHooked());

    SendMessageA(page, WM_RBUTTONDOWN, MK_RBUTTON, At(10, 20));
    EXPECT_TRUE(filter.IsRightStrokeActive());
    EXPECT_EQ(GetCapture(), static_cast<HWND>(page));
    SendMessageA(page, WM_RBUTTONUP, 0, At(10, 20));
    EXPECT_FALSE(filter.IsRightStrokeActive());
    EXPECT_EQ(GetCapture(), nullptr);
    ASSERT_EQ(handler.strokes.size(), 1u);
    EXPECT_EQ(handler.strokes[0], (CGestureStroke{{10, 20}}));
    EXPECT_EQ(page.Record().messages, std::vector<std::string>{});  // neither press nor release
    EXPECT_EQ(sink.calls, (std::vector<std::string>{"begin", "end"}));
}

TEST(GestureInputFilter, AMovingRightStrokeKeepsEveryPointAndTheRelease)
{
    CPageWindow page("GestureFilterPage2", PageRect(), nullptr, false);
    CGestureInputFilter filter;
    CRecordingHandler handler;
    CRecordingHandler listener;
    CRecordingSink sink;
    filter.SetTrailSink(&sink);
    ASSERT_EQ(filter.Hook(page, &handler, &listener), S_OK);

    SendMessageA(page, WM_MOUSEMOVE, 0, At(1, 1));  // no stroke: passed on
    SendMessageA(page, WM_RBUTTONDOWN, MK_RBUTTON, At(10, 10));
    SendMessageA(page, WM_MOUSEMOVE, MK_RBUTTON, At(10, 30));
    SendMessageA(page, WM_MOUSEMOVE, MK_RBUTTON, At(-5, 50));  // outside the window, under the capture
    SendMessageA(page, WM_RBUTTONUP, 0, At(-6, 60));
    ASSERT_EQ(handler.strokes.size(), 1u);
    EXPECT_EQ(handler.strokes[0], (CGestureStroke{{10, 10}, {10, 30}, {-5, 50}, {-6, 60}}));
    EXPECT_EQ(page.Record().messages, std::vector<std::string>{"move 1,1"});
    EXPECT_EQ(sink.calls, (std::vector<std::string>{"begin", "add 2", "add 3", "end"}));
    // The listener hears of every move and press; the handler decides.
    EXPECT_EQ(listener.calls, (std::vector<std::string>{"move", "rdown", "move", "move"}));
}

TEST(GestureInputFilter, WhileReplayingButtonsPassUntouched)
{
    CPageWindow page("GestureFilterPage3", PageRect(), nullptr, false);
    CGestureInputFilter filter;
    CRecordingHandler handler;
    handler.startLeftStroke = true;
    ASSERT_EQ(filter.Hook(page, &handler, nullptr), S_OK);
    {
        CGestureInputFilter::CReplayScope replay(filter);
        SendMessageA(page, WM_RBUTTONDOWN, 0, At(3, 4));
        SendMessageA(page, WM_RBUTTONUP, 0, At(3, 4));
        SendMessageA(page, WM_LBUTTONDOWN, 0, At(5, 6));
        SendMessageA(page, WM_LBUTTONUP, 0, At(5, 6));
    }
    EXPECT_FALSE(filter.IsRightStrokeActive());
    EXPECT_FALSE(filter.IsLeftStrokeActive());
    EXPECT_TRUE(handler.calls.empty());
    EXPECT_EQ(page.Record().messages,
              (std::vector<std::string>{"rdown 3,4", "rup 3,4", "contextmenu 123,124", "ldown 5,6", "lup 5,6"}));  // the menu at the screen point
}

TEST(GestureInputFilter, AMiddleClickTheListenerTakesNeverReachesThePage)
{
    CPageWindow page("GestureFilterPage4", PageRect(), nullptr, false);
    CGestureInputFilter filter;
    CRecordingHandler handler;
    CRecordingHandler listener;
    ASSERT_EQ(filter.Hook(page, &handler, &listener), S_OK);
    SendMessageA(page, WM_MBUTTONDOWN, MK_MBUTTON, At(7, 7));
    listener.swallowMiddle = false;
    SendMessageA(page, WM_MBUTTONDOWN, MK_MBUTTON, At(8, 8));
    EXPECT_EQ(page.Record().messages, std::vector<std::string>{"mdown 8,8"});
    EXPECT_TRUE(handler.calls.empty());  // the middle button is the listener's alone
}

TEST(GestureInputFilter, AHandlerThatThrowsOnAPressHasThePressSwallowedAndReported)
{
    CPageWindow page("GestureFilterPage5", PageRect(), nullptr, false);
    CGestureInputFilter filter;
    CRecordingHandler handler;
    handler.throwOnLeftDown = true;
    handler.startLeftStroke = true;
    ASSERT_EQ(filter.Hook(page, &handler, nullptr), S_OK);
    CCollectingReporter reporter;
    {
        CScopedFailureReporter scope(reporter);
        SendMessageA(page, WM_LBUTTONDOWN, MK_LBUTTON, At(9, 9));
    }
    EXPECT_FALSE(filter.IsLeftStrokeActive());
    EXPECT_EQ(page.Record().Count("ldown"), 0u);
    EXPECT_EQ(reporter.reports.size(), 1u);
}

// The focus and destroy messages are the page's too: the filter does its own work and passes them on.
TEST(GestureInputFilter, FocusAndDestroyReachThePageAndDestroyUnhooks)
{
    auto page = std::make_unique<CPageWindow>("GestureFilterPage6", PageRect(), nullptr, false);
    CGestureInputFilter filter;
    CRecordingHandler handler;
    CRecordingSink sink;
    filter.SetTrailSink(&sink);
    ASSERT_EQ(filter.Hook(*page, &handler, nullptr), S_OK);
    SendMessageA(*page, WM_SETFOCUS, 0, 0);
    SendMessageA(*page, WM_KILLFOCUS, 0, 0);
    page.reset();  // destroys the window
    EXPECT_FALSE(filter.IsHooked());
    EXPECT_EQ(sink.calls, (std::vector<std::string>{"top", "end"}));
}

TEST(GestureInputFilter, DestroyMessagesReachThePageWhileHooked)
{
    CPageWindow page("GestureFilterPage6b", PageRect(), nullptr, false);
    CGestureInputFilter filter;
    CRecordingHandler handler;
    filter.SetTrailSink(&GetNullTrailSink());
    ASSERT_EQ(filter.Hook(page, &handler, nullptr), S_OK);
    SendMessageA(page, WM_SETFOCUS, 0, 0);
    SendMessageA(page, WM_KILLFOCUS, 0, 0);
    DestroyWindow(page);
    EXPECT_EQ(page.Record().messages, (std::vector<std::string>{"setfocus", "killfocus", "destroy"}));
    EXPECT_FALSE(filter.IsHooked());
}

namespace {

// A second subclass, put over the filter's, that counts what passes.
LRESULT CALLBACK CountingProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto previous = reinterpret_cast<WNDPROC>(GetPropA(window, "GestureTestPrevious"));
    if (message == WM_APP + 7)
        SetPropA(window, "GestureTestCount", reinterpret_cast<HANDLE>(reinterpret_cast<INT_PTR>(GetPropA(window, "GestureTestCount")) + 1));
    return CallWindowProcA(previous, window, message, wParam, lParam);
}

}  // namespace

// Unhooking under another subclass leaves the filter hooked. The filter may still go: the window
// library lets go of the window by force, and the window goes on working without it.
TEST(GestureInputFilter, AFilterUnderAnotherSubclassStaysHookedAndMayStillGo)
{
    CPageWindow page("GestureFilterPage7", PageRect(), nullptr, false);
    CRecordingHandler handler;
    auto filter = std::make_unique<CGestureInputFilter>();
    filter->SetTrailSink(&GetNullTrailSink());
    ASSERT_EQ(filter->Hook(page, &handler, nullptr), S_OK);
    const auto previous = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(page, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CountingProcedure)));
    SetPropA(page, "GestureTestPrevious", reinterpret_cast<HANDLE>(previous));
    filter->Unhook();
    EXPECT_TRUE(filter->IsHooked());
    SendMessageA(page, WM_APP + 7, 0, 0);
    EXPECT_EQ(reinterpret_cast<INT_PTR>(GetPropA(page, "GestureTestCount")), 1);
    filter.reset();
    SendMessageA(page, WM_RBUTTONDOWN, MK_RBUTTON, At(2, 2));
    SendMessageA(page, WM_RBUTTONUP, 0, At(2, 2));
    EXPECT_EQ(page.Record().Count("rdown"), 1u);
    EXPECT_EQ(page.Record().Count("contextmenu"), 1u);
    EXPECT_TRUE(handler.calls.empty());
    RemovePropA(page, "GestureTestPrevious");
    RemovePropA(page, "GestureTestCount");
}

// Another window taking the capture (a menu, a drag) ends the stroke: otherwise every later move
// of the page would be swallowed until a release that never comes.
TEST(GestureInputFilter, LosingTheCaptureEndsTheStrokes)
{
    CPageWindow page("GestureFilterPage8", PageRect(), nullptr, false);
    CPageWindow other("GestureFilterOther8", {600, 100, 700, 200}, nullptr, false);
    CGestureInputFilter filter;
    CRecordingHandler handler;
    CRecordingSink sink;
    filter.SetTrailSink(&sink);
    ASSERT_EQ(filter.Hook(page, &handler, nullptr), S_OK);
    SendMessageA(page, WM_RBUTTONDOWN, MK_RBUTTON, At(10, 10));
    ASSERT_TRUE(filter.IsRightStrokeActive());
    SetCapture(other);
    EXPECT_FALSE(filter.IsRightStrokeActive());
    EXPECT_EQ(sink.calls, (std::vector<std::string>{"begin", "end"}));
    SendMessageA(page, WM_MOUSEMOVE, 0, At(11, 11));
    EXPECT_EQ(page.Record().messages, std::vector<std::string>{"move 11,11"});
    ReleaseCapture();
}

TEST(GestureInputFilter, AWindowThatIsNoneCannotBeHooked)
{
    CGestureInputFilter filter;
    CRecordingHandler handler;
    EXPECT_EQ(filter.Hook(nullptr, &handler, nullptr), E_FAIL);
    EXPECT_FALSE(filter.IsHooked());
}

// ---------------------------------------------------------------------------------------------
// The tracker, with the messages a user's mouse makes.

namespace {

class RealMouse : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_page = std::make_unique<CPageWindow>(m_className.c_str(), PageRect());
        m_filter.SetTrailSink(&GetNullTrailSink());
        ASSERT_EQ(m_tracker.Attach(*m_page, &m_handler, nullptr), S_OK);
        ASSERT_TRUE(MakeForeground(*m_page));
        MoveMouseTo(m_page->ToScreen({200, 60}));
        ASSERT_TRUE(PumpUntil([&] { return m_page->Record().Count("move") > 0; }));
    }
    void TearDown() override
    {
        m_tracker.Detach();
        m_page.reset();
    }
    CPageWindow& Page() { return *m_page; }

    std::string m_className = std::string("GestureRealMouse") +
                              ::testing::UnitTest::GetInstance()->current_test_info()->name();
    CFakeSettingsStore m_store;
    CGestureSettings m_settings{m_store};
    CGestureInputFilter m_filter;
    CGestureTracker m_tracker{m_filter, false, true, &m_settings};
    CRecordingGestureHandler m_handler;
    std::unique_ptr<CPageWindow> m_page;
};

}  // namespace

TEST_F(RealMouse, ARightButtonDragDownwardsIsTheDownGesture)
{
    const POINT start = Page().ToScreen({200, 60});
    PressButton(MOUSEEVENTF_RIGHTDOWN);
    DragTo(start, Page().ToScreen({200, 300}));
    PressButton(MOUSEEVENTF_RIGHTUP);
    ASSERT_TRUE(PumpUntil([&] { return !m_handler.gestures.empty(); }));
    EXPECT_EQ(m_handler.gestures, std::vector<int>{kGestureDown});
    EXPECT_GT(m_handler.strokes[0].size(), 20u);
    EXPECT_EQ(m_handler.strokes[0].front(), (CGesturePoint{200, 60}));
    // The page saw none of it: no press, no release, no context menu.
    EXPECT_EQ(Page().Record().Count("rdown"), 0u);
    EXPECT_EQ(Page().Record().Count("contextmenu"), 0u);
}

TEST_F(RealMouse, ARightClickWithoutAMoveStillOpensThePagesContextMenu)
{
    PressButton(MOUSEEVENTF_RIGHTDOWN);
    PressButton(MOUSEEVENTF_RIGHTUP);
    ASSERT_TRUE(PumpUntil([&] { return Page().Record().Count("contextmenu") > 0; }));
    EXPECT_TRUE(m_handler.gestures.empty());
    EXPECT_EQ(Page().Record().Count("rdown 200,60"), 1u);
    EXPECT_EQ(Page().Record().Count("rup 200,60"), 1u);
}

TEST_F(RealMouse, AStrokeNobodyTakesIsPlayedBackAsAClick)
{
    m_handler.takes = false;
    const POINT start = Page().ToScreen({200, 60});
    PressButton(MOUSEEVENTF_RIGHTDOWN);
    DragTo(start, Page().ToScreen({60, 60}));
    PressButton(MOUSEEVENTF_RIGHTUP);
    ASSERT_TRUE(PumpUntil([&] { return Page().Record().Count("contextmenu") > 0; }));
    EXPECT_EQ(m_handler.gestures, std::vector<int>{kGestureLeft});
    EXPECT_EQ(Page().Record().Count("rdown 200,60"), 1u);
    EXPECT_EQ(Page().Record().Count("rup 60,60"), 1u);
}

TEST_F(RealMouse, RockerClicksAreTheirTwoGestures)
{
    // The left button held, the right one pressed: "Click Left Right".
    PressButton(MOUSEEVENTF_LEFTDOWN);
    ASSERT_TRUE(PumpUntil([&] { return Page().Record().Count("ldown") == 1; }));
    PressButton(MOUSEEVENTF_RIGHTDOWN);
    ASSERT_TRUE(PumpUntil([&] { return !m_handler.gestures.empty(); }));
    PressButton(MOUSEEVENTF_RIGHTUP);
    PressButton(MOUSEEVENTF_LEFTUP);
    ASSERT_TRUE(PumpUntil([&] { return Page().Record().Count("lup") == 1; }));
    EXPECT_EQ(m_handler.gestures, std::vector<int>{kGestureClickLeftRight});

    // The right button held, the left one pressed: "Click Right Left"; the right release that
    // follows opens no context menu.
    PressButton(MOUSEEVENTF_RIGHTDOWN);
    PressButton(MOUSEEVENTF_LEFTDOWN);
    ASSERT_TRUE(PumpUntil([&] { return m_handler.gestures.size() == 2; }));
    PressButton(MOUSEEVENTF_LEFTUP);
    PressButton(MOUSEEVENTF_RIGHTUP);
    ASSERT_TRUE(PumpUntil([&] { return Page().Record().Count("lup") == 2; }));
    EXPECT_EQ(m_handler.gestures, (std::vector<int>{kGestureClickLeftRight, kGestureClickRightLeft}));
    EXPECT_EQ(m_handler.strokes[1], (CGestureStroke{{200, 60}}));
    EXPECT_EQ(Page().Record().Count("contextmenu"), 0u);
}

TEST_F(RealMouse, TheWheelWithTheRightButtonHeldIsTheWheelGestureAndDoesNotScroll)
{
    TurnWheel(WHEEL_DELTA);
    ASSERT_TRUE(PumpUntil([&] { return Page().Record().Count("wheel") == 1; }));
    EXPECT_TRUE(m_handler.gestures.empty());

    m_handler.takes = false;  // swallowed even when no action is bound
    PressButton(MOUSEEVENTF_RIGHTDOWN);
    TurnWheel(-WHEEL_DELTA);
    ASSERT_TRUE(PumpUntil([&] { return !m_handler.gestures.empty(); }));
    PressButton(MOUSEEVENTF_RIGHTUP);
    MoveMouseTo(Page().ToScreen({201, 61}));
    ASSERT_TRUE(PumpUntil([&] { return Page().Record().Count("move 201,61") == 1; }));
    EXPECT_EQ(m_handler.gestures, std::vector<int>{kGestureMouseWheel});
    // The gesture's place is the cursor in the page's client coordinates.
    EXPECT_EQ(m_handler.strokes[0], (CGestureStroke{{200, 60}}));
    EXPECT_EQ(Page().Record().Count("wheel"), 1u);
    EXPECT_EQ(Page().Record().Count("contextmenu"), 0u);
}

TEST_F(RealMouse, WithGesturesOffARightDragIsNotCaptured)
{
    m_settings.SetFlags(0);
    const POINT start = Page().ToScreen({200, 60});
    PressButton(MOUSEEVENTF_RIGHTDOWN);
    DragTo(start, Page().ToScreen({200, 200}));
    PressButton(MOUSEEVENTF_RIGHTUP);
    ASSERT_TRUE(PumpUntil([&] { return Page().Record().Count("contextmenu") > 0; }));
    EXPECT_TRUE(m_handler.gestures.empty());
    EXPECT_EQ(Page().Record().Count("rdown 200,60"), 1u);
    EXPECT_GT(Page().Record().Count("move"), 5u);
}
