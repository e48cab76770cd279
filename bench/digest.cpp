#include "digest.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <random>
#include <vector>

#include "axona32.h"

namespace {

// FNV-1a over the bytes of every result, call after call.
struct Hash
{
    uint64_t value = 1469598103934665603ULL;

    void add(const void *data, std::size_t bytes)
    {
        const auto *p = static_cast<const unsigned char *>(data);
        for (std::size_t k = 0; k < bytes; ++k) {
            value = (value ^ p[k]) * 1099511628211ULL;
        }
    }

    template <typename T> void add(const std::vector<T> &v) { add(v.data(), v.size() * sizeof(T)); }
};

struct Scenario
{
    const char *name;
    std::vector<int16_t> nn;
    std::vector<int16_t> func;
    int16_t npat;
    int16_t nepoch;
    int calls;
    bool quick;
    int16_t irand;
    float wnoise;
    float inoise;
    float clip;
    // Every how many calls the caller touches its arrays between calls (0: never).
    int touchEvery;
    // CALCERR after every call.
    bool errorPass;
};

struct Arrays
{
    explicit Arrays(const Scenario &s, std::mt19937 &gen)
        : nn(s.nn)
        , func(s.func)
        , nl(int16_t(s.nn.size()))
    {
        int widest = 0;
        for (int n : nn) {
            widest = std::max(widest, n);
        }
        wdim2 = int16_t(widest + 1);
        wdim3 = int16_t(widest);
        maxn = int16_t(widest);
        const std::size_t size = std::size_t(nl) * wdim2 * wdim3;
        std::uniform_real_distribution<float> unit(-1.0f, 1.0f);
        w.resize(size);
        for (float &v : w) {
            v = unit(gen) * 0.5f;
        }
        g.assign(size, 0.0f);
        dw.assign(size, 0.0f);
        gp.assign(size, 0.0f);
        x.assign(std::size_t(nl) * maxn, 0.0f);
        in.resize(std::size_t(s.npat) * nn.front());
        tgt.resize(std::size_t(s.npat) * nn.back());
        for (float &v : in) {
            v = unit(gen);
        }
        for (float &v : tgt) {
            v = 0.5f + 0.4f * unit(gen);
        }
    }

    std::vector<int16_t> nn;
    std::vector<int16_t> func;
    int16_t nl;
    int16_t wdim2 = 0;
    int16_t wdim3 = 0;
    int16_t maxn = 0;
    std::vector<float> w, g, dw, gp, x, in, tgt;
};

uint64_t run(const Scenario &s)
{
    std::mt19937 gen(2024);
    Arrays a(s, gen);
    Hash hash;
    int16_t npat = s.npat;
    int16_t nin = a.nn.front();
    int16_t nout = a.nn.back();
    int16_t nepoch = s.nepoch;
    int16_t irand = s.irand;
    int16_t first = 1;
    int16_t ngood = 0;
    float eta = 0.5f / float(npat);
    float alpha = 0.5f;
    float wnoise = s.wnoise;
    float inoise = s.inoise;
    float timer = 0.0f;
    float temp = 1.0f;
    float clip = s.clip;
    float target = 0.2f;
    float rms = 0.0f;
    float growth = 1.75f;
    float cutoff = 30.0f;
    float decay = 0.01f;
    for (int call = 0; call < s.calls; ++call) {
        int32_t clock = 1000 + 37 * call;
        int16_t fixed = 1;
        FIXCLOCK(&clock, &fixed);
        // A window that moves, so that calls differ in their rows as the driver's do.
        int16_t last = int16_t(npat - (call % 3));
        first = int16_t(1 + (call % 2));
        if (s.quick) {
            QP(a.in.data(), a.tgt.data(), &a.nl, &a.maxn, &a.wdim2, &a.wdim3, &npat, &nin, &nout,
               &eta, &alpha, a.x.data(), a.nn.data(), a.w.data(), a.g.data(), a.dw.data(), &nepoch,
               &rms, &wnoise, &inoise, &timer, &temp, a.func.data(), &clip, &ngood, &target, &first,
               &last, &irand, a.gp.data(), &growth, &cutoff, &decay);
        } else {
            BP(a.in.data(), a.tgt.data(), &a.nl, &a.maxn, &a.wdim2, &a.wdim3, &npat, &nin, &nout,
               &eta, &alpha, a.x.data(), a.nn.data(), a.w.data(), a.g.data(), a.dw.data(), &nepoch,
               &rms, &wnoise, &inoise, &timer, &temp, a.func.data(), &clip, &ngood, &target, &first,
               &last, &irand);
        }
        hash.add(a.w);
        hash.add(a.dw);
        hash.add(a.g);
        hash.add(a.gp);
        hash.add(a.x);
        hash.add(&rms, sizeof rms);
        hash.add(&ngood, sizeof ngood);
        if (s.errorPass) {
            float err = 0.0f;
            int16_t good = 0;
            CALCERR(a.w.data(), a.in.data(), a.tgt.data(), a.nn.data(), &a.nl, &a.maxn, &a.wdim2,
                    &a.wdim3, &npat, &nin, &nout, a.x.data(), &err, &target, &good, &temp,
                    a.func.data());
            hash.add(&err, sizeof err);
            hash.add(&good, sizeof good);
            hash.add(a.x);
        }
        if (s.touchEvery > 0 && call % s.touchEvery == s.touchEvery - 1) {
            // What the program does between calls: a weight edited or reloaded, momentum
            // cleared, a stray gradient left behind.
            const std::size_t at = std::size_t(a.nl) + 1 + std::size_t(call) % 3;
            a.w[at] += 0.125f;
            a.dw[at + std::size_t(a.nl)] = 0.0f;
            a.g[at] = 0.01f;
            a.gp[at] = -a.gp[at];
        }
    }
    int16_t fixed = 0;
    int32_t clock = 0;
    FIXCLOCK(&clock, &fixed);
    return hash.value;
}

} // namespace

