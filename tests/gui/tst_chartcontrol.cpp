#include <QApplication>
#include <QBarSeries>
#include <QBarSet>
#include <QClipboard>
#include <QFile>
#include <QLineSeries>
#include <QLogValueAxis>
#include <QMimeData>
#include <QPrintDialog>
#include <QPrinter>
#include <QScatterSeries>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <QValueAxis>
#include <QtTest>

#include "plots/chartdata.h"
#include "plots/widgets/chartcontrol.h"
#include "plots/widgets/chartrender.h"

namespace {

// Three points of two sets, at x positions 10, 20 and 40.
ChartData sample(int16_t type, int16_t style, int16_t grid)
{
    ChartData d;
    d.graphType = type;
    d.graphStyle = style;
    d.grid = grid;
    d.title = QStringLiteral("Outputs");
    d.xTitle = QStringLiteral("Pat. Index");
    d.yTitle = QStringLiteral("Net-Out");
    d.xPositions = {10.0f, 20.0f, 40.0f};
    d.sets = {{QStringLiteral("Target-1"), {0.5f, 0.25f, 1.0f}},
              {QStringLiteral("Net-1"), {0.4f, 0.3f, 0.9f}}};
    return d;
}

QAbstractAxis *axis(QChart *chart, Qt::Orientation orientation)
{
    const QList<QAbstractAxis *> axes = chart->axes(orientation);
    return axes.isEmpty() ? nullptr : axes.front();
}

QByteArray fileStart(const QString &path, int bytes)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.read(bytes) : QByteArray();
}

} // namespace

class TestChartControl : public QObject
{
    Q_OBJECT

private slots:

