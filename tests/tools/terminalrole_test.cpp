#include "login/login.h"
#include "platform/clock.h"
#include "platform/datetime.h"
#include "review/timesheet.h"
#include "review/whereis.h"
#include "store/postgres.h"
#include "support/coretest.h"
#include "timekeeping/clocking.h"
#include "tools/runtool.h"
#include "workplace/workplace.h"

#include <QDir>
#include <QUrl>
#include <gtest/gtest.h>
#include <libpq-fe.h>
#include <unistd.h>

using namespace pelmar;
using test::Backend;
using test::Result;
using test::runTool;
using test::TestDb;

namespace {

using test::hm;

// A terminal's own libpq connection, for statements typed by hand.
class Psql
{
public:
    explicit Psql(const QString& uri) : m_conn(PQconnectdb(uri.toUtf8().constData()))
    {
        EXPECT_EQ(PQstatus(m_conn.get()), CONNECTION_OK) << PQerrorMessage(m_conn.get());
    }
    // The statement's SQLSTATE; empty when it succeeded.
    std::string state(const QString& sql)
    {
        sql::PgResultHandle r(PQexec(m_conn.get(), sql.toUtf8().constData()));
        const ExecStatusType status = PQresultStatus(r.get());
        if (status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK)
            return {};
        const char* code = PQresultErrorField(r.get(), PG_DIAG_SQLSTATE);
        return code ? code : "?";
    }

private:
    sql::PgConnectionHandle m_conn;
};

// The terminals' group and one terminal's role, made by the tool; roles
// belong to the whole test server, so the names are this process's own.
class TerminalRoleTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!test::serverAvailable())
            GTEST_SKIP() << "no test server: set PELMAR_TEST_SERVER, or run scripts/test.sh";
        db.emplace(Backend::Server);
        db->addEmployee(7, "Ann Lee", "pw");
        db->addEmployee(8, "Ben Ode", "pw");
        owner = QUrl(db->folder()).userName();
        server = sql::PgSession::connect(db->folder());
    }
    void TearDown() override
    {
        if (!db)
            return;
        for (const QString& role : {terminal, group}) {
            try {
                const QString quoted = '"' + QString(role).replace('"', "\"\"") + '"';
                server->exec(QStringLiteral("DROP OWNED BY %1; DROP ROLE %1").arg(quoted));
            } catch (...) {
                // Left behind, it goes with the throwaway cluster.
            }
        }
    }
    QString terminalUri() const
    {
        QUrl uri(db->folder());
        uri.setUserName(terminal);
        uri.setPassword(QStringLiteral("terminal-pw"));
        return uri.toString();
    }
    void makeTerminal()
    {
        const Result granted = runTool({"grant-terminal", db->folder(), group}, clock);
        ASSERT_EQ(granted.status, 0) << granted.err.toStdString();
        const Result added = runTool({"add-terminal", db->folder(), group, terminal, "terminal-pw"}, clock);
        ASSERT_EQ(added.status, 0) << added.err.toStdString();
    }
    // The terminal's rows in the trail, of one action or all.
    qint64 trailOf(const QString& action = QString())
    {
        sql::PgResultHandle r = server->run(
            QStringLiteral("SELECT COUNT(*) FROM timeaudit WHERE account = $1 AND ($2 = '' OR action = $2) "
                           "AND address <> ''"),
            {Value::text(terminal), Value::text(action)});
        return QByteArray(PQgetvalue(r.get(), 0, 0)).toLongLong();
    }

    std::optional<TestDb> db;
    std::shared_ptr<sql::PgSession> server; // the owner's, for what the test arranges and reads
    // Today by the system's clock: the server takes a terminal's new shifts
    // for its own today only.
    const double today = dates::datePart(SystemClock().now());
    ManualClock clock{today + hm(9, 0)};
    QString owner;
    const QString group = QStringLiteral("pelmar_terminals_%1").arg(::getpid());
    const QString terminal = QStringLiteral("pelmar_t\"1_%1").arg(::getpid()); // a quote in its name
};

