#pragma once
// Synthetic mouse strokes of the 29 shapes the gesture network knows, and random scribbles that
// are none of them, drawn with the variety of real hands: sizes from about 30 to 600 pixels,
// uneven aspect, slight rotation and skew, sloppy corners, a slow-fast-slow hand that the mouse
// samples 60 to 125 times a second, tremor and whole-pixel positions. The trainer learns from one
// seed's strokes and the benchmark judges the network on another's, so the two sets never meet.
//
// Everything is deterministic: the generator is a fixed 64-bit mixer and every random choice is
// made from its raw output, so a seed gives the same strokes with any compiler and library.
#include "frame/gestures/GestureStroke.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace gesture_shapes {

constexpr double kPi = 3.14159265358979323846;
constexpr int kShapeCount = 29;
constexpr int kScribble = -1;
// The seeds of the two sets: the trainer learns from the first, the benchmark judges on the second.
constexpr uint64_t kTrainingSeed = 0x4B69766F47657374ull;
constexpr uint64_t kHeldOutSeed = 0x48656C644F757421ull;
constexpr int kHeldOutPerShape = 300;
constexpr int kHeldOutScribbles = 1200;

// splitmix64: small, fast and the same everywhere.
class CRandom {
public:
    explicit CRandom(uint64_t seed) : m_state(seed) {}
    uint64_t Next()
    {
        uint64_t z = (m_state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // Uniform in [0, 1).
    double Unit() { return static_cast<double>(Next() >> 11) * (1.0 / 9007199254740992.0); }
    double Uniform(double low, double high) { return low + (high - low) * Unit(); }
    int Integer(int low, int high) { return low + static_cast<int>(Unit() * (high - low + 1)); }
    bool Chance(double p) { return Unit() < p; }

private:
    uint64_t m_state;
};

struct CVector {
    double x = 0.0;
    double y = 0.0;
};
using CPath = std::vector<CVector>;

inline CPath Line(std::initializer_list<CVector> points) { return CPath(points); }

// A curve sampled densely from t = 0 to 1.
template <typename F>
CPath Curve(F f, int samples = 120)
{
    CPath path;
    for (int i = 0; i <= samples; ++i)
        path.push_back(f(static_cast<double>(i) / samples));
    return path;
}

// The shape's outline in a unit box (x to the right, y downwards), in the order it is drawn.
// `straight` tells the one-dimensional strokes, whose thickness stays small whatever the aspect.
inline CPath ShapeTemplate(int shape, bool& straight)
{
    straight = shape <= 7;
    switch (shape) {
    case 0: return Line({{0.5, 1}, {0.5, 0}});                          // Up
    case 1: return Line({{0.5, 0}, {0.5, 1}});                          // Down
    case 2: return Line({{0.5, 1}, {0.5, 0}, {0.56, 1}});               // Up-Down
    case 3: return Line({{0.5, 0}, {0.5, 1}, {0.56, 0}});               // Down-Up
    case 4: return Line({{0, 0.5}, {1, 0.5}});                          // Right
    case 5: return Line({{1, 0.5}, {0, 0.5}});                          // Left
    case 6: return Line({{0, 0.5}, {1, 0.5}, {0, 0.56}});               // Right-Left
    case 7: return Line({{1, 0.5}, {0, 0.5}, {1, 0.56}});               // Left-Right
    case 8: return Line({{0, 0}, {0, 1}, {1, 1}});                      // Down-Right
    case 9: return Line({{1, 1}, {1, 0}, {0, 0}});                      // Up-Left
    case 10: return Line({{0, 0}, {0, 1}, {1, 1}, {1, 0}, {0, 0}});     // Rectangle
    case 11: return Line({{1, 0}, {1, 1}, {0, 1}});                     // Down-Left
    case 12: return Line({{0, 1}, {0, 0}, {1, 0}});                     // Up-Right
    case 13: return Line({{1, 0}, {0, 0.5}, {1, 1}});                   // Left Arrow
    case 14: return Line({{0, 0}, {1, 0.5}, {0, 1}});                   // Right Arrow
    case 15: return Line({{0, 0}, {1, 0}, {0, 1}, {1, 1}});             // Zigzag
    case 16: return Line({{0, 0}, {0.5, 1}, {1, 0}});                   // Down Arrow
    case 17: return Line({{0, 1}, {0.5, 0}, {1, 1}});                   // Up Arrow
    case 18: return Line({{1, 0}, {0, 1}, {0, 0}, {1, 1}});             // Down-Left Cross
    case 19: return Line({{0, 0}, {1, 1}, {1, 0}, {0, 1}});             // Down-Right Cross
    case 20:                                                            // Helix: three loops to the right
        return Curve([](double t) {
            const double angle = 2 * kPi * 3 * t;
            return CVector{0.25 + 0.5 * t - 0.25 * std::sin(angle), 0.5 - 0.5 * std::cos(angle)};
        }, 240);
    case 21: return Line({{0, 1}, {0.5, 0}, {1, 1}, {0, 1}});           // Triangle
    case 22: return Line({{0, 0}, {1, 0}, {0, 1}, {1, 1}, {0, 0}});     // Hour-Glass
    case 23: return Line({{0, 1}, {0, 0}, {0.8, 0.25}, {0, 0.5}});      // Flag
    case 24:                                                            // Circle, from the top to the left
        return Curve([](double t) {
            const double angle = 2 * kPi * t;
            return CVector{0.5 - 0.5 * std::sin(angle), 0.5 - 0.5 * std::cos(angle)};
        });
    case 25:                                                            // Wave: two periods, up first
        return Curve([](double t) { return CVector{t, 0.5 - 0.5 * std::sin(2 * kPi * 2 * t)}; });
    case 26: return Line({{0, 1}, {0, 0}, {1, 1}, {1, 0}});             // N
    case 27: return Line({{0, 1}, {0, 0}, {0.5, 0.6}, {1, 0}, {1, 1}}); // M
    case 28: return Line({{0, 0}, {0.25, 1}, {0.5, 0.3}, {0.75, 1}, {1, 0}}); // W
    default: return {};
    }
}

inline double Length(const CVector& a, const CVector& b) { return std::hypot(b.x - a.x, b.y - a.y); }

// Cuts every inner corner: the corner point becomes two points a share of the way along its
// segments, so a hasty hand's rounded corner replaces the sharp one.
inline CPath CutCorners(const CPath& path, double share)
{
    if (path.size() < 3 || share <= 0.0)
        return path;
    CPath cut{path.front()};
    for (size_t i = 1; i + 1 < path.size(); ++i) {
        const CVector& a = path[i - 1];
        const CVector& b = path[i];
        const CVector& c = path[i + 1];
        cut.push_back({b.x + (a.x - b.x) * share, b.y + (a.y - b.y) * share});
        cut.push_back({b.x + (c.x - b.x) * share, b.y + (c.y - b.y) * share});
    }
    cut.push_back(path.back());
    return cut;
}

// The point at arc length `at` of a polyline.
inline CVector PointAt(const CPath& path, const std::vector<double>& cumulative, double at)
{
    if (at <= 0.0)
        return path.front();
    auto upper = std::lower_bound(cumulative.begin(), cumulative.end(), at);
    if (upper == cumulative.end())
        return path.back();
    const size_t i = static_cast<size_t>(upper - cumulative.begin());
    if (i == 0)
        return path.front();
    const double span = cumulative[i] - cumulative[i - 1];
    const double t = span > 0 ? (at - cumulative[i - 1]) / span : 0.0;
    return {path[i - 1].x + (path[i].x - path[i - 1].x) * t, path[i - 1].y + (path[i].y - path[i - 1].y) * t};
}

// Draws a path (already in pixels) the way a hand and a mouse do and gives the stroke's points.
inline CGestureStroke SampleLikeAMouse(const CPath& path, CRandom& random)
{
    std::vector<double> cumulative{0.0};
    for (size_t i = 1; i < path.size(); ++i)
        cumulative.push_back(cumulative.back() + Length(path[i - 1], path[i]));
    const double total = cumulative.back();
    // Duration grows slowly with the size; a hurried hand draws a large shape in a fifth of a second.
    const double seconds = random.Uniform(0.12, 0.45) + total / random.Uniform(900.0, 3000.0);
    const double rate = random.Uniform(60.0, 125.0);
    const int steps = std::max(6, static_cast<int>(seconds * rate));
    const double tremor = random.Uniform(0.0, 1.6);
    const double wobbleSize = random.Uniform(0.0, 0.025) * total;
    const double wobblePhase = random.Uniform(0.0, 2 * kPi);
    const double wobbleCycles = random.Uniform(0.5, 2.0);
    const bool steady = random.Chance(0.3);
    CGestureStroke stroke;
    for (int i = 0; i <= steps; ++i) {
        const double tau = static_cast<double>(i) / steps;
        // The minimum-jerk profile, slow at both ends and fastest in the middle; a steady hand
        // keeps one speed.
        const double s = steady ? tau : tau * tau * tau * (10 - 15 * tau + 6 * tau * tau);
        CVector p = PointAt(path, cumulative, s * total);
        const double wobble = wobbleSize * std::sin(wobblePhase + 2 * kPi * wobbleCycles * s);
        p.x += wobble * 0.7 + random.Uniform(-tremor, tremor);
        p.y += wobble * 0.7 + random.Uniform(-tremor, tremor);
        const CGesturePoint point{static_cast<int>(std::lround(p.x)), static_cast<int>(std::lround(p.y))};
        // The system reports a move only when the cursor has moved.
        if (stroke.empty() || !(stroke.back() == point))
            stroke.push_back(point);
    }
    return stroke;
}

// Puts a unit-box outline on the screen: size, aspect, rotation, skew and position.
inline CPath Place(const CPath& unit, bool straight, bool vertical, CRandom& random)
{
    const double size = std::exp(random.Uniform(std::log(30.0), std::log(600.0)));
    double width = size;
    double height = size;
    const double aspect = std::exp(random.Uniform(std::log(0.6), std::log(1.6)));
    if (aspect > 1)
        height /= aspect;
    else
        width *= aspect;
    if (straight) {
        // A line keeps its length; its sideways drift is a few pixels to a tenth of it.
        width = height = size;
    }
    const double rotation = random.Uniform(-12.0, 12.0) * kPi / 180.0;
    const double skew = random.Uniform(-0.15, 0.15);
    const double bow = straight ? random.Uniform(-0.06, 0.06) : 0.0;
    const double left = random.Uniform(0, 800);
    const double top = random.Uniform(0, 600);
    CPath placed;
    for (const CVector& u : unit) {
        double x = (u.x - 0.5);
        double y = (u.y - 0.5);
        if (straight) {
            // Straight strokes run along one axis: the other axis shrinks and the line bows a little.
            if (vertical)
                x = x * 0.5 + bow * std::sin(kPi * (y + 0.5));
            else
                y = y * 0.5 + bow * std::sin(kPi * (x + 0.5));
        }
        x += skew * y;
        const double rx = x * std::cos(rotation) - y * std::sin(rotation);
        const double ry = x * std::sin(rotation) + y * std::cos(rotation);
        placed.push_back({left + rx * width, top + ry * height});
    }
    return placed;
}

// One stroke of a shape (0 to 28), or of a random scribble (kScribble).
inline CGestureStroke DrawShape(int shape, CRandom& random)
{
    bool straight = false;
    CPath unit;
    if (shape == kScribble) {
        const int corners = random.Integer(5, 9);
        for (int i = 0; i < corners; ++i)
            unit.push_back({random.Unit(), random.Unit()});
    } else {
        unit = ShapeTemplate(shape, straight);
        // A hand going back along a line comes back beside it, a little off the way it went.
        if (straight && unit.size() == 3) {
            if (shape <= 3)
                unit[2].x = 0.5 + random.Uniform(-0.2, 0.2);
            else
                unit[2].y = 0.5 + random.Uniform(-0.2, 0.2);
        }
    }
    if (unit.size() > 2 && unit.size() < 10 && random.Chance(0.8))
        unit = CutCorners(unit, random.Uniform(0.02, 0.22));
    CPath placed = Place(unit, straight, shape >= 0 && shape <= 3, random);
    // A little hook where the hand sets down or lifts off now and then.
    if (random.Chance(0.3) && placed.size() >= 2) {
        const CVector& end = placed.back();
        const double reach = random.Uniform(2.0, 6.0);
        const double angle = random.Uniform(0, 2 * kPi);
        placed.push_back({end.x + reach * std::cos(angle), end.y + reach * std::sin(angle)});
    }
    return SampleLikeAMouse(placed, random);
}

}  // namespace gesture_shapes
