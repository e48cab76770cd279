#include <cmath>
#include <limits>

#include <QTemporaryDir>
#include <QTest>

#include "files/weightcommands.h"
#include "filetesthelpers.h"
#include "linkedengine.h"
#include "model/weightfile.h"
#include "near.h"
#include "training/construction.h"

namespace {

struct Bench : TestBench
{
    explicit Bench(const QStringList &sizes = {"2", "2", "1"})
    {
        wb.form.setText("PNL_Layers", QString::number(sizes.size()));
        wb.form.setItems("CMB_LayerSize", sizes);
        buildNetwork(wb);
    }
};

// The weights of the example network, node by node (inputs, then the bias).
void setExampleWeights(NetModel &m)
{
    const float w[3][3] = {
            {0.123456f, -1.5f, 2.0f}, {-0.25f, 10.0f, -123.456789f}, {1.0f, -1.0f, 0.0f}};
    for (int i = 1; i <= 3; ++i) {
        m.Weights(2, i, 1) = w[0][i - 1];
        m.Weights(2, i, 2) = w[1][i - 1];
        m.Weights(3, i, 1) = w[2][i - 1];
    }
}

QList<float> liveWeights(const NetModel &m)
{
    QList<float> out;
    for (int l = 2; l <= m.NumLayers; ++l) {
        for (int j = 1; j <= m.LayerSize(l); ++j) {
            for (int i = 1; i <= m.LayerSize(l - 1) + 1; ++i) {
                out.append(m.Weights(l, i, j));
            }
        }
    }
    return out;
}

const QByteArray ExampleFile = " 9 \r\n"
                               " 2 \r\n"
                               "   0.123456   -1.500000    2.000000 \r\n"
                               "  -0.250000   10.000000 -123.456800 \r\n"
                               " 3 \r\n"
                               "   1.000000   -1.000000    0.000000 \r\n";

} // namespace

class TestWeightFile : public QObject
{
    Q_OBJECT

private slots:

    void exampleFileIsByteExact()
    {
        Bench b;
        setExampleWeights(b.wb.model);
        b.wb.model.WeightsChanged = true;
        QTemporaryDir dir;
        const QString path = dir.filePath("example.wgt");
        b.ui.file(path);
        QVERIFY(saveWeights(b.wb, true).done());
        QCOMPARE(readBytes(path), ExampleFile);
        const UiPort::FileRequest &r = b.ui.fileRequests().back();
        QCOMPARE(r.title, QStringLiteral("Save Weights As"));
        QCOMPARE(r.filter, QStringLiteral("Weight Files (*.wgt)"));
        QCOMPARE(r.defaultExtension, QStringLiteral("wgt"));
        QCOMPARE(r.initialName, QStringLiteral("*.wgt"));
        const NetModel &m = b.wb.model;
        QVERIFY(m.HasWeightFile && !m.WeightsChanged);
        QCOMPARE(b.wb.form.text("LBL_WeightFile"), path);
        QVERIFY(b.wb.form.isEnabled("BTN_EditWgt"));
    }

