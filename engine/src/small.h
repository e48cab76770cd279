#pragma once

#include <cstdint>

#include "train.h"

// Windows too small for blocks (a few patterns of a small network, XOR among them): the pattern
// loop over packed copies of the caller's arrays, where every row of weights into a node lies
// together, bias last. It takes every value in the order the plain loop takes it, so the results
// are the plain loop's to the bit; what it saves is the addressing of the caller's layout, paid
// once per call instead of once per pattern and weight.
namespace engine {

// Runs the epochs of one BP or QP call, after the caller has reseeded. Returns false, having read
// and written nothing, when the plain loop should run instead: no epochs, input noise, NL < 2, or
// a network larger than the packed copies.
bool trainSmall(const TrainNet &net,
                const TrainData &data,
                const TrainOptions &opts,
                WorkArea &area,
                const QuickProp *qp,
                float &rms,
                int16_t &ngood);

} // namespace engine
