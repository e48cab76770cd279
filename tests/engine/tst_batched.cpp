#include <cmath>
#include <cstring>
#include <random>

#include <QTest>

#include "fixtures.h"
#include "near.h"
#include "reference.h"

// Shapes and windows large enough for the engine's blocked passes (matrix kernels, two halves on
// two cores, dot products for narrow layers), checked against the plain reference.
//
// Tolerance: the blocked passes add each weight's gradient over the window in another order and
// with fused multiply-adds, and the vector exponential is within a few ulp of the double one. A
// sum of n float terms in a different order differs by up to about n * 6e-8 times the sum of
// the magnitudes; with n up to a few hundred terms per gradient and a few epochs of training
// that feed each other, 2e-4 relative (absolute below 1) leaves a margin over the largest
// deviation seen (about 2e-5) while a wrong index, a missed pattern or a stale weight is off by
// orders of magnitude more.
namespace {

constexpr double Tolerance = 2e-4;

struct Case
{
    std::vector<int16_t> sizes;
    std::vector<int16_t> codes;
    int16_t npat;
};

const Case cases[] = {
        {{9, 37, 5}, {0, 1, 1}, 230},
        {{12, 20, 17, 3}, {0, 3, 5, 2}, 150},
        {{7, 33, 18, 11, 4}, {0, 3, 4, 5, 2}, 120},
        {{6, 17, 15, 9, 2}, {0, 1, 0, 4, 7}, 90},
        {{20, 1024, 3}, {0, 1, 1}, 45},
        {{64, 96, 10}, {0, 1, 5}, 330},
        {{40, 1}, {0, 4}, 200},
        {{33, 48, 1}, {0, 3, 1}, 260},
        {{20, 64, 5}, {0, 1, 3}, 2600},
        {{8, 16, 1}, {0, 1, 1}, 768},
        {{13, 8, 3}, {0, 3, 5}, 178},
};

// Weights scaled by the fan-in so that wide layers do not saturate.
void randomize(Net &n, Patterns &d, std::mt19937 &gen)
{
    std::uniform_real_distribution<float> unit(-1.0f, 1.0f);
    std::uniform_real_distribution<float> target(0.1f, 0.9f);
    n.forEachWeight([&](int l, int i, int j) {
        n.W(l, i, j) = 1.5f * unit(gen) / std::sqrt(float(n.size(l - 1) + 1));
        n.DW(l, i, j) = 0.01f * unit(gen);
        n.GP(l, i, j) = 0.1f * unit(gen);
    });
    for (int p = 1; p <= d.npat; ++p) {
        for (int i = 1; i <= d.nin; ++i) {
            d.IN(p, i) = unit(gen);
        }
        for (int k = 1; k <= d.nout; ++k) {
            d.TGT(p, k) = target(gen);
        }
    }
}

// Quick-prop divides by the change of the gradient, gp - g: when that change is a small part of
// the gradient itself, the rounding of the gradient sums (about 1e-5 relative, see above) moves
// the quotient, or decides the 0.00001 test or the sign tests either way. Such a weight may
// legitimately end elsewhere.
bool quotientIllConditioned(float g, float gp)
{
    const float scale = std::max(std::fabs(g), std::fabs(gp));
    return std::fabs(gp - g) < 0.05f * scale + 2e-5f;
}

// Accepts the library's weight where the reference's one epoch of quick-prop was ill-conditioned
// (and copies it into the reference, so later calls start alike); returns how many.
int acceptIllConditioned(Net &lib, Net &expected, const Net &before)
{
    int accepted = 0;
    lib.forEachWeight([&](int l, int i, int j) {
        const bool differs = !near(lib.W(l, i, j), expected.W(l, i, j), Tolerance)
                || !near(lib.DW(l, i, j), expected.DW(l, i, j), Tolerance);
        const Net &b = before;
        if (differs && quotientIllConditioned(expected.GP(l, i, j), b.gp[b.at(l, i, j)])) {
            expected.W(l, i, j) = lib.W(l, i, j);
            expected.DW(l, i, j) = lib.DW(l, i, j);
            ++accepted;
        }
    });
    return accepted;
}

// First mismatch of the weight-shaped arrays and X, or an empty string.
QByteArray mismatch(Net &a, Net &b)
{
    QByteArray where;
    a.forEachWeight([&](int l, int i, int j) {
        const float pairs[][2] = {{a.W(l, i, j), b.W(l, i, j)},
                                  {a.DW(l, i, j), b.DW(l, i, j)},
                                  {a.GP(l, i, j), b.GP(l, i, j)},
                                  {a.G(l, i, j), b.G(l, i, j)}};
        for (int k = 0; k < 4; ++k) {
            if (where.isEmpty() && !near(pairs[k][0], pairs[k][1], Tolerance)) {
                where = "array " + QByteArray::number(k) + " at " + QByteArray::number(l) + ","
                        + QByteArray::number(i) + "," + QByteArray::number(j) + ": "
                        + QByteArray::number(pairs[k][0], 'g', 9) + " vs "
                        + QByteArray::number(pairs[k][1], 'g', 9);
            }
        }
    });
    for (int l = 1; l <= a.nl && where.isEmpty(); ++l) {
        for (int j = 1; j <= a.size(l) && where.isEmpty(); ++j) {
            if (!near(a.X(l, j), b.X(l, j), Tolerance)) {
                where = "X at " + QByteArray::number(l) + "," + QByteArray::number(j);
            }
        }
    }
    return where;
}

struct Setup
{
    explicit Setup(const Case &c, unsigned seed)
        : net(c.sizes, c.codes)
        , data(c.npat, c.sizes.front(), c.sizes.back())
    {
        std::mt19937 gen(seed);
        randomize(net, data, gen);
    }

