#pragma once

#include <limits>

namespace gyromodel {

// Rounds to 32 bits, as the models hold their parameters; values beyond the float range become
// infinities (a plain conversion of those is undefined), so they are refused later rather than wrapped.
inline float NarrowToFloat(long double value)
{
    constexpr long double limit = std::numeric_limits<float>::max();
    // Values that round to the largest float stay finite; beyond half an ulp they overflow.
    constexpr long double overflow = limit + limit * std::numeric_limits<float>::epsilon() / 4;
    if (value >= overflow)
        return std::numeric_limits<float>::infinity();
    if (value <= -overflow)
        return -std::numeric_limits<float>::infinity();
    return static_cast<float>(value);
}

} // namespace gyromodel
