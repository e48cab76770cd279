#include <cstdint>

#include <QRandomGenerator>
#include <QTest>

#include "model/listinput.h"
#include "near.h"

namespace {

// What a row reads: the file's count, then that many singles.
QList<double> readCountAndSingles(ListReader &reader)
{
    std::int16_t count = 0;
    QList<double> values;
    if (!reader.readInt16(count)) {
        return values;
    }
    for (int i = 0; i < count; ++i) {
        float value = -999.0f;
        values.append(reader.readSingle(value) ? double(value) : -999.0);
    }
    return values;
}

} // namespace

class TestListInput : public QObject
{
    Q_OBJECT

private slots:
    void layouts_data();
    void layouts();
    void networkLines();
    void textFields_data();
    void textFields();
    void badField_data();
    void badField();
    void truncated();
    void lineNumbers();
    void anyInputEnds_data();
    void anyInputEnds();
};

// The same values laid out as the writer does, one per line, all on one line, with commas,
// with tabs and blank lines, and with each kind of line end.
void TestListInput::layouts_data()
{
    QTest::addColumn<QString>("text");

    QTest::newRow("writer layout") << " 4 \r\n   0.123456   -1.500000 \r\n    2.000000 1E-05 \r\n";
    QTest::newRow("one per line LF") << "4\n.123456\n-1.5\n2\n.00001\n";
    QTest::newRow("all on one line") << "4 0.123456 -1.5 2 1e-5";
    QTest::newRow("commas") << "4,0.123456, -1.5 ,+2,0.1E-4\r\n";
    QTest::newRow("tabs and blank lines") << "\r\n\t4\r\n\r\n\t.123456\t-1.5\r\n\r\n2.\t1E-005\r\n";
    QTest::newRow("lone CR") << "4\r0.123456\r-1.5\r2\r0.00001\r";
}

void TestListInput::layouts()
{
    QFETCH(QString, text);
    ListReader reader(text);
    const QList<double> values = readCountAndSingles(reader);
    const QList<double> expected {0.123456, -1.5, 2.0, 1e-5};
    QCOMPARE(values.size(), expected.size());
    for (qsizetype i = 0; i < values.size(); ++i) {
        QVERIFY2(near(values[i], expected[i], 1e-7), qPrintable(QString::number(i)));
    }
    QVERIFY(reader.atEnd());
}

// Label lines, a quoted title, integer lines, zoned singles and a desktop line, in the order a
// network file holds them.
void TestListInput::networkLines()
{
    ListReader reader(QStringLiteral("Axona 1.7\r\n"
                                     "\"New Net\"\r\n"
                                     "Number of layers:\r\n"
                                     " 3 \r\n"
                                     "Layers size:\r\n"
                                     "2  2  1  \r\n"
                                     "Eta and alpha:\r\n"
                                     " .2            .5 \r\n"
                                     "Min and Max weight random generator:\r\n"
                                     "-3             3 \r\n"
                                     "Data Files:\r\n"
                                     "click here to open file\r\n"
                                     "\"MDI\"          0             1500         -15 \r\n"));
    QString text;
    QVERIFY(reader.readText(text));
    QCOMPARE(text, QStringLiteral("Axona 1.7"));
    QVERIFY(reader.readText(text));
    QCOMPARE(text, QStringLiteral("New Net"));
    QVERIFY(reader.readText(text));
    std::int16_t layers = 0;
    QVERIFY(reader.readInt16(layers));
    QCOMPARE(layers, std::int16_t(3));
    QVERIFY(reader.readText(text));
    QCOMPARE(text, QStringLiteral("Layers size:"));
    std::int16_t sizes[3] = {};
    for (auto &size : sizes) {
        QVERIFY(reader.readInt16(size));
    }
    QCOMPARE(sizes[0], std::int16_t(2));
    QCOMPARE(sizes[2], std::int16_t(1));
    QVERIFY(reader.readText(text));
    QCOMPARE(text, QStringLiteral("Eta and alpha:"));
    float eta = 0;
    float alpha = 0;
    QVERIFY(reader.readSingle(eta) && reader.readSingle(alpha));
    QVERIFY(near(eta, 0.2, 1e-7) && near(alpha, 0.5, 1e-7));
    QVERIFY(reader.readText(text));
    double minW = 0;
    double maxW = 0;
    QVERIFY(reader.readDouble(minW) && reader.readDouble(maxW));
    QVERIFY(near(minW, -3, 0) && near(maxW, 3, 0));
    QVERIFY(reader.readText(text));
    QCOMPARE(text, QStringLiteral("Data Files:"));
    QVERIFY(reader.readText(text));
    QCOMPARE(text, QStringLiteral("click here to open file"));
    QVERIFY(reader.readText(text));
    QCOMPARE(text, QStringLiteral("MDI"));
    std::int32_t state = 7;
    std::int32_t top = 0;
    std::int32_t left = 0;
    QVERIFY(reader.readInt32(state) && reader.readInt32(top) && reader.readInt32(left));
    QCOMPARE(state, 0);
    QCOMPARE(top, 1500);
    QCOMPARE(left, -15);
    QVERIFY(reader.atEnd());
    QVERIFY(!reader.readText(text));
}

