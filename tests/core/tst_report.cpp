#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "trainfixture.h"
#include "training/analysis.h"
#include "training/report.h"

namespace {

// One input passed straight through: y = x.
void setUpIdentity(Workbench &wb, const Rows &in, const Rows &out)
{
    QVERIFY(buildNet(wb, {"1", "1"}, {1, 2}));
    setWeights(wb.model, 2, 1, {1.0f, 0.0f});
    setPatterns(wb, in, out);
}

QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

} // namespace

class TestReport : public QObject
{
    Q_OBJECT

private slots:

    void runReport_data()
    {
        QTest::addColumn<bool>("normalised");
        QTest::addColumn<QString>("text");
        QTest::addRow("data as they are")
                << false
                << "RMS Error: 0.637377\r\nGood Pats: 50.0%\r\n\r\n"
                   "0001) 1.250000 0.500000  0.500000 1.000000     0.901388 -\r\n"
                   "0002) 0.500000 0.500000  0.000000 0.000000     0.000000 +\r\n";
        // Outputs and targets in data units, x = (y - 1) / 2; the error stays the net's own.
        QTest::addRow("normalised data")
                << true
                << "RMS Error: 0.637377\r\nGood Pats: 50.0%\r\n\r\n"
                   "0001) 0.125000 -0.250000  -0.250000 0.000000     0.901388 -\r\n"
                   "0002) -0.250000 -0.250000  -0.500000 -0.500000     0.000000 +\r\n";
    }

    void runReport()
    {
        QFETCH(bool, normalised);
        QFETCH(QString, text);
        TestBench b;
        setUpTwoOutputs(b.wb);
        NetModel &m = b.wb.model;
        if (normalised) {
            m.NormOn = true;
            m.OutNormA = {2, 2, 0};
            m.OutNormB = {1, 1, 0};
        }
        QSignalSpy refreshed(&b.wb.events, &WorkbenchEvents::reportChanged);
        QVERIFY(runNet(b.wb, false));
        const ReportState &r = b.wb.report;
        QCOMPARE(r.text, text);
        QCOMPARE(r.caption, QStringLiteral("Run Net"));
        QCOMPARE(m.ReportMode, ReportKind::Run);
        QVERIFY(r.layerPanelVisible && !r.sensPanelVisible && r.saveEditEnabled);
        QCOMPARE(r.layer, 2);
        QVERIFY(refreshed.size() >= 2);
        QVERIFY(b.ui.texts().isEmpty());
        QCOMPARE(b.ui.busyDepth(), 0);
    }

    // 7 of 10 within the target, one of them exactly at it.
    void goodPercentage()
    {
        TestBench b;
        Rows in, out;
        for (int p = 1; p <= 10; ++p) {
            in.push_back({float(p)});
            out.push_back({float(p) + (p <= 6 ? 0.0f : p == 7 ? 0.5f : 1.0f)});
        }
        setUpIdentity(b.wb, in, out);
        b.wb.model.TargetErr = 0.5f;
        setTestSet(b.wb, in, out);
        QVERIFY(runNet(b.wb, true));
        const QString text = b.wb.report.text;
        QVERIFY(text.startsWith("RMS Error: 0.570088\r\nGood Pats: 70.0%\r\n\r\n"));
        QVERIFY(text.contains("0007) 7.000000 7.500000     0.500000 +\r\n"));
        QVERIFY(text.contains("0008) 8.000000 9.000000     1.000000 -\r\n"));
        QCOMPARE(b.wb.report.caption, QStringLiteral("Test Net"));
        QCOMPARE(b.wb.model.ReportMode, ReportKind::Test);
    }

    // Layer 2 of a 2-3-1 net lists the hidden activations under a "Node" header; the spinner
    // keeps to 2..NumLayers and rebuilds the report.
    void hiddenLayerAndSpinner()
    {
        TestBench b;
        QVERIFY(buildNet(b.wb, {"2", "3", "1"}, {1, 2, 1}));
        NetModel &m = b.wb.model;
        setWeights(m, 2, 1, {1, 0, 0});
        setWeights(m, 2, 2, {0, 1, 0.5f});
        setWeights(m, 2, 3, {1, 1, 0});
        setPatterns(b.wb, {{0.25f, 0.5f}}, {{1}});
        QVERIFY(runNet(b.wb, false));
        spinReportLayer(b.wb, false);
        QCOMPARE(b.wb.report.layer, 2);
        const QString header = QStringLiteral("Node     ") + QString(" 1").leftJustified(17)
                + QString(" 2").leftJustified(17) + QString(" 3").leftJustified(17) + "\r\n";
        QCOMPARE(b.wb.report.text, header + "0001) 0.250000 1.000000 0.750000 \r\n");
        QCOMPARE(m.ReportMode, ReportKind::Run);
        spinReportLayer(b.wb, false);
        QCOMPARE(b.wb.report.layer, 2);
        spinReportLayer(b.wb, true);
        spinReportLayer(b.wb, true);
        QCOMPARE(b.wb.report.layer, 3);
        QVERIFY(b.wb.report.text.startsWith("RMS Error: "));
        // A closed window opens again at the output layer.
        spinReportLayer(b.wb, false);
        closeReport(b.wb);
        QVERIFY(runNet(b.wb, false));
        QCOMPARE(b.wb.report.layer, 3);
    }

