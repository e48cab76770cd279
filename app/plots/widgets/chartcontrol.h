#pragma once

#include <QChartView>

#include "plots/chartdata.h"
#include "plots/widgets/picturefiles.h"

class QPrinter;

// The chart of the plot windows. Callers hand over the chart's type and style codes, its texts,
// grid code and data sets (or a whole ChartData at once); draw() shows exactly what was handed
// over since the last draw. The chart can copy its picture to the clipboard and print it, tells
// of double clicks and right clicks, and gives back the titles it shows.
class ChartControl final : public QChartView
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ChartControl)

public:
    explicit ChartControl(QWidget *parent = nullptr);
    ~ChartControl() override;

    // Graph type 3 two-dimensional bars, 4 three-dimensional bars, 6 lines, 7 logarithmic line;
    // style of a line graph 0 lines, 1 symbols, 5 lines with symbols.
    void setGraphType(int16_t code);
    void setGraphStyle(int16_t code);
    void setTitle(const QString &text);
    void setXTitle(const QString &text);
    void setYTitle(const QString &text);
    // Grid 0 none, 1 horizontal lines, 2 vertical lines, 3 both.
    void setGridStyle(int16_t code);
    // The number of data sets and of points per set; both clear the values given so far.
    void setNumSets(int sets);
    void setNumPoints(int points);
    // Value of point (0-based) of set; x position of a point, shared by every set.
    void setValue(int set, int point, float value);
    void setXPosition(int point, float x);
    void setLegendText(int set, const QString &text);
    // Every set in its own colour, or all in one.
    void setColorEach(bool each);
    // Axis labels and ticks every this many points.
    void setLabelEvery(int points);
    // Everything above in one go.
    void setChartData(const ChartData &data);

    // Shows what was handed over.
    void draw();

    // The texts the chart shows (as of the last draw).
    QString title() const { return m_shown.title; }

    QString xTitle() const { return m_shown.xTitle; }

    QString yTitle() const { return m_shown.yTitle; }

    // What the chart shows.
    const ChartData &shown() const { return m_shown; }

    // The chart picture on the clipboard, as an image and as SVG.
    void copyToClipboard();
    // Prints the chart on one page of printer without a dialog; false when the printer could
    // not be started.
    bool printTo(QPrinter &printer);
    // The print dialog on printer, then the chart.
    PrintOutcome print(QPrinter &printer);
    // The chart picture at the view's size.
    QImage image();

signals:
    void doubleClicked();
    void rightClicked();

protected:
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    void paintChart(QPainter &painter, const QRectF &target);

    ChartData m_pending;
    ChartData m_shown;
};
