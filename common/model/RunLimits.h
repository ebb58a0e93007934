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

// Steps between two questions whether to stop a run: a few milliseconds of either model, so
// that a stop is honoured promptly however far apart the samples are.
inline constexpr long long CancelPollSteps = 4096;

// Steps to take at once towards a sample toSample steps ahead: all of them, or when the run may
// be asked to stop, no more than lie between two questions.
inline long long StepsAtOnce(long long toSample, bool askedToStop)
{
    return askedToStop && toSample > CancelPollSteps ? CancelPollSteps : toSample;
}

// PrintStep / Step as both models count the steps between two samples: in extended precision,
// with a factor that keeps a print step that is a whole multiple of the step from losing one
// (0.00003f / 0.000003f is 9.9999994 in extended precision).
inline long double StepsPerSampleQuotient(float printStep, float step)
{
    return static_cast<long double>(printStep) * static_cast<long double>(1.0000001) / static_cast<long double>(step);
}

// The refusal of a print step so many times the step that the steps between two samples cannot
// be counted (beyond 9e18), or "" when they can. The step and print step are positive.
inline std::string StepsPerSampleRefusal(float printStep, float step)
{
    if (StepsPerSampleQuotient(printStep, step) < 9e18L)
        return {};
    return "Шаг печати больше шага расчета более чем в 9·10^18 раз: число шагов между отсчетами не может быть "
           "сосчитано. Уменьшите шаг печати или увеличьте шаг расчета.";
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
