#pragma once

#include "MachineMemory.h"

#include <cmath>
#include <cstdint>
#include <string>

// Limits a run must respect whatever the parameters: time must move at every stage, and the
// series must fit in the machine.
namespace runlimits {

// Whether a step h moves the time at every stage of a Runge-Kutta step anywhere in
// |t| <= tMax. The stages add h/6, h/3, h/3 and h/6, each rounded by up to half an ulp of t:
// above 8 ulp every addition moves t and a whole step gains at least 6 ulp.
inline bool StepMovesTime(double h, double tMax)
{
    tMax = std::fabs(tMax);
    const double ulp = std::nextafter(tMax, INFINITY) - tMax;
    return h > 8 * ulp;
}

// A number of bytes as a person reads it, to a tenth: "512 МБ", "5.2 ГБ".
template <typename Format>
std::string BytesText(long double bytes, Format format)
{
    const bool giga = bytes >= (1u << 30);
    const long double unit = giga ? (1u << 30) : (1u << 20);
    return format(static_cast<double>(std::round(bytes / unit * 10) / 10)) + (giga ? " ГБ" : " МБ");
}

// The refusal of a run whose series need this many bytes, or "" when they fit in the share
// of the machine's memory a run may take. format writes a number for the user.
template <typename Format>
std::string SeriesMemoryRefusal(long double bytes, Format format)
{
    const std::uint64_t budget = machinememory::SeriesBudget();
    if (bytes <= static_cast<long double>(budget))
        return {};
    return "Для отсчетов расчета нужно " + BytesText(bytes, format)
        + " памяти, а расчет может занять не более половины памяти машины (" + BytesText(budget, format)
        + "): увеличьте шаг печати или уменьшите время остановки счета.";
}

} // namespace runlimits