    Net net;
    Patterns data;
};

} // namespace

class BatchedTest : public QObject
{
    Q_OBJECT

private slots:
    void matchesReference_data();
    void matchesReference();
    void setErrorMatchesSinglePatterns_data();
    void setErrorMatchesSinglePatterns();
    void sameResultsOnOneOrTwoCores();
    void keptCopiesMatchFreshOnes_data();
    void keptCopiesMatchFreshOnes();
};

// Several calls in a row (momentum and GP carry over), each with its own fixed clock.
void BatchedTest::matchesReference_data()
{
    QTest::addColumn<int>("shape");
    QTest::addColumn<bool>("quick");
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("last");
    QTest::addColumn<int>("irand");
    QTest::addColumn<float>("wnoise");
    QTest::addColumn<float>("clip");
    QTest::addColumn<float>("target");
    QTest::addColumn<int>("calls");
    for (bool quick : {false, true}) {
        const char *name = quick ? "QP" : "BP";
        QTest::addRow("%s 9-37-5, rows 3..221", name)
                << 0 << quick << 3 << 221 << 0 << 0.0f << 0.0f << 0.3f << 3;
        QTest::addRow("%s 12-20-17-3 tanh, sigmoid+0.1, linear; sampled", name)
                << 1 << quick << 1 << 150 << 1 << 0.0f << 0.0f << 0.5f << 3;
        QTest::addRow("%s five layers tanh, gaussian, sigmoid+0.1, linear", name)
                << 2 << quick << 11 << 117 << 0 << 0.0f << 0.0f << 0.8f << 2;
        QTest::addRow("%s five layers, codes 0 and 7; weight noise, clipping", name)
                << 3 << quick << 2 << 90 << 1 << 0.01f << 1.0f << 0.25f << 3;
        QTest::addRow("%s 1024-node layer, rows 5..41", name)
                << 4 << quick << 5 << 41 << 0 << 0.0f << 0.0f << 0.2f << 2;
        QTest::addRow("%s 64-96-10 in two halves, clipping", name)
                << 5 << quick << 2 << 329 << 0 << 0.0f << 1.5f << 0.5f << 2;
        QTest::addRow("%s 64-96-10 in two halves, sampled, weight noise", name)
                << 5 << quick << 1 << 330 << 1 << 0.005f << 0.0f << 0.5f << 2;
        QTest::addRow("%s gaussian 40-1, one dot product per pattern", name)
                << 6 << quick << 7 << 199 << 0 << 0.0f << 0.0f << 0.3f << 3;
        QTest::addRow("%s 33-48-1 sampled", name)
                << 7 << quick << 9 << 250 << 1 << 0.0f << 0.0f << 0.2f << 2;
        QTest::addRow("%s 20-64-5 in eight chunks, rows 2..2591", name)
                << 8 << quick << 2 << 2591 << 0 << 0.0f << 0.0f << 0.6f << 2;
    }
}

