#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVirtualObject>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>

#include "exchange/dbus/linkbus.h"
#include "exchange/dbus/linkclient.h"
#include "exchange/dbus/linkserver.h"
#include "model/linkreference.h"

Q_DECLARE_METATYPE(LinkStatus)

namespace {

// A bus connection of its own, as another program would have.
class OwnConnection
{
public:
    explicit OwnConnection(const QString &name)
        : m_name(name)
        , m_connection(QDBusConnection::connectToBus(QDBusConnection::SessionBus, name))
    {}

    ~OwnConnection() { QDBusConnection::disconnectFromBus(m_name); }

    QDBusConnection &operator*() { return m_connection; }

private:
    QString m_name;
    QDBusConnection m_connection;
};

// A peer that owns a link server's name but answers as it likes: the text it gives on Advise,
// and signals it sends to a client unasked.
class RoguePeer final : public QDBusVirtualObject
{
public:
    explicit RoguePeer(const QString &server)
        : m_connection(QStringLiteral("rogue"))
    {
        (*m_connection)
                .registerVirtualObject(linkbus::TopicPathBase, this, QDBusConnection::SubPath);
        (*m_connection).registerService(linkbus::busName(server));
    }

    QString introspect(const QString &) const override { return QString(); }

    bool handleMessage(const QDBusMessage &message, const QDBusConnection &connection) override
    {
        m_client = message.service();
        connection.send(message.member() == u"Request" ? message.createReply(answer)
                                                       : message.createReply(QVariantList {
                                                               QStringLiteral("data"), answer}));
        return true;
    }

    // Sends Changed with these arguments to the client that linked last.
    void changed(const QVariantList &arguments)
    {
        QDBusMessage signal = QDBusMessage::createTargetedSignal(
                m_client, linkbus::topicPath(QStringLiteral("t")), linkbus::Interface,
                QStringLiteral("Changed"));
        signal.setArguments(arguments);
        (*m_connection).send(signal);
    }

    QString answer = QStringLiteral("1\t2\r\n");

private:
    OwnConnection m_connection;
    QString m_client;
};

} // namespace

// The link transport on a private session bus: a server and clients in this process, on
// connections of their own like separate programs, and peers that misbehave.
class TestTransport : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void linkReceivesChanges();
    void linkWithinOneConnection();
    void failures_data();
    void failures();
    void emptyItemNamesTheOnlyItem();
    void serverGoesAway();
    void clientLeaves();
    void oversizeTexts();
    void misbehavingPeer();
    void malformedCalls();
    void floodIsMerged();
};

void TestTransport::initTestCase()
{
    QVERIFY2(QDBusConnection::sessionBus().isConnected(),
             "no session bus: run under dbus-run-session");
}

void TestTransport::linkReceivesChanges()
{
    OwnConnection other(QStringLiteral("server"));
    LinkServer server(*other);
    QVERIFY(server.publish(QStringLiteral("[a.tsv]Sheet1"), QStringLiteral("data"),
                           QStringLiteral("1\t2\r\n")));
    QVERIFY2(server.start(QStringLiteral("Sheet")), qPrintable(server.errorText()));
    QSignalSpy linked(&server, &LinkServer::clientLinked);
    QSignalSpy left(&server, &LinkServer::clientLeft);

    LinkClient client;
    QSignalSpy updated(&client, &LinkClient::updated);
    // Server names do not depend on case.
    QCOMPARE(client.open(QStringLiteral("SHEET"), QStringLiteral("[a.tsv]Sheet1"),
                         QStringLiteral("data")),
             LinkStatus::Linked);
    QCOMPARE(client.text(), QStringLiteral("1\t2\r\n"));
    QCOMPARE(linked.count(), 1);
    QCOMPARE(server.clientCount(QStringLiteral("[a.tsv]Sheet1"), QStringLiteral("data")), 1);

    QVERIFY(server.publish(QStringLiteral("[a.tsv]Sheet1"), QStringLiteral("data"),
                           QStringLiteral("3\t4\r\n")));
    QTRY_COMPARE(updated.count(), 1);
    QCOMPARE(updated.at(0).at(0).toString(), QStringLiteral("3\t4\r\n"));
    // An unchanged text is not sent again.
    server.publish(QStringLiteral("[a.tsv]Sheet1"), QStringLiteral("data"),
                   QStringLiteral("3\t4\r\n"));
    QTest::qWait(100);
    QCOMPARE(updated.count(), 1);

    client.close();
    QTRY_COMPARE(left.count(), 1);
    QCOMPARE(server.clientCount(QStringLiteral("[a.tsv]Sheet1"), QStringLiteral("data")), 0);
}

