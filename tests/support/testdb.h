#pragma once

#include "platform/value.h"
#include "store/sqlite.h"
#include "support/printers.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <ostream>
#include <vector>

namespace pelmar::sql {
class PgSession;
}

namespace pelmar::test {

// The engine a test database lives on: a SQLite file in a temporary folder,
// or a database of its own on the test server.
enum class Backend
{
    File,
    Server
};

// The engine TestDb() picks: the server when PELMAR_TEST_ENGINE is
// "server", else the file.
Backend defaultBackend();
// True when PELMAR_TEST_SERVER names a PostgreSQL server on loopback
// (scripts/test.sh runs the tests under pg_virtualenv and sets it).
bool serverAvailable();
const char* backendName(Backend backend);
inline std::ostream& operator<<(std::ostream& os, Backend backend)
{
    return os << backendName(backend);
}

// A fresh database, with direct SQL for arranging rows and reading back what
// the program wrote. On a file it is Pelmar.mdb in a temporary folder; on
// the server it is a new database, dropped again by the destructor, and both
// folder() and path() give its URI, the way the configuration file names a
// server. SQL given to exec(), rows() and scalar() is SQLite's (double
// quotes around names); on the server it is translated as the program's is.
class TestDb
{
public:
    // Whether the new database holds the schema, or nothing at all (a folder
    // without Pelmar.mdb, a server database without tables) for the tests of
    // what creates it.
    enum class Tables
    {
        Created,
        None
    };

    TestDb();
    explicit TestDb(Backend backend, Tables tables = Tables::Created);
    ~TestDb();
    TestDb(const TestDb&) = delete;
    TestDb& operator=(const TestDb&) = delete;

    Backend backend() const { return m_backend; }
    bool onServer() const { return m_backend == Backend::Server; }
    // The database folder of a file, or the URI of a server database.
    QString folder() const;
    // The location the engine opens: the file's path, or the URI.
    QString path() const;
    // A temporary folder on either engine, for the files a test writes.
    QString scratchFolder() const { return m_dir.path(); }

    void exec(const QString& sql);
    void addEmployee(qint64 id, const QString& name, const QString& password,
                     std::optional<double> terminated = std::nullopt);
    // Times are date serials; nullopt stores Null.
    qint64 addTime(qint64 personnelId, std::optional<double> tdate, std::optional<double> timeIn,
                   std::optional<double> timeOut = std::nullopt, std::optional<double> hours = std::nullopt,
                   const Value& type = Value::text(QStringLiteral("Worked")));
    void setSetting(const QString& column, const Value& value);

    // Values by what each holds, as SQLite stores them: dates read as
    // numbers.
    std::vector<std::vector<Value>> rows(const QString& sql);
    Value scalar(const QString& sql);

    struct TimeRow
    {
        Value tdate, timeIn, timeOut, hours, type;
    };
    // Every Time row, in the order they were added.
    std::vector<TimeRow> timeRows();

private:
    // Runs one statement of SQLite's SQL with ? marks on either engine.
    std::vector<std::vector<Value>> run(const QString& sql, const std::vector<Value>& params);
    // The file's connection, opened at first use when the test created it.
    sql::Connection& file();

    QTemporaryDir m_dir;
    Backend m_backend;
    QString m_uri; // of the server database
    QString m_serverName;
    std::shared_ptr<sql::Connection> m_conn;
    std::shared_ptr<sql::PgSession> m_server;
};

// A file database in the server run's place when there is no server, so
// that a fixture still builds before its SetUp skips.
Backend runnable(Backend wanted);

// A test that runs once on each engine, named /File and /Server; the server
// runs are skipped when no test server is configured. Instantiate with
// INSTANTIATE_TEST_SUITE_P(Engines, Suite, test::bothEngines(), test::engineName).
class EngineTest : public ::testing::TestWithParam<Backend>
{
protected:
    void SetUp() override;

    TestDb db{runnable(GetParam())};
};

inline auto bothEngines()
{
    return ::testing::Values(Backend::File, Backend::Server);
}

inline std::string engineName(const ::testing::TestParamInfo<Backend>& info)
{
    return backendName(info.param);
}

} // namespace pelmar::test
