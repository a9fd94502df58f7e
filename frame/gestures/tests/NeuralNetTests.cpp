#include "frame/gestures/NeuralNet.h"

#include "frame/gestures/GestureWeights.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

CNeuralNet GestureShapedNet()
{
    CNeuralNet net({32, 32, 29});
    net.activation = LogisticActivation;
    net.biasInput = 0.5f;
    return net;
}

}  // namespace

TEST(NeuralNet, IsBuiltWithZeroWeightsAndUnitTuning)
{
    const CNeuralNet net({32, 32, 29});
    ASSERT_EQ(net.weights.size(), 2013u);
    for (float weight : net.weights)
        ASSERT_EQ(weight, 0.0f);
    EXPECT_EQ(net.layerSizes, (std::vector<int>{32, 32, 29}));
    EXPECT_EQ(net.activation, nullptr);
    EXPECT_EQ(net.inputScale, 1.0f);
    EXPECT_EQ(net.biasInput, 1.0f);
    EXPECT_EQ(CNeuralNet::WeightCount({3, 2}), 8u);
}

TEST(NeuralNet, ZeroWeightsGiveOneHalfEverywhereAndTheVectorsHoldTheLastTwoLayers)
{
    const CNeuralNet net = GestureShapedNet();
    std::vector<float> input(32, 0.75f);
    std::vector<float> output;
    ASSERT_TRUE(net.Run(input, output));
    ASSERT_EQ(output.size(), 29u);
    ASSERT_EQ(input.size(), 32u);  // the hidden layer
    for (float value : output)
        EXPECT_FLOAT_EQ(value, 0.5f);
    for (float value : input)
        EXPECT_FLOAT_EQ(value, 0.5f);
}

TEST(NeuralNet, TheBiasWeightIsMultipliedByTheBiasInput)
{
    CNeuralNet net = GestureShapedNet();
    net.weights[0] = 2.0f;  // hidden neuron 0's bias
    std::vector<float> input(32, 0.0f);
    std::vector<float> output;
    ASSERT_TRUE(net.Run(input, output));
    EXPECT_NEAR(input[0], 0.7311f, 1e-4);  // logistic(0.5 * 2.0), not logistic(2.0) = 0.8808
    EXPECT_FLOAT_EQ(input[1], 0.5f);
}

// Weight layout: per neuron its bias, then one weight per neuron of the previous layer; the
// position carries on into the next layer. Without an activation the sums themselves are stored.
TEST(NeuralNet, WeightsAreReadInLayoutOrderAcrossLayers)
{
    CNeuralNet net({2, 2, 1});
    net.weights = {1, 2, 3,    // hidden 0: bias 1, inputs 2 and 3
                   -1, 0, 10,  // hidden 1
                   0.5f, 1, -1};  // output: bias 0.5, hidden 0 and hidden 1
    std::vector<float> input = {1.0f, 2.0f};
    std::vector<float> output;
    ASSERT_TRUE(net.Run(input, output));
    EXPECT_EQ(input, (std::vector<float>{1 + 2 + 6, -1 + 20}));
    ASSERT_EQ(output.size(), 1u);
    EXPECT_FLOAT_EQ(output[0], 0.5f + 9 - 19);
}

TEST(NeuralNet, AnInputOfTheWrongSizeOrTooFewWeightsRunNothing)
{
    CNeuralNet net = GestureShapedNet();
    std::vector<float> input(31, 0.0f);
    std::vector<float> output = {42.0f};
    EXPECT_FALSE(net.Run(input, output));
    EXPECT_EQ(output, std::vector<float>{42.0f});
    input.assign(32, 0.0f);
    net.weights.resize(2000);
    EXPECT_FALSE(net.Run(input, output));
}

// The built-in table is a trained one (tools/gesture-trainer): 2013 finite values of a moderate
// range, hardly any of them zero.
TEST(NeuralNet, TheBuiltInTableHoldsTrainedWeights)
{
    ASSERT_EQ(kGestureWeightCount, 2013u);
    int nonZero = 0;
    for (float weight : kGestureWeights) {
        ASSERT_TRUE(std::isfinite(weight));
        ASSERT_LT(std::fabs(weight), 64.0f);
        nonZero += weight != 0.0f;
    }
    EXPECT_GT(nonZero, 2000);
}
