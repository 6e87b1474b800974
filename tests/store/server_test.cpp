#include "store/datasource.h"
#include "store/engine.h"
#include "store/sqltexts.h"
#include "support/errorof.h"
#include "support/testdb.h"

#include <QUrl>
#include <gtest/gtest.h>

using namespace pelmar;
using test::errorOf;

namespace {

// What only a server does: connections that fail or get lost.
class ServerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!test::serverAvailable())
            GTEST_SKIP() << "no test server: set PELMAR_TEST_SERVER, or run scripts/test.sh";
        db.emplace(test::Backend::Server);
        db->addEmployee(7, "Sample Employee", "pw");
    }

    std::optional<test::TestDb> db;
};

TEST_F(ServerTest, AServerThatCannotBeUsedSaysWhyInLibpqsWords)
{
    QUrl port(db->path()), password(port), name(port);
    port.setPort(1); // nothing listens there
    password.setPassword("wrong");
    name.setPath("/no_such_database");
    const std::pair<QUrl, const char*> cases[] = {
        {port, "refused"}, {password, "password authentication failed"}, {name, "does not exist"}};
    for (const auto& [location, words] : cases) {
        SCOPED_TRACE(location.toString().toStdString());
        try {
            Engine().openDatabase(location.toString());
            ADD_FAILURE() << "opened";
        } catch (const RunError& e) {
            EXPECT_EQ(e.number(), err::ServerConnectionFailed);
            EXPECT_TRUE(e.description().contains(words)) << e.description().toStdString();
            EXPECT_FALSE(e.description().contains("wrong"));
        }
    }
}

// A connection lost between actions fails the action that meets it; the next
// one connects again, for databases and for a data source's recordset alike.
TEST_F(ServerTest, TheActionAfterALostConnectionConnectsAgain)
{
    for (int i = 0; i < 100; ++i)
        db->addTime(7, 46000 + i, 0.25);
    DataSource source(db->path(), sqltexts::AllTimeRecords);
    source.refresh();
    std::unique_ptr<Database> database = Engine().openDatabase(db->path());
    // As a server restart or a dropped network would.
    db->exec("SELECT pg_terminate_backend(pid) FROM pg_stat_activity "
             "WHERE datname = current_database() AND pid <> pg_backend_pid()");
    EXPECT_EQ(errorOf([&] { database->openRecordset(sqltexts::CurrentEmployees); }), err::ServerCallFailed);
    EXPECT_EQ(Engine().openDatabase(db->path())->openRecordset(sqltexts::CurrentEmployees)->recordCount(), 1);
    EXPECT_EQ(database->execute("UPDATE [Time] SET Thours = 1"), 100);
    ASSERT_TRUE(source.recordset().moveTo(99));
    EXPECT_DOUBLE_EQ(source.recordset().field("Tdate").toDouble(), 46000);
}

} // namespace
