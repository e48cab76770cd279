#include "model/numberformat.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>

#include "model/decimaltext.h"

namespace {

constexpr int SingleDigits = 7;
constexpr int DoubleDigits = 15;
constexpr int ZoneWidth = 14;

// A magnitude as decimal digits: d0.d1d2... x 10^exponent, no trailing zeros; no digits is zero.
struct Decimal
{
    std::string digits;
    int exponent = 0;

    // Digit at the given place value (10^place), '0' outside the digits held.
    char digitAt(int place) const
    {
        const int index = exponent - place;
        return index >= 0 && index < int(digits.size()) ? digits[std::size_t(index)] : '0';
    }
};

void stripTrailingZeros(Decimal &d)
{
    while (!d.digits.empty() && d.digits.back() == '0') {
        d.digits.pop_back();
    }
}

// |value| rounded to the given number of significant digits. The type's own rounding (to
// nearest) decides here, so a single shows the digits it was written with: 0.1f is 0.1.
template <typename T> Decimal toDecimal(T value, int significant)
{
    Decimal d;
    if (value == 0) {
        return d;
    }
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value),
                                      std::chars_format::scientific, significant - 1);
    const std::string_view text(buffer, std::size_t(result.ptr - buffer));
    const std::size_t e = text.find('e');
    for (char c : text.substr(0, e)) {
        if (c != '.') {
            d.digits.push_back(c);
        }
    }
    std::from_chars(text.data() + e + 1 + (text[e + 1] == '+' ? 1 : 0), text.data() + text.size(),
                    d.exponent);
    stripTrailingZeros(d);
    return d;
}

// Keeps the digits down to the place value 10^lastPlace, rounding half away from zero.
void roundToPlace(Decimal &d, int lastPlace)
{
    const int keep = d.exponent - lastPlace + 1;
    if (d.digits.empty() || keep >= int(d.digits.size())) {
        return;
    }
    if (keep < 0) {
        d.digits.clear();
        return;
    }
    const bool up = d.digits[std::size_t(keep)] >= '5';
    d.digits.resize(std::size_t(keep));
    if (up) {
        int i = keep - 1;
        while (i >= 0 && d.digits[std::size_t(i)] == '9') {
            d.digits[std::size_t(i)] = '0';
            --i;
        }
        if (i < 0) {
            d.digits.insert(d.digits.begin(), '1');
            ++d.exponent;
        } else {
            ++d.digits[std::size_t(i)];
        }
    }
    stripTrailingZeros(d);
}

struct Pattern
{
    QString prefix;
    QString suffix;
    int intPlaces = 0;
    int minIntDigits = 0;
    bool point = false;
    int fracPlaces = 0;
    int minFracDigits = 0;
    bool scientific = false;
    QChar expLetter;
    bool expPlus = false;
    int expDigits = 0;
};

bool isPlaceholder(QChar c)
{
    return c == u'0' || c == u'#';
}

Pattern parsePattern(QStringView text)
{
    Pattern p;
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && !isPlaceholder(text[i]) && text[i] != u'.') {
        p.prefix += text[i++];
    }
    int firstZero = -1;
    for (; i < n && isPlaceholder(text[i]); ++i) {
        if (text[i] == u'0' && firstZero < 0) {
            firstZero = p.intPlaces;
        }
        ++p.intPlaces;
    }
    p.minIntDigits = firstZero < 0 ? 0 : p.intPlaces - firstZero;
    if (i < n && text[i] == u'.') {
        p.point = true;
        for (++i; i < n && isPlaceholder(text[i]); ++i) {
            ++p.fracPlaces;
            if (text[i] == u'0') {
                p.minFracDigits = p.fracPlaces;
            }
        }
    }
    if (i + 2 < n && (text[i] == u'E' || text[i] == u'e')
        && (text[i + 1] == u'+' || text[i + 1] == u'-') && isPlaceholder(text[i + 2])) {
        p.scientific = true;
        p.expLetter = text[i];
        p.expPlus = text[i + 1] == u'+';
        for (i += 2; i < n && isPlaceholder(text[i]); ++i) {
            ++p.expDigits;
        }
    }
    p.suffix = text.mid(i).toString();
    return p;
}

