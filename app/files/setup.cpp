#include "files/setup.h"

#include "model/numberformat.h"
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
    const bool written =
            wb.settings.setEditor(values.editor) && wb.settings.setLocalNames(values.localNames);
    m.EditorCommand = values.editor.trimmed();
    m.TrainMode = values.trainingMethod == 1 ? 1 : 2;
    m.GrowthFactor = static_cast<float>(leadingNumber(values.growthFactor));
    m.WCutOff = static_cast<float>(leadingNumber(values.weightCutOff));
    m.WDecay = static_cast<float>(leadingNumber(values.weightDecay));
    if (!written) {
        wb.ui.critical(QStringLiteral("Cannot write %1: the settings could not be saved")
                               .arg(wb.settings.path()));
    }
}