int printDigests()
{
    const std::vector<int16_t> sig3 = {1, 1, 1};
    const std::vector<Scenario> scenarios = {
            {"8-16-1 BP e/c 1", {8, 16, 1}, sig3, 768, 1, 12, false, 0, 0, 0, 0, 0, false},
            {"8-16-1 BP e/c 5, touched", {8, 16, 1}, sig3, 768, 5, 12, false, 0, 0, 0, 0, 2, true},
            {"8-16-1 QP e/c 1, touched", {8, 16, 1}, sig3, 768, 1, 12, true, 0, 0, 0, 0, 3, true},
            {"13-8-3 all functions, sampled, noise, clip",
             {13, 8, 3},
             {0, 3, 4},
             178,
             2,
             10,
             false,
             1,
             0.01f,
             0,
             0.5f,
             2,
             true},
            {"13-8-3 QP sig+0.1, linear",
             {13, 8, 3},
             {0, 5, 2},
             178,
             3,
             10,
             true,
             0,
             0,
             0,
             0,
             4,
             true},
            {"2-2-1 BP e/c 1", {2, 2, 1}, sig3, 4, 1, 40, false, 0, 0, 0, 0, 7, true},
            {"2-2-1 QP e/c 5, sampled, noise",
             {2, 2, 1},
             sig3,
             4,
             5,
             40,
             true,
             1,
             0.01f,
             0.02f,
             0,
             5,
             true},
            {"9-30-4-2 input noise",
             {9, 30, 4, 2},
             {0, 1, 3, 1},
             200,
             2,
             6,
             false,
             0,
             0,
             0.05f,
             0,
             2,
             true},
            {"40-4-1 narrow hidden", {40, 4, 1}, {0, 3, 4}, 300, 2, 6, true, 0, 0, 0, 0, 2, true},
            {"64-128-64-10 in chunks",
             {64, 128, 64, 10},
             {0, 1, 3, 1},
             2048,
             2,
             4,
             false,
             0,
             0.001f,
             0,
             0,
             2,
             true},
            {"30-1023-1 QP", {30, 1023, 1}, {0, 5, 1}, 400, 1, 4, true, 1, 0, 0, 0, 2, true},
            {"100-250-29 in chunks",
             {100, 250, 29},
             sig3,
             1500,
             1,
             3,
             false,
             0,
             0,
             0,
             0.5f,
             1,
             true},
    };
    for (const Scenario &s : scenarios) {
        std::printf("%016llx  %s\n", static_cast<unsigned long long>(run(s)), s.name);
        std::fflush(stdout);
    }
    return 0;
}
