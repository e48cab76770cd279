#pragma once

#include <optional>

#include <QStringView>

// Decimal number texts as the readers take them: an optional sign, digits with an optional
// point (at least one digit), and an optional exponent "E" or "e" with its own sign and digits.
// Words such as "NaN" or "Inf" and hexadecimal forms are not numbers here.

// Length of the longest leading part of text that is such a number; 0 when there is none.
qsizetype decimalPrefixLength(QStringView text);

// Value of a whole number text (one decimalPrefixLength accepts in full), correctly rounded;
// nothing when its magnitude is beyond the type's range, 0 when it is too small for it.
std::optional<float> decimalToSingle(QStringView number);
std::optional<double> decimalToDouble(QStringView number);
