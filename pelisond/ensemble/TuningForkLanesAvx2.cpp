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

// The C library's four-lane AVX2 cosine (libmvec), for lanes that drive at different
// frequencies: one call about as dear as one scalar cosine instead of four. It is within a few
// units in the last place of the scalar cosine, so such lanes agree with their runs alone to
// rounding (about 1e-13 of each series' range over 400,000 steps) rather than bit for bit;
// lanes driving at one frequency share one scalar cosine and stay bit for bit.
extern "C" Avx2Lanes _ZGVdN4v_cos(Avx2Lanes);

namespace {
struct VectorCosine {
    static constexpr bool OneForEqualFrequencies = true;
    [[gnu::always_inline]] static Avx2Lanes Of(const Avx2Lanes& x) { return _ZGVdN4v_cos(x); }
};
}

unsigned AdvanceBlockAvx2(const RunConstants* const* runs, LaneBlock& block, double h, double stop, long long steps,
                          bool driftAtEnd, unsigned watched, long long& taken)
{
    return lanes_avx2::AdvanceBlock<Avx2Lanes, VectorCosine>(runs, block, h, stop, steps, driftAtEnd, watched, taken);
}

} // namespace pelisond
