#include "exchange/dbus/linkserver.h"

#include <QDBusMessage>
#include <QDBusServiceWatcher>
#include <QDBusVirtualObject>
#include <QStringList>

#include "exchange/dbus/linkbus.h"
#include "model/linkreference.h"

namespace {

// Changes of an item within this many milliseconds go out as one.
constexpr int SendInterval = 20;

// Names listed in a "no such topic/item" message, at most.
constexpr int ListedNames = 10;

const char IntrospectionXml[] = R"(  <interface name="org.axona.Link">
    <method name="Advise">
      <arg name="item" type="s" direction="in"/>
      <arg name="name" type="s" direction="out"/>
      <arg name="text" type="s" direction="out"/>
    </method>
    <method name="Unadvise">
      <arg name="item" type="s" direction="in"/>
    </method>
    <method name="Request">
      <arg name="item" type="s" direction="in"/>
      <arg name="text" type="s" direction="out"/>
    </method>
    <signal name="Changed">
      <arg name="item" type="s"/>
      <arg name="text" type="s"/>
    </signal>
    <signal name="Closed">
      <arg name="item" type="s"/>
    </signal>
  </interface>
)";

// The bus object of a server: every topic path under one subtree, handed to the server.
class LinkBusObject final : public QDBusVirtualObject
{
public:
    explicit LinkBusObject(LinkServer &server)
        : m_server(server)
    {}

    QString introspect(const QString &path) const override
    {
        return linkbus::pathTopic(path) ? QString::fromLatin1(IntrospectionXml) : QString();
    }

    bool handleMessage(const QDBusMessage &message, const QDBusConnection &) override
    {
        return m_server.handleCall(message);
    }

private:
    LinkServer &m_server;
};

QString quotedList(QStringList names)
{
    if (names.isEmpty()) {
        return QStringLiteral("nothing");
    }
    const bool more = names.size() > ListedNames;
    names = names.mid(0, ListedNames);
    for (QString &n : names) {
        n = u'"' + n + u'"';
    }
    return names.join(QStringLiteral(", ")) + (more ? QStringLiteral(", ...") : QString());
}

} // namespace

LinkServer::LinkServer(QObject *parent)
    : LinkServer(QDBusConnection::sessionBus(), parent)
{}

LinkServer::LinkServer(const QDBusConnection &connection, QObject *parent)
    : QObject(parent)
    , m_connection(connection)
    , m_object(std::make_unique<LinkBusObject>(*this))
    , m_clientWatcher(new QDBusServiceWatcher(
              QString(), connection, QDBusServiceWatcher::WatchForUnregistration, this))
{
    connect(m_clientWatcher, &QDBusServiceWatcher::serviceUnregistered, this,
            &LinkServer::clientGone);
    m_sendTimer.setSingleShot(true);
    m_sendTimer.setInterval(SendInterval);
    connect(&m_sendTimer, &QTimer::timeout, this, &LinkServer::sendChanges);
}

LinkServer::~LinkServer()
{
    if (!m_busName.isEmpty()) {
        m_connection.unregisterService(m_busName);
        m_connection.unregisterObject(linkbus::TopicPathBase, QDBusConnection::UnregisterTree);
    }
}

bool LinkServer::start(const QString &server, bool numbered)
{
    if (!m_busName.isEmpty()) {
        m_error = QStringLiteral("The link server already runs as \"%1\".").arg(m_server);
        return false;
    }
    if (!m_connection.isConnected()) {
        m_error = QStringLiteral("There is no session bus (D-Bus) to offer links on.");
        return false;
    }
    if (linkbus::busName(server).isEmpty()) {
        m_error = QStringLiteral("\"%1\" cannot be a link server name.").arg(server);
        return false;
    }
    if (!m_connection.registerVirtualObject(linkbus::TopicPathBase, m_object.get(),
                                            QDBusConnection::SubPath)) {
        m_error = QStringLiteral("Another link server runs on this bus connection.");
        return false;
    }
    const int last = numbered ? 99 : 1;
    for (int n = 1; n <= last; ++n) {
        const QString name = n == 1 ? server : server + QStringLiteral("-%1").arg(n);
        const QString bus = linkbus::busName(name);
        if (!bus.isEmpty() && m_connection.registerService(bus)) {
            m_server = name;
            m_busName = bus;
            m_error.clear();
            return true;
        }
    }
    m_connection.unregisterObject(linkbus::TopicPathBase, QDBusConnection::UnregisterTree);
    m_error = QStringLiteral("Another program already offers links as \"%1\".").arg(server);
    return false;
}

bool LinkServer::publish(const QString &topic, const QString &item, const QString &text)
{
    if (text.size() > MaxLinkItemLength) {
        m_error = QStringLiteral("The text has %1 characters; a link item holds at most %2.")
                          .arg(text.size())
                          .arg(MaxLinkItemLength);
        return false;
    }
    if (text.contains(QChar(0))) {
        m_error = QStringLiteral("The text holds NUL characters; only text can be linked.");
        return false;
    }
    Item &it = m_topics[topic][item];
    if (it.text == text && !it.text.isNull()) {
        return true;
    }
    it.text = text.isNull() ? QStringLiteral("") : text;
    if (!it.clients.isEmpty()) {
        it.changed = true;
        if (!m_sendTimer.isActive()) {
            m_sendTimer.start();
        }
    }
    return true;
}

