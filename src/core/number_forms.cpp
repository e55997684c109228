#include "number_forms.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

namespace kestrova {

long long RoundHalfEven(double value) {
    if (!std::isfinite(value)) return 0;
    const double floor = std::floor(value);
    const double diff = value - floor;
    double result = floor;
    if (diff > 0.5 || (diff == 0.5 && std::fmod(floor, 2.0) != 0.0)) result = floor + 1.0;
    constexpr double limit = 9.2e18;
    if (result > limit) return std::numeric_limits<long long>::max();
    if (result < -limit) return std::numeric_limits<long long>::min();
    return static_cast<long long>(result);
}

namespace {

// Shortest round-trip text, in fixed notation for everyday magnitudes.
template <typename T>
QString shortest(T value) {
    if (!std::isfinite(value)) return QStringLiteral("0");
    if (value == 0) value = 0;  // no "-0"
    char buffer[400];
    const auto format = std::fabs(value) < T(1e15) ? std::chars_format::fixed : std::chars_format::general;
    const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value, format);
    if (error != std::errc()) return QStringLiteral("0");
    return QString::fromLatin1(buffer, int(end - buffer));
}

template <typename T>
QString signColumn(T value) {
    const QString text = shortest(value);
    return text.startsWith(u'-') ? text : u' ' + text;
}

}  // namespace

QString SignColumn(double value) { return signColumn(value); }
QString SignColumn(float value) { return signColumn(value); }
QString PlainDecimal(double value) { return shortest(value); }
QString PlainDecimal(float value) { return shortest(value); }

QString FormatMask(long long value, const QString& mask) {
    const bool wellFormed = mask.startsWith(u'#') && mask.count(u'0') == mask.size() - 1;
    if (!wellFormed) return QString::number(value);
    const int digits = int(mask.size()) - 1;
    if (value == 0 && digits == 0) return QString();
    const bool negative = value < 0;
    // Through unsigned so that the smallest long long keeps its digits.
    const unsigned long long magnitude = negative ? 0ULL - static_cast<unsigned long long>(value)
                                                  : static_cast<unsigned long long>(value);
    QString text = QString::number(magnitude).rightJustified(digits, u'0');
    return negative ? u'-' + text : text;
}

double Val(const QString& text) {
    const QByteArray latin = text.toLatin1();
    const char* p = latin.constData();
    const char* const end = p + latin.size();
    while (p < end && (*p == ' ' || *p == '\t' || *p == '\n' || *p == '\r')) ++p;
    const char* const start = p;
    if (p < end && (*p == '+' || *p == '-')) ++p;
    const char* const mantissa = p;
    while (p < end && std::isdigit(static_cast<unsigned char>(*p))) ++p;
    if (p < end && *p == '.') {
        ++p;
        while (p < end && std::isdigit(static_cast<unsigned char>(*p))) ++p;
    }
    if (p == mantissa || (p == mantissa + 1 && *mantissa == '.')) return 0.0;
    if (p < end && (*p == 'e' || *p == 'E')) {
        const char* q = p + 1;
        if (q < end && (*q == '+' || *q == '-')) ++q;
        if (q < end && std::isdigit(static_cast<unsigned char>(*q))) {
            while (q < end && std::isdigit(static_cast<unsigned char>(*q))) ++q;
            p = q;
        }
    }
    // from_chars takes no "+" and reads "." numbers like "5." and ".5" as they are.
    const char* digits = *start == '+' ? start + 1 : start;
    double value = 0.0;
    const auto [ptr, error] = std::from_chars(digits, p, value);
    if (error == std::errc::result_out_of_range) {
        return (*start == '-' ? -1.0 : 1.0) * std::numeric_limits<double>::max();
    }
    return (error == std::errc() && ptr == p) ? value : 0.0;
}

int ValInt(const QString& text) {
    const long long rounded = RoundHalfEven(Val(text));
    if (rounded > std::numeric_limits<int>::max()) return std::numeric_limits<int>::max();
    if (rounded < std::numeric_limits<int>::min()) return std::numeric_limits<int>::min();
    return int(rounded);
}

}  // namespace kestrova
