#pragma once

class Array2;
struct NetModel;

// Gives each factor array an element per column (and the spare last one) before the engine
// reads or writes them; existing factors are kept.
void fitNormFactors(NetModel &model);

// Output value y of output column k (1-based) back in data units. A zero scale gives y unchanged.
float denormOutput(const NetModel &model, float y, int k);

// A set held normalised back in data units with the model's stored factors and log flags
// (columns with a zero scale stay as they are).
void unnormalizeSet(const NetModel &model, Array2 &in, Array2 &out);
