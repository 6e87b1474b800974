#include "admin/reports.h"
#include "login/login.h"
#include "platform/clock.h"
#include "store/engine.h"
#include "support/coretest.h"
#include "timekeeping/clocking.h"
#include "tools/runtool.h"
#include "workplace/workplace.h"

#include <QCryptographicHash>
#include <QFile>
#include <gtest/gtest.h>

using namespace pelmar;
using test::Result;
using test::runTool;

namespace {

using test::dec;
using test::hm;

// A database as the suite's other programs make it (no audit trail until
// upgraded), and the tool run on it at Friday 4 December 2026, 9:00 AM.
class TimeAdminTest : public ::testing::Test
{
protected:
    TimeAdminTest()
    {
        db.addEmployee(7, "Ann Lee", "pw");
        db.addEmployee(8, "Ben Ode", "pw", dec(1)); // left on the 1st
        db.addEmployee(9, "Cy Park", "pw", dec(0)); // left the day before
    }

    QString run(const QStringList& args, int expected = 0)
    {
        const Result r = runTool(args, clock);
        EXPECT_EQ(r.status, expected) << args.join(' ').toStdString() << ": " << r.err.toStdString();
        EXPECT_EQ(expected != 0, !r.err.isEmpty());
        return r.out;
    }
    QStringList csv(QStringList args) { return run(std::move(args)).split("\r\n", Qt::SkipEmptyParts); }
    // The file's bytes; on a server, every row a command may change.
    QByteArray bytes()
    {
        if (db.onServer())
            return (runTool({"query", db.folder(), "SELECT * FROM qslTime"}, clock).out +
                    runTool({"query", db.folder(), "SELECT * FROM TimeAudit"}, clock).out)
                .toUtf8();
        QFile f(db.path());
        return f.open(QIODevice::ReadOnly) ? QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256)
                                           : QByteArray();
    }
    qint64 auditRows() { return db.scalar("SELECT COUNT(*) FROM TimeAudit").toInteger(); }

    test::TestDb db;
    ManualClock clock{dec(4) + hm(9, 0)};
};

} // namespace

TEST_F(TimeAdminTest, CorrectedShiftsTakeTheClocksHours)
{
    run({"upgrade", db.folder()});
    struct Case
    {
        const char *in, *out, *row;
    };
    const Case cases[] = {
        {"9:00 PM", "12:00 am", "12/3/2026,9:00:00 PM,12:00:00 AM,3,Worked"}, // the midnight after the date
        {"8:00 am", "6:00 PM", "12/3/2026,8:00:00 AM,6:00:00 PM,10,Worked"},  // the threshold, exactly
        {"8:00:30 AM", "8:00:30 AM", "12/3/2026,8:00:30 AM,8:00:30 AM,0,Worked"},
        {"10:00 PM", "6:00 AM", "12/3/2026,10:00:00 PM,6:00:00 AM,8,Worked"}, // over midnight, one record
        {"7:15 AM", "-", "12/3/2026,7:15:00 AM,,,Worked"},
    };
    const qint64 id = db.addTime(7, dec(3), hm(9, 0));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.row);
        EXPECT_EQ(csv({"time-set", db.folder(), QString::number(id), c.in, c.out}).last(),
                  QString::number(id) + "," + c.row);
        EXPECT_EQ(csv({"time-add", db.folder(), "7", "12/3/2026", c.in, c.out}).last().section(',', 1),
                  c.row);
    }
    EXPECT_EQ(db.scalar("SELECT Thours FROM \"Time\" WHERE TimeOut = 0.75").toDouble(), 10.0);
}

TEST_F(TimeAdminTest, EveryRefusalLeavesTheFileAsItWas)
{
    run({"upgrade", db.folder()});
    const QString id = QString::number(db.addTime(7, dec(3), hm(9, 0)));
    const QString vacation = QString::number(db.addTime(7, dec(2), {}, {}, {}, Value::text("Vacation")));
    const QString f = db.folder();
    const QByteArray before = bytes();
    const qint64 trail = auditRows(); // a server's rows of the arranging inserts
    const std::vector<QStringList> refused = {
        {"time-set", f, id, "12:00 AM", "12:00 AM"}, // 24 hours
        {"time-set", f, id, "9:00", "5:00 PM"},
        {"time-set", f, "999", "9:00 AM", "-"},
        {"time-set", f, vacation, "9:00 AM", "5:00 PM"},
        {"time-add", f, "6", "12/3/2026", "9:00 AM", "-"},
        {"time-add", f, "7", "12/33/2026", "9:00 AM", "-"},
        {"time-delete", f, "999"},
        {"absence-add", f, "7", "12/2/2026", "Holiday"},  // already a vacation
        {"absence-add", f, "7", "12/3/2026", "Vacation"}, // a shift that day
        {"times", f, "6", "12/1/2026", "12/4/2026"},
        {"hours", f, "12/4/2026", "12/1/2026"},
        {"board", f + "/missing"},
    };
    for (const QStringList& args : refused) {
        SCOPED_TRACE(args.join(' ').toStdString());
        run(args, 1);
        EXPECT_EQ(bytes(), before);
    }
    EXPECT_EQ(auditRows(), trail);
}

