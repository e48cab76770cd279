#include "session/commandstate.h"

#include "session/controls.h"
#include "session/workbench.h"

namespace {

// What a training run holds back: everything that would change the network's shape, weights or
// data while the engine works on its arrays, whether reached from a menu, the toolbar or a panel.
constexpr QLatin1String RunLocked[] = {
        Control::MNU_FILE,
        Control::MNU_FILE_NewNet,
        Control::MNU_FILE_OpenNet,
        Control::MNU_FILE_SaveNet,
        Control::MNU_FILE_SaveNetAs,
        Control::MNU_FILE_OpenPat,
        Control::MNU_FILE_OpenTest,
        Control::MNU_FILE_OpenWeight,
        Control::newNet,
        Control::open,
        Control::save,
        Control::train,
        Control::MNU_DATA_Norm,
        Control::MNU_DATA_CreateTest,
        Control::MNU_DATA_ImportCsv,
        Control::BTN_Change,
        Control::BTN_Randomize,
        Control::SPN_Layers,
        Control::CMB_LayerSize,
        Control::LBL_DataFile,
        Control::LBL_TestFile,
        Control::LBL_WeightFile,
        Control::TXT_EpocLen,
        Control::CHK_ShowTestErr,
        // Read as a run starts; Suggest could switch the training routine under the run.
        Control::CHK_KeepBest,
        Control::BTN_Suggest,
        Control::MNU_EDIT_PastePatLinked,
        Control::MNU_EDIT_PasteTSTLinked,
        Control::MNU_EDIT_CopyOutsLinked,
        Control::MNU_EDIT_CopyTSTLinked,
};

// Keeps the run's locks on whatever a refresh enabled meanwhile.
void applyRunLocks(Workbench &wb)
{
    if (!wb.model.Training) {
        return;
    }
    for (QLatin1String c : RunLocked) {
        wb.form.setEnabled(c, false);
    }
}

} // namespace

void updateFileCommands(Workbench &wb)
{
    const NetModel &m = wb.model;
    FormState &f = wb.form;
    for (QLatin1String item :
         {Control::MNU_FILE_OpenPat, Control::MNU_FILE_OpenWeight, Control::MNU_FILE_SaveNet,
          Control::MNU_FILE_SaveNetAs, Control::MNU_FILE_SaveWeightAs, Control::save}) {
        f.setEnabled(item, true);
    }
    f.setVisible(Control::save, true);
    f.setEnabled(Control::MNU_FILE_SaveWeight, m.HasWeightFile);
    f.setEnabled(Control::MNU_DATA_Norm, m.HasPatterns);
    applyRunLocks(wb);
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
    if (m.Training) {
        f.setEnabled(Control::stop, !m.StopFlag);
    }
    applyRunLocks(wb);
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
        f.setEnabled(Control::MNU_VIEWEval, m.HasPatterns);
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
    applyRunLocks(wb);
}

void beginRunCommands(Workbench &wb)
{
    FormState &f = wb.form;
    wb.model.Training = true;
    applyRunLocks(wb);
    for (QLatin1String key :
         {Control::stop, Control::runnet, Control::plotnet, Control::plotweights}) {
        f.setEnabled(key, true);
    }
    f.setEnabled(Control::runtest, wb.model.HasTest);
}

void endRunCommands(Workbench &wb)
{
    const NetModel &m = wb.model;
    FormState &f = wb.form;
    wb.model.Training = false;
    for (QLatin1String c : RunLocked) {
        f.setEnabled(c, true);
    }
    f.setEnabled(Control::stop, false);
    f.setEnabled(Control::MNU_DATA_CreateTest, m.NumPats > 0);
    f.setEnabled(Control::TXT_EpocLen, m.HasPatterns);
    f.setEnabled(Control::CHK_ShowTestErr, m.HasTest);
    // "runnet", "runtest", "plotnet" and "plotweights" stay as the run left them.
    updateFileCommands(wb);
}
