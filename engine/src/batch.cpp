#include "batch.h"

#include <algorithm>
#include <atomic>
#include <bit>
#include <cmath>
#include <cstdint>
#include <new>
#include <vector>

#include <immintrin.h>

#include "kernels.h"
#include "pool.h"
#include "rng.h"

namespace engine {
namespace {

using kernels::Lane;

// Shapes beyond these (possible for the error pass only) take the plain loop.
constexpr int MaxBatchLayers = 32;
constexpr int MaxBatchNodes = 4096;
// Patterns times connections per epoch below which the plain loop is faster than blocks.
constexpr long SmallWork = 2048;
// Patterns times connections per epoch from which the window is split into chunks that two
// cores take in turn, each chunk with its own gradient sum; the sums are added in chunk order.
// The split depends on the work only, never on the number of cores or on which core ran what,
// so the results are the same on any machine and under any load.
constexpr long ParallelWork = 1L << 21;
constexpr int MaxChunks = 8;
// Blocks per chunk at least, so that small windows are not cut finer than pays.
constexpr int MinChunkBlocks = 2;
// Large networks get fewer chunks (never fewer than two) to keep the gradient sums in bounds.
constexpr Index ChunkGradientBytes = Index(64) << 20;
// Activations, slopes and signals of one block stay within about a quarter of a core's L2.
constexpr long BlockBytes = 256 * 1024;
constexpr int MinBlock = 16;
constexpr int MaxBlock = 256;
// Layers of at most this many nodes take the narrow forward sums (one multiply-add per node and
// input, where a product would spend a whole vector of mostly padding) ...
constexpr int NarrowNodes = 2;
// ... and of at most this many, neuron functions over their values packed together.
constexpr int CompactNodes = 4;

Index roundUp(Index v, Index m)
{
    return (v + m - 1) / m * m;
}

// 64-byte aligned floats that only ever grow, so a steady run of calls allocates nothing. New
// storage starts as zeros.
class Buffer
{
public:
    Buffer() = default;
    Buffer(const Buffer &) = delete;
    Buffer &operator=(const Buffer &) = delete;

    ~Buffer() { release(); }

    float *data() const { return m_data; }

    // Throws std::bad_alloc. Returns true when new storage replaced the old content.
    bool reserve(Index n)
    {
        if (n <= m_capacity) {
            return false;
        }
        auto *fresh = static_cast<float *>(
                ::operator new(sizeof(float) * std::size_t(n), std::align_val_t(64)));
        std::fill(fresh, fresh + n, 0.0f);
        release();
        m_data = fresh;
        m_capacity = n;
        return true;
    }

private:
    void release()
    {
        if (m_data) {
            ::operator delete(m_data, std::align_val_t(64));
        }
        m_data = nullptr;
        m_capacity = 0;
    }

