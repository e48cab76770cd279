#include "exchange/itemtext.h"

#include "model/linkreference.h"
#include "model/patternfile.h"

namespace {

// One comma-separated row with its fields separated by tabs.
void appendCsvRow(QString &out, QStringView row)
{
    bool quoted = false;
    for (qsizetype i = 0; i < row.size(); ++i) {
        const QChar c = row[i];
        if (quoted) {
            if (c == u'"' && i + 1 < row.size() && row[i + 1] == u'"') {
                out += u'"';
                ++i;
            } else if (c == u'"') {
                quoted = false;
            } else {
                out += c;
            }
        } else if (c == u'"') {
            quoted = true;
        } else {
            out += c == u',' ? QChar(u'\t') : c;
        }
    }
}

} // namespace

Result<QString> linkItemText(QStringView fileText, bool csv)
{
    if (fileText.contains(QChar(0))) {
        return LoadError {0, QStringLiteral("it holds NUL characters: not a text file")};
    }
    QString text;
    bool tooLong = false;
    forEachRow(fileText, [&](QStringView row) {
        if (csv) {
            appendCsvRow(text, row);
        } else {
            text += row;
        }
        text += QStringLiteral("\r\n");
        tooLong = text.size() > MaxLinkItemLength;
        return !tooLong;
    });
    if (tooLong) {
        return LoadError {0,
                          QStringLiteral("it is longer than a link item holds (%1 characters)")
                                  .arg(MaxLinkItemLength)};
    }
    return text;
}
