#include "model/patternfile.h"

#include <cfloat>
#include <cmath>

#include "model/listinput.h"
#include "model/numberformat.h"

namespace {

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

bool blankRow(QStringView row)
{
    for (QChar c : row) {
        if (!isBlank(c)) {
            return false;
        }
    }
    return true;
}

} // namespace

void forEachRow(QStringView text, const std::function<bool(QStringView)> &take)
{
    qsizetype pos = 0;
    while (pos < text.size()) {
        qsizetype end = pos;
        while (end < text.size() && text[end] != u'\r' && text[end] != u'\n') {
            ++end;
        }
        const QStringView row = text.mid(pos, end - pos);
        if (end + 1 < text.size() && text[end] == u'\r' && text[end + 1] == u'\n') {
            pos = end + 2;
        } else {
            pos = end + 1;
        }
        if (!blankRow(row) && !take(row)) {
            return;
        }
    }
}

ParsedPatterns
parsePatternText(const QString &text, int nin, int nout, const std::function<void(int)> &progress)
{
    ParsedPatterns r;
    const auto malformed = [&r](const QString &description) {
        r.problem = ParsedPatterns::Problem::Malformed;
        r.description = description;
        return r;
    };
    ListReader reader(text);
    if (reader.atEnd()) {
        return malformed(QStringLiteral("the file is empty"));
    }
    double header[3] = {0, 0, 0};
    for (double &value : header) {
        if (reader.atEnd()) {
            return malformed(QStringLiteral(
                    "the header must give the number of patterns, inputs and outputs"));
        }
        if (!reader.readDouble(value)) {
            return malformed(QStringLiteral("a header value on line %1 is %2")
                                     .arg(reader.line())
                                     .arg(reader.lastWasOutOfRange()
                                                  ? QStringLiteral("out of range")
                                                  : QStringLiteral("not a number")));
        }
        value = roundHalfEven(value);
    }
    r.fileInputs = header[1];
    r.fileOutputs = header[2];
    if (header[1] != nin || header[2] != nout) {
        r.problem = ParsedPatterns::Problem::SizeMismatch;
        return r;
    }
    const double count = header[0];
    if (!(count >= 1 && count <= MaxSetPatterns)) {
        return malformed(QStringLiteral("the header announces %1 patterns; a file holds 1 to %2")
                                 .arg(generalNumber(count))
                                 .arg(MaxSetPatterns));
    }
    const int patterns = static_cast<int>(count);
    // Every value takes at least a digit and a separator: a shorter text cannot hold them all,
    // and is refused before anything is allocated for it.
    const qint64 values = qint64(patterns) * (nin + nout);
    if (text.size() < 2 * values) {
        return malformed(QStringLiteral("the header announces %1 patterns of %2 values, more "
                                        "than the file holds")
                                 .arg(patterns)
                                 .arg(nin + nout));
    }
    PatternSet &set = r.set;
    set.in.allocate(patterns, nin);
    set.out.allocate(patterns, nout);
    for (int p = 1; p <= patterns; ++p) {
        for (int v = 1; v <= nin + nout; ++v) {
            if (reader.atEnd()) {
                r.set = PatternSet {};
                return malformed(QStringLiteral("the file holds only %1 of the %2 patterns its "
                                                "header announces")
                                         .arg(p - 1)
                                         .arg(patterns));
            }
            float &target = v <= nin ? set.in(p, v) : set.out(p, v - nin);
            if (!reader.readSingle(target)) {
                r.set = PatternSet {};
                return malformed(QStringLiteral("value %1 of pattern %2 (line %3) %4")
                                         .arg(v)
                                         .arg(p)
                                         .arg(reader.line())
                                         .arg(notASingle(reader)));
            }
        }
        if (progress && p % PatternProgressStep == 0) {
            progress(p);
        }
    }
    set.count = static_cast<int16_t>(patterns);
    if (progress) {
        progress(patterns);
    }
    return r;
}

Result<QString> formatPatternText(int count, const Array2 &in, const Array2 &out)
{
    const int rows = std::min({count, in.rows(), out.rows()});
    QString text = PrintLine()
                           .number(rows)
                           .text(u"  ")
                           .number(in.cols())
                           .text(u" ")
                           .number(out.cols())
                           .str();
    for (int p = 1; p <= rows; ++p) {
        PrintLine line;
        for (int v = 1; v <= in.cols() + out.cols(); ++v) {
            const float value = v <= in.cols() ? in(p, v) : out(p, v - in.cols());
            if (!std::isfinite(value)) {
                return LoadError {0,
                                  QStringLiteral("value %1 of pattern %2 is %3")
                                          .arg(v)
                                          .arg(p)
                                          .arg(formatNumber(value, u"0"))};
            }
            line.number(value).text(u" ");
        }
        text += line.str();
    }
    return text;
}

int splitFields(QStringView line, FieldBuf &fields)
{
    int count = 0;
    qsizetype pos = 0;
    while (pos < line.size()) {
        while (pos < line.size() && isBlank(line[pos])) {
            ++pos;
        }
        if (pos >= line.size()) {
            break;
        }
        const qsizetype start = pos;
        while (pos < line.size() && !isBlank(line[pos])) {
            ++pos;
        }
        if (count < static_cast<int>(fields.size())) {
            const double value = leadingNumber(line.mid(start, pos - start));
            // Beyond the single range is no single: it reads as 0 like any non-number.
            fields[static_cast<std::size_t>(count)] =
                    std::fabs(value) <= FLT_MAX ? static_cast<float>(value) : 0.0f;
        }
        ++count;
    }
    return count;
}

RowCount countRows(QStringView text, int fieldsPerRow)
{
    RowCount r;
    FieldBuf fields {};
    forEachRow(text, [&](QStringView row) {
        if (splitFields(row, fields) != fieldsPerRow) {
            r.bad = true;
            return false;
        }
        ++r.rows;
        return true;
    });
    return r;
}
