#include <cmath>
#include <limits>
#include <optional>

#include <QTemporaryDir>
#include <QTest>

#include "files/weightcommands.h"
#include "model/numberformat.h"
#include "model/rmshistory.h"
#include "model/textfile.h"
#include "plots/outputplots.h"
#include "trainfixture.h"
#include "training/evaluation.h"
#include "training/parameters.h"
#include "training/training.h"

namespace {

// The weights of every iteration of a run (index = IterCount, 0 = before the first) and the
// test RMS error each iteration measured.
struct RunRecord
{
    std::vector<Array3> weights;
    std::vector<float> testRms;
};

// Records the run's weights and test errors through the iteration events.
void record(Workbench &wb, RunRecord &rec, QObject *context)
{
    rec.weights = {wb.model.Weights};
    rec.testRms = {std::numeric_limits<float>::quiet_NaN()};
    QObject::connect(&wb.events, &WorkbenchEvents::iterationDone, context,
                     [&wb, &rec](const IterationResult &r) {
                         QCOMPARE(r.iterations, int(rec.weights.size()));
                         rec.weights.push_back(wb.model.Weights);
                         rec.testRms.push_back(r.testPatterns > 0 ? r.testRms : NAN);
                     });
}

bool sameWeights(const Array3 &a, const Array3 &b)
{
    const std::size_t n = std::size_t(a.dim1()) * a.dim2() * a.dim3();
    return a.dim1() == b.dim1() && a.dim2() == b.dim2() && a.dim3() == b.dim3()
            && std::equal(a.data(), a.data() + n, b.data());
}

// A 2-3-1 sigmoid net on XOR whose test set flips two of the labels: the better the network
// learns XOR, the worse the test error gets after an early dip, so the best test iteration is
// not the last.
void setUpOverfitting(Workbench &wb)
{
    QVERIFY(buildNet(wb, {"2", "3", "1"}));
    setPatterns(wb, xorInputs(), xorTargets());
    setTestSet(wb, {{0, 0}, {0, 1}, {1, 0}, {1, 1}, {0.5f, 0.5f}}, {{0}, {0}, {1}, {1}, {0.5f}});
    parameterTextChanged(wb, QStringLiteral("TXT_Eta"), QStringLiteral("2"));
    wb.form.setText(QStringLiteral("TXT_Alpha"), QStringLiteral("0.9"));
    // Nothing is good at a negative target, so only the bound or Stop ends the run.
    parameterTextChanged(wb, QStringLiteral("TXT_TargetErr"), QStringLiteral("-1"));
    wb.form.setText(QStringLiteral("TXT_epocs"), QStringLiteral("1"));
}

// A 2-2-1 net with linear outputs on targets of 100 and a learning rate far too large: the
// weights run away to infinity and NaN within a few iterations.
void setUpRunaway(Workbench &wb, const QString &eta)
{
    QVERIFY(buildNet(wb, {"2", "2", "1"}, {1, 2, 2}));
    setPatterns(wb, xorInputs(), {{0}, {100}, {100}, {0}});
    parameterTextChanged(wb, QStringLiteral("TXT_Eta"), eta);
    wb.form.setText(QStringLiteral("TXT_Alpha"), QStringLiteral("0.9"));
    wb.form.setText(QStringLiteral("TXT_epocs"), QStringLiteral("1"));
}

} // namespace

class TestTrainGuard : public QObject
{
    Q_OBJECT

private slots:

    // Keep-best ends every kind of run with the weights of the iteration of lowest test error;
    // unchecked, the run ends with its last iteration's weights.
    void keepBestRestoresBestIteration_data()
    {
        QTest::addColumn<bool>("keepBest");
        QTest::addColumn<int>("stopAtYield"); // 0: the iteration bound ends the run
        QTest::addRow("kept, bound") << true << 0;
        QTest::addRow("kept, Stop pressed") << true << 150;
        QTest::addRow("not kept") << false << 0;
    }

