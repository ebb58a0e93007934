#include "Playback.h"

#include <cmath>

namespace veltrami {

void UpdateTorqueIndicator(double m, float lo, float hi, float& level, bool& positive)
{
    long double value = 0;
    if (lo >= 0) {
        if (hi != lo)
            value = (m - lo) / (static_cast<long double>(hi) - lo);
        else if (hi != 0)
            value = m / static_cast<long double>(hi);
    } else if (m > 0) {
        positive = true;
        value = m / static_cast<long double>(hi);
    } else {
        positive = false;
        value = std::fabs(m / static_cast<long double>(lo));
    }
    level = static_cast<float>(value);
}

float ViewAngle(double angle)
{
    return static_cast<float>(angle * 3.141592654 * (1.0L / 180));
}

std::string SampleTimeText(int k, float printStep, const numfmt::Separators& separators)
{
    const long double time = static_cast<long double>(k) * printStep;
    return "Время, сек " + numfmt::FormatFixedGrouped(static_cast<double>(time), 5, 3, separators);
}

} // namespace veltrami
