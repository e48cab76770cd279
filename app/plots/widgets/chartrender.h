#pragma once

#include <QSize>
#include <QString>

class QChart;
struct ChartData;

// Fills a new, empty chart with data: one series per data set in the type and style of
// the codes (bars for 3 and 4, the latter shaded to look raised; lines, symbols or both for 6;
// a line over a logarithmic value axis for 7, which leaves out values <= 0), the title and axis
// titles, the grid lines of the grid code, one colour per set or one colour for all (the sets
// then told apart by dash pattern or shade), and axis labels every labelEvery points.
void fillChart(QChart &chart, const ChartData &data);

// The usual size of a chart written to a file, in pixels.
constexpr QSize ChartFileSize(900, 600);

// Writes the chart of data to a PNG, SVG or PDF file after the extension of path. Needs a
// QApplication (the offscreen platform will do). Returns an empty text, or why it failed.
QString writeChartFile(const ChartData &data, const QString &path, QSize size = ChartFileSize);
