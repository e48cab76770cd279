#include <QTest>

#include "fixtures.h"
#include "near.h"

class ForwardTest : public QObject
{
    Q_OBJECT

private slots:
    void neuronFunction_data();
    void neuronFunction();
    void twoTwoOneNet();
    void emptyLayerBelowUsesBias();
    void setError_data();
    void setError();
    void emptySet();
    void outsideContract();
};

// A 1-1 net with weight 1 and bias 0 feeds the input straight in as the net input.
void ForwardTest::neuronFunction_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<float>("temp");
    QTest::addColumn<float>("x");
    QTest::addColumn<float>("y");
    QTest::addColumn<double>("tol");
    QTest::newRow("sigmoid at 0") << 1 << 1.0f << 0.0f << 0.5f << 1e-7;
    QTest::newRow("sigmoid temp 2") << 1 << 2.0f << 1.0f << 0.88079709f << 1e-7;
    QTest::newRow("sigmoid temp 0") << 1 << 0.0f << 5.0f << 0.5f << 1e-7;
    QTest::newRow("sigmoid x*t = 100 rounds to 1") << 1 << 1.0f << 100.0f << 1.0f << 0.0;
    QTest::newRow("sigmoid x*t = -100 clamps at 82")
            << 1 << 1.0f << -100.0f << 2.4426007e-36f << 1e-42;
    QTest::newRow("linear temp 2") << 2 << 2.0f << 1.5f << 3.0f << 1e-7;
    QTest::newRow("linear temp 0") << 2 << 0.0f << 5.0f << 0.0f << 0.0;
    QTest::newRow("tanh") << 3 << 1.0f << 0.5f << 0.46211717f << 1e-7;
    QTest::newRow("tanh temp 0") << 3 << 0.0f << 5.0f << 0.0f << 0.0;
    QTest::newRow("gaussian") << 4 << 1.0f << 1.0f << 0.36787944f << 1e-7;
    QTest::newRow("gaussian temp 0") << 4 << 0.0f << 5.0f << 1.0f << 0.0;
    QTest::newRow("gaussian x*x*t = 90 clamps at 82")
            << 4 << 0.9f << 10.0f << 2.4426007e-36f << 1e-42;
    QTest::newRow("sigmoid+0.1 outputs as sigmoid") << 5 << 1.0f << 1.0f << 0.7310586f << 1e-7;
    QTest::newRow("code 0 as sigmoid") << 0 << 1.0f << 1.0f << 0.7310586f << 1e-7;
    QTest::newRow("code 6 as sigmoid") << 6 << 1.0f << 1.0f << 0.7310586f << 1e-7;
    QTest::newRow("code -1 as sigmoid") << -1 << 1.0f << 1.0f << 0.7310586f << 1e-7;
}

void ForwardTest::neuronFunction()
{
    QFETCH(int, code);
    QFETCH(float, temp);
    QFETCH(float, x);
    QFETCH(float, y);
    QFETCH(double, tol);
    Net n({1, 1}, {1, static_cast<int16_t>(code)});
    n.W(2, 1, 1) = 1.0f;
    n.W(2, 2, 1) = 0.0f;
    Patterns d(1, 1, 1);
    d.IN(1, 1) = x;
    d.TGT(1, 1) = 0.0f;
    const float err = callCALCNET(n, d, 1, temp);
    QVERIFY2(near(n.X(2, 1), y, tol), QByteArray::number(n.X(2, 1), 'g', 9));
    QVERIFY(near(err, std::fabs(y), tol));
    QCOMPARE(n.X(1, 1), Sentinel);
    QCOMPARE(n.X(2, 2), Sentinel);
}

// Inputs (1, 2) through a linear layer (-1.25 and 0) into a sigmoid output at net input 0.
void ForwardTest::twoTwoOneNet()
{
    Net n({2, 2, 1}, {0, 2, 1});
    const float weights[][4] = {{2, 1, 1, 0.5f}, {2, 2, 1, -1}, {2, 3, 1, 0.25f},
                                {2, 1, 2, 1},    {2, 2, 2, 1},  {2, 3, 2, -3},
                                {3, 1, 1, 2},    {3, 2, 1, 1},  {3, 3, 1, 2.5f}};
    for (const auto &w : weights) {
        n.W(int(w[0]), int(w[1]), int(w[2])) = w[3];
    }
    Patterns d(3, 2, 1);
    const float rows[][3] = {{9, 9, 9}, {1, 2, 1}, {-9, -9, -9}};
    for (int p = 1; p <= 3; ++p) {
        d.IN(p, 1) = rows[p - 1][0];
        d.IN(p, 2) = rows[p - 1][1];
        d.TGT(p, 1) = rows[p - 1][2];
    }
    const float err = callCALCNET(n, d, 2, 1.0f);
    QVERIFY(near(n.X(2, 1), -1.25, 1e-7));
    QVERIFY(near(n.X(2, 2), 0.0, 1e-7));
    QVERIFY(near(n.X(3, 1), 0.5, 1e-7));
    QVERIFY(near(err, 0.5, 1e-7));
    QCOMPARE(n.X(1, 1), Sentinel);
    QVERIFY(n.x.guardsIntact() && n.outsideUntouched(n.g));
}

