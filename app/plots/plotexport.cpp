#include "plots/plotexport.h"

#include "model/netmodel.h"
#include "model/numberformat.h"
#include "plots/netdrawing.h"
#include "plots/outputplots.h"
#include "plots/weighthistogram.h"
#include "session/workbench.h"

namespace {

struct KindName
{
    PlotExportKind kind;
    const char *name;
};

constexpr KindName KindNames[] = {
        {PlotExportKind::PatOuts, "pat-outs"},        {PlotExportKind::PatErrors, "pat-errors"},
        {PlotExportKind::TstOuts, "tst-outs"},        {PlotExportKind::TstErrors, "tst-errors"},
        {PlotExportKind::Sensitivity, "sensitivity"}, {PlotExportKind::Weights, "weights"},
        {PlotExportKind::Layout, "layout"},
};

// The chart of a plot of the "Plot Outputs" window, drawn as the window draws it.
std::optional<ChartData> windowChart(Workbench &wb, PlotKind kind, int sensPercent)
{
    PlotOutState state;
    state.kind = kind;
    state.from = 1;
    state.to = wb.model.numOutputs();
    state.sensPercent = sensPercent;
    return redrawPlot(wb, state);
}

} // namespace

std::optional<PlotExportKind> plotExportKind(const QString &name)
{
    for (const KindName &k : KindNames) {
        if (name == QLatin1String(k.name)) {
            return k.kind;
        }
    }
    return std::nullopt;
}

QStringList plotExportKindNames()
{
    QStringList names;
    for (const KindName &k : KindNames) {
        names << QLatin1String(k.name);
    }
    return names;
}

std::optional<ChartData> exportChart(Workbench &wb, PlotExportKind kind, int sensPercent)
{
    switch (kind) {
    case PlotExportKind::PatOuts:
        return windowChart(wb, PlotKind::PatOuts, sensPercent);
    case PlotExportKind::PatErrors:
        return windowChart(wb, PlotKind::PatErrors, sensPercent);
    case PlotExportKind::TstOuts:
        return windowChart(wb, PlotKind::TstOuts, sensPercent);
    case PlotExportKind::TstErrors:
        return windowChart(wb, PlotKind::TstErrors, sensPercent);
    case PlotExportKind::Sensitivity:
        return windowChart(wb, PlotKind::Sensitivity, sensPercent);
    case PlotExportKind::Weights:
        return weightsChart(wb.model);
    case PlotExportKind::Layout:
        break;
    }
    return std::nullopt;
}

QString netDrawingCsv(const NetModel &model, bool absolute)
{
    const WeightColours colours = weightColours(model, absolute);
    QString text = QStringLiteral("Layer,From,To,Weight,Colour\r\n");
    forEachWeight(model, [&](int l, int i, int j, float w) {
        text += QStringLiteral("%1,%2,%3,").arg(l).arg(i).arg(j) + exactNumber(w) + u','
                + QString::number(colours.colourOf(w)) + QStringLiteral("\r\n");
    });
    return text;
}
