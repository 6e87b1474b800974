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
#include "tools/runtool.h"
#include "workplace/workplace.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QUrl>
#include <gtest/gtest.h>

using namespace pelmar;
using test::Backend;
using test::Result;
using test::runTool;
using test::TestDb;

namespace {

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
            "2026,employee-password|~|9|pw,employee-rehire|~|7,employee-rehire|~|8,"
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
    run({"employee-rehire", folder(), "7"});
    run({"employee-terminate", folder(), "7", "12/1/2026"});
    run({"setting", folder(), "workhoursnotify", "8.5"});
    run({"absence-add", folder(), "7", "11/30/2026", "Sick Leave"});
    EXPECT_EQ(
        lines("SELECT EmployeeID, FullName, Password, TerminationDate FROM Personnel"),
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
    // The staff from their table: a server's list never shows a password.
    for (const QString& sql :
         {sqltexts::AllTimeRecords, QStringLiteral("SELECT * FROM Personnel ORDER BY EmployeeID"),
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

// demo makes the folder it is given, where init refuses a missing one.
TEST(DemoTest, MakesAMissingFolder)
{
    QTemporaryDir dir;
    const ManualClock clock{dates::serial(2026, 12, 4) + dates::timeSerial(9, 0, 0)};
    const QString missing = dir.filePath("office/clock");
    EXPECT_EQ(runTool({"init", missing}, clock).status, 1);
    EXPECT_FALSE(QFileInfo::exists(missing));
    const Result made = runTool({"demo", missing}, clock);
    ASSERT_EQ(made.status, 0) << made.err.toStdString();
    EXPECT_TRUE(QFile::exists(QDir(missing).filePath("Pelmar.mdb")));
    EXPECT_EQ(runTool({"query", missing, "SELECT COUNT(*) AS N FROM Personnel"}, clock).out, "N\r\n5\r\n");

    QFile file(dir.filePath("a-file"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    const Result refused = runTool({"demo", dir.filePath("a-file/clock")}, clock);
    EXPECT_EQ(refused.status, 1);
    EXPECT_TRUE(refused.err.contains("could not be made")) << refused.err.toStdString();
}
