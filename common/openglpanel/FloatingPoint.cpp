#include "FloatingPoint.h"

#include <cfenv>

#if defined(__x86_64__) || defined(__i386__)
#include <fpu_control.h>
#include <xmmintrin.h>
#endif

namespace glpanel {

void MaskFloatingPointExceptions()
{
#if defined(__x86_64__) || defined(__i386__)
    // x87 control word: mask bits 0..5. SSE keeps its own masks (MXCSR bits 7..12), which
    // is where 64-bit code does its arithmetic, so both are set.
    fpu_control_t cw;
    _FPU_GETCW(cw);
    cw |= 0x3F;
    _FPU_SETCW(cw);
    _mm_setcsr(_mm_getcsr() | 0x1F80u);
#else
    fedisableexcept(FE_ALL_EXCEPT);
#endif
}

} // namespace glpanel
