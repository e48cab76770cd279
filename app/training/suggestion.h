#pragma once

#include <cstdint>

#include <QString>

struct NetModel;
struct Workbench;

// Learning parameters that start a sigmoid network well on data scaled to the neuron functions'
// ranges. Large sets are cut into short epoch windows, so that a pass over the set updates the
// weights many times. Eta multiplies the gradient summed over the epoch window, so it is a
// per-pattern rate divided by the window's length; the weight range shrinks with the largest
// fan-in so that a node's summed input starts inside the steep part of its function.
struct ParameterSuggestion
{
    float eta = 0.0f;
    float alpha = 0.0f;
    float weightRange = 0.0f; // weights drawn in -weightRange..weightRange
    int16_t trainMode = 1; // 1 back propagation, 2 quick propagation
    int epochLength = 0; // the epoch window, which the Eta is scaled for
};

// The suggestion for the model's layer sizes and a training set of the given number of patterns
// (none yet: 0).
ParameterSuggestion suggestParameters(const NetModel &model, int patterns);

// "Suggest": puts the suggestion into the parameter boxes and the model (the epoch length when
// patterns are loaded, Eta, Alpha, the random weight range, the training mode) and says on the
// status bar what was set; the weights themselves change only on the next Randomize or build.
ParameterSuggestion applySuggestion(Workbench &wb);

// The status-bar text that says what applySuggestion set.
QString suggestionText(const ParameterSuggestion &s);
