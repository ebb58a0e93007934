// The step suggested after a diverged run: a round 1-2-5 step within the scheme's comfort zone.
#include "StepAdvice.h"

#include <gtest/gtest.h>

TEST(StepAdvice, SuggestsTheLargestRoundStepWithinTheRate)
{
    struct Row { double rate, step; };
    const Row rows[] = {
        {1000, 2e-4},     // exactly 0.2 / rate
        {999, 2e-4},      // a little room above 2e-4
        {1001, 1e-4},     // just too fast for 2e-4
        {127933, 1e-6},   // 1.56e-6 rounds down to 1e-6
        {30, 5e-3},       // 6.7e-3 rounds down to 5e-3
        {0.02, 10},       // slow models get large steps
    };
    for (const Row& row : rows)
        EXPECT_DOUBLE_EQ(stepadvice::SuggestedStep(row.rate), row.step) << "rate " << row.rate;
}

TEST(StepAdvice, SaysNothingWithoutARate)
{
    for (double rate : {0.0, -5.0, std::nan(""), HUGE_VAL})
        EXPECT_EQ(stepadvice::SuggestedStep(rate), 0.0) << rate;
    EXPECT_EQ(stepadvice::Advice(0.0, 0.1, [](double) { return std::string("x"); }), "");
    const std::string advice = stepadvice::Advice(1000.0, 0.1, [](double v) { return std::to_string(v); });
    EXPECT_NE(advice.find("Рекомендуемый шаг расчета: не более 0.000200"), std::string::npos) << advice;
}

TEST(StepAdvice, NeverAdvisesAStepThatIsNotSmallerThanTheOneThatDiverged)
{
    struct Row { double rate, diverged, advised; };
    const Row rows[] = {
        {1000, 0.1, 2e-4},   // the rate's step is smaller: it stands
        {1000, 2e-4, 1e-4},  // the rate's step itself diverged: half of it
        {1000, 1e-4, 5e-5},  // a step below the rate's: half of the one that diverged
        {1e-9, 3e-3, 1e-3},  // a slow model that diverged all the same
    };
    for (const Row& row : rows) {
        const double advised = stepadvice::AdvisedStep(row.rate, row.diverged);
        EXPECT_DOUBLE_EQ(advised, row.advised) << "rate " << row.rate << ", step " << row.diverged;
        EXPECT_LT(advised, row.diverged);
    }
}
