#pragma once

namespace glpanel {

// Masks every floating-point exception (invalid, denormal, divide by zero, overflow,
// underflow, inexact) so that faults give infinities and NaNs instead of traps.
void MaskFloatingPointExceptions();

} // namespace glpanel
