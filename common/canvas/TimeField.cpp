#include "TimeField.h"

namespace timegraph {

std::string TimeNotANumberMessage(const std::string& text)
{
    return "Время t задано не числом: \"" + text + "\". Восстановлено время окончания расчета.";
}

std::string StopTimeText(float stopTime, const numfmt::Separators& sep)
{
    return numfmt::FormatGeneral(stopTime, 5, sep);
}

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
    if (v > stopTime) {
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
