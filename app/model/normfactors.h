#pragma once

struct NetModel;

// Gives each factor array an element per column (and the spare last one) before the engine
// reads or writes them; existing factors are kept.
void fitNormFactors(NetModel &model);

// Output value y of output column k (1-based) back in data units. A zero scale gives y unchanged.
float denormOutput(const NetModel &model, float y, int k);
