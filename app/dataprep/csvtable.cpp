#include "dataprep/csvtable.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <map>
#include <string>
#include <tuple>

namespace {

// Rows looked at to find the delimiter and the header.
constexpr int SampleRows = 50;

struct Record
{
    QStringList cells;
    int number = 0;
};

struct Records
{
    QList<Record> rows;
    // Row number of a quote left open at the end of the text, 0 when none.
    int openQuoteRow = 0;
};

bool isLineEnd(QChar c)
{
    return c == u'\n' || c == u'\r';
}

// Splits text into rows of cells at delimiter; stops after limit rows (0: all). Row numbers
// count every non-blank row, so they are the rows a spreadsheet shows.
Records splitRecords(QStringView text, QChar delimiter, int limit = 0)
{
    Records out;
    const qsizetype n = text.size();
    qsizetype i = 0;
    int number = 0;
    while (i < n && (limit == 0 || out.rows.size() < limit)) {
        // A blank line holds no row.
        if (isLineEnd(text[i])) {
            ++i;
            continue;
        }
        Record record;
        record.number = ++number;
        bool rowEnded = false;
        while (!rowEnded) {
            QString cell;
            // Blanks before a field; a tab is a blank only when it does not separate fields.
            while (i < n && (text[i] == u' ' || (text[i] == u'\t' && delimiter != u'\t'))) {
                ++i;
            }
            if (i < n && text[i] == u'"') {
                ++i;
                bool closed = false;
                while (i < n) {
                    if (text[i] == u'"') {
                        if (i + 1 < n && text[i + 1] == u'"') {
                            cell += u'"';
                            i += 2;
                            continue;
                        }
                        ++i;
                        closed = true;
                        break;
                    }
                    cell += text[i++];
                }
                if (!closed) {
                    out.openQuoteRow = record.number;
                    out.rows.append(record);
                    return out;
                }
                // Text between the closing quote and the delimiter is kept, as spreadsheets do
                // with such rows; blanks there are not.
                const qsizetype rest = i;
                while (i < n && text[i] != delimiter && !isLineEnd(text[i])) {
                    ++i;
                }
                cell += text.mid(rest, i - rest).trimmed();
            } else {
                const qsizetype start = i;
                while (i < n && text[i] != delimiter && !isLineEnd(text[i])) {
                    ++i;
                }
                cell = text.mid(start, i - start).trimmed().toString();
            }
            record.cells << cell;
            if (i < n && text[i] == delimiter) {
                ++i;
            } else {
                rowEnded = true;
                if (i < n && text[i] == u'\r') {
                    ++i;
                }
                if (i < n && text[i] == u'\n') {
                    ++i;
                }
            }
        }
        out.rows.append(record);
    }
    return out;
}

bool isNumberCell(const QString &cell, bool decimalComma)
{
    return csvNumber(cell, decimalComma).has_value();
}

// How well a delimiter splits the sample: every row the same number of cells, then the number of
// cells that are numbers, then the number of columns.
struct Fit
{
    bool consistent = false;
    int numbers = 0;
    int columns = 0;

    bool operator<(const Fit &o) const
    {
        return std::tie(consistent, numbers, columns)
                < std::tie(o.consistent, o.numbers, o.columns);
    }
};

Fit fitOf(QStringView text, QChar delimiter)
{
    const Records sample = splitRecords(text, delimiter, SampleRows);
    Fit fit;
    if (sample.rows.isEmpty() || sample.openQuoteRow != 0) {
        return fit;
    }
    std::map<qsizetype, int> counts;
    for (const Record &r : sample.rows) {
        ++counts[r.cells.size()];
    }
    const auto mode = std::max_element(counts.begin(), counts.end(),
                                       [](auto a, auto b) { return a.second < b.second; });
    fit.columns = static_cast<int>(mode->first);
    fit.consistent = counts.size() == 1 && fit.columns >= 2;
    for (const Record &r : sample.rows.mid(1)) {
        for (const QString &cell : r.cells) {
            fit.numbers += isNumberCell(cell, delimiter != u',') ? 1 : 0;
        }
    }
    return fit;
}

QChar detectDelimiter(QStringView text)
{
    QChar best = u',';
    Fit bestFit = fitOf(text, best);
    for (QChar candidate : {QChar(u';'), QChar(u'\t')}) {
        const Fit fit = fitOf(text, candidate);
        if (bestFit < fit) {
            best = candidate;
            bestFit = fit;
        }
    }
    // No delimiter splits the rows evenly (a single column, or an unclosed quote): a comma, so
    // that reading reports what is wrong with the file rather than a one-column table.
    return bestFit.consistent ? best : QChar(u',');
}

// Whether the first row names the columns, from the first rows of the file.
bool detectHeader(const QList<Record> &sample, bool decimalComma)
{
    if (sample.size() < 2) {
        return false;
    }
    const QStringList &first = sample.first().cells;
    bool allText = true;
    bool allUnique = true;
    for (qsizetype c = 0; c < first.size(); ++c) {
        const QString &name = first.at(c);
        const bool text = !isMissingCell(name) && !isNumberCell(name, decimalComma);
        allText = allText && text;
        int numbers = 0;
        int values = 0;
        for (const Record &r : sample.mid(1)) {
            const QString cell = r.cells.value(c);
            if (isMissingCell(cell)) {
                continue;
            }
            ++values;
            numbers += isNumberCell(cell, decimalComma) ? 1 : 0;
            allUnique = allUnique && cell != name;
        }
        // Text over a column of numbers.
        if (text && numbers > 0 && numbers * 2 >= values) {
            return true;
        }
    }
    return allText && allUnique;
}

} // namespace

