#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "exchange/dbus/linkclient.h"
#include "linkprocesses.h"
#include "model/linkreference.h"

// The companion command "axona link" run as separate programs on a private session bus.
class TestCompanion : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void servedFileReachesWatchers();
    void refusedFiles_data();
    void refusedFiles();
    void laterChangesThatCannotBeLinked();
    void csvBecomesTabs();
    void badCommandLines_data();
    void badCommandLines();
    void nameAlreadyServed();
    void quitsWhenUnlinked();

private:
    QTemporaryDir m_dir;

    QString path(const QString &name) const { return m_dir.filePath(name); }
};

void TestCompanion::initTestCase()
{
    QVERIFY2(QFileInfo::exists(cli()), "AXONA_CLI names no program");
    QVERIFY(m_dir.isValid());
}

void TestCompanion::servedFileReachesWatchers()
{
    const QString data = path(QStringLiteral("prices.tsv"));
    QVERIFY(writeFile(data, "1\t2\t3\n4\t5\t6\n"));
    Server server(data, QStringLiteral("sheet"),
                  {QStringLiteral("--topic"), QStringLiteral("[prices.tsv]Sheet1"),
                   QStringLiteral("--item"), QStringLiteral("R1C1:R2C3")});
    QCOMPARE(server.reference, QStringLiteral("sheet|[prices.tsv]Sheet1!R1C1:R2C3"));

    const Run once = link({QStringLiteral("get"), server.reference});
    QCOMPARE(once.status, 0);
    QCOMPARE(once.out, QByteArray("1\t2\t3\r\n4\t5\t6\r\n"));

    const QString out = path(QStringLiteral("outputs.tsv"));
    QProcess watch;
    watch.start(cli(),
                {QStringLiteral("link"), QStringLiteral("watch"), server.reference,
                 QStringLiteral("-o"), out});
    QTRY_COMPARE(readFile(out), QByteArray("1\t2\t3\r\n4\t5\t6\r\n"));

    // This process links as well, by the reference without its item.
    LinkClient client;
    QSignalSpy updated(&client, &LinkClient::updated);
    QCOMPARE(client.open(QStringLiteral("sheet"), QStringLiteral("[prices.tsv]Sheet1"), QString()),
             LinkStatus::Linked);

    // Saved by replacing the file, then in place: both reach every client.
    QVERIFY(replaceFile(data, "7\t8\t9\n"));
    QTRY_COMPARE(readFile(out), QByteArray("7\t8\t9\r\n"));
    QTRY_COMPARE(client.text(), QStringLiteral("7\t8\t9\r\n"));
    QVERIFY(writeFile(data, "10\t11\t12\n"));
    QTRY_COMPARE(readFile(out), QByteArray("10\t11\t12\r\n"));
    QTRY_COMPARE(client.text(), QStringLiteral("10\t11\t12\r\n"));
    QCOMPARE(updated.count(), 2);

    // The server goes away: the watcher says so and ends, this client is told.
    QSignalSpy terminated(&client, &LinkClient::terminated);
    server.process().kill();
    QVERIFY(watch.waitForFinished(10000));
    QCOMPARE(watch.exitCode(), 1);
    QVERIFY(QString::fromUtf8(watch.readAllStandardError()).contains(u"went away"));
    QTRY_COMPARE(terminated.count(), 1);
    QCOMPARE(readFile(out), QByteArray("10\t11\t12\r\n"));
}

void TestCompanion::refusedFiles_data()
{
    QTest::addColumn<QByteArray>("contents");
    QTest::addColumn<QString>("message");
    QTest::newRow("more than an item holds") << QByteArray(32768, '1') << "32767";
    QTest::newRow("binary") << QByteArray("1\t2\r\n\0\x01\x02", 8) << "NUL";
}

void TestCompanion::refusedFiles()
{
    QFETCH(QByteArray, contents);
    QFETCH(QString, message);
    const QString data = path(QStringLiteral("refused.dat"));
    QVERIFY(writeFile(data, contents));
    const Run r = link(
            {QStringLiteral("serve"), data, QStringLiteral("--server"), QStringLiteral("sheet")});
    QCOMPARE(r.status, 1);
    QVERIFY2(r.err.contains(message), qPrintable(r.err));
    const Run missing = link({QStringLiteral("serve"), path(QStringLiteral("none.tsv")),
                              QStringLiteral("--server"), QStringLiteral("sheet")});
    QCOMPARE(missing.status, 1);
}

