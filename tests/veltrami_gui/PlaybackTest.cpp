#include "Playback.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

struct IndicatorRow {
    const char* name;
    double m;
    float lo, hi;
    bool positiveBefore;
    float level;
    bool positive;
};

TEST(TorqueIndicator, FollowsTheSeriesExtremesRowByRow)
{
    const IndicatorRow rows[] = {
        {"never negative, between the extremes", 3, 1, 5, false, 0.5f, false},
        {"never negative keeps a set direction", 3, 1, 5, true, 0.5f, true},
        {"constant series gives m / max", 2, 4, 4, false, 0.5f, false},
        {"zero throughout gives 0, not 0/0", 0, 0, 0, true, 0.0f, true},
        {"sign change, positive sample", 2, -4, 4, false, 0.5f, true},
        {"sign change, negative sample", -1, -4, 4, true, 0.25f, false},
        {"sign change, zero sample counts as negative", 0, -4, 4, true, 0.0f, false},
    };
    for (const IndicatorRow& row : rows) {
        float level = -1;
        bool positive = row.positiveBefore;
        veltrami::UpdateTorqueIndicator(row.m, row.lo, row.hi, level, positive);
        EXPECT_FALSE(std::isnan(level)) << row.name;
        EXPECT_FLOAT_EQ(level, row.level) << row.name;
        EXPECT_EQ(positive, row.positive) << row.name;
    }
}

TEST(SampleTime, GroupedFixedWithThreeDecimals)
{
    const numfmt::Separators point = numfmt::PointSeparators();
    const numfmt::Separators comma = numfmt::CommaSeparators();
    EXPECT_EQ(veltrami::SampleTimeText(15, 0.1f, point), "Время, сек 1.500");
    EXPECT_EQ(veltrami::SampleTimeText(117, 0.1f, comma), "Время, сек 11,700");
    EXPECT_EQ(veltrami::SampleTimeText(0, 0.1f, point), "Время, сек 0.000");
}

TEST(ViewAngle, ScalesBy314159265Over180)
{
    EXPECT_FLOAT_EQ(veltrami::ViewAngle(180), 3.141592654f);
    EXPECT_FLOAT_EQ(veltrami::ViewAngle(-0.5), static_cast<float>(-0.5 * 3.141592654 / 180));
}

} // namespace
