#pragma once

#include <cmath>
#include <string>

// Advice for a run that diverged: a step that the fourth-order Runge-Kutta scheme integrates
// stably and accurately, given the fastest rate (natural frequency, drive frequency or damping
// rate, in 1/s) of the model at its initial state.
namespace stepadvice {

// With rate*h = 0.2 the scheme is far inside its stability limit (about 2.8 on the imaginary
// axis) and loses well under a millionth of an oscillation's amplitude per step.
constexpr double RatePerStep = 0.2;

// The largest of 1, 2, 5 times a power of ten not above RatePerStep / rate; 0 when there is no rate.
inline double SuggestedStep(double fastestRate)
{
    if (!(fastestRate > 0) || !std::isfinite(fastestRate))
        return 0;
    const double limit = RatePerStep / fastestRate;
    const double decade = std::pow(10.0, std::floor(std::log10(limit)));
    for (double mantissa : {5.0, 2.0, 1.0})
        if (mantissa * decade <= limit * (1 + 1e-12))
            return mantissa * decade;
    return decade / 2;
}

// " Рекомендуемый шаг расчета: не более H с (...)." or "" when nothing can be said.
// format writes a number for the user.
template <typename Format>
std::string Advice(double fastestRate, Format format)
{
    const double h = SuggestedStep(fastestRate);
    if (h <= 0)
        return {};
    return " Рекомендуемый шаг расчета: не более " + format(h) + " с (самая быстрая частота модели около "
        + format(fastestRate) + " 1/с).";
}

} // namespace stepadvice
