#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QMimeData>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QScatterSeries>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

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
#include "training/construction.h"

namespace {

// A workbench on a scripted UI and the engine library.
struct TestBench
{
    ScriptedUi ui;
    EngineApi engine;
    RecordingDesktop desktop;
    Workbench wb {ui, engine, desktop};

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
        PlotOutForm form(b.wb);
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
        PlotOutForm form(b.wb);
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
        WeightsPlotForm form(b.wb);
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
        NetLayoutWindow window(b.wb);
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
        NetLayoutWindow window(b.wb);
        window.ui()->MNU_EDIT_Copy->trigger();
        const QMimeData *mime = QApplication::clipboard()->mimeData();
        QVERIFY(mime && mime->hasImage());
        QVERIFY(mime->data(QStringLiteral("image/svg+xml")).contains("o1"));

        QTemporaryDir dir;
        QPrinter printer;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(dir.filePath("net.pdf"));
        window.setPrinter(&printer);
        ModalDriver ok(QMessageBox::Ok, true);
        window.ui()->MNU_FILE_Print->trigger();
        QFile pdf(dir.filePath("net.pdf"));
        QVERIFY(pdf.open(QIODevice::ReadOnly));
        QCOMPARE(pdf.read(5), QByteArray("%PDF-"));
    }

private:
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
