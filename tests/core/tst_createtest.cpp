#include <algorithm>

#include <QTemporaryDir>
#include <QTest>

#include "dataprep/createtest.h"
#include "files/patterncommands.h"
#include "filetesthelpers.h"
#include "model/patternfile.h"
#include "near.h"
#include "trainfixture.h"

namespace {

// A pattern file of count patterns for a 2-2-1 network: pattern p has inputs p/256 and 0.25 and
// the target p/256, so every pattern can be recognised after the split.
QString writePatterns(const QString &folder, int count)
{
    Rows in;
    Rows out;
    for (int p = 1; p <= count; ++p) {
        in.push_back({float(p) / 256.0f, 0.25f});
        out.push_back({float(p) / 256.0f});
    }
    Array2 a;
    Array2 b;
    fillArray(a, in);
    fillArray(b, out);
    return writeFile(folder, QStringLiteral("data.pat"),
                     formatPatternText(count, a, b).value().toUtf8());
}

// The pattern numbers of a set, from its first input column.
std::vector<int> patternNumbers(const Array2 &in, int count)
{
    std::vector<int> numbers;
    for (int p = 1; p <= count; ++p) {
        numbers.push_back(int(std::lround(in(p, 1) * 256.0f)));
    }
    return numbers;
}

} // namespace

class TestCreateTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    // A 2-2-1 network with count patterns read from a file, as "Open Patterns" leaves it.
    void load(TestBench &b, int count)
    {
        QVERIFY(buildNet(b.wb, {"2", "2", "1"}));
        QVERIFY(openPatterns(b.wb, false, writePatterns(m_dir.path(), count)).done());
        QCOMPARE(b.wb.model.NumPats, int16_t(count));
        b.ui.clear();
    }

