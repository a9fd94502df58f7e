#include "frame/gestures/GestureStroke.h"

#include <cmath>
#include <limits>

namespace {

double Distance(const CGesturePoint& a, const CGesturePoint& b)
{
    const double dx = static_cast<double>(b.x) - a.x;
    const double dy = static_cast<double>(b.y) - a.y;
    return std::sqrt(dx * dx + dy * dy);
}

// Coordinates come from 16-bit message fields or from the trainer's drawings; halving in 64 bits
// keeps even hostile values from overflowing.
int HalfWayFrom(int a, int b)
{
    return static_cast<int>(a + (static_cast<long long>(b) - a) / 2);
}

int MidPoint(int a, int b)
{
    return static_cast<int>((static_cast<long long>(a) + b) / 2);
}

}  // namespace

double GesturePathLength(const CGestureStroke& stroke)
{
    double length = 0.0;
    for (size_t i = 1; i < stroke.size(); ++i)
        length += Distance(stroke[i - 1], stroke[i]);
    return length;
}

// Refining passes double the segments, so 5 points become 9 and then 17 and 10 points become 19;
// merging then removes the surplus one pair at a time. The earlier point of the merged pair goes
// and the later one takes the midpoint, so the stroke's two ends never move.
bool ResampleGestureStroke(const CGestureStroke& stroke, CGestureStroke& resampled)
{
    resampled.clear();
    if (stroke.size() <= kGestureMaximumRejectedPoints || GesturePathLength(stroke) < kGestureMinimumPath)
        return false;
    CGestureStroke points = stroke;
    while (points.size() < kGesturePointCount) {
        CGestureStroke refined;
        refined.reserve(points.size() * 2);
        for (size_t i = 0; i + 1 < points.size(); ++i) {
            refined.push_back(points[i]);
            refined.push_back({HalfWayFrom(points[i].x, points[i + 1].x), HalfWayFrom(points[i].y, points[i + 1].y)});
        }
        refined.push_back(points.back());
        points.swap(refined);
    }
    while (points.size() > kGesturePointCount) {
        size_t closest = 1;
        double smallest = std::numeric_limits<double>::max();
        for (size_t i = 1; i + 2 < points.size(); ++i) {
            const double distance = Distance(points[i], points[i + 1]);
            if (distance < smallest) {
                smallest = distance;
                closest = i;
            }
        }
        points[closest + 1] = {MidPoint(points[closest].x, points[closest + 1].x),
                               MidPoint(points[closest].y, points[closest + 1].y)};
        points.erase(points.begin() + static_cast<std::ptrdiff_t>(closest));
    }
    resampled.swap(points);
    return true;
}

bool EncodeGestureStroke(const CGestureStroke& resampled, std::vector<float>& inputs)
{
    if (resampled.size() != kGesturePointCount)
        return false;
    inputs.assign(kGestureInputCount, 0.0f);
    for (size_t i = 0; i < kGestureSegmentCount; ++i) {
        const long long dx = static_cast<long long>(resampled[i + 1].x) - resampled[i].x;
        const long long dy = static_cast<long long>(resampled[i + 1].y) - resampled[i].y;
        float sine = 1.0f;
        float cosine = 0.0f;
        if (dx != 0 || dy != 0) {
            sine = static_cast<float>(static_cast<double>(dy) / std::sqrt(static_cast<double>(dx * dx + dy * dy)));
            const float rest = 1.0f - sine * sine;
            cosine = std::sqrt(rest > 0.0f ? rest : 0.0f);
            if (dx < 0)
                cosine = -cosine;
        }
        inputs[i] = sine;
        inputs[kGestureSegmentCount + i] = cosine;
    }
    return true;
}

int JudgeGestureOutputs(const std::vector<float>& outputs, CGestureRanking& ranking)
{
    ranking = {};
    float sum = 0.0f;
    for (float value : outputs)
        sum += value;
    if (outputs.empty() || !(sum > 0.0f))
        return -1;
    const float factor = 1.0f / sum;
    std::vector<float> scores = outputs;
    for (auto& entry : ranking.top) {
        size_t best = 0;
        for (size_t i = 1; i < scores.size(); ++i) {
            if (scores[i] > scores[best])
                best = i;
        }
        entry.index = static_cast<unsigned>(best);
        entry.share = scores[best] * factor;
        scores[best] = 0.0f;
    }
    const float best = ranking.top[0].share;
    const float second = ranking.top[1].share;
    if (!(best > kGestureAcceptShare) || !(best - second > kGestureAcceptShare))
        return -1;
    return static_cast<int>(ranking.top[0].index);
}
