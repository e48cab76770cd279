#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMimeData>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QScatterSeries>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include "files/netcommands.h"
#include "modaldriver.h"
#include "plots/widgets/chartcontrol.h"
#include "plots/widgets/netlayoutwindow.h"
#include "plots/widgets/plotoutform.h"
#include "plots/widgets/plotsettingsdialog.h"
#include "plots/widgets/weightsplotform.h"
#include "recordingdesktop.h"
#include "scriptedui.h"
#include "session/commandstate.h"
#include "session/engineapi.h"
#include "session/workbench.h"
#include "shell/axonaapp.h"
#include "shell/corvelwindow.h"
#include "shell/mdineuralframe.h"
#include "training/construction.h"

namespace {

// A workbench on a scripted UI and the engine library.
struct TestBench
{
    ScriptedUi ui;
    EngineApi engine;
    RecordingDesktop desktop;
    Workbench wb {ui, engine, desktop};
    QPrinter printer;

    TestBench() { resetModel(wb); }
};

// XOR on a 2-2-1 net.
void setUpXor(Workbench &wb)
{
    wb.form.setText(QStringLiteral("PNL_Layers"), QStringLiteral("3"));
    wb.form.setItems(QStringLiteral("CMB_LayerSize"), {"2", "2", "1"});
    QVERIFY(buildNetwork(wb));
    NetModel &m = wb.model;
    m.NumPats = 4;
    m.PatIn.allocate(4, 2);
    m.PatOut.allocate(4, 1);
    const float in[4][2] = {{0, 0}, {0, 1}, {1, 0}, {1, 1}};
    for (int p = 1; p <= 4; ++p) {
        m.PatIn(p, 1) = in[p - 1][0];
        m.PatIn(p, 2) = in[p - 1][1];
        m.PatOut(p, 1) = float((p == 2) || (p == 3));
    }
    m.HasPatterns = true;
}

QString seriesNames(ChartControl *chart)
{
    QStringList names;
    for (QAbstractSeries *s : chart->chart()->series()) {
        names << s->name();
    }
    return names.join(u',');
}

QString exampleFile(const QString &name)
{
    return QDir(qEnvironmentVariable("AXONA_TEST_DATA"))
            .filePath(QStringLiteral("../../examples/") + name);
}

// The window of the frame with objectName name, or null.
template <class W = QWidget> W *childWindow(AxonaApplication &app, const char *name)
{
    for (QMdiSubWindow *sub : app.frame().mdiArea()->subWindowList()) {
        if (sub->widget() && sub->widget()->objectName() == QLatin1String(name)) {
            return qobject_cast<W *>(sub->widget());
        }
    }
    return nullptr;
}

void typeInto(QLineEdit *box, const QString &text)
{
    box->selectAll();
    QTest::keyClicks(box, text);
    QTest::keyClick(box, Qt::Key_Return);
}

} // namespace

class TestPlotWindows : public QObject
{
    Q_OBJECT

private slots:

    void init() { QApplication::clipboard()->clear(); }

    // A right click on the chart opens the settings of the plot shown; choosing "Symbols" there
    // stores the codes in the plot's slot and redraws the chart with symbols.
    void plotOutSettingsBySymbols()
    {
        TestBench b;
        setUpXor(b.wb);
        PlotOutForm form(b.wb, b.printer);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        form.redrawPlot();
        ChartControl *graph = form.ui()->Graph;
        QCOMPARE(seriesNames(graph), QStringLiteral("Target-1,Net-1"));
        QCOMPARE(form.state().currentGraph, int16_t(1));
        QVERIFY(form.ui()->FRM_Outputs->isVisible());

        ModalDriver settings;
        settings.then([](QWidget *modal) {
            auto *dialog = qobject_cast<PlotSettingsDialog *>(modal);
            QVERIFY(dialog);
            QCOMPARE(dialog->windowTitle(), QStringLiteral("Plot Settings"));
            QCOMPARE(dialog->ui()->Xlabel->text(), QStringLiteral("Pat. Index"));
            dialog->ui()->CMB_GraphType->setCurrentText(QStringLiteral("Symbols"));
            dialog->ui()->Title->setText(QStringLiteral("XOR"));
            QTest::mouseClick(dialog->ui()->Command1, Qt::LeftButton);
        });
        QTest::mouseClick(graph->viewport(), Qt::RightButton);
        QTRY_VERIFY(settings.done());
        const GraphSetting &slot = b.wb.model.Graph[1];
        QCOMPARE(slot.GraphType, int16_t(6));
        QCOMPARE(slot.GraphStyle, int16_t(1));
        QCOMPARE(slot.Title, QStringLiteral("XOR"));
        QCOMPARE(graph->title(), QStringLiteral("XOR"));
        QVERIFY(qobject_cast<QScatterSeries *>(graph->chart()->series().front()));

        // The RMS plot hides the output range; its own slot is untouched.
        form.showPlot(PlotKind::RmsErrors);
        QCOMPARE(seriesNames(graph), QStringLiteral("RMS Error"));
        QVERIFY(!form.ui()->FRM_Outputs->isVisible());
        QCOMPARE(b.wb.model.Graph[3].GraphStyle, int16_t(0));
    }

