#include "training/evaluation.h"

#include <algorithm>
#include <cmath>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "model/columnnames.h"
#include "model/netmodel.h"
#include "model/numberformat.h"
#include "session/engineapi.h"
#include "session/uiport.h"
#include "session/workbench.h"
#include "training/patternsets.h"

namespace {

const QString LineEnd = QStringLiteral("\r\n");

// Two targets closer than this count as the same value (the files hold 7 significant digits).
constexpr double SameValue = 1e-6;

// The values a column takes, at most three of them (three means "too many").
std::vector<float> columnValues(const Array2 &targets, int patterns, int column)
{
    std::vector<float> values;
    for (int p = 1; p <= patterns && values.size() < 3; ++p) {
        const float t = targets(p, column);
        const bool known = std::any_of(values.begin(), values.end(), [t](float v) {
            return std::abs(double {v} - t) <= SameValue;
        });
        if (!known) {
            values.push_back(t);
        }
    }
    return values;
}

} // namespace

EvaluationBuilder::EvaluationBuilder(const NetModel &model, const Array2 &targets, int patterns)
    : m_model(model)
    , m_targets(targets)
{
    const int outputs = model.numOutputs();
    m_e.patterns = patterns;
    m_e.outputs = outputs;
    m_e.mse.assign(static_cast<std::size_t>(outputs), 0.0);

    const int func = model.NeuronFunc(model.NumLayers);
    const FuncRangeEntry &range =
            model.FuncRange[static_cast<std::size_t>(std::clamp(func, 1, 5) - 1)];
    double low = range.OutLow;
    double high = range.OutHigh;
    if (func == FuncLinear && patterns > 0) {
        // A linear output has no range of its own: the targets' span stands in for it.
        low = high = targets(1, 1);
        for (int k = 1; k <= outputs; ++k) {
            for (int p = 1; p <= patterns; ++p) {
                low = std::min(low, double {targets(p, k)});
                high = std::max(high, double {targets(p, k)});
            }
        }
    }
    m_range = high > low ? high - low : 1.0;
    m_e.threshold = (low + high) / 2.0;

    bool classes = patterns > 0;
    for (int k = 1; k <= outputs && classes; ++k) {
        const std::vector<float> values = columnValues(targets, patterns, k);
        classes = values.size() <= 2;
        if (classes && outputs == 1 && values.size() == 2) {
            classes = (values[0] > m_e.threshold) != (values[1] > m_e.threshold);
        }
    }
    for (int p = 1; p <= patterns && classes && outputs > 1; ++p) {
        const int c = classOf(p, false);
        for (int k = 1; k <= outputs && classes; ++k) {
            classes = k == c || targets(p, k) < targets(p, c);
        }
    }
    m_e.classes = classes;
    if (classes) {
        m_e.classCount = outputs > 1 ? outputs : 2;
        m_e.confusion.assign(static_cast<std::size_t>(m_e.classCount * m_e.classCount), 0);
    }
}

int EvaluationBuilder::classOf(int p, bool outputs) const
{
    const int layer = m_model.NumLayers;
    auto value = [&](int k) { return outputs ? m_model.NodeOut(layer, k) : m_targets(p, k); };
    if (m_e.outputs == 1) {
        return value(1) > m_e.threshold ? 1 : 0;
    }
    // The first of equal highest values wins, as a network stuck at equal outputs gives them.
    int best = 1;
    for (int k = 2; k <= m_e.outputs; ++k) {
        if (value(k) > value(best)) {
            best = k;
        }
    }
    return best;
}

void EvaluationBuilder::add(int p, float err)
{
    const int layer = m_model.NumLayers;
    for (int k = 1; k <= m_e.outputs; ++k) {
        const double d = double {m_model.NodeOut(layer, k)} - m_targets(p, k);
        m_e.mse[static_cast<std::size_t>(k - 1)] += d * d;
        m_sumSquares += d * d;
    }
    m_sumErrSquares += double {err} * err;
    if (err <= m_model.TargetErr) {
        ++m_e.good;
    }
    if (m_e.classes) {
        const int base = m_e.outputs > 1 ? 1 : 0;
        const int truth = classOf(p, false) - base;
        const int given = classOf(p, true) - base;
        ++m_e.confusion[static_cast<std::size_t>(truth * m_e.classCount + given)];
        if (truth != given) {
            ++m_e.misclassified;
        }
    }
}

Evaluation EvaluationBuilder::finish() const
{
    Evaluation e = m_e;
    if (e.patterns > 0) {
        for (double &mse : e.mse) {
            mse /= e.patterns;
        }
        e.rms = std::sqrt(m_sumErrSquares / e.patterns);
        e.squaredErrorPercent =
                100.0 * m_range * m_sumSquares / (double {1.0} * e.patterns * e.outputs);
    }
    return e;
}

