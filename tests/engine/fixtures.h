#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "axona32.h"

// Value of every cell a routine must not write: guard cells around each array and the entries
// outside the weight index set.
inline constexpr float Sentinel = -12345.5f;

// A float array with sentinel cells before and after it; indexed from 0 like the caller's memory.
class Guarded
{
public:
    explicit Guarded(std::size_t n = 0, float fill = Sentinel)
        : m_cells(n + 2 * Pad, Sentinel)
        , m_size(n)
    {
        std::fill(data(), data() + n, fill);
    }

    float *data() { return m_cells.data() + Pad; }

    float &operator[](std::size_t k) { return data()[k]; }

    float operator[](std::size_t k) const { return m_cells[Pad + k]; }

    std::size_t size() const { return m_size; }

    bool guardsIntact() const
    {
        return std::all_of(m_cells.begin(), m_cells.begin() + Pad, isSentinel)
                && std::all_of(m_cells.end() - Pad, m_cells.end(), isSentinel);
    }

    bool operator==(const Guarded &other) const { return m_cells == other.m_cells; }

private:
    static bool isSentinel(float v) { return v == Sentinel; }

    static constexpr std::size_t Pad = 16;
    std::vector<float> m_cells;
    std::size_t m_size;
};

// A network in the caller's layout, one spare row and column in the weight arrays (or as many as
// given) and one spare node in X, all holding the sentinel until a routine or the test sets them.
struct Net
{
    Net(std::vector<int16_t> sizes, std::vector<int16_t> codes, int spare = 1)
        : nl(static_cast<int16_t>(sizes.size()))
        , nn(std::move(sizes))
        , func(std::move(codes))
    {
        const int widest = *std::max_element(nn.begin(), nn.end());
        wdim2 = static_cast<int16_t>(widest + 1 + spare);
        wdim3 = static_cast<int16_t>(widest + spare);
        maxn = static_cast<int16_t>(widest + 1);
        const std::size_t wsize = std::size_t(nl) * wdim2 * wdim3;
        w = Guarded(wsize);
        g = Guarded(wsize);
        dw = Guarded(wsize);
        gp = Guarded(wsize);
        x = Guarded(std::size_t(nl) * maxn);
        forEachWeight([&](int l, int i, int j) {
            G(l, i, j) = 0.0f;
            DW(l, i, j) = 0.0f;
            GP(l, i, j) = 0.0f;
        });
    }

    std::size_t at(int l, int i, int j) const
    {
        return std::size_t((l - 1) + nl * (i - 1) + nl * wdim2 * (j - 1));
    }

    float &W(int l, int i, int j) { return w[at(l, i, j)]; }

    float &G(int l, int i, int j) { return g[at(l, i, j)]; }

    float &DW(int l, int i, int j) { return dw[at(l, i, j)]; }

    float &GP(int l, int i, int j) { return gp[at(l, i, j)]; }

    float &X(int l, int j) { return x[std::size_t((l - 1) + nl * (j - 1))]; }

    int size(int l) const { return nn[std::size_t(l - 1)]; }

    template <typename F> void forEachWeight(F &&f) const
    {
        for (int l = 2; l <= nl; ++l) {
            for (int j = 1; j <= size(l); ++j) {
                for (int i = 1; i <= size(l - 1) + 1; ++i) {
                    f(l, i, j);
                }
            }
        }
    }

    // Every weight-shaped cell outside the visited index set still holds the sentinel.
    bool outsideUntouched(const Guarded &a) const
    {
        std::vector<bool> visited(a.size(), false);
        forEachWeight([&](int l, int i, int j) { visited[at(l, i, j)] = true; });
        for (std::size_t k = 0; k < a.size(); ++k) {
            if (!visited[k] && a[k] != Sentinel) {
                return false;
            }
        }
        return a.guardsIntact();
    }

