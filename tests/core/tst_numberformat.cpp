#include <cmath>
#include <limits>

#include <QTest>

#include "model/numberformat.h"
#include "near.h"

namespace {

// Which overload a row goes through: singles and doubles differ in their significant digits.
enum class Kind { Single, Double, Int };

QString viaKind(Kind kind, double value, const QString &pattern)
{
    switch (kind) {
    case Kind::Single:
        return formatNumber(float(value), pattern);
    case Kind::Double:
        return formatNumber(value, pattern);
    case Kind::Int:
        return formatNumber(int(value), pattern);
    }
    return {};
}

QString blanks(int count)
{
    return QString(count, u' ');
}

const double NaN = std::numeric_limits<double>::quiet_NaN();
const double Inf = std::numeric_limits<double>::infinity();

} // namespace

Q_DECLARE_METATYPE(Kind)

class TestNumberFormat : public QObject
{
    Q_OBJECT

private slots:
    void pattern_data();
    void pattern();
    void weightLine();
    void general_data();
    void general();
    void printed_data();
    void printed();
    void printLine_data();
    void printLine();
    void leading_data();
    void leading();
    void rounding_data();
    void rounding();
};

void TestNumberFormat::pattern_data()
{
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("expected");

    // "#" before the point shows no zero; "0" always shows its digit.
    QTest::newRow("# before point, half") << Kind::Double << 0.5 << "#.000"
                                          << ".500";
    QTest::newRow("RMS error") << Kind::Double << 0.0123456789012 << "#.000000000"
                               << ".012345679";
    QTest::newRow("RMS error zero") << Kind::Double << 0.0 << "#.000000000"
                                    << ".000000000";
    QTest::newRow("RMS error of a single") << Kind::Single << 0.2 << "#.000000000"
                                           << ".200000000";
    QTest::newRow("change negative") << Kind::Double << -0.0123 << "##.000000000"
                                     << "-.012300000";
    QTest::newRow("eta 0.2") << Kind::Single << 0.2 << "##0.0###"
                             << "0.2";
    QTest::newRow("eta rounded to 4 places") << Kind::Single << 0.123456 << "##0.0###"
                                             << "0.1235";
    QTest::newRow("eta 1") << Kind::Single << 1.0 << "##0.0###"
                           << "1.0";
    QTest::newRow("eta half away from zero") << Kind::Double << 0.00005 << "##0.0###"
                                             << "0.0001";
    QTest::newRow("eta below half") << Kind::Double << 0.0000499 << "##0.0###"
                                    << "0.0";
    QTest::newRow("updown 0.09") << Kind::Single << 0.09 << "0.#######"
                                 << "0.09";
    QTest::newRow("updown 0.1") << Kind::Single << 0.1 << "0.#######"
                                << "0.1";
    QTest::newRow("updown 0.0000001") << Kind::Single << 1e-7 << "0.#######"
                                      << "0.0000001";
    // The point stays even when no fraction digit is significant.
    QTest::newRow("updown 1") << Kind::Single << 1.0 << "0.#######"
                              << "1.";
    QTest::newRow("report value") << Kind::Single << 0.5 << "####0.000000"
                                  << "0.500000";
    QTest::newRow("report negative") << Kind::Single << -1.25 << "####0.000000"
                                     << "-1.250000";
    QTest::newRow("report wide") << Kind::Double << 123456.5 << "####0.000000"
                                 << "123456.500000";
    QTest::newRow("report single 7 digits") << Kind::Single << 12345.678 << "####0.000000"
                                            << "12345.680000";
    QTest::newRow("pattern error") << Kind::Double << 0.0000005 << "#0.000000"
                                   << "0.000001";
    QTest::newRow("minus kept at zero") << Kind::Double << -0.0000004 << "#0.000000"
                                        << "-0.000000";
    QTest::newRow("negative zero") << Kind::Double << -0.0 << "#0.000000"
                                   << "0.000000";
    QTest::newRow("pattern number") << Kind::Int << 7.0 << "0000"
                                    << "0007";
    QTest::newRow("pattern number wider") << Kind::Int << 12345.0 << "0000"
                                          << "12345";
    QTest::newRow("good percent") << Kind::Double << 70.0 << "##0.0"
                                  << "70.0";
    QTest::newRow("good percent 2/3") << Kind::Double << 200.0 / 3 << "##0.0"
                                      << "66.7";
    QTest::newRow("whole half away") << Kind::Double << 2.5 << "##0"
                                     << "3";
    QTest::newRow("whole negative half") << Kind::Double << -70.5 << "##0"
                                         << "-71";
    QTest::newRow("sensitivity") << Kind::Double << 0.12345 << "0.000"
                                 << "0.123";
    QTest::newRow("sensitivity one") << Kind::Double << 1.0 << "0.000"
                                     << "1.000";
    QTest::newRow("decimal, not binary, half") << Kind::Double << 2.675 << "0.000"
                                               << "2.675";
    QTest::newRow("decimal half of 2.675") << Kind::Double << 2.675 << "0.00"
                                           << "2.68";
    QTest::newRow("legend") << Kind::Double << 2.5 << "#0.0##"
                            << "2.5";
    QTest::newRow("legend small") << Kind::Double << 0.0005 << "#0.0##"
                                  << "0.001";
    QTest::newRow("norm range") << Kind::Single << 10.0 << "#0.0####"
                                << "10.0";
    QTest::newRow("norm range zero") << Kind::Single << 0.0 << "#0.0####"
                                     << "0.0";
    QTest::newRow("layer size") << Kind::Int << 2.0 << "###"
                                << "2";
    QTest::newRow("layer size 1024") << Kind::Int << 1024.0 << "###"
                                     << "1024";
    QTest::newRow("# of zero is empty") << Kind::Int << 0.0 << "###"
                                        << "";
    QTest::newRow("function code") << Kind::Int << 5.0 << "#"
                                   << "5";
    QTest::newRow("report size") << Kind::Double << 32767.0 / 1024 << "##"
                                 << "32";
    QTest::newRow("weight") << Kind::Single << 0.123456 << "###0.000000"
                            << "0.123456";
    QTest::newRow("weight wide") << Kind::Single << 12345.678 << "###0.000000"
                                 << "12345.680000";
    QTest::newRow("sci 12345") << Kind::Single << 12345.0 << "#.####E+##"
                               << "1.2345E+04";
    QTest::newRow("sci 0.001") << Kind::Single << 0.001 << "#.####E+##"
                               << "1.E-03";
    QTest::newRow("sci negative") << Kind::Single << -2.5 << "#.####E+##"
                                  << "-2.5E+00";
    QTest::newRow("sci zero") << Kind::Single << 0.0 << "#.####E+##"
                              << "0.E+00";
    QTest::newRow("sci carry") << Kind::Double << 9.99996 << "#.####E+##"
                               << "1.E+01";
    QTest::newRow("sci rounding") << Kind::Double << 1.23456e-12 << "#.####E+##"
                                  << "1.2346E-12";
    QTest::newRow("sci 3 digit exponent") << Kind::Double << 1e100 << "#.####E+##"
                                          << "1.E+100";
    QTest::newRow("sci E- positive") << Kind::Double << 12345.0 << "0.0E-00"
                                     << "1.2E04";
    QTest::newRow("sci E- negative") << Kind::Double << 0.001 << "0.0E-00"
                                     << "1.0E-03";
    QTest::newRow("sci two mantissa digits") << Kind::Double << 12345.0 << "00.0E+00"
                                             << "12.3E+03";
    QTest::newRow("literal around") << Kind::Double << -2.5 << "<0.0>"
                                    << "-<2.5>";
    QTest::newRow("NaN") << Kind::Single << NaN << "###0.000000"
                         << "NaN";
    QTest::newRow("Inf") << Kind::Double << Inf << "#.####E+##"
                         << "Inf";
    QTest::newRow("-Inf") << Kind::Single << -Inf << "##0.0###"
                          << "-Inf";
    QTest::newRow("empty pattern is general") << Kind::Double << 0.25 << ""
                                              << "0.25";
}

