#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QString>
#include <QTimer>

class QDBusMessage;
class QEventLoop;
class QDBusServiceWatcher;

// How an attempt to reach a link item ended.
enum class LinkStatus {
    Linked, // the item's text arrived
    NoBus, // there is no session bus
    BadName, // the server name cannot be a bus name
    NoServer, // no program offers links under the server name
    NoTopic, // the server has no such topic
    NoItem, // the topic has no such item
    TooLong, // the item's text is longer than a link item holds
    NoAnswer, // the server did not answer in time
    Failed, // anything else, e.g. the name belongs to a program that does not offer links
};

// The receiving end of one automatic link: the text of another program's item, now and after
// every change (see linkbus.h for the names and calls). Updates that come faster than the
// program takes them are merged: only the latest text is delivered.
class LinkClient final : public QObject
{
    Q_OBJECT

public:
    // A client on the session bus, or on connection.
    explicit LinkClient(QObject *parent = nullptr);
    explicit LinkClient(const QDBusConnection &connection, QObject *parent = nullptr);
    ~LinkClient() override;
    Q_DISABLE_COPY_MOVE(LinkClient)

    // Links to item of topic of server, ending any link held before, and waits at most
    // timeoutMs for the first text, running the event loop meanwhile (user input excluded), so
    // the server may run in this very process. On Linked, text() holds the item's text.
    LinkStatus
    open(const QString &server, const QString &topic, const QString &item, int timeoutMs = 5000);
    // Ends the link; the server is told without waiting for its answer.
    void close();

    bool isLinked() const { return m_linked; }

    // The item's latest text.
    const QString &text() const { return m_text; }

    // The item's name as the server knows it (an empty item asked for the topic's only item).
    const QString &item() const { return m_item; }

    // Why the last open() failed or the last update was refused, for the user.
    const QString &errorText() const { return m_error; }

signals:
    // A new text of the item.
    void updated(const QString &text);
    // A text the link did not take (too long); the previous text stays.
    void refused(const QString &why);
    // The server went away or ended the link; the client is closed.
    void terminated();

private slots:
    // Slots for QDBusConnection::connect, which takes them by their signature.
    void onChanged(const QDBusMessage &message);
    void onClosed(const QDBusMessage &message);

private:
    void connectSignals(bool on);
    void adviseAnswered(const QDBusMessage &reply, int attempt);
    void unadvise(const QString &item);
    void deliver();
    void end();

    QDBusConnection m_connection;
    QString m_server;
    QString m_busName;
    QString m_path;
    QString m_item;
    QString m_text;
    QString m_pending;
    QString m_error;
    bool m_linked = false;
    bool m_advising = false;
    bool m_hasPending = false;
    bool m_signalsConnected = false;
    // Numbers the link requests, so that the answer to one given up is recognised.
    int m_attempt = 0;
    LinkStatus m_status = LinkStatus::Failed;
    // The loop open() runs while it waits for the answer.
    QEventLoop *m_wait = nullptr;
    QDBusServiceWatcher *m_serverWatcher;
    QTimer m_deliverTimer;
};

// The result of a one-time request.
struct LinkFetch
{
    LinkStatus status = LinkStatus::Failed;
    QString text;
    QString error;
};

// The text of item of topic of server, once (the event loop runs while it waits).
LinkFetch fetchLinkItem(const QString &server,
                        const QString &topic,
                        const QString &item,
                        int timeoutMs = 5000,
                        const QDBusConnection &connection = QDBusConnection::sessionBus());
