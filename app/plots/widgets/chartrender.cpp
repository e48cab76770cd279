#include "plots/widgets/chartrender.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include <QBarSeries>
#include <QBarSet>
#include <QCategoryAxis>
#include <QChart>
#include <QGraphicsLayout>
#include <QGraphicsScene>
#include <QLegend>
#include <QLineSeries>
#include <QLinearGradient>
#include <QLogValueAxis>
#include <QPainter>
#include <QScatterSeries>
#include <QValueAxis>

#include "plots/chartdata.h"
#include "plots/widgets/picturefiles.h"

namespace {

// Distinct colours, one per set when every set gets its own; the first alone otherwise.
const QList<QColor> &setColours()
{
    static const QList<QColor> colours {QColor(0x1f, 0x77, 0xb4), QColor(0xd6, 0x27, 0x28),
                                        QColor(0x2c, 0xa0, 0x2c), QColor(0xff, 0x7f, 0x0e),
                                        QColor(0x94, 0x67, 0xbd), QColor(0x8c, 0x56, 0x4b),
                                        QColor(0xe3, 0x77, 0xc2), QColor(0x7f, 0x7f, 0x7f),
                                        QColor(0xbc, 0xbd, 0x22), QColor(0x17, 0xbe, 0xcf)};
    return colours;
}

// The colour of set i, and how one-colour sets are told apart: dash patterns for lines, shades
// for bars and symbols.
QColor setColour(const ChartData &d, int i, bool shaded)
{
    const QList<QColor> &colours = setColours();
    if (d.colorEach) {
        return colours[i % colours.size()];
    }
    const QColor base = colours.front();
    return shaded ? base.lighter(100 + 40 * (i % 4)) : base;
}

Qt::PenStyle setDash(const ChartData &d, int i)
{
    static constexpr Qt::PenStyle dashes[] = {Qt::SolidLine, Qt::DashLine, Qt::DotLine,
                                              Qt::DashDotLine, Qt::DashDotDotLine};
    return d.colorEach ? Qt::SolidLine : dashes[i % int(std::size(dashes))];
}

// A raised look for three-dimensional bars: lit from the left, shadowed on the right.
QBrush raisedBrush(const QColor &colour)
{
    QLinearGradient gradient(0, 0, 1, 0);
    gradient.setCoordinateMode(QGradient::ObjectBoundingMode);
    gradient.setColorAt(0.0, colour.lighter(160));
    gradient.setColorAt(0.45, colour);
    gradient.setColorAt(1.0, colour.darker(180));
    return gradient;
}

// Decimals enough to tell neighbouring bar labels apart, step apart, and no more, so the
// labels stand side by side: none for whole numbers.
int labelDecimals(const ChartData &d)
{
    bool whole = true;
    for (float x : d.xPositions) {
        whole = whole && x == std::floor(x);
    }
    if (whole || d.numPoints() < 2) {
        return 0;
    }
    const double step = std::fabs(double(d.xPositions[1]) - d.xPositions[0]) * d.labelEvery;
    return step > 0.0 ? std::clamp(1 - int(std::floor(std::log10(step))), 0, 6) : 3;
}

struct ValueSpan
{
    double low = std::numeric_limits<double>::infinity();
    double high = -std::numeric_limits<double>::infinity();

    void add(double v)
    {
        low = std::min(low, v);
        high = std::max(high, v);
    }

