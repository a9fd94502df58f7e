// The offline trainer of the gesture network's built-in weights. It draws strokes of the 29 shapes
// and random scribbles (GestureShapes.h), prepares them with the program's own resampling and input
// encoding (frame/gestures/GestureStroke.cpp), trains a 32-32-29 network of logistic units whose
// bias input is 0.5 by stochastic gradient descent, and writes the 2013 weights in the network's
// own order as frame/gestures/GestureWeights.cpp. The loss is the one the recogniser's judging
// calls for: the cross-entropy of the outputs' shares of their sum (a shape's own output toward
// the whole share, a scribble's outputs toward equal shares), with a little of each output's own
// cross-entropy beside it. Every random choice comes from fixed seeds, so train.sh rebuilds the
// same table from the repository; the trainer reports on strokes of a seed it never trained on.
//
//   GestureTrainer OUTPUT.cpp
#include "frame/gestures/GestureStroke.h"
#include "frame/gestures/NeuralNet.h"
#include "tools/gesture-trainer/GestureShapes.h"

#include <cmath>
#include <cstdio>
#include <vector>

namespace {

using gesture_shapes::kHeldOutPerShape;
using gesture_shapes::kHeldOutScribbles;
using gesture_shapes::kHeldOutSeed;
using gesture_shapes::kTrainingSeed;
constexpr uint64_t kWeightSeed = 20131013ull;
constexpr int kTrainingPerShape = 3500;
constexpr int kTrainingScribbles = 21000;
constexpr int kEpochs = 100;
constexpr int kInputs = static_cast<int>(kGestureInputCount);
constexpr int kHidden = static_cast<int>(kGestureHiddenCount);
constexpr int kOutputs = static_cast<int>(kGestureOutputCount);
constexpr double kBiasInput = 0.5;
// A scribble raises every output alike: the recogniser judges shares of the outputs' sum, so a
// flat answer is what it rejects, while all outputs near 0 would still leave one of them ahead.
// Scribbles count three and a half times in the loss: they are few beside 29 shapes, and a
// wrongly accepted one runs an action the user never asked for.
constexpr double kScribbleTarget = 0.2;
constexpr double kScribbleWeight = 3.5;
// How much the per-output cross-entropy counts beside the cross-entropy of the shares.
constexpr double kLevelWeight = 0.1;

struct CSample {
    std::vector<float> inputs;
    int shape = 0;  // gesture_shapes::kScribble for a scribble
};

bool Prepare(const CGestureStroke& stroke, std::vector<float>& inputs)
{
    CGestureStroke resampled;
    return ResampleGestureStroke(stroke, resampled) && EncodeGestureStroke(resampled, inputs);
}

void AddSamples(std::vector<CSample>& samples, int shape, int count, gesture_shapes::CRandom& random)
{
    for (int made = 0; made < count;) {
        CSample sample;
        sample.shape = shape;
        if (Prepare(gesture_shapes::DrawShape(shape, random), sample.inputs)) {
            samples.push_back(std::move(sample));
            ++made;
        }
    }
}

std::vector<CSample> MakeSet(uint64_t seed, int perShape, int scribbles)
{
    gesture_shapes::CRandom random(seed);
    std::vector<CSample> samples;
    for (int shape = 0; shape < gesture_shapes::kShapeCount; ++shape)
        AddSamples(samples, shape, perShape, random);
    AddSamples(samples, gesture_shapes::kScribble, scribbles, random);
    return samples;
}

double Logistic(double x) { return 1.0 / (1.0 + std::exp(-x)); }

// The weights in the network's layout, trained in double precision.
struct CTrainer {
    std::vector<double> w;
    std::vector<double> hidden = std::vector<double>(kHidden);
    std::vector<double> output = std::vector<double>(kOutputs);

    static size_t Hidden(int neuron) { return static_cast<size_t>(neuron) * (kInputs + 1); }
    static size_t Output(int neuron) { return static_cast<size_t>(kHidden) * (kInputs + 1) + static_cast<size_t>(neuron) * (kHidden + 1); }

    void Forward(const std::vector<float>& x)
    {
        for (int h = 0; h < kHidden; ++h) {
            const double* row = &w[Hidden(h)];
            double sum = kBiasInput * row[0];
            for (int i = 0; i < kInputs; ++i)
                sum += x[i] * row[1 + i];
            hidden[h] = Logistic(sum);
        }
        for (int o = 0; o < kOutputs; ++o) {
            const double* row = &w[Output(o)];
            double sum = kBiasInput * row[0];
            for (int h = 0; h < kHidden; ++h)
                sum += hidden[h] * row[1 + h];
            output[o] = Logistic(sum);
        }
    }

