#include "app/timeclock.h"
#include "login/login.h"
#include "platform/clock.h"
#include "review/timesheet.h"
#include "review/whereis.h"
#include "store/engine.h"
#include "store/sqltexts.h"
#include "support/coretest.h"
#include "support/errorof.h"
#include "timekeeping/clocking.h"
#include "tools/pelmardb.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QUrl>
#include <gtest/gtest.h>

using namespace pelmar;
using test::Backend;
using test::TestDb;

namespace {

struct Result
{
    int status;
    QString out;
    QString err;
};

Result runTool(const QStringList& args, Clock& clock, bool progress = false)
{
    QString out, err;
    QTextStream o(&out), e(&err);
    // No terminal to ask for a password that was left out.
    QFile nothing("/dev/null");
    EXPECT_TRUE(nothing.open(QIODevice::ReadOnly));
    const int status = runPelmarDb(args, o, e, clock, progress, nothing.handle());
    o.flush();
    e.flush();
    return {status, out, err};
}

// The tool on each engine: FOLDER is a temporary folder without a database,
// or the URI of a server database without tables.
class PelmarDbTest : public test::EngineTest
{
protected:
    Result run(const QStringList& args, bool progress = false) { return runTool(args, clock, progress); }

    QString folder() const { return target.folder(); }
    QStringList lines(const QString& sql, QString where = {})
    {
        return run({"query", where.isEmpty() ? folder() : where, sql}).out.split("\r\n", Qt::SkipEmptyParts);
    }
    // Every row of every table, to tell that nothing was written.
    QStringList contents()
    {
        return lines("SELECT * FROM Personnel") + lines("SELECT * FROM qslTime") +
               lines("SELECT * FROM CustomSettings");
    }

    TestDb target{test::runnable(GetParam()), TestDb::Tables::None};
    // Friday 4 December 2026, 9:00 AM.
    ManualClock clock{dates::serial(2026, 12, 4) + dates::timeSerial(9, 0, 0)};
};

INSTANTIATE_TEST_SUITE_P(Engines, PelmarDbTest, test::bothEngines(), test::engineName);

} // namespace

TEST_P(PelmarDbTest, RefusesBadInputWithStatusOneAndWritesNothing)
{
    ASSERT_EQ(run({"init", folder()}).status, 0);
    ASSERT_EQ(run({"employee-add", folder(), "7", "Sample Employee", "pw"}).status, 0);
    const QStringList before = contents();
    // Command lines separated by commas, their arguments by |; ~ is the folder.
    const QStringList refused =
        QStringLiteral(
            ",bogus|~,init|~,init|~/missing,employee-add|~|7|Again|pw,employee-add|~|x|Name|pw,"
            "employee-add|~|8| |pw,employee-add|~|8|Ann "
            "\u202EeeL|pw,employee-add|~|8|Ann\nLee|pw,employee-terminate|~|7|13/45/"
            "2026,employee-password|~|9|pw,"
            "employee-add|~|8|Name,employee-password|~|7|-,setting|~|smtppassword,setting|~|smtpserver,"
            "setting|~|colour|red,setting|~|WorkHoursNotify|ten,setting|~|smtpemail|a@b\r\nBcc: c@d,"
            "absence-add|~|7|12/1/2026|vacation,query|~|DELETE FROM Personnel,copy|~|~")
            .split(',');
    for (const QString& line : refused) {
        const QStringList args = QString(line).replace('~', folder()).split('|', Qt::SkipEmptyParts);
        SCOPED_TRACE(args.join(QLatin1Char(' ')).toStdString());
        const Result r = run(args);
        EXPECT_EQ(r.status, 1);
        EXPECT_FALSE(r.err.isEmpty());
        EXPECT_EQ(contents(), before);
    }
    // A SELECT that writes through a function: a read-only transaction on a
    // server refuses it (the file knows no such function).
    const Result r = run({"query", folder(), "SELECT setval(pg_get_serial_sequence('time', 'timeid'), 99)"});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains(target.onServer() ? "error 3027" : "error 3075")) << r.err.toStdString();
}

