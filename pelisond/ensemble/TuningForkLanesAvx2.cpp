// The lanes in AVX2 registers. Only this file is compiled for AVX2, and without FMA, so every
// lane rounds exactly as a one-lane run does; the ensemble calls it only where the processor
// has AVX2. Nothing from the standard library is instantiated here, so no out-of-line copy
// compiled for AVX2 can stand in for the baseline one elsewhere in the program.
#define PELISOND_LANES_NAMESPACE lanes_avx2
#include "TuningForkLaneKernels.h"

namespace pelisond {

namespace {
typedef double Avx2Lanes __attribute__((vector_size(32)));
}

unsigned AdvanceBlockAvx2(const RunConstants* const* runs, LaneBlock& block, double h, double stop, long long steps,
                          bool driftAtEnd, unsigned watched, long long& taken)
{
    return lanes_avx2::AdvanceBlock<Avx2Lanes>(runs, block, h, stop, steps, driftAtEnd, watched, taken);
}

} // namespace pelisond
