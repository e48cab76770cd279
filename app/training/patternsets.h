#pragma once

#include <cstdint>

class Array2;
struct NetModel;
struct Workbench;

// One pattern set as the engine takes it: inputs, targets and the row count.
struct PatternSetRef
{
    Array2 &in;
    Array2 &out;
    int16_t &count;
};

// The training set (test false) or the test set of the model.
PatternSetRef patternSet(NetModel &model, bool test);

// True when the set is present, its arrays hold exactly its count of rows of NIn inputs and
// NOut targets, and the network arrays were built for the layer list: only then may the engine
// be handed the set.
bool setFitsNetwork(const NetModel &model, bool test);

// setFitsNetwork, telling the user why not when it fails.
bool checkSet(Workbench &wb, bool test);

// Forward pass of row p (1-based) of the set through the network; returns the pattern's error
// and leaves the activations in NodeOut. Only after checkSet and a granted "CALCNET".
float calcNet(Workbench &wb, bool test, int16_t p);
