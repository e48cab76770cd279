#include <QTemporaryDir>
#include <QTest>

#include "files/patterncommands.h"
#include "filetesthelpers.h"
#include "linkedengine.h"
#include "model/patternfile.h"
#include "near.h"
#include "training/construction.h"

namespace {

const QByteArray XorPatterns = " 4    2   1 \r\n 0   0   0  \r\n 0   1   1  \r\n 1   0   1  \r\n"
                               " 1   1   0  \r\n";

struct Bench : TestBench
{
    Bench() { buildNetwork(wb); }
};

QString patternValues(const NetModel &m)
{
    QStringList rows;
    for (int p = 1; p <= m.NumPats; ++p) {
        QStringList row;
        for (int i = 1; i <= m.PatIn.cols(); ++i) {
            row.append(QString::number(m.PatIn(p, i)));
        }
        for (int k = 1; k <= m.PatOut.cols(); ++k) {
            row.append(QString::number(m.PatOut(p, k)));
        }
        rows.append(row.join(u' '));
    }
    return rows.join(u'|');
}

} // namespace

class TestPatternFile : public QObject
{
    Q_OBJECT

private slots:

    void writerLayoutIsByteExact()
    {
        // The two-pattern example: 2 inputs, 1 output.
        Bench b;
        NetModel &m = b.wb.model;
        m.NumPats = 2;
        m.PatIn.allocate(2, 2);
        m.PatOut.allocate(2, 1);
        m.PatIn(1, 1) = 0.1f;
        m.PatIn(1, 2) = 0.9f;
        m.PatOut(1, 1) = 1;
        m.PatIn(2, 1) = 0.8f;
        m.PatIn(2, 2) = 0.2f;
        m.PatOut(2, 1) = 0;
        m.PatsUnsaved = true;
        QTemporaryDir dir;
        const QString path = dir.filePath("two.pat");
        b.ui.file(path);
        QVERIFY(savePatsAs(b.wb).done());
        QCOMPARE(readBytes(path),
                 QByteArray(" 2    2   1 \r\n .1   .9   1  \r\n .8   .2   0  \r\n"));
        QCOMPARE(b.ui.fileRequests().back().title, QStringLiteral("Save Pats. As"));
        QCOMPARE(b.ui.fileRequests().back().defaultExtension, QStringLiteral("pat"));
        QCOMPARE(b.wb.form.text("LBL_DataFile"), path);
        QVERIFY(!m.PatsUnsaved);
        QCOMPARE(b.ui.busyDepth(), 0);
    }

