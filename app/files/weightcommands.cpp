#include "files/weightcommands.h"

#include "files/savesafety.h"
#include "model/netmodel.h"
#include "model/settings.h"
#include "model/textfile.h"
#include "model/weightfile.h"
#include "session/commandstate.h"
#include "session/controls.h"
#include "session/uiport.h"
#include "session/workbench.h"
#include "training/construction.h"

FileResult
saveWeights(Workbench &wb, bool saveAs, const QString &fileName, const QString &initialName)
{
    NetModel &m = wb.model;
    QString path = fileName;
    if (saveAs) {
        const auto chosen = wb.ui.saveFileName({QStringLiteral("Save Weights As"),
                                                QStringLiteral("Weight Files (*.wgt)"),
                                                QStringLiteral("wgt"), initialName});
        if (!chosen || chosen->isEmpty()) {
            m.WeightsChanged = false;
            return {FileOutcome::Cancelled, QString()};
        }
        path = *chosen;
    }
    if (path.isEmpty()) {
        m.WeightsChanged = false;
        return {FileOutcome::Cancelled, QString()};
    }
    if (refuseRoleClash(wb, path, SaveKind::Weights)) {
        return {FileOutcome::Failed, QString()};
    }
    BusyGuard busy(wb.ui);
    showWeightStats(wb);
    const Status written = writeTextFile(path, formatWeightText(m));
    if (!written) {
        wb.ui.critical(written.error().message);
        return {FileOutcome::Failed, QString()};
    }
    wb.ui.filesSaved({path});
    if (saveAs) {
        wb.form.setText(Control::LBL_WeightFile, path);
        m.WeightFileName = path;
        m.HasWeightFile = true;
        wb.form.setEnabled(Control::BTN_EditWgt, true);
        updateFileCommands(wb);
    }
    m.WeightsChanged = false;
    return {FileOutcome::Done, path};
}

FileResult loadWeights(Workbench &wb, bool ask, const QString &fileName, const QString &baseDir)
{
    NetModel &m = wb.model;
    FormState &f = wb.form;
    FileResult result {FileOutcome::Failed, QString()};
    QString path = fileName;
    if (ask) {
        const auto chosen = wb.ui.openFileName({QStringLiteral("Open Weight File"),
                                                QStringLiteral("Weight Files (*.wgt)"),
                                                QStringLiteral("wgt"), QStringLiteral("*.wgt")});
        if (!chosen || chosen->isEmpty()) {
            result.outcome = FileOutcome::Cancelled;
        } else {
            path = *chosen;
        }
    } else {
        path = resolveStoredName(wb.settings, fileName, LocalNameUse::Others, baseDir);
    }
    if (!result.cancelled()) {
        BusyGuard busy(wb.ui);
        const Result<QString> text = readTextFile(path);
        if (!text) {
            wb.ui.critical(weightFileError(text.error().message).message);
        } else {
            const auto weights = parseWeightText(text.value(), m.BuiltLayerSize, m.BuiltNumLayers);
            if (!weights) {
                wb.ui.critical(weights.error().message);
            } else {
                auto w = weights.value().begin();
                const Array1<int16_t> &nn = m.BuiltLayerSize;
                for (int l = 2; l <= m.BuiltNumLayers; ++l) {
                    for (int j = 1; j <= nn(l); ++j) {
                        for (int i = 1; i <= nn(l - 1) + 1; ++i) {
                            m.Weights(l, i, j) = *w++;
                        }
                    }
                }
                showWeightStats(wb);
                result = {FileOutcome::Done, path};
            }
        }
    }
    if (result.done()) {
        f.setText(Control::LBL_WeightFile, path);
        m.WeightFileName = path;
        m.HasWeightFile = true;
        f.setEnabled(Control::BTN_EditWgt, true);
    } else if (result.failed()) {
        f.setText(Control::LBL_WeightFile, noFileCaption());
        m.HasWeightFile = false;
        f.setEnabled(Control::BTN_EditWgt, false);
    }
    clearTrainingMemory(wb);
    updateCommands(wb);
    if (result.done()) {
        emit wb.events.weightsChanged();
    }
    return result;
}
