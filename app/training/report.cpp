#include "training/report.h"

#include <algorithm>
#include <cmath>

#include <QFileInfo>

#include "model/normfactors.h"
#include "model/numberformat.h"
#include "model/textfile.h"
#include "session/engineapi.h"
#include "session/uiport.h"
#include "session/workbench.h"
#include "training/analysis.h"
#include "training/patternsets.h"

namespace {

const QString LineEnd = QStringLiteral("\r\n");

// Patterns between two yields while a long report is built.
constexpr int YieldEvery = 256;

// The output-layer line of pattern p after its forward pass: each output beside its target (in
// data units when the data are held normalised), then the error and "+" when it is within the
// target error. Returns whether the pattern is good.
bool appendOutputLine(const NetModel &m, bool test, int p, float err, QString &line)
{
    const Array2 &targets = test ? m.TstOut : m.PatOut;
    for (int k = 1; k <= m.numOutputs(); ++k) {
        float y = m.NodeOut(m.NumLayers, k);
        float t = targets(p, k);
        if (m.NormOn) {
            y = denormOutput(m, y, k);
            t = denormOutput(m, t, k);
        }
        line += formatNumber(y, u"####0.000000") + QLatin1Char(' ')
                + formatNumber(t, u"####0.000000") + QStringLiteral("  ");
    }
    line += QStringLiteral("   ") + formatNumber(err, u"#0.000000");
    const bool good = err <= m.TargetErr;
    line += good ? QStringLiteral(" +") : QStringLiteral(" -");
    return good;
}

// The layer listed: the output layer when the window opens, and always one that exists.
int reportLayer(Workbench &wb)
{
    ReportState &r = wb.report;
    const int numLayers = wb.model.NumLayers;
    if (!r.open) {
        r.open = true;
        r.layer = numLayers;
    }
    r.layer = std::clamp(r.layer, 2, numLayers);
    return r.layer;
}

} // namespace

void closeReport(Workbench &wb)
{
    wb.report.open = false;
}

bool runNet(Workbench &wb, bool test)
{
    NetModel &m = wb.model;
    ReportState &r = wb.report;
    if (!checkSet(wb, test) || !wb.engine.require(wb.ui, {"CALCNET"})) {
        return false;
    }
    BusyGuard busy(wb.ui);
    constexpr int MaxLen = ReportState::MaxLen;
    r.layerPanelVisible = true;
    r.sensPanelVisible = false;
    r.caption = test ? QStringLiteral("Test Net") : QStringLiteral("Run Net");
    r.saveEditEnabled = true;
    m.ReportMode = test ? ReportKind::Test : ReportKind::Run;
    const int layer = reportLayer(wb);
    emit wb.events.reportChanged();
    wb.ui.yield();

    const int n = test ? m.NumTestPats : m.NumPats;
    const bool outputLayer = layer == m.NumLayers;
    m.ReportText.clear();
    double sumSquares = 0.0;
    int good = 0;
    int done = 0;
    bool truncated = false;
    for (int p = 1; p <= n; ++p) {
        if (p % YieldEvery == 0) {
            wb.ui.setStatus(QStringLiteral("Running pattern %1 of %2...").arg(p).arg(n));
            wb.ui.yield();
            // Another command may have replaced the data or the network meanwhile.
            if (!setFitsNetwork(m, test) || layer > m.NumLayers) {
                break;
            }
        }
        const float err = calcNet(wb, test, static_cast<int16_t>(p));
        ++done;
        QString line = formatNumber(p, u"0000") + QStringLiteral(") ");
        if (outputLayer) {
            if (appendOutputLine(m, test, p, err, line)) {
                ++good;
            }
            sumSquares += double {err} * double {err};
        } else {
            for (int j = 1; j <= m.LayerSize(layer); ++j) {
                line += formatNumber(m.NodeOut(layer, j), u"####0.000000") + QLatin1Char(' ');
            }
        }
        m.ReportText += line;
        if (m.ReportText.size() < MaxLen) {
            m.ReportText += LineEnd;
        } else {
            truncated = true;
        }
    }
    if (n >= YieldEvery) {
        wb.ui.setStatus(QString());
    }
    if (truncated) {
        wb.ui.critical(QStringLiteral("Report >") + formatNumber(double(MaxLen) / 1024.0, u"##")
                       + QStringLiteral("K will be truncated ") + QStringLiteral("\n\r")
                       + QStringLiteral("Use the File Save and Edit menu to overcome"));
    }

    QString header;
    if (!outputLayer) {
        header = QStringLiteral("Node     ");
        for (int j = 1; j <= m.LayerSize(layer); ++j) {
            header += (QLatin1Char(' ') + QString::number(j)).leftJustified(17);
        }
        header += LineEnd;
    } else if (done > 0) {
        header = QStringLiteral("RMS Error: ")
                + formatNumber(std::sqrt(sumSquares / done), u"#0.000000") + LineEnd
                + QStringLiteral("Good Pats: ")
                + formatNumber(double(good) / done * 100.0, u"##0.0") + QStringLiteral("%")
                + LineEnd + LineEnd;
    }
    r.text = header + m.ReportText.left(MaxLen);
    emit wb.events.reportChanged();
    return true;
}

