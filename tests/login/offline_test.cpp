#include "login/offline.h"
#include "platform/runerror.h"
#include "store/audit.h"
#include "store/engine.h"
#include "store/sqlite.h"
#include "support/coretest.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace pelmar;
using namespace pelmar::test;

namespace {

const Employee AnnAble{Ann, QStringLiteral("Ann Able")};
const QString Secret = QStringLiteral("correct horse battery");

struct Terminal
{
    Terminal() : offline(path(), 14) {}
    QString path() const { return dir.filePath(QStringLiteral("journal.sqlite")); }
    // Ann logged in on this terminal while the database answered.
    void knowAnn(std::optional<double> openSince = std::nullopt, double at = Today)
    {
        offline.loggedIn(AnnAble, Secret, openSince, at);
        offline.settle();
    }

    QTemporaryDir dir;
    OfflineClock offline;
};

const RunError Outage = RunError::of(err::CouldNotFindFile, QStringLiteral("/srv/pelmar/Pelmar.mdb"));

TEST(OfflineTest, OnlyAnEmployeeKnownToTheTerminalLogsInAndNoPasswordIsKept)
{
    Terminal t;
    LogInResult refused = t.offline.logIn(Ann, Secret, Today + hm(9, 0), Outage);
    EXPECT_FALSE(refused.employee);
    EXPECT_EQ(refused.screen.notices, std::vector{Notice::message(offline::unknownMessage(Outage, 14))});
    EXPECT_TRUE(refused.screen.notices[0].text.contains(QStringLiteral("Error 3024")));

    t.knowAnn(Today + hm(8, 0));
    QFile file(t.path());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_FALSE(file.readAll().contains(Secret.toUtf8()));

    refused = t.offline.logIn(Ann, QStringLiteral("correct horse"), Today + hm(9, 0), Outage);
    EXPECT_FALSE(refused.employee);
    EXPECT_EQ(refused.screen.notices, std::vector{Notice::message(wrongPassword())});

    // Open since 8:00 as last read: the clock-out is offered.
    LogInResult in = t.offline.logIn(Ann, Secret, Today + hm(9, 0), Outage);
    ASSERT_TRUE(in.employee);
    EXPECT_EQ(in.employee->fullName, QStringLiteral("Ann Able"));
    EXPECT_EQ(in.screen.offer, ButtonOffer::ClockOut);
    EXPECT_EQ(in.screen.clockedIn->time, QStringLiteral("8:00:00 AM"));

    // The journal's own punch is newer than what was read.
    const ActionResult out = t.offline.clockOut(AnnAble, Today + hm(9, 30));
    EXPECT_EQ(out.notices, std::vector{Notice::message(offline::savedMessage(Today + hm(9, 30)))});
    EXPECT_EQ(out.clockedOut->time, QStringLiteral("9:30:00 AM"));
    EXPECT_EQ(t.offline.logIn(Ann, Secret, Today + hm(10, 0), Outage).screen.offer, ButtonOffer::ClockIn);
    EXPECT_EQ(t.offline.pending(), 1);

    // Past the days kept, nobody is known.
    EXPECT_FALSE(t.offline.logIn(Ann, Secret, Today + 15, Outage).employee);
}

TEST(OfflineTest, TheJournalRefusesRatherThanKeepTooManyOrTooOld)
{
    Terminal t;
    t.offline.clockIn(AnnAble, Today - 14);
    try {
        t.offline.clockOut(AnnAble, Today + hm(0, 1));
        ADD_FAILURE() << "a punch after 14 days was kept";
    } catch (const RunError& e) {
        EXPECT_EQ(e.number(), err::DiskFull);
    }
    {
        const auto db = sql::Connection::openPrivate(t.path());
        db->exec(
            QStringLiteral("DELETE FROM Punches; WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 "
                           "FROM n WHERE i < 10000) INSERT INTO Punches SELECT 'k' || i, 7, 'Ann Able', "
                           "'in', 46360, 'front', NULL FROM n"));
    }
    EXPECT_THROW(t.offline.clockIn(AnnAble, Today), RunError);
    EXPECT_EQ(t.offline.pending(), Journal::MaxEntries);
}

struct WriteBackTest : ::testing::Test
{
    WriteBackTest()
    {
        const auto db = c.workplace.open();
        audit::createTable(*db);
    }
    CoreDb c;
    Terminal t;

