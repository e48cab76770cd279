#include <QTest>

#include "linkedengine.h"
#include "model/numberformat.h"
#include "near.h"
#include "session/commandstate.h"
#include "training/construction.h"

class TestConstruction : public QObject
{
    Q_OBJECT

private:
    static void setLayers(TestBench &b, const QStringList &sizes)
    {
        b.wb.form.setText(QStringLiteral("PNL_Layers"), QString::number(sizes.size()));
        b.wb.form.setItems(QStringLiteral("CMB_LayerSize"), sizes);
    }

    static QStringList layerList(const NetModel &m)
    {
        QStringList out;
        for (int l = 1; l <= m.NumLayers; ++l) {
            out.append(QString::number(m.LayerSize(l)));
        }
        return out;
    }

private slots:

    void newNetDefaults()
    {
        TestBench b;
        QVERIFY(buildNetwork(b.wb));
        const NetModel &m = b.wb.model;
        QCOMPARE(layerList(m), QStringList({"2", "2", "1"}));
        for (int l = 1; l <= 3; ++l) {
            QCOMPARE(m.NeuronFunc(l), int16_t(FuncSigmoid));
        }
        QCOMPARE(m.EpochsPerCall, int16_t(5));
        QVERIFY(near(m.Eta, 0.2, 1e-7) && near(m.Alpha, 0.5, 1e-7) && near(m.Temp, 1, 0));
        QVERIFY(near(m.TargetErr, 0.01, 1e-7));
        QVERIFY(near(m.MinWeight, -3, 0) && near(m.MaxWeight, 3, 0));
        const FormState &f = b.wb.form;
        QCOMPARE(f.text("TXT_EpocLen"), QStringLiteral("1"));
        QVERIFY(!f.isEnabled("TXT_EpocLen"));
        QCOMPARE(f.text("LBL_DataFile"), QStringLiteral("Click here to Open File"));
        QCOMPARE(f.text("LBL_Npts"), QStringLiteral("0"));
        QCOMPARE(f.text("TXT_Eta"), QStringLiteral("0.2"));
        QCOMPARE(f.text("TXT_minW"), QStringLiteral("-3"));
        QCOMPARE(f.text("PNL_NW"), QStringLiteral("9"));
        QVERIFY(!f.isEnabled("train") && !f.isEnabled("runnet"));
        QCOMPARE(b.ui.statuses().last(), QStringLiteral("Network Init Completed..."));
        QCOMPARE(b.ui.statuses().first(), QStringLiteral("Allocating memeory..."));
        QCOMPARE(b.ui.busyDepth(), 0);
        QVERIFY(b.ui.texts().isEmpty());
    }

    void capacities_data()
    {
        QTest::addColumn<QStringList>("sizes");
        QTest::addColumn<int>("weights");
        QTest::addColumn<int>("maxHidden");
        QTest::addColumn<int>("maxIn");
        QTest::addColumn<int>("maxOut");
        QTest::addRow("2-2-1") << QStringList {"2", "2", "1"} << 9 << 3 << 3 << 3;
        QTest::addRow("no hidden layer") << QStringList {"4", "7"} << 35 << 1 << 5 << 8;
        QTest::addRow("wide hidden") << QStringList {"3", "10", "2"} << 62 << 11 << 11 << 11;
        QTest::addRow("five layers")
                << QStringList {"8", "16", "12", "6", "1"} << 144 + 204 + 78 + 7 << 17 << 17 << 17;
    }

    void capacities()
    {
        QFETCH(QStringList, sizes);
        QFETCH(int, weights);
        QFETCH(int, maxHidden);
        QFETCH(int, maxIn);
        QFETCH(int, maxOut);
        TestBench b;
        setLayers(b, sizes);
        QVERIFY(buildNetwork(b.wb));
        const NetModel &m = b.wb.model;
        QCOMPARE(countWeights(m), weights);
        QCOMPARE(int(m.MaxHidden), maxHidden);
        QCOMPARE(int(m.MaxIn), maxIn);
        QCOMPARE(int(m.MaxOut), maxOut);
        QCOMPARE(int(m.MaxNodes), std::max(maxIn, maxOut));
        QCOMPARE(b.wb.form.text("PNL_NW"), QString::number(weights));
        QVERIFY(m.arraysMatchLayers());
    }

