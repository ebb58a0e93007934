#pragma once

#include "NumberFormat.h"

#include <string>

namespace veltrami {

// Length factor and direction of the 3D view's indicator of one frame's moment for
// the moment m of the shown sample and the extremes lo, hi of its series:
//   never negative (lo >= 0): (m - lo) / (hi - lo), or m / hi for a constant series,
//                             the direction left as it was;
//   changing sign, m > 0:     m / hi, positive;
//   changing sign, m <= 0:    |m / lo|, negative.
// A series that is zero throughout has no length to show: level 0.
void UpdateTorqueIndicator(double m, float lo, float hi, float& level, bool& positive);

// An angle of the series as the 3D view takes it: times 3.141592654 / 180, in 32 bits.
float ViewAngle(double angle);

// The 3D view's time label for sample k.
std::string SampleTimeText(int k, float printStep, const numfmt::Separators& separators);

} // namespace veltrami
