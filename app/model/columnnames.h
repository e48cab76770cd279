#pragma once

#include <optional>

#include <QList>
#include <QString>
#include <QStringList>

#include "model/result.h"

// What the columns of a pattern file stand for, kept in a small text file beside it (the
// pattern file's base name with ".classes"), so listings and exports can show names instead of
// numbers. The file, UTF-8 with CRLF line ends:
//
//   Axona columns 1
//   input<TAB>sepal_length
//   ...
//   output<TAB>species<TAB>setosa
//   output<TAB>species<TAB>versicolor
//
// One line per column of the pattern file, inputs first, in order. An output made from a class
// column carries the class it stands for (1 for that class, 0 or the chosen low value for the
// others); a plain output has no third field. Lines starting with "#" and empty lines are
// ignored. Tabs and line breaks inside names are written as blanks.
struct ColumnNames
{
    struct Output
    {
        QString column;
        // The class this output stands for, empty for a plain numeric output.
        QString className;
    };

    QStringList inputs;
    QList<Output> outputs;

    // "species=setosa" for a class output, the column's name otherwise.
    QString outputLabel(int k) const;
    // The classes of the outputs, in output order, empty when no output is a class.
    QStringList classes() const;
};

// Names "in1".."inN" and "out1".."outM", for data that came without any.
ColumnNames defaultColumnNames(int inputs, int outputs);

// The side file that belongs to a pattern or test file: same folder and base name, ".classes".
QString columnNamesPath(const QString &patternFile);

QString formatColumnNames(const ColumnNames &names);

Result<ColumnNames> parseColumnNames(const QString &text);

// The names beside patternFile when that file exists, reads and fits a network of the given
// input and output counts; nothing otherwise.
std::optional<ColumnNames> readColumnNames(const QString &patternFile, int inputs, int outputs);
