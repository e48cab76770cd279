#pragma once

// Runs a batched pass on two cores: the calling thread runs fn(context, 0) and one helper thread,
// started at the first parallel pass and kept for the life of the process, runs fn(context, 1).
namespace engine {

using PartFunction = void (*)(void *context, int part);

// Runs fn(context, 0) and fn(context, 1) and returns when both are done: side by side when the
// processor has two cores and AXONA_THREADS is not 1, else one after the other on this thread.
// The two calls share the pass's chunks between them; which call runs which chunk must not, and
// in the batched passes does not, change any result.
void runTwoParts(PartFunction fn, void *context);

} // namespace engine
