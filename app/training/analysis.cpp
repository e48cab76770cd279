#include "training/analysis.h"

#include <cmath>

#include "model/numberformat.h"
#include "session/controls.h"
#include "session/engineapi.h"
#include "session/uiport.h"
#include "session/workbench.h"
#include "training/construction.h"
#include "training/patternsets.h"

namespace {

const QString LineEnd = QStringLiteral("\r\n");

// Width of a weight in the listings, the length of its format.
constexpr int WeightWidth = 11;

// A weight right-aligned in WeightWidth columns. A value wider than that is shown whole: cutting
// it to the rightmost columns would show another number (12345.5 as 2345.500000).
QString weightText(float w)
{
    return formatNumber(w, u"###0.000000").rightJustified(WeightWidth);
}

// The listing of one weight-shaped array, over the arrays as built.
void showWeightListing(Workbench &wb,
                       const Array3 NetModel::*weights,
                       ReportKind mode,
                       const QString &caption)
{
    NetModel &m = wb.model;
    ReportState &r = wb.report;
    r.layerPanelVisible = false;
    r.sensPanelVisible = false;
    r.caption = caption;
    r.saveEditEnabled = true;
    if (!r.open) {
        r.open = true;
        r.layer = m.NumLayers;
    }
    m.ReportMode = mode;
    emit wb.events.reportChanged();
    wb.ui.yield();

    showWeightStats(wb);
    QString text = wb.form.text(Control::PNL_NW) + LineEnd;
    const Array3 &w = m.*weights;
    const Array1<int16_t> &nn = m.BuiltLayerSize;
    for (int l = 2; l <= m.BuiltNumLayers; ++l) {
        text += QString::number(l) + LineEnd;
        for (int j = 1; j <= nn(l); ++j) {
            for (int i = 1; i <= nn(l - 1) + 1; ++i) {
                text += weightText(w(l, i, j)) + QLatin1Char(' ');
            }
            text += LineEnd;
        }
    }
    m.ReportText = text;
    r.text = text;
    emit wb.events.reportChanged();
}

} // namespace

float computeSensitivity(Workbench &wb, float step, std::vector<float> &sens)
{
    NetModel &m = wb.model;
    const int inputs = m.numInputs();
    sens.assign(static_cast<std::size_t>(std::max(inputs, 0)), 0.0f);
    if (sens.empty() || !setFitsNetwork(m, false) || !wb.engine.require(wb.ui, {"CALCNET"})) {
        return 0.0f;
    }
    // No yield in here: while an input is moved nobody else may see the patterns.
    for (int p = 1; p <= m.NumPats; ++p) {
        const auto row = static_cast<int16_t>(p);
        const float e0 = std::sqrt(calcNet(wb, false, row));
        for (int i = 1; i <= inputs; ++i) {
            const float x = m.PatIn(p, i);
            float d = step;
            if (x == 0.0f) {
                m.PatIn(p, i) = step;
            } else {
                d = x * step;
                m.PatIn(p, i) = x * (1.0f + step);
            }
            const float e1 = std::sqrt(calcNet(wb, false, row));
            m.PatIn(p, i) = x;
            // A change too small to represent moves nothing and says nothing.
            if (d != 0.0f) {
                const float q = (e1 - e0) / d;
                sens[static_cast<std::size_t>(i - 1)] += q * q;
            }
        }
    }
    float maxSens = sens.front();
    for (float s : sens) {
        maxSens = std::max(maxSens, s);
    }
    return maxSens;
}

bool showSensitivity(Workbench &wb)
{
    NetModel &m = wb.model;
    ReportState &r = wb.report;
    if (!checkSet(wb, false) || !wb.engine.require(wb.ui, {"CALCNET"})) {
        return false;
    }
    r.layerPanelVisible = false;
    r.sensPanelVisible = true;
    r.caption = QStringLiteral("Input Sensitivity");
    r.saveEditEnabled = false;
    if (!r.open) {
        r.open = true;
        r.layer = m.NumLayers;
    }
    m.ReportMode = ReportKind::Sensitivity;
    emit wb.events.reportChanged();
    wb.ui.yield();
    if (!checkSet(wb, false)) {
        return false;
    }

    std::vector<float> sens;
    const float maxSens = computeSensitivity(wb, static_cast<float>(r.sensStep) / 100.0f, sens);
    QString text;
    for (std::size_t i = 0; i < sens.size(); ++i) {
        const float v = maxSens > 0.0f ? sens[i] / maxSens : 0.0f;
        text += formatNumber(static_cast<int>(i + 1), u"0000") + QStringLiteral(") ")
                + formatNumber(v, u"0.000") + LineEnd;
    }
    m.ReportText = text;
    r.text = text;
    emit wb.events.reportChanged();
    return true;
}

void showWeights(Workbench &wb)
{
    showWeightListing(wb, &NetModel::Weights, ReportKind::Weights, QStringLiteral("View Weights"));
}

void showWeightDelta(Workbench &wb)
{
    showWeightListing(wb, &NetModel::WeightDelta, ReportKind::WeightDelta,
                      QStringLiteral("View Weights Delta"));
}

int spunSensStep(int percent, bool up)
{
    if (up && percent < 100) {
        return percent + (percent == -1 ? 2 : 1);
    }
    if (!up && percent > -100) {
        return percent - (percent == 1 ? 2 : 1);
    }
    return percent;
}

void spinSensitivity(Workbench &wb, bool up)
{
    wb.report.sensStep = spunSensStep(wb.report.sensStep, up);
    emit wb.events.reportChanged();
}