TEST_F(TimeAdminTest, HoursCountWhatPayrollNeeds)
{
    db.addTime(7, dec(1), hm(8, 0), hm(16, 30), 8.5);
    db.addTime(7, dec(1), hm(17, 0), hm(18, 0), 1);
    db.addTime(7, dec(2), {}, {}, {}, Value::text("vacation")); // typed by hand: no type the clock knows
    db.addTime(7, dec(3), {}, {}, {}, Value::text("Sick Leave"));
    db.addTime(7, dec(4), hm(8, 0));              // still open
    db.addTime(7, dec(5), hm(8, 0), hm(9, 0), 1); // after the range
    db.addTime(8, dec(1), {}, {}, {}, Value::text("Holiday"));
    db.addTime(9, dec(1), hm(8, 0), hm(9, 0), 1);
    EXPECT_EQ(csv({"hours", db.folder(), "12/1/2026", "12/4/2026"}),
              (QStringList{"EmployeeID,FullName,Hours,DaysWorked,Vacation,Holiday,SickLeave,Other,OpenShifts",
                           "7,Ann Lee,9.50,2,0,0,1,1,1", "8,Ben Ode,0.00,0,0,1,0,0,0", "OtherType,Records",
                           "vacation,1"}));
    EXPECT_EQ(csv({"times", db.folder(), "7", "12/3/2026", "12/4/2026"}),
              (QStringList{"TimeID,Tdate,TimeIn,TimeOut,Thours,Type", "5,12/4/2026,8:00:00 AM,,,Worked",
                           "4,12/3/2026,,,,Sick Leave"}));
}

// Each type once, each for an employee of its own and with an hour's
// times: it counts in its own column and in no other, hours only when
// worked, and a type the clock does not know counts as Other, listed by its
// text under the table.
TEST_F(TimeAdminTest, EachTypeCountsInItsOwnColumn)
{
    const std::pair<Value, const char*> cases[] = {
        {Value::text("Worked"), "1.00,1,0,0,0,0"},   {Value::text("Vacation"), "0.00,0,1,0,0,0"},
        {Value::text("Holiday"), "0.00,0,0,1,0,0"},  {Value::text("Sick Leave"), "0.00,0,0,0,1,0"},
        {Value::text("vacation"), "0.00,0,0,0,0,1"}, {Value::text("HOLIDAY"), "0.00,0,0,0,0,1"},
        {Value::text("Training"), "0.00,0,0,0,0,1"}, {Value::null(), "0.00,0,0,0,0,1"},
    };
    QStringList expected{"EmployeeID,FullName,Hours,DaysWorked,Vacation,Holiday,SickLeave,Other,OpenShifts",
                         "7,Ann Lee,0.00,0,0,0,0,0,0", "8,Ben Ode,0.00,0,0,0,0,0,0"};
    qint64 id = 20;
    for (const auto& [type, counts] : cases) {
        db.addEmployee(id, QStringLiteral("Z%1").arg(id), "pw");
        db.addTime(id, dec(1), hm(8, 0), hm(9, 0), 1, type);
        expected << QStringLiteral("%1,Z%1,%2,0").arg(id).arg(QLatin1String(counts));
        ++id;
    }
    expected << "OtherType,Records"
             << ",1"
             << "HOLIDAY,1"
             << "Training,1"
             << "vacation,1";
    EXPECT_EQ(csv({"hours", db.folder(), "12/1/2026", "12/1/2026"}), expected);
}

TEST_F(TimeAdminTest, BoardFollowsTheWhereIsRule)
{
    db.addEmployee(10, "Al Bo", "pw");
    db.addEmployee(11, "Di Ng", "pw");
    db.addEmployee(12, "Ed Ow", "pw");
    db.addTime(7, dec(4), hm(8, 0));
    db.addTime(10, dec(3), hm(8, 0), hm(9, 0), 1);
    db.addTime(10, dec(4), {}, {}, {}, Value::text("Sick Leave"));
    db.addTime(11, dec(4), hm(7, 0), hm(8, 0), 1);
    db.addTime(12, dec(4) - 15, hm(7, 0)); // before the where-is window
    db.addEmployee(13, "Fa Un", "pw");
    db.addTime(13, dec(4), {}, {}, {}, Value::text("vacation")); // as where-is reads it: no type it knows
    EXPECT_EQ(csv({"board", db.folder()}),
              (QStringList{"EmployeeID,FullName,Status", "10,Al Bo,sick leave", "7,Ann Lee,in",
                           "11,Di Ng,out", "12,Ed Ow,no recent records", "13,Fa Un,no recent records"}));
    // The counts come from the statuses, never from their words.
    const admin::Board::Counts counts = admin::board(*Database::open(db.path()), clock.now()).counts();
    EXPECT_EQ((std::vector{counts.in, counts.out, counts.away}), (std::vector{1, 1, 1}));
}

