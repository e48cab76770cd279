#include <chrono>
#include <thread>

#include <QTest>

#include "fixtures.h"
#include "near.h"
#include "reference.h"
#include "rng.h"

class RandomTest : public QObject
{
    Q_OBJECT

private slots:
    void generatorStep();
    void seedFromClock_data();
    void seedFromClock();
    void randomWeights_data();
    void randomWeights();
    void sameClockSameWeights();
    void zeroTrainingMemory();
};

// From state (1, 1) one step gives 40014 and 40692; z wraps to 2147483562 - 678.
void RandomTest::generatorStep()
{
    engine::Lecuyer gen;
    gen.s1 = 1;
    gen.s2 = 1;
    const double r = gen.next();
    QCOMPARE(gen.s1, 40014);
    QCOMPARE(gen.s2, 40692);
    QVERIFY2(near(r, 0.99999968, 1e-8), QByteArray::number(r, 'g', 12));
    QVERIFY(near(r, (2147483562 - 678) * 4.65661305739176e-10, 0.0));
}

void RandomTest::seedFromClock_data()
{
    QTest::addColumn<int>("clock");
    QTest::addColumn<int>("s1");
    QTest::addColumn<int>("s2");
    QTest::newRow("zero words take the top of their range") << 0 << 2147483562 << 2147483398;
    QTest::newRow("halves swapped, second word shifted") << 0x00010000 << 1 << 16;
    QTest::newRow("plain words stay") << 0x12345678 << 1450709556 << 1736516421;
    QTest::newRow("top bit set: arithmetic shift, one reduction") << 0x00018000 << 87 << 492;
    QTest::newRow("all bits set: two reductions") << -1 << 171 << 499;
}

void RandomTest::seedFromClock()
{
    QFETCH(int, clock);
    QFETCH(int, s1);
    QFETCH(int, s2);
    engine::Lecuyer gen;
    gen.seed(clock);
    QCOMPARE(gen.s1, s1);
    QCOMPARE(gen.s2, s2);
}

// RNDW draws each weight of the visited set in order (bias last) from the clock-seeded generator,
// and touches nothing else.
void RandomTest::randomWeights_data()
{
    QTest::addColumn<float>("low");
    QTest::addColumn<float>("high");
    QTest::newRow("default range -3..3") << -3.0f << 3.0f;
    QTest::newRow("equal bounds give exactly that value") << 0.7f << 0.7f;
    QTest::newRow("reversed bounds") << 2.0f << -1.0f;
}

void RandomTest::randomWeights()
{
    QFETCH(float, low);
    QFETCH(float, high);
    Net n({2, 3, 2}, {0, 1, 1});
    const int32_t clock = 987654321;
    fixClock(clock);
    RNDW(n.w.data(), n.nn.data(), &n.nl, &n.wdim2, &unreadCount, &low, &high, &unreadReal);
    ref::Random gen;
    gen.reseed(clock);
    n.forEachWeight([&](int l, int i, int j) {
        const float w = n.W(l, i, j);
        QVERIFY(near(w, gen.uniform(low, high), 0.0));
        if (low < high) {
            QVERIFY(w > low && w <= high);
        } else if (low > high) {
            QVERIFY(w >= high && w < low);
        } else {
            QVERIFY(near(w, low, 0.0));
        }
    });
    QVERIFY(n.outsideUntouched(n.w));
}

// Two calls that read the same clock draw the same weights; a later real clock reading differs.
void RandomTest::sameClockSameWeights()
{
    Net a({3, 4, 2}, {0, 1, 1});
    Net b = a;
    float low = -3.0f;
    float high = 3.0f;
    fixClock(42);
    RNDW(a.w.data(), a.nn.data(), &a.nl, &a.wdim2, &unreadCount, &low, &high, &unreadReal);
    RNDW(b.w.data(), b.nn.data(), &b.nl, &b.wdim2, &unreadCount, &low, &high, &unreadReal);
    QVERIFY(a.w == b.w);
    int16_t real = 0;
    FIXCLOCK(nullptr, &real);
    RNDW(b.w.data(), b.nn.data(), &b.nl, &b.wdim2, &unreadCount, &low, &high, &unreadReal);
    QVERIFY(!(a.w == b.w));
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    RNDW(a.w.data(), a.nn.data(), &a.nl, &a.wdim2, &unreadCount, &low, &high, &unreadReal);
    QVERIFY(!(a.w == b.w));
}

void RandomTest::zeroTrainingMemory()
{
    Net n({3, 2, 2}, {0, 1, 1});
    n.forEachWeight([&](int l, int i, int j) {
        n.G(l, i, j) = 1.5f;
        n.DW(l, i, j) = -2.5f;
    });
    ZEROW(n.g.data(), n.dw.data(), n.nn.data(), &n.nl, &n.wdim2, &unreadCount);
    n.forEachWeight([&](int l, int i, int j) {
        QCOMPARE(n.G(l, i, j), 0.0f);
        QCOMPARE(n.DW(l, i, j), 0.0f);
    });
    QVERIFY(n.outsideUntouched(n.g) && n.outsideUntouched(n.dw));
}

QTEST_APPLESS_MAIN(RandomTest)

#include "tst_random.moc"
