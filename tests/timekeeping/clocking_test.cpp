#include "support/coretest.h"
#include "timekeeping/clocking.h"
#include "timekeeping/hours.h"

#include <gtest/gtest.h>

using namespace pelmar;
using namespace pelmar::test;

namespace {

// Whole-hour shifts must come out exactly whole, or one equal to the
// threshold raises an alert.
TEST(HoursTest, EveryWholeHourShiftFromAQuarterHourIsExact)
{
    int shifts = 0;
    for (int start = 0; start < 24 * 60; start += 15) {
        for (int length = 1; length <= 12; ++length, ++shifts) {
            const int end = (start + length * 60) % (24 * 60);
            const Value hours =
                shiftHours(Value::date(hm(start / 60, start % 60)), Value::date(hm(end / 60, end % 60)));
            ASSERT_EQ(hours.toDouble(), length) << "from minute " << start;
            EXPECT_FALSE(exceedsThreshold(hours, static_cast<float>(length)));
        }
    }
    EXPECT_EQ(shifts, 1152);
}

TEST(ClockingTest, ClockOutWritesHoursAndAlertsAboveTheThreshold)
{
    struct Case
    {
        double tdate, timeIn, timeOut, threshold, hours; // clocked out today
        bool alert;
    };
    const Case cases[] = {
        {Today, hm(8, 0), hm(17, 0), 9, 9, false},
        {Today, hm(6, 0), hm(15, 0, 1), 9, (9 * 3600 + 1) / 3600.0, true},
        {Today, hm(9, 0), hm(9, 0), 0, 0, false},
        {dec(3), hm(22, 0), hm(2, 0), 3, 4, true}, // over midnight
        {dec(3), hm(23, 59, 59), 0, 0, 1.0 / 3600, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "hours " << c.hours);
        CoreDb t;
        t.setThreshold(c.threshold);
        const qint64 id = t.shift(c.tdate, c.timeIn);
        const ClockOut result = clockOut(t.clock, id, Today + c.timeOut);

        EXPECT_TRUE(result.closed);
        EXPECT_EQ(result.alertDue, c.alert);
        EXPECT_TRUE(result.message.isEmpty());
        ASSERT_TRUE(result.shift);
        EXPECT_EQ(result.shift->hours.toDouble(), c.hours);
        const auto row = t.db.timeRows().at(0);
        EXPECT_EQ(row.tdate.toDouble(), c.tdate);
        EXPECT_EQ(row.timeOut.toDouble(), c.timeOut);
        EXPECT_EQ(row.hours.toDouble(), c.hours);
    }
}

// A terminal still showing "Clock OUT" after another closed or removed the
// shift writes nothing and says why.
TEST(ClockingTest, AShiftNoLongerOpenIsLeftAlone)
{
    CoreDb t;
    t.setThreshold(0);
    const qint64 closed = t.shift(Today, hm(9, 0), hm(17, 0), 8);

    const ClockOut stale = clockOut(t.clock, closed, Today + hm(16, 0));
    EXPECT_FALSE(stale.closed || stale.alertDue) << "a threshold of 0 would alert a written shift";
    EXPECT_EQ(t.db.timeRows()[0].hours.toDouble(), 8.0);

    const ClockOut removed = clockOut(t.clock, closed + 1, Today + hm(16, 0));
    EXPECT_FALSE(removed.closed || removed.alertDue || removed.shift);
    EXPECT_FALSE(removed.message.isEmpty());
    EXPECT_EQ(t.db.timeRows().size(), 1u);
}

} // namespace
