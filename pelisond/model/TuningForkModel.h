#pragma once

#include "DataFileReader.h"
#include "ModelParameters.h"
#include "NumberFormat.h"
#include "RungeKutta4.h"
#include "RunStatus.h"

#include <array>
#include <cstddef>
#include <functional>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

namespace pelisond {

// State vector components, in the integrator's order.
enum StateIndex : int {
    sT = 0, sFiDot, sX1Dot, sX2Dot, sFi, sX1, sX2, sY1Dot, sY2Dot, sY1, sY2,
    StateSize
};

// The recorded series, in their fixed order.
enum SeriesIndex : int {
    Fi = 0, FiDot, X1, X2, Y1, Y2, X1Dot, X2Dot, Y1Dot, Y2Dot, Drift,
    SeriesCount
};

inline constexpr std::array<std::string_view, SeriesCount> SeriesNames = {
    "Fi", "FiDot", "X1", "X2", "Y1", "Y2", "X1Dot", "X2Dot", "Y1Dot", "Y2Dot", "Drift"};

// The series above and, after them, those a run records for studies only (not shown in the
// windows nor written by the run tool): DriftAtSample, the drift estimate at each recorded state.
inline constexpr std::array<std::string_view, SeriesCount + 1> AllSeriesNames = {
    "Fi", "FiDot", "X1", "X2", "Y1", "Y2", "X1Dot", "X2Dot", "Y1Dot", "Y2Dot", "Drift", "DriftAtSample"};
inline constexpr int DriftAtSampleIndex = SeriesCount;

// Range of one series; both ends start at 0 so that every range includes 0.
struct SeriesExtremes {
    float Max = 0;
    float Min = 0;
};

// Everything the right-hand side needs, fixed for one run: the parameters as doubles and
// the constants derived from them (computed in extended precision, kept as doubles).
struct RunConstants {
    bool thermal = false;
    // Parameters used by the right-hand side.
    double m1 = 0, m2 = 0, L = 0, e1 = 0, e2 = 0;
    double baseRate = 0, driveAmplitude = 0, driveFrequency = 0;
    double cFi = 0, cX1 = 0, cX2 = 0, cY1 = 0, cY2 = 0;
    // Outward shift of the elements, its two parts and their sum dB + dA.
    double dA = 0, dB = 0, d = 0;
    // Own inertias, their increments and their total.
    double I1 = 0, I2 = 0, If = 0, dI1 = 0, dI2 = 0, dIf = 0, Iown = 0, dISum = 0;
    // Temperature-corrected stiffnesses; kFiDelta is the thermal change of the frame's.
    double kX1T = 0, kX2T = 0, kFiDelta = 0, kFiT = 0, kY1T = 0, kY2T = 0;
    // Drift estimate: its scales and the imperfection sums.
    double K = 0, K2 = 0, Qd = 0, Qe = 0, e1e1 = 0, e2e2 = 0, dd = 0;
};

// The resonance stiffnesses (frame, Y1, Y2) from the masses and the drive frequency,
// each rounded to 32 bits.
struct ResonanceStiffnesses {
    float Fi = 0, Y1 = 0, Y2 = 0;
};
ResonanceStiffnesses ComputeResonanceStiffnesses(const ModelParameters& p);

// Run constants for parameters whose stiffnesses are already those of the resonance conditions.
RunConstants ComputeRunConstants(const ModelParameters& p);

// The drive's cosine at the latest argument. A step evaluates its second and third stages at
// the same time and its fourth at the next step's first, so half the cosines can be reused
// exactly.
struct DriveCosine {
    double argument = std::numeric_limits<double>::quiet_NaN();
    double value = 0;
};

// The right-hand side at y into f (both StateSize long); returns the drift estimate in
// degrees per hour. Allocates nothing. memo, when given, is asked for and keeps the cosine.
double RightHandSide(const RunConstants& c, const double* y, double* f, DriveCosine* memo = nullptr) noexcept;
// The same derivatives without the drift estimate, for evaluations whose drift is not recorded.
void StateDerivatives(const RunConstants& c, const double* y, double* f, DriveCosine* memo = nullptr) noexcept;

// The tuning-fork gyroscope: parameters, right-hand side, calculation run and its sampled
// series with their extremes. The main window owns one; the graph, phase-portrait and
// 3D windows read it. Free of any GUI dependency.
class TuningForkModel {
public:
    // Reads the data file into Params; Params stay unchanged when it cannot be read. The
    // report tells how many numbers the file held in the expected form.
    datafile::LoadReport LoadParameters(const std::string& path);