    int16_t nl;
    std::vector<int16_t> nn;
    std::vector<int16_t> func;
    int16_t wdim2 = 0;
    int16_t wdim3 = 0;
    int16_t maxn = 0;
    Guarded w;
    Guarded g;
    Guarded dw;
    Guarded gp;
    Guarded x;
};

// Inputs and targets of a pattern set, pattern first.
struct Patterns
{
    Patterns(int16_t rows, int16_t inputs, int16_t outputs)
        : npat(rows)
        , nin(inputs)
        , nout(outputs)
        , in(std::size_t(rows) * inputs, 0.0f)
        , tgt(std::size_t(rows) * outputs, 0.0f)
    {}

    float &IN(int p, int i) { return in[std::size_t((p - 1) + npat * (i - 1))]; }

    float &TGT(int p, int k) { return tgt[std::size_t((p - 1) + npat * (k - 1))]; }

    int16_t npat;
    int16_t nin;
    int16_t nout;
    Guarded in;
    Guarded tgt;
};

// The scalar arguments of one training call and its two results.
struct TrainArgs
{
    float eta = 0.2f;
    float alpha = 0.5f;
    int16_t nepoch = 1;
    float wnoise = 0.0f;
    float inoise = 0.0f;
    float temp = 1.0f;
    float clip = 0.0f;
    float target = 0.01f;
    int16_t first = 1;
    int16_t last = 1;
    int16_t irand = 0;
    float growth = 1.75f;
    float cutoff = 30.0f;
    float decay = 0.01f;
    float rms = Sentinel;
    int16_t ngood = -99;
};

// Arguments the routines never read point at values a read would notice.
inline int16_t unreadCount = -32000;
inline float unreadReal = Sentinel;

inline void callBP(Net &n, Patterns &d, TrainArgs &a)
{
    BP(d.in.data(), d.tgt.data(), &n.nl, &unreadCount, &n.wdim2, &unreadCount, &d.npat,
       &unreadCount, &unreadCount, &a.eta, &a.alpha, n.x.data(), n.nn.data(), n.w.data(),
       n.g.data(), n.dw.data(), &a.nepoch, &a.rms, &a.wnoise, &a.inoise, &unreadReal, &a.temp,
       n.func.data(), &a.clip, &a.ngood, &a.target, &a.first, &a.last, &a.irand);
}

inline void callQP(Net &n, Patterns &d, TrainArgs &a)
{
    QP(d.in.data(), d.tgt.data(), &n.nl, &unreadCount, &n.wdim2, &unreadCount, &d.npat,
       &unreadCount, &unreadCount, &a.eta, &a.alpha, n.x.data(), n.nn.data(), n.w.data(),
       n.g.data(), n.dw.data(), &a.nepoch, &a.rms, &a.wnoise, &a.inoise, &unreadReal, &a.temp,
       n.func.data(), &a.clip, &a.ngood, &a.target, &a.first, &a.last, &a.irand, n.gp.data(),
       &a.growth, &a.cutoff, &a.decay);
}

inline float callCALCNET(Net &n, Patterns &d, int16_t ipat, float temp)
{
    float err = Sentinel;
    CALCNET(n.w.data(), d.in.data(), d.tgt.data(), n.nn.data(), &n.nl, &unreadCount, &n.wdim2,
            &unreadCount, &d.npat, &unreadCount, &unreadCount, &ipat, n.x.data(), &err, &temp,
            n.func.data());
    return err;
}

inline void callCALCERR(Net &n, Patterns &d, float target, float &rms, int16_t &ngood)
{
    float temp = 1.0f;
    CALCERR(n.w.data(), d.in.data(), d.tgt.data(), n.nn.data(), &n.nl, &unreadCount, &n.wdim2,
            &unreadCount, &d.npat, &unreadCount, &unreadCount, n.x.data(), &rms, &target, &ngood,
            &temp, n.func.data());
}

inline void fixClock(int32_t t)
{
    int16_t fixed = -1;
    FIXCLOCK(&t, &fixed);
}
