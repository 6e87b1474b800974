#include "ui/widgets/glassbutton.h"
#include "support/window.h"

#include <QLabel>
#include <gtest/gtest.h>

using namespace pelmar;
using namespace pelmar::test;

namespace {

using TimeLogTest = AnnAtTheClock;

// The stored date and time are the label texts at the click: just after
// midnight, before the next tick, that is still the previous day.
TEST_F(TimeLogTest, ClockInStoresTheLabelTextsAndShowsWhatWasStored)
{
    t.clock.set(WindowTest::at(2026, 12, 3, 23, 59, 59));
    t.start();
    t.clock.set(WindowTest::at(2026, 12, 4, 0, 0, 0)); // no tick yet
    t.logInAnn();
    ASSERT_EQ(w().cmdTimeLog->caption(), "Clock IN");
    t.click("cmdTimeLog");

    const auto rows = t.db.timeRows();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(t.db.scalar("SELECT PersonnelID FROM \"Time\"").toInteger(), 7);
    EXPECT_EQ(rows[0].tdate.toDouble(), dec(3));
    EXPECT_DOUBLE_EQ(rows[0].timeIn.toDouble(), hm(23, 59, 59));
    EXPECT_TRUE(rows[0].timeOut.isNull() && rows[0].hours.isNull());
    EXPECT_EQ(rows[0].type, Value::text("Worked"));

    EXPECT_EQ(t.clockLines(),
              (QStringList{"You Clocked in:", "Thursday, December 03, 2026", "11:59:59 PM", "", "", ""}));
    EXPECT_EQ(t.buttons(), (QStringList{"Log Out", "", "View My Time"}));
    EXPECT_TRUE(t.dialogs.texts().isEmpty());
}

TEST_F(TimeLogTest, ClockOutAcrossMidnightCountsFourHours)
{
    t.db.addTime(7, dec(3), hm(22, 0));
    t.db.addTime(7, dec(1), hm(8, 0), hm(16, 0), 8);
    t.clock.set(WindowTest::at(2026, 12, 3, 23, 30, 0));
    t.start();
    t.logInAnn();
    ASSERT_EQ(w().cmdTimeLog->caption(), "Clock OUT");
    const QString total = w().lblTotalHours->text();
    t.setNow(WindowTest::at(2026, 12, 4, 2, 0, 0));
    t.click("cmdTimeLog");

    const auto r = t.db.timeRows().at(0);
    EXPECT_EQ(r.tdate.toDouble(), dec(3));
    EXPECT_DOUBLE_EQ(r.timeOut.toDouble(), hm(2, 0));
    EXPECT_DOUBLE_EQ(r.hours.toDouble(), 4.0);
    EXPECT_EQ(r.type, Value::text("Worked"));

    // The clocked-out line shows the day the shift ended; the clocked-in
    // line keeps what the log-in showed and the total isn't recomputed.
    EXPECT_EQ(t.clockLines(), (QStringList{"You Clocked in:", "Thursday, December 03, 2026", "10:00:00 PM",
                                           "You Clocked out:", "Friday, December 04, 2026", "2:00:00 AM"}));
    EXPECT_EQ(w().lblTotalHours->text(), total);
    EXPECT_EQ(t.buttons(), (QStringList{"Log Out", "", "View My Time"}));
    EXPECT_TRUE(t.dialogs.texts().isEmpty());
}

TEST_F(TimeLogTest, AlertsOnlyWhenTheHoursExceedTheThreshold)
{
    struct Case
    {
        const char* what;
        double timeIn, timeOut, threshold, hours;
        bool alert;
    };
    const Case cases[] = {
        {"same second", hm(9, 0), hm(9, 0), 0, 0, false},
        {"equal to the threshold", hm(6, 0), hm(15, 0), 9, 9, false},
        {"one second over", hm(6, 0), hm(15, 0, 1), 9, 9 + 1.0 / 3600, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WindowTest each;
        each.addAnn();
        each.failingAlerts(c.threshold);
        each.db.addTime(7, dec(4), c.timeIn);
        each.clock.set(dec(4) + c.timeOut);
        each.start();
        each.logInAnn();
        each.click("cmdTimeLog");

        EXPECT_DOUBLE_EQ(each.db.timeRows().at(0).hours.toDouble(), c.hours);
        EXPECT_EQ(each.dialogs.texts(), c.alert ? QStringList{AlertAttempt} : QStringList{});
    }
}

TEST_F(TimeLogTest, OtherCaptionsDoNothing)
{
    t.start();
    t.logInAnn();
    w().cmdTimeLog->setCaption("Clock In");
    t.click("cmdTimeLog");

    EXPECT_TRUE(t.db.timeRows().empty());
    EXPECT_EQ(t.buttons()[1], "Clock In");
    EXPECT_EQ(t.clockLines(), QStringList(6));
    EXPECT_TRUE(t.dialogs.texts().isEmpty());
}

} // namespace
