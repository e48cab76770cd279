#include "model/columnnames.h"

#include <QFileInfo>
#include <QRegularExpression>

#include "model/textfile.h"

namespace {

const QString Signature = QStringLiteral("Axona columns 1");

// A name on one field of a line: no tab, no line break.
QString oneField(QString name)
{
    for (QChar &c : name) {
        if (c == u'\t' || c == u'\r' || c == u'\n') {
            c = u' ';
        }
    }
    return name;
}

} // namespace

QString ColumnNames::outputLabel(int k) const
{
    const Output &o = outputs.at(k);
    return o.className.isEmpty() ? o.column : o.column + u'=' + o.className;
}

QStringList ColumnNames::classes() const
{
    QStringList out;
    for (const Output &o : outputs) {
        if (!o.className.isEmpty()) {
            out << o.className;
        }
    }
    return out;
}

ColumnNames defaultColumnNames(int inputs, int outputs)
{
    ColumnNames names;
    for (int i = 1; i <= inputs; ++i) {
        names.inputs << QStringLiteral("in%1").arg(i);
    }
    for (int k = 1; k <= outputs; ++k) {
        names.outputs.append({QStringLiteral("out%1").arg(k), QString()});
    }
    return names;
}

QString columnNamesPath(const QString &patternFile)
{
    return besideFile(patternFile, u".classes");
}

QString formatColumnNames(const ColumnNames &names)
{
    QString text = Signature + QStringLiteral("\r\n");
    for (const QString &name : names.inputs) {
        text += QStringLiteral("input\t") + oneField(name) + QStringLiteral("\r\n");
    }
    for (const ColumnNames::Output &o : names.outputs) {
        text += QStringLiteral("output\t") + oneField(o.column);
        if (!o.className.isEmpty()) {
            text += u'\t' + oneField(o.className);
        }
        text += QStringLiteral("\r\n");
    }
    return text;
}

Result<ColumnNames> parseColumnNames(const QString &text)
{
    const QStringList lines = text.split(QRegularExpression(QStringLiteral("\r\n|\r|\n")));
    if (lines.isEmpty() || lines.first().trimmed() != Signature) {
        return LoadError {1, QStringLiteral("line 1: \"%1\" expected").arg(Signature)};
    }
    ColumnNames names;
    for (int n = 1; n < lines.size(); ++n) {
        const QString &line = lines.at(n);
        if (line.trimmed().isEmpty() || line.startsWith(u'#')) {
            continue;
        }
        const QStringList fields = line.split(u'\t');
        const QString &role = fields.first();
        if (role == u"input" && fields.size() == 2 && names.outputs.isEmpty()) {
            names.inputs << fields.at(1);
        } else if (role == u"output" && (fields.size() == 2 || fields.size() == 3)) {
            names.outputs.append({fields.at(1), fields.value(2)});
        } else {
            return LoadError {n + 1,
                              QStringLiteral("line %1: \"input<TAB>name\" or "
                                             "\"output<TAB>name[<TAB>class]\" expected, inputs "
                                             "first")
                                      .arg(n + 1)};
        }
    }
    return names;
}

std::optional<ColumnNames> readColumnNames(const QString &patternFile, int inputs, int outputs)
{
    if (patternFile.isEmpty()) {
        return std::nullopt;
    }
    const QString path = columnNamesPath(patternFile);
    if (!QFileInfo(path).isFile()) {
        return std::nullopt;
    }
    const Result<QString> text = readTextFile(path);
    if (!text) {
        return std::nullopt;
    }
    Result<ColumnNames> names = parseColumnNames(text.value());
    if (!names || names.value().inputs.size() != inputs
        || names.value().outputs.size() != outputs) {
        return std::nullopt;
    }
    return std::move(names).value();
}