private slots:

    void initTestCase() { QVERIFY(m_dir.isValid()); }

    void okChecksAndSplits_data()
    {
        QTest::addColumn<int>("patterns");
        QTest::addColumn<int>("method");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("to");
        QTest::addColumn<int>("end");
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("testCount");

        const int created = int(CreateTestEnd::Created);
        const int refused = int(CreateTestEnd::Refused);
        const int failed = int(CreateTestEnd::Failed);
        const QString percent = QStringLiteral("Error - Percent must be >0 and <=80");
        const QString range =
                QStringLiteral("Error - range should be >0 and <=100, and no. of test pats<80");
        QTest::newRow("25 %") << 100 << 1 << "25"
                              << "" << created << "" << 25;
        QTest::newRow("80 %") << 100 << 1 << "80"
                              << "" << created << "" << 80;
        QTest::newRow("81 %") << 100 << 1 << "81"
                              << "" << refused << percent << 0;
        QTest::newRow("0 %") << 100 << 1 << "0"
                             << "" << refused << percent << 0;
        QTest::newRow("text %") << 100 << 1 << "abc"
                                << "" << refused << percent << 0;
        QTest::newRow("block 80") << 100 << 2 << "80"
                                  << "" << created << "" << 80;
        QTest::newRow("block 81") << 100 << 2 << "81"
                                  << "" << refused << "Error - no. of pats. must be >0 and <=80"
                                  << 0;
        QTest::newRow("block 0") << 100 << 2 << "0"
                                 << "" << refused << "Error - no. of pats. must be >0 and <=80"
                                 << 0;
        QTest::newRow("block beyond 16 bits")
                << 100 << 2 << "40000"
                << "" << failed << "Error - Can not create test file" << 0;
        QTest::newRow("range 1-80") << 100 << 3 << "1"
                                    << "80" << created << "" << 80;
        QTest::newRow("range 21-30") << 100 << 3 << "21"
                                     << "30" << created << "" << 10;
        QTest::newRow("range 1-81") << 100 << 3 << "1"
                                    << "81" << refused << range << 0;
        QTest::newRow("range 0-10") << 100 << 3 << "0"
                                    << "10" << refused << range << 0;
        QTest::newRow("range 10-5") << 100 << 3 << "10"
                                    << "5" << refused << range << 0;
        QTest::newRow("7 patterns, block 5") << 7 << 2 << "5"
                                             << "" << created << "" << 5;
        QTest::newRow("7 patterns, block 6")
                << 7 << 2 << "6"
                << "" << refused << "Error - no. of pats. must be >0 and <=5" << 0;
        QTest::newRow("2 patterns, 80 %")
                << 2 << 1 << "80"
                << "" << refused
                << "Error - no. of test pats. must be >0 and <2 (the training set has 2 patterns)"
                << 0;
        QTest::newRow("1 pattern, block 1")
                << 1 << 2 << "1"
                << "" << refused << "Error - no. of pats. must be >0 and <=0" << 0;
    }

    void okChecksAndSplits()
    {
        QFETCH(int, patterns);
        QFETCH(int, method);
        QFETCH(QString, value);
        QFETCH(QString, to);
        QFETCH(int, end);
        QFETCH(QString, message);
        QFETCH(int, testCount);

        TestBench b;
        load(b, patterns);
        CreateTestChoice form;
        openCreateTest(b.wb, form);
        chooseTestMethod(form, method - 1);
        form.data[std::size_t(method == 3 ? 2 : method - 1)] = value;
        if (method == 3) {
            form.data[3] = to;
        }
        QCOMPARE(int(createTest(b.wb, form)), end);
        QCOMPARE(b.ui.texts(), message.isEmpty() ? QStringList() : QStringList {message});
        const NetModel &m = b.wb.model;
        QCOMPARE(int(m.NumTestPats), testCount);
        if (end != int(CreateTestEnd::Created)) {
            QCOMPARE(int(m.NumPats), patterns);
            QVERIFY(!m.HasTest);
            return;
        }
        const int remaining = patterns - testCount;
        QCOMPARE(int(m.NumPats), remaining);
        QCOMPARE(m.PatIn.rows(), remaining);
        QCOMPARE(m.PatOut.rows(), remaining);
        QCOMPARE(m.TstIn.rows(), testCount);
        const FormState &f = b.wb.form;
        QCOMPARE(f.text("TXT_EpocLen"), QString::number(remaining));
        QCOMPARE(f.text("LBL_Npts"), QString::number(remaining));
        QCOMPARE(f.text("LBL_NptsTST"), QString::number(testCount));
        QCOMPARE(f.text("LBL_TestFile"), QStringLiteral("sampled from input file"));
        QCOMPARE(m.TestFileName, QStringLiteral("sampled from input file"));
        QVERIFY(m.HasTest && m.SetsRegenerated && m.PatsUnsaved && m.TestUnsaved);
        QVERIFY(f.isEnabled("BTN_EditTst") && f.isEnabled("CHK_ShowTestErr"));
        QCOMPARE(form.status, QStringLiteral("New test file was created"));

        // Every pattern is in exactly one set, inputs and targets still together.
        std::vector<int> all = patternNumbers(m.PatIn, m.NumPats);
        const std::vector<int> test = patternNumbers(m.TstIn, m.NumTestPats);
        all.insert(all.end(), test.begin(), test.end());
        std::sort(all.begin(), all.end());
        for (int p = 1; p <= patterns; ++p) {
            QCOMPARE(all[std::size_t(p - 1)], p);
        }
        for (int p = 1; p <= m.NumPats; ++p) {
            QVERIFY(near(m.PatOut(p, 1), m.PatIn(p, 1), 1e-6));
        }
        for (int p = 1; p <= m.NumTestPats; ++p) {
            QVERIFY(near(m.TstOut(p, 1), m.TstIn(p, 1), 1e-6));
        }
        if (method == 3) {
            QCOMPARE(test.front(), value.toInt());
            QCOMPARE(test.back(), to.toInt());
        }
    }

    void toIsAQuarterOfThePatterns_data()
    {
        QTest::addColumn<int>("patterns");
        QTest::addColumn<QString>("to");
        QTest::newRow("100") << 100 << "25";
        QTest::newRow("7") << 7 << "1";
        QTest::newRow("3") << 3 << "0";
    }

    void toIsAQuarterOfThePatterns()
    {
        QFETCH(int, patterns);
        QFETCH(QString, to);
        TestBench b;
        load(b, patterns);
        CreateTestChoice form;
        chooseTestMethod(form, 2);
        openCreateTest(b.wb, form);
        QCOMPARE(form.data[3], to);
        QCOMPARE(form.method, 1);
        QCOMPARE(form.visible, (std::array<bool, 4> {true, false, false, false}));
        chooseTestMethod(form, 2);
        QCOMPARE(form.visible, (std::array<bool, 4> {false, false, true, true}));
        chooseTestMethod(form, 1);
        QCOMPARE(form.visible, (std::array<bool, 4> {false, true, false, false}));
    }

    void overwriteAnsweredNoChangesNothing()
    {
        TestBench b;
        load(b, 100);
        setTestSet(b.wb, {{1, 2}, {3, 4}}, {{5}, {6}});
        CreateTestChoice form;
        openCreateTest(b.wb, form);
        b.ui.answer(UiPort::Answer::No);
        QCOMPARE(createTest(b.wb, form), CreateTestEnd::Declined);
        QCOMPARE(b.ui.texts(),
                 QStringList {"Creating new test data will overwrite the current data.\n\r"
                              "Continue ?"});
        QCOMPARE(b.ui.shown().front().buttons, UiPort::Buttons::YesNo);
        QCOMPARE(b.wb.model.NumPats, int16_t(100));
        QCOMPARE(b.wb.model.NumTestPats, int16_t(2));
        QCOMPARE(b.wb.model.TstIn(2, 2), 4.0f);
    }

    void everyRunStartsFromTheFullFile()
    {
        TestBench b;
        load(b, 100);
        CreateTestChoice form;
        openCreateTest(b.wb, form);
        QCOMPARE(createTest(b.wb, form), CreateTestEnd::Created);
        b.ui.answer(UiPort::Answer::Yes);
        QCOMPARE(createTest(b.wb, form), CreateTestEnd::Created);
        QCOMPARE(b.wb.model.NumPats, int16_t(75));
        QCOMPARE(b.wb.model.NumTestPats, int16_t(25));
        QVERIFY(!QFile::exists("PatZZZ.TMP"));
    }

    void missingPatternFileCreatesNothing()
    {
        TestBench b;
        load(b, 10);
        QVERIFY(QFile::remove(QDir(m_dir.path()).filePath("data.pat")));
        CreateTestChoice form;
        openCreateTest(b.wb, form);
        QCOMPARE(createTest(b.wb, form), CreateTestEnd::Failed);
        QCOMPARE(b.ui.texts().size(), 1);
        QVERIFY(!b.wb.model.HasTest);
        QCOMPARE(b.wb.model.NumTestPats, int16_t(0));
    }
};

QTEST_GUILESS_MAIN(TestCreateTest)
#include "tst_createtest.moc"
