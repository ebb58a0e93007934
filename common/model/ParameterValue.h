#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

// Every parameter is held as a 32-bit float. A value typed for one (a window's field, a run
// tool's override) is narrowed here, checked, on top of gyromodel::NarrowToFloat.
namespace parametervalue {

// The refusal of a parameter that holds no finite 32-bit value, naming it by its label.
std::string OutOfRangeMessage(std::string_view label);

// A value typed for a parameter that does not fit in 32 bits; what() is OutOfRangeMessage.
class OutOfRange : public std::range_error {
public:
    explicit OutOfRange(std::string_view label);
};

// The value narrowed to 32 bits; throws OutOfRange naming the parameter when the result
// would not be finite.
float NarrowChecked(double value, std::string_view label);

} // namespace parametervalue
