#pragma once

#include <QString>
#include <QStringList>

struct ChartData;
struct NetModel;

// Whether this command line writes a picture (a plot or --plot-rms file ending in .png, .svg or
// .pdf), so the tool needs a QApplication on the offscreen platform; every other command runs
// without one.
bool commandWritesPicture(const QStringList &arguments);

// Why path cannot take a plot (a type other than .csv, .png, .svg and .pdf; a picture in a
// build without the widget libraries, or before they were started), or empty.
QString plotOutputProblem(const QString &path);

// Writes a chart to path: its data sets as CSV columns for ".csv", else its picture (".png",
// ".svg", ".pdf"). Returns an empty text, or why nothing was written.
QString writeChartOutput(const ChartData &chart, const QString &path);

// Writes the network drawing to path: the connection table for ".csv", else its picture.
QString
writeLayoutOutput(const NetModel &model, bool absolute, bool fillNeurons, const QString &path);
