#pragma once

#include <optional>

#include <QChar>
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

#include "model/result.h"

// A CSV, TSV or semicolon-separated text read into cells, as spreadsheets write them: fields
// in double quotes may hold the delimiter, line breaks and doubled quotes (""); rows end at CRLF,
// LF or CR; blank lines are skipped; blanks around an unquoted field are dropped.

// What the reader may not guess: a delimiter (a null character: find it among comma, semicolon
// and tab) and whether the first row names the columns (nothing: decide from the cells).
struct CsvReadOptions
{
    QChar delimiter;
    std::optional<bool> header;
};

struct CsvTable
{
    QChar delimiter = u',';
    bool header = false;
    // Numbers may use a decimal comma: the delimiter is not a comma.
    bool decimalComma = false;
    // One name per column: the header's cells, or "column N" (also for an empty header cell).
    QStringList names;
    // The data rows, each with exactly names.size() cells (a short row is filled with empty
    // cells).
    QList<QStringList> rows;
    // The row number of each data row as a spreadsheet counts them: the header is row 1.
    QList<int> rowNumbers;

    int columns() const { return static_cast<int>(names.size()); }
};

// Reads text (a byte-order mark at its start is skipped). Detects the delimiter as the one that
// gives every row of the first 50 the same number of cells, at least two, and the most cells
// that are numbers; the header when a first-row cell is text over a column of numbers, or every
// first-row cell is text found nowhere else in its column. Refuses an unclosed quote and a row
// with more cells than the table has columns. A last column that is empty in every row (each row
// ended by a delimiter) is dropped.
Result<CsvTable> readCsv(QStringView text, const CsvReadOptions &options = {});

// A cell that holds no value: empty, "NA", "N/A", "NaN", "null", "?" or "-" (any letter case).
bool isMissingCell(QStringView cell);

// The number in a cell: optional sign, digits with "." (or, with decimalComma, ",") as the point,
// optional exponent, blanks around it. Nothing for a missing cell, text, or a value beyond the
// range of a single.
std::optional<float> csvNumber(QStringView cell, bool decimalComma);
