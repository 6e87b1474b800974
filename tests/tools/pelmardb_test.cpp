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
        QFile f(QDir(folder()).filePath(QStringLiteral("Pelmar.mdb")));
        return f.open(QIODevice::ReadOnly) ? QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256)
                                           : QByteArray();
    }
    QStringList lines(const QString& sql)
    {
        return run({QStringLiteral("query"), folder(), sql})
            .out.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    }

    QTemporaryDir dir;
    // Friday 4 December 2026, 9:00 AM.
    ManualClock clock{dates::serial(2026, 12, 4) + dates::timeSerial(9, 0, 0)};
};

} // namespace

TEST_F(PelmarDbTest, RefusesBadInputWithStatusOneAndWritesNothing)
{
    ASSERT_EQ(run({QStringLiteral("init"), folder()}).status, 0);
    ASSERT_EQ(run({QStringLiteral("employee-add"), folder(), QStringLiteral("7"),
                   QStringLiteral("Sample Employee"), QStringLiteral("pw")})
                  .status,
              0);
    const QByteArray before = digest();
    const QString f = folder();
    const std::vector<QStringList> refused = {
        {},
        {QStringLiteral("bogus"), f},
        {QStringLiteral("init"), f},
        {QStringLiteral("init"), f + QStringLiteral("/missing")},
        {QStringLiteral("employee-add"), f, QStringLiteral("7"), QStringLiteral("Again"),
         QStringLiteral("pw")},
        {QStringLiteral("employee-add"), f, QStringLiteral("x"), QStringLiteral("Name"),
         QStringLiteral("pw")},
        {QStringLiteral("employee-add"), f, QStringLiteral("8"), QStringLiteral(" "), QStringLiteral("pw")},
        {QStringLiteral("employee-terminate"), f, QStringLiteral("7"), QStringLiteral("13/45/2026")},
        {QStringLiteral("employee-terminate"), f, QStringLiteral("9"), QStringLiteral("12/1/2026")},
        {QStringLiteral("employee-password"), f, QStringLiteral("9"), QStringLiteral("pw")},
        {QStringLiteral("setting"), f, QStringLiteral("colour"), QStringLiteral("red")},
        {QStringLiteral("setting"), f, QStringLiteral("WorkHoursNotify"), QStringLiteral("ten")},
        {QStringLiteral("setting"), f, QStringLiteral("smtpemail"), QStringLiteral("a@b\r\nBcc: c@d")},
        {QStringLiteral("absence-add"), f, QStringLiteral("7"), QStringLiteral("12/1/2026"),
         QStringLiteral("vacation")},
        {QStringLiteral("absence-add"), f, QStringLiteral("7"), QStringLiteral("12/1/2026; DROP"),
         QStringLiteral("Holiday")},
        {QStringLiteral("query"), f, QStringLiteral("DELETE FROM Personnel")},
        {QStringLiteral("query"), f, QStringLiteral("SELECT * FROM Nowhere")},
        {QStringLiteral("query"), f + QStringLiteral("/missing"), QStringLiteral("SELECT * FROM Time")},
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
    ASSERT_EQ(run({QStringLiteral("init"), folder()}).status, 0);
    EXPECT_EQ(lines(QStringLiteral("SELECT * FROM CustomSettings")),
              (QStringList{
                  QStringLiteral("SettingsID,WorkHoursNotify,smtpserver,smtpusername,smtppassword,smtpemail"),
                  QStringLiteral("1,10,,,,")}));
    run({QStringLiteral("employee-add"), folder(), QStringLiteral("7"), QStringLiteral("Doe, \"JJ\""),
         QStringLiteral("pw")});
    run({QStringLiteral("employee-password"), folder(), QStringLiteral("7"), QStringLiteral("new")});
    run({QStringLiteral("employee-terminate"), folder(), QStringLiteral("7"), QStringLiteral("12/1/2026")});
    run({QStringLiteral("setting"), folder(), QStringLiteral("workhoursnotify"), QStringLiteral("8.5")});
    run({QStringLiteral("absence-add"), folder(), QStringLiteral("7"), QStringLiteral("11/30/2026"),
         QStringLiteral("Sick Leave")});
    EXPECT_EQ(lines(QStringLiteral("SELECT * FROM qslPersonnelShort")),
              (QStringList{QStringLiteral("EmployeeID,FullName,Password,TerminationDate"),
                           QStringLiteral("7,\"Doe, \"\"JJ\"\"\",new,12/1/2026")}));
    EXPECT_EQ(lines(QStringLiteral("SELECT WorkHoursNotify FROM CustomSettings")).last(),
              QStringLiteral("8.5"));
    EXPECT_EQ(lines(QStringLiteral("SELECT PersonnelID, Tdate, TimeIn, Type FROM qslTime")).last(),
              QStringLiteral("7,11/30/2026,,Sick Leave"));
}

// Each SQL text the program sends, answered on the demo database.
TEST_F(PelmarDbTest, DemoAnswersTheProgramsQueries)
{
    ASSERT_EQ(run({QStringLiteral("demo"), folder()}).status, 0);
    const QStringList current = lines(sqltexts::CurrentEmployees);
    EXPECT_EQ(current.size(), 5);
    EXPECT_FALSE(current.join(QLatin1Char('\n')).contains(QLatin1String("Erin Walsh")));

    const QStringList all = lines(sqltexts::AllTimeRecords);
    ASSERT_GT(all.size(), 40);
    // Newest first: today's rows lead, a date with a time-of-day shown as long time.
    EXPECT_TRUE(all[1].contains(QLatin1String(",12/4/2026,"))) << all[1].toStdString();
    EXPECT_TRUE(all[1].contains(QLatin1String(",8:00:00 AM,"))) << all[1].toStdString();

    const Value from = Value::date(dates::serial(2026, 11, 20));
    const Value to = Value::date(dates::serial(2026, 12, 4));
    const QStringList alice = lines(sqltexts::rangeListing(from, to, Value::integer(1)));
    ASSERT_GT(alice.size(), 2);
    for (const QString& row : alice.mid(1))
        EXPECT_EQ(row.section(QLatin1Char(','), 1, 1), QStringLiteral("1"));
    const QStringList total = lines(sqltexts::rangeTotal(from, to, Value::integer(1)));
    ASSERT_EQ(total.size(), 2);
    EXPECT_EQ(total[0], QStringLiteral("SumOfThours"));
    EXPECT_GT(total[1].toDouble(), 0.0);
    EXPECT_EQ(lines(sqltexts::rangeTotal(from, to, Value::integer(999))),
              (QStringList{QStringLiteral("SumOfThours")}));
    EXPECT_EQ(lines(QStringLiteral("SELECT * FROM CustomSettings")).size(), 2);
    // A date with a time of day prints both, separated by one blank.
    EXPECT_EQ(
        lines(QStringLiteral("SELECT Tdate + TimeIn AS At FROM qslTime WHERE PersonnelID = 1 AND Tdate = "
                             "#12/4/2026#"))
            .last(),
        QStringLiteral("46360.333333333336"));
}
