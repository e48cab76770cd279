#pragma once

#include <cstdint>

#include <QList>
#include <QString>

#include "dataprep/csvtable.h"
#include "model/columnnames.h"
#include "model/patternfile.h"
#include "model/result.h"

// Turning a CSV table into a pattern set (and a test set), the same for "axona import" and the
// "Import CSV..." dialog.

// What a column becomes: an input, an output, one output per class of its text values, or
// nothing.
enum class ColumnRole { Input, Output, Class, Skip };

struct CsvImportChoice
{
    // One role per column of the table.
    QList<ColumnRole> roles;
    // The target of a class output for the other classes and for its own class.
    float classLow = 0.0f;
    float classHigh = 1.0f;
    // Leave out rows with a missing or non-numeric cell instead of refusing the file.
    bool dropMissing = false;
    // Percent of the rows that go into the test set, chosen at random from seed; 0 for none.
    double testPercent = 0.0;
    std::uint32_t seed = 0;
};

struct CsvImport
{
    PatternSet train;
    // count 0 when no test set was asked for.
    PatternSet test;
    ColumnNames names;
    // Rows left out for a missing or non-numeric cell.
    int dropped = 0;
};

// The roles when the user names none: the last column is the output (a class column when one of
// its cells is text), every other column an input.
QList<ColumnRole> defaultRoles(const CsvTable &table);

// Whether column c holds a cell that is neither a number nor missing.
bool columnHasText(const CsvTable &table, int c);

// The columns a list names, 0-based, in the list's order: column names, 1-based numbers and
// ranges of numbers ("1-4"), separated by commas; a name is matched before a number.
Result<QList<int>> parseColumnList(const CsvTable &table, const QString &list);

// The roles the command line's lists give (each empty when not given): the named inputs (all
// columns not named otherwise when none), outputs and class columns; without outputs and class
// columns, the last column as defaultRoles makes it. Refuses a column named twice.
Result<QList<ColumnRole>> rolesFromLists(const CsvTable &table,
                                         const QString &inputs,
                                         const QString &outputs,
                                         const QString &classes);

// The sets the choice makes of the table: inputs in column order, then outputs in column order,
// a class column giving one output per class in the sorted order of its names (numerically when
// every name is a number). Refuses, naming row, column and cell, a missing or non-numeric cell
// unless dropMissing; refuses a table without inputs or outputs, a set over the size limits, and
// a test percentage that leaves either set empty.
Result<CsvImport> importCsvTable(const CsvTable &table, const CsvImportChoice &choice);

// The files an import writes for the pattern file path: the test file (same base name, ".tst")
// when withTest, and the column names beside them.
struct ImportFiles
{
    QString patterns;
    QString test;
    QString names;
};

ImportFiles importFiles(const QString &patternFile, bool withTest);

// Writes the pattern file, the test file when the import has a test set, and the column names,
// each in full or, on failure, none of them (the old files stay).
Status writeImport(const CsvImport &import, const ImportFiles &files);

// One line about what an import made, e.g. "120 training and 30 test patterns, 4 inputs,
// 3 outputs (species: setosa, versicolor, virginica)".
QString describeImport(const CsvImport &import);