    // Checks that the parameters give a finite, terminating run whose series can be held.
    // Returns an empty string when they do, else the reason in Russian.
    std::string CheckParameters() const;
    // Bytes the series of a run with the current Params take at most.
    long double SeriesBytes() const;

    // Sizes the series for the current Params and sets SampleCount; the previous samples are
    // dropped. Refused (nothing changed) when CheckParameters objects or memory cannot be had.
    RunStatus AllocateSeries();
    void FreeSeries();

    // One run from the initial state up to StopTime. Refused runs change nothing; a run whose
    // state stops being finite ends there and keeps the samples recorded so far. cancel, when
    // given, is asked now and then whether to stop (the run then reports Cancelled).
    RunStatus Calculate(const std::function<bool(double time)>& cancel = {});

    // The right-hand side at Integrator.Point into Integrator.Derivative; keeps the drift.
    // Uses the run constants of the latest Calculate.
    void EvaluateDerivatives();

    // The fastest rate of the model at its initial state, 1/s: the natural frequencies
    // sqrt(k/m) of the X, Y and frame modes (with the resonance stiffnesses), the drive
    // frequency, the base rate and the damping rates, whichever is largest.
    double FastestRate() const;

    // Steps between two samples, trunc(PrintStep * 1.0000001 / Step) in extended precision.
    long long StepsPerSample() const;
    // trunc(StopTime / PrintStep + 100), the series capacity the counting rules give.
    long long NominalCapacity() const;
    // trunc(StopTime / PrintStep), the number of samples the windows show.
    long long NominalSampleCount() const;
    // Number of samples actually recorded by the latest run; readers never go past it.
    int Recorded() const { return RecordedCount; }

    ModelParameters Params;
    TRungeKutta4 Integrator{StateSize};
    // Separators of the numbers in the model's messages: the point for files and the run
    // tool, the user's own in the windows.
    numfmt::Separators MessageSeparators = numfmt::PointSeparators();

    // The sampled run, indexed by SeriesIndex, and the model time of each sample.
    std::array<std::vector<double>, SeriesCount> Series;
    std::vector<double> Time;
    std::array<SeriesExtremes, SeriesCount> Extremes{};
    // The drift estimate evaluated at each recorded state itself. Drift is that of the last
    // stage of the step before the sample (as the windows have always shown it), so its
    // steady part moves with the step; this one does not.
    std::vector<double> DriftAtSample;
    SeriesExtremes DriftAtSampleExtremes;

    int SampleCount = 0;
    int RecordedCount = 0;
    bool Calculated = false;
    double CurrentDrift = 0;
    double CurrentDriftAtSample = 0;

    // The status of a run whose state stopped being finite at the given time, with advice.
    RunStatus DivergedAt(double time) const;

private:
    // Runs integrated side by side start, record and end their runs here as Calculate does.
    friend struct EnsembleAccess;

    RunConstants Constants;

    // Everything of a run before its first step: checks, constants, initial state, sample 0.
    // Refused (nothing changed) when the parameters or the memory do not allow the run.
    RunStatus BeginRun();

    // Upper bound of the samples a run with the current Params records.
    long double SamplesToReserve() const;
    std::string Num(double value) const;
    // Makes room for n samples in every series, keeping their contents; false when memory fails.
    bool Reserve(std::size_t n);
    void RecordSample();
};

} // namespace pelisond
