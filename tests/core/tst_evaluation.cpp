#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

#include "near.h"
#include "trainfixture.h"
#include "training/evaluation.h"

namespace {

// Weights into the output nodes of a one-input network without hidden layer: {input, bias} each.
using NodeWeights = std::vector<std::vector<float>>;

} // namespace

class TestEvaluation : public QObject
{
    Q_OBJECT

private slots:

    // Hand-computed figures: linear outputs are exactly w * x + b.
    void figures_data()
    {
        QTest::addColumn<int16_t>("func");
        QTest::addColumn<NodeWeights>("weights");
        QTest::addColumn<Rows>("targets");
        QTest::addColumn<double>("rms");
        QTest::addColumn<int>("good");
        QTest::addColumn<QList<double>>("mse");
        QTest::addColumn<double>("sqErrPercent");
        QTest::addColumn<bool>("classes");
        QTest::addColumn<int>("misclassified");
        QTest::addColumn<QList<int>>("confusion");

        const Rows twoClasses {{1, 0}, {1, 0}, {1, 0}, {0, 1}};
        // Stuck at the majority class: three patterns exact, so "good", the minority wrong.
        QTest::addRow("collapsed onto the majority")
                << int16_t(FuncLinear) << NodeWeights {{0, 1}, {0, 0}} << twoClasses
                << std::sqrt(2.0 / 4) << 3 << QList<double> {0.25, 0.25} << 25.0 << true << 1
                << QList<int> {3, 0, 1, 0};
        // Every pattern outside the target error, yet every class right.
        QTest::addRow("right classes, none good")
                << int16_t(FuncLinear) << NodeWeights {{-0.4f, 0.7f}, {0.4f, 0.3f}} << twoClasses
                << std::sqrt(0.18) << 0 << QList<double> {0.09, 0.09} << 9.0 << true << 0
                << QList<int> {3, 0, 0, 1};
        // One sigmoid output at 0.5 is read as class 0 (not above the middle of 0..1).
        QTest::addRow("single output at the threshold")
                << int16_t(FuncSigmoid) << NodeWeights {{0, 0}} << Rows {{0}, {0}, {0}, {1}} << 0.5
                << 0 << QList<double> {0.25} << 25.0 << true << 1 << QList<int> {3, 0, 1, 0};
        QTest::addRow("three target values are no classes")
                << int16_t(FuncLinear) << NodeWeights {{0, 0}} << Rows {{0}, {0.5f}, {1}, {1}}
                << std::sqrt(2.25 / 4) << 1 << QList<double> {2.25 / 4} << 2.25 / 4 * 100 << false
                << 0 << QList<int> {};
        QTest::addRow("two highest targets are no classes")
                << int16_t(FuncLinear) << NodeWeights {{0, 1}, {0, 1}}
                << Rows {{1, 1}, {1, 0}, {0, 1}, {1, 0}} << std::sqrt(3.0 / 4) << 1
                << QList<double> {0.25, 0.5} << 100.0 * 3 / 8 << false << 0 << QList<int> {};
    }

    void figures()
    {
        QFETCH(int16_t, func);
        QFETCH(NodeWeights, weights);
        QFETCH(Rows, targets);
        QFETCH(double, rms);
        QFETCH(int, good);
        QFETCH(QList<double>, mse);
        QFETCH(double, sqErrPercent);
        QFETCH(bool, classes);
        QFETCH(int, misclassified);
        QFETCH(QList<int>, confusion);

        TestBench b;
        const int outputs = int(weights.size());
        QVERIFY(buildNet(b.wb, {"1", QString::number(outputs)}, {1, func}));
        for (int j = 1; j <= outputs; ++j) {
            setWeights(b.wb.model, 2, j, weights[std::size_t(j - 1)]);
        }
        setPatterns(b.wb, {{0}, {0}, {0}, {1}}, targets);
        // The same figures from the test set, which the listing adds below the training set's.
        setTestSet(b.wb, {{0}, {0}, {0}, {1}}, targets);

        for (bool test : {false, true}) {
            const std::optional<Evaluation> e = evaluateSet(b.wb, test);
            QVERIFY(e);
            QCOMPARE(e->patterns, 4);
            QVERIFY2(near(e->rms, rms, 1e-6), qPrintable(QString::number(e->rms)));
            QCOMPARE(e->good, good);
            QCOMPARE(int(e->mse.size()), mse.size());
            for (int k = 0; k < mse.size(); ++k) {
                QVERIFY2(near(e->mse[std::size_t(k)], mse[k], 1e-6),
                         qPrintable(QString::number(e->mse[std::size_t(k)])));
            }
            QVERIFY2(near(e->squaredErrorPercent, sqErrPercent, 1e-5),
                     qPrintable(QString::number(e->squaredErrorPercent)));
            QCOMPARE(e->classes, classes);
            QCOMPARE(e->misclassified, misclassified);
            QCOMPARE(QList<int>(e->confusion.begin(), e->confusion.end()), confusion);
        }
    }

