#include "exchange/dbus/linkclient.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusServiceWatcher>
#include <QEventLoop>

#include "exchange/dbus/linkbus.h"
#include "model/linkreference.h"

namespace {

// Updates within this many milliseconds are merged into the latest.
constexpr int DeliverInterval = 20;

QString noAnswerText(const QString &server)
{
    return QStringLiteral("Link server \"%1\" did not answer.").arg(server);
}

QString noBusText()
{
    return QStringLiteral("There is no session bus (D-Bus) to link through.");
}

// Why an answer is not a text, as a status and a message for the user.
std::pair<LinkStatus, QString> failure(const QDBusMessage &answer, const QString &server)
{
    const QString name = answer.errorName();
    if (name == linkbus::ErrorNoTopic) {
        return {LinkStatus::NoTopic, answer.errorMessage()};
    }
    if (name == linkbus::ErrorNoItem) {
        return {LinkStatus::NoItem, answer.errorMessage()};
    }
    const QDBusError::ErrorType type = QDBusError(answer).type();
    if (type == QDBusError::ServiceUnknown
        || name == u"org.freedesktop.DBus.Error.NameHasNoOwner") {
        return {LinkStatus::NoServer,
                QStringLiteral("No program offers links as \"%1\".").arg(server)};
    }
    switch (type) {
    case QDBusError::NoReply:
    case QDBusError::Timeout:
    case QDBusError::TimedOut:
        return {LinkStatus::NoAnswer, noAnswerText(server)};
    case QDBusError::Disconnected:
        return {LinkStatus::NoBus, noBusText()};
    default:
        return {LinkStatus::Failed,
                QStringLiteral("\"%1\" did not accept the link: %2")
                        .arg(server,
                             answer.errorMessage().isEmpty() ? name : answer.errorMessage())};
    }
}

QString tooLongText(qsizetype size)
{
    return QStringLiteral("The linked text has %1 characters; a link item holds at most %2.")
            .arg(size)
            .arg(MaxLinkItemLength);
}

QString badNameText(const QString &server)
{
    return QStringLiteral("\"%1\" cannot be a link server name.").arg(server);
}

} // namespace

LinkClient::LinkClient(QObject *parent)
    : LinkClient(QDBusConnection::sessionBus(), parent)
{}

LinkClient::LinkClient(const QDBusConnection &connection, QObject *parent)
    : QObject(parent)
    , m_connection(connection)
    , m_serverWatcher(new QDBusServiceWatcher(
              QString(), connection, QDBusServiceWatcher::WatchForOwnerChange, this))
{
    connect(m_serverWatcher, &QDBusServiceWatcher::serviceOwnerChanged, this,
            [this](const QString &, const QString &oldOwner, const QString &) {
                if (m_linked && !oldOwner.isEmpty()) {
                    end();
                    emit terminated();
                }
            });
    m_deliverTimer.setSingleShot(true);
    m_deliverTimer.setInterval(DeliverInterval);
    connect(&m_deliverTimer, &QTimer::timeout, this, &LinkClient::deliver);
}

LinkClient::~LinkClient()
{
    close();
}

LinkStatus
LinkClient::open(const QString &server, const QString &topic, const QString &item, int timeoutMs)
{
    close();
    m_text.clear();
    m_error.clear();
    if (!m_connection.isConnected()) {
        m_error = noBusText();
        return LinkStatus::NoBus;
    }
    m_busName = linkbus::busName(server);
    if (m_busName.isEmpty()) {
        m_error = badNameText(server);
        return LinkStatus::BadName;
    }
    m_server = server;
    m_path = linkbus::topicPath(topic);
    m_item = item;
    // Watch the server and its changes before asking, so that nothing between the answer and
    // the first change is missed.
    m_serverWatcher->setWatchedServices({m_busName});
    connectSignals(true);
    QDBusMessage call = QDBusMessage::createMethodCall(m_busName, m_path, linkbus::Interface,
                                                       QStringLiteral("Advise"));
    call << item;
    const int attempt = ++m_attempt;
    m_advising = true;
    m_status = LinkStatus::NoAnswer;
    auto *watcher = new QDBusPendingCallWatcher(m_connection.asyncCall(call, timeoutMs), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, watcher, attempt] {
        watcher->deleteLater();
        adviseAnswered(watcher->reply(), attempt);
    });
    if (m_advising) {
        QEventLoop loop;
        m_wait = &loop;
        // The bus ends the call at timeoutMs; this only guards against a lost answer.
        QTimer::singleShot(timeoutMs + 1000, &loop, &QEventLoop::quit);
        loop.exec(QEventLoop::ExcludeUserInputEvents);
        m_wait = nullptr;
    }
    if (m_advising) {
        // Given up: an answer that still comes is taken back.
        ++m_attempt;
        m_advising = false;
        m_error = noAnswerText(server);
        connectSignals(false);
        m_serverWatcher->setWatchedServices({});
        return LinkStatus::NoAnswer;
    }
    return m_status;
}

