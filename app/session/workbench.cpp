#include "session/workbench.h"

#include "model/numberformat.h"
#include "session/commandstate.h"
#include "session/desktopport.h"

namespace {

void setFileLabels(FormState &f)
{
    for (const char *label : {"LBL_DataFile", "LBL_TestFile", "LBL_WeightFile"}) {
        f.setText(QLatin1String(label), noFileCaption());
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
    f.setText(QStringLiteral("TXT_Eta"), generalNumber(m.Eta));
    f.setText(QStringLiteral("TXT_Alpha"), generalNumber(m.Alpha));
    f.setText(QStringLiteral("TXT_Pnoise"), generalNumber(m.InputNoise));
    f.setText(QStringLiteral("TXT_Wnoise"), generalNumber(m.WeightNoise));
    f.setText(QStringLiteral("TXT_Temp"), generalNumber(m.Temp));
    f.setText(QStringLiteral("TXT_epocs"), QString::number(m.EpochsPerCall));
    f.setText(QStringLiteral("TXT_PatClip"), generalNumber(m.PatClip));
    f.setText(QStringLiteral("TXT_TargetErr"), generalNumber(m.TargetErr));
    f.setText(QStringLiteral("TXT_minW"), generalNumber(m.MinWeight));
    f.setText(QStringLiteral("TXT_maxW"), generalNumber(m.MaxWeight));
    f.setChecked(QStringLiteral("CHK_RND"), m.RandomSampling != 0);
    f.setChecked(QStringLiteral("CHK_AutoLearn"), m.LearnAdapt.AutoOn != 0.0f);
    f.setText(QStringLiteral("TXT_Title"), m.NetTitle);
}

void showLayers(Workbench &wb)
{
    const NetModel &m = wb.model;
    FormState &f = wb.form;
    f.setText(QStringLiteral("PNL_Layers"), QString::number(m.NumLayers));
    QStringList sizes;
    for (int l = 1; l <= m.NumLayers; ++l) {
        sizes.append(QString::number(m.LayerSize(l)));
    }
    f.setItems(QStringLiteral("CMB_LayerSize"), sizes);
    f.setCurrentIndex(QStringLiteral("CMB_LayerSize"), m.CurLayer);
    f.setText(QStringLiteral("CMB_LayerSize"), sizes.value(m.CurLayer));
    f.setText(QStringLiteral("PNL_Lindex"), QString::number(m.CurLayer + 1));
    QStringList names;
    for (const QString &n : neuronFunctionNames()) {
        names.append(n);
    }
    f.setItems(QStringLiteral("CMB_idxfn"), names);
    f.setCurrentIndex(QStringLiteral("CMB_idxfn"), m.NeuronFunc(m.CurLayer + 1) - 1);
    f.setEnabled(QStringLiteral("CMB_idxfn"), m.CurLayer > 0);
}

void resetModel(Workbench &wb)
{
    // 1. Only the main window and the frame stay open.
    wb.desktop->closeSatelliteWindows();
    NetModel &m = wb.model;
    FormState &f = wb.form;

    // 2-4, 6-8 on the model's own fields.
    resetModelFields(m);
    clearRmsHistory(wb.rmsHistory);

    // 3. The boxes show the defaults.
    showParameters(wb);
    f.setEnabled(QStringLiteral("TXT_EpocLen"), false);
    f.setText(QStringLiteral("TXT_EpocLen"), QStringLiteral("1"));
    setFileLabels(f);
    for (const char *label : {"LBL_Error", "LBL_Change", "LBL_iter", "LBL_GoodPats"}) {
        f.setText(QLatin1String(label), QStringLiteral("0"));
    }

    // 4. The default layer list, first layer selected.
    showLayers(wb);

    // 5. Frames enabled, no network file, training tools off.
    for (const char *frame : {"FRA_NetSize", "FRA_LearnPar", "FRA_EpocPar", "FRA_Results"}) {
        f.setEnabled(QLatin1String(frame), true);
    }
    for (const char *key : {"train", "stop", "runnet", "runtest", "plotweights", "plotnet"}) {
        f.setEnabled(QLatin1String(key), false);
    }

    // 6. No data.
    f.setText(QStringLiteral("LBL_Npts"), QStringLiteral("0"));
    f.setText(QStringLiteral("LBL_NptsTST"), QStringLiteral("0"));
    for (const char *button : {"BTN_EditPat", "BTN_EditTst", "BTN_EditWgt"}) {
        f.setEnabled(QLatin1String(button), false);
    }

    // 9. Menus, links, learning adaptation, title, caption.
    updateCommands(wb);
    f.setChecked(QStringLiteral("CHK_AutoLearn"), false);
    f.setText(QStringLiteral("TXT_Title"), m.NetTitle);
    wb.desktop->setFrameCaption(QString());
}

void readEditorSetting(Workbench &wb)
{
    wb.model.EditorCommand = wb.settings.editor();
}
