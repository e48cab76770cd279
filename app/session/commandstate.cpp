#include "session/commandstate.h"

#include <cstring>

#include "session/workbench.h"

void updateFileCommands(Workbench &wb)
{
    const NetModel &m = wb.model;
    FormState &f = wb.form;
    if (m.HasWeightFile && m.HasPatterns) {
        for (const char *item : {"MNU_FILE_OpenPat", "MNU_FILE_OpenWeight", "MNU_FILE_SaveNetAs",
                                 "MNU_FILE_SaveWeight", "MNU_FILE_SaveWeightAs"}) {
            f.setEnabled(QLatin1String(item), true);
        }
        f.setVisible(QStringLiteral("save"), true);
    } else if (m.HasWeightFile) {
        f.setEnabled(QStringLiteral("MNU_FILE_SaveWeight"), true);
    } else {
        for (const char *item :
             {"MNU_FILE_OpenPat", "MNU_FILE_OpenWeight", "MNU_FILE_SaveWeightAs"}) {
            f.setEnabled(QLatin1String(item), true);
        }
        f.setEnabled(QStringLiteral("MNU_FILE_SaveNetAs"), false);
        f.setEnabled(QStringLiteral("MNU_FILE_SaveWeight"), false);
        f.setVisible(QStringLiteral("save"), false);
    }
    f.setEnabled(QStringLiteral("MNU_FILE_SaveNet"), m.HasNetFile);
    f.setEnabled(QStringLiteral("MNU_DATA_Norm"), m.HasPatterns);
}

void updateTrainCommands(Workbench &wb)
{
    const NetModel &m = wb.model;
    FormState &f = wb.form;
    if (m.HasPatterns) {
        for (const char *key : {"train", "runnet", "plotnet", "plotweights"}) {
            f.setEnabled(QLatin1String(key), true);
        }
    } else {
        for (const char *key : {"train", "stop", "runnet", "runtest", "plotnet", "plotweights"}) {
            f.setEnabled(QLatin1String(key), false);
        }
    }
    f.setEnabled(QStringLiteral("runtest"), m.HasTest && m.HasPatterns);
}

void updateCommands(Workbench &wb)
{
    updateFileCommands(wb);
    updateTrainCommands(wb);
}

void updateMenuOnOpen(Workbench &wb, const char *menu)
{
    const NetModel &m = wb.model;
    FormState &f = wb.form;
    if (std::strcmp(menu, "MNU_DATA") == 0) {
        f.setEnabled(QStringLiteral("MNU_DATA_CreateTest"), m.NumPats > 0);
    } else if (std::strcmp(menu, "MNU_VIEW") == 0) {
        f.setEnabled(QStringLiteral("MNU_VIEWSens"), m.HasPatterns);
    } else if (std::strcmp(menu, "MNU_FILE") == 0) {
        f.setEnabled(QStringLiteral("MNU_FILE_SavePatsAs"), m.PatsUnsaved && m.SetsRegenerated);
        f.setEnabled(QStringLiteral("MNU_FILE_SaveTstPats"), m.TestUnsaved && m.SetsRegenerated);
    }
}
