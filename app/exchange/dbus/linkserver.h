#pragma once

#include <memory>

#include <QDBusConnection>
#include <QHash>
#include <QMap>
#include <QObject>
#include <QSet>
#include <QString>
#include <QTimer>

class QDBusMessage;
class QDBusServiceWatcher;
class QDBusVirtualObject;

// The offering end of live links: owns a server's bus name and offers items under topics to
// every client that links to them (see linkbus.h for the names and calls). One server per bus
// connection.
class LinkServer final : public QObject
{
    Q_OBJECT

public:
    // A server on the session bus, or on connection.
    explicit LinkServer(QObject *parent = nullptr);
    explicit LinkServer(const QDBusConnection &connection, QObject *parent = nullptr);
    ~LinkServer() override;
    Q_DISABLE_COPY_MOVE(LinkServer)

    // Claims the bus name of server. With numbered, "server-2", "server-3", ... up to "-99" are
    // tried while another program holds the name. False, with errorText() saying why, when
    // there is no session bus, the name is not valid or already held.
    bool start(const QString &server, bool numbered = false);

    // The server name claimed; empty before a successful start().
    const QString &serverName() const { return m_server; }

    // Why the last start() or publish() failed.
    const QString &errorText() const { return m_error; }

    // Offers text as item of topic, replacing the item's text; clients linked to the item get the
    // new text (unless it is unchanged). False, with nothing changed, for a text longer than
    // MaxLinkItemLength or holding a NUL character.
    bool publish(const QString &topic, const QString &item, const QString &text);
    // The text item of topic holds, or a null string.
    QString text(const QString &topic, const QString &item) const;
    // Stops offering topic; its linked clients are told the link ended.
    void withdraw(const QString &topic);
    // How many clients are linked to item of topic.
    int clientCount(const QString &topic, const QString &item) const;

    // Handles one call of a client; for the bus object only.
    bool handleCall(const QDBusMessage &call);

signals:
    // A client linked to item of topic, or its link ended (it unlinked or left the bus).
    void clientLinked(const QString &topic, const QString &item);
    void clientLeft(const QString &topic, const QString &item);

private:
    struct Item
    {
        QString text;
        // Unique bus names of the linked clients, each with its number of links.
        QHash<QString, int> clients;
        bool changed = false;
    };

    using Topic = QMap<QString, Item>;

    QDBusMessage
    advise(const QDBusMessage &call, const QString &topic, Item &item, const QString &name);
    QDBusMessage
    unadvise(const QDBusMessage &call, const QString &topic, Item &item, const QString &name);
    void clientGone(const QString &client);
    void sendChanges();

    QDBusConnection m_connection;
    QString m_server;
    QString m_busName;
    QString m_error;
    QHash<QString, Topic> m_topics;
    std::unique_ptr<QDBusVirtualObject> m_object;
    QDBusServiceWatcher *m_clientWatcher;
    QTimer m_sendTimer;
};
