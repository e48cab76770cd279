#include "dataprep/csvimport.h"

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "model/netmodel.h"
#include "model/numberformat.h"
#include "model/textfile.h"

namespace {

LoadError refused(const QString &message)
{
    return LoadError {0, message};
}

QString quotedColumn(const CsvTable &table, int c)
{
    return QStringLiteral("column %1 (\"%2\")").arg(c + 1).arg(table.names.at(c));
}

// The classes of a class column, sorted: by value when every name is a number, by text otherwise
// (letter case decides only between names that differ in nothing else).
QStringList sortedClasses(const CsvTable &table, int c)
{
    QStringList names;
    for (const QStringList &row : table.rows) {
        const QString &cell = row.at(c);
        if (!isMissingCell(cell) && !names.contains(cell)) {
            names << cell;
        }
    }
    const bool numeric = std::all_of(names.begin(), names.end(), [&](const QString &name) {
        return csvNumber(name, table.decimalComma).has_value();
    });
    std::sort(names.begin(), names.end(), [&](const QString &a, const QString &b) {
        if (numeric) {
            const float x = *csvNumber(a, table.decimalComma);
            const float y = *csvNumber(b, table.decimalComma);
            if (x != y) {
                return x < y;
            }
        }
        const int folded = a.compare(b, Qt::CaseInsensitive);
        return folded != 0 ? folded < 0 : a < b;
    });
    return names;
}

// What the row of a table gives, or why it gives nothing: the first cell that is missing or not
// a number where a number belongs.
struct RowValues
{
    std::vector<float> in;
    std::vector<float> out;
    int badColumn = -1;
};

struct Plan
{
    QList<int> inputs;

    // Per output column in column order: the table column and, for a class column, its classes.
    struct OutputColumn
    {
        int column;
        QStringList classes;
    };

    QList<OutputColumn> outputs;
    int outputCount = 0;
};

RowValues rowValues(const CsvTable &table,
                    const QStringList &row,
                    const Plan &plan,
                    const CsvImportChoice &choice)
{
    RowValues v;
    for (int c : plan.inputs) {
        const auto x = csvNumber(row.at(c), table.decimalComma);
        if (!x) {
            v.badColumn = c;
            return v;
        }
        v.in.push_back(*x);
    }
    for (const Plan::OutputColumn &o : plan.outputs) {
        const QString &cell = row.at(o.column);
        if (o.classes.isEmpty()) {
            const auto x = csvNumber(cell, table.decimalComma);
            if (!x) {
                v.badColumn = o.column;
                return v;
            }
            v.out.push_back(*x);
            continue;
        }
        if (isMissingCell(cell)) {
            v.badColumn = o.column;
            return v;
        }
        for (const QString &name : o.classes) {
            v.out.push_back(name == cell ? choice.classHigh : choice.classLow);
        }
    }
    return v;
}

PatternSet makeSet(const std::vector<RowValues> &rows, const std::vector<int> &which)
{
    PatternSet set;
    set.count = static_cast<int16_t>(which.size());
    if (which.empty()) {
        return set;
    }
    const int nin = static_cast<int>(rows.front().in.size());
    const int nout = static_cast<int>(rows.front().out.size());
    set.in.allocate(set.count, nin);
    set.out.allocate(set.count, nout);
    for (int p = 1; p <= set.count; ++p) {
        const RowValues &r = rows[static_cast<std::size_t>(which[static_cast<std::size_t>(p - 1)])];
        for (int i = 1; i <= nin; ++i) {
            set.in(p, i) = r.in[static_cast<std::size_t>(i - 1)];
        }
        for (int k = 1; k <= nout; ++k) {
            set.out(p, k) = r.out[static_cast<std::size_t>(k - 1)];
        }
    }
    return set;
}

// Which of n rows go into the test set: count of them drawn without replacement from seed, the
// draws made the same way on every platform (the standard distributions are not).
std::vector<bool> drawTestRows(int n, int count, std::uint32_t seed)
{
    std::vector<int> order(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
        order[static_cast<std::size_t>(i)] = i;
    }
    std::mt19937 generator(seed);
    for (int i = 0; i < count; ++i) {
        const auto span = static_cast<std::uint32_t>(n - i);
        const int j = i + static_cast<int>(generator() % span);
        std::swap(order[static_cast<std::size_t>(i)], order[static_cast<std::size_t>(j)]);
    }
    std::vector<bool> test(static_cast<std::size_t>(n), false);
    for (int i = 0; i < count; ++i) {
        test[static_cast<std::size_t>(order[static_cast<std::size_t>(i)])] = true;
    }
    return test;
}

} // namespace