void TestNumberFormat::pattern()
{
    QFETCH(Kind, kind);
    QFETCH(double, value);
    QFETCH(QString, pattern);
    QFETCH(QString, expected);
    QCOMPARE(viaKind(kind, value, pattern), expected);
}

// A node's line of a 2-2-1 weight file: "###0.000000" right-aligned in 11 columns, one blank.
void TestNumberFormat::weightLine()
{
    QString line;
    for (float w : {0.123456f, -1.5f, 2.0f}) {
        line += formatNumber(w, u"###0.000000").rightJustified(11) + u' ';
    }
    QCOMPARE(line, QStringLiteral("   0.123456   -1.500000    2.000000 "));
}

void TestNumberFormat::general_data()
{
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("expected");

    QTest::newRow("0.2") << Kind::Single << 0.2 << "0.2";
    QTest::newRow("-3") << Kind::Single << -3.0 << "-3";
    QTest::newRow("zero") << Kind::Single << 0.0 << "0";
    QTest::newRow("-0.5") << Kind::Single << -0.5 << "-0.5";
    QTest::newRow("1E-04 stays fixed") << Kind::Single << 0.0001 << "0.0001";
    QTest::newRow("below 1E-04") << Kind::Single << 0.00001 << "1E-05";
    QTest::newRow("7 digits") << Kind::Single << 1234567.0 << "1234567";
    QTest::newRow("1E+07 single") << Kind::Single << 1e7 << "1E+07";
    QTest::newRow("8 digits single") << Kind::Single << 12345678.0 << "1.234568E+07";
    QTest::newRow("third single") << Kind::Single << 1.0 / 3 << "0.3333333";
    QTest::newRow("third double") << Kind::Double << 1.0 / 3 << "0.333333333333333";
    QTest::newRow("0.1 double") << Kind::Double << 0.1 << "0.1";
    QTest::newRow("15 digits double") << Kind::Double << 123456789012345.0 << "123456789012345";
    QTest::newRow("1E+15 double") << Kind::Double << 1e15 << "1E+15";
    QTest::newRow("growth factor") << Kind::Single << 1.75 << "1.75";
    QTest::newRow("NaN") << Kind::Single << NaN << "NaN";
    QTest::newRow("-Inf") << Kind::Double << -Inf << "-Inf";
}

