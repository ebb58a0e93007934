#include "RungeKutta4.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <stdexcept>
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