void TestTransport::linkWithinOneConnection()
{
    // The program links its own outputs: server and client share the connection.
    LinkServer server;
    server.publish(QStringLiteral("/tmp/x.net"), QStringLiteral("TXT_PATOUTS"),
                   QStringLiteral("0.5\r\n"));
    QVERIFY(server.start(QStringLiteral("Axona32")));
    LinkClient client;
    QCOMPARE(client.open(QStringLiteral("Axona32"), QStringLiteral("/tmp/x.net"),
                         QStringLiteral("TXT_PATOUTS"), 2000),
             LinkStatus::Linked);
    QCOMPARE(client.text(), QStringLiteral("0.5\r\n"));
    QSignalSpy updated(&client, &LinkClient::updated);
    server.publish(QStringLiteral("/tmp/x.net"), QStringLiteral("TXT_PATOUTS"),
                   QStringLiteral("0.7\r\n"));
    QTRY_COMPARE(updated.count(), 1);
    const LinkFetch fetched = fetchLinkItem(QStringLiteral("Axona32"), QStringLiteral("/tmp/x.net"),
                                            QStringLiteral("TXT_PATOUTS"), 2000);
    QCOMPARE(fetched.status, LinkStatus::Linked);
    QCOMPARE(fetched.text, QStringLiteral("0.7\r\n"));

    // A second program of the same name gets a numbered one.
    OwnConnection other(QStringLiteral("second"));
    LinkServer second(*other);
    QVERIFY(!second.start(QStringLiteral("Axona32")));
    QVERIFY(second.errorText().contains(u"Axona32"));
    QVERIFY(second.start(QStringLiteral("Axona32"), true));
    QCOMPARE(second.serverName(), QStringLiteral("Axona32-2"));
}

void TestTransport::failures_data()
{
    QTest::addColumn<QString>("server");
    QTest::addColumn<QString>("topic");
    QTest::addColumn<QString>("item");
    QTest::addColumn<LinkStatus>("status");
    QTest::addColumn<QString>("mentions");

    QTest::newRow("nobody offers the name") << "nobody"
                                            << "t"
                                            << "a" << LinkStatus::NoServer << "nobody";
    QTest::newRow("no such topic") << "s"
                                   << "u"
                                   << "a" << LinkStatus::NoTopic << "\"t\"";
    QTest::newRow("no such item") << "s"
                                  << "t"
                                  << "c" << LinkStatus::NoItem << "\"b\"";
    QTest::newRow("empty item of two") << "s"
                                       << "t"
                                       << "" << LinkStatus::NoItem << "\"a\"";
    QTest::newRow("empty server") << ""
                                  << "t"
                                  << "a" << LinkStatus::BadName << "";
    QTest::newRow("name too long") << QString(100, u'é') << "t"
                                   << "a" << LinkStatus::BadName << "";
    QTest::newRow("name held by a program without links")
            << "impostor"
            << "t"
            << "a" << LinkStatus::Failed << "impostor";
}

void TestTransport::failures()
{
    QFETCH(QString, server);
    QFETCH(QString, topic);
    QFETCH(QString, item);
    QFETCH(LinkStatus, status);
    QFETCH(QString, mentions);

    OwnConnection other(QStringLiteral("server"));
    LinkServer s(*other);
    s.publish(QStringLiteral("t"), QStringLiteral("a"), QStringLiteral("1\r\n"));
    s.publish(QStringLiteral("t"), QStringLiteral("b"), QStringLiteral("2\r\n"));
    QVERIFY(s.start(QStringLiteral("s")));
    OwnConnection impostor(QStringLiteral("impostor"));
    QVERIFY((*impostor).registerService(linkbus::busName(QStringLiteral("impostor"))));

    LinkClient client;
    QCOMPARE(client.open(server, topic, item, 2000), status);
    QVERIFY(!client.isLinked());
    QVERIFY2(client.errorText().contains(mentions), qPrintable(client.errorText()));
    const LinkFetch fetched = fetchLinkItem(server, topic, item, 2000);
    QCOMPARE(fetched.status, status);
    QVERIFY(fetched.text.isEmpty());
}

