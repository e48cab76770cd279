#pragma once

#include <QString>
#include <QStringList>

#include "files/fileoutcome.h"
#include "model/colmajor.h"
#include "model/columnnames.h"
#include "model/result.h"

struct Workbench;

// A set as CSV: a header of the column names (inputs, then outputs as ColumnNames::outputLabel
// gives them), then one row per pattern; comma-separated, "." as the point, each
// number in the shortest form that reads back as the same single, names quoted where they need it; CRLF line ends.
QString formatCsvSet(const ColumnNames &names, const Array2 &in, const Array2 &out, int count);

// The training set and, when there is one, the test set in data units as CSV files
// base + "-train.csv" and base + "-test.csv" (base defaults to the network file without its
// extension), written together. Returns the files written, or why nothing was.
Result<QStringList> exportDataCsv(Workbench &wb, QString base = QString());

// "Export Data as CSV...": asks for the file name (the save dialog "Export Data as CSV"; "x.csv"
// gives x-train.csv and x-test.csv) and writes the sets. Refusals and failures are shown.
FileResult exportDataCsvCommand(Workbench &wb);
