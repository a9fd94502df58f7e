#pragma once
// A mouse-gesture stroke and what the recogniser makes of it before its network sees it: the
// points resampled to 17 (16 segments), the 32 direction inputs of those segments, and the judging
// of the network's 29 outputs. Screen y grows downwards throughout.
//
// Nothing here uses Windows: the offline trainer (tools/gesture-trainer) compiles this file on the
// build host, so that the strokes it learns from are prepared exactly as the program prepares them.
#include <array>
#include <cstddef>
#include <vector>

struct CGesturePoint {
    int x = 0;
    int y = 0;
    bool operator==(const CGesturePoint&) const = default;
};

// The points of one stroke in the order drawn (the first is where the button went down), in client
// coordinates of the window it was drawn over.
using CGestureStroke = std::vector<CGesturePoint>;

constexpr size_t kGestureSegmentCount = 16;
constexpr size_t kGesturePointCount = kGestureSegmentCount + 1;
constexpr size_t kGestureInputCount = 2 * kGestureSegmentCount;
constexpr size_t kGestureHiddenCount = 32;
constexpr size_t kGestureOutputCount = 29;
// The shortest stroke that is ever judged has more points than this and a path of at least
// kGestureMinimumPath pixels.
constexpr size_t kGestureMaximumRejectedPoints = 4;
constexpr double kGestureMinimumPath = 5.0;
// The best share of the outputs must exceed this, and exceed the second best by more than it.
constexpr float kGestureAcceptShare = 0.25f;

// The sum of the Euclidean distances between consecutive points.
double GesturePathLength(const CGestureStroke& stroke);

// Resamples a stroke to exactly 17 points: a shorter one is refined in passes, each inserting the
// midpoint between every two neighbours, until it has at least 17; then, while it has more, the
// closest pair of neighbours that involves neither end is merged into its midpoint. False (and
// `resampled` left empty) for a stroke of 4 points or fewer or a path under 5 pixels.
bool ResampleGestureStroke(const CGestureStroke& stroke, CGestureStroke& resampled);

// The 32 network inputs of 17 resampled points: for each segment dy / length (inputs 0 to 15) and
// sqrt(1 - that^2), negative when dx < 0 (inputs 16 to 31); a zero-length segment gives 1.0 and 0.0.
bool EncodeGestureStroke(const CGestureStroke& resampled, std::vector<float>& inputs);

// The three best outputs, best first, each with its share of the sum of all outputs.
struct CGestureRanking {
    struct Entry {
        unsigned index = 0;
        float share = 0.0f;
    };
    std::array<Entry, 3> top = {};
};

// Ranks the outputs (the first highest wins a tie) and gives the accepted output's index, or -1:
// the best share must be above 0.25 and above the second share by more than 0.25. Outputs whose
// sum is not positive (or not a number) are never accepted.
int JudgeGestureOutputs(const std::vector<float>& outputs, CGestureRanking& ranking);
