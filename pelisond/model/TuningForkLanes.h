#pragma once

// The run's integration kernel: the classic Runge-Kutta step fused with the right-hand side,
// written once for a lane type V (Lanes.h). V = double is one run (TuningForkModel::Calculate);
// a vector of doubles is several runs of the same step advanced together, one per lane
// (TuningForkEnsemble). Each lane does exactly the arithmetic of a one-lane run, its drive
// cosine included (LaneSinCos.h), so a run gives the same bits whichever way it is integrated
// and whichever runs share its lanes.

#include "LaneSinCos.h"
#include "TuningForkModel.h"

namespace pelisond {

// The drift estimate in degrees per hour from the state, the accelerations and the run
// constants (a RunConstants, or the same fields as lanes). The six terms are summed in the
// order they are defined in; element 1's inertia change carries element 2's signs although
// X1 = x1 - d: the estimate is defined that way, not derived from X1.
template <class V, class C>
[[gnu::always_inline]] inline V DriftEstimate(const C& c, V x1, V x2, V y1, V y2, V fi, V fiDot, V x2Dot, V y2Dot,
                                              V fiDDot, V x2DDot, V y2DDot)
{
    const V m1 = c.m1, m2 = c.m2;
    const V dJ = m1 * (2.0 * y1 * c.e1 + 2.0 * x1 * c.d + c.e1e1 + c.dd) + m2 * (2.0 * y2 * c.e2 + 2.0 * x2 * c.d + c.e2e2 + c.dd)
                 + c.dISum;
    const V sum = c.Qd * x2Dot * fiDot / c.K - c.Qe * x2DDot / c.K2 + c.Qd * y2DDot / c.K2 + c.Qe * y2Dot * fiDot / c.K
                  + dJ * fiDDot / c.K2 + c.kFiDelta * fi / c.K2;
    // 57.3 degrees per radian (not 180/pi) and 3600 seconds per hour.
    return sum * 57.3 * 3600.0;
}

// Four runs' places in plain arrays, as the ensemble hands them to the kernel of the
// instruction set it chose: the shared time, each lane's state (index 0 unused), drifts,
// latest drive cosine and the rates at the latest sampled state.
struct LaneBlock {
    static constexpr int Width = 4;
    double t = 0;
    double y[StateSize][Width] = {};
    double drift[Width] = {};
    double driftAtSample[Width] = {};
    double cosineTime = __builtin_nan("");
    double cosine[Width] = {};
    double ratesTime = __builtin_nan("");
    double rates[StateSize][Width] = {};
};

namespace GYRO_LANES_NAMESPACE {

using namespace ::GYRO_LANES_NAMESPACE;

// The run constants of each lane in the form the kernel uses: parameter products and
// reciprocals formed once per run, so the step multiplies where the equations divide.
template <class V>
struct LaneConstants {
    // Right-hand side.
    V invM1, invM2, invIown, baseRate, d, L, driveAmplitude, driveFrequency;
    V cFi, kFiT, cX1, kX1T, cX2, kX2T, cY1, kY1T, cY2, kY2T;
    // Drift estimate (same names as in RunConstants).
    V m1, m2, e1, e2, e1e1, e2e2, dd, dISum, Qd, Qe, K, K2, kFiDelta;
};

template <class V>
LaneConstants<V> MakeLaneConstants(const RunConstants* const* runs)
{
    LaneConstants<V> k;
    for (int i = 0; i < LaneCount<V>; ++i) {
        const RunConstants& c = *runs[i];
        Lane(k.invM1, i) = 1 / c.m1;
        Lane(k.invM2, i) = 1 / c.m2;
        Lane(k.invIown, i) = 1 / c.Iown;
        Lane(k.baseRate, i) = c.baseRate;
        Lane(k.d, i) = c.d;
        Lane(k.L, i) = c.L;
        Lane(k.driveAmplitude, i) = c.driveAmplitude;
        Lane(k.driveFrequency, i) = c.driveFrequency;
        Lane(k.cFi, i) = c.cFi;
        Lane(k.kFiT, i) = c.kFiT;
        Lane(k.cX1, i) = c.cX1;
        Lane(k.kX1T, i) = c.kX1T;
        Lane(k.cX2, i) = c.cX2;
        Lane(k.kX2T, i) = c.kX2T;
        Lane(k.cY1, i) = c.cY1;
        Lane(k.kY1T, i) = c.kY1T;
        Lane(k.cY2, i) = c.cY2;
        Lane(k.kY2T, i) = c.kY2T;
        Lane(k.m1, i) = c.m1;
        Lane(k.m2, i) = c.m2;
        Lane(k.e1, i) = c.e1;
        Lane(k.e2, i) = c.e2;
        Lane(k.e1e1, i) = c.e1e1;
        Lane(k.e2e2, i) = c.e2e2;
        Lane(k.dd, i) = c.dd;
        Lane(k.dISum, i) = c.dISum;
        Lane(k.Qd, i) = c.Qd;
        Lane(k.Qe, i) = c.Qe;
        Lane(k.K, i) = c.K;
        Lane(k.K2, i) = c.K2;
        Lane(k.kFiDelta, i) = c.kFiDelta;
    }
    return k;
}

// Where the lanes are: the time, shared by all lanes (they take the same steps), the other
// state components per lane (index 0 unused) and the latest drift estimates of each lane: that
// of the last stage of the step before a sample, and that at the sampled state itself.
template <class V>
struct LaneState {
    double t = 0;
    V y[StateSize]{};
    V drift{};
    V driftAtSample{};
    // The drive's cosine at the latest evaluation time: a step evaluates its second and third
    // stages at the same time, and often its fourth at the next step's first.
    double cosineTime = __builtin_nan("");
    V cosine{};
    // The rates at the state of time ratesTime, evaluated for the drift at a sample: the next
    // step's first stage, which takes them instead of evaluating them again.
    double ratesTime = __builtin_nan("");
    V rates[StateSize]{};
};

// The state derivatives at time t and point p. Writes the accelerations; the rates of the
// coordinates are the point's own velocities. The frame's equation is solved with the
// elements' ones eliminated: the Coriolis and centrifugal terms of the frame and of the
// elements cancel there, and the system's determinant is Iown m1^2 m2^2.
template <class V>
[[gnu::always_inline]] inline void Accelerations(const LaneConstants<V>& c, LaneState<V>& s, double t, const V* p, V* f)
{
    if (!(t == s.cosineTime)) {
        s.cosineTime = t;
        s.cosine = Cos(c.driveFrequency * t);
    }
    const V fiDot = p[sFiDot], x1Dot = p[sX1Dot], x2Dot = p[sX2Dot];
    const V fi = p[sFi], x1 = p[sX1], x2 = p[sX2];
    const V y1Dot = p[sY1Dot], y2Dot = p[sY2Dot], y1 = p[sY1], y2 = p[sY2];

    const V wa = fiDot + c.baseRate;  // absolute rate of the frame
    const V X1 = x1 - c.d, X2 = x2 + c.d, Y1 = y1 - c.e1, Y2 = y2 + c.e2;
    const V Fd = c.driveAmplitude * s.cosine;
    // Drive, damping and springs of each element; the springs act on the raw coordinates.
    const V Px1 = Fd - c.cX1 * x1Dot - c.kX1T * (x1 + c.L);
    const V Px2 = -Fd - c.cX2 * x2Dot - c.kX2T * (x2 - c.L);
    const V Py1 = -(c.cY1 * y1Dot) - c.kY1T * y1;
    const V Py2 = -(c.cY2 * y2Dot) - c.kY2T * y2;
    const V fiDDot = (Y1 * Px1 + Y2 * Px2 - X1 * Py1 - X2 * Py2 - c.cFi * fiDot - c.kFiT * fi) * c.invIown;
    const V wa2 = wa * wa;
    f[sFiDot] = fiDDot;
    f[sX1Dot] = 2.0 * y1Dot * wa + X1 * wa2 + Px1 * c.invM1 + Y1 * fiDDot;
    f[sX2Dot] = 2.0 * y2Dot * wa + X2 * wa2 + Px2 * c.invM2 + Y2 * fiDDot;
    f[sFi] = fiDot;
    f[sX1] = x1Dot;
    f[sX2] = x2Dot;
    f[sY1Dot] = Y1 * wa2 - 2.0 * x1Dot * wa + Py1 * c.invM1 - X1 * fiDDot;
    f[sY2Dot] = Y2 * wa2 - 2.0 * x2Dot * wa + Py2 * c.invM2 - X2 * fiDDot;
    f[sY1] = y1Dot;
    f[sY2] = y2Dot;
}

// The drift estimate at state y whose rates are f.
template <class V>
[[gnu::always_inline]] inline V DriftAtState(const LaneConstants<V>& c, const V* y, const V* f)
{
    return DriftEstimate<V>(c, y[sX1], y[sX2], y[sY1], y[sY2], y[sFi], y[sFiDot], y[sX2Dot], y[sY2Dot], f[sFiDot],
                            f[sX2Dot], f[sY2Dot]);
}

// Lanes whose state (or drift) is no longer finite, as a bit mask.
template <class V>
[[gnu::always_inline]] inline unsigned NonFiniteState(const LaneState<V>& s)
{
    V sum = s.drift + s.driftAtSample + s.t;
    for (int i = 1; i < StateSize; ++i)
        sum += s.y[i];
    return NonFiniteLanes(sum);
}

// Takes up to `steps` steps of size h while the time is below stop. The last of them, when
// driftAtEnd, leaves the drift estimate of its fourth evaluation in s.drift and that of the
// state it reaches in s.driftAtSample. Stops early after
// a step that leaves a lane of `watched` not finite. Returns the lanes of `watched` that went
// non-finite (0 when none); taken receives the number of steps taken.
template <class V>
unsigned Advance(const LaneConstants<V>& c, LaneState<V>& s, double h, double stop, long long steps, bool driftAtEnd,
                 unsigned watched, long long& taken)
{
    const V hv = Broadcast<V>(h), halfHv = Broadcast<V>(0.5 * h), sixthHv = Broadcast<V>(h * (1.0 / 6.0));
    taken = 0;
    while (taken < steps && s.t < stop) {
        const RungeKutta4Times times = StepTimes(s.t, h);
        V* y = s.y;
        V p[StateSize], sum[StateSize], f[StateSize];
        if (s.ratesTime == s.t) {
            for (int i = 1; i < StateSize; ++i)
                f[i] = s.rates[i];
        } else {
            Accelerations(c, s, times.stage[0], y, f);
        }
        for (int i = 1; i < StateSize; ++i) {
            sum[i] = f[i];
            p[i] = y[i] + halfHv * f[i];
        }
        Accelerations(c, s, times.stage[1], p, f);
        for (int i = 1; i < StateSize; ++i) {
            sum[i] = 2.0 * f[i] + sum[i];
            p[i] = y[i] + halfHv * f[i];
        }
        Accelerations(c, s, times.stage[2], p, f);
        for (int i = 1; i < StateSize; ++i) {
            sum[i] = 2.0 * f[i] + sum[i];
            p[i] = y[i] + hv * f[i];
        }
        Accelerations(c, s, times.stage[3], p, f);
        ++taken;
        const bool sampleNext = driftAtEnd && taken == steps;
        if (sampleNext)
            s.drift = DriftAtState(c, p, f);
        for (int i = 1; i < StateSize; ++i)
            y[i] = sixthHv * (sum[i] + f[i]) + y[i];
        s.t = times.next;
        if (sampleNext) {
            // The rates at the state the sample records: its drift, and the next step's first stage.
            Accelerations(c, s, s.t, y, s.rates);
            s.ratesTime = s.t;
            s.driftAtSample = DriftAtState(c, y, s.rates);
        }
        if (const unsigned bad = NonFiniteState(s) & watched)
            return bad;
    }
    return 0;
}

// Advance on a LaneBlock with the lanes in a V of four doubles; runs holds four constants.
template <class V>
unsigned AdvanceBlock(const RunConstants* const* runs, LaneBlock& b, double h, double stop, long long steps,
                      bool driftAtEnd, unsigned watched, long long& taken)
{
    static_assert(LaneCount<V> == LaneBlock::Width);
    const LaneConstants<V> k = MakeLaneConstants<V>(runs);
    LaneState<V> s;
    s.t = b.t;
    s.cosineTime = b.cosineTime;
    s.ratesTime = b.ratesTime;
    for (int l = 0; l < LaneBlock::Width; ++l) {
        for (int i = 1; i < StateSize; ++i) {
            Lane(s.y[i], l) = b.y[i][l];
            Lane(s.rates[i], l) = b.rates[i][l];
        }
        Lane(s.drift, l) = b.drift[l];
        Lane(s.driftAtSample, l) = b.driftAtSample[l];
        Lane(s.cosine, l) = b.cosine[l];
    }
    const unsigned bad = Advance<V>(k, s, h, stop, steps, driftAtEnd, watched, taken);
    b.t = s.t;
    b.cosineTime = s.cosineTime;
    b.ratesTime = s.ratesTime;
    for (int l = 0; l < LaneBlock::Width; ++l) {
        for (int i = 1; i < StateSize; ++i) {
            b.y[i][l] = Lane(s.y[i], l);
            b.rates[i][l] = Lane(s.rates[i], l);
        }
        b.drift[l] = Lane(s.drift, l);
        b.driftAtSample[l] = Lane(s.driftAtSample, l);
        b.cosine[l] = Lane(s.cosine, l);
    }
    return bad;
}

} // namespace GYRO_LANES_NAMESPACE
} // namespace pelisond
