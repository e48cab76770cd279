#include <cmath>

#include "axona32.h"
#include "layout.h"

namespace engine {
namespace {

struct Range
{
    float lo;
    float hi;
};

// Extremes over columns first..last of a pattern block, starting from element (1, first).
Range scan(const PatternArray &v, int npat, int first, int last)
{
    Range r {v(1, first), v(1, first)};
    for (int i = first; i <= last; ++i) {
        for (int p = 1; p <= npat; ++p) {
            const float x = v(p, i);
            if (x < r.lo) {
                r.lo = x;
            }
            if (x > r.hi) {
                r.hi = x;
            }
        }
    }
    return r;
}

// Scale and offset mapping the data range onto [tmin, tmax] (after ln on a log side), in double;
// b comes from the unrounded a. A flat range keeps the values as they are.
void computeFactors(Range data, float tmin, float tmax, bool log, float &a, float &b)
{
    if (data.hi == data.lo) {
        a = 1.0f;
        b = 0.0f;
        return;
    }
    const double lo = log ? std::log(static_cast<double>(data.lo)) : data.lo;
    const double hi = log ? std::log(static_cast<double>(data.hi)) : data.hi;
    const double scale = (static_cast<double>(tmax) - tmin) / (hi - lo);
    a = static_cast<float>(scale);
    b = static_cast<float>(tmax - scale * hi);
}

void apply(const PatternArray &v, int npat, int first, int last, float a, float b, bool log)
{
    for (int i = first; i <= last; ++i) {
        for (int p = 1; p <= npat; ++p) {
            const double x = v(p, i);
            v(p, i) = static_cast<float>(static_cast<double>(a) * (log ? std::log(x) : x) + b);
        }
    }
}

// One side (inputs or targets): per column, or one factor pair in element 1 for the whole block.
// computes: derive the factors from the data; otherwise a positive mode sets the identity and
// a mode <= 0 keeps the factors as passed.
void normalizeSide(const PatternArray &v,
                   int npat,
                   int ncols,
                   float tmin,
                   float tmax,
                   float *A,
                   float *B,
                   bool log,
                   bool global,
                   bool computes,
                   int mode)
{
    const int groups = global ? 1 : ncols;
    for (int k = 1; k <= groups; ++k) {
        const int first = global ? 1 : k;
        const int last = global ? ncols : k;
        if (computes) {
            computeFactors(scan(v, npat, first, last), tmin, tmax, log, A[k - 1], B[k - 1]);
        } else if (mode > 0) {
            A[k - 1] = 1.0f;
            B[k - 1] = 0.0f;
        }
        apply(v, npat, first, last, A[k - 1], B[k - 1], log);
    }
}

} // namespace
} // namespace engine

using namespace engine;

void NORMALIZE(float *IN,
               float *TGT,
               int16_t *NPAT,
               int16_t *NIN,
               int16_t *NOUT,
               float *INLO,
               float *INHI,
               float *OUTLO,
               float *OUTHI,
               float *INA,
               float *INB,
               int16_t *INLOG,
               float *OUTA,
               float *OUTB,
               int16_t *OUTLOG,
               int16_t *GLOBAL,
               int16_t *MODE) noexcept
{
    if (*NPAT < 1 || *NIN < 1 || *NOUT < 1) {
        return;
    }
    const int mode = *MODE;
    const bool global = *GLOBAL != 0;
    normalizeSide({IN, *NPAT}, *NPAT, *NIN, *INLO, *INHI, INA, INB, *INLOG != 0, global,
                  mode == 1 || mode == 3, mode);
    normalizeSide({TGT, *NPAT}, *NPAT, *NOUT, *OUTLO, *OUTHI, OUTA, OUTB, *OUTLOG != 0, global,
                  mode == 2 || mode == 3, mode);
}

void MINMAX(float *IN,
            float *TGT,
            int16_t *NPAT,
            int16_t *NIN,
            int16_t *NOUT,
            float *INMIN,
            float *INMAX,
            float *OUTMIN,
            float *OUTMAX,
            int16_t *INNONPOS,
            int16_t *OUTNONPOS) noexcept
{
    if (*NPAT < 1 || *NIN < 1 || *NOUT < 1) {
        return;
    }
    const PatternArray in {IN, *NPAT};
    const PatternArray tgt {TGT, *NPAT};
    const Range inRange = scan(in, *NPAT, 1, *NIN);
    const Range outRange = scan(tgt, *NPAT, 1, *NOUT);
    *INMIN = inRange.lo;
    *INMAX = inRange.hi;
    *OUTMIN = outRange.lo;
    *OUTMAX = outRange.hi;
    *INNONPOS = 0;
    for (int i = 1; i <= *NIN; ++i) {
        for (int p = 1; p <= *NPAT; ++p) {
            if (in(p, i) <= 0.0f) {
                *INNONPOS = 1;
            }
        }
    }
    // Only ever set, never cleared: the caller passes it holding 0.
    for (int k = 1; k <= *NOUT; ++k) {
        for (int p = 1; p <= *NPAT; ++p) {
            if (tgt(p, k) <= 0.0f) {
                *OUTNONPOS = 1;
            }
        }
    }
}