    // The interval box: the timer follows it within 2..60 s, the text is corrected when editing
    // ends and the value is stored.
    void refreshInterval()
    {
        TestBench b;
        setUpXor(b.wb);
        PlotOutForm form(b.wb, b.printer);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QLineEdit *box = form.ui()->UpdInter;
        QCOMPARE(box->text(), QString::number(b.wb.settings.outPlotTime()));
        box->setFocus();
        box->selectAll();
        QTest::keyClicks(box, "1");
        QCOMPARE(form.ui()->Timer1->interval(), 2000);
        QTest::keyClick(box, Qt::Key_Return);
        QCOMPARE(box->text(), QStringLiteral("2"));
        QCOMPARE(b.wb.settings.outPlotTime(), 2);
        box->selectAll();
        QTest::keyClicks(box, "90");
        QTest::keyClick(box, Qt::Key_Return);
        QCOMPARE(box->text(), QStringLiteral("60"));
        QCOMPARE(form.ui()->Timer1->interval(), 60000);
        QCOMPARE(b.wb.settings.outPlotTime(), 60);
    }

    // The timer redraws only while training runs.
    void timerRedrawsWhileTraining()
    {
        TestBench b;
        setUpXor(b.wb);
        WeightsPlotForm form(b.wb, b.printer);
        form.plotWeightDistribution();
        ChartControl *graph = form.ui()->GraphW;
        QCOMPARE(graph->title(), QStringLiteral("Weight Distribution"));
        QCOMPARE(graph->shown().numPoints(), 10);
        const std::vector<float> before = graph->shown().sets[0].values;
        setAllWeightsOfLayer(b.wb.model, 0.25f);
        b.wb.model.StopFlag = true;
        QMetaObject::invokeMethod(form.ui()->Timer1, "timeout");
        QVERIFY(graph->shown().sets[0].values == before);
        b.wb.model.StopFlag = false;
        QMetaObject::invokeMethod(form.ui()->Timer1, "timeout");
        QCOMPARE(graph->shown().numPoints(), 1);
        QCOMPARE(graph->shown().sets[0].values[0], 9.0f);
    }

    // Zooming in and out again gives the identical picture; Abs(W) records a new one.
    void netLayoutZoom()
    {
        TestBench b;
        setUpXor(b.wb);
        NetLayoutWindow window(b.wb, b.printer);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QWidget *picture = window.ui()->Picture1;
        const QImage whole = picture->grab().toImage();
        window.ui()->SCR_Zoom->setValue(35);
        QVERIFY(window.ui()->HScroll1->maximum() > 0);
        window.ui()->HScroll1->setValue(window.ui()->HScroll1->maximum() / 2);
        const QImage zoomed = picture->grab().toImage();
        QVERIFY(zoomed != whole);
        window.ui()->HScroll1->setValue(0);
        window.ui()->SCR_Zoom->setValue(10);
        QCOMPARE(picture->grab().toImage(), whole);

        const QByteArray before =
                QByteArray(window.netPicture().data(), window.netPicture().size());
        window.ui()->CHK_ABSW->setChecked(true);
        QVERIFY(QByteArray(window.netPicture().data(), window.netPicture().size()) != before);
    }

    // Copy puts the picture on the clipboard as an image and as SVG; print writes a PDF.
    void netLayoutCopyAndPrint()
    {
        TestBench b;
        setUpXor(b.wb);
        NetLayoutWindow window(b.wb, b.printer);
        window.ui()->MNU_EDIT_Copy->trigger();
        const QMimeData *mime = QApplication::clipboard()->mimeData();
        QVERIFY(mime && mime->hasImage());
        QVERIFY(mime->data(QStringLiteral("image/svg+xml")).contains("o1"));

        QTemporaryDir dir;
        b.printer.setOutputFormat(QPrinter::PdfFormat);
        b.printer.setOutputFileName(dir.filePath("net.pdf"));
        ModalDriver ok(QMessageBox::Ok, true);
        window.ui()->MNU_FILE_Print->trigger();
        QFile pdf(dir.filePath("net.pdf"));
        QVERIFY(pdf.open(QIODevice::ReadOnly));
        QCOMPARE(pdf.read(5), QByteArray("%PDF-"));
    }

