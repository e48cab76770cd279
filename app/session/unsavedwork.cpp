#include "session/unsavedwork.h"

#include "session/controls.h"
#include "session/formstate.h"
#include "session/workbench.h"

NetFileTexts netFileTexts(const FormState &f)
{
    return {f.text(Control::TXT_minW),       f.text(Control::TXT_maxW),
            f.text(Control::TXT_EpocLen),    f.text(Control::LBL_DataFile),
            f.text(Control::LBL_WeightFile), f.text(Control::LBL_TestFile)};
}

Result<QString>
formatNetText(const NetModel &model, const FormState &form, const QList<WindowLayout> &desktop)
{
    return formatNetText(model, netFileTexts(form), desktop);
}

namespace {

// What a save would write now; empty when the file could not hold the network.
QString netTextNow(const Workbench &wb)
{
    const Result<QString> text = formatNetText(wb.model, wb.form, {});
    return text ? text.value() : QString();
}

} // namespace

void markSaved(Workbench &wb)
{
    wb.savedNetText = netTextNow(wb);
}

bool hasUnsavedWork(const Workbench &wb)
{
    const NetModel &m = wb.model;
    return m.WeightsChanged || m.PatsUnsaved || m.TestUnsaved
            || netTextNow(wb) != wb.savedNetText;
}
