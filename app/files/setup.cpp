#include "files/setup.h"

#include "model/numberformat.h"
#include "session/engineapi.h"
#include "session/uiport.h"
#include "session/workbench.h"

SetupValues loadSetup(const Workbench &wb)
{
    const NetModel &m = wb.model;
    SetupValues v;
    v.editor = m.EditorCommand;
    v.localNames = wb.settings.localNames(1) == 1;
    v.trainingMethod = m.TrainMode == 1 || m.TrainMode == 2 ? m.TrainMode : 0;
    // Only the two stored methods set the boxes; any other value leaves them as designed.
    v.quickPropEnabled = m.TrainMode != 1;
    v.growthFactor = generalNumber(m.GrowthFactor);
    v.weightCutOff = generalNumber(m.WCutOff);
    v.weightDecay = generalNumber(m.WDecay);
    v.fixedSeed = wb.settings.fixedSeed();
    return v;
}

void chooseTrainingMethod(SetupValues &values, int index)
{
    if (index != 1 && index != 2) {
        return;
    }
    values.trainingMethod = index;
    values.quickPropEnabled = index == 2;
}

void storeSetup(Workbench &wb, const SetupValues &values)
{
    NetModel &m = wb.model;
    bool seedOk = true;
    const QString seed = values.fixedSeed.trimmed();
    if (!seed.isEmpty()) {
        seed.toInt(&seedOk);
    }
    bool written =
            wb.settings.setEditor(values.editor) && wb.settings.setLocalNames(values.localNames);
    const bool seedChanged = seedOk && seed != wb.settings.fixedSeed();
    if (seedChanged) {
        written = wb.settings.setFixedSeed(seed) && written;
    }
    m.EditorCommand = values.editor.trimmed();
    m.TrainMode = values.trainingMethod == 1 ? 1 : 2;
    m.GrowthFactor = static_cast<float>(leadingNumber(values.growthFactor));
    m.WCutOff = static_cast<float>(leadingNumber(values.weightCutOff));
    m.WDecay = static_cast<float>(leadingNumber(values.weightDecay));
    if (!written) {
        wb.ui.critical(QStringLiteral("Cannot write %1: the settings could not be saved")
                               .arg(wb.settings.path()));
    }
    if (!seedOk) {
        wb.ui.exclamation(QStringLiteral("The fixed seed must be a whole number, or empty for "
                                         "the clock; it was not changed"));
    }
    if (seedChanged) {
        applyFixedSeed(wb);
    }
}

bool applyFixedSeed(Workbench &wb)
{
    const QString text = wb.settings.fixedSeed();
    bool ok = false;
    int32_t seed = text.toInt(&ok);
    int16_t fixed = ok ? 1 : 0;
    if (!wb.engine.require(wb.ui, {"FIXCLOCK"})) {
        return false;
    }
    wb.engine.fn().FIXCLOCK(&seed, &fixed);
    return true;
}
