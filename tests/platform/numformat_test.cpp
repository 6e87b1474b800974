#include "platform/numformat.h"

#include <gtest/gtest.h>

using namespace pelmar;

namespace {

const QString kTwoDecimals = QStringLiteral("##.00");
const QString kUpToTwo = QStringLiteral("#######0.##");

} // namespace

TEST(FormatNumber, TwoDecimals)
{
    EXPECT_EQ(formatNumber(0.5, kTwoDecimals), ".50");
    EXPECT_EQ(formatNumber(12.346, kTwoDecimals), "12.35");
    EXPECT_EQ(formatNumber(0, kTwoDecimals), ".00");
    EXPECT_EQ(formatNumber(9, kTwoDecimals), "9.00");
    EXPECT_EQ(formatNumber(123.4, kTwoDecimals), "123.40");
    EXPECT_EQ(formatNumber(0.004, kTwoDecimals), ".00");
    EXPECT_EQ(formatNumber(0.995, kTwoDecimals), "1.00");
    EXPECT_EQ(formatNumber(99.999, kTwoDecimals), "100.00");
    EXPECT_EQ(formatNumber(1234567.5, kTwoDecimals), "1234567.50"); // no grouping
}

TEST(FormatNumber, UpToTwoDecimals)
{
    EXPECT_EQ(formatNumber(0, kUpToTwo), "0.");
    EXPECT_EQ(formatNumber(8, kUpToTwo), "8.");
    EXPECT_EQ(formatNumber(7.5, kUpToTwo), "7.5");
    EXPECT_EQ(formatNumber(7.456, kUpToTwo), "7.46");
    EXPECT_EQ(formatNumber(12.346, kUpToTwo), "12.35");
    EXPECT_EQ(formatNumber(40, kUpToTwo), "40.");
    EXPECT_EQ(formatNumber(0.004, kUpToTwo), "0.");
    EXPECT_EQ(formatNumber(7.999, kUpToTwo), "8.");
    EXPECT_EQ(formatNumber(0.1, kUpToTwo), "0.1");
    EXPECT_EQ(formatNumber(123456789, kUpToTwo), "123456789."); // more digits than places
}

TEST(FormatNumber, RoundsTheDecimalTextHalfAwayFromZero)
{
    // Each of these is stored just below the half in binary.
    EXPECT_EQ(formatNumber(2.675, kTwoDecimals), "2.68");
    EXPECT_EQ(formatNumber(1.005, kTwoDecimals), "1.01");
    EXPECT_EQ(formatNumber(0.125, kUpToTwo), "0.13");
    EXPECT_EQ(formatNumber(8.345, kUpToTwo), "8.35");
    EXPECT_EQ(formatNumber(-2.675, kTwoDecimals), "-2.68");
    // Sums of hours carry binary noise that must not show.
    EXPECT_EQ(formatNumber(0.1 + 0.2, kUpToTwo), "0.3");
    EXPECT_EQ(formatNumber(8.0 / 3, kTwoDecimals), "2.67");
}

TEST(FormatNumber, Negatives)
{
    EXPECT_EQ(formatNumber(-7.5, kUpToTwo), "-7.5");
    EXPECT_EQ(formatNumber(-0.5, kTwoDecimals), "-.50");
    EXPECT_EQ(formatNumber(-12.346, kTwoDecimals), "-12.35");
}

TEST(FormatNumber, OtherPlaceholderPatterns)
{
    EXPECT_EQ(formatNumber(3.14159, "0.000"), "3.142");
    EXPECT_EQ(formatNumber(2.5, "0"), "3");
    EXPECT_EQ(formatNumber(7, "000"), "007");
    EXPECT_EQ(formatNumber(1.5, "0.0#"), "1.5");
    EXPECT_EQ(formatNumber(1, "0.0#"), "1.0");
}

TEST(ShortestNumber, ReadsBackExactly)
{
    EXPECT_EQ(shortestNumber(7.5), "7.5");
    EXPECT_EQ(shortestNumber(16), "16");
    EXPECT_EQ(shortestNumber(0.1), "0.1");
    EXPECT_EQ(shortestNumber(-3.25), "-3.25");
    EXPECT_EQ(shortestNumber(0), "0");
    EXPECT_EQ(shortestNumber(-0.0), "0");
    for (double v : {0.1 + 0.2, 1.0 / 3, 46360.9125, 1e-7, 123456789.125})
        EXPECT_EQ(shortestNumber(v).toDouble(), v);
}
