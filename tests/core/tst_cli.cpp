#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include "clirunner.h"
#include "filetesthelpers.h"

class TestCli : public QObject
{
    Q_OBJECT

private:
    // Runs the tool in an empty folder, so no local file stands in for a named one.
    CliRun run(const QStringList &arguments) { return runCli(m_cwd.path(), arguments); }

private slots:

    void initTestCase()
    {
        QVERIFY(m_cwd.isValid());
        QVERIFY(QFileInfo(qEnvironmentVariable("AXONA_CLI")).isExecutable());
    }

    void infoDescribesTheNetwork()
    {
        const CliRun r = run({"info", dataFile("xor.net")});
        QCOMPARE(r.err, QString());
        QCOMPARE(r.status, 0);
        const QString expected = QStringLiteral("Network file: %1\n"
                                                "Title: XOR\n"
                                                "Layers: 3\n"
                                                "  Layer 1: 2 nodes, input\n"
                                                "  Layer 2: 2 nodes, Sigmoid\n"
                                                "  Layer 3: 1 node, Sigmoid\n"
                                                "Training mode: Back propagation\n"
                                                "Eta: 0.5\n"
                                                "Alpha: 0.9\n"
                                                "Input noise: 0\n"
                                                "Weight noise: 0\n"
                                                "Temp: 1\n"
                                                "Iter./calc.: 5\n"
                                                "Clip patterns: 0\n"
                                                "Target error: 0.05\n"
                                                "Growth factor: 1.75\n"
                                                "Weight cutoff: 30\n"
                                                "Weight decay: 0.01\n"
                                                "Random weights: -3 to 3\n"
                                                "Epoch length: 4\n"
                                                "Random sampling: off\n"
                                                "Normalization: off\n"
                                                "Pattern file: %2\n"
                                                "Patterns: 4\n"
                                                "Test file: %3\n"
                                                "Test patterns: 2\n"
                                                "Weight file: %4\n"
                                                "Weights: 9, min -1.5E+01, max 1.E+01\n")
                                         .arg(dataFile("xor.net"), dataFile("xor.pat"),
                                              dataFile("xor.tst"), dataFile("xor.wgt"));
        QCOMPARE(r.out, expected);
    }

    void messagesGoToStandardError()
    {
        const CliRun old = run({"info", dataFile("v10.net")});
        QCOMPARE(old.status, 0);
        QCOMPARE(old.err,
                 QStringLiteral("You are using version 1.7\nThis file was created with "
                                "version  1.0\n"));
        QVERIFY(old.out.contains("Training mode: Quick Prop.\n"));
        QVERIFY(old.out.contains("Normalization: off\n"));

        const CliRun norm = run({"info", dataFile("norm.net")});
        QCOMPARE(norm.status, 0);
        QVERIFY(norm.out.contains("Normalization: on, by node, inputs linear, outputs linear\n"));

        const QString missing = m_cwd.filePath("missing.net");
        const CliRun failed = run({"info", missing});
        QCOMPARE(failed.status, 1);
        QCOMPARE(failed.out, QString());
        QVERIFY2(failed.err.startsWith("Error reading " + missing + "\nError: Cannot read "),
                 qPrintable(failed.err));
    }

