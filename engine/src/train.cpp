#include "train.h"

#include <algorithm>
#include <cmath>

#include "batch.h"
#include "neuron.h"
#include "rng.h"
#include "small.h"

namespace engine {

int chooseRow(const TrainOptions &opts, int k)
{
    if (!opts.randomSampling) {
        return opts.first + k - 1;
    }
    const float r = static_cast<float>(generator().next());
    return static_cast<int>(opts.first + (opts.last - opts.first) * static_cast<double>(r) + 0.5);
}

namespace {

// Activations and net inputs of layers 2..NL for a group of patterns. The weights stay as they are
// through an epoch, so the forward passes of a group do not depend on one another: run one after
// the other, their neuron functions overlap in the processor, and the backward passes follow in
// pattern order. One area serves both routines, which never run at the same time.
class Group
{
public:
    static constexpr int MaxSlots = 8;

    // Lays the area out for the shape; as many slots as fit, at least two.
    void layOut(const Shape &shape)
    {
        int total = 0;
        for (int l = 2; l <= shape.nl; ++l) {
            m_off[l] = total;
            total += shape.nn(l);
        }
        m_stride = 2 * total;
        m_slots = m_stride == 0 ? MaxSlots : std::min(MaxSlots, Capacity / m_stride);
    }

    int slots() const { return m_slots; }

    float &act(int slot, int l, int j) { return m_store[slot * m_stride + m_off[l] + j - 1]; }