TEST_F(TerminalRoleTest, TheToolRefusesRolesThatCannotBeTerminals)
{
    server->exec(QStringLiteral("CREATE ROLE %1 LOGIN").arg(group)); // a role that logs in is no group
    const QStringList refused[] = {
        {"grant-terminal", QDir::tempPath(), group},
        {"grant-terminal", db->folder(), owner},
        {"grant-terminal", db->folder(), group},
        {"add-terminal", db->folder(), group, terminal, "pw"}, // not granted
    };
    for (const QStringList& args : refused) {
        const Result r = runTool(args, clock);
        EXPECT_EQ(r.status, 1) << args.join(' ').toStdString();
        EXPECT_FALSE(r.err.isEmpty());
    }
    server->exec(QStringLiteral("DROP ROLE %1").arg(group));
    makeTerminal();
    // Each terminal once; the owner's rights are untouched.
    EXPECT_EQ(runTool({"add-terminal", db->folder(), group, terminal, "pw"}, clock).status, 1);
    sql::PgResultHandle login = server->run(
        QStringLiteral("SELECT rolcanlogin FROM pg_roles WHERE rolname = $1"), {Value::text(group)});
    EXPECT_STREQ(PQgetvalue(login.get(), 0, 0), "f");
    EXPECT_EQ(runTool({"employee-add", db->folder(), "9", "Cy Park", "pw"}, clock).status, 0);
}

// The clock's whole day as a terminal, and the rows the server keeps of it.
TEST_F(TerminalRoleTest, TheClockRunsItsWholeDayAsATerminal)
{
    db->addTime(7, today - 1, hm(20, 0)); // open since yesterday
    db->addTime(8, today - 3, hm(8, 0));  // open for three days
    db->setSetting("WorkHoursNotify", Value::number(3));
    makeTerminal();

    Workplace workplace;
    workplace.openDatabase(terminalUri());
    workplace.readNotifyHours();
    const double now = clock.now();
    EXPECT_FALSE(logIn(workplace, Value::integer(7), "wrong", now).employee);
    const LogInResult ann = logIn(workplace, Value::integer(7), "pw", now);
    EXPECT_EQ(ann.screen.offer, ButtonOffer::ClockOut);
    EXPECT_EQ(ann.screen.notices.size(), 2u); // the 4-hour alert and the message
    const LogInResult ben = logIn(workplace, Value::integer(8), "pw", now);
    ASSERT_TRUE(ben.employee);
    EXPECT_EQ(ben.screen.notices.size(), 2u); // told, and the administrator alerted
    const std::optional<qint64> in = clockIn(workplace, *ben.employee, now).written;
    ASSERT_TRUE(in);
    EXPECT_FALSE(clockIn(workplace, *ben.employee, now).written); // noted, not written
    const ActionResult out = clockOut(workplace, *ben.employee, *in, now + hm(2, 0));
    EXPECT_TRUE(out.written);
    EXPECT_EQ(out.notices.size(), 0u);
    EXPECT_EQ(timesheet::load(workplace, timesheet::defaultRange(now), Value::integer(8)), "Total Hours 18.");
    EXPECT_EQ(whereis::answer(workplace, Value::integer(7), "Ann Lee", now), "Ann Lee is in.");

    for (const char* action :
         {"closed at midnight", "reopened at 12:00 am", "clocked in", "already clocked in", "clocked out"})
        EXPECT_GE(trailOf(QString::fromLatin1(action)), 1) << action;
    EXPECT_EQ(db->scalar("SELECT Thours FROM qslTime WHERE TimeID = " + QString::number(*in)).toDouble(),
              2.0);
    // Both repairs' alerts are in the outbox, added by the terminal itself;
    // its rows name the workstation.
    sql::PgResultHandle alerts = server->run("SELECT COUNT(*) FROM alertoutbox WHERE state = 'pending'");
    EXPECT_STREQ(PQgetvalue(alerts.get(), 0, 0), "2");
    sql::PgResultHandle unnamed = server->run(
        "SELECT COUNT(*) FROM timeaudit WHERE account = $1 AND workstation = ''", {Value::text(terminal)});
    EXPECT_STREQ(PQgetvalue(unnamed.get(), 0, 0), "0");
}