bool columnHasText(const CsvTable &table, int c)
{
    return std::any_of(table.rows.begin(), table.rows.end(), [&](const QStringList &row) {
        return !isMissingCell(row.at(c)) && !csvNumber(row.at(c), table.decimalComma);
    });
}

QList<ColumnRole> defaultRoles(const CsvTable &table)
{
    QList<ColumnRole> roles(table.columns(), ColumnRole::Input);
    if (!roles.isEmpty()) {
        const int last = table.columns() - 1;
        roles[last] = columnHasText(table, last) ? ColumnRole::Class : ColumnRole::Output;
    }
    return roles;
}

Result<QList<int>> parseColumnList(const CsvTable &table, const QString &list)
{
    QList<int> columns;
    for (const QString &part : list.split(u',')) {
        const QString item = part.trimmed();
        const int named = static_cast<int>(table.names.indexOf(item));
        if (named >= 0) {
            columns << named;
            continue;
        }
        const QStringList ends = item.split(u'-');
        bool ok1 = false;
        bool ok2 = false;
        const int from = ends.value(0).trimmed().toInt(&ok1);
        const int to = ends.size() == 2 ? ends.value(1).trimmed().toInt(&ok2) : from;
        if (!ok1 || (ends.size() == 2 && !ok2) || ends.size() > 2) {
            return refused(QStringLiteral("No column is named \"%1\"").arg(item));
        }
        if (from < 1 || to > table.columns() || from > to) {
            return refused(
                    QStringLiteral("Column %1 is not in 1-%2").arg(item).arg(table.columns()));
        }
        for (int c = from; c <= to; ++c) {
            columns << c - 1;
        }
    }
    return columns;
}

Result<QList<ColumnRole>> rolesFromLists(const CsvTable &table,
                                         const QString &inputs,
                                         const QString &outputs,
                                         const QString &classes)
{
    QList<ColumnRole> roles(table.columns(), ColumnRole::Skip);
    QList<bool> named(table.columns(), false);
    const auto assign = [&](const QString &list, ColumnRole role) -> Status {
        if (list.isEmpty()) {
            return Done {};
        }
        const Result<QList<int>> columns = parseColumnList(table, list);
        if (!columns) {
            return columns.error();
        }
        for (int c : columns.value()) {
            if (named[c]) {
                return refused(QStringLiteral("%1 is named twice").arg(quotedColumn(table, c)));
            }
            named[c] = true;
            roles[c] = role;
        }
        return Done {};
    };
    for (const auto &[list, role] :
         {std::pair {outputs, ColumnRole::Output}, std::pair {classes, ColumnRole::Class},
          std::pair {inputs, ColumnRole::Input}}) {
        if (const Status s = assign(list, role); !s) {
            return s.error();
        }
    }
    if (outputs.isEmpty() && classes.isEmpty()) {
        const int last = table.columns() - 1;
        if (last >= 0 && !named[last]) {
            roles[last] = defaultRoles(table)[last];
            named[last] = true;
        }
    }
    if (inputs.isEmpty()) {
        for (int c = 0; c < table.columns(); ++c) {
            if (!named[c]) {
                roles[c] = ColumnRole::Input;
            }
        }
    }
    return roles;
}