QString LinkServer::text(const QString &topic, const QString &item) const
{
    const auto t = m_topics.find(topic);
    if (t == m_topics.end()) {
        return QString();
    }
    const auto it = t->find(item);
    return it == t->end() ? QString() : it->text;
}

void LinkServer::withdraw(const QString &topic)
{
    const auto t = m_topics.find(topic);
    if (t == m_topics.end()) {
        return;
    }
    const QString path = linkbus::topicPath(topic);
    for (auto it = t->cbegin(); it != t->cend(); ++it) {
        for (auto c = it->clients.cbegin(); c != it->clients.cend(); ++c) {
            QDBusMessage closed = QDBusMessage::createTargetedSignal(
                    c.key(), path, linkbus::Interface, QStringLiteral("Closed"));
            closed << it.key();
            m_connection.send(closed);
        }
    }
    m_topics.erase(t);
}

int LinkServer::clientCount(const QString &topic, const QString &item) const
{
    const auto t = m_topics.find(topic);
    if (t == m_topics.end()) {
        return 0;
    }
    const auto it = t->find(item);
    if (it == t->end()) {
        return 0;
    }
    int count = 0;
    for (int n : it->clients) {
        count += n;
    }
    return count;
}

bool LinkServer::handleCall(const QDBusMessage &call)
{
    if (call.type() != QDBusMessage::MethodCallMessage) {
        return false;
    }
    const auto reply = [this](const QDBusMessage &answer) {
        m_connection.send(answer);
        return true;
    };
    if (!call.interface().isEmpty() && call.interface() != linkbus::Interface) {
        return false;
    }
    const QString member = call.member();
    if (member != u"Advise" && member != u"Unadvise" && member != u"Request") {
        return reply(
                call.createErrorReply(QDBusError::UnknownMethod,
                                      QStringLiteral("No method %1 on a link topic.").arg(member)));
    }
    if (call.signature() != u"s") {
        return reply(
                call.createErrorReply(QDBusError::InvalidArgs,
                                      QStringLiteral("%1 takes one text, the item.").arg(member)));
    }
    const std::optional<QString> topicName = linkbus::pathTopic(call.path());
    const auto t = topicName ? m_topics.find(*topicName) : m_topics.end();
    if (t == m_topics.end()) {
        return reply(call.createErrorReply(
                linkbus::ErrorNoTopic,
                QStringLiteral("Link server \"%1\" has no topic \"%2\"; it offers %3.")
                        .arg(m_server, topicName.value_or(call.path()),
                             quotedList(m_topics.keys()))));
    }
    QString name = call.arguments().at(0).toString();
    if (name.isEmpty() && t->size() == 1) {
        name = t->firstKey();
    }
    const auto it = t->find(name);
    if (it == t->end()) {
        return reply(call.createErrorReply(
                linkbus::ErrorNoItem,
                QStringLiteral("Topic \"%1\" of link server \"%2\" has no item \"%3\"; it "
                               "offers %4.")
                        .arg(t.key(), m_server, name, quotedList(t->keys()))));
    }
    if (member == u"Request") {
        return reply(call.createReply(it->text));
    }
    if (member == u"Advise") {
        return reply(advise(call, t.key(), *it, name));
    }
    return reply(unadvise(call, t.key(), *it, name));
}

QDBusMessage
LinkServer::advise(const QDBusMessage &call, const QString &topic, Item &item, const QString &name)
{
    const QString client = call.service();
    if (!m_clientWatcher->watchedServices().contains(client)) {
        m_clientWatcher->addWatchedService(client);
    }
    ++item.clients[client];
    emit clientLinked(topic, name);
    return call.createReply(QVariantList {name, item.text});
}

QDBusMessage LinkServer::unadvise(const QDBusMessage &call,
                                  const QString &topic,
                                  Item &item,
                                  const QString &name)
{
    const QString client = call.service();
    const auto c = item.clients.find(client);
    if (c != item.clients.end()) {
        if (--c.value() == 0) {
            item.clients.erase(c);
        }
        emit clientLeft(topic, name);
    }
    return call.createReply();
}

void LinkServer::clientGone(const QString &client)
{
    m_clientWatcher->removeWatchedService(client);
    QList<std::pair<QString, QString>> left;
    for (auto t = m_topics.begin(); t != m_topics.end(); ++t) {
        for (auto it = t->begin(); it != t->end(); ++it) {
            const int links = it->clients.take(client);
            for (int i = 0; i < links; ++i) {
                left.append({t.key(), it.key()});
            }
        }
    }
    for (const auto &[topic, item] : left) {
        emit clientLeft(topic, item);
    }
}

void LinkServer::sendChanges()
{
    for (auto t = m_topics.begin(); t != m_topics.end(); ++t) {
        const QString path = linkbus::topicPath(t.key());
        for (auto it = t->begin(); it != t->end(); ++it) {
            if (!it->changed) {
                continue;
            }
            it->changed = false;
            for (auto c = it->clients.cbegin(); c != it->clients.cend(); ++c) {
                QDBusMessage changed = QDBusMessage::createTargetedSignal(
                        c.key(), path, linkbus::Interface, QStringLiteral("Changed"));
                changed << it.key() << it->text;
                m_connection.send(changed);
            }
        }
    }
}
