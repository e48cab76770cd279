#include <QTest>

#include "exchange/dbus/linkbus.h"
#include "exchange/itemtext.h"
#include "exchange/outputstext.h"
#include "model/linkreference.h"
#include "trainfixture.h"

// The texts of the links: references, bus names, file texts offered as items, outputs texts.
class TestLinkText : public QObject
{
    Q_OBJECT

private slots:
    void parseReference_data();
    void parseReference();
    void refusedReference_data();
    void refusedReference();
    void sourceLines();
    void busNames_data();
    void busNames();
    void itemText_data();
    void itemText();
    void itemTextRefused();
    void outputsText();
    void outputsTextTruncated();
};

void TestLinkText::parseReference_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("server");
    QTest::addColumn<QString>("topic");
    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("directory");
    QTest::addColumn<QString>("document");

    QTest::newRow("program outputs") << "Axona32|/home/ann/xor.net!TXT_PATOUTS"
                                     << "Axona32"
                                     << "/home/ann/xor.net"
                                     << "TXT_PATOUTS"
                                     << ""
                                     << "/home/ann/xor.net";
    QTest::newRow("spreadsheet") << "Excel|[prices.xls]Sheet1!R1C1:R4C3"
                                 << "Excel"
                                 << "[prices.xls]Sheet1"
                                 << "R1C1:R4C3"
                                 << ""
                                 << "prices.xls";
    QTest::newRow("spreadsheet with folder") << "Excel|C:\\data\\[prices.xls]Sheet1!R1C1"
                                             << "Excel"
                                             << "[prices.xls]Sheet1"
                                             << "R1C1"
                                             << "C:\\data\\"
                                             << "C:\\data\\prices.xls";
    QTest::newRow("no ! links the whole as topic") << "sheet|[a.tsv]Sheet1"
                                                   << "sheet"
                                                   << "[a.tsv]Sheet1"
                                                   << ""
                                                   << ""
                                                   << "a.tsv";
    QTest::newRow("! in the topic") << "sheet|/tmp/wow!/a.tsv!data"
                                    << "sheet"
                                    << "/tmp/wow!/a.tsv"
                                    << "data"
                                    << ""
                                    << "/tmp/wow!/a.tsv";
    QTest::newRow("clipboard line end") << " sheet|t!i\r\n"
                                        << "sheet"
                                        << "t"
                                        << "i"
                                        << ""
                                        << "t";
    QTest::newRow("empty item") << "sheet|t!"
                                << "sheet"
                                << "t"
                                << ""
                                << ""
                                << "t";
}

void TestLinkText::parseReference()
{
    QFETCH(QString, text);
    QFETCH(QString, server);
    QFETCH(QString, topic);
    QFETCH(QString, item);
    QFETCH(QString, directory);
    QFETCH(QString, document);
    const std::optional<LinkReference> ref = parseLinkReference(text);
    QVERIFY(ref);
    QCOMPARE(ref->server, server);
    QCOMPARE(ref->topic, topic);
    QCOMPARE(ref->item, item);
    QCOMPARE(ref->directory, directory);
    QCOMPARE(linkDocument(*ref), document);
    if (directory.isEmpty() && text.trimmed().contains(u'!')) {
        QCOMPARE(formatLinkReference(server, topic, item), text.trimmed());
    }
}

void TestLinkText::refusedReference_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("empty") << "";
    QTest::newRow("numbers") << "1\t2\t3\r\n";
    QTest::newRow("no bar") << "sheet!data";
    QTest::newRow("empty server") << "|topic!item";
    QTest::newRow("line end inside") << "sheet|a\r\nb!c";
    QTest::newRow("too long") << QStringLiteral("s|") + QString(5000, u'x') + QStringLiteral("!i");
}

void TestLinkText::refusedReference()
{
    QFETCH(QString, text);
    QVERIFY(!parseLinkReference(text));
}

void TestLinkText::sourceLines()
{
    const QString ref = QStringLiteral("sheet|[a.tsv]Sheet1!data");
    QCOMPARE(linkedSource(u"!sheet|[a.tsv]Sheet1!data"), std::optional<QString>(ref));
    QCOMPARE(linkedSource(u"$sheet|t!i"), std::optional<QString>(QStringLiteral("sheet|t!i")));
    QVERIFY(!linkedSource(u"/home/ann/xor.pat"));
    QVERIFY(!linkedSource(u"click here to open file"));
}

void TestLinkText::busNames_data()
{
    QTest::addColumn<QString>("server");
    QTest::addColumn<QString>("busName");
    QTest::addColumn<QString>("topic");
    QTest::addColumn<QString>("path");

    QTest::newRow("plain") << "Axona32"
                           << "org.axona.Link.axona32"
                           << "xor"
                           << "/org/axona/Link/topic/xor";
    QTest::newRow("punctuation") << "my sheet_1"
                                 << "org.axona.Link.my_20sheet_5F1"
                                 << "[a b]Sheet1"
                                 << "/org/axona/Link/topic/_5Ba_20b_5DSheet1";
    QTest::newRow("leading digit and UTF-8") << "1ère"
                                             << "org.axona.Link._31_C3_A8re"
                                             << "/tmp/x.net"
                                             << "/org/axona/Link/topic/_2Ftmp_2Fx_2Enet";
    QTest::newRow("empty topic") << "s"
                                 << "org.axona.Link.s"
                                 << ""
                                 << "/org/axona/Link/topic";
}

