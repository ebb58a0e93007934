#include "NumberFormat.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <limits>
#include <string>

using namespace numfmt;

namespace {

// Expected texts are written with '.' for the decimal and '_' for the thousands
// separator and turned into the text each separator set must give.
std::string Localize(const std::string& neutral, const Separators& sep)
{
    std::string out;
    for (char c : neutral) {
        if (c == '.')
            out += sep.decimal;
        else if (c == '_')
            out += sep.thousands;
        else
            out += c;
    }
    return out;
}

const Separators kSeparatorSets[] = {PointSeparators(), CommaSeparators()};

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

struct GeneralRow {
    double value;
    int precision;
    int exponentDigits;
    const char* expected;
};

const GeneralRow kGeneralRows[] = {
    {0.05, 3, 0, "0.05"},
    {12.5, 3, 0, "12.5"},
    {2000, 3, 0, "2E3"},
    {0.00001, 3, 0, "1E-5"},
    {1234567, 6, 0, "1.23457E6"},
    {0.000002f, 4, 0, "2E-6"},
    {0.0000123f, 5, 2, "1.23E-05"},
    {0.000001f, 5, 2, "1E-06"},
    {0.12345f, 3, 0, "0.123"},
    {0.1f, 5, 0, "0.1"},
    {0.0003f, 5, 0, "0.0003"},
    {1.125f, 6, 0, "1.125"},
    {12, 5, 0, "12"},
    {-12.5, 3, 0, "-12.5"},
    {0.0, 3, 0, "0"},
    {-0.0, 3, 0, "0"},
    // Carries that change the exponent, and with it the notation.
    {9.99, 2, 0, "10"},
    {999.5, 3, 0, "1E3"},
    {0.00099951, 3, 0, "0.001"},
    // Edges of fixed notation: e = P and e = -3.
    {123, 3, 0, "123"},
    {1234, 3, 0, "1.23E3"},
    {0.000999, 3, 0, "0.000999"},
    {1e100, 3, 3, "1E100"},
    // Exact halves go away from zero; near-halves follow their binary value.
    {0.125, 2, 0, "0.13"},
    {2.5, 1, 0, "3"},
    {-2.5, 1, 0, "-3"},
    {0.15, 1, 0, "0.1"},
    {2.675, 3, 0, "2.67"},
    {0.35f, 1, 0, "0.3"},
    // The remainder of a single-precision 0.2 step at the middle graph label.
    {-1.4901161193847656e-08, 2, 0, "-1.5E-8"},
    {5e-324, 3, 0, "4.94E-324"},
    {kNaN, 5, 0, "NAN"},
    {kInf, 5, 0, "INF"},
    {-kInf, 5, 0, "-INF"},
};

TEST(NumberFormat, GeneralFormatRows)
{
    for (const Separators& sep : kSeparatorSets) {
        for (const GeneralRow& row : kGeneralRows) {
            EXPECT_EQ(FormatGeneral(row.value, row.precision, sep, row.exponentDigits), Localize(row.expected, sep))
                << "value " << row.value << " P " << row.precision << " separator '" << sep.decimal << "'";
        }
    }
}

struct FixedRow {
    double value;
    int precision;
    int decimals;
    const char* fixed;
    const char* grouped;
};

const FixedRow kFixedRows[] = {
    {0.000003f, 6, 6, "0.000003", "0.000003"},
    {0.0000042f, 8, 8, "0.00000420", "0.00000420"},
    {0.03, 5, 4, "0.0300", "0.0300"},
    {1.5, 5, 3, "1.500", "1.500"},
    {24, 4, 2, "24.00", "24.00"},
    {-24, 4, 2, "-24.00", "-24.00"},
    {0, 4, 2, "0.00", "0.00"},
    {-0.001, 4, 2, "0.00", "0.00"},
    {0.005, 4, 2, "0.01", "0.01"},
    {0.0049, 4, 2, "0.00", "0.00"},
    {-0.5, 3, 2, "-0.50", "-0.50"},
    {0.001, 3, 4, "0.0010", "0.0010"},
    {123.456, 4, 2, "123.50", "123.50"},
    {2.5, 3, 0, "3", "3"},
    {12345.6, 8, 2, "12345.60", "12_345.60"},
    {-1234567, 8, 1, "-1234567.0", "-1_234_567.0"},
    {999.9, 5, 1, "999.9", "999.9"},
    {999.96, 5, 1, "1000.0", "1_000.0"},
    // More integer digits than P, before or only after rounding: general format.
    {123456, 5, 2, "1.2346E5", "1.2346E5"},
    {99999.7, 5, 2, "1E5", "1E5"},
    {kNaN, 5, 2, "NAN", "NAN"},
    {-kInf, 5, 2, "-INF", "-INF"},
};

TEST(NumberFormat, FixedAndGroupedRows)
{
    for (const Separators& sep : kSeparatorSets) {
        for (const FixedRow& row : kFixedRows) {
            EXPECT_EQ(FormatFixed(row.value, row.precision, row.decimals, sep), Localize(row.fixed, sep))
                << "value " << row.value << " (" << row.precision << "," << row.decimals << ") '" << sep.decimal << "'";
            EXPECT_EQ(FormatFixedGrouped(row.value, row.precision, row.decimals, sep), Localize(row.grouped, sep))
                << "grouped value " << row.value << " (" << row.precision << "," << row.decimals << ") '"
                << sep.decimal << "'";
        }
    }
}

TEST(NumberFormat, CommaSeparatorsUseNoBreakSpace)
{
    EXPECT_EQ(FormatFixedGrouped(12345.6, 8, 2, CommaSeparators()), "12\xC2\xA0" "345,60");
}

TEST(NumberFormat, FormatsIgnoreProcessLocale)
{
    const char* previous = std::setlocale(LC_ALL, nullptr);
    const std::string saved = previous ? previous : "C";
    if (!std::setlocale(LC_ALL, "ru_RU.UTF-8") && !std::setlocale(LC_ALL, "de_DE.UTF-8"))
        std::setlocale(LC_ALL, "C.UTF-8");
    EXPECT_EQ(FormatGeneral(0.1f, 5, PointSeparators()), "0.1");
    EXPECT_EQ(FormatFixed(1234.5, 6, 2, PointSeparators()), "1234.50");
    EXPECT_EQ(TextToFloat("1.5", "."), 1.5);
    std::setlocale(LC_ALL, saved.c_str());
}

struct ParseRow {
    const char* text;
    const char* separator;
    double expected;
};

TEST(TextToFloat, AcceptedTexts)
{
    const ParseRow rows[] = {
        {"12.5", ".", 12.5},
        {"12,5", ",", 12.5},
        {"  -3,25e2\t", ",", -325},
        {"+1554E8", ".", 1554e8},
        {"1554e-8", ".", 1554e-8},
        {",5", ",", 0.5},
        {"5,", ",", 5},
        {"007", ",", 7},
        {"1e-400", ".", 0},
    };
    for (const ParseRow& row : rows)
        EXPECT_EQ(TextToFloat(row.text, row.separator), row.expected) << "text '" << row.text << "'";
    EXPECT_TRUE(std::signbit(TextToFloat("-0", ",")));
}

TEST(TextToFloat, RejectedTexts)
{
    const ParseRow rows[] = {
        {"", ",", 0},
        {"  \t ", ",", 0},
        {"0.5", ",", 0},
        {"0,5", ".", 0},
        {"1 000", ",", 0},
        {"1\xC2\xA0" "000", ",", 0},
        {"1554\xD0\x95" "8", ",", 0}, // Cyrillic capital IE
        {"inf", ".", 0},
        {"nan", ".", 0},
        {"1e", ".", 0},
        {"1e+", ".", 0},
        {"e5", ".", 0},
        {",", ",", 0},
        {"-", ",", 0},
        {"--1", ",", 0},
        {"- 1", ",", 0},
        {"1,5,", ",", 0},
        {"0x10", ".", 0},
        {"1e400", ".", 0},
        {"-1e400", ".", 0},
    };
    for (const ParseRow& row : rows)
        EXPECT_THROW(TextToFloat(row.text, row.separator), ConversionError) << "text '" << row.text << "'";
}

TEST(TextToFloat, ErrorQuotesTheUntrimmedText)
{
    try {
        TextToFloat(" 0.5 ", ",");
        FAIL() << "no error";
    } catch (const ConversionError& e) {
        EXPECT_STREQ(e.what(), "' 0.5 ' is not a valid floating point value");
        EXPECT_EQ(e.text(), " 0.5 ");
    }
}

// A field filled by the general format reads back under the same separator to the
// value rounded to the shown digits.
TEST(TextToFloat, ReadsBackWhatTheFormatWrote)
{
    const float values[] = {0.1f, 1554e8f, 0.0000123f, -0.12345f, 62800.0f, 3e-7f};
    for (const Separators& sep : kSeparatorSets) {
        for (float v : values) {
            const std::string text = FormatGeneral(v, 3, sep, 2);
            EXPECT_NEAR(TextToFloat(text, sep.decimal), v, std::fabs(v) * 5e-3) << text;
        }
    }
}

// The exact forms: every bit back, the row's own look where it already holds the value, the
// general form where a fixed one would run long.
TEST(NumberFormat, ExactFormsReadBackToTheSameFloat)
{
    const Separators comma = CommaSeparators();
    EXPECT_EQ(FormatFixedExact(2.5e-6f, 6, 6, comma), "0,0000025");
    EXPECT_EQ(FormatFixedExact(3e-6f, 6, 6, comma), "0,000003");
    EXPECT_EQ(FormatFixedExact(0.0f, 6, 6, comma), "0,000000");
    EXPECT_EQ(FormatFixedExact(1.2345e-8f, 8, 8, comma), "1,2345E-8");
    EXPECT_EQ(FormatFixedExact(1.25e-7f, 8, 8, comma), "0,000000125");
    EXPECT_EQ(FormatGeneralExact(62831.85f, 6, comma), "62831,85");
    EXPECT_EQ(FormatGeneralExact(1500.0f, 5, comma, 5), "1500");
    EXPECT_EQ(FormatGeneralExact(6.2e10f, 6, comma), "6,2E10");
    const float values[] = {0.1f, 1.0f + 1.2e-7f, -7.654321f, 3.4028235e38f, 1.4e-45f, 1.17549435e-38f,
                            123456.79f, 16777217.0f, 0.33333334f, 2.5e-6f};
    for (const Separators& sep : kSeparatorSets)
        for (const float v : values) {
            for (const std::string& text : {FormatGeneralExact(v, 3, sep), FormatGeneralExact(v, 6, sep, 5),
                                            FormatFixedExact(v, 6, 6, sep), FormatFixedExact(v, 8, 8, sep)})
                EXPECT_EQ(static_cast<float>(TextToFloat(text, sep.decimal)), v) << text;
        }
}

} // namespace