    // Each plot window comes up from its Plot menu item and from its toolbar button, drawn.
    void openFromMenuAndToolbar_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("caption");
        QTest::addRow("Weights") << "MNU_PLOTS_0"
                                 << "plotweights"
                                 << "FRM_Plot"
                                 << "Weights Plot";
        QTest::addRow("Net Output") << "MNU_PLOTS_1"
                                    << "plotnet"
                                    << "FRM_PlotOut"
                                    << "Plot Outputs";
        QTest::addRow("Net Layout") << "MNU_PLOTS_2"
                                    << "drawnet"
                                    << "QuikDraw"
                                    << "Net Layout";
    }

    void openFromMenuAndToolbar()
    {
        QFETCH(QString, item);
        QFETCH(QString, button);
        QFETCH(QString, window);
        QFETCH(QString, caption);
        AxonaApplication app;
        app.start(exampleFile("xor.net"));
        const QByteArray name = window.toLatin1();
        for (QAction *open : {app.corvel().action(item), app.corvel().toolAction(button)}) {
            QVERIFY(open && open->isEnabled());
            QVERIFY(!childWindow(app, name));
            open->trigger();
            QMainWindow *w = childWindow<QMainWindow>(app, name);
            QVERIFY(w);
            QVERIFY(w->isVisible());
            QCOMPARE(w->windowTitle(), caption);
            QCOMPARE(app.frame().mdiArea()->activeSubWindow()->widget(), w);
            if (auto *chart = w->findChild<ChartControl *>()) {
                QVERIFY(chart->shown().numPoints() > 0);
            }
            w->findChild<QAction *>(QStringLiteral("MNU_FILE_Close"))->trigger();
            QTRY_VERIFY(!childWindow(app, name));
        }
    }

    // "Input Sensitivity" of the Plot menu shows the sensitivity plot in Plot Outputs; a hidden
    // window comes back from its menu item.
    void sensitivityAndHide()
    {
        AxonaApplication app;
        app.start(exampleFile("xor.net"));
        app.corvel().action("MNU_PLOTS_3")->trigger();
        auto *plot = childWindow<PlotOutForm>(app, "FRM_PlotOut");
        QVERIFY(plot);
        QCOMPARE(plot->ui()->CMB_PlotType->currentText(), QStringLiteral("Input Sensitivity"));
        QCOMPARE(seriesNames(plot->ui()->Graph), QStringLiteral("Sensitivity"));
        QVERIFY(plot->ui()->PNL_Scontrols->isVisible());

        app.corvel().toolAction("plotweights")->trigger();
        auto *weights = childWindow<WeightsPlotForm>(app, "FRM_Plot");
        QTest::mouseClick(weights->ui()->Command1, Qt::LeftButton);
        QVERIFY(!weights->parentWidget()->isVisible());
        app.corvel().action("MNU_PLOTS_0")->trigger();
        QVERIFY(weights->parentWidget()->isVisible());
    }

    // The windows' places go into the layout the network file keeps, and come back from it.
    void layoutRoundTrip()
    {
        AxonaApplication app;
        app.start(exampleFile("xor.net"));
        // Beside a maximised main window every child window comes up maximised.
        app.corvel().parentWidget()->showNormal();
        for (const char *button : {"plotweights", "plotnet", "drawnet"}) {
            app.corvel().toolAction(button)->trigger();
        }
        childWindow(app, "QuikDraw")->parentWidget()->setGeometry(30, 40, 420, 380);
        const QList<WindowLayout> layout = app.writeDesktop();
        QStringList tags;
        for (const WindowLayout &record : layout) {
            tags << record.tag;
        }
        for (const char *tag : {"PLOTW", "PLOTOUT", "NET_LAYOUT"}) {
            QVERIFY2(tags.contains(QLatin1String(tag)), qPrintable(tags.join(u' ')));
        }
        app.closeSatelliteWindows();
        QTRY_VERIFY(!childWindow(app, "QuikDraw"));
        app.readDesktop(layout);
        QVERIFY(childWindow(app, "FRM_Plot") && childWindow(app, "FRM_PlotOut"));
        QWidget *drawing = childWindow(app, "QuikDraw");
        QVERIFY(drawing);
        QCOMPARE(drawing->parentWidget()->geometry(), QRect(30, 40, 420, 380));
    }

    // While training runs, Plot Outputs and the Weights Plot redraw on their timers (2 s here);
    // a network rebuilt while Net Layout is open is drawn anew. With AXONA_SCREENSHOT_DIR set,
    // the windows are kept as pictures of the trained example.
    void redrawDuringTraining()
    {
        AxonaApplication app;
        app.start(exampleFile("iris.net"));
        Workbench &wb = app.workbench();
        CorvelWindow &main = app.corvel();
        main.toolAction("plotnet")->trigger();
        main.toolAction("plotweights")->trigger();
        auto *plot = childWindow<PlotOutForm>(app, "FRM_PlotOut");
        auto *weights = childWindow<WeightsPlotForm>(app, "FRM_Plot");
        QVERIFY(plot && weights);
        plot->showPlot(PlotKind::RmsErrors);
        typeInto(plot->ui()->UpdInter, QStringLiteral("2"));
        typeInto(weights->ui()->Updinter, QStringLiteral("2"));
        QCOMPARE(plot->ui()->Graph->shown().numPoints(), 2);

        int rmsRedraws = 0;
        int weightRedraws = 0;
        int lastRms = 2;
        std::vector<float> lastCounts = weights->ui()->GraphW->shown().sets[0].values;
        QTimer probe;
        QObject::connect(&probe, &QTimer::timeout, [&] {
            const int rms = plot->ui()->Graph->shown().numPoints();
            const std::vector<float> &counts = weights->ui()->GraphW->shown().sets[0].values;
            if (!wb.model.StopFlag) {
                rmsRedraws += rms != lastRms;
                weightRedraws += counts != lastCounts;
            }
            lastRms = rms;
            lastCounts = counts;
        });
        probe.start(50);
        // Not reached within the run.
        typeInto(main.findChild<QLineEdit *>(QStringLiteral("TXT_TargetErr")), "0.02");
        QTimer::singleShot(4500, [&] { main.toolAction("stop")->trigger(); });
        main.toolAction("train")->trigger();
        probe.stop();
        QVERIFY(wb.model.StopFlag);
        QVERIFY2(rmsRedraws >= 1, qPrintable(QString::number(rmsRedraws)));
        QVERIFY2(weightRedraws >= 1, qPrintable(QString::number(weightRedraws)));

        main.toolAction("drawnet")->trigger();
        auto *drawing = childWindow<NetLayoutWindow>(app, "QuikDraw");
        QVERIFY(drawing);
        const QString shots = qEnvironmentVariable("AXONA_SCREENSHOT_DIR");
        if (!shots.isEmpty()) {
            saveScreenshots(app, shots);
        }
        const QByteArray before(drawing->netPicture().data(), int(drawing->netPicture().size()));
        randomizeWeights(wb);
        QTRY_VERIFY(QByteArray(drawing->netPicture().data(), int(drawing->netPicture().size()))
                    != before);
        wb.model.WeightsChanged = false; // nothing to ask on closing
    }

    // The largest network the program builds (100-300-8, 32708 connections) on 3800 patterns,
    // trained while the errors plot and the weights plot redraw every 2 s: prints the longest
    // time the event loop waited (between two ticks of a 10 ms timer), redraws included, and
    // what one redraw takes.
    void responsiveWhilePlotting()
    {
#ifndef NDEBUG
        QSKIP("the time a redraw takes means something only in an optimised build");
#endif
        AxonaApplication app;
        app.start(QString());
        Workbench &wb = app.workbench();
        wb.form.setText(QStringLiteral("PNL_Layers"), QStringLiteral("3"));
        wb.form.setItems(QStringLiteral("CMB_LayerSize"), {"100", "300", "8"});
        QVERIFY(buildNetwork(wb));
        QCOMPARE(countWeights(wb.model), 32708);
        NetModel &m = wb.model;
        const int n = 3800;
        m.NumPats = n;
        m.PatIn.allocate(n, 100);
        m.PatOut.allocate(n, 8);
        quint32 seed = 7;
        const auto next = [&seed] {
            seed = seed * 1664525u + 1013904223u;
            return float(seed >> 8) / float(1u << 24);
        };
        for (int p = 1; p <= n; ++p) {
            for (int i = 1; i <= 100; ++i) {
                m.PatIn(p, i) = next();
            }
            for (int k = 1; k <= 8; ++k) {
                m.PatOut(p, k) = next();
            }
        }
        m.HasPatterns = true;
        m.TargetErr = 0.0f;
        wb.form.setText(QStringLiteral("TXT_EpocLen"), QString::number(n));
        updateTrainCommands(wb);

        CorvelWindow &main = app.corvel();
        {
            // Plot Outputs opens on the outputs plot, which refuses 3800 x 16 points.
            ModalDriver refusal;
            refusal.button(QMessageBox::Ok);
            main.toolAction("plotnet")->trigger();
            QVERIFY(refusal.done());
            QCOMPARE(refusal.answered(),
                     QStringList {"Max number of point to plot should be smaller than 3800"});
        }
        main.toolAction("plotweights")->trigger();
        auto *plot = childWindow<PlotOutForm>(app, "FRM_PlotOut");
        auto *weights = childWindow<WeightsPlotForm>(app, "FRM_Plot");
        plot->showPlot(PlotKind::PatErrors);
        typeInto(plot->ui()->UpdInter, QStringLiteral("2"));
        typeInto(weights->ui()->Updinter, QStringLiteral("2"));

        QElapsedTimer sinceTick;
        qint64 longestGap = 0;
        QTimer ticker;
        QObject::connect(&ticker, &QTimer::timeout, [&] {
            if (sinceTick.isValid() && !m.StopFlag) {
                longestGap = std::max(longestGap, sinceTick.elapsed());
            }
            sinceTick.restart();
        });
        ticker.start(10);
        // The window's timer slot redraws whenever training runs; count those ticks.
        int redraws = 0;
        QObject::connect(plot->ui()->Timer1, &QTimer::timeout, [&] { redraws += !m.StopFlag; });
        QTimer::singleShot(7000, [&] { main.toolAction("stop")->trigger(); });
        main.toolAction("train")->trigger();
        QVERIFY(m.StopFlag);
        QVERIFY(redraws >= 2);
        QCOMPARE(plot->ui()->Graph->shown().numPoints(), n);
        QElapsedTimer one;
        one.start();
        plot->redrawPlot();
        const qint64 redrawTime = one.elapsed();
        qInfo("%d redraws during the run; one redraw of %d points %lld ms; longest wait of the "
              "event loop %lld ms",
              redraws, n, redrawTime, longestGap);
        m.WeightsChanged = false;
    }

