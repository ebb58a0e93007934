#pragma once

#include "TuningForkModel.h"

#include <string>

namespace pelisond::testing {

// The nominal parameter set the program ships with.
inline ModelParameters NominalParams()
{
    ModelParameters p;
    p.Step = 0.000003f;
    p.PrintStep = 0.00003f;
    p.StopTime = 0.119f;
    p.ElementHalfWidth = 500;
    p.AxisDistance = 1500;
    p.ExpansionCoef = 0.0000042f;
    p.ModulusTempCoef = 0.000001f;
    p.PoissonRatio = 0.2f;
    p.DampX1 = 49500;
    p.DampX2 = 49500;
    p.DampFi = 1150000000;
    p.DriveAmplitude = 62000000000.0f;
    p.DriveFrequency = 62800;
    p.BaseRate = 1;
    p.Mass1 = 39.4f;
    p.Mass2 = 39.4f;
    p.FrameMass = 1.2f;
    p.StiffnessFi = 951e15f;
    p.StiffnessX1 = 1554e8f;
    p.StiffnessX2 = 1554e8f;
    p.StiffnessY1 = 6448e8f;
    p.StiffnessY2 = 6448e8f;
    p.DampY1 = 90000;
    p.DampY2 = 90000;
    return p;
}

// The nominal data file's text.
inline const char* NominalDataText()
{
    return "0.000003,0.00003,0.119,500,1500,0.0000042,0.000001,0.2,49500,49500,1150000000,"
           "62000000000,62800,1,0,0,39.4,39.4,1.2,951E15,1554E8,1554E8,6448E8,6448E8,90000,90000,0,0,0,0";
}

// Writes text into a fresh file under the test's temporary directory and returns its path.
std::string WriteTempFile(const std::string& name, const std::string& text);

} // namespace pelisond::testing
