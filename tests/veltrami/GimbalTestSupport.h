#pragma once

#include "GimbalModel.h"

namespace veltrami::fixtures {

// The nominal parameter set of the parameter window's "Номинал" column.
inline ModelParameters NominalParameters()
{
    ModelParameters p;
    p.Step = 0.1f;
    p.PrintStep = 0.1f;
    p.StopTime = 12;
    p.Mass = 1;
    p.DampAlfNominal = 0.01f;
    p.DampBetNominal = 0.01f;
    p.Gravity = 10;
    p.InertiaEquatorial = 0.0003f;
    p.InertiaPolar = 0.0004f;
    p.InnerInertiaX1 = 0.0002f;
    p.InnerInertiaY1 = 0.0002f;
    p.InnerInertiaZ1 = 0.0003f;
    p.OuterInertiaX2 = 0.0015f;
    p.KineticMoment = 1;
    p.MassOffsetZ = 0;
    p.MomentBetAmplitude = 4;
    p.MomentBetFrequency = 20;
    p.MomentAlfAmplitude = 0;
    p.MomentAlfFrequency = 20;
    p.DampMax = 0;
    p.DampMin = 0;
    p.DampFrequency = 1.125f;
    return p;
}

// The shipped set: nominal but for a step the scheme can integrate.
inline ModelParameters ShippedParameters()
{
    ModelParameters p = NominalParameters();
    p.Step = 0.0001f;
    p.PrintStep = 0.01f;
    return p;
}

} // namespace veltrami::fixtures
