#include <csignal>
#include <memory>
#include <utility>

#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

#include "clirunner.h"
#include "filetesthelpers.h"

namespace {

const QStringList XorFiles {"xor.net", "xor.pat", "xor.wgt", "xor.tst"};

// The network file's text with one line replaced (lines end in CRLF).
QByteArray withLine(QByteArray text, const QByteArray &from, const QByteArray &to)
{
    return text.replace("\r\n" + from + "\r\n", "\r\n" + to + "\r\n");
}

// Every file of folder with its bytes.
QMap<QString, QByteArray> snapshot(const QString &folder)
{
    QMap<QString, QByteArray> files;
    for (const QString &name : QDir(folder).entryList(QDir::Files)) {
        files.insert(name, readBytes(QDir(folder).filePath(name)));
    }
    return files;
}

} // namespace

// What the command-line tool does when a file, the data or the user would make it lose data,
// write the wrong file or never end.
class TestCliSafety : public QObject
{
    Q_OBJECT

private:
    // A fresh folder for each test, holding copies of the XOR files.
    std::unique_ptr<QTemporaryDir> m_folder;

    CliRun run(const QStringList &arguments) { return runCli(m_folder->path(), arguments); }

    QString path(const QString &name) const { return m_folder->filePath(name); }

    // The XOR network of tests/data with lines of its file replaced, as edited.net.
    QString xorWith(const QList<std::pair<QByteArray, QByteArray>> &lines)
    {
        QByteArray text = readBytes(path("xor.net"));
        for (const auto &[from, to] : lines) {
            text = withLine(text, from, to);
        }
        return writeFile(m_folder->path(), "edited.net", text);
    }

    // Runs the tool under a shell with the file size limit at blocks of 512 bytes.
    CliRun runLimited(int blocks, const QStringList &arguments)
    {
        QStringList quoted;
        for (const QString &a : arguments) {
            quoted << "'" + a + "'";
        }
        const QString script = QStringLiteral("ulimit -f %1; exec \"$AXONA_CLI\" %2")
                                       .arg(blocks)
                                       .arg(quoted.join(' '));
        QProcess p;
        p.setWorkingDirectory(m_folder->path());
        p.start("/bin/sh", {"-c", script});
        CliRun r;
        if (p.waitForFinished(120000) && p.exitStatus() == QProcess::NormalExit) {
            r.status = p.exitCode();
            r.out = QString::fromUtf8(p.readAllStandardOutput());
            r.err = QString::fromUtf8(p.readAllStandardError());
        }
        return r;
    }

private slots:

    void init()
    {
        m_folder = std::make_unique<QTemporaryDir>();
        QVERIFY(m_folder->isValid());
        QVERIFY(copyData(m_folder->path(), XorFiles));
    }

    // A linear output layer at Eta 2 diverges: the NaN weights never replace the saved ones.
    void divergedRunKeepsTheSavedWeights()
    {
        const QString net = xorWith({{"1 1 1 ", "1 1 2 "}, {" .5            .9 ", " 2  .9 "}});
        const QMap<QString, QByteArray> before = snapshot(m_folder->path());

        const CliRun r = run({"train", net, "--max-iterations", "400", "--save"});
        QCOMPARE(r.status, 1);
        QVERIFY2(r.err.contains(QRegularExpression("Cannot write .*xor\\.wgt: weight \\d of node "
                                                   "\\d in layer \\d is (NaN|-?Inf)\\n")),
                 qPrintable(r.err));
        QCOMPARE(snapshot(m_folder->path()), before);
        QCOMPARE(run({"info", net}).status, 0);
    }

    void saveRefusesAFileTheNetworkUses_data()
    {
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("message");
        QTest::newRow("network over its own new weights")
                << "copy.wgt"
                << "the network file and its weight file would be the same file";
        QTest::newRow("over the pattern file") << "xor.pat"
                                               << "it is the network's pattern file";
        QTest::newRow("over the test file") << "xor.tst"
                                            << "it is the network's test file";
        QTest::newRow("over the weight file") << "xor.wgt"
                                              << "it is the network's weight file";
    }

    void saveRefusesAFileTheNetworkUses()
    {
        QFETCH(QString, out);
        QFETCH(QString, message);
        const QMap<QString, QByteArray> before = snapshot(m_folder->path());
        const CliRun r = run({"save", path("xor.net"), path(out)});
        QCOMPARE(r.status, 1);
        QVERIFY2(r.err.contains(message), qPrintable(r.err));
        QCOMPARE(r.out, QString());
        QCOMPARE(snapshot(m_folder->path()), before);
    }

