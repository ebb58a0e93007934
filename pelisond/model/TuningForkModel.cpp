#include "TuningForkModel.h"
#include "TuningForkLanes.h"

#include "ParameterValue.h"
#include "RunLimits.h"
#include "StepAdvice.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <new>

namespace pelisond {

namespace {

// Eleven series, the drift at the sampled state and the time of each sample, 8 bytes each.
constexpr long double BytesPerSample = (SeriesCount + 2) * sizeof(double);

} // namespace

ResonanceStiffnesses ComputeResonanceStiffnesses(const ModelParameters& p)
{
    const long double m1 = p.Mass1, m2 = p.Mass2, mf = p.FrameMass;
    const long double w = p.DriveFrequency, L = p.AxisDistance, b = p.ElementHalfWidth;
    // Nominal moment of inertia about the output axis.
    const long double J0 = m1 * L * L + m2 * L * L + m1 * (b * b) / 3 + m2 * (b * b) / 3 + mf * (L * L) / 3;
    ResonanceStiffnesses s;
    s.Y1 = NarrowToFloat(4.15L * m1 * w * w);
    s.Y2 = NarrowToFloat(4.15L * m2 * w * w);
    s.Fi = NarrowToFloat(1.3051L * w * w * J0);
    return s;
}

RunConstants ComputeRunConstants(const ModelParameters& p)
{
    using LD = long double;
    const LD L = p.AxisDistance, b = p.ElementHalfWidth;
    const LD alpha = p.ExpansionCoef, beta = p.ModulusTempCoef, nu = p.PoissonRatio;
    const LD dT = p.TempDropAbs, dTx = p.TempDropX;
    const LD m1 = p.Mass1, m2 = p.Mass2, mf = p.FrameMass, w = p.DriveFrequency;
    const LD e1 = p.MassOffsetY1, e2 = p.MassOffsetY2;
    const LD third = 1.0L / 3.0L;

    RunConstants c;
    c.thermal = p.TempDropAbs != 0 || p.TempDropX != 0;

    LD dA = 0, dB = 0, dI1 = 0, dI2 = 0, dIf = 0;
    const LD I1 = m1 * b * b * third;
    const LD I2 = m2 * b * b * third;
    const LD If = mf * L * L * third;
    if (c.thermal) {
        const LD kappa = (1 + nu) / (1 - nu);
        dA = kappa * alpha * L * (dTx * L / (2 * (L + b)) + dT);
        dB = (kappa * alpha * 0.5L - alpha) * b * b * dTx / (L + b);
        const LD elementFactor = 3 * dT * alpha * (1 + nu) / (1 - nu) - dT * 3 * alpha;
        dI1 = elementFactor * I1;
        dI2 = elementFactor * I2;
        // The frame's term subtracts 3*alpha without the temperature difference.
        dIf = (3 * dT * alpha * (1 + nu) / (1 - nu) - 3 * alpha) * If
              + (dTx * L / (L + b)) * (mf * L * L * 0.5L) * ((1 + nu) * alpha / (1 - nu) - 1.5L * alpha);
    } else {
        const LD df = p.FrameElongation, de = p.ElementElongation;
        dA = df;
        dB = 0;
        dI1 = (2 * b * de + de * de) * m1 / 3;
        dI2 = (2 * b * de + de * de) * m2 / 3;
        dIf = (2 * L * df + df * df) * mf / 3;
    }
    const LD d = dB + dA;

    const LD s = 1 - beta * dT;
    const LD kFi = p.StiffnessFi, kY1 = p.StiffnessY1, kY2 = p.StiffnessY2;
    const LD kFiDelta = -kFi * beta * dT;

    c.m1 = p.Mass1;
    c.m2 = p.Mass2;
    c.L = p.AxisDistance;
    c.e1 = p.MassOffsetY1;
    c.e2 = p.MassOffsetY2;
    c.baseRate = p.BaseRate;
    c.driveAmplitude = p.DriveAmplitude;
    c.driveFrequency = p.DriveFrequency;
    c.cFi = p.DampFi;
    c.cX1 = p.DampX1;
    c.cX2 = p.DampX2;
    c.cY1 = p.DampY1;
    c.cY2 = p.DampY2;

    c.dA = static_cast<double>(dA);
    c.dB = static_cast<double>(dB);
    c.d = static_cast<double>(d);
    c.I1 = static_cast<double>(I1);
    c.I2 = static_cast<double>(I2);
    c.If = static_cast<double>(If);
    c.dI1 = static_cast<double>(dI1);
    c.dI2 = static_cast<double>(dI2);
    c.dIf = static_cast<double>(dIf);
    c.Iown = static_cast<double>(I1 + dI1 + I2 + dI2 + If + dIf);
    c.dISum = static_cast<double>(dI1 + dI2 + dIf);

    c.kX1T = static_cast<double>(s * LD(p.StiffnessX1));
    c.kX2T = static_cast<double>(s * LD(p.StiffnessX2));
    c.kFiDelta = static_cast<double>(kFiDelta);
    c.kFiT = static_cast<double>(kFi + kFiDelta);
    c.kY1T = static_cast<double>(kY1 + (-kY1 * beta * dT));
    c.kY2T = static_cast<double>(kY2 + (-kY2 * beta * dT));

    c.K = static_cast<double>(((20 * L) * w) * (m1 + m2));
    c.K2 = static_cast<double>(((20 * L) * w * 2) * (m1 + m2));
    c.Qd = static_cast<double>(d * m2 + d * m1);
    c.Qe = static_cast<double>(m2 * e2 + m1 * e1);
    c.e1e1 = static_cast<double>(e1 * e1);
    c.e2e2 = static_cast<double>(e2 * e2);
    c.dd = static_cast<double>(d * d);
    return c;
}

// The equations as they are defined, term by term, in double: the reference that
// EvaluateDerivatives and the stage-by-stage protocol use. The run itself integrates with
// the fused kernel of TuningForkLanes.h, which gives the same values up to rounding.
template <bool WithDrift>
[[gnu::always_inline]] inline double Derivatives(const RunConstants& c, const double* y, double* f,
                                                 DriveCosine* memo) noexcept
{
    const double t = y[sT], fiDot = y[sFiDot], x1Dot = y[sX1Dot], x2Dot = y[sX2Dot];
    const double fi = y[sFi], x1 = y[sX1], x2 = y[sX2];
    const double y1Dot = y[sY1Dot], y2Dot = y[sY2Dot], y1 = y[sY1], y2 = y[sY2];
    const double m1 = c.m1, m2 = c.m2;

    const double wa = fiDot + c.baseRate;  // absolute rate of the frame
    // Centres of mass of the elements, shifted outward and offset across.
    const double X1 = x1 - c.dB - c.dA;
    const double X2 = x2 + c.dB + c.dA;
    const double Y1 = y1 - c.e1;
    const double Y2 = y2 + c.e2;
    const double J = m1 * Y1 * Y1 + m1 * X1 * X1 + m2 * Y2 * Y2 + m2 * X2 * X2 + c.Iown;
    const double phase = c.driveFrequency * t;
    double cosine;
    if (memo && memo->argument == phase) {
        cosine = memo->value;
    } else {
        cosine = std::cos(phase);
        if (memo)
            *memo = {phase, cosine};
    }
    const double Fd = c.driveAmplitude * cosine;

    // Generalised forces; the springs act on the raw coordinates.
    const double Rfi = -2 * m1 * X1 * x1Dot * wa - 2 * m1 * Y1 * y1Dot * wa - 2 * m2 * X2 * x2Dot * wa
                       - 2 * m2 * Y2 * y2Dot * wa - c.cFi * fiDot - c.kFiT * fi;
    const double Rx1 = Fd + 2 * m1 * y1Dot * wa + m1 * X1 * wa * wa - c.cX1 * x1Dot - c.kX1T * (x1 + c.L);
    const double Rx2 = 2 * m2 * y2Dot * wa + m2 * X2 * wa * wa - Fd - c.cX2 * x2Dot - c.kX2T * (x2 - c.L);
    const double Ry1 = -2 * m1 * x1Dot * wa + m1 * Y1 * wa * wa - c.cY1 * y1Dot - c.kY1T * y1;
    const double Ry2 = -2 * m2 * x2Dot * wa + m2 * Y2 * wa * wa - c.cY2 * y2Dot - c.kY2T * y2;

    const double A1 = -m1 * Y1, A2 = -m2 * Y2, B1 = m1 * X1, B2 = m2 * X2;

    // The 5x5 system is an arrowhead: eliminating the four element rows leaves phi''.
    const double D = J * m1 * m1 * m2 * m2 - B1 * B1 * m1 * m2 * m2 - B2 * B2 * m1 * m1 * m2
                     - A1 * A1 * m1 * m2 * m2 - A2 * A2 * m1 * m1 * m2;
    const double fiDDot = (Rfi * m1 * m1 * m2 * m2 - B1 * Ry1 * m1 * m2 * m2 - B2 * Ry2 * m1 * m1 * m2
                           - A1 * Rx1 * m1 * m2 * m2 - A2 * Rx2 * m1 * m1 * m2) / D;
    const double x1DDot = (Rx1 - A1 * fiDDot) / m1;
    const double x2DDot = (Rx2 - A2 * fiDDot) / m2;
    const double y1DDot = (Ry1 - B1 * fiDDot) / m1;
    const double y2DDot = (Ry2 - B2 * fiDDot) / m2;

    f[sT] = 1;
    f[sFiDot] = fiDDot;
    f[sX1Dot] = x1DDot;
    f[sX2Dot] = x2DDot;
    f[sFi] = fiDot;
    f[sX1] = x1Dot;
    f[sX2] = x2Dot;
    f[sY1Dot] = y1DDot;
    f[sY2Dot] = y2DDot;
    f[sY1] = y1Dot;
    f[sY2] = y2Dot;
    if constexpr (!WithDrift)
        return 0;

    return DriftEstimate<double>(c, x1, x2, y1, y2, fi, fiDot, x2Dot, y2Dot, fiDDot, x2DDot, y2DDot);
}

double RightHandSide(const RunConstants& c, const double* y, double* f, DriveCosine* memo) noexcept
{
    return Derivatives<true>(c, y, f, memo);
}

void StateDerivatives(const RunConstants& c, const double* y, double* f, DriveCosine* memo) noexcept
{
    Derivatives<false>(c, y, f, memo);
}

datafile::LoadReport TuningForkModel::LoadParameters(const std::string& path)
{
    std::array<float, ModelParameters::Count> values;
    for (std::size_t k = 0; k < values.size(); ++k)
        values[k] = Params.at(k);
    const datafile::LoadReport report = datafile::ReadParameterFile(path, values);
    for (std::size_t k = 0; k < values.size(); ++k)
        Params.at(k) = values[k];
    return report;
}

std::string TuningForkModel::Num(double value) const
{
    return numfmt::FormatGeneral(value, 6, MessageSeparators);
}

long long TuningForkModel::StepsPerSample() const
{
    const long double q = runlimits::StepsPerSampleQuotient(Params.PrintStep, Params.Step);
    if (!(q < 9e18L))
        return q > 0 ? LLONG_MAX : 0;
    return q > 0 ? static_cast<long long>(q) : 0;
}

long long TuningForkModel::NominalSampleCount() const
{
    const long double q = static_cast<long double>(Params.StopTime) / static_cast<long double>(Params.PrintStep);
    if (!(std::fabs(q) < 9e18L))
        return q > 0 ? LLONG_MAX : LLONG_MIN;
    return static_cast<long long>(q);
}

long long TuningForkModel::NominalCapacity() const
{
    const long double q = static_cast<long double>(Params.StopTime) / static_cast<long double>(Params.PrintStep) + 100;
    if (!(std::fabs(q) < 9e18L))
        return q > 0 ? LLONG_MAX : LLONG_MIN;
    return static_cast<long long>(q);
}

long double TuningForkModel::SamplesToReserve() const
{
    const double stop = Params.StopTime, h = Params.Step;
    if (!(stop > 0))
        return 1;
    // Each of the four additions to t per step rounds by at most half an ulp of t, so a step
    // advances t by at least h - 2 ulp; CheckParameters makes sure that is well above 0.
    const double ulp = std::nextafter(stop, INFINITY) - stop;
    const long double steps = std::floor(static_cast<long double>(stop) / (h - 2 * ulp)) + 2;
    const long long T = std::max(StepsPerSample(), 1LL);
    return 1 + std::floor(steps / T) + 1;
}

std::string TuningForkModel::CheckParameters() const
{
    const ModelParameters& p = Params;
    for (std::size_t k = 0; k < ModelParameters::Count; ++k)
        if (!std::isfinite(p.at(k)))
            return parametervalue::OutOfRangeMessage(ParameterRows[k].label);
    if (!(p.Step > 0))
        return "Шаг расчета должен быть положительным";
    if (!(p.PrintStep > 0))
        return "Шаг печати должен быть положительным";
    if (p.StopTime > 0 && !runlimits::StepMovesTime(p.Step, p.StopTime))
        return "Шаг расчета слишком мал: время расчета не продвигается к времени остановки счета";
    if (std::string why = runlimits::StepsPerSampleRefusal(p.PrintStep, p.Step); !why.empty())
        return why;
    if (p.Mass1 == 0)
        return "Масса первого колеблющегося ЧЭ должна быть ненулевой";
    if (p.Mass2 == 0)
        return "Масса второго колеблющегося ЧЭ должна быть ненулевой";
    if (p.DriveFrequency == 0)
        return "Частота вынуждающей силы должна быть ненулевой";
    if (p.AxisDistance == 0)
        return "Расстояние от выходной оси до оси подвеса ЧЭ должно быть ненулевым";
    const bool thermal = p.TempDropAbs != 0 || p.TempDropX != 0;
    if (thermal && p.PoissonRatio == 1)
        return "Коэффициент Пуассона не может быть равен 1 при ненулевом температурном перепаде";
    if (thermal && static_cast<long double>(p.AxisDistance) + p.ElementHalfWidth == 0)
        return "Сумма расстояния до оси подвеса ЧЭ и полуширины ЧЭ не может быть нулевой "
               "при ненулевом температурном перепаде";

    ModelParameters q = p;
    const ResonanceStiffnesses s = ComputeResonanceStiffnesses(q);
    if (!std::isfinite(s.Fi))
        return "Жесткость по Fi, выбираемая из условий резонанса, не помещается в число с плавающей точкой";
    if (!std::isfinite(s.Y1) || !std::isfinite(s.Y2))
        return "Жесткость по Y, выбираемая из условий резонанса, не помещается в число с плавающей точкой";
    q.StiffnessFi = s.Fi;
    q.StiffnessY1 = s.Y1;
    q.StiffnessY2 = s.Y2;
    const RunConstants c = ComputeRunConstants(q);
    if (c.K == 0 || c.K2 == 0)
        return "Масштаб оценки дрейфа равен нулю: сумма масс ЧЭ должна быть ненулевой";
    if (c.Iown == 0)
        return "Собственный момент инерции ЧЭ и рамки равен нулю: задайте полуширину ЧЭ или массу рамки";
    for (double v : {c.dA, c.dB, c.d, c.Iown, c.dISum, c.kX1T, c.kX2T, c.kFiDelta, c.kFiT, c.kY1T, c.kY2T,
                     c.K, c.K2, c.Qd, c.Qe, c.e1e1, c.e2e2, c.dd})
        if (!std::isfinite(v))
            return "Параметры дают бесконечные константы расчета: проверьте их порядок величины";

    const long long count = NominalSampleCount();
    if (count > INT_MAX || count < INT_MIN)
        return "Шаг печати слишком мал для времени остановки счета: слишком много отсчетов";
    return runlimits::SeriesMemoryRefusal(SeriesBytes(), [this](double v) { return Num(v); });
}

long double TuningForkModel::SeriesBytes() const
{
    return SamplesToReserve() * BytesPerSample;
}

double TuningForkModel::FastestRate() const
{
    ModelParameters q = Params;
    const ResonanceStiffnesses s = ComputeResonanceStiffnesses(q);
    q.StiffnessFi = s.Fi;
    q.StiffnessY1 = s.Y1;
    q.StiffnessY2 = s.Y2;
    const RunConstants c = ComputeRunConstants(q);
    // Moment of inertia about the output axis with the elements at their nominal places.
    const double X1 = -c.L - c.d, X2 = c.L + c.d;
    const double J = c.m1 * (c.e1e1 + X1 * X1) + c.m2 * (c.e2e2 + X2 * X2) + c.Iown;
    double rate = 0;
    auto consider = [&rate](double r) {
        if (std::isfinite(r))
            rate = std::max(rate, std::fabs(r));
    };
    consider(std::sqrt(std::fabs(c.kX1T / c.m1)));
    consider(std::sqrt(std::fabs(c.kX2T / c.m2)));
    consider(std::sqrt(std::fabs(c.kY1T / c.m1)));
    consider(std::sqrt(std::fabs(c.kY2T / c.m2)));
    consider(std::sqrt(std::fabs(c.kFiT / J)));
    consider(c.driveFrequency);
    consider(c.baseRate);
    consider(c.cX1 / c.m1);
    consider(c.cX2 / c.m2);
    consider(c.cY1 / c.m1);
    consider(c.cY2 / c.m2);
    consider(c.cFi / J);
    return rate;
}

bool TuningForkModel::Reserve(std::size_t n)
{
    try {
        for (auto& series : Series)
            series.reserve(n);
        DriftAtSample.reserve(n);
        Time.reserve(n);
    } catch (const std::bad_alloc&) {
        return false;
    } catch (const std::length_error&) {
        return false;
    }
    return true;
}

static const char* const OutOfMemory =
    "Недостаточно памяти для отсчетов расчета: увеличьте шаг печати или уменьшите время остановки счета";

RunStatus TuningForkModel::AllocateSeries()
{
    if (std::string why = CheckParameters(); !why.empty())
        return RunStatus::Refused(std::move(why));
    const auto n = static_cast<long long>(SamplesToReserve());
    std::array<std::vector<double>, SeriesCount> series;
    std::vector<double> driftAtSample, time;
    try {
        for (auto& s : series)
            s.reserve(static_cast<std::size_t>(n));
        driftAtSample.reserve(static_cast<std::size_t>(n));
        time.reserve(static_cast<std::size_t>(n));
    } catch (const std::bad_alloc&) {
        return RunStatus::Refused(OutOfMemory);
    }
    Series = std::move(series);
    DriftAtSample = std::move(driftAtSample);
    Time = std::move(time);
    RecordedCount = 0;
    Extremes = {};
    DriftAtSampleExtremes = {};
    SampleCount = static_cast<int>(NominalSampleCount());
    return RunStatus::Finished();
}

void TuningForkModel::FreeSeries()
{
    for (auto& s : Series)
        std::vector<double>().swap(s);
    std::vector<double>().swap(DriftAtSample);
    std::vector<double>().swap(Time);
    RecordedCount = 0;
}

void TuningForkModel::EvaluateDerivatives()
{
    CurrentDrift = Derivatives<true>(Constants, Integrator.Point.data(), Integrator.Derivative.data(), nullptr);
}

void TuningForkModel::RecordSample()
{
    const double* y = Integrator.Solution.data();
    // X1 and X2 are the deviations from the nominal positions -L and +L.
    const double values[SeriesCount] = {y[sFi], y[sFiDot], y[sX1] + Constants.L, y[sX2] - Constants.L,
                                        y[sY1], y[sY2], y[sX1Dot], y[sX2Dot], y[sY1Dot], y[sY2Dot], CurrentDrift};
    auto record = [](std::vector<double>& series, SeriesExtremes& e, double v) {
        series.push_back(v);
        if (e.Min > v)
            e.Min = NarrowToFloat(v);
        if (e.Max < v)
            e.Max = NarrowToFloat(v);
    };
    for (int k = 0; k < SeriesCount; ++k)
        record(Series[k], Extremes[k], values[k]);
    record(DriftAtSample, DriftAtSampleExtremes, CurrentDriftAtSample);
    Time.push_back(y[sT]);
    ++RecordedCount;
}

RunStatus TuningForkModel::DivergedAt(double time) const
{
    return RunStatus::Diverged("Расчет остановлен: решение перестало быть конечным при t = " + Num(time)
                                   + " с. Уменьшите шаг расчета."
                                   + stepadvice::Advice(FastestRate(), Params.Step, [this](double v) { return Num(v); }),
                               time);
}

RunStatus TuningForkModel::BeginRun()
{
    if (std::string why = CheckParameters(); !why.empty())
        return RunStatus::Refused(std::move(why));
    if (!Reserve(static_cast<std::size_t>(SamplesToReserve())))
        return RunStatus::Refused(OutOfMemory);

    Calculated = true;
    const ResonanceStiffnesses stiff = ComputeResonanceStiffnesses(Params);
    Params.StiffnessFi = stiff.Fi;
    Params.StiffnessY1 = stiff.Y1;
    Params.StiffnessY2 = stiff.Y2;
    Constants = ComputeRunConstants(Params);
    SampleCount = static_cast<int>(NominalSampleCount());

    std::fill(Integrator.Solution.begin(), Integrator.Solution.end(), 0.0);
    Integrator.Solution[sX1] = -Constants.L;
    Integrator.Solution[sX2] = Constants.L;
    CurrentDrift = 0;
    {
        // The drift at the initial state, as the run's kernel forms it at every later sample.
        const RunConstants* runs[] = {&Constants};
        const lanes::LaneConstants<double> k = lanes::MakeLaneConstants<double>(runs);
        lanes::LaneState<double> s;
        for (int i = 1; i < StateSize; ++i)
            s.y[i] = Integrator.Solution[i];
        double rates[StateSize];
        lanes::Accelerations(k, s, Integrator.Solution[sT], s.y, rates);
        CurrentDriftAtSample = lanes::DriftAtState(k, s.y, rates);
    }

    for (auto& s : Series)
        s.clear();
    DriftAtSample.clear();
    Time.clear();
    RecordedCount = 0;
    Extremes = {};
    DriftAtSampleExtremes = {};
    RecordSample();
    return RunStatus::Finished();
}

RunStatus TuningForkModel::Calculate(const std::function<bool(double time)>& cancel)
{
    if (RunStatus begun = BeginRun(); !begun.ok())
        return begun;

    const RunConstants* runs[] = {&Constants};
    const lanes::LaneConstants<double> k = lanes::MakeLaneConstants<double>(runs);
    lanes::LaneState<double> s;
    double* solution = Integrator.Solution.data();
    s.t = solution[sT];
    for (int i = 1; i < StateSize; ++i)
        s.y[i] = solution[i];
    s.driftAtSample = CurrentDriftAtSample;
    auto keep = [&] {
        solution[sT] = s.t;
        for (int i = 1; i < StateSize; ++i)
            solution[i] = s.y[i];
        CurrentDrift = s.drift;
        CurrentDriftAtSample = s.driftAtSample;
    };

    const double stop = Params.StopTime;
    const double h = Params.Step;
    const long long T = StepsPerSample();
    long long j = 0;
    long long sincePoll = 0;
    try {
        while (s.t < stop) {
            if (j >= T) {
                j = 0;
                keep();
                RecordSample();
            }
            // Towards the next sample; the step that reaches it leaves the drift the sample records.
            const long long toSample = std::max(T - j, 1LL);
            const long long steps = runlimits::StepsAtOnce(toSample, bool(cancel));
            long long taken = 0;
            const unsigned bad = lanes::Advance(k, s, h, stop, steps, steps == toSample, 1u, taken);
            j += taken;
            if (bad) {
                keep();
                return DivergedAt(s.t);
            }
            sincePoll += taken;
            if (cancel && sincePoll >= runlimits::CancelPollSteps) {
                sincePoll = 0;
                if (cancel(s.t)) {
                    keep();
                    return RunStatus::Cancelled("Расчет прерван", s.t);
                }
            }
        }
    } catch (const std::bad_alloc&) {
        // Only reachable if the sample bound was wrong and growing the series failed.
        keep();
        return RunStatus::Cancelled(OutOfMemory, s.t);
    }
    keep();
    return RunStatus::Finished();
}

} // namespace pelisond
