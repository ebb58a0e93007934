// The equations of motion: the closed-form accelerations, the drift estimate and the
// behaviour of the nominal device.
#include "TuningForkTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <random>
#include <utility>
#include <vector>

namespace pelisond::testing {
namespace {

using State = std::array<double, StateSize>;

// Parameters with every imperfection switched on, stiffnesses as a run would set them.
ModelParameters ImperfectParams(bool thermal)
{
    ModelParameters p = NominalParams();
    if (thermal) {
        p.TempDropAbs = 7;
        p.TempDropX = 3;
    }
    p.FrameElongation = 0.8f;
    p.ElementElongation = 0.5f;
    p.MassOffsetY1 = 0.3f;
    p.MassOffsetY2 = -0.2f;
    p.Mass2 = 41;
    const ResonanceStiffnesses s = ComputeResonanceStiffnesses(p);
    p.StiffnessFi = s.Fi;
    p.StiffnessY1 = s.Y1;
    p.StiffnessY2 = s.Y2;
    return p;
}

// States of the size a running device reaches.
State RandomState(std::mt19937_64& rng, double L)
{
    std::uniform_real_distribution<double> u(-1, 1);
    State y{};
    y[sT] = 0.05 * (1 + u(rng));
    y[sFiDot] = 10 * u(rng);
    y[sX1Dot] = 1.3e6 * u(rng);
    y[sX2Dot] = 1.3e6 * u(rng);
    y[sFi] = 2e-4 * u(rng);
    y[sX1] = -L + 20 * u(rng);
    y[sX2] = L + 20 * u(rng);
    y[sY1Dot] = 5e3 * u(rng);
    y[sY2Dot] = 5e3 * u(rng);
    y[sY1] = 0.1 * u(rng);
    y[sY2] = 0.1 * u(rng);
    return y;
}

// The accelerations must solve the frame's and the elements' equations of motion. The
// inertia, couplings and forces are formed again here in extended precision and the
// residual of each of the five equations is compared with the size of its terms.
TEST(PelisondEquations, AccelerationsSatisfyTheFiveCoupledEquations)
{
    std::mt19937_64 rng(20240611);
    for (bool thermal : {false, true}) {
        const ModelParameters p = ImperfectParams(thermal);
        const RunConstants c = ComputeRunConstants(p);
        for (int trial = 0; trial < 200; ++trial) {
            const State y = RandomState(rng, p.AxisDistance);
            State f{};
            RightHandSide(c, y.data(), f.data());

            using LD = long double;
            const LD m1 = c.m1, m2 = c.m2, wa = LD(y[sFiDot]) + c.baseRate;
            const LD X1 = y[sX1] - LD(c.d), X2 = y[sX2] + LD(c.d), Y1 = y[sY1] - LD(c.e1), Y2 = y[sY2] + LD(c.e2);
            const LD J = m1 * (X1 * X1 + Y1 * Y1) + m2 * (X2 * X2 + Y2 * Y2) + c.Iown;
            const LD Fd = c.driveAmplitude * std::cos(c.driveFrequency * y[sT]);
            const LD x1d = y[sX1Dot], x2d = y[sX2Dot], y1d = y[sY1Dot], y2d = y[sY2Dot];
            const LD coriolisFi = -2 * wa * (m1 * (X1 * x1d + Y1 * y1d) + m2 * (X2 * x2d + Y2 * y2d));
            const std::array<LD, 5> R = {
                coriolisFi - c.cFi * LD(y[sFiDot]) - c.kFiT * LD(y[sFi]),
                Fd + m1 * (2 * y1d * wa + X1 * wa * wa) - c.cX1 * x1d - c.kX1T * (y[sX1] + LD(c.L)),
                -Fd + m2 * (2 * y2d * wa + X2 * wa * wa) - c.cX2 * x2d - c.kX2T * (y[sX2] - LD(c.L)),
                m1 * (-2 * x1d * wa + Y1 * wa * wa) - c.cY1 * y1d - c.kY1T * LD(y[sY1]),
                m2 * (-2 * x2d * wa + Y2 * wa * wa) - c.cY2 * y2d - c.kY2T * LD(y[sY2])};
            const std::array<LD, 5> acc = {f[sFiDot], f[sX1Dot], f[sX2Dot], f[sY1Dot], f[sY2Dot]};
            const std::array<LD, 5> coupling = {1, -m1 * Y1, -m2 * Y2, m1 * X1, m2 * X2};
            const std::array<LD, 5> mass = {J, m1, m2, m1, m2};

            // Row 0: J phi'' + sum coupling_i a_i = R_phi; row i: coupling_i phi'' + m_i a_i = R_i.
            LD lhs0 = J * acc[0], scale0 = std::fabs(J * acc[0]) + std::fabs(R[0]);
            for (int i = 1; i < 5; ++i) {
                lhs0 += coupling[i] * acc[i];
                scale0 += std::fabs(coupling[i] * acc[i]);
            }
            EXPECT_LE(std::fabs(lhs0 - R[0]), 1e-12L * scale0) << "frame equation, trial " << trial;
            for (int i = 1; i < 5; ++i) {
                const LD lhs = coupling[i] * acc[0] + mass[i] * acc[i];
                const LD scale = std::fabs(coupling[i] * acc[0]) + std::fabs(mass[i] * acc[i]) + std::fabs(R[i]);
                EXPECT_LE(std::fabs(lhs - R[i]), 1e-12L * scale) << "element equation " << i << ", trial " << trial;
            }
            EXPECT_EQ(f[sT], 1);
            EXPECT_EQ(f[sFi], y[sFiDot]);
            EXPECT_EQ(f[sX1], y[sX1Dot]);
            EXPECT_EQ(f[sX2], y[sX2Dot]);
            EXPECT_EQ(f[sY1], y[sY1Dot]);
            EXPECT_EQ(f[sY2], y[sY2Dot]);
        }
    }
}

TEST(PelisondEquations, ElongationsAddTheInertiaOfTheLongerBodies)
{
    ModelParameters p = NominalParams();
    const double b = p.ElementHalfWidth, L = p.AxisDistance, de = 0.5, df = double(0.8f);
    p.ElementElongation = float(de);
    p.FrameElongation = float(df);
    const RunConstants c = ComputeRunConstants(p);
    EXPECT_FALSE(c.thermal);
    EXPECT_EQ(c.dA, df);
    EXPECT_EQ(c.dB, 0);
    EXPECT_NEAR(c.dI1, c.m1 * ((b + de) * (b + de) - b * b) / 3, 1e-9 * c.I1);
    EXPECT_NEAR(c.dI2, c.m2 * ((b + de) * (b + de) - b * b) / 3, 1e-9 * c.I2);
    EXPECT_NEAR(c.dIf, double(p.FrameMass) * ((L + df) * (L + df) - L * L) / 3, 1e-9 * c.If);
    EXPECT_NEAR(c.Iown, c.I1 + c.I2 + c.If + c.dI1 + c.dI2 + c.dIf, 1e-12 * c.Iown);
    EXPECT_NEAR(c.K, 20 * L * double(p.DriveFrequency) * (c.m1 + c.m2), 1e-12 * c.K);
    EXPECT_EQ(c.K2, 2 * c.K);

    // A uniform temperature rise with nu = 0 stretches the arm by alpha L dT.
    p.TempDropAbs = 10;
    p.PoissonRatio = 0;
    const RunConstants t = ComputeRunConstants(p);
    EXPECT_TRUE(t.thermal);
    EXPECT_NEAR(t.dA, double(p.ExpansionCoef) * L * 10, 1e-15);
    EXPECT_EQ(t.dB, 0);
    EXPECT_NEAR(t.kX1T, (1 - double(p.ModulusTempCoef) * 10) * double(p.StiffnessX1), 1e-6);
}

// The run constants and the drift estimate of the device's description, formed again here
// term by term in extended precision, without the model's code.
struct DriftReference {
    using LD = long double;
    LD m1, m2, e1, e2, dA, dB, d, I1, I2, If, dI1, dI2, dIf, kX1T, kX2T, kFiDelta, kFiT, kY1T, kY2T, K, K2, Qd, Qe;

