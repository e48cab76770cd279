// Batch training throughput of the engine, in connection updates per second (patterns x
// connections incl. biases x epochs / second), on random data for a table of network shapes; with
// FANN installed, FANN 2.2's batch training on the same shapes, data and epoch counts, measured
// in the same run and alternating with the engine so that both see the same machine load.
//
//     axona_bench [--quick] [--reps N] [--only NAME]
//     axona_bench --digest      (see digest.h)
//
// The engine runs BP over the whole set in calls of 1 or 5 epochs (the application's default is
// 5; 1 is what a user who watches every epoch sets), once on two cores and once with
// AXONA_THREADS=1 on one. Each figure is the median of the repetitions; the load average is
// read after each row. For XOR, the whole training loop of `axona train` is timed as well (see
// trainloop.h), alternating with the same FANN runs.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "axona32.h"
#include "digest.h"
#include "trainloop.h"

#ifdef AXONA_HAVE_FANN
#include <floatfann.h>
#endif

namespace {

struct Case
{
    const char *name;
    std::vector<int> layers;
    int patterns;
    int epochsPerCall;
    int epochs;
};

long connections(const std::vector<int> &layers)
{
    long total = 0;
    for (std::size_t l = 1; l < layers.size(); ++l) {
        total += long(layers[l - 1] + 1) * layers[l];
    }
    return total;
}

double seconds(std::chrono::steady_clock::duration d)
{
    return std::chrono::duration<double>(d).count();
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Inputs in [-1, 1] and targets in [0.1, 0.9], pattern first as the engine wants them; XOR
// gets its four patterns.
struct Data
{
    Data(const Case &c, std::mt19937 &gen)
        : nin(c.layers.front())
        , nout(c.layers.back())
        , npat(c.patterns)
        , in(std::size_t(npat) * nin)
        , tgt(std::size_t(npat) * nout)
    {
        std::uniform_real_distribution<float> unit(-1.0f, 1.0f);
        std::uniform_real_distribution<float> target(0.1f, 0.9f);
        for (float &v : in) {
            v = unit(gen);
        }
        for (float &v : tgt) {
            v = target(gen);
        }
        if (c.layers == std::vector<int> {2, 2, 1} && npat == 4) {
            const float xorIn[4][2] = {{0, 0}, {0, 1}, {1, 0}, {1, 1}};
            for (int p = 0; p < 4; ++p) {
                in[std::size_t(p)] = xorIn[p][0];
                in[std::size_t(4 + p)] = xorIn[p][1];
                tgt[std::size_t(p)] = xorIn[p][0] != xorIn[p][1] ? 0.9f : 0.1f;
            }
        }
    }

    float input(int p, int i) const { return in[std::size_t(p + npat * i)]; }

    float target(int p, int k) const { return tgt[std::size_t(p + npat * k)]; }

    int nin;
    int nout;
    int npat;
    std::vector<float> in;
    std::vector<float> tgt;
};

// The engine's arrays for one shape, all sigmoid, weights in [-0.1, 0.1].
struct EngineNet
{
    EngineNet(const Case &c, std::mt19937 &gen)
        : nl(int16_t(c.layers.size()))
    {
        int widest = 0;
        for (int n : c.layers) {
            nn.push_back(int16_t(n));
            func.push_back(1);
            widest = std::max(widest, n);
        }
        wdim2 = int16_t(widest + 1);
        wdim3 = int16_t(widest);
        maxn = int16_t(widest);
        const std::size_t size = std::size_t(nl) * wdim2 * wdim3;
        w.assign(size, 0.0f);
        g.assign(size, 0.0f);
        dw.assign(size, 0.0f);
        x.assign(std::size_t(nl) * maxn, 0.0f);
        std::uniform_real_distribution<float> weight(-0.1f, 0.1f);
        for (float &v : w) {
            v = weight(gen);
        }
    }

    void train(Data &d, int epochsPerCall, int epochs, float eta)
    {
        int16_t npat = int16_t(d.npat);
        int16_t nin = int16_t(d.nin);
        int16_t nout = int16_t(d.nout);
        float alpha = 0.5f;
        float noise = 0.0f;
        float timer = 0.0f;
        float temp = 1.0f;
        float clip = 0.0f;
        float target = 0.01f;
        float rms = 0.0f;
        int16_t ngood = 0;
        int16_t first = 1;
        int16_t irand = 0;
        for (int done = 0; done < epochs; done += epochsPerCall) {
            int16_t nepoch = int16_t(std::min(epochsPerCall, epochs - done));
            BP(d.in.data(), d.tgt.data(), &nl, &maxn, &wdim2, &wdim3, &npat, &nin, &nout, &eta,
               &alpha, x.data(), nn.data(), w.data(), g.data(), dw.data(), &nepoch, &rms, &noise,
               &noise, &timer, &temp, func.data(), &clip, &ngood, &target, &first, &npat, &irand);
        }
    }

    int16_t nl;
    int16_t wdim2 = 0;
    int16_t wdim3 = 0;
    int16_t maxn = 0;
    std::vector<int16_t> nn;
    std::vector<int16_t> func;
    std::vector<float> w;
    std::vector<float> g;
    std::vector<float> dw;
    std::vector<float> x;
};

#ifdef AXONA_HAVE_FANN
// FANN's batch training with sigmoid units (steepness 0.5 makes FANN's sigmoid 1/(1+e^-x)).
struct FannNet
{
    FannNet(const Case &c, const Data &d)
    {
        std::vector<unsigned> layers(c.layers.begin(), c.layers.end());
        ann = fann_create_standard_array(unsigned(layers.size()), layers.data());
        fann_set_activation_function_hidden(ann, FANN_SIGMOID);
        fann_set_activation_function_output(ann, FANN_SIGMOID);
        fann_set_activation_steepness_hidden(ann, 0.5f);
        fann_set_activation_steepness_output(ann, 0.5f);
        fann_set_training_algorithm(ann, FANN_TRAIN_BATCH);
        fann_set_learning_rate(ann, 0.7f);
        fann_randomize_weights(ann, -0.1f, 0.1f);
        data = fann_create_train(unsigned(d.npat), unsigned(d.nin), unsigned(d.nout));
        for (int p = 0; p < d.npat; ++p) {
            for (int i = 0; i < d.nin; ++i) {
                data->input[p][i] = d.input(p, i);
            }
            for (int k = 0; k < d.nout; ++k) {
                data->output[p][k] = d.target(p, k);
            }
        }
    }

    ~FannNet()
    {
        fann_destroy_train(data);
        fann_destroy(ann);
    }

    FannNet(const FannNet &) = delete;
    FannNet &operator=(const FannNet &) = delete;

    void train(int epochs)
    {
        for (int e = 0; e < epochs; ++e) {
            fann_train_epoch(ann, data);
        }
    }

    struct fann *ann = nullptr;
    struct fann_train_data *data = nullptr;
};
#endif

template <typename F> double timeIt(F &&f)
{
    const auto start = std::chrono::steady_clock::now();
    f();
    return seconds(std::chrono::steady_clock::now() - start);
}

std::string cpuName()
{
    std::ifstream info("/proc/cpuinfo");
    std::string line;
    while (std::getline(info, line)) {
        if (line.rfind("model name", 0) == 0) {
            return line.substr(line.find(':') + 2);
        }
    }
    return "unknown";
}

} // namespace

int main(int argc, char **argv)
{
    bool quick = false;
    int reps = 3;
    std::string only;
    for (int k = 1; k < argc; ++k) {
        if (std::strcmp(argv[k], "--quick") == 0) {
            quick = true;
            reps = 1;
        } else if (std::strcmp(argv[k], "--reps") == 0 && k + 1 < argc) {
            reps = std::max(1, std::atoi(argv[++k]));
        } else if (std::strcmp(argv[k], "--digest") == 0) {
            return printDigests();
        } else if (std::strcmp(argv[k], "--only") == 0 && k + 1 < argc) {
            only = argv[++k];
        } else {
            std::fprintf(stderr,
                         "usage: axona_bench [--quick] [--reps N] [--only NAME] | --digest\n");
            return 2;
        }
    }
    // Epoch counts give each timing a few tenths of a second (a tenth with --quick).
    const int scale = quick ? 4 : 1;
    const int big = quick ? 5 : 10;
    const std::vector<Case> cases = {
            {"8-16-1", {8, 16, 1}, 768, 1, 4000 / scale},
            {"8-16-1", {8, 16, 1}, 768, 5, 4000 / scale},
            {"13-8-3", {13, 8, 3}, 178, 1, 8000 / scale},
            {"13-8-3", {13, 8, 3}, 178, 5, 8000 / scale},
            {"2-2-1", {2, 2, 1}, 4, 1, 1000000 / scale},
            {"2-2-1", {2, 2, 1}, 4, 5, 1000000 / scale},
            {"64-128-64-10", {64, 128, 64, 10}, 8192, 5, big},
            {"100-250-29", {100, 250, 29}, 8192, 5, big},
            {"64-128-96-64-10", {64, 128, 96, 64, 10}, 8192, 5, big},
            {"30-1023-1", {30, 1023, 1}, 8192, 5, big},
    };
    std::printf("cpu: %s, %u threads; %d repetition(s), medians\n", cpuName().c_str(),
                std::thread::hardware_concurrency(), reps);
#ifndef AXONA_HAVE_FANN
    std::printf("FANN not found: engine figures only\n");
#endif
    std::printf("%-16s %5s %6s %3s %7s | %9s %9s %9s | %7s %7s | %6s %5s\n", "shape", "pats",
                "conns", "e/c", "epochs", "eng 2c", "eng 1c", "FANN", "2c/FANN", "1c/FANN",
                "1cGF/s", "load");
    for (const Case &c : cases) {
        if (!only.empty() && only != c.name) {
            continue;
        }
        std::mt19937 gen(12345);
        Data data(c, gen);
        EngineNet engine(c, gen);
        const float eta = 0.2f / float(c.patterns);
#ifdef AXONA_HAVE_FANN
        FannNet fann(c, data);
#endif
        // One warm-up round: the engine's buffers and helper thread, FANN's caches.
        engine.train(data, c.epochsPerCall, c.epochsPerCall, eta);
#ifdef AXONA_HAVE_FANN
        fann.train(1);
#endif
        std::vector<double> two, one, other, loop;
        const bool timeLoop = c.patterns == 4;
        for (int r = 0; r < reps; ++r) {
            if (timeLoop) {
                // As many iterations of the tool's loop as the engine's timing has calls.
                loop.push_back(trainLoopSecondsPerEpoch(AXONA_CLI, AXONA_EXAMPLES, c.epochsPerCall,
                                                        c.epochs / c.epochsPerCall));
            }
            unsetenv("AXONA_THREADS");
            two.push_back(timeIt([&] { engine.train(data, c.epochsPerCall, c.epochs, eta); }));
            setenv("AXONA_THREADS", "1", 1);
            one.push_back(timeIt([&] { engine.train(data, c.epochsPerCall, c.epochs, eta); }));
            unsetenv("AXONA_THREADS");
#ifdef AXONA_HAVE_FANN
            other.push_back(timeIt([&] { fann.train(c.epochs); }));
#endif
        }
        double load = 0.0;
        getloadavg(&load, 1);
        const double work = double(c.patterns) * double(connections(c.layers)) * c.epochs;
        const double t2 = median(two);
        const double t1 = median(one);
        const double tf = other.empty() ? 0.0 : median(other);
        std::printf("%-16s %5d %6ld %3d %7d | ", c.name, c.patterns, connections(c.layers),
                    c.epochsPerCall, c.epochs);
        if (c.patterns < 16) {
            // Overhead-bound: microseconds per epoch, and the time ratio engine/FANN.
            std::printf("%7.3fus %7.3fus %7.3fus | %7.2f %7.2f | %6s %5.2f\n", 1e6 * t2 / c.epochs,
                        1e6 * t1 / c.epochs, 1e6 * tf / c.epochs, tf > 0 ? t2 / tf : 0.0,
                        tf > 0 ? t1 / tf : 0.0, "", load);
            if (timeLoop && *std::min_element(loop.begin(), loop.end()) > 0.0) {
                const double tl = median(loop);
                std::printf("%-16s %5s %6s %3d %7d | %7.3fus %9s %7.3fus | %7.2f %7s |\n",
                            "  axona train", "", "", c.epochsPerCall, c.epochs, 1e6 * tl, "",
                            1e6 * tf / c.epochs, tf > 0 ? tl * c.epochs / tf : 0.0, "");
            }
        } else {
            std::printf("%8.2fG %8.2fG %8.2fG | %6.1fx %6.1fx | %6.1f %5.2f\n", work / t2 * 1e-9,
                        work / t1 * 1e-9, tf > 0 ? work / tf * 1e-9 : 0.0, tf > 0 ? tf / t2 : 0.0,
                        tf > 0 ? tf / t1 : 0.0, 6.0 * work / t1 * 1e-9, load);
        }
        std::fflush(stdout);
    }
    std::printf("e/c = epochs per engine call. CUPS = patterns x connections (incl. biases) x "
                "epochs / s; G = 1e9.\n2-2-1 (XOR): time per epoch, and the time ratio "
                "engine/FANN (lower is better); 'axona train': the same for the whole training "
                "loop of the command-line tool.\n1cGF/s = 6 flops per connection update "
                "(forward, backward, gradient: one multiply-add each) on one core.\n");
    return 0;
}