TEST_P(PelmarDbTest, CommandsWriteThroughTheStore)
{
    ASSERT_EQ(run({"init", folder()}).status, 0);
    run({"employee-add", folder(), "7", "Doe, \"JJ\"", "pw"});
    run({"employee-password", folder(), "7", "new"});
    run({"employee-terminate", folder(), "7", "12/1/2026"});
    run({"setting", folder(), "workhoursnotify", "8.5"});
    run({"absence-add", folder(), "7", "11/30/2026", "Sick Leave"});
    EXPECT_EQ(
        lines("SELECT * FROM qslPersonnelShort"),
        (QStringList{"EmployeeID,FullName,Password,TerminationDate", "7,\"Doe, \"\"JJ\"\"\",new,12/1/2026"}));
    EXPECT_EQ(lines("SELECT WorkHoursNotify FROM CustomSettings").last(), "8.5");
    EXPECT_EQ(lines("SELECT PersonnelID, Tdate, TimeIn, Type FROM qslTime").last(),
              "7,11/30/2026,,Sick Leave");
}

// A file's demo copied to the engine under test and back to a new file reads
// the same, keys and all; a target with records is refused.
TEST_P(PelmarDbTest, CopyCarriesEveryRowThereAndBack)
{
    QTemporaryDir source, back;
    ASSERT_EQ(run({"demo", source.path()}).status, 0);
    // The test server's password, in the URI, is not printed.
    QUrl withPassword(folder());
    withPassword.setPassword(qEnvironmentVariable("PGPASSWORD", "unused"));
    const Result there =
        run({"copy", source.path(), target.onServer() ? withPassword.toString() : folder()}, true);
    ASSERT_EQ(there.status, 0) << there.err.toStdString();
    EXPECT_TRUE(there.err.contains("Personnel: 5 of 5 rows\n")) << there.err.toStdString();
    EXPECT_FALSE(there.out.contains(withPassword.password())) << there.out.toStdString();
    ASSERT_EQ(run({"copy", folder(), back.path()}).status, 0);
    for (const QString& sql : {sqltexts::AllTimeRecords, sqltexts::CurrentEmployees,
                               QStringLiteral("SELECT * FROM CustomSettings")}) {
        const QStringList original = lines(sql, source.path());
        EXPECT_EQ(lines(sql), original);
        EXPECT_EQ(lines(sql, back.path()), original);
    }
    // New records continue after the copied keys.
    ASSERT_EQ(run({"absence-add", folder(), "1", "12/7/2026", "Holiday"}).status, 0);
    EXPECT_EQ(lines("SELECT MAX(TimeID) AS Last FROM qslTime").last().toInt(),
              lines("SELECT MAX(TimeID) AS Last FROM qslTime", source.path()).last().toInt() + 1);

    const Result again = run({"copy", source.path(), folder()});
    EXPECT_EQ(again.status, 1);
    EXPECT_TRUE(again.err.contains("already holds records")) << again.err.toStdString();
}

// A copy that fails half-way leaves the target as it was: no file, no tables.
TEST_P(PelmarDbTest, AFailedCopyLeavesTheTargetAsItWas)
{
    TestDb broken(Backend::File);
    broken.exec("DROP TABLE CustomSettings");
    const Result r = run({"copy", broken.folder(), folder()});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains("CustomSettings")) << r.err.toStdString();
    if (target.onServer())
        EXPECT_EQ(target.scalar("SELECT COUNT(*) FROM pg_tables WHERE schemaname = 'public'").toInteger(), 0);
    else
        EXPECT_FALSE(QFile::exists(QDir(folder()).filePath("Pelmar.mdb")));
}

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
    const std::vector<QStringList> refused = {
        {"time-set", f, id, "9:00 AM", "8:59 AM"}, // clock-out before clock-in
        {"time-set", f, id, "12:00 AM", "12:00 AM"},
        {"time-set", f, id, "9:00", "5:00 PM"},
        {"time-set", f, "999", "9:00 AM", "-"},
        {"time-set", f, vacation, "9:00 AM", "5:00 PM"},
        {"time-add", f, "6", "12/3/2026", "9:00 AM", "-"},
        {"time-add", f, "7", "12/33/2026", "9:00 AM", "-"},
        {"time-delete", f, "999"},
        {"times", f, "6", "12/1/2026", "12/4/2026"},
        {"hours", f, "12/4/2026", "12/1/2026"},
        {"board", f + "/missing"},
    };
    for (const QStringList& args : refused) {
        SCOPED_TRACE(args.join(' ').toStdString());
        run(args, 1);
        EXPECT_EQ(bytes(), before);
    }
    EXPECT_EQ(auditRows(), 0);
}

