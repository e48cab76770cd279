#include <random>

#include <QTest>

#include "fixtures.h"
#include "near.h"
#include "reference.h"

namespace {

// A one-input, one-output net whose net input is exactly its bias (the input weight is 0).
struct Single
{
    explicit Single(int16_t code, float bias, float input, float target)
        : net({1, 1}, {1, code})
        , data(1, 1, 1)
    {
        net.W(2, 1, 1) = 0.0f;
        net.W(2, 2, 1) = bias;
        data.IN(1, 1) = input;
        data.TGT(1, 1) = target;
    }

    Net net;
    Patterns data;
};

void randomize(Net &n, Patterns &d, std::mt19937 &gen)
{
    std::uniform_real_distribution<float> weight(-1.0f, 1.0f);
    std::uniform_real_distribution<float> value(-1.0f, 1.0f);
    std::uniform_real_distribution<float> target(0.1f, 0.9f);
    n.forEachWeight([&](int l, int i, int j) { n.W(l, i, j) = weight(gen); });
    for (int p = 1; p <= d.npat; ++p) {
        for (int i = 1; i <= d.nin; ++i) {
            d.IN(p, i) = value(gen);
        }
        for (int k = 1; k <= d.nout; ++k) {
            d.TGT(p, k) = target(gen);
        }
    }
}

bool allNear(Net &a, Net &b, double tol, QByteArray &where)
{
    bool ok = true;
    a.forEachWeight([&](int l, int i, int j) {
        const std::pair<float, float> pairs[] = {{a.W(l, i, j), b.W(l, i, j)},
                                                 {a.DW(l, i, j), b.DW(l, i, j)},
                                                 {a.GP(l, i, j), b.GP(l, i, j)},
                                                 {a.G(l, i, j), b.G(l, i, j)}};
        for (const auto &[x, y] : pairs) {
            if (ok && !near(x, y, tol)) {
                where = QByteArray("at ") + QByteArray::number(l) + "," + QByteArray::number(i)
                        + "," + QByteArray::number(j) + ": " + QByteArray::number(x, 'g', 9)
                        + " vs " + QByteArray::number(y, 'g', 9);
                ok = false;
            }
        }
    });
    for (int l = 1; l <= a.nl && ok; ++l) {
        for (int j = 1; j <= a.size(l); ++j) {
            if (!near(a.X(l, j), b.X(l, j), tol)) {
                where = "X at " + QByteArray::number(l) + "," + QByteArray::number(j);
                ok = false;
            }
        }
    }
    return ok;
}

} // namespace

class TrainingTest : public QObject
{
    Q_OBJECT

private slots:
    void slopes_data();
    void slopes();
    void epochsZeroKeepEverything();
    void clipping_data();
    void clipping();
    void singleLayerNet();
    void quickPropStep_data();
    void quickPropStep();
    void outsideLimits_data();
    void outsideLimits();
    void matchesReference_data();
    void matchesReference();
    void smallNetsTakeTurns();
    void gradientCheck();
    void fixedClockRepeats();
    void singleRowWindowWithSampling();
};

// One row, no momentum, no noise: each weight moves by ETA * d * input, d = (t - y) * f'(x).
void TrainingTest::slopes_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<float>("temp");
    QTest::addColumn<float>("x");
    QTest::addColumn<float>("target");
    QTest::addColumn<float>("d");
    QTest::addColumn<double>("tol");
    QTest::newRow("sigmoid at 0") << 1 << 1.0f << 0.0f << 1.0f << 0.125f << 1e-6;
    QTest::newRow("sigmoid saturated learns nothing")
            << 1 << 1.0f << 100.0f << 2.0f << 0.0f << 1e-9;
    QTest::newRow("sigmoid temp 0") << 1 << 0.0f << 3.0f << 1.0f << 0.0f << 1e-9;
    QTest::newRow("sigmoid+0.1 at 0") << 5 << 1.0f << 0.0f << 1.0f << 0.175f << 1e-6;
    QTest::newRow("sigmoid+0.1 saturated keeps 0.1") << 5 << 1.0f << 100.0f << 2.0f << 0.1f << 1e-6;
    QTest::newRow("sigmoid+0.1 temp 0") << 5 << 0.0f << 3.0f << 1.0f << 0.05f << 1e-6;
    QTest::newRow("linear temp 2") << 2 << 2.0f << 1.0f << 3.0f << 2.0f << 1e-6;
    QTest::newRow("tanh at 0") << 3 << 1.0f << 0.0f << 1.0f << 1.0f << 1e-6;
    QTest::newRow("tanh temp 0.5") << 3 << 0.5f << 1.0f << 0.0f << -0.18171462f << 1e-6;
    QTest::newRow("gaussian at 1") << 4 << 1.0f << 1.0f << 1.0f << -0.46508699f << 1e-6;
    QTest::newRow("gaussian at 0 is flat") << 4 << 1.0f << 0.0f << 5.0f << 0.0f << 1e-9;
    QTest::newRow("code 7 as sigmoid") << 7 << 1.0f << 0.0f << 1.0f << 0.125f << 1e-6;
    QTest::newRow("code 0 as sigmoid") << 0 << 1.0f << 0.0f << 1.0f << 0.125f << 1e-6;
}

