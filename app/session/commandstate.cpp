#include "session/commandstate.h"

#include "session/controls.h"
#include "session/workbench.h"

void updateFileCommands(Workbench &wb)
{
    const NetModel &m = wb.model;
    FormState &f = wb.form;
    if (m.HasWeightFile && m.HasPatterns) {
        for (QLatin1String item :
             {Control::MNU_FILE_OpenPat, Control::MNU_FILE_OpenWeight, Control::MNU_FILE_SaveNetAs,
              Control::MNU_FILE_SaveWeight, Control::MNU_FILE_SaveWeightAs}) {
            f.setEnabled(item, true);
        }
        f.setVisible(Control::save, true);
    } else if (m.HasWeightFile) {
        f.setEnabled(Control::MNU_FILE_SaveWeight, true);
    } else {
        for (QLatin1String item : {Control::MNU_FILE_OpenPat, Control::MNU_FILE_OpenWeight,
                                   Control::MNU_FILE_SaveWeightAs}) {
            f.setEnabled(item, true);
        }
        f.setEnabled(Control::MNU_FILE_SaveNetAs, false);
        f.setEnabled(Control::MNU_FILE_SaveWeight, false);
        f.setVisible(Control::save, false);
    }
    f.setEnabled(Control::MNU_FILE_SaveNet, m.HasNetFile);
    f.setEnabled(Control::MNU_DATA_Norm, m.HasPatterns);
}

void updateTrainCommands(Workbench &wb)
{
    const NetModel &m = wb.model;
    FormState &f = wb.form;
    if (m.HasPatterns) {
        for (QLatin1String key :
             {Control::train, Control::runnet, Control::plotnet, Control::plotweights}) {
            f.setEnabled(key, true);
        }
    } else {
        for (QLatin1String key : {Control::train, Control::stop, Control::runnet, Control::runtest,
                                  Control::plotnet, Control::plotweights}) {
            f.setEnabled(key, false);
        }
    }
    f.setEnabled(Control::runtest, m.HasTest && m.HasPatterns);
}

void updateCommands(Workbench &wb)
{
    updateFileCommands(wb);
    updateTrainCommands(wb);
}

void updateMenuOnOpen(Workbench &wb, const QString &menu)
{
    const NetModel &m = wb.model;
    FormState &f = wb.form;
    if (menu == Control::MNU_DATA) {
        f.setEnabled(Control::MNU_DATA_CreateTest, m.NumPats > 0);
    } else if (menu == Control::MNU_VIEW) {
        f.setEnabled(Control::MNU_VIEWSens, m.HasPatterns);
    } else if (menu == Control::MNU_EDIT) {
        // While training runs the link commands stay off: a link would replace the data.
        if (m.StopFlag) {
            f.setEnabled(Control::MNU_EDIT_PastePatLinked, true);
            f.setEnabled(Control::MNU_EDIT_PasteTSTLinked, true);
            f.setEnabled(Control::MNU_EDIT_CopyOutsLinked, m.HasPatterns);
            f.setEnabled(Control::MNU_EDIT_CopyTSTLinked, m.HasTest);
        }
    } else if (menu == Control::MNU_FILE) {
        f.setEnabled(Control::MNU_FILE_SavePatsAs, m.PatsUnsaved && m.SetsRegenerated);
        f.setEnabled(Control::MNU_FILE_SaveTstPats, m.TestUnsaved && m.SetsRegenerated);
    }
}