TEST_F(TimeAdminTest, HoursCountWhatPayrollNeeds)
{
    db.addTime(7, dec(1), hm(8, 0), hm(16, 30), 8.5);
    db.addTime(7, dec(1), hm(17, 0), hm(18, 0), 1);
    db.addTime(7, dec(2), {}, {}, {}, Value::text("vacation")); // typed by hand, lower case
    db.addTime(7, dec(3), {}, {}, {}, Value::text("Sick Leave"));
    db.addTime(7, dec(4), hm(8, 0));              // still open
    db.addTime(7, dec(5), hm(8, 0), hm(9, 0), 1); // after the range
    db.addTime(8, dec(1), {}, {}, {}, Value::text("Holiday"));
    db.addTime(9, dec(1), hm(8, 0), hm(9, 0), 1);
    EXPECT_EQ(csv({"hours", db.folder(), "12/1/2026", "12/4/2026"}),
              (QStringList{"EmployeeID,FullName,Hours,DaysWorked,Vacation,Holiday,SickLeave,OpenShifts",
                           "7,Ann Lee,9.50,2,1,0,1,1", "8,Ben Ode,0.00,0,0,1,0,0"}));
    EXPECT_EQ(csv({"times", db.folder(), "7", "12/3/2026", "12/4/2026"}),
              (QStringList{"TimeID,Tdate,TimeIn,TimeOut,Thours,Type", "5,12/4/2026,8:00:00 AM,,,Worked",
                           "4,12/3/2026,,,,Sick Leave"}));
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
    EXPECT_EQ(csv({"board", db.folder()}),
              (QStringList{"EmployeeID,FullName,Status", "10,Al Bo,sick leave", "7,Ann Lee,in",
                           "11,Di Ng,out", "12,Ed Ow,no recent records"}));
}

TEST_F(TimeAdminTest, AuditRowsComeWithTheirChangeAndNeverWithout)
{
    run({"upgrade", db.folder()});
    const qint64 id = db.addTime(7, dec(3), hm(9, 0));
    run({"time-set", db.folder(), QString::number(id), "9:00 AM", "5:00 pm"});
    run({"time-set", db.folder(), QString::number(id), "9:00 AM", "8:00 AM"}, 1);

    // The clock's own repair, through the log-in: yesterday's shift of Ben.
    const qint64 open = db.addTime(8, dec(3), hm(20, 0));
    TimeClock timeClock;
    timeClock.openDatabase(db.path());
    timeClock.readNotifyHours();
    EXPECT_EQ(logIn(timeClock, Value::integer(8), clock.now()).repair, LogIn::Repair::ClosedYesterday);
    // A stale clock-out is refused and only noted.
    EXPECT_FALSE(clockOut(timeClock, open, clock.now()).closed);

    const QStringList audit = csv({"audit", db.folder(), "12/4/2026", "12/4/2026"});
    const QString when = "12/4/2026 9:00:00 AM,";
    ASSERT_EQ(audit.size(), 5);
    EXPECT_EQ(audit[0], "When,Workstation,Action,TimeID,EmployeeID,Before,After");
    EXPECT_TRUE(audit[1].startsWith(when) && audit[1].contains(",edited," + QString::number(id) + ",7,"))
        << audit[1].toStdString();
    EXPECT_TRUE(audit[1].endsWith("TimeOut=; Thours=; Type=Worked,Tdate=12/3/2026; TimeIn=9:00:00 AM; "
                                  "TimeOut=5:00:00 PM; Thours=8; Type=Worked"));
    EXPECT_TRUE(audit[2].contains(QString(",closed at midnight,%1,8,").arg(open)) &&
                audit[2].endsWith("TimeOut=12:00:00 AM; Thours=4; Type=Worked"))
        << audit[2].toStdString();
    EXPECT_TRUE(audit[3].contains(",reopened at 12:01 am,") && audit[3].contains(",8,,Tdate=12/4/2026; "))
        << audit[3].toStdString();
    EXPECT_TRUE(audit[4].contains(QString(",already clocked out,%1,8,").arg(open))) << audit[4].toStdString();
    EXPECT_EQ(db.scalar("SELECT COUNT(*) FROM qslTime").toInteger(), 3);
    EXPECT_EQ(csv({"audit", db.folder(), "12/5/2026", "12/31/2026"}).size(), 1);
}

