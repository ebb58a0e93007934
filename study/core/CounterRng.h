#pragma once

#include <cstdint>

// Random draws that depend only on (seed, run, draw number): each Monte Carlo run has a
// stream of its own, so the results do not depend on which worker makes a run or when.
namespace study {

// A bijective 64-bit mix (the finaliser of SplitMix64).
constexpr std::uint64_t Mix64(std::uint64_t x)
{
    x ^= x >> 30;
    x *= 0xbf58476d1ce4e5b9ULL;
    x ^= x >> 27;
    x *= 0x94d049bb133111ebULL;
    x ^= x >> 31;
    return x;
}

// The 64 random bits of draw k of run r of the stream keyed by seed.
constexpr std::uint64_t CounterBits(std::uint64_t seed, std::uint64_t run, std::uint64_t k)
{
    std::uint64_t h = Mix64(seed + 0x9e3779b97f4a7c15ULL);
    h = Mix64(h ^ (run * 0xd1b54a32d192ed03ULL + 0x8cb92ba72f3d8dd7ULL));
    return Mix64(h ^ (k * 0xaef17502108ef2d9ULL + 0x2545f4914f6cdd1dULL));
}

// Uniform in the open interval (0, 1).
constexpr double CounterUniform(std::uint64_t seed, std::uint64_t run, std::uint64_t k)
{
    return (static_cast<double>(CounterBits(seed, run, k) >> 11) + 0.5) * 0x1.0p-53;
}

// Standard normal, by the Box-Muller transform of draws 2k and 2k+1.
double CounterNormal(std::uint64_t seed, std::uint64_t run, std::uint64_t k);

} // namespace study