    void keepBestRestoresBestIteration()
    {
        QFETCH(bool, keepBest);
        QFETCH(int, stopAtYield);
        TestBench b;
        setUpOverfitting(b.wb);
        b.wb.form.setChecked(QStringLiteral("CHK_KeepBest"), keepBest);
        RunRecord rec;
        QObject context;
        record(b.wb, rec, &context);
        if (stopAtYield > 0) {
            b.ui.onYield = [&b, stopAtYield] {
                if (b.ui.yields() == stopAtYield) {
                    stopTraining(b.wb);
                }
            };
        }
        TrainOptions options {
                400, 0.0, {}, std::chrono::milliseconds {0}, std::chrono::milliseconds {0}};
        TrainSummary summary;
        const TrainEnd end = trainNet(b.wb, options, &summary);
        QCOMPARE(end, stopAtYield > 0 ? TrainEnd::Stopped : TrainEnd::LimitReached);
        const int last = int(rec.weights.size()) - 1;
        QVERIFY(last >= 2);
        int best = 1;
        for (int i = 2; i <= last; ++i) {
            if (rec.testRms[std::size_t(i)] < rec.testRms[std::size_t(best)]) {
                best = i;
            }
        }
        // The fixture's test error does turn around, or the case would prove nothing.
        QVERIFY2(best < last, qPrintable(QString::number(best)));
        const int expected = keepBest ? best : last;
        QVERIFY(sameWeights(b.wb.model.Weights, rec.weights[std::size_t(expected)]));
        QCOMPARE(summary.bestIteration, keepBest ? best : 0);
        // The panel ends on the weights the run leaves: their iteration, and for kept weights
        // their own error (a last iteration shows the error its engine call measured).
        QCOMPARE(b.wb.form.text(QStringLiteral("LBL_iter")), QString::number(expected));
        if (keepBest) {
            const std::optional<Evaluation> left = evaluateSet(b.wb, false);
            QVERIFY(left);
            const QString shown = b.wb.form.text(QStringLiteral("LBL_Error"));
            QVERIFY2(std::abs(leadingNumber(shown) - left->rms) < 1e-6, qPrintable(shown));
            QCOMPARE(summary.bestTestRms, rec.testRms[std::size_t(best)]);
            QVERIFY2(b.ui.statuses().last().contains(
                             QStringLiteral("best weights on the test set kept: iteration %1,")
                                     .arg(best)),
                     qPrintable(b.ui.statuses().last()));
        }
    }

    // With a test set loaded every iteration measures it: the RMS plot gets the "RMS Error
    // (Test)" curve of the iterations' own test errors; without one it has the training curve
    // only. Measuring changes nothing about the training itself.
    void testCurve_data()
    {
        QTest::addColumn<bool>("withTest");
        QTest::addRow("test set loaded") << true;
        QTest::addRow("no test set") << false;
    }

    void testCurve()
    {
        QFETCH(bool, withTest);
        TestBench plain;
        setUpOverfitting(plain.wb);
        TestBench b;
        setUpOverfitting(b.wb);
        if (!withTest) {
            b.wb.model.HasTest = false;
        }
        RunRecord rec;
        QObject context;
        record(b.wb, rec, &context);
        QCOMPARE(trainNet(b.wb, {40, 0.0, {}}), TrainEnd::LimitReached);
        // The same run without the test set measured leaves the same weights.
        plain.wb.model.HasTest = false;
        QCOMPARE(trainNet(plain.wb, {40, 0.0, {}}), TrainEnd::LimitReached);
        QVERIFY(sameWeights(b.wb.model.Weights, plain.wb.model.Weights));

        const ChartData chart = rmsErrorsChart(b.wb.rmsHistory, b.wb.model.Graph[3]);
        QCOMPARE(int(chart.sets.size()), withTest ? 2 : 1);
        QCOMPARE(chart.sets[0].legend, QStringLiteral("RMS Error"));
        if (!withTest) {
            return;
        }
        QCOMPARE(chart.sets[1].legend, QStringLiteral("RMS Error (Test)"));
        QCOMPARE(chart.sets[1].values.size(), chart.sets[0].values.size());
        for (std::size_t i = 0; i < chart.xPositions.size(); ++i) {
            // x counts epochs; one epoch per iteration here.
            const auto iteration = std::size_t(chart.xPositions[i]);
            QCOMPARE(chart.sets[1].values[i], rec.testRms[iteration]);
        }
    }