TEST_F(TimeAdminTest, AuditRowsComeWithTheirChangeAndNeverWithout)
{
    run({"upgrade", db.folder()});
    const qint64 id = db.addTime(7, dec(3), hm(9, 0));
    run({"time-set", db.folder(), QString::number(id), "9:00 AM", "5:00 pm"});
    run({"time-set", db.folder(), QString::number(id), "12:00 AM", "12:00 AM"}, 1);

    // The clock's own repair, through the log-in: yesterday's evening shift of Ann.
    const qint64 open = db.addTime(7, dec(3), hm(20, 0));
    Workplace workplace;
    workplace.openDatabase(db.path());
    workplace.readNotifyHours();
    EXPECT_EQ(logIn(workplace, Value::integer(7), "pw", clock.now()).screen.offer, ButtonOffer::ClockOut);
    // A stale clock-out is refused and only noted.
    EXPECT_FALSE(clockOut(workplace, {Value::integer(7), "Ann Lee"}, open, clock.now()).notices.empty());

    // A server stamps its rows with its own clock, and also keeps the
    // test's own inserts ("added", "employee added").
    const QStringList all = db.onServer() ? csv({"audit", db.folder(), "1/1/2000", "12/31/2099"})
                                          : csv({"audit", db.folder(), "12/4/2026", "12/4/2026"});
    QStringList audit;
    for (const QString& line : all) {
        if (!line.contains(",added,") && !line.contains(",employee added,"))
            audit << line;
    }
    ASSERT_EQ(audit.size(), 5) << all.join('\n').toStdString();
    EXPECT_EQ(audit[0],
              "When,Workstation,Account,Address,Action,TimeID,EmployeeID,Employee,Before,After,Offline");
    if (!db.onServer()) {
        EXPECT_TRUE(audit[1].startsWith("12/4/2026 9:00:00 AM,")) << audit[1].toStdString();
    }
    EXPECT_TRUE(audit[1].contains(",edited," + QString::number(id) + ",7,Ann Lee,"))
        << audit[1].toStdString();
    EXPECT_TRUE(audit[1].endsWith("TimeOut=; Thours=; Type=Worked,Tdate=12/3/2026; TimeIn=9:00:00 AM; "
                                  "TimeOut=5:00:00 PM; Thours=8; Type=Worked,"))
        << audit[1].toStdString();
    EXPECT_TRUE(audit[2].contains(QString(",closed at midnight,%1,7,").arg(open)) &&
                audit[2].endsWith("TimeOut=12:00:00 AM; Thours=4; Type=Worked,"))
        << audit[2].toStdString();
    EXPECT_TRUE(audit[3].contains(",reopened at 12:00 am,") &&
                audit[3].contains(",7,Ann Lee,,Tdate=12/4/2026; "))
        << audit[3].toStdString();
    EXPECT_TRUE(audit[4].contains(QString(",already clocked out,%1,7,").arg(open))) << audit[4].toStdString();
    EXPECT_EQ(db.scalar("SELECT COUNT(*) FROM qslTime").toInteger(), 3);
    if (!db.onServer()) {
        EXPECT_EQ(csv({"audit", db.folder(), "12/5/2026", "12/31/2026"}).size(), 1);
    }
}

TEST_F(TimeAdminTest, UpgradeBringsAnOlderFileUpTwice)
{
    if (db.onServer())
        GTEST_SKIP() << "an older database is a file; init gives a server everything";
    db.exec("DROP INDEX PersonnelByName; DROP INDEX TimeByEmployee; DROP INDEX TimeByDate");
    db.addTime(7, dec(3), hm(20, 0));
    // The window works on the older file and writes no trail.
    Workplace workplace;
    workplace.openDatabase(db.path());
    workplace.readNotifyHours();
    EXPECT_EQ(logIn(workplace, Value::integer(7), "pw", clock.now()).screen.offer, ButtonOffer::ClockOut);
    run({"audit", db.folder(), "12/4/2026", "12/4/2026"}, 1);

    EXPECT_TRUE(run({"upgrade", db.folder()}).startsWith("Upgraded "));
    const QByteArray once = bytes();
    run({"upgrade", db.folder()});
    EXPECT_EQ(bytes(), once);
    EXPECT_EQ(db.scalar("SELECT COUNT(*) FROM sqlite_master WHERE name IN ('PersonnelByName', "
                        "'TimeByEmployee', 'TimeByDate', 'TimeAudit')")
                  .toInteger(),
              4);
    run({"time-delete", db.folder(), "1"});
    EXPECT_EQ(auditRows(), 1);
}
