#include "model/linkreference.h"

namespace {

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n' || c == QChar(0);
}

QStringView trimmed(QStringView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(text[begin])) {
        ++begin;
    }
    while (end > begin && isBlank(text[end - 1])) {
        --end;
    }
    return text.sliced(begin, end - begin);
}

bool hasControlCharacter(QStringView text)
{
    for (QChar c : text) {
        if (c.category() == QChar::Other_Control) {
            return true;
        }
    }
    return false;
}

} // namespace

std::optional<LinkReference> parseLinkReference(QStringView text)
{
    const QStringView ref = trimmed(text);
    if (ref.size() > MaxLinkReferenceLength || hasControlCharacter(ref)) {
        return std::nullopt;
    }
    const qsizetype bar = ref.indexOf(u'|');
    if (bar <= 0) {
        return std::nullopt;
    }
    LinkReference r;
    r.server = ref.first(bar).toString();
    const QStringView rest = ref.sliced(bar + 1);
    const qsizetype bang = rest.lastIndexOf(u'!');
    if (bang < 0) {
        r.topic = rest.toString();
        return r;
    }
    r.item = rest.sliced(bang + 1).toString();
    const QStringView topic = rest.first(bang);
    const qsizetype bracket = topic.indexOf(u'[');
    if (bracket < 0) {
        r.topic = topic.toString();
    } else {
        r.directory = topic.first(bracket).toString();
        r.topic = topic.sliced(bracket).toString();
    }
    return r;
}

QString formatLinkReference(const QString &server, const QString &topic, const QString &item)
{
    return server + u'|' + topic + u'!' + item;
}

QString linkDocument(const LinkReference &ref)
{
    const QStringView topic = ref.topic;
    if (topic.startsWith(u'[')) {
        const qsizetype close = topic.indexOf(u']');
        if (close > 0) {
            return ref.directory + topic.sliced(1, close - 1).toString();
        }
    }
    return ref.directory + ref.topic;
}

std::optional<QString> linkedSource(QStringView sourceLine)
{
    if (sourceLine.startsWith(u'!') || sourceLine.startsWith(u'$')) {
        return sourceLine.sliced(1).toString();
    }
    return std::nullopt;
}