private:
    // The plot windows of a trained example as pictures in dir, and the frame with the main
    // window beside the RMS plot.
    static void saveScreenshots(AxonaApplication &app, const QString &dir)
    {
        const auto save = [&dir](QWidget *w, const char *name) {
            QVERIFY(w->grab().save(QDir(dir).filePath(QLatin1String(name))));
        };
        auto *plot = childWindow<PlotOutForm>(app, "FRM_PlotOut");
        auto *weights = childWindow<WeightsPlotForm>(app, "FRM_Plot");
        auto *drawing = childWindow<NetLayoutWindow>(app, "QuikDraw");
        weights->parentWidget()->resize(600, 440);
        save(weights, "weights-plot.png");
        drawing->ui()->CHK_FillNeurons->setChecked(true);
        drawing->parentWidget()->resize(640, 620);
        save(drawing, "net-layout.png");
        plot->parentWidget()->resize(760, 500);
        app.workbench().model.Graph[5].ColorEach = -1;
        app.workbench().model.Graph[5].Title = QStringLiteral("Iris test set");
        plot->showPlot(PlotKind::TstOuts);
        typeInto(plot->ui()->TXT_To, QStringLiteral("3"));
        save(plot, "plot-outputs.png");

        plot->showPlot(PlotKind::RmsErrors);
        weights->parentWidget()->hide();
        drawing->parentWidget()->hide();
        app.frame().resize(1400, 720);
        QWidget *main = app.corvel().parentWidget();
        main->showNormal();
        const QRect area = app.frame().mdiArea()->contentsRect();
        main->setGeometry(0, 0, 840, area.height());
        plot->parentWidget()->setGeometry(840, 0, area.width() - 840, area.height());
        QApplication::processEvents();
        save(&app.frame(), "rms-plot.png");
    }

    static void setAllWeightsOfLayer(NetModel &m, float w)
    {
        for (int l = 2; l <= m.NumLayers; ++l) {
            for (int j = 1; j <= m.LayerSize(l); ++j) {
                for (int i = 1; i <= m.LayerSize(l - 1) + 1; ++i) {
                    m.Weights(l, i, j) = w;
                }
            }
        }
    }
};

QTEST_MAIN(TestPlotWindows)
#include "tst_plotwindows.moc"
