#include "frame/gestures/GestureStroke.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numeric>

namespace {

CGestureStroke Straight(int count, int dx, int dy, CGesturePoint start = {100, 100})
{
    CGestureStroke stroke;
    for (int i = 0; i < count; ++i)
        stroke.push_back({start.x + i * dx, start.y + i * dy});
    return stroke;
}

std::vector<float> Inputs(const CGestureStroke& stroke)
{
    CGestureStroke resampled;
    std::vector<float> inputs;
    EXPECT_TRUE(ResampleGestureStroke(stroke, resampled));
    EXPECT_TRUE(EncodeGestureStroke(resampled, inputs));
    return inputs;
}

}  // namespace

TEST(GestureStroke, StrokesOfFourPointsOrAPathUnderFivePixelsAreNeverJudged)
{
    struct Case {
        CGestureStroke stroke;
        bool judged;
    };
    const Case cases[] = {
        {{}, false},
        {Straight(4, 50, 0), false},                        // long, but only 4 points
        {Straight(5, 1, 0), false},                         // 5 points, a path of 4 pixels
        {{{0, 0}, {3, 4}, {3, 4}, {3, 4}, {3, 4}}, true},   // a path of exactly 5.0
        {{{0, 0}, {1, 1}, {2, 2}, {3, 3}, {3, 2}}, true},   // 3 * sqrt(2) + 1 = 5.24
        {{{0, 0}, {1, 1}, {2, 2}, {3, 3}, {3, 3}}, false},  // 4.24
        {Straight(5, 2, 0), true},
    };
    int index = 0;
    for (const Case& c : cases) {
        CGestureStroke resampled = {{9, 9}};
        const bool expected = c.judged;
        EXPECT_EQ(ResampleGestureStroke(c.stroke, resampled), expected) << "case " << index;
        EXPECT_EQ(resampled.size(), expected ? kGesturePointCount : 0u) << "case " << index;
        ++index;
    }
    EXPECT_DOUBLE_EQ(GesturePathLength({{0, 0}, {3, 4}, {6, 8}}), 10.0);
}

// 5 points are refined twice (9, then 17); 9 points once (17) and not merged.
TEST(GestureStroke, ShortStrokesAreRefinedByHalvingTowardZero)
{
    const CGestureStroke nine = {{0, 0}, {3, 0}, {6, 1}, {9, -3}, {12, -7}, {15, -7}, {18, -4}, {21, 0}, {25, 5}};
    CGestureStroke resampled;
    ASSERT_TRUE(ResampleGestureStroke(nine, resampled));
    const CGestureStroke expected = {{0, 0},   {1, 0},   {3, 0},   {4, 0},   {6, 1},   {7, -1},
                                     {9, -3},  {10, -5}, {12, -7}, {13, -7}, {15, -7}, {16, -6},
                                     {18, -4}, {19, -2}, {21, 0},  {23, 2},  {25, 5}};
    EXPECT_EQ(resampled, expected);

    const CGestureStroke five = {{0, 0}, {8, 0}, {16, 0}, {24, 0}, {32, 0}};
    ASSERT_TRUE(ResampleGestureStroke(five, resampled));
    for (size_t i = 0; i < resampled.size(); ++i)
        EXPECT_EQ(resampled[i], (CGesturePoint{static_cast<int>(2 * i), 0})) << i;
}

