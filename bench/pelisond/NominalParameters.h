#pragma once

#include "ModelParameters.h"

namespace pelisond::bench {

// The shipped data file's parameters, as the parameter window shows them.
inline ModelParameters Nominal()
{
    ModelParameters p;
    const float values[] = {0.000003f, 0.00003f, 0.119f, 500, 1500, 0.0000042f, 0.000001f, 0.2f, 49500, 49500,
                            1150000000, 62000000000.0f, 62800, 1, 0, 0, 39.4f, 39.4f, 1.2f, 951e15f,
                            1554e8f, 1554e8f, 6448e8f, 6448e8f, 90000, 90000, 0, 0, 0, 0};
    for (std::size_t k = 0; k < ModelParameters::Count; ++k)
        p.at(k) = values[k];
    RoundTripThroughDisplay(p);
    return p;
}

} // namespace pelisond::bench
