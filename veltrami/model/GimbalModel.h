#pragma once

#include "DataFileReader.h"
#include "GimbalEquations.h"
#include "ModelParameters.h"
#include "NumberFormat.h"
#include "RungeKutta4.h"
#include "RunStatus.h"

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace veltrami {

// The gimbal gyroscope: parameters, right-hand side, calculation run and its sampled
// series with their extremes. The main window owns one; the graph, phase-portrait and
// 3D windows read it. Free of any GUI dependency.
class GimbalModel {
public:
    GimbalModel();

    // Reads the data file into Params; Params stay unchanged when it cannot be read. The
    // report tells how many numbers the file held in the expected form.
    datafile::LoadReport LoadParameters(const std::string& path);

    // Checks that the parameters give a finite, terminating run whose series can be held.
    // Returns an empty string when they do, else the reason in Russian.
    std::string CheckParameters() const;
    // Bytes the series of a run with the current Params take at most.
    long double SeriesBytes() const;

    // Sizes the series for the current Params and sets SampleCount. Refused (nothing
    // changed) when CheckParameters objects or the memory cannot be had.
    RunStatus AllocateSeries();
    void FreeSeries();

    // One run from the initial state in Params up to StopTime. Refused runs change nothing;
    // a run whose state stops being finite ends there and keeps the samples recorded so far.
    // cancel, when given, is asked now and then whether to stop (the run then reports Cancelled).
    RunStatus Calculate(const std::function<bool(double time)>& cancel = {});

    // The right-hand side at Integrator.Point into Integrator.Derivative; stores the moments.
    void EvaluateDerivatives();
    // Inertia and damping constants of a run from Params; Calculate calls it, and so may
    // whoever evaluates the right-hand side on its own.
    void PrepareRunConstants();

    // Steps between two samples, trunc(PrintStep * 1.0000001 / Step) in extended precision.
    long long StepsPerSample() const;
    // trunc(StopTime / PrintStep + 100), the series capacity the counting rules give.
    long long NominalCapacity() const;
    // The fastest rate of the model at its initial state, 1/s: the nutation frequency
    // H / sqrt(J_alpha * J_beta), the drive and damping-law frequencies, the damping rates and
    // the pendulum frequency of the gravity moment, whichever is largest.
    double FastestRate() const;
    // The nutation frequency H / sqrt(J_alpha * J_beta) at the initial state, 1/s.
    double NutationFrequency() const;

    // Number of samples actually recorded by the latest run; readers never go past it.
    int Recorded() const { return RecordedCount; }

    ModelParameters Params;
    TRungeKutta4 Integrator{5};
    // Separators of the numbers in the model's messages: the point for files and the run
    // tool, the user's own in the windows.
    numfmt::Separators MessageSeparators = numfmt::PointSeparators();

    // The sampled run: state components and moments, and the model time of each sample.
    std::vector<double> AlfDot, BetDot, Alf, Bet, MomentBet, MomentAlf, Time;

    float AlfDotMin = 100000, AlfDotMax = -100000;
    float BetDotMin = 100000, BetDotMax = -100000;
    float AlfMin = 100000, AlfMax = -100000;
    float BetMin = 100000, BetMax = -100000;
    float MomentBetMin = 100000, MomentBetMax = -100000;
    float MomentAlfMin = 100000, MomentAlfMax = -100000;

    int SampleCount = 0;
    int RecordedCount = 0;
    bool Calculated = false;
    float CurMomentBet = 0;
    float CurMomentAlf = 0;

    // The status of a run whose state stopped being finite in the step from stepStart, with advice.
    RunStatus DivergedAt(double stepStart) const;

private:
    // Runs integrated side by side start, record and end their runs here as Calculate does.
    friend struct GimbalEnsembleAccess;

    GimbalRunConstants Constants;

    // Everything of a run before its first step: checks, room for the samples, initial state
    // and constants. Refused (nothing changed) when the parameters or the memory do not allow it.
    RunStatus BeginRun();

    std::size_t ExpectedSamples() const;
    std::string Num(double value) const;
    void ResetExtremes();
    void RecordSample(double time);
};

// Writes every parameter as its field shows it (row digits, general format) and reads it
// back, so the model works with the values as displayed.
void RoundTripThroughDisplay(ModelParameters& params);

} // namespace veltrami
