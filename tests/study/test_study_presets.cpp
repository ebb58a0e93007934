// The shipped characteristics against what the models' equations give by hand in a limit.
#include "StudyTestSupport.h"

#include "Outputs.h"
#include "ScaleFactor.h"
#include "TuningForkModel.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>

namespace {

int FigureIndex(const study::Study& s, const std::string& name)
{
    for (std::size_t k = 0; k < s.figures.size(); ++k)
        if (s.figures[k].name == name)
            return static_cast<int>(k);
    ADD_FAILURE() << "no figure " << name;
    return 0;
}

} // namespace

// Undamped, the gimbal's nutation resonance lies at H / sqrt(J_alpha J_beta), with
// J_alpha = A + I_x1 + I_x2 and J_beta = A + I_x1 at beta = 0; the light damping of the data
// file moves it by far less than the sweep's spacing.
TEST(StudyPresets, GimbalFrequencyResponsePeaksAtTheNutationFrequency)
{
    const study::Study s = studytest::ParseExample("veltrami-frequency-response");
    const double A = static_cast<float>(0.0003), Ix1 = static_cast<float>(0.0002), Ix2 = static_cast<float>(0.0015);
    const double nutation = 1.0 / std::sqrt((A + Ix1 + Ix2) * (A + Ix1));
    const auto rows = studytest::RunAll(s);
    ASSERT_EQ(rows.size(), 41u);
    const double spacing = std::pow(100.0, 1.0 / 40);
    for (const char* figure : {"alpha", "beta"}) {
        SCOPED_TRACE(figure);
        const int f = FigureIndex(s, figure);
        const auto peak = std::max_element(rows.begin(), rows.end(),
                                           [&](const auto& a, const auto& b) { return a.figures[f] < b.figures[f]; });
        EXPECT_LT(std::abs(std::log(peak->values[0] / nutation)), std::log(spacing) / 2);
        // A resonance, not a slope: well above both neighbours.
        const auto k = static_cast<std::size_t>(peak - rows.begin());
        ASSERT_TRUE(k > 0 && k + 1 < rows.size());
        EXPECT_GT(peak->figures[f], 3 * rows[k - 1].figures[f]);
        EXPECT_GT(peak->figures[f], 3 * rows[k + 1].figures[f]);
    }
    // The presets run long enough for every figure to settle.
    EXPECT_EQ(study::Summary(s, rows, false)["warnings"], study::Json::array());
}

