#include "exchange/itemtext.h"

#include "model/linkreference.h"

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
    qsizetype begin = 0;
    while (begin < fileText.size()) {
        qsizetype end = begin;
        while (end < fileText.size() && fileText[end] != u'\r' && fileText[end] != u'\n') {
            ++end;
        }
        const QStringView row = fileText.sliced(begin, end - begin);
        if (csv) {
            appendCsvRow(text, row);
        } else {
            text += row;
        }
        text += QStringLiteral("\r\n");
        if (end + 1 < fileText.size() && fileText[end] == u'\r' && fileText[end + 1] == u'\n') {
            ++end;
        }
        begin = end + 1;
        if (text.size() > MaxLinkItemLength) {
            return LoadError {0,
                              QStringLiteral("it is longer than a link item holds (%1 "
                                             "characters)")
                                      .arg(MaxLinkItemLength)};
        }
    }
    return text;
}