void TestListInput::textFields_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("fields");

    QTest::newRow("comma and line end, trimmed")
            << "  abc  , def \r\nghi" << QStringList {"abc", "def", "ghi"};
    QTest::newRow("quoted keeps comma and blanks") << "\" a, b \" ,c\n"
                                                   << QStringList {" a, b ", "c"};
    QTest::newRow("empty quotes") << "\"\"\r\nx" << QStringList {"", "x"};
    QTest::newRow("doubled quote inside quotes")
            << "\"/a,\"\"b\"\" c/\"\"\"\r\nx" << QStringList {"/a,\"b\" c/\"", "x"};
    QTest::newRow("quote left open ends at line end")
            << "\"unterminated\r\nnext" << QStringList {"unterminated", "next"};
    QTest::newRow("empty line is an empty field") << "a\r\n\r\nb" << QStringList {"a", "", "b"};
    // A title holding a quote is cut at it; the rest of its line becomes the next field.
    QTest::newRow("quote inside a title") << "\"say \"hi\"\"\r\nNumber of layers:"
                                          << QStringList {"say ", "hi\"\"", "Number of layers:"};
    QTest::newRow("file name cut at comma") << "c:\\data\\a,b.pat\r\n"
                                            << QStringList {"c:\\data\\a", "b.pat"};
    QTest::newRow("non-ASCII") << "\"Neuronen für Größe\"\r\n"
                               << QStringList {QStringLiteral("Neuronen für Größe")};
}

void TestListInput::textFields()
{
    QFETCH(QString, text);
    QFETCH(QStringList, fields);
    ListReader reader(text);
    QStringList read;
    QString field;
    while (reader.readText(field)) {
        read.append(field);
    }
    QCOMPARE(read, fields);
}

// A field between 1 and 3 that cannot be taken as the wanted kind keeps the old value, and
// reading goes on with the 3.
void TestListInput::badField_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("readable");
    QTest::addColumn<double>("expected");

    QTest::newRow("word") << "1 abc 3"
                          << "single" << false << 0.0;
    QTest::newRow("number with tail") << "1 12x 3"
                                      << "single" << false << 0.0;
    QTest::newRow("NaN") << "1 NaN 3"
                         << "single" << false << 0.0;
    QTest::newRow("Inf") << "1 -Inf 3"
                         << "double" << false << 0.0;
    QTest::newRow("hexadecimal") << "1 &H10 3"
                                 << "single" << false << 0.0;
    QTest::newRow("empty between commas") << "1,,3"
                                          << "single" << false << 0.0;
    QTest::newRow("quoted number") << "1 \"2\" 3"
                                   << "single" << false << 0.0;
    QTest::newRow("beyond single") << "1 1E39 3"
                                   << "single" << false << 0.0;
    QTest::newRow("1E39 as double") << "1 1E39 3"
                                    << "double" << true << 1e39;
    QTest::newRow("below single becomes 0") << "1 -1E-50 3"
                                            << "single" << true << 0.0;
    QTest::newRow("beyond double") << "1 1E400 3"
                                   << "double" << false << 0.0;
    QTest::newRow("int16 top") << "1 32767 3"
                               << "int16" << true << 32767.0;
    QTest::newRow("int16 bottom") << "1 -32768 3"
                                  << "int16" << true << -32768.0;
    QTest::newRow("int16 over") << "1 32768 3"
                                << "int16" << false << 0.0;
    QTest::newRow("int16 far over") << "1 1E9 3"
                                    << "int16" << false << 0.0;
    QTest::newRow("int16 half to even") << "1 2.5 3"
                                        << "int16" << true << 2.0;
    QTest::newRow("int16 exponent") << "1 1E3 3"
                                    << "int16" << true << 1000.0;
    QTest::newRow("int32 over") << "1 2147483648 3"
                                << "int32" << false << 0.0;
    QTest::newRow("int32 twips") << "1 57600 3"
                                 << "int32" << true << 57600.0;
}