    void layoutsReadTheSame_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("writer layout") << ExampleFile;
        QTest::newRow("one value per line")
                << QByteArray("9\n2\n.123456\n-1.5\n2\n-.25\n10\n-123.4568\n3\n1\n-1\n0\n");
        QTest::newRow("all on one line")
                << QByteArray("9 2 0.123456 -1.5 2 -0.25 10 -123.4568 3 1 -1 0");
    }

    void layoutsReadTheSame()
    {
        QFETCH(QByteArray, text);
        Bench b;
        NetModel &m = b.wb.model;
        m.WeightDelta(2, 1, 1) = 0.5f;
        QTemporaryDir dir;
        b.ui.file(writeFile(dir.path(), "w.wgt", text));
        QVERIFY(loadWeights(b.wb, true).done());
        QCOMPARE(b.ui.fileRequests().back().title, QStringLiteral("Open Weight File"));
        const QList<float> expected {0.123456f, -1.5f, 2, -0.25f, 10, -123.4568f, 1, -1, 0};
        QCOMPARE(liveWeights(m), expected);
        QVERIFY(m.HasWeightFile);
        QVERIFY(b.wb.form.isEnabled("BTN_EditWgt"));
        // A loaded network starts training without memory of earlier steps.
        QCOMPARE(m.WeightDelta(2, 1, 1), 0.0f);
        QCOMPARE(b.wb.form.text("PNL_MinW"), QStringLiteral("-1.2346E+02"));
        QVERIFY(b.ui.texts().isEmpty());
    }

    void badFiles_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("message");
        const QString count = QStringLiteral("Number of weights do not agree with net size ! ! !");
        const QString in = QStringLiteral("Error in Weight file\n\rError: ");
        QTest::newRow("empty") << QByteArray() << count;
        QTest::newRow("binary") << QByteArray("\x7f\x45\x4c\x46\x02\x01\x00\x00", 8) << count;
        QTest::newRow("written for 2-3-1") << QByteArray("13\r\n2\r\n") << count;
        QTest::newRow("negative count") << QByteArray("-9\r\n2\r\n") << count;
        QTest::newRow("count over 32 bits") << QByteArray("1e12\r\n2\r\n") << count;
        QTest::newRow("truncated") << QByteArray("9\r\n2\r\n1 2 3\r\n4 5")
                                   << in + "the file ends after 5 of its 9 weights";
        QTest::newRow("NaN") << QByteArray(" 9 \r\n 2 \r\n        NaN 1 2\r\n")
                             << in + "weight 1 of node 1 in layer 2 (line 3) is not a number";
        QTest::newRow("Inf") << QByteArray("9\r\n2\r\n1 2 3\r\n4 5 6\r\n3\r\n7 -Inf 9\r\n")
                             << in + "weight 2 of node 1 in layer 3 (line 6) is not a number";
        QTest::newRow("beyond a single")
                << QByteArray("9 2 1 2 3 4 5 6 3 7 8 1e40")
                << in + "weight 3 of node 1 in layer 3 (line 1) is beyond the single range";
    }

    void badFiles()
    {
        QFETCH(QByteArray, text);
        QFETCH(QString, message);
        Bench b;
        NetModel &m = b.wb.model;
        QTemporaryDir dir;
        QVERIFY(loadWeights(b.wb, false, writeFile(dir.path(), "good.wgt", ExampleFile)).done());
        const QList<float> before = liveWeights(m);

        QVERIFY(loadWeights(b.wb, false, writeFile(dir.path(), "bad.wgt", text)).failed());
        QCOMPARE(b.ui.texts(), QStringList {message});
        QCOMPARE(b.ui.shown().back().icon, UiPort::Icon::Critical);
        QCOMPARE(liveWeights(m), before);
        QVERIFY(!m.HasWeightFile);
        QCOMPARE(b.wb.form.text("LBL_WeightFile"), QStringLiteral("Click here to Open File"));
        QVERIFY(!b.wb.form.isEnabled("BTN_EditWgt"));
        QCOMPARE(b.ui.busyDepth(), 0);
    }

    void countDecidesWhichNetworksFit_data()
    {
        QTest::addColumn<QStringList>("sizes");
        QTest::addColumn<bool>("fits");
        QTest::newRow("2-3-1 has 13 weights") << QStringList {"2", "3", "1"} << false;
        QTest::newRow("8-1 has 9 weights too") << QStringList {"8", "1"} << true;
    }

    void countDecidesWhichNetworksFit()
    {
        QFETCH(QStringList, sizes);
        QFETCH(bool, fits);
        Bench b(sizes);
        QTemporaryDir dir;
        const QString path = writeFile(dir.path(), "221.wgt", ExampleFile);
        QCOMPARE(loadWeights(b.wb, false, path).done(), fits);
        if (fits) {
            // Taken in file order: the other network's second layer number is read as a weight.
            QCOMPARE(b.wb.model.Weights(2, 1, 1), 0.123456f);
            QCOMPARE(b.wb.model.Weights(2, 7, 1), 3.0f);
            QCOMPARE(b.wb.model.Weights(2, 9, 1), -1.0f);
        } else {
            QCOMPARE(b.ui.texts(),
                     QStringList {"Number of weights do not agree with net size ! ! !"});
        }
    }

    // A diverged run's weights are not written: the file could never be read back.
    void nonFiniteWeightsAreNotWritten()
    {
        Bench b;
        NetModel &m = b.wb.model;
        setExampleWeights(m);
        m.Weights(3, 1, 1) = -std::numeric_limits<float>::infinity();
        m.WeightsChanged = true;
        QTemporaryDir dir;
        const QString path = writeFile(dir.path(), "good.wgt", ExampleFile);
        QVERIFY(saveWeights(b.wb, false, path).failed());
        QCOMPARE(b.ui.texts(),
                 QStringList {"Cannot write " + path + ": weight 1 of node 1 in layer 3 is -Inf"});
        QCOMPARE(readBytes(path), ExampleFile);
        QVERIFY(m.WeightsChanged);
    }

    void cancelledDialogs()
    {
        Bench b;
        NetModel &m = b.wb.model;
        m.WeightsChanged = true;
        b.ui.cancelFile();
        QVERIFY(saveWeights(b.wb, true).cancelled());
        // Cleared on every way out, also after a cancelled dialog.
        QVERIFY(!m.WeightsChanged && !m.HasWeightFile);

        QTemporaryDir dir;
        const QString good = writeFile(dir.path(), "good.wgt", ExampleFile);
        QVERIFY(loadWeights(b.wb, false, good).done());
        b.ui.cancelFile();
        QVERIFY(loadWeights(b.wb, true).cancelled());
        QVERIFY(m.HasWeightFile);
        QCOMPARE(b.wb.form.text("LBL_WeightFile"), good);
        QVERIFY(b.ui.texts().isEmpty());
    }

    void failedWriteKeepsTheWeightsUnsaved()
    {
        Bench b;
        NetModel &m = b.wb.model;
        m.WeightsChanged = true;
        QTemporaryDir dir;
        const QString target = dir.filePath("missing-folder/w.wgt");
        b.ui.file(target);
        QVERIFY(saveWeights(b.wb, true).failed());
        QCOMPARE(b.ui.texts().size(), 1);
        QVERIFY2(b.ui.texts().front().startsWith(QStringLiteral("Cannot write ") + target + ": "),
                 qPrintable(b.ui.texts().front()));
        QVERIFY(m.WeightsChanged);
        QVERIFY(!m.HasWeightFile);
        QCOMPARE(b.wb.form.text("LBL_WeightFile"), QStringLiteral("Click here to Open File"));
    }

    void savedWeightsReadBack()
    {
        Bench b({"3", "5", "4", "2"});
        NetModel &m = b.wb.model;
        randomizeWeights(b.wb);
        QTemporaryDir dir;
        const QString path = dir.filePath("w.wgt");
        QVERIFY(saveWeights(b.wb, false, path).done());
        const QList<float> saved = liveWeights(m);
        randomizeWeights(b.wb);
        QVERIFY(loadWeights(b.wb, false, path).done());
        const QList<float> read = liveWeights(m);
        QCOMPARE(read.size(), 20 + 24 + 10);
        for (qsizetype k = 0; k < read.size(); ++k) {
            QVERIFY2(near(read[k], saved[k], 1e-6), qPrintable(QString::number(k)));
        }
        // Six decimals are all the file keeps: saving again gives the same text.
        const QByteArray first = readBytes(path);
        QVERIFY(saveWeights(b.wb, false, path).done());
        QCOMPARE(readBytes(path), first);
    }
};

QTEST_GUILESS_MAIN(TestWeightFile)
#include "tst_weightfile.moc"
