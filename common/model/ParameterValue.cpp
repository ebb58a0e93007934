#include "ParameterValue.h"

#include "NarrowToFloat.h"

#include <cmath>

namespace parametervalue {

std::string OutOfRangeMessage(std::string_view label)
{
    // Several labels end in blanks that only pad the window's layout.
    while (!label.empty() && label.back() == ' ')
        label.remove_suffix(1);
    return "Значение параметра «" + std::string(label)
        + "» не является конечным числом, представимым 32-разрядным числом с плавающей точкой: "
          "задайте значение меньшего порядка.";
}

OutOfRange::OutOfRange(std::string_view label)
    : std::range_error(OutOfRangeMessage(label))
{
}

float NarrowChecked(double value, std::string_view label)
{
    const float narrowed = gyromodel::NarrowToFloat(value);
    if (!std::isfinite(narrowed))
        throw OutOfRange(label);
    return narrowed;
}

} // namespace parametervalue
