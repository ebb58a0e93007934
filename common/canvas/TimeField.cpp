#include "TimeField.h"

#include <algorithm>
#include <cctype>

namespace timegraph {

std::string TimeNotANumberMessage(const std::string& text)
{
    return "Время t задано не числом: \"" + text + "\". Восстановлено время окончания расчета.";
}

std::string StopTimeText(float stopTime, const numfmt::Separators& sep)
{
    return numfmt::FormatGeneral(stopTime, 5, sep);
}

namespace {

std::string Escaped(const std::string& text)
{
    std::string out;
    for (const char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x80 && !std::isalnum(u))
            out += '\\';
        out += c;
    }
    return out;
}

} // namespace

std::string TypedTimePattern(float stopTime, const numfmt::Separators& sep, int digits)
{
    const auto count = [](int n) { return "[0-9]{" + std::to_string(n) + "}"; };
    std::string pattern = "[0-9]{0," + std::to_string(digits) + "}";
    for (int before = 0; before <= digits; ++before)
        pattern += "|" + count(before) + Escaped(sep.decimal) + "[0-9]{0," + std::to_string(digits - before) + "}";
    return pattern + "|" + Escaped(StopTimeText(stopTime, sep));
}

namespace {

// The number the field's text for the end time reads.
double ShownStopTime(float stopTime, const numfmt::Separators& sep)
{
    try {
        return numfmt::TextToFloat(StopTimeText(stopTime, sep), sep.decimal);
    } catch (const numfmt::ConversionError&) {
        return stopTime;
    }
}

} // namespace

bool TimeFieldEnter(std::string& text, float stopTime, const numfmt::Separators& sep, const Notify& notify)
{
    double v = 0;
    try {
        v = numfmt::TextToFloat(text, sep.decimal);
    } catch (const numfmt::ConversionError&) {
        const std::string typed = text;
        text = StopTimeText(stopTime, sep);
        if (notify)
            notify(TimeNotANumberMessage(typed));
        return false;
    }
    // The single-precision end time may lie just below the decimal the field shows
    // (0.11 is 0.10999999940...): the shown end time must be accepted as it stands.
    if (v > std::max(static_cast<double>(stopTime), ShownStopTime(stopTime, sep))) {
        if (notify)
            notify(TimeTooLargeMessage);
        text = StopTimeText(stopTime, sep);
        return false;
    }
    return true;
}

double TimeForRepaint(std::string& text, float stopTime, const numfmt::Separators& sep, const Notify& notify)
{
    try {
        return numfmt::TextToFloat(text, sep.decimal);
    } catch (const numfmt::ConversionError&) {
        const std::string typed = text;
        text = StopTimeText(stopTime, sep);
        if (notify)
            notify(TimeNotANumberMessage(typed));
        return stopTime;
    }
}

} // namespace timegraph
