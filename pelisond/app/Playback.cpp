#include "Playback.h"

#include <algorithm>

namespace pelisond {

std::string SampleTimeText(int k, float printStep, const numfmt::Separators& separators, int decimals)
{
    const long double time = static_cast<long double>(k) * printStep;
    return "Время, сек " + numfmt::FormatFixedGrouped(static_cast<double>(time), 5, decimals, separators);
}

int LastShownSample(int sampleCount, int recorded)
{
    // A run that diverged or was sized differently may hold fewer samples than SampleCount says.
    return std::min(sampleCount - 2, recorded - 1);
}

} // namespace pelisond
