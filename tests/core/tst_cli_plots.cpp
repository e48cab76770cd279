#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include "clirunner.h"
#include "files/netcommands.h"
#include "filetesthelpers.h"
#include "model/rmshistory.h"
#include "plots/chartdata.h"
#include "plots/outputplots.h"
#include "plots/plotexport.h"

namespace {

// The values of a CSV file written by the tool: one row of numbers per line after the header.
QList<QList<float>> csvRows(const QByteArray &bytes, QString *header)
{
    QStringList lines = QString::fromUtf8(bytes).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    QList<QList<float>> rows;
    if (lines.isEmpty()) {
        return rows;
    }
    *header = lines.takeFirst();
    for (const QString &line : lines) {
        QList<float> row;
        for (const QString &field : line.split(u',')) {
            row << field.toFloat();
        }
        rows << row;
    }
    return rows;
}

} // namespace

// "axona plot" and "axona train --plot-rms" on copies of the shipped examples.
class TestCliPlots : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    CliRun run(const QStringList &arguments) { return runCli(m_dir.path(), arguments); }

    QString path(const QString &name) const { return QDir(m_dir.path()).filePath(name); }

private slots:

    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        for (const char *name :
             {"iris.net", "iris.pat", "iris.tst", "iris.wgt", "xor.net", "xor.pat", "xor.wgt"}) {
            const QString file = QString::fromLatin1(name);
            QVERIFY(QFile::copy(dataFile("../../examples/" + file), path(file)));
        }
    }

    // Every kind in every format; the picture types by their first bytes.
    void eachKindAndFormat_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("format");
        QTest::addColumn<QByteArray>("start");
        const QList<QPair<QString, QByteArray>> formats {
                {"png", "\x89PNG"}, {"svg", "<?xml"}, {"pdf", "%PDF-"}, {"csv", ""}};
        const QHash<QString, QByteArray> headers {
                {"pat-outs", "Pat. Index,Target-1,Net-1,Target-2,Net-2,Target-3,Net-3\r\n"},
                {"pat-errors", "Pat. Index,Error\r\n"},
                {"tst-outs", "Pat. Index,Target-1,Net-1,Target-2,Net-2,Target-3,Net-3\r\n"},
                {"tst-errors", "Pat. Index,Error\r\n"},
                {"sensitivity", "Input no.,Sensitivity\r\n"},
                {"weights", "Weight Value,Count\r\n"},
                {"layout", "Layer,From,To,Weight,Colour\r\n"}};
        for (const QString &kind : plotExportKindNames()) {
            for (const auto &[format, start] : formats) {
                QTest::addRow("%s %s", qPrintable(kind), qPrintable(format))
                        << kind << format << (start.isEmpty() ? headers.value(kind) : start);
            }
        }
    }

    void eachKindAndFormat()
    {
        QFETCH(QString, kind);
        QFETCH(QString, format);
        QFETCH(QByteArray, start);
        const QString file = path(kind + "." + format);
        const CliRun r = run({"plot", path("iris.net"), kind, "-o", file});
        QCOMPARE(r.status, 0);
        QCOMPARE(r.out, "Saved " + file + "\n");
        QVERIFY2(readBytes(file).startsWith(start), qPrintable(readBytes(file).left(80)));
    }

    // The CSV holds the numbers the windows plot, read back exactly.
    void csvMatchesTheCore_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QStringList>("options");
        QTest::addRow("pat-outs") << "pat-outs" << QStringList();
        QTest::addRow("tst-errors") << "tst-errors" << QStringList();
        QTest::addRow("sensitivity, step 5") << "sensitivity" << QStringList {"--step", "5"};
        QTest::addRow("weights") << "weights" << QStringList();
    }

    void csvMatchesTheCore()
    {
        QFETCH(QString, kind);
        QFETCH(QStringList, options);
        const QString file = path(kind + "-core.csv");
        const CliRun r = run(QStringList {"plot", path("iris.net"), kind, "-o", file} + options);
        QCOMPARE(r.status, 0);
        QString header;
        const QList<QList<float>> rows = csvRows(readBytes(file), &header);

        TestBench b;
        QVERIFY(loadNet(b.wb, path("iris.net")).done());
        const std::optional<ChartData> chart =
                exportChart(b.wb, *plotExportKind(kind), options.isEmpty() ? 10 : 5);
        QVERIFY(chart);
        QCOMPARE(rows.size(), chart->numPoints());
        QCOMPARE(header.count(u','), chart->numSets());
        for (int p = 0; p < chart->numPoints(); ++p) {
            QCOMPARE(rows[p].size(), chart->numSets() + 1);
            QCOMPARE(rows[p][0], chart->xPositions[std::size_t(p)]);
            for (int s = 0; s < chart->numSets(); ++s) {
                QCOMPARE(rows[p][s + 1], chart->sets[std::size_t(s)].values[std::size_t(p)]);
            }
        }
    }

    // The RMS Errors plot of the run: the history's points, the last at the run's end.
    void trainWritesTheRmsPlot()
    {
        const CliRun r = run({"train", path("xor.net"), "--plot-rms", path("rms.csv")});
        QCOMPARE(r.status, 0);
        QVERIFY2(r.err.contains("Target error reached after 320 iterations"), qPrintable(r.err));
        QString header;
        const QList<QList<float>> rows = csvRows(readBytes(path("rms.csv")), &header);
        QCOMPARE(header, QStringLiteral("Iteration,RMS Error"));
        // 5 epochs per call: every other call from epoch 10 on.
        QCOMPARE(rows.size(), 32);
        QCOMPARE(rows.front()[0], 10.0f);
        QCOMPARE(rows.back()[0], 320.0f);
        QVERIFY(rows.back()[1] < rows.front()[1]);

        const CliRun picture = run({"train", path("xor.net"), "--plot-rms", path("rms.svg"),
                                    "--max-iterations", "10"});
        QCOMPARE(picture.status, 0);
        QVERIFY(readBytes(path("rms.svg")).contains("RMS Error"));
    }

    // Pictures need no display: the tool starts its graphics on the offscreen platform itself.
    void picturesWithoutDisplay()
    {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove("QT_QPA_PLATFORM");
        env.remove("DISPLAY");
        env.remove("WAYLAND_DISPLAY");
        p.setProcessEnvironment(env);
        p.start(qEnvironmentVariable("AXONA_CLI"),
                {"plot", path("xor.net"), "layout", "--abs", "--fill", "-o", path("net.png")});
        QVERIFY(p.waitForFinished(60000));
        QCOMPARE(p.exitCode(), 0);
        QVERIFY(readBytes(path("net.png")).startsWith("\x89PNG"));
    }

    // The windows' refusals and the command line's own.
    void refusals_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("message");
        QTest::addRow("no test set") << QStringList {"plot", "xor.net", "tst-outs", "-o", "x.csv"}
                                     << 1 << "Error, must have at least 2 points to plot.";
        QTest::addRow("unknown kind") << QStringList {"plot", "xor.net", "outs", "-o", "x.csv"} << 2
                                      << "KIND is one of pat-outs";
        QTest::addRow("unknown type") << QStringList {"plot", "xor.net", "weights", "-o", "x.gif"}
                                      << 2 << "Unknown output type";
        QTest::addRow("option of another kind")
                << QStringList {"plot", "xor.net", "weights", "--abs", "-o", "x.png"} << 2
                << "--abs and --fill with layout";
        QTest::addRow("no output")
                << QStringList {"plot", "xor.net", "weights"} << 2 << "usage: axona plot";
        QTest::addRow("train, unknown type")
                << QStringList {"train", "xor.net", "--plot-rms", "rms.txt"} << 2
                << "Unknown output type";
    }

    void refusals()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QString, message);
        arguments[1] = path(arguments[1]);
        const CliRun r = run(arguments);
        QCOMPARE(r.status, status);
        QVERIFY2(r.err.contains(message), qPrintable(r.err));
        QCOMPARE(r.out, QString());
    }
};

QTEST_GUILESS_MAIN(TestCliPlots)
#include "tst_cli_plots.moc"
