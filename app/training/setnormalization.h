#pragma once

#include <QString>

class Array2;
struct Workbench;

// After a training set arrived (file, paste or link): brings it into normalised form with the
// stored factors when the data are held normalised, otherwise warns once when the data lie
// outside the range that suits the network's neuron functions.
void normalizePatSet(Workbench &wb);

// After a test set arrived: applies the stored factors (the callers do so while the data are
// held normalised). A side with a value <= 0 is scaled without its logarithm.
void normalizeTestSet(Workbench &wb);

// The side of a set that cannot be taken with the log: "inputs" or "outputs" when that side is
// to be log-normalised and holds a value <= 0, empty when the set fits.
QString logRefusedSide(const Array2 &in, const Array2 &out, bool inLog, bool outLog);

// A set arriving while the data are held normalised: refused with a message when a side the
// stored factors take with the log holds a value <= 0, since scaled without the log its values
// would be taken back with exp and every figure shown for it would be wrong. Returns whether
// the set was refused.
bool refuseForLogNormalization(Workbench &wb, const Array2 &in, const Array2 &out, bool test);
