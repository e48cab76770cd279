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

QString
formatNetText(const NetModel &model, const FormState &form, const QList<WindowLayout> &desktop)
{
    return formatNetText(model, netFileTexts(form), desktop);
}

void markSaved(Workbench &wb)
{
    wb.savedNetText = formatNetText(wb.model, wb.form, {});
}

bool hasUnsavedWork(const Workbench &wb)
{
    const NetModel &m = wb.model;
    return m.WeightsChanged || m.PatsUnsaved || m.TestUnsaved
            || formatNetText(m, wb.form, {}) != wb.savedNetText;
}