void TrainingTest::slopes()
{
    QFETCH(int, code);
    QFETCH(float, temp);
    QFETCH(float, x);
    QFETCH(float, target);
    QFETCH(float, d);
    QFETCH(double, tol);
    Single s(static_cast<int16_t>(code), x, 0.5f, target);
    TrainArgs a;
    a.eta = 0.5f;
    a.alpha = 0.0f;
    a.temp = temp;
    callBP(s.net, s.data, a);
    QVERIFY2(near(s.net.W(2, 1, 1), 0.5 * d * 0.5, tol), QByteArray::number(s.net.W(2, 1, 1)));
    QVERIFY2(near(s.net.W(2, 2, 1), x + 0.5f * d, tol), QByteArray::number(s.net.W(2, 2, 1) - x));
    QVERIFY(near(s.net.DW(2, 2, 1), 0.5 * d, tol));
    QCOMPARE(s.net.G(2, 1, 1), 0.0f);
    QCOMPARE(s.net.G(2, 2, 1), 0.0f);
}

// A call that runs no epoch changes no array, leaves NGOOD as passed and reports the last epoch
// error of the same routine: BP and QP remember theirs separately.
void TrainingTest::epochsZeroKeepEverything()
{
    Single bp(2, 0.0f, 1.0f, 0.5f);
    Single qp(2, 0.0f, 1.0f, 0.25f);
    TrainArgs a;
    a.eta = 0.0f;
    a.alpha = 0.0f;
    callBP(bp.net, bp.data, a);
    QVERIFY(near(a.rms, 0.5, 1e-7));
    callQP(qp.net, qp.data, a);
    QVERIFY(near(a.rms, 0.25, 1e-7));

    a.nepoch = 0;
    for (Single *s : {&bp, &qp}) {
        const Net before = s->net;
        a.rms = Sentinel;
        a.ngood = 77;
        if (s == &bp) {
            callBP(s->net, s->data, a);
            QVERIFY(near(a.rms, 0.5, 1e-7));
        } else {
            callQP(s->net, s->data, a);
            QVERIFY(near(a.rms, 0.25, 1e-7));
        }
        QCOMPARE(a.ngood, int16_t(77));
        QVERIFY(s->net.w == before.w && s->net.g == before.g && s->net.dw == before.dw);
        QVERIFY(s->net.gp == before.gp && s->net.x == before.x);
    }
}

// Linear 1-1 net with output 0.75 (error 0 against 0.75, 0.25 against 1.0), previous steps 0.2,
// ETA 0.2, ALPHA 0.5, one epoch: the bias ends at 0.25 + 0.2*d + 0.1.
void TrainingTest::clipping_data()
{
    QTest::addColumn<float>("target");
    QTest::addColumn<float>("clip");
    QTest::addColumn<float>("patternTarget");
    QTest::addColumn<float>("bias");
    QTest::addColumn<int>("good");
    QTest::newRow("every pattern clipped: momentum only") << 0.5f << 1.0f << 0.75f << 0.35f << 1;
    QTest::newRow("clip 0 learns") << 0.5f << 0.0f << 1.0f << 0.4f << 1;
    QTest::newRow("error at the threshold learns") << 0.25f << 1.0f << 1.0f << 0.4f << 1;
    QTest::newRow("error below the threshold clipped") << 0.5f << 0.6f << 1.0f << 0.35f << 1;
    QTest::newRow("negative target learns, counts none") << -0.5f << 1.0f << 1.0f << 0.4f << 0;
}