    void commandLine_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("start");
        QTest::newRow("nothing") << QStringList {} << 2 << "usage: axona COMMAND";
        QTest::newRow("generate nothing known")
                << QStringList {"--generate", "zsh"} << 2 << "usage: axona --generate";
        QTest::newRow("unknown") << QStringList {"fly", "x.net"} << 2
                                 << "axona: unknown command fly";
        QTest::newRow("info without a file")
                << QStringList {"info"} << 2 << "usage: axona info NET";
        QTest::newRow("train without a file")
                << QStringList {"train"} << 2 << "usage: axona train NET";
        QTest::newRow("create-test with two methods")
                << QStringList {"create-test", "x.net", "--percent", "25", "--range", "1", "2"} << 2
                << "axona: give exactly one of --percent, --random-block and --range";
        QTest::newRow("normalize with half a range")
                << QStringList {"normalize", "x.net", "--in-range", "0"} << 2
                << "axona: option --in-range needs 2 value(s)";
        QTest::newRow("save without a name")
                << QStringList {"save", "x.net"} << 2 << "usage: axona save NET OUT";
        QTest::newRow("empty network name")
                << QStringList {"info", ""} << 2 << "axona: a file name is empty";
        QTest::newRow("save to an empty name")
                << QStringList {"save", "x.net", ""} << 2 << "axona: a file name is empty";
        QTest::newRow("save into a folder name")
                << QStringList {"save", "x.net", "."} << 2 << "axona: . is a folder";
        QTest::newRow("report to an empty name") << QStringList {"report", "x.net", "-o", ""} << 2
                                                 << "axona: option -o needs a value";
        QTest::newRow("report into a folder")
                << QStringList {"report", "x.net", "-o", "/"} << 2 << "axona: / is a folder";
        QTest::newRow("sensitivity by half a percent")
                << QStringList {"sensitivity", "x.net", "--step", "0.5"} << 2
                << "axona: --step needs a whole percentage";
    }

    void commandLine()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QString, start);
        const CliRun r = run(arguments);
        QCOMPARE(r.status, status);
        QVERIFY2(r.err.startsWith(start), qPrintable(r.err));
    }

    // Every command the overview lists has its own help, which explains each option its usage
    // names; "axona help COMMAND" says the same.
    void helpCoversEveryCommand()
    {
        const CliRun overview = run({"--help"});
        QCOMPARE(overview.status, 0);
        QCOMPARE(overview.err, QString());
        QVERIFY(overview.out.startsWith("usage: axona COMMAND"));
        static const QRegularExpression listed(QStringLiteral("^  axona (\\S+)"),
                                               QRegularExpression::MultilineOption);
        QStringList names;
        for (const QRegularExpressionMatch &m : listed.globalMatch(overview.out)) {
            names << m.captured(1);
        }
        for (const char *known : {"info", "save", "train", "run", "report", "sensitivity",
                                  "weights", "normalize", "create-test"}) {
            QVERIFY2(names.contains(known), known);
        }
        static const QRegularExpression option(QStringLiteral("(?<![\\w-])(--?[a-z][a-z-]*)"));
        for (const QString &name : names) {
            const CliRun help = run({name, "--help"});
            QCOMPARE(help.status, 0);
            QVERIFY2(help.out.startsWith("usage: axona " + name + ' '), qPrintable(help.out));
            const QString usage = help.out.section(QStringLiteral("\n\n"), 0, 0);
            for (const QRegularExpressionMatch &m : option.globalMatch(usage)) {
                QVERIFY2(help.out.contains("\n  " + m.captured(1) + ' ')
                                 || help.out.contains("\n  " + m.captured(1) + '\n'),
                         qPrintable(name + ": " + m.captured(1) + " is not explained"));
            }
            QCOMPARE(run({"help", name}).out, help.out);
        }
    }

    void saveWritesNetworkAndWeights()
    {
        QTemporaryDir dir;
        const CliRun r = run({"save", dataFile("xor.net"), dir.filePath("copy")});
        QCOMPARE(r.err, QString());
        QCOMPARE(r.status, 0);
        const QString net = dir.filePath("copy.net");
        const QString weights = dir.filePath("copy.wgt");
        QCOMPARE(r.out, "Saved " + weights + "\nSaved " + net + "\n");
        QCOMPARE(readBytes(weights), readBytes(dataFile("xor.wgt")));
        const QByteArray text = readBytes(net);
        QVERIFY(text.contains("Data Files:\r\n" + dataFile("xor.pat").toUtf8() + "\r\n"
                              + weights.toUtf8() + "\r\n" + dataFile("xor.tst").toUtf8() + "\r\n"));
        // The copy opens like the original.
        const CliRun again = run({"info", net});
        QCOMPARE(again.status, 0);
        QVERIFY(again.out.contains("Weight file: " + weights + "\n"));
        QVERIFY(again.out.endsWith("Weights: 9, min -1.5E+01, max 1.E+01\n"));

        const CliRun unwritable =
                run({"save", dataFile("xor.net"), dir.filePath("no/such/out.net")});
        QCOMPARE(unwritable.status, 1);
        QVERIFY2(unwritable.err.startsWith("Cannot write " + dir.filePath("no/such/out.wgt")),
                 qPrintable(unwritable.err));
    }

private:
    QTemporaryDir m_cwd;
};

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