// Linear in a small rate Omega, with the drive tuned to the X mode: u = x1 + L = -(x2 - L) has the
// phasor U = F0 / (k_x - m w^2 + i c_x w); the Coriolis forces drive the frame and the antiphase
// Y motion q = y2 = -y1 at w, s = i w:
//   (J s^2 + c_fi s + k_fi) Phi + 2 m L s^2 Q = 4 m L Omega s U
//   m L s^2 Phi + (m s^2 + c_y s + k_y) Q     = 2 m Omega s U
// with J = I_own + 2 m L^2 + m |U|^2 the frame's mean inertia. The resonance conditions tune the
// coupled frame and Y motion to w, so the response lags the Coriolis force (in phase with the drive
// velocity, cos w t) by nearly a quarter period: the figures are the sin w t components, -Im Phi, -Im Q.
TEST(StudyPresets, TuningForkScaleFactorIsTheLinearSmallRateResponse)
{
    const study::Study s = studytest::ParseExample("pelisond-scale-factor");
    const auto rows = studytest::RunAll(s);
    ASSERT_EQ(rows.size(), 27u);
    for (const auto& row : rows)
        ASSERT_EQ(row.kind, RunStatus::Kind::Finished) << row.message;

    pelisond::ModelParameters p;
    for (std::size_t k = 0; k < p.Count; ++k)
        p.at(k) = static_cast<float>(s.baseValues[k]);
    pelisond::RoundTripThroughDisplay(p);
    const auto stiff = pelisond::ComputeResonanceStiffnesses(p);
    p.StiffnessFi = stiff.Fi;
    p.StiffnessY1 = stiff.Y1;
    p.StiffnessY2 = stiff.Y2;
    const pelisond::RunConstants c = pelisond::ComputeRunConstants(p);
    using C = std::complex<double>;
    const double m = p.Mass1, L = p.AxisDistance, w = p.DriveFrequency;
    const C sw(0, w);
    const C U = double(p.DriveAmplitude) / (double(p.StiffnessX1) - m * w * w + C(0, double(p.DampX1) * w));
    const double J = c.Iown + 2 * m * L * L + m * std::norm(U);
    const C a11 = J * sw * sw + double(p.DampFi) * sw + double(p.StiffnessFi), a12 = 2 * m * L * sw * sw;
    const C a21 = m * L * sw * sw, a22 = m * sw * sw + double(p.DampY1) * sw + double(p.StiffnessY1);
    const C b1 = 4 * m * L * sw * U, b2 = 2 * m * sw * U;  // per unit rate
    const C det = a11 * a22 - a12 * a21;
    const C Phi = (b1 * a22 - a12 * b2) / det, Q = (a11 * b2 - a21 * b1) / det;

    const study::Characteristic ch = study::ComputeCharacteristic(s, rows);
    ASSERT_EQ(ch.groups.size(), 3u);
    const study::CharacteristicGroup& reference = ch.groups[0];  // no temperature drop
    ASSERT_EQ(reference.other, 0.0);
    const std::pair<const char*, C> expected[] = {{"fi", Phi}, {"y1", -Q}, {"y2", Q}};
    for (std::size_t r = 0; r < 3; ++r) {
        SCOPED_TRACE(expected[r].first);
        EXPECT_EQ(reference.responses[r].figure, expected[r].first);
        EXPECT_NEAR(reference.responses[r].scaleFactor, -expected[r].second.imag(), 0.02 * std::abs(expected[r].second));
        EXPECT_LT(reference.responses[r].nonlinearityPercent, 0.1);
    }
    // At zero rate nothing drives the frame or the Y motion, and without them every term of the
    // drift estimate vanishes, whatever the temperature drop.
    for (const auto& group : ch.groups)
        EXPECT_EQ(group.driftAtZeroRate, 0.0);
    EXPECT_EQ(study::Summary(s, rows, false)["warnings"], study::Json::array());
}

// The batch scatter: with no scatter every device of the batch is perfect and its drift
// estimate exactly zero; with zero-mean errors the drift, first order in them, averages out
// (to within the sampling error of the batch's mean).
TEST(StudyPresets, BatchScatterVanishesWithoutErrorsAndAveragesOut)
{
    std::string text = studytest::ReadAll(std::string(GYRO_EXAMPLES_DIR) + "pelisond-batch-scatter.json");
    study::Json perfect = study::ParseStudyText(text);
    perfect["montecarlo"]["count"] = 3;
    for (auto& [field, spec] : perfect["montecarlo"]["vary"].items())
        spec["normal"][1] = 0;
    for (const auto& row : studytest::RunAll(studytest::Parse(perfect.dump())))
        EXPECT_EQ(row.figures[0], 0.0);

    const study::Study s = studytest::ParseExample("pelisond-batch-scatter");
    const auto rows = studytest::RunAll(s, 2, true);  // through the lanes, as gyro-study makes them
    const study::Json summary = study::Summary(s, rows, false);
    const auto& drift = summary["figures"]["drift"];
    ASSERT_EQ(drift["count"].get<long long>(), s.RunCount());
    const double sd = drift["sd"].get<double>();
    EXPECT_GT(sd, 0);
    EXPECT_LT(std::abs(drift["mean"].get<double>()), 4 * sd / std::sqrt(static_cast<double>(s.RunCount())));
    EXPECT_LE(drift["p5"].get<double>(), drift["p50"].get<double>());
    EXPECT_LE(drift["p50"].get<double>(), drift["p95"].get<double>());
    EXPECT_EQ(summary["warnings"], study::Json::array());
}
