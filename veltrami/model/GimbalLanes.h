#pragma once

// The gimbal run's integration kernel: the classic Runge-Kutta step fused with the equations
// of motion, written once for a lane type V (Lanes.h). V = double is one run
// (GimbalModel::Calculate); a vector of doubles is several runs of the same steps advanced
// together, one per lane (GimbalEnsemble). Each lane does exactly the arithmetic of a one-lane
// run, its sines and cosines included (LaneSinCos.h), so a run gives the same bits whichever
// way it is integrated and whichever runs share its lanes.

#include "GimbalEquations.h"
#include "LaneSinCos.h"
#include "RungeKutta4.h"

namespace veltrami {

// Four runs' places in plain arrays, as the ensemble hands them to the kernel of the
// instruction set it chose: the shared time, each lane's state (index 0 unused) and the
// driving moments of its latest evaluation, and the cosines of time of the latest evaluation.
struct GimbalLaneBlock {
    static constexpr int Width = 4;
    double t = 0;
    double stepStart = 0;
    double y[5][Width] = {};
    double drivingBet[Width] = {}, drivingAlf[Width] = {};
    double cosineTime = __builtin_nan("");
    double cosDamping[Width] = {}, cosBet[Width] = {}, cosAlf[Width] = {};
};

namespace GYRO_LANES_NAMESPACE {

using namespace ::GYRO_LANES_NAMESPACE;

// The run constants of each lane in the form the step uses: reciprocals and products formed
// once, so that the step multiplies where the equations divide.
template <class V>
struct GimbalLaneConstants {
    V J0, DeltaJ, invJBet, halfDeltaJOverJBet;
    V DampHalfSwing, DampAlfMean, DampBetMean, DampFrequency;
    V GravityMoment, KineticMoment;
    V MomentBetAmplitude, MomentBetFrequency, MomentAlfAmplitude, MomentAlfFrequency;
    // Whether any lane's damping swings (else no damping cosine is needed).
    bool anySwing = false;
};

template <class V>
GimbalLaneConstants<V> MakeGimbalLaneConstants(const GimbalRunConstants* const* runs)
{
    GimbalLaneConstants<V> k;
    for (int i = 0; i < LaneCount<V>; ++i) {
        const GimbalRunConstants& c = *runs[i];
        Lane(k.J0, i) = c.J0;
        Lane(k.DeltaJ, i) = c.DeltaJ;
        Lane(k.invJBet, i) = 1 / c.JBet;
        Lane(k.halfDeltaJOverJBet, i) = c.DeltaJ / (2.0 * c.JBet);
        Lane(k.DampHalfSwing, i) = c.DampHalfSwing;
        Lane(k.DampAlfMean, i) = c.DampAlfMean;
        Lane(k.DampBetMean, i) = c.DampBetMean;
        Lane(k.DampFrequency, i) = c.DampFrequency;
        Lane(k.GravityMoment, i) = c.GravityMoment;
        Lane(k.KineticMoment, i) = c.KineticMoment;
        Lane(k.MomentBetAmplitude, i) = c.MomentBetAmplitude;
        Lane(k.MomentBetFrequency, i) = c.MomentBetFrequency;
        Lane(k.MomentAlfAmplitude, i) = c.MomentAlfAmplitude;
        Lane(k.MomentAlfFrequency, i) = c.MomentAlfFrequency;
        k.anySwing = k.anySwing || c.DampHalfSwing != 0;
    }
    return k;
}

// Where the lanes are: the shared time and the start of the latest step, the state
// components 1 to 4 per lane, the driving moments of the latest evaluation and the cosines
// of time of the latest evaluation time (a step evaluates its second and third stages at one
// time, and its fourth usually at the next step's first).
template <class V>
struct GimbalLaneState {
    double t = 0;
    double stepStart = 0;
    V y[5]{};
    V drivingBet{}, drivingAlf{};
    double cosineTime = __builtin_nan("");
    V cosDamping{}, cosBet{}, cosAlf{};
};

// The two accelerations at time t and (alpha', beta', alpha, beta) = p[1..4]; leaves the
// driving moments in s.
template <class V>
[[gnu::always_inline]] inline void GimbalAccelerations(const GimbalLaneConstants<V>& c, GimbalLaneState<V>& s,
                                                       double t, const V* p, V& alfDDot, V& betDDot)
{
    if (!(s.cosineTime == t)) {
        s.cosineTime = t;
        // A damping law without swing needs no cosine: the swing term is zero either way.
        if (c.anySwing) {
            s.cosDamping = Cos(c.DampFrequency * t);
            for (int i = 0; i < LaneCount<V>; ++i)
                if (Lane(c.DampHalfSwing, i) == 0)
                    Lane(s.cosDamping, i) = 0;
        }
        s.cosBet = Cos(c.MomentBetFrequency * t);
        s.cosAlf = Cos(c.MomentAlfFrequency * t);
    }
    const V alfDot = p[1], betDot = p[2], alf = p[3], bet = p[4];
    const V swing = c.DampHalfSwing * s.cosDamping;
    const V dampAlf = swing + c.DampAlfMean;
    const V dampBet = swing + c.DampBetMean;
    s.drivingBet = c.MomentBetAmplitude * s.cosBet;
    s.drivingAlf = c.MomentAlfAmplitude * s.cosAlf;
    V sinBet, cosBet, sinAlf, cosAlf;
    SinCos(bet, sinBet, cosBet);
    SinCos(alf, sinAlf, cosAlf);
    const V sin2Bet = 2.0 * sinBet * cosBet;
    const V invJAlf = 1.0 / (c.J0 - c.DeltaJ * sinBet * sinBet);
    const V hCosBet = c.KineticMoment * cosBet;
    alfDDot = (-dampAlf * alfDot + c.DeltaJ * sin2Bet * alfDot * betDot - hCosBet * betDot
               + c.GravityMoment * sinAlf * sinBet + s.drivingAlf)
              * invJAlf;
    betDDot = (-dampBet * betDot + hCosBet * alfDot + c.GravityMoment * cosAlf * cosBet + s.drivingBet) * c.invJBet
              - c.halfDeltaJOverJBet * sin2Bet * alfDot * alfDot;
}

// Takes up to `steps` steps of size h while the time is below stop. Stops early after a step
// that leaves a lane of `watched` not finite (s.stepStart is then that step's start). Returns
// the lanes of `watched` that went non-finite (0 when none); taken receives the steps taken.
// The time advances exactly as the stage-by-stage integrator advances it.
template <class V>
unsigned AdvanceGimbal(const GimbalLaneConstants<V>& c, GimbalLaneState<V>& s, double h, double stop, long long steps,
                       unsigned watched, long long& taken)
{
    const V hv = Broadcast<V>(h), halfHv = Broadcast<V>(0.5 * h), sixthHv = Broadcast<V>(h * (1.0 / 6.0));
    taken = 0;
    while (taken < steps && s.t < stop) {
        const RungeKutta4Times times = StepTimes(s.t, h);
        s.stepStart = s.t;
        V* y = s.y;
        V p[5], sum[5], f[5];
        GimbalAccelerations(c, s, times.stage[0], y, f[1], f[2]);
        f[3] = y[1], f[4] = y[2];
        for (int i = 1; i < 5; ++i) {
            sum[i] = f[i];
            p[i] = y[i] + halfHv * f[i];
        }
        GimbalAccelerations(c, s, times.stage[1], p, f[1], f[2]);
        f[3] = p[1], f[4] = p[2];
        for (int i = 1; i < 5; ++i) {
            sum[i] = 2.0 * f[i] + sum[i];
            p[i] = y[i] + halfHv * f[i];
        }
        GimbalAccelerations(c, s, times.stage[2], p, f[1], f[2]);
        f[3] = p[1], f[4] = p[2];
        for (int i = 1; i < 5; ++i) {
            sum[i] = 2.0 * f[i] + sum[i];
            p[i] = y[i] + hv * f[i];
        }
        GimbalAccelerations(c, s, times.stage[3], p, f[1], f[2]);
        f[3] = p[1], f[4] = p[2];
        for (int i = 1; i < 5; ++i)
            y[i] = sixthHv * (sum[i] + f[i]) + y[i];
        s.t = times.next;
        ++taken;
        // Each component on its own: a sum could overflow where no component has.
        if (const unsigned bad = NonFiniteLanes((y[1] - y[1]) + (y[2] - y[2]) + (y[3] - y[3]) + (y[4] - y[4])) & watched)
            return bad;
    }
    return 0;
}

// AdvanceGimbal on a GimbalLaneBlock with the lanes in a V of four doubles.
template <class V>
unsigned AdvanceGimbalBlock(const GimbalRunConstants* const* runs, GimbalLaneBlock& b, double h, double stop,
                            long long steps, unsigned watched, long long& taken)
{
    static_assert(LaneCount<V> == GimbalLaneBlock::Width);
    const GimbalLaneConstants<V> k = MakeGimbalLaneConstants<V>(runs);
    GimbalLaneState<V> s;
    s.t = b.t;
    s.stepStart = b.stepStart;
    s.cosineTime = b.cosineTime;
    for (int l = 0; l < GimbalLaneBlock::Width; ++l) {
        for (int i = 1; i < 5; ++i)
            Lane(s.y[i], l) = b.y[i][l];
        Lane(s.drivingBet, l) = b.drivingBet[l];
        Lane(s.drivingAlf, l) = b.drivingAlf[l];
        Lane(s.cosDamping, l) = b.cosDamping[l];
        Lane(s.cosBet, l) = b.cosBet[l];
        Lane(s.cosAlf, l) = b.cosAlf[l];
    }
    const unsigned bad = AdvanceGimbal<V>(k, s, h, stop, steps, watched, taken);
    b.t = s.t;
    b.stepStart = s.stepStart;
    b.cosineTime = s.cosineTime;
    for (int l = 0; l < GimbalLaneBlock::Width; ++l) {
        for (int i = 1; i < 5; ++i)
            b.y[i][l] = Lane(s.y[i], l);
        b.drivingBet[l] = Lane(s.drivingBet, l);
        b.drivingAlf[l] = Lane(s.drivingAlf, l);
        b.cosDamping[l] = Lane(s.cosDamping, l);
        b.cosBet[l] = Lane(s.cosBet, l);
        b.cosAlf[l] = Lane(s.cosAlf, l);
    }
    return bad;
}

} // namespace GYRO_LANES_NAMESPACE
} // namespace veltrami
