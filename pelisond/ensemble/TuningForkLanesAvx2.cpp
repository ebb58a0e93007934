// The tuning-fork lanes in AVX2 registers. Only this file is compiled for AVX2, and without
// FMA, so every lane rounds as a one-lane run does; the ensemble calls it only where the
// processor has AVX2.
#define GYRO_LANES_NAMESPACE lanes_avx2
#include "TuningForkLaneKernels.h"

namespace pelisond {

unsigned AdvanceBlockAvx2(const RunConstants* const* runs, LaneBlock& block, double h, double stop, long long steps,
                          bool driftAtEnd, unsigned watched, long long& taken)
{
    return lanes_avx2::AdvanceBlock<::lanes_avx2::FourLanes>(runs, block, h, stop, steps, driftAtEnd, watched, taken);
}

} // namespace pelisond
