#include <QTemporaryDir>
#include <QTest>

#include "dataprep/createtest.h"
#include "dataprep/normworkflow.h"
#include "files/patterncommands.h"
#include "filetesthelpers.h"
#include "model/normfactors.h"
#include "model/patternfile.h"
#include "near.h"
#include "trainfixture.h"
#include "training/setnormalization.h"

namespace {

const QString HighValues = QStringLiteral("Axona detected HIGH values of the inputs or outputs.\n\r"
                                          "For best performance, normalize the data before you "
                                          "train.");
const QString LogHint = QStringLiteral("Click Reset to enable Log normalization ");

// Eleven patterns for a 2-2-2 network: inputs first + (p-1) and 5 + (p-1)/2, targets
// 0.2 + (p-1)/20 and 10 - (p-1)/2.
Rows inputs(float first)
{
    Rows rows;
    for (int p = 0; p < 11; ++p) {
        rows.push_back({first + float(p), 5.0f + float(p) * 0.5f});
    }
    return rows;
}

Rows targets()
{
    Rows rows;
    for (int p = 0; p < 11; ++p) {
        rows.push_back({0.2f + float(p) * 0.05f, 10.0f - float(p) * 0.5f});
    }
    return rows;
}

QString writeSet(const QString &folder, const QString &name, const Rows &in, const Rows &out)
{
    Array2 a;
    Array2 b;
    fillArray(a, in);
    fillArray(b, out);
    return writeFile(folder, name, formatPatternText(int(in.size()), a, b).value().toUtf8());
}

bool sameValues(const Array2 &a, const Array2 &b)
{
    if (a.rows() != b.rows() || a.cols() != b.cols()) {
        return false;
    }
    for (std::size_t i = 0; i < a.values().size(); ++i) {
        if (!near(a.values()[i], b.values()[i], 1e-5)) {
            return false;
        }
    }
    return true;
}

} // namespace

class TestNormWorkflow : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    // A 2-2-2 Sigmoid network with the eleven patterns (inputs from first) read from a file.
    void load(TestBench &b, float first)
    {
        QVERIFY(buildNet(b.wb, {"2", "2", "2"}));
        const QString pat = writeSet(m_dir.path(), "data.pat", inputs(first), targets());
        QVERIFY(openPatterns(b.wb, false, pat).done());
        QCOMPARE(b.ui.texts(), QStringList {HighValues});
        b.ui.clear();
    }

