#pragma once

#include "ModelParameters.h"

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

} // namespace veltrami
