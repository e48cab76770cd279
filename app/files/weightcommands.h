#pragma once

#include <QString>

#include "files/fileoutcome.h"

struct Workbench;

// "Save Weights" (saveAs false: to fileName) and "Save Weights As" (saveAs true: the save
// dialog, opened on initialName, names the file, which then becomes the weight file of the
// network). WeightsChanged is cleared on every way out, a cancelled dialog included, except a
// write that failed: that is reported and leaves the model as it was.
FileResult saveWeights(Workbench &wb,
                       bool saveAs,
                       const QString &fileName = QString(),
                       const QString &initialName = QStringLiteral("*.wgt"));

// "Open Weights..." (ask) or a load without dialog (fileName through the local-name rule, a
// relative name taken from baseDir). The weights change only when the whole file was read;
// the weight label, HasWeightFile and BTN_EditWgt follow success or failure (a cancel leaves
// them), then the training memory is cleared and the commands refreshed in every case.
FileResult loadWeights(Workbench &wb,
                       bool ask,
                       const QString &fileName = QString(),
                       const QString &baseDir = QString());
