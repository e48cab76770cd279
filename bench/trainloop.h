#pragma once

#include <string>

// Times the whole training loop of the command-line tool, `axona train`, on the XOR example with
// a target error it never reaches: the engine calls together with everything the loop does
// around them. Runs of n and of 2n iterations, so that starting the tool and opening the files
// cancel out. Returns seconds per epoch, or a negative value when the tool or the example could
// not be run (the reason goes to stderr).
double trainLoopSecondsPerEpoch(const std::string &tool,
                                const std::string &examples,
                                int epochsPerCall,
                                int iterations);
