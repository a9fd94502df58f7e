#include "frame/gestures/GestureRecognizer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

struct CCorner {
    double x;
    double y;
};

// A stroke through the corners, one point every `step` pixels as a steady hand gives them.
CGestureStroke Draw(std::initializer_list<CCorner> corners, double step = 6.0)
{
    CGestureStroke stroke;
    const std::vector<CCorner> c(corners);
    stroke.push_back({static_cast<int>(c[0].x), static_cast<int>(c[0].y)});
    for (size_t i = 1; i < c.size(); ++i) {
        const double length = std::hypot(c[i].x - c[i - 1].x, c[i].y - c[i - 1].y);
        const int steps = std::max(1, static_cast<int>(length / step));
        for (int s = 1; s <= steps; ++s) {
            const double t = static_cast<double>(s) / steps;
            stroke.push_back({static_cast<int>(std::lround(c[i - 1].x + (c[i].x - c[i - 1].x) * t)),
                              static_cast<int>(std::lround(c[i - 1].y + (c[i].y - c[i - 1].y) * t))});
        }
    }
    return stroke;
}

CGestureStroke Circle()
{
    CGestureStroke stroke;
    for (int i = 0; i <= 60; ++i) {
        const double angle = 2 * 3.14159265358979 * i / 60;
        stroke.push_back({static_cast<int>(std::lround(300 - 90 * std::sin(angle))),
                          static_cast<int>(std::lround(300 - 90 * std::cos(angle)))});
    }
    return stroke;
}

}  // namespace

// Strokes of this test's own drawing, neither the trainer's nor its benchmark's, at two sizes:
// every gesture that carries an action, and a few of the others.
TEST(GestureRecognizer, NamesTheShapesDrawnByHand)
{
    struct Case {
        const char* name;
        CGestureStroke stroke;
        int expected;
    };
    for (double size : {100.0, 240.0}) {
        const double s = size;
        const Case cases[] = {
            {"Up", Draw({{300, 300 + s}, {300, 300}}), kGestureUp},
            {"Down", Draw({{300, 300}, {303, 300 + s}}), kGestureDown},
            {"Up-Down", Draw({{300, 300 + s}, {300, 300}, {306, 300 + s}}), kGestureUpDown},
            {"Down-Up", Draw({{300, 300}, {300, 300 + s}, {306, 300}}), kGestureDownUp},
            {"Right", Draw({{300, 300}, {300 + s, 304}}), kGestureRight},
            {"Left", Draw({{300 + s, 300}, {300, 300}}), kGestureLeft},
            {"Right-Left", Draw({{300, 300}, {300 + s, 300}, {300, 306}}), kGestureRightLeft},
            {"Left-Right", Draw({{300 + s, 300}, {300, 300}, {300 + s, 306}}), kGestureLeftRight},
            {"Down-Right", Draw({{300, 300}, {300, 300 + s}, {300 + s, 300 + s}}), kGestureDownRight},
            {"Up-Left", Draw({{300 + s, 300 + s}, {300 + s, 300}, {300, 300}}), kGestureUpLeft},
            {"Down-Left", Draw({{300 + s, 300}, {300 + s, 300 + s}, {300, 300 + s}}), kGestureDownLeft},
            {"Up-Right", Draw({{300, 300 + s}, {300, 300}, {300 + s, 300}}), kGestureUpRight},
            {"Left Arrow", Draw({{300 + s, 300}, {300, 300 + s / 2}, {300 + s, 300 + s}}), kGestureLeftArrow},
            {"Right Arrow", Draw({{300, 300}, {300 + s, 300 + s / 2}, {300, 300 + s}}), kGestureRightArrow},
            {"Down Arrow", Draw({{300, 300}, {300 + s / 2, 300 + s}, {300 + s, 300}}), kGestureDownArrow},
            {"Up Arrow", Draw({{300, 300 + s}, {300 + s / 2, 300}, {300 + s, 300 + s}}), kGestureUpArrow},
            {"Rectangle", Draw({{300, 300}, {300, 300 + s}, {300 + s, 300 + s}, {300 + s, 300}, {300, 300}}),
             kGestureRectangle},
            {"Triangle", Draw({{300, 300 + s}, {300 + s / 2, 300}, {300 + s, 300 + s}, {300, 300 + s}}), kGestureTriangle},
            {"N", Draw({{300, 300 + s}, {300, 300}, {300 + s, 300 + s}, {300 + s, 300}}), kGestureN},
        };
        for (const Case& c : cases) {
            CGestureRecognizer recognizer;
            EXPECT_EQ(recognizer.Recognize(c.stroke), c.expected) << c.name << " at " << size << " pixels";
            EXPECT_EQ(recognizer.GetState(), CGestureRecognizer::State::Recognized) << c.name;
        }
    }
    CGestureRecognizer recognizer;
    EXPECT_EQ(recognizer.Recognize(Circle()), kGestureCircle);
}

TEST(GestureRecognizer, ShortStrokesAndClicksAreNotJudged)
{
    CGestureRecognizer recognizer;
    EXPECT_EQ(recognizer.Recognize({{10, 10}}), -1);
    EXPECT_EQ(recognizer.GetState(), CGestureRecognizer::State::Working);
    EXPECT_EQ(recognizer.Recognize({{10, 10}, {10, 40}, {10, 70}, {10, 100}}), -1);
    EXPECT_EQ(recognizer.GetState(), CGestureRecognizer::State::Working);
    EXPECT_EQ(recognizer.Recognize({{10, 10}, {11, 10}, {12, 11}, {12, 12}, {13, 12}}), -1);
    EXPECT_EQ(recognizer.GetState(), CGestureRecognizer::State::Working);
}

// The recogniser is configured as its network's table was trained: logistic units, a bias input
// of 0.5 and no input scaling.
TEST(GestureRecognizer, ConfiguresItsNetworkAsTheTableWasTrained)
{
    const CGestureRecognizer recognizer;
    const CNeuralNet& net = recognizer.GetNetwork();
    EXPECT_EQ(net.layerSizes, (std::vector<int>{32, 32, 29}));
    EXPECT_EQ(net.activation, &LogisticActivation);
    EXPECT_EQ(net.biasInput, 0.5f);
    EXPECT_EQ(net.inputScale, 1.0f);
    EXPECT_NEAR(LogisticActivation(0.0f), 0.5, 1e-12);
    EXPECT_NEAR(LogisticActivation(1.0f), 0.7310585786, 1e-9);
    EXPECT_STREQ(GetGestureShapeName(kGestureHourGlass), "Hour-Glass");
    EXPECT_EQ(GetGestureShapeName(29), nullptr);
}

// A stroke that wanders without a shape is refused by the share thresholds rather than named.
TEST(GestureRecognizer, RefusesAStrokeWithoutAShape)
{
    CGestureRecognizer recognizer;
    const CGestureStroke scribble = Draw({{300, 300}, {420, 330}, {310, 380}, {400, 250}, {350, 420}, {460, 400},
                                          {290, 260}});
    EXPECT_EQ(recognizer.Recognize(scribble), -1);
    EXPECT_EQ(recognizer.GetState(), CGestureRecognizer::State::Rejected);
    EXPECT_LE(recognizer.GetRanking().top[0].share - recognizer.GetRanking().top[1].share, 0.25f + 1e-6f);
}
