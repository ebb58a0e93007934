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

// The largest of 1, 2, 5 times a power of ten not above limit; 0 when limit is not a positive number.
inline double RoundStepDown(double limit)
{
    if (!(limit > 0) || !std::isfinite(limit))
        return 0;
    const double decade = std::pow(10.0, std::floor(std::log10(limit)));
    for (double mantissa : {5.0, 2.0, 1.0})
        if (mantissa * decade <= limit * (1 + 1e-12))
            return mantissa * decade;
    return decade / 2;
}

// The largest round step within RatePerStep / rate; 0 when there is no rate.
inline double SuggestedStep(double fastestRate)
{
    if (!(fastestRate > 0) || !std::isfinite(fastestRate))
        return 0;
    return RoundStepDown(RatePerStep / fastestRate);
}

// The step to advise after a run diverged with divergedStep, always a smaller one: the
// suggested step when it is smaller, else half the diverged step rounded down (the rate then
// missed what made the run diverge); 0 when there is no rate to go by.
inline double AdvisedStep(double fastestRate, double divergedStep)
{
    const double h = SuggestedStep(fastestRate);
    if (h <= 0 || h < divergedStep)
        return h;
    return RoundStepDown(divergedStep / 2);
}

// " Рекомендуемый шаг расчета: не более H с (...)." or "" when nothing can be said, for a run
// that diverged with divergedStep. format writes a number for the user.
template <typename Format>
std::string Advice(double fastestRate, double divergedStep, Format format)
{
    const double h = AdvisedStep(fastestRate, divergedStep);
    if (h <= 0)
        return {};
    if (h == SuggestedStep(fastestRate))
        return " Рекомендуемый шаг расчета: не более " + format(h) + " с (самая быстрая частота модели около "
            + format(fastestRate) + " 1/с).";
    return " Рекомендуемый шаг расчета: не более " + format(h) + " с.";
}

} // namespace stepadvice