void BatchedTest::matchesReference()
{
    QFETCH(int, shape);
    QFETCH(bool, quick);
    QFETCH(int, first);
    QFETCH(int, last);
    QFETCH(int, irand);
    QFETCH(float, wnoise);
    QFETCH(float, clip);
    QFETCH(float, target);
    QFETCH(int, calls);
    Setup lib(cases[shape], unsigned(shape * 131 + 17));
    Net expected = lib.net;
    TrainArgs a;
    // Quick-prop runs one epoch per call, so that the gradient before each update is known here.
    a.nepoch = quick ? 1 : 3;
    a.irand = static_cast<int16_t>(irand);
    a.wnoise = wnoise;
    a.clip = clip;
    a.target = target;
    a.temp = 0.9f;
    a.alpha = 0.4f;
    // The accumulated gradient grows with the window: keep the steps moderate.
    a.eta = 0.5f / float(last - first + 1);
    a.first = static_cast<int16_t>(first);
    a.last = static_cast<int16_t>(last);
    TrainArgs r = a;
    static ref::Engine engine;
    int goodSeen = 0;
    int accepted = 0;
    int weights = 0;
    lib.net.forEachWeight([&](int, int, int) { ++weights; });
    if (quick) {
        calls *= 2;
    }
    for (int call = 0; call < calls; ++call) {
        const int32_t clock = 0x31C0FFEE + call * 4099 + shape;
        const Net before = expected;
        fixClock(clock);
        quick ? callQP(lib.net, lib.data, a) : callBP(lib.net, lib.data, a);
        ref::train(engine, expected, lib.data, r, quick, clock);
        if (quick) {
            accepted += acceptIllConditioned(lib.net, expected, before);
        }
        const QByteArray where = mismatch(lib.net, expected);
        QVERIFY2(where.isEmpty(), where);
        QVERIFY2(near(a.rms, r.rms, Tolerance),
                 QByteArray::number(a.rms, 'g', 9) + " vs " + QByteArray::number(r.rms, 'g', 9));
        QCOMPARE(a.ngood, r.ngood);
        goodSeen += a.ngood;
    }
    QVERIFY2(accepted * 200 < weights, QByteArray::number(accepted));
    // The target lets some patterns count as good and others not, so NGOOD is really compared.
    QVERIFY2(goodSeen > 0 && goodSeen < calls * (last - first + 1), QByteArray::number(goodSeen));
    Net &n = lib.net;
    QVERIFY(n.outsideUntouched(n.w) && n.outsideUntouched(n.g));
    QVERIFY(n.outsideUntouched(n.dw) && n.outsideUntouched(n.gp));
    QVERIFY(lib.data.in.guardsIntact() && lib.data.tgt.guardsIntact());
    for (int l = 1; l <= n.nl; ++l) {
        QCOMPARE(n.X(l, n.maxn), Sentinel);
    }
}

// The set error in blocks against the single-pattern forward pass, which stays a plain loop.
void BatchedTest::setErrorMatchesSinglePatterns_data()
{
    QTest::addColumn<int>("shape");
    QTest::addRow("9-37-5") << 0;
    QTest::addRow("five layers, all codes") << 2;
    QTest::addRow("1024-node layer") << 4;
    QTest::addRow("64-96-10 in two halves") << 5;
    QTest::addRow("gaussian 40-1") << 6;
}

