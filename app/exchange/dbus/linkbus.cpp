#include "exchange/dbus/linkbus.h"

#include <QDBusPendingCall>
#include <QDBusPendingCallWatcher>
#include <QEventLoop>
#include <QTimer>

namespace linkbus {

namespace {

// Longest bus name the bus accepts.
constexpr qsizetype MaxBusName = 255;

bool isAsciiAlnum(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}

int hexValue(QChar c)
{
    if (c >= u'0' && c <= u'9') {
        return c.unicode() - u'0';
    }
    if (c >= u'A' && c <= u'F') {
        return c.unicode() - u'A' + 10;
    }
    return -1;
}

} // namespace

QString escape(const QString &text)
{
    static const char Hex[] = "0123456789ABCDEF";
    QString name;
    const QByteArray bytes = text.toUtf8();
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        const bool leadingDigit = i == 0 && c >= '0' && c <= '9';
        if (isAsciiAlnum(c) && !leadingDigit) {
            name += QLatin1Char(c);
        } else {
            const auto b = static_cast<unsigned char>(c);
            name += u'_';
            name += QLatin1Char(Hex[b >> 4]);
            name += QLatin1Char(Hex[b & 0xF]);
        }
    }
    return name;
}

std::optional<QString> unescape(const QString &name)
{
    QByteArray bytes;
    for (qsizetype i = 0; i < name.size(); ++i) {
        const QChar c = name[i];
        if (c == u'_') {
            const int high = i + 2 < name.size() ? hexValue(name[i + 1]) : -1;
            const int low = high >= 0 ? hexValue(name[i + 2]) : -1;
            if (low < 0) {
                return std::nullopt;
            }
            bytes += static_cast<char>(high * 16 + low);
            i += 2;
        } else if (c.unicode() < 128 && isAsciiAlnum(static_cast<char>(c.unicode()))) {
            bytes += static_cast<char>(c.unicode());
        } else {
            return std::nullopt;
        }
    }
    QString text = QString::fromUtf8(bytes);
    // Only the one spelling escape() gives is a name (no invalid UTF-8, no unescaped leading digit).
    if (escape(text) != name) {
        return std::nullopt;
    }
    return text;
}

QString busName(const QString &server)
{
    if (server.isEmpty()) {
        return QString();
    }
    const QString name = BusNamePrefix + escape(server.toLower());
    return name.size() <= MaxBusName ? name : QString();
}

QString topicPath(const QString &topic)
{
    return topic.isEmpty() ? TopicPathBase : TopicPathBase + u'/' + escape(topic);
}

std::optional<QString> pathTopic(const QString &path)
{
    if (path == TopicPathBase) {
        return QString();
    }
    const QString prefix = TopicPathBase + u'/';
    if (!path.startsWith(prefix)) {
        return std::nullopt;
    }
    return unescape(path.sliced(prefix.size()));
}

QDBusMessage callAndWait(const QDBusConnection &connection, const QDBusMessage &call, int timeoutMs)
{
    QDBusPendingCall pending = connection.asyncCall(call, timeoutMs);
    if (!pending.isFinished()) {
        QDBusPendingCallWatcher watcher(pending);
        QEventLoop loop;
        QObject::connect(&watcher, &QDBusPendingCallWatcher::finished, &loop, &QEventLoop::quit);
        // The bus ends the call at timeoutMs; this only guards against a lost answer.
        QTimer::singleShot(timeoutMs + 1000, &loop, &QEventLoop::quit);
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    }
    if (!pending.isFinished()) {
        return call.createErrorReply(QDBusError::NoReply,
                                     QStringLiteral("The link server did not answer."));
    }
    return pending.reply();
}

} // namespace linkbus