void TestCompanion::laterChangesThatCannotBeLinked()
{
    const QString data = path(QStringLiteral("later.tsv"));
    QVERIFY(writeFile(data, "1\t2\n"));
    Server server(data, QStringLiteral("sheet"));
    QVERIFY(!server.reference.isEmpty());
    QByteArray said;
    const auto says = [&](const char *text) {
        said += server.process().readAllStandardError();
        return said.contains(text);
    };
    QVERIFY(writeFile(data, QByteArray(40000, '3')));
    QTRY_VERIFY(says("longer than a link item holds"));
    QVERIFY(writeFile(data, QByteArray("1\t2\n\0", 5)));
    QTRY_VERIFY(says("NUL characters"));
    QVERIFY(says("still offering"));
    const Run r = link({QStringLiteral("get"), server.reference});
    QCOMPARE(r.status, 0);
    QCOMPARE(r.out, QByteArray("1\t2\r\n"));
}

void TestCompanion::csvBecomesTabs()
{
    const QString data = path(QStringLiteral("table.csv"));
    QVERIFY(writeFile(data, "1,2,\"3\"\r\n4,5,6\r\n"));
    Server server(data, QStringLiteral("csv"));
    // The topic defaults to the file's full name, the item to "data".
    QCOMPARE(server.reference,
             formatLinkReference(QStringLiteral("csv"), data, QStringLiteral("data")));
    const Run r = link({QStringLiteral("get"), server.reference});
    QCOMPARE(r.out, QByteArray("1\t2\t3\r\n4\t5\t6\r\n"));
}

void TestCompanion::badCommandLines_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("message");
    QTest::newRow("no reference") << QStringList {"get", "garbage"} << 1 << "not a link reference";
    QTest::newRow("empty server") << QStringList {"get", "|t!i"} << 1 << "not a link reference";
    QTest::newRow("nobody serves")
            << QStringList {"get", "nobody|t!i"} << 1 << "No program offers links as \"nobody\"";
    QTest::newRow("watch nobody") << QStringList {"watch", "nobody|t!i", "--timeout", "500"} << 1
                                  << "nobody";
    QTest::newRow("get without reference") << QStringList {"get"} << 2 << "usage";
    QTest::newRow("bad timeout") << QStringList {"get", "s|t!i", "--timeout", "x"} << 2
                                 << "--timeout needs a number";
    QTest::newRow("serve without server") << QStringList {"serve", "x.tsv"} << 2 << "--server";
    QTest::newRow("unknown option")
            << QStringList {"serve", "x.tsv", "--sever", "s"} << 2 << "unknown option --sever";
    QTest::newRow("unknown command") << QStringList {"poke", "s|t!i"} << 2 << "poke";
}

void TestCompanion::badCommandLines()
{
    QFETCH(QStringList, args);
    QFETCH(int, status);
    QFETCH(QString, message);
    const Run r = link(args);
    QCOMPARE(r.status, status);
    QVERIFY2(r.err.contains(message), qPrintable(r.err));
    QVERIFY(r.out.isEmpty());
}

void TestCompanion::nameAlreadyServed()
{
    const QString data = path(QStringLiteral("first.tsv"));
    QVERIFY(writeFile(data, "1\n"));
    Server first(data, QStringLiteral("Sheet"));
    QVERIFY(!first.reference.isEmpty());
    const Run second = link(
            {QStringLiteral("serve"), data, QStringLiteral("--server"), QStringLiteral("sheet")});
    QCOMPARE(second.status, 1);
    QVERIFY2(second.err.contains(u"already offers links as \"sheet\""), qPrintable(second.err));
}

void TestCompanion::quitsWhenUnlinked()
{
    const QString data = path(QStringLiteral("once.tsv"));
    QVERIFY(writeFile(data, "1\n"));
    Server server(data, QStringLiteral("once"), {QStringLiteral("--quit-when-unlinked")});
    LinkClient client;
    QCOMPARE(client.open(QStringLiteral("once"), data, QStringLiteral("data")), LinkStatus::Linked);
    QVERIFY(!server.process().waitForFinished(300));
    client.close();
    QVERIFY(server.process().waitForFinished(10000));
    QCOMPARE(server.process().exitCode(), 0);
}

QTEST_GUILESS_MAIN(TestCompanion)
#include "tst_companion.moc"
