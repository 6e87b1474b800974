#include "store/audit.h"
#include "store/engine.h"
#include "support/coretest.h"
#include "support/nights.h"
#include "timekeeping/clocking.h"
#include "timekeeping/hours.h"
#include "workplace/workplace.h"

#include <QTimeZone>
#include <gtest/gtest.h>

using namespace pelmar;
using namespace pelmar::test;

namespace {

// Whole-hour shifts must come out exactly whole, or one equal to the
// threshold raises an alert.
TEST(HoursTest, EveryWholeHourShiftFromAQuarterHourIsExact)
{
    const QTimeZone zone("America/New_York");
    int shifts = 0;
    for (int start = 0; start < 24 * 60; start += 15) {
        for (int length = 1; length <= 12; ++length, ++shifts) {
            const int end = (start + length * 60) % (24 * 60);
            const Value hours = shiftHours(zone, Value::date(Today), Value::date(hm(start / 60, start % 60)),
                                           Value::date(hm(end / 60, end % 60)));
            ASSERT_EQ(hours.toDouble(), length) << "from minute " << start;
            EXPECT_FALSE(exceedsThreshold(hours, static_cast<float>(length)));
        }
    }
    EXPECT_EQ(shifts, 1152);
}

// A night is paid as worked: ordinary, spring or autumn; where the clocks
// do not change, as the difference of the two times.
TEST(HoursTest, ANightIsPaidAsWorkedAcrossAClockChange)
{
    const QTimeZone newYork("America/New_York"), utc("UTC");
    for (const Night& n : nights()) {
        SCOPED_TRACE(n.what);
        const Value in = Value::date(hm(n.inHour, n.inMinute)), out = Value::date(hm(n.outHour, n.outMinute));
        EXPECT_EQ(shiftHours(newYork, Value::date(n.date), in, out).toDouble(), n.hours);
    }
    // Where the clocks never change, every night of ten to six is eight hours.
    const std::vector<Night> table = nights();
    for (size_t i = 0; i < 3; ++i)
        EXPECT_EQ(shiftHours(utc, Value::date(table[i].date), Value::date(hm(22, 0)), Value::date(hm(6, 0)))
                      .toDouble(),
                  8)
            << table[i].what;
    EXPECT_TRUE(shiftHours(newYork, Value::date(Today), Value::null(), Value::date(hm(9, 0))).isNull());
}

const Employee AnnAble{Ann, QStringLiteral("Ann Able")};

TEST(ClockingTest, ClockOutWritesHoursAndAlertsAboveTheThreshold)
{
    struct Case
    {
        double tdate;
        std::optional<double> timeIn;
        double timeOut, threshold; // clocked out today
        std::optional<double> hours;
    };
    const Case cases[] = {
        {Today, hm(8, 0), hm(17, 0), 9, 9},
        {Today, hm(6, 0), hm(15, 0, 1), 9, (9 * 3600 + 1) / 3600.0},
        {Today, hm(9, 0), hm(9, 0), 0, 0},
        {dec(3), hm(22, 0), hm(2, 0), 3, 4}, // over midnight
        {dec(3), hm(23, 59, 59), 0, 0, 1.0 / 3600},
        {Today, std::nullopt, hm(17, 0), 0, std::nullopt}, // never clocked in: no hours, no alert
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "out at " << c.timeOut * 24 << " h");
        CoreDb t;
        t.setThreshold(c.threshold);
        const qint64 id = t.shift(c.tdate, c.timeIn);
        const ActionResult result = clockOut(t.workplace, AnnAble, id, Today + c.timeOut);

        EXPECT_EQ(result.offer, ButtonOffer::Hidden);
        // Today's date, not the record's: the day the shift ended.
        EXPECT_EQ(result.clockedOut,
                  (ClockLine{"You Clocked out:", "Friday, December 04, 2026", dates::longTime(c.timeOut)}));
        const bool alert = c.hours && *c.hours > c.threshold;
        // The alert is the outbox's first row, committed with the clock-out.
        EXPECT_EQ(result.notices, alert ? std::vector{Notice::alert("Ann Able", Value::date(c.tdate), 1)}
                                        : std::vector<Notice>{});
        EXPECT_EQ(t.db.scalar("SELECT COUNT(*) FROM AlertOutbox").toInteger(), alert ? 1 : 0);
        const auto row = t.db.timeRows().at(0);
        EXPECT_EQ(row.tdate.toDouble(), c.tdate);
        EXPECT_EQ(row.timeOut.toDouble(), c.timeOut);
        EXPECT_EQ(row.hours.isNull() ? -1 : row.hours.toDouble(), c.hours.value_or(-1));
    }
}