TEST_F(TimeAdminTest, UpgradeBringsAnOlderFileUpTwice)
{
    if (db.onServer())
        GTEST_SKIP() << "an older database is a file; init gives a server everything";
    db.exec("DROP INDEX PersonnelByName; DROP INDEX TimeByEmployee; DROP INDEX TimeByDate");
    db.addTime(7, dec(3), hm(20, 0));
    // The window works on the older file and writes no trail.
    TimeClock timeClock;
    timeClock.openDatabase(db.path());
    timeClock.readNotifyHours();
    EXPECT_EQ(logIn(timeClock, Value::integer(7), clock.now()).repair, LogIn::Repair::ClosedYesterday);
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

// A terminal's role on a server runs the whole clock and can do nothing else:
// no DELETE, no writes to the staff or the settings.
TEST(TerminalRoleTest, TheClockRunsUnderATerminalsRoleAndNothingElse)
{
    if (!test::serverAvailable())
        GTEST_SKIP() << "no test server: set PELMAR_TEST_SERVER, or run scripts/test.sh";
    ManualClock clock{dec(4) + hm(9, 0)};
    TestDb db(Backend::Server);
    ASSERT_EQ(runTool({"upgrade", db.folder()}, clock).status, 0);
    db.addEmployee(7, "Ann Lee", "pw");
    db.addEmployee(8, "Ben Ode", "pw");
    db.addTime(7, dec(3), hm(20, 0)); // open since yesterday
    db.addTime(8, dec(1), hm(8, 0));  // open since Tuesday

    // Roles belong to the whole test server: one of this process's own.
    const QString role = QStringLiteral("pelmar_terminal_%1").arg(::getpid());
    db.exec(QStringLiteral("CREATE ROLE %1 LOGIN PASSWORD 'terminal-pw'").arg(role));
    struct Dropped
    {
        TestDb& db;
        QString role;
        ~Dropped()
        {
            try {
                db.exec(QStringLiteral("DROP OWNED BY %1; DROP ROLE %1").arg(role));
            } catch (...) {
                // Left behind, it goes with the throwaway cluster.
            }
        }
    } dropped{db, role};

    const QStringList refused[] = {{"grant-terminal", db.folder(), "no_such_role"},
                                   {"grant-terminal", db.folder(), QUrl(db.folder()).userName()},
                                   {"grant-terminal", QDir::tempPath(), role}};
    for (const QStringList& args : refused)
        EXPECT_EQ(runTool(args, clock).status, 1) << args.join(' ').toStdString();
    const Result granted = runTool({"grant-terminal", db.folder(), role}, clock);
    ASSERT_EQ(granted.status, 0) << granted.err.toStdString();

    QUrl terminal(db.folder());
    terminal.setUserName(role);
    terminal.setPassword("terminal-pw");
    {
        TimeClock timeClock;
        timeClock.openDatabase(terminal.toString());
        timeClock.readNotifyHours();
        const double now = clock.now();
        EXPECT_EQ(logIn(timeClock, Value::integer(7), now).repair, LogIn::Repair::ClosedYesterday);
        EXPECT_EQ(logIn(timeClock, Value::integer(8), now).repair, LogIn::Repair::ClosedEarlier);
        const TimeRecord in = clockIn(timeClock, Value::integer(8), now);
        EXPECT_TRUE(clockOut(timeClock, in.id, now + hm(2, 0)).closed);
        EXPECT_EQ(timesheet::load(timeClock, timesheet::defaultRange(now), Value::integer(8)),
                  "Total Hours 18.");
        EXPECT_EQ(whereis::answer(timeClock, Value::integer(7), "Ann Lee", now), "Ann Lee is in.");
    }
    EXPECT_EQ(db.scalar("SELECT COUNT(*) FROM TimeAudit").toInteger(), 3);

    std::unique_ptr<Database> asTerminal = Engine().openDatabase(terminal.toString());
    for (const char* sql :
         {"DELETE FROM [Time]", "DELETE FROM TimeAudit", "UPDATE Personnel SET Password = 'x'",
          "UPDATE CustomSettings SET smtpserver = 'mail.example.com'",
          "INSERT INTO Personnel (EmployeeID, FullName) VALUES (9, 'Al Bo')"}) {
        EXPECT_EQ(test::errorOf([&] { asTerminal->execute(QString::fromUtf8(sql)); }), err::ReadOnly) << sql;
    }
    EXPECT_EQ(db.scalar("SELECT COUNT(*) FROM qslTime").toInteger(), 4);
}
