#include "plots/outputplots.h"

#include <algorithm>
#include <vector>

#include "model/normfactors.h"
#include "model/rmshistory.h"
#include "session/engineapi.h"
#include "session/uiport.h"
#include "session/workbench.h"
#include "training/analysis.h"
#include "training/patternsets.h"

namespace {

// The chart refuses more points than it can take; the user is told the limit.
bool checkPointCount(UiPort &ui, long long points)
{
    if (points > MaxChartPoints) {
        ui.critical(QStringLiteral("Max number of point to plot should be smaller than ")
                    + QString::number(MaxChartPoints));
        return false;
    }
    return true;
}

// The x positions 1..n: pattern or input numbers.
std::vector<float> indexPositions(int n)
{
    std::vector<float> x(std::size_t(std::max(n, 0)));
    for (int i = 0; i < n; ++i) {
        x[std::size_t(i)] = float(i + 1);
    }
    return x;
}

ChartData chartForSlot(const Workbench &wb, PlotKind kind)
{
    ChartData chart;
    applyGraphSettings(chart, wb.model.Graph[std::size_t(plotSlot(kind))]);
    return chart;
}

} // namespace

QStringList plotTypeEntries(bool hasTest)
{
    QStringList entries {QStringLiteral("PAT Outs"), QStringLiteral("PAT Errors"),
                         QStringLiteral("RMS Errors"), QStringLiteral("Input Sensitivity")};
    if (hasTest) {
        entries << QStringLiteral("TST Outs") << QStringLiteral("TST Errors");
    }
    return entries;
}

int16_t plotSlot(PlotKind kind)
{
    return int16_t(int(kind) + 1);
}

ChartData rmsErrorsChart(const RmsHistory &history, const GraphSetting &setting)
{
    ChartData chart;
    applyGraphSettings(chart, setting);
    ChartSet &set = chart.sets.emplace_back();
    set.legend = QStringLiteral("RMS Error");
    if (history.RmsCalls == 0) {
        chart.xPositions = {0.0f, 1.0f};
        set.values = {0.0f, 0.0f};
        return chart;
    }
    const int count = std::clamp(int(history.RmsCount), 0, int(history.RmsPoint.size()) - 1);
    for (int i = 1; i <= count; ++i) {
        chart.xPositions.push_back(history.RmsPoint[std::size_t(i)].x);
        set.values.push_back(history.RmsPoint[std::size_t(i)].y);
    }
    chart.labelEvery = labelSpacing(count);
    return chart;
}

std::optional<ChartData> outputsChart(Workbench &wb, bool test, int from, int to)
{
    NetModel &m = wb.model;
    BusyGuard busy(wb.ui);
    const int n = test ? m.NumTestPats : m.NumPats;
    if (n < 2) {
        wb.ui.critical(QStringLiteral("Error, must have at least 2 points to plot."));
        return std::nullopt;
    }
    ChartData chart = chartForSlot(wb, test ? PlotKind::TstOuts : PlotKind::PatOuts);
    const long long outputs = std::max(to - from + 1, 0);
    if (!checkPointCount(wb.ui, n * 2 * outputs) || !checkSet(wb, test)
        || !wb.engine.require(wb.ui, {"CALCNET"})) {
        return std::nullopt;
    }
    chart.labelEvery = labelSpacing(n);
    chart.xPositions = indexPositions(n);
    for (int k = from; k <= to; ++k) {
        chart.sets.push_back({QStringLiteral("Target-") + QString::number(k), {}});
        chart.sets.push_back({QStringLiteral("Net-") + QString::number(k), {}});
    }
    const Array2 &targets = test ? m.TstOut : m.PatOut;
    const int outputLayer = m.NumLayers;
    for (int p = 1; p <= n; ++p) {
        calcNet(wb, test, int16_t(p));
        for (int k = from; k <= to; ++k) {
            float target = targets(p, k);
            float net = m.NodeOut(outputLayer, k);
            if (m.NormOn) {
                target = denormOutput(m, target, k);
                net = denormOutput(m, net, k);
            }
            const std::size_t set = std::size_t(2 * (k - from));
            chart.sets[set].values.push_back(target);
            chart.sets[set + 1].values.push_back(net);
        }
    }
    return chart;
}

std::optional<ChartData> errorsChart(Workbench &wb, bool test)
{
    NetModel &m = wb.model;
    BusyGuard busy(wb.ui);
    ChartData chart = chartForSlot(wb, test ? PlotKind::TstErrors : PlotKind::PatErrors);
    const int n = test ? m.NumTestPats : m.NumPats;
    if (!checkPointCount(wb.ui, n) || !checkSet(wb, test)
        || !wb.engine.require(wb.ui, {"CALCNET"})) {
        return std::nullopt;
    }
    chart.labelEvery = labelSpacing(n);
    chart.xPositions = indexPositions(n);
    ChartSet &set = chart.sets.emplace_back();
    set.legend = QStringLiteral("Error");
    for (int p = 1; p <= n; ++p) {
        set.values.push_back(calcNet(wb, test, int16_t(p)));
    }
    return chart;
}

std::optional<ChartData> sensitivityChart(Workbench &wb, int percent)
{
    BusyGuard busy(wb.ui);
    ChartData chart = chartForSlot(wb, PlotKind::Sensitivity);
    if (!checkSet(wb, false) || !wb.engine.require(wb.ui, {"CALCNET"})) {
        return std::nullopt;
    }
    std::vector<float> sens;
    const float scale = computeSensitivity(wb, float(percent) / 100.0f, sens);
    const int inputs = int(sens.size());
    chart.labelEvery = labelSpacing(inputs);
    chart.xPositions = indexPositions(inputs);
    ChartSet &set = chart.sets.emplace_back();
    set.legend = QStringLiteral("Sensitivity");
    for (float s : sens) {
        set.values.push_back(scale > 0.0f ? s / scale : s);
    }
    return chart;
}

std::optional<ChartData> redrawPlot(Workbench &wb, PlotOutState &state)
{
    state.currentGraph = plotSlot(state.kind);
    state.outputsVisible = false;
    state.sensVisible = false;
    switch (state.kind) {
    case PlotKind::PatOuts:
    case PlotKind::TstOuts: {
        const int outputs = std::max<int>(wb.model.numOutputs(), 1);
        state.from = std::clamp(state.from, 1, outputs);
        state.to = std::clamp(state.to, state.from, outputs);
        state.outputsVisible = true;
        return outputsChart(wb, state.kind == PlotKind::TstOuts, state.from, state.to);
    }
    case PlotKind::PatErrors:
    case PlotKind::TstErrors:
        return errorsChart(wb, state.kind == PlotKind::TstErrors);
    case PlotKind::RmsErrors:
        return rmsErrorsChart(wb.rmsHistory, wb.model.Graph[std::size_t(state.currentGraph)]);
    case PlotKind::Sensitivity:
        state.sensVisible = true;
        return sensitivityChart(wb, state.sensPercent);
    }
    return std::nullopt;
}

void spinOutputRange(PlotOutState &state, bool spinFrom, bool up, int outputs)
{
    const int step = up ? 1 : -1;
    if (spinFrom) {
        state.from = std::clamp(state.from + step, 1, std::min(state.to, outputs));
    } else {
        state.to = std::clamp(state.to + step, std::max(state.from, 1), std::max(outputs, 1));
    }
}