void TestNumberFormat::general()
{
    QFETCH(Kind, kind);
    QFETCH(double, value);
    QFETCH(QString, expected);
    QCOMPARE(kind == Kind::Single ? generalNumber(float(value)) : generalNumber(value), expected);
}

void TestNumberFormat::printed_data()
{
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("expected");

    QTest::newRow("0.2") << Kind::Single << 0.2 << " .2";
    QTest::newRow("-0.5") << Kind::Single << -0.5 << "-.5";
    QTest::newRow("1E-05") << Kind::Single << 0.00001 << " 1E-05";
    QTest::newRow("-1.5E+20") << Kind::Single << -1.5e20 << "-1.5E+20";
    QTest::newRow("0.0001") << Kind::Single << 0.0001 << " .0001";
    QTest::newRow("single 100") << Kind::Single << 100.0 << " 100";
    QTest::newRow("single zero") << Kind::Single << 0.0 << " 0";
    QTest::newRow("single negative zero") << Kind::Single << -0.0 << " 0";
    QTest::newRow("third single") << Kind::Single << 1.0 / 3 << " .3333333";
    QTest::newRow("third double") << Kind::Double << 1.0 / 3 << " .333333333333333";
    QTest::newRow("min weight double") << Kind::Double << -3.0 << "-3";
    QTest::newRow("single 1.75") << Kind::Single << 1.75 << " 1.75";
    QTest::newRow("single 1E+07") << Kind::Single << 1e7 << " 1E+07";
    QTest::newRow("int 3") << Kind::Int << 3.0 << " 3";
    QTest::newRow("int -1 flag") << Kind::Int << -1.0 << "-1";
    QTest::newRow("int 0") << Kind::Int << 0.0 << " 0";
    QTest::newRow("NaN") << Kind::Single << NaN << " NaN";
    QTest::newRow("Inf") << Kind::Double << Inf << " Inf";
    QTest::newRow("-Inf") << Kind::Single << -Inf << "-Inf";
}

void TestNumberFormat::printed()
{
    QFETCH(Kind, kind);
    QFETCH(double, value);
    QFETCH(QString, expected);
    const QString actual = kind == Kind::Single ? printNumber(float(value))
            : kind == Kind::Double              ? printNumber(value)
                                                : printNumber(int(value));
    QCOMPARE(actual, expected);
}

