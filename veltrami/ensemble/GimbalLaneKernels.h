#pragma once

// The gimbal ensemble's kernels, one per instruction set, each in its own translation unit.

#include "GimbalLanes.h"

namespace veltrami {

// lanes::AdvanceGimbal on four runs; runs points to their four constants.
using AdvanceGimbalBlockFunction = unsigned (*)(const GimbalRunConstants* const* runs, GimbalLaneBlock& block, double h,
                                                double stop, long long steps, unsigned watched, long long& taken);

unsigned AdvanceGimbalBlockPortable(const GimbalRunConstants* const* runs, GimbalLaneBlock& block, double h,
                                    double stop, long long steps, unsigned watched, long long& taken);
#if GYRO_AVX2_LANES
unsigned AdvanceGimbalBlockAvx2(const GimbalRunConstants* const* runs, GimbalLaneBlock& block, double h, double stop,
                                long long steps, unsigned watched, long long& taken);
#endif

} // namespace veltrami
