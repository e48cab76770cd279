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