    // p holds the resonance stiffnesses already.
    explicit DriftReference(const ModelParameters& p)
    {
        const LD L = p.AxisDistance, b = p.ElementHalfWidth, alpha = p.ExpansionCoef, beta = p.ModulusTempCoef;
        const LD nu = p.PoissonRatio, dT = p.TempDropAbs, dTx = p.TempDropX, mf = p.FrameMass, w = p.DriveFrequency;
        m1 = p.Mass1;
        m2 = p.Mass2;
        e1 = p.MassOffsetY1;
        e2 = p.MassOffsetY2;
        I1 = m1 * b * b / 3;
        I2 = m2 * b * b / 3;
        If = mf * L * L / 3;
        if (dT != 0 || dTx != 0) {
            const LD kappa = (1 + nu) / (1 - nu);
            dA = kappa * alpha * L * (dTx * L / (2 * (L + b)) + dT);
            dB = (kappa * alpha / 2 - alpha) * b * b * dTx / (L + b);
            // The elements lose dT * 3 alpha, the frame 3 alpha alone.
            dI1 = 3 * alpha * dT * (kappa - 1) * I1;
            dI2 = 3 * alpha * dT * (kappa - 1) * I2;
            dIf = 3 * alpha * (dT * kappa - 1) * If + dTx * L / (L + b) * mf * L * L / 2 * alpha * (kappa - 1.5L);
        } else {
            const LD df = p.FrameElongation, de = p.ElementElongation;
            dA = df;
            dB = 0;
            dI1 = m1 * ((b + de) * (b + de) - b * b) / 3;
            dI2 = m2 * ((b + de) * (b + de) - b * b) / 3;
            dIf = mf * ((L + df) * (L + df) - L * L) / 3;
        }
        d = dA + dB;
        const LD s = 1 - beta * dT;
        kX1T = s * LD(p.StiffnessX1);
        kX2T = s * LD(p.StiffnessX2);
        kFiDelta = -LD(p.StiffnessFi) * beta * dT;
        kFiT = s * LD(p.StiffnessFi);
        kY1T = s * LD(p.StiffnessY1);
        kY2T = s * LD(p.StiffnessY2);
        K = 20 * L * w * (m1 + m2);
        K2 = 2 * K;
        Qd = d * (m1 + m2);
        Qe = m1 * e1 + m2 * e2;
    }

