#pragma once

#include <cstdint>

#include <QString>

// Field-by-field list input over the whole text of a file, as the network, weight and pattern
// readers take their values:
// - a read skips leading blanks (and, for a number, line ends too);
// - a field that begins with a double quote ends at the closing quote or at the line end; the
//   quotes are removed and what follows on the line is left for the next read; inside it, two
//   double quotes in a row stand for one (how names holding a quote are written);
// - another text field ends at the next comma or line end, its surrounding blanks removed;
// - a number field ends at a blank, a comma or a line end and must be a decimal number as a
//   whole (sign, digits, point, exponent "E"); "NaN", "Inf" and hexadecimal are not numbers;
// - after a field, a comma or the line end that follows it (blanks between allowed) is consumed.
// Blanks are spaces and tabs; a line ends at CRLF, LF or a lone CR.
//
// A read that fails leaves its target unchanged and still moves past the field, so the caller
// can keep the old value and go on with the next field. Every read that is not at the end moves
// forward; any input, however broken, is read in time proportional to its length.
class ListReader
{
public:
    // Reads from the start of text.
    explicit ListReader(QString text);

    // Next text field into target; fails only at the end of the text.
    bool readText(QString &target);
    // Next field as a single; fails on a non-number, on a magnitude beyond the single range
    // (smaller ones become 0) and at the end of the text.
    bool readSingle(float &target);
    // Next field as a double, under the same rules.
    bool readDouble(double &target);
    // Next field as a number rounded halves to even; fails outside -32768..32767.
    bool readInt16(std::int16_t &target);
    // Next field as a number rounded halves to even; fails outside the 32-bit range.
    bool readInt32(std::int32_t &target);

    // True when nothing but blanks and line ends is left.
    bool atEnd() const;

    // 1-based line on which the last field read (or tried) started; 1 before the first read.
    int line() const { return m_fieldLine; }

    // Why the last number read failed: the field is not a number, or its magnitude is beyond the
    // type's range.
    bool lastWasOutOfRange() const { return m_outOfRange; }

private:
    enum class Field { Text, Number };

    bool isLineEnd() const;
    void skipLineEnd();
    void skipBlanks();
    void finishField();
    // The next field's text, or false at the end of the text.
    bool nextField(Field kind, QString &field);
    bool readRounded(double low, double high, double &value);

    QString m_text;
    qsizetype m_pos = 0;
    int m_line = 1;
    int m_fieldLine = 1;
    bool m_outOfRange = false;
};

// Why the reader's last number failed, for a message after the field's name: "is not a number"
// or "is beyond the single range".
QString notASingle(const ListReader &reader);
