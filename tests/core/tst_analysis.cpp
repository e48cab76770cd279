#include <cmath>
#include <cstring>
#include <limits>

#include <QRandomGenerator>
#include <QTest>

#include "near.h"
#include "trainfixture.h"
#include "training/analysis.h"
#include "training/report.h"

class TestAnalysis : public QObject
{
    Q_OBJECT

private slots:

    // One pattern (2, 0, 5) through y = x1 + 2 x2 + 0 x3 + 0.25, target 0: e0 = 2.25. Input 1
    // moves by 10 % (0.2), input 2 is 0 and moves by the step itself (0.1), input 3 does nothing.
    void sensitivity_data()
    {
        QTest::addColumn<std::vector<float>>("weights");
        QTest::addColumn<std::vector<double>>("sens");
        QTest::addColumn<QString>("text");
        const double q = std::sqrt(2.45) - 1.5;
        QTest::addRow("hand-computed")
                << std::vector<float> {1, 2, 0, 0.25f}
                << std::vector<double> {std::pow(q / 0.2, 2), std::pow(q / 0.1, 2), 0}
                << "0001) 0.250\r\n0002) 1.000\r\n0003) 0.000\r\n";
        QTest::addRow("no input has an effect")
                << std::vector<float> {0, 0, 0, 0.25f} << std::vector<double> {0, 0, 0}
                << "0001) 0.000\r\n0002) 0.000\r\n0003) 0.000\r\n";
    }

    void sensitivity()
    {
        QFETCH(std::vector<float>, weights);
        QFETCH(std::vector<double>, sens);
        QFETCH(QString, text);
        TestBench b;
        QVERIFY(buildNet(b.wb, {"3", "1"}, {1, 2}));
        setWeights(b.wb.model, 2, 1, weights);
        setPatterns(b.wb, {{2, 0, 5}}, {{0}});
        std::vector<float> got;
        const float maxSens = computeSensitivity(b.wb, 0.1f, got);
        QCOMPARE(got.size(), sens.size());
        for (std::size_t i = 0; i < sens.size(); ++i) {
            QVERIFY2(near(got[i], sens[i], 1e-5), qPrintable(QString::number(got[i])));
        }
        QVERIFY(near(maxSens, sens[1], 1e-5));

        QVERIFY(showSensitivity(b.wb));
        const ReportState &r = b.wb.report;
        QCOMPARE(r.text, text);
        QCOMPARE(r.caption, QStringLiteral("Input Sensitivity"));
        QCOMPARE(b.wb.model.ReportMode, ReportKind::Sensitivity);
        QVERIFY(r.sensPanelVisible && !r.layerPanelVisible);
    }

    // The perturbed inputs go back bit for bit, for every step the spinner allows.
    void inputsUnchanged_data()
    {
        QTest::addColumn<int>("percent");
        QTest::addRow("10 percent") << 10;
        QTest::addRow("-100 percent") << -100;
        QTest::addRow("33 percent") << 33;
    }

    void inputsUnchanged()
    {
        QFETCH(int, percent);
        TestBench b;
        QVERIFY(buildNet(b.wb, {"4", "3", "2"}));
        QRandomGenerator rng(7);
        Rows in, out;
        for (int p = 0; p < 25; ++p) {
            in.push_back({float(rng.bounded(6.0) - 3.0), 0.0f, 0.1f * 3.0f,
                          std::numeric_limits<float>::denorm_min()});
            out.push_back({float(rng.bounded(1.0)), float(rng.bounded(1.0))});
        }
        setPatterns(b.wb, in, out);
        const std::vector<float> before = b.wb.model.PatIn.values();
        b.wb.report.sensStep = percent;
        QVERIFY(showSensitivity(b.wb));
        const std::vector<float> &after = b.wb.model.PatIn.values();
        QCOMPARE(after.size(), before.size());
        QVERIFY(std::memcmp(after.data(), before.data(), before.size() * sizeof(float)) == 0);
        QVERIFY(b.wb.report.text.contains("1.000"));
        QVERIFY(!b.wb.report.text.contains("NaN"));
    }

