// The Axona numeric engine, libaxona32.so.
//
// Nine routines with C linkage, every argument passed by address: counts, indices, switches and
// codes are 16-bit signed integers, real values 32-bit IEEE floats. Arrays are column-major and
// 1-based as documented per argument: the first index varies fastest. The caller owns every array;
// the engine reads and writes them in place and keeps no reference after the call. Between calls
// the engine keeps only its random generator state and the work areas of BP and QP.
//
// Weight-shaped arrays W, G, DW, GP have dimensions (NL, WDIM2, WDIM3): element (l, i, j) is the
// connection from node i of layer l-1 into node j of layer l, at offset
// (l-1) + NL*(i-1) + NL*WDIM2*(j-1). Row i = NN(l-1)+1 is the bias of node j (input constant 1).
// Every weight operation visits exactly l = 2..NL, j = 1..NN(l), i = 1..NN(l-1)+1.
// X has dimensions (NL, MAXN): X(l, j) at offset (l-1) + NL*(j-1).
// Pattern arrays IN(NPAT, NIN) and TGT(NPAT, NOUT): IN(p, i) at offset (p-1) + NPAT*(i-1).
//
// Neuron-function codes in FUNC: 1 sigmoid, 2 linear, 3 tanh, 4 gaussian, 5 sigmoid with 0.1
// added to its slope; any other value acts as 1. FUNC(1) is never read.
//
// The routines are not reentrant: call them from one thread at a time.
//
// Calls outside the contract that would address memory outside the caller's arrays or the
// engine's work areas return at once without writing anything, results included: for every
// weight routine NL < 1, a negative NN(l) or WDIM2 < NN(l-1)+1; and as noted per routine below.
#pragma once

#include <stdint.h>

#if defined(_WIN32)
#define AXONA32_API __declspec(dllexport)
#elif defined(__GNUC__)
#define AXONA32_API __attribute__((visibility("default")))
#else
#define AXONA32_API
#endif

