#pragma once

#include <array>
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
