#pragma once

#include "ModelParameters.h"
#include "RungeKutta4.h"

#include <cmath>
#include <limits>

namespace veltrami {

// What one run needs of the parameters, widened once before the first step.
struct GimbalRunConstants {
    double JBet = 0;    // A + Ix1, inertia about the inner-frame axis
    double J0 = 0;      // A + Ix1 + Ix2, about the outer axis at beta = 0
    double DeltaJ = 0;  // A + Ix1 - Iz1
    double DampHalfSwing = 0, DampAlfMean = 0, DampBetMean = 0, DampFrequency = 0;
    double GravityMoment = 0;  // m * g * l
    double KineticMoment = 0;
    double MomentBetAmplitude = 0, MomentBetFrequency = 0;
    double MomentAlfAmplitude = 0, MomentAlfFrequency = 0;

    static GimbalRunConstants From(const ModelParameters& p)
    {
        GimbalRunConstants c;
        c.JBet = static_cast<long double>(p.InertiaEquatorial) + p.InnerInertiaX1;
        c.J0 = static_cast<long double>(p.InertiaEquatorial) + p.InnerInertiaX1 + p.OuterInertiaX2;
        c.DeltaJ = static_cast<long double>(p.InertiaEquatorial) + p.InnerInertiaX1 - p.InnerInertiaZ1;
        c.DampHalfSwing = (static_cast<double>(p.DampMax) - p.DampMin) * 0.5;
        c.DampAlfMean = (static_cast<double>(p.DampMax) + p.DampMin) * 0.5 + p.DampAlfNominal;
        c.DampBetMean = (static_cast<double>(p.DampMax) + p.DampMin) * 0.5 + p.DampBetNominal;
        c.DampFrequency = p.DampFrequency;
        c.GravityMoment = static_cast<long double>(p.Mass) * p.Gravity * p.MassOffsetZ;
        c.KineticMoment = p.KineticMoment;
        c.MomentBetAmplitude = p.MomentBetAmplitude;
        c.MomentBetFrequency = p.MomentBetFrequency;
        c.MomentAlfAmplitude = p.MomentAlfAmplitude;
        c.MomentAlfFrequency = p.MomentAlfFrequency;
        return c;
    }
};

// The cosines of time of the latest evaluation. A step evaluates its second and third stages
// at the same time and its fourth at the next step's first, so the run reuses half of them,
// exactly: only a bit-equal time is looked up.
struct GimbalTimeCosines {
    double time = std::numeric_limits<double>::quiet_NaN();
    double damping = 0, momentBet = 0, momentAlf = 0;
};

// The gimbal equations of motion at y = (t, alpha', beta', alpha, beta) into f, with the two
// external moments as the run records them (the inner one with the opposite sign to the one
// that drives the frame). memo, when given, keeps the cosines of time between calls.
inline void GimbalDerivatives(const GimbalRunConstants& c, const double* y, double* f, float& momentBet, float& momentAlf,
                              GimbalTimeCosines* memo = nullptr)
{
    const double t = y[0], alfDot = y[1], betDot = y[2], alf = y[3], bet = y[4];
    f[0] = 1.0;
    double cosDamping, cosBet, cosAlf;
    if (memo && memo->time == t) {
        cosDamping = memo->damping;
        cosBet = memo->momentBet;
        cosAlf = memo->momentAlf;
    } else {
        cosDamping = std::cos(c.DampFrequency * t);
        cosBet = std::cos(c.MomentBetFrequency * t);
        cosAlf = std::cos(c.MomentAlfFrequency * t);
        if (memo)
            *memo = {t, cosDamping, cosBet, cosAlf};
    }
    const double swing = c.DampHalfSwing * cosDamping;
    const double dampAlf = swing + c.DampAlfMean;
    const double dampBet = swing + c.DampBetMean;
    const double drivingBet = c.MomentBetAmplitude * cosBet;
    const double drivingAlf = c.MomentAlfAmplitude * cosAlf;
    momentBet = static_cast<float>(-drivingBet);
    momentAlf = static_cast<float>(drivingAlf);

    const double sinBet = std::sin(bet), cosBeta = std::cos(bet), sin2Bet = std::sin(2.0 * bet);
    const double jAlf = c.J0 - c.DeltaJ * sinBet * sinBet;
    const double jBet = c.JBet;
    const double h = c.KineticMoment;
    f[1] = -dampAlf * alfDot / jAlf + c.DeltaJ * sin2Bet * alfDot * betDot / jAlf - h * cosBeta * betDot / jAlf
        + c.GravityMoment * std::sin(alf) * sinBet / jAlf + drivingAlf / jAlf;
    f[2] = -dampBet * betDot / jBet - c.DeltaJ * sin2Bet * alfDot * alfDot / (2.0 * jBet) + h * cosBeta * alfDot / jBet
        + c.GravityMoment * std::cos(alf) * cosBeta / jBet + drivingBet / jBet;
    f[3] = alfDot;
    f[4] = betDot;
}

// The run's form of the constants: reciprocals of the inertias and products formed once, so
// that a step multiplies where the equations divide.
struct GimbalStepConstants {
    GimbalRunConstants c;
    double invJBet = 0, halfDeltaJOverJBet = 0;

