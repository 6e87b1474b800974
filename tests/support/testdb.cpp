#include "support/testdb.h"

#include "store/dialect.h"
#include "store/postgres.h"

#include <QUrl>
#include <atomic>
#include <stdexcept>
#include <unistd.h>

namespace pelmar::test {

namespace {

Value optional(std::optional<double> v)
{
    return v ? Value::number(*v) : Value::null();
}

QString serverBase()
{
    return qEnvironmentVariable("PELMAR_TEST_SERVER");
}

// The server's own database, which creates and drops the tests' databases.
sql::PgSession& maintenance()
{
    static std::shared_ptr<sql::PgSession> session = sql::PgSession::connect(serverBase());
    return *session;
}

QString forServer(const QString& sql)
{
    return sql::translate(sql, sql::Target::Postgres, sql::Quotes::Names);
}
} // namespace

Backend defaultBackend()
{
    return qEnvironmentVariable("PELMAR_TEST_ENGINE").compare("server", Qt::CaseInsensitive) == 0
               ? Backend::Server
               : Backend::File;
}

// Tests only ever reach a server on this machine.
bool serverAvailable()
{
    const QString host = QUrl(serverBase()).host();
    return sql::isServerLocation(serverBase()) &&
           (host.isEmpty() || host == "localhost" || host.startsWith('/') || host.startsWith("127.") ||
            host == "::1");
}

Backend runnable(Backend wanted)
{
    return wanted == Backend::Server && !serverAvailable() ? Backend::File : wanted;
}

TestDb::TestDb(Backend backend, Tables tables) : m_backend(backend)
{
    if (!onServer()) {
        if (tables == Tables::Created) {
            sql::createDatabase(path());
            file();
        }
        return;
    }
    if (!serverAvailable())
        throw std::runtime_error(
            "no test server: PELMAR_TEST_SERVER must name a PostgreSQL server on loopback");
    static std::atomic<int> serial{0};
    m_serverName = QStringLiteral("pelmar_test_%1_%2").arg(::getpid()).arg(++serial);
    // Not inside a transaction, which CREATE DATABASE refuses.
    maintenance().exec(QStringLiteral("CREATE DATABASE \"%1\"").arg(m_serverName));
    QUrl url(serverBase());
    url.setPath(QLatin1Char('/') + m_serverName);
    m_uri = url.toString();
    if (tables == Tables::Created)
        sql::createDatabase(m_uri);
    m_server = sql::PgSession::connect(m_uri);
}

TestDb::~TestDb()
{
    if (!onServer())
        return;
    m_server.reset();
    try {
        maintenance().exec(QStringLiteral("DROP DATABASE IF EXISTS \"%1\" WITH (FORCE)").arg(m_serverName));
    } catch (...) {
        // A database left behind goes with the throwaway cluster.
    }
}

sql::Connection& TestDb::file()
{
    // A file put in place of the one opened is read from then on.
    if (!m_conn || !m_conn->sameFileAsOpened())
        m_conn = sql::Connection::openPrivate(path());
    return *m_conn;
}

std::vector<std::vector<Value>> TestDb::run(const QString& sql, const std::vector<Value>& params)
{
    std::vector<std::vector<Value>> out;
    if (onServer()) {
        sql::PgResultHandle result = m_server->run(forServer(sql), params);
        for (int row = 0; row < PQntuples(result.get()); ++row) {
            out.emplace_back();
            for (int c = 0; c < PQnfields(result.get()); ++c)
                out.back().push_back(sql::PgSession::field(result.get(), row, c, Value::Kind::Null));
        }
        return out;
    }
    sql::Statement stmt(file(), sql);
    for (size_t i = 0; i < params.size(); ++i)
        bindValue(stmt, static_cast<int>(i) + 1, params[i]);
    while (stmt.step()) {
        out.emplace_back();
        for (int i = 0; i < stmt.columnCount(); ++i) {
            const int type = stmt.columnType(i);
            out.back().push_back(type == SQLITE_NULL      ? Value::null()
                                 : type == SQLITE_INTEGER ? Value::integer(stmt.columnInt(i))
                                 : type == SQLITE_FLOAT   ? Value::number(stmt.columnDouble(i))
                                                          : Value::text(stmt.columnText(i)));
        }
    }
    return out;
}

void TestDb::exec(const QString& sql)
{
    if (onServer())
        m_server->exec(forServer(sql));
    else
        file().exec(sql);
}

void TestDb::addEmployee(qint64 id, const QString& name, const QString& password,
                         std::optional<double> terminated)
{
    run("INSERT INTO Personnel (EmployeeID, FullName, Password, TerminationDate) VALUES (?, ?, ?, ?)",
        {Value::integer(id), Value::text(name), Value::text(password), optional(terminated)});
}

qint64 TestDb::addTime(qint64 personnelId, std::optional<double> tdate, std::optional<double> timeIn,
                       std::optional<double> timeOut, std::optional<double> hours, const Value& type)
{
    return run("INSERT INTO \"Time\" (PersonnelID, Tdate, TimeIn, TimeOut, Thours, Type) "
               "VALUES (?, ?, ?, ?, ?, ?) RETURNING TimeID",
               {Value::integer(personnelId), optional(tdate), optional(timeIn), optional(timeOut),
                optional(hours), type})
        .at(0)
        .at(0)
        .toInteger();
}

void TestDb::setSetting(const QString& column, const Value& value)
{
    run(QStringLiteral("UPDATE CustomSettings SET \"%1\" = ?").arg(column), {value});
}

std::vector<TestDb::TimeRow> TestDb::timeRows()
{
    std::vector<TimeRow> out;
    for (const auto& r : rows("SELECT Tdate, TimeIn, TimeOut, Thours, Type FROM \"Time\" ORDER BY TimeID"))
        out.push_back({r[0], r[1], r[2], r[3], r[4]});
    return out;
}

Value TestDb::scalar(const QString& sql)
{
    const auto r = rows(sql);
    return r.empty() || r.front().empty() ? Value::null() : r.front().front();
}

void EngineTest::SetUp()
{
    if (GetParam() == Backend::Server && !serverAvailable())
        GTEST_SKIP() << "no test server: set PELMAR_TEST_SERVER, or run scripts/test.sh";
}

} // namespace pelmar::test
