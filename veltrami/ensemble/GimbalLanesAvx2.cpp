// The gimbal lanes in AVX2 registers. Only this file is compiled for AVX2, and without FMA, so
// every lane rounds as a one-lane run does; the ensemble calls it only where the processor has
// AVX2.
#define GYRO_LANES_NAMESPACE lanes_avx2
#include "GimbalLaneKernels.h"

namespace veltrami {

unsigned AdvanceGimbalBlockAvx2(const GimbalRunConstants* const* runs, GimbalLaneBlock& block, double h, double stop,
                                long long steps, unsigned watched, long long& taken)
{
    return lanes_avx2::AdvanceGimbalBlock<::lanes_avx2::FourLanes>(runs, block, h, stop, steps, watched, taken);
}

} // namespace veltrami
