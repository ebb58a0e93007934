#pragma once

// The ensemble's kernels, one per instruction set, each in its own translation unit.

#include "TuningForkLanes.h"

namespace pelisond {

// lanes::Advance on four runs; runs points to their four constants.
using AdvanceBlockFunction = unsigned (*)(const RunConstants* const* runs, LaneBlock& block, double h, double stop,
                                          long long steps, bool driftAtEnd, unsigned watched, long long& taken);

unsigned AdvanceBlockPortable(const RunConstants* const* runs, LaneBlock& block, double h, double stop,
                              long long steps, bool driftAtEnd, unsigned watched, long long& taken);
#if GYRO_AVX2_LANES
unsigned AdvanceBlockAvx2(const RunConstants* const* runs, LaneBlock& block, double h, double stop, long long steps,
                          bool driftAtEnd, unsigned watched, long long& taken);
#endif

} // namespace pelisond