void TestTransport::emptyItemNamesTheOnlyItem()
{
    OwnConnection other(QStringLiteral("server"));
    LinkServer server(*other);
    server.publish(QStringLiteral("[a.tsv]Sheet1"), QStringLiteral("data"),
                   QStringLiteral("1\r\n"));
    QVERIFY(server.start(QStringLiteral("sheet")));
    // What pasting the reference "sheet|[a.tsv]Sheet1" asks for.
    const std::optional<LinkReference> ref = parseLinkReference(u"sheet|[a.tsv]Sheet1");
    QVERIFY(ref);
    LinkClient client;
    QCOMPARE(client.open(ref->server, ref->topic, ref->item), LinkStatus::Linked);
    QCOMPARE(client.item(), QStringLiteral("data"));
    QSignalSpy updated(&client, &LinkClient::updated);
    server.publish(QStringLiteral("[a.tsv]Sheet1"), QStringLiteral("data"),
                   QStringLiteral("2\r\n"));
    QTRY_COMPARE(updated.count(), 1);
}

void TestTransport::serverGoesAway()
{
    LinkClient client;
    QSignalSpy terminated(&client, &LinkClient::terminated);
    {
        OwnConnection other(QStringLiteral("server"));
        auto server = std::make_unique<LinkServer>(*other);
        server->publish(QStringLiteral("t"), QStringLiteral("a"), QStringLiteral("1\r\n"));
        QVERIFY(server->start(QStringLiteral("s")));
        QCOMPARE(client.open(QStringLiteral("s"), QStringLiteral("t"), QStringLiteral("a")),
                 LinkStatus::Linked);

        // Withdrawing the topic ends the link too.
        LinkClient second;
        QSignalSpy secondEnded(&second, &LinkClient::terminated);
        QCOMPARE(second.open(QStringLiteral("s"), QStringLiteral("t"), QStringLiteral("a")),
                 LinkStatus::Linked);
        server->publish(QStringLiteral("u"), QStringLiteral("a"), QStringLiteral("1\r\n"));
        QCOMPARE(client.open(QStringLiteral("s"), QStringLiteral("u"), QStringLiteral("a")),
                 LinkStatus::Linked);
        server->withdraw(QStringLiteral("t"));
        QTRY_COMPARE(secondEnded.count(), 1);
        QVERIFY(!second.isLinked());
        QCOMPARE(terminated.count(), 0);
    }
    QTRY_COMPARE(terminated.count(), 1);
    QVERIFY(!client.isLinked());
    QCOMPARE(client.text(), QStringLiteral("1\r\n"));
}

void TestTransport::clientLeaves()
{
    LinkServer server;
    server.publish(QStringLiteral("t"), QStringLiteral("a"), QStringLiteral("1\r\n"));
    QVERIFY(server.start(QStringLiteral("s")));
    QSignalSpy linked(&server, &LinkServer::clientLinked);
    QSignalSpy left(&server, &LinkServer::clientLeft);
    // Another program links and is killed: it never says goodbye.
    QProcess watch;
    watch.start(qEnvironmentVariable("AXONA_CLI"),
                {QStringLiteral("link"), QStringLiteral("watch"), QStringLiteral("s|t!a")});
    QTRY_COMPARE(linked.count(), 1);
    QCOMPARE(server.clientCount(QStringLiteral("t"), QStringLiteral("a")), 1);
    watch.kill();
    watch.waitForFinished();
    QTRY_COMPARE(left.count(), 1);
    QCOMPARE(left.at(0).at(0).toString(), QStringLiteral("t"));
    QCOMPARE(left.at(0).at(1).toString(), QStringLiteral("a"));
    QCOMPARE(server.clientCount(QStringLiteral("t"), QStringLiteral("a")), 0);
}

void TestTransport::oversizeTexts()
{
    LinkServer server;
    const QString fits(MaxLinkItemLength, u'7');
    QVERIFY(server.publish(QStringLiteral("t"), QStringLiteral("a"), fits));
    QVERIFY(!server.publish(QStringLiteral("t"), QStringLiteral("a"), fits + u'7'));
    QVERIFY(server.errorText().contains(u"32767"));
    QVERIFY(!server.publish(QStringLiteral("t"), QStringLiteral("a"),
                            QStringLiteral("1") + QChar(0) + QStringLiteral("2")));
    QCOMPARE(server.text(QStringLiteral("t"), QStringLiteral("a")), fits);

    // A peer that answers with more than an item holds is refused.
    RoguePeer rogue(QStringLiteral("rogue"));
    rogue.answer = QString(40000, u'1');
    LinkClient client;
    QCOMPARE(client.open(QStringLiteral("rogue"), QStringLiteral("t"), QStringLiteral("data")),
             LinkStatus::TooLong);
    QVERIFY(client.errorText().contains(u"40000"));
    QCOMPARE(fetchLinkItem(QStringLiteral("rogue"), QStringLiteral("t"), QStringLiteral("data"))
                     .status,
             LinkStatus::TooLong);
}

