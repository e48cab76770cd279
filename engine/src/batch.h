#pragma once

#include <cstdint>

#include "train.h"

// Batched passes: the window is processed in blocks of patterns as matrix products over the
// engine's own copy of the weights (per layer, one contiguous row per receiving node, bias last,
// and its transpose), with the neuron functions applied to a whole block at once.
namespace engine {

// Runs the epochs of one BP or QP call in blocks, after the caller has reseeded. Returns false,
// having read and written nothing, when the plain pattern loop should run instead: a small
// network or window, input noise (drawn per layer-2 node and input), NL < 2, or no memory.
bool trainBatched(const TrainNet &net,
                  const TrainData &data,
                  const TrainOptions &opts,
                  WorkArea &area,
                  const QuickProp *qp,
                  float &rms,
                  int16_t &ngood);

// Error over rows 1..npat of data in blocks, writing RMS, NGOOD and X(l, .) for l >= 2 of the last
// row. Returns false, having written nothing, when the plain loop should run instead.
bool errorBatched(const Shape &shape,
                  const WeightArray &w,
                  const TrainData &data,
                  const NodeArray &x,
                  float temp,
                  float target,
                  float &rms,
                  int16_t &ngood);

} // namespace engine
