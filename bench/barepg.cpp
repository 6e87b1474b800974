#include "bench/barepg.h"

#include <charconv>
#include <stdexcept>
#include <vector>

namespace pelmar::bench {

namespace {

constexpr Oid TextType = 25;

QByteArray text(double v)
{
    return QByteArray::number(v, 'g', 17);
}

QByteArray text(qint64 v)
{
    return QByteArray::number(v);
}

sql::PgConnectionHandle open(const QString& uri)
{
    sql::PgConnectionHandle conn(PQconnectdb(uri.toUtf8().constData()));
    if (PQstatus(conn.get()) != CONNECTION_OK)
        throw std::runtime_error(std::string("connect: ") + PQerrorMessage(conn.get()));
    // Floats in full, as the program reads them.
    sql::PgResultHandle set(PQexec(conn.get(), "SET extra_float_digits = 3"));
    if (PQresultStatus(set.get()) != PGRES_COMMAND_OK)
        throw std::runtime_error(std::string("set: ") + PQerrorMessage(conn.get()));
    return conn;
}

} // namespace

BarePg::BarePg(const QString& uri) : m_uri(uri), m_conn(open(uri)) {}

void BarePg::connect()
{
    open(m_uri);
}

QString BarePg::name() const
{
    return QStringLiteral("%1 on %2:%3")
        .arg(QString::fromUtf8(PQdb(m_conn.get())), QString::fromUtf8(PQhost(m_conn.get())),
             QString::fromUtf8(PQport(m_conn.get())));
}

qint64 BarePg::sizeBytes()
{
    const sql::PgResultHandle result = run("SELECT pg_database_size(current_database())");
    return QByteArray(PQgetvalue(result.get(), 0, 0)).toLongLong();
}

sql::PgResultHandle BarePg::run(const char* sql, std::initializer_list<QByteArray> params)
{
    std::vector<const char*> values;
    for (const QByteArray& p : params)
        values.push_back(p.constData());
    sql::PgResultHandle result(PQexecParams(m_conn.get(), sql, static_cast<int>(values.size()), nullptr,
                                            values.data(), nullptr, nullptr, 0));
    const ExecStatusType status = result ? PQresultStatus(result.get()) : PGRES_FATAL_ERROR;
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK)
        throw std::runtime_error(std::string(sql) + ": " + PQerrorMessage(m_conn.get()));
    return result;
}

void BarePg::readAll(const PGresult* result)
{
    for (int row = 0; row < PQntuples(result); ++row) {
        for (int c = 0; c < PQnfields(result); ++c) {
            if (PQgetisnull(result, row, c))
                continue;
            const char* value = PQgetvalue(result, row, c);
            const int length = PQgetlength(result, row, c);
            // Everything but the texts is a number here, dates included.
            if (PQftype(result, c) == TextType) {
                m_sink += length;
            } else {
                double number = 0;
                std::from_chars(value, value + length, number);
                m_sink += number;
            }
        }
    }
}

void BarePg::startUp()
{
    readAll(run("SELECT timeid, personnelid, tdate, timein, timeout, thours, type FROM time "
                "ORDER BY tdate DESC NULLS LAST, timein DESC NULLS LAST LIMIT 64")
                .get());
    readAll(run("SELECT employeeid, fullname, password, terminationdate FROM personnel "
                "WHERE terminationdate IS NULL ORDER BY fullname")
                .get());
    readAll(run("SELECT * FROM customsettings LIMIT 1").get());
}

void BarePg::employee(qint64 id)
{
    readAll(run("SELECT employeeid, fullname, password, terminationdate FROM personnel WHERE employeeid = $1",
                {text(id)})
                .get());
}

void BarePg::listing(qint64 employee, double from, double to, int limit)
{
    readAll(run("SELECT timeid, personnelid, tdate, timein, timeout, thours, type FROM time "
                "WHERE personnelid = $1 AND tdate BETWEEN $2 AND $3 "
                "ORDER BY tdate DESC NULLS LAST, timein DESC NULLS LAST LIMIT $4",
                {text(employee), text(from), text(to), text(qint64{limit})})
                .get());
}

double BarePg::total(qint64 employee, double from, double to)
{
    const sql::PgResultHandle result =
        run("SELECT SUM(thours) FROM time WHERE personnelid = $1 AND tdate BETWEEN $2 AND $3",
            {text(employee), text(from), text(to)});
    double sum = 0;
    const char* value = PQgetvalue(result.get(), 0, 0);
    std::from_chars(value, value + PQgetlength(result.get(), 0, 0), sum);
    m_sink += sum;
    return sum;
}

qint64 BarePg::clockIn(qint64 employee, double day, double timeIn)
{
    const sql::PgResultHandle result = run(
        "INSERT INTO time (personnelid, tdate, timein, type) VALUES ($1, $2, $3, 'Worked') RETURNING timeid",
        {text(employee), text(day), text(timeIn)});
    qint64 id = 0;
    const char* value = PQgetvalue(result.get(), 0, 0);
    std::from_chars(value, value + PQgetlength(result.get(), 0, 0), id);
    return id;
}

void BarePg::clockOut(qint64 timeId, double timeOut, double hours)
{
    run("UPDATE time SET timeout = $1, thours = $2, type = 'Worked' WHERE timeid = $3",
        {text(timeOut), text(hours), text(timeId)});
}

void BarePg::remove(qint64 timeId)
{
    run("DELETE FROM time WHERE timeid = $1", {text(timeId)});
}

void BarePg::board(double from, double to)
{
    readAll(run("SELECT employeeid, fullname FROM personnel WHERE terminationdate IS NULL "
                "ORDER BY fullname, employeeid",
                {})
                .get());
    readAll(run("SELECT timeid, personnelid, tdate, timein, timeout, thours, type FROM time "
                "WHERE tdate BETWEEN $1 AND $2 ORDER BY personnelid, tdate DESC NULLS LAST, timein DESC "
                "NULLS LAST",
                {text(from), text(to)})
                .get());
}

void BarePg::payroll(double from, double to)
{
    readAll(run("SELECT timeid, personnelid, tdate, timein, timeout, thours, type FROM time "
                "WHERE tdate BETWEEN $1 AND $2",
                {text(from), text(to)})
                .get());
    readAll(run("SELECT employeeid, fullname FROM personnel WHERE terminationdate IS NULL OR terminationdate "
                ">= $1 "
                "ORDER BY fullname, employeeid",
                {text(from)})
                .get());
}

} // namespace pelmar::bench