    // The six terms of the estimate, rad/s, at the state y with the derivatives f.
    std::array<LD, 6> Terms(const double* y, const double* f) const
    {
        // Both elements' inertia changes carry plus signs, the first's although it sits at -L.
        const LD dJ = m1 * (2 * y[sY1] * e1 + 2 * y[sX1] * d + e1 * e1 + d * d)
                      + m2 * (2 * y[sY2] * e2 + 2 * y[sX2] * d + e2 * e2 + d * d) + dI1 + dI2 + dIf;
        return {Qd * y[sX2Dot] * y[sFiDot] / K, -Qe * f[sX2Dot] / K2, Qd * f[sY2Dot] / K2,
                Qe * y[sY2Dot] * y[sFiDot] / K, dJ * f[sFiDot] / K2, kFiDelta * y[sFi] / K2};
    }
};

constexpr long double DegreesPerHour = 57.3L * 3600;

// The run constants and the recorded drift of a device with every imperfection, in both modes,
// against the reference: a changed sign, factor or term of the estimate shows here.
TEST(PelisondDrift, ConstantsAndRecordedDriftMatchTheEstimateFormedAfresh)
{
    for (bool thermal : {false, true}) {
        SCOPED_TRACE(thermal ? "thermal mode" : "technological mode");
        TuningForkModel model;
        model.Params = ImperfectParams(thermal);
        model.Params.StopTime = 0.002f;
        ASSERT_TRUE(model.Calculate().ok());
        const RunConstants c = ComputeRunConstants(model.Params);
        const DriftReference ref(model.Params);
        EXPECT_EQ(c.thermal, thermal);
        const std::pair<const char*, std::pair<double, long double>> constants[] = {
            {"dA", {c.dA, ref.dA}}, {"dB", {c.dB, ref.dB}}, {"I1", {c.I1, ref.I1}}, {"I2", {c.I2, ref.I2}},
            {"If", {c.If, ref.If}}, {"dI1", {c.dI1, ref.dI1}}, {"dI2", {c.dI2, ref.dI2}}, {"dIf", {c.dIf, ref.dIf}},
            {"Iown", {c.Iown, ref.I1 + ref.I2 + ref.If + ref.dI1 + ref.dI2 + ref.dIf}},
            {"kX1T", {c.kX1T, ref.kX1T}}, {"kX2T", {c.kX2T, ref.kX2T}}, {"kFiDelta", {c.kFiDelta, ref.kFiDelta}},
            {"kFiT", {c.kFiT, ref.kFiT}}, {"kY1T", {c.kY1T, ref.kY1T}}, {"kY2T", {c.kY2T, ref.kY2T}},
            {"K", {c.K, ref.K}}, {"K2", {c.K2, ref.K2}}, {"Qd", {c.Qd, ref.Qd}}, {"Qe", {c.Qe, ref.Qe}}};
        for (const auto& [name, values] : constants)
            EXPECT_NEAR(values.first, double(values.second), 1e-12 * std::fabs(double(values.second))) << name;
        if (thermal) {
            EXPECT_NE(ref.dB, 0) << "the row sees the split of the shift";
            EXPECT_NE(ref.kFiDelta, 0) << "the row sees the frame's stiffness change";
        }

        // The states again, stage by stage, with the drift of each sample's last evaluation formed afresh.
        const long long T = model.StepsPerSample();
        TRungeKutta4 rk(StateSize);
        std::fill(rk.Solution.begin(), rk.Solution.end(), 0.0);
        rk.Solution[sX1] = -c.L;
        rk.Solution[sX2] = c.L;
        std::array<long double, 6> terms{};
        std::vector<std::array<long double, 6>> recorded{terms};
        long long j = 0;
        while (rk.Solution[sT] < double(model.Params.StopTime)) {
            if (j >= T) {
                j = 0;
                recorded.push_back(terms);
            }
            rk.BeginStep();
            while (rk.StageNo < 5) {
                StateDerivatives(c, rk.Point.data(), rk.Derivative.data());
                terms = ref.Terms(rk.Point.data(), rk.Derivative.data());
                rk.DoStage(double(model.Params.Step));
            }
            ++j;
        }
        ASSERT_EQ(static_cast<int>(recorded.size()), model.Recorded());
        for (int i = 1; i < model.Recorded(); ++i) {
            long double drift = 0, scale = 0;
            for (long double t : recorded[i]) {
                drift += t;
                scale += std::fabs(t);
            }
            ASSERT_NEAR(model.Series[Drift][i], double(drift * DegreesPerHour), double(1e-11L * scale * DegreesPerHour))
                << "sample " << i;
        }
    }
}

TEST(PelisondDrift, ExactlyZeroWithoutImperfectionsAndNotWithATemperatureDrop)
{
    // Every evaluation of an ideal device, not only the recorded ones.
    const ModelParameters ideal = NominalParams();
    const RunConstants c = ComputeRunConstants(ideal);
    std::mt19937_64 rng(7);
    for (int trial = 0; trial < 100; ++trial) {
        const State y = RandomState(rng, ideal.AxisDistance);
        State f{};
        EXPECT_EQ(RightHandSide(c, y.data(), f.data()), 0.0);
    }

    TuningForkModel model;
    model.Params = ideal;
    model.Params.StopTime = 0.01f;
    ASSERT_TRUE(model.Calculate().ok());
    for (double d : model.Series[Drift])
        ASSERT_EQ(d, 0.0);

    struct Row {
        const char* what;
        void (*change)(ModelParameters&);
    };
    const Row rows[] = {
        {"absolute temperature drop", [](ModelParameters& p) { p.TempDropAbs = 5; }},
        {"temperature drop along X", [](ModelParameters& p) { p.TempDropX = 5; }},
        {"centre-of-mass offset", [](ModelParameters& p) { p.MassOffsetY2 = 0.5f; }},
        {"frame elongation", [](ModelParameters& p) { p.FrameElongation = 0.5f; }},
    };
    for (const Row& row : rows) {
        model.Params = ideal;
        model.Params.StopTime = 0.01f;
        row.change(model.Params);
        ASSERT_TRUE(model.Calculate().ok()) << row.what;
        EXPECT_EQ(model.Series[Drift][0], 0.0) << row.what << ": sample 0 has no drift yet";
        int nonZero = 0;
        for (double d : model.Series[Drift]) {
            ASSERT_TRUE(std::isfinite(d)) << row.what;
            nonZero += d != 0;
        }
        EXPECT_GT(nonZero, model.Recorded() / 2) << row.what;
        EXPECT_TRUE(model.Extremes[Drift].Max > 0 || model.Extremes[Drift].Min < 0) << row.what;
    }
}

TEST(PelisondDynamics, WithoutRotationFrameAndSensingMotionStayAtRest)
{
    TuningForkModel model;
    model.Params = NominalParams();
    model.Params.BaseRate = 0;
    model.Params.StopTime = 0.02f;
    ASSERT_TRUE(model.Calculate().ok());
    for (SeriesIndex k : {Fi, FiDot, Y1, Y2, Y1Dot, Y2Dot, Drift})
        for (double v : model.Series[k])
            ASSERT_EQ(v, 0.0) << SeriesNames[k];
    EXPECT_GT(model.Extremes[X1].Max, 19.0f) << "the drive still moves the elements";
}

TEST(PelisondDynamics, DriveSettlesToAntiphaseResonanceAmplitude)
{
    TuningForkModel model;
    model.Params = NominalParams();
    model.Params.PrintStep = model.Params.Step;  // every step, to resolve the drive period
    model.Params.StopTime = 0.03f;
    ASSERT_TRUE(model.Calculate().ok());

    // Least-squares fit of a sin(wt) + b cos(wt) to X1 once the start-up has died away
    // (time constant 2 m / c = 1.6 ms).
    const double w = model.Params.DriveFrequency;
    double ss = 0, sc = 0, cc = 0, xs = 0, xc = 0;
    double maxAntiphaseError = 0, maxX = 0;
    std::vector<int> window;
    for (int i = 0; i < model.Recorded(); ++i) {
        const double t = model.Time[i];
        if (t < 0.01)
            continue;
        window.push_back(i);
        const double s = std::sin(w * t), c = std::cos(w * t), x = model.Series[X1][i];
        ss += s * s;
        sc += s * c;
        cc += c * c;
        xs += x * s;
        xc += x * c;
        maxX = std::max(maxX, std::fabs(x));
        maxAntiphaseError = std::max(maxAntiphaseError, std::fabs(x + model.Series[X2][i]));
    }
    ASSERT_GT(window.size(), 5000u);
    const double det = ss * cc - sc * sc;
    const double a = (xs * cc - xc * sc) / det, b = (xc * ss - xs * sc) / det;
    double residual = 0;
    for (int i : window) {
        const double t = model.Time[i];
        const double e = model.Series[X1][i] - (a * std::sin(w * t) + b * std::cos(w * t));
        residual = std::max(residual, std::fabs(e));
    }
    const double expected = double(model.Params.DriveAmplitude) / (double(model.Params.DampX1) * w);
    EXPECT_NEAR(expected, 19.9, 0.1);
    EXPECT_NEAR(std::hypot(a, b), expected, 0.005 * expected) << "amplitude of the drive frequency";
    EXPECT_LT(residual, 0.01 * expected) << "X1 is a pure oscillation at the drive frequency";
    EXPECT_GT(a, 0.99 * std::hypot(a, b)) << "at resonance the motion lags the force by a quarter period";
    EXPECT_LT(maxAntiphaseError, 1e-9 * maxX) << "the elements move in antiphase";
}

TEST(PelisondDynamics, TemperatureAlongXAloneSelectsThermalModeAndIgnoresElongations)
{
    TuningForkModel model;
    model.Params = NominalParams();
    model.Params.StopTime = 0.005f;
    model.Params.TempDropX = 4;
    ASSERT_TRUE(model.Calculate().ok());
    const auto thermal = model.Series;

    model.Params.FrameElongation = 2;
    model.Params.ElementElongation = 3;
    ASSERT_TRUE(model.Calculate().ok());
    EXPECT_EQ(model.Series, thermal);

    // The same elongations do change a technological run, so the comparison above means something.
    model.Params.TempDropX = 0;
    ASSERT_TRUE(model.Calculate().ok());
    const auto elongated = model.Series;
    model.Params.FrameElongation = 0;
    model.Params.ElementElongation = 0;
    ASSERT_TRUE(model.Calculate().ok());
    EXPECT_NE(model.Series[X1], elongated[X1]);
}

} // namespace
} // namespace pelisond::testing
