#include "login/login.h"
#include "store/engine.h"
#include "support/coretest.h"

#include <gtest/gtest.h>

using namespace pelmar;
using namespace pelmar::test;

namespace {

constexpr double Midnight = 0;

// Hours are whole seconds over 3600, so every expected value below is exact.
TEST(RepairTest, YesterdaysShiftIsClosedAtMidnightAndReopenedAt1201)
{
    struct Case
    {
        double timeIn, threshold, hours;
        bool alert;
        double now = Today + hm(9, 0);
        Value type = Worked;
    };
    const Case cases[] = {
        {hm(8, 0), 10, 16, true},
        {hm(15, 0), 10, 9, false},
        {hm(15, 0), 9, 9, false}, // equal is not above
        {hm(15, 0), 8.5, 9, true},
        {hm(11, 0), 13, 13, false},
        {0, 10, 24, true}, // begun at the midnight before: a whole day
        // Logged in on the stroke of midnight: the new shift is today's.
        {hm(15, 0), 10, 9, false, Today},
        {hm(15, 0), 10, 9, false, Today + hm(9, 0), Value::null()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "in " << c.timeIn * 24 << " h, threshold " << c.threshold);
        CoreDb t;
        t.setThreshold(c.threshold);
        const qint64 left = t.shift(dec(3), c.timeIn, std::nullopt, std::nullopt, c.type);
        const ActionResult result = logIn(t.workplace, Ann, QStringLiteral("pw"), c.now).screen;

        // Closed at the midnight after its date as a worked shift, and today's
        // opened at 12:00 AM, so that the two records meet.
        const auto rows = t.db.timeRows();
        ASSERT_EQ(rows.size(), 2u);
        EXPECT_EQ(rows[0].timeOut.toDouble(), 0.0);
        EXPECT_EQ(rows[0].hours.toDouble(), c.hours);
        EXPECT_EQ(rows[0].type, Worked);
        EXPECT_EQ(rows[1].tdate.toDouble(), Today);
        EXPECT_EQ(rows[1].timeIn.toDouble(), Midnight);
        EXPECT_TRUE(rows[1].timeOut.isNull());

        // The alert, when due, goes before the message; then today's shift is offered.
        std::vector<Notice> notices;
        if (c.alert)
            notices.push_back(Notice::alert("Ann Able", Value::date(dec(3)), 1));
        notices.push_back(Notice::message(
            "You were automatically clocked out at midnight, and clocked back in at 12:00 am. If this isn't "
            "appropriate, notify the administrator"));
        EXPECT_EQ(result.notices, notices);
        EXPECT_EQ(result.offer, ButtonOffer::ClockOut);
        EXPECT_EQ(result.openShift, t.db.scalar("SELECT MAX(TimeID) FROM \"Time\"").toInteger());
        EXPECT_NE(result.openShift, left);
        EXPECT_EQ(result.clockedIn,
                  (ClockLine{"You Clocked in:", "Friday, December 04, 2026", "12:00:00 AM"}));
    }
}

TEST(RepairTest, AShiftLeftOpenDaysAgoIsClosedReportedAndNotReopened)
{
    CoreDb t;
    t.shift(dec(1), hm(22, 0));
    const ActionResult result = logIn(t.workplace, Ann, QStringLiteral("pw"), Today + hm(9, 0)).screen;

    const auto rows = t.db.timeRows();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].timeOut.toDouble(), 0.0);
    EXPECT_EQ(rows[0].hours.toDouble(), 2.0);
    EXPECT_EQ(result.offer, ButtonOffer::ClockIn);
    EXPECT_FALSE(result.openShift || result.clockedIn);
    // The message first, then the alert: days-old shifts go to the
    // administrator whatever their hours.
    EXPECT_EQ(result.notices,
              std::vector({Notice::message("You were not logged out correctly on 12/1/2026.  You were "
                                           "automatically clocked out at midnight.\rPlease contact the "
                                           "administrator to correct your time records"),
                           Notice::alert("Ann Able", Value::date(dec(1)), 1)}));
}

// Another terminal repaired the shift first: the guarded write changes
// nothing, and a log-in on the repaired records finds the midnight shift.
TEST(RepairTest, AShiftRepairedElsewhereIsNotWrittenAgain)
{
    CoreDb t;
    const qint64 left = t.shift(dec(3), hm(15, 0));
    const auto db = t.workplace.open();
    const TimeRecord seenOpen = *timerecords::read(*db, left);
    t.db.exec(QStringLiteral("UPDATE \"Time\" SET TimeOut = 0, Thours = 9 WHERE TimeID = %1").arg(left));
    const qint64 reopened = t.shift(Today, Midnight);

    EXPECT_FALSE(timerecords::closeShift(*db, seenOpen, hm(23, 0)));
    EXPECT_EQ(t.db.timeRows()[0].timeOut.toDouble(), 0.0);
    EXPECT_EQ(t.db.timeRows()[0].hours.toDouble(), 9.0);

    const ActionResult result = logIn(t.workplace, Ann, QStringLiteral("pw"), Today + hm(9, 0)).screen;
    EXPECT_TRUE(result.notices.empty());
    EXPECT_EQ(result.offer, ButtonOffer::ClockOut);
    EXPECT_EQ(result.openShift, reopened);
    EXPECT_EQ(t.db.timeRows().size(), 2u);
}

} // namespace