    // Too many weights: the message, and the engine keeps seeing the previous arrays.
    void tooManyWeightsKeepsThePreviousNetwork()
    {
        TestBench b;
        QVERIFY(buildNetwork(b.wb));
        const std::vector<float> before(b.wb.model.Weights.data(),
                                        b.wb.model.Weights.data() + 3 * 3 * 3);
        setLayers(b, {"1024", "30", "1024"});
        QVERIFY(!buildNetwork(b.wb));
        QCOMPARE(b.ui.texts(),
                 QStringList {"Total no. of weights exceeds the limit of 32767\n\r"
                              "Change the size of the network and try again."});
        QCOMPARE(b.ui.shown().back().icon, UiPort::Icon::Critical);
        const NetModel &m = b.wb.model;
        QCOMPARE(m.Weights.dim2(), 3);
        QVERIFY(std::equal(before.begin(), before.end(), m.Weights.data()));
        QVERIFY(!m.arraysMatchLayers());
        // Randomize on the refused list must not reach the engine with the larger sizes.
        randomizeWeights(b.wb);
        QVERIFY(std::equal(before.begin(), before.end(), m.Weights.data()));
        QCOMPARE(b.ui.busyDepth(), 0);
    }

    void changeLayerSize_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("accepted");
        QTest::addRow("zero") << "0" << false;
        QTest::addRow("1025") << "1025" << false;
        QTest::addRow("text") << "abc" << false;
        QTest::addRow("1024") << "1024" << true;
        QTest::addRow("7 with trailing text") << "7 nodes" << true;
    }

    void changeLayerSize()
    {
        QFETCH(QString, typed);
        QFETCH(bool, accepted);
        TestBench b;
        QVERIFY(buildNetwork(b.wb));
        selectLayer(b.wb, 1);
        ::changeLayerSize(b.wb, typed);
        if (accepted) {
            QVERIFY(b.ui.texts().isEmpty());
            QCOMPARE(int(b.wb.model.LayerSize(2)), int(leadingNumber(typed)));
            QVERIFY(b.wb.model.arraysMatchLayers());
        } else {
            QCOMPARE(b.ui.texts(), QStringList {"No. of nodes should be between 1 to 1024"});
            QCOMPARE(int(b.wb.model.LayerSize(2)), 2);
        }
    }

    void layerSpinner()
    {
        TestBench b;
        setLayers(b, {"5", "7", "2"});
        QVERIFY(buildNetwork(b.wb));
        removeLayer(b.wb);
        QCOMPARE(layerList(b.wb.model), QStringList({"5", "7"}));
        removeLayer(b.wb); // not below two layers
        QCOMPARE(layerList(b.wb.model), QStringList({"5", "7"}));
        addLayer(b.wb);
        QCOMPARE(layerList(b.wb.model), QStringList({"5", "7", "1"}));
        addLayer(b.wb);
        addLayer(b.wb);
        addLayer(b.wb); // not above five
        QCOMPARE(int(b.wb.model.NumLayers), 5);
        QCOMPARE(b.wb.form.text("PNL_Layers"), QStringLiteral("5"));
        QCOMPARE(b.wb.form.text("PNL_Lindex"), QStringLiteral("1"));
        QVERIFY(b.wb.model.arraysMatchLayers());
    }

    void neuronFunctionOfSelectedLayer()
    {
        TestBench b;
        QVERIFY(buildNetwork(b.wb));
        selectLayer(b.wb, 0);
        QVERIFY(!b.wb.form.isEnabled("CMB_idxfn"));
        selectLayer(b.wb, 2);
        QVERIFY(b.wb.form.isEnabled("CMB_idxfn"));
        chooseNeuronFunction(b.wb, 2);
        QCOMPARE(b.wb.model.NeuronFunc(3), int16_t(FuncTanh));
        QCOMPARE(b.wb.form.text("PNL_Lindex"), QStringLiteral("3"));
    }

    void randomizeStaysInRange()
    {
        TestBench b;
        b.wb.model.MinWeight = -0.5f;
        b.wb.model.MaxWeight = 0.25f;
        QVERIFY(buildNetwork(b.wb));
        randomizeWeights(b.wb);
        const NetModel &m = b.wb.model;
        float lo = 1, hi = -1;
        for (int l = 2; l <= 3; ++l) {
            for (int j = 1; j <= m.LayerSize(l); ++j) {
                for (int i = 1; i <= m.LayerSize(l - 1) + 1; ++i) {
                    lo = std::min(lo, m.Weights(l, i, j));
                    hi = std::max(hi, m.Weights(l, i, j));
                }
            }
        }
        QVERIFY(lo > -0.5f && hi <= 0.25f);
        QVERIFY(m.WeightsChanged);
        QCOMPARE(b.wb.form.text("PNL_MinW"), formatNumber(lo, u"#.####E+##"));
        QCOMPARE(b.wb.form.text("PNL_MaxW"), formatNumber(hi, u"#.####E+##"));
    }

    void newNetAsks_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("reset");
        QTest::addRow("yes") << int(UiPort::Answer::Yes) << true;
        QTest::addRow("no") << int(UiPort::Answer::No) << false;
    }

    void newNetAsks()
    {
        QFETCH(int, answer);
        QFETCH(bool, reset);
        TestBench b;
        b.wb.model.Eta = 0.7f;
        setLayers(b, {"3", "1"});
        QVERIFY(buildNetwork(b.wb));
        b.ui.answer(UiPort::Answer(answer));
        newNet(b.wb);
        QCOMPARE(b.ui.texts(),
                 QStringList {"Creating a new network will erase all parametrs\r\rContinue ?"});
        QCOMPARE(b.ui.shown().back().buttons, UiPort::Buttons::YesNo);
        QCOMPARE(b.wb.model.NumLayers, int16_t(reset ? 3 : 2));
        QVERIFY(near(b.wb.model.Eta, reset ? 0.2 : 0.7, 1e-7));
    }

    void inputSizeChangeQuestion_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("dropped");
        QTest::addRow("yes drops the data") << int(UiPort::Answer::Yes) << true;
        QTest::addRow("no restores the size") << int(UiPort::Answer::No) << false;
    }

    void inputSizeChangeQuestion()
    {
        QFETCH(int, answer);
        QFETCH(bool, dropped);
        TestBench b;
        QVERIFY(buildNetwork(b.wb));
        NetModel &m = b.wb.model;
        m.HasPatterns = true;
        m.NumPats = 2;
        m.PatIn.allocate(2, 2);
        m.PatOut.allocate(2, 1);
        selectLayer(b.wb, 0);
        b.ui.answer(UiPort::Answer(answer));
        QCOMPARE(layerTextEdited(b.wb, QStringLiteral("3")), dropped);
        QCOMPARE(b.ui.texts(),
                 QStringList {"Changing the no. of inputs or outputs\r\nrequires reloading the "
                              "pattern and test files.\r\nDo you want to continue ?"});
        QCOMPARE(m.HasPatterns, !dropped);
        QCOMPARE(int(m.NumPats), dropped ? 0 : 2);
        QCOMPARE(b.wb.form.text("CMB_LayerSize"),
                 dropped ? QStringLiteral("3") : QStringLiteral("2"));
        // A hidden layer's size is no question.
        selectLayer(b.wb, 1);
        QVERIFY(layerTextEdited(b.wb, QStringLiteral("4")));
        QCOMPARE(b.ui.texts().size(), 1);
    }
};

QTEST_GUILESS_MAIN(TestConstruction)
#include "tst_construction.moc"
