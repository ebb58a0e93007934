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