void TrainingTest::clipping()
{
    QFETCH(float, target);
    QFETCH(float, clip);
    QFETCH(float, patternTarget);
    QFETCH(float, bias);
    QFETCH(int, good);
    Single s(2, 0.25f, 1.0f, patternTarget);
    s.net.W(2, 1, 1) = 0.5f;
    s.net.DW(2, 1, 1) = 0.2f;
    s.net.DW(2, 2, 1) = 0.2f;
    TrainArgs a;
    a.target = target;
    a.clip = clip;
    callBP(s.net, s.data, a);
    QVERIFY2(near(s.net.W(2, 2, 1), bias, 1e-6), QByteArray::number(s.net.W(2, 2, 1)));
    QVERIFY(near(s.net.W(2, 1, 1) - 0.5f, bias - 0.25f, 1e-6));
    QVERIFY(near(s.net.DW(2, 2, 1), bias - 0.25f, 1e-6));
    QCOMPARE(s.net.G(2, 2, 1), 0.0f);
    QCOMPARE(a.ngood, int16_t(good));
    QVERIFY(near(a.rms, patternTarget - 0.75f, 1e-7));
}

// With only the input layer there is nothing to compute: error 0, every pattern good when
// TARGET >= 0, no array touched.
void TrainingTest::singleLayerNet()
{
    Net n({3}, {1});
    Patterns d(4, 3, 3);
    const Net before = n;
    TrainArgs a;
    a.last = 4;
    a.target = 0.0f;
    callBP(n, d, a);
    QVERIFY(near(a.rms, 0.0, 0.0));
    QCOMPARE(a.ngood, int16_t(4));
    a.target = -1.0f;
    callQP(n, d, a);
    QVERIFY(near(a.rms, 0.0, 0.0));
    QCOMPARE(a.ngood, int16_t(0));
    QVERIFY(n.w == before.w && n.g == before.g && n.dw == before.dw && n.gp == before.gp);
    QVERIFY(n.x == before.x);
}

// Linear 1-1 net, input 1, outputs 0: both weights get the accumulated gradient g = target.
void TrainingTest::quickPropStep_data()
{
    QTest::addColumn<float>("g");
    QTest::addColumn<float>("gp");
    QTest::addColumn<float>("dp");
    QTest::addColumn<float>("eta");
    QTest::addColumn<float>("growth");
    QTest::addColumn<float>("step");
    // ALPHA 0.5, CUTOFF 30, DECAY 0.01 throughout.
    QTest::newRow("fresh, g > 0 moves by ETA*g") << 2.0f << 0.0f << 0.0f << 0.2f << 1.75f << 0.4f;
    QTest::newRow("fresh, g < 0 stays") << -2.0f << 0.0f << 0.0f << 0.2f << 1.75f << 0.0f;
    QTest::newRow("g 2 gp 3 dp 0.5") << 2.0f << 3.0f << 0.5f << 0.2f << 10.0f << 1.65f;
    QTest::newRow("g 2 gp 3 dp 0.5, growth limit")
            << 2.0f << 3.0f << 0.5f << 0.2f << 1.75f << 0.875f;
    QTest::newRow("growth 0 is no limit") << 2.0f << 3.0f << 0.5f << 0.2f << 0.0f << 1.65f;
    QTest::newRow("g -2 gp -3 dp -0.5") << -2.0f << -3.0f << -0.5f << 0.2f << 10.0f << -0.65f;
    QTest::newRow("g -2 gp -3 dp -0.5, growth limit")
            << -2.0f << -3.0f << -0.5f << 1.0f << 1.75f << -0.875f;
    QTest::newRow("sign change: quick-prop term only")
            << -2.0f << 3.0f << 0.5f << 0.2f << 10.0f << -0.05f;
    QTest::newRow("sign change, falling difference")
            << 2.0f << -3.0f << 0.5f << 0.2f << 10.0f << 0.25f;
    QTest::newRow("difference below 0.00001")
            << 2.0f << 2.000005f << 0.5f << 0.2f << 10.0f << 0.65f;
    QTest::newRow("growth limit after the turn points against g")
            << 2.0f << 3.0f << -0.5f << 0.2f << 1.0f << -0.5f;
    QTest::newRow("step 40 above cutoff 30") << 2.0f << 0.0f << 0.0f << 20.0f << 1.75f << 0.4f;
    QTest::newRow("step exactly 30 kept") << 2.0f << 0.0f << 0.0f << 15.0f << 1.75f << 30.0f;
}

