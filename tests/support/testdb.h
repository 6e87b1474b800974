#pragma once

#include "platform/value.h"
#include "store/schema.h"
#include "store/session.h"
#include "support/printers.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <vector>

namespace pelmar::test {

// Where a test database lives: a SQLite file in a temporary folder, or a
// database of its own on the test server.
enum class Backend
{
    File,
    Server
};

Backend defaultBackend(); // PELMAR_TEST_ENGINE=server picks the server
// True when PELMAR_TEST_SERVER names a PostgreSQL server on loopback.
bool serverAvailable();
// A file in the place of a missing server, so a fixture builds before SetUp skips.
Backend runnable(Backend wanted);
inline const char* backendName(Backend backend)
{
    return backend == Backend::Server ? "Server" : "File";
}

// A fresh database with direct SQL (SQLite's, translated for the server) for
// arranging rows and reading back what the program wrote.
class TestDb
{
public:
    enum class Tables
    {
        Created,
        None // no Pelmar.mdb, or a server database without tables
    };

    explicit TestDb(Backend backend = defaultBackend(), Tables tables = Tables::Created);
    ~TestDb();

    bool onServer() const { return m_backend == Backend::Server; }
    QString folder() const { return onServer() ? m_uri : m_dir.path(); }
    QString path() const { return onServer() ? m_uri : m_dir.filePath(names::DatabaseFile); }
    // An outage and its end: the server takes no connections and drops
    // those it has; the file's folder is renamed away and back.
    void setReachable(bool reachable);

    void exec(const QString& sql);
    void addEmployee(qint64 id, const QString& name, const QString& password,
                     std::optional<double> terminated = std::nullopt);
    // Times are date serials; nullopt stores Null.
    qint64 addTime(qint64 personnelId, std::optional<double> tdate, std::optional<double> timeIn,
                   std::optional<double> timeOut = std::nullopt, std::optional<double> hours = std::nullopt,
                   const Value& type = Value::text(QStringLiteral("Worked")));
    void setSetting(const QString& column, const Value& value);

    // Values of the kinds the program reads.
    std::vector<sql::Row> rows(const QString& sql) { return run(sql, {}); }
    Value scalar(const QString& sql);

    struct TimeRow
    {
        Value tdate, timeIn, timeOut, hours, type;
    };
    std::vector<TimeRow> timeRows(); // in the order they were added

private:
    std::vector<sql::Row> run(const QString& sql, const std::vector<Value>& params);

    QTemporaryDir m_dir;
    Backend m_backend;
    QString m_uri, m_serverName;
    std::shared_ptr<sql::Session> m_session; // opened at first use
};

// Run on each engine: INSTANTIATE_TEST_SUITE_P(Engines, Suite, test::bothEngines(), test::engineName).
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
