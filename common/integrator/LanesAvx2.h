#pragma once

// The lane type and trigonometry of kernels compiled for AVX2. Include only in a translation
// unit compiled with -mavx2 that has defined GYRO_LANES_NAMESPACE (see Lanes.h).

#include "Lanes.h"

// The C library's four-lane AVX2 functions (libmvec).
extern "C" GYRO_LANES_NAMESPACE::FourLanes _ZGVdN4v_cos(GYRO_LANES_NAMESPACE::FourLanes);
extern "C" GYRO_LANES_NAMESPACE::FourLanes _ZGVdN4v_sin(GYRO_LANES_NAMESPACE::FourLanes);

namespace GYRO_LANES_NAMESPACE {

// Sines and cosines of four lanes in one call each: about as dear as one scalar call instead
// of four. Within a few units in the last place of the scalar functions, so runs that use them
// agree with their runs alone to rounding rather than bit for bit; lanes with equal arguments
// still share one scalar cosine and stay bit for bit.
struct Avx2Trig {
    static constexpr bool OneForEqualArguments = true;
    [[gnu::always_inline]] static FourLanes Cos(const FourLanes& x) { return _ZGVdN4v_cos(x); }
    [[gnu::always_inline]] static void SinCos(const FourLanes& x, FourLanes& s, FourLanes& c)
    {
        s = _ZGVdN4v_sin(x);
        c = _ZGVdN4v_cos(x);
    }
};

} // namespace GYRO_LANES_NAMESPACE
