#include "support/testdb.h"

#include "store/dialect.h"

#include <QDir>
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
sql::Session& maintenance()
{
    static std::shared_ptr<sql::Session> session = sql::Session::openPrivate(serverBase());
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
        if (tables == Tables::Created)
            sql::createDatabase(path());
        return;
    }
    if (!serverAvailable())
        throw std::runtime_error(
            "no test server: PELMAR_TEST_SERVER must name a PostgreSQL server on loopback");
    static std::atomic<int> serial{0};
    m_serverName =
        QStringLiteral("pelmar_test_%1_%2").arg(QString::number(::getpid()), QString::number(++serial));
    // Not inside a transaction, which CREATE DATABASE refuses.
    maintenance().exec(QStringLiteral("CREATE DATABASE \"%1\"").arg(m_serverName));
    QUrl url(serverBase());
    url.setPath(QLatin1Char('/') + m_serverName);
    m_uri = url.toString();
    if (tables == Tables::Created)
        sql::createDatabase(m_uri);
}

TestDb::~TestDb()
{
    if (!onServer())
        return;
    m_session.reset();
    try {
        maintenance().exec(QStringLiteral("DROP DATABASE IF EXISTS \"%1\" WITH (FORCE)").arg(m_serverName));
    } catch (...) {
        // A database left behind goes with the throwaway cluster.
    }
}

void TestDb::setReachable(bool reachable)
{
    if (!onServer()) {
        const QString away = m_dir.path() + QStringLiteral("-away");
        if (!(reachable ? QDir().rename(away, m_dir.path()) : QDir().rename(m_dir.path(), away)))
            throw std::runtime_error("the database's folder could not be renamed");
        m_session.reset();
        return;
    }
    m_session.reset();
    maintenance().exec(QStringLiteral("ALTER DATABASE \"%1\" ALLOW_CONNECTIONS %2")
                           .arg(m_serverName, reachable ? QStringLiteral("true") : QStringLiteral("false")));
    if (!reachable)
        maintenance().exec(
            QStringLiteral("DO $$ BEGIN PERFORM pg_terminate_backend(pid) FROM pg_stat_activity "
                           "WHERE datname = '%1'; END $$")
                .arg(m_serverName));
}

std::vector<sql::Row> TestDb::run(const QString& sql, const std::vector<Value>& params)
{
    // A file put in place of the one opened is read from then on.
    if (!m_session || m_session->stale())
        m_session = sql::Session::openPrivate(path());
    const QString text = onServer() ? forServer(sql) : sql;
    std::vector<sql::Row> out;
    if (text.startsWith(QLatin1String("SELECT")) || text.startsWith(QLatin1String("PRAGMA")))
        m_session->select(text, false, 0)->read(0, 0, out);
    else if (params.empty())
        m_session->exec(text);
    else
        m_session->write(text, params);
    return out;
}

void TestDb::exec(const QString& sql)
{
    run(sql, {});
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
    run("INSERT INTO \"Time\" (PersonnelID, Tdate, TimeIn, TimeOut, Thours, Type) VALUES (?, ?, ?, ?, ?, ?)",
        {Value::integer(personnelId), optional(tdate), optional(timeIn), optional(timeOut), optional(hours),
         type});
    return m_session->lastInsertId();
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
