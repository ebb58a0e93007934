#pragma once

#include "NumberFormat.h"

#include <functional>
#include <string>

// The end-time field under both graphs: what it shows, what Enter does with it and
// which time a repaint takes from it.
namespace timegraph {

inline constexpr const char* TimeTooLargeMessage = "Превышение расчетного времени. ввдите другое значение";

// The notice for a field that holds no number.
std::string TimeNotANumberMessage(const std::string& text);

// The field's text for the run's end time: general format, 5 significant digits.
std::string StopTimeText(float stopTime, const numfmt::Separators& sep);

// What a field that admits at most `digits` digits lets a user type, as a regular
// expression: the digits with the decimal separator before, among or after them, or the
// end time as the field shows it.
std::string TypedTimePattern(float stopTime, const numfmt::Separators& sep, int digits);

using Notify = std::function<void(const std::string& message)>;

// Enter in the field. A time above the end time (and above the end time as shown), or a text that is no number, is
// reported through notify and the field goes back to the end time; true when the
// graph is to be repainted.
bool TimeFieldEnter(std::string& text, float stopTime, const numfmt::Separators& sep, const Notify& notify);

// The end time T a repaint draws with. A text that is no number is reported, the field
// goes back to the end time and T is the end time. A time above the end time typed
// without Enter is taken as typed: the curves end at the last recorded sample.
double TimeForRepaint(std::string& text, float stopTime, const numfmt::Separators& sep, const Notify& notify);

} // namespace timegraph
