#include "platform/clock.h"
#include "platform/datetime.h"
#include "store/sqltexts.h"
#include "support/testdb.h"
#include "tools/pelmardb.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace pelmar;

namespace {

struct Result
{
    int status;
    QString out;
    QString err;
};

class PelmarDbTest : public ::testing::Test
{
protected:
    Result run(QStringList args)
    {
        QString out, err;
        QTextStream o(&out), e(&err);
        const int status = runPelmarDb(args, o, e, clock);
        o.flush();
        e.flush();
        return {status, out, err};
    }

    QString folder() const { return dir.path(); }
    QByteArray digest() const
    {
        QFile f(QDir(folder()).filePath("Pelmar.mdb"));
        return f.open(QIODevice::ReadOnly) ? QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256)
                                           : QByteArray();
    }
    QStringList lines(const QString& sql)
    {
        return run({"query", folder(), sql}).out.split("\r\n", Qt::SkipEmptyParts);
    }

    QTemporaryDir dir;
    // Friday 4 December 2026, 9:00 AM.
    ManualClock clock{dates::serial(2026, 12, 4) + dates::timeSerial(9, 0, 0)};
};

} // namespace

TEST_F(PelmarDbTest, RefusesBadInputWithStatusOneAndWritesNothing)
{
    ASSERT_EQ(run({"init", folder()}).status, 0);
    ASSERT_EQ(run({"employee-add", folder(), "7", "Sample Employee", "pw"}).status, 0);
    const QByteArray before = digest();
    const QString f = folder();
    const std::vector<QStringList> refused = {
        {},
        {"bogus", f},
        {"init", f},
        {"init", f + "/missing"},
        {"employee-add", f, "7", "Again", "pw"},
        {"employee-add", f, "x", "Name", "pw"},
        {"employee-add", f, "8", " ", "pw"},
        {"employee-terminate", f, "7", "13/45/2026"},
        {"employee-terminate", f, "9", "12/1/2026"},
        {"employee-password", f, "9", "pw"},
        {"setting", f, "colour", "red"},
        {"setting", f, "WorkHoursNotify", "ten"},
        {"setting", f, "smtpemail", "a@b\r\nBcc: c@d"},
        {"absence-add", f, "7", "12/1/2026", "vacation"},
        {"absence-add", f, "7", "12/1/2026; DROP", "Holiday"},
        {"query", f, "DELETE FROM Personnel"},
        {"query", f, "SELECT * FROM Nowhere"},
        {"query", f + "/missing", "SELECT * FROM Time"},
    };
    for (const QStringList& args : refused) {
        SCOPED_TRACE(args.join(QLatin1Char(' ')).toStdString());
        const Result r = run(args);
        EXPECT_EQ(r.status, 1);
        EXPECT_FALSE(r.err.isEmpty());
        EXPECT_EQ(digest(), before);
    }
}

TEST_F(PelmarDbTest, CommandsWriteThroughTheStore)
{
    ASSERT_EQ(run({"init", folder()}).status, 0);
    EXPECT_EQ(lines("SELECT * FROM CustomSettings"),
              (QStringList{"SettingsID,WorkHoursNotify,smtpserver,smtpusername,smtppassword,smtpemail",
                           "1,10,,,,"}));
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

// The demo the README offers: today's open shifts, a former employee.
TEST_F(PelmarDbTest, DemoAnswersTheProgramsQueries)
{
    ASSERT_EQ(run({"demo", folder()}).status, 0);
    const QStringList current = lines(sqltexts::CurrentEmployees);
    EXPECT_EQ(current.size(), 5); // the header and four, without the former employee
    EXPECT_FALSE(current.join('\n').contains("Erin Walsh"));
    const QStringList all = lines(sqltexts::AllTimeRecords);
    ASSERT_GT(all.size(), 40);
    EXPECT_TRUE(all[1].contains(",12/4/2026,") && all[1].contains(",8:00:00 AM,")) << all[1].toStdString();
    const QStringList total =
        lines(sqltexts::rangeTotal(Value::date(dates::serial(2026, 11, 20)),
                                   Value::date(dates::serial(2026, 12, 4)), Value::integer(1)));
    EXPECT_GT(total.at(1).toDouble(), 0.0);
    // A computed column has no date type: the number, exactly.
    EXPECT_EQ(lines("SELECT Tdate + TimeIn AS At FROM qslTime WHERE PersonnelID = 1 AND Tdate = #12/4/2026#")
                  .last(),
              "46360.333333333336");
}
