#pragma once

#include <array>
#include <cstdint>
#include <functional>

#include <QString>
#include <QStringView>

#include "model/colmajor.h"
#include "model/result.h"

// Running counts are shown (and the window allowed to paint) once per this many patterns.
inline constexpr int PatternProgressStep = 256;

// Largest pattern or test set a file or a paste may bring: counts are 16-bit. (The About box
// states 8192; larger sets load, as they always did.)
inline constexpr int MaxSetPatterns = 32767;

// A data set: count patterns of inputs (count x NIn) and targets (count x NOut).
struct PatternSet
{
    int16_t count = 0;
    Array2 in;
    Array2 out;
};

// A pattern or test text read in full, or why it was refused.
struct ParsedPatterns
{
    enum class Problem { None, SizeMismatch, Malformed };

    Problem problem = Problem::None;
    // The header's input and output counts (rounded), for the size message.
    double fileInputs = 0;
    double fileOutputs = 0;
    // What is wrong with a malformed text, in a few words.
    QString description;
    PatternSet set;

    bool ok() const { return problem == Problem::None; }
};

// Reads a pattern file's text for a network of nin inputs and nout outputs: the header P, NIn,
// NOut, then P records of NIn inputs and NOut targets, as list input (any layout of blanks,
// commas and line ends). Nothing is allocated before the header has been checked against the
// network and the text is long enough to hold what the header promises. progress, when given,
// gets the number of patterns read every 256 patterns and at the end.
ParsedPatterns parsePatternText(const QString &text,
                                int nin,
                                int nout,
                                const std::function<void(int)> &progress = {});

// The file text of count patterns of in and out: the header line P, two blanks, NIn, one blank,
// NOut (each printed with its sign position and a trailing blank), then one line per pattern
// with each value printed and followed by one more blank; CRLF line ends. NIn and NOut are the
// arrays' column counts. A value that is NaN or infinite gives no text but the reason, "value v
// of pattern p is Inf", since the file could not be read back.
Result<QString> formatPatternText(int count, const Array2 &in, const Array2 &out);

// Fields of one pasted row, as singles.
using FieldBuf = std::array<float, 1024>;

// Splits one row at blanks and tabs into fields and returns how many it found. The first 1024
// are stored (a field's value is its leading number, 0 when it has none); further fields are
// counted, not stored, so an overlong row never passes a field-count check.
int splitFields(QStringView line, FieldBuf &fields);

// Rows of a pasted text and whether one of them has a field count other than fieldsPerRow.
// Rows end at CRLF, LF or CR; the last row needs no line end; blank rows are skipped.
struct RowCount
{
    int rows = 0;
    bool bad = false;
};

RowCount countRows(QStringView text, int fieldsPerRow);

// Calls take(row) for every non-blank row of text (rows end at CRLF, LF or CR); stops early when
// take returns false.
void forEachRow(QStringView text, const std::function<bool(QStringView)> &take);