    explicit GimbalStepConstants(const GimbalRunConstants& constants)
        : c(constants), invJBet(1 / constants.JBet), halfDeltaJOverJBet(constants.DeltaJ / (2.0 * constants.JBet))
    {
    }
};

// One classic Runge-Kutta step of size h from y (t, alpha', beta', alpha, beta), fused with the
// equations of motion: each stage's derivatives go straight into the next point and the
// step's weighted sum. The time advances exactly as the stage-by-stage integrator advances
// it; the other components agree with it to rounding. Leaves the moments of the fourth
// evaluation, as the stage-by-stage run leaves them.
[[gnu::always_inline]] inline void GimbalStep(const GimbalStepConstants& k, double* y, double h, float& momentBet,
                                              float& momentAlf, GimbalTimeCosines& memo)
{
    const GimbalRunConstants& c = k.c;
    const RungeKutta4Times times = StepTimes(y[0], h);
    double drivingBet = 0, drivingAlf = 0;
    // Accelerations at time t and (alpha', beta', alpha, beta) = p.
    auto accelerations = [&](double t, const double* p, double& alfDDot, double& betDDot) {
        if (!(memo.time == t)) {
            // A damping law without swing needs no cosine: the swing term is zero either way.
            memo = {t, c.DampHalfSwing != 0 ? std::cos(c.DampFrequency * t) : 0.0, std::cos(c.MomentBetFrequency * t),
                    std::cos(c.MomentAlfFrequency * t)};
        }
        const double alfDot = p[1], betDot = p[2], alf = p[3], bet = p[4];
        const double swing = c.DampHalfSwing * memo.damping;
        const double dampAlf = swing + c.DampAlfMean;
        const double dampBet = swing + c.DampBetMean;
        drivingBet = c.MomentBetAmplitude * memo.momentBet;
        drivingAlf = c.MomentAlfAmplitude * memo.momentAlf;
        const double sinBet = std::sin(bet), cosBet = std::cos(bet);
        const double sinAlf = std::sin(alf), cosAlf = std::cos(alf);
        const double sin2Bet = 2.0 * sinBet * cosBet;
        const double invJAlf = 1 / (c.J0 - c.DeltaJ * sinBet * sinBet);
        const double hCosBet = c.KineticMoment * cosBet;
        alfDDot = (-dampAlf * alfDot + c.DeltaJ * sin2Bet * alfDot * betDot - hCosBet * betDot
                   + c.GravityMoment * sinAlf * sinBet + drivingAlf)
                  * invJAlf;
        betDDot = (-dampBet * betDot + hCosBet * alfDot + c.GravityMoment * cosAlf * cosBet + drivingBet) * k.invJBet
                  - k.halfDeltaJOverJBet * sin2Bet * alfDot * alfDot;
    };
    double p[5], sum[5], a, b;
    accelerations(times.stage[0], y, a, b);
    const double halfH = 0.5 * h;
    sum[1] = a, sum[2] = b, sum[3] = y[1], sum[4] = y[2];
    p[1] = y[1] + halfH * a, p[2] = y[2] + halfH * b, p[3] = y[3] + halfH * y[1], p[4] = y[4] + halfH * y[2];
    for (int stage = 1; stage < 3; ++stage) {
        accelerations(times.stage[stage], p, a, b);
        const double advance = stage == 1 ? halfH : h;
        const double f[5] = {1.0, a, b, p[1], p[2]};
        for (int i = 1; i < 5; ++i) {
            sum[i] = 2.0 * f[i] + sum[i];
            p[i] = y[i] + advance * f[i];
        }
    }
    accelerations(times.stage[3], p, a, b);
    const double sixthH = h * (1.0 / 6.0);
    const double f[5] = {1.0, a, b, p[1], p[2]};
    for (int i = 1; i < 5; ++i)
        y[i] = sixthH * (sum[i] + f[i]) + y[i];
    y[0] = times.next;
    momentBet = static_cast<float>(-drivingBet);
    momentAlf = static_cast<float>(drivingAlf);
}

} // namespace veltrami
