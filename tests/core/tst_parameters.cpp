#include <QTest>

#include "model/numberformat.h"
#include "near.h"
#include "trainfixture.h"
#include "training/parameters.h"

namespace {

float fieldOf(const NetModel &m, const QString &control)
{
    if (control == "TXT_Eta") {
        return m.Eta;
    }
    if (control == "TXT_Wnoise") {
        return m.WeightNoise;
    }
    if (control == "TXT_Pnoise") {
        return m.InputNoise;
    }
    if (control == "TXT_Temp") {
        return m.Temp;
    }
    if (control == "TXT_epocs") {
        return m.EpochsPerCall;
    }
    if (control == "TXT_TargetErr") {
        return m.TargetErr;
    }
    if (control == "TXT_PatClip") {
        return m.PatClip;
    }
    if (control == "TXT_minW") {
        return m.MinWeight;
    }
    if (control == "TXT_maxW") {
        return m.MaxWeight;
    }
    return m.Alpha;
}

} // namespace

class TestParameters : public QObject
{
    Q_OBJECT

private slots:

    void boxStoresLeadingNumber_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("stored");
        QTest::addColumn<QString>("message");
        QTest::addRow("Eta with trailing text") << "TXT_Eta"
                                                << "0.35abc" << 0.35 << "";
        QTest::addRow("empty Temp") << "TXT_Temp"
                                    << "" << 0.0 << "";
        QTest::addRow("weight noise") << "TXT_Wnoise"
                                      << " .004" << 0.004 << "";
        QTest::addRow("input noise not a number") << "TXT_Pnoise"
                                                  << "x1" << 0.0 << "";
        QTest::addRow("target error") << "TXT_TargetErr"
                                      << "1E-3" << 0.001 << "";
        QTest::addRow("clip") << "TXT_PatClip"
                              << "2" << 2.0 << "";
        QTest::addRow("min weight") << "TXT_minW"
                                    << "-1.5e1x" << -15.0 << "";
        QTest::addRow("max weight") << "TXT_maxW"
                                    << "7" << 7.0 << "";
        QTest::addRow("epochs half to even down") << "TXT_epocs"
                                                  << "2.5" << 2.0 << "";
        QTest::addRow("epochs half to even up") << "TXT_epocs"
                                                << "3.5" << 4.0 << "";
        QTest::addRow("epochs above 16 bits")
                << "TXT_epocs"
                << "40000" << 32767.0 << "Iter./calc. should be between 1 and 32767: 32767 is used";
        QTest::addRow("no epoch per call")
                << "TXT_epocs"
                << "0" << 1.0 << "Iter./calc. should be between 1 and 32767: 1 is used";
        QTest::addRow("negative epochs")
                << "TXT_epocs"
                << "-1e9" << 1.0 << "Iter./calc. should be between 1 and 32767: 1 is used";
        // An emptied box is being typed into: it says nothing, and a run refuses to start.
        QTest::addRow("emptied epochs box") << "TXT_epocs"
                                            << "" << 0.0 << "";
        QTest::addRow("Alpha waits for the run") << "TXT_Alpha"
                                                 << "0.9" << 0.5 << "";
    }

    void boxStoresLeadingNumber()
    {
        QFETCH(QString, control);
        QFETCH(QString, text);
        QFETCH(double, stored);
        QFETCH(QString, message);
        TestBench b;
        parameterTextChanged(b.wb, control, text);
        QVERIFY2(near(fieldOf(b.wb.model, control), stored, 1e-7),
                 qPrintable(QString::number(fieldOf(b.wb.model, control))));
        if (message.isEmpty()) {
            QVERIFY(b.ui.texts().isEmpty());
            QCOMPARE(b.wb.form.text(control), text);
        } else {
            QCOMPARE(b.ui.texts(), QStringList {message});
            QCOMPARE(b.wb.form.text(control), QString::number(stored));
        }
    }

    void epochLength_data()
    {
        QTest::addColumn<int>("patterns");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("message");
        QTest::addRow("1") << 10 << "1"
                           << "1"
                           << "";
        QTest::addRow("all") << 10 << "10"
                             << "10"
                             << "";
        QTest::addRow("0") << 10 << "0"
                           << "10"
                           << "Epoc Lenght Should Be between 1 to 10";
        QTest::addRow("11") << 10 << "11"
                            << "10"
                            << "Epoc Lenght Should Be between 1 to 10";
        QTest::addRow("beyond 16 bits") << 10 << "70000"
                                        << "10"
                                        << "Epoc Lenght Should Be between 1 to 10";
        QTest::addRow("empty") << 10 << ""
                               << "10"
                               << "Epoc Lenght Should Be between 1 to 10";
        QTest::addRow("no patterns, 1") << 0 << "1"
                                        << "1"
                                        << "";
        QTest::addRow("no patterns, 3") << 0 << "3"
                                        << "1"
                                        << "Epoc Lenght Should Be between 1 to 0";
    }

    void epochLength()
    {
        QFETCH(int, patterns);
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        QFETCH(QString, message);
        TestBench b;
        if (patterns > 0) {
            Rows in(std::size_t(patterns), {0.0f, 1.0f});
            Rows out(std::size_t(patterns), {1.0f});
            setPatterns(b.wb, in, out);
        }
        QCOMPARE(epochLengthChanged(b.wb, typed), message.isEmpty());
        QCOMPARE(b.wb.form.text("TXT_EpocLen"), shown);
        QCOMPARE(b.ui.texts(), message.isEmpty() ? QStringList() : QStringList {message});
        if (!message.isEmpty()) {
            QCOMPARE(b.ui.shown().back().icon, UiPort::Icon::Critical);
        }
    }

    void spinners_data()
    {
        QTest::addColumn<int>("upDown");
        QTest::addColumn<bool>("up");
        QTest::addColumn<float>("from");
        QTest::addColumn<double>("to");
        QTest::addColumn<QString>("shown");
        QTest::addRow("Eta 0.2 down") << 1 << false << 0.2f << 0.1 << "0.1";
        QTest::addRow("Eta 0.1 down") << 1 << false << 0.1f << 0.09 << "0.09";
        QTest::addRow("Eta 0.09 up") << 1 << true << 0.09f << 0.1 << "0.1";
        QTest::addRow("Eta 0.1 up") << 1 << true << 0.1f << 0.2 << "0.2";
        QTest::addRow("Eta 2 up") << 1 << true << 2.0f << 2.1 << "2.1";
        QTest::addRow("Eta 0.01 down") << 1 << false << 0.01f << 0.009 << "0.009";
        QTest::addRow("Eta 0 stays") << 1 << true << 0.0f << 0.0 << "0.";
        QTest::addRow("Eta negative stays") << 1 << false << -0.5f << -0.5 << "-0.5";
        QTest::addRow("Alpha 0.5 down") << 2 << false << 0.5f << 0.4 << "0.4";
        QTest::addRow("Alpha 0.9 up") << 2 << true << 0.9f << 1.0 << "1.";
        QTest::addRow("input noise 0 up") << 3 << true << 0.0f << 0.01 << "0.01";
        QTest::addRow("input noise 0.02 down") << 3 << false << 0.02f << 0.01 << "0.01";
        QTest::addRow("input noise 0.01 down") << 3 << false << 0.01f << 0.0 << "0.";
        QTest::addRow("input noise 0.015 down") << 3 << false << 0.015f << 0.0 << "0.";
        QTest::addRow("input noise 0 down") << 3 << false << 0.0f << 0.0 << "0.";
        QTest::addRow("weight noise 0 up") << 4 << true << 0.0f << 0.002 << "0.002";
        QTest::addRow("weight noise 0.004 down") << 4 << false << 0.004f << 0.002 << "0.002";
        QTest::addRow("weight noise 0.003 down") << 4 << false << 0.003f << 0.0 << "0.";
    }

    void spinners()
    {
        QFETCH(int, upDown);
        QFETCH(bool, up);
        QFETCH(float, from);
        QFETCH(double, to);
        QFETCH(QString, shown);
        TestBench b;
        NetModel &m = b.wb.model;
        float *fields[] = {&m.Eta, &m.Alpha, &m.InputNoise, &m.WeightNoise};
        float &field = *fields[upDown - 1];
        field = from;
        const QString box = spin(b.wb, upDown, up);
        const char *boxes[] = {"TXT_Eta", "TXT_Alpha", "TXT_Pnoise", "TXT_Wnoise"};
        QCOMPARE(box, QString::fromLatin1(boxes[upDown - 1]));
        QVERIFY2(near(field, to, 1e-7), qPrintable(QString::number(double(field), 'g', 9)));
        QCOMPARE(b.wb.form.text(box), shown);
    }

    void randomSampling()
    {
        TestBench b;
        randomSamplingClicked(b.wb, true);
        QCOMPARE(b.wb.model.RandomSampling, int16_t(1));
        QVERIFY(b.wb.form.isChecked("CHK_RND"));
        randomSamplingClicked(b.wb, false);
        QCOMPARE(b.wb.model.RandomSampling, int16_t(0));
    }

    void autoLearning()
    {
        TestBench b;
        const LearnAdaptation &a = b.wb.model.LearnAdapt;
        AutoLearnForm form = AutoLearnForm::fill(b.wb.model);
        QCOMPARE(form.TXT_EtaInc, QStringLiteral("1.02"));
        QCOMPARE(form.TXT_EtaDec, QStringLiteral("0.96"));
        form.TXT_EtaInc = "1.05";
        form.TXT_EtaDec = ".9x";
        autoLearnAccepted(b.wb, form);
        QCOMPARE(a.AutoOn, -1.0f);
        QVERIFY(near(a.EtaInc, 1.05, 1e-7) && near(a.EtaDec, 0.9, 1e-7));
        QVERIFY(b.wb.form.isChecked("CHK_AutoLearn"));
        QCOMPARE(AutoLearnForm::fill(b.wb.model).TXT_EtaInc, QStringLiteral("1.05"));
        autoLearnUnchecked(b.wb);
        QCOMPARE(a.AutoOn, 0.0f);
        QVERIFY(!b.wb.form.isChecked("CHK_AutoLearn"));
        b.wb.form.setChecked("CHK_AutoLearn", true);
        autoLearnCancelled(b.wb);
        QCOMPARE(a.AutoOn, 0.0f);
        QVERIFY(!b.wb.form.isChecked("CHK_AutoLearn"));
        QVERIFY(near(a.EtaInc, 1.05, 1e-7));
    }
};

QTEST_GUILESS_MAIN(TestParameters)
#include "tst_parameters.moc"