// Fraction digits from place -1 down to -places, trailing zeros dropped down to the minimum.
QString fractionDigits(const Decimal &d, int offset, int places, int minDigits)
{
    QString out;
    for (int k = 1; k <= places; ++k) {
        out += QLatin1Char(d.digitAt(offset - k));
    }
    while (out.size() > minDigits && out.endsWith(u'0')) {
        out.chop(1);
    }
    return out;
}

QString layoutFixed(Decimal d, const Pattern &p)
{
    roundToPlace(d, -p.fracPlaces);
    QString out;
    for (int place = d.exponent; place >= 0 && !d.digits.empty(); --place) {
        out += QLatin1Char(d.digitAt(place));
    }
    if (out.size() < p.minIntDigits) {
        out.prepend(QString(p.minIntDigits - out.size(), u'0'));
    }
    if (p.point) {
        out += u'.' + fractionDigits(d, 0, p.fracPlaces, p.minFracDigits);
    }
    return out;
}

QString layoutScientific(Decimal d, const Pattern &p)
{
    // The mantissa has as many integer digits as the pattern has places (at least one); for a
    // nonzero value the first of them is significant and so always shown, also under "#".
    const int mantissaDigits = std::max(1, p.intPlaces);
    int exponent = 0;
    QString out;
    if (d.digits.empty()) {
        out = QString(std::max(1, p.minIntDigits), u'0');
    } else {
        roundToPlace(d, d.exponent - (mantissaDigits - 1) - p.fracPlaces);
        exponent = d.exponent - (mantissaDigits - 1);
        for (int k = mantissaDigits - 1; k >= 0; --k) {
            out += QLatin1Char(d.digitAt(exponent + k));
        }
    }
    if (p.point) {
        out += u'.' + fractionDigits(d, exponent, p.fracPlaces, p.minFracDigits);
    }
    out += p.expLetter;
    if (exponent < 0) {
        out += u'-';
    } else if (p.expPlus) {
        out += u'+';
    }
    out += QString::number(std::abs(exponent)).rightJustified(p.expDigits, u'0');
    return out;
}

// NaN and infinities: "NaN", "Inf", "-Inf"; an empty text for finite values.
QString nonFinite(double value)
{
    if (std::isnan(value)) {
        return QStringLiteral("NaN");
    }
    if (std::isinf(value)) {
        return value < 0 ? QStringLiteral("-Inf") : QStringLiteral("Inf");
    }
    return {};
}

template <typename T> QString formatWithPattern(T value, QStringView pattern, int significant)
{
    if (!std::isfinite(value)) {
        return nonFinite(double(value));
    }
    if (pattern.isEmpty()) {
        return generalNumber(value);
    }
    const Pattern p = parsePattern(pattern);
    const Decimal d = toDecimal(value, significant);
    const QString body = p.scientific ? layoutScientific(d, p) : layoutFixed(d, p);
    return (value < 0 ? QStringLiteral("-") : QString()) + p.prefix + body + p.suffix;
}

// The shortest form with at most `significant` digits; exponent form when the leading digit's
// place is below 10^-4 or at 10^significant and above.
QString shortForm(const Decimal &d, int significant, bool zeroBeforePoint)
{
    if (d.digits.empty()) {
        return QStringLiteral("0");
    }
    const QString digits = QString::fromLatin1(d.digits.data(), qsizetype(d.digits.size()));
    const int x = d.exponent;
    if (x < -4 || x >= significant) {
        QString out = digits.left(1);
        if (digits.size() > 1) {
            out += u'.' + digits.mid(1);
        }
        out += x < 0 ? QStringLiteral("E-") : QStringLiteral("E+");
        return out + QString::number(std::abs(x)).rightJustified(2, u'0');
    }
    if (x < 0) {
        return (zeroBeforePoint ? QStringLiteral("0.") : QStringLiteral("."))
                + QString(-x - 1, u'0') + digits;
    }
    if (digits.size() <= x + 1) {
        return digits + QString(x + 1 - digits.size(), u'0');
    }
    return digits.left(x + 1) + u'.' + digits.mid(x + 1);
}

