#include "GimbalModel.h"
#include "GimbalLanes.h"

#include "NarrowToFloat.h"
#include "ParameterValue.h"
#include "RunLimits.h"
#include "StepAdvice.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <limits>
#include <new>

namespace veltrami {

namespace {

// Six series and the time of each sample, 8 bytes each.
constexpr long double BytesPerSample = 7 * sizeof(double);

std::string Quoted(std::size_t k)
{
    return "«" + std::string(ParameterRows[k].label) + "»";
}

} // namespace

GimbalModel::GimbalModel() = default;

std::string GimbalModel::Num(double value) const
{
    return numfmt::FormatGeneral(value, 6, MessageSeparators);
}

datafile::LoadReport GimbalModel::LoadParameters(const std::string& path)
{
    std::array<float, ModelParameters::Count> values{};
    for (std::size_t k = 0; k < values.size(); ++k)
        values[k] = Params.at(k);
    const datafile::LoadReport report = datafile::ReadParameterFile(path, values);
    for (std::size_t k = 0; k < values.size(); ++k)
        Params.at(k) = values[k];
    return report;
}

long long GimbalModel::StepsPerSample() const
{
    const long double n = runlimits::StepsPerSampleQuotient(Params.PrintStep, Params.Step);
    if (!(n < 9.0e18L) || !(n >= 0))
        return 0;
    return static_cast<long long>(n);
}

long long GimbalModel::NominalCapacity() const
{
    const long double c = static_cast<long double>(Params.StopTime) / static_cast<long double>(Params.PrintStep) + 100;
    if (!(c < 9.0e18L) || !(c > -9.0e18L))
        return 0;
    return static_cast<long long>(c);
}

std::string GimbalModel::CheckParameters() const
{
    for (std::size_t k = 0; k < ModelParameters::Count; ++k)
        if (!std::isfinite(Params.at(k)))
            return parametervalue::OutOfRangeMessage(ParameterRows[k].label);
    if (!(Params.Step > 0))
        return "Шаг расчета должен быть больше нуля (задан " + Num(Params.Step) + ").";
    if (!(Params.PrintStep > 0))
        return "Шаг печати должен быть больше нуля (задан " + Num(Params.PrintStep) + ").";
    if (!(Params.StopTime > Params.InitialTime))
        return "Время остановки счета (" + Num(Params.StopTime) + " с) должно быть больше начального времени ("
            + Num(Params.InitialTime) + " с).";
    const double h = Params.Step;
    const double tMax = std::max(std::fabs(double(Params.InitialTime)), std::fabs(double(Params.StopTime)));
    if (!runlimits::StepMovesTime(h, tMax))
        return "Шаг расчета " + Num(h) + " с слишком мал: время не продвигается при t = " + Num(tMax) + " с.";
    if (std::string why = runlimits::StepsPerSampleRefusal(Params.PrintStep, Params.Step); !why.empty())
        return why;

    // The inertias divide the accelerations: about the inner axis A + Ix1, about the outer one
    // Ix2 + (A + Ix1) cos^2(beta) + Iz1 sin^2(beta), which lies between its values at 0 and 90 degrees.
    const GimbalRunConstants c = GimbalRunConstants::From(Params);
    if (c.JBet == 0)
        return "Момент инерции относительно оси внутренней рамки равен нулю: сумма параметров "
            + Quoted(FindParameter("InertiaEquatorial")) + " и " + Quoted(FindParameter("InnerInertiaX1"))
            + " должна быть ненулевой.";
    const double jAlfAtZero = c.J0, jAlfAtRight = c.J0 - c.DeltaJ;
    if (!(jAlfAtZero * jAlfAtRight > 0))
        return "Момент инерции относительно оси наружной рамки обращается в нуль при некотором угле бета: "
            "параметр " + Quoted(FindParameter("OuterInertiaX2")) + " вместе с суммой "
            + Quoted(FindParameter("InertiaEquatorial")) + " и " + Quoted(FindParameter("InnerInertiaX1"))
            + " и с параметром " + Quoted(FindParameter("InnerInertiaZ1")) + " должен давать моменты одного знака.";

    // The windows' sample count is this ratio as an int, whatever its sign.
    const long double ratio = static_cast<long double>(Params.StopTime) / static_cast<long double>(Params.PrintStep);
    if (!(std::fabs(ratio) < INT_MAX))
        return "Слишком много отсчетов (" + Num(double(std::fabs(ratio))) + "): увеличьте шаг печати или уменьшите время счета.";
    return runlimits::SeriesMemoryRefusal(SeriesBytes(), [this](double v) { return Num(v); });
}

long double GimbalModel::SeriesBytes() const
{
    return std::max<long double>(ExpectedSamples(), NominalCapacity()) * BytesPerSample;
}

std::size_t GimbalModel::ExpectedSamples() const
{
    // One sample per n steps (every step when n = 0), with room for the rounding of the time.
    const long double steps = (static_cast<long double>(Params.StopTime) - Params.InitialTime) / double(Params.Step);
    const long long n = StepsPerSample();
    const long double samples = (n == 0 ? steps : steps / n) + 2;
    if (!(samples < 1e18L))
        return static_cast<std::size_t>(1e18L);
    return static_cast<std::size_t>(std::max<long double>(samples, 1));
}

RunStatus GimbalModel::AllocateSeries()
{
    if (std::string why = CheckParameters(); !why.empty())
        return RunStatus::Refused(why);
    // Build the new series aside so that a failure leaves the old ones untouched.
    // The nominal capacity is negative when the run's times are (a negative count would
    // wrap to an impossible size).
    const std::size_t reserve = std::max<std::size_t>(ExpectedSamples(), std::max(NominalCapacity(), 0LL));
    std::array<std::vector<double>, 7> fresh;
    try {
        for (auto& series : fresh)
            series.reserve(reserve);
    } catch (const std::bad_alloc&) {
        return RunStatus::Refused("Недостаточно памяти для " + Num(double(reserve)) + " отсчетов.");
    }
    std::vector<double>* own[] = {&AlfDot, &BetDot, &Alf, &Bet, &MomentBet, &MomentAlf, &Time};
    for (std::size_t k = 0; k < fresh.size(); ++k)
        own[k]->swap(fresh[k]);
    RecordedCount = 0;
    SampleCount = static_cast<int>(static_cast<long double>(Params.StopTime) / static_cast<long double>(Params.PrintStep));
    return RunStatus::Finished();
}

void GimbalModel::FreeSeries()
{
    for (std::vector<double>* series : {&AlfDot, &BetDot, &Alf, &Bet, &MomentBet, &MomentAlf, &Time})
        std::vector<double>().swap(*series);
    RecordedCount = 0;
}

void GimbalModel::ResetExtremes()
{
    for (float* max : {&AlfDotMax, &BetDotMax, &AlfMax, &BetMax, &MomentBetMax, &MomentAlfMax})
        *max = -100000;
    for (float* min : {&AlfDotMin, &BetDotMin, &AlfMin, &BetMin, &MomentBetMin, &MomentAlfMin})
        *min = 100000;
}

void GimbalModel::RecordSample(double time)
{
    const double* s = Integrator.Solution.data();
    AlfDot.push_back(s[1]);
    BetDot.push_back(s[2]);
    Alf.push_back(s[3]);
    Bet.push_back(s[4]);
    MomentBet.push_back(CurMomentBet);
    MomentAlf.push_back(CurMomentAlf);
    Time.push_back(time);
    ++RecordedCount;

    // A maximum takes a value it is not at least equal to (so a NaN replaces it);
    // a minimum only a value it is greater than.
    auto max = [](float& extreme, double v) { if (!(extreme >= v)) extreme = static_cast<float>(v); };
    auto min = [](float& extreme, double v) { if (extreme > v) extreme = static_cast<float>(v); };
    max(MomentBetMax, CurMomentBet);
    max(MomentAlfMax, CurMomentAlf);
    min(MomentBetMin, CurMomentBet);
    min(MomentAlfMin, CurMomentAlf);
    max(AlfMax, s[3]);
    max(BetMax, s[4]);
    min(AlfMin, s[3]);
    min(BetMin, s[4]);
    max(AlfDotMax, s[1]);
    max(BetDotMax, s[2]);
    min(AlfDotMin, s[1]);
    min(BetDotMin, s[2]);
}

void GimbalModel::PrepareRunConstants()
{
    Constants = GimbalRunConstants::From(Params);
}

void GimbalModel::EvaluateDerivatives()
{
    GimbalDerivatives(Constants, Integrator.Point.data(), Integrator.Derivative.data(), CurMomentBet, CurMomentAlf);
}

double GimbalModel::NutationFrequency() const
{
    const GimbalRunConstants c = GimbalRunConstants::From(Params);
    const double sinBet = std::sin(double(Params.InitialBet));
    return c.KineticMoment / std::sqrt((c.J0 - c.DeltaJ * sinBet * sinBet) * c.JBet);
}

double GimbalModel::FastestRate() const
{
    const GimbalRunConstants c = GimbalRunConstants::From(Params);
    const double sinBet = std::sin(double(Params.InitialBet));
    const double jAlf = c.J0 - c.DeltaJ * sinBet * sinBet;
    const double jBet = c.JBet;
    double rate = 0;
    auto consider = [&rate](double r) {
        if (std::isfinite(r))
            rate = std::max(rate, std::fabs(r));
    };
    consider(NutationFrequency());
    consider(c.MomentBetFrequency);
    consider(c.MomentAlfFrequency);
    consider(c.DampFrequency);
    consider((std::fabs(c.DampAlfMean) + std::fabs(c.DampHalfSwing)) / jAlf);
    consider((std::fabs(c.DampBetMean) + std::fabs(c.DampHalfSwing)) / jBet);
    consider(std::sqrt(std::fabs(c.GravityMoment) / std::min(jAlf, jBet)));
    return rate;
}

RunStatus GimbalModel::DivergedAt(double stepStart) const
{
    return RunStatus::Diverged("Расчет разошелся: решение перестало быть конечным на шаге от t = " + Num(stepStart)
                                   + " с. Уменьшите шаг расчета." + stepadvice::Advice(FastestRate(), Params.Step, [this](double v) { return Num(v); }),
                               stepStart);
}

RunStatus GimbalModel::BeginRun()
{
    if (std::string why = CheckParameters(); !why.empty())
        return RunStatus::Refused(why);
    // Room for every sample before anything is touched: a refusal leaves the last run intact.
    std::vector<double>* own[] = {&AlfDot, &BetDot, &Alf, &Bet, &MomentBet, &MomentAlf, &Time};
    try {
        for (std::vector<double>* series : own)
            series->reserve(ExpectedSamples());
    } catch (const std::bad_alloc&) {
        return RunStatus::Refused("Недостаточно памяти для " + Num(double(ExpectedSamples())) + " отсчетов.");
    }

    Calculated = true;
    const ModelParameters& p = Params;
    double* solution = Integrator.Solution.data();
    solution[0] = p.InitialTime;
    solution[1] = p.InitialAlfRate;
    solution[2] = p.InitialBetRate;
    solution[3] = p.InitialAlf;
    solution[4] = p.InitialBet;
    PrepareRunConstants();
    ResetExtremes();
    for (std::vector<double>* series : own)
        series->clear();
    RecordedCount = 0;
    // With a print step shorter than the step, sample 0 is the initial state: give it the
    // moments of the initial time rather than those left by an earlier run.
    CurMomentBet = static_cast<float>(-(p.MomentBetAmplitude * std::cos(double(p.MomentBetFrequency) * solution[0])));
    CurMomentAlf = static_cast<float>(p.MomentAlfAmplitude * std::cos(double(p.MomentAlfFrequency) * solution[0]));
    return RunStatus::Finished();
}

RunStatus GimbalModel::Calculate(const std::function<bool(double)>& cancel)
{
    if (RunStatus begun = BeginRun(); !begun.ok())
        return begun;

    const GimbalRunConstants* runs[] = {&Constants};
    const lanes::GimbalLaneConstants<double> k = lanes::MakeGimbalLaneConstants<double>(runs);
    lanes::GimbalLaneState<double> s;
    double* solution = Integrator.Solution.data();
    s.t = solution[0];
    for (int i = 1; i < 5; ++i)
        s.y[i] = solution[i];
    // The moments as recorded are the driving terms narrowed, the inner one negated: exact both ways.
    s.drivingBet = -double(CurMomentBet);
    s.drivingAlf = CurMomentAlf;
    auto keep = [&] {
        solution[0] = s.t;
        for (int i = 1; i < 5; ++i)
            solution[i] = s.y[i];
        CurMomentBet = static_cast<float>(-s.drivingBet);
        CurMomentAlf = static_cast<float>(s.drivingAlf);
    };

    const long long n = StepsPerSample();
    const double h = Params.Step;
    const double stopTime = Params.StopTime;
    long long j = 0;
    long long sincePoll = 0;
    while (s.t < stopTime) {
        if (j >= n) {
            keep();
            RecordSample(s.t);
            j = 0;
        }
        // Towards the next sample.
        long long taken = 0;
        const long long steps = runlimits::StepsAtOnce(std::max(n - j, 1LL), bool(cancel));
        const unsigned bad = lanes::AdvanceGimbal(k, s, h, stopTime, steps, 1u, taken);
        j += taken;
        if (bad) {
            keep();
            return DivergedAt(s.stepStart);
        }
        sincePoll += taken;
        if (cancel && sincePoll >= runlimits::CancelPollSteps) {
            sincePoll = 0;
            if (cancel(s.t)) {
                keep();
                return RunStatus::Cancelled("Расчет прерван при t = " + Num(s.t) + " с.", s.t);
            }
        }
    }
    keep();
    return RunStatus::Finished();
}

void RoundTripThroughDisplay(ModelParameters& params)
{
    const numfmt::Separators sep = numfmt::PointSeparators();
    for (std::size_t k = 0; k < ModelParameters::Count; ++k) {
        // A value that is not finite cannot be shown; CheckParameters names it.
        if (!std::isfinite(params.at(k)))
            continue;
        const ParameterRow& row = ParameterRows[k];
        const std::string text = numfmt::FormatGeneral(params.at(k), row.digits, sep, row.exponentDigits);
        params.at(k) = gyromodel::NarrowToFloat(numfmt::TextToFloat(text, sep.decimal));
    }
}

} // namespace veltrami
