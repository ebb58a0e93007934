// The equations of motion: the closed-form accelerations, the drift estimate and the
// behaviour of the nominal device.
#include "TuningForkTestSupport.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <random>

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