void spinReportLayer(Workbench &wb, bool up)
{
    ReportState &r = wb.report;
    const int numLayers = wb.model.NumLayers;
    if (up && r.layer < numLayers) {
        ++r.layer;
    } else if (!up && r.layer > 2) {
        --r.layer;
    }
    switch (wb.model.ReportMode) {
    case ReportKind::Test:
        runNet(wb, true);
        break;
    case ReportKind::Weights:
        showWeights(wb);
        break;
    case ReportKind::WeightDelta:
        showWeightDelta(wb);
        break;
    default:
        runNet(wb, false);
        break;
    }
}

std::optional<QString> runReportText(Workbench &wb, bool test)
{
    if (!checkSet(wb, test) || !wb.engine.require(wb.ui, {"CALCNET"})) {
        return std::nullopt;
    }
    const NetModel &m = wb.model;
    const int n = test ? m.NumTestPats : m.NumPats;
    QString text;
    for (int p = 1; p <= n; ++p) {
        const float err = calcNet(wb, test, static_cast<int16_t>(p));
        QString line = formatNumber(p, u"0000") + QStringLiteral(") ");
        appendOutputLine(m, test, p, err, line);
        text += line + LineEnd;
    }
    return text;
}

QString saveReport(Workbench &wb)
{
    const std::optional<QString> chosen = wb.ui.saveFileName(
            {QStringLiteral("Save Report As"), QStringLiteral("res Files (*.res)"),
             QStringLiteral("res"), QStringLiteral("*.res")});
    if (!chosen || chosen->isEmpty()) {
        return QString();
    }
    const QString path = *chosen;
    if (QFileInfo::exists(path)) {
        const auto answer = wb.ui.message(QStringLiteral("File Exist.\rDo you want to OverWrite ?"),
                                          UiPort::Icon::Question, UiPort::Buttons::OkCancel);
        if (answer != UiPort::Answer::Ok) {
            return QString();
        }
    }
    std::optional<QString> text;
    switch (wb.model.ReportMode) {
    case ReportKind::Test:
        text = runReportText(wb, true);
        break;
    case ReportKind::Weights:
    case ReportKind::WeightDelta:
        text = wb.report.text;
        break;
    default:
        text = runReportText(wb, false);
        break;
    }
    if (!text) {
        return QString();
    }
    const Status written = writeTextFile(path, *text);
    if (!written) {
        wb.ui.critical(written.error().message);
        return QString();
    }
    wb.ui.filesSaved({path});
    return path;
}

void saveAndEditReport(Workbench &wb, const std::function<void(const QString &path)> &startEditor)
{
    if (wb.model.ReportMode == ReportKind::Sensitivity) {
        return;
    }
    const QString path = saveReport(wb);
    if (!path.isEmpty() && startEditor) {
        startEditor(path);
    }
}
