#include "training/parameters.h"

#include <cmath>

#include "model/numberformat.h"
#include "session/controls.h"
#include "session/uiport.h"
#include "session/workbench.h"

namespace {

float *floatField(NetModel &m, const QString &control)
{
    struct Entry
    {
        QLatin1String name;
        float NetModel::*field;
    };

    static const Entry entries[] = {
            {Control::TXT_Eta, &NetModel::Eta},
            {Control::TXT_Wnoise, &NetModel::WeightNoise},
            {Control::TXT_Pnoise, &NetModel::InputNoise},
            {Control::TXT_Temp, &NetModel::Temp},
            {Control::TXT_TargetErr, &NetModel::TargetErr},
            {Control::TXT_PatClip, &NetModel::PatClip},
            {Control::TXT_minW, &NetModel::MinWeight},
            {Control::TXT_maxW, &NetModel::MaxWeight},
    };
    for (const Entry &e : entries) {
        if (control == e.name) {
            return &(m.*e.field);
        }
    }
    return nullptr;
}

// "Iter./calc." is a 16-bit count of epochs, and a call of no epoch trains nothing, forever: a
// number outside 1..32767 is clamped and the user told so. A box emptied to type a new number
// says nothing; a run does not start from it.
void storeEpochsPerCall(Workbench &wb, const QString &text)
{
    const double value = roundHalfEven(leadingNumber(text));
    if (text.trimmed().isEmpty() || (value >= 1.0 && value <= 32767.0)) {
        wb.model.EpochsPerCall = roundToInt16(value);
        return;
    }
    wb.model.EpochsPerCall = value < 1.0 ? int16_t {1} : int16_t {32767};
    const QString shown = QString::number(wb.model.EpochsPerCall);
    wb.ui.exclamation(QStringLiteral("Iter./calc. should be between 1 and 32767: ") + shown
                      + QStringLiteral(" is used"));
    wb.form.setText(Control::TXT_epocs, shown);
}

// A unit of x's leading decimal place: 0.2 -> 0.1, 0.1 -> 0.01 going down, 0.09 -> 0.01 and
// 0.1 -> 0.1 going up, so the value walks 0.2, 0.1, 0.09 and back.
double leadingUnit(double x, bool up)
{
    const double lg = std::fabs(std::log10(x));
    const double n = std::trunc(up ? lg - 0.00001 : lg + 0.00001) + 1.0;
    return std::pow(10.0, -n);
}

// A noise step: down only from above 0, and what falls below the step becomes 0. The float
// field may hold a step as a hair under its decimal value, so the comparison allows for it.
float noiseStep(float value, double step, bool up)
{
    if (up) {
        return static_cast<float>(double {value} + step);
    }
    if (!(value > 0.0f)) {
        return value;
    }
    const double next = double {value} - step;
    return next < step * (1.0 - 1e-5) ? 0.0f : static_cast<float>(next);
}

void showAutoLearn(Workbench &wb)
{
    wb.form.setChecked(Control::CHK_AutoLearn, wb.model.LearnAdapt.AutoOn != 0.0f);
}

} // namespace

void parameterTextChanged(Workbench &wb, const QString &control, const QString &text)
{
    wb.form.setText(control, text);
    if (control == Control::TXT_epocs) {
        storeEpochsPerCall(wb, text);
        return;
    }
    if (float *field = floatField(wb.model, control)) {
        *field = static_cast<float>(leadingNumber(text));
    }
}

void randomSamplingClicked(Workbench &wb, bool checked)
{
    wb.model.RandomSampling = checked ? 1 : 0;
    wb.form.setChecked(Control::CHK_RND, checked);
}

bool epochLengthChanged(Workbench &wb, const QString &text)
{
    const NetModel &m = wb.model;
    const QString box = Control::TXT_EpocLen;
    wb.form.setText(box, text);
    const double value = roundHalfEven(leadingNumber(text));
    if (m.NumPats < 1 && value == 1.0) {
        // The box's own value without patterns: refusing it would reset it to itself forever.
        return true;
    }
    if (value >= 1.0 && value <= m.NumPats) {
        return true;
    }
    wb.ui.critical(QStringLiteral("Epoc Lenght Should Be between 1 to ")
                   + QString::number(m.NumPats));
    wb.form.setText(box, QString::number(m.NumPats >= 1 ? m.NumPats : 1));
    return false;
}

QString spin(Workbench &wb, int upDown, bool up)
{
    NetModel &m = wb.model;
    QString box;
    float value = 0.0f;
    switch (upDown) {
    case 1:
    case 2: {
        box = upDown == 1 ? Control::TXT_Eta : Control::TXT_Alpha;
        float &x = upDown == 1 ? m.Eta : m.Alpha;
        if (x > 0.0f) {
            const double unit = leadingUnit(x, up);
            x = static_cast<float>(up ? double {x} + unit : double {x} - unit);
        }
        value = x;
        break;
    }
    case 3:
        box = Control::TXT_Pnoise;
        m.InputNoise = noiseStep(m.InputNoise, 0.01, up);
        value = m.InputNoise;
        break;
    case 4:
        box = Control::TXT_Wnoise;
        m.WeightNoise = noiseStep(m.WeightNoise, 0.002, up);
        value = m.WeightNoise;
        break;
    default:
        return QString();
    }
    // The box's own change handler then stores the value as shown (Alpha's box has none).
    parameterTextChanged(wb, box, formatNumber(value, u"0.#######"));
    return box;
}

AutoLearnForm AutoLearnForm::fill(const NetModel &model)
{
    return {generalNumber(model.LearnAdapt.EtaInc), generalNumber(model.LearnAdapt.EtaDec)};
}

void autoLearnAccepted(Workbench &wb, const AutoLearnForm &form)
{
    LearnAdaptation &a = wb.model.LearnAdapt;
    a.AutoOn = -1.0f;
    a.EtaInc = static_cast<float>(leadingNumber(form.TXT_EtaInc));
    a.EtaDec = static_cast<float>(leadingNumber(form.TXT_EtaDec));
    showAutoLearn(wb);
}

void autoLearnCancelled(Workbench &wb)
{
    wb.model.LearnAdapt.AutoOn = 0.0f;
    showAutoLearn(wb);
}

void autoLearnUnchecked(Workbench &wb)
{
    wb.model.LearnAdapt.AutoOn = 0.0f;
    showAutoLearn(wb);
}
