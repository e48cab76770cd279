#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "dataprep/createtest.h"
#include "dataprep/normworkflow.h"
#include "files/netcommands.h"
#include "files/patterncommands.h"
#include "files/weightcommands.h"
#include "filetesthelpers.h"
#include "training/construction.h"
#include "training/report.h"
#include "training/training.h"

// The workbench's events fire where the windows and link servers rely on them: each command below
// is run on a loaded XOR network and the signals it raised are counted.
class TestEvents : public QObject
{
    Q_OBJECT

private slots:

    // Normalising reads the training and the test set again, then changes both; Create Test reads
    // the training set again, then splits it. A run report shows the window, then its text.
    void commandsRaiseTheirEvents_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<int>("rebuilt");
        QTest::addColumn<int>("weights");
        QTest::addColumn<int>("data");
        QTest::addColumn<int>("report");

        QTest::newRow("layer added") << "add layer" << 1 << 1 << 0 << 0;
        QTest::newRow("randomize") << "randomize" << 0 << 1 << 0 << 0;
        QTest::newRow("weight file read") << "load weights" << 0 << 1 << 0 << 0;
        QTest::newRow("weight file missing") << "load missing weights" << 0 << 0 << 0 << 0;
        QTest::newRow("pattern file read") << "open patterns" << 0 << 0 << 1 << 0;
        QTest::newRow("test file read") << "open test" << 0 << 0 << 1 << 0;
        QTest::newRow("rows pasted") << "paste" << 0 << 0 << 1 << 0;
        QTest::newRow("normalised") << "normalize" << 0 << 0 << 3 << 0;
        QTest::newRow("create test") << "create test" << 0 << 0 << 2 << 0;
        QTest::newRow("run net") << "run" << 0 << 0 << 0 << 2;
    }

    void commandsRaiseTheirEvents()
    {
        QFETCH(QString, command);
        QFETCH(int, rebuilt);
        QFETCH(int, weights);
        QFETCH(int, data);
        QFETCH(int, report);
        TestBench b;
        QTemporaryDir dir;
        QVERIFY(copyData(dir.path(), {"xor.net", "xor.pat", "xor.wgt", "xor.tst"}));
        QVERIFY(loadNet(b.wb, dir.filePath("xor.net")).done());
        b.ui.clear();

        const WorkbenchEvents *events = &b.wb.events;
        QSignalSpy rebuiltSpy(events, &WorkbenchEvents::networkRebuilt);
        QSignalSpy weightsSpy(events, &WorkbenchEvents::weightsChanged);
        QSignalSpy dataSpy(events, &WorkbenchEvents::dataChanged);
        QSignalSpy reportSpy(events, &WorkbenchEvents::reportChanged);
        if (command == "add layer") {
            addLayer(b.wb);
        } else if (command == "randomize") {
            randomizeWeights(b.wb);
        } else if (command == "load weights") {
            QVERIFY(loadWeights(b.wb, false, dir.filePath("xor.wgt")).done());
        } else if (command == "load missing weights") {
            QVERIFY(loadWeights(b.wb, false, dir.filePath("none.wgt")).failed());
        } else if (command == "open patterns") {
            QVERIFY(openPatterns(b.wb, false, dir.filePath("xor.pat")).done());
        } else if (command == "open test") {
            QVERIFY(openTest(b.wb, false, dir.filePath("xor.tst")).done());
        } else if (command == "paste") {
            QVERIFY(pastePatterns(b.wb, "0 0 0\r\n1 1 0\r\n", "pasted"));
        } else if (command == "normalize") {
            NormForm form;
            fillNormForm(b.wb, form);
            QVERIFY(normalizeData(b.wb, form));
        } else if (command == "create test") {
            CreateTestChoice form;
            openCreateTest(b.wb, form);
            chooseTestMethod(form, 2);
            form.data[2] = "1";
            form.data[3] = "1";
            b.ui.answer(UiPort::Answer::Yes);
            QCOMPARE(createTest(b.wb, form), CreateTestEnd::Created);
        } else if (command == "run") {
            QVERIFY(runNet(b.wb, false));
        } else {
            QFAIL(qPrintable("unknown command " + command));
        }
        QCOMPARE(rebuiltSpy.size(), rebuilt);
        QCOMPARE(weightsSpy.size(), weights);
        QCOMPARE(dataSpy.size(), data);
        QCOMPARE(reportSpy.size(), report);
    }

    // One event per iteration, raised by the loop before the next engine call (so the RMS history
    // already holds the iteration's point), then the weights of the run.
    void trainingRaisesOneEventPerIteration()
    {
        TestBench b;
        QTemporaryDir dir;
        QVERIFY(copyData(dir.path(), {"xor.net", "xor.pat", "xor.wgt"}));
        QVERIFY(loadNet(b.wb, dir.filePath("xor.net")).done());
        randomizeWeights(b.wb);
        QList<int32_t> iterations;
        QList<int64_t> points;
        bool weightsAfterRun = false;
        connect(&b.wb.events, &WorkbenchEvents::iterationDone, this, [&](const IterationResult &r) {
            iterations.append(r.iterations);
            points.append(b.wb.rmsHistory.RmsCalls);
        });
        connect(&b.wb.events, &WorkbenchEvents::weightsChanged, this,
                [&] { weightsAfterRun = b.wb.model.StopFlag && iterations.size() == 3; });
        TrainOptions options;
        options.maxIterations = 3;
        QCOMPARE(trainNet(b.wb, options), TrainEnd::LimitReached);
        QCOMPARE(iterations, (QList<int32_t> {1, 2, 3}));
        QCOMPARE(points, (QList<int64_t> {1, 2, 3}));
        QVERIFY(weightsAfterRun);
    }
};

QTEST_GUILESS_MAIN(TestEvents)
#include "tst_events.moc"
