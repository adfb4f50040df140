#include "card/spinstep.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace pelkorl {
namespace {

struct StepCase {
    const char* name;
    const char* text;
    int direction;
    int lower;
    int upper;
    const char* expected;
};

class StepSpinValueTest : public ::testing::TestWithParam<StepCase> {};

TEST_P(StepSpinValueTest, MovesOneHundredthWithinBounds) {
    const StepCase& c = GetParam();
    EXPECT_EQ(stepSpinValue(c.text, c.direction, c.lower, c.upper), c.expected);
}

// Table top spins between 1.00 and 1.50, table height between 1.50 and 2.20.
INSTANTIATE_TEST_SUITE_P(
    Steps, StepSpinValueTest,
    ::testing::Values(StepCase{"TopUp", "1.32", 1, 100, 150, "1.33"},
                      StepCase{"TopDown", "1.32", -1, 100, 150, "1.31"},
                      StepCase{"TopAtUpperStays", "1.50", 1, 100, 150, "1.50"},
                      StepCase{"TopAtLowerStays", "1.00", -1, 100, 150, "1.00"},
                      StepCase{"HeightAtLowerStays", "1.50", -1, 150, 220, "1.50"},
                      StepCase{"HeightAtUpperStays", "2.20", 1, 150, 220, "2.20"},
                      // A big reported step still moves one hundredth.
                      StepCase{"AnyUpwardStepIsOne", "1.32", 5, 100, 150, "1.33"},
                      // Below 1.00 (from the detailed layout): leading 0, never a blank.
                      StepCase{"BelowOneKeepsLeadingZero", "0.80", 1, 100, 150, "0.81"},
                      StepCase{"BelowLowerNotSteppedDown", "0.80", -1, 100, 150, "0.80"},
                      StepCase{"EmptyReadsAsZero", "", 1, 100, 150, "0.01"},
                      // Above the upper bound only a downward step moves.
                      StepCase{"AboveUpperStepsDown", "2.50", -1, 100, 150, "2.49"},
                      StepCase{"LongValueKeepsThreeDigits", "1.2345", 1, 100, 150, "1.23"},
                      StepCase{"NegativeReadsAsZero", "-5", -1, 100, 150, "0.00"},
                      StepCase{"NonNormalText", "1.5", 1, 100, 150, "0.16"},
                      StepCase{"HugeValueNoOverflow", "99999999999", 1, 100, 150, "2.14"}),
    [](const ::testing::TestParamInfo<StepCase>& info) { return std::string(info.param.name); });

TEST(StepSpinValue, ThreeUpwardStepsFromDefaultTop) {
    std::string value = "1.32";
    for (int i = 0; i < 3; ++i) {
        value = stepSpinValue(value, 1, 100, 150);
    }
    EXPECT_EQ(value, "1.35");
}

} // namespace
} // namespace pelkorl