// Every statement beyond a clock's, typed by hand with a terminal's
// credentials, is refused; what a clock may do leaves its trail.
TEST_F(TerminalRoleTest, AnythingElseIsRefusedOrTrailed)
{
    const qint64 closed = db->addTime(7, today - 1, hm(9, 0), hm(17, 0), 8);
    const qint64 open = db->addTime(8, today, hm(8, 0));
    makeTerminal();
    Psql psql(terminalUri());
    const QString c = QString::number(closed), o = QString::number(open), day = QString::number(today);
    const QString refused[] = {
        "SELECT Password FROM Personnel",
        "SELECT * FROM Personnel",
        "UPDATE Time SET Thours = Thours + 40 WHERE TimeID = " + c,
        "UPDATE Time SET TimeOut = NULL WHERE TimeID = " + c,
        "UPDATE Time SET TimeOut = 0.75 WHERE TimeID = " + c,
        "UPDATE Time SET PersonnelID = 8 WHERE TimeID = " + o,
        "UPDATE Time SET Tdate = Tdate - 1 WHERE TimeID = " + o,
        "UPDATE Time SET Type = 'Vacation', TimeOut = 0.7 WHERE TimeID = " + o,
        "UPDATE qslTime SET Thours = 99 WHERE TimeID = " + c,
        "INSERT INTO Time (PersonnelID, Tdate, TimeIn, TimeOut, Thours, Type) VALUES (7, " + day +
            ", 0.3, 0.7, 40, 'Worked')",
        "INSERT INTO Time (PersonnelID, Tdate, Type) VALUES (7, " + day + ", 'Vacation')",
        "INSERT INTO Time (TimeID, PersonnelID, Tdate, TimeIn, Type) VALUES (999, 7, " + day +
            ", 0.3, 'Worked')",
        "INSERT INTO Time (PersonnelID, Tdate, TimeIn, Type) VALUES (7, " + day + " - 30, 0.3, 'Worked')",
        "DELETE FROM Time",
        "INSERT INTO TimeAudit (AuditID, \"when\", Action) VALUES (2147483647, 0, 'forged')",
        "UPDATE TimeAudit SET Action = 'x'",
        "DELETE FROM TimeAudit",
        "UPDATE Personnel SET Password = 'x'",
        "INSERT INTO Personnel (EmployeeID, FullName) VALUES (9, 'Al Bo')",
        "UPDATE CustomSettings SET smtpserver = 'mail.example.com'",
        "SELECT pelmar_audit_row('forged', NULL, NULL, NULL, NULL)",
        "SELECT pelmar_note('edited', " + c + ")",
        "BEGIN; LOCK TABLE Time IN ACCESS EXCLUSIVE MODE",
        "BEGIN; LOCK TABLE WriteLock IN EXCLUSIVE MODE",
    };
    for (const QString& sql : refused) {
        EXPECT_EQ(psql.state(sql), "42501") << sql.toStdString();
        psql.state("ROLLBACK");
    }
    EXPECT_EQ(trailOf(), 0);

    // Held past its transaction, the old advisory lock stops no writer.
    EXPECT_EQ(psql.state(QStringLiteral("SELECT pg_advisory_lock(%1)").arg(sql::PgSession::WriteLockKey)),
              "");
    EXPECT_EQ(runTool({"absence-add", db->folder(), "7", "12/1/2026", "Holiday"}, clock).status, 0);
    // A clock's own writes typed by hand: the server's hours and a trail row.
    EXPECT_EQ(psql.state("UPDATE Time SET TimeOut = 0.5, Thours = 99, Type = 'Worked' WHERE TimeID = " + o),
              "");
    EXPECT_EQ(db->scalar("SELECT Thours FROM qslTime WHERE TimeID = " + o).toDouble(), 4.0);
    EXPECT_EQ(psql.state("INSERT INTO Time (PersonnelID, Tdate, TimeIn, Type) VALUES (7, " + day +
                         ", 0.3, 'Worked')"),
              "");
    EXPECT_EQ(trailOf("edited"), 1);
    EXPECT_EQ(trailOf("added"), 1);
    EXPECT_EQ(trailOf(), 2);
}

} // namespace