void TrainingTest::quickPropStep()
{
    QFETCH(float, g);
    QFETCH(float, gp);
    QFETCH(float, dp);
    QFETCH(float, eta);
    QFETCH(float, growth);
    QFETCH(float, step);
    Single s(2, 0.0f, 1.0f, g);
    for (int i = 1; i <= 2; ++i) {
        s.net.GP(2, i, 1) = gp;
        s.net.DW(2, i, 1) = dp;
    }
    TrainArgs a;
    a.eta = eta;
    a.growth = growth;
    callQP(s.net, s.data, a);
    for (int i = 1; i <= 2; ++i) {
        QVERIFY2(near(s.net.W(2, i, 1), step, 1e-6), QByteArray::number(s.net.W(2, i, 1), 'g', 9));
        QVERIFY(near(s.net.DW(2, i, 1), step, 1e-6));
        QVERIFY(near(s.net.GP(2, i, 1), g, 1e-6));
        QCOMPARE(s.net.G(2, i, 1), 0.0f);
    }
}

// Calls outside the training limits return at once: no array, no result written.
void TrainingTest::outsideLimits_data()
{
    QTest::addColumn<QList<int>>("sizes");
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("last");
    QTest::addColumn<bool>("quick");
    for (bool quick : {false, true}) {
        const char *name = quick ? "QP" : "BP";
        QTest::addRow("%s six layers", name) << QList<int> {1, 1, 1, 1, 1, 1} << 1 << 2 << quick;
        QTest::addRow("%s 1025 nodes", name) << QList<int> {1, 1025} << 1 << 2 << quick;
        QTest::addRow("%s first after last", name) << QList<int> {2, 2, 1} << 3 << 2 << quick;
        QTest::addRow("%s first 0", name) << QList<int> {2, 2, 1} << 0 << 2 << quick;
        QTest::addRow("%s last beyond the set", name) << QList<int> {2, 2, 1} << 1 << 5 << quick;
        QTest::addRow("%s negative layer size", name) << QList<int> {2, -1, 1} << 1 << 2 << quick;
    }
}

void TrainingTest::outsideLimits()
{
    QFETCH(QList<int>, sizes);
    QFETCH(int, first);
    QFETCH(int, last);
    QFETCH(bool, quick);
    std::vector<int16_t> nn(sizes.begin(), sizes.end());
    std::vector<int16_t> codes(nn.size(), 1);
    Net n(nn, codes);
    n.forEachWeight([&](int l, int i, int j) { n.W(l, i, j) = 0.5f; });
    Patterns d(4, std::max<int16_t>(nn.front(), 1), std::max<int16_t>(nn.back(), 1));
    const Net before = n;
    const Patterns dataBefore = d;
    TrainArgs a;
    a.first = static_cast<int16_t>(first);
    a.last = static_cast<int16_t>(last);
    a.nepoch = 2;
    quick ? callQP(n, d, a) : callBP(n, d, a);
    QCOMPARE(a.rms, Sentinel);
    QCOMPARE(a.ngood, int16_t(-99));
    QVERIFY(n.w == before.w && n.g == before.g && n.dw == before.dw && n.gp == before.gp);
    QVERIFY(n.x == before.x);
    QVERIFY(d.in == dataBefore.in && d.tgt == dataBefore.tgt);
}

namespace {

struct RefShape
{
    std::vector<int16_t> sizes;
    std::vector<int16_t> codes;
};

const RefShape refShapes[] = {
        {{2, 3, 1}, {0, 1, 1}}, {{3, 4, 2}, {0, 3, 2}}, {{2, 4, 3, 2, 2}, {0, 1, 3, 4, 5}},
        {{1, 2}, {0, 4}},       {{4, 3, 3}, {0, 5, 7}}, {{2, 2, 2, 2}, {0, 2, 4, 0}},
};

} // namespace

