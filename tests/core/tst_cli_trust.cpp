#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include "clirunner.h"
#include "files/netcommands.h"
#include "filetesthelpers.h"
#include "training/evaluation.h"

// Building, evaluating and seeding networks from the command line, on copies of the examples.
class TestCliTrust : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    CliRun run(const QStringList &arguments) { return runCli(m_dir.path(), arguments); }

    QString path(const QString &name) const { return QDir(m_dir.path()).filePath(name); }

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

    void newBuildsWhatInfoReadsBack()
    {
        const CliRun made = run({"new", "made", "--layers", "4,5,3", "--functions", "tanh,Linear",
                                 "--patterns", "iris.pat", "--test", "iris.tst", "--seed", "3"});
        QCOMPARE(made.status, 0);
        const CliRun info = run({"info", path("made.net")});
        QCOMPARE(info.status, 0);
        for (const char *line :
             {"Layers: 3\n", "Layer 1: 4 nodes, input\n", "Layer 2: 5 nodes, Tanh\n",
              "Layer 3: 3 nodes, Linear\n", "Patterns: 120\n", "Test patterns: 30\n"}) {
            QVERIFY2(info.out.contains(line), qPrintable(line + ("\nin\n" + info.out)));
        }
        QVERIFY(info.out.contains(QRegularExpression("Pattern file: .*iris.pat\n")));
        QVERIFY(info.out.contains(QRegularExpression("Test file: .*iris.tst\n")));
        QVERIFY(info.out.contains(QRegularExpression("Weight file: .*made.wgt\n")));

        const CliRun suggested = run({"new", "tuned", "--layers", "4,5,3", "--patterns", "iris.pat",
                                      "--suggest", "--seed", "3"});
        QCOMPARE(suggested.status, 0);
        // The 120 patterns in windows of 64 and Eta 0.2 / 64; weights within 2 / sqrt(6), the
        // output layer's fan-in with its bias.
        const QString tuned = run({"info", path("tuned.net")}).out;
        QVERIFY2(tuned.contains("Epoch length: 64\n"), qPrintable(tuned));
        QVERIFY(tuned.contains("Eta: 0.003125\n"));
        QVERIFY(tuned.contains("Alpha: 0.9\n"));
        QVERIFY(tuned.contains("Random weights: -0.8164966 to 0.8164966"));

        QCOMPARE(run({"new", "bad", "--layers", "4,2", "--patterns", "iris.pat"}).status, 1);
        QCOMPARE(run({"new", "bad", "--layers", "4", "--patterns", "iris.pat"}).status, 2);
        QCOMPARE(run({"new", "bad", "--layers", "4,3", "--functions", "relu", "--patterns",
                      "iris.pat"})
                         .status,
                 2);
        QVERIFY(!QFile::exists(path("bad.net")));
    }

    // The same seed gives the same weights bit for bit, by new and by randomize.
    void seedRepeats()
    {
        const QStringList layers {"--layers", "4,6,3", "--patterns", "iris.pat"};
        QCOMPARE(run(QStringList {"new", "a"} + layers + QStringList {"--seed", "11"}).status, 0);
        QCOMPARE(run(QStringList {"new", "b"} + layers + QStringList {"--seed", "11"}).status, 0);
        QCOMPARE(run(QStringList {"new", "c"} + layers + QStringList {"--seed", "12"}).status, 0);
        QCOMPARE(readBytes(path("a.wgt")), readBytes(path("b.wgt")));
        QVERIFY(readBytes(path("a.wgt")) != readBytes(path("c.wgt")));

        QCOMPARE(run({"randomize", path("c.net"), "--seed", "11"}).status, 0);
        QCOMPARE(readBytes(path("a.wgt")), readBytes(path("c.wgt")));
        QCOMPARE(run({"randomize", path("c.net"), "--seed", "x"}).status, 2);
    }

    void evalPrintsTheFigures()
    {
        const CliRun listing = run({"eval", path("iris.net"), "--test"});
        QCOMPARE(listing.status, 0);
        QVERIFY2(listing.out.startsWith("Test set: 30 patterns, 3 outputs\n"),
                 qPrintable(listing.out));
        QVERIFY(listing.out.contains("Class. err.: "));

        // The JSON holds what the core computes for the window's listing.
        const CliRun json = run({"eval", path("iris.net"), "--test", "--json"});
        QCOMPARE(json.status, 0);
        const QJsonObject o = QJsonDocument::fromJson(json.out.toUtf8()).object();
        TestBench b;
        QVERIFY(loadNet(b.wb, path("iris.net")).done());
        const std::optional<Evaluation> e = evaluateSet(b.wb, true);
        QVERIFY(e && e->classes);
        QCOMPARE(o.value("misclassified").toInt(), e->misclassified);
        QCOMPARE(o.value("patterns").toInt(), 30);
        QCOMPARE(o.value("confusion").toArray().size(), 3);

        // Any pattern file of the right shape: the test file read as --data gives the same.
        const CliRun data = run({"eval", path("iris.net"), "--data", "iris.tst", "--json"});
        QCOMPARE(data.status, 0);
        QCOMPARE(data.out, json.out);

        QCOMPARE(run({"eval", path("iris.net"), "--data", "xor.pat"}).status, 1);
        QCOMPARE(run({"eval", path("iris.net"), "--test", "--data", "iris.tst"}).status, 2);
        QCOMPARE(run({"eval", path("xor.net"), "--test"}).status, 1);
    }

    // One-run overrides reach the run and, with --save, the network file; the progress line
    // names epochs and engine calls apart: three iterations over two windows of 60 patterns.
    void trainOverrides()
    {
        const CliRun trained = run({"train", path("iris.net"), "--max-iterations", "3", "--eta",
                                    "0.05", "--alpha", "0.7", "--epochs-per-call", "2", "--mode",
                                    "qp", "--epoch-length", "60", "--target", "0.3", "--save"});
        QCOMPARE(trained.status, 0);
        QVERIFY2(trained.err.contains("Epochs: 6 (engine calls: 6)  RMS error: "),
                 qPrintable(trained.err));
        QVERIFY(trained.err.contains("  Test RMS error: "));
        QVERIFY(trained.err.contains("  Test class. err.: "));
        const QString info = run({"info", path("iris.net")}).out;
        for (const char *line :
             {"Eta: 0.05\n", "Alpha: 0.7\n", "Iter./calc.: 2\n", "Training mode: Quick Prop.\n",
              "Epoch length: 60\n", "Target error: 0.3\n"}) {
            QVERIFY2(info.contains(line), qPrintable(line + ("\nin\n" + info)));
        }

        const struct
        {
            QStringList args;
            const char *problem;
        } refused[] = {
                {{"--mode", "sgd"}, "--mode is bp or qp"},
                {{"--eta", "fast"}, "--eta needs a number"},
                {{"--epoch-length", "121"}, "--epoch-length needs a whole number 1..120"},
                {{"--epochs-per-call", "0"}, "--epochs-per-call needs a whole number 1..32767"},
                {{"--seed", "1.5"}, "--seed needs a whole number"},
        };

        for (const auto &r : refused) {
            const CliRun bad = run(QStringList {"train", path("iris.net")} + r.args);
            QCOMPARE(bad.status, 2);
            QVERIFY2(bad.err.contains(r.problem), qPrintable(bad.err));
        }
        const CliRun noTest = run({"train", path("xor.net"), "--keep-best"});
        QCOMPARE(noTest.status, 2);
        QVERIFY(noTest.err.contains("--keep-best needs a test set"));
    }

    // --keep-best saves the weights of the iteration of lowest test error: evaluating the saved
    // network on the test set gives the test error the run reported for that iteration.
    void keepBestSavesTheBestWeights()
    {
        const CliRun trained = run({"train", path("iris.net"), "--max-iterations", "300", "--eta",
                                    "0.3", "--keep-best", "--save"});
        QCOMPARE(trained.status, 0);
        const QRegularExpression best(
                "Best weights on the test set kept: iteration (\\d+), test RMS error ([.0-9]+)\n");
        const QRegularExpressionMatch m = best.match(trained.err);
        QVERIFY2(m.hasMatch(), qPrintable(trained.err));
        QVERIFY(m.captured(1).toInt() <= 1500);
        const CliRun json = run({"eval", path("iris.net"), "--test", "--json"});
        QCOMPARE(json.status, 0);
        const double rms =
                QJsonDocument::fromJson(json.out.toUtf8()).object().value("rms").toDouble();
        QVERIFY2(std::abs(rms - m.captured(2).toDouble()) < 1e-6,
                 qPrintable(QString::number(rms) + " vs " + m.captured(2)));
    }

    // A run driven to NaN stops with status 1 and the message; what --save writes are the last
    // sound weights, which read back.
    void divergedRunSavesNoNaN()
    {
        QCOMPARE(run({"new", "lin", "--layers", "4,3", "--functions", "linear", "--patterns",
                      "iris.pat", "--seed", "2"})
                         .status,
                 0);
        const QByteArray before = readBytes(path("lin.wgt"));
        const CliRun trained = run(
                {"train", path("lin.net"), "--max-iterations", "50", "--eta", "1000", "--save"});
        QCOMPARE(trained.status, 1);
        QVERIFY2(trained.err.contains("Training diverged at iteration 5: ")
                         && trained.err.contains(
                                 "The weights of iteration 0 restored; try a smaller "
                                 "Eta"),
                 qPrintable(trained.err));
        QCOMPARE(readBytes(path("lin.wgt")), before);
        QCOMPARE(run({"info", path("lin.net")}).status, 0);
    }

    // create-test --seed draws the same split from the same data; another seed another one.
    void createTestSeedRepeats()
    {
        for (const char *copy : {"a.net", "b.net", "c.net"}) {
            QFile::remove(path(copy));
            QVERIFY(QFile::copy(path("iris.net"), path(copy)));
        }
        QCOMPARE(run({"create-test", path("a.net"), "--percent", "20", "--seed", "4"}).status, 0);
        QCOMPARE(run({"create-test", path("b.net"), "--percent", "20", "--seed", "4"}).status, 0);
        QCOMPARE(run({"create-test", path("c.net"), "--percent", "20", "--seed", "5"}).status, 0);
        QCOMPARE(readBytes(path("a-test.tst")), readBytes(path("b-test.tst")));
        QCOMPARE(readBytes(path("a-train.pat")), readBytes(path("b-train.pat")));
        QVERIFY(readBytes(path("a-test.tst")) != readBytes(path("c-test.tst")));
    }
};

QTEST_GUILESS_MAIN(TestCliTrust)
#include "tst_cli_trust.moc"