Result<CsvImport> importCsvTable(const CsvTable &table, const CsvImportChoice &choice)
{
    if (choice.roles.size() != table.columns()) {
        return refused(QStringLiteral("The choice of roles does not fit the table"));
    }
    Plan plan;
    for (int c = 0; c < table.columns(); ++c) {
        switch (choice.roles.at(c)) {
        case ColumnRole::Input:
            plan.inputs << c;
            break;
        case ColumnRole::Output:
            plan.outputs.append(Plan::OutputColumn {c, {}});
            ++plan.outputCount;
            break;
        case ColumnRole::Class: {
            const QStringList classes = sortedClasses(table, c);
            if (classes.isEmpty()) {
                return refused(
                        QStringLiteral("%1 holds no class names").arg(quotedColumn(table, c)));
            }
            plan.outputs.append({c, classes});
            plan.outputCount += static_cast<int>(classes.size());
            break;
        }
        case ColumnRole::Skip:
            break;
        }
    }
    if (plan.inputs.isEmpty()) {
        return refused(QStringLiteral("No column is an input"));
    }
    if (plan.outputs.isEmpty()) {
        return refused(QStringLiteral("No column is an output"));
    }
    if (plan.inputs.size() > MaxLayerSize || plan.outputCount > MaxLayerSize) {
        return refused(QStringLiteral("%1 inputs and %2 outputs: a layer has at most %3 nodes")
                               .arg(plan.inputs.size())
                               .arg(plan.outputCount)
                               .arg(MaxLayerSize));
    }

    CsvImport import;
    std::vector<RowValues> rows;
    for (qsizetype r = 0; r < table.rows.size(); ++r) {
        RowValues v = rowValues(table, table.rows.at(r), plan, choice);
        if (v.badColumn >= 0) {
            if (choice.dropMissing) {
                ++import.dropped;
                continue;
            }
            const QString cell = table.rows.at(r).at(v.badColumn);
            return refused(
                    QStringLiteral("Row %1, %2: %3")
                            .arg(table.rowNumbers.at(r))
                            .arg(quotedColumn(table, v.badColumn))
                            .arg(isMissingCell(cell)
                                         ? (cell.isEmpty() ? QStringLiteral("the cell is "
                                                                            "empty")
                                                           : QStringLiteral("\"%1\" marks "
                                                                            "a missing "
                                                                            "value")
                                                                     .arg(cell))
                                         : QStringLiteral("\"%1\" is not a number").arg(cell)));
        }
        rows.push_back(std::move(v));
    }
    const int n = static_cast<int>(rows.size());
    if (n == 0) {
        return refused(import.dropped > 0
                               ? QStringLiteral("Every row has a missing or non-numeric value")
                               : QStringLiteral("The file holds no data rows"));
    }
    int testCount = 0;
    if (choice.testPercent > 0) {
        testCount = static_cast<int>(std::lround(n * choice.testPercent / 100.0));
        if (testCount < 1 || testCount >= n) {
            return refused(QStringLiteral("%1 percent of %2 rows leaves no %3 pattern")
                                   .arg(generalNumber(choice.testPercent))
                                   .arg(n)
                                   .arg(testCount < 1 ? QStringLiteral("test")
                                                      : QStringLiteral("training")));
        }
    }
    const std::vector<bool> isTest = drawTestRows(n, testCount, choice.seed);
    std::vector<int> train;
    std::vector<int> test;
    for (int r = 0; r < n; ++r) {
        (isTest[static_cast<std::size_t>(r)] ? test : train).push_back(r);
    }
    if (train.size() > MaxSetPatterns || test.size() > MaxSetPatterns) {
        return refused(QStringLiteral("%1 rows: a pattern file holds at most %2 patterns")
                               .arg(std::max(train.size(), test.size()))
                               .arg(MaxSetPatterns));
    }
    import.train = makeSet(rows, train);
    import.test = makeSet(rows, test);
    for (int c : plan.inputs) {
        import.names.inputs << table.names.at(c);
    }
    for (const Plan::OutputColumn &o : plan.outputs) {
        if (o.classes.isEmpty()) {
            import.names.outputs.append({table.names.at(o.column), QString()});
        }
        for (const QString &name : o.classes) {
            import.names.outputs.append({table.names.at(o.column), name});
        }
    }
    return import;
}

ImportFiles importFiles(const QString &patternFile, bool withTest)
{
    ImportFiles files;
    files.patterns = patternFile;
    if (withTest) {
        files.test = besideFile(patternFile, u".tst");
    }
    files.names = columnNamesPath(patternFile);
    return files;
}

Status writeImport(const CsvImport &import, const ImportFiles &files)
{
    QList<std::pair<QString, QString>> texts;
    for (const auto &[path, set] :
         {std::pair {files.patterns, &import.train}, std::pair {files.test, &import.test}}) {
        if (set == &import.test && set->count == 0) {
            continue; // no test set was asked for
        }
        const Result<QString> text = formatPatternText(set->count, set->in, set->out);
        if (!text) {
            return LoadError {
                    0, QStringLiteral("Cannot write %1: %2").arg(path, text.error().message)};
        }
        texts.append({path, text.value()});
    }
    texts.append({files.names, formatColumnNames(import.names)});
    return writeTextFiles(texts);
}

QString describeImport(const CsvImport &import)
{
    QString text = import.test.count > 0 ? QStringLiteral("%1 training and %2 test patterns")
                                                   .arg(import.train.count)
                                                   .arg(import.test.count)
                                         : QStringLiteral("%1 patterns").arg(import.train.count);
    text += QStringLiteral(", %1 inputs, %2 outputs")
                    .arg(import.names.inputs.size())
                    .arg(import.names.outputs.size());
    const QStringList classes = import.names.classes();
    if (!classes.isEmpty()) {
        text += QStringLiteral(" (classes: %1)").arg(classes.join(QStringLiteral(", ")));
    }
    return text;
}