void TestNumberFormat::printLine_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("expected");

    QTest::newRow("eta and alpha") << PrintLine().number(0.2f).zone().number(0.5f).str()
                                   << " .2 " + blanks(10) + " .5 \r\n";
    QTest::newRow("number of layers") << PrintLine().number(3).str() << " 3 \r\n";
    QTest::newRow("weight bounds")
            << PrintLine().number(-3.0).zone().number(3.0).str() << "-3 " + blanks(11) + " 3 \r\n";
    QTest::newRow("title") << PrintLine().quoted(u"New Net").str() << "\"New Net\"\r\n";
    QTest::newRow("layer sizes") << PrintLine().text(u"2  ").text(u"2  ").text(u"1  ").str()
                                 << "2  2  1  \r\n";
    QTest::newRow("pattern header")
            << PrintLine().number(2).text(u"  ").number(2).text(u" ").number(1).str()
            << " 2    2   1 \r\n";
    QTest::newRow("pattern line") << PrintLine()
                                             .number(0.1f)
                                             .text(u" ")
                                             .number(0.9f)
                                             .text(u" ")
                                             .number(1.0f)
                                             .text(u" ")
                                             .str()
                                  << " .1   .9   1  \r\n";
    QTest::newRow("noise line unzoned")
            << PrintLine().number(0.0f).number(0.0f).number(1.0f).number(1).number(0.0f).str()
            << " 0  0  1  1  0 \r\n";
    QTest::newRow("desktop window")
            << PrintLine()
                       .quoted(u"MDI")
                       .zone()
                       .number(0)
                       .zone()
                       .number(1500)
                       .zone()
                       .number(-15)
                       .str()
            << "\"MDI\"" + blanks(9) + " 0 " + blanks(11) + " 1500 " + blanks(8) + "-15 \r\n";
    QTest::newRow("full zone moves a whole zone")
            << PrintLine().text(u"12345678901234").zone().number(1).str()
            << "12345678901234" + blanks(14) + " 1 \r\n";
    QTest::newRow("widest single then zone")
            << PrintLine().number(-1.234567e-5f).zone().number(1).str()
            << "-1.234567E-05 " + blanks(14) + " 1 \r\n";
    QTest::newRow("zone at line start")
            << PrintLine().zone().number(1).str() << blanks(14) + " 1 \r\n";
}

void TestNumberFormat::printLine()
{
    QFETCH(QString, line);
    QFETCH(QString, expected);
    QCOMPARE(line, expected);
}

void TestNumberFormat::leading_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("expected");

    QTest::newRow("empty") << "" << 0.0;
    QTest::newRow("word") << "abc" << 0.0;
    QTest::newRow("blanks and tail") << " \t 2.5xyz" << 2.5;
    QTest::newRow("no zero before point") << "-.5" << -0.5;
    QTest::newRow("plus sign") << "+7" << 7.0;
    QTest::newRow("exponent") << "1.5E+2 units" << 150.0;
    QTest::newRow("lower-case exponent") << "1e-5" << 1e-5;
    QTest::newRow("exponent without digits") << "1e" << 1.0;
    QTest::newRow("point alone") << "." << 0.0;
    QTest::newRow("sign alone") << "-" << 0.0;
    QTest::newRow("comma ends it") << "3,5" << 3.0;
    QTest::newRow("blank ends it") << "1 2" << 1.0;
    QTest::newRow("beyond double range") << "1e400" << 0.0;
    QTest::newRow("below double range") << "1e-400" << 0.0;
    QTest::newRow("NaN is no number") << "NaN" << 0.0;
}

void TestNumberFormat::leading()
{
    QFETCH(QString, text);
    QFETCH(double, expected);
    const double actual = leadingNumber(text);
    QVERIFY2(near(actual, expected, 1e-15), qPrintable(QString::number(actual)));
}

void TestNumberFormat::rounding_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<double>("rounded");
    QTest::addColumn<int>("int16");

    QTest::newRow("2.5 to even") << 2.5 << 2.0 << 2;
    QTest::newRow("3.5 to even") << 3.5 << 4.0 << 4;
    QTest::newRow("-2.5 to even") << -2.5 << -2.0 << -2;
    QTest::newRow("0.5 to even") << 0.5 << 0.0 << 0;
    QTest::newRow("below half") << 2.4999 << 2.0 << 2;
    QTest::newRow("above 16 bits") << 40000.0 << 40000.0 << 32767;
    QTest::newRow("below 16 bits") << -40000.0 << -40000.0 << -32768;
    QTest::newRow("half above the top") << 32767.5 << 32768.0 << 32767;
    QTest::newRow("NaN") << NaN << NaN << 0;
}

void TestNumberFormat::rounding()
{
    QFETCH(double, value);
    QFETCH(double, rounded);
    QFETCH(int, int16);
    QVERIFY(near(roundHalfEven(value), rounded, 0));
    QCOMPARE(int(roundToInt16(value)), int16);
}

QTEST_GUILESS_MAIN(TestNumberFormat)
#include "tst_numberformat.moc"
