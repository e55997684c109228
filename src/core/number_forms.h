#pragma once
// The number forms used in captions, status texts and the program's own files.
// Every form writes "." as the decimal separator whatever the locale.

#include <QString>

namespace kestrova {

// Nearest integer, halves going to the even neighbour (2.5 -> 2, 3.5 -> 4).
long long RoundHalfEven(double value);

// Decimal without trailing zeros, one leading space when not negative ("-" otherwise): " 9", "-2.5".
QString SignColumn(double value);
QString SignColumn(float value);  // shortest text that reads back as the same single-precision value

// The same number without the leading space: "9", "-2.5".
QString PlainDecimal(double value);
QString PlainDecimal(float value);

// A whole number under a mask of "#" and k zeros: at least k digits, padded with leading zeros,
// never cut. The mask "#" alone gives empty text for 0. A mask of any other shape falls back to
// plain decimal.
QString FormatMask(long long value, const QString& mask);

// Lenient numeric reading of a text: leading blanks skipped, the longest numeric prefix
// (sign, digits, one point, an exponent), 0 when there is none.
double Val(const QString& text);

// Val rounded half to even and clamped to the int range: the integer a stored value reads as.
int ValInt(const QString& text);

}  // namespace kestrova
