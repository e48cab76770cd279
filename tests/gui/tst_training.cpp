#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "modaldriver.h"
#include "session/commandstate.h"
#include "session/engineapi.h"
#include "session/workbench.h"
#include "shell/axonaapp.h"
#include "shell/corvelwindow.h"
#include "shell/mdineuralframe.h"
#include "training/construction.h"
#include "training/training.h"
#include "training/widgets/reportwindow.h"

// The real windows driving training and reports: the toolbar's Train runs until the net has
// learnt XOR, Stop ends a run that would go on for ever, and Run Net fills the report window.
class TestTraining : public QObject
{
    Q_OBJECT

private:
    // The four XOR patterns loaded straight into the model, as a pattern file would.
    static void loadXor(Workbench &wb)
    {
        NetModel &m = wb.model;
        const float in[4][2] = {{0, 0}, {0, 1}, {1, 0}, {1, 1}};
        const float out[4] = {0, 1, 1, 0};
        m.NumPats = 4;
        m.PatIn.allocate(4, 2);
        m.PatOut.allocate(4, 1);
        for (int p = 1; p <= 4; ++p) {
            m.PatIn(p, 1) = in[p - 1][0];
            m.PatIn(p, 2) = in[p - 1][1];
            m.PatOut(p, 1) = out[p - 1];
        }
        m.HasPatterns = true;
        wb.form.setText(QStringLiteral("TXT_EpocLen"), QStringLiteral("4"));
        wb.form.setEnabled(QStringLiteral("TXT_EpocLen"), true);
        updateTrainCommands(wb);
        // Repeatable random draws.
        QVERIFY(wb.engine.require(wb.ui, {"FIXCLOCK"}));
        int32_t t = 4242;
        int16_t fixed = 1;
        wb.engine.fn().FIXCLOCK(&t, &fixed);
        // Fresh weights from the fixed clock: the network built at start-up drew from the real one.
        randomizeWeights(wb);
    }

    // A network of 30 inputs, 256 hidden and 10 outputs on 4096 random patterns, built through
    // the Net Size panel as a user would.
    static void loadLarge(AxonaApplication &app)
    {
        Workbench &wb = app.workbench();
        wb.form.setText(QStringLiteral("PNL_Layers"), QStringLiteral("3"));
        wb.form.setItems(QStringLiteral("CMB_LayerSize"), {"30", "256", "10"});
        QVERIFY(buildNetwork(wb));
        NetModel &m = wb.model;
        const int n = 4096;
        m.NumPats = n;
        m.PatIn.allocate(n, 30);
        m.PatOut.allocate(n, 10);
        quint32 s = 1;
        const auto next = [&s] {
            s = s * 1664525u + 1013904223u;
            return float(s >> 8) / float(1u << 24);
        };
        for (int p = 1; p <= n; ++p) {
            for (int i = 1; i <= 30; ++i) {
                m.PatIn(p, i) = next();
            }
            for (int k = 1; k <= 10; ++k) {
                m.PatOut(p, k) = next();
            }
        }
        wb.form.setText(QStringLiteral("TXT_EpocLen"), QString::number(n));
    }

    static void type(CorvelWindow &w, const char *box, const QString &text)
    {
        auto *edit = w.findChild<QLineEdit *>(QLatin1String(box));
        QVERIFY(edit);
        edit->selectAll();
        QTest::keyClicks(edit, text);
    }

    // Enabled state of the commands a run switches, in one string: the toolbar's, the File
    // menu's, Create Test's and Randomize's.
    static QString commandState(CorvelWindow &w)
    {
        QStringList out;
        for (const char *key : {"new", "open", "save", "train", "stop", "runnet"}) {
            out << QStringLiteral("%1=%2")
                            .arg(QLatin1String(key))
                            .arg(w.toolAction(QLatin1String(key))->isEnabled());
        }
        out << QStringLiteral("file=%1").arg(
                w.findChild<QMenu *>(QStringLiteral("MNU_FILE"))->menuAction()->isEnabled());
        // As the Data menu shows it when opened.
        emit w.ui()->MNU_DATA->aboutToShow();
        out << QStringLiteral("createtest=%1")
                        .arg(w.action(QStringLiteral("MNU_DATA_CreateTest"))->isEnabled());
        out << QStringLiteral("randomize=%1").arg(w.ui()->BTN_Randomize->isEnabled());
        return out.join(QLatin1Char(' '));
    }

private slots:

    void trainUntilLearnt()
    {
        AxonaApplication app;
        app.start(QString());
        Workbench &wb = app.workbench();
        CorvelWindow &w = app.corvel();
        loadXor(wb);
        type(w, "TXT_Eta", QStringLiteral("2"));
        type(w, "TXT_Alpha", QStringLiteral("0.8"));
        type(w, "TXT_TargetErr", QStringLiteral("0.1"));
        QVERIFY(w.toolAction(QStringLiteral("train"))->isEnabled());

        QString during;
        QTimer probe;
        QObject::connect(&probe, &QTimer::timeout, [&] {
            if (during.isEmpty() && !wb.model.StopFlag) {
                during = commandState(w);
            }
        });
        probe.start(0);
        // A run that never learns must fail the test, not hang it.
        QTimer::singleShot(20000, [&] { w.toolAction(QStringLiteral("stop"))->trigger(); });
        w.toolAction(QStringLiteral("train"))->trigger();
        probe.stop();

        QVERIFY(wb.model.StopFlag);
        QCOMPARE(w.findChild<QLabel *>(QStringLiteral("LBL_GoodPats"))->text(),
                 QStringLiteral("100"));
        QVERIFY(wb.model.IterCount > 0);
        QCOMPARE(during,
                 QStringLiteral("new=0 open=0 save=0 train=0 stop=1 runnet=1 file=0 "
                                "createtest=0 randomize=0"));
        QCOMPARE(commandState(w),
                 QStringLiteral("new=1 open=1 save=1 train=1 stop=0 runnet=1 "
                                "file=1 createtest=1 randomize=1"));
        // How the run ended, with which algorithm.
        QCOMPARE(app.frame().statusPanel()->text(),
                 "Target error reached after " + w.ui()->LBL_iter->text()
                         + " iterations (Back propagation)");

        // Run Net: the report window lists the four patterns, each within the target.
        w.toolAction(QStringLiteral("runnet"))->trigger();
        auto *report = app.frame().findChild<ReportWindow *>();
        QVERIFY(report);
        QCOMPARE(report->windowTitle(), QStringLiteral("Run Net"));
        const QString text = report->ui()->TXT_Rep->toPlainText();
        QVERIFY2(text.startsWith(QStringLiteral("RMS Error: ")), qPrintable(text));
        QVERIFY(text.contains(QStringLiteral("Good Pats: 100.0%")));
        QCOMPARE(text.count(QStringLiteral(" +")), 4);
        // With AXONA_SCREENSHOT_DIR set, the frame with the report is kept as a picture.
        const QString shots = qEnvironmentVariable("AXONA_SCREENSHOT_DIR");
        if (!shots.isEmpty()) {
            app.frame().resize(1000, 700);
            QVERIFY(app.frame().grab().save(
                    QDir(shots).filePath(QStringLiteral("run-report.png"))));
        }
        wb.model.WeightsChanged = false; // nothing to ask on closing
    }

    // The epoch-length box says nothing while a length is typed, Backspace included; once the
    // edit is finished a length outside 1..patterns is refused with one message and the box
    // shows the number of patterns again.
    void epochLengthCheckedWhenFinished()
    {
        AxonaApplication app;
        app.start(QString());
        CorvelWindow &w = app.corvel();
        loadXor(app.workbench());
        auto *box = w.findChild<QLineEdit *>(QStringLiteral("TXT_EpocLen"));
        QVERIFY(box);
        ModalDriver driver(QMessageBox::Ok);
        box->setFocus();
        box->selectAll();
        QTest::keyClicks(box, QStringLiteral("09"));
        QTest::keyClick(box, Qt::Key_Backspace);
        QTest::keyClick(box, Qt::Key_Backspace);
        QTest::keyClicks(box, QStringLiteral("12"));
        QTest::qWait(100);
        QVERIFY2(driver.seen().isEmpty(), qPrintable(driver.seen().value(0).text));
        QCOMPARE(box->text(), QStringLiteral("12"));

        QTest::keyClick(box, Qt::Key_Return);
        QTRY_VERIFY_WITH_TIMEOUT(!driver.seen().isEmpty(), 5000);
        QTest::qWait(100);
        QCOMPARE(driver.seen().size(), 1);
        QCOMPARE(driver.seen().constFirst().text,
                 QStringLiteral("Epoc Lenght Should Be between 1 to 4"));
        QCOMPARE(driver.seen().constFirst().icon, QMessageBox::Critical);
        QCOMPARE(box->text(), QStringLiteral("4"));
    }

