// Benchmark of the gesture recogniser with its built-in table: strokes of every shape drawn from
// the held-out seed of tools/gesture-trainer (never trained on) and random scribbles, judged by
// CGestureRecognizer exactly as the program judges a stroke. Prints the share recognised per
// shape, of the 16 shapes that carry actions and of all 29, the confusions between shapes, and
// the share of scribbles wrongly accepted.
//
//   tools/wine-run build/bin/gesture_bench.exe
#include "frame/gestures/GestureRecognizer.h"
#include "tools/gesture-trainer/GestureShapes.h"

#include <cstdio>
#include <map>
#include <utility>

namespace {

constexpr int kActionShapes[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 11, 12, 13, 14, 16, 17};

CGestureStroke DrawJudged(int shape, gesture_shapes::CRandom& random)
{
    // The same strokes as the trainer's held-out set: strokes the recogniser would never judge
    // (4 points or fewer, a path under 5 pixels) are drawn again.
    for (;;) {
        CGestureStroke stroke = gesture_shapes::DrawShape(shape, random);
        CGestureStroke resampled;
        if (ResampleGestureStroke(stroke, resampled))
            return stroke;
    }
}

}  // namespace

int main()
{
    gesture_shapes::CRandom random(gesture_shapes::kHeldOutSeed);
    CGestureRecognizer recognizer;
    int right[gesture_shapes::kShapeCount] = {};
    int refused[gesture_shapes::kShapeCount] = {};
    std::map<std::pair<int, int>, int> confusions;
    for (int shape = 0; shape < gesture_shapes::kShapeCount; ++shape) {
        for (int i = 0; i < gesture_shapes::kHeldOutPerShape; ++i) {
            const int id = recognizer.Recognize(DrawJudged(shape, random));
            if (id == shape)
                ++right[shape];
            else if (id < 0)
                ++refused[shape];
            else
                ++confusions[{shape, id}];
        }
    }
    int accepted = 0;
    for (int i = 0; i < gesture_shapes::kHeldOutScribbles; ++i)
        accepted += recognizer.Recognize(DrawJudged(gesture_shapes::kScribble, random)) >= 0;

    const double perShape = gesture_shapes::kHeldOutPerShape;
    int all = 0;
    std::printf("%-18s %8s %8s\n", "shape", "right", "refused");
    for (int shape = 0; shape < gesture_shapes::kShapeCount; ++shape) {
        std::printf("%2d %-15s %7.1f%% %7.1f%%\n", shape, GetGestureShapeName(shape), 100.0 * right[shape] / perShape,
                    100.0 * refused[shape] / perShape);
        all += right[shape];
    }
    int withActions = 0;
    for (int shape : kActionShapes)
        withActions += right[shape];
    std::printf("\nthe 16 shapes with actions: %.2f%%\nall 29 shapes: %.2f%%\n",
                100.0 * withActions / (perShape * std::size(kActionShapes)),
                100.0 * all / (perShape * gesture_shapes::kShapeCount));
    std::printf("scribbles accepted: %.2f%% of %d\n", 100.0 * accepted / gesture_shapes::kHeldOutScribbles,
                gesture_shapes::kHeldOutScribbles);
    std::printf("\nconfusions (drawn -> named: share of the drawn shape's strokes):\n");
    for (const auto& [pair, count] : confusions)
        std::printf("  %s -> %s: %.1f%%\n", GetGestureShapeName(pair.first), GetGestureShapeName(pair.second),
                    100.0 * count / perShape);
    return 0;
}
