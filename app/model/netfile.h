#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include <QList>
#include <QString>

#include "model/netmodel.h"
#include "model/result.h"
#include "model/windowlayout.h"

// The version this program writes after "Axona ".
inline constexpr double NetFileVersion = 1.7;

// Number of graph-setting groups a network file of the given version holds.
int graphGroupCount(double version);

// Everything a network file holds, as read. Fields the text does not give (missing, or not
// readable as their type) keep the values they started with: the model's after New Net.
struct NetFileContents
{
    // Line 1: "Axona" and the version text after it (with its leading blank).
    bool signatureOk = false;
    QString versionText;
    double version = 0;

    QString NetTitle;
    int16_t NumLayers = 3;
    std::vector<int16_t> LayerSize;
    std::vector<int16_t> NeuronFunc;
    float Eta = 0;
    float Alpha = 0;
    int16_t TrainMode = 1;
    float GrowthFactor = 0;
    float WCutOff = 0;
    float WDecay = 0;
    float InputNoise = 0;
    float WeightNoise = 0;
    float Temp = 0;
    int16_t EpochsPerCall = 0;
    float PatClip = 0;
    float TargetErr = 0;
    double MinWeight = 0;
    double MaxWeight = 0;
    bool NormOn = false;
    bool GlobalNorm = false;
    std::vector<float> InNormA;
    std::vector<float> InNormB;
    bool InNormLog = false;
    std::vector<float> OutNormA;
    std::vector<float> OutNormB;
    bool OutNormLog = false;
    std::array<GraphSetting, 7> Graph;
    int graphGroups = 0;
    int16_t epochLength = 1;
    int16_t RandomSampling = 0;
    QString patternSource;
    QString weightSource;
    QString testSource;
    QList<WindowLayout> desktop;

    // Set when the layer list cannot describe a network (layer count, sizes or neuron-function
    // codes out of range), "Iter./calc." is below 1 or a normalisation factor cannot be read;
    // reading stopped there.
    QString problem;
};

// Copies the learning parameters, weight bounds, normalisation factors and sampling flag the file
// holds into m (not the layers, the graph settings or the file names).
void applyStoredValues(NetModel &m, const NetFileContents &c);

// Reads a network file's text field by field as list input, starting every field from start's
// value. Stops after the signature line when it does not begin with "Axona", and at a layer
// list that no network can have.
NetFileContents parseNetText(const QString &text, const NetModel &start);

// What the network file takes from the main window rather than from the model: the texts of the
// weight-bound boxes, the epoch-length box and the three file labels, as the user sees them.
struct NetFileTexts
{
    QString minWeight; // TXT_minW
    QString maxWeight; // TXT_maxW
    QString epochLength; // TXT_EpocLen
    QString patternFile; // LBL_DataFile
    QString weightFile; // LBL_WeightFile
    QString testFile; // LBL_TestFile
};

// The network file's text: every section in order, laid out by the print rules (numbers with
// their sign position and blanks, 14-column zones, CRLF), taking the weight bounds, the epoch
// length and the three file lines from the window's texts, and desktop as the window lines. The
// no-file and "Sampled from input file" captions are written in lower case; file names keep
// their case and are quoted (a quote inside doubled) when they hold a comma or a quote or begin
// or end with a blank. Line breaks in the title and plot texts are written as blanks and double
// quotes as single ones, so every field reads back. A value the reader could not take back (NaN,
// an infinity, a weight bound beyond the double range, a file name holding a line break) gives
// no text but the reason, e.g. "Eta is Inf".
Result<QString>
formatNetText(const NetModel &model, const NetFileTexts &texts, const QList<WindowLayout> &desktop);