void TestListInput::badField()
{
    QFETCH(QString, text);
    QFETCH(QString, kind);
    QFETCH(bool, readable);
    QFETCH(double, expected);
    ListReader reader(text);
    float first = 0;
    QVERIFY(reader.readSingle(first));

    constexpr double Old = 77.0;
    double read = Old;
    bool ok = false;
    if (kind == u"single") {
        float value = float(Old);
        ok = reader.readSingle(value);
        read = value;
    } else if (kind == u"double") {
        ok = reader.readDouble(read);
    } else if (kind == u"int16") {
        std::int16_t value = std::int16_t(Old);
        ok = reader.readInt16(value);
        read = value;
    } else {
        std::int32_t value = std::int32_t(Old);
        ok = reader.readInt32(value);
        read = value;
    }
    QCOMPARE(ok, readable);
    QVERIFY2(near(read, readable ? expected : Old, 1e-7), qPrintable(QString::number(read)));

    float third = 0;
    QVERIFY(reader.readSingle(third));
    QVERIFY(near(third, 3, 0));
    QVERIFY(reader.atEnd());
}

// A file that ends early: the missing fields fail, keep their values, and the reader stays at
// the end.
void TestListInput::truncated()
{
    ListReader reader(QStringLiteral(" 9 \r\n 2 \r\n   0.123456   -1.5"));
    std::int16_t count = 0;
    std::int16_t layer = 0;
    float w1 = 0;
    float w2 = 0;
    QVERIFY(reader.readInt16(count) && reader.readInt16(layer));
    QVERIFY(reader.readSingle(w1) && reader.readSingle(w2));
    QVERIFY(near(w2, -1.5, 0));
    QVERIFY(reader.atEnd());
    float w3 = 5.0f;
    QVERIFY(!reader.readSingle(w3));
    QVERIFY(near(w3, 5.0, 0));
    QString text = QStringLiteral("kept");
    QVERIFY(!reader.readText(text));
    QCOMPARE(text, QStringLiteral("kept"));
    QVERIFY(reader.atEnd());
}

// line() names the line on which the last field started, whatever the line ends are.
void TestListInput::lineNumbers()
{
    ListReader reader(QStringLiteral("a\r\nb\nc\rd\r\n\r\n\r\n  7 x"));
    QCOMPARE(reader.line(), 1);
    QString text;
    for (int expected = 1; expected <= 4; ++expected) {
        QVERIFY(reader.readText(text));
        QCOMPARE(reader.line(), expected);
    }
    float value = 0;
    QVERIFY(reader.readSingle(value));
    QCOMPARE(reader.line(), 7);
    QVERIFY(!reader.readSingle(value));
    QCOMPARE(reader.line(), 7);
    QVERIFY(near(value, 7, 0));
}

// Whatever the text, every read that is not at the end moves forward, so a caller that reads
// until atEnd() stops after at most one read per character.
void TestListInput::anyInputEnds_data()
{
    QTest::addColumn<QString>("text");

    QRandomGenerator random(4711);
    const QString alphabet = QStringLiteral("\"\"\r\n\t ,,.-+eE019aZ\x01\xff");
    for (int row = 0; row < 20; ++row) {
        QString text;
        const int length = int(random.bounded(1, 400));
        for (int i = 0; i < length; ++i) {
            text += random.bounded(4) == 0 ? QChar(char16_t(random.bounded(0x10000)))
                                           : alphabet[random.bounded(alphabet.size())];
        }
        QTest::addRow("random %d", row) << text;
    }
    QTest::newRow("open quote to the end") << u'"' + QString(100000, u'x');
    QTest::newRow("long number") << u'1' + QString(200000, u'0') + QStringLiteral(".5");
    QTest::newRow("only line ends") << QString(1000, u'\n');
    QTest::newRow("NUL bytes") << QString(1000, QChar(0));
}

void TestListInput::anyInputEnds()
{
    QFETCH(QString, text);
    ListReader reader(text);
    qsizetype reads = 0;
    QString field;
    float single = 0;
    std::int16_t integer = 0;
    while (!reader.atEnd() && reads <= text.size()) {
        switch (reads % 3) {
        case 0:
            reader.readText(field);
            break;
        case 1:
            reader.readSingle(single);
            break;
        default:
            reader.readInt16(integer);
            break;
        }
        ++reads;
    }
    QVERIFY2(reader.atEnd(), qPrintable(QString::number(reads)));
}

QTEST_GUILESS_MAIN(TestListInput)
#include "tst_listinput.moc"
