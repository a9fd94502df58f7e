#include "frame/gestures/GestureRecognizer.h"

#include "frame/gestures/GestureWeights.h"

#include <algorithm>

namespace {

constexpr const char* kShapeNames[kGestureOutputCount] = {
    "Up", "Down", "Up-Down", "Down-Up", "Right", "Left", "Right-Left", "Left-Right", "Down-Right", "Up-Left",
    "Rectangle", "Down-Left", "Up-Right", "Left Arrow", "Right Arrow", "Zigzag", "Down Arrow", "Up Arrow",
    "Down-Left Cross", "Down-Right Cross", "Helix", "Triangle", "Hour-Glass", "Flag", "Circle", "Wave", "N", "M", "W",
};

}  // namespace

const char* GetGestureShapeName(int gestureId)
{
    return gestureId >= 0 && gestureId < static_cast<int>(kGestureOutputCount) ? kShapeNames[gestureId] : nullptr;
}

// Only the 16-segment network exists: the built-in weights are trained for its 32 inputs, and the
// stroke preparation always makes 17 points. Another segment count is kept for the record only.
CGestureRecognizer::CGestureRecognizer(unsigned segmentCount)
    : m_segmentCount(segmentCount),
      m_pointCount(segmentCount + 1),
      m_network({static_cast<int>(kGestureInputCount), static_cast<int>(kGestureHiddenCount),
                 static_cast<int>(kGestureOutputCount)})
{
    m_network.activation = LogisticActivation;
    m_network.biasInput = 0.5f;
    m_network.inputScale = 1.0f;
    std::copy_n(kGestureWeights, std::min(m_network.weights.size(), kGestureWeightCount), m_network.weights.begin());
}

int CGestureRecognizer::Recognize(const CGestureStroke& stroke)
{
    m_state = State::Working;
    m_ranking = {};
    if (!ResampleGestureStroke(stroke, m_resampled) || !EncodeGestureStroke(m_resampled, m_inputs))
        return -1;
    if (!m_network.Run(m_inputs, m_outputs))
        return -1;
    const int id = JudgeGestureOutputs(m_outputs, m_ranking);
    m_state = id < 0 ? State::Rejected : State::Recognized;
    return id;
}
