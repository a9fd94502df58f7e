#pragma once
// CGestureRecognizer: turns a finished stroke into a gesture id (0 to 28) or -1. It resamples the
// stroke to 17 points, feeds the 32 direction inputs of its 16 segments to a 32-32-29 network of
// logistic units with the built-in weights, and accepts the best output only when it clearly
// stands out (GestureStroke.h). One recogniser belongs to each gesture tracker; it keeps the
// outcome of the last stroke for whoever wants to know why a stroke was refused.
#include "frame/gestures/GestureStroke.h"
#include "frame/gestures/NeuralNet.h"

#include <vector>

// The gesture ids of the network's outputs, and the three gestures of the buttons and the wheel.
enum GestureId : int {
    kGestureUp = 0,
    kGestureDown = 1,
    kGestureUpDown = 2,
    kGestureDownUp = 3,
    kGestureRight = 4,
    kGestureLeft = 5,
    kGestureRightLeft = 6,
    kGestureLeftRight = 7,
    kGestureDownRight = 8,
    kGestureUpLeft = 9,
    kGestureRectangle = 10,
    kGestureDownLeft = 11,
    kGestureUpRight = 12,
    kGestureLeftArrow = 13,
    kGestureRightArrow = 14,
    kGestureZigzag = 15,
    kGestureDownArrow = 16,
    kGestureUpArrow = 17,
    kGestureDownLeftCross = 18,
    kGestureDownRightCross = 19,
    kGestureHelix = 20,
    kGestureTriangle = 21,
    kGestureHourGlass = 22,
    kGestureFlag = 23,
    kGestureCircle = 24,
    kGestureWave = 25,
    kGestureN = 26,
    kGestureM = 27,
    kGestureW = 28,
    kGestureClickLeftRight = 0xF000,  // the left button held, the right one pressed
    kGestureClickRightLeft = 0xF001,  // the right button held, the left one pressed
    kGestureMouseWheel = 0xF002,      // the wheel turned with the right button held
};

// The English name of a network output (0 to 28), or null.
const char* GetGestureShapeName(int gestureId);

class CGestureRecognizer {
public:
    enum class State { Working = 3, Recognized = 4, Rejected = 5 };

    // The network is built and given the built-in weights once, here.
    explicit CGestureRecognizer(unsigned segmentCount = kGestureSegmentCount);
    CGestureRecognizer(const CGestureRecognizer&) = delete;
    CGestureRecognizer& operator=(const CGestureRecognizer&) = delete;

    // The gesture id of the stroke, or -1 (too short to judge, or no output clearly best).
    int Recognize(const CGestureStroke& stroke);

    State GetState() const { return m_state; }
    const CGestureRanking& GetRanking() const { return m_ranking; }
    const CNeuralNet& GetNetwork() const { return m_network; }

private:
    unsigned m_segmentCount;
    unsigned m_pointCount;
    CGestureStroke m_resampled;
    std::vector<float> m_inputs;
    std::vector<float> m_outputs;
    CGestureRanking m_ranking;
    State m_state = State::Working;
    CNeuralNet m_network;
};
