#include "ui/widgets/glassbutton.h"
#include "support/window.h"

#include <QLabel>
#include <gtest/gtest.h>

using namespace pelmar;
using namespace pelmar::test;

namespace {

const QString Reopened =
    QStringLiteral("You were automatically clocked out at midnight, and clocked back in at 12:01 am. If this "
                   "isn't appropriate, notify the administrator");
const Value Worked = Value::text("Worked");

// Today on the test clock is Friday 4 December 2026, 9:00:00 AM.
using RepairTest = AnnAtTheClock;

TEST_F(RepairTest, ShiftLeftOpenYesterdayIsClosedAlertedAndReopened)
{
    t.db.addTime(7, dec(3), hm(8, 0), std::nullopt, std::nullopt, Value::null());
    t.start();
    t.logInAnn();

    const auto r = t.db.timeRows();
    ASSERT_EQ(r.size(), 2u);
    EXPECT_EQ(r[0].tdate.toDouble(), dec(3));
    EXPECT_EQ(r[0].timeOut.toDouble(), 0.0);
    EXPECT_DOUBLE_EQ(r[0].hours.toDouble(), 16.0);
    EXPECT_EQ(r[0].type, Worked);
    EXPECT_EQ(r[1].tdate.toDouble(), dec(4));
    EXPECT_EQ(r[1].timeIn.toDouble(), 1.0 / 1440);
    EXPECT_TRUE(r[1].timeOut.isNull() && r[1].hours.isNull());
    EXPECT_EQ(r[1].type, Worked);

    // The alert goes before the employee is told; its failure stops nothing.
    EXPECT_EQ(t.dialogs.texts(), (QStringList{AlertAttempt, Reopened}));
    EXPECT_EQ(t.buttons()[1], "Clock OUT");
    EXPECT_EQ(t.clockLines(),
              (QStringList{"You Clocked in:", "Friday, December 04, 2026", "12:01:00 AM", "", "", ""}));
}

TEST_F(RepairTest, YesterdaysShiftAlertsOnlyAboveTheThreshold)
{
    struct Case
    {
        double timeIn, threshold, hours;
        bool alert;
    };
    const Case cases[] = {
        {hm(15, 0), 10, 9, false},
        {hm(15, 0), 9, 9, false}, // equal is not above
        {hm(15, 0), 8.5, 9, true},
        {0.0, 10, 0, false}, // begun at midnight
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "threshold " << c.threshold << ", hours " << c.hours);
        WindowTest each;
        each.addAnn();
        each.failingAlerts(c.threshold);
        each.db.addTime(7, dec(3), c.timeIn);
        each.start();
        each.logInAnn();

        EXPECT_EQ(each.db.timeRows().at(0).hours.toDouble(), c.hours);
        const QStringList expected = c.alert ? QStringList{AlertAttempt, Reopened} : QStringList{Reopened};
        EXPECT_EQ(each.dialogs.texts(), expected);
        EXPECT_EQ(each.buttons()[1], "Clock OUT");
    }
}

TEST_F(RepairTest, ShiftLeftOpenDaysAgoIsClosedReportedAndNotReopened)
{
    t.db.addTime(7, dec(1), hm(22, 0));
    t.start();
    t.logInAnn();

    const auto r = t.db.timeRows();
    ASSERT_EQ(r.size(), 1u);
    EXPECT_EQ(r[0].timeOut.toDouble(), 0.0);
    EXPECT_DOUBLE_EQ(r[0].hours.toDouble(), 2.0);
    // Told first, then the administrator, whatever the hours.
    EXPECT_EQ(
        t.dialogs.texts(),
        (QStringList{"You were not logged out correctly on 12/1/2026.  You were automatically clocked out at "
                     "midnight.\rPlease contact the administrator to correct your time records",
                     AlertAttempt}));
    EXPECT_EQ(t.buttons()[1], "Clock IN");
    EXPECT_EQ(t.clockLines(), QStringList(6));
}

TEST_F(RepairTest, FailureAfterClosingKeepsTheClosedShiftAndAddsNone)
{
    t.db.addTime(7, dec(3), hm(15, 0));
    t.start();
    // A date label that doesn't read as a date stops the reopening.
    w().lblDate->setText("Friday, Someday");
    t.logInAnn();

    const auto r = t.db.timeRows();
    ASSERT_EQ(r.size(), 1u);
    EXPECT_EQ(r[0].timeOut.toDouble(), 0.0);
    EXPECT_EQ(r[0].hours.toDouble(), 9.0);
    EXPECT_EQ(t.dialogs.texts(), QStringList{"Error:13 Type mismatch"});
}

} // namespace
