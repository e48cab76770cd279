#include "small.h"

#include <algorithm>
#include <cmath>

#include "neuron.h"
#include "rng.h"

namespace engine {
namespace {

// Every window that is too little work for blocks has fewer connections than this, and every
// node past layer 1 has at least its bias: both the weights and those nodes fit.
constexpr int MaxWeights = 2048;
// The weights stay as they are through an epoch, so the forward passes of a group of patterns do
// not depend on one another: they run layer by layer over the whole group, which pays a layer's
// set-up once per group and lets the neuron functions of several patterns overlap in the
// processor. The backward passes follow, also layer by layer; each weight still takes its
// patterns' terms in pattern order.
constexpr int MaxSlots = 64;
constexpr int StoreCapacity = 16 * 1024;

// Where one layer past the first lives: its weights at wOff, one row of depth + 1 per node (bias
// last); its activations, net inputs and signals at actOff, netOff and sigOff within a slot.
struct Layer
{
    int nodes;
    int depth;
    int code;
    int wOff;
    int actOff;
    int netOff;
    int sigOff;
};

struct Packed
{
    int nl = 0;
    int nin = 0;
    // layer[l] for l = 2..NL; layer[1] places the inputs, layer[NL + 1] is an empty layer above
    // the output.
    Layer layer[MaxTrainLayers + 2] = {};
    int weights = 0;
    int stride = 0;
    int slots = 1;
    // What the layout was made for: the shape, and the caller's weight arrays' first two
    // dimensions, which place weight k at at[k] in them.
    int16_t heldNn[MaxTrainLayers + 1] = {};
    int16_t heldFunc[MaxTrainLayers + 1] = {};
    Index heldDim1 = 0;
    Index heldDim2 = 0;
    int at[MaxWeights];
    float w[MaxWeights];
    float g[MaxWeights];
    float dw[MaxWeights];
    float gp[MaxWeights];
    // Slot q begins at store + q * stride with its pattern's inputs.
    float store[StoreCapacity];
};

// Routines never run at the same time: one area serves both.
Packed packed;

// True when the layout in pk was made for this shape and these weight arrays.
bool laidOutFor(const Packed &pk, const Shape &shape, const WeightArray &w)
{
    if (pk.nl != shape.nl || pk.heldDim1 != w.nl || pk.heldDim2 != w.dim2) {
        return false;
    }
    for (int l = 1; l <= shape.nl; ++l) {
        if (pk.heldNn[l] != shape.nn(l) || pk.heldFunc[l] != shape.func(l)) {
            return false;
        }
    }
    return true;
}

// Lays the copies out for the shape and the caller's weight arrays; false when they do not fit.
bool layOut(Packed &pk, const Shape &shape, const WeightArray &w)
{
    if (pk.nl != 0 && laidOutFor(pk, shape, w)) {
        return true;
    }
    pk.nl = 0;
    if (shape.nl < 2 || shape.nn(1) >= MaxWeights) {
        return false;
    }
    // At most NL = 5 layers of at most 1024 nodes past the first: no overflow.
    int weights = 0;
    int nodes = 0;
    for (int l = 2; l <= shape.nl; ++l) {
        weights += (shape.nn(l - 1) + 1) * shape.nn(l);
        nodes += shape.nn(l);
    }
    if (weights > MaxWeights) {
        return false;
    }
    pk.nin = shape.nn(1);
    pk.layer[1] = {pk.nin, 0, 1, 0, 0, 0, 0};
    int k = 0;
    int off = pk.nin;
    for (int l = 2; l <= shape.nl; ++l) {
        const int n = shape.nn(l);
        const int depth = shape.nn(l - 1);
        pk.layer[l] = {n, depth, shape.func(l), k, off, off + n, off + 2 * n};
        off += 3 * n;
        for (int j = 1; j <= n; ++j) {
            for (int i = 1; i <= depth + 1; ++i) {
                pk.at[k++] = int(&w(l, i, j) - w.base);
            }
        }
    }
    pk.layer[shape.nl + 1] = {0, shape.nn(shape.nl), 1, weights, off, off, off};
    pk.weights = weights;
    pk.stride = pk.nin + 3 * nodes;
    pk.slots = std::min(MaxSlots, StoreCapacity / std::max(1, pk.stride));
    for (int l = 1; l <= shape.nl; ++l) {
        pk.heldNn[l] = int16_t(shape.nn(l));
        pk.heldFunc[l] = int16_t(shape.func(l));
    }
    pk.heldDim1 = w.nl;
    pk.heldDim2 = w.dim2;
    pk.nl = shape.nl;
    return true;
}

// Net inputs and activations of one layer with neuron function Code (a code that activate() and
// slope() take as they take it) for the patterns of count slots.
template <int Code> void forwardLayer(const Packed &pk, int l, int count, float *base, float temp)
{
    const Layer &layer = pk.layer[l];
    const int nodes = layer.nodes;
    const int depth = layer.depth;
    const float *weights = pk.w + layer.wOff;
    const int belowOff = pk.layer[l - 1].actOff;
    for (int q = 0; q < count; ++q) {
        float *slot = base + q * pk.stride;
        const float *below = slot + belowOff;
        float *act = slot + layer.actOff;
        float *net = slot + layer.netOff;
        const float *row = weights;
        for (int j = 0; j < nodes; ++j) {
            float s = 0.0f;
            for (int i = 0; i < depth; ++i) {
                s += row[i] * below[i];
            }
            const float x = s + row[depth];
            net[j] = x;
            act[j] = activate(x, temp, Code);
            row += depth + 1;
        }
    }
}

// Signals of one layer for the slots that teach, accumulated into its gradient pattern after
// pattern: from the targets for the output layer, else from the signals above through the
// weights into them (rows of nodes + 1 floats).
template <int Code>
void backwardLayer(Packed &pk,
                   int l,
                   int count,
                   float *base,
                   const bool *teach,
                   const int *rows,
                   const PatternArray &tgt,
                   float temp)
{
    const Layer &layer = pk.layer[l];
    const Layer &above = pk.layer[l + 1];
    const int nodes = layer.nodes;
    const int depth = layer.depth;
    const int belowOff = pk.layer[l - 1].actOff;
    const bool output = l == pk.nl;
    const int aboveRow = nodes + 1;
    const float *wAbove = pk.w + above.wOff;
    for (int q = 0; q < count; ++q) {
        if (!teach[q]) {
            continue;
        }
        float *slot = base + q * pk.stride;
        const float *below = slot + belowOff;
        const float *act = slot + layer.actOff;
        const float *net = slot + layer.netOff;
        float *d = slot + layer.sigOff;
        const float *dAbove = slot + above.sigOff;
        const float *t = tgt.base + (rows[q] - 1);
        float *grad = pk.g + layer.wOff;
        for (int j = 0; j < nodes; ++j) {
            const float y = act[j];
            float dj = 0.0f;
            if (output) {
                dj = t[tgt.npat * j] - y;
            } else {
                for (int k = 0; k < above.nodes; ++k) {
                    dj += dAbove[k] * wAbove[k * aboveRow + j];
                }
            }
            dj *= slope(net[j], y, temp, Code);
            d[j] = dj;
            grad[depth] += dj;
            for (int i = 0; i < depth; ++i) {
                grad[i] += dj * below[i];
            }
            grad += depth + 1;
        }
    }
}

template <template <int> class Pass, typename... Args> void byCode(int code, Args &&...args)
{
    switch (code) {
    case 2:
        Pass<2>::run(args...);
        break;
    case 3:
        Pass<3>::run(args...);
        break;
    case 4:
        Pass<4>::run(args...);
        break;
    case 5:
        Pass<5>::run(args...);
        break;
    default:
        Pass<1>::run(args...);
        break;
    }
}

template <int Code> struct Forward
{
    static void run(const Packed &pk, int l, int count, float *base, float temp)
    {
        forwardLayer<Code>(pk, l, count, base, temp);
    }
};

template <int Code> struct Backward
{
    static void run(Packed &pk,
                    int l,
                    int count,
                    float *base,
                    const bool *teach,
                    const int *rows,
                    const PatternArray &tgt,
                    float temp)
    {
        backwardLayer<Code>(pk, l, count, base, teach, rows, tgt, temp);
    }
};

// The epoch's update in the order l, j, i (bias last), as the weight-noise draws come.
void update(Packed &pk, const TrainOptions &opts, const QuickProp *qp)
{
    float *w = pk.w;
    float *g = pk.g;
    float *dw = pk.dw;
    const int n = pk.weights;
    if (qp) {
        float *gp = pk.gp;
        for (int k = 0; k < n; ++k) {
            const float gk = g[k];
            const float step = quickPropStep(gk, gp[k], dw[k], opts, *qp);
            w[k] = opts.wnoise == 0.0f ? w[k] + step
                                       : (w[k] + step) + uniform(-opts.wnoise, opts.wnoise);
            // Momentum remembers the step without the noise.
            dw[k] = step;
            g[k] = 0.0f;
            gp[k] = gk;
        }
        return;
    }
    if (opts.wnoise == 0.0f) {
        for (int k = 0; k < n; ++k) {
            const float step = opts.eta * g[k] + opts.alpha * dw[k];
            w[k] = w[k] + step;
            dw[k] = step;
            g[k] = 0.0f;
        }
        return;
    }
    for (int k = 0; k < n; ++k) {
        const float step = opts.eta * g[k] + opts.alpha * dw[k];
        w[k] = (w[k] + step) + uniform(-opts.wnoise, opts.wnoise);
        dw[k] = step;
        g[k] = 0.0f;
    }
}

} // namespace

bool trainSmall(const TrainNet &net,
                const TrainData &data,
                const TrainOptions &opts,
                WorkArea &area,
                const QuickProp *qp,
                float &rms,
                int16_t &ngood)
{
    Packed &pk = packed;
    if (opts.epochs < 1 || opts.inoise != 0.0f || !layOut(pk, net.shape, net.w)) {
        return false;
    }
    const int *at = pk.at;
    for (int k = 0; k < pk.weights; ++k) {
        pk.w[k] = net.w.base[at[k]];
        pk.g[k] = net.g.base[at[k]];
        pk.dw[k] = net.dw.base[at[k]];
    }
    if (qp) {
        for (int k = 0; k < pk.weights; ++k) {
            pk.gp[k] = qp->gp.base[at[k]];
        }
    }
    const int n = opts.last - opts.first + 1;
    const float c = 1.0f / static_cast<float>(n);
    const float clipBelow = opts.clip * opts.target;
    const float temp = opts.temp;
    const Layer &out = pk.layer[pk.nl];
    int rows[MaxSlots];
    bool teach[MaxSlots];
    int lastRow = opts.first;
    int lastSlot = 0;
    for (int epoch = 1; epoch <= opts.epochs; ++epoch) {
        float sum = 0.0f;
        int16_t good = 0;
        for (int k0 = 1; k0 <= n; k0 += pk.slots) {
            const int count = std::min(pk.slots, n - k0 + 1);
            for (int q = 0; q < count; ++q) {
                rows[q] = opts.randomSampling ? chooseRow(opts, k0 + q) : opts.first + k0 + q - 1;
                const float *column = data.in.base + (rows[q] - 1);
                float *in = pk.store + q * pk.stride;
                for (int i = 0; i < pk.nin; ++i) {
                    in[i] = column[data.in.npat * i];
                }
            }
            for (int l = 2; l <= pk.nl; ++l) {
                byCode<Forward>(pk.layer[l].code, pk, l, count, pk.store, temp);
            }
            for (int q = 0; q < count; ++q) {
                const float *y = pk.store + q * pk.stride + out.actOff;
                const float *t = data.tgt.base + (rows[q] - 1);
                float error = 0.0f;
                for (int k = 0; k < out.nodes; ++k) {
                    const float diff = y[k] - t[data.tgt.npat * k];
                    error += diff * diff;
                }
                const float e = std::sqrt(error);
                if (e <= opts.target) {
                    ++good;
                }
                sum += error;
                // A clipped pattern counts in the error but teaches nothing.
                teach[q] = !(e < clipBelow);
            }
            for (int l = pk.nl; l >= 2; --l) {
                byCode<Backward>(pk.layer[l].code, pk, l, count, pk.store, teach, rows, data.tgt,
                                 temp);
            }
            lastRow = rows[count - 1];
            lastSlot = count - 1;
        }
        ngood = good;
        // Measured with the weights as they stood before this epoch's update.
        area.epochError = std::sqrt(sum * c);
        update(pk, opts, qp);
    }
    rms = area.epochError;
    for (int k = 0; k < pk.weights; ++k) {
        net.w.base[at[k]] = pk.w[k];
        net.dw.base[at[k]] = pk.dw[k];
        net.g.base[at[k]] = 0.0f;
    }
    if (qp) {
        for (int k = 0; k < pk.weights; ++k) {
            qp->gp.base[at[k]] = pk.gp[k];
        }
    }
    // X as the last pattern's forward pass leaves it; X(1, .) only where layer 2 read it.
    if (pk.layer[2].nodes > 0) {
        for (int i = 1; i <= pk.nin; ++i) {
            net.x(1, i) = data.in(lastRow, i);
        }
    }
    const float *last = pk.store + lastSlot * pk.stride;
    for (int l = 2; l <= pk.nl; ++l) {
        const float *act = last + pk.layer[l].actOff;
        for (int j = 1; j <= pk.layer[l].nodes; ++j) {
            net.x(l, j) = act[j - 1];
        }
    }
    return true;
}

} // namespace engine
