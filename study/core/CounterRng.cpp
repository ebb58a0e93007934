#include "CounterRng.h"

#include <cmath>
#include <numbers>

namespace study {

double CounterNormal(std::uint64_t seed, std::uint64_t run, std::uint64_t k)
{
    const double u1 = CounterUniform(seed, run, 2 * k);
    const double u2 = CounterUniform(seed, run, 2 * k + 1);
    return std::sqrt(-2.0 * std::log(u1)) * std::cos(2 * std::numbers::pi * u2);
}

} // namespace study
