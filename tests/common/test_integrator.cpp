#include "LaneSinCos.h"
#include "RungeKutta4.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <functional>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using Rhs = std::function<void(const std::vector<double>&, std::vector<double>&)>;

void Step(TRungeKutta4& rk, double h, const Rhs& rhs, std::vector<double>* stageTimes = nullptr)
{
    rk.BeginStep();
    while (rk.StageNo < 5) {
        if (stageTimes)
            stageTimes->push_back(rk.Point[0]);
        rhs(rk.Point, rk.Derivative);
        rk.DoStage(h);
    }
}

// Component 0 is time (derivative 1); component 1 follows y' = f(t, y).
double Integrate(double h, int steps, const std::function<double(double, double)>& f)
{
    TRungeKutta4 rk(2);
    rk.Solution = {0.0, 1.0};
    const Rhs rhs = [&f](const std::vector<double>& p, std::vector<double>& d) {
        d[0] = 1.0;
        d[1] = f(p[0], p[1]);
    };
    for (int i = 0; i < steps; ++i)
        Step(rk, h, rhs);
    return rk.Solution[1];
}

TEST(RungeKutta4, FourthOrderOnExponentialDecay)
{
    const auto decay = [](double, double y) { return -y; };
    const double exact = std::exp(-1.0);
    const double coarse = std::fabs(Integrate(0.1, 10, decay) - exact);
    const double fine = std::fabs(Integrate(0.05, 20, decay) - exact);
    EXPECT_LT(coarse, 1e-6);
    EXPECT_NEAR(coarse / fine, 16.0, 1.0);
}

// On y' = g(t) the scheme is Simpson's rule, exact for cubics: this pins the stage
// times and the 1-2-2-1 weights.
TEST(RungeKutta4, ExactForCubicInTime)
{
    const double y = Integrate(0.5, 2, [](double t, double) { return 4.0 * t * t * t; });
    EXPECT_NEAR(y, 2.0, 1e-14);
}

TEST(RungeKutta4, ConstantDerivativesAdvanceByHTimesF)
{
    TRungeKutta4 rk(3);
    rk.Solution = {2.0, 5.0, -1.0};
    std::vector<double> stageTimes;
    const double h = 0.25;
    Step(rk, h, [](const std::vector<double>&, std::vector<double>& d) { d = {1.0, -3.0, 0.5}; }, &stageTimes);
    EXPECT_DOUBLE_EQ(rk.Solution[0], 2.0 + h);
    EXPECT_DOUBLE_EQ(rk.Solution[1], 5.0 - 3.0 * h);
    EXPECT_DOUBLE_EQ(rk.Solution[2], -1.0 + 0.5 * h);
    EXPECT_EQ(stageTimes, (std::vector<double>{2.0, 2.0 + h / 2, 2.0 + h / 2, 2.0 + h}));
    EXPECT_EQ(rk.StageNo, 5);
}

TEST(RungeKutta4, MisuseThrows)
{
    EXPECT_THROW(TRungeKutta4(0), std::invalid_argument);
    TRungeKutta4 rk(1);
    EXPECT_THROW(rk.DoStage(0.1), std::logic_error) << "before any step";
    Step(rk, 0.1, [](const std::vector<double>&, std::vector<double>& d) { d[0] = 1.0; });
    EXPECT_THROW(rk.DoStage(0.1), std::logic_error) << "after the fourth stage";
}

} // namespace

// The models' sines and cosines: within two units in the last place of the C library's over
// every range a run's arguments take, and the same bits in a lane of four as alone, whatever
// the other lanes hold (arguments beyond the reduction's range, infinities and NaN included).
TEST(LaneSinCos, AgreesWithTheCLibraryAndGivesEachLaneItsOneLaneBits)
{
    std::vector<double> xs = {0.0, -0.0, 1e-300, 0.7853981633974483, 0.7853981633974484, 1.5707963267948966,
                              3.141592653589793, -4.71238898038469, 0x1p25, -0x1p25, 0x1p25 * 1.0000001, 1e300,
                              INFINITY, -INFINITY, NAN};
    for (int k = 1; k <= 200; ++k)
        for (double near : {k * 1.5707963267948966, k * 0.7853981633974483})
            xs.insert(xs.end(), {near, std::nextafter(near, 0.0), std::nextafter(near, INFINITY)});
    std::mt19937_64 random(18);
    for (double scale : {1e-6, 1.0, 7.0, 1e3, 7.5e3, 1e5, 1e7, 3e7})
        for (int k = 0; k < 4000; ++k)
            xs.push_back(std::uniform_real_distribution<double>(-scale, scale)(random));
    while (xs.size() % 4 != 0)
        xs.push_back(1.0);

    auto ulps = [](double value, double reference) {
        if (std::isnan(reference))
            return std::isnan(value) ? 0.0 : INFINITY;
        const double ulp = std::nextafter(std::fabs(reference), INFINITY) - std::fabs(reference);
        return std::fabs(value - reference) / ulp;
    };
    auto bits = [](double x) { return std::bit_cast<std::uint64_t>(x); };
    double worst = 0;
    for (std::size_t first = 0; first < xs.size(); first += 4) {
        lanes::FourLanes x4, s4, c4;
        for (int l = 0; l < 4; ++l)
            lanes::Lane(x4, l) = xs[first + l];
        lanes::SinCos(x4, s4, c4);
        const lanes::FourLanes cosOnly4 = lanes::Cos(x4);
        for (int l = 0; l < 4; ++l) {
            const double x = xs[first + l];
            double s = 0, c = 0;
            lanes::SinCos(x, s, c);
            SCOPED_TRACE(x);
            worst = std::max({worst, ulps(s, std::sin(x)), ulps(c, std::cos(x))});
            ASSERT_LE(ulps(s, std::sin(x)), 2.0);
            ASSERT_LE(ulps(c, std::cos(x)), 2.0);
            EXPECT_EQ(bits(lanes::Cos(x)), bits(c));
            EXPECT_EQ(bits(lanes::Lane(s4, l)), bits(s));
            EXPECT_EQ(bits(lanes::Lane(c4, l)), bits(c));
            EXPECT_EQ(bits(lanes::Lane(cosOnly4, l)), bits(c));
        }
    }
    RecordProperty("worst_ulps_against_libm", std::to_string(worst));
}
