#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include <QString>

#include "model/colmajor.h"

// Fixed limits of the program.
constexpr int MinLayers = 2;
constexpr int MaxLayers = 5;
constexpr int MaxLayerSize = 1024;
constexpr int MaxPatterns = 8192;
constexpr int WeightLimit = 32767;

// Neuron-function codes: the position in the function list plus one.
enum NeuronFunction : int16_t {
    FuncSigmoid = 1,
    FuncLinear = 2,
    FuncTanh = 3,
    FuncGaussian = 4,
    FuncSigmoidPlus = 5
};

// The text a file label shows when it holds no file.
inline QString noFileCaption()
{
    return QStringLiteral("Click here to Open File");
}

// The source a set shows when it was pasted from the clipboard: it has no file until saved.
inline QString pastedCaption()
{
    return QStringLiteral("pasted");
}

// The names of the function list, in code order.
const std::array<QString, 5> &neuronFunctionNames();

// What the report window lists: nothing yet, the run or the test report, the weights, their last
// changes, the input sensitivities.
enum class ReportKind { None, Run, Test, Weights, WeightDelta, Sensitivity };

// One plot's settings: titles, grid flags and the chart's type and style codes.
struct GraphSetting
{
    QString Title;
    QString XLabel;
    QString YLabel;
    int16_t XGrid = 0;
    int16_t YGrid = 0;
    int16_t GraphType = 6;
    int16_t GraphStyle = 0;
    int16_t ColorEach = 0;
};

// Automatic learning-rate adaptation: on (-1) or off (0), and the factors applied to Eta when
// the error fell and when it did not.
struct LearnAdaptation
{
    float AutoOn = 0.0f;
    float EtaInc = 1.02f;
    float EtaDec = 0.96f;
};

// Default normalisation targets of a neuron function.
struct FuncRangeEntry
{
    float InLow;
    float InHigh;
    float OutLow;
    float OutHigh;
};

// The one open network: topology, parameters, data, weights, engine work arrays, file names and
// state flags. Every part of the program reads and writes the fields directly. Integer fields
// are 16-bit like the engine's; flags are bool here and -1/0 in files.
struct NetModel
{
    // Topology. LayerSize(l) and NeuronFunc(l) for l = 1..NumLayers.
    int16_t NumLayers = 3;
    Array1<int16_t> LayerSize;
    Array1<int16_t> NeuronFunc;
    int16_t CurLayer = 0;

    // Extents of the weight-shaped arrays, recomputed by every successful build.
    int16_t MaxHidden = 1;
    int16_t MaxIn = 1;
    int16_t MaxOut = 1;
    int16_t MaxNodes = 1;

    // Training parameters.
    float Eta = 0.2f;
    float Alpha = 0.5f;
    float InputNoise = 0.0f;
    float WeightNoise = 0.0f;
    float Temp = 1.0f;
    int16_t EpochsPerCall = 5;
    float PatClip = 0.0f;
    float TargetErr = 0.01f;
    float MinWeight = -3.0f;
    float MaxWeight = 3.0f;
    int16_t RandomSampling = 0;
    int16_t TrainMode = 1;
    float GrowthFactor = 1.75f;
    float WCutOff = 30.0f;
    float WDecay = 0.01f;

    // Counters of the training driver.
    int64_t IterCount = 0;
    LearnAdaptation LearnAdapt;

    // Normalisation: element j-1 of a factor array belongs to column j; element 0 alone in the
    // global method.
    bool NormOn = false;
    bool GlobalNorm = false;
    std::vector<float> InNormA;
    std::vector<float> InNormB;
    bool InNormLog = false;
    std::vector<float> OutNormA;
    std::vector<float> OutNormB;
    bool OutNormLog = false;
    bool NormInProgress = false;

    // Data sets: (pattern, column).
    int16_t NumPats = 0;
    Array2 PatIn;
    Array2 PatOut;
    int16_t NumTestPats = 0;
    Array2 TstIn;
    Array2 TstOut;

    // Weights (NumLayers, MaxIn, MaxOut) and the engine's work arrays.
    Array3 Weights;
    Array3 WeightGrad;
    Array3 PrevGrad;
    Array3 WeightDelta;
    Array2 NodeOut; // (NumLayers, MaxNodes)
    // The layer sizes the arrays above were allocated for. After a refused build the layer list
    // may ask for more; nothing may reach the engine until a build succeeds again.
    Array1<int16_t> BuiltLayerSize;
    int16_t BuiltNumLayers = 0;

    // Title and files.
    QString NetTitle = QStringLiteral("New Net");
    QString NetFileName;
    QString PatFileName;
    QString TestFileName;
    QString WeightFileName;
    // The external editor's command, read from the settings at start; not reset by New Net.
    QString EditorCommand;

    // State flags.
    bool HasPatterns = false;
    bool HasTest = false;
    bool HasWeightFile = false;
    bool HasNetFile = false;
    bool WeightsChanged = false;
    bool StopFlag = true;
    // A training run is active: from the start of "Train" until its loop has returned, also
    // after "Stop" asked it to end.
    bool Training = false;
    bool SetsRegenerated = false;
    bool PatsUnsaved = false;
    bool TestUnsaved = false;
    bool PatsLinked = false;
    bool TestLinked = false;
    bool NetLoading = false;
    // The user gave up waiting for a started link server.
    bool LinkWaitCancelled = false;

    // The report window: what it lists and the text being built for it.
    ReportKind ReportMode = ReportKind::None;
    QString ReportText;

    // Plot settings, records 0..6; records 1..6 are saved with the network.
    std::array<GraphSetting, 7> Graph;
    // Separator of data-link items.
    QString LinkItemSeparator = QStringLiteral("!");

    // Default normalisation targets, by neuron-function code 1..5.
    std::array<FuncRangeEntry, 5> FuncRange {};

    NetModel();

    int16_t numInputs() const { return LayerSize(1); }

    int16_t numOutputs() const { return LayerSize(NumLayers); }

    // True when the arrays were allocated for exactly the current layer list, so the engine may
    // be called with it.
    bool arraysMatchLayers() const;
};

// The New Net values of the model's own fields (the parameter, topology, flag and plot parts of
// the reset; what the windows show is the form's business). Data, weights and factors are kept.
void resetModelFields(NetModel &model);

// Drops the training and test sets (their column counts no longer fit the network).
void releaseDataSets(NetModel &model);

// Fills the neuron-function range table.
void fillFuncRange(NetModel &model);

// Connections of the current layer list, biases included (at most 4 x 1024 x 1025).
int32_t countWeights(const NetModel &model);