std::optional<Evaluation> evaluateSet(Workbench &wb, bool test)
{
    if (!checkSet(wb, test) || !wb.engine.require(wb.ui, {"CALCNET"})) {
        return std::nullopt;
    }
    NetModel &m = wb.model;
    const PatternSetRef set = patternSet(m, test);
    EvaluationBuilder builder(m, set.out, set.count);
    for (int p = 1; p <= set.count; ++p) {
        builder.add(p, calcNet(wb, test, static_cast<int16_t>(p)));
    }
    Evaluation e = builder.finish();
    // A test set cut out of the pattern file has the pattern file's columns.
    const QString file = test && !m.TestFileName.isEmpty() ? m.TestFileName : m.PatFileName;
    if (e.classes && e.outputs > 1) {
        if (const auto names = readColumnNames(file, m.numInputs(), m.numOutputs())) {
            if (names->classes().size() == e.classCount) {
                e.classNames = names->classes();
            }
        }
    }
    return e;
}

QString evaluationText(const Evaluation &e, const QString &title)
{
    QString text = title
            + QStringLiteral(": %1 patterns, %2 outputs").arg(e.patterns).arg(e.outputs) + LineEnd;
    text += QStringLiteral("RMS Error: ") + formatNumber(e.rms, u"#0.000000") + LineEnd;
    text += QStringLiteral("Good Pats: ") + formatNumber(e.goodPercent(), u"##0.0")
            + QStringLiteral("%") + LineEnd;
    text += QStringLiteral("Squared error percentage: ")
            + formatNumber(e.squaredErrorPercent, u"##0.000") + LineEnd;
    text += QStringLiteral("Mean squared error per output:");
    for (double mse : e.mse) {
        text += QLatin1Char(' ') + formatNumber(mse, u"#0.000000");
    }
    text += LineEnd;
    if (!e.classes) {
        return text + QStringLiteral("Targets are not classes: no classification figures")
                + LineEnd;
    }
    text += QStringLiteral("Class. err.: %1 of %2 (").arg(e.misclassified).arg(e.patterns)
            + formatNumber(e.classErrorPercent(), u"##0.0") + QStringLiteral("%)") + LineEnd;
    text += QStringLiteral("Confusion matrix (rows: target class, columns: network's class):")
            + LineEnd + QStringLiteral("      ");
    // Classes of a single output are 0 (low) and 1 (high); of several outputs, the output number.
    const int base = e.outputs > 1 ? 1 : 0;
    for (int c = 0; c < e.classCount; ++c) {
        text += QString::number(c + base).rightJustified(7);
    }
    text += LineEnd;
    for (int r = 0; r < e.classCount; ++r) {
        text += QString::number(r + base).rightJustified(6);
        for (int c = 0; c < e.classCount; ++c) {
            text += QString::number(e.confusion[static_cast<std::size_t>(r * e.classCount + c)])
                            .rightJustified(7);
        }
        text += LineEnd;
    }
    if (!e.classNames.isEmpty()) {
        QStringList numbered;
        for (int c = 0; c < e.classNames.size(); ++c) {
            numbered << QStringLiteral("%1 %2").arg(c + base).arg(e.classNames.at(c));
        }
        text += QStringLiteral("Classes: ") + numbered.join(QStringLiteral(", ")) + LineEnd;
    }
    return text;
}

QString evaluationJson(const Evaluation &e)
{
    QJsonObject o;
    o[QStringLiteral("patterns")] = e.patterns;
    o[QStringLiteral("outputs")] = e.outputs;
    o[QStringLiteral("rms")] = e.rms;
    o[QStringLiteral("good")] = e.good;
    o[QStringLiteral("goodPercent")] = e.goodPercent();
    o[QStringLiteral("squaredErrorPercent")] = e.squaredErrorPercent;
    QJsonArray mse;
    for (double v : e.mse) {
        mse.append(v);
    }
    o[QStringLiteral("msePerOutput")] = mse;
    o[QStringLiteral("classes")] = e.classes;
    if (e.classes) {
        o[QStringLiteral("classCount")] = e.classCount;
        o[QStringLiteral("misclassified")] = e.misclassified;
        o[QStringLiteral("classErrorPercent")] = e.classErrorPercent();
        QJsonArray rows;
        for (int r = 0; r < e.classCount; ++r) {
            QJsonArray row;
            for (int c = 0; c < e.classCount; ++c) {
                row.append(e.confusion[static_cast<std::size_t>(r * e.classCount + c)]);
            }
            rows.append(row);
        }
        o[QStringLiteral("confusion")] = rows;
        if (!e.classNames.isEmpty()) {
            o[QStringLiteral("classNames")] = QJsonArray::fromStringList(e.classNames);
        }
    }
    return QString::fromUtf8(QJsonDocument(o).toJson(QJsonDocument::Indented));
}

bool showEvaluation(Workbench &wb)
{
    const std::optional<Evaluation> training = evaluateSet(wb, false);
    if (!training) {
        return false;
    }
    QString text = evaluationText(*training, QStringLiteral("Training set"));
    if (wb.model.HasTest) {
        if (const std::optional<Evaluation> test = evaluateSet(wb, true)) {
            text += LineEnd + evaluationText(*test, QStringLiteral("Test set"));
        }
    }
    ReportState &r = wb.report;
    r.open = true;
    r.caption = QStringLiteral("Evaluation");
    r.layerPanelVisible = false;
    r.sensPanelVisible = false;
    r.saveEditEnabled = true;
    r.text = text;
    wb.model.ReportMode = ReportKind::Evaluation;
    emit wb.events.reportChanged();
    return true;
}
