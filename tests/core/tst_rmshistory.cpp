#include <QTest>

#include "near.h"
#include "trainfixture.h"

class TestRmsHistory : public QObject
{
    Q_OBJECT

private slots:

    // With 5 epochs per call the odd epoch counts 5 and 15 are skipped.
    void firstPointAtEpochTen()
    {
        RmsHistory h;
        for (int call = 1; call <= 4; ++call) {
            recordRmsPoint(h, 1.0f / float(call), 5);
        }
        QVERIFY(h.RmsCalls == 4);
        QCOMPARE(h.RmsCount, int16_t(2));
        QCOMPARE(h.RmsPoint[1].x, 10.0f);
        QCOMPARE(h.RmsPoint[1].y, 0.5f);
        QCOMPARE(h.RmsPoint[2].x, 20.0f);
        QCOMPARE(h.RmsPoint[2].y, 0.25f);
    }

    // 99 points fill the history; the 100th recording keeps points 1, 3, ..., 99, drops its own
    // and doubles the step.
    void thinning()
    {
        RmsHistory h;
        for (int call = 1; call <= 198; ++call) {
            recordRmsPoint(h, float(call), 1);
        }
        QCOMPARE(h.RmsCount, int16_t(99));
        QCOMPARE(h.RmsPoint[99].x, 198.0f);
        recordRmsPoint(h, 199.0f, 1);
        QCOMPARE(h.RmsCount, int16_t(99));
        recordRmsPoint(h, 200.0f, 1);
        QCOMPARE(h.RmsCount, int16_t(50));
        QCOMPARE(h.RmsStep, 4.0f);
        for (int k = 1; k <= 50; ++k) {
            QCOMPARE(h.RmsPoint[std::size_t(k)].x, float(4 * k - 2));
            QCOMPARE(h.RmsPoint[std::size_t(k)].y, float(4 * k - 2));
        }
        // Next kept: the next multiple of 4.
        for (int call = 201; call <= 204; ++call) {
            recordRmsPoint(h, float(call), 1);
        }
        QCOMPARE(h.RmsCount, int16_t(51));
        QCOMPARE(h.RmsPoint[51].x, 204.0f);
    }

    // However long the run, the history keeps 50 to 99 points from the run's first recorded
    // epoch to its latest ones, evenly spread: no gap more than twice another.
    void manyThinnings_data()
    {
        QTest::addColumn<int>("epochsPerCall");
        QTest::addColumn<float>("firstEpoch");
        QTest::addRow("1 epoch per call") << 1 << 2.0f;
        QTest::addRow("5 epochs per call") << 5 << 10.0f;
    }

    void manyThinnings()
    {
        QFETCH(int, epochsPerCall);
        QFETCH(float, firstEpoch);
        RmsHistory h;
        int thinnings = 0;
        for (int call = 1; call <= 40000; ++call) {
            const float step = h.RmsStep;
            recordRmsPoint(h, 1.0f, int16_t(epochsPerCall));
            thinnings += h.RmsStep > step;
            if (thinnings == 0) {
                continue;
            }
            QVERIFY(h.RmsCount >= 50 && h.RmsCount <= 99);
            QCOMPARE(h.RmsPoint[1].x, firstEpoch);
            float shortest = 1e30f;
            float longest = 0.0f;
            for (int k = 2; k <= h.RmsCount; ++k) {
                const float gap = h.RmsPoint[std::size_t(k)].x - h.RmsPoint[std::size_t(k - 1)].x;
                shortest = std::min(shortest, gap);
                longest = std::max(longest, gap);
            }
            QVERIFY2(shortest > 0.0f && longest <= 2.0f * shortest,
                     qPrintable(QStringLiteral("call %1: gaps %2..%3")
                                        .arg(call)
                                        .arg(shortest)
                                        .arg(longest)));
            // The latest point is never more than two gaps behind the run.
            const float behind =
                    float(call * epochsPerCall) - h.RmsPoint[std::size_t(h.RmsCount)].x;
            QVERIFY2(behind <= 2.0f * longest, qPrintable(QString::number(call)));
        }
        QVERIFY2(thinnings >= 6, qPrintable(QString::number(thinnings)));
    }

    // New Net, Randomize and a new run each start the history afresh.
    void clearedByResetRandomizeAndTraining()
    {
        TestBench b;
        QVERIFY(buildNet(b.wb, {"2", "2", "1"}));
        RmsHistory &h = b.wb.rmsHistory;
        auto fill = [&] {
            for (int call = 1; call <= 300; ++call) {
                recordRmsPoint(h, 1.0f, 5);
            }
            QVERIFY(h.RmsStep > 2.0f);
        };
        fill();
        randomizeWeights(b.wb);
        QVERIFY(h.RmsCalls == 0);
        fill();
        resetModel(b.wb);
        QVERIFY(h.RmsCalls == 0);
        recordRmsPoint(h, 0.5f, 2);
        QCOMPARE(h.RmsCount, int16_t(1));
        QCOMPARE(h.RmsStep, 2.0f);
        QCOMPARE(h.RmsPoint[1].x, 2.0f);
    }
};

QTEST_GUILESS_MAIN(TestRmsHistory)
#include "tst_rmshistory.moc"
