#include "platform/numformat.h"

#include <gtest/gtest.h>

using namespace pelmar;

namespace {

// The grid's hours column and the total's label.
TEST(FormatNumber, HoursAndTotals)
{
    // 2.675 is just below the half in binary; the decimal text rounds up.
    const std::pair<double, const char*> hours[] = {
        {0.5, ".50"}, {0.995, "1.00"}, {1234567.5, "1234567.50"}, {-0.5, "-.50"}, {2.675, "2.68"}};
    for (const auto& [value, text] : hours)
        EXPECT_EQ(formatNumber(value, "##.00"), text) << value;
    const std::pair<double, const char*> totals[] = {
        {0, "0."}, {7.5, "7.5"}, {7.999, "8."}, {0.125, "0.13"}, {0.1 + 0.2, "0.3"}};
    for (const auto& [value, text] : totals)
        EXPECT_EQ(formatNumber(value, "#######0.##"), text) << value;
}

// Date serials go into SQL text this way.
TEST(ShortestNumber, ReadsBackExactly)
{
    EXPECT_EQ(shortestNumber(16), "16");
    EXPECT_EQ(shortestNumber(-0.0), "0");
    for (double v : {-3.25, 0.1 + 0.2, 1.0 / 3, 46360.9125, 1e-7, 123456789.125})
        EXPECT_EQ(shortestNumber(v).toDouble(), v);
}

} // namespace
