#include "frame/gestures/GestureSettings.h"
#include "frame/gestures/TrailPreviewFilter.h"
#include "frame/gestures/TrailSettings.h"
#include "frame/gestures/TrailWindow.h"
#include "frame/gestures/tests/GestureTestWindows.h"

#include "controls/tests/FakeSettingsStore.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace trail_geometry;

TEST(TrailGeometry, TheDirtyRectangleHasRoomForTheDotAndTheArrowHead)
{
    const RECT bounds = {0, 0, 1000, 800};
    const RECT dirty = DirtyRect({100, 200, 300, 400}, 10, bounds);
    EXPECT_EQ(dirty.left, 80);
    EXPECT_EQ(dirty.top, 180);
    EXPECT_EQ(dirty.right, 320);
    EXPECT_EQ(dirty.bottom, 440);
    const RECT thin = DirtyRect({100, 200, 100, 200}, 0, bounds);
    EXPECT_EQ(thin.left, 99);
    EXPECT_EQ(thin.bottom, 202);
    const RECT clipped = DirtyRect({5, 5, 990, 790}, 10, bounds);
    EXPECT_EQ(clipped.left, 0);
    EXPECT_EQ(clipped.top, 0);
    EXPECT_EQ(clipped.right, 1000);
    EXPECT_EQ(clipped.bottom, 800);
}

TEST(TrailGeometry, TheArrowHeadPointsAlongTheLastSegment)
{
    // Rightwards with width 10: the tip 15 pixels ahead, the back corners 25 * cos 30 behind the
    // tip and 25 * sin 30 = 12.5 to each side, truncated.
    POINT triangle[3];
    ArrowHead({{0, 0}, {100, 50}, {200, 50}}, 10, triangle);
    EXPECT_EQ(triangle[0].x, 215);
    EXPECT_EQ(triangle[0].y, 50);
    EXPECT_EQ(triangle[1].x, 215 - 21);
    EXPECT_EQ(triangle[2].x, 215 - 21);
    EXPECT_EQ(std::abs(triangle[1].y - 50), 12);
    EXPECT_EQ(std::abs(triangle[2].y - 50), 12);
    EXPECT_NE(triangle[1].y, triangle[2].y);
    // Straight up (dy < 0, dx = 0): the tip lies above the last point.
    ArrowHead({{50, 100}, {50, 60}}, 4, triangle);
    EXPECT_EQ(triangle[0].x, 50);
    EXPECT_EQ(triangle[0].y, 54);
    // A width under 2 is drawn at size 2.
    ArrowHead({{0, 0}, {0, 10}}, 0, triangle);
    EXPECT_EQ(triangle[0].y, 13);

    EXPECT_FALSE(DrawsArrowHead({{0, 0}}, 10));                      // a tap: only the dot
    EXPECT_FALSE(DrawsArrowHead({{0, 0}, {3, 4}, {6, 8}}, 10));      // ends 10 apart, width 10
    EXPECT_TRUE(DrawsArrowHead({{0, 0}, {3, 4}, {6, 9}}, 10));
    EXPECT_TRUE(DrawsArrowHead({{0, 0}, {1, 0}, {2, 0}, {1, 0}, {2, 0}, {0, 0}}, 10));  // 6 points
}

TEST(TrailGeometry, TheFadeLowersTheAlphaInStepsOfTheFadeSpeed)
{
    EXPECT_TRUE(FadeSteps(128, 255).empty());  // 255: no fading
    const std::vector<BYTE> slow = FadeSteps(128, 1);
    ASSERT_EQ(slow.size(), 128u);
    EXPECT_EQ(slow.front(), 128);
    EXPECT_EQ(slow.back(), 1);
    EXPECT_EQ(FadeSteps(200, 64), (std::vector<BYTE>{200, 136, 72, 8}));
    EXPECT_EQ(FadeSteps(128, 0).size(), 128u);  // a speed under 1 counts as 1
    EXPECT_TRUE(FadeSteps(0, 5).empty());
}

TEST(TrailSettings, AreReadWithTheirDefaultsAndKeptInRange)
{
    CFakeSettingsStore store;
    CGestureSettings gestures(store);
    {
        CTrailSettings trails(store, &gestures);
        EXPECT_EQ(trails.GetColor(), 0x800000u);
        EXPECT_EQ(trails.GetTransparency(), 128);
        EXPECT_EQ(trails.GetWidth(), 10);
        EXPECT_EQ(trails.GetFadeSpeed(), 255);
        // Trails are off by default ("Flags" 1): strokes are drawn on the null sink.
        EXPECT_EQ(&trails.GetTrailSink(), &GetNullTrailSink());
        EXPECT_EQ(trails.GetTrailWindow(), nullptr);
    }
    store.WriteInt(kMouseGesturesSection, "Color", 0xFF123456u);
    store.WriteInt(kMouseGesturesSection, "Transparency", 4000);
    store.WriteInt(kMouseGesturesSection, "Width", 0xFFFFFFFFu);
    store.WriteInt(kMouseGesturesSection, "FadeSpeed", 0);
    CTrailSettings damaged(store, &gestures);
    EXPECT_EQ(damaged.GetColor(), 0x123456u);
    EXPECT_EQ(damaged.GetTransparency(), 255);
    EXPECT_EQ(damaged.GetWidth(), 0);
    EXPECT_EQ(damaged.GetFadeSpeed(), 1);
    damaged.SetLook(RGB(1, 2, 3), 0, 30, 300);
    EXPECT_EQ(store.GetInt(kMouseGesturesSection, "Transparency", 99), 0u);
    EXPECT_EQ(store.GetInt(kMouseGesturesSection, "Width", 99), 20u);
    EXPECT_EQ(store.GetInt(kMouseGesturesSection, "FadeSpeed", 99), 255u);
}