void LinkClient::adviseAnswered(const QDBusMessage &reply, int attempt)
{
    if (attempt != m_attempt) {
        // A link this client no longer waits for: end it at the server.
        if (reply.type() == QDBusMessage::ReplyMessage && reply.signature() == u"ss") {
            unadvise(reply.arguments().at(0).toString());
        }
        return;
    }
    m_advising = false;
    if (reply.type() != QDBusMessage::ReplyMessage) {
        std::tie(m_status, m_error) = failure(reply, m_server);
    } else if (reply.signature() != u"ss") {
        m_status = LinkStatus::Failed;
        m_error = QStringLiteral("\"%1\" answered the link in a form this program does not "
                                 "know.")
                          .arg(m_server);
    } else if (const QString text = reply.arguments().at(1).toString();
               text.size() > MaxLinkItemLength) {
        unadvise(reply.arguments().at(0).toString());
        m_status = LinkStatus::TooLong;
        m_error = tooLongText(text.size());
    } else {
        m_item = reply.arguments().at(0).toString();
        m_text = text;
        m_linked = true;
        m_status = LinkStatus::Linked;
    }
    if (!m_linked) {
        connectSignals(false);
        m_serverWatcher->setWatchedServices({});
    }
    if (m_wait) {
        m_wait->quit();
    }
}

void LinkClient::close()
{
    if (m_advising) {
        ++m_attempt;
        m_advising = false;
        m_error = QStringLiteral("The link was given up before the server answered.");
        if (m_wait) {
            m_wait->quit();
        }
    }
    if (m_linked) {
        unadvise(m_item);
    }
    end();
}

void LinkClient::unadvise(const QString &item)
{
    QDBusMessage call = QDBusMessage::createMethodCall(m_busName, m_path, linkbus::Interface,
                                                       QStringLiteral("Unadvise"));
    call << item;
    m_connection.send(call);
}

void LinkClient::end()
{
    m_linked = false;
    m_hasPending = false;
    m_pending.clear();
    m_deliverTimer.stop();
    connectSignals(false);
    m_serverWatcher->setWatchedServices({});
}

void LinkClient::connectSignals(bool on)
{
    if (on == m_signalsConnected) {
        return;
    }
    m_signalsConnected = on;
    const auto change = [&](const char *name, const char *slot) {
        if (on) {
            m_connection.connect(m_busName, m_path, linkbus::Interface, QLatin1String(name), this,
                                 slot);
        } else {
            m_connection.disconnect(m_busName, m_path, linkbus::Interface, QLatin1String(name),
                                    this, slot);
        }
    };
    change("Changed", SLOT(onChanged(QDBusMessage)));
    change("Closed", SLOT(onClosed(QDBusMessage)));
}

void LinkClient::onChanged(const QDBusMessage &message)
{
    if (!m_linked || message.signature() != u"ss"
        || message.arguments().at(0).toString() != m_item) {
        return;
    }
    m_pending = message.arguments().at(1).toString();
    m_hasPending = true;
    if (!m_deliverTimer.isActive()) {
        m_deliverTimer.start();
    }
}

void LinkClient::onClosed(const QDBusMessage &message)
{
    if (m_linked && message.signature() == u"s" && message.arguments().at(0).toString() == m_item) {
        end();
        emit terminated();
    }
}

void LinkClient::deliver()
{
    if (!m_linked || !m_hasPending) {
        return;
    }
    m_hasPending = false;
    QString text = std::move(m_pending);
    m_pending.clear();
    if (text.size() > MaxLinkItemLength) {
        m_error = tooLongText(text.size());
        emit refused(m_error);
        return;
    }
    if (text == m_text) {
        return;
    }
    m_text = std::move(text);
    emit updated(m_text);
}

LinkFetch fetchLinkItem(const QString &server,
                        const QString &topic,
                        const QString &item,
                        int timeoutMs,
                        const QDBusConnection &connection)
{
    if (!connection.isConnected()) {
        return {LinkStatus::NoBus, QString(), noBusText()};
    }
    const QString bus = linkbus::busName(server);
    if (bus.isEmpty()) {
        return {LinkStatus::BadName, QString(), badNameText(server)};
    }
    QDBusMessage call = QDBusMessage::createMethodCall(
            bus, linkbus::topicPath(topic), linkbus::Interface, QStringLiteral("Request"));
    call << item;
    const QDBusMessage reply = linkbus::callAndWait(connection, call, timeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage) {
        const auto [status, error] = failure(reply, server);
        return {status, QString(), error};
    }
    if (reply.signature() != u"s") {
        return {LinkStatus::Failed, QString(),
                QStringLiteral("\"%1\" answered in a form this program does not know.")
                        .arg(server)};
    }
    QString text = reply.arguments().at(0).toString();
    if (text.size() > MaxLinkItemLength) {
        return {LinkStatus::TooLong, QString(), tooLongText(text.size())};
    }
    return {LinkStatus::Linked, text, QString()};
}