#ifdef __cplusplus
extern "C" {
#define AXONA32_NOEXCEPT noexcept
#else
#define AXONA32_NOEXCEPT
#endif

// Forward pass of pattern IPAT: writes X(l, j) for l = 2..NL and ERR = Euclidean length of the
// output error vector of that pattern. X(1, .) is neither read nor written. IPAT outside
// 1..NPAT writes nothing.
AXONA32_API void CALCNET(float *W, // in: weights (NL, WDIM2, WDIM3)
                         float *IN, // in: inputs (NPAT, NIN)
                         float *TGT, // in: targets (NPAT, NOUT), always read
                         int16_t *NN, // in: nodes per layer (NL)
                         int16_t *NL, // in: number of layers
                         int16_t *MAXN, // not read
                         int16_t *WDIM2, // in: second dimension of W
                         int16_t *WDIM3, // not read
                         int16_t *NPAT, // in: rows of IN and TGT
                         int16_t *NIN, // not read
                         int16_t *NOUT, // not read
                         int16_t *IPAT, // in: pattern row, 1..NPAT
                         float *X, // out: activations (NL, MAXN)
                         float *ERR, // out: pattern error
                         float *TEMP, // in: temperature of the neuron functions
                         int16_t *FUNC) AXONA32_NOEXCEPT; // in: function code per layer (NL)

// Error over rows 1..NPAT: RMS = sqrt(mean of squared pattern errors), NGOOD = patterns whose
// error is at most TARGET. X is left holding the activations of the last pattern. An empty set
// (NPAT <= 0) gives RMS 0 and NGOOD 0.
AXONA32_API void CALCERR(float *W, // in: weights
                         float *IN, // in: inputs (NPAT, NIN)
                         float *TGT, // in: targets (NPAT, NOUT)
                         int16_t *NN, // in: nodes per layer
                         int16_t *NL, // in: number of layers
                         int16_t *MAXN, // not read
                         int16_t *WDIM2, // in: second dimension of W
                         int16_t *WDIM3, // not read
                         int16_t *NPAT, // in: rows of IN and TGT
                         int16_t *NIN, // not read
                         int16_t *NOUT, // not read
                         float *X, // out: activations (NL, MAXN)
                         float *RMS, // out: root-mean-square error
                         float *TARGET, // in: target error per pattern
                         int16_t *NGOOD, // out: good patterns
                         float *TEMP, // in: temperature
                         int16_t *FUNC) AXONA32_NOEXCEPT; // in: function code per layer

// NEPOCH epochs of batch back-propagation with momentum over rows IFIRST..ILAST; the weights
// change once per epoch. Reseeds the generator from the clock on entry. G must hold zeros on
// entry and holds zeros on return; DW receives the last step (without weight noise).
// NEPOCH <= 0 changes no array, leaves NGOOD as passed and sets RMS to the error of the last
// epoch BP ran in this process (0 if none). Training limits: NL <= 5 and NN(l) <= 1024 for
// l >= 2, and 1 <= IFIRST <= ILAST <= NPAT. A call outside them returns at once and writes
// nothing at all, not even RMS or NGOOD, and does not reseed.
AXONA32_API void BP(float *IN, // in: inputs (NPAT, NIN)
                    float *TGT, // in: targets (NPAT, NOUT)
                    int16_t *NL, // in: number of layers
                    int16_t *MAXN, // not read
                    int16_t *WDIM2, // in: second dimension of the weight arrays
                    int16_t *WDIM3, // not read
                    int16_t *NPAT, // in: rows of IN and TGT
                    int16_t *NIN, // not read
                    int16_t *NOUT, // not read
                    float *ETA, // in: learning rate
                    float *ALPHA, // in: momentum
                    float *X, // in/out: activations, work (NL, MAXN), MAXN >= every NN(l)
                    int16_t *NN, // in: nodes per layer
                    float *W, // in/out: weights
                    float *G, // in/out: gradient accumulator, zero on entry and on return
                    float *DW, // in/out: previous weight step
                    int16_t *NEPOCH, // in: epochs to run; <= 0 runs none
                    float *RMS, // out: error of the last epoch run
                    float *WNOISE, // in: half-width of the weight noise
                    float *INOISE, // in: half-width of the input noise
                    float *TIMER, // not read (the application passes its timer reading)
                    float *TEMP, // in: temperature
                    int16_t *FUNC, // in: function code per layer
                    float *CLIP, // in: patterns with error below CLIP*TARGET are not learned
                    int16_t *NGOOD, // out: good patterns of the last epoch
                    float *TARGET, // in: target error per pattern
                    int16_t *IFIRST, // in: first row of the window
                    int16_t *ILAST, // in: last row of the window
                    int16_t *IRAND) AXONA32_NOEXCEPT; // in: 1 = random sampling, else in order

// Quick-prop: as BP (same first 29 arguments, same limits) with the quick-prop update. QP keeps
// its own work areas and its own last epoch error, separate from BP's. GP is replaced by this
// call's last gradient; nothing in the engine clears it.
AXONA32_API void QP(float *IN,
                    float *TGT,
                    int16_t *NL,
                    int16_t *MAXN,
                    int16_t *WDIM2,
                    int16_t *WDIM3,
                    int16_t *NPAT,
                    int16_t *NIN,
                    int16_t *NOUT,
                    float *ETA,
                    float *ALPHA,
                    float *X,
                    int16_t *NN,
                    float *W,
                    float *G,
                    float *DW,
                    int16_t *NEPOCH,
                    float *RMS,
                    float *WNOISE,
                    float *INOISE,
                    float *TIMER,
                    float *TEMP,
                    int16_t *FUNC,
                    float *CLIP,
                    int16_t *NGOOD,
                    float *TARGET,
                    int16_t *IFIRST,
                    int16_t *ILAST,
                    int16_t *IRAND,
                    float *GP, // in/out: previous epoch's gradient
                    float *GROWTH, // in: maximum growth of a step over the previous one
                    float *CUTOFF, // in: step magnitude above which DECAY applies
                    float *DECAY) AXONA32_NOEXCEPT; // in: multiplier of steps above CUTOFF

// Fills W with uniform random values between WLOW and WHIGH. Reseeds the generator first.
AXONA32_API void RNDW(float *W, // out: weights
                      int16_t *NN, // in: nodes per layer
                      int16_t *NL, // in: number of layers
                      int16_t *WDIM2, // in: second dimension of W
                      int16_t *WDIM3, // not read
                      float *WLOW, // in: lower bound
                      float *WHIGH, // in: upper bound
                      float *TIMER) AXONA32_NOEXCEPT; // not read

// Sets G and DW to zero on the weight index set. GP is not touched.
AXONA32_API void ZEROW(float *G, // out: gradient accumulator
                       float *DW, // out: previous weight step
                       int16_t *NN, // in: nodes per layer
                       int16_t *NL, // in: number of layers
                       int16_t *WDIM2, // in: second dimension
                       int16_t *WDIM3) AXONA32_NOEXCEPT; // not read

// Scales inputs and targets in place: y = a*x + b, or y = a*ln(x) + b on a side whose log switch
// is set; per node (GLOBAL = 0, factor arrays indexed by node) or per block (element 1 only).
// MODE: <= 0 apply the given factors; 1 compute the input factors, identity on targets; 2 the
// reverse; 3 compute both; any other positive value identity on both. NPAT, NIN or NOUT below 1
// writes nothing.
AXONA32_API void NORMALIZE(float *IN, // in/out: inputs (NPAT, NIN)
                           float *TGT, // in/out: targets (NPAT, NOUT)
                           int16_t *NPAT, // in: rows
                           int16_t *NIN, // in: input columns
                           int16_t *NOUT, // in: target columns
                           float *INLO, // in: new minimum of the inputs
                           float *INHI, // in: new maximum of the inputs
                           float *OUTLO, // in: new minimum of the targets
                           float *OUTHI, // in: new maximum of the targets
                           float *INA, // in/out: input scales (NIN)
                           float *INB, // in/out: input offsets (NIN)
                           int16_t *INLOG, // in: non-zero = logarithmic inputs
                           float *OUTA, // in/out: target scales (NOUT)
                           float *OUTB, // in/out: target offsets (NOUT)
                           int16_t *OUTLOG, // in: non-zero = logarithmic targets
                           int16_t *GLOBAL, // in: non-zero = one factor pair per block
                           int16_t *MODE) AXONA32_NOEXCEPT; // in: what to compute

// Extremes over the whole input block and the whole target block, and whether either holds a
// value <= 0. OUTNONPOS is only ever set to 1, never cleared: pass it as 0. NPAT, NIN or NOUT
// below 1 writes nothing.
AXONA32_API void MINMAX(float *IN, // in: inputs (NPAT, NIN)
                        float *TGT, // in: targets (NPAT, NOUT)
                        int16_t *NPAT, // in: rows
                        int16_t *NIN, // in: input columns
                        int16_t *NOUT, // in: target columns
                        float *INMIN, // out
                        float *INMAX, // out
                        float *OUTMIN, // out
                        float *OUTMAX, // out
                        int16_t *INNONPOS, // out: 1 if some input <= 0, else 0
                        int16_t *OUTNONPOS) AXONA32_NOEXCEPT; // in/out: 1 if a target <= 0

// Moves NTEST patterns out of IN/TGT into TIN/TTGT and closes the gap; NPAT shrinks by NTEST.
// The remaining rows keep the old leading dimension. SMODE: 1 random sample (shuffle, take the
// last NTEST), 2 block at a random start, 3 block at ISTART; any other value acts as 1.
// Reseeds the generator first. NTEST outside 1..NPAT-1, or in mode 3 a block not inside
// 1..NPAT, writes nothing.
AXONA32_API void MKTEST1(float *IN, // in/out: training inputs (NPAT, NIN)
                         float *TGT, // in/out: training targets (NPAT, NOUT)
                         int16_t *NPAT, // in/out: training rows
                         int16_t *NIN, // in: input columns
                         int16_t *NOUT, // in: target columns
                         float *TIN, // out: test inputs (NTEST, NIN)
                         float *TTGT, // out: test targets (NTEST, NOUT)
                         int16_t *NTEST, // in: patterns to take out, 1 <= NTEST < NPAT
                         int16_t *SMODE, // in: selection mode
                         int16_t *ISTART, // in/out: first row of the block
                         float *UNUSED) AXONA32_NOEXCEPT; // not read

// Reproducible runs: with *FIXED non-zero, every reseed of BP, QP, RNDW and MKTEST1 reads *T as
// its clock (calendar seconds plus milliseconds), so a sequence of calls repeats exactly; with
// *FIXED zero the real clock returns and T is not read. Not one of the nine routines the
// application needs.
AXONA32_API void FIXCLOCK(int32_t *T, // in: clock reading to use
                          int16_t *FIXED) AXONA32_NOEXCEPT; // in: non-zero = fixed clock

#ifdef __cplusplus
}
#endif