    // Each weight right-aligned in 11 columns; a wider one is shown whole, not cut to its
    // rightmost 11 characters.
    void weightListing()
    {
        TestBench b;
        QVERIFY(buildNet(b.wb, {"2", "3", "1"}));
        NetModel &m = b.wb.model;
        setWeights(m, 2, 1, {0.5f, -1.25f, 12345.5f});
        setWeights(m, 2, 2, {0, 0, 0});
        setWeights(m, 2, 3, {2, -100, 3});
        setWeights(m, 3, 1, {1, 2, 3, 4});
        showWeights(b.wb);
        const ReportState &r = b.wb.report;
        QCOMPARE(r.text,
                 QStringLiteral("13\r\n"
                                "2\r\n"
                                "   0.500000   -1.250000 12345.500000 \r\n"
                                "   0.000000    0.000000    0.000000 \r\n"
                                "   2.000000 -100.000000    3.000000 \r\n"
                                "3\r\n"
                                "   1.000000    2.000000    3.000000    4.000000 \r\n"));
        QCOMPARE(r.caption, QStringLiteral("View Weights"));
        QCOMPARE(m.ReportMode, ReportKind::Weights);
        QVERIFY(!r.layerPanelVisible && !r.sensPanelVisible);
        QCOMPARE(b.wb.form.text("PNL_MaxW"), QStringLiteral("1.2346E+04"));

        const float inf = std::numeric_limits<float>::infinity();
        setWeights(m, 3, 1, {std::numeric_limits<float>::quiet_NaN(), inf, -inf, 4});
        showWeights(b.wb);
        QVERIFY(r.text.endsWith("3\r\n        NaN         Inf        -Inf    4.000000 \r\n"));
    }

    void weightDeltaListing()
    {
        TestBench b;
        QVERIFY(buildNet(b.wb, {"2", "3", "1"}));
        NetModel &m = b.wb.model;
        m.WeightDelta(2, 1, 1) = -0.125f;
        m.WeightDelta(3, 4, 1) = 0.0625f;
        showWeightDelta(b.wb);
        const ReportState &r = b.wb.report;
        QVERIFY(r.text.startsWith("13\r\n2\r\n  -0.125000    0.000000    0.000000 \r\n"));
        QVERIFY(r.text.endsWith("3\r\n   0.000000    0.000000    0.000000    0.062500 \r\n"));
        QCOMPARE(r.caption, QStringLiteral("View Weights Delta"));
        QCOMPARE(m.ReportMode, ReportKind::WeightDelta);
        // The layer spinner rebuilds the listing of the mode shown.
        spinReportLayer(b.wb, false);
        QCOMPARE(m.ReportMode, ReportKind::WeightDelta);
        QCOMPARE(r.caption, QStringLiteral("View Weights Delta"));
    }

    void sensitivitySpinner_data()
    {
        QTest::addColumn<int>("from");
        QTest::addColumn<bool>("up");
        QTest::addColumn<int>("to");
        QTest::addRow("10 up") << 10 << true << 11;
        QTest::addRow("2 down") << 2 << false << 1;
        QTest::addRow("1 down skips 0") << 1 << false << -1;
        QTest::addRow("-1 up skips 0") << -1 << true << 1;
        QTest::addRow("-99 down") << -99 << false << -100;
        QTest::addRow("-100 down stays") << -100 << false << -100;
        QTest::addRow("100 up stays") << 100 << true << 100;
    }

    void sensitivitySpinner()
    {
        QFETCH(int, from);
        QFETCH(bool, up);
        QFETCH(int, to);
        TestBench b;
        QCOMPARE(b.wb.report.sensStep, 10);
        b.wb.report.sensStep = from;
        spinSensitivity(b.wb, up);
        QCOMPARE(b.wb.report.sensStep, to);
    }
};

QTEST_GUILESS_MAIN(TestAnalysis)
#include "tst_analysis.moc"
