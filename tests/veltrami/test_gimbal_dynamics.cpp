// The gimbal right-hand side and run against exact solutions and an independent
// textbook Runge-Kutta implementation of the same equations.
#include "GimbalTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <random>

using namespace veltrami;
using veltrami::fixtures::NominalParameters;

namespace {

// J x'' + c x' = M cos(w t), x(0) = x0, x'(0) = v0: the exact rate and angle.
struct DrivenDamped {
    double J, c, M, w, x0, v0;
    double rate(double t) const
    {
        const double k = c / J, a = M / J / (k * k + w * w);
        const double vp = a * (k * std::cos(w * t) + w * std::sin(w * t));
        return vp + (v0 - a * k) * std::exp(-k * t);
    }
    double angle(double t) const
    {
        const double k = c / J, a = M / J / (k * k + w * w);
        return x0 + a * (k * std::sin(w * t) / w + 1 - std::cos(w * t)) + (v0 - a * k) * (1 - std::exp(-k * t)) / k;
    }
};

} // namespace

TEST(GimbalDynamics, UncoupledAxesFollowTheDrivenDampedSolution)
{
    // H = 0, l = 0 and A + Ix1 = Iz1: each frame obeys J x'' + c x' = M cos(w t) on its own.
    ModelParameters p = NominalParameters();
    p.KineticMoment = 0;
    p.InnerInertiaZ1 = 0.0005f;
    p.InertiaEquatorial = 0.0003f;
    p.InnerInertiaX1 = 0.0002f;
    p.MomentBetAmplitude = 0.004f;
    p.MomentAlfAmplitude = 0.002f;
    p.MomentAlfFrequency = 7;
    p.DampAlfNominal = 0.003f;
    p.InitialAlfRate = 0.5f;
    p.InitialBet = 0.25f;
    p.Step = 0.0002f;
    p.PrintStep = 0.05f;
    p.StopTime = 3;

    GimbalModel model;
    model.Params = p;
    ASSERT_TRUE(model.AllocateSeries().ok());
    ASSERT_TRUE(model.Calculate().ok());
    ASSERT_GT(model.Recorded(), 50);

    const double jBet = double(p.InertiaEquatorial) + double(p.InnerInertiaX1);
    ASSERT_EQ(jBet, double(p.InertiaEquatorial) + double(p.InnerInertiaX1) - double(p.InnerInertiaZ1) + p.InnerInertiaZ1);
    const double jAlf = jBet + p.OuterInertiaX2;
    const DrivenDamped bet{jBet, p.DampBetNominal, p.MomentBetAmplitude, p.MomentBetFrequency, p.InitialBet, p.InitialBetRate};
    const DrivenDamped alf{jAlf, p.DampAlfNominal, p.MomentAlfAmplitude, p.MomentAlfFrequency, p.InitialAlf, p.InitialAlfRate};
    for (int k = 0; k < model.Recorded(); k += 7) {
        const double t = model.Time[k];
        EXPECT_NEAR(model.Bet[k], bet.angle(t), 1e-9) << "t = " << t;
        EXPECT_NEAR(model.BetDot[k], bet.rate(t), 1e-8) << "t = " << t;
        EXPECT_NEAR(model.Alf[k], alf.angle(t), 1e-9) << "t = " << t;
        EXPECT_NEAR(model.AlfDot[k], alf.rate(t), 1e-8) << "t = " << t;
    }
}

TEST(GimbalDynamics, DampingOscillatesBetweenItsBoundsStartingAtTheMaximum)
{
    // With the frames at rest and no moments, alpha'' = -c(t) * alpha' / J reads the damping law.
    GimbalModel model;
    model.Params = NominalParameters();
    model.Params.KineticMoment = 0;
    model.Params.MomentBetAmplitude = 0;
    model.Params.DampMax = 0.5f;
    model.Params.DampMin = 0.1f;
    model.Params.DampFrequency = 2;
    model.Params.DampAlfNominal = 0.05f;
    model.Params.Step = 0.001f;
    model.Params.PrintStep = 0.01f;
    model.PrepareRunConstants();
    const double jAlf = double(0.0003f) + double(0.0002f) + double(0.0015f);
    const double pi = std::acos(-1.0);
    for (double t : {0.0, pi / 2, pi / 4}) {
        model.Integrator.Point = {t, 1.0, 0.0, 0.0, 0.0};
        model.EvaluateDerivatives();
        const double damping = (double(0.5f) - double(0.1f)) * 0.5 * std::cos(2 * t) + (double(0.5f) + double(0.1f)) * 0.5 + double(0.05f);
        EXPECT_NEAR(-model.Integrator.Derivative[1] * jAlf, damping, 1e-12) << "t = " << t;
        EXPECT_EQ(model.Integrator.Derivative[0], 1.0);
        EXPECT_EQ(model.Integrator.Derivative[3], 1.0) << "alpha' copies the rate";
    }
}

