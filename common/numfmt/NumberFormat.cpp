#include "NumberFormat.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <string>
#include <system_error>

namespace numfmt {

namespace {

// A finite non-negative value as 0.d1d2... x 10^exponent with d1 != 0; no digits for zero.
struct Decimal {
    std::string digits;
    int exponent = 0;
    bool zero() const { return digits.empty(); }
};

// The exact decimal expansion of |value|. Every double has at most 767 significant
// digits, so 800 after the point leave nothing out. glibc prints the exact expansion;
// its decimal point follows LC_NUMERIC, so only the digits and the exponent are read.
Decimal ExactDecimal(double value)
{
    Decimal d;
    value = std::fabs(value);
    if (value == 0.0)
        return d;
    char buffer[900];
    const int n = std::snprintf(buffer, sizeof buffer, "%.*e", 800, value);
    const char* p = buffer;
    const char* end = buffer + std::min<int>(n, static_cast<int>(sizeof buffer) - 1);
    while (p < end && *p != 'e') {
        if (*p >= '0' && *p <= '9')
            d.digits.push_back(*p);
        ++p;
    }
    int exp10 = 0;
    if (p < end) {
        ++p; // 'e'
        const bool negative = (p < end && *p == '-');
        if (p < end && (*p == '-' || *p == '+'))
            ++p;
        std::from_chars(p, end, exp10);
        if (negative)
            exp10 = -exp10;
    }
    d.exponent = exp10 + 1;
    while (!d.digits.empty() && d.digits.back() == '0')
        d.digits.pop_back();
    return d;
}

// Keeps at most `keep` significant digits (none or fewer than none: the value rounds
// at or above its first digit), half away from zero; drops trailing zeros.
void RoundTo(Decimal& d, int keep)
{
    if (d.zero() || keep >= static_cast<int>(d.digits.size()))
        return;
    if (keep < 0) {
        d.digits.clear();
        return;
    }
    const bool up = d.digits[keep] >= '5';
    d.digits.resize(keep);
    if (up) {
        int i = keep - 1;
        while (i >= 0 && d.digits[i] == '9') {
            d.digits[i] = '0';
            --i;
        }
        if (i >= 0) {
            ++d.digits[i];
        } else {
            d.digits.insert(d.digits.begin(), '1');
            ++d.exponent;
        }
    }
    while (!d.digits.empty() && d.digits.back() == '0')
        d.digits.pop_back();
}

bool NonFinite(double value, std::string& out)
{
    if (std::isnan(value)) {
        out = "NAN";
        return true;
    }
    if (std::isinf(value)) {
        out = value < 0 ? "-INF" : "INF";
        return true;
    }
    return false;
}

std::string Fixed(double value, int precision, int decimals, const Separators& sep, bool grouped)
{
    std::string out;
    if (NonFinite(value, out))
        return out;
    precision = std::max(precision, 1);
    decimals = std::max(decimals, 0);

    Decimal d = ExactDecimal(value);
    if (!d.zero()) {
        // Clamp before adding so that absurd decimals cannot overflow the sum.
        const long long byDecimals = static_cast<long long>(d.exponent) + decimals;
        RoundTo(d, static_cast<int>(std::min<long long>(precision, byDecimals)));
    }
    if (!d.zero() && d.exponent > precision)
        return FormatGeneral(value, precision, sep);

    // A value that rounds to zero loses its sign: -0.001 with two decimals reads 0.00.
    if (!d.zero() && value < 0)
        out += '-';

    const auto digitAt = [&d](long long index) {
        return index >= 0 && index < static_cast<long long>(d.digits.size()) ? d.digits[index] : '0';
    };

    std::string integer;
    if (d.zero() || d.exponent <= 0) {
        integer = "0";
    } else {
        for (int i = 0; i < d.exponent; ++i)
            integer += digitAt(i);
    }
    if (grouped) {
        const std::size_t lead = integer.size() % 3 == 0 ? 3 : integer.size() % 3;
        out.append(integer, 0, lead);
        for (std::size_t i = lead; i < integer.size(); i += 3) {
            out += sep.thousands;
            out.append(integer, i, 3);
        }
    } else {
        out += integer;
    }

    if (decimals > 0) {
        out += sep.decimal;
        for (int i = 0; i < decimals; ++i)
            out += d.zero() ? '0' : digitAt(static_cast<long long>(d.exponent) + i);
    }
    return out;
}

bool IsBlank(char c)
{
    return static_cast<unsigned char>(c) <= 0x20;
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// The shortest decimal that reads back to a finite float, as the double nearest to it, with
// its digit count n and exponent e (0.d1..dn x 10^e).
struct Shortest {
    double value = 0;
    int digits = 1;
    int exponent = 1;
};

Shortest ShortestOf(float value)
{
    char buffer[64];
    const auto written = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific);
    const std::string_view text(buffer, static_cast<std::size_t>(written.ptr - buffer));
    Shortest s;
    std::from_chars(text.data(), text.data() + text.size(), s.value);
    const std::size_t e = text.find('e');
    s.digits = static_cast<int>(std::count_if(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(e), IsDigit));
    std::size_t at = e + 1;
    if (at < text.size() && text[at] == '+')
        ++at;
    int power = 0;
    std::from_chars(text.data() + at, text.data() + text.size(), power);
    s.exponent = power + 1;
    return s;
}

bool ReadsBackTo(const std::string& text, float value, const Separators& sep)
{
    try {
        return static_cast<float>(TextToFloat(text, sep.decimal)) == value;
    } catch (const ConversionError&) {
        return false;
    }
}

// Decimals a fixed text may grow to before the general format reads better.
constexpr int MostFixedDecimals = 9;

} // namespace

Separators PointSeparators()
{
    return Separators{".", ","};
}

Separators CommaSeparators()
{
    return Separators{",", "\xC2\xA0"};
}

std::string FormatGeneral(double value, int precision, const Separators& sep, int minExponentDigits)
{
    std::string out;
    if (NonFinite(value, out))
        return out;
    precision = std::max(precision, 1);

    Decimal d = ExactDecimal(value);
    RoundTo(d, precision);
    if (d.zero())
        return "0";
    if (value < 0)
        out += '-';

    const int e = d.exponent;
    const int count = static_cast<int>(d.digits.size());
    if (e >= -3 && e <= precision) {
        if (e <= 0) {
            out += '0';
            out += sep.decimal;
            out.append(static_cast<std::size_t>(-e), '0');
            out += d.digits;
        } else {
            out.append(d.digits, 0, std::min(e, count));
            if (count < e)
                out.append(static_cast<std::size_t>(e - count), '0');
            if (count > e) {
                out += sep.decimal;
                out.append(d.digits, e);
            }
        }
        return out;
    }

    out += d.digits[0];
    if (count > 1) {
        out += sep.decimal;
        out.append(d.digits, 1);
    }
    out += 'E';
    const int shown = e - 1;
    if (shown < 0)
        out += '-';
    std::string exponent = std::to_string(shown < 0 ? -shown : shown);
    if (static_cast<int>(exponent.size()) < minExponentDigits)
        exponent.insert(0, static_cast<std::size_t>(minExponentDigits) - exponent.size(), '0');
    out += exponent;
    return out;
}

std::string FormatFixed(double value, int precision, int decimals, const Separators& sep)
{
    return Fixed(value, precision, decimals, sep, false);
}

std::string FormatFixedGrouped(double value, int precision, int decimals, const Separators& sep)
{
    return Fixed(value, precision, decimals, sep, true);
}

std::string FormatGeneralExact(float value, int precision, const Separators& sep, int minExponentDigits)
{
    if (!std::isfinite(value))
        return FormatGeneral(value, precision, sep, minExponentDigits);
    const Shortest s = ShortestOf(value);
    // The shortest digits first; the exact binary value with more digits should the text
    // ever read back to a neighbour (decimal to double to float rounds twice).
    std::string text = FormatGeneral(s.value, std::max(precision, s.digits), sep, minExponentDigits);
    for (int p = s.digits + 1; p <= 17 && !ReadsBackTo(text, value, sep); ++p)
        text = FormatGeneral(value, std::max(precision, p), sep, minExponentDigits);
    return text;
}

std::string FormatFixedExact(float value, int precision, int decimals, const Separators& sep)
{
    if (!std::isfinite(value))
        return FormatFixed(value, precision, decimals, sep);
    const Shortest s = ShortestOf(value);
    const int needed = s.digits - s.exponent;
    if (needed <= std::max(decimals, MostFixedDecimals)) {
        const std::string text = FormatFixed(s.value, std::max(precision, s.digits), std::max(decimals, needed), sep);
        if (ReadsBackTo(text, value, sep))
            return text;
    }
    return FormatGeneralExact(value, precision, sep);
}

ConversionError::ConversionError(const std::string& text)
    : std::runtime_error("'" + text + "' is not a valid floating point value"), text_(text)
{
}

double TextToFloat(std::string_view text, std::string_view decimalSeparator)
{
    std::string_view s = text;
    while (!s.empty() && IsBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back()))
        s.remove_suffix(1);

