#include <algorithm>
#include <chrono>
#include <cmath>

#include <QElapsedTimer>
#include <QRegularExpression>
#include <QTest>

#include "model/numberformat.h"
#include "near.h"
#include "trainfixture.h"
#include "training/analysis.h"
#include "training/parameters.h"
#include "training/report.h"
#include "training/training.h"

namespace {

// What a run holds back, in menus, toolbar and panels alike: everything that would change the
// network's shape, weights or data.
const QStringList Guarded {"MNU_FILE",
                           "MNU_FILE_NewNet",
                           "MNU_FILE_OpenNet",
                           "MNU_FILE_SaveNet",
                           "new",
                           "open",
                           "save",
                           "MNU_DATA_Norm",
                           "MNU_DATA_CreateTest",
                           "MNU_DATA_ImportCsv",
                           "BTN_Change",
                           "BTN_Randomize",
                           "SPN_Layers",
                           "CMB_LayerSize",
                           "LBL_DataFile",
                           "LBL_TestFile",
                           "LBL_WeightFile",
                           "TXT_EpocLen",
                           "MNU_EDIT_PastePatLinked",
                           "MNU_EDIT_PasteTSTLinked",
                           "MNU_EDIT_CopyOutsLinked",
                           "MNU_EDIT_CopyTSTLinked"};

QStringList enabledOf(const FormState &f, const QStringList &controls)
{
    QStringList out;
    for (const QString &c : controls) {
        if (f.isEnabled(c)) {
            out.append(c);
        }
    }
    return out;
}

void setParameter(Workbench &wb, const char *box, const QString &text)
{
    parameterTextChanged(wb, QLatin1String(box), text);
}

// A 2-2-1 sigmoid net on XOR with the given training parameters.
void setUpXor(Workbench &wb, int mode, const QString &eta, const QString &alpha, float target)
{
    QVERIFY(buildNet(wb, {"2", "2", "1"}));
    setPatterns(wb, xorInputs(), xorTargets());
    wb.model.TrainMode = int16_t(mode);
    setParameter(wb, "TXT_Eta", eta);
    wb.form.setText(QStringLiteral("TXT_Alpha"), alpha);
    setParameter(wb, "TXT_TargetErr", QString::number(target));
}

} // namespace

class TestTraining : public QObject
{
    Q_OBJECT

private slots:

    void xorTrainsToTarget_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("eta");
        QTest::addColumn<QString>("alpha");
        QTest::addRow("back-propagation") << 1 << "2"
                                          << "0.8";
        QTest::addRow("quick-prop") << 2 << "4"
                                    << "0.5";
        QTest::addRow("quick-prop, small steps") << 2 << "0.1"
                                                 << "0";
    }

    void xorTrainsToTarget()
    {
        QFETCH(int, mode);
        QFETCH(QString, eta);
        QFETCH(QString, alpha);
        TestBench b {countingEngine()};
        const float target = 0.1f;
        setUpXor(b.wb, mode, eta, alpha, target);
        const TrainEnd end = trainNet(b.wb, {20000, 0.0, {}});
        QCOMPARE(end, TrainEnd::TargetReached);
        NetModel &m = b.wb.model;
        QCOMPARE(mode == 1 ? EngineCalls::qp : EngineCalls::bp, 0);
        // Every pattern within the target, measured afresh.
        for (int16_t p = 1; p <= 4; ++p) {
            int16_t nin = 2, nout = 1;
            float err = -1;
            ::CALCNET(m.Weights.data(), m.PatIn.data(), m.PatOut.data(), m.LayerSize.data(),
                      &m.NumLayers, &m.MaxNodes, &m.MaxIn, &m.MaxOut, &m.NumPats, &nin, &nout, &p,
                      m.NodeOut.data(), &err, &m.Temp, m.NeuronFunc.data());
            QVERIFY2(err <= target, qPrintable(QString::number(err)));
        }
        const FormState &f = b.wb.form;
        QCOMPARE(f.text("LBL_GoodPats"), QStringLiteral("100"));
        QCOMPARE(f.text("LBL_iter"), QString::number(m.IterCount * 5));
        // The status bar says how the run went, with which algorithm; the weights panel shows
        // the extremes the run left.
        const QString algorithm = mode == 1 ? "Back propagation" : "Quick Prop.";
        QVERIFY(b.ui.statuses().contains("Training by " + algorithm + "..."));
        QCOMPARE(b.ui.statuses().back(),
                 "Target error reached after " + f.text("LBL_iter") + " iterations (" + algorithm
                         + ")");
        float lo = m.Weights(2, 1, 1);
        float hi = lo;
        for (int l = 2; l <= 3; ++l) {
            for (int j = 1; j <= m.LayerSize(l); ++j) {
                for (int i = 1; i <= m.LayerSize(l - 1) + 1; ++i) {
                    lo = std::min(lo, m.Weights(l, i, j));
                    hi = std::max(hi, m.Weights(l, i, j));
                }
            }
        }
        QCOMPARE(f.text("PNL_MinW"), formatNumber(lo, u"#.####E+##"));
        QCOMPARE(f.text("PNL_MaxW"), formatNumber(hi, u"#.####E+##"));
        QVERIFY(QRegularExpression("^\\.\\d{9}$").match(f.text("LBL_Error")).hasMatch());
        QVERIFY(QRegularExpression("^-?\\d{0,2}\\.\\d{9}$").match(f.text("LBL_Change")).hasMatch());
        QCOMPARE(b.wb.rmsHistory.RmsCalls, m.IterCount);
        QVERIFY(m.StopFlag && m.WeightsChanged);
        QVERIFY(b.ui.texts().isEmpty());
    }

    // The engine calls of one iteration and whether the error is measured afresh.
    void callsPerIteration_data()
    {
        QTest::addColumn<int>("epochLen");
        QTest::addColumn<bool>("random");
        QTest::addColumn<int>("trainCalls");
        QTest::addColumn<int>("errorPasses");
        QTest::addRow("epoch length 1") << 1 << false << 10 << 1;
        QTest::addRow("epoch length 3") << 3 << false << 4 << 1;
        QTest::addRow("all patterns in order") << 10 << false << 1 << 0;
        QTest::addRow("all patterns at random") << 10 << true << 1 << 1;
    }

    void callsPerIteration()
    {
        QFETCH(int, epochLen);
        QFETCH(bool, random);
        QFETCH(int, trainCalls);
        QFETCH(int, errorPasses);
        TestBench b {countingEngine()};
        QVERIFY(buildNet(b.wb, {"2", "2", "1"}));
        Rows in, out;
        for (int p = 0; p < 10; ++p) {
            in.push_back({float(p % 3), float(p % 2)});
            out.push_back({float(p % 2)});
        }
        setPatterns(b.wb, in, out);
        QVERIFY(epochLengthChanged(b.wb, QString::number(epochLen)));
        randomSamplingClicked(b.wb, random);
        // Nothing is good at a negative target, so only the bound ends the run.
        setParameter(b.wb, "TXT_TargetErr", "-1");
        EngineCalls::reset();
        QCOMPARE(trainNet(b.wb, {1, 0.0, {}}), TrainEnd::LimitReached);
        QCOMPARE(EngineCalls::bp, trainCalls);
        QCOMPARE(EngineCalls::calcerr, errorPasses);
        std::vector<std::pair<int, int>> windows;
        for (int first = 1; first <= 10; first += epochLen) {
            windows.emplace_back(first, std::min(first + epochLen - 1, 10));
        }
        QCOMPARE(EngineCalls::windows, windows);
        QCOMPARE(b.wb.form.text("LBL_iter"), QStringLiteral("5"));
        QCOMPARE(b.wb.form.text("LBL_GoodPats"), QStringLiteral("0"));
    }

    // Stop pressed in the yield before the second of three calls of the second iteration (the run
    // serving the queue between every two engine calls): that call runs, the third does not, and
    // the labels stay those of the first iteration.
    void stopBetweenEngineCalls()
    {
        TestBench b {countingEngine()};
        QVERIFY(buildNet(b.wb, {"2", "2", "1"}));
        setPatterns(b.wb, {{0, 0}, {0, 1}, {1, 0}, {1, 1}, {0, 0}, {1, 1}},
                    {{0}, {1}, {1}, {0}, {0}, {0}});
        setTestSet(b.wb, xorInputs(), xorTargets());
        QVERIFY(epochLengthChanged(b.wb, "2"));
        setParameter(b.wb, "TXT_TargetErr", "-1");
        FormState &f = b.wb.form;
        updateMenuOnOpen(b.wb, "MNU_DATA");
        const QStringList toolbar {"train", "stop", "runnet", "runtest", "plotnet", "plotweights"};
        QCOMPARE(enabledOf(f, toolbar),
                 QStringList({"train", "runnet", "runtest", "plotnet", "plotweights"}));
        QCOMPARE(enabledOf(f, Guarded), Guarded);

        QStringList duringToolbar, duringGuarded, afterStopToolbar, afterStopGuarded;
        bool testBoxDuring = true;
        QString errorShown;
        b.ui.onYield = [&] {
            if (EngineCalls::bp == 1 && duringToolbar.isEmpty()) {
                // Refreshes during the run (a file read, the Data menu opening) give nothing
                // back.
                updateCommands(b.wb);
                updateMenuOnOpen(b.wb, "MNU_DATA");
                duringToolbar = enabledOf(f, toolbar);
                duringGuarded = enabledOf(f, Guarded);
                testBoxDuring = f.isEnabled("CHK_ShowTestErr");
            }
            if (EngineCalls::bp == 4 && afterStopToolbar.isEmpty()) {
                errorShown = f.text("LBL_Error");
                stopTraining(b.wb);
                afterStopToolbar = enabledOf(f, toolbar);
                afterStopGuarded = enabledOf(f, Guarded);
            }
        };
        TrainOptions everyCall;
        everyCall.yieldPeriod = everyCall.showPeriod = std::chrono::milliseconds(0);
        QCOMPARE(trainNet(b.wb, everyCall), TrainEnd::Stopped);
        QCOMPARE(EngineCalls::bp, 5);
        // The training set's error pass, and the loaded test set's measured beside it.
        QCOMPARE(EngineCalls::calcerr, 2);
        QVERIFY(b.wb.model.IterCount == 1);
        QCOMPARE(f.text("LBL_iter"), QStringLiteral("5"));
        QCOMPARE(f.text("LBL_Error"), errorShown);
        QCOMPARE(b.ui.statuses().back(),
                 QStringLiteral("Stopped after 5 iterations (Back propagation)"));

        QCOMPARE(duringToolbar,
                 QStringList({"stop", "runnet", "runtest", "plotnet", "plotweights"}));
        QVERIFY(duringGuarded.isEmpty());
        QVERIFY(!testBoxDuring);
        // Stop only asks: until the run has ended nothing comes back.
        QCOMPARE(afterStopToolbar, QStringList({"runnet", "runtest", "plotnet", "plotweights"}));
        QVERIFY(afterStopGuarded.isEmpty());
        QCOMPARE(enabledOf(f, toolbar),
                 QStringList({"train", "runnet", "runtest", "plotnet", "plotweights"}));
        QCOMPARE(enabledOf(f, Guarded), Guarded);
        QVERIFY(f.isEnabled("CHK_ShowTestErr"));
        QVERIFY(b.wb.model.StopFlag);
    }

    void refusals_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("message");
        QTest::addRow("no patterns") << "none"
                                     << "No training patterns are loaded.";
        QTest::addRow("inputs do not fit")
                << "columns"
                << "The training patterns do not fit the network's inputs and outputs.\n\r"
                   "Reload the pattern file.";
        QTest::addRow("test error without a test set") << "test"
                                                       << "No test patterns are loaded.";
        QTest::addRow("refused network size")
                << "build"
                << "The network was not built with the layer sizes shown.\n\r"
                   "Change the size of the network and try again.";
        QTest::addRow("epoch length 0") << "epoch"
                                        << "Epoc Lenght Should Be between 1 to 4";
        QTest::addRow("no epoch per call") << "epocs"
                                           << "Iter./calc. should be between 1 and 32767";
    }

    void refusals()
    {
        QFETCH(QString, fault);
        QFETCH(QString, message);
        TestBench b {countingEngine()};
        QVERIFY(buildNet(b.wb, {"2", "2", "1"}));
        if (fault != "none") {
            setPatterns(b.wb, xorInputs(), xorTargets());
        }
        if (fault == "columns") {
            setPatterns(b.wb, {{0, 0, 1}, {1, 1, 0}}, {{0}, {1}});
        } else if (fault == "test") {
            b.wb.form.setChecked("CHK_ShowTestErr", true);
        } else if (fault == "build") {
            QVERIFY(!buildNet(b.wb, {"1024", "30", "1024"}));
            b.ui.clear();
        } else if (fault == "epoch") {
            b.wb.form.setText("TXT_EpocLen", "0");
        } else if (fault == "epocs") {
            setParameter(b.wb, "TXT_epocs", "");
        }
        const bool trainBefore = b.wb.form.isEnabled("train");
        EngineCalls::reset();
        QCOMPARE(trainNet(b.wb), TrainEnd::Refused);
        QCOMPARE(b.ui.texts(), QStringList {message});
        QCOMPARE(b.ui.shown().back().icon, UiPort::Icon::Critical);
        QCOMPARE(EngineCalls::total(), 0);
        QVERIFY(b.wb.model.StopFlag);
        QCOMPARE(b.wb.form.isEnabled("train"), trainBefore);
        QCOMPARE(b.wb.form.isEnabled("MNU_FILE"), true);
    }

    // An unbounded run passes 2^31 iterations after some hours: the counters go on counting.
    void countersPassThirtyTwoBits()
    {
        TestBench b {countingEngine()};
        setUpXor(b.wb, 1, "0.5", "0.9", -1.0f);
        NetModel &m = b.wb.model;
        IterationResult last;
        TrainOptions options;
        options.yieldPeriod = options.showPeriod = std::chrono::milliseconds(0);
        options.onShown = [&](const IterationResult &r) {
            last = r;
            if (r.iterations == 1) {
                m.IterCount = 2147483647;
                b.wb.rmsHistory.RmsCalls = 2147483647;
            } else {
                stopTraining(b.wb);
            }
        };
        QCOMPARE(trainNet(b.wb, options), TrainEnd::Stopped);
        QVERIFY(last.iterations == 2147483648LL);
        QVERIFY(m.IterCount == 2147483648LL);
        QVERIFY(b.wb.rmsHistory.RmsCalls == 2147483648LL);
        QCOMPARE(b.wb.form.text("LBL_iter"), QStringLiteral("1.073742E+10"));
    }

    // With the "Test" box checked the run ends when every test pattern is good, and the good
    // percentage is the test set's.
    void testSetDecidesTheEnd()
    {
        TestBench b {countingEngine()};
        setUpXor(b.wb, 1, "2", "0.8", 0.1f);
        setTestSet(b.wb, {{0, 1}, {1, 0}}, {{1}, {1}});
        b.wb.form.setChecked("CHK_ShowTestErr", true);
        QCOMPARE(trainNet(b.wb, {20000, 0.0, {}}), TrainEnd::TargetReached);
        NetModel &m = b.wb.model;
        int16_t nin = 2, nout = 1, good = -1;
        float rms = -1;
        ::CALCERR(m.Weights.data(), m.TstIn.data(), m.TstOut.data(), m.LayerSize.data(),
                  &m.NumLayers, &m.MaxNodes, &m.MaxIn, &m.MaxOut, &m.NumTestPats, &nin, &nout,
                  m.NodeOut.data(), &rms, &m.TargetErr, &good, &m.Temp, m.NeuronFunc.data());
        QCOMPARE(good, int16_t(2));
        QCOMPARE(b.wb.form.text("LBL_GoodPats"), QStringLiteral("100"));
        QCOMPARE(EngineCalls::calcerr, int(m.IterCount));
        QVERIFY(b.wb.form.isEnabled("CHK_ShowTestErr"));
    }

    // Boxes are read at the start; a falling error raises Eta by EtaInc and the box's shown,
    // rounded value is what Eta keeps.
    void startReadsBoxesAndAdaptsEta()
    {
        TestBench b {countingEngine()};
        setUpXor(b.wb, 1, "0.2", "0.9", -1);
        b.wb.model.Alpha = 0.5f;
        b.wb.form.setText("TXT_epocs", "3");
        b.wb.model.LearnAdapt.AutoOn = -1;
        b.wb.PrevError = 10;
        QCOMPARE(trainNet(b.wb, {1, 0.0, {}}), TrainEnd::LimitReached);
        NetModel &m = b.wb.model;
        QVERIFY(near(m.Alpha, 0.9, 1e-7));
        QCOMPARE(m.EpochsPerCall, int16_t(3));
        QCOMPARE(b.wb.form.text("TXT_Eta"), QStringLiteral("0.204"));
        QCOMPARE(m.Eta, 0.204f);
        QCOMPARE(b.wb.form.text("LBL_iter"), QStringLiteral("3"));
        // Error not falling: Eta x EtaDec, shown "##0.0###".
        b.wb.PrevError = 0;
        QCOMPARE(trainNet(b.wb, {1, 0.0, {}}), TrainEnd::LimitReached);
        QCOMPARE(b.wb.form.text("TXT_Eta"), QStringLiteral("0.1958"));
        QCOMPARE(m.Eta, 0.1958f);
        QVERIFY(near(b.wb.PrevError, leadingNumber(b.wb.form.text("LBL_Error")), 1e-6));
    }

    // The panel and the event queue are looked after at a bounded rate, yet every iteration still
    // counts: a run paced as "Train" is ends with the very weights, learning rate, errors, history
    // and labels of a run that shows every iteration, and it served the queue no more often than
    // its pacing allows.
    void pacingChangesNoFigure()
    {
        using std::chrono::milliseconds;

        struct Run
        {
            QList<float> weights;
            QStringList labels;
            QList<float> figures;
            int yields = 0;
            int shown = 0;
            qint64 elapsed = 0;
        };

        auto run = [](milliseconds yieldPeriod, milliseconds showPeriod) {
            TestBench b {countingEngine()};
            setUpXor(b.wb, 1, "0.5", "0.9", -1);
            NetModel &m = b.wb.model;
            m.LearnAdapt.AutoOn = -1;
            int k = 0;
            for (int j = 1; j <= 2; ++j) {
                for (int i = 1; i <= 3; ++i) {
                    m.Weights(2, i, j) = 0.3f * float(++k % 4) - 0.4f;
                    m.Weights(3, i, 1) = 0.2f * float(i) - 0.3f;
                }
            }
            Run r;
            TrainOptions options;
            options.maxIterations = 3000;
            options.yieldPeriod = yieldPeriod;
            options.showPeriod = showPeriod;
            options.onShown = [&](const IterationResult &) { ++r.shown; };
            QElapsedTimer clock;
            clock.start();
            trainNet(b.wb, options);
            r.elapsed = clock.elapsed();
            r.yields = b.ui.yields();
            for (int j = 1; j <= 2; ++j) {
                for (int i = 1; i <= 3; ++i) {
                    r.weights << m.Weights(2, i, j) << m.WeightDelta(2, i, j);
                }
            }
            for (int i = 1; i <= 3; ++i) {
                r.weights << m.Weights(3, i, 1) << m.WeightDelta(3, i, 1);
            }
            for (const char *label :
                 {"LBL_Error", "LBL_Change", "LBL_iter", "LBL_GoodPats", "TXT_Eta"}) {
                r.labels << b.wb.form.text(QLatin1String(label));
            }
            r.figures << m.Eta << b.wb.PrevError << float(m.IterCount);
            const RmsHistory &h = b.wb.rmsHistory;
            for (int p = 1; p <= h.RmsCount; ++p) {
                r.figures << h.RmsPoint[std::size_t(p)].x << h.RmsPoint[std::size_t(p)].y;
            }
            return r;
        };
        const Run every = run(milliseconds(0), milliseconds(0));
        const TrainOptions pacing;
        const Run paced = run(pacing.yieldPeriod, pacing.showPeriod);
        QCOMPARE(every.yields, 3000);
        QCOMPARE(every.shown, 3000);
        QCOMPARE(paced.weights, every.weights);
        QCOMPARE(paced.labels, every.labels);
        QCOMPARE(paced.figures, every.figures);
        QVERIFY(every.labels.last() != QStringLiteral("0.5")); // Eta was adapted
        // One yield at the start and then at most one per period; one showing per period and
        // the last one.
        QVERIFY2(paced.yields <= 1 + paced.elapsed / pacing.yieldPeriod.count(),
                 qPrintable(QString::number(paced.yields)));
        QVERIFY2(paced.shown <= 2 + paced.elapsed / pacing.showPeriod.count(),
                 qPrintable(QString::number(paced.shown)));
    }

    // An Eta typed while the labels still wait to show an adapted one is the Eta the run ends
    // with.
    void typedEtaOutlivesTheLabels()
    {
        TestBench b {countingEngine()};
        setUpXor(b.wb, 1, "0.5", "0.9", -1);
        b.wb.form.setText("TXT_epocs", "5");
        b.wb.model.LearnAdapt.AutoOn = -1;
        TrainOptions options;
        options.yieldPeriod = std::chrono::milliseconds(0);
        options.showPeriod = std::chrono::hours(1);
        b.ui.onYield = [&] {
            if (b.wb.model.IterCount == 5) {
                setParameter(b.wb, "TXT_Eta", "0.3");
                stopTraining(b.wb);
            }
        };
        QCOMPARE(trainNet(b.wb, options), TrainEnd::Stopped);
        QCOMPARE(b.wb.model.Eta, 0.3f);
        QCOMPARE(b.wb.form.text("TXT_Eta"), QStringLiteral("0.3"));
        QCOMPARE(b.wb.form.text("LBL_iter"), QStringLiteral("25"));
    }

    // A learning rate far too large drives the weights to NaN or infinity: with the divergence
    // guard off, the run, the labels, the reports and listings carry on and show them;
    // Randomize recovers.
    void runawayWeights()
    {
        TestBench b {countingEngine()};
        QVERIFY(buildNet(b.wb, {"2", "2", "1"}, {1, 2, 2}));
        setPatterns(b.wb, xorInputs(), {{0}, {100}, {100}, {0}});
        setParameter(b.wb, "TXT_Eta", "1000000");
        b.wb.form.setText("TXT_Alpha", "0.9");
        TrainOptions unguarded {30, 0.0, {}};
        unguarded.guardDivergence = false;
        QCOMPARE(trainNet(b.wb, unguarded), TrainEnd::LimitReached);
        const NetModel &m = b.wb.model;
        bool runaway = false;
        for (int j = 1; j <= 2; ++j) {
            for (int i = 1; i <= 3; ++i) {
                runaway = runaway || !std::isfinite(m.Weights(2, i, j));
            }
        }
        QVERIFY(runaway);
        const QString error = b.wb.form.text("LBL_Error");
        QVERIFY2(error == "NaN" || error == "Inf", qPrintable(error));

        QVERIFY(runNet(b.wb, false));
        QVERIFY(b.wb.report.text.contains("NaN") || b.wb.report.text.contains("Inf"));
        showWeights(b.wb);
        QVERIFY(b.wb.report.text.contains("        NaN ")
                || b.wb.report.text.contains("        Inf "));
        QVERIFY(showSensitivity(b.wb));

        randomizeWeights(b.wb);
        QVERIFY(b.wb.rmsHistory.RmsCalls == 0);
        for (int j = 1; j <= 2; ++j) {
            for (int i = 1; i <= 3; ++i) {
                QVERIFY(std::isfinite(m.Weights(2, i, j)));
            }
        }
        setParameter(b.wb, "TXT_Eta", "0.0001");
        QCOMPARE(trainNet(b.wb, {3, 0.0, {}}), TrainEnd::LimitReached);
        QVERIFY(std::isfinite(b.wb.PrevError));
    }
};

QTEST_GUILESS_MAIN(TestTraining)
#include "tst_training.moc"