// Library against the plain reference on random nets: three calls in a row (momentum and GP
// carry over), windows inside the set, sampling and noise drawn from the same fixed clock.
void TrainingTest::matchesReference_data()
{
    QTest::addColumn<int>("shape");
    QTest::addColumn<bool>("quick");
    QTest::addColumn<int>("irand");
    QTest::addColumn<float>("inoise");
    QTest::addColumn<float>("wnoise");
    QTest::addColumn<float>("clip");
    QTest::addColumn<float>("target");
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("last");
    QTest::addColumn<double>("tol");
    for (bool quick : {false, true}) {
        const char *name = quick ? "QP" : "BP";
        QTest::addRow("%s 2-3-1 in order, whole set", name)
                << 0 << quick << 0 << 0.0f << 0.0f << 0.0f << 0.01f << 1 << 7 << 1e-4;
        QTest::addRow("%s 3-4-2 sampled, rows 2..5", name)
                << 1 << quick << 1 << 0.0f << 0.0f << 0.0f << 0.01f << 2 << 5 << 1e-4;
        QTest::addRow("%s five layers, input noise, rows 3..6", name)
                << 2 << quick << 0 << 0.1f << 0.0f << 0.0f << 0.01f << 3 << 6 << 1e-4;
        QTest::addRow("%s gaussian 1-2 sampled, both noises", name)
                << 3 << quick << 1 << 0.05f << 0.01f << 0.0f << 0.01f << 1 << 7 << 1e-4;
        QTest::addRow("%s 4-3-3 clipping, rows 2..6", name)
                << 4 << quick << 0 << 0.0f << 0.0f << 2.0f << 0.3f << 2 << 6 << 1e-4;
        QTest::addRow("%s 2-2-2-2 negative target, sampled, rows 4..7", name)
                << 5 << quick << 1 << 0.0f << 0.02f << 1.0f << -0.1f << 4 << 7 << 1e-4;
    }
}

void TrainingTest::matchesReference()
{
    QFETCH(int, shape);
    QFETCH(bool, quick);
    QFETCH(int, irand);
    QFETCH(float, inoise);
    QFETCH(float, wnoise);
    QFETCH(float, clip);
    QFETCH(float, target);
    QFETCH(int, first);
    QFETCH(int, last);
    QFETCH(double, tol);
    const RefShape &s = refShapes[shape];
    Net lib(s.sizes, s.codes);
    Patterns d(7, s.sizes.front(), s.sizes.back());
    std::mt19937 gen(static_cast<unsigned>(shape * 31 + 7));
    randomize(lib, d, gen);
    Net expected = lib;
    TrainArgs a;
    a.nepoch = 3;
    a.irand = static_cast<int16_t>(irand);
    a.inoise = inoise;
    a.wnoise = wnoise;
    a.clip = clip;
    a.target = target;
    a.temp = 0.9f;
    a.alpha = 0.4f;
    a.eta = 0.3f;
    a.first = static_cast<int16_t>(first);
    a.last = static_cast<int16_t>(last);
    TrainArgs r = a;
    static ref::Engine engine;
    for (int call = 0; call < 3; ++call) {
        const int32_t clock = 0x5A17C0DE + call * 977;
        fixClock(clock);
        quick ? callQP(lib, d, a) : callBP(lib, d, a);
        ref::train(engine, expected, d, r, quick, clock);
        QByteArray where;
        QVERIFY2(allNear(lib, expected, tol, where), where);
        QVERIFY2(near(a.rms, r.rms, tol),
                 QByteArray::number(a.rms) + " vs " + QByteArray::number(r.rms));
        QCOMPARE(a.ngood, r.ngood);
    }
    QVERIFY(lib.outsideUntouched(lib.w) && lib.outsideUntouched(lib.g));
    QVERIFY(lib.outsideUntouched(lib.dw) && lib.outsideUntouched(lib.gp));
    QVERIFY(d.in.guardsIntact() && d.tgt.guardsIntact());
    for (int l = 1; l <= lib.nl; ++l) {
        QCOMPARE(lib.X(l, lib.maxn), Sentinel);
    }
}

// Small windows train over copies laid out for the last shape seen: nets that take turns, each
// differing from the one before in layer sizes only, neuron functions only, or the dimensions of
// the weight arrays only, must each train as if alone.
void TrainingTest::smallNetsTakeTurns()
{
    struct Turn
    {
        RefShape shape;
        int spare;
    };

    const Turn turns[] = {{{{2, 3, 1}, {0, 1, 1}}, 1},
                          {{{3, 2, 1}, {0, 1, 1}}, 1},
                          {{{3, 2, 1}, {0, 3, 2}}, 1},
                          {{{3, 2, 1}, {0, 3, 2}}, 2}};
    std::vector<Net> libs;
    std::vector<Net> expected;
    std::vector<Patterns> sets;
    libs.reserve(std::size(turns));
    expected.reserve(std::size(turns));
    sets.reserve(std::size(turns));
    std::mt19937 gen(4242);
    for (const Turn &t : turns) {
        libs.emplace_back(t.shape.sizes, t.shape.codes, t.spare);
        sets.emplace_back(6, t.shape.sizes.front(), t.shape.sizes.back());
        randomize(libs.back(), sets.back(), gen);
        expected.push_back(libs.back());
    }
    static ref::Engine engine;
    for (int call = 0; call < 12; ++call) {
        const std::size_t k = std::size_t(call) % std::size(turns);
        TrainArgs a;
        a.nepoch = 2;
        a.irand = static_cast<int16_t>(call % 2);
        a.first = 1;
        a.last = 6;
        TrainArgs r = a;
        const int32_t clock = 0x1234 + call;
        fixClock(clock);
        const bool quick = call % 3 == 1;
        quick ? callQP(libs[k], sets[k], a) : callBP(libs[k], sets[k], a);
        ref::train(engine, expected[k], sets[k], r, quick, clock);
        QByteArray where;
        QVERIFY2(allNear(libs[k], expected[k], 1e-4, where),
                 "call " + QByteArray::number(call) + " " + where);
        QCOMPARE(a.ngood, r.ngood);
    }
}