    bool empty() const { return !(low <= high); }
};

// The x axis of bars: bar i stands at i, labels every labelEvery bars show their x positions.
QCategoryAxis *barAxis(const ChartData &d)
{
    auto *axis = new QCategoryAxis;
    axis->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    axis->setStartValue(-0.5);
    const int decimals = labelDecimals(d);
    for (int i = 0; i < d.numPoints(); i += std::max(d.labelEvery, 1)) {
        const QString label = QString::number(d.xPositions[std::size_t(i)], 'f', decimals);
        // Labels must differ; a repeated x position keeps its first label only.
        if (!axis->categoriesLabels().contains(label)) {
            axis->append(label, i);
        }
    }
    axis->setRange(-0.5, std::max(d.numPoints(), 1) - 0.5);
    return axis;
}

void addBars(QChart &chart, const ChartData &d, QValueAxis *yAxis)
{
    auto *series = new QBarSeries;
    series->setBarWidth(0.8);
    ValueSpan span;
    span.add(0.0);
    for (int s = 0; s < d.numSets(); ++s) {
        const ChartSet &set = d.sets[std::size_t(s)];
        auto *bars = new QBarSet(set.legend);
        QList<qreal> heights;
        heights.reserve(d.numPoints());
        for (int p = 0; p < d.numPoints(); ++p) {
            const float v = p < int(set.values.size()) ? set.values[std::size_t(p)] : 0.0f;
            heights.append(std::isfinite(v) ? v : 0.0);
            if (std::isfinite(v)) {
                span.add(v);
            }
        }
        bars->append(heights);
        const QColor colour = setColour(d, s, true);
        bars->setPen(QPen(colour.darker(d.graphType == ChartBars3D ? 200 : 130)));
        bars->setBrush(d.graphType == ChartBars3D ? raisedBrush(colour) : QBrush(colour));
        series->append(bars);
    }
    chart.addSeries(series);
    QCategoryAxis *xAxis = barAxis(d);
    chart.addAxis(xAxis, Qt::AlignBottom);
    chart.addAxis(yAxis, Qt::AlignLeft);
    series->attachAxis(xAxis);
    series->attachAxis(yAxis);
    yAxis->setRange(span.low, span.high > span.low ? span.high : span.low + 1.0);
    yAxis->applyNiceNumbers();
}

void addLines(QChart &chart, const ChartData &d, QAbstractAxis *yAxis)
{
    const bool log = d.graphType == ChartLogLine;
    // Style 0 lines, 5 lines with symbols, any other symbols only.
    const bool lines = d.graphStyle == StyleLines || d.graphStyle == StyleLinesSymbols;
    const bool symbols = d.graphStyle != StyleLines;
    ValueSpan xSpan;
    ValueSpan ySpan;
    QList<QXYSeries *> series;
    for (int s = 0; s < d.numSets(); ++s) {
        const ChartSet &set = d.sets[std::size_t(s)];
        QXYSeries *xy = nullptr;
        const QColor colour = setColour(d, s, !lines);
        if (lines) {
            auto *line = new QLineSeries;
            QPen pen(colour, 2);
            pen.setStyle(setDash(d, s));
            line->setPen(pen);
            line->setPointsVisible(symbols);
            xy = line;
        } else {
            auto *scatter = new QScatterSeries;
            scatter->setMarkerSize(7);
            scatter->setColor(colour);
            scatter->setBorderColor(colour.darker(150));
            xy = scatter;
        }
        xy->setName(set.legend);
        QList<QPointF> points;
        points.reserve(d.numPoints());
        for (int p = 0; p < d.numPoints() && p < int(set.values.size()); ++p) {
            const double x = d.xPositions[std::size_t(p)];
            const double v = set.values[std::size_t(p)];
            if (!std::isfinite(x) || !std::isfinite(v) || (log && v <= 0.0)) {
                continue;
            }
            points.append(QPointF(x, v));
            xSpan.add(x);
            ySpan.add(v);
        }
        // All at once: point by point, every append redraws the series.
        xy->append(points);
        chart.addSeries(xy);
        series.append(xy);
    }
    auto *xAxis = new QValueAxis;
    xAxis->setLabelFormat(QStringLiteral("%g"));
    chart.addAxis(xAxis, Qt::AlignBottom);
    chart.addAxis(yAxis, Qt::AlignLeft);
    for (QXYSeries *xy : series) {
        xy->attachAxis(xAxis);
        xy->attachAxis(yAxis);
    }
    if (!xSpan.empty()) {
        xAxis->setRange(xSpan.low, xSpan.high > xSpan.low ? xSpan.high : xSpan.low + 1.0);
        const int points = std::max(d.numPoints(), 1);
        const int ticks = (points + std::max(d.labelEvery, 1) - 1) / std::max(d.labelEvery, 1);
        xAxis->setTickCount(std::clamp(ticks, 2, 12));
        // Up to 10 points each has its tick; beyond, round numbers read better.
        if (d.labelEvery > 1) {
            xAxis->applyNiceNumbers();
        }
    }
    if (auto *values = qobject_cast<QValueAxis *>(yAxis); values && !ySpan.empty()) {
        const double pad = ySpan.high > ySpan.low ? 0.0 : 0.5;
        values->setRange(ySpan.low - pad, ySpan.high + pad);
        values->applyNiceNumbers();
    } else if (auto *logAxis = qobject_cast<QLogValueAxis *>(yAxis); logAxis && !ySpan.empty()) {
        // Whole decades, so the axis has a labelled tick at each end; a hair wider, or the tick
        // at the lower end can be lost to rounding.
        const double low = std::pow(10.0, std::floor(std::log10(ySpan.low)));
        double high = std::pow(10.0, std::ceil(std::log10(ySpan.high)));
        high = high > low ? high : low * 10.0;
        logAxis->setRange(low * 0.9999, high * 1.0001);
    }
}

} // namespace

