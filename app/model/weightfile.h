#pragma once

#include <cstdint>
#include <vector>

#include <QString>

#include "model/colmajor.h"
#include "model/result.h"

struct NetModel;

// The weight file's text for the network as built: the number of weights, then for each layer
// l = 2..NumLayers its number and one line per node j with Weights(l, i, j) for every input i,
// the bias last. Each weight is laid out by "###0.000000" right-aligned in 11 columns and
// followed by one blank (a wider value keeps all its digits); counts and layer numbers are
// printed with their blanks. A weight that is NaN or infinite (a diverged run) gives no text but
// the reason, "weight i of node j in layer l is NaN", since the file could not be read back.
Result<QString> formatWeightText(const NetModel &model);

// The weights of a weight file's text in file order, for layerSizes(1..numLayers): the count
// first (it must equal that network's number of weights, else the message is "Number of
// weights do not agree with net size ! ! !"), the layer numbers skipped, then every weight as
// list input. A value that cannot be read as a single (a word such as "NaN", a number beyond
// the single range, the end of the text) refuses the whole file with "Error in Weight file",
// a line feed, a carriage return, "Error: " and the reason ("... is not a number", "... is
// beyond the single range").
Result<std::vector<float>>
parseWeightText(const QString &text, const Array1<int16_t> &layerSizes, int numLayers);

// A weight file that cannot be used, as the message says it: "Error in Weight file", a line
// feed, a carriage return, "Error: " and the reason.
LoadError weightFileError(const QString &reason);