// One epoch without momentum or noise steps every weight by ETA times minus the derivative of
// half the squared error over the window, measured here by central differences in double.
void TrainingTest::gradientCheck()
{
    for (const RefShape &s :
         {RefShape {{3, 4, 2}, {0, 1, 3}}, RefShape {{2, 3, 2, 1}, {0, 4, 2, 1}}}) {
        Net n(s.sizes, s.codes);
        Patterns d(8, s.sizes.front(), s.sizes.back());
        std::mt19937 gen(99);
        randomize(n, d, gen);
        Net probe = n;
        TrainArgs a;
        a.eta = 0.01f;
        a.alpha = 0.0f;
        a.first = 2;
        a.last = 6;
        a.temp = 1.1f;
        callBP(n, d, a);
        double largest = 0.0;
        n.forEachWeight([&](int l, int i, int j) {
            const float w0 = probe.W(l, i, j);
            const float up = w0 + 1e-3f;
            const float down = w0 - 1e-3f;
            probe.W(l, i, j) = up;
            const double eUp = ref::halfSquaredError(probe, d, 2, 6, a.temp);
            probe.W(l, i, j) = down;
            const double eDown = ref::halfSquaredError(probe, d, 2, 6, a.temp);
            probe.W(l, i, j) = w0;
            const double descent = -(eUp - eDown) / (double(up) - double(down));
            largest = std::max(largest, std::fabs(descent));
            QVERIFY2(near(n.DW(l, i, j) / a.eta, descent, 2e-3),
                     QByteArray::number(n.DW(l, i, j) / a.eta) + " vs "
                             + QByteArray::number(descent));
            QVERIFY(near(n.W(l, i, j) - w0, a.eta * descent, 2e-5));
        });
        QVERIFY(largest > 1e-2);
    }
}

// With the clock fixed, sampling and both noises repeat exactly; another reading differs.
void TrainingTest::fixedClockRepeats()
{
    Net start({3, 4, 2}, {0, 1, 3});
    Patterns d(9, 3, 2);
    std::mt19937 gen(5);
    randomize(start, d, gen);
    auto run = [&](int32_t clock, bool quick) {
        Net n = start;
        TrainArgs a;
        a.irand = 1;
        a.inoise = 0.1f;
        a.wnoise = 0.05f;
        a.first = 2;
        a.last = 8;
        a.nepoch = 4;
        fixClock(clock);
        for (int call = 0; call < 2; ++call) {
            quick ? callQP(n, d, a) : callBP(n, d, a);
        }
        return n.w;
    };
    for (bool quick : {false, true}) {
        const Guarded once = run(20240611, quick);
        QVERIFY(once == run(20240611, quick));
        QVERIFY(!(once == run(20240612, quick)));
    }
}

// A window of one row with random sampling always picks that row.
void TrainingTest::singleRowWindowWithSampling()
{
    Net sampled({2, 3, 1}, {0, 1, 1});
    Patterns d(5, 2, 1);
    std::mt19937 gen(11);
    randomize(sampled, d, gen);
    Net ordered = sampled;
    TrainArgs a;
    a.first = 3;
    a.last = 3;
    a.nepoch = 5;
    TrainArgs b = a;
    a.irand = 1;
    callBP(sampled, d, a);
    callBP(ordered, d, b);
    QVERIFY(sampled.w == ordered.w);
    QVERIFY(near(a.rms, b.rms, 0.0));
}

QTEST_APPLESS_MAIN(TrainingTest)

#include "tst_training.moc"