    std::vector<sql::Row> offlineTrail()
    {
        return c.db.rows(QStringLiteral("SELECT Action, EntryKey, Offline FROM TimeAudit WHERE EntryKey IS "
                                        "NOT NULL ORDER BY AuditID"));
    }
};

TEST_F(WriteBackTest, EachPunchIsWrittenOnceAtItsOwnTimeWithItsKeyInTheTrail)
{
    c.setThreshold(8.5);
    t.offline.clockIn(AnnAble, Today + hm(8, 1, 12));
    t.offline.clockOut(AnnAble, Today + hm(17, 0));
    // A copy of the journal, as a restored backup or a crash before the
    // journal forgot its punches would leave.
    const QString copy = t.dir.filePath(QStringLiteral("copy.sqlite"));
    ASSERT_TRUE(QFile::copy(t.path(), copy));

    EXPECT_EQ(t.offline.writeBack(c.workplace, Today + hm(17, 5)), 2);
    EXPECT_EQ(t.offline.pending(), 0);
    OfflineClock again(copy, 14);
    EXPECT_EQ(again.writeBack(c.workplace, Today + hm(17, 6)), 0);
    EXPECT_EQ(again.pending(), 0);

    const auto rows = c.db.timeRows();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].tdate.toDouble(), Today);
    EXPECT_EQ(rows[0].timeIn.toDouble(), hm(8, 1, 12));
    EXPECT_EQ(rows[0].timeOut.toDouble(), hm(17, 0));
    EXPECT_NEAR(rows[0].hours.toDouble(), 8.98, 0.001);
    // Over the threshold: the alert waits in the outbox for any terminal.
    EXPECT_EQ(
        c.db.scalar(QStringLiteral("SELECT COUNT(*) FROM AlertOutbox WHERE State = 'pending'")).toInteger(),
        1);

    const auto trail = offlineTrail();
    ASSERT_EQ(trail.size(), 2u);
    EXPECT_EQ(trail[0][0].toText(), QStringLiteral("clocked in"));
    EXPECT_EQ(trail[1][0].toText(), QStringLiteral("clocked out"));
    EXPECT_NE(trail[0][1], trail[1][1]);
    EXPECT_TRUE(trail[0][2].toText().startsWith(QStringLiteral("punched offline on ")));
    EXPECT_TRUE(trail[0][2].toText().endsWith(QStringLiteral(" at 12/4/2026 8:01:12 AM")));
}

TEST_F(WriteBackTest, APunchIsDecidedAsAClickAtItsOwnTime)
{
    // Left open yesterday: the write-back of today's clock-out repairs it
    // at midnight first, as the log-in would have.
    c.shift(dec(3), hm(15, 0));
    t.offline.clockOut(AnnAble, Today + hm(9, 0));
    // A second clock-in while a shift is open changes nothing but the trail.
    t.offline.clockIn(AnnAble, Today + hm(10, 0));
    t.offline.clockIn(AnnAble, Today + hm(10, 5));
    EXPECT_EQ(t.offline.writeBack(c.workplace, Today + hm(11, 0)), 3);

    const auto rows = c.db.timeRows();
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].hours.toDouble(), 9);
    EXPECT_EQ(rows[1].timeIn.toDouble(), 0.0);
    EXPECT_EQ(rows[1].timeOut.toDouble(), hm(9, 0));
    EXPECT_EQ(rows[2].timeIn.toDouble(), hm(10, 0));
    EXPECT_TRUE(rows[2].timeOut.isNull());
    const auto trail = offlineTrail();
    ASSERT_EQ(trail.size(), 3u);
    EXPECT_EQ(trail[2][0].toText(), QStringLiteral("already clocked in"));
}

// A punch the database refuses for a reason of its own is set aside with
// the reason, and the punches after it still go back.
TEST_F(WriteBackTest, APunchTheDatabaseRefusesIsSetAsideAndTheRestGoOn)
{
    if (c.db.onServer())
        GTEST_SKIP() << "the refusal here is a trigger of the file's";
    c.db.addEmployee(8, QStringLiteral("Bob Best"), QStringLiteral("pw"));
    c.db.exec(QStringLiteral("CREATE TRIGGER refuse BEFORE INSERT ON \"Time\" WHEN NEW.PersonnelID = 8 "
                             "BEGIN SELECT RAISE(ABORT, 'refused'); END"));
    t.offline.clockIn({Value::integer(8), QStringLiteral("Bob Best")}, Today + hm(8, 0));
    t.offline.clockIn(AnnAble, Today + hm(8, 1));
    EXPECT_EQ(t.offline.writeBack(c.workplace, Today + hm(9, 0)), 1);
    EXPECT_EQ(t.offline.pending(), 0);
    EXPECT_EQ(t.offline.setAside(), 1);
    EXPECT_EQ(c.db.scalar(QStringLiteral("SELECT COUNT(*) FROM \"Time\" WHERE PersonnelID = 7")).toInteger(),
              1);
    EXPECT_EQ(c.db.scalar(QStringLiteral("SELECT COUNT(*) FROM \"Time\"")).toInteger(), 1);
}

TEST_F(WriteBackTest, WhoLeftOrHadTheirPasswordResetIsForgotten)
{
    c.db.addEmployee(8, QStringLiteral("Bob Best"), QStringLiteral("pw"));
    c.db.addEmployee(9, QStringLiteral("Cy Cole"), QStringLiteral("pw"));
    for (qint64 id : {7, 8, 9})
        t.offline.loggedIn({Value::integer(id), QStringLiteral("someone")}, Secret, std::nullopt, Today);
    t.offline.settle();
    c.db.exec(QStringLiteral("UPDATE Personnel SET TerminationDate = 46359 WHERE EmployeeID = 8"));
    if (c.db.onServer())
        c.db.exec(QStringLiteral("UPDATE Personnel SET Password = 'new' WHERE EmployeeID = 9"));
    else
        c.db.exec(QStringLiteral("INSERT INTO TimeAudit ([When], Action, EmployeeID) VALUES (46360.5, "
                                 "'password reset', 9)"));

    c.workplace.employees().refresh();
    t.offline.reconcile(c.workplace, Today + 1);
    for (qint64 id : {7, 8, 9}) {
        SCOPED_TRACE(id);
        EXPECT_EQ(t.offline.logIn(Value::integer(id), Secret, Today + 1, Outage).employee.has_value(),
                  id == 7);
    }
}

} // namespace
