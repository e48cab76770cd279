#pragma once

// Runs the two halves of a batched pass on two cores: the calling thread takes part 0, one helper
// thread, started at the first parallel pass and kept for the life of the process, takes part 1.
namespace engine {

using PartFunction = void (*)(void *context, int part);

// Runs fn(context, 0) and fn(context, 1) and returns when both are done: side by side when the
// processor has two cores and AXONA_THREADS is not 1, else one after the other on this thread.
// Either way each part does the same work, so results never depend on the thread count.
void runTwoParts(PartFunction fn, void *context);

} // namespace engine