    float *m_data = nullptr;
    Index m_capacity = 0;
};

// Where everything of one call lives. Layer l (1-based) has nn[l] nodes; its activations of one
// pattern are a row of ld[l] floats whose entry nn[l] holds the constant 1 that feeds the next
// layer's bias. The weights into layer l are nn[l] rows of ld[l-1] floats (bias at nn[l-1]), the
// transpose nn[l-1]+1 rows of ld[l] floats; padding holds zeros.
struct Plan
{
    int nl = 0;
    int nn[MaxBatchLayers + 1] = {};
    int code[MaxBatchLayers + 1] = {};
    Index ld[MaxBatchLayers + 1] = {};
    Index wOff[MaxBatchLayers + 1] = {};
    Index wtOff[MaxBatchLayers + 1] = {};
    // Per block of one part: activations, slopes, signals per layer, then the packed values of a
    // narrow layer.
    Index aOff[MaxBatchLayers + 1] = {};
    Index sOff[MaxBatchLayers + 1] = {};
    Index dOff[MaxBatchLayers + 1] = {};
    Index blockSize = 0;
    Index wSize = 0;
    Index wtSize = 0;
    // A chunk's gradient sum of layer l at gOff[l]: laid out like the weights, or like their
    // transpose (gradT) where that takes far fewer vectors per pattern. Either way each sum takes the
    // patterns in the same order, so the choice changes no result.
    Index gOff[MaxBatchLayers + 1] = {};
    bool gradT[MaxBatchLayers + 1] = {};
    Index gradSize = 0;
    // The forward sums of a layer with very few nodes go through dot products (from a wide layer)
    // or narrow sums (from a narrow one), and its neuron functions run on the block's values
    // packed together at cOff rather than on rows that are mostly padding.
    bool dotForward[MaxBatchLayers + 1] = {};
    bool narrowForward[MaxBatchLayers + 1] = {};
    bool compact[MaxBatchLayers + 1] = {};
    // The output layer's net inputs are summed straight into the packed run (narrow and dot
    // products write only the nodes' own values).
    bool packedOutput = false;
    Index cOff = 0;
    int block = 0;
    long connections = 0;
};

// True when n patterns of this shape are too little work for blocks (or the shape too large for
// them: makePlan() then refuses it).
bool smallJob(const Shape &shape, Index n)
{
    long connections = 0;
    for (int l = 2; l <= shape.nl && l <= MaxBatchLayers; ++l) {
        connections += long(shape.nn(l - 1) + 1) * shape.nn(l);
    }
    return n * connections < SmallWork;
}

bool makePlan(const Shape &shape, Plan &plan)
{
    if (shape.nl < 2 || shape.nl > MaxBatchLayers) {
        return false;
    }
    plan.nl = shape.nl;
    Index perPattern = 0;
    for (int l = 1; l <= shape.nl; ++l) {
        const int n = shape.nn(l);
        if (n < 0 || n > MaxBatchNodes) {
            return false;
        }
        plan.nn[l] = n;
        plan.code[l] = shape.func(l);
        plan.ld[l] = roundUp(n + 1, Lane);
        perPattern += 3 * plan.ld[l];
    }
    // The block size also fixes where the chunks of a large window begin, and so the order in
    // which their gradient sums are added: it is reckoned with one more output-sized row per
    // pattern, the targets the blocks once held, so that results stay as they were.
    perPattern += plan.ld[shape.nl];
    for (int l = 2; l <= shape.nl; ++l) {
        plan.wOff[l] = plan.wSize;
        plan.wSize += plan.nn[l] * plan.ld[l - 1];
        const Index rowsByNode = plan.nn[l] * (plan.ld[l - 1] / Lane);
        const Index rowsByInput = (plan.nn[l - 1] + 1) * (roundUp(plan.nn[l], Lane) / Lane);
        // Only for a clear gain: the transposed sums stream the wider signal rows through the
        // cache instead of the inputs, which costs more on large layers than it saves.
        plan.gradT[l] = 4 * rowsByInput <= 3 * rowsByNode;
        plan.gOff[l] = plan.gradSize;
        plan.gradSize +=
                plan.gradT[l] ? (plan.nn[l - 1] + 1) * plan.ld[l] : plan.nn[l] * plan.ld[l - 1];
        plan.wtOff[l] = plan.wtSize;
        plan.wtSize += (plan.nn[l - 1] + 1) * plan.ld[l];
        plan.connections += long(plan.nn[l - 1] + 1) * plan.nn[l];
        plan.dotForward[l] = plan.nn[l] <= 4 && plan.nn[l - 1] >= 2 * Lane;
        plan.narrowForward[l] = !plan.dotForward[l] && plan.nn[l] <= NarrowNodes;
        plan.compact[l] = plan.nn[l] <= CompactNodes;
    }
    const int nl = shape.nl;
    plan.packedOutput = plan.compact[nl] && (plan.dotForward[nl] || plan.narrowForward[nl]);
    const Index fit = BlockBytes / (Index(sizeof(float)) * perPattern);
    plan.block = int(std::clamp<Index>(fit - fit % 8, MinBlock, MaxBlock));
    Index off = 0;
    for (int l = 1; l <= shape.nl; ++l) {
        const Index rows = plan.block * plan.ld[l];
        plan.aOff[l] = off;
        plan.sOff[l] = off + rows;
        plan.dOff[l] = off + 2 * rows;
        off += 3 * rows;
    }
    plan.cOff = off;
    plan.blockSize = off + 2 * roundUp(plan.block * CompactNodes, Lane);
    return true;
}

// The engine's copy of the weights, one gradient sum per chunk and one block buffer per
// thread, kept for the process.
struct State
{
    Buffer w;
    Buffer wt;
    Buffer dw;
    Buffer gp;
    Buffer gStart;
    // One row's gradients during the update.
    Buffer gRow;
    Buffer errors;
    std::vector<int> rows;
    Buffer grad[MaxChunks];
    Buffer block[2];

