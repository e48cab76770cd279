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
};

QTEST_GUILESS_MAIN(TestCliWorkflows)
#include "tst_cli_workflows.moc"