bool isMissingCell(QStringView cell)
{
    const QStringView t = cell.trimmed();
    static const QStringList markers {QStringLiteral("na"),  QStringLiteral("n/a"),
                                      QStringLiteral("nan"), QStringLiteral("null"),
                                      QStringLiteral("?"),   QStringLiteral("-")};
    return t.isEmpty() || markers.contains(t.toString(), Qt::CaseInsensitive);
}

std::optional<float> csvNumber(QStringView cell, bool decimalComma)
{
    QStringView t = cell.trimmed();
    // Longer than any number a person or a spreadsheet writes.
    if (t.isEmpty() || t.size() > 64) {
        return std::nullopt;
    }
    if (t.front() == u'+') {
        t = t.mid(1);
    }
    std::string s = t.toLatin1().toStdString();
    if (decimalComma && std::count(s.begin(), s.end(), ',') == 1 && s.find('.') == s.npos) {
        s[s.find(',')] = '.';
    }
    // from_chars takes "inf" and "nan", which no cell of data should be read as.
    if (s.empty()
        || !(std::isdigit(static_cast<unsigned char>(s.front())) || s.front() == '-'
             || s.front() == '.')) {
        return std::nullopt;
    }
    double value = 0;
    const auto [end, error] = std::from_chars(s.data(), s.data() + s.size(), value);
    if (error != std::errc() || end != s.data() + s.size() || !std::isfinite(value)
        || std::fabs(value) > std::numeric_limits<float>::max()) {
        return std::nullopt;
    }
    return static_cast<float>(value);
}

Result<CsvTable> readCsv(QStringView text, const CsvReadOptions &options)
{
    if (text.startsWith(QChar(0xFEFF))) {
        text = text.mid(1);
    }
    CsvTable table;
    table.delimiter = options.delimiter.isNull() ? detectDelimiter(text) : options.delimiter;
    table.decimalComma = table.delimiter != u',';
    Records all = splitRecords(text, table.delimiter);
    if (all.openQuoteRow != 0) {
        return LoadError {
                all.openQuoteRow,
                QStringLiteral("Row %1: a quoted field is not closed").arg(all.openQuoteRow)};
    }
    if (all.rows.isEmpty()) {
        return LoadError {0, QStringLiteral("The file holds no rows")};
    }
    table.header = options.header.value_or(
            detectHeader(all.rows.mid(0, SampleRows + 1), table.decimalComma));
    int columns = static_cast<int>(all.rows.first().cells.size());
    if (table.header) {
        table.names = all.rows.first().cells;
        all.rows.removeFirst();
    }
    for (const Record &r : all.rows) {
        if (r.cells.size() > columns) {
            if (table.header) {
                return LoadError {r.number,
                                  QStringLiteral("Row %1 has %2 cells, the header %3")
                                          .arg(r.number)
                                          .arg(r.cells.size())
                                          .arg(columns)};
            }
            columns = static_cast<int>(r.cells.size());
        }
    }
    // Rows that all end with a delimiter leave an empty last column.
    const auto lastEmpty = [&] {
        if (columns < 2 || (table.header && !table.names.value(columns - 1).isEmpty())) {
            return false;
        }
        return std::all_of(all.rows.begin(), all.rows.end(),
                           [&](const Record &r) { return r.cells.value(columns - 1).isEmpty(); });
    };
    while (lastEmpty()) {
        --columns;
    }
    table.names.resize(columns);
    for (int c = 0; c < columns; ++c) {
        if (table.names.at(c).isEmpty()) {
            table.names[c] = QStringLiteral("column %1").arg(c + 1);
        }
    }
    for (Record &r : all.rows) {
        r.cells.resize(columns);
        table.rows.append(r.cells);
        table.rowNumbers.append(r.number);
    }
    return table;
}