// The trail window over the desktop: layered with the colour key and the alpha of the settings,
// never active, never in the way of the mouse; a stroke is painted on it and cleared at its end.
TEST(TrailWindow, PaintsTheStrokeAndClearsIt)
{
    CFakeSettingsStore store;
    CGestureSettings gestures(store);
    gestures.SetFlags(kGestureFlagEnabled | kGestureFlagTrails);
    CTrailSettings trails(store, &gestures);
    trails.SetLook(RGB(0, 0, 0x80), 200, 8, 255);
    CTrailSink& sink = trails.GetTrailSink();
    CTrailWindow* trail = trails.GetTrailWindow();
    ASSERT_NE(trail, nullptr);
    ASSERT_EQ(&sink, static_cast<CTrailSink*>(trail));
    EXPECT_TRUE(IsWindowVisible(*trail));
    const LONG exStyle = GetWindowLongA(*trail, GWL_EXSTYLE);
    EXPECT_TRUE(exStyle & WS_EX_LAYERED);
    EXPECT_TRUE(exStyle & WS_EX_TOPMOST);
    EXPECT_TRUE(exStyle & WS_EX_TRANSPARENT);
    EXPECT_NE(GetActiveWindow(), static_cast<HWND>(*trail));
    char className[32] = {};
    GetClassNameA(*trail, className, sizeof className);
    EXPECT_STREQ(className, "TrailWindow");
    BYTE alpha = 0;
    DWORD flags = 0;
    COLORREF key = 0;
    ASSERT_TRUE(GetLayeredWindowAttributes(*trail, &key, &alpha, &flags));
    EXPECT_EQ(key, kTrailColorKey);
    EXPECT_EQ(alpha, 200);
    EXPECT_EQ(flags, static_cast<DWORD>(LWA_COLORKEY | LWA_ALPHA));

    gesture_test::CPageWindow page("TrailTestPage", {200, 150, 600, 450});
    sink.Begin(page);
    CGestureStroke stroke = {{20, 20}};
    sink.AddPoint(stroke);
    for (int i = 1; i <= 40; ++i) {
        stroke.push_back({20 + i, 20 + i * 3});
        sink.AddPoint(stroke);
    }
    // Points closer than 5 pixels to the last one taken are dropped: every other one here.
    EXPECT_EQ(trail->GetPoints().size(), 21u);
    EXPECT_EQ(trail->GetPoints().front().x, 220 - 1);  // page origin 200, covered area from 1
    // The start dot, the line and the arrow head in the trail colour, on the colour key elsewhere.
    const RECT around = {200, 150, 360, 450};
    kivo_test::CPixels pixels;
    ASSERT_TRUE(gesture_test::WriteTrailScreenshot(*trail, around, "gesture-trail-window.bmp", &pixels));
    const COLORREF color = RGB(0, 0, 0x80);
    EXPECT_EQ(pixels.At(20, 20), color);       // the dot at the first point
    EXPECT_EQ(pixels.At(40, 80), color);       // on the line, a third of the way
    EXPECT_EQ(pixels.At(62, 146), color);      // the arrow head beyond the last point
    EXPECT_EQ(pixels.At(120, 40), kTrailColorKey);
    EXPECT_EQ(pixels.At(5, 200), kTrailColorKey);
    sink.End();
    EXPECT_TRUE(trail->GetPoints().empty());
    EXPECT_TRUE(trail->GetLastFade().empty());  // 255: gone at once
    ASSERT_TRUE(GetLayeredWindowAttributes(*trail, &key, &alpha, &flags));
    EXPECT_EQ(alpha, 200);

    // New settings reach the window the next time a sink is asked for.
    trails.SetLook(RGB(0, 0, 0x80), 128, 8, 1);
    trails.GetTrailSink();
    EXPECT_EQ(trail->GetTransparency(), 128);
    sink.Begin(page);
    sink.AddPoint(stroke);
    sink.End();
    EXPECT_EQ(trail->GetLastFade().size(), 128u);
    ASSERT_TRUE(GetLayeredWindowAttributes(*trail, &key, &alpha, &flags));
    EXPECT_EQ(alpha, 128);
}

// A preview filter draws on a trail window of its own, with the look it is given.
TEST(TrailPreviewFilter, DrawsOnItsOwnTrailWindow)
{
    CTrailPreviewFilter preview;
    EXPECT_EQ(preview.GetTrailWindow(), nullptr);
    preview.ApplyTrailSettings(RGB(0x80, 0, 0), 4, 90, 30);
    CTrailWindow* own = preview.GetTrailWindow();
    ASSERT_NE(own, nullptr);
    EXPECT_EQ(&preview.GetTrailSink(), static_cast<CTrailSink*>(own));
    EXPECT_EQ(own->GetTransparency(), 90);
    EXPECT_EQ(own->GetFadeSpeed(), 30);
    CTrailSettings* program = GetTrailSettings();
    ASSERT_NE(program, nullptr);
    EXPECT_NE(program->GetTrailWindow(), own);
    BYTE alpha = 0;
    DWORD flags = 0;
    COLORREF key = 0;
    ASSERT_TRUE(GetLayeredWindowAttributes(*own, &key, &alpha, &flags));
    EXPECT_EQ(alpha, 90);
}