private slots:

    void initTestCase() { QVERIFY(m_dir.isValid()); }

    void fillStepShowsRangesAndOffersLogWhereDataAllow()
    {
        TestBench b;
        load(b, 0.0f);
        NormForm form;
        fillNormForm(b.wb, form);
        QCOMPARE(form.newMinIn, QStringLiteral("-3"));
        QCOMPARE(form.newMaxIn, QStringLiteral("3"));
        QCOMPARE(form.newMinOut, QStringLiteral("0"));
        QCOMPARE(form.newMaxOut, QStringLiteral("1"));
        QCOMPARE(form.minIn, QStringLiteral("0.0"));
        QCOMPARE(form.maxIn, QStringLiteral("10.0"));
        QCOMPARE(form.minOut, QStringLiteral("0.2"));
        QCOMPARE(form.maxOut, QStringLiteral("10.0"));
        QVERIFY(!form.global && form.normIns && form.normOuts);
        QVERIFY(form.inLin.checked && form.outLin.checked);
        QVERIFY(!form.inLog.enabled);
        QVERIFY(form.outLog.enabled);
        QCOMPARE(logFrameHint(form.inLog), LogHint);
        QCOMPARE(logFrameHint(form.outLog), QString());
    }

    void normalizeTwiceGivesTheSameDataAndDenormGivesTheExtremesBack()
    {
        TestBench b;
        load(b, 0.0f);
        NormForm form;
        QStringList statuses;
        form.onStatus = [&](const QString &s) { statuses << s; };
        fillNormForm(b.wb, form);
        form.newMinOut = "0.1";
        form.newMaxOut = "0.9";
        QVERIFY(normalizeData(b.wb, form));
        QCOMPARE(statuses,
                 (QStringList {"Reading .PAT and .TST files", "Normalizing Data...",
                               "Normalization Done"}));
        QCOMPARE(form.minIn, QStringLiteral("-3.0"));
        QCOMPARE(form.maxIn, QStringLiteral("3.0"));
        QCOMPARE(form.minOut, QStringLiteral("0.1"));
        QCOMPARE(form.maxOut, QStringLiteral("0.9"));
        const NetModel &m = b.wb.model;
        QVERIFY(m.NormOn && !m.NormInProgress);
        const Array2 in = m.PatIn;
        const Array2 out = m.PatOut;
        QVERIFY(normalizeData(b.wb, form));
        QVERIFY(sameValues(m.PatIn, in));
        QVERIFY(sameValues(m.PatOut, out));
        // The file was read again during each run, with no HIGH values message.
        QCOMPARE(b.ui.texts(), QStringList());
        QVERIFY(near(denormOutput(m, 0.1f, 1), 0.2, 1e-5));
        QVERIFY(near(denormOutput(m, 0.9f, 1), 0.7, 1e-5));
        QVERIFY(near(denormOutput(m, 0.1f, 2), 5.0, 1e-5));
        QVERIFY(near(denormOutput(m, 0.9f, 2), 10.0, 1e-5));
    }

    // Ranges whose factors a single cannot hold are refused: the data, the factors and the
    // normalisation stay as the last Normalize left them.
    void unholdableFactorsAreRefused_data()
    {
        QTest::addColumn<QString>("maxIn");
        QTest::addColumn<QString>("minOut");
        QTest::addColumn<QString>("maxOut");
        QTest::newRow("target beyond a single") << "1e39"
                                                << "0.1"
                                                << "0.9";
        QTest::newRow("scale beyond a single") << "3"
                                               << "-3e38"
                                               << "3e38";
    }

    void unholdableFactorsAreRefused()
    {
        QFETCH(QString, maxIn);
        QFETCH(QString, minOut);
        QFETCH(QString, maxOut);
        TestBench b;
        load(b, 0.0f);
        NormForm form;
        fillNormForm(b.wb, form);
        QVERIFY(normalizeData(b.wb, form));
        const NetModel &m = b.wb.model;
        const Array2 in = m.PatIn;
        const Array2 out = m.PatOut;
        const std::vector<float> factors = m.OutNormA;
        form.newMaxIn = maxIn;
        form.newMinOut = minOut;
        form.newMaxOut = maxOut;
        QVERIFY(!normalizeData(b.wb, form));
        QCOMPARE(b.ui.texts(),
                 QStringList {"Normalization is not possible: the new ranges give factors "
                              "beyond the range of numbers.\n\rChoose narrower ranges."});
        QVERIFY(m.NormOn && !m.NormInProgress);
        QVERIFY(sameValues(m.PatIn, in));
        QVERIFY(sameValues(m.PatOut, out));
        QVERIFY(m.OutNormA == factors);
    }

    void modeFollowsTheNormalizeBoxes_data()
    {
        QTest::addColumn<bool>("ins");
        QTest::addColumn<bool>("outs");
        QTest::addColumn<bool>("global");
        QTest::addColumn<QString>("maxIn");
        QTest::addColumn<QString>("maxOut");
        QTest::newRow("both") << true << true << false << "3.0"
                              << "1.0";
        QTest::newRow("inputs") << true << false << false << "3.0"
                                << "10.0";
        QTest::newRow("outputs") << false << true << false << "10.0"
                                 << "1.0";
        QTest::newRow("neither") << false << false << false << "10.0"
                                 << "10.0";
        QTest::newRow("both, global") << true << true << true << "3.0"
                                      << "1.0";
    }

    void modeFollowsTheNormalizeBoxes()
    {
        QFETCH(bool, ins);
        QFETCH(bool, outs);
        QFETCH(bool, global);
        QFETCH(QString, maxIn);
        QFETCH(QString, maxOut);
        TestBench b;
        load(b, 0.0f);
        NormForm form;
        fillNormForm(b.wb, form);
        setNormalizeInputs(form, ins);
        setNormalizeOutputs(form, outs);
        chooseGlobalNorm(b.wb, form, global);
        QVERIFY(normalizeData(b.wb, form));
        QVERIFY(b.wb.model.NormOn);
        QCOMPARE(b.wb.model.GlobalNorm, global);
        QCOMPARE(form.maxIn, maxIn);
        QCOMPARE(form.maxOut, maxOut);
    }

    void logOffWhileNormalisedAndBackAfterReset()
    {
        TestBench b;
        load(b, 1.0f);
        NormForm form;
        fillNormForm(b.wb, form);
        QVERIFY(form.inLog.enabled && form.outLog.enabled);
        chooseInputLog(form, true);
        QVERIFY(form.inLog.checked && !form.inLin.checked);
        QVERIFY(normalizeData(b.wb, form));
        QVERIFY(b.wb.model.InNormLog);
        fillNormForm(b.wb, form);
        QVERIFY(!form.inLog.enabled && !form.outLog.enabled);
        QCOMPARE(logFrameHint(form.outLog), LogHint);
        chooseOutputLog(form, true);
        QVERIFY(!form.outLog.checked);

        chooseGlobalNorm(b.wb, form, true);
        QVERIFY(resetNormalization(b.wb, form));
        const NetModel &m = b.wb.model;
        QVERIFY(!m.NormOn && !m.InNormLog && !m.GlobalNorm && !form.global);
        QVERIFY(form.inLog.enabled && form.outLog.enabled);
        QCOMPARE(form.minIn, QStringLiteral("1.0"));
        QCOMPARE(m.PatIn(11, 1), 11.0f);
        QCOMPARE(b.ui.texts(), QStringList());
    }

    void normalizeCheckboxRemembersTheOptions()
    {
        TestBench b;
        load(b, 1.0f);
        NormForm form;
        fillNormForm(b.wb, form);
        chooseInputLog(form, true);
        setNormalizeInputs(form, false);
        QVERIFY(form.inLin.checked && !form.inLog.checked);
        QVERIFY(!form.inLin.enabled && !form.inLog.enabled);
        setNormalizeInputs(form, true);
        QVERIFY(form.inLin.enabled && form.inLog.enabled);
        QVERIFY(form.outLog.enabled);
    }

    void logOnValuesAtOrBelowZeroIsRefused()
    {
        TestBench b;
        load(b, 0.0f);
        NormForm form;
        fillNormForm(b.wb, form);
        QVERIFY(normalizeData(b.wb, form));
        const Array2 in = b.wb.model.PatIn;
        form.inLog.enabled = true; // as a caller without the dialog's rules could ask
        chooseInputLog(form, true);
        QVERIFY(!normalizeData(b.wb, form));
        QCOMPARE(b.ui.texts(),
                 QStringList {"Log normalization is not possible: the inputs hold values "
                              "<= 0.\n\rChoose Linear for them."});
        QVERIFY(b.wb.model.NormOn && !b.wb.model.InNormLog && !b.wb.model.NormInProgress);
        QVERIFY(sameValues(b.wb.model.PatIn, in));
    }

    // A side that is not normalised never keeps a log flag, whatever its Log option says (as a
    // caller without the dialog's rules could ask).
    void rawSideHasNoLogFlag_data()
    {
        QTest::addColumn<bool>("rawIns");
        QTest::addColumn<bool>("rawOuts");
        QTest::newRow("inputs raw") << true << false;
        QTest::newRow("outputs raw") << false << true;
    }

    void rawSideHasNoLogFlag()
    {
        QFETCH(bool, rawIns);
        QFETCH(bool, rawOuts);
        TestBench b;
        load(b, 1.0f);
        NormForm form;
        fillNormForm(b.wb, form);
        setNormalizeInputs(form, !rawIns);
        setNormalizeOutputs(form, !rawOuts);
        form.inLog.checked = true;
        form.outLog.checked = true;
        QVERIFY(normalizeData(b.wb, form));
        QCOMPARE(b.wb.model.InNormLog, !rawIns);
        QCOMPARE(b.wb.model.OutNormLog, !rawOuts);
    }

    // While the outputs are held log-normalised, a set whose outputs hold a value <= 0 is
    // refused: scaled without the log, its targets would come back as e to the power of the
    // value. One the log can take is taken and comes back as it was.
    void setsTheLogCannotTakeAreRefused_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<float>("target");
        QTest::addColumn<QString>("message");
        const QString refused = QStringLiteral(
                "The %1 set cannot be used: its outputs hold values <= 0, which the network's "
                "log normalization cannot take.\n\rNormalize the data with Linear for the "
                "outputs, or correct the data.");
        QTest::newRow("test file") << "test file" << 0.0f << refused.arg("test");
        QTest::newRow("pasted test set") << "pasted test" << -1.0f << refused.arg("test");
        QTest::newRow("pattern file") << "pattern file" << 0.0f << refused.arg("training");
        QTest::newRow("test set at Normalize")
                << "normalize" << 0.0f
                << QStringLiteral("Log normalization is not possible: the outputs of the test "
                                  "set hold values <= 0.\n\rChoose Linear for them.");
        QTest::newRow("a test file the log can take") << "test file" << 5.43f << QString();
    }

    void setsTheLogCannotTakeAreRefused()
    {
        QFETCH(QString, how);
        QFETCH(float, target);
        QFETCH(QString, message);
        TestBench b;
        load(b, 1.0f);
        NetModel &m = b.wb.model;
        const Rows in {{3, 6}, {4, 7}};
        const Rows out {{0.5f, target}, {0.4f, 6}};
        const QString file =
                writeSet(m_dir.path(), how == "pattern file" ? "log.pat" : "log.tst", in, out);
        if (how == "normalize") {
            QVERIFY(openTest(b.wb, false, file).done());
        }
        NormForm form;
        fillNormForm(b.wb, form);
        chooseOutputLog(form, true);
        QCOMPARE(normalizeData(b.wb, form), how != "normalize");
        if (how == "test file") {
            QCOMPARE(openTest(b.wb, false, file).done(), message.isEmpty());
        } else if (how == "pasted test") {
            QVERIFY(!pasteTests(b.wb, "3\t6\t0.5\t-1\r\n4\t7\t0.4\t6\r\n", " "));
        } else if (how == "pattern file") {
            QVERIFY(!openPatterns(b.wb, false, file).done());
            QVERIFY(!m.HasPatterns);
        }
        QCOMPARE(b.ui.texts(), message.isEmpty() ? QStringList {} : QStringList {message});
        if (message.isEmpty()) {
            QVERIFY(m.HasTest && m.OutNormLog);
            QVERIFY(near(denormOutput(m, m.TstOut(1, 2), 2), target, 1e-4));
        } else if (how != "pattern file") {
            QVERIFY(!m.HasTest || how == "normalize");
        }
    }

    void sampledTestSetIsNormalisedInMemory()
    {
        TestBench b;
        load(b, 0.0f);
        CreateTestChoice create;
        openCreateTest(b.wb, create);
        chooseTestMethod(create, 2);
        create.data[2] = "9";
        create.data[3] = "11";
        QCOMPARE(createTest(b.wb, create), CreateTestEnd::Created);
        // Reading the file again for the split is a load like any other.
        QCOMPARE(b.ui.texts(), QStringList {HighValues});
        b.ui.clear();
        const NetModel &m = b.wb.model;
        QCOMPARE(m.TstIn(3, 1), 10.0f);
        QVERIFY(!QFile::exists(m.TestFileName));

        NormForm form;
        fillNormForm(b.wb, form);
        QVERIFY(normalizeData(b.wb, form));
        // The training set is the full file again; the test set kept its three patterns.
        QCOMPARE(m.NumPats, int16_t(11));
        QCOMPARE(m.NumTestPats, int16_t(3));
        QVERIFY(near(m.TstIn(3, 1), 3.0, 1e-5));
        QVERIFY(near(m.TstIn(3, 1), m.PatIn(11, 1), 1e-6));
        const Array2 test = m.TstIn;
        QVERIFY(normalizeData(b.wb, form));
        QVERIFY(sameValues(m.TstIn, test));
        QVERIFY(resetNormalization(b.wb, form));
        QVERIFY(near(m.TstIn(3, 1), 10.0, 1e-5));
        QVERIFY(near(m.TstOut(1, 2), 6.0, 1e-5));
        QCOMPARE(b.ui.texts(), QStringList());
    }

    void testFileIsReadAgainAndNormalised()
    {
        TestBench b;
        load(b, 0.0f);
        const QString tst =
                writeSet(m_dir.path(), "data.tst", {{10, 10}, {-5, 5}}, {{0.7f, 5}, {0.2f, 10}});
        QVERIFY(openTest(b.wb, false, tst).done());
        NormForm form;
        fillNormForm(b.wb, form);
        QVERIFY(normalizeData(b.wb, form));
        QVERIFY(near(b.wb.model.TstIn(1, 1), 3.0, 1e-5));
        QVERIFY(near(b.wb.model.TstIn(2, 1), -6.0, 1e-5));
        QVERIFY(normalizeData(b.wb, form));
        QVERIFY(near(b.wb.model.TstIn(1, 1), 3.0, 1e-5));
    }

    void linkedDataThatCannotBeFetched()
    {
        // The set is linked, but this workbench has no links to fetch it through.
        TestBench b;
        load(b, 0.0f);
        b.wb.model.PatsLinked = true;
        const Array2 in = b.wb.model.PatIn;
        NormForm form;
        fillNormForm(b.wb, form);
        QVERIFY(!normalizeData(b.wb, form));
        QVERIFY(!resetNormalization(b.wb, form));
        QCOMPARE(b.ui.texts(), QStringList({"Could Not Start DDE", "Could Not Start DDE"}));
        QVERIFY(!b.wb.model.NormOn && !b.wb.model.NormInProgress);
        QVERIFY(sameValues(b.wb.model.PatIn, in));
    }
};

QTEST_GUILESS_MAIN(TestNormWorkflow)
#include "tst_normworkflow.moc"