void TestLinkText::busNames()
{
    QFETCH(QString, server);
    QFETCH(QString, busName);
    QFETCH(QString, topic);
    QFETCH(QString, path);
    QCOMPARE(linkbus::busName(server), busName);
    QCOMPARE(linkbus::busName(server.toUpper()), busName);
    QCOMPARE(linkbus::unescape(busName.sliced(linkbus::BusNamePrefix.size())),
             std::optional<QString>(server.toLower()));
    QCOMPARE(linkbus::topicPath(topic), path);
    QCOMPARE(linkbus::pathTopic(path), std::optional<QString>(topic));
}

void TestLinkText::itemText_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("csv");
    QTest::addColumn<QString>("item");

    QTest::newRow("LF rows, no last line end") << "1\t2\n3\t4" << false << "1\t2\r\n3\t4\r\n";
    QTest::newRow("CRLF and CR rows") << "1 2\r\n3 4\r5 6\r\n" << false << "1 2\r\n3 4\r\n5 6\r\n";
    QTest::newRow("CSV with quotes") << "1,\"2,5\",\"say \"\"hi\"\"\"\n4,5,6\n"
                                     << true << "1\t2,5\tsay \"hi\"\r\n4\t5\t6\r\n";
    QTest::newRow("empty file") << "" << false << "";
}

void TestLinkText::itemText()
{
    QFETCH(QString, file);
    QFETCH(bool, csv);
    QFETCH(QString, item);
    const Result<QString> text = linkItemText(file, csv);
    QVERIFY(text);
    QCOMPARE(text.value(), item);
}

void TestLinkText::itemTextRefused()
{
    QVERIFY(!linkItemText(QStringLiteral("1\t2\r\n") + QChar(0) + QStringLiteral("3\r\n"), false));
    // 32767 characters are taken, more are not: 4681 rows of 7 characters once CR LF ended.
    const QString row = QStringLiteral("1\t2\t3\n");
    const QString fits = row.repeated(4681);
    QCOMPARE(linkItemText(fits, false).value().size(), MaxLinkItemLength);
    QVERIFY(!linkItemText(fits + u'6', false));
}

void TestLinkText::outputsText()
{
    // Three linear outputs fed by their biases alone give 0.5, 1 and 2 for every pattern.
    TestBench b;
    QVERIFY(buildNet(b.wb, {QStringLiteral("1"), QStringLiteral("3")}, {1, FuncLinear}));
    for (int j = 1; j <= 3; ++j) {
        setWeights(b.wb.model, 2, j, {0.0f, j == 1 ? 0.5f : j == 2 ? 1.0f : 2.0f});
    }
    setPatterns(b.wb, {{0.3f}, {0.9f}}, {{0, 0, 0}, {0, 0, 0}});
    std::optional<OutputsText> out = ::outputsText(b.wb, false);
    QVERIFY(out);
    QVERIFY(!out->truncated);
    QCOMPARE(out->text.toLatin1(),
             QByteArray("0.500000\t1.000000\t2.000000\r\n"
                        "0.500000\t1.000000\t2.000000\r\n"));

    // Held normalised, the outputs go back to data units: y = 2x + 1.
    NetModel &m = b.wb.model;
    m.NormOn = true;
    m.GlobalNorm = false;
    m.OutNormA = {2, 2, 2, 2};
    m.OutNormB = {1, 1, 1, 1};
    QCOMPARE(::outputsText(b.wb, false)->text.toLatin1(),
             QByteArray("-0.250000\t0.000000\t0.500000\r\n-0.250000\t0.000000\t0.500000\r\n"));

    // No test set: nothing to offer.
    out = ::outputsText(b.wb, true);
    QVERIFY(out && out->text.isEmpty() && !out->truncated);
}

void TestLinkText::outputsTextTruncated()
{
    // 3000 patterns of three outputs: 3000 lines of 29 characters, cut at 32767.
    TestBench b;
    QVERIFY(buildNet(b.wb, {QStringLiteral("1"), QStringLiteral("3")}, {1, FuncLinear}));
    Rows in(3000, std::vector<float> {0.0f});
    Rows out(3000, std::vector<float> {0, 0, 0});
    setPatterns(b.wb, in, out);
    const std::optional<OutputsText> text = ::outputsText(b.wb, false);
    QVERIFY(text);
    QVERIFY(text->truncated);
    QCOMPARE(text->text.size(), MaxLinkItemLength);
}

QTEST_GUILESS_MAIN(TestLinkText)
#include "tst_linktext.moc"
