#include "platform/widgets/glassbutton.h"
#include "support/window.h"

#include <QLabel>
#include <gtest/gtest.h>

using namespace pelmar;
using test::WindowTest;

namespace {

// Mail settings whose password can't become text: an alert attempt shows
// this at once and sends nothing.
const QString AlertAttempt = QStringLiteral("Error:94 Invalid use of Null");

bool shown(const QWidget* widget)
{
    return !widget->isHidden();
}

class TimeLogTest : public ::testing::Test
{
protected:
    void SetUp() override { arrange(t, 10); }

    static void arrange(WindowTest& wt, double threshold)
    {
        wt.db.addEmployee(7, QStringLiteral("Ann Able"), QStringLiteral("pw"));
        wt.db.setSetting(QStringLiteral("WorkHoursNotify"), Value::number(threshold));
        wt.db.setSetting(QStringLiteral("smtpserver"), Value::text(QStringLiteral("mail.example")));
        wt.db.setSetting(QStringLiteral("smtpusername"), Value::text(QStringLiteral("clock")));
        wt.db.setSetting(QStringLiteral("smtppassword"), Value::null());
    }
    static double dec(int d) { return dates::serial(2026, 12, d); }
    static double hms(int h, int m, int s = 0) { return dates::timeSerial(h, m, s); }

    static void logIn(WindowTest& wt) { wt.logIn(QStringLiteral("Ann Able"), QStringLiteral("pw")); }
    static std::vector<Value> row(WindowTest& wt, qint64 id)
    {
        const auto r = wt.db.rows(
            QStringLiteral("SELECT Tdate, TimeIn, TimeOut, Thours, Type FROM \"Time\" WHERE TimeID = %1")
                .arg(id));
        return r.empty() ? std::vector<Value>{} : r.front();
    }

    FrmTimeLog& w() { return t.window(); }
    WindowTest t;
};

// The stored date and time are the label texts at the click: just after
// midnight, before the next tick, that is still the previous day.
TEST_F(TimeLogTest, ClockInStoresTheLabelTextsAndShowsWhatWasStored)
{
    t.clock.set(WindowTest::at(2026, 12, 3, 23, 59, 59));
    t.start();
    t.clock.set(WindowTest::at(2026, 12, 4, 0, 0, 0)); // no tick yet
    logIn(t);
    ASSERT_EQ(w().cmdTimeLog->caption(), "Clock IN");
    t.click("cmdTimeLog");

    const auto rows =
        t.db.rows(QStringLiteral("SELECT PersonnelID, Tdate, TimeIn, TimeOut, Thours, Type FROM \"Time\""));
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0][0].toInteger(), 7);
    EXPECT_EQ(rows[0][1].toDouble(), dec(3));
    EXPECT_DOUBLE_EQ(rows[0][2].toDouble(), hms(23, 59, 59));
    EXPECT_TRUE(rows[0][3].isNull());
    EXPECT_TRUE(rows[0][4].isNull());
    EXPECT_EQ(rows[0][5], Value::text(QStringLiteral("Worked")));

    EXPECT_EQ(w().lblIn->text(), "You Clocked in:");
    EXPECT_EQ(w().lblDateIn->text(), "Thursday, December 03, 2026");
    EXPECT_EQ(w().lblTimeIn->text(), "11:59:59 PM");
    EXPECT_TRUE(shown(w().lblIn) && shown(w().lblDateIn) && shown(w().lblTimeIn));
    EXPECT_FALSE(shown(w().lblOut));
    EXPECT_FALSE(shown(w().cmdTimeLog));
    EXPECT_EQ(w().cmdTimeLog->caption(), "Clock IN");
    EXPECT_TRUE(t.dialogs.texts().isEmpty());
}

TEST_F(TimeLogTest, ClockOutAcrossMidnightCountsFourHours)
{
    const qint64 id = t.db.addTime(7, dec(3), hms(22, 0));
    t.db.addTime(7, dec(1), hms(8, 0), hms(16, 0), 8);
    t.clock.set(WindowTest::at(2026, 12, 3, 23, 30, 0));
    t.start();
    logIn(t);
    ASSERT_EQ(w().cmdTimeLog->caption(), "Clock OUT");
    const QString total = w().lblTotalHours->text();
    t.setNow(WindowTest::at(2026, 12, 4, 2, 0, 0));
    t.click("cmdTimeLog");

    const auto r = row(t, id);
    EXPECT_DOUBLE_EQ(r[2].toDouble(), hms(2, 0));
    EXPECT_DOUBLE_EQ(r[3].toDouble(), 4.0);
    EXPECT_EQ(r[4], Value::text(QStringLiteral("Worked")));
    EXPECT_EQ(r[0].toDouble(), dec(3));

    EXPECT_EQ(w().lblOut->text(), "You Clocked out:");
    EXPECT_EQ(w().lblDateOut->text(), "Friday, December 04, 2026");
    EXPECT_EQ(w().lblTimeOut->text(), "2:00:00 AM");
    EXPECT_TRUE(shown(w().lblOut) && shown(w().lblDateOut) && shown(w().lblTimeOut));
    // The clocked-in line keeps what the log-in showed; the total isn't recomputed.
    EXPECT_EQ(w().lblDateIn->text(), "Thursday, December 03, 2026");
    EXPECT_EQ(w().lblTimeIn->text(), "10:00:00 PM");
    EXPECT_TRUE(shown(w().lblTimeIn));
    EXPECT_EQ(w().lblTotalHours->text(), total);
    EXPECT_FALSE(shown(w().cmdTimeLog));
    EXPECT_EQ(w().cmdTimeLog->caption(), "Clock OUT");
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
    const std::vector<Case> cases = {
        {"same second", hms(9, 0), hms(9, 0), 0, 0, false},
        {"equal to the threshold", hms(6, 0), hms(15, 0), 9, 9, false},
        {"one second over", hms(6, 0), hms(15, 0, 1), 9, 9 + 1.0 / 3600, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WindowTest each;
        arrange(each, c.threshold);
        const qint64 id = each.db.addTime(7, dec(4), c.timeIn);
        each.clock.set(dec(4) + c.timeOut);
        each.start();
        logIn(each);
        each.click("cmdTimeLog");

        EXPECT_DOUBLE_EQ(row(each, id)[3].toDouble(), c.hours);
        EXPECT_EQ(each.dialogs.texts(), c.alert ? QStringList{AlertAttempt} : QStringList{});
        EXPECT_FALSE(shown(each.window().cmdTimeLog));
    }
}

TEST_F(TimeLogTest, OtherCaptionsDoNothing)
{
    t.start();
    logIn(t);
    w().cmdTimeLog->setCaption(QStringLiteral("Clock In"));
    t.click("cmdTimeLog");

    EXPECT_EQ(t.db.scalar(QStringLiteral("SELECT COUNT(*) FROM \"Time\"")).toInteger(), 0);
    EXPECT_TRUE(shown(w().cmdTimeLog));
    EXPECT_FALSE(shown(w().lblIn));
    EXPECT_TRUE(t.dialogs.texts().isEmpty());
}

} // namespace
