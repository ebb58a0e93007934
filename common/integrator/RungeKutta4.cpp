#include "RungeKutta4.h"

#include <stdexcept>

TRungeKutta4::TRungeKutta4(int dimension)
{
    if (dimension < 1)
        throw std::invalid_argument("TRungeKutta4: dimension must be positive");
    Point.assign(dimension, 0.0);
    Solution.assign(dimension, 0.0);
    Derivative.assign(dimension, 0.0);
    for (auto& k : K)
        k.assign(dimension, 0.0);
    LastIndex = dimension - 1;
}

void TRungeKutta4::BeginStep()
{
    for (int i = 0; i <= LastIndex; ++i) {
        Point[i] = Solution[i];
        K[0][i] = 0.0;
    }
    StageNo = 1;
}

void TRungeKutta4::DoStage(double h)
{
    static constexpr double weights[5] = {0.0, 1.0, 2.0, 1.0, 1.0};
    static constexpr double oneSixth = 1.0 / 6.0;
    const int s = StageNo;
    if (s < 1 || s > 4)
        throw std::logic_error("TRungeKutta4::DoStage called outside a step");
    const double w = weights[s];
    double* point = Point.data();
    double* solution = Solution.data();
    const double* derivative = Derivative.data();
    const double* previous = K[s - 1].data();
    double* current = K[s].data();
    // Each evaluation point is measured from the step's start: the previous stage's
    // half increment is taken back before this stage's is added. K[3] holds 2*k3,
    // so the fourth point lands at y + k3.
    for (int i = 0; i <= LastIndex; ++i) {
        point[i] = point[i] - 0.5 * previous[i];
        double k = derivative[i] * h;
        if (s == 3)
            k = k * 2.0;
        current[i] = k;
        point[i] = 0.5 * k + point[i];
        solution[i] = w * k * oneSixth + solution[i];
    }
    StageNo = s + 1;
}
