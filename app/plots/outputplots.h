#pragma once

#include <cstdint>
#include <optional>

#include <QStringList>

#include "plots/chartdata.h"

struct RmsHistory;
struct Workbench;

// The plots of the "Plot Outputs" window, by their position in its plot-type list.
enum class PlotKind {
    PatOuts = 0,
    PatErrors = 1,
    RmsErrors = 2,
    Sensitivity = 3,
    TstOuts = 4,
    TstErrors = 5
};

// The plot-type list: four entries, six when a test set is loaded.
QStringList plotTypeEntries(bool hasTest);

// The settings slot (1..6) a plot draws with.
int16_t plotSlot(PlotKind kind);

// What the window's controls hold between redraws, and what the last redraw decided.
struct PlotOutState
{
    PlotKind kind = PlotKind::PatOuts;
    // TXT_From and TXT_To: the output columns of the outputs plots.
    int from = 1;
    int to = 1;
    // PNL_Sens: the perturbation of the sensitivity plot, in percent.
    int sensPercent = 10;
    // The settings slot of the plot drawn last; the "Plot Settings" dialog edits it.
    int16_t currentGraph = 0;
    // Which of the output-selection frame and the sensitivity panel the plot shows.
    bool outputsVisible = true;
    bool sensVisible = false;
};

// "RMS Errors": the training error history as one set "RMS Error" at its epoch counts; an empty
// history is drawn as a flat line from (0, 0) to (1, 0). Settings slot 3.
ChartData rmsErrorsChart(const RmsHistory &history, const GraphSetting &setting);

// The outputs plot of the training set (test false) or test set: for each output k of from..to
// a set "Target-k" and a set "Net-k" with one point per pattern, in data units when the data are
// held normalised. Refuses (with the message) fewer than 2 patterns and more than 3800 points.
std::optional<ChartData> outputsChart(Workbench &wb, bool test, int from, int to);

// The errors plot: one set "Error" with each pattern's error, in normalised units. Refuses more
// than 3800 patterns.
std::optional<ChartData> errorsChart(Workbench &wb, bool test);

// The sensitivity plot: one set "Sensitivity" with each input's sensitivity to a move of
// percent / 100, relative to the largest (as they are when all are 0).
std::optional<ChartData> sensitivityChart(Workbench &wb, int percent);

// Draws the plot the state chooses, with the settings of its slot: sets currentGraph and the two
// panels, keeps From and To within the outputs (From <= To). Returns nothing when the plot
// refused (it told the user why).
std::optional<ChartData> redrawPlot(Workbench &wb, PlotOutState &state);

// The From and To spinners: moves one of them by one within 1..outputs, keeping From <= To.
void spinOutputRange(PlotOutState &state, bool spinFrom, bool up, int outputs);