TEST(GimbalDynamics, RecordedInnerMomentCarriesTheOppositeSign)
{
    GimbalModel model;
    model.Params = NominalParameters();
    model.PrepareRunConstants();
    model.Integrator.Point = {0.0, 0.0, 0.0, 0.0, 0.0};
    model.EvaluateDerivatives();
    EXPECT_EQ(model.CurMomentBet, -4.0f);
    const double jBet = double(0.0003f) + double(0.0002f);
    EXPECT_NEAR(model.Integrator.Derivative[2], 4.0 / jBet, 1e-9) << "the equation drives with +M cos(wt)";
}

namespace {

// The equations of motion written out independently, with a textbook RK4 over whole steps.
struct Reference {
    ModelParameters p;
    std::array<double, 5> rhs(const std::array<double, 5>& y, double& mb, double& ma) const
    {
        const double A = p.InertiaEquatorial, Ix1 = p.InnerInertiaX1, Iz1 = p.InnerInertiaZ1, Ix2 = p.OuterInertiaX2;
        const double t = y[0], ad = y[1], bd = y[2], a = y[3], b = y[4];
        const double c = (double(p.DampMax) - p.DampMin) / 2 * std::cos(p.DampFrequency * t);
        const double ca = c + (double(p.DampMax) + p.DampMin) / 2 + p.DampAlfNominal;
        const double cb = c + (double(p.DampMax) + p.DampMin) / 2 + p.DampBetNominal;
        const double Ja = Ix2 + (A + Ix1) * std::cos(b) * std::cos(b) + Iz1 * std::sin(b) * std::sin(b);
        const double Jb = A + Ix1, dJ = A + Ix1 - Iz1;
        const double mgl = double(p.Mass) * p.Gravity * p.MassOffsetZ;
        const double H = p.KineticMoment;
        ma = p.MomentAlfAmplitude * std::cos(p.MomentAlfFrequency * t);
        mb = p.MomentBetAmplitude * std::cos(p.MomentBetFrequency * t);
        const double add = (-ca * ad + dJ * std::sin(2 * b) * ad * bd - H * std::cos(b) * bd + mgl * std::sin(a) * std::sin(b) + ma) / Ja;
        const double bdd = (-cb * bd - dJ * std::sin(2 * b) * ad * ad / 2 + H * std::cos(b) * ad + mgl * std::cos(a) * std::cos(b) + mb) / Jb;
        return {1.0, add, bdd, ad, bd};
    }
};

} // namespace

