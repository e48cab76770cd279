#pragma once

#include <optional>

#include <QString>

#include "dataprep/csvimport.h"

struct Workbench;

// The open dialog of "Import CSV...": the CSV file's path and text, or nothing when the user
// cancelled or the file could not be read (the user has been told).
struct CsvSource
{
    QString path;
    QString text;
};

std::optional<CsvSource> askCsvFile(Workbench &wb);

// The targets a class output takes in the choice "the output function's range": the low and high
// output of the output layer's neuron function.
std::pair<float, float> outputFunctionRange(const Workbench &wb);

// "Import CSV..." after the preview dialog: imports the table with the choice, asks where the
// pattern file goes (the test file and the column names go beside it), writes them, fits the
// network's input and output layers to the data when they differ (asking before loaded data are
// dropped), and loads the files as "Open Patterns..." and "Open Test..." do. Every refusal is
// shown. Returns whether the data were loaded.
bool importCsv(Workbench &wb,
               const QString &csvPath,
               const CsvTable &table,
               const CsvImportChoice &choice);

// Makes the input and output layers nin and nout nodes wide, as choosing each in the layer list
// and pressing "Change" does (the question about dropping loaded data included). Returns
// whether the network has that shape now.
bool fitNetworkToData(Workbench &wb, int nin, int nout);
