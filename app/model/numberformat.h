#pragma once

#include <cstdint>

#include <QString>
#include <QStringView>

// Numbers as the program shows and writes them.
//
// Patterns: "0" a digit always shown, "#" a digit shown only when significant, "." the decimal
// point (always shown when the pattern has one, so "0.##" of 5 is "5."), "E+"/"E-"/"e+"/"e-"
// scientific form whose exponent has at least as many digits as placeholders follow the sign
// ("E+" always shows the sign, "E-" only a minus). Text before and after the placeholders is
// copied as it stands; thousands separators, percent and ";" sections are not supported.
// Singles are first taken to 7 significant digits and doubles to 15, then rounded to the
// pattern half away from zero; a negative value keeps its minus even when it rounds to zero
// ("-0.00"). NaN and infinities come out as "NaN", "Inf" and "-Inf" whatever the pattern.

// The value laid out by pattern, e.g. ("###0.000000", -1.5f) -> "-1.500000", ("#.####E+##",
// 12345) -> "1.2345E+04".
QString formatNumber(float value, QStringView pattern);
QString formatNumber(double value, QStringView pattern);
QString formatNumber(int value, QStringView pattern);

// Shortest general form, at most 7 (single) or 15 (double) significant digits: 0.2 -> "0.2",
// -3 -> "-3", 0.00001 -> "1E-05"; exponent form below 1E-04 and from 1E+07 (single) or 1E+15.
QString generalNumber(float value);
QString generalNumber(double value);

// The shortest text that reads back as the same single ("0.1", "5.0999999", "1e-05"), for files
// that carry values to other programs without loss.
QString exactNumber(float value);

// A text field of a comma-separated line, written so that it reads back whole (by list input and
// by CSV readers): in double quotes, a quote inside doubled, when it holds a comma, a quote, a
// line break or blanks at its ends; as it stands otherwise.
QString quotedField(const QString &text);

// A number's own text in a printed line: a blank or a minus in front, no zero before the point
// and no trailing blank: 0.2 -> " .2", -0.5 -> "-.5", 3 -> " 3", 1e-05 -> " 1E-05".
QString printNumber(float value);
QString printNumber(double value);
QString printNumber(int value);

// Whether the printed number reads back as a number of its type: false for NaN and infinities,
// and for a double so close to the type's limit that its 15 digits round beyond it.
bool readsBack(float value);
bool readsBack(double value);

// One line of a text file as the writers lay it out: each number followed by one blank, a zone
// separator moving the next item to the start of the next 14-column print zone, CRLF at the end.
class PrintLine
{
public:
    // Appends the printed number (printNumber) and one blank.
    PrintLine &number(float value);
    PrintLine &number(double value);
    PrintLine &number(int value);
    // Appends text as it is.
    PrintLine &text(QStringView text);
    // Appends text in double quotes.
    PrintLine &quoted(QStringView text);
    // Pads with blanks to the next zone start after the current column (15, 29, 43, ...); a
    // line ending exactly at a zone boundary moves on by a whole zone.
    PrintLine &zone();
    // The line with its CRLF.
    QString str() const;

private:
    QString m_text;
};

// The value of the leading number of a text box's text: blanks skipped, then sign, digits, point
// and exponent "E"; anything after it is ignored. An empty or non-numeric text, or a number
// beyond the range of a double, gives 0.
double leadingNumber(QStringView text);

// The nearest integral value, halves to even (2.5 -> 2, 3.5 -> 4); NaN and infinities stay.
double roundHalfEven(double value);

// The value rounded halves to even and clamped to -32768..32767 for a 16-bit field; NaN gives 0.
std::int16_t roundToInt16(double value);