    // A second Create Test cuts the set the first one left; every file the first one wrote stays.
    void createTestNeverOverwrites()
    {
        QVERIFY(QFile::copy(dataFile("../../examples/iris.net"), path("iris.net")));
        for (const char *name : {"iris.pat", "iris.tst", "iris.wgt"}) {
            QVERIFY(QFile::copy(dataFile(QStringLiteral("../../examples/") + name), path(name)));
        }
        QVERIFY(run({"create-test", path("iris.net"), "--percent", "25"}).status == 0);
        const QMap<QString, QByteArray> first = snapshot(m_folder->path());
        QVERIFY(first.contains("iris-train.pat") && first.contains("iris-test.tst"));

        const CliRun second = run({"create-test", path("iris.net"), "--percent", "20"});
        QCOMPARE(second.status, 0);
        const QMap<QString, QByteArray> after = snapshot(m_folder->path());
        for (const QString &name : first.keys()) {
            if (name != "iris.net" && name != "iris.wgt") {
                QVERIFY2(after.value(name) == first.value(name), qPrintable(name));
            }
        }
        const CliRun info = run({"info", path("iris.net")});
        QVERIFY(info.out.contains("Patterns: 72\n"));
        QVERIFY(info.out.contains("Test patterns: 18\n"));
        QVERIFY(!info.out.contains("Pattern file: " + path("iris-train.pat") + "\n"));
    }

    // The test set cannot be written: neither set file appears and the network is unchanged.
    void createTestWritesAllOrNothing()
    {
        QVERIFY(QFile::copy(dataFile("../../examples/iris.net"), path("iris.net")));
        for (const char *name : {"iris.pat", "iris.tst", "iris.wgt"}) {
            QVERIFY(QFile::copy(dataFile(QStringLiteral("../../examples/") + name), path(name)));
        }
        const QMap<QString, QByteArray> before = snapshot(m_folder->path());
        // 24 training patterns fit under 1 KiB, the 96 test patterns do not.
        const CliRun r = runLimited(2, {"create-test", path("iris.net"), "--percent", "80"});
        QCOMPARE(r.status, 1);
        QVERIFY2(r.err.contains("Cannot write "), qPrintable(r.err));
        QCOMPARE(snapshot(m_folder->path()), before);
    }

    void unreadableFactorsAreRefused()
    {
        const QMap<QString, QByteArray> before = snapshot(m_folder->path());
        const CliRun huge = run({"normalize", path("xor.net"), "--in-range", "1e39", "1"});
        QCOMPARE(huge.status, 1);
        QVERIFY2(huge.err.contains("Normalization is not possible"), qPrintable(huge.err));
        QCOMPARE(snapshot(m_folder->path()), before);

        const QByteArray text = withLine(readBytes(path("xor.net")),
                                         "Normalization; Global Normalization\r\n 0             0 ",
                                         "Normalization; Global Normalization\r\n-1             0 "
                                         "\r\nInput Normalization factors a; b; log:\r\n"
                                         "-Inf           Inf           0 \r\n"
                                         " 1             0             0 \r\n"
                                         " 1             0             0 \r\n"
                                         "Output Normalization factors a; b; log:\r\n"
                                         " 1             0             0 \r\n"
                                         " 1             0             0 ");
        const QString net = writeFile(m_folder->path(), "factors.net", text);
        const CliRun info = run({"info", net});
        QCOMPARE(info.status, 1);
        QVERIFY2(info.err.contains("input normalization factor a of line 1 is not a number"),
                 qPrintable(info.err));
    }

    void namesHoldingCommaAndQuoteReadBack()
    {
        const QString folder = path("a,\"b\" c");
        QVERIFY(QDir().mkpath(folder));
        for (const QString &name : XorFiles) {
            // Only there: the tool's own folder would stand in for a name that is cut.
            QVERIFY(QFile::rename(path(name), QDir(folder).filePath(name)));
        }
        const QString out = QDir(folder).filePath("copy");
        QCOMPARE(run({"save", QDir(folder).filePath("xor.net"), out}).status, 0);
        const CliRun info = run({"info", out + ".net"});
        QCOMPARE(info.err, QString());
        QCOMPARE(info.status, 0);
        QVERIFY(info.out.contains("Pattern file: " + QDir(folder).filePath("xor.pat") + "\n"));
        QVERIFY(info.out.contains("Weight file: " + out + ".wgt\n"));
    }

    void signalEndsTrainingAndSaves_data()
    {
        QTest::addColumn<int>("signal");
        QTest::addColumn<int>("status");
        QTest::newRow("Ctrl-C") << int(SIGINT) << 130;
        QTest::newRow("SIGTERM") << int(SIGTERM) << 143;
    }