TEST(GimbalDynamics, RunMatchesAnIndependentClassicRungeKutta)
{
    std::mt19937 random(12345);
    std::uniform_real_distribution<float> u(0.5f, 1.5f);
    for (int trial = 0; trial < 5; ++trial) {
        ModelParameters p = fixtures::ShippedParameters();
        for (float* f : {&p.Mass, &p.DampAlfNominal, &p.DampBetNominal, &p.InertiaEquatorial, &p.InnerInertiaX1,
                         &p.InnerInertiaZ1, &p.OuterInertiaX2, &p.KineticMoment, &p.MomentBetAmplitude,
                         &p.MomentBetFrequency, &p.DampFrequency})
            *f *= u(random);
        p.MassOffsetZ = 0.01f * u(random);
        p.MomentAlfAmplitude = 2 * u(random);
        p.DampMax = 0.02f * u(random);
        p.DampMin = 0.01f * u(random);
        p.InitialAlf = 0.3f * u(random);
        p.InitialBet = -0.2f * u(random);
        p.InitialBetRate = u(random);
        p.InitialTime = 0.5f;
        p.StopTime = 1.5f;
        p.PrintStep = 0.0003f;  // three steps a sample

        GimbalModel model;
        model.Params = p;
        ASSERT_TRUE(model.AllocateSeries().ok());
        ASSERT_TRUE(model.Calculate().ok());

        Reference ref{p};
        std::array<double, 5> y{p.InitialTime, p.InitialAlfRate, p.InitialBetRate, p.InitialAlf, p.InitialBet};
        const double h = p.Step;
        const long long n = model.StepsPerSample();
        ASSERT_EQ(n, 3);
        int sample = 0;
        long long j = 0;
        double mb = 0, ma = 0;
        double worst = 0;
        while (y[0] < double(p.StopTime)) {
            if (j >= n) {
                ASSERT_LT(sample, model.Recorded());
                worst = std::max({worst, std::fabs(model.Alf[sample] - y[3]), std::fabs(model.Bet[sample] - y[4]),
                                  std::fabs(model.AlfDot[sample] - y[1]) * 1e-2, std::fabs(model.BetDot[sample] - y[2]) * 1e-2});
                EXPECT_FLOAT_EQ(model.MomentBet[sample], float(-mb)) << "trial " << trial << " sample " << sample;
                EXPECT_FLOAT_EQ(model.MomentAlf[sample], float(ma)) << "trial " << trial << " sample " << sample;
                ++sample;
                j = 0;
            }
            auto add = [](const std::array<double, 5>& a, const std::array<double, 5>& k, double f) {
                std::array<double, 5> r;
                for (int i = 0; i < 5; ++i) r[i] = a[i] + f * k[i];
                return r;
            };
            const auto k1 = ref.rhs(y, mb, ma);
            const auto k2 = ref.rhs(add(y, k1, h / 2), mb, ma);
            const auto k3 = ref.rhs(add(y, k2, h / 2), mb, ma);
            const auto k4 = ref.rhs(add(y, k3, h), mb, ma);
            for (int i = 0; i < 5; ++i)
                y[i] += h / 6 * (k1[i] + 2 * k2[i] + 2 * k3[i] + k4[i]);
            ++j;
        }
        EXPECT_EQ(sample, model.Recorded()) << "trial " << trial;
        EXPECT_LT(worst, 1e-9) << "trial " << trial;
    }
}

TEST(GimbalDynamics, RunLoopAgreesWithThePlainStageProtocol)
{
    // The run fuses the stages with the equations and reuses cosines of time: the times and
    // the recorded moments must not change at all, the state only by rounding (within 1e-12
    // of each series' range).
    GimbalModel model;
    model.Params = fixtures::ShippedParameters();
    model.Params.StopTime = 0.5f;
    model.Params.DampMax = 0.03f;
    model.Params.MomentAlfAmplitude = 1.5f;
    model.Params.MomentAlfFrequency = 13;
    model.Params.MassOffsetZ = 0.002f;
    model.Params.InitialAlf = 0.4f;
    ASSERT_TRUE(model.AllocateSeries().ok());
    ASSERT_TRUE(model.Calculate().ok());

    GimbalModel plain;
    plain.Params = model.Params;
    plain.PrepareRunConstants();
    TRungeKutta4& rk = plain.Integrator;
    const ModelParameters& p = plain.Params;
    rk.Solution = {p.InitialTime, p.InitialAlfRate, p.InitialBetRate, p.InitialAlf, p.InitialBet};
    const long long n = plain.StepsPerSample();
    long long j = 0;
    std::array<std::vector<double>, 4> states;  // alpha', beta', alpha, beta
    int sample = 0;
    while (rk.Solution[0] < double(p.StopTime)) {
        if (j >= n) {
            ASSERT_LT(sample, model.Recorded());
            EXPECT_EQ(model.Time[sample], rk.Solution[0]) << "sample " << sample;
            EXPECT_EQ(model.MomentBet[sample], double(plain.CurMomentBet)) << "sample " << sample;
            EXPECT_EQ(model.MomentAlf[sample], double(plain.CurMomentAlf)) << "sample " << sample;
            for (int k = 0; k < 4; ++k)
                states[k].push_back(rk.Solution[k + 1]);
            ++sample;
            j = 0;
        }
        rk.BeginStep();
        while (rk.StageNo < 5) {
            plain.EvaluateDerivatives();
            rk.DoStage(p.Step);
        }
        ++j;
    }
    ASSERT_EQ(sample, model.Recorded());
    const std::vector<double>* run[] = {&model.AlfDot, &model.BetDot, &model.Alf, &model.Bet};
    for (int k = 0; k < 4; ++k) {
        const auto [lo, hi] = std::minmax_element(states[k].begin(), states[k].end());
        ASSERT_GT(*hi - *lo, 0) << "series " << k;
        for (int i = 0; i < sample; ++i)
            ASSERT_LE(std::fabs((*run[k])[i] - states[k][i]), 1e-12 * (*hi - *lo)) << "series " << k << ", sample " << i;
    }
}
