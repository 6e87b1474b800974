#include "support/testdb.h"

#include "store/schema.h"

#include <QDir>
#include <gtest/gtest.h>

namespace pelmar::test {

namespace {

void bindOptional(sql::Statement& stmt, int index, std::optional<double> v)
{
    if (v)
        stmt.bind(index, *v);
    else
        stmt.bindNull(index);
}

} // namespace

TestDb::TestDb()
{
    const QString file = path();
    sql::createDatabase(file);
    m_conn = sql::Connection::openPrivate(file);
}

QString TestDb::path() const
{
    return m_dir.filePath(names::DatabaseFile);
}

void TestDb::exec(const QString& sql)
{
    m_conn->exec(sql);
}

void TestDb::addEmployee(qint64 id, const QString& name, const QString& password,
                         std::optional<double> terminated)
{
    sql::Statement stmt(*m_conn, QStringLiteral("INSERT INTO Personnel (EmployeeID, FullName, Password, "
                                                "TerminationDate) VALUES (?, ?, ?, ?)"));
    stmt.bind(1, id);
    stmt.bind(2, name);
    stmt.bind(3, password);
    bindOptional(stmt, 4, terminated);
    stmt.step();
}

qint64 TestDb::addTime(qint64 personnelId, std::optional<double> tdate, std::optional<double> timeIn,
                       std::optional<double> timeOut, std::optional<double> hours, const Value& type)
{
    sql::Statement stmt(*m_conn, QStringLiteral("INSERT INTO \"Time\" (PersonnelID, Tdate, TimeIn, TimeOut, "
                                                "Thours, Type) VALUES (?, ?, ?, ?, ?, ?)"));
    stmt.bind(1, personnelId);
    bindOptional(stmt, 2, tdate);
    bindOptional(stmt, 3, timeIn);
    bindOptional(stmt, 4, timeOut);
    bindOptional(stmt, 5, hours);
    bindValue(stmt, 6, type);
    stmt.step();
    return sqlite3_last_insert_rowid(m_conn->handle());
}

void TestDb::setSetting(const QString& column, const Value& value)
{
    sql::Statement stmt(*m_conn, QStringLiteral("UPDATE CustomSettings SET \"%1\" = ?").arg(column));
    bindValue(stmt, 1, value);
    stmt.step();
}

std::vector<std::vector<Value>> TestDb::rows(const QString& sql)
{
    std::vector<std::vector<Value>> out;
    sql::Statement stmt(*m_conn, sql);
    while (stmt.step()) {
        std::vector<Value> row;
        for (int i = 0; i < stmt.columnCount(); ++i) {
            switch (stmt.columnType(i)) {
            case SQLITE_NULL:
                row.push_back(Value::null());
                break;
            case SQLITE_INTEGER:
                row.push_back(Value::integer(stmt.columnInt(i)));
                break;
            case SQLITE_FLOAT:
                row.push_back(Value::number(stmt.columnDouble(i)));
                break;
            default:
                row.push_back(Value::text(stmt.columnText(i)));
            }
        }
        out.push_back(std::move(row));
    }
    return out;
}

std::vector<TestDb::TimeRow> TestDb::timeRows()
{
    std::vector<TimeRow> out;
    for (const auto& r :
         rows(QStringLiteral("SELECT Tdate, TimeIn, TimeOut, Thours, Type FROM \"Time\" ORDER BY TimeID")))
        out.push_back({r[0], r[1], r[2], r[3], r[4]});
    return out;
}

Value TestDb::scalar(const QString& sql)
{
    const auto r = rows(sql);
    return r.empty() || r.front().empty() ? Value::null() : r.front().front();
}

} // namespace pelmar::test
