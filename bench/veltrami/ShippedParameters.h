#pragma once

#include "ModelParameters.h"

namespace veltrami::bench {

// The shipped data file's parameters.
inline ModelParameters Shipped()
{
    ModelParameters p;
    const float values[] = {0.0001f, 0.01f, 12, 1, 0.01f, 0.01f, 10, 0.0003f, 0.0004f, 0.0002f, 0.0002f, 0.0003f, 0.0015f, 1,
                            0, 4, 20, 0, 20, 0, 0, 1.125f, 0, 0, 0, 0, 0};
    for (std::size_t k = 0; k < ModelParameters::Count; ++k)
        p.at(k) = values[k];
    return p;
}

} // namespace veltrami::bench
