#pragma once

// Helpers for kernels written once for a lane type V: double for one run, or a vector of
// doubles (GCC's vector extension) for several runs side by side, one per lane.
//
// A translation unit compiled for another instruction set defines GYRO_LANES_NAMESPACE before
// including any kernel, so that its copies of these inline functions can never be merged with
// the baseline ones by the linker. Kernels use only compiler built-ins, always-inlined helpers
// and the C library's mathematical functions, for the same reason.

#ifndef GYRO_LANES_NAMESPACE
#define GYRO_LANES_NAMESPACE lanes
#endif

namespace GYRO_LANES_NAMESPACE {

// Four doubles: two SSE2 registers in baseline code, one AVX2 register where compiled for it.
typedef double FourLanes __attribute__((vector_size(32)));

template <class V>
constexpr int LaneCount = sizeof(V) / sizeof(double);

template <class V>
[[gnu::always_inline]] inline double& Lane(V& v, int i)
{
    if constexpr (LaneCount<V> == 1)
        return reinterpret_cast<double&>(v);
    else
        return reinterpret_cast<double*>(&v)[i];
}

template <class V>
[[gnu::always_inline]] inline double Lane(const V& v, int i)
{
    if constexpr (LaneCount<V> == 1)
        return reinterpret_cast<const double&>(v);
    else
        return reinterpret_cast<const double*>(&v)[i];
}

// x in every lane.
template <class V>
[[gnu::always_inline]] inline V Broadcast(double x)
{
    V v;
    for (int i = 0; i < LaneCount<V>; ++i)
        Lane(v, i) = x;
    return v;
}

// The lanes of sum that are not finite, as a bit mask.
template <class V>
[[gnu::always_inline]] inline unsigned NonFiniteLanes(const V& sum)
{
    const V zero = sum - sum;  // 0 where finite, NaN where not
    unsigned mask = 0;
    for (int i = 0; i < LaneCount<V>; ++i)
        if (!(Lane(zero, i) == 0))
            mask |= 1u << i;
    return mask;
}

} // namespace GYRO_LANES_NAMESPACE
