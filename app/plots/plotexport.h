#pragma once

#include <optional>

#include <QString>
#include <QStringList>

#include "plots/chartdata.h"

struct NetModel;
struct Workbench;

// The plots the command-line tool writes, by the names it takes.
enum class PlotExportKind { PatOuts, PatErrors, TstOuts, TstErrors, Sensitivity, Weights, Layout };

// The kind a name stands for: "pat-outs", "pat-errors", "tst-outs", "tst-errors",
// "sensitivity", "weights" or "layout"; nothing for any other name.
std::optional<PlotExportKind> plotExportKind(const QString &name);

// The names, in that order, for the usage text.
QStringList plotExportKindNames();

// The chart of a kind other than the layout, as the windows draw it with the network's settings
// slots (the outputs plots over every output); nothing when the plot refuses (the message went
// through the workbench's UI port).
std::optional<ChartData> exportChart(Workbench &wb, PlotExportKind kind, int sensPercent);

// The network drawing as a table: one line per connection with its layer, source node (the bias
// last), receiving node, weight and colour step on the 30-step scale; header row first, comma
// separated, CRLF line ends.
QString netDrawingCsv(const NetModel &model, bool absolute);
