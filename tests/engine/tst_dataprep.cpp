#include <algorithm>
#include <cmath>

#include <QTest>

#include "fixtures.h"
#include "near.h"
#include "reference.h"

namespace {

// Factors and switches of one NORMALIZE call; factor arrays carry a spare sentinel element.
struct Scaling
{
    float inLo = 0.0f;
    float inHi = 1.0f;
    float outLo = 0.0f;
    float outHi = 1.0f;
    Guarded inA {3};
    Guarded inB {3};
    Guarded outA {3};
    Guarded outB {3};
    int16_t inLog = 0;
    int16_t outLog = 0;
    int16_t global = 0;
    int16_t mode = 1;
};

void normalize(Patterns &d, Scaling &s)
{
    NORMALIZE(d.in.data(), d.tgt.data(), &d.npat, &d.nin, &d.nout, &s.inLo, &s.inHi, &s.outLo,
              &s.outHi, s.inA.data(), s.inB.data(), &s.inLog, s.outA.data(), s.outB.data(),
              &s.outLog, &s.global, &s.mode);
}

// Five patterns p with inputs (p, 10p) and target 100p.
Patterns numberedRows()
{
    Patterns d(5, 2, 1);
    for (int p = 1; p <= 5; ++p) {
        d.IN(p, 1) = float(p);
        d.IN(p, 2) = 10.0f * float(p);
        d.TGT(p, 1) = 100.0f * float(p);
    }
    return d;
}

struct Split
{
    Patterns train = numberedRows();
    Patterns test;
    int16_t istart;

    Split(int16_t ntest, int16_t mode, int16_t start)
        : test(ntest, 2, 1)
        , istart(start)
    {
        MKTEST1(train.in.data(), train.tgt.data(), &train.npat, &train.nin, &train.nout,
                test.in.data(), test.tgt.data(), &ntest, &mode, &istart, &unreadReal);
    }

    // Pattern number of training row r (the rows keep the old leading dimension 5).
    int trainRow(int r) const { return int(train.in[std::size_t(r - 1)]); }

    // Inputs and targets of every row still belong to the same pattern.
    bool rowsPaired() const
    {
        for (int r = 1; r <= train.npat; ++r) {
            const float p = train.in[std::size_t(r - 1)];
            if (train.in[std::size_t(r - 1 + 5)] != 10 * p
                || train.tgt[std::size_t(r - 1)] != 100 * p) {
                return false;
            }
        }
        for (int t = 0; t < test.npat; ++t) {
            const float p = test.in[std::size_t(t)];
            if (test.in[std::size_t(t + test.npat)] != 10 * p
                || test.tgt[std::size_t(t)] != 100 * p) {
                return false;
            }
        }
        return true;
    }
};

} // namespace

class DataPrepTest : public QObject
{
    Q_OBJECT

private slots:
    void perNode_data();
    void perNode();
    void globalFactors();
    void storedFactorsReproduce();
    void extremes();
    void givenBlock_data();
    void givenBlock();
    void randomBlock();
    void randomSample_data();
    void randomSample();
    void outsideContract();
};

// One column of values on one side; the other side holds 7, 8, 9 (range 0..1, log switch clear)
// and ends as other.
void DataPrepTest::perNode_data()
{
    QTest::addColumn<bool>("targets");
    QTest::addColumn<QList<float>>("values");
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("log");
    QTest::addColumn<float>("lo");
    QTest::addColumn<float>("hi");
    QTest::addColumn<float>("a");
    QTest::addColumn<float>("b");
    QTest::addColumn<QList<float>>("result");
    QTest::addColumn<QList<float>>("other");
    const QList<float> kept {7, 8, 9};
    const QList<float> scaled {0, 0.5f, 1};
    const float e2 = float(std::exp(2.0));
    const float e = float(std::exp(1.0));
    QTest::newRow("2,3,4 onto 0..1") << false << QList<float> {2, 3, 4} << 1 << false << 0.0f
                                     << 1.0f << 0.5f << -1.0f << QList<float> {0, 0.5f, 1} << kept;
    QTest::newRow("log 1, e^2 onto 0..1") << false << QList<float> {1, e2} << 1 << true << 0.0f
                                          << 1.0f << 0.5f << 0.0f << QList<float> {0, 1} << kept;
    QTest::newRow("reversed range reverses order")
            << false << QList<float> {2, 3, 4} << 1 << false << 1.0f << 0.0f << -0.5f << 2.0f
            << QList<float> {1, 0.5f, 0} << kept;
    QTest::newRow("tmin = tmax collapses")
            << false << QList<float> {2, 3, 4} << 1 << false << 0.3f << 0.3f << 0.0f << 0.3f
            << QList<float> {0.3f, 0.3f, 0.3f} << kept;
    QTest::newRow("equal values kept") << false << QList<float> {5, 5, 5} << 1 << false << 0.0f
                                       << 1.0f << 1.0f << 0.0f << QList<float> {5, 5, 5} << kept;
    QTest::newRow("equal values, log gives ln")
            << false << QList<float> {e, e} << 1 << true << 0.0f << 1.0f << 1.0f << 0.0f
            << QList<float> {1, 1} << kept;
    QTest::newRow("mode 4 identity") << false << QList<float> {2, 3, 4} << 4 << false << 0.0f
                                     << 1.0f << 1.0f << 0.0f << QList<float> {2, 3, 4} << kept;
    QTest::newRow("mode 2 leaves inputs")
            << false << QList<float> {2, 3, 4} << 2 << false << 0.0f << 1.0f << 1.0f << 0.0f
            << QList<float> {2, 3, 4} << scaled;
    QTest::newRow("targets, mode 2") << true << QList<float> {2, 3, 4} << 2 << false << 0.0f << 1.0f
                                     << 0.5f << -1.0f << QList<float> {0, 0.5f, 1} << kept;
    QTest::newRow("targets, mode 1 leaves them")
            << true << QList<float> {2, 3, 4} << 1 << false << 0.0f << 1.0f << 1.0f << 0.0f
            << QList<float> {2, 3, 4} << scaled;
}

