#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

// Number-to-text formats and the edit fields' text-to-number conversion shared by
// both programs. Text is UTF-8; the separators are passed in (the windows take them
// from the user's locale), so nothing here depends on the process locale.
namespace numfmt {

struct Separators {
    std::string decimal = ".";
    std::string thousands = ",";
};

// Separators with a point and a comma: the C locale's, used by files and the run tools.
Separators PointSeparators();
// Decimal comma and no-break space, as a Russian desktop has them.
Separators CommaSeparators();

// General format: P significant digits, trailing zeros dropped, fixed notation while the
// decimal exponent e of 0.d1d2.. x 10^e satisfies -3 <= e <= P, else d.dddE[-]x with at
// least minExponentDigits exponent digits. Rounds the exact binary value, halves away from zero.
std::string FormatGeneral(double value, int precision, const Separators& sep, int minExponentDigits = 0);

// Fixed format: exactly D decimals after rounding to at most P significant digits and
// D decimals; a value with more than P integer digits falls back to the general format.
std::string FormatFixed(double value, int precision, int decimals, const Separators& sep);

// The same formats for a value of the parameter files, with as many more digits as the
// 32-bit value needs to read back from the text to the same 32-bit value: the shortest such
// digits, never fewer than the format's own. A fixed text that would need more than nine
// decimals turns to the general format.
std::string FormatGeneralExact(float value, int precision, const Separators& sep, int minExponentDigits = 0);
std::string FormatFixedExact(float value, int precision, int decimals, const Separators& sep);

// The fixed format with the integer part in groups of three divided by the thousands separator.
std::string FormatFixedGrouped(double value, int precision, int decimals, const Separators& sep);

// Thrown when an edit field's text is not a number; what() is the user-visible message.
class ConversionError : public std::runtime_error {
public:
    explicit ConversionError(const std::string& text);
    const std::string& text() const { return text_; }

private:
    std::string text_;
};

// Converts an edit field's text: blanks around it ignored, an optional sign, digits with
// the given decimal separator, an optional exponent (E or e, optional sign, digits).
// Anything else, an empty text and values that overflow raise ConversionError.
// The mantissa needs a digit on at least one side of the separator ("5," and ",5" are
// numbers); a value too small for a double reads as zero.
double TextToFloat(std::string_view text, std::string_view decimalSeparator);

} // namespace numfmt
