#include "exchange/dbus/dbuslinkport.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTimer>

#include "exchange/dbus/linkclient.h"
#include "exchange/dbus/linkserver.h"

namespace {

QString defaultCompanion()
{
    const QFileInfo beside(
            QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("axona")));
    if (beside.isExecutable() && beside.isFile()) {
        return beside.absoluteFilePath();
    }
    return QStandardPaths::findExecutable(QStringLiteral("axona"));
}

} // namespace

DbusLinkPort::DbusLinkPort(QObject *parent)
    : DbusLinkPort(QDBusConnection::sessionBus(), parent)
{}

DbusLinkPort::DbusLinkPort(const QDBusConnection &connection, QObject *parent)
    : m_connection(connection)
    , m_companion(defaultCompanion())
{
    setParent(parent);
}

DbusLinkPort::~DbusLinkPort() = default;

LinkPort::OpenResult
DbusLinkPort::open(int which, const QString &server, const QString &topic, const QString &item)
{
    if (which < 1 || which > 2) {
        return {Opened::Failed, QString(), QStringLiteral("No such set.")};
    }
    // The set keeps the link it had until the new one is made.
    auto client = std::make_unique<LinkClient>(m_connection);
    const LinkStatus status = client->open(server, topic, item);
    if (status != LinkStatus::Linked) {
        return {status == LinkStatus::NoServer ? Opened::NoServer : Opened::Failed, QString(),
                client->errorText()};
    }
    connect(client.get(), &LinkClient::updated, this,
            [this, which](const QString &text) { emit dataArrived(which, text); });
    connect(client.get(), &LinkClient::refused, this,
            [this, which](const QString &why) { emit dataRefused(which, why); });
    connect(client.get(), &LinkClient::terminated, this, [this, which] { emit linkEnded(which); });
    const QString text = client->text();
    m_clients[static_cast<std::size_t>(which - 1)] = std::move(client);
    return {Opened::Linked, text, QString()};
}

void DbusLinkPort::close(int which)
{
    if (which >= 1 && which <= 2) {
        m_clients[static_cast<std::size_t>(which - 1)].reset();
    }
}

bool DbusLinkPort::waitForLink(const std::function<bool()> &attempt)
{
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < m_waitLimit) {
        QEventLoop pause;
        QTimer::singleShot(500, &pause, &QEventLoop::quit);
        pause.exec(QEventLoop::ExcludeUserInputEvents);
        if (attempt()) {
            return true;
        }
    }
    return false;
}

QString DbusLinkPort::serverName()
{
    if (!m_server) {
        auto server = std::make_unique<LinkServer>(m_connection);
        if (!server->start(m_serverName, true)) {
            return QString();
        }
        connect(server.get(), &LinkServer::clientLeft, this, &LinkPort::clientLeft);
        m_server = std::move(server);
    }
    return m_server->serverName();
}

bool DbusLinkPort::offer(const QString &topic, const QString &item, const QString &text)
{
    if (serverName().isEmpty()) {
        return false;
    }
    if (topic != m_topic) {
        m_server->withdraw(m_topic);
        m_topic = topic;
    }
    return m_server->publish(topic, item, text);
}

void DbusLinkPort::reset()
{
    for (auto &client : m_clients) {
        client.reset();
    }
    if (m_server) {
        m_server->withdraw(m_topic);
    }
    m_topic.clear();
    emit wasReset();
}

void DbusLinkPort::setClipboard(const QString &text, const QString &reference)
{
    m_clipText = text;
    m_clipReference = reference;
}
