#include "bench/baresql.h"

#include <QFile>
#include <stdexcept>

namespace pelmar::bench {

namespace {

[[noreturn]] void fail(sqlite3* db, const char* what)
{
    throw std::runtime_error(std::string(what) + ": " + sqlite3_errmsg(db));
}

sql::ConnectionHandle open(const QString& path)
{
    sqlite3* raw = nullptr;
    const int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &raw, SQLITE_OPEN_READWRITE, nullptr);
    sql::ConnectionHandle db(raw);
    if (rc != SQLITE_OK)
        fail(raw, "open");
    sqlite3_busy_timeout(raw, sql::Connection::BusyTimeoutMs);
    sqlite3_exec(raw, "PRAGMA journal_mode=DELETE; PRAGMA synchronous=FULL;", nullptr, nullptr, nullptr);
    return db;
}

} // namespace

BareSql::BareSql(const QString& path) : m_path(path), m_db(open(path)) {}

void BareSql::connect()
{
    open(m_path);
}

sql::StatementHandle BareSql::prepare(const char* text)
{
    sqlite3_stmt* raw = nullptr;
    if (sqlite3_prepare_v2(m_db.get(), text, -1, &raw, nullptr) != SQLITE_OK)
        fail(m_db.get(), text);
    return sql::StatementHandle(raw);
}

void BareSql::readAll(sqlite3_stmt* stmt, int limit)
{
    int rows = 0;
    int rc = SQLITE_ROW;
    while ((limit < 0 || rows < limit) && (rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        ++rows;
        for (int i = 0; i < sqlite3_column_count(stmt); ++i) {
            switch (sqlite3_column_type(stmt, i)) {
            case SQLITE_INTEGER:
            case SQLITE_FLOAT:
                m_sink += sqlite3_column_double(stmt, i);
                break;
            case SQLITE_TEXT:
                m_sink += sqlite3_column_bytes(stmt, i);
                break;
            default:
                break;
            }
        }
    }
    if (rc != SQLITE_ROW && rc != SQLITE_DONE)
        fail(m_db.get(), "step");
}

void BareSql::done(sqlite3_stmt* stmt)
{
    if (sqlite3_step(stmt) != SQLITE_DONE)
        fail(m_db.get(), "write");
}

void BareSql::startUp()
{
    sql::StatementHandle records = prepare("SELECT TimeID, PersonnelID, Tdate, TimeIn, TimeOut, Thours, Type "
                                           "FROM \"Time\" ORDER BY Tdate DESC, TimeIn DESC LIMIT 64");
    readAll(records.get());
    sql::StatementHandle people = prepare("SELECT EmployeeID, FullName, Password, TerminationDate "
                                          "FROM Personnel WHERE TerminationDate IS NULL ORDER BY FullName");
    readAll(people.get());
    sql::StatementHandle settings = prepare("SELECT * FROM CustomSettings");
    readAll(settings.get(), 1);
}

void BareSql::employee(qint64 id)
{
    sql::StatementHandle stmt =
        prepare("SELECT EmployeeID, FullName, Password, TerminationDate FROM Personnel WHERE EmployeeID = ?");
    sqlite3_bind_int64(stmt.get(), 1, id);
    readAll(stmt.get());
}

void BareSql::listing(qint64 employee, double from, double to, int limit)
{
    sql::StatementHandle stmt = prepare("SELECT TimeID, PersonnelID, Tdate, TimeIn, TimeOut, Thours, Type "
                                        "FROM \"Time\" WHERE PersonnelID = ? AND Tdate BETWEEN ? AND ? "
                                        "ORDER BY Tdate DESC, TimeIn DESC LIMIT ?");
    sqlite3_bind_int64(stmt.get(), 1, employee);
    sqlite3_bind_double(stmt.get(), 2, from);
    sqlite3_bind_double(stmt.get(), 3, to);
    sqlite3_bind_int(stmt.get(), 4, limit);
    readAll(stmt.get());
}

double BareSql::total(qint64 employee, double from, double to)
{
    sql::StatementHandle stmt =
        prepare("SELECT SUM(Thours) FROM \"Time\" WHERE PersonnelID = ? AND Tdate BETWEEN ? AND ?");
    sqlite3_bind_int64(stmt.get(), 1, employee);
    sqlite3_bind_double(stmt.get(), 2, from);
    sqlite3_bind_double(stmt.get(), 3, to);
    if (sqlite3_step(stmt.get()) != SQLITE_ROW)
        fail(m_db.get(), "total");
    const double sum = sqlite3_column_double(stmt.get(), 0);
    m_sink += sum;
    return sum;
}

qint64 BareSql::clockIn(qint64 employee, double day, double timeIn)
{
    sql::StatementHandle stmt =
        prepare("INSERT INTO \"Time\" (PersonnelID, Tdate, TimeIn, Type) VALUES (?, ?, ?, 'Worked')");
    sqlite3_bind_int64(stmt.get(), 1, employee);
    sqlite3_bind_double(stmt.get(), 2, day);
    sqlite3_bind_double(stmt.get(), 3, timeIn);
    done(stmt.get());
    return sqlite3_last_insert_rowid(m_db.get());
}

void BareSql::clockOut(qint64 timeId, double timeOut, double hours)
{
    sql::StatementHandle stmt =
        prepare("UPDATE \"Time\" SET TimeOut = ?, Thours = ?, Type = 'Worked' WHERE TimeID = ?");
    sqlite3_bind_double(stmt.get(), 1, timeOut);
    sqlite3_bind_double(stmt.get(), 2, hours);
    sqlite3_bind_int64(stmt.get(), 3, timeId);
    done(stmt.get());
}

void BareSql::remove(qint64 timeId)
{
    sql::StatementHandle stmt = prepare("DELETE FROM \"Time\" WHERE TimeID = ?");
    sqlite3_bind_int64(stmt.get(), 1, timeId);
    done(stmt.get());
}

void BareSql::board(double from, double to)
{
    sql::StatementHandle people =
        prepare("SELECT EmployeeID, FullName FROM Personnel WHERE TerminationDate IS "
                "NULL ORDER BY FullName, EmployeeID");
    readAll(people.get());
    sql::StatementHandle records = prepare("SELECT TimeID, PersonnelID, Tdate, TimeIn, TimeOut, Thours, Type "
                                           "FROM \"Time\" WHERE Tdate BETWEEN ? AND ? "
                                           "ORDER BY PersonnelID, Tdate DESC, TimeIn DESC");
    sqlite3_bind_double(records.get(), 1, from);
    sqlite3_bind_double(records.get(), 2, to);
    readAll(records.get());
}

void BareSql::payroll(double from, double to)
{
    sql::StatementHandle records = prepare("SELECT TimeID, PersonnelID, Tdate, TimeIn, TimeOut, Thours, Type "
                                           "FROM \"Time\" WHERE Tdate BETWEEN ? AND ?");
    sqlite3_bind_double(records.get(), 1, from);
    sqlite3_bind_double(records.get(), 2, to);
    readAll(records.get());
    sql::StatementHandle people =
        prepare("SELECT EmployeeID, FullName FROM Personnel WHERE TerminationDate IS "
                "NULL OR TerminationDate >= ? ORDER BY FullName, EmployeeID");
    sqlite3_bind_double(people.get(), 1, from);
    readAll(people.get());
}

} // namespace pelmar::bench
