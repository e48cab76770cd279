#pragma once

#include <cstdint>
#include <vector>

#include <QString>

#include "model/colmajor.h"
#include "model/fileoutcome.h"
#include "model/result.h"

struct NetModel;
struct Workbench;

// The weight file's text for the network as built: the number of weights, then for each layer
// l = 2..NumLayers its number and one line per node j with Weights(l, i, j) for every input i,
// the bias last. Each weight is laid out by "###0.000000" right-aligned in 11 columns and
// followed by one blank (a wider value keeps all its digits; NaN and infinities are written as
// the words "NaN", "Inf", "-Inf"); counts and layer numbers are printed with their blanks.
QString formatWeightText(const NetModel &model);

// The weights of a weight file's text in file order, for layerSizes(1..numLayers): the count
// first (it must equal that network's number of weights, else the message is "Number of
// weights do not agree with net size ! ! !"), the layer numbers skipped, then every weight as
// list input. A value that cannot be read as a single (a word such as "NaN", a number beyond
// the single range, the end of the text) refuses the whole file with "Error in Weight file",
// a line feed, a carriage return, "Error: " and the reason.
Result<std::vector<float>>
parseWeightText(const QString &text, const Array1<int16_t> &layerSizes, int numLayers);

// "Save Weights" (saveAs false: to fileName) and "Save Weights As" (saveAs true: the save
// dialog names the file, which then becomes the weight file of the network). WeightsChanged is
// cleared on every way out, a cancelled dialog included, except a write that failed: that is
// reported and leaves the model as it was.
FileResult saveWeights(Workbench &wb, bool saveAs, const QString &fileName = QString());

// "Open Weights..." (ask) or a load without dialog (fileName through the local-name rule, a
// relative name taken from baseDir). The weights change only when the whole file was read;
// the weight label, HasWeightFile and BTN_EditWgt follow success or failure (a cancel leaves
// them), then the training memory is cleared and the commands refreshed in every case.
FileResult loadWeights(Workbench &wb,
                       bool ask,
                       const QString &fileName = QString(),
                       const QString &baseDir = QString());