    void Learn(const CSample& sample, double rate)
    {
        Forward(sample.inputs);
        // The loss is the cross-entropy of the outputs' shares p = o / sum(o), which is what the
        // recogniser judges: toward all of the share for a shape's own output, toward equal shares
        // for a scribble. Its gradient at a unit's sum is (p - target) * (1 - o); a share of the
        // per-output cross-entropy (gradient o - t) keeps the outputs' own levels in hand.
        double sum = 0.0;
        for (int o = 0; o < kOutputs; ++o)
            sum += output[o];
        double outputDelta[kOutputs];
        for (int o = 0; o < kOutputs; ++o) {
            const double share = output[o] / sum;
            const double target = sample.shape < 0 ? 1.0 / kOutputs : o == sample.shape ? 1.0 : 0.0;
            const double level = sample.shape < 0 ? kScribbleTarget : o == sample.shape ? 1.0 : 0.0;
            outputDelta[o] = (share - target) * (1.0 - output[o]) + kLevelWeight * (output[o] - level);
            if (sample.shape < 0)
                outputDelta[o] *= kScribbleWeight;
        }
        double hiddenDelta[kHidden] = {};
        for (int o = 0; o < kOutputs; ++o) {
            const double* row = &w[Output(o)];
            for (int h = 0; h < kHidden; ++h)
                hiddenDelta[h] += outputDelta[o] * row[1 + h];
        }
        for (int o = 0; o < kOutputs; ++o) {
            double* row = &w[Output(o)];
            row[0] -= rate * outputDelta[o] * kBiasInput;
            for (int h = 0; h < kHidden; ++h)
                row[1 + h] -= rate * outputDelta[o] * hidden[h];
        }
        for (int h = 0; h < kHidden; ++h) {
            const double delta = hiddenDelta[h] * hidden[h] * (1.0 - hidden[h]);
            double* row = &w[Hidden(h)];
            row[0] -= rate * delta * kBiasInput;
            for (int i = 0; i < kInputs; ++i)
                row[1 + i] -= rate * delta * sample.inputs[i];
        }
    }
};

// Judged as the program judges: the float network of the recogniser and its share thresholds.
void Report(const CNeuralNet& net, const std::vector<CSample>& samples, const char* title)
{
    int right[kOutputs] = {};
    int total[kOutputs] = {};
    int scribbles = 0;
    int scribblesAccepted = 0;
    for (const CSample& sample : samples) {
        std::vector<float> input = sample.inputs;
        std::vector<float> output;
        net.Run(input, output);
        CGestureRanking ranking;
        const int id = JudgeGestureOutputs(output, ranking);
        if (sample.shape < 0) {
            ++scribbles;
            scribblesAccepted += id >= 0;
        } else {
            ++total[sample.shape];
            right[sample.shape] += id == sample.shape;
        }
    }
    int allRight = 0;
    int allTotal = 0;
    std::printf("%s:", title);
    for (int o = 0; o < kOutputs; ++o) {
        std::printf(" %d:%.1f", o, 100.0 * right[o] / (total[o] ? total[o] : 1));
        allRight += right[o];
        allTotal += total[o];
    }
    std::printf("\n  all %.2f%%, scribbles accepted %.2f%%\n", 100.0 * allRight / allTotal,
                100.0 * scribblesAccepted / (scribbles ? scribbles : 1));
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: GestureTrainer OUTPUT.cpp\n");
        return 2;
    }
    std::vector<CSample> training = MakeSet(kTrainingSeed, kTrainingPerShape, kTrainingScribbles);
    const std::vector<CSample> heldOut = MakeSet(kHeldOutSeed, kHeldOutPerShape, kHeldOutScribbles);

    CTrainer trainer;
    gesture_shapes::CRandom random(kWeightSeed);
    trainer.w.resize(CNeuralNet::WeightCount({kInputs, kHidden, kOutputs}));
    for (double& weight : trainer.w)
        weight = random.Uniform(-0.3, 0.3);
    // Output biases start low: most outputs of most strokes must be near 0.
    for (int o = 0; o < kOutputs; ++o)
        trainer.w[CTrainer::Output(o)] = -4.0;

    std::vector<size_t> order(training.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    CNeuralNet net({kInputs, kHidden, kOutputs});
    net.activation = LogisticActivation;
    net.biasInput = static_cast<float>(kBiasInput);
    for (int epoch = 0; epoch < kEpochs; ++epoch) {
        for (size_t i = order.size() - 1; i > 0; --i)
            std::swap(order[i], order[static_cast<size_t>(random.Next() % (i + 1))]);
        const double rate = 0.08 * std::pow(0.96, epoch);
        for (size_t i : order)
            trainer.Learn(training[i], rate);
        if (epoch % 10 == 9 || epoch + 1 == kEpochs) {
            for (size_t i = 0; i < trainer.w.size(); ++i)
                net.weights[i] = static_cast<float>(trainer.w[i]);
            char title[64];
            std::snprintf(title, sizeof title, "epoch %d held-out", epoch + 1);
            Report(net, heldOut, title);
        }
    }

    FILE* out = std::fopen(argv[1], "w");
    if (!out) {
        std::perror(argv[1]);
        return 1;
    }
    float low = 0.0f;
    float high = 0.0f;
    for (float weight : net.weights) {
        low = std::min(low, weight);
        high = std::max(high, weight);
    }
    std::fprintf(out,
                 "// The gesture network's built-in weights, written by tools/gesture-trainer (train.sh): do not\n"
                 "// edit. 2013 floats in the network's order: 32 hidden rows of 33 (the bias weight, then one\n"
                 "// weight per input), then 29 output rows of 33 (the bias weight, then one per hidden neuron).\n"
                 "// Trained on %d strokes of each of the 29 shapes and %d scribbles; values %.4f to %.4f.\n"
                 "#include \"frame/gestures/GestureWeights.h\"\n\n"
                 "const float kGestureWeights[kGestureWeightCount] = {\n",
                 kTrainingPerShape, kTrainingScribbles, low, high);
    for (size_t i = 0; i < net.weights.size(); ++i) {
        const bool rowStart = i < 1056 ? i % 33 == 0 : (i - 1056) % 33 == 0;
        if (rowStart && i)
            std::fprintf(out, "\n");
        std::fprintf(out, "%s%.9g,", rowStart ? "    " : " ", net.weights[i]);
    }
    std::fprintf(out, "\n};\n");
    return std::fclose(out) == 0 ? 0 : 1;
}