    // The listing of the report window and the JSON of the command line on the collapsed net.
    void listingAndJson()
    {
        TestBench b;
        QVERIFY(buildNet(b.wb, {"1", "2"}, {1, FuncLinear}));
        setWeights(b.wb.model, 2, 1, {0, 1});
        setWeights(b.wb.model, 2, 2, {0, 0});
        setPatterns(b.wb, {{0}, {0}, {0}, {1}}, {{1, 0}, {1, 0}, {1, 0}, {0, 1}});
        QVERIFY(showEvaluation(b.wb));
        QCOMPARE(b.wb.model.ReportMode, ReportKind::Evaluation);
        QCOMPARE(b.wb.report.caption, QStringLiteral("Evaluation"));
        QCOMPARE(b.wb.report.text,
                 QStringLiteral("Training set: 4 patterns, 2 outputs\r\n"
                                "RMS Error: 0.707107\r\n"
                                "Good Pats: 75.0%\r\n"
                                "Squared error percentage: 25.000\r\n"
                                "Mean squared error per output: 0.250000 0.250000\r\n"
                                "Class. err.: 1 of 4 (25.0%)\r\n"
                                "Confusion matrix (rows: target class, columns: network's "
                                "class):\r\n"
                                "            1      2\r\n"
                                "     1      3      0\r\n"
                                "     2      1      0\r\n"));

        const QJsonObject json =
                QJsonDocument::fromJson(evaluationJson(*evaluateSet(b.wb, false)).toUtf8())
                        .object();
        QCOMPARE(json.value("misclassified").toInt(), 1);
        QCOMPARE(json.value("goodPercent").toDouble(), 75.0);
        QCOMPARE(json.value("confusion").toVariant().toList().at(1).toList().at(0).toInt(), 1);
        QVERIFY(!json.contains("classNames"));

        // The class names beside the pattern file (an imported CSV file's) name the classes;
        // names that do not fit the network are left out.
        QTemporaryDir dir;
        b.wb.model.PatFileName = dir.filePath("plants.pat");
        const auto names = [&](const QByteArray &text) {
            QFile f(dir.filePath("plants.classes"));
            QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
            f.write(text);
        };
        names("Axona columns 1\r\ninput\tx\r\noutput\tkind\tbig\r\noutput\tkind\tsmall\r\n");
        const std::optional<Evaluation> named = evaluateSet(b.wb, false);
        QCOMPARE(named->classNames, (QStringList {"big", "small"}));
        QVERIFY(evaluationText(*named, "Training set").endsWith("Classes: 1 big, 2 small\r\n"));
        QCOMPARE(QJsonDocument::fromJson(evaluationJson(*named).toUtf8())
                         .object()
                         .value("classNames")
                         .toVariant()
                         .toStringList(),
                 (QStringList {"big", "small"}));
        names("Axona columns 1\r\ninput\tx\r\ninput\ty\r\noutput\tkind\tbig\r\n");
        QVERIFY(evaluateSet(b.wb, false)->classNames.isEmpty());
    }

    void refusesMissingSet()
    {
        TestBench b;
        QVERIFY(buildNet(b.wb, {"1", "1"}));
        QVERIFY(!evaluateSet(b.wb, true));
        QCOMPARE(b.ui.texts().size(), 1);
    }
};

QTEST_GUILESS_MAIN(TestEvaluation)
#include "tst_evaluation.moc"
