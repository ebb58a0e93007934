#pragma once

#include <string>
#include <string_view>

// Units as the parameter table's labels give them ("Частота вынуждающей силы  1/c" -> "1/c").
namespace study {

// The unit at the end of a parameter label, with ^C and ^2 shown as °C and ²; empty when the
// label names none.
std::string UnitOfLabel(std::string_view label);

// Whether a unit is that of an angular rate in radians per second (1/s or rad/s).
bool IsRadiansPerSecond(std::string_view unit);

} // namespace study
