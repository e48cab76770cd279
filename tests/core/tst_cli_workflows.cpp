#include <QTemporaryDir>
#include <QTest>

#include "clirunner.h"
#include "files/netcommands.h"
#include "filetesthelpers.h"
#include "model/netfile.h"
#include "training/report.h"

namespace {

// The report's text as the tool prints it: every line break one line feed.
QString withLineFeeds(QString text)
{
    return text.replace("\r\n", "\n").replace("\n\r", "\n").replace('\r', '\n');
}

} // namespace

// The command-line tool on copies of the shipped examples.
class TestCliWorkflows : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    CliRun run(const QStringList &arguments) { return runCli(m_dir.path(), arguments); }

    QString path(const QString &name) const { return QDir(m_dir.path()).filePath(name); }

    // The report the window would show for the network file, made in this process.
    QString windowReport(const QString &net, bool test)
    {
        TestBench b;
        if (!loadNet(b.wb, net).done() || !runNet(b.wb, test)) {
            return QString();
        }
        return withLineFeeds(b.wb.report.text);
    }

private slots:

    void init()
    {
        QVERIFY(m_dir.isValid());
        for (const QString &name : QDir(dataFile("../../examples")).entryList(QDir::Files)) {
            QFile::remove(path(name));
            QVERIFY(QFile::copy(dataFile("../../examples/" + name), path(name)));
            QFile(path(name)).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
        }
    }

    void trainReachesTheTargetAndRunPrintsTheReport_data()
    {
        QTest::addColumn<QString>("net");
        QTest::addColumn<int>("patterns");
        QTest::newRow("xor") << "xor.net" << 4;
        QTest::newRow("iris") << "iris.net" << 120;
    }

    void trainReachesTheTargetAndRunPrintsTheReport()
    {
        QFETCH(QString, net);
        QFETCH(int, patterns);
        const CliRun before = run({"run", path(net)});
        QCOMPARE(before.status, 0);
        QVERIFY2(!before.out.contains("Good Pats: 100.0%"), qPrintable(before.out));

        const CliRun trained = run({"train", path(net), "--max-iterations", "3000", "--save"});
        QCOMPARE(trained.status, 0);
        QVERIFY2(trained.err.contains("Target error reached after"), qPrintable(trained.err));
        QVERIFY(trained.err.contains("Good: " + QString::number(patterns) + " (100%)"));

        const CliRun after = run({"run", path(net)});
        QCOMPARE(after.status, 0);
        QCOMPARE(after.err, QString());
        QVERIFY(after.out.contains("Good Pats: 100.0%"));
        QCOMPARE(after.out.count(")"), patterns);
        QCOMPARE(after.out, windowReport(path(net), false));
    }

    void testReportAndReportFile()
    {
        const CliRun test = run({"run", path("iris.net"), "--test"});
        QCOMPARE(test.status, 0);
        QCOMPARE(test.out, windowReport(path("iris.net"), true));
        QVERIFY(test.out.contains("0030)"));

        const CliRun hidden = run({"run", path("iris.net"), "--layer", "2"});
        QCOMPARE(hidden.status, 0);
        QVERIFY(!hidden.out.contains("Good Pats:"));

        const CliRun file = run({"report", path("iris.net"), "-o", path("iris.res")});
        QCOMPARE(file.status, 0);
        QCOMPARE(QString::fromUtf8(readBytes(path("iris.res"))).count("\r\n"), 120);

        const CliRun noTest = run({"run", path("xor.net"), "--test"});
        QCOMPARE(noTest.status, 1);
        QVERIFY(!noTest.err.isEmpty());
    }

    void listings()
    {
        const CliRun weights = run({"weights", path("xor.net")});
        QCOMPARE(weights.status, 0);
        QVERIFY(weights.out.startsWith("9\n2\n"));
        const CliRun delta = run({"weights", path("xor.net"), "--delta"});
        QCOMPARE(delta.status, 0);
        const CliRun sens = run({"sensitivity", path("iris.net"), "--step", "5"});
        QCOMPARE(sens.status, 0);
        QVERIFY(sens.out.contains("0004)"));
        QCOMPARE(run({"sensitivity", path("iris.net"), "--step", "0"}).status, 2);
        QCOMPARE(run({"train", path("xor.net"), "--bogus"}).status, 2);
    }

    void createTestWritesNewSetsBesideTheNetwork()
    {
        const QByteArray original = readBytes(path("iris.pat"));
        const CliRun refused = run({"create-test", path("iris.net"), "--percent", "81"});
        QCOMPARE(refused.status, 1);
        // The shipped test set is replaced without asking back: the question is answered Yes.
        QCOMPARE(refused.err,
                 QStringLiteral("Creating new test data will overwrite the current data.\n"
                                "Continue ?\n(answered Yes)\n"
                                "Error - Percent must be >0 and <=80\n"));

        const CliRun made = run({"create-test", path("iris.net"), "--percent", "25"});
        QCOMPARE(made.status, 0);
        QVERIFY2(made.out.endsWith("Saved " + path("iris-train.pat") + "\nSaved "
                                   + path("iris-test.tst") + "\n90 training patterns in "
                                   + path("iris-train.pat") + ", 30 test patterns in "
                                   + path("iris-test.tst") + "\n"),
                 qPrintable(made.out));
        QCOMPARE(readBytes(path("iris.pat")), original);
        QVERIFY(readBytes(path("iris-train.pat")).split('\r').front().simplified() == "90 4 3");
        QVERIFY(readBytes(path("iris-test.tst")).split('\r').front().simplified() == "30 4 3");

        const CliRun info = run({"info", path("iris.net")});
        QCOMPARE(info.status, 0);
        QVERIFY(info.out.contains("Pattern file: " + path("iris-train.pat")));
        QVERIFY(info.out.contains("Test file: " + path("iris-test.tst")));
        QVERIFY(info.out.contains("Patterns: 90\n"));
        QVERIFY(info.out.contains("Normalization: on"));
        // The sets were written in data units: the normalised inputs stay within the range.
        const CliRun report = run({"run", path("iris.net")});
        QCOMPARE(report.status, 0);
        QVERIFY(!report.err.contains("HIGH"));
    }

    void normalizeTwiceGivesTheSameFileAndRefusesLogOnZero()
    {
        const CliRun first = run({"normalize", path("xor.net"), "--in-range", "-1", "1",
                                  "--out-range", "0.1", "0.9"});
        QCOMPARE(first.status, 0);
        QCOMPARE(first.out,
                 "Saved " + path("xor.wgt") + "\nSaved " + path("xor.net")
                         + "\nNormalized: inputs -1.0 to 1.0, outputs 0.1 to 0.9\n");
        const QByteArray once = readBytes(path("xor.net"));
        QVERIFY(run({"normalize", path("xor.net"), "--in-range", "-1", "1", "--out-range", "0.1",
                     "0.9"})
                        .status
                == 0);
        QCOMPARE(readBytes(path("xor.net")), once);

        const CliRun log = run({"normalize", path("xor.net"), "--in-log"});
        QCOMPARE(log.status, 1);
        QCOMPARE(log.err,
                 QStringLiteral("Log normalization is not possible: the inputs hold "
                                "values <= 0.\nChoose Linear for them.\n"));
        QCOMPARE(readBytes(path("xor.net")), once);
    }

    // An epoch length outside 1..patterns stored in the file is corrected on reading, once,
    // so the network can be trained.
    void storedEpochLengthIsCorrected()
    {
        const QByteArray text = readBytes(path("xor.net"));
        const QByteArray label = "Epoc length; Random sampling:\r\n";
        const qsizetype at = text.indexOf(label) + label.size();
        QVERIFY(!writeFile(m_dir.path(), "epoch.net", QByteArray(text).replace(at, 3, " 9 "))
                         .isEmpty());
        const CliRun trained = run({"train", path("epoch.net"), "--max-iterations", "1"});
        QCOMPARE(trained.status, 0);
        QCOMPARE(trained.err.count("Epoc Lenght Should Be between 1 to 4"), 1);
    }

    // A side left raw is not normalised, so it cannot be log-normalised: the combination is
    // refused and the file stays as it was.
    void rawSideWithLogIsRefused_data()
    {
        QTest::addColumn<QString>("raw");
        QTest::addColumn<QString>("log");
        QTest::newRow("outputs") << "--raw-outs"
                                 << "--out-log";
        QTest::newRow("inputs") << "--raw-ins"
                                << "--in-log";
    }

    void rawSideWithLogIsRefused()
    {
        QFETCH(QString, raw);
        QFETCH(QString, log);
        writePositiveNetwork();
        const QByteArray before = readBytes(path("pos.net"));
        const CliRun refused = run({"normalize", path("pos.net"), raw, log});
        QCOMPARE(refused.status, 2);
        QVERIFY2(refused.err.contains(raw + " and " + log + " exclude each other"),
                 qPrintable(refused.err));
        QCOMPARE(readBytes(path("pos.net")), before);
    }

    // With log-normalised outputs, a test set holding an output <= 0 is refused with a message,
    // at Normalize and when the network is opened, instead of reporting e to the power of it.
    void testSetTheLogCannotTakeIsRefused()
    {
        writePositiveNetwork();
        QVERIFY(!writeFile(m_dir.path(), "pos.tst", "2 2 1\r\n0 1 0\r\n1 0 2\r\n").isEmpty());
        const CliRun refused = run({"normalize", path("pos.net"), "--out-log"});
        QCOMPARE(refused.status, 1);
        // After the note that the raw targets exceed the Sigmoid's range.
        QVERIFY2(refused.err.endsWith("Log normalization is not possible: the outputs of the test "
                                      "set hold values <= 0.\nChoose Linear for them.\n"),
                 qPrintable(refused.err));

        QVERIFY(!writeFile(m_dir.path(), "pos.tst", "2 2 1\r\n0 1 5.43\r\n1 0 2\r\n").isEmpty());
        QCOMPARE(run({"normalize", path("pos.net"), "--out-log"}).status, 0);
        const CliRun test = run({"run", path("pos.net"), "--test"});
        QCOMPARE(test.status, 0);
        QVERIFY2(test.out.contains("5.430000"), qPrintable(test.out));

        QVERIFY(!writeFile(m_dir.path(), "pos.tst", "2 2 1\r\n0 1 0\r\n1 0 2\r\n").isEmpty());
        const CliRun zero = run({"run", path("pos.net"), "--test"});
        QCOMPARE(zero.status, 1);
        QVERIFY2(zero.err.contains("The test set cannot be used: its outputs hold values <= 0"),
                 qPrintable(zero.err));
        QVERIFY(!zero.out.contains("1.000000"));
    }

private:
    // pos.net: the XOR network on targets all above zero (1, 2, 2, 1), with the test set pos.tst.
    void writePositiveNetwork()
    {
        QVERIFY(!writeFile(m_dir.path(), "pos.pat", "4 2 1\r\n0 0 1\r\n0 1 2\r\n1 0 2\r\n1 1 1\r\n")
                         .isEmpty());
        QVERIFY(!writeFile(m_dir.path(), "pos.tst", "2 2 1\r\n0 1 2\r\n1 0 2\r\n").isEmpty());
        QVERIFY(!writeFile(m_dir.path(), "pos.net",
                           readBytes(path("xor.net"))
                                   .replace("xor.pat", "pos.pat")
                                   .replace("click here to open file", "pos.tst"))
                         .isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestCliWorkflows)
#include "tst_cli_workflows.moc"
