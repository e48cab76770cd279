#pragma once

struct Workbench;

// After a training set arrived (file, paste or link): brings it into normalised form with the
// stored factors when the data are held normalised, otherwise warns once when the data lie
// outside the range that suits the network's neuron functions.
void normalizePatSet(Workbench &wb);

// After a test set arrived: applies the stored factors (the callers do so while the data are
// held normalised). A side with a value <= 0 is scaled without its logarithm.
void normalizeTestSet(Workbench &wb);
