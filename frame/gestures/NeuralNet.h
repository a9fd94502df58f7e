#pragma once
// CNeuralNet: a fully connected feed-forward network with fixed weights, run once per finished
// mouse gesture. The weights are one flat vector: for every layer after the input layer, in layer
// order, and for every neuron of that layer, its bias weight followed by one weight per neuron of
// the previous layer. Nothing is trained at run time.
//
// The file uses nothing of Windows: the offline trainer (tools/gesture-trainer) compiles it on the
// build host, so that its forward pass is the program's own.
#include <cstddef>
#include <initializer_list>
#include <vector>

class CNeuralNet {
public:
    using ActivationFunction = double (*)(float);

    // The layer sizes, the input layer first; the weights are sized for them and set to 0.0.
    CNeuralNet(std::initializer_list<int> layerSizes);

    // The number of weights of the layers: the sum over layers i >= 1 of size(i) * (size(i-1) + 1).
    static size_t WeightCount(const std::vector<int>& layerSizes);

    // Runs the network. `input` must hold as many values as the input layer has neurons (false and
    // nothing computed otherwise). On return `output` holds the last layer's values and `input`,
    // used as scratch, the values of the layer before the last.
    bool Run(std::vector<float>& input, std::vector<float>& output) const;

    std::vector<float> weights;
    std::vector<int> layerSizes;
    ActivationFunction activation = nullptr;  // none: a neuron's value is its weighted sum
    float inputScale = 1.0f;
    float biasInput = 1.0f;  // the constant input that multiplies every bias weight
};

// 1 / (1 + e^-x), computed in double precision.
double LogisticActivation(float x);
