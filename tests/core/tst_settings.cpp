#include <QTemporaryDir>
#include <QTest>

#include "files/editor.h"
#include "files/patterncommands.h"
#include "files/setup.h"
#include "filetesthelpers.h"
#include "linkedengine.h"
#include "model/patternfile.h"
#include "model/settings.h"
#include "near.h"
#include "training/construction.h"
#include "training/training.h"

class TestSettings : public QObject
{
    Q_OBJECT

private:
    // Replaces the settings file with text. QSettings keeps a file it read until its size or
    // time changes, and two writes can fall in one millisecond: a comment of growing length
    // makes every version a new size.
    void writeIni(const QByteArray &text)
    {
        const QByteArray comment = "\n;" + QByteArray(++m_writes, 'x') + "\n";
        QVERIFY(!writeFile(m_config.path(), "axona.ini", text + comment).isEmpty());
    }

private slots:

    void initTestCase()
    {
        QVERIFY(m_config.isValid() && m_cwd.isValid());
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_config.path()));
        QVERIFY(QDir::setCurrent(m_cwd.path()));
    }

    void init() { QFile::remove(QDir(m_config.path()).filePath("axona.ini")); }

    void defaultsWithoutAFile()
    {
        Settings s;
        QCOMPARE(s.path(), QDir(m_config.path()).filePath("axona.ini"));
        QCOMPARE(s.editor(), QStringLiteral("xdg-open"));
        QCOMPARE(s.localNames(1), 1);
        QCOMPARE(s.localNames(-1), -1);
        QCOMPARE(s.outPlotTime(), 20);
        QCOMPARE(s.wPlotTime(), 15);
        TestBench b;
        QCOMPARE(b.wb.model.EditorCommand, QStringLiteral("xdg-open"));
    }

    void handWrittenFile()
    {
        writeIni("[Setup]\r\nEditor=kate --new\r\nLocalNames=2\r\nOutPlotTime=7 seconds\r\n"
                 "WPlotTime=abc\r\n");
        Settings s;
        QCOMPARE(s.editor(), QStringLiteral("kate --new"));
        QCOMPARE(s.localNames(1), 2);
        QCOMPARE(s.outPlotTime(), 7);
        QCOMPARE(s.wPlotTime(), 0);
        writeIni("[Setup]\nEditor=" + QByteArray(100, 'e') + "\n");
        QCOMPARE(Settings().editor(), QString(79, u'e'));
    }

    void writtenFileReadsBack()
    {
        Settings s;
        QVERIFY(s.setEditor("gedit --new-window"));
        QVERIFY(s.setLocalNames(false));
        QVERIFY(s.setOutPlotTime(30));
        QVERIFY(s.setWPlotTime(5));
        const QByteArray ini = readBytes(s.path());
        QVERIFY2(ini.contains("[Setup]") && ini.contains("LocalNames=0"), ini.constData());
        const Settings again;
        QCOMPARE(again.editor(), QStringLiteral("gedit --new-window"));
        QCOMPARE(again.localNames(1), 0);
        QCOMPARE(again.outPlotTime(), 30);
        QCOMPARE(again.wPlotTime(), 5);
    }

    void fileNameParts_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("part");
        QTest::newRow("windows") << "c:\\old\\data.pat"
                                 << "data.pat";
        QTest::newRow("unix") << "/home/a/x.wgt"
                              << "x.wgt";
        QTest::newRow("mixed") << "d:\\nets/sub\\t.tst"
                               << "t.tst";
        QTest::newRow("bare") << "x.pat"
                              << "x.pat";
    }

    void fileNameParts()
    {
        QFETCH(QString, stored);
        QFETCH(QString, part);
        QCOMPARE(fileNamePart(stored), part);
        QCOMPARE(localCandidate(stored), QDir::current().filePath(part));
    }

    void localNameRule_data()
    {
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<bool>("patterns");
        QTest::addColumn<bool>("local");
        QTest::newRow("no setting, patterns") << QByteArray() << true << true;
        QTest::newRow("no setting, others") << QByteArray() << false << true;
        QTest::newRow("0, patterns") << QByteArray("LocalNames=0") << true << false;
        QTest::newRow("0, others") << QByteArray("LocalNames=0") << false << false;
        QTest::newRow("1, patterns") << QByteArray("LocalNames=1") << true << true;
        QTest::newRow("2, patterns") << QByteArray("LocalNames=2") << true << false;
        QTest::newRow("2, others") << QByteArray("LocalNames=2") << false << true;
        QTest::newRow("-1, others") << QByteArray("LocalNames=-1") << false << true;
    }

    void localNameRule()
    {
        QFETCH(QByteArray, ini);
        QFETCH(bool, patterns);
        QFETCH(bool, local);
        writeIni("[Setup]\n" + ini + "\n");
        QTemporaryDir elsewhere;
        const QString stored = writeFile(elsewhere.path(), "data.pat", "1 2 1 0 0 0");
        const QString here = writeFile(QDir::currentPath(), "data.pat", "1 2 1 1 1 1");
        const LocalNameUse use = patterns ? LocalNameUse::Patterns : LocalNameUse::Others;
        const Settings s;
        QCOMPARE(resolveStoredName(s, stored, use), local ? here : stored);
        // A stored folder that no longer exists: the local file or the name as it was stored.
        QCOMPARE(resolveStoredName(s, "c:\\old\\data.pat", use), local ? here : "c:/old/data.pat");
        QFile::remove(here);
    }

    void otherLetterCaseIsFound()
    {
        QTemporaryDir dir;
        const QString actual = writeFile(dir.path(), "Data.Pat", "1 2 1 0 0 0");
        const Settings s;
        QCOMPARE(resolveStoredName(s, dir.filePath("DATA.PAT"), LocalNameUse::Patterns), actual);
        // In the current directory too, for a name stored on Windows.
        const QString local = writeFile(QDir::currentPath(), "Weights.WGT", "0");
        QCOMPARE(resolveStoredName(s, "C:\\NETS\\WEIGHTS.WGT", LocalNameUse::Others), local);
        QFile::remove(local);
    }

    void localPatternFileIsLoadedAndShown()
    {
        TestBench b;
        buildNetwork(b.wb);
        const QString here = writeFile(QDir::currentPath(), "data.pat", "1 2 1 1 0 1");
        QVERIFY(openPatterns(b.wb, false, "c:\\old\\data.pat").done());
        QCOMPARE(b.wb.form.text("LBL_DataFile"), here);
        QCOMPARE(b.wb.model.PatFileName, here);
        QFile::remove(here);
    }

    void setupDialog()
    {
        writeIni("[Setup]\nLocalNames=0\n");
        TestBench b;
        NetModel &m = b.wb.model;
        m.EditorCommand = "kate";
        SetupValues v = loadSetup(b.wb);
        QCOMPARE(v.editor, QStringLiteral("kate"));
        QVERIFY(!v.localNames);
        QCOMPARE(v.trainingMethod, 1);
        QVERIFY(!v.quickPropEnabled);
        QCOMPARE(v.growthFactor, QStringLiteral("1.75"));
        QCOMPARE(v.weightCutOff, QStringLiteral("30"));
        QCOMPARE(v.weightDecay, QStringLiteral("0.01"));

        chooseTrainingMethod(v, 2);
        QVERIFY(v.quickPropEnabled);
        v.editor = "  gedit  ";
        v.localNames = true;
        v.growthFactor = "2.5";
        v.weightCutOff = "12x";
        v.weightDecay = "none";
        storeSetup(b.wb, v);
        QCOMPARE(m.TrainMode, int16_t(2));
        QCOMPARE(m.EditorCommand, QStringLiteral("gedit"));
        QVERIFY(near(m.GrowthFactor, 2.5, 0) && near(m.WCutOff, 12, 0) && near(m.WDecay, 0, 0));
        QCOMPARE(Settings().localNames(-1), 1);
        QCOMPARE(Settings().editor().trimmed(), QStringLiteral("gedit"));
        QVERIFY(b.ui.texts().isEmpty());

        chooseTrainingMethod(v, 1);
        QVERIFY(!v.quickPropEnabled);
        storeSetup(b.wb, v);
        QCOMPARE(m.TrainMode, int16_t(1));
    }

    // The Setup's fixed seed and the keep-best choice outlive the program in the settings file;
    // a fixed seed makes every Randomize draw the same weights, another seed other ones.
    void fixedSeedAndKeepBestPersist()
    {
        TestBench b;
        QVERIFY(buildNetwork(b.wb));
        QVERIFY(!b.wb.form.isChecked("CHK_KeepBest"));
        SetupValues v = loadSetup(b.wb);
        QCOMPARE(v.fixedSeed, QString());
        const auto drawn = [&b](const QString &seed) {
            SetupValues values = loadSetup(b.wb);
            values.fixedSeed = seed;
            storeSetup(b.wb, values);
            randomizeWeights(b.wb);
            const Array3 &w = b.wb.model.Weights;
            return std::vector<float>(w.data(), w.data() + w.dim1() * w.dim2() * w.dim3());
        };
        const std::vector<float> first = drawn("77");
        QCOMPARE(Settings().fixedSeed(), QStringLiteral("77"));
        randomizeWeights(b.wb);
        QVERIFY(std::equal(first.begin(), first.end(), b.wb.model.Weights.data()));
        QVERIFY(drawn("78") != first);
        QCOMPARE(drawn("77"), first);
        QVERIFY(b.ui.texts().isEmpty());

        drawn("seven");
        QCOMPARE(b.ui.texts(),
                 QStringList {"The fixed seed must be a whole number, or empty for "
                              "the clock; it was not changed"});
        QCOMPARE(Settings().fixedSeed(), QStringLiteral("77"));
        drawn(QString());
        QCOMPARE(Settings().fixedSeed(), QString());

        keepBestClicked(b.wb, true);
        QVERIFY(Settings().keepBest());
        TestBench again;
        QVERIFY(again.wb.form.isChecked("CHK_KeepBest"));
        keepBestClicked(again.wb, false);
        QVERIFY(!Settings().keepBest());
    }

    void unwritableSettingsAreReported()
    {
        TestBench b;
        QTemporaryDir dir;
        // A folder where the file should be: nothing can be written there.
        b.wb.settings = Settings(dir.path());
        SetupValues v = loadSetup(b.wb);
        chooseTrainingMethod(v, 2);
        storeSetup(b.wb, v);
        QCOMPARE(b.ui.texts(),
                 QStringList {"Cannot write " + dir.path() + ": the settings could not be saved"});
        QCOMPARE(b.wb.model.TrainMode, int16_t(2));
    }

    void editButtons_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<bool>("unsaved");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QStringList>("started");
        QTest::newRow("patterns rebuilt, not saved") << "pat" << true
                                                     << "To continue, patterns must be saved to "
                                                        "file.\r\nUse the File menu command: Save "
                                                        "Pats As."
                                                     << QStringList {};
        QTest::newRow("tests rebuilt, not saved")
                << "tst" << true
                << "Test patterns must be first saved to file.\r\nUse the File menu command: Save "
                   "Test Pats As"
                << QStringList {};
        QTest::newRow("pattern file") << "pat" << false << ""
                                      << QStringList {"gedit", "--new-window", "/data/my data.pat"};
        QTest::newRow("test file")
                << "tst" << false << "" << QStringList {"gedit", "--new-window", "/data/x.tst"};
        // The weight button asks nothing.
        QTest::newRow("weight file")
                << "wgt" << true << "" << QStringList {"gedit", "--new-window", "/data/x.wgt"};
    }

    void editButtons()
    {
        QFETCH(QString, button);
        QFETCH(bool, unsaved);
        QFETCH(QString, message);
        QFETCH(QStringList, started);
        TestBench b;
        NetModel &m = b.wb.model;
        m.EditorCommand = "gedit --new-window";
        m.SetsRegenerated = true;
        m.PatsUnsaved = m.TestUnsaved = unsaved;
        b.wb.form.setText("LBL_DataFile", "/data/my data.pat");
        b.wb.form.setText("LBL_TestFile", "/data/x.tst");
        b.wb.form.setText("LBL_WeightFile", "/data/x.wgt");
        if (button == "pat") {
            editPatternFile(b.wb);
        } else if (button == "tst") {
            editTestFile(b.wb);
        } else {
            editWeightFile(b.wb);
        }
        QCOMPARE(b.desktop.started.value(0), started);
        QCOMPARE(b.ui.texts(), message.isEmpty() ? QStringList {} : QStringList {message});
        if (!message.isEmpty()) {
            QCOMPARE(b.ui.shown().back().icon, UiPort::Icon::Information);
        }
    }

private:
    QTemporaryDir m_config;
    QTemporaryDir m_cwd;
    int m_writes = 0;
};

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
