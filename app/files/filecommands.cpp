#include "files/filecommands.h"

#include "files/netcommands.h"
#include "files/weightcommands.h"
#include "session/controls.h"
#include "session/uiport.h"
#include "session/workbench.h"

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

bool mayClose(Workbench &wb)
{
    if (!wb.model.WeightsChanged) {
        return true;
    }
    switch (wb.ui.question(QStringLiteral("Save Net Before Quiting"),
                           UiPort::Buttons::YesNoCancel)) {
    case UiPort::Answer::Yes:
        if (saveNetCommand(wb).done()) {
            return true;
        }
        // A cancelled weight dialog clears the flag, but the network was not saved: the next
        // close must ask again.
        wb.model.WeightsChanged = true;
        return false;
    case UiPort::Answer::No:
        return true;
    default:
        return false;
    }
}
