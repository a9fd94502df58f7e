#include "frame/gestures/NeuralNet.h"

#include <cmath>

CNeuralNet::CNeuralNet(std::initializer_list<int> layerSizes_) : layerSizes(layerSizes_)
{
    weights.assign(WeightCount(layerSizes), 0.0f);
}

size_t CNeuralNet::WeightCount(const std::vector<int>& layerSizes)
{
    size_t count = 0;
    for (size_t layer = 1; layer < layerSizes.size(); ++layer) {
        if (layerSizes[layer] > 0 && layerSizes[layer - 1] >= 0)
            count += static_cast<size_t>(layerSizes[layer]) * (static_cast<size_t>(layerSizes[layer - 1]) + 1);
    }
    return count;
}

// Each neuron's sum is taken in extended precision, with the scale applied to inputs and weights
// and divided out again, and rounded to a float before the activation. The weight position carries
// on across layers; a weight vector shorter than the layers ask for stops the run rather than
// reading past its end.
bool CNeuralNet::Run(std::vector<float>& input, std::vector<float>& output) const
{
    if (layerSizes.size() < 2 || layerSizes[0] < 0 || input.size() != static_cast<size_t>(layerSizes[0]))
        return false;
    if (weights.size() < WeightCount(layerSizes))
        return false;
    size_t position = 0;
    const long double scale = inputScale;
    for (size_t layer = 1; layer < layerSizes.size(); ++layer) {
        const size_t neurons = static_cast<size_t>(layerSizes[layer] > 0 ? layerSizes[layer] : 0);
        output.assign(neurons, 0.0f);
        for (size_t neuron = 0; neuron < neurons; ++neuron) {
            long double sum = static_cast<long double>(biasInput) * weights[position] * scale / scale;
            for (size_t j = 0; j < input.size(); ++j)
                sum += (input[j] * scale) * (scale * weights[position + 1 + j]) / scale;
            position += input.size() + 1;
            output[neuron] = activation ? static_cast<float>(activation(static_cast<float>(sum))) : static_cast<float>(sum);
        }
        if (layer + 1 < layerSizes.size())
            input.swap(output);
    }
    return true;
}

double LogisticActivation(float x)
{
    return 1.0 / (1.0 + std::exp(-static_cast<double>(x)));
}