    // F5 trains; Esc or Ctrl+. stops.
    void keysTrainAndStop_data()
    {
        QTest::addColumn<QKeySequence>("stop");
        QTest::addRow("Esc") << QKeySequence(Qt::Key_Escape);
        QTest::addRow("Ctrl+.") << QKeySequence(Qt::CTRL | Qt::Key_Period);
    }

    void keysTrainAndStop()
    {
        QFETCH(QKeySequence, stop);
        AxonaApplication app;
        app.start(QString());
        QVERIFY(QTest::qWaitForWindowActive(&app.frame()));
        Workbench &wb = app.workbench();
        loadXor(wb);
        type(app.corvel(), "TXT_TargetErr", QStringLiteral("0")); // never reached
        bool trained = false;
        QTimer::singleShot(300, [&] {
            trained = !wb.model.StopFlag && wb.model.Training;
            QTest::keySequence(&app.frame(), stop);
        });
        // A run that the key does not stop must fail the test, not hang it.
        QTimer::singleShot(20000, [&] { stopTraining(wb); });
        QElapsedTimer clock;
        clock.start();
        QTest::keyClick(&app.frame(), Qt::Key_F5);
        QVERIFY2(clock.elapsed() < 10000, "the key did not stop the run");
        QVERIFY(trained);
        QVERIFY(wb.model.StopFlag && !wb.model.Training);
        QVERIFY(wb.model.IterCount > 0);
        QVERIFY2(app.frame().statusPanel()->text().startsWith("Stopped after "),
                 qPrintable(app.frame().statusPanel()->text()));
        wb.model.WeightsChanged = false;
    }

    void stopEndsALongRun_data()
    {
        QTest::addColumn<bool>("large");
        QTest::addRow("XOR") << false;
        QTest::addRow("30-256-10 on 4096 patterns") << true;
    }

    void stopEndsALongRun()
    {
        QFETCH(bool, large);
#ifndef NDEBUG
        if (large) {
            QSKIP("the engine's speed on a large network means something only in an optimised "
                  "build");
        }
#endif
        AxonaApplication app;
        app.start(QString());
        Workbench &wb = app.workbench();
        CorvelWindow &w = app.corvel();
        loadXor(wb);
        if (large) {
            loadLarge(app);
        }
        // The window keeps being served while the engine works: the longest gap between two
        // ticks of a 10 ms timer is the longest time a repaint or a click would wait.
        QElapsedTimer sinceTick;
        qint64 longestGap = 0;
        QTimer ticker;
        QObject::connect(&ticker, &QTimer::timeout, [&] {
            if (sinceTick.isValid() && !wb.model.StopFlag) {
                longestGap = std::max(longestGap, sinceTick.elapsed());
            }
            sinceTick.restart();
        });
        ticker.start(10);
        type(w, "TXT_TargetErr", QStringLiteral("0")); // never reached
        QElapsedTimer clock;
        qint64 stopAnswered = -1;
        QTimer::singleShot(300, [&] {
            clock.start();
            w.toolAction(QStringLiteral("stop"))->trigger();
        });
        w.toolAction(QStringLiteral("train"))->trigger();
        stopAnswered = clock.elapsed();
        QVERIFY(wb.model.StopFlag);
        QVERIFY(wb.model.IterCount > 0);
        // The run ends at the next engine call: a fraction of a second at most.
        QVERIFY2(stopAnswered < 500, qPrintable(QString::number(stopAnswered)));
        QVERIFY2(longestGap < 500, qPrintable(QString::number(longestGap)));
        qInfo("stop answered after %lld ms; longest wait of the event loop %lld ms", stopAnswered,
              longestGap);
        QCOMPARE(commandState(w),
                 QStringLiteral("new=1 open=1 save=1 train=1 stop=0 runnet=1 "
                                "file=1 createtest=1 randomize=1"));
        wb.model.WeightsChanged = false;
    }
};

QTEST_MAIN(TestTraining)
#include "tst_training.moc"
