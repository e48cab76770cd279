#pragma once

#include <array>
#include <memory>

#include <QDBusConnection>

#include "session/linkport.h"

class LinkClient;
class LinkServer;

// The data links on the session bus: each set's link is a LinkClient, the outputs are offered
// by a LinkServer named "Axona32" (numbered when another program holds that name) that starts
// with the first offer. Without a window: the clipboard is one of its own and the wait for a
// started server has a time limit instead of a dialog; the program's window version overrides
// both.
class DbusLinkPort : public LinkPort
{
    Q_OBJECT

public:
    explicit DbusLinkPort(QObject *parent = nullptr);
    explicit DbusLinkPort(const QDBusConnection &connection, QObject *parent = nullptr);
    ~DbusLinkPort() override;

    OpenResult
    open(int which, const QString &server, const QString &topic, const QString &item) override;
    void close(int which) override;
    // Tries every 500 ms until the attempt settles or the time limit has passed.
    bool waitForLink(const std::function<bool()> &attempt) override;

    QString companionProgram() const override { return m_companion; }

    QString serverName() override;
    bool offer(const QString &topic, const QString &item, const QString &text) override;
    void reset() override;

    void setClipboard(const QString &text, const QString &reference) override;

    QString clipboardReference() const override { return m_clipReference; }

    QString clipboardText() const override { return m_clipText; }

    // How long waitForLink waits at most, in milliseconds (20 s at first).
    void setWaitLimit(int ms) { m_waitLimit = ms; }

    // The command-line tool that serves files (at first "axona" beside this program, else on the
    // program search path).
    void setCompanionProgram(const QString &path) { m_companion = path; }

    // The server name tried first (at first "Axona32"); before the first offer only.
    void setServerName(const QString &name) { m_serverName = name; }

private:
    QDBusConnection m_connection;
    std::array<std::unique_ptr<LinkClient>, 2> m_clients;
    std::unique_ptr<LinkServer> m_server;
    QString m_serverName = QStringLiteral("Axona32");
    QString m_topic;
    QString m_companion;
    QString m_clipText;
    QString m_clipReference;
    int m_waitLimit = 20000;
};
