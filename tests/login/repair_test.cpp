#include "platform/widgets/glassbutton.h"
#include "support/window.h"

#include <QLabel>
#include <gtest/gtest.h>

using namespace pelmar;
using test::WindowTest;

namespace {

const QString Reopened =
    QStringLiteral("You were automatically clocked out at midnight, and clocked back in at 12:01 am. If this "
                   "isn't appropriate, notify the administrator");
// Mail settings whose password can't become text: every alert attempt shows
// this at once and sends nothing, which makes attempts countable here.
const QString AlertAttempt = QStringLiteral("Error:94 Invalid use of Null");

struct Row
{
    double tdate;
    Value timeIn, timeOut, hours, type;
};

// Today on the test clock is Friday 4 December 2026, 9:00:00 AM.
class RepairTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        t.db.addEmployee(7, QStringLiteral("Ann Able"), QStringLiteral("pw"));
        t.db.setSetting(QStringLiteral("smtpserver"), Value::text(QStringLiteral("mail.example")));
        t.db.setSetting(QStringLiteral("smtpusername"), Value::text(QStringLiteral("clock")));
        t.db.setSetting(QStringLiteral("smtppassword"), Value::null());
        threshold(10);
    }

    void threshold(double hours) { t.db.setSetting(QStringLiteral("WorkHoursNotify"), Value::number(hours)); }
    static double dec(int d) { return dates::serial(2026, 12, d); }
    static double hm(int h, int m) { return dates::timeSerial(h, m, 0); }

    void logIn()
    {
        t.start();
        t.logIn(QStringLiteral("Ann Able"), QStringLiteral("pw"));
    }

    std::vector<Row> rows()
    {
        std::vector<Row> out;
        for (const auto& r : t.db.rows(QStringLiteral("SELECT Tdate, TimeIn, TimeOut, Thours, Type FROM "
                                                      "\"Time\" WHERE PersonnelID = 7 ORDER BY TimeID")))
            out.push_back({r[0].toDouble(), r[1], r[2], r[3], r[4]});
        return out;
    }

    FrmTimeLog& w() { return t.window(); }
    WindowTest t;
};

TEST_F(RepairTest, ShiftLeftOpenYesterdayIsClosedAlertedAndReopened)
{
    t.db.addTime(7, dec(3), hm(8, 0), std::nullopt, std::nullopt, Value::null());
    logIn();

    const auto r = rows();
    ASSERT_EQ(r.size(), 2u);
    EXPECT_EQ(r[0].tdate, dec(3));
    EXPECT_EQ(r[0].timeOut.toDouble(), 0.0);
    EXPECT_DOUBLE_EQ(r[0].hours.toDouble(), 16.0);
    EXPECT_EQ(r[0].type, Value::text(QStringLiteral("Worked")));
    EXPECT_EQ(r[1].tdate, dec(4));
    EXPECT_EQ(r[1].timeIn.toDouble(), 1.0 / 1440);
    EXPECT_TRUE(r[1].timeOut.isNull());
    EXPECT_TRUE(r[1].hours.isNull());
    EXPECT_EQ(r[1].type, Value::text(QStringLiteral("Worked")));

    // The alert goes before the employee is told; its failure stops nothing.
    EXPECT_EQ(t.dialogs.texts(), (QStringList{AlertAttempt, Reopened}));
    EXPECT_EQ(t.dialogs.messages.back().title, "PelmarEmployee");
    EXPECT_EQ(w().cmdTimeLog->caption(), "Clock OUT");
    EXPECT_EQ(w().lblDateIn->text(), "Friday, December 04, 2026");
    EXPECT_EQ(w().lblTimeIn->text(), "12:01:00 AM");
}

TEST_F(RepairTest, YesterdaysShiftAlertsOnlyAboveTheThreshold)
{
    struct Case
    {
        const char* what;
        double timeIn;
        double threshold;
        double hours;
        bool alert;
    };
    const std::vector<Case> cases = {
        {"3:00 pm, threshold 10", hm(15, 0), 10, 9, false},
        {"3:00 pm, threshold 9", hm(15, 0), 9, 9, false},
        {"3:00 pm, threshold 8.5", hm(15, 0), 8.5, 9, true},
        {"begun at midnight", 0.0, 10, 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WindowTest each;
        each.db.addEmployee(7, QStringLiteral("Ann Able"), QStringLiteral("pw"));
        each.db.setSetting(QStringLiteral("smtpserver"), Value::text(QStringLiteral("mail.example")));
        each.db.setSetting(QStringLiteral("smtppassword"), Value::null());
        each.db.setSetting(QStringLiteral("smtpusername"), Value::text(QStringLiteral("clock")));
        each.db.setSetting(QStringLiteral("WorkHoursNotify"), Value::number(c.threshold));
        each.db.addTime(7, dec(3), c.timeIn);
        each.start();
        each.logIn(QStringLiteral("Ann Able"), QStringLiteral("pw"));

        EXPECT_EQ(each.db.scalar(QStringLiteral("SELECT Thours FROM \"Time\" WHERE Tdate = %1").arg(dec(3)))
                      .toDouble(),
                  c.hours);
        const QStringList expected = c.alert ? QStringList{AlertAttempt, Reopened} : QStringList{Reopened};
        EXPECT_EQ(each.dialogs.texts(), expected);
        EXPECT_EQ(each.window().cmdTimeLog->caption(), "Clock OUT");
    }
}

TEST_F(RepairTest, ShiftLeftOpenDaysAgoIsClosedReportedAndNotReopened)
{
    t.db.addTime(7, dec(1), hm(22, 0));
    logIn();

    const auto r = rows();
    ASSERT_EQ(r.size(), 1u);
    EXPECT_EQ(r[0].timeOut.toDouble(), 0.0);
    EXPECT_DOUBLE_EQ(r[0].hours.toDouble(), 2.0);
    // Told first, then the administrator, whatever the hours.
    EXPECT_EQ(
        t.dialogs.texts(),
        (QStringList{"You were not logged out correctly on 12/1/2026.  You were automatically clocked out at "
                     "midnight.\rPlease contact the administrator to correct your time records",
                     AlertAttempt}));
    EXPECT_EQ(w().cmdTimeLog->caption(), "Clock IN");
    EXPECT_TRUE(!w().cmdTimeLog->isHidden());
    EXPECT_TRUE(w().lblIn->isHidden());
}

TEST_F(RepairTest, FailureAfterClosingKeepsTheClosedShiftAndAddsNone)
{
    t.db.addTime(7, dec(3), hm(15, 0));
    t.start();
    // A date label that doesn't read as a date stops the reopening.
    w().lblDate->setText(QStringLiteral("Friday, Someday"));
    t.logIn(QStringLiteral("Ann Able"), QStringLiteral("pw"));

    const auto r = rows();
    ASSERT_EQ(r.size(), 1u);
    EXPECT_EQ(r[0].timeOut.toDouble(), 0.0);
    EXPECT_EQ(r[0].hours.toDouble(), 9.0);
    EXPECT_EQ(t.dialogs.texts(), QStringList{"Error:13 Type mismatch"});
}

} // namespace