void DataPrepTest::perNode()
{
    QFETCH(bool, targets);
    QFETCH(QList<float>, values);
    QFETCH(int, mode);
    QFETCH(bool, log);
    QFETCH(float, lo);
    QFETCH(float, hi);
    QFETCH(float, a);
    QFETCH(float, b);
    QFETCH(QList<float>, result);
    QFETCH(QList<float>, other);
    const int16_t rows = int16_t(values.size());
    Patterns d(rows, 1, 1);
    Scaling s;
    s.mode = int16_t(mode);
    (targets ? s.outLo : s.inLo) = lo;
    (targets ? s.outHi : s.inHi) = hi;
    (targets ? s.outLog : s.inLog) = log ? 1 : 0;
    for (int p = 1; p <= rows; ++p) {
        (targets ? d.TGT(p, 1) : d.IN(p, 1)) = values[p - 1];
        (targets ? d.IN(p, 1) : d.TGT(p, 1)) = 6.0f + float(p);
    }
    normalize(d, s);
    QVERIFY2(near((targets ? s.outA : s.inA)[0], a, 1e-6),
             QByteArray::number((targets ? s.outA : s.inA)[0]));
    QVERIFY2(near((targets ? s.outB : s.inB)[0], b, 1e-6),
             QByteArray::number((targets ? s.outB : s.inB)[0]));
    for (int p = 1; p <= rows; ++p) {
        QVERIFY(near(targets ? d.TGT(p, 1) : d.IN(p, 1), result[p - 1], 1e-6));
        QVERIFY(near(targets ? d.IN(p, 1) : d.TGT(p, 1), other[p - 1], 1e-6));
    }
    QCOMPARE(s.inA[1], Sentinel);
    QCOMPARE(s.outB[1], Sentinel);
}

// One factor pair from the extremes of the whole block, in element 1 only.
void DataPrepTest::globalFactors()
{
    Patterns d(3, 2, 1);
    const float in[] = {1, 2, 3, 4, 5, 9};
    for (int k = 0; k < 6; ++k) {
        d.in[std::size_t(k)] = in[k];
    }
    for (int p = 1; p <= 3; ++p) {
        d.TGT(p, 1) = float(p) * 2.0f;
    }
    Scaling s;
    s.global = 1;
    s.mode = 3;
    s.outLo = -1.0f;
    normalize(d, s);
    QVERIFY(near(s.inA[0], 0.125, 1e-7) && near(s.inB[0], -0.125, 1e-7));
    QVERIFY(near(s.outA[0], 0.5, 1e-7) && near(s.outB[0], -2.0, 1e-7));
    QCOMPARE(s.inA[1], Sentinel);
    QCOMPARE(s.inB[1], Sentinel);
    for (int k = 0; k < 6; ++k) {
        QVERIFY(near(d.in[std::size_t(k)], (in[k] - 1.0) / 8.0, 1e-7));
    }
    QVERIFY(near(d.TGT(3, 1), 1.0, 1e-7));

    Patterns flat(2, 1, 1);
    flat.IN(1, 1) = flat.IN(2, 1) = 3.0f;
    flat.TGT(1, 1) = flat.TGT(2, 1) = 4.0f;
    s.mode = 4;
    normalize(flat, s);
    QVERIFY(near(flat.IN(2, 1), 3.0, 0.0) && near(flat.TGT(2, 1), 4.0, 0.0));
    QVERIFY(near(s.inA[0], 1.0, 0.0) && near(s.outB[0], 0.0, 0.0));
}