    // A run driven to NaN stops, puts back the weights of the last sound iteration, says so,
    // and nothing NaN reaches the weight file. Eta 1e6 diverges in the first iteration (the
    // weights from before the run come back); 0.3 after a few sound ones.
    void divergenceGuard_data()
    {
        QTest::addColumn<QString>("eta");
        QTest::addRow("first iteration") << QStringLiteral("1000000");
        QTest::addRow("later iteration") << QStringLiteral("0.3");
    }

    void divergenceGuard()
    {
        QFETCH(QString, eta);
        TestBench b;
        setUpRunaway(b.wb, eta);
        RunRecord rec;
        QObject context;
        record(b.wb, rec, &context);
        TrainSummary summary;
        QCOMPARE(trainNet(b.wb, {200, 0.0, {}}, &summary), TrainEnd::Diverged);
        const int restored = int(rec.weights.size()) - 1;
        QCOMPARE(summary.restoredIteration, restored);
        QCOMPARE(summary.divergedIteration, restored + 1);
        QCOMPARE(b.wb.model.IterCount, restored);
        QVERIFY(sameWeights(b.wb.model.Weights, rec.weights.back()));
        const QString message =
                divergenceText(float(restored + 1), float(restored)); // one epoch per call
        QCOMPARE(b.ui.texts(), QStringList {message});
        QCOMPARE(b.ui.statuses().last(), message);

        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("runaway.wgt"));
        b.ui.file(file);
        QVERIFY(saveWeights(b.wb, true).done());
        const QString text = readTextFile(file).value();
        QVERIFY(!text.contains(QStringLiteral("NaN"), Qt::CaseInsensitive));
        QVERIFY(!text.contains(QStringLiteral("Inf"), Qt::CaseInsensitive));
        if (eta == QStringLiteral("0.3")) {
            QVERIFY(restored >= 1);
        }
    }

    // A network whose error stands still with its nodes at the ends of their range (a rate far
    // too large) gets the status-bar warning once; a run that learns does not.
    void saturationWarning_data()
    {
        QTest::addColumn<QString>("eta");
        QTest::addColumn<bool>("warned");
        QTest::addRow("saturated") << QStringLiteral("1000") << true;
        QTest::addRow("learning") << QStringLiteral("0.5") << false;
    }

    void saturationWarning()
    {
        QFETCH(QString, eta);
        QFETCH(bool, warned);
        TestBench b;
        QVERIFY(buildNet(b.wb, {"2", "4", "2"}));
        Rows in, out;
        for (int p = 0; p < 40; ++p) {
            in.push_back({float(p % 5) / 4, float(p % 7) / 6});
            out.push_back(p % 5 < 2 ? std::vector<float> {1, 0} : std::vector<float> {0, 1});
        }
        setPatterns(b.wb, in, out);
        parameterTextChanged(b.wb, QStringLiteral("TXT_Eta"), eta);
        parameterTextChanged(b.wb, QStringLiteral("TXT_TargetErr"), QStringLiteral("-1"));
        TrainSummary summary;
        QCOMPARE(trainNet(b.wb, {400, 0.0, {}}, &summary), TrainEnd::LimitReached);
        QCOMPARE(summary.saturationWarned, warned);
        const auto warnings =
                std::count_if(b.ui.statuses().begin(), b.ui.statuses().end(), [](const QString &s) {
                    return s.contains(QStringLiteral("try a smaller Eta"));
                });
        QCOMPARE(int(warnings), warned ? 1 : 0);
    }
};

QTEST_GUILESS_MAIN(TestTrainGuard)
#include "tst_trainguard.moc"
