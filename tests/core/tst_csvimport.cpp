#include <QTemporaryDir>
#include <QTest>

#include "dataprep/csvimport.h"
#include "dataprep/csvtable.h"
#include "model/columnnames.h"
#include "model/textfile.h"

namespace {

CsvTable table(const QString &text)
{
    const Result<CsvTable> t = readCsv(text);
    if (!t) {
        qWarning() << t.error().message;
        return CsvTable {};
    }
    return t.value();
}

// A fixture with what users' files hold: a header, a text class column, a quoted name with the
// delimiter inside, decimal commas (semicolon-separated) and a missing value in row 4.
const QString Flowers = QStringLiteral("\"length; cm\";width;species\r\n"
                                       "1,5;0,2;setosa\r\n"
                                       "4,7;1,4;\"versi;color\"\r\n"
                                       "6,0;;virginica\r\n"
                                       "5,1;1,9;virginica\r\n"
                                       "1,4;0,3;setosa\r\n");

} // namespace

class TestCsvImport : public QObject
{
    Q_OBJECT

private slots:

    void readsTables_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("delimiter");
        QTest::addColumn<bool>("header");
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QStringList>("lastRow");

        QTest::newRow("comma, header")
                << "a,b,c\n1,2,3\n4,5,6\n"
                << "," << true << QStringList {"a", "b", "c"} << QStringList {"4", "5", "6"};
        QTest::newRow("no header")
                << "1,2\n3,4\n"
                << "," << false << QStringList {"column 1", "column 2"} << QStringList {"3", "4"};
        QTest::newRow("tab, CRLF, BOM")
                << QString(QChar(0xFEFF)) + "x\ty\r\n1.5\t2\r\n"
                << "\t" << true << QStringList {"x", "y"} << QStringList {"1.5", "2"};
        QTest::newRow("quotes: delimiter, doubled quote, line break")
                << "name,v\n\"a, \"\"b\"\"\nc\",1\n"
                << "," << true << QStringList {"name", "v"} << QStringList {"a, \"b\"\nc", "1"};
        QTest::newRow("semicolon with decimal commas")
                << "p;q\n1,5;2,25\n3;4\n"
                << ";" << true << QStringList {"p", "q"} << QStringList {"3", "4"};
        QTest::newRow("trailing delimiters, short row")
                << "a,b,\n1,2,\n3,\n"
                << "," << true << QStringList {"a", "b"} << QStringList {"3", ""};
    }

    void readsTables()
    {
        QFETCH(QString, text);
        QFETCH(QString, delimiter);
        QFETCH(bool, header);
        QFETCH(QStringList, names);
        QFETCH(QStringList, lastRow);
        const Result<CsvTable> t = readCsv(text);
        QVERIFY2(t.ok(), qPrintable(t ? QString() : t.error().message));
        QCOMPARE(QString(t.value().delimiter), delimiter);
        QCOMPARE(t.value().header, header);
        QCOMPARE(t.value().names, names);
        QCOMPARE(t.value().rows.last(), lastRow);
    }

    void refusesBrokenTables_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("message");
        QTest::newRow("open quote") << "a,b\n1,\"2\n"
                                    << "Row 2: a quoted field is not closed";
        QTest::newRow("long row") << "a,b\n1,2\n1,2,3\n"
                                  << "Row 3 has 3 cells, the header 2";
        QTest::newRow("empty") << "\n\n"
                               << "The file holds no rows";
    }

    void refusesBrokenTables()
    {
        QFETCH(QString, text);
        QFETCH(QString, message);
        const Result<CsvTable> t = readCsv(text);
        QVERIFY(!t);
        QCOMPARE(t.error().message, message);
    }

    void numbers_data()
    {
        QTest::addColumn<QString>("cell");
        QTest::addColumn<bool>("decimalComma");
        QTest::addColumn<bool>("isNumber");
        QTest::addColumn<float>("value");
        QTest::newRow("point") << " -1.25e1 " << false << true << -12.5f;
        QTest::newRow("plus") << "+3" << false << true << 3.0f;
        QTest::newRow("comma as point") << "0,5" << true << true << 0.5f;
        QTest::newRow("comma where it delimits") << "0,5" << false << false << 0.0f;
        QTest::newRow("inf") << "inf" << false << false << 0.0f;
        QTest::newRow("nan") << "nan" << false << false << 0.0f;
        QTest::newRow("beyond a single") << "1e39" << false << false << 0.0f;
        QTest::newRow("text") << "setosa" << false << false << 0.0f;
    }

    void numbers()
    {
        QFETCH(QString, cell);
        QFETCH(bool, decimalComma);
        QFETCH(bool, isNumber);
        QFETCH(float, value);
        const std::optional<float> x = csvNumber(cell, decimalComma);
        QCOMPARE(x.has_value(), isNumber);
        if (isNumber) {
            QCOMPARE(*x, value);
        }
    }

    // The class column becomes one output per class in sorted order; the missing width is
    // refused with its row, column and cell, or the row is dropped and counted.
    void importsClassColumn()
    {
        const CsvTable t = table(Flowers);
        QCOMPARE(t.names.first(), QStringLiteral("length; cm"));
        QVERIFY(t.decimalComma);
        CsvImportChoice choice;
        choice.roles = defaultRoles(t);
        QCOMPARE(choice.roles.last(), ColumnRole::Class);

        const Result<CsvImport> refused = importCsvTable(t, choice);
        QVERIFY(!refused);
        QCOMPARE(refused.error().message,
                 QStringLiteral("Row 4, column 2 (\"width\"): the cell is empty"));

        choice.dropMissing = true;
        const Result<CsvImport> r = importCsvTable(t, choice);
        QVERIFY(r.ok());
        const CsvImport &import = r.value();
        QCOMPARE(import.dropped, 1);
        QCOMPARE(int(import.train.count), 4);
        QCOMPARE(import.names.classes(), (QStringList {"setosa", "versi;color", "virginica"}));
        // Row 3: 4,7;1,4;versi;color
        QCOMPARE(import.train.in(2, 1), 4.7f);
        QCOMPARE(import.train.in(2, 2), 1.4f);
        const float expected[4][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {1, 0, 0}};
        for (int p = 1; p <= 4; ++p) {
            for (int k = 1; k <= 3; ++k) {
                QCOMPARE(import.train.out(p, k), expected[p - 1][k - 1]);
            }
        }

        choice.classLow = 0.1f;
        choice.classHigh = 0.9f;
        const Result<CsvImport> ranged = importCsvTable(t, choice);
        QCOMPARE(ranged.value().train.out(1, 1), 0.9f);
        QCOMPARE(ranged.value().train.out(1, 2), 0.1f);
    }

    void refusesCells_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("message");
        QTest::newRow("text in a number column")
                << "a,b\n1,2\nx1,3\n"
                << "Row 3, column 1 (\"a\"): \"x1\" is not a number";
        QTest::newRow("missing marker") << "a,b\n1,2\nNA,3\n"
                                        << "Row 3, column 1 (\"a\"): \"NA\" marks a missing value";
        QTest::newRow("missing class") << "a,s\n1,x\n2,?\n"
                                       << "Row 3, column 2 (\"s\"): \"?\" marks a missing value";
    }

    void refusesCells()
    {
        QFETCH(QString, text);
        QFETCH(QString, message);
        const CsvTable t = table(text);
        CsvImportChoice choice;
        choice.roles = defaultRoles(t);
        const Result<CsvImport> r = importCsvTable(t, choice);
        QVERIFY(!r);
        QCOMPARE(r.error().message, message);
    }

    void columnLists_data()
    {
        QTest::addColumn<QString>("inputs");
        QTest::addColumn<QString>("outputs");
        QTest::addColumn<QString>("classes");
        QTest::addColumn<QString>("roles");
        QTest::addColumn<QString>("error");
        // Roles: I input, O output, C class, S skip, for the columns a, b, c, d, kind.
        QTest::newRow("defaults") << ""
                                  << ""
                                  << ""
                                  << "IIIIC"
                                  << "";
        QTest::newRow("outputs by name, rest inputs") << ""
                                                      << "c,d"
                                                      << ""
                                                      << "IIOOI"
                                                      << "";
        QTest::newRow("inputs by range, last output") << "1-2"
                                                      << ""
                                                      << ""
                                                      << "IISSC"
                                                      << "";
        QTest::newRow("numbers and class") << "1,3"
                                           << "4"
                                           << "kind"
                                           << "ISIOC"
                                           << "";
        QTest::newRow("named twice") << "1-3"
                                     << "3"
                                     << ""
                                     << ""
                                     << "column 3 (\"c\") is named twice";
        QTest::newRow("out of range") << "2-9"
                                      << ""
                                      << ""
                                      << ""
                                      << "Column 2-9 is not in 1-5";
        QTest::newRow("unknown name") << "e"
                                      << ""
                                      << ""
                                      << ""
                                      << "No column is named \"e\"";
    }

    void columnLists()
    {
        QFETCH(QString, inputs);
        QFETCH(QString, outputs);
        QFETCH(QString, classes);
        QFETCH(QString, roles);
        QFETCH(QString, error);
        const CsvTable t = table("a,b,c,d,kind\n1,2,3,4,x\n5,6,7,8,y\n");
        const Result<QList<ColumnRole>> r = rolesFromLists(t, inputs, outputs, classes);
        if (!error.isEmpty()) {
            QVERIFY(!r);
            QCOMPARE(r.error().message, error);
            return;
        }
        QVERIFY(r.ok());
        QString got;
        for (ColumnRole role : r.value()) {
            got += QStringLiteral("IOCS").at(static_cast<int>(role));
        }
        QCOMPARE(got, roles);
    }

    // The same seed draws the same test rows; every row lands in exactly one set.
    void splitsTestSet()
    {
        QString text = QStringLiteral("x,y\n");
        for (int i = 1; i <= 50; ++i) {
            text += QStringLiteral("%1,%2\n").arg(i).arg(i * 2);
        }
        const CsvTable t = table(text);
        CsvImportChoice choice;
        choice.roles = defaultRoles(t);
        choice.testPercent = 20;
        choice.seed = 7;
        const CsvImport a = importCsvTable(t, choice).value();
        const CsvImport b = importCsvTable(t, choice).value();
        QCOMPARE(int(a.train.count), 40);
        QCOMPARE(int(a.test.count), 10);
        QList<float> seen;
        for (const PatternSet *set : {&a.train, &a.test}) {
            for (int p = 1; p <= set->count; ++p) {
                seen << set->in(p, 1);
            }
        }
        std::sort(seen.begin(), seen.end());
        for (int i = 1; i <= 50; ++i) {
            QCOMPARE(seen.at(i - 1), float(i));
        }
        for (int p = 1; p <= 10; ++p) {
            QCOMPARE(a.test.in(p, 1), b.test.in(p, 1));
        }
        choice.seed = 8;
        const CsvImport c = importCsvTable(t, choice).value();
        bool differs = false;
        for (int p = 1; p <= 10; ++p) {
            differs = differs || c.test.in(p, 1) != a.test.in(p, 1);
        }
        QVERIFY(differs);
        choice.testPercent = 99;
        QVERIFY(!importCsvTable(t, choice));
    }

    // The pattern, test and names files are written together and read back.
    void writesFiles()
    {
        QTemporaryDir dir;
        const CsvTable t = table(Flowers);
        CsvImportChoice choice;
        choice.roles = defaultRoles(t);
        choice.dropMissing = true;
        choice.testPercent = 25;
        const CsvImport import = importCsvTable(t, choice).value();
        const ImportFiles files = importFiles(dir.filePath("f.pat"), true);
        QCOMPARE(files.test, dir.filePath("f.tst"));
        QCOMPARE(files.names, dir.filePath("f.classes"));
        QVERIFY(writeImport(import, files).ok());
        const Result<QString> pat = readTextFile(files.patterns);
        QVERIFY(pat.ok());
        QVERIFY(pat.value().startsWith(QStringLiteral(" 3    2   3 \r\n")));
        const std::optional<ColumnNames> names = readColumnNames(files.patterns, 2, 3);
        QVERIFY(names.has_value());
        QCOMPARE(names->inputs, (QStringList {"length; cm", "width"}));
        QCOMPARE(names->outputLabel(1), QStringLiteral("species=versi;color"));
        // Names that do not fit the network are not used.
        QVERIFY(!readColumnNames(files.patterns, 3, 3).has_value());
    }
};

QTEST_GUILESS_MAIN(TestCsvImport)
#include "tst_csvimport.moc"
