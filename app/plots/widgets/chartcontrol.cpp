#include "plots/widgets/chartcontrol.h"

#include <algorithm>

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QMimeData>
#include <QMouseEvent>

#include "plots/widgets/chartrender.h"

ChartControl::ChartControl(QWidget *parent)
    : QChartView(parent)
{
    setRenderHint(QPainter::Antialiasing);
    draw();
}

ChartControl::~ChartControl() = default;

void ChartControl::setGraphType(int16_t code)
{
    m_pending.graphType = code;
}

void ChartControl::setGraphStyle(int16_t code)
{
    m_pending.graphStyle = code;
}

void ChartControl::setTitle(const QString &text)
{
    m_pending.title = text;
}

void ChartControl::setXTitle(const QString &text)
{
    m_pending.xTitle = text;
}

void ChartControl::setYTitle(const QString &text)
{
    m_pending.yTitle = text;
}

void ChartControl::setGridStyle(int16_t code)
{
    m_pending.grid = code;
}

void ChartControl::setNumSets(int sets)
{
    m_pending.sets.assign(std::size_t(std::max(sets, 0)), ChartSet {});
    setNumPoints(m_pending.numPoints());
}

void ChartControl::setNumPoints(int points)
{
    const std::size_t n = std::size_t(std::max(points, 0));
    m_pending.xPositions.resize(n);
    for (std::size_t p = 0; p < n; ++p) {
        m_pending.xPositions[p] = float(p + 1);
    }
    for (ChartSet &set : m_pending.sets) {
        set.values.assign(n, 0.0f);
    }
}

void ChartControl::setValue(int set, int point, float value)
{
    if (set >= 0 && set < m_pending.numSets() && point >= 0 && point < m_pending.numPoints()) {
        m_pending.sets[std::size_t(set)].values[std::size_t(point)] = value;
    }
}

void ChartControl::setXPosition(int point, float x)
{
    if (point >= 0 && point < m_pending.numPoints()) {
        m_pending.xPositions[std::size_t(point)] = x;
    }
}

void ChartControl::setLegendText(int set, const QString &text)
{
    if (set >= 0 && set < m_pending.numSets()) {
        m_pending.sets[std::size_t(set)].legend = text;
    }
}

void ChartControl::setColorEach(bool each)
{
    m_pending.colorEach = each;
}

void ChartControl::setLabelEvery(int points)
{
    m_pending.labelEvery = std::max(points, 1);
}

void ChartControl::setChartData(const ChartData &data)
{
    m_pending = data;
}

void ChartControl::draw()
{
    m_shown = m_pending;
    // A fresh chart each time: axes taken out of a shown chart can leave their labels behind.
    auto *fresh = new QChart;
    fresh->setAnimationOptions(QChart::NoAnimation);
    fillChart(*fresh, m_shown);
    QChart *old = chart();
    setChart(fresh);
    delete old;
}

void ChartControl::paintChart(QPainter &painter, const QRectF &target)
{
    painter.setRenderHint(QPainter::Antialiasing);
    // The view's own render keeps the chart as vectors (QWidget::render would embed a bitmap).
    render(&painter, target, viewport()->rect(), Qt::KeepAspectRatio);
}

QImage ChartControl::image()
{
    return pictureImage([this](QPainter &p, const QRectF &t) { paintChart(p, t); },
                        viewport()->size());
}

void ChartControl::copyToClipboard()
{
    QApplication::clipboard()->setMimeData(
            pictureMimeData([this](QPainter &p, const QRectF &t) { paintChart(p, t); },
                            viewport()->size(), m_shown.title));
}

bool ChartControl::printTo(QPrinter &printer)
{
    return printPicture(printer, [this](QPainter &p, const QRectF &t) { paintChart(p, t); });
}

PrintOutcome ChartControl::print(QPrinter &printer)
{
    return printWithDialog(printer, this,
                           [this](QPainter &p, const QRectF &t) { paintChart(p, t); });
}

void ChartControl::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton) {
        emit doubleClicked();
        event->accept();
        return;
    }
    QChartView::mouseDoubleClickEvent(event);
}

void ChartControl::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::RightButton) {
        emit rightClicked();
        event->accept();
        return;
    }
    QChartView::mousePressEvent(event);
}

void ChartControl::contextMenuEvent(QContextMenuEvent *event)
{
    // The right button opens the plot settings instead of a menu.
    event->accept();
}
