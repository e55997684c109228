#include "core/number_forms.h"

#include <gtest/gtest.h>

#include <clocale>
#include <limits>

using namespace kestrova;

TEST(NumberForms, RoundHalfEven) {
    const std::pair<double, long long> cases[] = {
        {0.5, 0}, {1.5, 2}, {2.5, 2}, {3.5, 4}, {-0.5, 0}, {-1.5, -2}, {-2.5, -2},
        {2.4999, 2}, {2.5001, 3}, {-2.6, -3}, {33333.3333, 33333}, {7.0, 7},
    };
    for (const auto& [value, expected] : cases) EXPECT_EQ(RoundHalfEven(value), expected) << value;
    EXPECT_EQ(RoundHalfEven(std::numeric_limits<double>::quiet_NaN()), 0);
}

TEST(NumberForms, SignColumnAndPlainDecimal) {
    const struct {
        double value;
        const char* sign;
        const char* plain;
    } cases[] = {
        {9, " 9", "9"},           {0, " 0", "0"},       {-0.0, " 0", "0"},  {-3, "-3", "-3"},
        {2.5, " 2.5", "2.5"},     {29.97, " 29.97", "29.97"}, {-0.25, "-0.25", "-0.25"},
        {100000, " 100000", "100000"}, {1234567.125, " 1234567.125", "1234567.125"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SignColumn(c.value), QString::fromLatin1(c.sign)) << c.value;
        EXPECT_EQ(PlainDecimal(c.value), QString::fromLatin1(c.plain)) << c.value;
    }
    // Single-precision values are written as short as they read back: twips, frame rates.
    EXPECT_EQ(PlainDecimal(29.97f), QStringLiteral("29.97"));
    EXPECT_EQ(SignColumn(9000.5f), QStringLiteral(" 9000.5"));
}

TEST(NumberForms, DecimalPointWhateverTheLocale) {
    const char* previous = std::setlocale(LC_NUMERIC, nullptr);
    const std::string saved = previous ? previous : "C";
    if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8") == nullptr) std::setlocale(LC_NUMERIC, "fr_FR.UTF-8");
    EXPECT_EQ(SignColumn(2.5), QStringLiteral(" 2.5"));
    EXPECT_DOUBLE_EQ(Val(QStringLiteral("29.97")), 29.97);
    std::setlocale(LC_NUMERIC, saved.c_str());
}

TEST(NumberForms, FormatMask) {
    const struct {
        long long value;
        const char* mask;
        const char* text;
    } cases[] = {
        {4, "#00", "04"},     {12, "#00", "12"},        {123, "#00", "123"},  // never cut
        {935, "#", "935"},    {0, "#", ""},             {0, "#00", "00"},
        {7, "#000000", "000007"}, {-5, "#000", "-005"}, {1234567, "#000000", "1234567"},
        {42, "", "42"},       {42, "0#", "42"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FormatMask(c.value, QString::fromLatin1(c.mask)), QString::fromLatin1(c.text))
            << c.value << " " << c.mask;
    }
    EXPECT_EQ(FormatMask(std::numeric_limits<long long>::min(), QStringLiteral("#")),
              QStringLiteral("-9223372036854775808"));
}

TEST(NumberForms, ValReadsTheLongestNumericPrefix) {
    const std::pair<const char*, double> cases[] = {
        {"100", 100},    {"  42abc", 42}, {"\t7", 7},      {"-3.5", -3.5}, {"+8", 8},
        {"abc", 0},      {"", 0},         {"  ", 0},       {".5", 0.5},    {"5.", 5},
        {"-", 0},        {".", 0},        {"1e3", 1000},   {"2E-1x", 0.2}, {"3e", 3},
        {"4e+", 4},      {"12.5.6", 12.5}, {"90 %", 90},   {"1e999", std::numeric_limits<double>::max()},
    };
    for (const auto& [text, expected] : cases) EXPECT_DOUBLE_EQ(Val(QString::fromLatin1(text)), expected) << text;
}

TEST(NumberForms, ValIntRoundsAndClamps) {
    EXPECT_EQ(ValInt(QStringLiteral("2.5")), 2);
    EXPECT_EQ(ValInt(QStringLiteral("3.5")), 4);
    EXPECT_EQ(ValInt(QStringLiteral("not a number")), 0);
    EXPECT_EQ(ValInt(QStringLiteral("99999999999")), std::numeric_limits<int>::max());
    EXPECT_EQ(ValInt(QStringLiteral("-99999999999")), std::numeric_limits<int>::min());
}