// 10 points become 19 in one pass and lose two points to merges of the closest inner pairs; the
// earlier point of a pair goes, the later one takes the midpoint, and the ends never move.
TEST(GestureStroke, LongStrokesMergeTheirClosestInnerPairs)
{
    const CGestureStroke ten = {{0, 0}, {40, 0}, {80, 0}, {82, 0}, {120, 0}, {160, 0}, {200, 0}, {240, 0}, {280, 0}, {281, 0}};
    CGestureStroke resampled;
    ASSERT_TRUE(ResampleGestureStroke(ten, resampled));
    // Refined: 0 20 40 60 80 81 82 101 120 140 160 180 200 220 240 260 280 280 281 (281 - 280
    // halves to 0). The closest inner pair is (280, 280), merged into 280; then the first of the
    // pairs 1 apart, (80, 81), merged into 80. The last pair holds the end and is never merged.
    const std::vector<int> xs = {0, 20, 40, 60, 80, 82, 101, 120, 140, 160, 180, 200, 220, 240, 260, 280, 281};
    ASSERT_EQ(resampled.size(), xs.size());
    for (size_t i = 0; i < xs.size(); ++i)
        EXPECT_EQ(resampled[i].x, xs[i]) << i;

    CGestureStroke many;
    for (int i = 0; i < 60; ++i)
        many.push_back({i * i, 3 * i});
    ASSERT_TRUE(ResampleGestureStroke(many, resampled));
    EXPECT_EQ(resampled.size(), 17u);
    EXPECT_EQ(resampled.front(), many.front());
    EXPECT_EQ(resampled.back(), many.back());

    const CGestureStroke seventeen = Straight(17, 3, 1);
    ASSERT_TRUE(ResampleGestureStroke(seventeen, resampled));
    EXPECT_EQ(resampled, seventeen);
}

TEST(GestureStroke, InputsAreTheSineAndSignedCosineOfEachSegment)
{
    struct Case {
        const char* name;
        CGestureStroke stroke;
        float sine;
        float cosine;
    };
    const Case cases[] = {
        {"down", Straight(17, 0, 7), 1.0f, 0.0f},
        {"up", Straight(17, 0, -7), -1.0f, 0.0f},
        {"left", Straight(17, -7, 0), 0.0f, -1.0f},
        {"right", Straight(17, 7, 0), 0.0f, 1.0f},
        {"down-left", Straight(17, -3, 4), 0.8f, -0.6f},
    };
    for (const Case& c : cases) {
        const std::vector<float> inputs = Inputs(c.stroke);
        ASSERT_EQ(inputs.size(), 32u);
        for (size_t i = 0; i < 16; ++i) {
            EXPECT_FLOAT_EQ(inputs[i], c.sine) << c.name << " " << i;
            EXPECT_NEAR(inputs[16 + i], c.cosine, 1e-6) << c.name << " " << i;
        }
    }
    // A point repeated gives a zero-length segment, which reads as (1.0, 0.0).
    CGestureStroke repeated = Straight(17, 5, 0);
    repeated[8] = repeated[7];
    const std::vector<float> inputs = Inputs(repeated);
    EXPECT_EQ(inputs[7], 1.0f);
    EXPECT_EQ(inputs[16 + 7], 0.0f);
    EXPECT_EQ(inputs[8], 0.0f);
    EXPECT_EQ(inputs[16 + 8], 1.0f);
}

TEST(GestureStroke, TheBestShareMustLeadByMoreThanAQuarter)
{
    struct Case {
        std::vector<float> shares;  // made to sum to 1 below
        int expected;
    };
    const Case cases[] = {
        {{0.5f, 0.25f, 0.25f}, -1},            // leads by exactly 0.25
        {{0.25f, 0.0f, 0.0f, 0.75f}, 3},
        {{0.25f, 0.25f, 0.25f, 0.25f}, -1},    // 0.25 is never above 0.25
        {{0.51f, 0.25f, 0.24f}, 0},
        {{0.2f, 0.6f, 0.2f}, 1},
        {{0.3f, 0.3f, 0.4f}, -1},
        {{0.0f, 0.0f}, -1},                    // nothing to share
    };
    for (const Case& c : cases) {
        CGestureRanking ranking;
        std::vector<float> outputs = c.shares;
        for (float& value : outputs)
            value *= 3.0f;  // the judging works on shares, whatever the scale
        EXPECT_EQ(JudgeGestureOutputs(outputs, ranking), c.expected);
    }
    CGestureRanking ranking;
    EXPECT_EQ(JudgeGestureOutputs({0.1f, 0.7f, 0.1f, 0.1f}, ranking), 1);
    EXPECT_EQ(ranking.top[0].index, 1u);
    EXPECT_FLOAT_EQ(ranking.top[0].share, 0.7f);
    // A tie goes to the first in output order.
    EXPECT_EQ(ranking.top[1].index, 0u);
    EXPECT_EQ(ranking.top[2].index, 2u);
}
