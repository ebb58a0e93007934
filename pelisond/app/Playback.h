#pragma once

#include "NumberFormat.h"

#include <string>

namespace pelisond {

// The 3D view's time label for sample k: "Время, сек " and k * printStep, grouped, with
// 5 significant digits and the given number of decimals (4 while playing, 3 after a rewind).
std::string SampleTimeText(int k, float printStep, const numfmt::Separators& separators, int decimals = 4);

// The last sample the animation may show: two before the end of what the windows use,
// and never past what the latest run recorded (-1 when it recorded nothing).
int LastShownSample(int sampleCount, int recorded);

} // namespace pelisond
