#pragma once

// Sines and cosines written once for a lane type V (Lanes.h): a run alone (V = double) and a
// lane of runs side by side (a vector of doubles) take exactly the same operations, so a run's
// numbers are the same bits however it is integrated and whichever runs share its lanes.
//
// The argument is reduced by multiples of pi/2 held in four parts (the first three short enough
// that their products with the multiple are exact), carrying the reduced argument as a sum of
// two doubles, so that it keeps its precision even where x lies within a few ulp of a multiple;
// polynomials near-minimax on [-pi/4, pi/4] then give the sine and cosine within about 0.8
// units in the last place. Arguments beyond ReducedRange (and those not finite) go
// to the C library lane by lane, in both forms alike.
//
// Nothing here may be contracted into fused multiply-adds or reordered: the build turns
// contraction off (-ffp-contract=off), and the AVX2 kernels are compiled without FMA.

#include "Lanes.h"

namespace GYRO_LANES_NAMESPACE {

namespace sincos_detail {

// pi/2 = P1 + P2 + P3 + P4 to about 2^-140; P1, P2 and P3 have at most 27 significant bits.
constexpr double P1 = 0x1.921fb54p+0;
constexpr double P2 = 0x1.10b461p-30;
constexpr double P3 = 0x1.a626330p-58;
constexpr double P4 = 0x1.45c06e0e68948p-86;
constexpr double TwoOverPi = 0x1.45f306dc9c883p-1;
// Added and taken away again, rounds to a whole number and leaves it in the low mantissa bits.
constexpr double Round = 0x1.8p52;

// sin r = r + r^3 (S0 + S1 z + ... + S5 z^5), z = r^2, |r| <= pi/4.
constexpr double S0 = -0.16666666666666666, S1 = 0.008333333333330948, S2 = -0.00019841269836758574,
                 S3 = 2.755731610255244e-06, S4 = -2.5051131845003624e-08, S5 = 1.5918129294866608e-10;
// cos r = 1 - z/2 + z^2 (C0 + C1 z + ... + C5 z^5).
constexpr double C0 = 0.041666666666666664, C1 = -0.0013888888888887398, C2 = 2.480158729876569e-05,
                 C3 = -2.7557317271729793e-07, C4 = 2.08761462684032e-09, C5 = -1.1382632425521717e-11;

template <class V>
struct IntLanes {
    typedef unsigned long long type __attribute__((vector_size(sizeof(V))));
};
template <>
struct IntLanes<double> {
    using type = unsigned long long;
};

template <class V>
using IntOf = typename IntLanes<V>::type;

template <class To, class From>
[[gnu::always_inline]] inline To Bits(const From& x)
{
    static_assert(sizeof(To) == sizeof(From));
    return __builtin_bit_cast(To, x);
}

// a - b rounded, and its rounding error, whichever of a and b is larger.
template <class V>
[[gnu::always_inline]] inline V ExactDifference(const V& a, const V& b, V& error)
{
    const V d = a - b;
    const V back = d - a;
    error = (a - (d - back)) + (-b - back);
    return d;
}

// x = k pi/2 + (hi + lo) with |hi + lo| <= pi/4 (a hair more at the ends); quadrant = k mod 4
// in each lane's low bits.
template <class V>
[[gnu::always_inline]] inline void Reduce(const V& x, V& hi, V& lo, IntOf<V>& quadrant)
{
    const V shifted = x * TwoOverPi + Round;
    const V k = shifted - Round;
    quadrant = Bits<IntOf<V>>(shifted) & 3;
    bool none = true;  // no lane has a multiple to take away (|x| < pi/4, as angles mostly are)
    for (int i = 0; i < LaneCount<V>; ++i)
        none = none && Lane(k, i) == 0;
    if (none) {
        // What the steps below give with k = 0, bit for bit (-0 becomes +0 there too).
        hi = x + 0.0;
        lo = hi - hi;
        return;
    }
    const V r1 = x - k * P1;  // exact: k P1 is exact and within a factor 2 of x
    // k (P2 + P3) as a sum of two doubles, formed beside r1 (k P2 and k P3 are exact, the
    // first the larger).
    const V p2 = k * P2, p3 = k * P3;
    const V p23 = p2 + p3;
    const V p23Error = p3 - (p23 - p2);
    V error;
    const V s = ExactDifference(r1, p23, error);
    const V tail = (error - p23Error) - k * P4;
    hi = s + tail;
    lo = tail - (hi - s);
}

// sin(hi + lo) and cos(hi + lo) for |hi + lo| <= pi/4, lo below half an ulp of hi.
template <class V>
[[gnu::always_inline]] inline V SinPolynomial(const V& hi, const V& lo, const V& z)
{
    // In pairs (fewer dependent steps than one nested product).
    const V z2 = z * z;
    const V rest = (S1 + z * S2) + z2 * ((S3 + z * S4) + z2 * S5);
    const V cube = z * hi;
    // hi + hi^3 S0 + hi^5 rest + lo (1 - z/2), the small terms summed first.
    return hi - (((z * (0.5 * lo - cube * rest)) - lo) - cube * S0);
}

template <class V>
[[gnu::always_inline]] inline V CosPolynomial(const V& hi, const V& lo, const V& z)
{
    const V z2 = z * z;
    const V tail = (C0 + z * C1) + z2 * ((C2 + z * C3) + z2 * (C4 + z * C5));
    const V halfZ = 0.5 * z;
    const V w = 1.0 - halfZ;
    // 1 - z/2 rounded to w, its rounding error added back with z^2 tail - hi lo.
    return w + (((1.0 - w) - halfZ) + (z * (z * tail) - hi * lo));
}

// Lanes whose argument the reduction does not take: beyond 2^25 (k has at most 25 bits, so the
// products k P1, k P2 stay exact) or not finite.
constexpr double ReducedRange = 0x1p25;

} // namespace sincos_detail

// sin x and cos x in every lane.
template <class V>
[[gnu::always_inline]] inline void SinCos(const V& x, V& s, V& c)
{
    using namespace sincos_detail;
    using I = IntOf<V>;
    V hi, lo;
    I quadrant;
    Reduce(x, hi, lo, quadrant);
    const V z = hi * hi;
    const V sine = SinPolynomial(hi, lo, z), cosine = CosPolynomial(hi, lo, z);
    // Odd quadrants swap sine and cosine; the sine changes sign in quadrants 2 and 3, the
    // cosine in 1 and 2. Both by bits, exactly.
    const I swap = -(quadrant & 1);
    const I sineSign = (quadrant & 2) << 62;
    const I cosineSign = ((quadrant + 1) & 2) << 62;
    const I sineBits = Bits<I>(sine), cosineBits = Bits<I>(cosine);
    s = Bits<V>(((sineBits & ~swap) | (cosineBits & swap)) ^ sineSign);
    c = Bits<V>(((cosineBits & ~swap) | (sineBits & swap)) ^ cosineSign);
    for (int i = 0; i < LaneCount<V>; ++i) {
        const double xi = Lane(x, i);
        if (!(__builtin_fabs(xi) <= ReducedRange)) [[unlikely]] {
            Lane(s, i) = __builtin_sin(xi);
            Lane(c, i) = __builtin_cos(xi);
        }
    }
}

// cos x in every lane, the same bits as SinCos gives.
template <class V>
[[gnu::always_inline]] inline V Cos(const V& x)
{
    using namespace sincos_detail;
    if constexpr (LaneCount<V> == 1) {
        // One lane needs only the polynomial its quadrant takes.
        if (!(__builtin_fabs(x) <= ReducedRange)) [[unlikely]]
            return __builtin_cos(x);
        V hi, lo;
        IntOf<V> quadrant;
        Reduce(x, hi, lo, quadrant);
        const V z = hi * hi;
        const V value = quadrant & 1 ? SinPolynomial(hi, lo, z) : CosPolynomial(hi, lo, z);
        return (quadrant + 1) & 2 ? -value : value;
    } else {
        V s, c;
        SinCos(x, s, c);
        return c;
    }
}

} // namespace GYRO_LANES_NAMESPACE