    // The layer sizes the copies below are laid out for, and which copies are laid out so (with
    // zero padding; w together with its transpose wt). A call on the same sizes then brings a
    // copy up to the caller's array by comparing, and skips the transpose when nothing changed.
    int heldNl = 0;
    int heldNn[MaxBatchLayers + 1] = {};
    bool heldW = false;
    bool heldDw = false;
    bool heldGp = false;
    bool heldG = false;
    // rows[0..] holds orderedFirst, orderedFirst + 1, ... for orderedCount entries.
    int orderedFirst = 0;
    Index orderedCount = 0;
};

State &state()
{
    static State instance;
    return instance;
}

// One pass over the window (one epoch, or the error pass), as seen by both threads.
struct Pass
{
    const Plan *plan;
    const kernels::Set *k;
    State *st;
    PatternArray in;
    PatternArray tgt;
    float temp;
    float clipBelow;
    bool train;
    // The rows are first, first + 1, ... (no sampling).
    bool ordered;
    int chunks = 1;
    Index begin[MaxChunks] = {};
    Index end[MaxChunks] = {};
    // Next chunk to take, and the thread that ran the last one (its block holds the last row).
    std::atomic<int> next {0};
    int lastThread = 0;
};

// Inputs of rows first, first + 1, ... into rows of lda floats, four patterns by four inputs at a
// time: four runs of a column, transposed, are four rows' inputs.
void gatherRun(const PatternArray &in, int first, int count, int nin, float *a, Index lda)
{
    const Index npat = in.npat;
    const float *base = in.base + (first - 1);
    int b = 0;
    for (; b + 4 <= count; b += 4) {
        float *row = a + b * lda;
        int i = 0;
        for (; i + 4 <= nin; i += 4) {
            const float *column = base + npat * i + b;
            __m128 r0 = _mm_loadu_ps(column);
            __m128 r1 = _mm_loadu_ps(column + npat);
            __m128 r2 = _mm_loadu_ps(column + 2 * npat);
            __m128 r3 = _mm_loadu_ps(column + 3 * npat);
            _MM_TRANSPOSE4_PS(r0, r1, r2, r3);
            _mm_storeu_ps(row + i, r0);
            _mm_storeu_ps(row + lda + i, r1);
            _mm_storeu_ps(row + 2 * lda + i, r2);
            _mm_storeu_ps(row + 3 * lda + i, r3);
        }
        for (; i < nin; ++i) {
            const float *column = base + npat * i + b;
            for (int q = 0; q < 4; ++q) {
                row[q * lda + i] = column[q];
            }
        }
    }
    for (; b < count; ++b) {
        for (int i = 0; i < nin; ++i) {
            a[b * lda + i] = base[npat * i + b];
        }
    }
}

// Inputs of the block's rows with the bias constant, one row per pattern: rows in order as runs
// of the caller's columns, drawn rows a few inputs pattern by pattern, many column by column, so
// that the caller's columns are read in order.
void gather(const Pass &pass, const int *rows, int count, float *block)
{
    const Plan &plan = *pass.plan;
    float *a = block + plan.aOff[1];
    const Index lda = plan.ld[1];
    const int nin = plan.nn[1];
    const Index npat = pass.in.npat;
    if (pass.ordered) {
        gatherRun(pass.in, rows[0], count, nin, a, lda);
    } else if (nin <= Lane) {
        for (int b = 0; b < count; ++b) {
            const float *in = pass.in.base + rows[b] - 1;
            float *row = a + b * lda;
            for (int i = 0; i < nin; ++i) {
                row[i] = in[npat * i];
            }
        }
    } else {
        for (int i = 0; i < nin; ++i) {
            const float *column = pass.in.base + npat * i - 1;
            for (int b = 0; b < count; ++b) {
                a[b * lda + i] = column[rows[b]];
            }
        }
    }
    for (int b = 0; b < count; ++b) {
        a[b * lda + nin] = 1.0f;
    }
}

// Where the block keeps the output layer's values and slopes: in rows of the layer, or packed
// together when the layer is narrow (its values are not put back into rows, nothing reads them
// there).
struct Outputs
{
    float *y;
    float *s;
    Index ld;
};

Outputs outputs(const Plan &plan, float *block)
{
    const int nl = plan.nl;
    if (plan.compact[nl]) {
        float *values = block + plan.cOff;
        return {values, values + roundUp(plan.block * CompactNodes, Lane), plan.nn[nl]};
    }
    return {block + plan.aOff[nl], block + plan.sOff[nl], plan.ld[nl]};
}

// Neuron functions of layer l over the block: row by row on the nodes' values, or for a narrow
// layer on its values gathered into one run (and for a hidden layer put back).
void activateLayer(const Pass &pass, int l, int count, float *block)
{
    const Plan &plan = *pass.plan;
    const kernels::Set &k = *pass.k;
    float *out = block + plan.aOff[l];
    float *slope = pass.train ? block + plan.sOff[l] : nullptr;
    const Index ld = plan.ld[l];
    const int nn = plan.nn[l];
    if (!plan.compact[l]) {
        k.activate(count, nn, out, slope, ld, pass.temp, plan.code[l]);
        return;
    }
    float *values = block + plan.cOff;
    float *slopes = values + roundUp(plan.block * CompactNodes, Lane);
    if (!(l == plan.nl && plan.packedOutput)) {
        for (int b = 0; b < count; ++b) {
            for (int j = 0; j < nn; ++j) {
                values[b * nn + j] = out[b * ld + j];
            }
        }
    }
    k.activate(1, Index(count) * nn, values, slope ? slopes : nullptr, 0, pass.temp, plan.code[l]);
    if (l == plan.nl) {
        return;
    }
    for (int b = 0; b < count; ++b) {
        for (int j = 0; j < nn; ++j) {
            out[b * ld + j] = values[b * nn + j];
        }
    }
    if (slope) {
        for (int b = 0; b < count; ++b) {
            for (int j = 0; j < nn; ++j) {
                slope[b * ld + j] = slopes[b * nn + j];
            }
        }
    }
}

void forward(const Pass &pass, int count, float *block)
{
    const Plan &plan = *pass.plan;
    const kernels::Set &k = *pass.k;
    for (int l = 2; l <= plan.nl; ++l) {
        const float *below = block + plan.aOff[l - 1];
        float *out = block + plan.aOff[l];
        const int depth = plan.nn[l - 1] + 1;
        const bool packed = l == plan.nl && plan.packedOutput;
        float *sums = packed ? block + plan.cOff : out;
        const Index sumsLd = packed ? plan.nn[l] : plan.ld[l];
        if (plan.dotForward[l]) {
            k.dot(count, plan.nn[l], depth, below, plan.ld[l - 1], pass.st->w.data() + plan.wOff[l],
                  plan.ld[l - 1], sums, sumsLd);
        } else if (plan.narrowForward[l]) {
            k.narrow(count, plan.nn[l], depth, below, plan.ld[l - 1],
                     pass.st->wt.data() + plan.wtOff[l], plan.ld[l], sums, sumsLd);
        } else {
            k.product(count, plan.nn[l], depth, below, plan.ld[l - 1], 1,
                      pass.st->wt.data() + plan.wtOff[l], plan.ld[l], out, plan.ld[l], false);
        }
        activateLayer(pass, l, count, block);
        if (l < plan.nl) {
            for (int b = 0; b < count; ++b) {
                out[b * plan.ld[l] + plan.nn[l]] = 1.0f;
            }
        }
    }
}

// Squared output error of every pattern against its targets, read where the caller keeps them,
// and for training the output signals, zero for a clipped pattern so that it teaches nothing.
// Nodes is the number of outputs when it is fixed at compile time (the common few), else 0.
template <int Nodes>
void outputErrorsOf(const Pass &pass, const int *rows, int count, float *block, float *errors)
{
    const Plan &plan = *pass.plan;
    const int nl = plan.nl;
    const int nn = Nodes > 0 ? Nodes : plan.nn[nl];
    const Index npat = pass.tgt.npat;
    const Outputs out = outputs(plan, block);
    const Index ldd = plan.ld[nl];
    float *d = block + plan.dOff[nl];
    const bool train = pass.train;
    const float clipBelow = pass.clipBelow;
    if (Nodes == 1 && pass.ordered && out.ld == 1) {
        // One output packed, targets in order: every run is contiguous. A square is never -0,
        // so adding it to a sum of +0 leaves it as it is.
        const float *t = pass.tgt.base + rows[0] - 1;
        for (int b = 0; b < count; ++b) {
            const float diff = out.y[b] - t[b];
            errors[b] = diff * diff;
        }
        if (train) {
            for (int b = 0; b < count; ++b) {
                const bool clipped = clipBelow > 0.0f && std::sqrt(errors[b]) < clipBelow;
                d[b * ldd] = clipped ? 0.0f : (t[b] - out.y[b]) * out.s[b];
            }
        }
        return;
    }
    for (int b = 0; b < count; ++b) {
        const float *y = out.y + b * out.ld;
        const float *t = pass.tgt.base + rows[b] - 1;
        float sum = 0.0f;
        for (int k = 0; k < nn; ++k) {
            const float diff = y[k] - t[npat * k];
            sum += diff * diff;
        }
        errors[b] = sum;
        if (train) {
            // A pattern error is never below a threshold of zero or less: no root needed then.
            const bool clipped = clipBelow > 0.0f && std::sqrt(sum) < clipBelow;
            const float *s = out.s + b * out.ld;
            for (int k = 0; k < nn; ++k) {
                d[b * ldd + k] = clipped ? 0.0f : (t[npat * k] - y[k]) * s[k];
            }
        }
    }
}

void outputErrors(const Pass &pass, const int *rows, int count, float *block, float *errors)
{
    switch (pass.plan->nn[pass.plan->nl]) {
    case 1:
        outputErrorsOf<1>(pass, rows, count, block, errors);
        break;
    case 2:
        outputErrorsOf<2>(pass, rows, count, block, errors);
        break;
    case 3:
        outputErrorsOf<3>(pass, rows, count, block, errors);
        break;
    default:
        outputErrorsOf<0>(pass, rows, count, block, errors);
        break;
    }
}

// Gradient of every layer into this part's accumulator, signals passed down through the weights
// as they stood at the start of the epoch.
void backward(const Pass &pass, int count, float *block, float *grad)
{
    const Plan &plan = *pass.plan;
    const kernels::Set &k = *pass.k;
    for (int l = plan.nl; l >= 2; --l) {
        const float *d = block + plan.dOff[l];
        const Index ldBelow = plan.ld[l - 1];
        const float *below = block + plan.aOff[l - 1];
        if (plan.gradT[l]) {
            k.product(plan.nn[l - 1] + 1, plan.nn[l], count, below, 1, ldBelow, d, plan.ld[l],
                      grad + plan.gOff[l], plan.ld[l], true);
        } else {
            k.product(plan.nn[l], plan.nn[l - 1] + 1, count, d, 1, plan.ld[l], below, ldBelow,
                      grad + plan.gOff[l], ldBelow, true);
        }
        if (l > 2) {
            float *dBelow = block + plan.dOff[l - 1];
            k.scaledProduct(count, plan.nn[l - 1], plan.nn[l], d, plan.ld[l], 1,
                            pass.st->w.data() + plan.wOff[l], ldBelow, dBelow, ldBelow,
                            block + plan.sOff[l - 1]);
        }
    }
}

void runChunk(const Pass &pass, int chunk, float *block)
{
    const Plan &plan = *pass.plan;
    State &st = *pass.st;
    float *grad = st.grad[chunk].data();
    if (pass.train) {
        std::fill(grad, grad + plan.gradSize, 0.0f);
    }
    for (Index k0 = pass.begin[chunk]; k0 < pass.end[chunk]; k0 += plan.block) {
        const int count = int(std::min<Index>(plan.block, pass.end[chunk] - k0));
        gather(pass, st.rows.data() + k0, count, block);
        forward(pass, count, block);
        outputErrors(pass, st.rows.data() + k0, count, block, st.errors.data() + k0);
        if (pass.train) {
            backward(pass, count, block, grad);
        }
    }
}

// One thread's share: chunks in the order they come free.
void runThread(void *context, int thread)
{
    Pass &pass = *static_cast<Pass *>(context);
    float *block = pass.st->block[thread].data();
    for (;;) {
        const int chunk = pass.next.fetch_add(1, std::memory_order_relaxed);
        if (chunk >= pass.chunks) {
            return;
        }
        runChunk(pass, chunk, block);
        if (chunk == pass.chunks - 1) {
            pass.lastThread = thread;
        }
    }
}

// Chunks for n patterns: one for little work, else up to MaxChunks of at least MinChunkBlocks.
int chunkCount(const Plan &plan, Index n)
{
    if (n * plan.connections < ParallelWork) {
        return 1;
    }
    const Index blocks = (n + plan.block - 1) / plan.block;
    const Index bySize =
            std::max<Index>(2, ChunkGradientBytes / (Index(sizeof(float)) * plan.wSize));
    return int(std::clamp<Index>(std::min(blocks / MinChunkBlocks, bySize), 1, MaxChunks));
}

// Cuts n patterns into equal chunks of whole blocks.
void split(Pass &pass, Index n)
{
    const Plan &plan = *pass.plan;
    const int chunks = chunkCount(plan, n);
    pass.chunks = chunks;
    const Index blocks = (n + plan.block - 1) / plan.block;
    for (int c = 0; c < chunks; ++c) {
        pass.begin[c] = std::min(n, blocks * c / chunks * plan.block);
        pass.end[c] = std::min(n, blocks * (c + 1) / chunks * plan.block);
    }
}

void run(Pass &pass)
{
    pass.next.store(0, std::memory_order_relaxed);
    if (pass.chunks > 1) {
        runTwoParts(runThread, &pass);
    } else {
        runThread(&pass, 0);
    }
}

// Row of the last pattern of the pass within the block buffer of the thread that ran it.
const float *lastRow(const Pass &pass, int l)
{
    const Plan &plan = *pass.plan;
    const int chunk = pass.chunks - 1;
    const Index row = (pass.end[chunk] - 1 - pass.begin[chunk]) % plan.block;
    float *block = pass.st->block[pass.lastThread].data();
    if (l == plan.nl) {
        const Outputs out = outputs(plan, block);
        return out.y + row * out.ld;
    }
    return block + plan.aOff[l] + row * plan.ld[l];
}

// Patterns whose error, the root of the squared error, is at most target; four roots at a time
// (the same correctly rounded roots as one at a time).
int16_t countGood(Index n, const float *errors, float target)
{
    const __m128 limit = _mm_set1_ps(target);
    __m128i counts = _mm_setzero_si128();
    Index k = 0;
    for (; k + 4 <= n; k += 4) {
        const __m128 within = _mm_cmple_ps(_mm_sqrt_ps(_mm_loadu_ps(errors + k)), limit);
        counts = _mm_sub_epi32(counts, _mm_castps_si128(within));
    }
    alignas(16) int32_t lanes[4];
    _mm_store_si128(reinterpret_cast<__m128i *>(lanes), counts);
    int good = lanes[0] + lanes[1] + lanes[2] + lanes[3];
    for (; k < n; ++k) {
        good += std::sqrt(errors[k]) <= target ? 1 : 0;
    }
    return int16_t(good);
}

// Grows what the call needs; a copy whose storage is replaced is no longer held.
void reserve(State &st, const Plan &plan, Index n, bool train, bool quick)
{
    // Both grow, whichever of them had to.
    const bool rowsMoved = st.w.reserve(plan.wSize);
    const bool columnsMoved = st.wt.reserve(plan.wtSize);
    if (rowsMoved || columnsMoved) {
        st.heldW = false;
    }
    st.errors.reserve(n);
    if (Index(st.rows.size()) < n) {
        st.rows.resize(std::size_t(n));
    }
    if (train) {
        Index widest = 0;
        for (int l = 1; l < plan.nl; ++l) {
            widest = std::max(widest, plan.ld[l]);
        }
        st.gRow.reserve(widest);
        if (st.dw.reserve(plan.wSize)) {
            st.heldDw = false;
        }
        if (st.gStart.reserve(plan.wSize)) {
            st.heldG = false;
        }
        if (quick && st.gp.reserve(plan.wSize)) {
            st.heldGp = false;
        }
    }
    for (Buffer &block : st.block) {
        block.reserve(plan.blockSize);
    }
    if (train) {
        for (int c = 0; c < chunkCount(plan, n); ++c) {
            st.grad[c].reserve(plan.gradSize);
        }
    }
}

// Lays the copies out for this plan's layer sizes: copies held for other sizes are dropped.
void adopt(State &st, const Plan &plan)
{
    if (st.heldNl == plan.nl && std::equal(plan.nn + 1, plan.nn + plan.nl + 1, st.heldNn + 1)) {
        return;
    }
    st.heldNl = plan.nl;
    std::copy(plan.nn + 1, plan.nn + plan.nl + 1, st.heldNn + 1);
    st.heldW = st.heldDw = st.heldGp = st.heldG = false;
}

// Copies one weight-shaped array of the caller into the engine's layout, padding zero.
void pack(const Plan &plan, const WeightArray &from, float *to)
{
    for (int l = 2; l <= plan.nl; ++l) {
        const Index ld = plan.ld[l - 1];
        for (int j = 0; j < plan.nn[l]; ++j) {
            float *row = to + plan.wOff[l] + j * ld;
            for (int i = 0; i <= plan.nn[l - 1]; ++i) {
                row[i] = from(l, i + 1, j + 1);
            }
            std::fill(row + plan.nn[l - 1] + 1, row + ld, 0.0f);
        }
    }
}

void transpose(const Plan &plan, const float *w, float *wt)
{
    std::fill(wt, wt + plan.wtSize, 0.0f);
    for (int l = 2; l <= plan.nl; ++l) {
        for (int j = 0; j < plan.nn[l]; ++j) {
            const float *row = w + plan.wOff[l] + j * plan.ld[l - 1];
            for (int i = 0; i <= plan.nn[l - 1]; ++i) {
                wt[plan.wtOff[l] + i * plan.ld[l] + j] = row[i];
            }
        }
    }
}

// Brings a copy up to the caller's array: packed afresh when it is not held, else overwritten
// where the bits differ (NaN and -0 included). Returns true when any value changed.
bool sync(const Plan &plan, const WeightArray &from, float *to, bool &held)
{
    if (!held) {
        pack(plan, from, to);
        held = true;
        return true;
    }
    bool changed = false;
    for (int l = 2; l <= plan.nl; ++l) {
        const Index ld = plan.ld[l - 1];
        for (int j = 0; j < plan.nn[l]; ++j) {
            float *row = to + plan.wOff[l] + j * ld;
            for (int i = 0; i <= plan.nn[l - 1]; ++i) {
                const float value = from(l, i + 1, j + 1);
                changed |= std::bit_cast<uint32_t>(value) != std::bit_cast<uint32_t>(row[i]);
                row[i] = value;
            }
        }
    }
    return changed;
}

// The caller's weights in the engine's layout and in its transpose.
void syncWeights(State &st, const Plan &plan, const WeightArray &w)
{
    if (sync(plan, w, st.w.data(), st.heldW)) {
        transpose(plan, st.w.data(), st.wt.data());
    }
}

// Rows first, first + 1, ... for n patterns, unless they are there already.
void orderRows(State &st, int first, Index n)
{
    if (st.orderedFirst == first && st.orderedCount >= n) {
        return;
    }
    for (Index k = 0; k < n; ++k) {
        st.rows[std::size_t(k)] = first + int(k);
    }
    st.orderedFirst = first;
    st.orderedCount = n;
}

void unpack(const Plan &plan, const float *from, const WeightArray &to)
{
    for (int l = 2; l <= plan.nl; ++l) {
        for (int j = 0; j < plan.nn[l]; ++j) {
            const float *row = from + plan.wOff[l] + j * plan.ld[l - 1];
            for (int i = 0; i <= plan.nn[l - 1]; ++i) {
                to(l, i + 1, j + 1) = row[i];
            }
        }
    }
}

// The epoch's update over every weight in the order l, j, i (bias last), so the weight-noise
// draws come in the same order as in the plain loop; the transpose follows the new weights. Row
// by row: first each weight's gradient, its chunk sums added in chunk order, then the steps.
void update(const Pass &pass, const TrainOptions &opts, const QuickProp *qp, bool firstEpoch)
{
    const Plan &plan = *pass.plan;
    State &st = *pass.st;
    float *w = st.w.data();
    float *wt = st.wt.data();
    float *dw = st.dw.data();
    float *gp = st.gp.data();
    float *g = st.gRow.data();
    const float *gStart = st.gStart.data();
    const float eta = opts.eta;
    const float alpha = opts.alpha;
    const bool plain = !qp && opts.wnoise == 0.0f;
    for (int l = 2; l <= plan.nl; ++l) {
        const Index ld = plan.ld[l - 1];
        const Index ldt = plan.ld[l];
        const int depth = plan.nn[l - 1] + 1;
        for (int j = 0; j < plan.nn[l]; ++j) {
            const Index row = plan.wOff[l] + j * ld;
            // Sum c of weight i at step * i from first.
            const Index first = plan.gOff[l] + (plan.gradT[l] ? j : j * ld);
            const Index step = plan.gradT[l] ? ldt : 1;
            const float *g0 = st.grad[0].data() + first;
            if (firstEpoch) {
                // The caller's G joins the first epoch's sum, as if accumulated into it.
                for (int i = 0; i < depth; ++i) {
                    g[i] = gStart[row + i] + g0[i * step];
                }
            } else {
                for (int i = 0; i < depth; ++i) {
                    g[i] = g0[i * step];
                }
            }
            for (int c = 1; c < pass.chunks; ++c) {
                const float *gc = st.grad[c].data() + first;
                for (int i = 0; i < depth; ++i) {
                    g[i] += gc[i * step];
                }
            }
            float *wRow = w + row;
            float *dwRow = dw + row;
            if (plain) {
                for (int i = 0; i < depth; ++i) {
                    const float change = eta * g[i] + alpha * dwRow[i];
                    wRow[i] = wRow[i] + change;
                    dwRow[i] = change;
                }
            } else {
                for (int i = 0; i < depth; ++i) {
                    float change;
                    if (qp) {
                        change = quickPropStep(g[i], gp[row + i], dwRow[i], opts, *qp);
                        gp[row + i] = g[i];
                    } else {
                        change = eta * g[i] + alpha * dwRow[i];
                    }
                    float moved = wRow[i] + change;
                    if (opts.wnoise != 0.0f) {
                        moved = moved + uniform(-opts.wnoise, opts.wnoise);
                    }
                    wRow[i] = moved;
                    // Momentum remembers the step without the noise.
                    dwRow[i] = change;
                }
            }
            float *column = wt + plan.wtOff[l] + j;
            for (int i = 0; i < depth; ++i) {
                column[i * ldt] = wRow[i];
            }
        }
    }
}

} // namespace

bool trainBatched(const TrainNet &net,
                  const TrainData &data,
                  const TrainOptions &opts,
                  WorkArea &area,
                  const QuickProp *qp,
                  float &rms,
                  int16_t &ngood)
{
    const Index n = opts.last - opts.first + 1;
    if (opts.inoise != 0.0f || smallJob(net.shape, n)) {
        return false;
    }
    Plan plan;
    if (!makePlan(net.shape, plan)) {
        return false;
    }
    State &st = state();
    try {
        reserve(st, plan, n, true, qp != nullptr);
    } catch (const std::bad_alloc &) {
        return false;
    }
    adopt(st, plan);
    syncWeights(st, plan, net.w);
    sync(plan, net.dw, st.dw.data(), st.heldDw);
    sync(plan, net.g, st.gStart.data(), st.heldG);
    if (qp) {
        sync(plan, qp->gp, st.gp.data(), st.heldGp);
    }
    if (opts.randomSampling) {
        st.orderedCount = 0;
    } else {
        orderRows(st, opts.first, n);
    }
    Pass pass {
            &plan, &kernels::kernels(),  &st, data.in, data.tgt, opts.temp, opts.clip * opts.target,
            true,  !opts.randomSampling, 1,   {},      {}};
    split(pass, n);
    const float c = 1.0f / static_cast<float>(n);
    int16_t good = 0;
    for (int epoch = 1; epoch <= opts.epochs; ++epoch) {
        // Every row of the epoch is drawn before any is used: the same draws in the same order.
        if (opts.randomSampling) {
            for (Index k = 0; k < n; ++k) {
                st.rows[std::size_t(k)] = chooseRow(opts, int(k) + 1);
            }
        }
        run(pass);
        const float *errors = st.errors.data();
        good = countGood(n, errors, opts.target);
        float sum = 0.0f;
        for (Index k = 0; k < n; ++k) {
            sum += errors[k];
        }
        // Measured with the weights as they stood before this epoch's update.
        area.epochError = std::sqrt(sum * c);
        update(pass, opts, qp, epoch == 1);
    }
    ngood = good;
    rms = area.epochError;
    for (int l = 1; l <= plan.nl; ++l) {
        const float *row = lastRow(pass, l);
        for (int j = 0; j < plan.nn[l]; ++j) {
            net.x(l, j + 1) = row[j];
        }
    }
    unpack(plan, st.w.data(), net.w);
    unpack(plan, st.dw.data(), net.dw);
    if (qp) {
        unpack(plan, st.gp.data(), qp->gp);
    }
    forEachWeight(plan.nl, net.shape.nn, [&](int l, int i, int j) { net.g(l, i, j) = 0.0f; });
    return true;
}

bool errorBatched(const Shape &shape,
                  const WeightArray &w,
                  const TrainData &data,
                  const NodeArray &x,
                  float temp,
                  float target,
                  float &rms,
                  int16_t &ngood)
{
    const Index n = data.in.npat;
    if (smallJob(shape, n)) {
        return false;
    }
    Plan plan;
    if (!makePlan(shape, plan)) {
        return false;
    }
    State &st = state();
    try {
        reserve(st, plan, n, false, false);
    } catch (const std::bad_alloc &) {
        return false;
    }
    adopt(st, plan);
    syncWeights(st, plan, w);
    orderRows(st, 1, n);
    Pass pass {&plan, &kernels::kernels(), &st, data.in, data.tgt, temp, 0.0f, false, true, 1, {},
               {}};
    split(pass, n);
    run(pass);
    const float *errors = st.errors.data();
    float total = 0.0f;
    for (Index k = 0; k < n; ++k) {
        total += errors[k];
    }
    ngood = countGood(n, errors, target);
    rms = std::sqrt(total / static_cast<float>(n));
    for (int l = 2; l <= plan.nl; ++l) {
        const float *row = lastRow(pass, l);
        for (int j = 0; j < plan.nn[l]; ++j) {
            x(l, j + 1) = row[j];
        }
    }
    return true;
}

} // namespace engine
