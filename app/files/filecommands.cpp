#include "files/filecommands.h"

#include "files/netcommands.h"
#include "files/patterncommands.h"
#include "files/weightcommands.h"
#include "session/controls.h"
#include "session/uiport.h"
#include "session/unsavedwork.h"
#include "session/workbench.h"
#include "training/construction.h"

namespace {

// Saves the sets made in memory, then the network and its weights; returns whether all of it
// was written. A set is saved first so that the network file names its new file.
bool saveAllWork(Workbench &wb)
{
    NetModel &m = wb.model;
    const bool weightsChanged = m.WeightsChanged;
    const bool saved = (!m.PatsUnsaved || savePatsAs(wb).done())
            && (!m.TestUnsaved || saveTestPatsAs(wb).done()) && saveNetCommand(wb).done();
    if (!saved) {
        // A cancelled weight dialog clears the flag, but the network was not saved: the next
        // question must come again.
        m.WeightsChanged = weightsChanged;
    }
    return saved;
}

// The save question before work is dropped: Yes saves everything (and goes on only when it
// was saved), No goes on, Cancel stays. Returns whether to go on.
bool saveBefore(Workbench &wb, const QString &question)
{
    if (!hasUnsavedWork(wb)) {
        return true;
    }
    switch (wb.ui.question(question, UiPort::Buttons::YesNoCancel)) {
    case UiPort::Answer::Yes:
        return saveAllWork(wb);
    case UiPort::Answer::No:
        return true;
    default:
        return false;
    }
}

} // namespace

FileResult saveNetCommand(Workbench &wb)
{
    const NetModel &m = wb.model;
    return m.HasNetFile ? saveNet(wb, false, m.NetFileName) : saveNet(wb, true);
}

FileResult saveWeightsCommand(Workbench &wb)
{
    if (!wb.model.HasWeightFile) {
        return {FileOutcome::Cancelled, QString()};
    }
    return saveWeights(wb, false, wb.form.text(Control::LBL_WeightFile));
}

bool newNetCommand(Workbench &wb)
{
    if (wb.model.Training) {
        return false;
    }
    if (hasUnsavedWork(wb)) {
        if (!saveBefore(wb, QStringLiteral("Save Net Before Creating a New Net"))) {
            return false;
        }
        resetModel(wb);
        buildNetwork(wb);
        return true;
    }
    return newNet(wb);
}

FileResult openNetCommand(Workbench &wb)
{
    if (wb.model.Training
        || !saveBefore(wb, QStringLiteral("Save Net Before Opening Another Net"))) {
        return {FileOutcome::Cancelled, QString()};
    }
    return loadNet(wb);
}

bool mayClose(Workbench &wb)
{
    return saveBefore(wb, QStringLiteral("Save Net Before Quiting"));
}