    void layouts_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("writer layout") << XorPatterns;
        QTest::newRow("one value per line")
                << QByteArray("4\r\n2\r\n1\r\n0\r\n0\r\n0\r\n0\r\n1\r\n1\r\n1\r\n0\r\n1\r\n1\r\n1"
                              "\r\n0\r\n");
        QTest::newRow("all on one line") << QByteArray("4 2 1 0 0 0 0 1 1 1 0 1 1 1 0");
        QTest::newRow("commas, tabs and LF")
                << QByteArray("4,2,1\n0,0,0\n0\t1\t1\n1, 0, 1\n1 1 0\n");
        // FANN's training-data file: inputs and outputs of a pattern on lines of their own.
        QTest::newRow("FANN training data")
                << QByteArray("4 2 1\n0 0\n0\n0 1\n1\n1 0\n1\n1 1\n0\n");
    }

    void layouts()
    {
        QFETCH(QByteArray, text);
        Bench b;
        QTemporaryDir dir;
        b.ui.file(writeFile(dir.path(), "xor.pat", text));
        const FileResult r = openPatterns(b.wb, true);
        QVERIFY(r.done());
        const NetModel &m = b.wb.model;
        const FormState &f = b.wb.form;
        QCOMPARE(patternValues(m), QStringLiteral("0 0 0|0 1 1|1 0 1|1 1 0"));
        QVERIFY(m.HasPatterns);
        QCOMPARE(m.PatFileName, r.name);
        QCOMPARE(f.text("LBL_DataFile"), r.name);
        QCOMPARE(f.text("LBL_Npts"), QStringLiteral("4"));
        // The epoch length becomes the number of patterns.
        QCOMPARE(f.text("TXT_EpocLen"), QStringLiteral("4"));
        QVERIFY(f.isEnabled("TXT_EpocLen") && f.isEnabled("BTN_EditPat"));
        QVERIFY(f.isEnabled("train") && f.isEnabled("MNU_DATA_Norm"));
        QVERIFY(b.ui.texts().isEmpty());
        QVERIFY(trainingSetError(b) >= 0);
    }

    void openDialogs_data()
    {
        QTest::addColumn<bool>("test");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QString>("extension");
        QTest::addColumn<QString>("initial");
        QTest::newRow("patterns") << false << "Open Pattern File"
                                  << "Pattern Files (*.pat);;Test Files (*.tst);;Data Files (*.dat)"
                                  << "pat"
                                  << "*.pat";
        QTest::newRow("tests") << true << "Open Test File"
                               << "Test Files (*.tst);;Pattern Files (*.pat)"
                               << "tst"
                               << "*.tst";
    }

    void openDialogs()
    {
        QFETCH(bool, test);
        QFETCH(QString, title);
        QFETCH(QString, filter);
        QFETCH(QString, extension);
        QFETCH(QString, initial);
        Bench b;
        QTemporaryDir dir;
        const QString good = writeFile(dir.path(), "xor.pat", XorPatterns);
        b.ui.file(good);
        QVERIFY((test ? openTest(b.wb, true) : openPatterns(b.wb, true)).done());
        const UiPort::FileRequest &r = b.ui.fileRequests().back();
        QCOMPARE(r.title, title);
        QCOMPARE(r.filter, filter);
        QCOMPARE(r.defaultExtension, extension);
        QCOMPARE(r.initialName, initial);

        // Cancelling keeps the set loaded before.
        b.ui.cancelFile();
        QVERIFY((test ? openTest(b.wb, true) : openPatterns(b.wb, true)).cancelled());
        const NetModel &m = b.wb.model;
        QCOMPARE(test ? m.NumTestPats : m.NumPats, int16_t(4));
        QVERIFY(test ? m.HasTest : m.HasPatterns);
        QCOMPARE(b.wb.form.text(test ? "LBL_TestFile" : "LBL_DataFile"), good);
        QVERIFY(b.ui.texts().isEmpty());
    }

    void badPatternFiles_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("message");
        const QString in = QStringLiteral("Error in Pattern file\n\rError: ");
        QTest::newRow("empty") << QByteArray() << in + "the file is empty";
        QTest::newRow("header cut short")
                << QByteArray("4 2")
                << in + "the header must give the number of patterns, inputs and outputs";
        QTest::newRow("header not a number")
                << QByteArray("four 2 1\r\n") << in + "a header value on line 1 is not a number";
        QTest::newRow("binary") << QByteArray("\x00\x01\xff\xfe\x80\x90 \x05", 8)
                                << in + "a header value on line 1 is not a number";
        QTest::newRow("inputs differ")
                << QByteArray("4 3 1\r\n0 0 0 0\r\n")
                << QStringLiteral("Pattern file and net size do not agree !!!\n\r"
                                  "read, no. of inputs=3 Outputs=1");
        QTest::newRow("outputs over 16 bits")
                << QByteArray("4 2 70000\r\n")
                << QStringLiteral("Pattern file and net size do not agree !!!\n\r"
                                  "read, no. of inputs=2 Outputs=70000");
        QTest::newRow("no patterns")
                << QByteArray("0 2 1\r\n")
                << in + "the header announces 0 patterns; a file holds 1 to 32767";
        QTest::newRow("negative count")
                << QByteArray("-5 2 1\r\n0 0 0\r\n")
                << in + "the header announces -5 patterns; a file holds 1 to 32767";
        QTest::newRow("count over 16 bits")
                << QByteArray("40000 2 1\r\n0 0 0\r\n")
                << in + "the header announces 40000 patterns; a file holds 1 to 32767";
        QTest::newRow("huge count")
                << QByteArray("1E+30 2 1\r\n")
                << in + "the header announces 1E+30 patterns; a file holds 1 to 32767";
        QTest::newRow("promises far more than it holds")
                << QByteArray("32767 2 1\r\n0 0 0\r\n")
                << in + "the header announces 32767 patterns of 3 values, more than the file holds";
        QTest::newRow("truncated")
                << QByteArray("4 2 1\r\n0 0 0\r\n0 1 1\r\n1 0")
                << in + "the file holds only 2 of the 4 patterns its header announces";
        QTest::newRow("NaN") << QByteArray("2 2 1\r\n0 NaN 0\r\n1 1 1\r\n")
                             << in + "value 2 of pattern 1 (line 2) is not a number";
        QTest::newRow("Inf") << QByteArray("2 2 1\r\n0 0 0\r\n1 1 -Inf\r\n")
                             << in + "value 3 of pattern 2 (line 3) is not a number";
        QTest::newRow("beyond a single")
                << QByteArray("2 2 1\r\n0 0 0\r\n1 1e39 1\r\n")
                << in + "value 2 of pattern 2 (line 3) is beyond the single range";
    }

    void badPatternFiles()
    {
        QFETCH(QByteArray, text);
        QFETCH(QString, message);
        Bench b;
        QTemporaryDir dir;
        const QString good = writeFile(dir.path(), "good.pat", XorPatterns);
        QVERIFY(openPatterns(b.wb, false, good).done());
        const QString bad = writeFile(dir.path(), "bad.pat", text);

        QVERIFY(openPatterns(b.wb, false, bad).failed());
        QCOMPARE(b.ui.texts(), QStringList {message});
        QCOMPARE(b.ui.shown().back().icon, UiPort::Icon::Critical);
        const NetModel &m = b.wb.model;
        const FormState &f = b.wb.form;
        QVERIFY(!m.HasPatterns);
        QCOMPARE(m.NumPats, int16_t(0));
        QVERIFY(m.PatIn.empty() && m.PatOut.empty());
        QCOMPARE(f.text("LBL_DataFile"), QStringLiteral("Click here to Open File"));
        QCOMPARE(f.text("LBL_Npts"), QStringLiteral("0"));
        QVERIFY(!f.isEnabled("BTN_EditPat") && !f.isEnabled("TXT_EpocLen"));
        QVERIFY(!f.isEnabled("train") && !f.isEnabled("MNU_DATA_Norm"));
        QCOMPARE(b.ui.busyDepth(), 0);

        // Still usable: the network is intact and a good file loads and evaluates.
        QVERIFY(m.arraysMatchLayers());
        QVERIFY(openPatterns(b.wb, false, good).done());
        QVERIFY(trainingSetError(b) >= 0);
    }

    void badTestFiles_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("message");
        QTest::newRow("size differs")
                << QByteArray("2 2 2\r\n0 0 0 0\r\n0 0 0 0\r\n")
                << QStringLiteral("Test file and net size do not agree ! ! !");
        // A test file with a bad field is refused too, rather than loaded with zeros.
        QTest::newRow("bad field") << QByteArray("2 2 1\r\n0 x 0\r\n0 0 0\r\n")
                                   << QStringLiteral("Error in Test file\n\rError: value 2 of "
                                                     "pattern 1 (line 2) is not a number");
        QTest::newRow("truncated") << QByteArray("3 2 1\r\n0 0 0\r\n1 1 1\r\n")
                                   << QStringLiteral("Error in Test file\n\rError: the file holds "
                                                     "only 2 of the 3 patterns its header "
                                                     "announces");
    }

    void badTestFiles()
    {
        QFETCH(QByteArray, text);
        QFETCH(QString, message);
        Bench b;
        QTemporaryDir dir;
        QVERIFY(openTest(b.wb, false, writeFile(dir.path(), "good.tst", XorPatterns)).done());
        QVERIFY(b.wb.form.isEnabled("CHK_ShowTestErr"));

        QVERIFY(openTest(b.wb, false, writeFile(dir.path(), "bad.tst", text)).failed());
        QCOMPARE(b.ui.texts(), QStringList {message});
        const NetModel &m = b.wb.model;
        const FormState &f = b.wb.form;
        QVERIFY(!m.HasTest);
        QCOMPARE(m.NumTestPats, int16_t(0));
        QCOMPARE(f.text("LBL_TestFile"), QStringLiteral("Click here to Open File"));
        QCOMPARE(f.text("LBL_NptsTST"), QStringLiteral("0"));
        QVERIFY(!f.isEnabled("BTN_EditTst") && !f.isEnabled("CHK_ShowTestErr"));
        QVERIFY(!f.isEnabled("runtest"));
    }

    void missingFileIsReported()
    {
        Bench b;
        QTemporaryDir dir;
        const QString missing = dir.filePath("missing.pat");
        QVERIFY(readPatFile(b.wb, false, missing).failed());
        QCOMPARE(b.ui.texts().size(), 1);
        QVERIFY2(b.ui.texts().front().startsWith(
                         QStringLiteral("Error in Pattern file\n\rError: Cannot read ") + missing),
                 qPrintable(b.ui.texts().front()));
    }

    void longLoadShowsRunningCount()
    {
        Bench b;
        QByteArray text = "600 2 1\r\n";
        for (int p = 0; p < 600; ++p) {
            text += QByteArray::number(p % 2) + " 1 " + QByteArray::number((p + 1) % 2) + "\r\n";
        }
        QTemporaryDir dir;
        QStringList counts;
        QObject::connect(&b.wb.form, &FormState::changed, [&](const QString &control) {
            if (control == "LBL_Npts") {
                counts.append(b.wb.form.text(control));
            }
        });
        QVERIFY(openPatterns(b.wb, false, writeFile(dir.path(), "long.pat", text)).done());
        QCOMPARE(counts, QStringList({"256", "512", "600"}));
        QVERIFY(b.ui.yields() >= 2);
        QCOMPARE(b.wb.model.NumPats, int16_t(600));
    }

    void normalisedSetIsSavedAsHeld()
    {
        // Loaded while normalisation is on, the set takes the stored factors; saving writes
        // the normalised values.
        Bench b;
        NetModel &m = b.wb.model;
        m.NormOn = true;
        m.InNormA = {2, 2, 0};
        m.InNormB = {1, 1, 0};
        m.OutNormA = {0.5f, 0};
        m.OutNormB = {0.25f, 0};
        QTemporaryDir dir;
        QVERIFY(openPatterns(b.wb, false, writeFile(dir.path(), "xor.pat", XorPatterns)).done());
        QCOMPARE(patternValues(m), QStringLiteral("1 1 0.25|1 3 0.75|3 1 0.75|3 3 0.25"));
        const QString saved = dir.filePath("saved.pat");
        b.ui.file(saved);
        QVERIFY(savePatsAs(b.wb).done());
        QCOMPARE(readBytes(saved),
                 QByteArray(" 4    2   1 \r\n 1   1   .25  \r\n 1   3   .75  \r\n"
                            " 3   1   .75  \r\n 3   3   .25  \r\n"));
    }

    void failedWriteKeepsTheSetUnsaved()
    {
        Bench b;
        NetModel &m = b.wb.model;
        QTemporaryDir dir;
        QVERIFY(openTest(b.wb, false, writeFile(dir.path(), "xor.tst", XorPatterns)).done());
        m.TestUnsaved = true;
        const QString label = b.wb.form.text("LBL_TestFile");
        const QString target = dir.filePath("no-such-folder/saved.tst");
        b.ui.file(target);
        QVERIFY(saveTestPatsAs(b.wb).failed());
        QCOMPARE(b.ui.fileRequests().back().title, QStringLiteral("Save Test Pats. As"));
        QCOMPARE(b.ui.texts().size(), 1);
        QVERIFY2(b.ui.texts().front().startsWith(QStringLiteral("Cannot write ") + target + ": "),
                 qPrintable(b.ui.texts().front()));
        QVERIFY(m.TestUnsaved);
        QCOMPARE(b.wb.form.text("LBL_TestFile"), label);
        QCOMPARE(b.ui.busyDepth(), 0);
    }

    void paste_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("taken");
        QTest::addColumn<QString>("values");
        QTest::newRow("tabs and CRLF") << "0\t0\t0\r\n0\t1\t1\r\n" << true << "0 0 0|0 1 1";
        QTest::newRow("blanks, LF, no last line end") << "1  0 1\n1 1   0" << true << "1 0 1|1 1 0";
        QTest::newRow("not a number reads 0") << "x 1 1\r\n" << true << "0 1 1";
        QTest::newRow("trailing blank row") << "1 1 1\r\n\r\n" << true << "1 1 1";
        QTest::newRow("one field too many") << "0 0 0\r\n0 1 1 5\r\n" << false << "";
        QTest::newRow("one field too few") << "0 0\r\n" << false << "";
        QTest::newRow("empty") << "" << false << "";
    }

    void paste()
    {
        QFETCH(QString, text);
        QFETCH(bool, taken);
        QFETCH(QString, values);
        Bench b;
        const NetModel &m = b.wb.model;
        const FormState &f = b.wb.form;
        QCOMPARE(pastePatterns(b.wb, text, "Sheet1!R1C1:R2C3"), taken);
        QCOMPARE(m.HasPatterns, taken);
        if (taken) {
            QVERIFY(b.ui.texts().isEmpty());
            QCOMPARE(patternValues(m), values);
            QCOMPARE(f.text("LBL_DataFile"), QStringLiteral("Sheet1!R1C1:R2C3"));
            QCOMPARE(f.text("TXT_EpocLen"), QString::number(m.NumPats));
            QVERIFY(f.isEnabled("TXT_EpocLen") && !f.isEnabled("BTN_EditPat"));
        } else {
            QCOMPARE(b.ui.texts(), QStringList {"Net size is different from pattern data line"});
            QCOMPARE(m.NumPats, int16_t(0));
            QCOMPARE(f.text("LBL_DataFile"), QStringLiteral("Click here to Open File"));
            QVERIFY(!f.isEnabled("TXT_EpocLen") && !f.isEnabled("BTN_EditPat"));
        }
    }

    void pastedTestsKeepTheLabelForABlankName()
    {
        Bench b;
        b.wb.form.setText("LBL_TestFile", "link source");
        QVERIFY(pasteTests(b.wb, "1 0 1\r\n0 1 1\r\n1 1 0\r\n", " "));
        QCOMPARE(b.wb.model.NumTestPats, int16_t(3));
        QCOMPARE(b.wb.form.text("LBL_TestFile"), QStringLiteral("link source"));
        QCOMPARE(b.wb.form.text("LBL_NptsTST"), QStringLiteral("3"));
        QVERIFY(b.wb.model.HasTest);
    }

    void splitFieldsCountsBeyondTheBuffer()
    {
        FieldBuf fields {};
        QString row;
        for (int i = 0; i < 1030; ++i) {
            row += QString::number(i) + (i % 2 ? u'\t' : u' ');
        }
        QCOMPARE(splitFields(row, fields), 1030);
        QCOMPARE(fields[1023], 1023.0f);
        QCOMPARE(countRows(row, 1024).bad, true);
        QCOMPARE(splitFields(u"  3.5abc\t-2 ", fields), 2);
        QCOMPARE(fields[0], 3.5f);
        QCOMPARE(fields[1], -2.0f);
    }
};

QTEST_GUILESS_MAIN(TestPatternFile)
#include "tst_patternfile.moc"
