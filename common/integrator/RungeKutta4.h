#pragma once

#include <array>
#include <stdexcept>
#include <vector>

// Classic fixed-step fourth-order Runge-Kutta scheme, driven stage by stage:
// the caller evaluates the right-hand side at Point into Derivative, then calls DoStage.
//
//   integrator.BeginStep();
//   while (integrator.StageNo < 5) { rhs(integrator.Point, integrator.Derivative); integrator.DoStage(h); }
class TRungeKutta4 {
public:
    explicit TRungeKutta4(int dimension);

    // Copies Solution into Point, clears K[0] and sets StageNo to 1.
    void BeginStep();
    // Takes stage StageNo with step h from the Derivative the caller filled, then advances StageNo.
    void DoStage(double h);

    int Dimension() const { return LastIndex + 1; }

    std::vector<double> Point;
    std::vector<double> Solution;
    std::vector<double> Derivative;
    // K[1] .. K[4] receive the stage increments; K[3] holds 2*k3. K[0] stays zero within a step.
    std::array<std::vector<double>, 6> K;
    int LastIndex = -1;
    int StageNo = 5;
};

// The times of a step's four evaluation points and the time the step ends at, rounded exactly
// as DoStage rounds a component whose derivative is 1. A stepper that fuses the stages with
// its right-hand side advances its time with these, so that it takes the same steps and
// samples at the same times as the stage-by-stage protocol.
struct RungeKutta4Times {
    double stage[4];
    double next;
};

[[gnu::always_inline]] inline RungeKutta4Times StepTimes(double t, double h)
{
    constexpr double oneSixth = 1.0 / 6.0;
    const double halfH = 0.5 * h, twoH = 2.0 * h;
    RungeKutta4Times times;
    times.stage[0] = t;
    times.stage[1] = halfH + t;
    times.stage[2] = halfH + (times.stage[1] - halfH);
    times.stage[3] = 0.5 * twoH + (times.stage[2] - halfH);
    times.next = h * oneSixth + (twoH * oneSixth + (h * (2.0 * oneSixth) + (h * oneSixth + t)));
    return times;
}

// The stages are inline: they run four times a step inside the models' loops.
inline void TRungeKutta4::BeginStep()
{
    double* __restrict point = Point.data();
    const double* __restrict solution = Solution.data();
    double* __restrict k0 = K[0].data();
    for (int i = 0; i <= LastIndex; ++i) {
        point[i] = solution[i];
        k0[i] = 0.0;
    }
    StageNo = 1;
}

inline void TRungeKutta4::DoStage(double h)
{
    static constexpr double weights[5] = {0.0, 1.0, 2.0, 1.0, 1.0};
    static constexpr double oneSixth = 1.0 / 6.0;
    const int s = StageNo;
    if (s < 1 || s > 4)
        throw std::logic_error("TRungeKutta4::DoStage called outside a step");
    // Doubling is exact in binary, so (d*h)*2 == d*(2h) and (w*k)/6 == k*(w/6) to the last bit:
    // the per-stage factors are formed once instead of per component.
    const double scale = s == 3 ? 2.0 * h : h;
    const double solutionWeight = weights[s] * oneSixth;
    // The arrays never overlap; saying so lets the compiler keep values in registers.
    double* __restrict point = Point.data();
    double* __restrict solution = Solution.data();
    const double* __restrict derivative = Derivative.data();
    const double* __restrict previous = K[s - 1].data();
    double* __restrict current = K[s].data();
    // Each evaluation point is measured from the step's start: the previous stage's
    // half increment is taken back before this stage's is added. K[3] holds 2*k3,
    // so the fourth point lands at y + k3.
    for (int i = 0; i <= LastIndex; ++i) {
        const double k = derivative[i] * scale;
        current[i] = k;
        point[i] = 0.5 * k + (point[i] - 0.5 * previous[i]);
        solution[i] = k * solutionWeight + solution[i];
    }
    StageNo = s + 1;
}