// Mode 0 applies the factors another block produced, also to values outside that block's range.
void DataPrepTest::storedFactorsReproduce()
{
    for (int16_t global : {int16_t(0), int16_t(1)}) {
        Patterns first(3, 2, 1);
        const float values[] = {1, 2, 4, 10, 20, 30};
        for (int k = 0; k < 6; ++k) {
            first.in[std::size_t(k)] = values[k];
        }
        first.TGT(1, 1) = 1.0f;
        first.TGT(2, 1) = 5.0f;
        first.TGT(3, 1) = 3.0f;
        Scaling s;
        s.global = global;
        s.mode = 3;
        s.outLog = 1;
        normalize(first, s);
        const float a0 = s.inA[0];
        const float b0 = s.inB[0];
        Patterns later(2, 2, 1);
        later.IN(1, 1) = 8.0f;
        later.IN(2, 1) = -3.0f;
        later.TGT(1, 1) = 25.0f;
        later.TGT(2, 1) = 3.0f;
        s.mode = 0;
        normalize(later, s);
        QVERIFY(near(s.inA[0], a0, 0.0) && near(s.inB[0], b0, 0.0));
        QVERIFY(near(later.IN(1, 1), a0 * 8.0 + b0, 1e-6));
        QVERIFY(near(later.IN(2, 1), a0 * -3.0 + b0, 1e-6));
        QVERIFY(near(later.TGT(1, 1), s.outA[0] * std::log(25.0) + s.outB[0], 1e-6));
        QVERIFY(near(later.TGT(2, 1), first.TGT(3, 1), 1e-6));
    }
}

void DataPrepTest::extremes()
{
    Patterns d(2, 2, 2);
    const float in[] = {3, 0, -2, 7};
    const float tgt[] = {5, 6, 0.5f, 9};
    for (int k = 0; k < 4; ++k) {
        d.in[std::size_t(k)] = in[k];
        d.tgt[std::size_t(k)] = tgt[k];
    }
    float inMin = 0, inMax = 0, outMin = 0, outMax = 0;
    int16_t inNonPos = 0;
    int16_t outNonPos = 0;
    MINMAX(d.in.data(), d.tgt.data(), &d.npat, &d.nin, &d.nout, &inMin, &inMax, &outMin, &outMax,
           &inNonPos, &outNonPos);
    QVERIFY(near(inMin, -2.0, 0.0) && near(inMax, 7.0, 0.0));
    QVERIFY(near(outMin, 0.5, 0.0) && near(outMax, 9.0, 0.0));
    QCOMPARE(inNonPos, int16_t(1));
    QCOMPARE(outNonPos, int16_t(0));
    d.in[2] = 1.0f;
    outNonPos = 1;
    MINMAX(d.in.data(), d.tgt.data(), &d.npat, &d.nin, &d.nout, &inMin, &inMax, &outMin, &outMax,
           &inNonPos, &outNonPos);
    QCOMPARE(inNonPos, int16_t(1));
    QCOMPARE(outNonPos, int16_t(1));
    d.in[1] = 2.0f;
    MINMAX(d.in.data(), d.tgt.data(), &d.npat, &d.nin, &d.nout, &inMin, &inMax, &outMin, &outMax,
           &inNonPos, &outNonPos);
    QCOMPARE(inNonPos, int16_t(0));
}

// Mode 3 takes rows istart.. out in order and closes the gap; the rest keep their order.
void DataPrepTest::givenBlock_data()
{
    QTest::addColumn<int>("istart");
    QTest::addColumn<int>("ntest");
    QTest::addColumn<QList<int>>("test");
    QTest::addColumn<QList<int>>("train");
    QTest::newRow("p1, p2 out") << 1 << 2 << QList<int> {1, 2} << QList<int> {3, 4, 5};
    QTest::newRow("block at the end") << 4 << 2 << QList<int> {4, 5} << QList<int> {1, 2, 3};
    QTest::newRow("block in the middle") << 2 << 3 << QList<int> {2, 3, 4} << QList<int> {1, 5};
}

