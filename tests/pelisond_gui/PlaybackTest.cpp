#include "Playback.h"

#include <gtest/gtest.h>

namespace {

TEST(SampleTime, GroupedFixedWithFiveDigitsAndFourDecimals)
{
    const numfmt::Separators point = numfmt::PointSeparators();
    const numfmt::Separators comma = numfmt::CommaSeparators();
    EXPECT_EQ(pelisond::SampleTimeText(1000, 0.00003f, comma), "Время, сек 0,0300");
    EXPECT_EQ(pelisond::SampleTimeText(3964, 0.00003f, point), "Время, сек 0.1189");
    EXPECT_EQ(pelisond::SampleTimeText(0, 0.00003f, point), "Время, сек 0.0000");
    // Five significant digits at most: the decimals of a large time are zeros, grouped.
    EXPECT_EQ(pelisond::SampleTimeText(12346, 1.0f, point), "Время, сек 12,346.0000");
    EXPECT_EQ(pelisond::SampleTimeText(123456, 0.1f, point), "Время, сек 12,346.0000");
    // After a rewind the view shows three decimals.
    EXPECT_EQ(pelisond::SampleTimeText(0, 0.00003f, comma, 3), "Время, сек 0,000");
}

TEST(LastShownSample, TwoBeforeTheEndAndNeverPastTheRecordedSamples)
{
    struct Row {
        const char* name;
        int sampleCount, recorded, last;
    } const rows[] = {
        {"nominal run records one more than it shows", 3966, 3967, 3964},
        {"run that stopped early", 3966, 120, 119},
        {"two samples: nothing to advance to", 2, 3, 0},
        {"one sample", 1, 2, -1},
        {"nothing recorded yet", 3966, 0, -1},
    };
    for (const Row& row : rows)
        EXPECT_EQ(pelisond::LastShownSample(row.sampleCount, row.recorded), row.last) << row.name;
}

} // namespace
