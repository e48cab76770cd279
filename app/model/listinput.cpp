#include "model/listinput.h"

#include <cmath>
#include <utility>

#include "model/decimaltext.h"
#include "model/numberformat.h"

namespace {

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

bool endsNumber(QChar c)
{
    return isBlank(c) || c == u',' || c == u'\r' || c == u'\n';
}

} // namespace

ListReader::ListReader(QString text)
    : m_text(std::move(text))
{}

bool ListReader::isLineEnd() const
{
    return m_pos < m_text.size() && (m_text[m_pos] == u'\r' || m_text[m_pos] == u'\n');
}

void ListReader::skipLineEnd()
{
    if (m_text[m_pos] == u'\r' && m_pos + 1 < m_text.size() && m_text[m_pos + 1] == u'\n') {
        ++m_pos;
    }
    ++m_pos;
    ++m_line;
}

void ListReader::skipBlanks()
{
    while (m_pos < m_text.size() && isBlank(m_text[m_pos])) {
        ++m_pos;
    }
}

void ListReader::finishField()
{
    skipBlanks();
    if (m_pos < m_text.size() && m_text[m_pos] == u',') {
        ++m_pos;
    } else if (isLineEnd()) {
        skipLineEnd();
    }
}

bool ListReader::nextField(Field kind, QString &field)
{
    skipBlanks();
    if (kind == Field::Number) {
        while (isLineEnd()) {
            skipLineEnd();
            skipBlanks();
        }
    }
    m_fieldLine = m_line;
    if (m_pos >= m_text.size()) {
        return false;
    }
    const QStringView text(m_text);
    const qsizetype start = m_pos;
    if (kind == Field::Text && text[m_pos] == u'"') {
        ++m_pos;
        field.clear();
        while (m_pos < text.size() && !isLineEnd()) {
            if (text[m_pos] == u'"') {
                if (m_pos + 1 < text.size() && text[m_pos + 1] == u'"') {
                    ++m_pos;
                } else {
                    break;
                }
            }
            field += text[m_pos];
            ++m_pos;
        }
        if (m_pos < text.size() && text[m_pos] == u'"') {
            ++m_pos;
        }
    } else if (kind == Field::Text) {
        while (m_pos < text.size() && text[m_pos] != u',' && !isLineEnd()) {
            ++m_pos;
        }
        field = text.mid(start, m_pos - start).trimmed().toString();
    } else {
        while (m_pos < text.size() && !endsNumber(text[m_pos])) {
            ++m_pos;
        }
        field = text.mid(start, m_pos - start).toString();
    }
    finishField();
    return true;
}

bool ListReader::readText(QString &target)
{
    QString field;
    if (!nextField(Field::Text, field)) {
        return false;
    }
    target = field;
    return true;
}

bool ListReader::readSingle(float &target)
{
    QString field;
    m_outOfRange = false;
    if (!nextField(Field::Number, field)) {
        return false;
    }
    const auto value = decimalToSingle(field);
    if (!value) {
        m_outOfRange = decimalPrefixLength(field) == field.size();
        return false;
    }
    target = *value;
    return true;
}

bool ListReader::readDouble(double &target)
{
    QString field;
    m_outOfRange = false;
    if (!nextField(Field::Number, field)) {
        return false;
    }
    const auto value = decimalToDouble(field);
    if (!value) {
        m_outOfRange = decimalPrefixLength(field) == field.size();
        return false;
    }
    target = *value;
    return true;
}

bool ListReader::readRounded(double low, double high, double &value)
{
    double read = 0;
    if (!readDouble(read)) {
        return false;
    }
    read = roundHalfEven(read);
    if (read < low || read > high) {
        return false;
    }
    value = read;
    return true;
}

bool ListReader::readInt16(std::int16_t &target)
{
    double value = 0;
    if (!readRounded(-32768.0, 32767.0, value)) {
        return false;
    }
    target = std::int16_t(value);
    return true;
}

bool ListReader::readInt32(std::int32_t &target)
{
    double value = 0;
    if (!readRounded(-2147483648.0, 2147483647.0, value)) {
        return false;
    }
    target = std::int32_t(value);
    return true;
}

bool ListReader::atEnd() const
{
    for (qsizetype i = m_pos; i < m_text.size(); ++i) {
        if (!isBlank(m_text[i]) && m_text[i] != u'\r' && m_text[i] != u'\n') {
            return false;
        }
    }
    return true;
}

QString notASingle(const ListReader &reader)
{
    return reader.lastWasOutOfRange() ? QStringLiteral("is beyond the single range")
                                      : QStringLiteral("is not a number");
}
