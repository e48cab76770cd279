#pragma once

#include <vector>

struct Workbench;

// Input sensitivities over the training set: for every pattern and input, the input is moved by
// step (a fraction; an input of 0 by step itself) and ((sqrt(e1) - sqrt(e0)) / change)^2 of the
// pattern errors before and after is added to sens[input - 1]. sens is resized to the number of
// inputs and zeroed first. Returns the largest element (the first when all are equal). PatIn is
// bit-identical afterwards. Nothing is computed (all 0) when the set does not fit the network.
float computeSensitivity(Workbench &wb, float step, std::vector<float> &sens);

// "Input &Sensitivity" and the report window's "&Update": each input's sensitivity relative to
// the largest, step PNL_Sens percent.
bool showSensitivity(Workbench &wb);

// "&Weights..": every weight, one line per receiving node, bias last.
void showWeights(Workbench &wb);

// "Weights &Delta..": the last step of every weight, laid out as the weight listing.
void showWeightDelta(Workbench &wb);

// The report window's sensitivity spinner UpDown2: one percent, within -100..100, never 0.
void spinSensitivity(Workbench &wb, bool up);

// A sensitivity step in percent moved one up or down within -100..100, skipping 0.
int spunSensStep(int percent, bool up);