    const auto fail = [text]() { return ConversionError(std::string(text)); };

    // The text is rewritten in the one form from_chars takes regardless of locale:
    // digits, '.', 'e', '-' only.
    std::string plain;
    std::size_t i = 0;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        negative = s[i] == '-';
        ++i;
    }
    std::size_t mantissaDigits = 0;
    // Decimal position of the leading nonzero digit, to tell overflow from underflow.
    long long leadPower = 0;
    bool seenNonzero = false;
    long long integerDigits = 0;
    while (i < s.size() && IsDigit(s[i])) {
        if (seenNonzero || s[i] != '0') {
            seenNonzero = true;
            ++integerDigits;
        }
        plain += s[i++];
        ++mantissaDigits;
    }
    leadPower = integerDigits - 1;
    if (!decimalSeparator.empty() && s.substr(i).starts_with(decimalSeparator)) {
        i += decimalSeparator.size();
        plain += '.';
        long long position = 0;
        while (i < s.size() && IsDigit(s[i])) {
            --position;
            if (!seenNonzero && s[i] != '0') {
                seenNonzero = true;
                leadPower = position;
            }
            plain += s[i++];
            ++mantissaDigits;
        }
    }
    if (mantissaDigits == 0)
        throw fail();

    long long exponent = 0;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        bool expNegative = false;
        if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
            expNegative = s[i] == '-';
            ++i;
        }
        std::size_t expDigits = 0;
        plain += 'e';
        if (expNegative)
            plain += '-';
        while (i < s.size() && IsDigit(s[i])) {
            if (exponent < 1000000000LL)
                exponent = exponent * 10 + (s[i] - '0');
            plain += s[i++];
            ++expDigits;
        }
        if (expDigits == 0)
            throw fail();
        if (expNegative)
            exponent = -exponent;
    }
    if (i != s.size())
        throw fail();

    double value = 0.0;
    const auto [ptr, ec] = std::from_chars(plain.data(), plain.data() + plain.size(), value);
    if (ec == std::errc::result_out_of_range) {
        // Too large is an error; too small for a double is just zero.
        if (leadPower + exponent >= 0)
            throw fail();
        value = 0.0;
    } else if (ec != std::errc() || ptr != plain.data() + plain.size()) {
        throw fail();
    }
    return negative ? -value : value;
}

} // namespace numfmt
