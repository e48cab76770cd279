#pragma once

// Runs a batched pass on two cores: the calling thread runs fn(context, 0) and one helper thread,
// started at the first parallel pass and kept for the life of the process, runs fn(context, 1).
namespace engine {

using PartFunction = void (*)(void *context, int part);

// Runs fn(context, 0) on this thread and offers fn(context, 1) to the helper when the processor
// has two cores and AXONA_THREADS is not 1; returns when fn(context, 0) is done and the helper
// has either finished its call or not begun it (it then never will). Without the helper, both
// run one after the other here. So fn(context, 0) alone must be able to do all the work: the two
// calls take the pass's chunks from a shared counter, and which call runs which chunk must not,
// and in the batched passes does not, change any result.
void runTwoParts(PartFunction fn, void *context);

} // namespace engine