// A terminal still showing "Clock OUT" after another closed or removed the
// shift writes nothing and says why.
TEST(ClockingTest, AShiftNoLongerOpenIsLeftAlone)
{
    CoreDb t;
    t.setThreshold(0);
    const qint64 closed = t.shift(dec(3), hm(22, 0), hm(2, 0), 4);

    const ActionResult stale = clockOut(t.workplace, AnnAble, closed, Today + hm(16, 0));
    EXPECT_EQ(stale.notices, std::vector{Notice::message(
                                 "This shift was already clocked out at 2:00:00 AM. Nothing was changed.")})
        << "a threshold of 0 would alert a written shift";
    EXPECT_EQ(stale.clockedOut, (ClockLine{"You Clocked out:", "Friday, December 04, 2026", "2:00:00 AM"}));
    EXPECT_EQ(t.db.timeRows()[0].hours.toDouble(), 4.0);

    const ActionResult removed = clockOut(t.workplace, AnnAble, closed + 1, Today + hm(16, 0));
    ASSERT_EQ(removed.notices.size(), 1u);
    EXPECT_EQ(removed.notices[0].kind, Notice::Kind::Message);
    EXPECT_FALSE(removed.clockedOut);
    EXPECT_EQ(t.db.timeRows().size(), 1u);
}

// Two terminals offer Clock IN to the same employee: the second click finds
// the first one's shift under the write lock, writes nothing but an audit row
// and shows that shift.
TEST(ClockingTest, ASecondClockInOpensNoSecondShift)
{
    CoreDb t;
    audit::createTable(*t.workplace.open());
    t.shift(dec(3), hm(8, 0), hm(16, 0), 8);
    Workplace other;
    other.openDatabase(t.db.path());
    const ActionResult first = clockIn(other, AnnAble, Today + hm(8, 0));
    const ActionResult second = clockIn(t.workplace, AnnAble, Today + hm(8, 5));

    const ClockLine eight{"You Clocked in:", "Friday, December 04, 2026", "8:00:00 AM"};
    EXPECT_EQ(first.clockedIn, eight);
    EXPECT_TRUE(first.notices.empty());
    EXPECT_EQ(second.clockedIn, eight);
    EXPECT_EQ(second.notices, std::vector{Notice::message(
                                  "You are already clocked in since 8:00:00 AM. Nothing was changed.")});
    for (const ActionResult* r : {&first, &second})
        EXPECT_EQ(r->offer, ButtonOffer::Hidden);
    EXPECT_EQ(t.db.timeRows().size(), 2u);
    EXPECT_EQ(t.db.scalar("SELECT COUNT(*) FROM TimeAudit WHERE Action = 'already clocked in'").toInteger(),
              1);

    // Closed, or an absence since: a new shift.
    t.db.exec("UPDATE \"Time\" SET TimeOut = 0.5, Thours = 4");
    t.shift(Today, std::nullopt, std::nullopt, std::nullopt, Value::text("Vacation"));
    EXPECT_TRUE(clockIn(t.workplace, AnnAble, Today + hm(13, 0)).notices.empty());
    EXPECT_EQ(t.db.timeRows().size(), 4u);
}

} // namespace