void ForwardTest::emptyLayerBelowUsesBias()
{
    Net n({0, 2}, {0, 2});
    n.W(2, 1, 1) = 0.3f;
    n.W(2, 1, 2) = -0.7f;
    Patterns d(1, 0, 2);
    callCALCNET(n, d, 1, 1.0f);
    QVERIFY(near(n.X(2, 1), 0.3, 1e-7));
    QVERIFY(near(n.X(2, 2), -0.7, 1e-7));
}

// Linear 1-k net copying its input to every output; targets are off by offset*(p or 1).
void ForwardTest::setError_data()
{
    QTest::addColumn<int>("outputs");
    QTest::addColumn<float>("offset");
    QTest::addColumn<bool>("growing");
    QTest::addColumn<float>("target");
    QTest::addColumn<float>("rms");
    QTest::addColumn<int>("good");
    QTest::newRow("two outputs off by 1 give sqrt 2")
            << 2 << 1.0f << false << 1.5f << 1.4142135f << 3;
    QTest::newRow("exact with target 0") << 1 << 0.0f << false << 0.0f << 0.0f << 3;
    QTest::newRow("error equal to target is good") << 1 << 0.5f << false << 0.5f << 0.5f << 3;
    QTest::newRow("error just above target") << 1 << 0.5f << false << 0.4999f << 0.5f << 0;
    QTest::newRow("one output: plain RMS") << 1 << 0.5f << true << 1.0f << 1.0801234f << 2;
}

void ForwardTest::setError()
{
    QFETCH(int, outputs);
    QFETCH(float, offset);
    QFETCH(bool, growing);
    QFETCH(float, target);
    QFETCH(float, rms);
    QFETCH(int, good);
    Net n({1, static_cast<int16_t>(outputs)}, {0, 2});
    Patterns d(3, 1, static_cast<int16_t>(outputs));
    for (int k = 1; k <= outputs; ++k) {
        n.W(2, 1, k) = 1.0f;
        n.W(2, 2, k) = 0.0f;
    }
    for (int p = 1; p <= 3; ++p) {
        d.IN(p, 1) = 0.25f * float(p);
        for (int k = 1; k <= outputs; ++k) {
            d.TGT(p, k) = d.IN(p, 1) + offset * (growing ? float(p) : 1.0f);
        }
    }
    float result = Sentinel;
    int16_t ngood = -1;
    callCALCERR(n, d, target, result, ngood);
    QVERIFY2(near(result, rms, 1e-6), QByteArray::number(result, 'g', 9));
    QCOMPARE(ngood, int16_t(good));
    QVERIFY(near(n.X(2, 1), 0.75, 1e-7));
}

// No patterns: RMS 0 and no good patterns rather than 0/0.
void ForwardTest::emptySet()
{
    Net n({1, 1}, {0, 1});
    Patterns d(0, 1, 1);
    const Guarded x = n.x;
    float rms = Sentinel;
    int16_t ngood = 5;
    callCALCERR(n, d, 1.0f, rms, ngood);
    QVERIFY(near(rms, 0.0, 0.0));
    QCOMPARE(ngood, int16_t(0));
    QVERIFY(n.x == x);
}

// A pattern row outside the set, a negative layer size or a bias row beyond WDIM2 writes nothing.
void ForwardTest::outsideContract()
{
    Net n({2, 2, 1}, {0, 1, 1});
    Patterns d(3, 2, 1);
    const Guarded x = n.x;
    QCOMPARE(callCALCNET(n, d, 0, 1.0f), Sentinel);
    QCOMPARE(callCALCNET(n, d, 4, 1.0f), Sentinel);
    n.wdim2 = 2;
    QCOMPARE(callCALCNET(n, d, 1, 1.0f), Sentinel);
    n.wdim2 = 4;
    n.nn[1] = -1;
    QCOMPARE(callCALCNET(n, d, 1, 1.0f), Sentinel);
    float rms = Sentinel;
    int16_t ngood = 5;
    callCALCERR(n, d, 1.0f, rms, ngood);
    QCOMPARE(rms, Sentinel);
    QCOMPARE(ngood, int16_t(5));
    QVERIFY(n.x == x);
}

QTEST_APPLESS_MAIN(ForwardTest)

#include "tst_forward.moc"
