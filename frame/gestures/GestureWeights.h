#pragma once
// The gesture network's built-in weights (GestureWeights.cpp, written by tools/gesture-trainer).
#include <cstddef>

constexpr size_t kGestureWeightCount = 2013;
extern const float kGestureWeights[kGestureWeightCount];