void BatchedTest::setErrorMatchesSinglePatterns()
{
    QFETCH(int, shape);
    Setup s(cases[shape], unsigned(shape + 5));
    Net single = s.net;
    std::vector<float> errors;
    double total = 0.0;
    for (int16_t p = 1; p <= s.data.npat; ++p) {
        errors.push_back(callCALCNET(single, s.data, p, 1.0f));
        total += double(errors.back()) * errors.back();
    }
    // A target between the patterns' errors, so that NGOOD counts some and not others.
    std::vector<float> sorted = errors;
    std::sort(sorted.begin(), sorted.end());
    const float target = 0.5f * (sorted[sorted.size() / 3] + sorted[sorted.size() / 3 + 1]);
    const int good =
            int(std::count_if(errors.begin(), errors.end(), [&](float e) { return e <= target; }));
    float rms = Sentinel;
    int16_t ngood = -1;
    callCALCERR(s.net, s.data, target, rms, ngood);
    const double expected = std::sqrt(total / s.data.npat);
    QVERIFY2(near(rms, expected, Tolerance),
             QByteArray::number(rms, 'g', 9) + " vs " + QByteArray::number(expected, 'g', 9));
    QCOMPARE(ngood, int16_t(good));
    QVERIFY(good > 0 && good < s.data.npat);
    for (int l = 2; l <= s.net.nl; ++l) {
        for (int j = 1; j <= s.net.size(l); ++j) {
            QVERIFY(near(s.net.X(l, j), single.X(l, j), Tolerance));
        }
        QCOMPARE(s.net.X(l, s.net.maxn), Sentinel);
    }
    QCOMPARE(s.net.X(1, 1), Sentinel);
}

// The window's chunks are fixed by the work, not by the cores or by which core takes which
// chunk: one core or two, and run after run, a fixed clock gives identical bits.
void BatchedTest::sameResultsOnOneOrTwoCores()
{
    for (bool quick : {false, true}) {
        auto run = [&](const char *threads) {
            qputenv("AXONA_THREADS", threads);
            Setup s(cases[8], 77);
            TrainArgs a;
            a.first = 1;
            a.last = 2600;
            a.irand = 1;
            a.wnoise = 0.01f;
            a.eta = 0.0005f;
            a.nepoch = 4;
            fixClock(4242);
            for (int call = 0; call < 2; ++call) {
                quick ? callQP(s.net, s.data, a) : callBP(s.net, s.data, a);
            }
            qunsetenv("AXONA_THREADS");
            return s.net;
        };
        const Net two = run("2");
        const Net again = run("2");
        const Net one = run("1");
        QVERIFY(two.w == again.w && two.dw == again.dw && two.gp == again.gp);
        QVERIFY(two.w == one.w && two.dw == one.dw && two.gp == one.gp && two.x == one.x);
    }
}

// What the caller does to its arrays between two training calls.
enum class Between {
    Nothing,
    NudgeOneWeight,
    ReloadWeights,
    ClearMomentum,
    StrayGradient,
    FlipPreviousGradient,
    ErrorPass,
    OtherNetwork,
    MoveArrays,
};

void BatchedTest::keptCopiesMatchFreshOnes_data()
{
    QTest::addColumn<int>("shape");
    QTest::addColumn<bool>("quick");
    QTest::addColumn<int>("irand");
    QTest::addColumn<int>("change");
    const std::pair<const char *, Between> changes[] = {
            {"nothing", Between::Nothing},
            {"one weight up by one ulp", Between::NudgeOneWeight},
            {"weights reloaded", Between::ReloadWeights},
            {"momentum cleared", Between::ClearMomentum},
            {"a stray gradient", Between::StrayGradient},
            {"previous gradients negated", Between::FlipPreviousGradient},
            {"an error pass", Between::ErrorPass},
            {"another network trained", Between::OtherNetwork},
            {"arrays moved", Between::MoveArrays},
    };
    for (const auto &[name, between] : changes) {
        QTest::addRow("BP 8-16-1, %s", name) << 9 << false << 0 << int(between);
        QTest::addRow("QP 13-8-3 sampled, %s", name) << 10 << true << 1 << int(between);
    }
    QTest::addRow("BP 9-37-5, weights reloaded") << 0 << false << 0 << int(Between::ReloadWeights);
    QTest::addRow("QP gaussian 40-1, a stray gradient")
            << 6 << true << 0 << int(Between::StrayGradient);
    QTest::addRow("BP 20-64-5 in chunks, one weight up by one ulp")
            << 8 << false << 0 << int(Between::NudgeOneWeight);
    QTest::addRow("QP 20-64-5 in chunks, an error pass")
            << 8 << true << 0 << int(Between::ErrorPass);
}