void fillChart(QChart &chart, const ChartData &d)
{
    chart.setTitle(d.title);
    chart.legend()->setVisible(d.numSets() > 0);
    chart.legend()->setAlignment(Qt::AlignBottom);
    QFont titleFont;
    titleFont.setBold(true);
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.25);
    chart.setTitleFont(titleFont);

    const bool bars = d.graphType == ChartBars2D || d.graphType == ChartBars3D;
    QAbstractAxis *yAxis = nullptr;
    if (d.graphType == ChartLogLine) {
        auto *log = new QLogValueAxis;
        log->setBase(10.0);
        log->setLabelFormat(QStringLiteral("%g"));
        log->setMinorTickCount(-1);
        yAxis = log;
    } else {
        auto *values = new QValueAxis;
        values->setLabelFormat(QStringLiteral("%g"));
        yAxis = values;
    }
    if (bars) {
        addBars(chart, d, static_cast<QValueAxis *>(yAxis));
    } else {
        addLines(chart, d, yAxis);
        // Lines in the legend show their dash pattern.
        chart.legend()->setMarkerShape(QLegend::MarkerShapeFromSeries);
    }
    for (QAbstractAxis *axis : chart.axes()) {
        const bool horizontal = axis->orientation() == Qt::Horizontal;
        axis->setTitleText(horizontal ? d.xTitle : d.yTitle);
        // Grid 2 draws the vertical lines (from the x axis), 1 the horizontal ones, 3 both.
        axis->setGridLineVisible((d.grid & (horizontal ? GridVertical : GridHorizontal)) != 0);
        // A log axis shows its decades' subdivisions with the grid.
        axis->setMinorGridLineVisible(d.graphType == ChartLogLine && axis->isGridLineVisible()
                                      && !horizontal);
    }
}

QString writeChartFile(const ChartData &data, const QString &path, QSize size)
{
    QGraphicsScene scene;
    auto *chart = new QChart;
    scene.addItem(chart);
    chart->setAnimationOptions(QChart::NoAnimation);
    fillChart(*chart, data);
    chart->resize(size);
    chart->layout()->activate();
    scene.setSceneRect(QRectF(QPointF(0, 0), size));
    return writePictureFile(
            path, size, data.title, [&scene](QPainter &painter, const QRectF &target) {
                painter.setRenderHint(QPainter::Antialiasing);
                scene.render(&painter, target, scene.sceneRect(), Qt::KeepAspectRatio);
            });
}
