#pragma once

#include <cstddef>
#include <cstdint>

// The only place that knows the caller's memory layout: every array crossing the interface is
// column-major and 1-based, and these views turn (l, i, j) or (p, i) into element references.
namespace engine {

using Index = std::ptrdiff_t;

// Weight-shaped array (NL, WDIM2, WDIM3): W(l, i, j), connection from node i of layer l-1 into
// node j of layer l; i = NN(l-1)+1 is the bias row.
struct WeightArray
{
    float *base;
    Index nl;
    Index dim2;

    float &operator()(Index l, Index i, Index j) const
    {
        return base[(l - 1) + nl * (i - 1) + nl * dim2 * (j - 1)];
    }
};

// Activation array (NL, MAXN): X(l, j). The leading dimension is NL.
struct NodeArray
{
    float *base;
    Index nl;

    float &operator()(Index l, Index j) const { return base[(l - 1) + nl * (j - 1)]; }
};

// Pattern array (NPAT, NCOL): A(p, i), pattern first, leading dimension NPAT.
struct PatternArray
{
    float *base;
    Index npat;

    float &operator()(Index p, Index i) const { return base[(p - 1) + npat * (i - 1)]; }
};

// Per-layer integer array (NL): NN(l) or FUNC(l).
struct LayerArray
{
    const int16_t *base;

    int operator()(Index l) const { return base[l - 1]; }
};

// Network shape as passed: number of layers, nodes per layer, function code per layer.
struct Shape
{
    int nl;
    LayerArray nn;
    LayerArray func;
};

// Visits the weight index set l = 2..NL, j = 1..NN(l), i = 1..NN(l-1)+1 in that nesting order,
// so a node's bias comes after its other incoming weights.
template <typename Visit> void forEachWeight(int nl, const LayerArray &nn, Visit &&visit)
{
    for (int l = 2; l <= nl; ++l) {
        for (int j = 1; j <= nn(l); ++j) {
            for (int i = 1; i <= nn(l - 1) + 1; ++i) {
                visit(l, i, j);
            }
        }
    }
}

// True when the shape can be addressed safely: NL >= 1, no negative layer size, and the bias row
// of every layer fits in WDIM2. A call that fails this would address memory before or beyond the
// caller's weight arrays.
bool shapeIsAddressable(const int16_t *NN, int nl, int wdim2);

} // namespace engine