    // Type and style choose the series, the log type a log axis, the grid code the grid lines.
    void codesApplied_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("style");
        QTest::addColumn<int>("grid");
        QTest::addColumn<QString>("series");
        QTest::addColumn<bool>("points");
        QTest::addColumn<bool>("logAxis");
        QTest::addRow("lines, no grid") << 6 << 0 << 0 << "QLineSeries" << false << false;
        QTest::addRow("lines+symbols, horizontal grid")
                << 6 << 5 << 1 << "QLineSeries" << true << false;
        QTest::addRow("symbols, vertical grid") << 6 << 1 << 2 << "QScatterSeries" << true << false;
        QTest::addRow("log line, both") << 7 << 0 << 3 << "QLineSeries" << false << true;
        QTest::addRow("2D bars") << 3 << 0 << 1 << "QBarSeries" << false << false;
        QTest::addRow("3D bars") << 4 << 0 << 0 << "QBarSeries" << false << false;
    }

    void codesApplied()
    {
        QFETCH(int, type);
        QFETCH(int, style);
        QFETCH(int, grid);
        QFETCH(QString, series);
        QFETCH(bool, points);
        QFETCH(bool, logAxis);
        ChartControl control;
        // Through the single operations, as a caller without a ChartData would.
        const ChartData d = sample(int16_t(type), int16_t(style), int16_t(grid));
        control.setGraphType(d.graphType);
        control.setGraphStyle(d.graphStyle);
        control.setGridStyle(d.grid);
        control.setTitle(d.title);
        control.setXTitle(d.xTitle);
        control.setYTitle(d.yTitle);
        control.setNumSets(2);
        control.setNumPoints(3);
        for (int s = 0; s < 2; ++s) {
            control.setLegendText(s, d.sets[std::size_t(s)].legend);
            for (int p = 0; p < 3; ++p) {
                control.setValue(s, p, d.sets[std::size_t(s)].values[std::size_t(p)]);
                control.setXPosition(p, d.xPositions[std::size_t(p)]);
            }
        }
        // Nothing shows before draw.
        QVERIFY(control.chart()->series().isEmpty());
        control.draw();

        QChart *chart = control.chart();
        QCOMPARE(control.title(), QStringLiteral("Outputs"));
        QCOMPARE(control.xTitle(), QStringLiteral("Pat. Index"));
        QCOMPARE(control.yTitle(), QStringLiteral("Net-Out"));
        QCOMPARE(chart->title(), QStringLiteral("Outputs"));
        const QList<QAbstractSeries *> all = chart->series();
        QVERIFY(!all.isEmpty());
        QCOMPARE(QString::fromLatin1(all.front()->metaObject()->className()), series);
        if (auto *bars = qobject_cast<QBarSeries *>(all.front())) {
            QCOMPARE(bars->count(), 2);
            QCOMPARE(bars->barSets()[1]->label(), QStringLiteral("Net-1"));
            QCOMPARE(bars->barSets()[1]->at(2), 0.9f);
        } else {
            QCOMPARE(all.size(), 2);
            auto *xy = static_cast<QXYSeries *>(all[1]);
            QCOMPARE(xy->name(), QStringLiteral("Net-1"));
            QCOMPARE(xy->count(), 3);
            QCOMPARE(xy->at(2), QPointF(40.0, double(0.9f)));
            QCOMPARE(xy->pointsVisible() || qobject_cast<QScatterSeries *>(xy), points);
        }
        QAbstractAxis *x = axis(chart, Qt::Horizontal);
        QAbstractAxis *y = axis(chart, Qt::Vertical);
        QVERIFY(x && y);
        QCOMPARE(x->titleText(), QStringLiteral("Pat. Index"));
        QCOMPARE(y->titleText(), QStringLiteral("Net-Out"));
        QCOMPARE(qobject_cast<QLogValueAxis *>(y) != nullptr, logAxis);
        QCOMPARE(x->isGridLineVisible(), (grid & 2) != 0);
        QCOMPARE(y->isGridLineVisible(), (grid & 1) != 0);
    }

    // A new draw shows only the new data; the log axis leaves out values that are not positive.
    void redrawReplaces()
    {
        ChartControl control;
        control.setChartData(sample(ChartLines, StyleLines, GridNone));
        control.draw();
        ChartData log = sample(ChartLogLine, StyleLines, GridNone);
        log.sets.resize(1);
        log.sets[0].values = {0.0f, 0.1f, 1.0f};
        control.setChartData(log);
        control.draw();
        QCOMPARE(control.chart()->series().size(), 1);
        QCOMPARE(static_cast<QXYSeries *>(control.chart()->series().front())->count(), 2);
        QCOMPARE(control.chart()->axes().size(), 2);
    }

    void mouseEvents()
    {
        ChartControl control;
        control.resize(400, 300);
        control.show();
        QVERIFY(QTest::qWaitForWindowExposed(&control));
        QSignalSpy doubles(&control, &ChartControl::doubleClicked);
        QSignalSpy rights(&control, &ChartControl::rightClicked);
        QTest::mouseDClick(control.viewport(), Qt::LeftButton);
        QTest::mouseClick(control.viewport(), Qt::RightButton);
        QCOMPARE(doubles.count(), 1);
        QCOMPARE(rights.count(), 1);
    }

    // The clipboard holds the chart as an image and as SVG.
    void copy()
    {
        ChartControl control;
        control.resize(500, 350);
        control.setChartData(sample(ChartBars3D, StyleLines, GridBoth));
        control.draw();
        control.show();
        QVERIFY(QTest::qWaitForWindowExposed(&control));
        QApplication::clipboard()->clear();
        control.copyToClipboard();
        const QMimeData *mime = QApplication::clipboard()->mimeData();
        QVERIFY(mime && mime->hasImage());
        const QImage image = qvariant_cast<QImage>(mime->imageData());
        QCOMPARE(image.size(), control.viewport()->size());
        // Not a blank picture: the bars and texts put more than white on it.
        int coloured = 0;
        for (int y = 0; y < image.height(); y += 3) {
            for (int x = 0; x < image.width(); x += 3) {
                coloured += image.pixelColor(x, y) != QColor(Qt::white);
            }
        }
        QVERIFY(coloured > 100);
        const QByteArray svg = mime->data(QStringLiteral("image/svg+xml"));
        QVERIFY(svg.contains("<svg"));
        QVERIFY(svg.contains("Outputs"));
    }

    // Printing to a PDF file, directly and through the print dialog (OK pressed).
    void printToPdf()
    {
        QTemporaryDir dir;
        ChartControl control;
        control.resize(500, 350);
        control.setChartData(sample(ChartLines, StyleLinesSymbols, GridBoth));
        control.draw();
        control.show();
        QVERIFY(QTest::qWaitForWindowExposed(&control));
        QPrinter printer;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(dir.filePath("direct.pdf"));
        QVERIFY(control.printTo(printer));
        QCOMPARE(fileStart(dir.filePath("direct.pdf"), 5), QByteArray("%PDF-"));

        printer.setOutputFileName(dir.filePath("dialog.pdf"));
        QTimer answer;
        answer.setInterval(50);
        connect(&answer, &QTimer::timeout, [] {
            if (auto *dialog = qobject_cast<QPrintDialog *>(QApplication::activeModalWidget())) {
                dialog->accept();
            }
        });
        answer.start();
        QCOMPARE(control.print(printer), PrintOutcome::Printed);
        QCOMPARE(fileStart(dir.filePath("dialog.pdf"), 5), QByteArray("%PDF-"));
    }

    // A chart written to a file without a window, in each picture type.
    void writeFiles_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("start");
        QTest::addRow("png") << "chart.png" << QByteArray("\x89PNG");
        QTest::addRow("svg") << "chart.svg" << QByteArray("<?xml");
        QTest::addRow("pdf") << "chart.pdf" << QByteArray("%PDF-");
    }

    void writeFiles()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, start);
        QTemporaryDir dir;
        const QString path = dir.filePath(name);
        QCOMPARE(writeChartFile(sample(ChartBars2D, StyleLines, GridHorizontal), path), QString());
        QCOMPARE(fileStart(path, start.size()), start);
        QVERIFY(!writeChartFile(sample(ChartLines, StyleLines, GridNone), dir.filePath("x.gif"))
                         .isEmpty());
    }
};

QTEST_MAIN(TestChartControl)
#include "tst_chartcontrol.moc"