    void signalEndsTrainingAndSaves()
    {
        QFETCH(int, signal);
        QFETCH(int, status);
        // No pattern is ever within a negative target error: only a signal ends the run.
        const QString net = xorWith({{" .05 ", "-1 "}});
        const QByteArray weights = readBytes(path("xor.wgt"));
        QProcess p;
        p.setWorkingDirectory(m_folder->path());
        p.setReadChannel(QProcess::StandardError);
        p.start(qEnvironmentVariable("AXONA_CLI"), {"train", net, "--save"});
        QVERIFY(p.waitForStarted());
        QByteArray err;
        while (!err.contains("Iterations:") && p.waitForReadyRead(30000)) {
            err += p.readAllStandardError();
        }
        QVERIFY2(err.contains("Iterations:"), err.constData());
        QCOMPARE(::kill(pid_t(p.processId()), signal), 0);
        QVERIFY(p.waitForFinished(30000));
        err += p.readAllStandardError();
        QCOMPARE(p.exitStatus(), QProcess::NormalExit);
        QCOMPARE(p.exitCode(), status);
        QVERIFY2(err.contains("Stopped before the target error was reached"), err.constData());
        QVERIFY(readBytes(path("xor.wgt")) != weights);
        QCOMPARE(run({"info", net}).status, 0);
    }

    void namedPipeIsNotRead()
    {
        QVERIFY(QFile::remove(path("xor.pat")));
        QCOMPARE(::mkfifo(QFile::encodeName(path("xor.pat")).constData(), 0600), 0);
        const CliRun r = run({"info", path("xor.net")});
        QCOMPARE(r.status, 1);
        QVERIFY2(r.err.startsWith("Error in Pattern file\nError: Cannot read " + path("xor.pat")
                                  + ": it is not a regular file\n"),
                 qPrintable(r.err));
    }

    void noEpochPerCallIsRefused_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::newRow("0") << QByteArray(" 0  0  1  0  0 ");
        QTest::newRow("negative") << QByteArray(" 0  0  1 -3  0 ");
    }

    void noEpochPerCallIsRefused()
    {
        QFETCH(QByteArray, line);
        const QString net = xorWith({{" 0  0  1  5  0 ", line}});
        const CliRun r = run({"info", net});
        QCOMPARE(r.status, 1);
        QVERIFY2(r.err.contains("Iter./calc. is "), qPrintable(r.err));
    }

    // The weight file a network names may lie anywhere: whatever a command writes, it says.
    void everyFileWrittenIsNamed()
    {
        QVERIFY(QDir().mkpath(path("victim")));
        QVERIFY(QFile::rename(path("xor.wgt"), path("victim/MODEL.WGT")));
        const QString net = xorWith({{"xor.wgt", "../victim/MODEL.WGT"}});
        QVERIFY(QDir().mkpath(path("nets")));
        QVERIFY(QFile::rename(net, path("nets/edited.net")));
        for (const QString name : {"xor.pat", "xor.tst"}) {
            QVERIFY(QFile::rename(path(name), path("nets/" + name)));
        }
        const CliRun r = run({"train", path("nets/edited.net"), "--max-iterations", "1", "--save"});
        QCOMPARE(r.status, 0);
        QCOMPARE(r.out,
                 "Saved " + path("victim/MODEL.WGT") + "\nSaved " + path("nets/edited.net") + "\n");
    }

    // Float rounding leaves the top of a range a hair below 0: it is shown as the 0 it is.
    void rangeEndsShowNoNegativeZero()
    {
        for (const char *name : {"iris.net", "iris.pat", "iris.tst", "iris.wgt"}) {
            QVERIFY(QFile::copy(dataFile(QStringLiteral("../../examples/") + name), path(name)));
        }
        const CliRun r = run({"normalize", path("iris.net"), "--global", "--in-range", "-1", "0"});
        QCOMPARE(r.status, 0);
        QVERIFY2(r.out.endsWith("Normalized: inputs -1.0 to 0.0, outputs 0.0 to 1.0\n"),
                 qPrintable(r.out));
    }

    // A full disk or a file size limit is reported like any failed write; nothing is cut short.
    void fileSizeLimitIsReported()
    {
        const CliRun r = runLimited(1, {"save", path("xor.net"), path("big")});
        QCOMPARE(r.status, 1);
        QVERIFY2(r.err.contains("Cannot write " + path("big.")), qPrintable(r.err));
        QVERIFY(!QFile::exists(path("big.net")));
    }
};

QTEST_GUILESS_MAIN(TestCliSafety)
#include "tst_cli_safety.moc"
