#include "session/workbench.h"

#include "model/numberformat.h"
#include "session/commandstate.h"
#include "session/controls.h"
#include "session/desktopport.h"
#include "session/linkport.h"
#include "session/unsavedwork.h"

namespace {

void setFileLabels(FormState &f)
{
    for (QLatin1String label :
         {Control::LBL_DataFile, Control::LBL_TestFile, Control::LBL_WeightFile}) {
        f.setText(label, noFileCaption());
    }
}

} // namespace

Workbench::Workbench(UiPort &ui, EngineApi &engine, DesktopPort &desktop)
    : ui(ui)
    , engine(engine)
    , desktop(&desktop)
{
    readEditorSetting(*this);
}

void showParameters(Workbench &wb)
{
    const NetModel &m = wb.model;
    FormState &f = wb.form;
    f.setText(Control::TXT_Eta, generalNumber(m.Eta));
    f.setText(Control::TXT_Alpha, generalNumber(m.Alpha));
    f.setText(Control::TXT_Pnoise, generalNumber(m.InputNoise));
    f.setText(Control::TXT_Wnoise, generalNumber(m.WeightNoise));
    f.setText(Control::TXT_Temp, generalNumber(m.Temp));
    f.setText(Control::TXT_epocs, QString::number(m.EpochsPerCall));
    f.setText(Control::TXT_PatClip, generalNumber(m.PatClip));
    f.setText(Control::TXT_TargetErr, generalNumber(m.TargetErr));
    f.setText(Control::TXT_minW, generalNumber(m.MinWeight));
    f.setText(Control::TXT_maxW, generalNumber(m.MaxWeight));
    f.setChecked(Control::CHK_RND, m.RandomSampling != 0);
    f.setChecked(Control::CHK_AutoLearn, m.LearnAdapt.AutoOn != 0.0f);
    f.setText(Control::TXT_Title, m.NetTitle);
}

void showLayers(Workbench &wb)
{
    const NetModel &m = wb.model;
    FormState &f = wb.form;
    f.setText(Control::PNL_Layers, QString::number(m.NumLayers));
    QStringList sizes;
    for (int l = 1; l <= m.NumLayers; ++l) {
        sizes.append(QString::number(m.LayerSize(l)));
    }
    f.setItems(Control::CMB_LayerSize, sizes);
    f.setCurrentIndex(Control::CMB_LayerSize, m.CurLayer);
    f.setText(Control::CMB_LayerSize, sizes.value(m.CurLayer));
    f.setText(Control::PNL_Lindex, QString::number(m.CurLayer + 1));
    QStringList names;
    for (const QString &n : neuronFunctionNames()) {
        names.append(n);
    }
    f.setItems(Control::CMB_idxfn, names);
    f.setCurrentIndex(Control::CMB_idxfn, m.NeuronFunc(m.CurLayer + 1) - 1);
    f.setEnabled(Control::CMB_idxfn, m.CurLayer > 0);
}

void resetModel(Workbench &wb)
{
    // 1. Only the main window and the frame stay open.
    wb.desktop->closeSatelliteWindows();
    resetModelState(wb);
}

void resetModelState(Workbench &wb)
{
    NetModel &m = wb.model;
    FormState &f = wb.form;

    // 2-4, 6-8 on the model's own fields.
    resetModelFields(m);
    clearRmsHistory(wb.rmsHistory);

    // 3. The boxes show the defaults.
    showParameters(wb);
    f.setEnabled(Control::TXT_EpocLen, false);
    f.setText(Control::TXT_EpocLen, QStringLiteral("1"));
    setFileLabels(f);
    for (QLatin1String label :
         {Control::LBL_Error, Control::LBL_Change, Control::LBL_iter, Control::LBL_GoodPats}) {
        f.setText(label, QStringLiteral("0"));
    }

    // 4. The default layer list, first layer selected.
    showLayers(wb);

    // 5. Frames enabled, no network file, training tools off.
    for (QLatin1String frame : {Control::FRA_NetSize, Control::FRA_LearnPar, Control::FRA_EpocPar,
                                Control::FRA_Results}) {
        f.setEnabled(frame, true);
    }
    for (QLatin1String key : {Control::train, Control::stop, Control::runnet, Control::runtest,
                              Control::plotweights, Control::plotnet}) {
        f.setEnabled(key, false);
    }

    // 6. No data.
    f.setText(Control::LBL_Npts, QStringLiteral("0"));
    f.setText(Control::LBL_NptsTST, QStringLiteral("0"));
    for (QLatin1String button :
         {Control::BTN_EditPat, Control::BTN_EditTst, Control::BTN_EditWgt}) {
        f.setEnabled(button, false);
    }

    // 9. Menus, links, learning adaptation, title, caption.
    updateCommands(wb);
    f.setText(Control::TXT_PAT, QString());
    f.setText(Control::TXT_TST, QString());
    f.setText(Control::TXT_PATOUTS, QStringLiteral("Update Link"));
    f.setText(Control::TXT_TSTOUTS, QStringLiteral("Update Link"));
    if (wb.links) {
        wb.links->reset();
    }
    f.setChecked(Control::CHK_AutoLearn, false);
    f.setText(Control::TXT_Title, m.NetTitle);
    wb.desktop->setFrameCaption(QString());
    markSaved(wb);
}

void readEditorSetting(Workbench &wb)
{
    wb.model.EditorCommand = wb.settings.editor();
}