void DataPrepTest::givenBlock()
{
    QFETCH(int, istart);
    QFETCH(int, ntest);
    QFETCH(QList<int>, test);
    QFETCH(QList<int>, train);
    Split s(int16_t(ntest), 3, int16_t(istart));
    QCOMPARE(s.train.npat, int16_t(train.size()));
    QCOMPARE(s.istart, int16_t(istart));
    for (int r = 1; r <= train.size(); ++r) {
        QCOMPARE(s.trainRow(r), train[r - 1]);
    }
    for (int t = 0; t < test.size(); ++t) {
        QCOMPARE(int(s.test.in[std::size_t(t)]), test[t]);
    }
    QVERIFY(s.rowsPaired());
    QVERIFY(s.test.in.guardsIntact() && s.test.tgt.guardsIntact() && s.train.in.guardsIntact());
}

// Mode 2 picks a start in 1..NPAT-NTEST+1, returns it, and behaves as mode 3 from there.
void DataPrepTest::randomBlock()
{
    QList<int> starts;
    for (int32_t clock = 1; clock <= 60; ++clock) {
        fixClock(clock * 7919);
        Split s(2, 2, -1);
        QVERIFY(s.istart >= 1 && s.istart <= 4);
        starts.append(s.istart);
        QCOMPARE(int(s.test.in[0]), int(s.istart));
        QCOMPARE(int(s.test.in[1]), s.istart + 1);
        for (int r = 1, p = 1; r <= 3; ++r, ++p) {
            if (p == s.istart) {
                p += 2;
            }
            QCOMPARE(s.trainRow(r), p);
        }
        QVERIFY(s.rowsPaired());
    }
    QVERIFY(starts.contains(1) && starts.contains(4));
}

// Mode 1 (and any mode outside 1..3) shuffles with the generator and takes the last rows.
void DataPrepTest::randomSample_data()
{
    QTest::addColumn<int>("mode");
    QTest::newRow("mode 1") << 1;
    QTest::newRow("mode 0 acts as 1") << 0;
    QTest::newRow("mode 7 acts as 1") << 7;
}

void DataPrepTest::randomSample()
{
    QFETCH(int, mode);
    const int32_t clock = 31337;
    fixClock(clock);
    Split s(2, int16_t(mode), -1);
    QCOMPARE(s.istart, int16_t(4));
    QCOMPARE(s.train.npat, int16_t(3));
    ref::Random gen;
    gen.reseed(clock);
    int order[] = {1, 2, 3, 4, 5};
    for (int k = 1; k <= 5; ++k) {
        const int j = int(gen.uniform(float(k), 5.0f) + 0.5f);
        std::swap(order[k - 1], order[j - 1]);
    }
    QList<int> all;
    for (int r = 1; r <= 3; ++r) {
        QCOMPARE(s.trainRow(r), order[r - 1]);
        all.append(s.trainRow(r));
    }
    for (int t = 0; t < 2; ++t) {
        QCOMPARE(int(s.test.in[std::size_t(t)]), order[3 + t]);
        all.append(int(s.test.in[std::size_t(t)]));
    }
    std::sort(all.begin(), all.end());
    QCOMPARE(all, (QList<int> {1, 2, 3, 4, 5}));
    QVERIFY(s.rowsPaired());
}

// Calls that would reach outside the caller's arrays return without writing.
void DataPrepTest::outsideContract()
{
    const Patterns original = numberedRows();

    const struct
    {
        int16_t ntest;
        int16_t mode;
        int16_t istart;
    } splits[] = {{0, 1, 1}, {5, 1, 1}, {2, 3, 0}, {2, 3, 5}, {-1, 2, 1}};

    for (const auto &c : splits) {
        Split s(c.ntest > 0 ? c.ntest : 1, c.mode, c.istart);
        Patterns d = numberedRows();
        Patterns test(1, 2, 1);
        int16_t ntest = c.ntest;
        int16_t mode = c.mode;
        int16_t istart = c.istart;
        MKTEST1(d.in.data(), d.tgt.data(), &d.npat, &d.nin, &d.nout, test.in.data(),
                test.tgt.data(), &ntest, &mode, &istart, &unreadReal);
        QCOMPARE(d.npat, int16_t(5));
        QCOMPARE(istart, c.istart);
        QVERIFY(d.in == original.in && d.tgt == original.tgt);
        QCOMPARE(test.in[0], 0.0f);
    }
    Patterns empty(0, 1, 1);
    Scaling s;
    normalize(empty, s);
    QCOMPARE(s.inA[0], Sentinel);
    float unset = Sentinel;
    int16_t flag = -5;
    MINMAX(empty.in.data(), empty.tgt.data(), &empty.npat, &empty.nin, &empty.nout, &unset, &unset,
           &unset, &unset, &flag, &flag);
    QCOMPARE(unset, Sentinel);
    QCOMPARE(flag, int16_t(-5));
}

QTEST_APPLESS_MAIN(DataPrepTest)

#include "tst_dataprep.moc"
