#include <QTest>

#include "scriptedui.h"
#include "session/engineapi.h"

// Binding the engine by name: the library found through $AXONA_ENGINE, and a missing library
// or routine reported once, naming the file and the routine, with the command refused.
class TestEngineApi : public QObject
{
    Q_OBJECT

private slots:

    void bindsTheBuiltLibraryByName()
    {
        QVERIFY(!qEnvironmentVariable("AXONA_ENGINE").isEmpty());
        ScriptedUi ui;
        EngineApi api;
        for (const char *name : EngineApi::RoutineNames) {
            QVERIFY2(api.require(ui, {name}), name);
        }
        QVERIFY(ui.texts().isEmpty());
        // The bound routine is the real one: a one-weight net with bias 0 gives sigmoid(0).
        float w[2 * 2 * 1] = {0, 0, 0, 0};
        float in[1] = {0};
        float tgt[1] = {0.5f};
        int16_t nn[2] = {1, 1};
        int16_t nl = 2, maxn = 1, wdim2 = 2, wdim3 = 1, npat = 1, nin = 1, nout = 1, ipat = 1;
        float x[2 * 1] = {0, 0};
        float err = -1, temp = 1;
        int16_t func[2] = {1, 1};
        api.fn().CALCNET(w, in, tgt, nn, &nl, &maxn, &wdim2, &wdim3, &npat, &nin, &nout, &ipat, x,
                         &err, &temp, func);
        QCOMPARE(x[1], 0.5f);
        QCOMPARE(err, 0.0f);
    }

    void missingLibraryIsReportedOnce()
    {
        const QByteArray saved = qgetenv("AXONA_ENGINE");
        qputenv("AXONA_ENGINE", "/nonexistent/libaxona32.so");
        ScriptedUi ui;
        EngineApi api;
        QVERIFY(!api.require(ui, {"RNDW"}));
        QVERIFY(!api.require(ui, {"BP"}));
        qputenv("AXONA_ENGINE", saved);
        QCOMPARE(ui.texts().size(), 1);
        const QString text = ui.texts().first();
        QVERIFY2(text.contains(QStringLiteral("/nonexistent/libaxona32.so"))
                         && text.contains(QStringLiteral("RNDW")),
                 qPrintable(text));
        QCOMPARE(ui.shown().front().icon, UiPort::Icon::Critical);
    }

    void missingRoutineIsNamed()
    {
        ScriptedUi ui;
        EngineApi::Routines some;
        some.CALCNET = &::CALCNET;
        EngineApi api(some);
        QVERIFY(api.require(ui, {"CALCNET"}));
        QVERIFY(!api.require(ui, {"MKTEST1"}));
        QVERIFY(!api.require(ui, {"MKTEST1"}));
        QCOMPARE(ui.texts().size(), 1);
        QVERIFY(ui.texts().first().contains(QStringLiteral("MKTEST1")));
    }
};

QTEST_GUILESS_MAIN(TestEngineApi)
#include "tst_engineapi.moc"