template <typename T> QString general(T value, int significant)
{
    if (!std::isfinite(value)) {
        return nonFinite(double(value));
    }
    const QString body = shortForm(toDecimal(value, significant), significant, true);
    return value < 0 ? u'-' + body : body;
}

template <typename T> QString printed(T value, int significant)
{
    if (std::isnan(value)) {
        return QStringLiteral(" NaN");
    }
    if (std::isinf(value)) {
        return value < 0 ? QStringLiteral("-Inf") : QStringLiteral(" Inf");
    }
    return (value < 0 ? u'-' : u' ') + shortForm(toDecimal(value, significant), significant, false);
}

} // namespace

QString formatNumber(float value, QStringView pattern)
{
    return formatWithPattern(value, pattern, SingleDigits);
}

QString formatNumber(double value, QStringView pattern)
{
    return formatWithPattern(value, pattern, DoubleDigits);
}

QString formatNumber(int value, QStringView pattern)
{
    // Every int has at most 10 digits: a double holds it exactly.
    return formatWithPattern(double(value), pattern, DoubleDigits);
}

QString generalNumber(float value)
{
    return general(value, SingleDigits);
}

QString generalNumber(double value)
{
    return general(value, DoubleDigits);
}

QString printNumber(float value)
{
    return printed(value, SingleDigits);
}

QString printNumber(double value)
{
    return printed(value, DoubleDigits);
}

bool readsBack(float value)
{
    return decimalToSingle(printNumber(value).trimmed()).has_value();
}

bool readsBack(double value)
{
    return decimalToDouble(printNumber(value).trimmed()).has_value();
}

QString printNumber(int value)
{
    return value < 0 ? QString::number(value) : u' ' + QString::number(value);
}

PrintLine &PrintLine::number(float value)
{
    m_text += printNumber(value) + u' ';
    return *this;
}

PrintLine &PrintLine::number(double value)
{
    m_text += printNumber(value) + u' ';
    return *this;
}

PrintLine &PrintLine::number(int value)
{
    m_text += printNumber(value) + u' ';
    return *this;
}

PrintLine &PrintLine::text(QStringView text)
{
    m_text += text;
    return *this;
}

PrintLine &PrintLine::quoted(QStringView text)
{
    m_text += u'"' + text.toString() + u'"';
    return *this;
}

PrintLine &PrintLine::zone()
{
    const qsizetype next = (m_text.size() / ZoneWidth + 1) * ZoneWidth;
    m_text += QString(next - m_text.size(), u' ');
    return *this;
}

QString PrintLine::str() const
{
    return m_text + QStringLiteral("\r\n");
}

double leadingNumber(QStringView text)
{
    qsizetype start = 0;
    while (start < text.size()
           && (text[start] == u' ' || text[start] == u'\t' || text[start] == u'\r'
               || text[start] == u'\n')) {
        ++start;
    }
    const QStringView rest = text.mid(start);
    return decimalToDouble(rest.left(decimalPrefixLength(rest))).value_or(0.0);
}

double roundHalfEven(double value)
{
    // Under the default rounding mode nearbyint rounds halves to even.
    return std::nearbyint(value);
}

std::int16_t roundToInt16(double value)
{
    if (std::isnan(value)) {
        return 0;
    }
    return std::int16_t(std::clamp(roundHalfEven(value), -32768.0, 32767.0));
}

QString exactNumber(float value)
{
    if (!std::isfinite(value)) {
        return std::isnan(value) ? QStringLiteral("NaN")
                                 : (value > 0 ? QStringLiteral("Inf") : QStringLiteral("-Inf"));
    }
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return QString::fromLatin1(buffer, result.ptr - buffer);
}

QString quotedField(const QString &text)
{
    const bool plain = !text.contains(u',') && !text.contains(u'"') && !text.contains(u'\n')
            && !text.contains(u'\r') && text.trimmed() == text;
    if (plain) {
        return text;
    }
    return u'"' + QString(text).replace(QStringLiteral("\""), QStringLiteral("\"\"")) + u'"';
}