// The engine keeps its own copy of the arrays from one call to the next. A run of calls must give
// the very bits it gives when every call starts from a fresh copy, as a first call does: here
// forced by training another network before each call, which takes the engine's copies over.
void BatchedTest::keptCopiesMatchFreshOnes()
{
    QFETCH(int, shape);
    QFETCH(bool, quick);
    QFETCH(int, irand);
    QFETCH(int, change);
    const auto between = Between(change);
    const Case &c = cases[shape];
    TrainArgs a;
    a.nepoch = 2;
    a.irand = static_cast<int16_t>(irand);
    a.wnoise = 0.002f;
    a.target = 0.3f;
    a.eta = 0.5f / float(c.npat);
    a.first = 2;
    a.last = static_cast<int16_t>(c.npat - 1);
    Setup other(cases[5], 99);
    TrainArgs otherArgs;
    otherArgs.last = other.data.npat;
    auto run = [&](bool fresh) {
        Setup s(c, 31);
        std::mt19937 gen(7);
        std::uniform_real_distribution<float> unit(-1.0f, 1.0f);
        std::vector<QByteArray> results;
        for (int call = 0; call < 4; ++call) {
            if (fresh) {
                callBP(other.net, other.data, otherArgs);
            }
            fixClock(5000 + call);
            TrainArgs args = a;
            quick ? callQP(s.net, s.data, args) : callBP(s.net, s.data, args);
            QByteArray bits;
            for (const Guarded *g : {&s.net.w, &s.net.dw, &s.net.gp, &s.net.g, &s.net.x}) {
                for (std::size_t k = 0; k < g->size(); ++k) {
                    const float v = (*g)[k];
                    bits.append(reinterpret_cast<const char *>(&v), sizeof v);
                }
            }
            bits.append(reinterpret_cast<const char *>(&args.rms), sizeof args.rms);
            bits.append(reinterpret_cast<const char *>(&args.ngood), sizeof args.ngood);
            results.push_back(bits);
            Net &n = s.net;
            switch (between) {
            case Between::Nothing:
                break;
            case Between::NudgeOneWeight:
                n.W(2, 1 + call, 2) = std::nextafter(n.W(2, 1 + call, 2), 1.0f);
                break;
            case Between::ReloadWeights:
                n.forEachWeight([&](int l, int i, int j) { n.W(l, i, j) = 0.3f * unit(gen); });
                break;
            case Between::ClearMomentum:
                n.forEachWeight([&](int l, int i, int j) { n.DW(l, i, j) = 0.0f; });
                break;
            case Between::StrayGradient:
                n.G(n.nl, 1, 1) = 0.25f;
                break;
            case Between::FlipPreviousGradient:
                n.forEachWeight([&](int l, int i, int j) { n.GP(l, i, j) = -n.GP(l, i, j); });
                break;
            case Between::ErrorPass: {
                float rms = 0.0f;
                int16_t ngood = 0;
                callCALCERR(n, s.data, 0.3f, rms, ngood);
                break;
            }
            case Between::OtherNetwork:
                callBP(other.net, other.data, otherArgs);
                break;
            case Between::MoveArrays: {
                Setup moved = s;
                std::swap(moved.net, s.net);
                break;
            }
            }
        }
        return results;
    };
    const std::vector<QByteArray> kept = run(false);
    const std::vector<QByteArray> fresh = run(true);
    for (std::size_t call = 0; call < kept.size(); ++call) {
        QVERIFY2(kept[call] == fresh[call], QByteArray::number(qulonglong(call)));
    }
    // The calls really trained: the weights moved from one call to the next.
    QVERIFY(kept[1] != kept[2]);
}

QTEST_APPLESS_MAIN(BatchedTest)

#include "tst_batched.moc"
