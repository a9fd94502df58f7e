// The docking geometry without windows: the stored record's bytes, the line of a package or bar,
// the drag clamp, the restore order and scaling, the flying strip's height and reorder rule.
#include "controls/docking/DockLayout.h"
#include "controls/docking/DockingRecord.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

namespace {

CDockPositionRecord SampleRecord()
{
    CDockPositionRecord r;
    r.header = {0x00010203u, 0xFFFF8004u, kDockStoredCode};
    r.flags = kDockFlagLeftRight | kDockFlagStartSide;
    r.barIndex = 1;
    r.position = 0.5f;
    r.barThickness = 200;
    r.paneLength = 300;
    r.order = 2;
    r.left = -10;
    r.top = 20;
    r.right = 310;
    r.bottom = 420;
    r.docked = 1;
    r.visible = 1;
    return r;
}

uint32_t FieldAt(const std::array<BYTE, kDockRecordBytes>& bytes, size_t offset)
{
    return bytes[offset] | (bytes[offset + 1] << 8) | (bytes[offset + 2] << 16) | (static_cast<uint32_t>(bytes[offset + 3]) << 24);
}

TEST(DockRecord, EncodesEveryFieldLittleEndianAtItsOffset)
{
    const auto bytes = EncodeDockRecord(SampleRecord());
    EXPECT_EQ(0x00010203u, FieldAt(bytes, 0));
    EXPECT_EQ(0x03, bytes[0]);
    EXPECT_EQ(0xFFFF8004u, FieldAt(bytes, 4));
    EXPECT_EQ(4u, FieldAt(bytes, 8));
    EXPECT_EQ(3u, FieldAt(bytes, 12));
    EXPECT_EQ(1u, FieldAt(bytes, 16));
    EXPECT_EQ(0x3F000000u, FieldAt(bytes, 20));  // 0.5f as an IEEE single
    EXPECT_EQ(200u, FieldAt(bytes, 24));
    EXPECT_EQ(300u, FieldAt(bytes, 28));
    EXPECT_EQ(2u, FieldAt(bytes, 32));
    EXPECT_EQ(static_cast<uint32_t>(-10), FieldAt(bytes, 36));
    EXPECT_EQ(20u, FieldAt(bytes, 40));
    EXPECT_EQ(310u, FieldAt(bytes, 44));
    EXPECT_EQ(420u, FieldAt(bytes, 48));
    EXPECT_EQ(1u, FieldAt(bytes, 52));
    EXPECT_EQ(1u, FieldAt(bytes, 56));

    CDockPositionRecord back;
    ASSERT_TRUE(DecodeDockRecord(bytes.data(), bytes.size(), back));
    const CDockPositionRecord sample = SampleRecord();
    EXPECT_EQ(0, std::memcmp(&back, &sample, sizeof(back)));
}

TEST(DockRecord, HandlesTravelAsTheirLow32BitsAndComeBackSignExtended)
{
    const HWND high = reinterpret_cast<HWND>(static_cast<intptr_t>(-0x7FFC));
    EXPECT_EQ(0xFFFF8004u, DockHandleField(high));
    EXPECT_EQ(high, DockFieldHandle(0xFFFF8004u));
    const HWND low = reinterpret_cast<HWND>(static_cast<intptr_t>(0x10204));
    EXPECT_EQ(low, DockFieldHandle(DockHandleField(low)));
}

TEST(DockRecord, DamagedOrForeignStoredRecordsAreRefused)
{
    struct Case {
        const char* what;
        void (*damage)(CDockPositionRecord&);
    };
    const Case cases[] = {
        {"another code", [](CDockPositionRecord& r) { r.header.code = 5; }},
        {"unknown flags", [](CDockPositionRecord& r) { r.flags |= 0x100; }},
        {"NaN position", [](CDockPositionRecord& r) { r.position = std::numeric_limits<float>::quiet_NaN(); }},
        {"position beyond the bar", [](CDockPositionRecord& r) { r.position = 1.5f; }},
        {"negative position", [](CDockPositionRecord& r) { r.position = -0.1f; }},
        {"huge thickness", [](CDockPositionRecord& r) { r.barThickness = 0x80000000u; }},
        {"inverted rectangle", [](CDockPositionRecord& r) { r.right = r.left - 1; }},
        {"coordinates out of range", [](CDockPositionRecord& r) { r.bottom = 1 << 20; }},
        {"docked not a flag", [](CDockPositionRecord& r) { r.docked = 7; }},
        {"huge bar index", [](CDockPositionRecord& r) { r.barIndex = 0x10000; }},
    };
    for (const Case& c : cases) {
        CDockPositionRecord record = SampleRecord();
        c.damage(record);
        const auto bytes = EncodeDockRecord(record);
        CDockPositionRecord out;
        out.order = 77;
        EXPECT_FALSE(DecodeDockRecord(bytes.data(), bytes.size(), out)) << c.what;
        EXPECT_EQ(77u, out.order) << c.what;
    }
    const auto bytes = EncodeDockRecord(SampleRecord());
    CDockPositionRecord out;
    EXPECT_FALSE(DecodeDockRecord(bytes.data(), 59, out));
    std::vector<BYTE> longer(bytes.begin(), bytes.end());
    longer.push_back(0);
    EXPECT_FALSE(DecodeDockRecord(longer.data(), longer.size(), out));
    EXPECT_FALSE(DecodeDockRecord(nullptr, 60, out));
}

TEST(DockRestore, OrderIsLeftTopRightBottomOutermostBarFirstAndBoxOrderLast)
{
    auto key = [](uint32_t flags, uint32_t bar, float position, uint32_t order) {
        CDockPositionRecord r;
        r.flags = flags;
        r.barIndex = bar;
        r.position = position;
        r.order = order;
        return DockGeometry::RestoreOrderKey(r);
    };
    const uint32_t left = kDockFlagLeftRight | kDockFlagStartSide;
    const uint32_t top = kDockFlagStartSide;
    const uint32_t right = kDockFlagLeftRight;
    const uint32_t bottom = 0;
    EXPECT_LT(key(left, 3, 0.9f, 5), key(top, 0, 0, 0));
    EXPECT_LT(key(top, 3, 0.9f, 5), key(right, 0, 0, 0));
    EXPECT_LT(key(right, 3, 0.9f, 5), key(bottom, 0, 0, 0));
    EXPECT_LT(key(left, 0, 0.9f, 5), key(left, 1, 0.0f, 0));
    EXPECT_LT(key(left, 0, 0.25f, 5), key(left, 0, 0.5f, 0));
    EXPECT_EQ(0x00000005u | (8191u << 9) | (2u << 23) | (1u << 31), key(right | 0, 2, 0.5f, 5) ^ (0u));
    EXPECT_TRUE(DockGeometry::SameRestorePlace(key(left, 0, 0.5f, 0), key(left, 0, 0.5f, 1)));
    EXPECT_FALSE(DockGeometry::SameRestorePlace(key(left, 0, 0.5f, 0), key(left, 0, 0.75f, 0)));

    CDockPositionRecord floating;
    floating.flags = kDockFlagFloating;
    floating.header.host = 0x00012345u;
    EXPECT_EQ(0xE0012345u, DockGeometry::RestoreOrderKey(floating));
}

TEST(DockRestore, RecordsScaleToAnotherScreenSize)
{
    const float x = DockGeometry::ScreenRatio(1280, 1024);
    const float y = DockGeometry::ScreenRatio(1024, 768);
    CDockPositionRecord left;
    left.flags = kDockFlagLeftRight | kDockFlagStartSide;
    left.barThickness = 200;
    left.paneLength = 300;
    SetDockRect(left, RECT{100, 60, 300, 360});
    DockGeometry::ScaleRecord(left, x, y);
    EXPECT_EQ(250u, left.barThickness);
    EXPECT_EQ(400u, left.paneLength);
    EXPECT_EQ(125, left.left);
    EXPECT_EQ(80, left.top);
    EXPECT_EQ(375, left.right);
    EXPECT_EQ(480, left.bottom);

    CDockPositionRecord top;
    top.flags = kDockFlagStartSide;
    top.barThickness = 100;
    top.paneLength = 400;
    DockGeometry::ScaleRecord(top, x, y);
    EXPECT_EQ(133u, top.barThickness);
    EXPECT_EQ(500u, top.paneLength);

    CDockPositionRecord floating;
    floating.flags = kDockFlagFloating;
    floating.barThickness = 100;
    DockGeometry::ScaleRecord(floating, x, y);
    EXPECT_EQ(100u, floating.barThickness);

    EXPECT_EQ(1.0f, DockGeometry::ScreenRatio(1024, 0));
    EXPECT_EQ(1.0f, DockGeometry::ScreenRatio(1024, -5));
}

TEST(DockClamp, ADraggedRectangleIsAtMostAThirdOfTheClientAndAtLeastTheSystemMinimum)
{
    struct Case {
        RECT in;
        int width, height;
        RECT out;
    };
    const Case cases[] = {
        {{10, 20, 410, 320}, 900, 600, {10, 20, 310, 220}},
        {{10, 20, 60, 50}, 900, 600, {10, 20, 122, 50}},
        {{10, 20, 60, 40}, 900, 600, {10, 20, 122, 47}},
        // Narrower than three times the minimum: the minimum wins.
        {{0, 0, 300, 300}, 200, 60, {0, 0, 112, 27}},
    };
    for (const Case& c : cases) {
        const RECT out = DockGeometry::ClampDragRect(c.in, c.width, c.height, 112, 27);
        EXPECT_TRUE(::EqualRect(&out, &c.out)) << out.left << "," << out.top << "," << out.right << "," << out.bottom;
    }
}

// A package line: a left bar of 100 (minimum 40), the client (central, minimum 50), a right bar
// of 80 (minimum 30), over [-3, 500].
CDockLine SampleLine()
{
    CDockLine line(-3, 500);
    line.Insert(0, -3, 50);
    line.SetCentral(0);
    line.InsertSized(0, 100, 40);
    line.InsertSized(2, 80, 30);
    return line;
}

TEST(DockLine, BarsInsertedAroundTheCentralElementTakeTheirRoomFromIt)
{
    const CDockLine line = SampleLine();
    ASSERT_EQ(3, line.Count());
    EXPECT_EQ(1, line.Central());
    EXPECT_EQ(0, line.ElementStart(0));
    EXPECT_EQ(100, line.ElementEnd(0));
    EXPECT_EQ(103, line.ElementStart(1));
    EXPECT_EQ(417, line.ElementEnd(1));
    EXPECT_EQ(420, line.ElementStart(2));
    EXPECT_EQ(500, line.ElementEnd(2));
    EXPECT_EQ(129, line.Minimum());

    CDockLine removed = line;
    removed.Remove(0);
    EXPECT_EQ(0, removed.Central());
    EXPECT_EQ(0, removed.ElementStart(0));
    EXPECT_EQ(417, removed.ElementEnd(0));
}

TEST(DockLine, AResizeGoesToTheCentralElementUntilItsMinimumThenToEveryoneAndFinallyClips)
{
    CDockLine line = SampleLine();
    line.Resize(-3, 600);
    EXPECT_EQ(100, line.ElementEnd(0));
    EXPECT_EQ(520, line.ElementStart(2));
    EXPECT_EQ(600, line.ElementEnd(2));

    line = SampleLine();
    line.Resize(-3, 200);
    EXPECT_GE(line.ElementSize(0), 40);
    EXPECT_GE(line.ElementSize(1), 50);
    EXPECT_GE(line.ElementSize(2), 30);
    EXPECT_EQ(200, line.ElementEnd(2));

    line = SampleLine();
    line.Resize(-3, 50);  // below the minimums: every element keeps its minimum, the end is clipped
    EXPECT_EQ(40, line.ElementSize(0));
    EXPECT_EQ(50, line.ElementSize(1));
    EXPECT_EQ(30, line.ElementSize(2));
}

TEST(DockLine, SplittersStopWhereTheFarthestElementReachesItsMinimumAndPushNeighbours)
{
    CDockLine line = SampleLine();
    int lowest = 0;
    int highest = 0;
    line.SplitterRange(1, lowest, highest);
    EXPECT_EQ(40, lowest);
    EXPECT_EQ(500 - (50 + 3) - (30 + 3), highest);
    line.MoveSplitter(1, 1000);
    EXPECT_EQ(highest, line.SplitterStart(1));
    EXPECT_EQ(50, line.ElementSize(1));
    EXPECT_EQ(30, line.ElementSize(2));  // pushed along
    line.MoveSplitter(1, -100);
    EXPECT_EQ(40, line.ElementSize(0));

    EXPECT_EQ(1, line.SplitterAt(line.SplitterStart(1) + 1));
    EXPECT_EQ(-1, line.SplitterAt(0));  // the first element's splitter lies flush at the edge
}

TEST(DockLine, HitTestOffersNewBarsNearEdgesAndHandsTheInsideToTheElement)
{
    const CDockLine line = SampleLine();
    struct Case {
        int at;
        bool inside;
        CDockLine::EOffer kind;
        int element;
    };
    const Case cases[] = {
        {-17, true, CDockLine::EOffer::NewBar, 0},      // 17 outside the start edge
        {-19, true, CDockLine::EOffer::Refuse, -1},     // beyond the zone
        {516, true, CDockLine::EOffer::NewBar, 3},      // 17 outside the end edge
        {50, false, CDockLine::EOffer::Refuse, -1},     // beside the line across its axis
        {18, true, CDockLine::EOffer::AskElement, 0},   // 18 inside the bar
        {17, true, CDockLine::EOffer::NewBar, 0},       // near the bar's start
        {90, true, CDockLine::EOffer::NewBar, 1},       // near the bar's end
        {250, true, CDockLine::EOffer::AskElement, 1},  // the client's middle (the caller refuses)
        {110, true, CDockLine::EOffer::NewBar, 1},      // near the client's start
    };
    for (const Case& c : cases) {
        const CDockLine::Offer offer = line.HitTest(c.at, c.inside);
        EXPECT_EQ(c.kind, offer.kind) << c.at;
        EXPECT_EQ(c.element, offer.element) << c.at;
    }
    EXPECT_EQ(1, line.InsertIndexForEdge(103));  // in front of the client
    EXPECT_EQ(2, line.InsertIndexForEdge(300));  // behind it
}

TEST(DockLine, ABarWithoutCentralElementScalesItsPanesAndKeepsTheirMinimums)
{
    CDockLine bar(-3, 300);
    bar.InsertSized(0, 300, 20);
    bar.InsertSized(1, 100, 20);
    EXPECT_EQ(197, bar.ElementEnd(0));
    EXPECT_EQ(200, bar.ElementStart(1));
    bar.Resize(-3, 600);
    EXPECT_EQ(398, bar.ElementStart(1));  // (197 + 3) x 603 / 303 - 3, plus the splitter
    bar.Resize(-3, 30);
    EXPECT_EQ(20, bar.ElementSize(0));
    EXPECT_EQ(20, bar.ElementSize(1));
}

TEST(FlyingTabStrip, HeightFollowsTheFont)
{
    EXPECT_EQ(26, DockGeometry::FlyingTabHeight(true, 13));
    EXPECT_EQ(24, DockGeometry::FlyingTabHeight(true, 11));
    EXPECT_EQ(24, DockGeometry::FlyingTabHeight(false, 40));
    EXPECT_EQ(255, DockGeometry::FlyingTabHeight(true, 500));
}

TEST(FlyingTabStrip, ANeighbourSwappedOnceIsNotSwappedBackUntilTheCursorPassesIt)
{
    // Tab 0 (50 wide) dragged over tab 1 (100 wide, at 50..150).
    EXPECT_FALSE(DockGeometry::ShouldSwap(0, 1, +10, 60, 50, RECT{50, 0, 150, 20}));
    EXPECT_TRUE(DockGeometry::ShouldSwap(0, 1, +10, 110, 50, RECT{50, 0, 150, 20}));
    // Swapped: the neighbour is tab 0 at 0..100, the dragged tab 1 at 100..150.
    EXPECT_FALSE(DockGeometry::ShouldSwap(1, 0, -50, 60, 50, RECT{0, 0, 100, 20}));
    EXPECT_FALSE(DockGeometry::ShouldSwap(1, 0, +5, 40, 50, RECT{0, 0, 100, 20}));
    EXPECT_TRUE(DockGeometry::ShouldSwap(1, 0, -20, 40, 50, RECT{0, 0, 100, 20}));
    EXPECT_FALSE(DockGeometry::ShouldSwap(1, 1, -20, 40, 50, RECT{0, 0, 100, 20}));
}

TEST(DockLook, ShadesLiftTheFaceAndDarkenTextTowardsGrey)
{
    EXPECT_EQ(RGB(247, 242, 233), DockGeometry::FaceShade(RGB(212, 208, 200)));
    EXPECT_EQ(RGB(35, 35, 35), DockGeometry::FaceShade(RGB(0, 0, 0)));
    EXPECT_EQ(RGB(84, 84, 84), DockGeometry::TextShade(RGB(0, 0, 0), RGB(128, 128, 128)));
}

TEST(DockCaption, CloseButtonIsSquareAtTheFarEndOfTheCaption)
{
    const RECT horizontal = DockGeometry::CloseButtonRect(RECT{0, 0, 200, 20}, false);
    const RECT expectedHorizontal = {186, 4, 198, 16};
    EXPECT_TRUE(::EqualRect(&horizontal, &expectedHorizontal));
    const RECT vertical = DockGeometry::CloseButtonRect(RECT{0, 0, 20, 200}, true);
    const RECT expectedVertical = {4, 2, 16, 14};
    EXPECT_TRUE(::EqualRect(&vertical, &expectedVertical));
}

}  // namespace
