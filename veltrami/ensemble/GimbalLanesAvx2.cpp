// The gimbal lanes in AVX2 registers, with the C library's vector sines and cosines (Avx2Trig):
// the lanes agree with their runs alone to rounding. Only this file is compiled for AVX2, and
// without FMA; the ensemble calls it only where the processor has AVX2.
#define GYRO_LANES_NAMESPACE lanes_avx2
#include "GimbalLaneKernels.h"
#include "LanesAvx2.h"

namespace veltrami {

unsigned AdvanceGimbalBlockAvx2(const GimbalRunConstants* const* runs, GimbalLaneBlock& block, double h, double stop,
                                long long steps, unsigned watched, long long& taken)
{
    return lanes_avx2::AdvanceGimbalBlock<::lanes_avx2::FourLanes, ::lanes_avx2::Avx2Trig>(runs, block, h, stop, steps,
                                                                                          watched, taken);
}

} // namespace veltrami
