#pragma once

#include <cstdint>

#include <QString>

struct NetModel;
struct Workbench;

// Learning parameters that start a sigmoid network well on data scaled to the neuron functions'
// ranges. Eta multiplies the gradient summed over the epoch window, so it is a per-pattern rate
// divided by the window's length; the weight range shrinks with the largest fan-in so that a
// node's summed input starts inside the steep part of its function.
struct ParameterSuggestion
{
    float eta = 0.0f;
    float alpha = 0.0f;
    float weightRange = 0.0f; // weights drawn in -weightRange..weightRange
    int16_t trainMode = 1; // 1 back propagation, 2 quick propagation
    int epochLength = 0; // the window the Eta is scaled for
};

// The suggestion for the model's layer sizes and an epoch window of epochLength patterns
// (at least 1).
ParameterSuggestion suggestParameters(const NetModel &model, int epochLength);

// "Suggest": puts the suggestion for the current epoch length into the parameter boxes and the
// model (Eta, Alpha, the random weight range, the training mode) and says on the status bar what
// was set; the weights themselves change only on the next Randomize or build.
ParameterSuggestion applySuggestion(Workbench &wb);

// The status-bar text that says what applySuggestion set.
QString suggestionText(const ParameterSuggestion &s);
