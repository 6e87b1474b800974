#include "platform/datetime.h"
#include "store/datasource.h"
#include "store/engine.h"
#include "store/sqlitesession.h"
#include "store/sqltexts.h"
#include "support/errorof.h"
#include "support/testdb.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace pelmar;
using test::errorOf;

namespace {

// Another terminal's wait for the write lock, cut short.
std::shared_ptr<sql::Session> waitingBriefly(std::shared_ptr<sql::Session> session)
{
    if (sql::isServerLocation(session->location()))
        session->exec("SET lock_timeout = 100");
    else
        sqlite3_busy_timeout(dynamic_cast<sql::SqliteSession&>(*session).connection().handle(), 100);
    return session;
}

class RecordsetTest : public test::EngineTest
{
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        if (!IsSkipped())
            db.addEmployee(7, "Sample Employee", "pw");
    }

    std::unique_ptr<Database> database = Database::open(db.path());
};

INSTANTIATE_TEST_SUITE_P(Engines, RecordsetTest, test::bothEngines(), test::engineName);

TEST(Location, WrongLocationsRaiseTheEngineNumbersAndCreateNothing)
{
    QTemporaryDir dir;
    const QString missing = dir.filePath("Pelmar.mdb");
    EXPECT_EQ(errorOf([&] { Database::open(missing); }), err::CouldNotFindFile);
    EXPECT_FALSE(QFile::exists(missing));
    EXPECT_EQ(errorOf([&] { Database::open(dir.filePath("nowhere/Pelmar.mdb")); }), err::PathNotValid);
    EXPECT_EQ(errorOf([&] { Database::open(QString()); }), err::FileNameNotValid);

    QFile junk(missing);
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly) && junk.write(QByteArray(4096, 'x')) == 4096);
    junk.close();
    EXPECT_EQ(errorOf([&] { Database::open(missing)->openRecordset("Time"); }), err::UnrecognizedFormat);
}

// A data source over a large table reads only the rows asked for and holds no
// read lock between calls, so another connection can write meanwhile.
TEST_P(RecordsetTest, LargeTableIsReadLazilyWithoutHoldingALock)
{
    db.exec(QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
                           "INSERT INTO Time (PersonnelID, Tdate) SELECT 7, 40000 + i FROM n")
                .arg(3 * Recordset::PageSize));
    DataSource source(db.path(), sqltexts::AllTimeRecords);
    source.refresh();
    EXPECT_EQ(source.recordset().fetchedCount(), Recordset::PageSize);
    EXPECT_DOUBLE_EQ(source.recordset().field("Tdate").toDouble(), 40000 + 3 * Recordset::PageSize);

    db.exec("INSERT INTO Time (PersonnelID, Tdate) VALUES (1, 1)");
    ASSERT_TRUE(source.recordset().moveTo(Recordset::PageSize + 3));
    EXPECT_EQ(source.recordset().fetchedCount(), 2 * Recordset::PageSize);
    if (!db.onServer())
        return;
    // Nor does the server hold a transaction or a cursor for us.
    EXPECT_EQ(db.scalar("SELECT COUNT(*) FROM pg_stat_activity WHERE datname = current_database() "
                        "AND state <> 'idle' AND pid <> pg_backend_pid()")
                  .toInteger(),
              0);
}

// Two terminals take turns at the write lock: the second gives up after its
// wait with nothing written, a recordset's edit as a whole, and succeeds once
// the first has finished.
TEST_P(RecordsetTest, ATransactionHoldsTheWriteLockAgainstOtherTerminals)
{
    const qint64 open = db.addTime(7, 46360, dates::timeSerial(8, 0, 0));
    Database mine(sql::Session::openPrivate(db.path()));
    Database other(waitingBriefly(sql::Session::openPrivate(db.path())));
    std::unique_ptr<Recordset> rs = other.openRecordset("SELECT * FROM qslTime");
    rs->edit();
    rs->setField("TimeOut", Value::text("5:00:00 PM"));
    rs->setField("Thours", Value::number(9));
    const auto row = [&] {
        return db.rows(QStringLiteral("SELECT TimeOut, Thours FROM Time WHERE TimeID = %1").arg(open)).at(0);
    };
    {
        Transaction held(mine);
        mine.execute(QStringLiteral("UPDATE [Time] SET Thours = 1 WHERE TimeID = %1").arg(open));
        EXPECT_EQ(errorOf([&] { Transaction waiting(other); }), err::Locked);
        EXPECT_EQ(errorOf([&] { rs->update(); }), err::Locked);
        held.commit();
    }
    EXPECT_TRUE(row()[0].isNull());
    EXPECT_DOUBLE_EQ(row()[1].toDouble(), 1);
    rs->update();
    EXPECT_DOUBLE_EQ(row()[1].toDouble(), 9);
    {
        Transaction after(other);
        other.execute("INSERT INTO [Time] (PersonnelID, Tdate) VALUES (7, 1)");
        after.commit();
    }
    {
        Transaction dropped(other);
        other.execute("DELETE FROM [Time]");
    }
    EXPECT_EQ(db.scalar("SELECT COUNT(*) FROM \"Time\"").toInteger(), 2) << "rolled back unless committed";
}

} // namespace