    float &netInput(int slot, int l, int j)
    {
        return m_store[slot * m_stride + m_stride / 2 + m_off[l] + j - 1];
    }

private:
    static constexpr int Capacity = 4 * MaxTrainLayers * MaxTrainNodes;
    float m_store[Capacity];
    int m_off[MaxTrainLayers + 1] = {};
    int m_stride = 0;
    int m_slots = 1;
};

Group group;

// Input i of row p as layer 2 sees it: as given, or with input noise the copy in X(1, .).
float input(const TrainNet &net, const TrainData &data, bool noise, int p, int i)
{
    return noise ? net.x(1, i) : data.in(p, i);
}

// Forward pass of row p into a slot, with float running sums; keeps every net input for the
// slopes and returns the squared output error. Input noise is drawn afresh for every layer-2
// node, so X(1, .) ends up holding the copy the last layer-2 node saw (with noise, one pattern is
// in flight at a time).
float forwardPattern(
        const TrainNet &net, const TrainData &data, const TrainOptions &opts, int p, int slot)
{
    const Shape &shape = net.shape;
    const bool noise = opts.inoise != 0.0f;
    float sum = 0.0f;
    for (int l = 2; l <= shape.nl; ++l) {
        const int below = shape.nn(l - 1);
        const int code = shape.func(l);
        for (int j = 1; j <= shape.nn(l); ++j) {
            float s = 0.0f;
            for (int i = 1; i <= below; ++i) {
                float a;
                if (l == 2) {
                    if (noise) {
                        net.x(1, i) = data.in(p, i) + uniform(-opts.inoise, opts.inoise);
                    }
                    a = input(net, data, noise, p, i);
                } else {
                    a = group.act(slot, l - 1, i);
                }
                s += net.w(l, i, j) * a;
            }
            const float netInput = s + net.w(l, below + 1, j);
            group.netInput(slot, l, j) = netInput;
            const float y = activate(netInput, opts.temp, code);
            group.act(slot, l, j) = y;
            if (l == shape.nl) {
                const float diff = y - data.tgt(p, j);
                sum += diff * diff;
            }
        }
    }
    return sum;
}

// Error signals of the pattern in a slot from the output layer down, accumulated into G along the
// negative gradient.
void backwardPattern(const TrainNet &net,
                     const TrainData &data,
                     const TrainOptions &opts,
                     int p,
                     int slot,
                     WorkArea &area)
{
    const Shape &shape = net.shape;
    const bool noise = opts.inoise != 0.0f;
    for (int l = shape.nl; l >= 2; --l) {
        const int below = shape.nn(l - 1);
        const int code = shape.func(l);
        for (int j = 1; j <= shape.nn(l); ++j) {
            const float y = group.act(slot, l, j);
            float d = 0.0f;
            if (l == shape.nl) {
                d = data.tgt(p, j) - y;
            } else {
                for (int k = 1; k <= shape.nn(l + 1); ++k) {
                    d += area.signal(l + 1, k) * net.w(l + 1, j, k);
                }
            }
            d *= slope(group.netInput(slot, l, j), y, opts.temp, code);
            area.signal(l, j) = d;
            net.g(l, below + 1, j) += d;
            for (int i = 1; i <= below; ++i) {
                const float a = l == 2 ? input(net, data, noise, p, i) : group.act(slot, l - 1, i);
                net.g(l, i, j) += d * a;
            }
        }
    }
}

// X as the last pattern's forward pass leaves it: X(1, .) holds what layer 2 read (left alone
// without layer-2 nodes, and already in place with input noise).
void keepLastPattern(
        const TrainNet &net, const TrainData &data, const TrainOptions &opts, int p, int slot)
{
    const Shape &shape = net.shape;
    if (opts.inoise == 0.0f && shape.nl >= 2 && shape.nn(2) > 0) {
        for (int i = 1; i <= shape.nn(1); ++i) {
            net.x(1, i) = data.in(p, i);
        }
    }
    for (int l = 2; l <= shape.nl; ++l) {
        for (int j = 1; j <= shape.nn(l); ++j) {
            net.x(l, j) = group.act(slot, l, j);
        }
    }
}

// Moves one weight by step plus a fresh noise draw, remembers the step and clears the gradient.
inline void
applyStep(const TrainNet &net, const TrainOptions &opts, int l, int i, int j, float step)
{
    if (opts.wnoise == 0.0f) {
        net.w(l, i, j) = net.w(l, i, j) + step;
    } else {
        net.w(l, i, j) = (net.w(l, i, j) + step) + uniform(-opts.wnoise, opts.wnoise);
    }
    // Momentum remembers the step without the noise.
    net.dw(l, i, j) = step;
    net.g(l, i, j) = 0.0f;
}

void updateBackProp(const TrainNet &net, const TrainOptions &opts)
{
    forEachWeight(net.shape.nl, net.shape.nn, [&](int l, int i, int j) {
        applyStep(net, opts, l, i, j, opts.eta * net.g(l, i, j) + opts.alpha * net.dw(l, i, j));
    });
}

void updateQuickProp(const TrainNet &net, const TrainOptions &opts, const QuickProp &qp)
{
    forEachWeight(net.shape.nl, net.shape.nn, [&](int l, int i, int j) {
        const float g = net.g(l, i, j);
        applyStep(net, opts, l, i, j, quickPropStep(g, qp.gp(l, i, j), net.dw(l, i, j), opts, qp));
        qp.gp(l, i, j) = g;
    });
}

float sgn(float v)
{
    return v < 0.0f ? -1.0f : 1.0f;
}

} // namespace

float quickPropStep(float g, float gp, float dp, const TrainOptions &opts, const QuickProp &qp)
{
    const float diff = gp - g;
    const float s = diff > 0.00001f ? dp / diff : 0.0f;
    // A gradient that changed sign drops the plain gradient term.
    float step = sgn(g) == sgn(gp) ? opts.alpha * dp + (s + opts.eta) * g : opts.alpha * dp + s * g;
    if (sgn(step) != sgn(g)) {
        step = -step;
    }
    // The growth limit comes after the turn and keeps the previous step's sign.
    const float limit = qp.growth * dp;
    if (limit != 0.0f && std::fabs(limit) < std::fabs(step)) {
        step = limit;
    }
    if (std::fabs(step) > qp.cutoff) {
        step = step * qp.decay;
    }
    return step;
}

bool withinTrainingLimits(const int16_t *NN, int nl, int wdim2, int first, int last, int npat)
{
    if (nl > MaxTrainLayers || !shapeIsAddressable(NN, nl, wdim2)) {
        return false;
    }
    for (int l = 2; l <= nl; ++l) {
        if (NN[l - 1] > MaxTrainNodes) {
            return false;
        }
    }
    return first >= 1 && first <= last && last <= npat;
}

void train(const TrainNet &net,
           const TrainData &data,
           const TrainOptions &opts,
           WorkArea &area,
           const QuickProp *qp,
           float &rms,
           int16_t &ngood)
{
    // Only a call that draws needs the clock: every routine that draws reseeds first, so the
    // generator's state between calls is never seen.
    if (opts.randomSampling || opts.wnoise != 0.0f || opts.inoise != 0.0f) {
        reseed();
    }
    if (opts.epochs > 0 && trainBatched(net, data, opts, area, qp, rms, ngood)) {
        return;
    }
    if (trainSmall(net, data, opts, area, qp, rms, ngood)) {
        return;
    }
    const int n = opts.last - opts.first + 1;
    const float c = 1.0f / static_cast<float>(n);
    const float clipBelow = opts.clip * opts.target;
    group.layOut(net.shape);
    // Input noise is drawn in the forward pass: its patterns go one at a time.
    const int slots = opts.inoise != 0.0f ? 1 : group.slots();
    int rows[Group::MaxSlots];
    float errors[Group::MaxSlots];
    for (int epoch = 1; epoch <= opts.epochs; ++epoch) {
        float sum = 0.0f;
        int16_t good = 0;
        for (int k0 = 1; k0 <= n; k0 += slots) {
            const int count = std::min(slots, n - k0 + 1);
            for (int q = 0; q < count; ++q) {
                rows[q] = chooseRow(opts, k0 + q);
                errors[q] = forwardPattern(net, data, opts, rows[q], q);
            }
            for (int q = 0; q < count; ++q) {
                const float e = std::sqrt(errors[q]);
                if (e <= opts.target) {
                    ++good;
                }
                sum += errors[q];
                // A clipped pattern counts in the error but teaches nothing.
                if (!(e < clipBelow)) {
                    backwardPattern(net, data, opts, rows[q], q, area);
                }
            }
            if (epoch == opts.epochs && k0 + count > n) {
                keepLastPattern(net, data, opts, rows[count - 1], count - 1);
            }
        }
        ngood = good;
        // Measured with the weights as they stood before this epoch's update.
        area.epochError = std::sqrt(sum * c);
        if (qp) {
            updateQuickProp(net, opts, *qp);
        } else {
            updateBackProp(net, opts);
        }
    }
    rms = area.epochError;
}

} // namespace engine