void TestTransport::misbehavingPeer()
{
    RoguePeer rogue(QStringLiteral("rogue"));
    LinkClient client;
    QSignalSpy updated(&client, &LinkClient::updated);
    QSignalSpy refused(&client, &LinkClient::refused);
    QCOMPARE(client.open(QStringLiteral("rogue"), QStringLiteral("t"), QStringLiteral("data")),
             LinkStatus::Linked);

    rogue.changed({QStringLiteral("data"), QString(40000, u'2')});
    QTRY_COMPARE(refused.count(), 1);
    rogue.changed({QStringLiteral("data"), 42});
    rogue.changed({QStringLiteral("data")});
    rogue.changed({QStringLiteral("other item"), QStringLiteral("9\r\n")});
    rogue.changed({QStringLiteral("data"), QStringLiteral("1\u00002\r\n").toUtf8()});
    QTest::qWait(200);
    QCOMPARE(updated.count(), 0);
    QVERIFY(client.isLinked());
    QCOMPARE(client.text(), QStringLiteral("1\t2\r\n"));

    // A flood: every text is taken in turn, the program sees only a few of them, the last one.
    for (int i = 1; i <= 2000; ++i) {
        rogue.changed({QStringLiteral("data"), QString::number(i) + QStringLiteral("\r\n")});
    }
    QTRY_COMPARE(client.text(), QStringLiteral("2000\r\n"));
    QVERIFY2(updated.count() < 100, qPrintable(QString::number(updated.count())));
}

void TestTransport::malformedCalls()
{
    OwnConnection other(QStringLiteral("server"));
    LinkServer server(*other);
    server.publish(QStringLiteral("t"), QStringLiteral("a"), QStringLiteral("1\r\n"));
    QVERIFY(server.start(QStringLiteral("s")));
    const QString bus = linkbus::busName(QStringLiteral("s"));
    const auto call = [&](const QString &path, const QString &method, const QVariantList &args) {
        QDBusMessage m = QDBusMessage::createMethodCall(bus, path, linkbus::Interface, method);
        m.setArguments(args);
        return linkbus::callAndWait(QDBusConnection::sessionBus(), m, 2000);
    };
    const QString path = linkbus::topicPath(QStringLiteral("t"));
    QCOMPARE(call(path, QStringLiteral("Advise"), {42}).type(), QDBusMessage::ErrorMessage);
    QCOMPARE(call(path, QStringLiteral("Advise"), {}).type(), QDBusMessage::ErrorMessage);
    QCOMPARE(call(path, QStringLiteral("Poke"), {QStringLiteral("a")}).type(),
             QDBusMessage::ErrorMessage);
    QCOMPARE(call(linkbus::TopicPathBase + QStringLiteral("/_ZZ"), QStringLiteral("Request"),
                  {QStringLiteral("a")})
                     .errorName(),
             linkbus::ErrorNoTopic);
    QCOMPARE(call(path, QStringLiteral("Unadvise"), {QStringLiteral("a")}).type(),
             QDBusMessage::ReplyMessage);
    QCOMPARE(server.clientCount(QStringLiteral("t"), QStringLiteral("a")), 0);
    const QDBusMessage ok = call(path, QStringLiteral("Request"), {QStringLiteral("a")});
    QCOMPARE(ok.type(), QDBusMessage::ReplyMessage);
    QCOMPARE(ok.arguments().value(0).toString(), QStringLiteral("1\r\n"));
}

void TestTransport::floodIsMerged()
{
    OwnConnection other(QStringLiteral("server"));
    LinkServer server(*other);
    server.publish(QStringLiteral("t"), QStringLiteral("a"), QStringLiteral("0\r\n"));
    QVERIFY(server.start(QStringLiteral("s")));
    LinkClient client;
    QSignalSpy updated(&client, &LinkClient::updated);
    QCOMPARE(client.open(QStringLiteral("s"), QStringLiteral("t"), QStringLiteral("a")),
             LinkStatus::Linked);
    for (int i = 1; i <= 2000; ++i) {
        server.publish(QStringLiteral("t"), QStringLiteral("a"),
                       QString::number(i) + QStringLiteral("\r\n"));
    }
    QTRY_COMPARE(client.text(), QStringLiteral("2000\r\n"));
    QTest::qWait(100);
    QVERIFY2(updated.count() <= 2, qPrintable(QString::number(updated.count())));
}

QTEST_GUILESS_MAIN(TestTransport)
#include "tst_transport.moc"