    // Past 32767 characters the shown report is cut with the message; the file is whole.
    void truncatedReportAndWholeFile()
    {
        TestBench b;
        setUpIdentity(b.wb, Rows(1000, {1.0f}), Rows(1000, {1.0f}));
        QVERIFY(runNet(b.wb, false));
        QCOMPARE(b.ui.texts(),
                 QStringList {"Report >32K will be truncated \n\r"
                              "Use the File Save and Edit menu to overcome"});
        QCOMPARE(b.ui.shown().back().icon, UiPort::Icon::Critical);
        const QString header = "RMS Error: 0.000000\r\nGood Pats: 100.0%\r\n\r\n";
        QVERIFY(b.wb.report.text.startsWith(header));
        QCOMPARE(b.wb.report.text.size(), header.size() + 32767);
        QVERIFY(b.wb.model.ReportText.size() > 32767);
        QVERIFY(b.ui.statuses().contains("Running pattern 768 of 1000..."));
        QVERIFY(b.ui.yields() >= 4);

        QTemporaryDir dir;
        const QString path = dir.filePath("run.res");
        b.ui.file(path);
        QCOMPARE(saveReport(b.wb), path);
        const QByteArray line = "0001) 1.000000 1.000000     0.000000 +\r\n";
        const QByteArray bytes = fileBytes(path);
        QCOMPARE(bytes.size(), 1000 * line.size());
        QVERIFY(bytes.startsWith(line));
        QVERIFY(bytes.endsWith("1000) 1.000000 1.000000     0.000000 +\r\n"));
    }

    void saveReportDialogAndOverwrite()
    {
        TestBench b;
        setUpTwoOutputs(b.wb);
        QVERIFY(runNet(b.wb, false));
        QTemporaryDir dir;
        const QString path = dir.filePath("old.res");

        b.ui.cancelFile();
        QCOMPARE(saveReport(b.wb), QString());
        QCOMPARE(b.ui.fileRequests().size(), std::size_t(1));
        const UiPort::FileRequest &req = b.ui.fileRequests().front();
        QCOMPARE(req.title, QStringLiteral("Save Report As"));
        QCOMPARE(req.defaultExtension, QStringLiteral("res"));
        QCOMPARE(req.initialName, QStringLiteral("*.res"));
        QCOMPARE(req.filter, QStringLiteral("res Files (*.res)"));
        QVERIFY(!QFile::exists(path));

        {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("keep me");
        }
        b.ui.file(path);
        b.ui.answer(UiPort::Answer::Cancel);
        QCOMPARE(saveReport(b.wb), QString());
        QCOMPARE(b.ui.texts(), QStringList {"File Exist.\rDo you want to OverWrite ?"});
        QCOMPARE(b.ui.shown().back().buttons, UiPort::Buttons::OkCancel);
        QCOMPARE(fileBytes(path), QByteArray("keep me"));

        b.ui.file(path);
        b.ui.answer(UiPort::Answer::Ok);
        QCOMPARE(saveReport(b.wb), path);
        QCOMPARE(fileBytes(path),
                 QByteArray("0001) 1.250000 0.500000  0.500000 1.000000     "
                            "0.901388 -\r\n"
                            "0002) 0.500000 0.500000  0.000000 0.000000     "
                            "0.000000 +\r\n"));

        // A file that cannot be written is reported and nothing is handed to the editor.
        b.ui.clear();
        b.ui.file(dir.filePath("no/such/folder/x.res"));
        QString edited;
        saveAndEditReport(b.wb, [&](const QString &p) { edited = p; });
        QVERIFY(edited.isEmpty());
        QCOMPARE(b.ui.texts().size(), 1);
        QVERIFY(b.ui.texts().front().startsWith("Cannot write "));
    }

    // Weight listings are saved as shown; Save and Edit hands the file to the editor, except for
    // the sensitivity listing.
    void saveListingAndEdit()
    {
        TestBench b;
        setUpTwoOutputs(b.wb);
        showWeights(b.wb);
        QTemporaryDir dir;
        const QString path = dir.filePath("weights.res");
        b.ui.file(path);
        QString edited;
        saveAndEditReport(b.wb, [&](const QString &p) { edited = p; });
        QCOMPARE(edited, path);
        QCOMPARE(QString::fromUtf8(fileBytes(path)), b.wb.report.text);

        QVERIFY(showSensitivity(b.wb));
        QVERIFY(!b.wb.report.saveEditEnabled);
        edited.clear();
        saveAndEditReport(b.wb, [&](const QString &p) { edited = p; });
        QVERIFY(edited.isEmpty());
        QCOMPARE(b.ui.fileRequests().size(), std::size_t(1));
    }

    void testReportWithoutTestSet()
    {
        TestBench b;
        setUpTwoOutputs(b.wb);
        QVERIFY(!runNet(b.wb, true));
        QCOMPARE(b.ui.texts(), QStringList {"No test patterns are loaded."});
        QVERIFY(!b.wb.report.open);
        QVERIFY(b.wb.report.text.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestReport)
#include "tst_report.moc"
