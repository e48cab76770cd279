#include "model/decimaltext.h"

#include <charconv>
#include <cmath>
#include <string>
#include <system_error>

namespace {

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// Decimal exponent of the leading significant digit of a valid number text; only its sign is
// needed, to tell a number too small for the type from one too large.
long leadingExponent(QStringView number)
{
    qsizetype i = 0;
    if (number[i] == u'+' || number[i] == u'-') {
        ++i;
    }
    long intDigits = 0;
    long fracZeros = 0;
    bool seenNonZero = false;
    for (; i < number.size() && isDigit(number[i]); ++i) {
        if (seenNonZero || number[i] != u'0') {
            seenNonZero = true;
            ++intDigits;
        }
    }
    if (i < number.size() && number[i] == u'.') {
        for (++i; i < number.size() && isDigit(number[i]); ++i) {
            if (!seenNonZero && number[i] == u'0') {
                ++fracZeros;
            } else {
                seenNonZero = true;
            }
        }
    }
    long exponent = 0;
    if (i < number.size() && (number[i] == u'E' || number[i] == u'e')) {
        ++i;
        const bool negative = i < number.size() && number[i] == u'-';
        if (i < number.size() && (number[i] == u'+' || number[i] == u'-')) {
            ++i;
        }
        // Saturate: only the sign of the result matters and the text may be arbitrarily long.
        for (; i < number.size() && isDigit(number[i]); ++i) {
            if (exponent < 1'000'000) {
                exponent = exponent * 10 + (number[i].unicode() - u'0');
            }
        }
        if (negative) {
            exponent = -exponent;
        }
    }
    return (intDigits > 0 ? intDigits - 1 : -(fracZeros + 1)) + exponent;
}

template <typename T> std::optional<T> decimalTo(QStringView number)
{
    if (number.isEmpty() || decimalPrefixLength(number) != number.size()) {
        return std::nullopt;
    }
    // from_chars takes no leading '+'; the text is plain ASCII here.
    std::string ascii;
    ascii.reserve(std::size_t(number.size()));
    for (QChar c : number) {
        ascii.push_back(char(c.unicode()));
    }
    const std::size_t start = ascii.front() == '+' ? 1 : 0;
    T value {};
    const auto [ptr, ec] =
            std::from_chars(ascii.data() + start, ascii.data() + ascii.size(), value);
    if (ec == std::errc::result_out_of_range) {
        if (leadingExponent(number) < 0) {
            return std::copysign(T(0), ascii.front() == '-' ? T(-1) : T(1));
        }
        return std::nullopt;
    }
    if (ec != std::errc() || ptr != ascii.data() + ascii.size()) {
        return std::nullopt;
    }
    return value;
}

} // namespace

qsizetype decimalPrefixLength(QStringView text)
{
    const qsizetype n = text.size();
    qsizetype i = 0;
    if (i < n && (text[i] == u'+' || text[i] == u'-')) {
        ++i;
    }
    qsizetype digits = 0;
    for (; i < n && isDigit(text[i]); ++i) {
        ++digits;
    }
    if (i < n && text[i] == u'.') {
        for (++i; i < n && isDigit(text[i]); ++i) {
            ++digits;
        }
    }
    if (digits == 0) {
        return 0;
    }
    const qsizetype mantissaEnd = i;
    if (i < n && (text[i] == u'E' || text[i] == u'e')) {
        qsizetype j = i + 1;
        if (j < n && (text[j] == u'+' || text[j] == u'-')) {
            ++j;
        }
        const qsizetype exponentStart = j;
        while (j < n && isDigit(text[j])) {
            ++j;
        }
        if (j > exponentStart) {
            return j;
        }
    }
    return mantissaEnd;
}

std::optional<float> decimalToSingle(QStringView number)
{
    return decimalTo<float>(number);
}

std::optional<double> decimalToDouble(QStringView number)
{
    return decimalTo<double>(number);
}
